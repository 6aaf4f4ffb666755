#pragma once
// Platform parts that do nothing: for tools and tests that run the core without a player.
#include <cstdint>
#include <string>

#include "base/platform.h"

namespace velmora {

// Shows nothing and answers nothing: for tools that run the core without a player.
class SilentDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void ShowSystemError(const std::string&) override {}
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  bool MoreInputPossible() override { return false; }
};

// Plays nothing and succeeds at everything; streams never end.
class SilentAudioLibrary : public AudioLibrary {
 public:
  uint32_t GetVersion() override { return kVersion; }
  bool Init(int32_t, uint32_t, uint32_t) override { return true; }
  uint32_t StreamCreateFile(const std::string&) override { return ++last_; }
  bool ChannelPlay(uint32_t h, bool) override { return h != 0; }
  uint32_t ChannelIsActive(uint32_t h) override { return h != 0 ? 1 : 0; }
  bool ChannelPause(uint32_t) override { return true; }
  bool ChannelSetAttribute(uint32_t, uint32_t, float) override { return true; }
  bool Stop() override { return true; }
  bool StreamFree(uint32_t) override { return true; }
  bool Free() override { return true; }

 private:
  uint32_t last_ = 0;
};

}  // namespace velmora
