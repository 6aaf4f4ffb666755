// Arbitrary bytes as a save file. Most random bytes fail the checksums, so an odd first
// byte makes the rest the unpacked body of a save with a sound envelope (header, lengths
// and checksums computed here), which reaches the snapshot's own reading. Nothing may
// crash, hang or allocate without bound; a save that reads must encode and read back.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/game.h"
#include "platform/files/posix_files.h"
#include "run/headless.h"
#include "save/file_images.h"
#include "save/save_format.h"

namespace {

using namespace velmora;

void PutU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

uint32_t GetU32(const std::string& in, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(in[at + static_cast<size_t>(i)]);
  return v;
}

// A save of this game whose body unpacks to `body`.
std::string Envelope(const std::string& gameId, const std::string& body) {
  SaveHeader header;
  header.gameId = gameId;
  const std::string sound = EncodeSave(header, Snapshot{});
  const size_t bodyAt = 20 + GetU32(sound, 12);  // magic, version, header length and CRC, header
  uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(body.data()),
                static_cast<uLong>(body.size()), 1) != Z_OK)
    std::abort();
  packed.resize(packedSize);
  std::string out = sound.substr(0, bodyAt) + std::string(12, '\0') + packed;
  PutU32(out, bodyAt, static_cast<uint32_t>(body.size()));
  PutU32(out, bodyAt + 4, static_cast<uint32_t>(uint64_t{body.size()} >> 32));
  PutU32(out, bodyAt + 8,
         static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(packed.data()), static_cast<uInt>(packed.size()))));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static PosixFiles files;
  static HeadlessServices services(files);
  GameOptions options;
  options.gameFolder = "/nonexistent-velmora-fuzz-game/";
  Game game(services.platform(), options);
  FileImages images(game);
  const std::string gameId = "fuzz";
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string bytes = size > 0 && data[0] % 2 == 1 ? Envelope(gameId, input.substr(1)) : input;

  (void)DecodeSaveHeader(bytes);
  const SaveReadResult read = DecodeSave(bytes, gameId, images);
  if (read.status != SaveReadStatus::kOk) return 0;
  if (!read.snapshot) __builtin_trap();
  const std::string again = EncodeSave(read.header, *read.snapshot);
  if (DecodeSave(again, gameId, images).status != SaveReadStatus::kOk) __builtin_trap();
  return 0;
}
