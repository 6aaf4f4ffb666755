#pragma once
// Where a game's saves live: one folder per game under
// $XDG_DATA_HOME/velmora-player/saves/ (never in the game folder, which may be read-only
// or shared), holding quick.sav, slot-01.sav ... slot-99.sav and auto.sav.
//
// A game is known by its id: a hash of its folder's canonical path and its window
// caption, so two copies of one game keep apart, and a save copied into another game's
// folder is recognised as foreign.
#include <cstddef>
#include <optional>
#include <string>

namespace velmora {

class Game;
class GameFiles;

constexpr int kQuickSlot = 0;
constexpr int kFirstSlot = 1, kLastSlot = 99;
// The run as it was when the game was last closed (auto.sav), written by the windows.
constexpr int kAutoSlot = kLastSlot + 1;

// The id and the folder of the game's saves (the folder is made by the first save).
std::string GameSaveId(Game& game);
std::string SaveFolder(const Game& game, const std::string& gameId);
std::string SlotFileName(int slot);
// "slot 5", "the quick slot", "the automatic slot".
std::string SlotWords(int slot);

// A save holds the game files, the story file among them; beyond this it is no save of ours.
constexpr size_t kMaxSaveBytes = size_t{2} << 30;
// Its header (names, page caption, times, thumbnail) lies within the file's first bytes.
constexpr size_t kMaxSaveHeadBytes = size_t{4} << 20;

// The whole file, or nothing when there is none (or it cannot be read); tooLarge, when
// given, tells a file past kMaxSaveBytes.
std::optional<std::string> ReadSlotFile(GameFiles& files, const std::string& path, bool* tooLarge = nullptr);
// The file's start, enough for its header: for listing the slots without reading saves whole.
std::optional<std::string> ReadSlotHead(GameFiles& files, const std::string& path);
// Writes a slot file whole and swaps it in, so an interrupted save never spoils the one
// before. False when it cannot.
bool WriteSlotFile(GameFiles& files, const std::string& path, const std::string& bytes);

}  // namespace velmora
