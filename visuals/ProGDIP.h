#pragma once
// A thin object layer over the flat interface of gdiplus.dll: one class per
// GDI+ object kind, each holding the native handle and the last failure
// status, with the operations the office controls' painting needs.
//
// GDI+ is started once per process (on first use, or by StartGdiPlus) and
// shut down at program exit. Wrappers are created, used and freed by their
// caller within one paint. Their memory comes from GdipAlloc; when even a
// second try fails, `new` yields nullptr (no exception) and callers skip
// what they would have drawn.
//
// Status convention: a constructor keeps the status of its creating call; any
// other operation keeps its status only when it is a failure, so LastStatus
// holds the most recent failure and a later success does not clear it. No
// operation raises.

#include <cstddef>
#include <memory>

#include <windows.h>
#include <objidl.h>

#include "framework/Graphics.h"

// GDI+'s Status codes.
using TGPStatus = Integer;
enum : TGPStatus {
    GPOk = 0,
    GPGenericError = 1,
    GPInvalidParameter = 2,
    GPOutOfMemory = 3,
    GPObjectBusy = 4,
    GPInsufficientBuffer = 5,
    GPNotImplemented = 6,
    GPWin32Error = 7,
    GPWrongState = 8,
    GPAborted = 9,
    GPFileNotFound = 10,
    GPValueOverflow = 11,
    GPAccessDenied = 12,
    GPUnknownImageFormat = 13,
    GPFontFamilyNotFound = 14,
    GPFontStyleNotFound = 15,
    GPNotTrueTypeFont = 16,
    GPUnsupportedGdiplusVersion = 17,
    GPGdiplusNotInitialized = 18,
};

// 32-bit colour, 0xAARRGGBB.
using TGPColor = DWORD;

struct TGPRectF {
    float X, Y, Width, Height;
};
struct TGPPoint {
    int X, Y;
};
struct TGPPointF {
    float X, Y;
};

TGPPoint MakeGPPoint(int X, int Y);
TGPRectF MakeGPRect(float X, float Y, float Width, float Height);

// A framework colour (system colours resolved first) as opaque ARGB.
TGPColor ColorToOpaqueARGB(TColor Color);

// Text quality of the pager and the glow button.
enum TAntiAlias : Byte { aaNone, aaClearType, aaAntiAlias };

// Text trimming; the values are GDI+'s own.
enum StringTrimming : Integer {
    StringTrimmingNone,
    StringTrimmingCharacter,
    StringTrimmingWord,
    StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord,
    StringTrimmingEllipsisPath,
};

// GDI+ values the callers pass through (GDI+'s own numbering).
enum : Integer {
    GPFillModeAlternate = 0,
    GPFillModeWinding = 1,
    GPSmoothingModeDefault = 0,
    GPSmoothingModeAntiAlias = 4,
    GPTextRenderingHintSystemDefault = 0,
    GPTextRenderingHintSingleBitPerPixelGridFit = 1,
    GPTextRenderingHintAntiAliasGridFit = 3,
    GPTextRenderingHintAntiAlias = 4,
    GPTextRenderingHintClearTypeGridFit = 5,
    GPLinearGradientModeHorizontal = 0,
    GPLinearGradientModeVertical = 1,
    GPLinearGradientModeForwardDiagonal = 2,
    GPLinearGradientModeBackwardDiagonal = 3,
    GPStringAlignmentNear = 0,
    GPStringAlignmentCenter = 1,
    GPStringAlignmentFar = 2,
    GPHotkeyPrefixNone = 0,
    GPHotkeyPrefixShow = 1,
    GPHotkeyPrefixHide = 2,
    GPCombineModeReplace = 0,
    GPCombineModeIntersect = 1,
    GPFontStyleRegular = 0,
    GPFontStyleBold = 1,
    GPFontStyleItalic = 2,
    GPFontStyleUnderline = 4,
    GPFontStyleStrikeout = 8,
    GPUnitWorld = 0,
    GPUnitPixel = 2,
    GPUnitPoint = 3,
    GPDashStyleSolid = 0,
    GPDashStyleDash = 1,
    GPDashStyleDot = 2,
    GPStringFormatFlagsNoWrap = 0x1000,
    GPStringFormatFlagsNoClip = 0x4000,
};

// Image format codes answered by TGPImage::GetFormat.
enum : Integer {
    ifUndefined = 0,
    ifMemoryBMP = 1,
    ifBMP = 2,
    ifEMF = 3,
    ifWMF = 4,
    ifJPEG = 5,
    ifPNG = 6,
    ifGIF = 7,
    ifTIFF = 8,
    ifEXIF = 9,
    ifIcon = 10,
};

// Starts GDI+ when it is not running (at most once per process); true when
// it runs.
bool StartGdiPlus();

// Root of the wrappers: memory from GdipAlloc, the native handle, the last
// failure.
class TGdiplusBase {
public:
    TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
    virtual ~TGdiplusBase() = default;

    // GdipAlloc, tried a second time after making sure GDI+ runs; nullptr
    // when both fail, which makes the new-expression yield nullptr.
    static void* operator new(std::size_t Size) noexcept;
    static void operator delete(void* Ptr) noexcept;

    void* NativeHandle() const { return FNative; }
    TGPStatus GetLastStatus() const { return FLastStatus; }

protected:
    // Keeps Status as the last status when it is a failure; returns it.
    TGPStatus SetStatus(TGPStatus Status);

    void* FNative = nullptr;
    TGPStatus FLastStatus = GPOk;
};

class TGPPen;
class TGPBrush;
class TGPFont;
class TGPStringFormat;
class TGPGraphicsPath;
class TGPRegion;
class TGPImage;

class TGPGraphics : public TGdiplusBase {
public:
    explicit TGPGraphics(HDC DC);
    ~TGPGraphics() override;

    TGPStatus SetTextRenderingHint(Integer Hint);
    TGPStatus SetSmoothingMode(Integer Mode);
    TGPStatus DrawPath(TGPPen* Pen, TGPGraphicsPath* Path);
    TGPStatus FillPath(TGPBrush* Brush, TGPGraphicsPath* Path);
    TGPStatus FillRectangle(TGPBrush* Brush, float X, float Y, float Width, float Height);
    TGPStatus FillRectangle(TGPBrush* Brush, const TGPRectF& Rect);
    TGPStatus DrawRectangle(TGPPen* Pen, float X, float Y, float Width, float Height);
    // 8-bit text is converted with the system code page; Length -1 means up
    // to the end.
    TGPStatus DrawString(const String& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                         TGPStringFormat* Format, TGPBrush* Brush);
    TGPStatus DrawString(const WideString& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                         TGPStringFormat* Format, TGPBrush* Brush);
    TGPStatus MeasureString(const WideString& Text, Integer Length, TGPFont* Font, const TGPRectF& Layout,
                            TGPStringFormat* Format, TGPRectF& Bounds, Integer* CodePointsFitted = nullptr,
                            Integer* LinesFilled = nullptr);
    TGPStatus DrawImage(TGPImage* Image, int X, int Y, int Width, int Height);
    TGPStatus SetClip(TGPRegion* Region, Integer CombineMode);
    TGPStatus ResetClip();
    // GdipTranslateWorldTransform and GdipRotateWorldTransform (degrees,
    // clockwise), each applied after the transform already set.
    TGPStatus TranslateTransform(float Dx, float Dy);
    TGPStatus RotateTransform(float Angle);
};

class TGPPen : public TGdiplusBase {
public:
    TGPPen(TGPColor Color, float Width = 1.0f);
    ~TGPPen() override;
    TGPStatus SetDashStyle(Integer Style);
};

// Any brush; the subclasses create it.
class TGPBrush : public TGdiplusBase {
public:
    ~TGPBrush() override;

protected:
    TGPBrush() = default;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(TGPColor Color);
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    TGPLinearGradientBrush(const TGPRectF& Rect, TGPColor Color1, TGPColor Color2, Integer Mode);
};

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(TGPGraphicsPath* Path);
    TGPStatus SetCenterColor(TGPColor Color);
    Integer GetPointCount();
    // Count in: colours to set; out (only when the last status is Ok): the
    // number set. Too many colours, none, or a path without points record
    // InvalidParameter and set nothing.
    TGPStatus SetSurroundColors(const TGPColor* Colors, Integer& Count);
    TGPStatus SetCenterPoint(const TGPPoint& Point);
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(Integer Flags = 0, Word Language = LANG_NEUTRAL);
    ~TGPStringFormat() override;
    TGPStatus SetAlignment(Integer Align);
    TGPStatus SetLineAlignment(Integer Align);
    TGPStatus SetTrimming(Integer Trimming);
    TGPStatus SetHotkeyPrefix(Integer Prefix);
};

class TGPFontFamily : public TGdiplusBase {
public:
    explicit TGPFontFamily(const WideString& Name);
    ~TGPFontFamily() override;
};

// The family of Name, or Arial when GDI+ finds no family or style of that
// name; nullptr when neither can be made.
std::unique_ptr<TGPFontFamily> CreateFontFamilyOrArial(const WideString& Name);

class TGPFont : public TGdiplusBase {
public:
    TGPFont(TGPFontFamily* Family, float Size, Integer Style = GPFontStyleRegular, Integer Unit = GPUnitPoint);
    ~TGPFont() override;
};

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(Integer FillMode = GPFillModeAlternate);
    ~TGPGraphicsPath() override;
    TGPStatus CloseFigure();
    TGPStatus AddLine(float X1, float Y1, float X2, float Y2);
    TGPStatus AddArc(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle);
    TGPStatus AddEllipse(float X, float Y, float Width, float Height);
    TGPStatus AddBezier(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4, float Y4);
    TGPStatus AddBezier(const TGPPointF& P1, const TGPPointF& P2, const TGPPointF& P3, const TGPPointF& P4);
    TGPStatus AddCurve(const TGPPoint* Points, Integer Count, float Tension);
};

class TGPRegion : public TGdiplusBase {
public:
    explicit TGPRegion(TGPGraphicsPath* Path);
    ~TGPRegion() override;
};

class TGPImage : public TGdiplusBase {
public:
    TGPImage(IStream* Stream, bool UseEmbeddedColorManagement = false);
    ~TGPImage() override;
    // One of the if* codes.
    Integer GetFormat();
    // 0 when the query fails.
    Cardinal GetWidth();
    Cardinal GetHeight();
};
