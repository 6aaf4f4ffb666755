#include "platform/pictures/decoder_common.h"

#include <QImage>
#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/fault.h"
#include "base/paths.h"

namespace velmora::decoders {

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw RuntimeFault(CannotOpenMessage(path, errno));
  // Read in one go where the size is known; a file that grows meanwhile is read on.
  std::vector<uint8_t> data;
  struct stat st {};
  if (::fstat(::fileno(f), &st) == 0 && st.st_size > 0) data.resize(static_cast<size_t>(st.st_size));
  size_t got = std::fread(data.data(), 1, data.size(), f);
  data.resize(got);
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  const int error = std::ferror(f) ? errno : 0;
  std::fclose(f);
  if (error) throw RuntimeFault(CannotOpenMessage(path, error));
  return data;
}

void ThrowDamaged(const std::string& path, const std::string& format, const std::string& detail) {
  throw RuntimeFault("Damaged picture file \"" + path + "\" (" + format + ": " + detail + ")");
}

void CheckSize(const std::string& path, const std::string& format, int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) ThrowDamaged(path, format, "the picture has no size");
  if (width > kMaxPixels || height > kMaxPixels || width * height > kMaxPixels)
    ThrowDamaged(path, format,
                 "a picture of " + std::to_string(width) + " by " + std::to_string(height) + " pixels is too large");
}

std::shared_ptr<Picture> NewPicture(int width, int height) {
  auto picture = std::make_shared<Picture>();
  picture->width = width;
  picture->height = height;
  picture->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  return picture;
}

Size ShownSize(int width, int height, const PictureBox& box) {
  if (!box.Sized()) return {width, height};
  if (box.fill == PictureBox::Fill::kStretch) return {box.width, box.height};
  if (width <= box.width && height <= box.height) return {width, height};
  // As Qt keeps proportions: the full height when the width then fits, else the full width.
  const int64_t widthAtBoxHeight = int64_t{box.height} * width / height;
  if (widthAtBoxHeight <= box.width) return {std::max<int>(1, static_cast<int>(widthAtBoxHeight)), box.height};
  return {box.width, std::max<int>(1, static_cast<int>(int64_t{box.width} * height / width))};
}

int CoveringReduction(int width, int height, Size target, int maxFactor, bool powerOfTwo) {
  const auto covers = [&](int f) {
    return (width + f - 1) / f >= target.width && (height + f - 1) / f >= target.height;
  };
  int best = 1;
  for (int f = 2; f <= maxFactor && covers(f); f = powerOfTwo ? f * 2 : f + 1) best = f;
  return best;
}

namespace {

// The picture's pixels as an image, without a copy; the picture must outlive it.
QImage Wrap(const Picture& picture, bool opaque) {
  return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                static_cast<qsizetype>(picture.width) * 4, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
}

}  // namespace

std::shared_ptr<Picture> CopyOf(const QImage& source) {
  const QImage image = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_ARGB32);
  auto picture = NewPicture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(line, line + image.width(), picture->pixels.begin() + static_cast<ptrdiff_t>(y) * image.width());
  }
  return picture;
}

std::shared_ptr<const Picture> ScaledTo(std::shared_ptr<Picture> decoded, Size target, bool opaque) {
  if (Size{decoded->width, decoded->height} == target) return decoded;
  return CopyOf(Wrap(*decoded, opaque).scaled(target.width, target.height, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation));
}

std::shared_ptr<const Picture> FromQImage(const QImage& image, const PictureBox& box) {
  const Size target = ShownSize(image.width(), image.height(), box);
  if (Size{image.width(), image.height()} == target) return CopyOf(image);
  return CopyOf(image.scaled(target.width, target.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace velmora::decoders
