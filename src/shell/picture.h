#pragma once
// A decoded picture and the platform interface that decodes picture files.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // rows top to bottom, 0xAARRGGBB
};

class PictureDecoder {
 public:
  virtual ~PictureDecoder() = default;
  // Decodes the file at path (already resolved) as the format named by the lower-case
  // extension ("jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf"). A file that cannot be
  // read or decoded raises RuntimeFault with a clear message.
  virtual std::shared_ptr<const Picture> Decode(const std::string& path, const std::string& extension) = 0;
};

}  // namespace velmora
