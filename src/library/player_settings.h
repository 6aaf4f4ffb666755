#pragma once
// The player's own settings, kept in settings.ini in the user's config folder and read
// through the INI documents, so a hand-edited file keeps its comments and other keys.
// Every value is checked on reading: a setting out of range reads as its default.
#include <string>

namespace velmora {

class GameFiles;

struct PlayerSettings {
  std::string language;       // [Player] Language: the player's own texts ("ru", "en"; empty: the system's)
  bool audioFallback = false;  // [Player] AudioFallback: kept as found; silence is the default now
  bool selfVoicing = false;    // [Accessibility] SelfVoicing
  int speechRate = 0;          // [Accessibility] SpeechRate: -10 (slowest) to 10
  int speechVolume = 100;      // [Accessibility] SpeechVolume: 0 to 100
  int timeToRead = 1;          // [Accessibility] TimeToRead: page delays stretched 1, 2 or 4 times
  bool countdown = false;      // [Accessibility] Countdown: a timed page shows its time left
  int textSize = 0;            // [Accessibility] TextSize: points for the story and choices; 0: the game's
  bool highContrast = false;   // [Accessibility] HighContrast: the high-contrast skin
  bool operator==(const PlayerSettings&) const = default;
};

class PlayerSettingsFile {
 public:
  static std::string DefaultPath();
  explicit PlayerSettingsFile(GameFiles& files, std::string path = DefaultPath());

  // A file past its bound reads as all defaults; Problem says so (empty when all is well).
  PlayerSettings Load() const;
  std::string Problem() const;
  // Writes the keys whose values differ from the file's. Raises RuntimeFault ("Unable to
  // write to <path>") when the file cannot be written, and the Problem when it is too large.
  void Save(const PlayerSettings& settings) const;

 private:
  GameFiles& files_;
  std::string path_;
};

}  // namespace velmora
