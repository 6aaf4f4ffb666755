#pragma once
// Publishing a game for the web: a static site that plays it in a browser.
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora {

// Where the browser runtime (index.html, player.js, velmora.js, velmora.wasm ...) is:
// the build tree's when the program runs from it, else the installed one; empty when
// neither has it.
std::string FindWebRuntime(const std::string& programPath);

struct WebExport {
  bool ok = false;
  std::string message;  // what was written, or why nothing could be
};

// Writes OUT: the runtime, the game's regular files below game/ with their names as
// they are (links are not followed), metafile pictures drawn into PNG under their own
// names, the list of the game's files the page loads (game.json, with the code page),
// the files but pictures and sound once more in one pack (game.pack, which the page
// fetches before the run starts) and a notice of the licences of what the site bundles.
// Nothing of the site's own is written below game/, so no name a game may use for a
// file of its own, in any letter case, is taken. OUT must be empty or new.
WebExport ExportWeb(const std::string& runtime, const std::string& gameFolder, const std::string& out,
                    const std::string& codePage, PictureDecoder& pictures);

}  // namespace velmora
