#include "run/live_reload.h"

#include <map>

#include "base/game.h"
#include "base/ini_document.h"
#include "base/text.h"
#include "inventory/inventory.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "story/page_loader.h"
#include "story/page_state.h"

namespace velmora {

namespace {

constexpr size_t kMaxReloadBytes = IniDocument::kMaxFileSize;

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An INI line must be blank, a comment, a [section] or a key=value.
int BrokenIniLine(const std::string& text, std::string& reason) {
  int line = 0;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    ++line;
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view l(text.data() + start, end - start);
    while (!l.empty() && static_cast<unsigned char>(l.back()) <= ' ') l.remove_suffix(1);
    while (!l.empty() && static_cast<unsigned char>(l.front()) <= ' ') l.remove_prefix(1);
    if (l.empty() || l.front() == ';' || l.front() == '#') continue;
    if (l.front() == '[') {
      if (l.back() != ']') {
        reason = "a section name without its closing ]";
        return line;
      }
      continue;
    }
    if (l.find('=') == std::string_view::npos) {
      reason = "neither a section, a key=value nor a comment";
      return line;
    }
  }
  return 0;
}

// The library's tokens as its splitter cuts them, with the line each starts on: a quote
// that is never closed and a ___script block that never ends are breaks.
int BrokenLibraryLine(const std::string& text, std::string& reason) {
  int line = 1, openLine = 0;
  size_t i = 0;
  const size_t end = std::min(text.find('\0'), text.size());
  while (i < end) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') ++line;
    if (c <= ' ') {
      ++i;
      continue;
    }
    const int tokenLine = line;
    std::string token;
    if (c == '"') {
      for (++i;; ++i) {
        if (i >= end) {
          reason = "a quoted word whose closing quote is missing";
          return tokenLine;
        }
        if (text[i] == '\n') ++line;
        if (text[i] == '"') {
          if (i + 1 < end && text[i + 1] == '"') {
            token += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        token += text[i];
      }
    } else {
      while (i < end && static_cast<unsigned char>(text[i]) > ' ') token += text[i++];
    }
    if (openLine == 0 && SameCommand(token, "___script")) openLine = tokenLine;
    else if (openLine != 0 && SameCommand(token, "___end")) openLine = 0;
  }
  if (openLine != 0) reason = "a ___script block without its ___end";
  return openLine;
}

// Labels recorded so far point into the old token lists: each is moved to the first
// definition of its name in the new library, and dropped when the library no longer has one.
void MoveLabels(Game& game) {
  std::vector<ScriptLabel> kept;
  for (const ScriptLabel& label : game.labels->labels) {
    for (const ScriptBlock& s : game.scripts->scripts) {
      const TokenList& t = s.tokens;
      size_t i = 0;
      while (i + 1 < t.tokens.size() && !(SameCommand(t.tokens[i], ".label") && SameCommand(t.tokens[i + 1], label.name))) ++i;
      if (i + 1 >= t.tokens.size()) continue;
      const int32_t first = static_cast<int32_t>(i + 2);
      const int32_t stop = first < static_cast<int32_t>(t.terminator.size()) ? t.terminator[static_cast<size_t>(first)]
                                                                              : static_cast<int32_t>(t.tokens.size());
      kept.push_back({label.name, first, stop - 1});
      break;
    }
  }
  game.labels->Clear();
  for (ScriptLabel& label : kept) game.labels->Add(std::move(label));
}

// New item definitions, with the counts, states and items the run holds kept.
void ReloadItems(Game& game) {
  Inventory& inv = *game.inventory;
  std::map<std::string, ItemFields, std::less<>> held;
  std::vector<std::string> order;
  for (int i = 0; i < inv.Size(); ++i) {
    order.emplace_back(inv.Name(i));
    held.emplace(std::string(inv.Name(i)), inv.Fields(i));
  }
  inv.Clear();
  LoadDefinitions(game);
  for (int i = 0; i < inv.Size(); ++i) {
    auto it = held.find(inv.Name(i));
    if (it == held.end()) continue;
    inv.SetCount(i, it->second.count);
    inv.SetEnabled(i, it->second.enabled);
    inv.SetEquipped(i, it->second.isEquipped);
    held.erase(it);
  }
  for (const std::string& name : order)
    if (auto it = held.find(name); it != held.end() && it->second.count != 0) inv.Append(std::move(it->second));
}

}  // namespace

WatchedFile ClassifyChangedFile(Game& game, const std::string& path) {
  const std::string name = AsciiLower(FileName(path));
  if (game.story && name == AsciiLower(FileName(game.story->Path()))) return WatchedFile::kStory;
  if (name == "scripts.bsf") return WatchedFile::kScripts;
  if (name == "messages.ini") return WatchedFile::kMessages;
  if (name == "inventory.inv") return WatchedFile::kInventory;
  return WatchedFile::kNone;
}

int FindBrokenLine(WatchedFile kind, const std::string& text, std::string& reason) {
  return kind == WatchedFile::kScripts ? BrokenLibraryLine(text, reason) : BrokenIniLine(text, reason);
}

ReloadResult ReloadChangedFile(Game& game, const std::string& path) {
  ReloadResult result;
  const WatchedFile kind = ClassifyChangedFile(game, path);
  if (kind == WatchedFile::kNone) return result;
  const std::string name = FileName(path);
  const FileRead read = game.files().Read(path, kMaxReloadBytes);
  std::string reason;
  int line = 0;
  if (!read.ok()) {
    reason = "the file cannot be read";
  } else {
    line = FindBrokenLine(kind, read.bytes, reason);
  }
  if (!reason.empty()) {
    result.notice = name + (line > 0 ? ", line " + std::to_string(line) : "") + ": " + reason +
                    "; the game goes on as it was";
    game.WriteLog(2, "Live reload: " + result.notice);
    return result;
  }
  switch (kind) {
    case WatchedFile::kScripts:
      game.scripts->scripts = CutIntoBlocks(*game.interp->commands, SplitTokens(read.bytes));
      game.scripts->Reindex();
      MoveLabels(game);
      break;
    case WatchedFile::kInventory:
      ReloadItems(game);
      break;
    default:  // the story file and messages.ini are read afresh at every read
      break;
  }
  game.WriteLog(1, "Live reload: " + name + " reloaded");
  result.reloaded = true;
  if (!game.page->currentPage.empty()) game.RunEvent([&] { LoadPage(game, game.page->currentPage); });
  return result;
}

}  // namespace velmora
