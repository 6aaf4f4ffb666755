#pragma once
// The picture decoders the front ends lend the core (Platform::pictures).
#include <memory>

#include "base/platform.h"

namespace velmora {

// Decodes jpg/jpeg, png, bmp, ico, wmf and emf files. Thread-compatible: one decoder per
// thread. Qt's readers need no application object.
std::unique_ptr<PictureDecoder> CreatePictureDecoder();

}  // namespace velmora
