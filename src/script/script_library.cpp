#include "script/script_library.h"


#include "script/interpreter.h"
#include "base/fault.h"
#include "base/game.h"
#include "base/text.h"

namespace velmora {

namespace {

// The largest script library read; a larger one is refused with a fault.
constexpr size_t kMaxLibrarySize = size_t{1} << 30;
// Each token costs some 40 bytes however short it is, so the bound on a library is on its
// tokens: a file of a hundred megabytes of one-letter words would take gigabytes. Real
// libraries hold a few thousand.
constexpr size_t kMaxLibraryTokens = 8'000'000;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The lines of the text (ended by CR LF, LF or CR), each trimmed of bytes up to 32 at
// both ends and followed by CR LF. Quoted tokens that span lines keep these line ends.
std::string JoinTrimmedLines(std::string_view text) {
  std::string joined;
  joined.reserve(text.size() + 2);
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find_first_of("\r\n", i);
    if (e == std::string_view::npos) e = text.size();
    joined += Trimmed(text.substr(i, e - i));
    joined += "\r\n";
    if (e < text.size()) e += (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1;
    i = e;
  }
  return joined;
}

}  // namespace

std::vector<std::string> SplitTokens(std::string_view text, size_t maxTokens) {
  text = text.substr(0, text.find('\0'));  // the text ends at the first zero byte
  const std::string joined = JoinTrimmedLines(text);
  const std::string_view s = joined;
  std::vector<std::string> tokens;
  size_t k = 0;
  while (k < s.size() && tokens.size() <= maxTokens) {
    if (IsBlank(s[k])) {
      ++k;
    } else if (s[k] == '"') {
      // Runs to the next quote that is not doubled (or to the end); "" inside is one quote.
      std::string token;
      ++k;
      while (k < s.size()) {
        const size_t q = s.find('"', k);
        if (q == std::string_view::npos) {
          token += s.substr(k);
          k = s.size();
          break;
        }
        token += s.substr(k, q - k);
        if (q + 1 < s.size() && s[q + 1] == '"') {
          token += '"';
          k = q + 2;
        } else {
          k = q + 1;
          break;
        }
      }
      tokens.emplace_back(Trimmed(token));
    } else {
      const size_t start = k;
      while (k < s.size() && !IsBlank(s[k])) ++k;
      tokens.emplace_back(s.substr(start, k - start));
    }
  }
  return tokens;
}

std::vector<ScriptBlock> CutIntoBlocks(const CommandTable& commands, std::vector<std::string> tokens) {
  std::vector<ScriptBlock> blocks;
  const size_t n = tokens.size();
  size_t i = 0;
  while (i < n) {
    if (!SameCommand(tokens[i], "___script")) {
      ++i;
      continue;
    }
    // A marker with no name after it (the last token of the file) opens nothing.
    if (i + 1 >= n) break;
    ScriptBlock block;
    block.name = ShortStr(tokens[i + 1]);
    i += 2;
    while (i < n && !SameCommand(tokens[i], "___end")) block.tokens.tokens.push_back(std::move(tokens[i++]));
    ++i;  // past the end marker, or past the end of the file
    block.tokens.Resolve(commands);
    blocks.push_back(std::move(block));
  }
  return blocks;
}

void LoadScriptLibrary(Game& game) {
  game.scripts->scripts.clear();
  const std::string path = game.gameFolder() + "\\Scripts\\Scripts.bsf";
  if (game.files().FileExists(path)) {
    // A library that cannot be read loads as an empty one.
    const FileRead read = game.files().Read(game.files().Resolve(path), kMaxLibrarySize);
    if (read.status == FileRead::Status::kTooLarge)
      throw RuntimeFault("The script library " + path + " is larger than " + std::to_string(kMaxLibrarySize >> 20) +
                         " MB and was not loaded");
    std::vector<std::string> tokens = SplitTokens(read.bytes, kMaxLibraryTokens);
    if (tokens.size() > kMaxLibraryTokens)
      throw RuntimeFault("The script library " + path + " holds more than " + std::to_string(kMaxLibraryTokens) +
                         " words and was not loaded");
    game.scripts->scripts = CutIntoBlocks(*game.interp->commands, std::move(tokens));
  }
  game.scripts->Reindex();
}

size_t CommandNameHash::operator()(std::string_view name) const {
  uint64_t h = 14695981039346656037u;  // FNV-1a over the lower-cased bytes
  for (char c : name) h = (h ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211u;
  return static_cast<size_t>(h);
}

bool CommandNameEqual::operator()(std::string_view a, std::string_view b) const { return SameCommand(a, b); }

void ScriptLibrary::Reindex() {
  byName_.clear();
  for (size_t i = 0; i < scripts.size(); ++i) byName_.emplace(scripts[i].name, static_cast<int>(i));
  indexed_ = scripts.size();
}

int ScriptLibrary::FindScript(std::string_view name) const {
  if (indexed_ == scripts.size()) {
    auto it = byName_.find(name);
    return it == byName_.end() ? -1 : it->second;
  }
  for (size_t i = 0; i < scripts.size(); ++i)
    if (SameCommand(scripts[i].name, name)) return static_cast<int>(i);
  return -1;
}

int LabelTable::FindLabel(std::string_view name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? -1 : it->second;
}

void LabelTable::Add(ScriptLabel label) {
  if (byName_.emplace(label.name, static_cast<int>(labels.size())).second)
    labels.push_back(std::move(label));
}

void LabelTable::Clear() {
  labels.clear();
  byName_.clear();
}

namespace {

[[gnu::noinline]] void RunScriptCommands(Game& game, const TokenList& t) {
  int32_t p = 0;  // each run has its own position, so a script may run inside itself
  while (p < t.size() && t.CommandAt(p) != kEndToken) ExecuteCommand(game, t, p);
}

[[gnu::noinline]] void RunLabelCommands(Game& game, const TokenList& t, int32_t first, int32_t last) {
  int32_t p = first;
  while (p <= last) {
    Arg(t, p);  // past the end of this list: the argument-position fault
    if (t.CommandAt(p) == kEndToken) break;
    ExecuteCommand(game, t, p);
  }
}

}  // namespace

void RunScript(Game& game, std::string_view name) {
  const int index = game.scripts->FindScript(name);
  if (index == -1) {
    game.WriteLog(3, "Script Error! Script " + std::string(name) + " not found!");
    game.ReportMissing(Game::Missing::kScript, name);
    return;
  }
  // The name may be a view of a variable's value: it is not used from here on.
  NestedRun run(game, NestedRun::kRun);
  RunScriptCommands(game, game.scripts->scripts[static_cast<size_t>(index)].tokens);
}

int32_t DefineLabel(Game& game, std::string_view name, const TokenList& t, int32_t first) {
  const int32_t resume = t.AfterTerminator(first);
  game.labels->Add({ShortStr(name), first, resume - 2});
  return resume;  // after the terminator: it is not executed, and an "end" here ends nothing
}

void RunLabel(Game& game, const TokenList& t, std::string_view name) {
  const int index = game.labels->FindLabel(name);
  if (index == -1) {
    game.WriteLog(3, "Script Error! Label " + std::string(name) + " not found!");
    game.ReportMissing(Game::Missing::kLabel, name);
    return;
  }
  NestedRun run(game, NestedRun::kRun);
  // Positions only: a label recorded in another script runs over this list's tokens.
  const ScriptLabel& label = game.labels->labels[static_cast<size_t>(index)];
  RunLabelCommands(game, t, label.first, label.last);
}

}  // namespace velmora
