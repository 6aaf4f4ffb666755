#pragma once
// What the main window (MainWindow) shows and holds, without any widget: the front end
// draws this state and forwards the player's input to the handlers that act on it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora {

class MainWindowState {
 public:
  // Parts of the window a change touches, so views repaint only what changed.
  enum Part : unsigned {
    kCaption = 1u << 0,
    kGeometry = 1u << 1,
    kFont = 1u << 2,
    kStoryText = 1u << 3,
    kPicture = 1u << 4,
    kChoices = 1u << 5,
    kWordWrap = 1u << 6,
    kSelection = 1u << 7,
    kStoryCaret = 1u << 8,  // the story text's caret went to its start, nothing selected
  };

  // Designed client area, in force until config.ini applies.
  static constexpr int kDesignClientWidth = 934;
  static constexpr int kDesignClientHeight = 690;
  static constexpr int kPictureHeight = 337;
  static constexpr int kStoryHeight = 208;
  static constexpr int kChoiceLineHeight = 16;
  // The frame around the client area; picture, story text and list span the rest.
  static constexpr int kFrameBorder = 1;

  std::string caption;
  int left = 0, top = 0;
  int width = 0, height = 0;  // outer size; 0 until config.ini applies
  bool wordWrap = true;
  std::string fontName = "MS Sans Serif";
  int fontSize = 10;

  std::vector<std::string> storyLines;        // the story text control's lines
  std::shared_ptr<const Picture> picture;      // null: empty picture control
  std::string pictureFile;                     // the path handed to the picture loader, as given
  std::vector<std::string> choiceItems;        // sListBox1 item texts (lines joined with CR LF)
  int selectedChoice = -1;                     // -1: nothing selected

  // The story text's width in the window's units (written with the debug argument at exit).
  int StoryTextWidth() const {
    const int outer = width > 0 ? width : kDesignClientWidth + 2 * kFrameBorder;
    return outer > 2 * kFrameBorder ? outer - 2 * kFrameBorder : 0;
  }
  // Where the picture is shown: as wide as the story text, stretched (never without a size,
  // which would ask for the file's own).
  PictureBox ShownPictureBox() const {
    return {std::max(1, StoryTextWidth()), kPictureHeight, PictureBox::Fill::kStretch};
  }

  void Changed(unsigned parts) {
    if (onChanged) onChanged(parts);
    if (onNarration) onNarration(parts);
  }
  std::function<void(unsigned)> onChanged;    // the view
  std::function<void(unsigned)> onNarration;  // self-voicing, told after the view
};

}  // namespace velmora
