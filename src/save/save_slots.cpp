#include "save/save_slots.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "base/game.h"
#include "base/ini_document.h"
#include "library/user_folders.h"

namespace velmora {

namespace {

uint64_t Fnv1a(std::string_view text, uint64_t hash = 14695981039346656037ull) {
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string GameCaption(const Game& game) {
  return game.config ? game.config->ReadText("GameForm", "Caption", "Velmora Player v1.2") : std::string();
}

// The caption's ASCII letters and digits, so a person can tell the folders apart.
std::string ReadableName(const std::string& caption) {
  std::string name;
  for (unsigned char c : caption) {
    if (std::isalnum(c) && c < 0x80) {
      name.push_back(static_cast<char>(std::tolower(c)));
    } else if (!name.empty() && name.back() != '-') {
      name.push_back('-');
    }
    if (name.size() >= 40) break;
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name.empty() ? "game" : name;
}

}  // namespace

std::string GameSaveId(Game& game) {
  std::string folder = game.files().FullPath(game.gameFolder());
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx",
                static_cast<unsigned long long>(Fnv1a(GameCaption(game), Fnv1a(std::string(1, '\0'), Fnv1a(folder)))));
  return hex;
}

std::string SaveFolder(const Game& game, const std::string& gameId) {
  return UserDataFolder() + "saves/" + ReadableName(GameCaption(game)) + "-" + gameId + "/";
}

std::string SlotFileName(int slot) {
  if (slot == kQuickSlot) return "quick.sav";
  if (slot == kAutoSlot) return "auto.sav";
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02d.sav", slot);
  return name;
}

std::string SlotWords(int slot) {
  if (slot == kQuickSlot) return "the quick slot";
  if (slot == kAutoSlot) return "the automatic slot";
  return "slot " + std::to_string(slot);
}

std::optional<std::string> ReadSlotFile(GameFiles& files, const std::string& path, bool* tooLarge) {
  FileRead read = files.Read(path, kMaxSaveBytes);
  if (tooLarge) *tooLarge = read.status == FileRead::Status::kTooLarge;
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

std::optional<std::string> ReadSlotHead(GameFiles& files, const std::string& path) {
  FileRead read = files.ReadHead(path, kMaxSaveHeadBytes);
  if (!read.ok()) return std::nullopt;
  return std::move(read.bytes);
}

bool WriteSlotFile(GameFiles& files, const std::string& path, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return !ec && files.Replace(path, bytes);
}

}  // namespace velmora
