#include "library/player_settings.h"

#include <filesystem>
#include <system_error>

#include "base/fault.h"
#include "base/ini_document.h"
#include "base/platform.h"
#include "library/user_folders.h"

namespace velmora {

namespace {

constexpr const char* kPlayer = "Player";
constexpr const char* kAccess = "Accessibility";

int InRange(const IniDocument& ini, const char* key, int def, int low, int high) {
  const int value = ini.ReadInteger(kAccess, key, def);
  return value < low || value > high ? def : value;
}

}  // namespace

std::string PlayerSettingsFile::DefaultPath() { return UserConfigFolder() + "settings.ini"; }

PlayerSettingsFile::PlayerSettingsFile(GameFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

std::string PlayerSettingsFile::Problem() const {
  return IniDocument(files_, path_, kMaxOwnFileBytes).TooLarge() ? OwnFileTooLarge(path_) : std::string();
}

PlayerSettings PlayerSettingsFile::Load() const {
  const IniDocument ini(files_, path_, kMaxOwnFileBytes);
  PlayerSettings s;
  s.language = ini.ReadText(kPlayer, "Language", "");
  s.audioFallback = ini.ReadBool(kPlayer, "AudioFallback", false);
  s.selfVoicing = ini.ReadBool(kAccess, "SelfVoicing", false);
  s.speechRate = InRange(ini, "SpeechRate", 0, -10, 10);
  s.speechVolume = InRange(ini, "SpeechVolume", 100, 0, 100);
  s.timeToRead = InRange(ini, "TimeToRead", 1, 1, 4);
  if (s.timeToRead == 3) s.timeToRead = 1;
  s.countdown = ini.ReadBool(kAccess, "Countdown", false);
  s.textSize = InRange(ini, "TextSize", 0, 0, 72);
  s.highContrast = ini.ReadBool(kAccess, "HighContrast", false);
  return s;
}

void PlayerSettingsFile::Save(const PlayerSettings& s) const {
  const PlayerSettings now = Load();
  if (now == s && files_.Exists(path_)) return;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  if (ec) throw RuntimeFault("Unable to write to " + path_);
  files_.AllowWrites(std::filesystem::path(path_).parent_path().string(), false);
  IniDocument ini(files_, path_, kMaxOwnFileBytes);
  if (ini.TooLarge()) throw RuntimeFault(OwnFileTooLarge(path_));
  if (s.language != now.language) ini.WriteText(kPlayer, "Language", s.language);
  if (s.audioFallback != now.audioFallback) ini.WriteBool(kPlayer, "AudioFallback", s.audioFallback);
  if (s.selfVoicing != now.selfVoicing) ini.WriteBool(kAccess, "SelfVoicing", s.selfVoicing);
  if (s.speechRate != now.speechRate) ini.WriteInteger(kAccess, "SpeechRate", s.speechRate);
  if (s.speechVolume != now.speechVolume) ini.WriteInteger(kAccess, "SpeechVolume", s.speechVolume);
  if (s.timeToRead != now.timeToRead) ini.WriteInteger(kAccess, "TimeToRead", s.timeToRead);
  if (s.countdown != now.countdown) ini.WriteBool(kAccess, "Countdown", s.countdown);
  if (s.textSize != now.textSize) ini.WriteInteger(kAccess, "TextSize", s.textSize);
  if (s.highContrast != now.highContrast) ini.WriteBool(kAccess, "HighContrast", s.highContrast);
}

}  // namespace velmora
