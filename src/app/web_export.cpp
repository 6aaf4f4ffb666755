#include "app/web_export.h"

#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "base/codepage.h"
#include "base/fault.h"
#include "base/text.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The runtime's own files; the site is unusable without any of them.
const char* const kRuntimeFiles[] = {"index.html",          "player.js",           "game_import.js",
                                     "player.css",          "shared_soundfont.js", "velmora.js",
                                     "velmora.wasm",        "velmora-asyncify.js", "velmora-asyncify.wasm",
                                     "fflate.js",           "spessasynth_lib.js",  "spessasynth_core.js",
                                     "stb-vorbis.js",       "spessasynth_processor.min.js"};

// The General MIDI soundfont the page's synthesiser plays MIDI with, from Debian's
// timgm6mb-soundfont (6 MB; the system's default may be a far larger one). The page
// fetches it with the first MIDI track.
const char kSoundfont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";
const char kSiteSoundfont[] = "soundfont.sf2";

// Bounds on what a published game may hold: a page loads all of it before it starts.
constexpr uintmax_t kMaxFileBytes = 512u << 20;
constexpr uintmax_t kMaxTotalBytes = 2048ull << 20;
constexpr size_t kMaxFiles = 20000;

// Every file of the site but the game's, with what it is for and under which terms (the
// soundfont's in its own part, for a site without one).
const char kLicences[] =
    "This site plays a game with the Velmora Player web runtime. What it holds:\n"
    "\n"
    "game/            The game: its author's work, under its author's terms.\n"
    "game.json, game.pack\n"
    "                 The list of the game's files and its small files once more in one\n"
    "                 pack, for the page to fetch at once: the game's, as above.\n"
    "\n"
    "index.html, player.js, game_import.js, player.css, shared_soundfont.js\n"
    "                 The page of the player: Velmora Player, by the Velmora developers,\n"
    "                 GNU General Public License version 2.\n"
    "velmora.js, velmora.wasm, velmora-asyncify.js, velmora-asyncify.wasm\n"
    "                 The player's core compiled to WebAssembly (the second pair for\n"
    "                 browsers that cannot suspend WebAssembly): Velmora Player (GPL-2),\n"
    "                 with the parts of Emscripten compiled into it:\n"
    "  - Emscripten's JavaScript runtime and system libraries: MIT licence, or the\n"
    "    University of Illinois/NCSA Open Source Licence (Copyright 2010-2014 the\n"
    "    Emscripten authors).\n"
    "  - musl libc: MIT licence (Copyright 2005-2020 Rich Felker, et al.).\n"
    "  - libc++ and libc++abi (LLVM): Apache License 2.0 with LLVM Exceptions.\n"
    "  - xxHash: BSD 2-Clause licence (Copyright 2012-2020 Yann Collet).\n"
    "fflate.js        fflate 0.8.2, which unpacks the .zip files a player opens and the\n"
    "                 saves: MIT licence (Copyright (c) 2023 Arjun Barrett).\n"
    "spessasynth_lib.js, spessasynth_processor.min.js\n"
    "                 spessasynth_lib 4.3.14, the synthesiser that plays MIDI music and\n"
    "                 sounds (in an AudioWorklet): Apache License 2.0 (Copyright spessasus).\n"
    "                 spessasynth_processor.min.js bundles the three below for the worklet.\n"
    "spessasynth_core.js\n"
    "                 spessasynth_core 4.3.22, the synthesiser's engine, which reads MIDI\n"
    "                 files and soundfonts: Apache License 2.0 (Copyright spessasus); it\n"
    "                 bundles fflate (MIT licence, above).\n"
    "stb-vorbis.js    stb-vorbis 0.0.6, which decodes a soundfont's Ogg Vorbis samples:\n"
    "                 Apache License 2.0 (Copyright spessasus); it bundles stb_vorbis by\n"
    "                 Sean Barrett, in the public domain or under the MIT licence.\n"
    "LICENSES.txt     This notice.\n"
    "\n"
    "Full texts: https://www.gnu.org/licenses/old-licenses/gpl-2.0.txt,\n"
    "https://www.apache.org/licenses/LICENSE-2.0.txt, https://llvm.org/LICENSE.txt,\n"
    "https://github.com/emscripten-core/emscripten/blob/main/LICENSE,\n"
    "https://git.musl-libc.org/cgit/musl/tree/COPYRIGHT,\n"
    "https://github.com/101arrowz/fflate/blob/master/LICENSE (on a Debian system also under\n"
    "/usr/share/doc/emscripten/copyright and /usr/share/doc/timgm6mb-soundfont/copyright).\n";
const char kSoundfontLicence[] =
    "\n"
    "soundfont.sf2    TimGM6mb, the General MIDI soundfont the synthesiser plays MIDI with\n"
    "                 (Debian's timgm6mb-soundfont; Copyright 2004 Tim Brechbill, 2010 David\n"
    "                 Bolton): GNU General Public License version 2. The page fetches it\n"
    "                 only when a MIDI track first plays.\n";

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

bool WriteFile(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

std::string Extension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : AsciiLower(name.substr(dot + 1));
}

// Pictures and sampled sound, which the page fetches after the first page (web/player.js
// names the same kinds). The game's other files go into one pack too, fetched in one
// request before the run starts: a game has dozens of small ones.
bool FetchedLater(const std::string& extension) {
  for (const char* kind : {"jpg", "jpeg", "png", "bmp", "gif", "ico", "wmf", "emf", "ogg", "mp3", "wav"})
    if (extension == kind) return true;
  return false;
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

// A metafile drawn at its own size into PNG bytes; empty when it cannot be drawn.
std::string MetafileAsPng(PictureDecoder& pictures, const std::string& path, const std::string& extension,
                          std::string& why) {
  try {
    const auto picture = pictures.Decode(path, extension, PictureBox{});
    QImage image(reinterpret_cast<const uchar*>(picture->pixels.data()), picture->width, picture->height,
                 picture->width * 4, QImage::Format_ARGB32);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      why = "cannot write PNG";
      return {};
    }
    return png.toStdString();
  } catch (const RuntimeFault& fault) {
    why = fault.what();
    return {};
  }
}

}  // namespace

std::string FindWebRuntime(const std::string& programPath) {
  std::vector<fs::path> places;
  std::error_code ec;
  const fs::path program = fs::weakly_canonical(programPath, ec);
  const fs::path buildTree = VELMORA_WEB_BUILD_DIR;
  // The build tree's runtime serves the program built beside it, and only that one.
  const std::string programText = program.string(), buildRoot = fs::path(VELMORA_BUILD_ROOT).string() + "/";
  if (programText.compare(0, buildRoot.size(), buildRoot) == 0) places.push_back(buildTree);
  places.push_back(VELMORA_WEB_INSTALL_DIR);
  for (const fs::path& place : places)
    if (fs::is_regular_file(place / "velmora.wasm", ec)) return place.string();
  return {};
}

WebExport ExportWeb(const std::string& runtime, const std::string& gameFolder, const std::string& out,
                    const std::string& codePage, PictureDecoder& pictures) {
  WebExport result;
  std::error_code ec;
  const fs::path game = fs::path(gameFolder);
  const fs::path site = fs::path(out);
  if (!fs::is_directory(game, ec)) {
    result.message = "no game folder at " + gameFolder;
    return result;
  }
  if (fs::exists(site, ec) && !(fs::is_directory(site, ec) && fs::is_empty(site, ec))) {
    result.message = out + " exists and is not an empty folder";
    return result;
  }
  fs::create_directories(site, ec);
  for (const char* name : kRuntimeFiles) {
    fs::copy_file(fs::path(runtime) / name, site / name, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      result.message = "cannot copy " + (fs::path(runtime) / name).string() + ": " + ec.message();
      return result;
    }
  }

  const bool soundfont = fs::is_regular_file(kSoundfont, ec) && fs::copy_file(kSoundfont, site / kSiteSoundfont, ec);

  // The game's regular files: links are not followed, so nothing from outside the game
  // folder is published. The player reads names in any letter case and with backslashes
  // by its own rules in the page too, so every name is kept as it is (in UTF-8).
  TextCodec codec(codePage);
  std::vector<std::string> names;
  std::vector<std::string> notes;
  uintmax_t total = 0;
  fs::recursive_directory_iterator it(game, fs::directory_options::none, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    if (entry.is_symlink(ec) || !entry.is_regular_file(ec)) continue;
    std::string relative = fs::relative(entry.path(), game, ec).generic_string();
    if (relative.empty() || relative.find('\n') != std::string::npos) continue;
    if (!TextCodec::IsValidUtf8(relative)) relative = codec.ToUtf8(relative);
    const uintmax_t size = entry.file_size(ec);
    if (ec || size > kMaxFileBytes || (total += size) > kMaxTotalBytes || names.size() >= kMaxFiles) {
      result.message = "the game is too large to publish (" + relative + ")";
      return result;
    }
    const fs::path target = site / "game" / fs::path(relative);
    const std::string extension = Extension(relative);
    if (extension == "wmf" || extension == "emf") {
      // Browsers cannot draw metafiles: the picture goes as PNG under its own name.
      std::string why;
      const std::string png = MetafileAsPng(pictures, entry.path().string(), extension, why);
      if (png.empty()) notes.push_back("not converted, published as it is: " + relative + " (" + why + ")");
      if (!png.empty() ? !WriteFile(target, png) : (fs::create_directories(target.parent_path(), ec), !fs::copy_file(entry.path(), target, ec))) {
        result.message = "cannot write " + target.string();
        return result;
      }
    } else {
      fs::create_directories(target.parent_path(), ec);
      if (!fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, ec)) {
        result.message = "cannot write " + target.string() + ": " + ec.message();
        return result;
      }
    }
    names.push_back(relative);
  }
  if (ec) {
    result.message = "cannot read the game folder: " + ec.message();
    return result;
  }
  std::sort(names.begin(), names.end());
  std::string pack, packed;
  for (const std::string& name : names) {
    if (FetchedLater(Extension(name))) continue;
    std::string bytes;
    if (!ReadWhole(site / "game" / fs::path(name), bytes)) {
      result.message = "cannot read " + (site / "game" / fs::path(name)).string();
      return result;
    }
    pack += bytes;
    packed += (packed.empty() ? "" : ",") + ("[" + JsonString(name) + "," + std::to_string(bytes.size()) + "]");
  }
  std::string manifest = "{\"codePage\":" + JsonString(codePage) + ",\"folder\":\"game/\",\"files\":[";
  for (size_t k = 0; k < names.size(); ++k) manifest += (k ? "," : "") + JsonString(names[k]);
  manifest += "],\"pack\":{\"file\":\"game.pack\",\"files\":[" + packed + "]}}\n";
  const std::string licences = std::string(kLicences) + (soundfont ? kSoundfontLicence : "");
  if (!WriteFile(site / "game.json", manifest) || !WriteFile(site / "game.pack", pack) ||
      !WriteFile(site / "LICENSES.txt", licences)) {
    result.message = "cannot write into " + out;
    return result;
  }
  std::ostringstream said;
  said << "published " << names.size() << " files of " << gameFolder << " with the web runtime in " << out
       << "; serve the folder with any web server (it does not play from file://)";
  for (const std::string& note : notes) said << "\n" << note;
  if (!soundfont)
    said << "\nno General MIDI soundfont (apt install timgm6mb-soundfont): MIDI keeps its time in silence";
  result.ok = true;
  result.message = said.str();
  return result;
}

}  // namespace velmora
