// Placeholder until the audio subsystem lands.
#include "audio/audio_form.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"

namespace velmora {

void PlayTrack(Game&, const std::string&) {}
void PlayFile(Game&, bool, const std::string&, const std::string&) {}
void CheckTracklist(Game&) {}
void StartMusic(Game&) {}
void Timer1Timer(Game&) {}
void PlaySoundAction(Game&, const std::string&) {}
void CloseSoundPlayer(Game&) {}
void AudioFormCreate(Game&) {}
void ShowAudioOptions(Game&) {}

}  // namespace velmora
