#pragma once
// The host tree's stand-in for the skin manager's master bitmap: the pixel
// primitives find a mask entry's picture through the manager pointer the
// entry holds, which here only names a bitmap registered for it.

#include "framework/Bitmap.h"

class TqSkinManager;

// Entries whose Manager is Manager read their master pixels from Master
// (nullptr forgets the manager).
void SetHostMasterBitmap(const TqSkinManager* Manager, TBitmap* Master);
