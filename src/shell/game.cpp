#include "shell/game.h"

#include "audio/audio_form.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "inventory/inventory.h"
#include "inventory/inventory_form.h"
#include "plugins/plugin_host.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "shell/fault.h"
#include "shell/main_form.h"
#include "story/choice_menu.h"
#include "story/page_state.h"
#include "vars/var_store.h"

namespace velmora {

Game::Game(Platform platformIn, GameOptions optionsIn)
    : platform(platformIn),
      options(std::move(optionsIn)),
      timers(*platform.clock),
      log(platform.clock),
      codec(options.codePage),
      form1(std::make_unique<MainForm>()),
      vars(std::make_unique<VarStore>(log)),
      scripts(std::make_unique<ScriptLibrary>()),
      labels(std::make_unique<LabelTable>()),
      interp(std::make_unique<InterpreterState>()),
      page(std::make_unique<PageState>()),
      inventory(std::make_unique<Inventory>()),
      form3(std::make_unique<InventoryForm>()),
      music(std::make_unique<MusicPlayer>()),
      sounds(std::make_unique<SoundPlayer>()),
      form2(std::make_unique<AudioForm>()),
      plugins(std::make_unique<PluginHost>()),
      timer1(timers, "Timer1", [this] { RunEvent([this] { Timer1Timer(*this); }); }),
      timer2(timers, "Timer2", [this] { RunEvent([this] { Timer2Timer(*this); }); }),
      timer3(timers, "Timer3", [this] { RunEvent([this] { Timer3Timer(*this); }); }) {
  timer1.SetInterval(100);
}

Game::~Game() = default;

void Game::RunEvent(const std::function<void()>& body) {
  try {
    body();
  } catch (const RuntimeFault& fault) {
    dialogs().ShowError(WithPeriod(fault.what()));
  }
}

void Game::RequestClose() {
  closeRequested_ = true;
  if (onCloseRequested) onCloseRequested();
}

}  // namespace velmora
