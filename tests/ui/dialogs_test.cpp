// The Qt dialogs: captions, icons, the input dialog's answer in the game's code page, and
// the game's timers firing while a box waits (a timer's script runs nested in the waiting one).
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QPushButton>
#include <QTranslator>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "base/steady_clock.h"
#include "script/script_library.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_loader.h"
#include "story/page_state.h"
#include "support/test_game.h"
#include "ui/dialog_language.h"
#include "ui/qt_dialogs.h"
#include "ui/timer_driver.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

// Acts on the next modal dialog once it is open (polling, as its own loop runs).
void WhenModalOpens(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      act(modal);
    }
  });
  poll->start();
}

class DialogsTest : public ::testing::Test {
 protected:
  DialogsTest() {
    testing::TestApplication();
    dialogs.SetCodec(&codec);
  }
  TextCodec codec;
  QtDialogs dialogs;
};

TEST_F(DialogsTest, BoxesShowTheirTextUnderTheirCaptionWithTheirIcon) {
  const struct {
    std::function<void()> show;
    const char* caption;
    QMessageBox::Icon icon;
  } cases[] = {
      {[&] { dialogs.ShowMessage("\xcf\xf0\xe8\xe2\xe5\xf2"); }, "Velmora Player v 1.2", QMessageBox::NoIcon},
      {[&] { dialogs.ShowError("\xcf\xf0\xe8\xe2\xe5\xf2"); }, "Velmora Player v 1.2", QMessageBox::Critical},
      {[&] { dialogs.ShowSystemError("\xcf\xf0\xe8\xe2\xe5\xf2"); }, "Error", QMessageBox::Critical},
  };
  for (const auto& c : cases) {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::Question;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      caption = box->windowTitle();
      text = box->text();
      icon = box->icon();
      box->accept();
    });
    c.show();
    EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(text, "Привет");
    EXPECT_EQ(icon, c.icon);
  }
}

TEST_F(DialogsTest, TheInputDialogAnswersInTheGamesCodePageOrCancels) {
  QString caption, prompt;
  WhenModalOpens([&](QWidget* modal) {
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    caption = dialog->windowTitle();
    prompt = dialog->labelText();
    EXPECT_TRUE(dialog->textValue().isEmpty());
    dialog->setTextValue(QStringLiteral("Ника"));
    dialog->accept();
  });
  std::string answer;
  EXPECT_TRUE(dialogs.InputQuery("\xc4\xee\xec", "\xc8\xec\xff?", answer));
  EXPECT_EQ(caption, "Дом");
  EXPECT_EQ(prompt, "Имя?");
  EXPECT_EQ(answer, "\xcd\xe8\xea\xe0");

  WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(dialogs.InputQuery("c", "p", answer));
}

TEST(DialogLanguageTest, CyrillicTextsAskForRussianButtons) {
  const struct {
    const char* text;
    bool cyrillic;
  } cases[] = {
      {"Маяк на краю света", true},
      {"The lighthouse", false},
      {"Маяк: Lighthouse Keeper 2", false},  // more Latin letters than Cyrillic
      {"Глава 1: dawn", true},
      {"1234 ... !!", false},                   // no letters at all
  };
  for (const auto& c : cases) EXPECT_EQ(MostlyCyrillic(QString::fromUtf8(c.text)), c.cyrillic) << c.text;
}

TEST_F(DialogsTest, TheInputDialogsButtonsSpeakTheGamesLanguage) {
  QTranslator* russian = TranslateStandardButtons(*QCoreApplication::instance(), QLocale(QLocale::Russian));
  ASSERT_NE(russian, nullptr) << "qt6-translations-l10n is not installed";
  QStringList buttons;
  WhenModalOpens([&](QWidget* modal) {
    for (QPushButton* button : modal->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
      buttons << button->text().remove(QLatin1Char('&'));
    qobject_cast<QDialog*>(modal)->reject();
  });
  std::string answer;
  dialogs.InputQuery("c", "p", answer);
  QCoreApplication::removeTranslator(russian);
  delete russian;
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({QStringLiteral("OK"), QStringLiteral("Отмена")}));
}

TEST(ModalBoxTest, TimersKeepFiringWhileAScriptWaitsForABox) {
  testing::TestApplication();
  testing::TestGame tg;
  SteadyClock clock;
  QtDialogs dialogs;
  tg.platform.clock = &clock;
  tg.platform.dialogs = &dialogs;
  tg.dir.Write("config.ini", "[GameForm]\nCaption=Test\n");
  tg.dir.Write("music.lst", "");
  tg.dir.Write("story.qst",
               "[a]\nActionsCount=1\nAction0.Script=wait\nAction0.LinesCount=1\nAction0.Line0=Wait\n"
               "Page.Cutscene=1\nPage.Delay=100\nPage.Action=$goto\nPage.Param=b\n"
               "[b]\ntextsize=1\nLine0=Page b\n");
  tg.dir.Write("Scripts/Scripts.bsf", "___script wait $showmessage hello $goto c ___end\n");
  tg.dir.Write("Scripts/messages.ini", "[Messages]\nhello=Hello\n");
  Game& game = tg.Make();
  dialogs.SetCodec(&game.codec);
  LoadScriptLibrary(game);
  QtTimerDriver driver(game.timers);
  LoadPage(game, "a");

  std::string pageWhileOpen;
  WhenModalOpens([&](QWidget* modal) {
    // Let the page action fall due inside the box's own event loop.
    QTimer::singleShot(300, modal, [&, modal] {
      pageWhileOpen = game.page->currentPage;
      qobject_cast<QDialog*>(modal)->accept();
    });
  });
  game.mainWindow->selectedChoice = 0;
  game.RunEvent([&] { ChooseHighlightedAction(game); });
  EXPECT_EQ(pageWhileOpen, "b");           // the timer's $goto ran while the box was open
  EXPECT_EQ(game.page->currentPage, "c");  // then the waiting script went on
}

}  // namespace
}  // namespace velmora
