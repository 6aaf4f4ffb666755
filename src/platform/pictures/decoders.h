#pragma once
// One function per kind of picture file; each raises RuntimeFault for a file it cannot
// read or decode. The path is already resolved.
#include <memory>
#include <string>

#include "base/platform.h"

namespace velmora::decoders {

std::shared_ptr<const Picture> DecodeJpeg(const std::string& path);
std::shared_ptr<const Picture> DecodePng(const std::string& path);
// Bitmaps and icons through Qt's image readers; format is "bmp" or "ico".
std::shared_ptr<const Picture> DecodeWithQt(const std::string& path, const char* format);
std::shared_ptr<const Picture> DecodeWmf(const std::string& path);
std::shared_ptr<const Picture> DecodeEmf(const std::string& path);

}  // namespace velmora::decoders
