#pragma once
// The pictures of a skin, decoded by one decoder in both build trees: BMP
// files of every common depth and JPEG pictures. Both are untrusted input:
// every header field is checked against the data before anything is
// allocated, sizes beyond 16,384 pixels a side or 64 megapixels are refused,
// and anything that is not a picture of the kind raises EInvalidGraphic.

#include "framework/Bitmap.h"

// The largest picture a skin may hold.
constexpr int MaxPictureSide = 16384;
constexpr Int64 MaxPicturePixels = Int64(64) << 20;

// A BMP file (uncompressed, 1, 4, 8, 16, 24 or 32 bits per pixel, rows
// bottom-up or top-down; 16- and 32-bit pixels in their standard layouts or
// with bit-field masks) into a 24-bit bitmap, empty for a width or height of
// 0. "not a bitmap" otherwise.
void DecodeBmp(const Byte* Data, std::size_t Size, TBitmap& Bmp);

// A JPEG picture (baseline or progressive, grey or colour) into a 24-bit
// bitmap; damaged data raises EInvalidGraphic with the decoder's reason.
void DecodeJpeg(const Byte* Data, std::size_t Size, TBitmap& Bmp);

// A JPEG picture held decoded: the skin's large background patterns.
class TJPEGImage : public TPersistent {
public:
    TJPEGImage() = default;

    // From another TJPEGImage: a copy of its picture.
    void Assign(const TPersistent* Source) override;

    void LoadFromBytes(const String& Data);
    int Width() const { return FBitmap.Width(); }
    int Height() const { return FBitmap.Height(); }
    bool Empty() const { return FBitmap.Empty(); }
    // The decoded pixels (24 bits).
    TBitmap& Bitmap() { return FBitmap; }
    const TBitmap& Bitmap() const { return FBitmap; }

private:
    TBitmap FBitmap;
};
