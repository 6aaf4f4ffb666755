#pragma once
// The player's list of games: the folders the user added, kept in the player's own
// settings (library.ini in the user's config folder), not in any game. Every operation
// reads the file afresh and writes it at once, so two players running side by side see
// each other's changes.
//
// What a game shows in the list (its caption and the start page's picture) is read from
// the game folder whenever the list is asked for, so it follows the game as it changes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora {

// What the list shows of one game folder.
struct GameFolderInfo {
  bool isGame = false;
  std::string problem;       // why it is no game folder (empty for a game)
  // The same, for a front end that words it in the user's language; missingFile names
  // the story file config.ini asks for.
  enum class Lack { kNothing, kFolder, kConfig, kStoryFile } lack = Lack::kNothing;
  std::string missingFile;
  std::string captionUtf8;   // config.ini [GameForm] Caption, else the folder's name
  std::string thumbnail;     // the start page's picture file, empty when it has none
};

// Looks at a folder as the player would start it: config.ini and the story file it names
// must be there (names in any letter case).
GameFolderInfo InspectGameFolder(GameFiles& files, const std::string& folder,
                                 const std::string& codePage = "WINDOWS-1251");

struct LibraryEntry {
  std::string folder;       // absolute, ending with a separator
  bool present = false;     // the folder still holds a game
  std::string captionUtf8;  // as the folder says now, or as it said when last seen
  std::string thumbnail;    // empty when none (or the folder is gone)
  int64_t lastPlayed = 0;   // seconds since the epoch; 0: never played
  std::string autoSave;     // the save the game's last close left, when it is still there
  std::string startFailure;  // why the last start failed (UTF-8, one line); empty when it did not
};

class GameLibrary {
 public:
  // The user's library; tests name a file of their own.
  static std::string DefaultPath();
  // The library file and the games are read and written through files.
  explicit GameLibrary(GameFiles& files, std::string path = DefaultPath(), std::string codePage = "WINDOWS-1251");

  const std::string& Path() const { return path_; }

  // The games in the order they were added. A library file past its bound raises
  // RuntimeFault ("<path> is too large ..."), as do all the operations below.
  std::vector<LibraryEntry> Games() const;

  enum class AddResult { kAdded, kAlreadyListed, kNotAGame };
  // problem, when given, receives why a folder is no game.
  AddResult Add(const std::string& folder, std::string* problem = nullptr);
  // Adds the folder itself when it is a game, and every game folder directly inside it
  // (by name); returns the folders added, as listed.
  std::vector<std::string> Scan(const std::string& folder);
  // False when the folder was not listed.
  bool Remove(const std::string& folder);
  // Records a play of a listed folder; false when it is not listed.
  bool MarkPlayed(const std::string& folder, int64_t when);
  // Records the save file that holds the run as the listed game was last closed (empty:
  // none); false when the folder is not listed.
  bool SetAutoSave(const std::string& folder, const std::string& saveFile);
  // Records why the listed game's last start failed (empty: it started); text not in
  // UTF-8 is read in the library's code page. False when the folder is not listed.
  bool SetStartFailure(const std::string& folder, const std::string& failure);
  // The first time the player runs (no library file yet), the games it comes with: each
  // folder that holds a game is added. Later, a game the user removed stays removed.
  void AddOnFirstRun(const std::vector<std::string>& folders);

  // The form a folder is listed under: absolute, links resolved, ending with a separator.
  static std::string ListedForm(const std::string& folder);

  // Writes raise RuntimeFault ("Unable to write to <path>") when the file cannot be written.
 private:
  struct Record {
    std::string folder, caption;
    int64_t lastPlayed = 0;
    std::string autoSave;
    std::string startFailure;
    bool operator==(const Record&) const = default;
  };
  // Finds the listed folder's record and saves the records once `change` has run, unless
  // it left the record as it was (each play would otherwise rewrite the file for nothing).
  bool Change(const std::string& folder, const std::function<void(Record&)>& change);
  std::vector<Record> Load() const;
  void Save(const std::vector<Record>& records) const;

  GameFiles* files_;
  std::string path_;
  std::string codePage_;
};

}  // namespace velmora
