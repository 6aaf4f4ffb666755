#pragma once
// One function per kind of picture file; each raises RuntimeFault for a file it cannot
// read or decode. The path is already resolved.
#include <memory>
#include <string>

#include "base/platform.h"

namespace velmora::decoders {

// Each makes the picture at its size in box.
std::shared_ptr<const Picture> DecodeJpeg(const std::string& path, const PictureBox& box);
std::shared_ptr<const Picture> DecodePng(const std::string& path, const PictureBox& box);
// Bitmaps and icons through Qt's image readers; format is "bmp" or "ico".
std::shared_ptr<const Picture> DecodeWithQt(const std::string& path, const char* format, const PictureBox& box);
std::shared_ptr<const Picture> DecodeWmf(const std::string& path, const PictureBox& box);
std::shared_ptr<const Picture> DecodeEmf(const std::string& path, const PictureBox& box);

}  // namespace velmora::decoders
