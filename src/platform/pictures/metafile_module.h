#pragma once
// The metafile decoders live in a module of their own (velmora-metafiles.so): libwmf,
// libemf2svg and Qt's SVG renderer are loaded only when a game first shows a metafile.
#include <memory>
#include <string>

#include "base/platform.h"

class QSvgRenderer;

namespace velmora::decoders {

struct MetafileModule {
  std::shared_ptr<const Picture> (*wmf)(const std::string& path, const PictureBox& box);
  std::shared_ptr<const Picture> (*emf)(const std::string& path, const PictureBox& box);
};

constexpr const char* kMetafileModuleFile = "velmora-metafiles.so";
constexpr const char* kMetafileModuleEntry = "velmora_metafile_module";

// Inside the module: draws an SVG drawing of width by height pixels onto white
// (metafiles have no background), straight at its size in box.
std::shared_ptr<const Picture> RenderSvg(QSvgRenderer& renderer, int width, int height, const PictureBox& box);

}  // namespace velmora::decoders
