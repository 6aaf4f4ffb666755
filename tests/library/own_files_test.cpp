// The player's own settings files are small: one past its bound (a stranger's, or a
// damaged one) is neither read nor written over, and the player is told which and why.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/fault.h"
#include "library/game_library.h"
#include "library/library_fixture.h"
#include "library/player_settings.h"
#include "library/plugin_consent.h"
#include "library/user_folders.h"

namespace velmora {
namespace {

using testing::UserFoldersTest;
using OwnFilesTest = UserFoldersTest;

TEST_F(OwnFilesTest, AFilePastItsBoundIsNeitherReadNorWrittenOver) {
  const struct {
    const char* name;
    std::function<void(PosixFiles&)> read, write;
  } cases[] = {
      {"library.ini", [](PosixFiles& f) { GameLibrary(f).Games(); },
       [&](PosixFiles& f) { GameLibrary(f).Add(MakeGame("tale")); }},
      {"plugins.ini", [](PosixFiles& f) { PluginConsent(f).Recorded("demo.so", "00"); },
       [](PosixFiles& f) { PluginConsent(f).Record("demo.so", "00", true); }},
      {"settings.ini",
       [](PosixFiles& f) {
         if (const std::string problem = PlayerSettingsFile(f).Problem(); !problem.empty()) throw RuntimeFault(problem);
       },
       [](PosixFiles& f) {
         PlayerSettings s;
         s.textSize = 20;
         PlayerSettingsFile(f).Save(s);
       }},
  };
  for (const auto& c : cases) {
    const std::filesystem::path path = home.path() / "config/velmora-player" / c.name;
    home.Write("config/velmora-player/" + std::string(c.name), "[Player]\nLanguage=ru\n");
    EXPECT_NO_THROW(c.read(files)) << c.name;
    std::filesystem::resize_file(path, kMaxOwnFileBytes + 1);  // sparse: costs no disk
    const std::string says = path.string() + " is too large (more than 16 MB) and was not read";
    for (const auto& act : {c.read, c.write}) {
      try {
        act(files);
        ADD_FAILURE() << c.name << ": no fault";
      } catch (const RuntimeFault& fault) {
        EXPECT_EQ(std::string(fault.what()), says) << c.name;
      }
    }
    EXPECT_EQ(std::filesystem::file_size(path), kMaxOwnFileBytes + 1) << c.name;
  }
  // Settings past the bound read as the defaults.
  EXPECT_EQ(PlayerSettingsFile(files).Load(), PlayerSettings {});
}

}  // namespace
}  // namespace velmora
