#pragma once
// Self-voicing: what the player would see, said through the platform's Speech. It watches
// the core's window states and boxes, never a widget, so every front end says the same
// and tests hear it through a recording Speech.
//
// Changes are gathered while an event runs and said when the front end calls Flush after
// the event has returned, so a page built line by line is said once, whole. Each new
// thing to say silences what is still being said of an older one.
#include <functional>
#include <string>

#include "base/platform.h"

namespace velmora {

class Game;

// The player's own words around the game's texts, in the player's language (UTF-8). The
// front end fills them from its translations; the defaults are English.
struct NarrationPhrases {
  std::function<std::string(int count)> choices;             // "3 choices"
  std::function<std::string(int position, int count)> place;  // "2 of 4"
  std::string timedPage = "timed page";
  std::string inventory = "Inventory";
  std::string emptyInventory = "no items";
  std::string error = "Error";
};
NarrationPhrases EnglishPhrases();

// "ru" for a text with Cyrillic letters, otherwise "en".
std::string LanguageOfText(const std::string& utf8);

class Narrator {
 public:
  Narrator(Game& game, Speech& speech, NarrationPhrases phrases = EnglishPhrases());
  ~Narrator();
  Narrator(const Narrator&) = delete;
  Narrator& operator=(const Narrator&) = delete;

  // Turning it on says the current page. Empty, or why nothing can be heard (the speech
  // service's reason): play goes on either way, the front end tells the player once.
  std::string SetEnabled(bool on);
  bool Enabled() const { return enabled_; }

  // Says what the changes since the last call call for. Front ends call it once the event
  // that made them has returned; requestFlush, when set, is asked to arrange that.
  void Flush();
  std::function<void()> requestFlush;

  // Says the highlighted choice again (nothing when none is highlighted).
  void RepeatChoice();
  // Says a text of the player's own (a window the core does not model), silencing the rest.
  void Say(const std::string& utf8);

 private:
  void OnPage(unsigned parts);
  void OnInventory(unsigned parts);
  void OnBox(int box, const std::string& text);
  void Dirty();
  void SayPage();
  void SayChoice(int index);
  void SayInventory();
  void Speak(const std::string& utf8, const std::string& language);
  std::string Screen(const std::string& bytes) const;

  Game& game_;
  Speech& speech_;
  NarrationPhrases phrases_;
  bool enabled_ = false;
  bool flushRequested_ = false;
  bool pageChanged_ = false;
  bool captionChanged_ = false;
  bool choiceMoved_ = false;
  bool inventoryOpened_ = false;
  bool inventoryMoved_ = false;
  std::string saidCaption_;
  int saidChoice_ = -1;
  int saidEntry_ = -1;
  std::string language_ = "en";  // of the game's text last said
};

}  // namespace velmora
