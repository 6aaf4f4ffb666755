#include "library/plugin_consent.h"

#include <filesystem>
#include <system_error>

#include "base/fault.h"
#include "base/ini_document.h"
#include "library/user_folders.h"

namespace velmora {

namespace {

constexpr const char* kSection = "Plugins";

// The checksum first, so that no file name can make the line a section or a comment.
std::string Key(const std::string& fileName, const std::string& sha256) { return sha256 + " " + fileName; }

}  // namespace

std::string PluginConsent::DefaultPath() { return UserConfigFolder() + "plugins.ini"; }

PluginConsent::PluginConsent(GameFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

std::optional<bool> PluginConsent::Recorded(const std::string& fileName, const std::string& sha256) const {
  const IniDocument answers(files_, path_, kMaxOwnFileBytes);
  if (answers.TooLarge()) throw RuntimeFault(OwnFileTooLarge(path_));
  const std::string answer = answers.ReadText(kSection, Key(fileName, sha256), "");
  if (answer == "load") return true;
  if (answer == "refuse") return false;
  return std::nullopt;
}

void PluginConsent::Record(const std::string& fileName, const std::string& sha256, bool load) const {
  // A name the key line cannot hold whole would be read back as another key.
  if (fileName.find_first_of("=\r\n") != std::string::npos || fileName != fileName.substr(0, fileName.find_last_not_of(" \t") + 1))
    throw RuntimeFault("Unable to write to " + path_);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
  if (ec) throw RuntimeFault("Unable to write to " + path_);
  IniDocument answers(files_, path_, kMaxOwnFileBytes);
  if (answers.TooLarge()) throw RuntimeFault(OwnFileTooLarge(path_));
  answers.WriteText(kSection, Key(fileName, sha256), load ? "load" : "refuse");
}

}  // namespace velmora
