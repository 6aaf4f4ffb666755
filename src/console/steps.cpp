#include "console/steps.h"

#include <charconv>
#include <limits>

#include "audio/audio_window_state.h"
#include "console/console_dialogs.h"
#include "console/screen_text.h"
#include "inventory/inventory_window_state.h"
#include "base/game.h"
#include "base/main_window_state.h"
#include "base/text.h"
#include "base/visible_text.h"
#include "save/save_games.h"
#include "story/choice_menu.h"

namespace velmora {

const char* const kStepHelp =
    "choose N         double-click choice N (from 1)\n"
    "choose none      double-click below the last choice\n"
    "wait MS          let MS milliseconds pass (timers fire)\n"
    "answer TEXT      the answer for the next input dialog\n"
    "answer cancel    Cancel for the next input dialog (also: cancel)\n"
    "inventory        open the inventory window\n"
    "inventory select N | use | wear | close\n"
    "audio            open the audio options window\n"
    "audio volume N | balance N | ok | close\n"
    "save N           save the game in slot N (1 to 99)\n"
    "load N           load the game saved in slot N\n"
    "back             go back to before the last choice (repeat to go further)\n"
    "import N FILE    put the save file FILE (from another copy of the game) into slot N\n"
    "show             print the window: caption, picture, text, choices\n"
    "history          the story so far: each page read and the choice taken on it\n"
    "quit             the close box\n";

namespace {

// Longest `wait`: a day. A mistyped number must not keep a replay busy for years.
constexpr int64_t kMaxWaitMs = 24LL * 60 * 60 * 1000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view CutComment(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] == '#' && (i == 0 || IsBlank(s[i - 1]))) return s.substr(0, i);
  return s;
}

std::vector<std::string> Words(std::string_view s) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    if (i > start) words.emplace_back(s.substr(start, i - start));
  }
  return words;
}

bool Number(std::string_view text, int64_t low, int64_t high, int64_t& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return false;
  out = value;
  return true;
}

constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();

// Every step but `answer`, whose text is free. N stands for a number within [low, high].
struct Pattern {
  const char* words;
  StepKind kind;
  const char* usage;
  int64_t low = 0, high = 0;
};

const Pattern kPatterns[] = {
    {"choose none", StepKind::kChooseNone, "choose none"},
    {"choose N", StepKind::kChoose, "choose N (from 1)", 1, kIntMax},
    {"wait N", StepKind::kWait, "wait MS (0 to 86400000)", 0, kMaxWaitMs},
    {"cancel", StepKind::kCancel, "cancel"},
    {"inventory", StepKind::kInventory, "inventory"},
    {"inventory select N", StepKind::kInventorySelect, "inventory select N (from 1)", 1, kIntMax},
    {"inventory use", StepKind::kInventoryUse, "inventory use"},
    {"inventory wear", StepKind::kInventoryWear, "inventory wear"},
    {"inventory close", StepKind::kInventoryClose, "inventory close"},
    {"audio", StepKind::kAudio, "audio"},
    {"audio volume N", StepKind::kAudioVolume, "audio volume N", kIntMin, kIntMax},
    {"audio balance N", StepKind::kAudioBalance, "audio balance N", kIntMin, kIntMax},
    {"audio ok", StepKind::kAudioOk, "audio ok"},
    {"audio close", StepKind::kAudioClose, "audio close"},
    {"save N", StepKind::kSave, "save N (1 to 99)", kFirstSlot, kLastSlot},
    {"load N", StepKind::kLoad, "load N (1 to 99)", kFirstSlot, kLastSlot},
    {"back", StepKind::kBack, "back"},
    {"show", StepKind::kShow, "show"},
    {"history", StepKind::kHistory, "history"},
    {"quit", StepKind::kQuit, "quit"},
    {"help", StepKind::kHelp, "help"},
};

}  // namespace

bool ParseStep(std::string_view line, Step& step, std::string& error, bool bareNumbers) {
  step = Step{};
  line = Trim(line);
  if (line.empty() || line.front() == '#') return true;

  const size_t wordEnd = std::min(line.find_first_of(" \t"), line.size());
  const std::string verb = AsciiLower(line.substr(0, wordEnd));
  if (verb == "answer") {
    step.source = std::string(line);
    step.text = std::string(Trim(line.substr(wordEnd)));
    step.kind = SameCommand(step.text, "cancel") ? StepKind::kCancel : StepKind::kAnswer;
    if (step.kind == StepKind::kCancel) step.text.clear();
    return true;
  }

  if (verb == "import") {
    // The file's name is the rest of the line as written: it may hold spaces and capitals.
    step.source = std::string(line);
    const std::string_view rest = Trim(line.substr(wordEnd));
    const size_t numberEnd = std::min(rest.find_first_of(" \t"), rest.size());
    step.text = std::string(Trim(rest.substr(numberEnd)));
    if (!Number(rest.substr(0, numberEnd), kFirstSlot, kLastSlot, step.number) || step.text.empty()) {
      error = std::string(line) + ": expected import N FILE (N from 1 to 99)";
      return false;
    }
    step.kind = StepKind::kImport;
    return true;
  }

  line = Trim(CutComment(line));
  step.source = std::string(line);
  if (line.empty()) return true;
  std::vector<std::string> words = Words(line);
  for (std::string& w : words) w = AsciiLower(w);
  if (bareNumbers && words.size() == 1 && Number(words[0], 1, kIntMax, step.number)) {
    step.kind = StepKind::kChoose;
    return true;
  }

  std::string expected;
  for (const Pattern& pattern : kPatterns) {
    const std::vector<std::string> want = Words(pattern.words);
    if (want[0] != words[0]) continue;
    expected += (expected.empty() ? "" : " or ") + std::string(pattern.usage);
    if (want.size() != words.size()) continue;
    bool match = true;
    for (size_t k = 1; k < want.size() && match; ++k)
      match = want[k] == "N" ? Number(words[k], pattern.low, pattern.high, step.number) : want[k] == words[k];
    if (match) {
      step.kind = pattern.kind;
      return true;
    }
  }
  error = expected.empty() ? "unknown step: " + std::string(line) : std::string(line) + ": expected " + expected;
  return false;
}

void FireDueTimers(Game& game) {
  for (int guard = 0; guard < 10000 && !game.CloseRequested() && game.timers.FireOne(); ++guard) {
  }
}

StepRunner::StepRunner(Game& game, ConsoleDialogs& dialogs, std::ostream& out)
    : game_(game), dialogs_(dialogs), out_(out), saves_(std::make_unique<SaveGames>(game)) {}

StepRunner::~StepRunner() = default;

void StepRunner::PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) out_ << VisibleUtf8(line) << '\n';
  out_.flush();
}

void StepRunner::Run(const Step& step) {
  switch (step.kind) {
    case StepKind::kNone:
      break;
    case StepKind::kChoose:
      Choose(step.number);
      break;
    case StepKind::kChooseNone:
      Choose(0);
      break;
    case StepKind::kWait:
      if (wait) wait(step.number);
      break;
    case StepKind::kAnswer:
      dialogs_.QueueAnswer(step.text);
      break;
    case StepKind::kCancel:
      dialogs_.QueueAnswer(std::nullopt);
      break;
    case StepKind::kInventory:
    case StepKind::kInventorySelect:
    case StepKind::kInventoryUse:
    case StepKind::kInventoryWear:
    case StepKind::kInventoryClose:
      Inventory(step);
      break;
    case StepKind::kAudio:
    case StepKind::kAudioVolume:
    case StepKind::kAudioBalance:
    case StepKind::kAudioOk:
    case StepKind::kAudioClose:
      Audio(step);
      break;
    case StepKind::kSave:
      PrintLines({saves_->Save(static_cast<int>(step.number)).message});
      break;
    case StepKind::kLoad:
      PrintLines({saves_->Load(static_cast<int>(step.number)).message});
      break;
    case StepKind::kImport: {
      const auto bytes = ReadSlotFile(game_.files(), step.text);
      PrintLines({bytes ? saves_->Import(static_cast<int>(step.number), *bytes).message
                        : "cannot import into " + SlotWords(static_cast<int>(step.number)) + ": cannot read " + step.text});
      break;
    }
    case StepKind::kBack:
      PrintLines({saves_->Back().message});
      break;
    case StepKind::kShow:
      PrintLines(DescribeMainWindow(game_));
      break;
    case StepKind::kHistory:
      PrintLines(DescribeHistory(game_));
      break;
    case StepKind::kQuit:
      game_.RequestClose();
      break;
    case StepKind::kHelp:
      out_ << kStepHelp;
      out_.flush();
      break;
  }
}

void StepRunner::Choose(int64_t number) {
  MainWindowState& window = *game_.mainWindow;
  const auto count = static_cast<int64_t>(window.choiceItems.size());
  if (number > count) {
    out_ << "(there is no choice " << number << ": the double-click falls below the last of " << count << ")\n";
    out_.flush();
  }
  // A double-click selects the item under the pointer first; below the last item nothing is.
  window.selectedChoice = number >= 1 && number <= count ? static_cast<int>(number - 1) : -1;
  window.Changed(MainWindowState::kSelection);
  game_.RunEvent([this] { ChooseHighlightedAction(game_); });
}

void StepRunner::Inventory(const Step& step) {
  InventoryWindowState& window = *game_.inventoryWindow;
  switch (step.kind) {
    case StepKind::kInventory:
      window.Open(game_);
      break;
    case StepKind::kInventorySelect:
      window.Select(game_, static_cast<int>(step.number - 1));
      break;
    case StepKind::kInventoryUse:
      window.PressUse(game_);
      break;
    case StepKind::kInventoryWear:
      window.PressWear(game_);
      break;
    default:
      window.Close(game_);
      break;
  }
  PrintLines(DescribeInventoryWindow(game_));
}

void StepRunner::Audio(const Step& step) {
  AudioWindowState& window = *game_.audioWindow;
  switch (step.kind) {
    case StepKind::kAudioVolume:
      window.MoveVolume(game_, static_cast<int>(step.number));
      break;
    case StepKind::kAudioBalance:
      window.MoveBalance(game_, static_cast<int>(step.number));
      break;
    case StepKind::kAudioOk:
      window.PressOk(game_);
      break;
    case StepKind::kAudioClose:
      window.Close();
      break;
    default:
      window.Open(game_);
      break;
  }
  PrintLines(DescribeAudioWindow(game_));
}

}  // namespace velmora
