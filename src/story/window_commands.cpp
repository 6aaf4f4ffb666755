// The $form commands: the main window's size, position, story text and picture. Each
// change is made and shown as soon as its argument is read, so a bad later argument
// leaves the earlier changes in place.
#include "story/story_commands.h"

#include "base/fault.h"
#include "base/game.h"
#include "base/int_text.h"
#include "base/main_window_state.h"
#include "base/paths.h"
#include "story/page_loader.h"
#include "base/pictures.h"
#include "story/replacevars.h"
#include "story/text_lines.h"

namespace velmora {

namespace {

// The largest text file $form.LoadTextFromFile shows.
constexpr size_t kMaxTextFileSize = size_t{1} << 30;

// Sets one edge or extent from the integer literal at pos and shows it at once.
void SetGeometry(MainWindowState& window, int& field, const TokenList& t, int32_t pos) {
  field = StrToInt(Arg(t, pos));
  window.Changed(MainWindowState::kGeometry);
}

}  // namespace

void CmdFormSetSize(Game& game, const TokenList& t, int32_t p) {
  MainWindowState& window = *game.mainWindow;
  SetGeometry(window, window.height, t, p + 1);
  SetGeometry(window, window.width, t, p + 2);
}

// The top edge moves first: a bad left argument leaves the window moved vertically only.
void CmdFormSetPos(Game& game, const TokenList& t, int32_t p) {
  MainWindowState& window = *game.mainWindow;
  SetGeometry(window, window.top, t, p + 2);
  SetGeometry(window, window.left, t, p + 1);
}

void CmdFormLoadTextFromPage(Game& game, const TokenList& t, int32_t p) {
  const std::string page = Arg(t, p + 1);
  LoadPageText(game, page);
}

// The path is the script's own, taken against the current directory like any path a
// player would type; the caret stays where it was.
void CmdFormLoadTextFromFile(Game& game, const TokenList& t, int32_t p) {
  const std::string path = game.files().Resolve(Arg(t, p + 1));
  game.work.Charge(WorkMeter::kLoadCost);  // its bytes besides, as they are read
  const FileRead read = game.files().Read(path, kMaxTextFileSize);
  if (!read.ok()) throw RuntimeFault(CannotOpenMessage(game.files().FullPath(path), read.error));
  std::vector<std::string> lines = SplitLines(read.bytes);
  Replacevars(game, lines);
  MainWindowState& window = *game.mainWindow;
  window.storyLines = std::move(lines);
  window.Changed(MainWindowState::kStoryText);
}

void CmdFormSetPic(Game& game, const TokenList& t, int32_t p) {
  const std::string path = Arg(t, p + 1);
  MainWindowState& window = *game.mainWindow;
  window.picture = LoadPicture(game, path, window.ShownPictureBox());
  window.pictureFile = path;
  window.Changed(MainWindowState::kPicture);
}

}  // namespace velmora
