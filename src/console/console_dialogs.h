#pragma once
// Message boxes, the error dialog and the text-input dialog as lines of text, for the
// replay transcript and the terminal player. Boxes do not wait: the line is the box.
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "base/codepage.h"
#include "base/platform.h"

namespace velmora {

class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(std::ostream& out) : out_(out) {}
  // Set once the game exists: the game's texts are converted from its code page.
  void SetCodec(const TextCodec* codec) { codec_ = codec; }

  // Queues the answer (UTF-8, as typed) for the next input dialog; nullopt queues Cancel.
  void QueueAnswer(std::optional<std::string> utf8) { answers_.push_back(std::move(utf8)); }
  size_t QueuedAnswers() const { return answers_.size(); }
  // Asked when no answer is queued (the terminal player asks the person); nullopt
  // cancels. Without it the dialog is cancelled, and the transcript says so.
  std::function<std::optional<std::string>()> askPerson;
  // Set by the terminal player when its input has ended: nobody can answer any more.
  bool inputEnded = false;

  void ShowMessage(const std::string& text) override { Print("message: ", text); }
  void ShowError(const std::string& text) override { Print("error: ", text); }
  void ShowSystemError(const std::string& text) override { Print("system error: ", text); }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) override;
  bool MoreInputPossible() override { return !answers_.empty() || (askPerson && !inputEnded); }
  // Asks the person ("y" or "yes" in any letter case is Yes); nobody answers in a replay.
  std::optional<bool> AskYesNo(const std::string& question) override;

  // Game bytes as UTF-8 for the screen.
  std::string Screen(const std::string& bytes) const { return codec_ ? codec_->ToUtf8(bytes) : bytes; }

 private:
  // One line per line of the text; lines after the first are indented.
  void Print(const char* label, const std::string& text);
  std::ostream& out_;
  const TextCodec* codec_ = nullptr;
  std::deque<std::optional<std::string>> answers_;
};

}  // namespace velmora
