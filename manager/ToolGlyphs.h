#pragma once
// The pictures of the main window's tool buttons: one character of the
// button's task on a coloured tile, drawn at start into the image list.

#include "framework/ImageList.h"

namespace vantrel {

// Adds one 24 x 24 picture per entry of Glyphs to Images, in order.
void AddToolGlyphs(TImageList* Images, const char* const* Glyphs, const TColor* Tiles, int Count);

} // namespace vantrel
