#include "skin/engine/qConst.h"

#ifdef _WIN32
#include <windows.h>
#endif

TColor ExchangeColor = clFuchsia;
TCacheInfo ExchangeCache;

#ifdef _WIN32
int ScrollArrowSize = GetSystemMetrics(SM_CXHSCROLL);
#else
int ScrollArrowSize = 16;
#endif

TCacheInfo MakeCacheInfo(TBitmap* Bmp, Integer X, Integer Y)
{
    return TCacheInfo{Bmp, X, Y, true};
}

TqControlBevel BevelFromInt(Integer Value)
{
    return Value >= cbNone && Value <= cbLoweredHard ? static_cast<TqControlBevel>(Value) : cbNone;
}

TzqImgType ImgTypeFromInt(Integer Value)
{
    return Value >= itisaBorder && Value <= itisaGlyph ? static_cast<TzqImgType>(Value) : itisaBorder;
}
