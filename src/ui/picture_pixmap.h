#pragma once
// A decoded picture as the pixmap a picture control shows.
#include <QPixmap>

#include <memory>

#include "base/platform.h"

namespace velmora {

// The pixmap shares the picture's pixels where the display allows (the picture is kept
// alive for it) instead of copying them first.
QPixmap PixmapOf(std::shared_ptr<const Picture> picture);

}  // namespace velmora
