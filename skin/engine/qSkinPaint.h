#pragma once
// The skin painting core: composes the skin image of one section (colour,
// gradient bands, texture, tint, transparency over the parent's cached
// image, border mask) into a 24-bit bitmap, draws section text with its
// contour colours, lists the transparent corner pixels of a border mask for
// window regions, recolours skin colours (saturation, hue), and holds the
// small drawing routines the skinned windows share.
//
// Invalid section or mask indexes, a missing manager, empty rectangles and
// rectangles outside the target paint nothing. ExchangeColor and
// ExchangeParentColor ($FF00FF = unset) are left unset by the operations
// that use them. GUI thread only.

#include <memory>

#include "framework/Bitmap.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qMaskData.h"
#include "skin/engine/qPixelOps.h"

class TqSkinManager;

// The background of a section in state State (0 normal, 1 hot) into R of
// Bmp; Offset is R's place in the parent cache CI. A nil manager means the
// default manager; Texture / HotTexture -1 look the section's PATTERN /
// HOTPATTERN up; CustomColor other than $FF00FF replaces COLOR / HOTCOLOR.
void PaintSectionBackground(int SectionIndex, const String& SectionName, const TCacheInfo& CI, int State, TRect R,
                            TPoint Offset, TBitmap* Bmp, TqSkinManager* Manager, int Texture = -1,
                            int HotTexture = -1, TColor CustomColor = clSkinTransparent);
// The same with the textures given (no lookups, no JPEG patterns, no
// custom colour, no ExchangeColor, no overlay).
void PaintBackgroundByIndexes(int SectionIndex, int Texture, int HotTexture, TqSkinManager* Manager, TBitmap* Bmp,
                              TPoint Offset, TRect R, int State, const TCacheInfo& CI, const String& SectionName);
// Background and the section's BORDERSMASK; R must lie inside Bmp.
void PaintSectionWithBorder(int SectionIndex, const String& SectionName, const TCacheInfo& CI, int Texture,
                            int HotTexture, TqSkinManager* Manager, TBitmap* Bmp, TPoint Offset, TRect R, int State,
                            bool FillCentre);
void PaintSectionByIndexes(int SectionIndex, int BorderIndex, int Texture, int HotTexture, TqSkinManager* Manager,
                           TBitmap* Bmp, TPoint Offset, TRect R, int State, bool FillCentre, const TCacheInfo& CI,
                           const String& SectionName);
// PaintSectionWithBorder into a bitmap of R's size, copied to DC at R.
void PaintSectionToDC(int SectionIndex, const String& SectionName, const TCacheInfo& CI, TqSkinManager* Manager,
                      HDC DC, TPoint Offset, TRect R, int State, bool FillCentre);

// A texture into R of Canvas by Mode (the entry's StretchMode); Graphic, when
// not empty, is tiled instead. R becomes the part left for the colour
// (empty when all is covered).
void PaintTexture(TCanvas* Canvas, TRect& R, TBitmap* Graphic, int Mode, const TqMaskData& Mask);
// A texture with a mask (image half over mask half) tiled into R of Bmp;
// R becomes empty.
void PaintMaskedTexture(TBitmap* Bmp, TRect& R, const TCacheInfo& CI, int Mode, const TqMaskData& Mask);
// Graphic tiled over R from its top-left, the last row and column cut.
void TileGraphic(TCanvas* Canvas, TRect R, TBitmap* Graphic);

// The runs of transparent pixels in the corners of a border mask's first
// frame, as one-pixel-high rectangles for a window W wide (Bottom: the last
// WB rows, else the first WT), at y = RowOffset + row.
void AddMaskCornerRects(TAOR& Rects, int W, const TqMaskData& Mask, bool Bottom, int RowOffset);

// Text in the section's colours (contours, then the text; disabled: once in
// a mix of FONTCOLOR and COLOR).
void DrawSectionText(TCanvas* Canvas, const String& Text, bool Enabled, TqSkinManager* Manager, bool Hot,
                     int SectionIndex, UINT Flags, TRect R);
// DrawTextW of 936 text.
void DrawTextStr(HDC DC, const String& Text, TRect R, UINT Flags);
// Text shortened from its end with "..." until it fits Width ("" when
// nothing fits or Width <= 0).
void FitTextWithEllipsis(TCanvas* Canvas, const String& Text, int Width, String& Result);

// Channels moved toward their mean by Amount percent (negative: apart),
// rounded (halves to even) and clamped.
TColor ChangeSaturation(TColor Color, int Amount);
// The hue turned by Offset degrees (any sign); greys are returned unchanged.
TColor ShiftHue(int Offset, TColor Color);

// Places a glyph and a caption in client rectangle C (Alignment 0 left,
// 1 right, 2 centre; Layout 0 glyph left, 1 right, 2 top, 3 bottom; Margin
// and Spacing -1 = computed).
void LayoutGlyphAndText(TRect C, TPoint GlyphSize, TPoint TextSize, UINT BiDiFlags, TRect& TextRect,
                        TPoint& GlyphPos, int Margin, int Spacing, int Alignment, int Layout);

void FillDCRect(HDC DC, TRect R, TColor Color);
void CopyBorderStrips(HDC DC, int X, int Y, int W, int H, HDC Source, int SourceX, int SourceY, int Border);
void DrawBevelFrame(HDC DC, TRect R, TColor Light, int& Width, TColor Dark);
void DrawDottedFocusRect(TCanvas* Canvas, TRect R);
void FadeRectToColor(TBitmap* Bmp, TRect R, int Percent, int Radius, int Steps, TColor Color);
std::unique_ptr<TBitmap> NewBitmap24(int Width, int Height);
std::unique_ptr<TBitmap> NewBitmap32(int Width, int Height);
std::unique_ptr<TBitmap> NewBitmap24Like(TBitmap* Bmp);
constexpr TColor StripHighByte(TColor Value) { return Value & 0x00FFFFFF; }
// Per channel (C1 - C2) * Fraction + C2, rounded; C1's high byte kept.
TColor MixColors(TColor C1, TColor C2, double Fraction);
