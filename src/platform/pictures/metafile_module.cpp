// The metafile module's entry and the SVG drawing its two decoders share.
#include "platform/pictures/metafile_module.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"

namespace velmora::decoders {

std::shared_ptr<const Picture> RenderSvg(QSvgRenderer& renderer, int width, int height, const PictureBox& box) {
  const Size target = ShownSize(width, height, box);
  QImage image(target.width, target.height, QImage::Format_ARGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  return CopyOf(image);
}

}  // namespace velmora::decoders

extern "C" __attribute__((visibility("default"))) const void* velmora_metafile_module() {
  static const velmora::decoders::MetafileModule table{&velmora::decoders::DecodeWmf, &velmora::decoders::DecodeEmf};
  return &table;
}
