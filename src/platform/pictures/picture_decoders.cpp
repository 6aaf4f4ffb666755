#include "platform/pictures/picture_decoders.h"

#include "base/fault.h"
#include "platform/dl/module_loader.h"
#include "platform/pictures/decoders.h"
#include "platform/pictures/metafile_module.h"

namespace velmora {

namespace {

// The metafile module, loaded by the first metafile; a missing module is a fault of that
// picture (and of every later metafile), with the reason.
const decoders::MetafileModule& Metafiles() {
  return RequiredModule<decoders::MetafileModule>(decoders::kMetafileModuleFile, decoders::kMetafileModuleEntry);
}

class FileDecoder : public PictureDecoder {
 public:
  std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension,
                                        const PictureBox& box) override {
    if (extension == "jpg" || extension == "jpeg") return decoders::DecodeJpeg(path, box);
    if (extension == "png") return decoders::DecodePng(path, box);
    if (extension == "bmp") return decoders::DecodeWithQt(path, "bmp", box);
    if (extension == "ico") return decoders::DecodeWithQt(path, "ico", box);
    if (extension == "wmf") return Metafiles().wmf(path, box);
    if (extension == "emf") return Metafiles().emf(path, box);
    throw RuntimeFault("Unknown picture file extension (." + extension + ")");
  }
};

}  // namespace

std::unique_ptr<PictureDecoder> CreatePictureDecoder() { return std::make_unique<FileDecoder>(); }

}  // namespace velmora
