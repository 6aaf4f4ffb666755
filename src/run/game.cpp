#include "base/game.h"

#include "audio/audio_window_state.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "inventory/inventory.h"
#include "inventory/inventory_window_state.h"
#include "plugins/plugin_host.h"
#include "run/command_language.h"
#include "script/interpreter.h"
#include "script/script_library.h"
#include "base/main_window_state.h"
#include "story/choice_menu.h"
#include "story/page_state.h"
#include "story/replacevars.h"
#include "vars/var_store.h"

namespace velmora {

Game::Game(Platform platformIn, GameOptions optionsIn)
    : platform(platformIn),
      options(std::move(optionsIn)),
      meteredFiles(platform.files, work),
      timedDialogs(platform.dialogs, platform.clock, &work),
      timers(*platform.clock),
      log(platform.clock, &work),
      codec(options.codePage),
      mainWindow(std::make_unique<MainWindowState>()),
      vars(std::make_unique<VarStore>(log)),
      scripts(std::make_unique<ScriptLibrary>()),
      labels(std::make_unique<LabelTable>()),
      interp(std::make_unique<InterpreterState>(LanguageCommands())),
      page(std::make_unique<PageState>()),
      inventory(std::make_unique<Inventory>()),
      inventoryWindow(std::make_unique<InventoryWindowState>()),
      music(std::make_unique<MusicPlayer>()),
      sounds(std::make_unique<SoundPlayer>()),
      audioWindow(std::make_unique<AudioWindowState>()),
      plugins(std::make_unique<PluginHost>()),
      substituteReferences(Replacevars),
      musicTimer(timers, "Timer1", [this] { RunEvent([this] { ContinueMusicChain(*this); }); }),
      pageActionTimer(timers, "Timer2", [this] { RunEvent([this] { RunPageAction(*this); }); }),
      answerTimer(timers, "Timer3", [this] { RunEvent([this] { RunFastAnswer(*this); }); }) {
  musicTimer.SetInterval(100);
  finishEvent = [this] { SaveInventoryIfDue(*this); };
  // What a run may write: config.ini, the story file and Scripts/inventory.sav in the game
  // folder (the story file may lie below it), and LastStart.log alone in the current directory,
  // which may be the player's home.
  if (platform.files) {
    platform.files->AllowWrites(options.gameFolder, true);
    platform.files->AllowWriteOf("LastStart.log");
  }
}

Game::~Game() = default;

}  // namespace velmora
