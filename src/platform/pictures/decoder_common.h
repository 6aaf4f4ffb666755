#pragma once
// What every decoder shares: reading the whole file, the faults it raises, the bound on
// picture size, the size a picture takes in its box, and bringing decoded pixels to it.
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

// A picture of width by height pixels, left for the decoder to write.
std::shared_ptr<Picture> NewPicture(int width, int height);

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// The size a picture of width by height pixels takes in box (see PictureBox).
Size ShownSize(int width, int height, const PictureBox& box);

// The largest reduction factor, at most maxFactor and a power of two when powerOfTwo,
// after which a picture of width by height (each side divided, rounded up) still covers
// target: decoders shrink that far cheaply, and the last smooth step only ever shrinks.
int CoveringReduction(int width, int height, Size target, int maxFactor, bool powerOfTwo);

// Brings a decoded picture to target with one smooth scaling; the picture itself when it
// has that size already. Opaque pictures (alpha 255 everywhere) skip the alpha handling.
std::shared_ptr<const Picture> ScaledTo(std::shared_ptr<Picture> decoded, Size target, bool opaque);

}  // namespace velmora::decoders

class QImage;
namespace velmora::decoders {

// The image's pixels in the core's form (any QImage format), at the image's own size.
std::shared_ptr<Picture> CopyOf(const QImage& image);

// The image's pixels in the core's form (any QImage format), at its size in box.
std::shared_ptr<const Picture> FromQImage(const QImage& image, const PictureBox& box);

}  // namespace velmora::decoders
