#include "ui/picture_pixmap.h"

#include <QImage>

#include <algorithm>

namespace velmora {

namespace {

void Release(void* keeper) { delete static_cast<std::shared_ptr<const Picture>*>(keeper); }

}  // namespace

QPixmap PixmapOf(std::shared_ptr<const Picture> picture) {
  if (!picture || picture->width <= 0 || picture->height <= 0) return {};
  // Opaque pictures (every JPEG) need no alpha handling at all.
  const bool opaque = std::all_of(picture->pixels.begin(), picture->pixels.end(),
                                  [](uint32_t p) { return (p >> 24) == 0xFF; });
  const Picture& pic = *picture;
  QImage image(reinterpret_cast<const uchar*>(pic.pixels.data()), pic.width, pic.height,
               static_cast<qsizetype>(pic.width) * 4, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32,
               Release, new std::shared_ptr<const Picture>(std::move(picture)));
  return QPixmap::fromImage(std::move(image));
}

}  // namespace velmora
