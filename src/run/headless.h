#pragma once
// Everything a Game needs to run without a player: no boxes, no sound, time that moves
// only when told, and the files the tool lends it. Tools that read or exercise a game
// folder use it.
#include "base/silent_platform.h"
#include "base/game.h"
#include "base/platform.h"
#include "base/virtual_clock.h"

namespace velmora {

struct HeadlessServices {
  explicit HeadlessServices(GameFiles& files) : files(files) {}

  GameFiles& files;
  SilentDialogs dialogs;
  VirtualClock clock{0};
  SilentAudioLibrary audio;

  Platform platform() {
    Platform p;
    p.files = &files;
    p.dialogs = &dialogs;
    p.clock = &clock;
    p.audio = &audio;
    return p;
  }
};

}  // namespace velmora
