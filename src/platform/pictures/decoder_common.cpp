#include "platform/pictures/decoder_common.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cerrno>
#include <cstdio>

#include "base/fault.h"
#include "base/paths.h"

namespace velmora::decoders {

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw RuntimeFault(CannotOpenMessage(path, errno));
  std::vector<uint8_t> data;
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

std::shared_ptr<Picture> FromQImage(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  auto picture = NewPicture(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(line, line + image.width(), picture->pixels.begin() + static_cast<ptrdiff_t>(y) * image.width());
  }
  return picture;
}

std::shared_ptr<const Picture> RenderSvg(QSvgRenderer& renderer, int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  return FromQImage(image);
}

}  // namespace velmora::decoders
