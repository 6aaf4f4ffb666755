// Arbitrary bytes as a picture file of each kind: a decoder may refuse them with a fault,
// never crash, hang or touch memory it does not own. The first byte picks the kind, so
// the corpus can hold seeds for each (the pictures in tests/fixtures/pictures, each with
// its kind's byte in front).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/fault.h"
#include "platform/pictures/picture_decoders.h"

namespace {

const char* const kKinds[] = {"jpg", "png", "bmp", "ico", "wmf", "emf"};

std::string ScratchFile() {
  return "/tmp/velmora-fuzz-picture-" + std::to_string(::getpid());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static auto decoder = velmora::CreatePictureDecoder();
  static const std::string path = ScratchFile();
  const char* kind = kKinds[data[0] % (sizeof kKinds / sizeof kKinds[0])];
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  }
  try {
    // A small box too, so the reducing paths are fuzzed as well as the full-size ones.
    decoder->Decode(path, kind, data[0] & 0x80 ? velmora::PictureBox{7, 5} : velmora::PictureBox{});
  } catch (const velmora::RuntimeFault&) {
  }
  return 0;
}
