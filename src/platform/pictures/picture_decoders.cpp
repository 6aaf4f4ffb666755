#include "platform/pictures/picture_decoders.h"

#include "base/fault.h"
#include "platform/pictures/decoders.h"

namespace velmora {

namespace {

class FileDecoder : public PictureDecoder {
 public:
  std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension,
                                        const PictureBox& box) override {
    if (extension == "jpg" || extension == "jpeg") return decoders::DecodeJpeg(path, box);
    if (extension == "png") return decoders::DecodePng(path, box);
    if (extension == "bmp") return decoders::DecodeWithQt(path, "bmp", box);
    if (extension == "ico") return decoders::DecodeWithQt(path, "ico", box);
    if (extension == "wmf") return decoders::DecodeWmf(path, box);
    if (extension == "emf") return decoders::DecodeEmf(path, box);
    throw RuntimeFault("Unknown picture file extension (." + extension + ")");
  }
};

}  // namespace

std::unique_ptr<PictureDecoder> CreatePictureDecoder() { return std::make_unique<FileDecoder>(); }

}  // namespace velmora
