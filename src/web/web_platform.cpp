#include "web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/fault.h"
#include "base/text.h"
#include "platform/audio/midi_file.h"

// The page's side of these calls: library_velmora.js.
extern "C" {
char* velmora_js_next_event(int boxAnswersOnly);
void velmora_js_wait(int ms);
void velmora_js_sleep(int ms);
void velmora_js_persist(const char* path, const char* bytes, int size, int remove);
void velmora_js_open_dialog(int id, const char* kind, const char* title, const char* text, const char* field);
void velmora_js_close_dialog(int id);
int velmora_js_audio_create(const char* path, double midiSeconds);
int velmora_js_audio_play(int handle, int restart);
int velmora_js_audio_state(int handle);
int velmora_js_audio_pause(int handle);
int velmora_js_audio_set(int handle, int attrib, double value);
void velmora_js_audio_stop_all();
void velmora_js_audio_free(int handle);
double velmora_js_audio_position(int handle);
int velmora_js_audio_seek(int handle, double ms);
}

// A published game's pictures and sampled sound arrive after its first page: until then
// each is an empty stand-in in the file system, and the page takes it from the site.
EM_JS(int, velmora_js_is_pending, (const char* path), {
  var files = Module.page && Module.page.files;
  return files && files.isPending(UTF8ToString(path)) ? 1 : 0;
});

namespace velmora {

std::optional<std::string> NextPageEvent(bool boxAnswersOnly) {
  char* raw = velmora_js_next_event(boxAnswersOnly ? 1 : 0);
  if (!raw) return std::nullopt;
  std::string event(raw);
  std::free(raw);
  return event;
}

void WaitForPage(int64_t ms) { velmora_js_wait(static_cast<int>(std::clamp<int64_t>(ms, 0, 60 * 60 * 1000))); }

// Files --------------------------------------------------------------------------------

bool WebFiles::Replace(const std::string& path, std::string_view bytes) {
  if (!inner_.Replace(path, bytes)) return false;
  velmora_js_persist(path.c_str(), bytes.data(), static_cast<int>(bytes.size()), 0);
  return true;
}

bool WebFiles::Overwrite(const std::string& path, std::string_view bytes) {
  if (!inner_.Overwrite(path, bytes)) return false;
  velmora_js_persist(path.c_str(), bytes.data(), static_cast<int>(bytes.size()), 0);
  return true;
}

bool WebFiles::Remove(const std::string& path) {
  const bool existed = inner_.Exists(path);
  if (!inner_.Remove(path)) return false;
  if (existed) velmora_js_persist(path.c_str(), "", 0, 1);
  return true;
}

// Time ---------------------------------------------------------------------------------

int64_t WebClock::NowMs() { return static_cast<int64_t>(emscripten_get_now()); }

std::time_t WebClock::WallTime() { return std::time(nullptr); }

void WebClock::Sleep(int64_t ms) {
  if (ms <= 0) return;
  if (beforeSleep) beforeSleep();
  velmora_js_sleep(static_cast<int>(std::min<int64_t>(ms, 24LL * 60 * 60 * 1000)));
}

// Boxes --------------------------------------------------------------------------------

std::optional<std::string> WebDialogs::Run(const char* kind, const std::string& title, const std::string& textUtf8,
                                           const std::string& fieldLabel) {
  const int id = nextId_++;
  velmora_js_open_dialog(id, kind, title.c_str(), textUtf8.c_str(), fieldLabel.c_str());
  const std::string prefix = "dialog " + std::to_string(id) + " ";
  // The box's own loop: timers fire, boxes they open stack above this one, and only
  // the answer to this box ends it. Answers to other boxes wait in the queue.
  while (true) {
    const int64_t untilTimer = pump ? pump() : 60 * 60 * 1000;
    if (auto event = NextPageEvent(true)) {
      if (event->rfind(prefix, 0) == 0) {
        const std::string rest = event->substr(prefix.size());
        if (rest == "cancel") return std::nullopt;
        if (rest.rfind("ok", 0) == 0) return rest.size() > 3 ? rest.substr(3) : std::string();
      }
      if (*event == "quit") {
        velmora_js_close_dialog(id);
        return std::nullopt;
      }
      continue;
    }
    WaitForPage(untilTimer);
  }
}

void WebDialogs::ShowMessage(const std::string& text) { Run("message", caption, toUtf8(text)); }

void WebDialogs::ShowError(const std::string& text) { Run("error", caption, toUtf8(text)); }

void WebDialogs::ShowSystemError(const std::string& text) { Run("error", "Error", toUtf8(text)); }

bool WebDialogs::InputQuery(const std::string& title, const std::string& prompt, std::string& answer) {
  auto typed = Run("input", toUtf8(title), toUtf8(prompt), " ");
  if (!typed) return false;
  answer = fromUtf8(*typed);
  return true;
}

std::optional<bool> WebDialogs::AskYesNo(const std::string& question) {
  auto said = Run("question", caption, question);
  return said.has_value();
}

// Pictures -----------------------------------------------------------------------------

namespace {

// The first bytes of each kind the page can draw, so that a file that is none of them
// faults here as a picture that cannot be decoded would on the desktop.
bool LooksLike(const std::string& extension, std::string_view head) {
  auto starts = [&head](std::string_view magic) { return head.substr(0, magic.size()) == magic; };
  if (extension == "jpg" || extension == "jpeg") return starts("\xFF\xD8\xFF");
  if (extension == "png") return starts("\x89PNG\r\n\x1A\n");
  if (extension == "bmp") return starts("BM");
  if (extension == "ico") return starts(std::string_view("\0\0\1\0", 4));
  // Metafiles become PNG pictures when a game is published for the web.
  if (extension == "wmf" || extension == "emf") return starts("\x89PNG\r\n\x1A\n");
  return false;
}

constexpr size_t kMaxPictureBytes = 64u << 20;

}  // namespace

std::shared_ptr<const Picture> WebPictures::Decode(const std::string& path, const std::string& extension,
                                                   const PictureBox& box) {
  // A picture still on its way is drawn by the page from the site, unchecked.
  if (velmora_js_is_pending(path.c_str())) return Unchecked(path, box);
  FileRead read = files_.Read(path, kMaxPictureBytes);
  if (!read.ok()) {
    if (read.status == FileRead::Status::kTooLarge) throw RuntimeFault("Picture " + path + " is too large");
    throw RuntimeFault("Cannot open file \"" + path + "\". " + std::strerror(read.error ? read.error : ENOENT));
  }
  if (!LooksLike(extension, read.bytes)) throw RuntimeFault("Picture " + path + " cannot be decoded");
  return Unchecked(path, box);
}

std::shared_ptr<const Picture> WebPictures::Unchecked(const std::string& path, const PictureBox& box) {
  auto map = files_of_;
  auto* picture = new Picture;
  picture->width = box.Sized() ? box.width : 0;
  picture->height = box.Sized() ? box.height : 0;
  (*map)[picture] = path;
  return std::shared_ptr<const Picture>(picture, [map](const Picture* p) {
    map->erase(p);
    delete p;
  });
}

std::string WebPictures::FileOf(const Picture* picture) const {
  auto found = files_of_->find(picture);
  return found == files_of_->end() ? std::string() : found->second;
}

// Music --------------------------------------------------------------------------------

namespace {

constexpr size_t kMaxMidiBytes = 16u << 20;

// MIDI tracks play silent for their own length until a synthesiser is in the page: the
// chain moves on at the moment it would with sound.
double MidiSeconds(const std::string& path) {
  std::string lower = AsciiLower(path);
  if (lower.size() < 4 || (lower.substr(lower.size() - 4) != ".mid" && lower.substr(lower.size() - 5) != ".midi"))
    return -1;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return -1;
  // Sized by the file, not the bound: a track starts on a page turn.
  const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
  std::rewind(file);
  std::string bytes(static_cast<size_t>(std::clamp<long>(size, 0, kMaxMidiBytes)), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  const audio::MidiLength length = audio::ParseMidiLength(bytes);
  return length.ok ? static_cast<double>(length.microseconds) / 1e6 : -2;
}

}  // namespace

uint32_t WebAudio::StreamCreateFile(const std::string& path) {
  const double midi = MidiSeconds(path);
  if (midi == -2) return 0;
  const int handle = velmora_js_audio_create(path.c_str(), midi);
  return handle > 0 ? static_cast<uint32_t>(handle) : 0;
}

bool WebAudio::ChannelPlay(uint32_t handle, bool restart) {
  return handle != 0 && velmora_js_audio_play(static_cast<int>(handle), restart ? 1 : 0) != 0;
}

uint32_t WebAudio::ChannelIsActive(uint32_t handle) {
  return handle == 0 ? kStopped : static_cast<uint32_t>(velmora_js_audio_state(static_cast<int>(handle)));
}

bool WebAudio::ChannelPause(uint32_t handle) {
  return handle != 0 && velmora_js_audio_pause(static_cast<int>(handle)) != 0;
}

bool WebAudio::ChannelSetAttribute(uint32_t handle, uint32_t attrib, float value) {
  return handle != 0 && velmora_js_audio_set(static_cast<int>(handle), static_cast<int>(attrib), value) != 0;
}

bool WebAudio::Stop() {
  velmora_js_audio_stop_all();
  return true;
}

bool WebAudio::StreamFree(uint32_t handle) {
  if (handle == 0) return false;
  velmora_js_audio_free(static_cast<int>(handle));
  return true;
}

bool WebAudio::Free() {
  velmora_js_audio_stop_all();
  return true;
}

int64_t WebAudio::ChannelGetPosition(uint32_t handle) {
  return handle == 0 ? -1 : static_cast<int64_t>(velmora_js_audio_position(static_cast<int>(handle)));
}

bool WebAudio::ChannelSetPosition(uint32_t handle, int64_t ms) {
  return handle != 0 && velmora_js_audio_seek(static_cast<int>(handle), static_cast<double>(ms)) != 0;
}

// Sound effects ------------------------------------------------------------------------

void WebEffects::Open(const std::string& path) {
  Close();
  const int error = files_.ReadableError(path);
  if (error != 0) throw RuntimeFault(std::string(std::strerror(error)));
  const double midi = MidiSeconds(path);
  if (midi == -2) throw RuntimeFault("Unknown error code");
  handle_ = velmora_js_audio_create(path.c_str(), midi);
  if (handle_ <= 0) {
    handle_ = 0;
    throw RuntimeFault("Unknown error code");
  }
}

void WebEffects::Play() {
  if (handle_) velmora_js_audio_play(handle_, 1);
}

void WebEffects::Stop() {
  if (handle_) velmora_js_audio_pause(handle_);
}

void WebEffects::Close() {
  if (handle_) velmora_js_audio_free(handle_);
  handle_ = 0;
}

}  // namespace velmora
