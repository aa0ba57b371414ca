#pragma once
// The pixel primitives of the skin painter: fast row accessors over 24- and
// 32-bit bitmaps, blends, tints, transparent and masked copies, the nine-part
// border painter and the glyph-frame painter. They read and write the
// bitmaps' pixel memory directly (never per-pixel GDI calls).
//
// Every operation clips its rectangles, offsets, frames and mask rows to
// both bitmaps before its loop: no pixel outside either bitmap is read or
// written, whatever the arguments. The transparent colour of skin pictures
// is $FF00FF; colours are red in the low byte.
//
// Rectangles: BlendRect and the masked copies (tiles, image parts, glyphs)
// take right and bottom edges exclusive; TintRect and the transparent copies
// (BlendRectTransparent, CopyRectTransparent, CopyMaskedRect) take them
// included.
//
// This unit builds in the host tree too (over the portable pixel store).

#include <cstddef>

#include "framework/Bitmap.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qMaskData.h"
#include "skin/engine/qSkinModel.h"

// The transparent colour of skin pictures, also "no colour".
constexpr TColor clSkinTransparent = 0xFF00FF;

// The parent's plain colour for transparent mask pixels; $FF00FF when unset.
// GUI thread only.
extern TColor ExchangeParentColor;
// No bitmap, offset (-99, -99), not ready.
extern const TCacheInfo EmptyCacheInfo;

// Row access to a bitmap of 24 (TzqFast24) or 32 (TzqFast32) bits a pixel.
class TzqFastBitmap {
public:
    explicit TzqFastBitmap(int Bytes) : PixelBytes(Bytes) {}
    // False (and Width 0) for a bitmap smaller than 2 x 2; raises
    // EInvalidGraphic "Bitmap format is not supported" for another format.
    bool Attach(TBitmap* Bmp);
    // The colour at (X, Y), red in the low byte (a 32-bit pixel's fourth
    // byte is not part of it); X and Y must lie inside.
    TColor GetPixel(int X, int Y) const;
    Byte* Pixel(int X, int Y) const { return Line0 + Y * Delta + X * PixelBytes; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }

    const int PixelBytes;
    TBitmap* Bitmap = nullptr;
    int Width = 0;
    int Height = 0;
    std::ptrdiff_t Delta = 0;   // bytes from one row to the next (negative bottom-up)
    Byte* Line0 = nullptr;      // row 0
};

class TzqFast24 : public TzqFastBitmap {
public:
    TzqFast24() : TzqFastBitmap(3) {}
};

class TzqFast32 : public TzqFastBitmap {
public:
    TzqFast32() : TzqFastBitmap(4) {}
};

// Blends a rectangle of one 24-bit bitmap onto another.
class TzqFastSum24 {
public:
    // False when either bitmap is smaller than 2 x 2.
    bool Attach(TBitmap* Src, TBitmap* Dst);
    // dst := (dst * Level + src * (255 - Level) + 127) shr 8 over the
    // destination rectangle, the source rectangle starting at (SrcX1,
    // SrcY1); both clipped to their bitmaps first.
    void BlendRect();

    TzqFast24 Src;
    TzqFast24 Dst;
    int Width = 0;    // the smaller of both
    int Height = 0;
    Byte Level = 0;
    int DstX1 = 0, DstY1 = 0, DstX2 = 0, DstY2 = 0;
    int SrcX1 = 0, SrcY1 = 0, SrcX2 = 0, SrcY2 = 0;
};

// The engine's shared accessors; no operation keeps one attached across a
// call of another painting operation. GUI thread only.
extern TzqFast24 FastA24;
extern TzqFast24 FastB24;
extern TzqFast32 Fast32;
extern TzqFastSum24 FastSum24;

// Level of D against Source rectangle Q of S, placed at P of D.
void BlendBitmaps(TBitmap* D, TBitmap* S, int Level, TPoint P, TRect Q);
// Each channel of R (edges included) := Percent % of the pixel + the rest
// of Color, rounded (halves to even).
void TintRect(TBitmap* Bmp, TRect R, int Percent, TColor Color);
// Each pixel := the mean of its three channels.
void GrayBitmap(TBitmap* Bmp);
// Over source rectangle Q of S (edges included), pixels not of Key (no key
// for $FF000000 and above) blended onto D at (X, Y): d := s - Keep * (s - d).
void BlendRectTransparent(TBitmap* D, int X, int Y, TColor Key, double Keep, TRect Q, TBitmap* S);
void CopyBitmapTransparent(TBitmap* D, TBitmap* S, int X, TColor Key, int Y);
void CopyRectTransparent(TBitmap* D, TBitmap* S, int X, TColor Key, TRect Q, int Y);
// Key pixels take the parent cache's pixel (UseParent, CI ready) or
// ExchangeParentColor (when set); otherwise they are skipped.
void CopyMaskedRect(TBitmap* D, TBitmap* S, int X, bool UseParent, const TCacheInfo& CI, TColor Key, TRect Q, int Y);

// The bitmap a mask entry's pixels live in: its own, else the master bitmap
// of its manager (nullptr when neither exists).
TBitmap* MaskSourceBitmap(const TqMaskData& Mask);

// Masked copies of Src (a rectangle of the entry's picture, its mask one
// frame height lower) to the top-left of Dst in Target; the copied size is
// the smaller of both rectangles.
// The same from Picture, the mask FrameHeight rows below the image.
void CopyMaskedPicturePart(TRect Dst, TRect Src, TBitmap* Target, TBitmap* Picture, int FrameHeight,
                           const TCacheInfo& CI);
void CopyMaskedImagePart(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, const TCacheInfo& CI);
void CopyMaskedTile(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, const TCacheInfo& CI);
// Mode 1 as above; any other mode draws fainter (mask + 100). Transparent
// pixels keep the destination. Image is the picture to read.
void CopyMaskedGlyph(TRect Dst, TRect Src, TBitmap* Target, const TqMaskData& Mask, int Mode, TBitmap* Image);

// The nine-part painter: state N's frame of the entry stretched over R of
// Bmp (corners, edges, centre when FillCentre).
void PaintMaskedImage(TBitmap* Bmp, TRect R, bool FillCentre, const void* Unused, bool UseParent, int N,
                      const TqMaskData& Mask, const TCacheInfo& CI);
// State N's frame of a glyph entry at P (a negative P cuts the glyph).
void DrawMaskGlyph(TBitmap* Bmp, TPoint P, int N, const TqMaskData& Mask, int Mode);

// Each channel of P := clamp((C * 256 + M * (P - C)) shr 8); P and M of one size.
void ApplyColorMask(TBitmap* P, TBitmap* M, TColor C);
// Output (32-bit) := clamp((Level * (A - B) + B * 256) shr 8) per channel;
// Levels, when given, supplies the level of each channel.
void MixFadeFrame(TBitmap* Output, TBitmap* A, TBitmap* B, int Level, TBitmap* Levels);

#ifdef _WIN32
class TControl;

// The disabled look of a control's image B: dkGrayed turns it grey; then
// dkBlended lets 60 % of the parent's cached background (at the cache's
// offset plus Offset) through, or without a ready cache tints 50 % toward
// ExchangeColor, or toward the control's Color while that is unset.
void ApplyDisabledKind(TBitmap* B, TqDisabledKind Kind, TControl* Control, TPoint Offset, const TCacheInfo& CI);
#endif
