// The Settings window: it shows the settings it is given, and OK keeps what was chosen
// (the language where the rest of the player reads it, [Player] Language) and hands it on.
#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "base/ini_document.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

TEST(SettingsWindow, OkKeepsTheChoicesInTheSettingsFileAndAppliesThem) {
  testing::TestApplication();
  testing::TempDir dir;
  PosixFiles files;
  const std::string path = dir.path().string() + "/config/settings.ini";
  dir.Write("config/settings.ini", "[Accessibility]\nTimeToRead=2\nTextSize=14\n");
  QWidget window;
  std::optional<PlayerSettings> applied;
  QAction* open = SettingsWindow::AddCommand(&window, PlayerSettingsFile(files, path),
                                             [&](const PlayerSettings& s) { applied = s; });
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<SettingsWindow*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->timeToRead->currentData().toInt(), 2);
    EXPECT_EQ(dialog->textSize->value(), 14);
    dialog->language->setCurrentIndex(dialog->language->findData(QStringLiteral("ru")));
    dialog->timeToRead->setCurrentIndex(dialog->timeToRead->findData(4));
    dialog->countdown->setChecked(true);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  open->trigger();
  ASSERT_TRUE(applied.has_value());
  EXPECT_EQ(applied->timeToRead, 4);
  EXPECT_TRUE(applied->countdown);
  EXPECT_EQ(applied->textSize, 14);
  const IniDocument ini(files, path);
  EXPECT_EQ(ini.ReadText("Player", "Language", ""), "ru");
  EXPECT_EQ(ini.ReadInteger("Accessibility", "TimeToRead", 0), 4);
}

}  // namespace
}  // namespace velmora
