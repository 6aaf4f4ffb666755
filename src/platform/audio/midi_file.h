#pragma once
// Standard MIDI files: just enough parsing to check a file and know how long it plays.
// Both engines take a MIDI track's length from here, so the virtual engine ends a MIDI
// track at the same moment the device engine's synthesiser runs out of events.
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::audio {

struct MidiLength {
  bool ok = false;
  int64_t microseconds = 0;  // until the last track's end (tempo changes applied)
  std::string error;         // why the file is not a playable MIDI file
};

// True when the bytes start like a standard MIDI file.
bool LooksLikeMidi(std::string_view bytes);
MidiLength ParseMidiLength(std::string_view bytes);

// A readable RIFF file: SoundFont 2 (sfbk), which Debian's sf3 files are as well.
bool LooksLikeSoundfont(const std::string& path);

// What can be told at once about a MIDI track, before any synthesiser: empty when the
// bytes parse (length then holds how long they play) and the soundfont looks like one,
// else why not. A soundfont damaged inside shows only later, as a stream that ends
// without a sound.
std::string CheckMidi(std::string_view bytes, const std::string& soundfont, MidiLength& length);

// Lowers the calling worker thread's priority as far as it goes: the MIDI synthesiser's
// libraries and soundfont load on such threads, and on a machine with few cores they
// would otherwise take the time the window needs to show its first page.
void YieldToForeground();

}  // namespace velmora::audio
