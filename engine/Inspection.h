// The engine's own side of the questions Inspection.cpp answers for the
// front ends; nothing here is exported.
#ifndef ENGINE_INSPECTION_H
#define ENGINE_INSPECTION_H

#include "engine/Pixwright_DLL.h"

namespace engine {

// inspectPicture by decoding the whole picture as a conversion loads it: the
// plain answer the header reading must give. It differs only for a file
// whose header is sound and whose pixel data is damaged: 10 here, where
// inspectPicture answers 0 and the conversion then fails.
int inspectPictureByDecoding(const char* path, PixwrightPictureInfo* info);

} // namespace engine

#endif
