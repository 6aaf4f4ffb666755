#include <emscripten.h>

#include <array>

#include "zlib.h"

namespace {

// Packs (pack != 0) or unpacks src into dest with the page's fflate; the bytes written,
// or -1 when the stream is damaged or does not fit.
EM_JS(int, velmora_js_zlib, (const Bytef* src, int srcLen, Bytef* dest, int destCap, int pack, int level), {
  try {
    var input = HEAPU8.subarray(src, src + srcLen);
    var out = pack ? globalThis.fflate.zlibSync(input, { level: level })
                   : globalThis.fflate.unzlibSync(input, { out: new Uint8Array(destCap) });
    if (out.length > destCap) return -1;
    HEAPU8.set(out, dest);
    return out.length;
  } catch (e) {
    return -1;
  }
});

std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

}  // namespace

uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  static const std::array<uint32_t, 256> table = CrcTable();
  if (!buf) return 0;
  uint32_t c = static_cast<uint32_t>(crc) ^ 0xFFFFFFFFu;
  for (uInt i = 0; i < len; ++i) c = table[(c ^ buf[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uLong compressBound(uLong sourceLen) {
  return sourceLen + (sourceLen >> 12) + (sourceLen >> 14) + (sourceLen >> 25) + 13 + 5 * (sourceLen / 65535 + 1);
}

int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level) {
  const int written = velmora_js_zlib(source, static_cast<int>(sourceLen), dest, static_cast<int>(*destLen), 1, level);
  if (written < 0) return Z_BUF_ERROR;
  *destLen = static_cast<uLongf>(written);
  return Z_OK;
}

int uncompress(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen) {
  const int written = velmora_js_zlib(source, static_cast<int>(sourceLen), dest, static_cast<int>(*destLen), 0, 0);
  if (written < 0) return Z_DATA_ERROR;
  *destLen = static_cast<uLongf>(written);
  return Z_OK;
}
