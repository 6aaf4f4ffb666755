// The save file's versions: the story so far travels in version 2, and a version 1 save,
// which has none, still loads whole.
#include "save/save_format.h"

#include <gtest/gtest.h>

#include "support/test_game.h"

namespace velmora {
namespace {

Snapshot WithHistory() {
  Snapshot s;
  s.currentPage = "hall";
  s.storyLines = {"You stand in the hall."};
  s.history = {{"gate", {"A gate.", ""}, "Enter"}, {"hall", {"You stand in the hall."}, ""}};
  return s;
}

TEST(SaveFormat, TheStorySoFarTravelsInTheCurrentVersionOnly) {
  const SaveHeader header{"game-1", "mine", "Hall", 1000, 5000, ""};
  struct Case {
    uint32_t version;
    std::vector<PageRead> expected;
  };
  for (const Case& c : {Case{kSaveFormatVersion, WithHistory().history}, Case{1, {}}}) {
    SCOPED_TRACE(c.version);
    testing::TestGame t;
    FileImages files(t.Make());
    const SaveReadResult read = DecodeSave(EncodeSave(header, WithHistory(), c.version), "game-1", files);
    ASSERT_EQ(read.status, SaveReadStatus::kOk);
    EXPECT_EQ(read.version, c.version);
    EXPECT_EQ(read.header.name, "mine");
    EXPECT_EQ(read.snapshot->currentPage, "hall") << "the rest of an older save loads whole";
    EXPECT_EQ(read.snapshot->history, c.expected);
  }
}

TEST(SaveFormat, ANewerVersionIsRefused) {
  testing::TestGame t;
  FileImages files(t.Make());
  const SaveReadResult read = DecodeSave(EncodeSave({}, WithHistory(), kSaveFormatVersion + 1), "", files);
  EXPECT_EQ(read.status, SaveReadStatus::kNewer);
}

}  // namespace
}  // namespace velmora
