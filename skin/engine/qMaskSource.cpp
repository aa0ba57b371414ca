// Where a mask entry's pixels live: its own bitmap or its manager's master
// bitmap. The host tree has no manager and keeps its own answer
// (host/MaskSourceHost.cpp).
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"

TBitmap* MaskSourceBitmap(const TqMaskData& Mask)
{
    if (Mask.Bmp)
        return Mask.Bmp.get();
    return Mask.Manager ? Mask.Manager->Skin().MasterBitmap.get() : nullptr;
}
