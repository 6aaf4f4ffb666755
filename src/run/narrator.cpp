#include "run/narrator.h"

#include "base/game.h"
#include "inventory/inventory_window_state.h"
#include "story/choice_menu.h"
#include "base/main_window_state.h"

namespace velmora {

namespace {

// The lines as one text to say: blank lines dropped, the rest joined by a space.
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (line.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    if (!text.empty()) text += ' ';
    text += line;
  }
  return text;
}

}  // namespace

NarrationPhrases EnglishPhrases() {
  NarrationPhrases phrases;
  phrases.choices = [](int count) {
    return count == 1 ? std::string("1 choice") : std::to_string(count) + " choices";
  };
  phrases.place = [](int position, int count) { return std::to_string(position) + " of " + std::to_string(count); };
  return phrases;
}

std::string LanguageOfText(const std::string& utf8) {
  // The Cyrillic block U+0400..U+04FF starts with the lead bytes D0 to D3.
  for (unsigned char c : utf8)
    if (c >= 0xD0 && c <= 0xD3) return "ru";
  return "en";
}

Narrator::Narrator(Game& game, Speech& speech, NarrationPhrases phrases)
    : game_(game), speech_(speech), phrases_(std::move(phrases)) {
  game_.mainWindow->onNarration = [this](unsigned parts) { OnPage(parts); };
  game_.inventoryWindow->onNarration = [this](unsigned parts) { OnInventory(parts); };
  game_.timedDialogs.onBox = [this](TimedDialogs::Box box, const std::string& text) {
    OnBox(static_cast<int>(box), text);
  };
}

Narrator::~Narrator() {
  game_.mainWindow->onNarration = nullptr;
  game_.inventoryWindow->onNarration = nullptr;
  game_.timedDialogs.onBox = nullptr;
}

std::string Narrator::SetEnabled(bool on) {
  if (on == enabled_) return on ? speech_.Unavailable() : std::string();
  enabled_ = on;
  if (!on) {
    speech_.Stop();
    return {};
  }
  const std::string why = speech_.Unavailable();
  // Whatever is on screen now is news to the listener.
  saidCaption_.clear();
  pageChanged_ = captionChanged_ = true;
  Flush();
  return why;
}

std::string Narrator::Screen(const std::string& bytes) const { return game_.codec.ToUtf8(bytes); }

void Narrator::Dirty() {
  if (flushRequested_ || !requestFlush) return;
  flushRequested_ = true;
  requestFlush();
}

void Narrator::OnPage(unsigned parts) {
  if (parts & MainWindowState::kCaption) captionChanged_ = true;
  if (parts & (MainWindowState::kStoryText | MainWindowState::kChoices)) {
    pageChanged_ = true;
    choiceMoved_ = false;
    saidChoice_ = -1;
  }
  if ((parts & MainWindowState::kSelection) && game_.mainWindow->selectedChoice != saidChoice_)
    choiceMoved_ = game_.mainWindow->selectedChoice >= 0;
  if (parts & (MainWindowState::kCaption | MainWindowState::kStoryText | MainWindowState::kChoices |
               MainWindowState::kSelection))
    Dirty();
}

void Narrator::OnInventory(unsigned parts) {
  const InventoryWindowState& window = *game_.inventoryWindow;
  if ((parts & InventoryWindowState::kVisibility) && window.visible) {
    inventoryOpened_ = true;
    saidEntry_ = -1;
  }
  if ((parts & InventoryWindowState::kList) && window.selectedEntry != saidEntry_)
    inventoryMoved_ = window.selectedEntry >= 0;
  if (inventoryOpened_ || inventoryMoved_) Dirty();
}

void Narrator::OnBox(int box, const std::string& text) {
  // What led to the box comes first: the page a script loaded before asking.
  const bool pending = pageChanged_ || captionChanged_ || choiceMoved_ || inventoryOpened_ || inventoryMoved_;
  Flush();
  if (!enabled_) return;
  if (!pending) speech_.Stop();
  const auto kind = static_cast<TimedDialogs::Box>(box);
  // The player's own questions are UTF-8 already; the rest are the game's bytes.
  const std::string said = kind == TimedDialogs::Box::kQuestion ? text : Screen(text);
  if (kind == TimedDialogs::Box::kError || kind == TimedDialogs::Box::kSystemError)
    Speak(phrases_.error, language_);
  Speak(said, LanguageOfText(said));
}

void Narrator::Flush() {
  flushRequested_ = false;
  if (!enabled_) {
    saidCaption_ = game_.mainWindow->caption;
    pageChanged_ = captionChanged_ = choiceMoved_ = inventoryOpened_ = inventoryMoved_ = false;
    return;
  }
  bool silenced = false;
  const auto silence = [&] {
    if (!silenced) speech_.Stop();
    silenced = true;
  };
  if (pageChanged_ || (captionChanged_ && game_.mainWindow->caption != saidCaption_)) {
    silence();
    SayPage();
  }
  pageChanged_ = captionChanged_ = false;
  if (choiceMoved_) {
    silence();
    SayChoice(game_.mainWindow->selectedChoice);
  }
  choiceMoved_ = false;
  if (inventoryOpened_ || inventoryMoved_) {
    silence();
    SayInventory();
  }
  inventoryOpened_ = inventoryMoved_ = false;
}

void Narrator::SayPage() {
  const MainWindowState& window = *game_.mainWindow;
  if (window.caption != saidCaption_) {
    saidCaption_ = window.caption;
    const std::string caption = Screen(window.caption);
    if (!caption.empty()) Speak(caption, LanguageOfText(caption));
  }
  const std::string text = Screen(Joined(window.storyLines));
  if (!text.empty()) {
    language_ = LanguageOfText(text);
    Speak(text, language_);
  }
  if (!pageChanged_) return;
  Speak(phrases_.choices(static_cast<int>(window.choiceItems.size())), language_);
  // A page whose timer started with it moves on by itself: the listener must know.
  const bool timed = (game_.pageActionTimer.Deadline() || game_.answerTimer.Deadline());
  if (timed) Speak(phrases_.timedPage, language_);
}

void Narrator::SayChoice(int index) {
  const int count = static_cast<int>(game_.mainWindow->choiceItems.size());
  if (index < 0 || index >= count) return;
  saidChoice_ = index;
  const std::string text = Screen(Joined(ChoiceLinesToDraw(game_, index)));
  Speak(text.empty() ? phrases_.place(index + 1, count) : text + ", " + phrases_.place(index + 1, count),
        LanguageOfText(text.empty() ? language_ : text));
}

void Narrator::SayInventory() {
  const InventoryWindowState& window = *game_.inventoryWindow;
  if (inventoryOpened_) {
    Speak(phrases_.inventory, language_);
    if (window.entries.empty()) Speak(phrases_.emptyInventory, language_);
  }
  const int entry = window.selectedEntry;
  saidEntry_ = entry;
  if (entry < 0 || static_cast<size_t>(entry) >= window.entries.size()) return;
  const int count = static_cast<int>(window.entries.size());
  const std::string name = Screen(window.entries[static_cast<size_t>(entry)]);
  const std::string language = LanguageOfText(name);
  Speak(name + ", " + phrases_.place(entry + 1, count), language);
  const std::string detail = Screen(window.itemCount) + ". " + Screen(Joined(window.description));
  Speak(detail, language);
}

void Narrator::RepeatChoice() {
  if (!enabled_) return;
  speech_.Stop();
  SayChoice(game_.mainWindow->selectedChoice);
}

void Narrator::Say(const std::string& utf8) {
  if (!enabled_ || utf8.empty()) return;
  speech_.Stop();
  Speak(utf8, LanguageOfText(utf8));
}

void Narrator::Speak(const std::string& utf8, const std::string& language) {
  if (!utf8.empty()) speech_.Speak(utf8, language);
}

}  // namespace velmora
