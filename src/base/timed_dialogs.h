#pragma once
// The front end's boxes, with the time the player spends in them added up: a script chain
// that waits for the player is not a chain that runs away. A game's own boxes (messages
// and input dialogs) are charged to the run's work meter before they show, so a flood of
// them ends with its chain.
#include <functional>
#include <optional>
#include <string>

#include "base/platform.h"
#include "base/work_meter.h"

namespace velmora {

class TimedDialogs final : public Dialogs {
 public:
  // Refers to the pointers, not the objects: a run may be lent other boxes or another clock.
  TimedDialogs(Dialogs*& inner, Clock*& clock, WorkMeter* meter = nullptr)
      : inner_(inner), clock_(clock), meter_(meter) {}
  // Milliseconds spent in boxes since the run began.
  int64_t WaitedMs() const { return waitedMs_; }

  // Told as a box opens, for self-voicing: its text (bytes in the game's code page, but
  // the player's own questions, which are UTF-8).
  enum class Box { kMessage, kError, kSystemError, kInput, kQuestion };
  std::function<void(Box box, const std::string& text)> onBox;

  void ShowMessage(const std::string& text) override {
    Charge(text.size());
    Opening(Box::kMessage, text);
    Timed([&] { inner_->ShowMessage(text); });
  }
  void ShowError(const std::string& text) override {
    Opening(Box::kError, text);
    Timed([&] { inner_->ShowError(text); });
  }
  void ShowSystemError(const std::string& text) override {
    Opening(Box::kSystemError, text);
    Timed([&] { inner_->ShowSystemError(text); });
  }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) override {
    Charge(caption.size() + prompt.size());
    Opening(Box::kInput, prompt);
    bool ok = false;
    Timed([&] { ok = inner_->InputQuery(caption, prompt, answer); });
    return ok;
  }
  bool MoreInputPossible() override { return inner_->MoreInputPossible(); }
  std::optional<bool> AskYesNo(const std::string& question) override {
    Opening(Box::kQuestion, question);
    std::optional<bool> answer;
    Timed([&] { answer = inner_->AskYesNo(question); });
    return answer;
  }

 private:
  void Opening(Box box, const std::string& text) {
    if (onBox) onBox(box, text);
  }
  void Charge(size_t textBytes) {
    if (meter_) meter_->Charge(WorkMeter::kBoxCost + static_cast<int64_t>(textBytes));
  }
  template <class Body>
  void Timed(Body body) {
    const int64_t start = clock_ ? clock_->NowMs() : 0;
    struct Add {
      TimedDialogs& self;
      int64_t start;
      ~Add() {
        if (self.clock_) self.waitedMs_ += self.clock_->NowMs() - start;
      }
    } add{*this, start};
    body();
  }
  Dialogs*& inner_;
  Clock*& clock_;
  WorkMeter* meter_;
  int64_t waitedMs_ = 0;
};

}  // namespace velmora
