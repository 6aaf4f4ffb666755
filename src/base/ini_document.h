#pragma once
// One INI file of the game (config.ini, the story file, the tracklist, messages.ini, the
// inventory files).
//
// Reads always see the file as it is on disk now, including changes made by other
// programs: the parsed copy is kept only as a cache and is checked against the file's
// identity (size, modification time, inode) at every read, so a read of a large story
// file costs one stat and one hash lookup, not a parse. Writes change the file at once
// and replace it atomically (a complete temporary file in the same folder, synced, then a
// rename), keeping comments and blank lines, so a crash never leaves half a file behind.
//
// Section and key names ignore letter case (ASCII); the first occurrence of a section or
// key wins; values are trimmed, unquoted and cut to 2047 bytes; a section is present only
// when it holds a key. Opening never fails and never reads; no read ever fails.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace velmora {

class IniDocument {
 public:
  static constexpr size_t kMaxValueLength = 2047;
  // A larger file reads as one that cannot be read: defaults, and no write.
  static constexpr size_t kMaxFileSize = size_t{1} << 30;

  // Reads and writes path (already resolved) through files, which outlives the document.
  // maxBytes: a smaller bound for files that are never large (the player's own).
  IniDocument(GameFiles& files, std::string path, size_t maxBytes = kMaxFileSize);
  ~IniDocument();
  IniDocument(const IniDocument&) = delete;
  IniDocument& operator=(const IniDocument&) = delete;

  const std::string& Path() const { return path_; }

  std::string ReadText(std::string_view section, std::string_view key, std::string_view def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  bool SectionPresent(std::string_view section) const;
  // The lower-cased names of the sections present (holding a key), in file order.
  std::vector<std::string> SectionNames() const;
  // The lower-cased key names of a section (its first block), in file order.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // The file holds non-ASCII text that is valid UTF-8 (a game written in UTF-8).
  bool HoldsUtf8Text() const;
  // The file is past the document's bound, so it reads as empty and is never written.
  bool TooLarge() const;

  // A failed write raises RuntimeFault("Unable to write to <path>"); so does a write to a
  // file without its owner's write permission, even for root, and so does a section, key or
  // value that holds a line break or a NUL byte, which no line of the file can hold.
  void WriteText(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Replaces the whole file with text in one atomic step, for files that are always
  // written in full; the same failure rule as the writes above.
  void ReplaceContent(std::string_view text);
  // The same, keeping these very bytes as the document's text instead of a copy.
  void ReplaceContent(std::shared_ptr<const std::string> text);

  struct Parsed;

 private:
  const Parsed& Current() const;
  void Replace(std::shared_ptr<const std::string> text);
  GameFiles* files_;
  std::string path_;
  size_t maxBytes_;
  mutable std::unique_ptr<Parsed> cache_;
};

}  // namespace velmora
