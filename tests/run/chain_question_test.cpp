// The question about a long chain: keeping waiting gives the chain more time, never more
// work.
#include "run/chain_question.h"

#include <gtest/gtest.h>

#include "script/script_library.h"
#include "support/test_game.h"

namespace velmora {
namespace {

// Answers every question "no, keep waiting" and counts them.
class PatientDialogs : public testing::RecordingDialogs {
 public:
  std::optional<bool> AskYesNo(const std::string&) override {
    ++questions;
    return false;
  }
  int questions = 0;
};

TEST(ChainQuestion, KeepingWaitingNeverLiftsTheWorkBound) {
  testing::TestGame t;
  PatientDialogs dialogs;
  t.platform.dialogs = &dialogs;
  t.dir.Write("big.txt", std::string(1 << 20, 'x'));
  // A second of sleep and a megabyte read a round: questions every few rounds.
  t.dir.Write("Scripts/Scripts.bsf",
              "___script main $int.new i $while $int.smallerthan i 1 $sleep 1000 $form.LoadTextFromFile big.txt ___end\n");
  Game& game = t.Make();
  LoadScriptLibrary(game);
  AskAboutLongChains(game);
  game.RunEvent([&] { RunScript(game, "main"); });
  EXPECT_GT(dialogs.questions, 10);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].rfind("error: Script stopped: it did more work than one script run may", 0), 0u)
      << dialogs.shown[0];
  EXPECT_LE(game.work.Used(), WorkMeter::kChainBound + (2 << 20));
}

}  // namespace
}  // namespace velmora
