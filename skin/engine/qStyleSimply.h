#pragma once
// The loaded-skin header: the skin-wide values of "GLOBALINFO", the skin's
// folder, and whether a skin is loaded and applied.

#include "framework/Graphics.h"

struct TqSkinData {
    String SkinPath;           // the skin's folder ending in "\" (image names are relative to it)
    bool Loaded = false;       // a skin is loaded and applied
    double Version = 0;
    String Author;
    String Description;
    Integer Shadow1Color = 0;
    Integer Shadow1Offset = 0;
    Integer Shadow1Blur = -1;
    Integer Shadow1Transparency = 0;
    TColor BorderColor = 0;
    Integer BISpace = 0;
};
