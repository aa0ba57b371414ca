#pragma once
// The records of a loaded skin: one TqGeneralData per options section, one
// TqMaskData per image entry (a rectangle of the master bitmap or a bitmap
// of its own), one TqPatternData per large JPEG background.

#include <memory>
#include <vector>

#include "framework/Bitmap.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qGradient.h"
#include "skin/engine/qSkinPictures.h"

class TqSkinManager;

struct TqGeneralData {
    String ParentClass;
    String ClassName;
    TColor Color = 0;
    TqControlBevel Bevel = cbNone;
    TColor FontColor = 0;
    TColor TCLeft = -1, TCTop = -1, TCRight = -1, TCBottom = -1;
    TColor HotFontColor = 0;
    TColor HotTCLeft = -1, HotTCTop = -1, HotTCRight = -1, HotTCBottom = -1;
    bool ReservedBoolean = false;
    Integer ShadowBlur = 0;
    TColor ShadowColor = 0;
    bool ShadowEnabled = false;
    Integer ShadowOffset = 0;
    Integer ShadowTransparency = 0;
    Integer Transparency = 0;
    Integer GradientPercent = 0;
    String GradientData;
    TqGradArray GradientArray;
    Integer ImagePercent = 0;
    bool ShowFocus = false;
    bool FadingEnabled = false;
    Integer FadingIntervalIn = 0;
    Integer FadingIntervalOut = 0;
    Integer FadingIterations = 0;
    TColor HotColor = 0;
    Integer HotTransparency = 0;
    TqControlBevel HotBevel = cbNone;
    Integer HotGradientPercent = 0;
    String HotGradientData;
    TqGradArray HotGradientArray;
    Integer HotImagePercent = 0;
    TColor BorderColor1 = 0;
    TColor BorderColor2 = 0;
};

struct TqMaskData {
    std::unique_ptr<TBitmap> Bmp;   // the entry's own bitmap; none for a rectangle of the master bitmap
    String ClassName;
    String PropertyName;
    TRect R{};                      // in the master bitmap, or (0, 0, width, height) of Bmp
    std::int16_t ImageCount = 0;    // state frames side by side
    std::int16_t MaskType = 0;      // n > 0: n mask rows below the image row
    std::int16_t BorderWidth = 0;
    std::int16_t StretchMode = 0;
    TzqImgType ImgType = itisaBorder;
    TqSkinManager* Manager = nullptr;
    std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TqPatternData {
    std::unique_ptr<TJPEGImage> Img;
    String ClassName;
    String PropertyName;
};

using TqGeneralDataArray = std::vector<TqGeneralData>;
using TqMaskArray = std::vector<TqMaskData>;
using TqPatternArray = std::vector<TqPatternData>;
