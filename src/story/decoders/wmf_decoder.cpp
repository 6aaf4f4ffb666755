// Windows metafiles through libwmf, drawn by its gd back end into a true-colour image.
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <algorithm>
#include <cmath>

#include "story/decoders/decoder_common.h"
#include "story/decoders/decoders.h"

namespace velmora::decoders {

namespace {

constexpr double kScreenDpi = 96.0;

const char* WmfErrorText(wmf_error_t e) {
  switch (e) {
    case wmf_E_InsMem: return "out of memory";
    case wmf_E_BadFile: return "the file cannot be read";
    case wmf_E_BadFormat: return "the metafile is corrupt";
    case wmf_E_EOF: return "unexpected end of the metafile";
    case wmf_E_DeviceError: return "the metafile cannot be drawn";
    default: return "the metafile cannot be read";
  }
}

// gd keeps 7-bit alpha, 0 opaque to 127 transparent.
uint32_t FromGd(int px) {
  const auto v = static_cast<uint32_t>(px);
  const uint32_t alpha = (v >> 24) & 0x7F;
  const auto a = static_cast<uint8_t>((127 - alpha) * 255 / 127);
  return (uint32_t{a} << 24) | (v & 0x00FFFFFF);
}

struct WmfApi {
  wmfAPI* api = nullptr;
  bool open = false;
  ~WmfApi() {
    if (open) wmf_mem_close(api);
    if (api) wmf_api_destroy(api);
  }
};

}  // namespace

std::shared_ptr<const Picture> DecodeWmf(const std::string& path) {
  std::vector<uint8_t> data = ReadWholeFile(path);
  WmfApi w;
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&w.api, flags, &options) != wmf_E_None) {
    if (w.api) wmf_api_destroy(w.api);
    w.api = nullptr;
    ThrowDamaged(path, "WMF", "the metafile renderer cannot start (are its fonts installed?)");
  }
  if (wmf_mem_open(w.api, data.data(), static_cast<long>(data.size())) != wmf_E_None)
    ThrowDamaged(path, "WMF", WmfErrorText(w.api->err));
  w.open = true;
  wmfD_Rect bbox{};
  wmf_error_t err = wmf_scan(w.api, 0, &bbox);
  if (err != wmf_E_None) ThrowDamaged(path, "WMF", WmfErrorText(err));
  unsigned int width = 0, height = 0;
  err = wmf_display_size(w.api, &width, &height, kScreenDpi, kScreenDpi);
  if (err != wmf_E_None || width == 0 || height == 0) ThrowDamaged(path, "WMF", "the metafile has no size");
  // A metafile scales freely: draw it no larger than the picture box could ever need.
  const double scale = std::min(1.0, double(kMaxMetafileSide) / std::max(width, height));
  width = std::max(1u, static_cast<unsigned>(std::lround(width * scale)));
  height = std::max(1u, static_cast<unsigned>(std::lround(height * scale)));

  wmf_gd_t* gd = WMF_GD_GetData(w.api);
  gd->type = wmf_gd_image;
  gd->bbox = bbox;
  gd->width = width;
  gd->height = height;
  err = wmf_play(w.api, 0, &bbox);
  if (err != wmf_E_None || !gd->gd_image) ThrowDamaged(path, "WMF", WmfErrorText(err));
  const int* pixels = wmf_gd_image_pixels(gd->gd_image);
  if (!pixels) ThrowDamaged(path, "WMF", "the metafile cannot be drawn");
  auto picture = NewPicture(static_cast<int>(width), static_cast<int>(height));
  std::transform(pixels, pixels + picture->pixels.size(), picture->pixels.begin(), FromGd);
  return picture;
}

}  // namespace velmora::decoders
