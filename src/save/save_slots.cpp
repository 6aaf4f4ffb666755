#include "save/save_slots.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string GameSaveId(const Game& game) {
  std::error_code ec;
  std::string folder = std::filesystem::weakly_canonical(game.gameFolder(), ec).string();
  if (ec) folder = game.gameFolder();
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
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02d.sav", slot);
  return name;
}

std::string SlotWords(int slot) { return slot == kQuickSlot ? "the quick slot" : "slot " + std::to_string(slot); }

std::optional<std::string> ReadSlotFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return std::move(buffer).str();
}

std::optional<std::string> ReadSlotHeaderBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(20, '\0');
  in.read(bytes.data(), 20);
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() < 20) return bytes;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 12);
  const uint32_t length = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  // A header is small (a thumbnail at most); a damaged length reads what there is.
  const size_t want = std::min<size_t>(length, 64u << 20);
  bytes.resize(20 + want);
  in.read(bytes.data() + 20, static_cast<std::streamsize>(want));
  bytes.resize(20 + static_cast<size_t>(in.gcount()));
  return bytes;
}

bool WriteSlotFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::error_code ec;
  const std::filesystem::path target(path);
  std::filesystem::create_directories(target.parent_path(), ec);
  if (ec) {
    error = ec.message();
    return false;
  }
  const std::string tmp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  bool ok = true;
  for (size_t written = 0; ok && written < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else written += static_cast<size_t>(n);
  }
  if (!ok) error = std::strerror(errno);
  ok = ::fdatasync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    if (error.empty()) error = std::strerror(errno);
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace velmora
