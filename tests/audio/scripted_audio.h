#pragma once
// A virtual music library for the player's tests: streams last as long as the test says
// (by file name) on the virtual clock, failures can be switched on, and every call that
// changes something is recorded. Plus an effect device that records its calls.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "base/silent_platform.h"
#include "audio/sound_effects.h"
#include "base/fault.h"
#include "base/virtual_clock.h"

namespace velmora::testing {

class ScriptedAudioLibrary : public AudioLibrary {
 public:
  explicit ScriptedAudioLibrary(VirtualClock& clock) : clock_(clock) {}

  struct Stream {
    std::string file;  // the file's name without its folder
    int64_t lengthMs = 0;
    uint32_t state = 0;  // 0 not started or ended, 1 playing, 3 paused
    int64_t endsAt = 0;
    float volume = 1.0f, pan = 0.0f;
  };

  std::map<std::string, int64_t> lengths;  // by file name; others last kDefaultLength
  static constexpr int64_t kDefaultLength = 1000;
  bool failCreate = false, failPlay = false;
  std::map<uint32_t, Stream> streams;
  std::vector<std::string> calls;  // "create file", "play 1", "pause 1", "volume 1 0.5", "pan 1 -1", "free 1"

  uint32_t GetVersion() override { return kVersion; }
  bool Init(int32_t, uint32_t, uint32_t) override { return true; }
  uint32_t StreamCreateFile(const std::string& path) override {
    std::string file = path.substr(path.find_last_of('/') + 1);
    calls.push_back("create " + file);
    if (failCreate) return 0;
    auto it = lengths.find(file);
    streams[++last_] = Stream{file, it == lengths.end() ? kDefaultLength : it->second};
    return last_;
  }
  bool ChannelPlay(uint32_t h, bool) override {
    calls.push_back("play " + std::to_string(h));
    if (failPlay || !streams.count(h)) return false;
    Stream& s = streams[h];
    s.state = 1;
    s.endsAt = clock_.NowMs() + s.lengthMs;
    return true;
  }
  uint32_t ChannelIsActive(uint32_t h) override {
    auto it = streams.find(h);
    if (it == streams.end()) return 0;
    Stream& s = it->second;
    if (s.state == 1 && clock_.NowMs() >= s.endsAt) s.state = 0;
    return s.state;
  }
  bool ChannelPause(uint32_t h) override {
    calls.push_back("pause " + std::to_string(h));
    if (ChannelIsActive(h) == 1) streams[h].state = 3;
    return true;
  }
  bool ChannelSetAttribute(uint32_t h, uint32_t attrib, float value) override {
    char text[64];
    std::snprintf(text, sizeof text, "%s %u %g", attrib == kAttribVolume ? "volume" : "pan", h, value);
    calls.push_back(text);
    auto it = streams.find(h);
    if (it == streams.end()) return false;
    (attrib == kAttribVolume ? it->second.volume : it->second.pan) = value;
    return true;
  }
  bool Stop() override { return true; }
  bool StreamFree(uint32_t h) override {
    calls.push_back("free " + std::to_string(h));
    return streams.erase(h) > 0;
  }
  bool Free() override { return true; }

  // Files of the streams that are playing now, oldest first.
  std::vector<std::string> Playing() {
    std::vector<std::string> out;
    for (auto& [h, s] : streams)
      if (ChannelIsActive(h) == 1) out.push_back(s.file);
    return out;
  }

 private:
  VirtualClock& clock_;
  uint32_t last_ = 0;
};

class RecordingEffects : public EffectDevice {
 public:
  std::vector<std::string> calls;
  std::string refuse;  // the reason to refuse the next open with
  void Open(const std::string& path) override {
    calls.push_back("open " + path.substr(path.find_last_of('/') + 1));
    if (refuse.empty()) return;
    std::string why;
    why.swap(refuse);
    throw RuntimeFault(why);
  }
  void Play() override { calls.push_back("play"); }
  void Stop() override { calls.push_back("stop"); }
  void Close() override { calls.push_back("close"); }
};

}  // namespace velmora::testing
