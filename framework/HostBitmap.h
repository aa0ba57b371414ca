#pragma once
// The bitmap of the host tree: a plain store of 24- or 32-bit pixels with the
// size, format, transparency and row access of the Windows tree's TBitmap,
// without a canvas or a handle. Code that fills and reads bitmaps row by row
// (picture decoders, skin readers, gradient bands) runs on it unchanged.

#include <vector>

#include "framework/HostGraphics.h"

enum class TPixelFormat { pf24bit, pf32bit };

class TBitmap : public TPersistent {
public:
    TBitmap() = default;
    TBitmap(int Width, int Height, TPixelFormat Format = TPixelFormat::pf32bit);

    void Assign(const TPersistent* Source) override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Keeps the pixels that both sizes cover; new pixels are black.
    void SetSize(int Width, int Height);
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    TPixelFormat PixelFormat() const { return FFormat; }
    void SetPixelFormat(TPixelFormat Value);
    int BytesPerPixel() const { return FFormat == TPixelFormat::pf24bit ? 3 : 4; }
    int RowBytes() const;

    // Row Row (0 = top), blue-green-red(-alpha) per pixel; EInvalidGraphic
    // for a row outside the bitmap.
    Byte* ScanLine(int Row);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // That of the bottom-left pixel until a colour is set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);

    TNotifyEvent OnChange;

private:
    void NewImage(int Width, int Height, TPixelFormat Format, bool KeepPixels);
    void Changed();

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FFormat = TPixelFormat::pf32bit;
    std::vector<Byte> FPixels;   // top row first
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
};
