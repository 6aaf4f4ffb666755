#include "platform/pictures/picture_decoders.h"

#include "base/fault.h"
#include "platform/pictures/decoders.h"

namespace velmora {

namespace {

class FileDecoder : public PictureDecoder {
 public:
  std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension) override {
    if (extension == "jpg" || extension == "jpeg") return decoders::DecodeJpeg(path);
    if (extension == "png") return decoders::DecodePng(path);
    if (extension == "bmp") return decoders::DecodeWithQt(path, "bmp");
    if (extension == "ico") return decoders::DecodeWithQt(path, "ico");
    if (extension == "wmf") return decoders::DecodeWmf(path);
    if (extension == "emf") return decoders::DecodeEmf(path);
    throw RuntimeFault("Unknown picture file extension (." + extension + ")");
  }
};

}  // namespace

std::unique_ptr<PictureDecoder> CreatePictureDecoder() { return std::make_unique<FileDecoder>(); }

}  // namespace velmora
