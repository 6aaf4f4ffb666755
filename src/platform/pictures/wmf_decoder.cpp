// Windows metafiles through libwmf's SVG back end, drawn by Qt's SVG renderer. (Its gd
// back end hands out an image that nothing can release, one leak per picture.)
#include <QByteArray>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"
#include "platform/pictures/metafile_module.h"

// After Qt: libwmf's headers define macros (U8, U16 ...) that Qt's headers use as names.
#include <libwmf/api.h>
#include <libwmf/svg.h>

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

// libwmf keeps every block it allocates (the SVG text included) with the API handle and
// releases them all when the handle is destroyed.
struct WmfJob {
  wmfAPI* api = nullptr;
  bool open = false;
  ~WmfJob() {
    if (open) wmf_mem_close(api);
    if (api) wmf_api_destroy(api);
  }
};

uint32_t ReadU32(const std::vector<uint8_t>& d, size_t at) {
  return uint32_t{d[at]} | uint32_t{d[at + 1]} << 8 | uint32_t{d[at + 2]} << 16 | uint32_t{d[at + 3]} << 24;
}

// libwmf sizes its record buffer from the header's largest-record field before reading a
// record, so a few damaged bytes could make it ask for gigabytes: check it first.
void CheckHeader(const std::string& path, const std::vector<uint8_t>& data) {
  constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
  constexpr size_t kPlaceableSize = 22, kHeaderSize = 18;
  const size_t at = data.size() >= 4 && ReadU32(data, 0) == kPlaceableKey ? kPlaceableSize : 0;
  if (data.size() < at + kHeaderSize) ThrowDamaged(path, "WMF", "no metafile header");
  const uint64_t largestRecord = uint64_t{ReadU32(data, at + 12)} * 2;  // counted in 16-bit words
  if (largestRecord > data.size()) ThrowDamaged(path, "WMF", "the metafile is corrupt");
}

}  // namespace

std::shared_ptr<const Picture> DecodeWmf(const std::string& path, const PictureBox& box) {
  std::vector<uint8_t> data = ReadWholeFile(path);
  CheckHeader(path, data);
  WmfJob job;
  wmfAPI_Options options{};
  options.function = wmf_svg_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&job.api, flags, &options) != wmf_E_None) {
    if (job.api) wmf_api_destroy(job.api);
    job.api = nullptr;
    ThrowDamaged(path, "WMF", "the metafile renderer cannot start (are its fonts installed?)");
  }
  if (wmf_mem_open(job.api, data.data(), static_cast<long>(data.size())) != wmf_E_None)
    ThrowDamaged(path, "WMF", WmfErrorText(job.api->err));
  job.open = true;
  wmfD_Rect bbox{};
  wmf_error_t err = wmf_scan(job.api, 0, &bbox);
  if (err != wmf_E_None) ThrowDamaged(path, "WMF", WmfErrorText(err));
  unsigned int naturalWidth = 0, naturalHeight = 0;
  err = wmf_display_size(job.api, &naturalWidth, &naturalHeight, kScreenDpi, kScreenDpi);
  if (err != wmf_E_None || naturalWidth == 0 || naturalHeight == 0) ThrowDamaged(path, "WMF", "the metafile has no size");
  // A metafile scales freely: draw it no larger than the picture box could ever need.
  const double scale = std::min(1.0, double(kMaxMetafileSide) / std::max(naturalWidth, naturalHeight));
  const int width = std::max(1, static_cast<int>(std::lround(naturalWidth * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(naturalHeight * scale)));

  wmfStream* stream = wmf_stream_create(job.api, nullptr);  // in memory
  if (!stream) ThrowDamaged(path, "WMF", "out of memory");
  wmf_svg_t* svg = WMF_SVG_GetData(job.api);
  svg->out = stream;
  svg->bbox = bbox;
  svg->width = static_cast<unsigned>(width);
  svg->height = static_cast<unsigned>(height);
  svg->flags |= WMF_SVG_INLINE_IMAGES;
  err = wmf_play(job.api, 0, &bbox);
  if (err != wmf_E_None) ThrowDamaged(path, "WMF", WmfErrorText(err));
  char* text = nullptr;
  unsigned long length = 0;
  wmf_stream_destroy(job.api, stream, &text, &length);
  const QByteArray svgText(text ? text : "", text ? static_cast<qsizetype>(length) : 0);

  QSvgRenderer renderer(svgText);
  if (!renderer.isValid()) ThrowDamaged(path, "WMF", "the metafile cannot be drawn");
  return RenderSvg(renderer, width, height, box);
}

}  // namespace velmora::decoders
