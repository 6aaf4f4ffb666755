// The copy of a game that is not writable shows its progress once it takes a while, and
// leaves no window behind once it is done.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QTest>

#include "ui/copy_progress.h"
#include "ui_fixture.h"

namespace velmora {
namespace {

QProgressDialog* ShownProgress() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible()) return dialog;
  return nullptr;
}

TEST(CopyProgressTest, ALongCopyShowsItsProgressAndTheDialogGoesWhenDone) {
  testing::TestApplication();
  int argc = 0;
  CopyProgressWindow window(argc, nullptr);
  const CopyProgress progress = window.Callback();
  const uint64_t total = 50ull << 20;
  progress(0, total);
  EXPECT_EQ(ShownProgress(), nullptr);  // not before it has taken a while
  QTest::qWait(600);
  progress(total / 2, total);
  QProgressDialog* shown = ShownProgress();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->value(), static_cast<int>(total / 2 / 1024));
  progress(total, total);
  EXPECT_EQ(ShownProgress(), nullptr);
}

TEST(CopyProgressTest, AQuickCopyShowsNothingEvenWhenTheEventLoopRunsLater) {
  testing::TestApplication();
  int argc = 0;
  CopyProgressWindow window(argc, nullptr);
  const CopyProgress progress = window.Callback();
  progress(0, 4096);
  progress(4096, 4096);
  QTest::qWait(700);
  EXPECT_EQ(ShownProgress(), nullptr);
}

}  // namespace
}  // namespace velmora
