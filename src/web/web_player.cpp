// The browser's front end: runs one game in the page. The page draws the three windows
// from the state this sends it as JSON after every change, and queues what the player
// does as events in the words of the replay steps; this loop takes them one at a time,
// fires the timers on time between them and sleeps in the browser's event loop
// (Asyncify) while there is nothing to do.
#include <emscripten.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "velmora_version.h"
#include "audio/audio_window_state.h"
#include "base/game.h"
#include "base/text.h"
#include "inventory/inventory_window_state.h"
#include "run/chain_question.h"
#include "run/startup.h"
#include "save/save_games.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"
#include "web/web_platform.h"

extern "C" void velmora_js_render(const char* json);

namespace velmora {

namespace {

void AppendJson(std::string& out, std::string_view text) {
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

std::string Json(std::string_view text) {
  std::string out;
  AppendJson(out, text);
  return out;
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t k = 0; k < items.size(); ++k) {
    if (k) out += ',';
    AppendJson(out, items[k]);
  }
  return out + "]";
}

bool ToInt(std::string_view text, int64_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// Where the page puts a save file the player uploads, for the import that follows.
constexpr const char* kUploadFile = "/tmp/velmora-upload.sav";

class WebPlayer {
 public:
  WebPlayer(Game& game, WebPictures& pictures) : game_(game), pictures_(pictures), saves_(game) {
    game_.mainWindow->onChanged = [this](unsigned) { dirty_ = true; };
    game_.inventoryWindow->onChanged = [this](unsigned) { dirty_ = true; };
    game_.audioWindow->onChanged = [this] { dirty_ = true; };
  }
  ~WebPlayer() {
    game_.mainWindow->onChanged = nullptr;
    game_.inventoryWindow->onChanged = nullptr;
    game_.audioWindow->onChanged = nullptr;
  }

  // One round of the event loop without input: due timers, then the page repainted.
  // Returns the milliseconds until the next timer is due.
  int64_t Pump() {
    for (int guard = 0; guard < 10000 && !game_.CloseRequested() && game_.timers.FireOne(); ++guard) {
    }
    Render();
    return UntilNextTimer();
  }

  void Run() {
    dirty_ = true;
    while (!game_.CloseRequested()) {
      const int64_t untilTimer = Pump();
      if (auto event = NextPageEvent(false)) {
        Handle(*event);
        continue;
      }
      WaitForPage(untilTimer);
    }
    Render();
  }

  void Render() {
    if (!dirty_) return;
    dirty_ = false;
    velmora_js_render(StateJson().c_str());
  }

 private:
  int64_t UntilNextTimer() {
    const auto next = game_.timers.NextDeadline();
    if (!next) return 60 * 60 * 1000;
    return std::max<int64_t>(*next - game_.clock().NowMs(), 0);
  }

  std::string Utf8(std::string_view bytes) { return game_.codec.ToUtf8(bytes); }

  std::string StateJson() {
    const MainWindowState& main = *game_.mainWindow;
    std::vector<std::string> story, choices;
    for (const std::string& line : main.storyLines) story.push_back(Utf8(line));
    for (int k = 0; k < static_cast<int>(main.choiceItems.size()); ++k) {
      std::string text;
      for (const std::string& line : ChoiceLinesToDraw(game_, k)) text += (text.empty() ? "" : "\n") + Utf8(line);
      choices.push_back(text);
    }
    std::string out = "{\"main\":{\"caption\":" + Json(Utf8(main.caption));
    out += ",\"left\":" + std::to_string(main.left) + ",\"top\":" + std::to_string(main.top);
    out += ",\"width\":" + std::to_string(main.width) + ",\"height\":" + std::to_string(main.height);
    out += ",\"wordWrap\":" + std::string(main.wordWrap ? "true" : "false");
    out += ",\"font\":" + Json(Utf8(main.fontName)) + ",\"fontSize\":" + std::to_string(main.fontSize);
    out += ",\"picture\":" + Json(main.picture ? pictures_.FileOf(main.picture.get()) : std::string());
    out += ",\"story\":" + JsonList(story) + ",\"choices\":" + JsonList(choices);
    out += ",\"selected\":" + std::to_string(main.selectedChoice) + "}";

    const InventoryWindowState& inv = *game_.inventoryWindow;
    std::vector<std::string> entries, description;
    for (const std::string& e : inv.entries) entries.push_back(Utf8(e));
    for (const std::string& d : inv.description) description.push_back(Utf8(d));
    out += ",\"inventory\":{\"visible\":" + std::string(inv.visible ? "true" : "false");
    out += ",\"entries\":" + JsonList(entries) + ",\"selected\":" + std::to_string(inv.selectedEntry);
    out += ",\"picture\":" + Json(inv.picture ? pictures_.FileOf(inv.picture.get()) : std::string());
    out += ",\"item\":" + Json(Utf8(inv.itemName)) + ",\"count\":" + Json(Utf8(inv.itemCount));
    out += ",\"description\":" + JsonList(description);
    out += ",\"useEnabled\":" + std::string(inv.useEnabled ? "true" : "false");
    out += ",\"wearEnabled\":" + std::string(inv.wearEnabled ? "true" : "false");
    out += ",\"wearTakesOff\":" + std::string(inv.wearTakesOff ? "true" : "false") + "}";

    const AudioWindowState& audio = *game_.audioWindow;
    out += ",\"audio\":{\"visible\":" + std::string(audio.visible ? "true" : "false");
    out += ",\"volume\":" + std::to_string(audio.volume) + ",\"balance\":" + std::to_string(audio.balance);
    out += ",\"showCount\":" + std::to_string(audio.showCount) + "}";
    out += ",\"saves\":" + SavesJson() + "}";
    return out;
  }

  // The Save/Load dialog's part: the slots (listed only while the dialog is open, since
  // that reads every slot's header), the last step's line and whether there is a way back.
  std::string SavesJson() {
    std::string out = "{\"open\":" + std::string(savesOpen_ ? "true" : "false");
    out += ",\"folder\":" + Json(saves_.Folder()) + ",\"canGoBack\":" + (saves_.CanGoBack() ? "true" : "false");
    out += ",\"message\":" + Json(saveMessage_) + ",\"serial\":" + std::to_string(saveSerial_) + ",\"slots\":[";
    if (savesOpen_) {
      bool first = true;
      for (const SlotInfo& info : saves_.ListSlots()) {
        if (!info.used) continue;
        out += first ? "" : ",";
        first = false;
        out += "{\"slot\":" + std::to_string(info.slot) + ",\"file\":" + Json(SlotFileName(info.slot));
        if (info.status != SaveReadStatus::kOk) {
          out += ",\"refused\":" + Json(DescribeRefusal(info.status)) + "}";
          continue;
        }
        char when[32] = "";
        const auto at = static_cast<std::time_t>(info.header.savedAt);
        if (std::tm tm{}; localtime_r(&at, &tm)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &tm);
        out += ",\"name\":" + Json(info.header.name) + ",\"page\":" + Json(Utf8(info.header.pageCaption));
        out += ",\"savedAt\":" + Json(when) + ",\"playedMinutes\":" + std::to_string(info.header.playedMs / 60000) + "}";
      }
    }
    return out + "]}";
  }

  void SaveStep(const SaveGames::Outcome& outcome) {
    saveMessage_ = outcome.message;
    ++saveSerial_;
  }

  // The Save/Load dialog's events: "saves open|close", "saves save N", "saves load N",
  // "saves back", "saves delete N", "saves import N" (of the file the page wrote to kUploadFile).
  void HandleSaves(const std::vector<std::string>& words) {
    const std::string what = words.size() > 1 ? words[1] : "open";
    int64_t slot = -1;
    if (words.size() > 2 && (!ToInt(words[2], slot) || slot < kQuickSlot || slot > kLastSlot)) return;
    if (what == "open") {
      savesOpen_ = true;
    } else if (what == "close") {
      savesOpen_ = false;
    } else if (what == "back") {
      SaveStep(saves_.Back());
    } else if (slot < 0) {
      return;
    } else if (what == "save") {
      SaveStep(saves_.Save(static_cast<int>(slot)));
    } else if (what == "load") {
      const SaveGames::Outcome outcome = saves_.Load(static_cast<int>(slot));
      SaveStep(outcome);
      if (outcome.done) savesOpen_ = false;  // as the desktop's Load window, back to the story
    } else if (what == "delete") {
      saves_.Delete(static_cast<int>(slot));
      SaveStep({true, "deleted: " + SlotWords(static_cast<int>(slot))});
    } else if (what == "import") {
      const auto bytes = ReadSlotFile(game_.files(), kUploadFile);
      SaveStep(bytes ? saves_.Import(static_cast<int>(slot), *bytes)
                     : SaveGames::Outcome{false, "cannot import into " + SlotWords(static_cast<int>(slot)) + ": the file cannot be read"});
      unlink(kUploadFile);
    }
  }

  // One event from the page, as a window event of the desktop.
  void Handle(const std::string& event) {
    std::vector<std::string> words;
    for (size_t i = 0; i < event.size();) {
      const size_t end = std::min(event.find(' ', i), event.size());
      if (end > i) words.push_back(event.substr(i, end - i));
      i = end + 1;
    }
    if (words.empty()) return;
    int64_t number = 0;
    const bool numbered = words.size() >= 2 && ToInt(words.back(), number);
    const std::string& verb = words[0];
    MainWindowState& main = *game_.mainWindow;
    const auto count = static_cast<int64_t>(main.choiceItems.size());
    if (verb == "choose" && numbered) {
      // A click or a tap on a choice: selected, then run as the desktop's double-click.
      if (number < 1 || number > count) return;
      main.selectedChoice = static_cast<int>(number - 1);
      main.Changed(MainWindowState::kSelection);
      game_.RunEvent([this] { ChooseHighlightedAction(game_); });
    } else if (verb == "select" && numbered) {
      main.selectedChoice = number >= 1 && number <= count ? static_cast<int>(number - 1) : -1;
      main.Changed(MainWindowState::kSelection);
    } else if (verb == "inventory") {
      InventoryWindowState& inv = *game_.inventoryWindow;
      const std::string what = words.size() > 1 ? words[1] : "";
      if (what.empty()) inv.Open(game_);
      else if (what == "select" && numbered) inv.Select(game_, static_cast<int>(number - 1));
      else if (what == "use") inv.PressUse(game_);
      else if (what == "wear") inv.PressWear(game_);
      else if (what == "close") inv.Close(game_);
    } else if (verb == "audio") {
      AudioWindowState& audio = *game_.audioWindow;
      const std::string what = words.size() > 1 ? words[1] : "";
      if (what.empty()) audio.Open(game_);
      else if (what == "volume" && numbered) audio.MoveVolume(game_, static_cast<int>(number));
      else if (what == "balance" && numbered) audio.MoveBalance(game_, static_cast<int>(number));
      else if (what == "ok") audio.PressOk(game_);
      else if (what == "close") audio.Close();
    } else if (verb == "saves") {
      HandleSaves(words);
    } else if (verb == "quit") {
      game_.RequestClose();
    }
    dirty_ = true;
  }

  Game& game_;
  WebPictures& pictures_;
  SaveGames saves_;
  bool savesOpen_ = false;
  std::string saveMessage_;
  int saveSerial_ = 0;
  bool dirty_ = true;
};

}  // namespace

}  // namespace velmora

// Plays the game whose files are under folder (ending with '/'); returns the exit status
// (1 when start-up ended the program). The page calls it once, asynchronously.
extern "C" EMSCRIPTEN_KEEPALIVE int velmora_web_play(const char* folder, const char* codePage, int debug) {
  using namespace velmora;
  const std::string gameFolder = folder;
  // The game folder is the current directory too, as in a copy of the game on the desktop.
  if (chdir(gameFolder.c_str()) != 0) return 1;
  // The player's own data (saves) in a folder of the page's file system that the page
  // keeps in the browser's storage for this game.
  setenv("XDG_DATA_HOME", "/player-data", 1);

  WebFiles files;
  WebClock clock;
  WebDialogs dialogs;
  WebAudio audio;
  WebEffects effects(files);
  WebPictures pictures(files);
  Platform platform;
  platform.files = &files;
  platform.dialogs = &dialogs;
  platform.clock = &clock;
  platform.audio = &audio;
  platform.effects = &effects;
  platform.pictures = &pictures;
  GameOptions options;
  options.gameFolder = gameFolder;
  options.codePage = codePage && *codePage ? codePage : "WINDOWS-1251";
  if (debug) options.args.push_back("debug");
  Game game(platform, options);
  dialogs.toUtf8 = [&game](const std::string& text) { return game.codec.ToUtf8(text); };
  dialogs.caption = "Velmora Player v " VELMORA_VERSION;
  dialogs.fromUtf8 = [&game](const std::string& text) { return game.codec.FromUtf8(text); };

  WebPlayer player(game, pictures);
  dialogs.pump = [&player] { return player.Pump(); };
  clock.beforeSleep = [&player] { player.Render(); };
  AskAboutLongChains(game);
  if (StartGame(game) != StartupResult::kCompleted) return 1;
  CreateToolWindows(game);
  player.Run();
  ShutDownGame(game);
  return 0;
}
