#include "console/console_dialogs.h"

#include "base/text.h"
#include "base/visible_text.h"
#include "story/text_lines.h"

namespace velmora {

void ConsoleDialogs::Print(const char* label, const std::string& text) {
  const std::vector<std::string> lines = SplitLines(Screen(text));
  out_ << label << (lines.empty() ? std::string() : VisibleUtf8(lines.front())) << '\n';
  for (size_t i = 1; i < lines.size(); ++i) out_ << "  " << VisibleUtf8(lines[i]) << '\n';
  out_.flush();
}

bool ConsoleDialogs::InputQuery(const std::string&, const std::string& prompt, std::string& answer) {
  // The caption is always the main window's, which `show` prints; the prompt is the news.
  Print("input: ", prompt);
  std::optional<std::string> given;
  if (!answers_.empty()) {
    given = answers_.front();
    answers_.pop_front();
    out_ << "answer: " << (given ? *given : std::string("(cancel)")) << '\n';
  } else if (askPerson) {
    given = askPerson();
  } else {
    out_ << "answer: (cancel, no answer queued)\n";
  }
  out_.flush();
  if (!given) return false;
  answer = codec_ ? codec_->FromUtf8(*given) : *given;
  return true;
}

std::optional<bool> ConsoleDialogs::AskYesNo(const std::string& question) {
  out_ << "question: " << VisibleUtf8(question) << " [y/N]\n";
  out_.flush();
  if (!askPerson) {
    out_ << "answer: (none, nobody to ask)\n";
    return std::nullopt;
  }
  const std::optional<std::string> given = askPerson();
  if (!given) return inputEnded ? std::nullopt : std::optional<bool>(false);
  const std::string word = AsciiLower(*given);
  return word == "y" || word == "yes";
}

}  // namespace velmora
