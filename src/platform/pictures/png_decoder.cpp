// PNG through libpng's simplified interface, which catches libpng's own errors and
// reports them as a message.
#include <png.h>

#include "platform/pictures/decoder_common.h"
#include "platform/pictures/decoders.h"

namespace velmora::decoders {

std::shared_ptr<const Picture> DecodePng(const std::string& path) {
  const std::vector<uint8_t> data = ReadWholeFile(path);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
    const std::string message = image.message;
    png_image_free(&image);
    ThrowDamaged(path, "PNG", message);
  }
  const int64_t width = image.width, height = image.height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) {
    png_image_free(&image);
    CheckSize(path, "PNG", width, height);
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    ThrowDamaged(path, "PNG", message);
  }
  auto picture = NewPicture(static_cast<int>(width), static_cast<int>(height));
  for (size_t i = 0; i < picture->pixels.size(); ++i) {
    const uint8_t* px = &rgba[i * 4];
    picture->pixels[i] = Argb(px[0], px[1], px[2], px[3]);
  }
  return picture;
}

}  // namespace velmora::decoders
