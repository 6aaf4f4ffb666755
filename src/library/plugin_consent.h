#pragma once
// The player's answers to "load this plug-in?", kept in the player's own settings
// (plugins.ini in the user's config folder), one per plug-in file name and content: a
// library that changes, or another library under a trusted name, is asked about again.
#include <optional>
#include <string>

namespace velmora {

class GameFiles;

class PluginConsent {
 public:
  static std::string DefaultPath();
  // The answers are read and written through files.
  explicit PluginConsent(GameFiles& files, std::string path = DefaultPath());

  // The answer given for this file name and SHA-256, nullopt when never asked. Answers
  // that cannot be read (a file past its bound) raise RuntimeFault.
  std::optional<bool> Recorded(const std::string& fileName, const std::string& sha256) const;
  // Raises RuntimeFault ("Unable to write to <path>") when the file cannot be written.
  void Record(const std::string& fileName, const std::string& sha256, bool load) const;

 private:
  GameFiles& files_;
  std::string path_;
};

}  // namespace velmora
