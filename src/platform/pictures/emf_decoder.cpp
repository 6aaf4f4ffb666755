// Enhanced metafiles: libemf2svg turns the records into SVG, which Qt's SVG renderer
// draws. The drawing's extent comes from the file's header (its bounds in device pixels).
#include <emf2svg.h>

#include <QByteArray>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"
#include "platform/pictures/metafile_module.h"

namespace velmora::decoders {

namespace {

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kHeaderSize = 88;

int32_t ReadI32(const std::vector<uint8_t>& d, size_t at) {
  uint32_t v = uint32_t{d[at]} | uint32_t{d[at + 1]} << 8 | uint32_t{d[at + 2]} << 16 | uint32_t{d[at + 3]} << 24;
  return static_cast<int32_t>(v);
}

struct Bounds {
  int32_t left, top, right, bottom;
};

Bounds HeaderBounds(const std::string& path, const std::vector<uint8_t>& data) {
  if (data.size() < kHeaderSize || static_cast<uint32_t>(ReadI32(data, 0)) != kEmrHeader ||
      static_cast<uint32_t>(ReadI32(data, 40)) != kEmfSignature)
    ThrowDamaged(path, "EMF", "no metafile header");
  return {ReadI32(data, 8), ReadI32(data, 12), ReadI32(data, 16), ReadI32(data, 20)};
}

}  // namespace

std::shared_ptr<const Picture> DecodeEmf(const std::string& path, const PictureBox& box) {
  std::vector<uint8_t> data = ReadWholeFile(path);
  const Bounds b = HeaderBounds(path, data);
  const int64_t boundsWidth = int64_t{b.right} - b.left + 1, boundsHeight = int64_t{b.bottom} - b.top + 1;
  if (boundsWidth <= 0 || boundsHeight <= 0) ThrowDamaged(path, "EMF", "the metafile has no size");

  char nameSpace[] = "";  // a prefix would be allocated by the library and never released
  generatorOptions options{};
  options.nameSpace = nameSpace;
  options.emfplus = true;
  options.svgDelimiter = true;
  char* svg = nullptr;
  size_t svgLength = 0;
  const int ok = emf2svg(reinterpret_cast<char*>(data.data()), data.size(), &svg, &svgLength, &options);
  QByteArray svgText(svg ? svg : "", svg ? static_cast<qsizetype>(svgLength) : 0);
  std::free(svg);
  if (!ok || svgText.isEmpty()) ThrowDamaged(path, "EMF", "the metafile records cannot be read");

  QSvgRenderer renderer(svgText);
  if (!renderer.isValid()) ThrowDamaged(path, "EMF", "the metafile cannot be drawn");
  renderer.setViewBox(QRectF(b.left, b.top, double(boundsWidth), double(boundsHeight)));
  const double scale = std::min(1.0, double(kMaxMetafileSide) / std::max(boundsWidth, boundsHeight));
  const int width = std::max(1, static_cast<int>(std::lround(double(boundsWidth) * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(double(boundsHeight) * scale)));
  return RenderSvg(renderer, width, height, box);
}

}  // namespace velmora::decoders
