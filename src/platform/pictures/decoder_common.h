#pragma once
// What every decoder shares: reading the whole file, the faults it raises, the bound on
// picture size, and turning RGBA bytes into the core's pixels.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"

namespace velmora::decoders {

// Pictures are shown stretched into a box a few hundred pixels high; anything beyond
// this many pixels is a damaged or hostile header, not a picture to allocate for.
constexpr int64_t kMaxPixels = int64_t{1} << 25;
// Metafiles have no pixel size of their own; they are drawn at most this wide or high.
constexpr int kMaxMetafileSide = 2048;

// The whole file; a file that cannot be read raises "Cannot open file "<path>". <reason>".
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Raises "Damaged picture file "<path>" (<format>: <detail>)".
[[noreturn]] void ThrowDamaged(const std::string& path, const std::string& format, const std::string& detail);

// Checks a size read from a file before anything is allocated for it.
void CheckSize(const std::string& path, const std::string& format, int64_t width, int64_t height);

inline uint32_t Argb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  return (uint32_t{a} << 24) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | uint32_t{b};
}

std::shared_ptr<Picture> NewPicture(int width, int height);

}  // namespace velmora::decoders

class QImage;
class QSvgRenderer;
namespace velmora::decoders {

// The image's pixels in the core's form (any QImage format).
std::shared_ptr<Picture> FromQImage(const QImage& image);

// Draws an SVG drawing onto white at width by height pixels (metafiles have no background).
std::shared_ptr<const Picture> RenderSvg(QSvgRenderer& renderer, int width, int height);

}  // namespace velmora::decoders
