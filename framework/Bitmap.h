#pragma once
#ifndef _WIN32
// The host tree has no GDI: its stand-in has the same names.
#include "framework/HostBitmap.h"
#else
// Bitmaps: device-independent pictures of 24 or 32 bits per pixel (DIB
// sections), drawn through their own memory-DC canvas and read or written
// row by row through ScanLine. They need no window.

#include <memory>

#include "framework/Graphics.h"

enum class TPixelFormat { pf24bit, pf32bit };

class TBitmap : public TPersistent {
public:
    // An empty 32-bit bitmap.
    TBitmap();
    TBitmap(int Width, int Height, TPixelFormat Format = TPixelFormat::pf32bit);
    ~TBitmap() override;

    // From another TBitmap: a copy of its pixels, format and transparency.
    // nullptr empties this bitmap. Fires OnChange.
    void Assign(const TPersistent* Source) override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Keeps the pixels that both sizes cover; new pixels are black.
    void SetSize(int Width, int Height);
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    TPixelFormat PixelFormat() const { return FFormat; }
    // Converts the pixels to the new format (the alpha byte of 32-bit
    // pixels is dropped or becomes 0).
    void SetPixelFormat(TPixelFormat Value);
    int BytesPerPixel() const { return FFormat == TPixelFormat::pf24bit ? 3 : 4; }
    // Bytes from one row to the next (rows are padded to 4 bytes).
    int RowBytes() const;

    // Row Row (0 = top) of the pixels, blue-green-red(-alpha) per pixel.
    // Pending GDI drawing is finished first. Raises EInvalidGraphic for a
    // row outside the bitmap.
    Byte* ScanLine(int Row);

    // A canvas that draws into the pixels (a memory DC, created on first use).
    TCanvas* Canvas();
    // The HBITMAP of the pixels, nullptr while Empty. The canvas first gives
    // up its DC, because GDI lets a bitmap be selected into one DC only: the
    // handle can then be selected elsewhere or given to the image list.
    HBITMAP Handle();

    // Draw and StretchDraw leave the pixels of TransparentColor unpainted
    // while Transparent is set. Until a colour is set, TransparentColor is
    // that of the bottom-left pixel.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);

    // .bmp files of any depth GDI reads; the pixels become 32-bit for 32-bit
    // files and 24-bit otherwise. File names are 936 text. Raise EFOpenError
    // / EFCreateError when the file cannot be opened or created,
    // EInvalidGraphic when it is not a bitmap.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);
    // The same with the bytes of a .bmp file.
    void LoadFromBytes(const String& Data);
    String SaveToBytes();
    // A bitmap resource (RT_BITMAP) of Instance; Name is 936 text or "#123"
    // for a numeric identifier. Raises EInvalidGraphic when it is missing.
    void LoadFromResourceName(HINSTANCE Instance, const String& Name);

    // A monochrome bitmap of the same size that is 1 (white) where the
    // pixels have Color and 0 elsewhere.
    TSharedGdiObject CreateMask(TColor Color);

    // The pixels of Wnd's client area as they are on the screen, after
    // pending painting of the window and its children is done. The window
    // must be visible.
    void CaptureWindow(HWND Wnd);

    // Fired when the size, format, pixels (as a whole) or transparency
    // change; drawing on the canvas does not fire it.
    TNotifyEvent OnChange;

private:
    friend class TBitmapCanvas;

    // Replaces the pixels by a new DIB section of this size and format,
    // copying the old pixels that fit when KeepPixels is set.
    void NewImage(int Width, int Height, TPixelFormat Format, bool KeepPixels);
    // Reads a packed DIB (header, colour table, bits) into a new image;
    // Bits, when given, is where the pixels start inside the data.
    void LoadFromDib(const Byte* Dib, std::size_t Size, const Byte* Bits);
    void ReleaseCanvasHandle();
    void Changed();

    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FFormat = TPixelFormat::pf32bit;
    TSharedGdiObject FImage;    // the DIB section; shared with the canvas's memory DC
    Byte* FBits = nullptr;      // the DIB section's pixels, bottom row first
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    std::unique_ptr<TCanvas> FCanvas;
};
#endif
