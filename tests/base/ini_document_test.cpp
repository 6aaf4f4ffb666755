// INI documents: the reading rules on tricky files, the writing rules, and that reads
// always see the file as it is on disk.
#include "base/ini_document.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "base/fault.h"
#include "support/test_game.h"

namespace velmora {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

PosixFiles files;

struct ReadCase {
  const char* what;
  std::string file;
  const char* section;
  const char* key;
  std::string expected;  // read with the default "<def>"
};

TEST(IniRead, TextFollowsTheReadingRules) {
  const std::string longValue(2100, 'v');
  const ReadCase cases[] = {
      {"names ignore letter case", "[gameform]\r\nleft=5\r\n", "GameForm", "LEFT", "5"},
      {"first key wins", "[a]\r\nk=1\r\nK=2\r\n", "a", "k", "1"},
      {"first section block wins", "[a]\r\nx=1\r\n[b]\r\nk=b\r\n[A]\r\nk=2\r\n", "a", "k", "<def>"},
      {"blanks and tabs trimmed", "[a]\r\n \tk \t=  spaced  value \t\r\n", "a", "k", "spaced  value"},
      {"double quotes removed", "[a]\r\nk=  \"story file.qst\"  \r\n", "a", "k", "story file.qst"},
      {"single quotes removed", "[a]\r\nk='x'\r\n", "a", "k", "x"},
      {"mixed quotes kept", "[a]\r\nk=\"x'\r\n", "a", "k", "\"x'"},
      {"one quote kept", "[a]\r\nk=\"\r\n", "a", "k", "\""},
      {"only one pair removed", "[a]\r\nk=\"\"x\"\"\r\n", "a", "k", "\"x\""},
      {"value after the first =", "[a]\r\nk = b=c\r\n", "a", "k", "b=c"},
      {"empty value is a value", "[a]\r\nk=\r\n", "a", "k", ""},
      {"keys before any section belong to none", "k=1\r\n[a]\r\n", "a", "k", "<def>"},
      {"line without = is no key", "[a]\r\nk\r\n", "a", "k", "<def>"},
      {"LF line ends", "[a]\nk=lf\n", "a", "k", "lf"},
      {"CR line ends", "[a]\rk=cr\rj=2", "a", "j", "2"},
      {"no final line end", "[a]\r\nk=last", "a", "k", "last"},
      {"section name trimmed, text after ] ignored", "[ a ] ; note\r\nk=1\r\n", "a", "k", "1"},
      {"cut to 2047 bytes", "[a]\r\nk=" + longValue + "\r\n", "a", "k", std::string(2047, 'v')},
      {"cut after unquoting", "[a]\r\nk=\"" + std::string(2047, 'q') + "\"\r\n", "a", "k", std::string(2047, 'q')},
      {"Windows-1251 bytes kept", "[a]\r\nk=\xCF\xF0\xE8\xE2\xE5\xF2\r\n", "a", "k", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"national letters are not folded", "[\xC0]\r\nk=1\r\n", "\xE0", "k", "<def>"},
      {"byte-order mark before the first section", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "1"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    IniDocument doc(files, dir.Write("case.ini", c.file));
    EXPECT_EQ(doc.ReadText(c.section, c.key, "<def>"), c.expected) << c.what;
  }
}

struct IntCase {
  const char* value;
  int32_t expected;  // read with the default -99
};

TEST(IniRead, IntegersAndBooleans) {
  const IntCase ints[] = {
      {"16", 16},          {"0x10", 16},       {"0X10", 16},       {"$10", 16},      {"x10", 16},
      {"X1f", 31},         {"$FFFFFFFF", -1},  {"$7fffffff", INT32_MAX}, {"$100000000", -99},
      {"16px", -99},       {"", -99},          {" -7 ", -7},       {"+7", 7},        {"2147483648", -99},
      {"-2147483648", INT32_MIN},              {"1.0", -99},       {"\"12\"", 12},   {"true", -99},
  };
  TempDir dir;
  for (const auto& c : ints) {
    IniDocument doc(files, dir.Write("int.ini", std::string("[a]\r\nn=") + c.value + "\r\n"));
    EXPECT_EQ(doc.ReadInteger("a", "n", -99), c.expected) << '"' << c.value << '"';
  }
  IniDocument doc(files, dir.Write("bool.ini", "[a]\r\nt=true\r\nf=false\r\nzero=0\r\ntwo=2\r\nneg=-1\r\nhex=$0\r\n"));
  EXPECT_TRUE(doc.ReadBool("a", "t", true));
  EXPECT_FALSE(doc.ReadBool("a", "f", false));  // a word is no integer: the default
  EXPECT_TRUE(doc.ReadBool("a", "f", true));
  EXPECT_FALSE(doc.ReadBool("a", "zero", true));
  EXPECT_TRUE(doc.ReadBool("a", "two", false));
  EXPECT_TRUE(doc.ReadBool("a", "neg", false));
  EXPECT_FALSE(doc.ReadBool("a", "hex", true));
  EXPECT_TRUE(doc.ReadBool("a", "missing", true));
}

TEST(IniRead, SectionPresentOnlyWithAKey) {
  TempDir dir;
  IniDocument doc(files, dir.Write("s.ini",
                            "[empty]\r\n\r\n; comment only\r\n[full]\r\nk=\r\n[late]\r\n[LATE]\r\nk=1\r\n"
                            "[nokey]\r\nnot a key\r\n"));
  EXPECT_FALSE(doc.SectionPresent("empty"));
  EXPECT_TRUE(doc.SectionPresent("FULL"));
  EXPECT_FALSE(doc.SectionPresent("late"));  // its first block holds no key
  EXPECT_FALSE(doc.SectionPresent("nokey"));
  EXPECT_FALSE(doc.SectionPresent("absent"));
  EXPECT_EQ(doc.SectionNames(), std::vector<std::string>{"full"});
  EXPECT_EQ(doc.KeyNames("Full"), std::vector<std::string>{"k"});
}

TEST(IniRead, MissingFileReadsDefaults) {
  TempDir dir;
  IniDocument doc(files, (dir.path() / "none.ini").string());
  EXPECT_EQ(doc.ReadText("a", "k", "d"), "d");
  EXPECT_EQ(doc.ReadInteger("a", "k", 7), 7);
  EXPECT_FALSE(doc.SectionPresent("a"));
  IniDocument folder(files, dir.path().string());  // a folder is no INI file
  EXPECT_EQ(folder.ReadText("a", "k", "d"), "d");
}

TEST(IniRead, SeesEveryChangeOnDisk) {
  TempDir dir;
  const std::string path = dir.Write("c.ini", "[a]\r\nk=one\r\n");
  IniDocument doc(files, path);
  EXPECT_EQ(doc.ReadText("a", "k", ""), "one");
  // Rewritten in place with the same size within one tick of a coarse file-system clock:
  // size, inode and modification time all stay as they were.
  struct stat st {};
  ::stat(path.c_str(), &st);
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << "[a]\r\nk=two\r\n"; }
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  EXPECT_EQ(doc.ReadText("a", "k", ""), "two");
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << "[a]\r\nk=three\r\n"; }
  EXPECT_EQ(doc.ReadText("a", "k", ""), "three");
  fs::remove(path);
  EXPECT_EQ(doc.ReadText("a", "k", "gone"), "gone");
  dir.Write("c.ini", "[a]\r\nk=back\r\n");
  EXPECT_EQ(doc.ReadText("a", "k", ""), "back");
  // Another document of the same file writes; this one reads it.
  IniDocument other(files, path);
  other.WriteText("a", "k", "written");
  EXPECT_EQ(doc.ReadText("a", "k", ""), "written");
}

// Writing: (file before, section, key, value) -> file after, byte for byte.
struct WriteCase {
  const char* what;
  std::string before;
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

TEST(IniWrite, KeepsEverythingButTheKeyLine) {
  const WriteCase cases[] = {
      {"value replaced, comments and blanks kept",
       "; settings\r\n\r\n[GameForm]\r\n  Left = 240 \r\n; keep me\r\n\r\n[Font]\r\nName=x\r\n", "gameform", "LEFT",
       "16", "; settings\r\n\r\n[GameForm]\r\nLEFT=16\r\n; keep me\r\n\r\n[Font]\r\nName=x\r\n"},
      {"new key after the section's last line, before the blank",
       "[GameForm]\r\nLeft=1\r\n\r\n[Font]\r\nName=x\r\n", "GameForm", "Top", "5",
       "[GameForm]\r\nLeft=1\r\nTop=5\r\n\r\n[Font]\r\nName=x\r\n"},
      {"new key into the first block only", "[a]\r\nx=1\r\n[b]\r\n[a]\r\nk=old\r\n", "A", "k", "new",
       "[a]\r\nx=1\r\nk=new\r\n[b]\r\n[a]\r\nk=old\r\n"},
      {"first of two equal keys", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "3", "[a]\r\nk=3\r\nk=2\r\n"},
      {"missing section appended", "[a]\r\nk=1", "GameLoad", "Page", "start",
       "[a]\r\nk=1\r\n[GameLoad]\r\nPage=start\r\n"},
      {"empty file gets Windows line ends", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"LF file stays LF", "[a]\nk=1\n", "a", "j", "2", "[a]\nk=1\nj=2\n"},
      {"header as last line", "[a]", "a", "k", "1", "[a]\r\nk=1\r\n"},
      {"byte-order mark kept, its section found", "\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "2",
       "\xEF\xBB\xBF[a]\r\nk=2\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Write("w.ini", c.before);
    IniDocument doc(files, path);
    doc.WriteText(c.section, c.key, c.value);
    EXPECT_EQ(dir.Read("w.ini"), c.after) << c.what;
  }
}

TEST(IniWrite, IntegersBooleansAndNewFiles) {
  TempDir dir;
  IniDocument doc(files, (dir.path() / "new.ini").string());
  doc.WriteInteger("n", "neg", -42);
  doc.WriteInteger("n", "min", INT32_MIN);
  doc.WriteBool("n", "yes", true);
  doc.WriteBool("n", "no", false);
  EXPECT_EQ(dir.Read("new.ini"), "[n]\r\nneg=-42\r\nmin=-2147483648\r\nyes=1\r\nno=0\r\n");
  EXPECT_EQ(doc.ReadInteger("N", "NEG", 0), -42);
  EXPECT_FALSE(doc.ReadBool("n", "no", true));
}

TEST(IniWrite, ReplacesTheFileAtomically) {
  TempDir dir;
  const std::string path = dir.Write("a.ini", "[a]\r\nk=1\r\n");
  ::chmod(path.c_str(), 0640);
  struct stat before {};
  ::stat(path.c_str(), &before);
  IniDocument doc(files, path);
  doc.WriteText("a", "k", "2");
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file took the old one's name
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temp left

  // Never through a link: a file of its own takes the link's name, the target stays.
  const std::string link = (dir.path() / "link.ini").string();
  fs::create_symlink(path, link);
  IniDocument viaLink(files, link);
  viaLink.WriteText("a", "k", "3");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(dir.Read("link.ini"), "[a]\r\nk=3\r\n");
  EXPECT_EQ(dir.Read("a.ini"), "[a]\r\nk=2\r\n");
}

void ExpectWriteFails(IniDocument& doc) {
  try {
    doc.WriteText("a", "k", "2");
    FAIL() << "no fault";
  } catch (const RuntimeFault& f) {
    EXPECT_EQ(std::string(f.what()), "Unable to write to " + doc.Path());
  }
}

TEST(IniWrite, FailuresRaiseUnableToWrite) {
  TempDir dir;
  const std::string path = dir.Write("ro.ini", "[a]\r\nk=1\r\n");
  ::chmod(path.c_str(), 0444);  // read-only, also for root
  IniDocument readOnly(files, path);
  ExpectWriteFails(readOnly);
  EXPECT_EQ(dir.Read("ro.ini"), "[a]\r\nk=1\r\n");
  EXPECT_THROW(readOnly.ReplaceContent("x"), RuntimeFault);

  IniDocument noFolder(files, (dir.path() / "missing" / "x.ini").string());
  ExpectWriteFails(noFolder);

  fs::create_directory(dir.path() / "sub");
  IniDocument folder(files, (dir.path() / "sub").string());
  ExpectWriteFails(folder);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // no temp left

  // What no line can hold is refused before anything is written.
  const std::string plain = dir.Write("plain.ini", "[a]\r\nk=1\r\n");
  IniDocument doc(files, plain);
  for (const auto& [section, key, value] : {std::tuple<std::string, std::string, std::string>{"a", "k", "x\r\n[evil]"},
                                             {"a", "k\nz", "x"}, {"a\r", "k", "x"}, {"a", "k", std::string("x\0y", 3)}})
    EXPECT_THROW(doc.WriteText(section, key, value), RuntimeFault) << key << value;
  EXPECT_EQ(dir.Read("plain.ini"), "[a]\r\nk=1\r\n");
}

}  // namespace
}  // namespace velmora
