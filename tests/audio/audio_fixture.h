#pragma once
// A game folder with a tracklist and music files, the scripted library and effect device,
// and helpers to run the event loop on the virtual clock and to read the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/audio_commands.h"
#include "audio/audio_window_state.h"
#include "audio/music_player.h"
#include "audio/sound_effects.h"
#include "scripted_audio.h"
#include "script/token_list.h"
#include "base/fault.h"
#include "base/game.h"
#include "vars/var_store.h"
#include "support/test_game.h"

namespace velmora::testing {

using Lines = std::vector<std::string>;

class AudioTest : public ::testing::Test {
 protected:
  AudioTest() : audio(tg.clock) {
    tg.platform.audio = &audio;
    tg.platform.effects = &effects;
    tg.dir.Write("config.ini", "[Files]\nStoryFile=story.qst\n");
    tg.dir.Write("story.qst", "[gamestart]\nTextSize=0\n");
  }

  // Writes the tracklist and creates an (empty) music file for every name given.
  Game& Make(const std::string& tracklist, const std::vector<std::string>& files = {}) {
    tg.dir.Write("music.lst", tracklist);
    for (const auto& f : files) tg.dir.Write("Music/" + f, "");
    return tg.Make();
  }
  Game& game() { return tg.game(); }

  // Lets ms of virtual time pass in steps of 10 ms, firing timers as an event loop would.
  void Run(int64_t ms) {
    for (int64_t t = 0; t < ms; t += 10) {
      tg.clock.Advance(10);
      game().timers.FireDue();
    }
  }

  // Log messages without their date and time.
  std::vector<std::string> Log() {
    std::vector<std::string> out;
    for (const auto& line : game().log.Lines()) out.push_back(line.substr(line.find(" | ", 13) + 3));
    return out;
  }

  void Command(CommandAction handler, std::vector<std::string> tokens, int32_t consumed) {
    EXPECT_EQ(RunCommand(game(), std::move(tokens), handler), consumed);
  }

  // The fault a command raises; empty when it raises none.
  std::string Fault(CommandAction handler, std::vector<std::string> tokens) {
    try {
      RunCommand(game(), std::move(tokens), handler);
    } catch (const RuntimeFault& fault) {
      return fault.what();
    }
    return {};
  }

  std::vector<std::string>& Boxes() { return tg.dialogs.shown; }

  TestGame tg;
  ScriptedAudioLibrary audio;
  RecordingEffects effects;
};

}  // namespace velmora::testing
