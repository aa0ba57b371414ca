#include "skin/engine/host/MaskSourceHost.h"

#include <map>

#include "skin/engine/qPixelOps.h"

namespace {

std::map<const TqSkinManager*, TBitmap*>& Masters()
{
    static std::map<const TqSkinManager*, TBitmap*> masters;
    return masters;
}

} // namespace

void SetHostMasterBitmap(const TqSkinManager* Manager, TBitmap* Master)
{
    if (Master)
        Masters()[Manager] = Master;
    else
        Masters().erase(Manager);
}

TBitmap* MaskSourceBitmap(const TqMaskData& Mask)
{
    if (Mask.Bmp)
        return Mask.Bmp.get();
    const auto found = Masters().find(Mask.Manager);
    return found == Masters().end() ? nullptr : found->second;
}
