// Bitmaps and icons through Qt's image readers (no application object needed).
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"

namespace velmora::decoders {

namespace {

// An icon file holds several sizes; the largest looks best stretched into the picture box.
int LargestImage(QImageReader& reader) {
  int best = 0;
  int64_t bestArea = -1;
  for (int i = 0; i < reader.imageCount(); ++i) {
    if (!reader.jumpToImage(i)) break;
    const QSize size = reader.size();
    const int64_t area = int64_t{size.width()} * size.height();
    if (area > bestArea) {
      bestArea = area;
      best = i;
    }
  }
  return best;
}

}  // namespace

std::shared_ptr<const Picture> DecodeWithQt(const std::string& path, const char* format, const PictureBox& box) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAllocationLimit(static_cast<int>(kMaxPixels * 4 / (1024 * 1024)));  // megabytes
  const std::string kind = QByteArray(format).toUpper().toStdString();
  if (!reader.canRead()) ThrowDamaged(path, kind, "no readable " + kind + " picture");
  if (reader.imageCount() > 1) {
    const int index = LargestImage(reader);
    reader.jumpToImage(index);
  }
  const QSize size = reader.size();
  if (size.isValid()) CheckSize(path, kind, size.width(), size.height());
  QImage image = reader.read();
  if (image.isNull()) ThrowDamaged(path, kind, reader.errorString().toStdString());
  CheckSize(path, kind, image.width(), image.height());
  return FromQImage(image, box);
}

}  // namespace velmora::decoders
