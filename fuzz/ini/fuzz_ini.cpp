// Arbitrary bytes as an INI file and as integer text. Besides crashes and sanitizer
// findings it checks what must hold for every file: values are at most 2047 bytes, a
// decimal integer reads back as itself, and a write changes the one key written and no
// other key of the file.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/fault.h"
#include "base/ini_document.h"
#include "base/int_text.h"
#include "platform/files/posix_files.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

const std::string& Folder() {
  static const std::string folder = [] {
    std::string t = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/fuzz-ini-XXXXXX");
    Check(mkdtemp(t.data()) != nullptr, "temporary folder");
    return t;
  }();
  return folder;
}

void CheckInteger(std::string_view text) {
  const auto v = velmora::ParseInt32(text);
  if (v) Check(velmora::ParseInt32(std::to_string(*v)) == v, "decimal form reads back");
}

using Entries = std::vector<std::tuple<std::string, std::string, std::string>>;

Entries AllEntries(const velmora::IniDocument& doc) {
  Entries all;
  for (const auto& section : doc.SectionNames()) {
    Check(doc.SectionPresent(section), "listed section present");
    for (const auto& key : doc.KeyNames(section)) {
      if (all.size() >= 256) return all;
      all.emplace_back(section, key, doc.ReadText(section, key, "\x01"));
      Check(std::get<2>(all.back()).size() <= velmora::IniDocument::kMaxValueLength, "value cut");
    }
  }
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckInteger(bytes);
  CheckInteger(bytes.substr(0, 12));

  const std::string path = Folder() + "/f.ini";
  FILE* f = std::fopen(path.c_str(), "wb");
  Check(f && std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0, "input written");

  static velmora::PosixFiles files;
  velmora::IniDocument doc(files, path);
  const Entries before = AllEntries(doc);
  for (const auto& [section, key, value] : before) {
    CheckInteger(value);
    (void)doc.ReadInteger(section, key, 0);
  }
  if (size == 0 || data[0] % 2 == 0) return 0;

  // A value the reader gives back unchanged: no line break, blank or quote at its ends, and
  // no NUL byte (the writer refuses a value that would cut the line for other readers).
  std::string value = "v";
  for (char c : bytes.substr(1, 40))
    if (c != '\r' && c != '\n' && c != '\0') value += c;
  value += "v";
  try {
    doc.WriteText("FZ", "Key", value);
  } catch (const velmora::RuntimeFault&) {
    Check(false, "write to a writable file");
  }
  Check(doc.ReadText("fz", "KEY", "") == value, "written value reads back");
  for (const auto& [section, key, old] : before) {
    if (section == "fz" && key == "key") continue;
    Check(doc.ReadText(section, key, "\x01") == old, "other keys unchanged");
  }
  return 0;
}
