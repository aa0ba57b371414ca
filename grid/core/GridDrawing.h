#pragma once
// Drawing routines shared by the grid's painting code: gradients, colour
// arithmetic, glyphs, drop-down and spin buttons, the red squiggle under
// marked text, and the graphic cell types (progress bar, progress pie, range
// indicator, level progress bar). Each takes a canvas and a rectangle,
// changes the canvas's pen, brush and font as its comment says, and keeps no
// state. System colours are resolved to RGB before any channel arithmetic.
//
// Painting never raises: a zero range draws 0 %, a missing glyph or window
// draws nothing.

#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

class TWinControl;

// Stepped two-colour gradient in Steps bands (0 counts as 1), bands
// overlapping by one pixel; ToColor clNone draws one solid rectangle in
// FromColor. Sets the pen and brush.
void DrawGradientRect(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, TRect R, int Steps);

// A cell or header background. With Fill and a Color: solid (R extended by
// one pixel at the bottom) when both ColorTo and MirrorColor are clNone; a
// 128-band gradient Color -> ColorTo when only MirrorColor is clNone
// (horizontal unless Vertical); otherwise R is split in halves (top and
// bottom when Vertical, left and right otherwise), the first getting
// Color -> ColorTo and the second MirrorColor -> MirrorColorTo. Then, with a
// BorderColor, the frame, or only the left and right edge lines with
// VerticalLines.
void DrawGradientBackground(TCanvas* Canvas, TRect R, TColor Color, bool Fill, bool VerticalLines,
                            TColor BorderColor, bool Vertical, TColor MirrorColorTo, TColor MirrorColor,
                            TColor ColorTo);

// FromColor + (ToColor - FromColor) x Position / (RangeEnd - RangeStart) per
// channel, each channel term rounded; FromColor when ToColor is clNone or
// the range is empty.
TColor BlendColorAt(TColor FromColor, TColor ToColor, int RangeStart, int Position, int RangeEnd);

// Every channel halved (a darker shade of the colour).
TColor HalveColor(TColor Color);

// Fills R with Color (sets the brush).
void FillRectColor(TCanvas* Canvas, TRect R, TColor Color);

// The filled triangle (X - 3, Y), (X + 3, Y), (X, Y + 3) in Color.
void DrawSmallDownTriangle(TCanvas* Canvas, int X, int Y, TColor Color);

// While it lives, the pixels Left .. Left + Width - 1 of a canvas mirrored
// by its layout (LAYOUT_RTL) are drawn unmirrored over the same device
// pixels: texts and pictures keep their order and look, the span its place.
// The grid draws each picture so in a right-to-left grid: at its mirrored
// place, the right way round. On any other canvas it does nothing.
class TDCUnmirroredSpan {
public:
    TDCUnmirroredSpan(TCanvas* C, bool Active, int Left, int Width);
    ~TDCUnmirroredSpan();
    TDCUnmirroredSpan(const TDCUnmirroredSpan&) = delete;
    TDCUnmirroredSpan& operator=(const TDCUnmirroredSpan&) = delete;

private:
    HDC FDC = nullptr;
    DWORD FLayout = 0;
    POINT FOrigin{0, 0};
    bool FActive = false;
};

// Glyph at R's top-left corner at its own size, its top-left pixel's colour
// transparent over Background. Nothing for a missing or empty glyph.
void DrawGlyphOnColor(TCanvas* Canvas, TBitmap* Glyph, TColor Background, TRect R);

// The bitmap resource ResName of the program drawn with DrawGlyphOnColor;
// nothing when the program has no such resource.
void DrawResourceGlyph(TCanvas* Canvas, TColor Background, TRect R, const String& ResName);

// The drop-down button at the right edge of R: themed ("combobox" class of
// Wnd) when Themed and visual styles are available, the classic flat combo
// arrow otherwise. Returns the button's rectangle.
TRect DrawComboButton(TCanvas* Canvas, HWND Wnd, TRect R, bool Themed);

// The up and down buttons at the right edge of R, themed ("spin" class) or
// as the classic flat combo arrow. Returns the buttons' rectangle.
TRect DrawSpinButtons(TCanvas* Canvas, HWND Wnd, TRect R, bool Themed);

// The red zig-zag under the characters Start .. Start + Length - 1 of Text
// as a single-line edit on Owner would lay it out in R (the character
// positions are read from such an edit, made and freed here). Nothing when
// Owner has no window or Length is not positive.
void DrawTextRangeSquiggle(TWinControl* Owner, TCanvas* Canvas, const String& Text, int Length, int Start,
                           int VerticalOffset, TRect R);

// A bar from the centre of R (shrunk by 2) to the right for a positive
// Value, to the left for a negative one, in proportion to Range (Value is
// clamped to -Range .. Range); with ShowText the clamped value centred.
// A Range of 0 or less draws no bar.
void DrawRangeIndicator(TCanvas* Canvas, TRect R, int Value, TColor PositiveColor, TColor NegativeColor,
                        bool ShowText, int Range);

// A progress bar with its label. Without Format the value is the percentage
// and the label is the value followed by "%"; with Format the label is
// Format applied to the value (one integer: %d, %u, %x, %X with flags and a
// width; "%%" is a percent sign; any other directive stands as written) and
// the percentage is the value's place between Minimum and Maximum (0 when
// they are equal). A percentage outside 0 .. 100 draws as 0. Inverted is for
// a mapping mode whose y axis points up: label heights then count negative.
void DrawProgressBar(TCanvas* Canvas, TRect R, TColor CompleteColor, bool Inverted, TColor BorderColor,
                     const String& Format, int Maximum, int Minimum, int MarginY, int MarginX, double Value,
                     TColor RemainFontColor, TColor RemainColor, TColor CompleteFontColor);

// A circle in R with the part from twelve o'clock clockwise to Percentage
// filled in Color. Inverted as for DrawProgressBar (the fill then starts
// above the rectangle's top, which is inside the circle in such a mapping).
void DrawProgressPie(TCanvas* Canvas, TRect R, TColor Color, bool Inverted, double Percentage);

// What a level progress bar looks like.
struct TLevelProgressAppearance {
    TColor Level0Color = clLime;
    TColor Level0ColorTo = clNone;
    TColor Level1Color = clYellow;
    TColor Level1ColorTo = clNone;
    TColor Level2Color = 0x00A5FF;
    TColor Level2ColorTo = clNone;
    TColor Level3Color = clRed;
    TColor Level3ColorTo = clNone;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = clBlack;
    bool ShowBorder = false;
    bool Stacked = false;
    bool ShowPercentage = true;
    const TFont* Font = nullptr;      // the percentage text's font; the canvas's own when nullptr
    bool CompletionSmooth = true;
    bool ShowGradient = true;
    int Steps = 8;
    TColor UnCompleteColor = clWhite;
    bool Vertical = false;
};

// A level progress bar at Percentage (0 .. 100) in R; see the appearance.
void DrawLevelProgressBar(TCanvas* Canvas, TRect R, int Percentage, const TLevelProgressAppearance& A);

// UpdateLayeredWindow and SetLayeredWindowAttributes of "USER32.DLL", looked
// up by name at each call: whether the call succeeded, or true when the
// module or the function is not there.
bool UpdateLayeredWindowDyn(HWND Wnd, HDC DstDC, POINT* DstPt, SIZE* Size, HDC SrcDC, POINT* SrcPt,
                            COLORREF Key, BLENDFUNCTION* Blend, DWORD Flags);
bool SetLayeredWindowAttributesDyn(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags);

// Test seam: look the layered-window functions up in another module.
void SetLayeredWindowModuleName(const wchar_t* ModuleName);
