#pragma once
// The core's modal boxes as Qt dialogs. Each runs its own event loop, in which the game's
// timers keep firing (see timer_driver.h), so a timer's script can run nested inside a
// script that waits for the box, as on the system the games were made for.
#include <QPointer>
#include <QWidget>

#include "velmora_version.h"
#include "base/platform.h"

namespace velmora {

class TextCodec;

// The application title: the caption of message boxes and of the error dialog.
inline constexpr const char* kApplicationTitle = "Velmora Player v " VELMORA_VERSION;

class QtDialogs : public Dialogs {
 public:
  void SetCodec(const TextCodec* codec) { codec_ = codec; }
  // The main window, which owns the boxes (they stay above it and centre on it).
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowSystemError(const std::string& text) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& answer) override;
  std::optional<bool> AskYesNo(const std::string& question) override;
  // Once the game is ending (its window closed, a stop signal), a box returns at once:
  // a script that asks until it gets an answer must not ask for ever.
  bool MoreInputPossible() override;
  void EndInput() { ending_ = true; }

 private:
  QString Screen(const std::string& bytes) const;
  const TextCodec* codec_ = nullptr;
  QPointer<QWidget> owner_;
  bool ending_ = false;
};

}  // namespace velmora
