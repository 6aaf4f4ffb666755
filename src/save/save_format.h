#pragma once
// The save file: a versioned, checksummed, zlib-compressed snapshot with a small header
// that the Save/Load window reads without unpacking the rest.
//
//   "VELMSAVE"  magic, 8 bytes
//   u32         format version
//   u32, u32    header length, CRC-32 of the header
//   header      game id, slot name, page caption, saved-at time, time played, thumbnail PNG
//   u64, u32    body length unpacked, CRC-32 of the packed body
//   ...         the body, zlib-compressed: the snapshot, files included
//
// Integers are little-endian; texts and byte strings carry a u32 length. Reading checks
// everything before it hands anything out, so a damaged, foreign or newer file is refused
// whole, never used in part.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "save/snapshot.h"

namespace velmora {

// 2: the story so far at the body's end. Version 1 saves load with an empty one.
constexpr uint32_t kSaveFormatVersion = 2;

struct SaveHeader {
  std::string gameId;
  std::string name;         // the player's name for the save (UTF-8); may be empty
  std::string pageCaption;  // what the save list shows of the page (game code page)
  int64_t savedAt = 0;  // seconds since the epoch (a 32-bit time_t ends in 2038)
  int64_t playedMs = 0;
  std::string thumbnailPng;  // empty when the front end has none
};

// version: the format to write; an older one leaves out what it cannot hold (for players
// that read only that one, and for tests of reading old saves).
std::string EncodeSave(const SaveHeader& header, const Snapshot& snapshot, uint32_t version = kSaveFormatVersion);

enum class SaveReadStatus { kOk, kNotASave, kNewer, kDamaged, kForeign };

struct SaveReadResult {
  SaveReadStatus status = SaveReadStatus::kOk;
  uint32_t version = 0;  // of the file's format
  SaveHeader header;
  std::shared_ptr<Snapshot> snapshot;  // set by DecodeSave when kOk; pictures not loaded yet
};

// The header alone (for listing). kForeign is never reported here.
SaveReadResult DecodeSaveHeader(const std::string& bytes);
// The whole save, for a game of id gameId. File contents are interned in `files`.
SaveReadResult DecodeSave(const std::string& bytes, const std::string& gameId, FileImages& files);

// The same save under another name (the body is kept as it is); nothing when the bytes
// are no readable save.
std::optional<std::string> RenameSave(const std::string& bytes, const std::string& name);

// A refusal in words, for a line or a box.
std::string DescribeRefusal(SaveReadStatus status);

}  // namespace velmora
