#pragma once
// Constants and shared types of the skin engine: the skin command message
// with its sub-commands and answer channels, the enumerations of the data
// model and the painting, and the process-wide values set at start-up.

#include <cstdint>
#include <vector>

#include "framework/Graphics.h"

class TBitmap;

// The skin command message. wParam = MAKELONG(flag, sub-command); lParam =
// the causing skin manager for skin changes, else the sub-command's argument.
// A yes/no question is answered with result 1 and, for senders that pass the
// message record to a window procedure directly, lParam field 1.
constexpr unsigned SM_ZORVIKCMD = 0xA100;

enum : int {
    scmSkinLoaded = 1,
    scmSkinRemoved = 2,
    scmRefresh = 3,
    scmGetProvider = 4,
    scmGetCache = 5,
    scmFinishUpdate = 6,
    scmIsSkinned = 7,
    scmSetUpdating = 8,
    scmSetParentBgFlag = 9,
    scmIsBgChanging = 10,
    scmIsHalfVisible = 11,
    scmTranspChanged = 12,
    scmSectionRepaint = 13,
    scmMenuBorderDone = 14,
    scmSetPaintingChild = 15,
    scmStopFade = 16,
    scmSetBgChanged = 17,
    scmIsBgTextured = 19,
    scmParentBgChanged = 20,
    scmGetBgColor = 21,
    scmSetHalfVisible = 22,
    scmRebuildCache = 23,
    scmFadeFrame = 24,
    scmAdaptControl = 25,
    scmGetSkinIndex = 26,
    scmGetCaptionHeight = 27,
    scmReskinDialog = 28,
    scmMouseEnter = 29,
    scmMouseLeave = 30,
    scmBeginUpdate = 31,
    scmEndUpdate = 32,
    scmBeginScroll = 51,
    scmEndScroll = 52,
    scmGetApplication = 60,
};

// The wParam of a skin command: the sub-command in the high word, the flag
// in the low word.
constexpr std::uintptr_t SkinCommandWParam(int SubCommand, int Flag = 0)
{
    return (static_cast<std::uintptr_t>(static_cast<Word>(SubCommand)) << 16) | static_cast<Word>(Flag);
}
constexpr int SkinSubCommand(std::uintptr_t WParam) { return static_cast<int>((WParam >> 16) & 0xFFFFu); }

// A parent's cached skin image: the bitmap, the asking control's offset in
// it, and whether the cache exists.
struct TCacheInfo {
    TBitmap* Bmp = nullptr;
    Integer X = 0;
    Integer Y = 0;
    bool Ready = false;
};

TCacheInfo MakeCacheInfo(TBitmap* Bmp, Integer X, Integer Y);

// Answer channels of sub-commands 21 and 5: the asker sets them to "no
// answer" ($FF00FF, Ready false), sends, and reads them before sending
// anything else. GUI thread only.
extern TColor ExchangeColor;
extern TCacheInfo ExchangeCache;

// The default arrow length of the skinned scroll bars (the system's
// horizontal scroll arrow width).
extern int ScrollArrowSize;

enum TqControlBevel : Byte { cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard };
enum TzqImgType : Byte { itisaBorder, itisaTexture, itisaGlyph };
enum TzqBtnEvent : Byte { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TzqBtnEvents = unsigned;   // bit 1 << TzqBtnEvent
enum TqDisabledKindItem : Byte { dkBlended, dkGrayed };
using TqDisabledKind = unsigned; // bit 1 << TqDisabledKindItem
enum TqCaptionLayout : Byte { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

// Rectangles cut out of window regions.
using TAOR = std::vector<TRect>;

// Option integers as bevels and image kinds: values without a meaning in the
// format (outside 0 to 4, outside 0 to 2) read as the first value.
TqControlBevel BevelFromInt(Integer Value);
TzqImgType ImgTypeFromInt(Integer Value);
