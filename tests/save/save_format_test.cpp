// The save file's versions: the story so far travels in version 2, and a version 1 save,
// which has none, still loads whole.
#include "save/save_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

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

// The time of saving is 64 bits wide in the file and in memory alike: a machine whose
// time_t has 32 bits (WebAssembly) must not wrap a save made after 2038.
TEST(SaveFormat, TheTimeOfSavingKeepsAllSixtyFourBits) {
  for (const int64_t savedAt : {int64_t{0}, int64_t{-1}, int64_t{2147483648}, int64_t{4102444800}}) {
    SCOPED_TRACE(savedAt);
    const SaveReadResult read = DecodeSaveHeader(EncodeSave({"game-1", "", "", savedAt, 0, ""}, WithHistory()));
    ASSERT_EQ(read.status, SaveReadStatus::kOk);
    EXPECT_EQ(read.header.savedAt, savedAt);
  }
}

TEST(SaveFormat, ANewerVersionIsRefused) {
  testing::TestGame t;
  FileImages files(t.Make());
  const SaveReadResult read = DecodeSave(EncodeSave({}, WithHistory(), kSaveFormatVersion + 1), "", files);
  EXPECT_EQ(read.status, SaveReadStatus::kNewer);
}

// A save with its body replaced: claimed says how long the body is, packed is its data.
std::string WithBody(uint64_t claimed, const std::string& packed) {
  const std::string valid = EncodeSave({"game-1", "mine", "Hall", 1000, 5000, ""}, WithHistory(), kSaveFormatVersion);
  // The body's length and checksum stand just before the packed data, which ends the file.
  for (size_t at = 0; at + 12 <= valid.size(); ++at) {
    uint32_t crc;
    std::memcpy(&crc, valid.data() + at + 8, 4);
    const std::string rest = valid.substr(at + 12);
    if (crc != crc32(0, reinterpret_cast<const Bytef*>(rest.data()), static_cast<uInt>(rest.size()))) continue;
    std::string out = valid.substr(0, at);
    out.append(reinterpret_cast<const char*>(&claimed), 8);
    const uint32_t newCrc = crc32(0, reinterpret_cast<const Bytef*>(packed.data()), static_cast<uInt>(packed.size()));
    out.append(reinterpret_cast<const char*>(&newCrc), 4);
    return out + packed;
  }
  ADD_FAILURE() << "no body found";
  return {};
}

std::string Packed(const std::string& body) {
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(body.data()),
           static_cast<uLong>(body.size()));
  out.resize(size);
  return out;
}

// A body that unpacks to other than it claims is damaged; one that claims little and
// unpacks to much (8 MiB of zeros from 8 KiB) is stopped at its claim, not unpacked whole.
TEST(SaveFormat, ABodyThatUnpacksToOtherThanItClaimsIsDamaged) {
  const std::string bomb = Packed(std::string(8u << 20, '\0'));
  const std::string small = Packed("0123456789");
  struct Case {
    const char* what;
    std::string save;
  } cases[] = {
      {"claims less than it unpacks to", WithBody(1024, bomb)},
      {"claims more than it unpacks to", WithBody(11, small)},
      {"cut short", WithBody(10, small.substr(0, small.size() - 3))},
      {"not packed data", WithBody(10, "not zlib at all")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TestGame t;
    FileImages files(t.Make());
    EXPECT_EQ(DecodeSave(c.save, "game-1", files).status, SaveReadStatus::kDamaged);
  }
}

// A body far larger than the pieces it is packed and read in (a 300 KB story file, 100,000
// set members whose fields straddle every piece's edge) comes back whole, and what is
// packed is one zlib stream that a one-call unpacker (as the browser's is) reads to the
// length the file states.
TEST(SaveFormat, ALargeBodyComesBackWholeAndUnpacksInOneCall) {
  testing::TestGame t;
  FileImages files(t.Make());
  Snapshot s = WithHistory();
  std::string story;
  for (int i = 0; story.size() < 300000; ++i)
    story += "Line" + std::to_string(i) + "=" + std::to_string(i * 7919 % 100003) + "\r\n";
  s.files = {{GameFileRole::kStory, true, files.Intern(story)}, {GameFileRole::kConfig, false, nullptr}};
  for (int32_t i = 0; i < 100000; ++i) s.vars.intSet.push_back(i * 31);
  const std::string save = EncodeSave({"game-1", "", "", 0, 0, ""}, s);

  const SaveReadResult read = DecodeSave(save, "game-1", files);
  ASSERT_EQ(read.status, SaveReadStatus::kOk);
  EXPECT_EQ(read.snapshot->vars.intSet, s.vars.intSet);
  ASSERT_EQ(read.snapshot->files.size(), 2u);
  EXPECT_EQ(*read.snapshot->files[0].bytes, story);
  EXPECT_FALSE(read.snapshot->files[1].present);
  EXPECT_EQ(read.snapshot->history, s.history);

  // Magic, version, the header's length and CRC, the header; then the body's length and CRC.
  uint32_t headerSize;
  std::memcpy(&headerSize, save.data() + 12, 4);
  const size_t bodyAt = 20 + headerSize;
  uint64_t claimed;
  std::memcpy(&claimed, save.data() + bodyAt, 8);
  const std::string packed = save.substr(bodyAt + 12);
  std::string body(claimed + 1, '\0');
  uLongf size = static_cast<uLongf>(body.size());
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(body.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                       static_cast<uLong>(packed.size())),
            Z_OK);
  EXPECT_EQ(size, claimed);
  EXPECT_GT(claimed, story.size() + 400000);
}

}  // namespace
}  // namespace velmora
