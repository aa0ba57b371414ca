#include "framework/HostBitmap.h"

#include <algorithm>
#include <cstring>

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format)
{
    NewImage(Width, Height, Format, false);
}

void TBitmap::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        NewImage(0, 0, FFormat, false);
        Changed();
        return;
    }
    const auto* other = dynamic_cast<const TBitmap*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    FFormat = other->FFormat;
    FPixels = other->FPixels;
    FTransparent = other->FTransparent;
    FTransparentColor = other->FTransparentColor;
    Changed();
}

int TBitmap::RowBytes() const
{
    return (FWidth * BytesPerPixel() + 3) & ~3;
}

void TBitmap::SetSize(int Width, int Height)
{
    if (Width == FWidth && Height == FHeight)
        return;
    NewImage(Width, Height, FFormat, true);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == FFormat)
        return;
    NewImage(FWidth, FHeight, Value, true);
    Changed();
}

Byte* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= FHeight)
        throw EInvalidGraphic("Scan line index out of range");
    return FPixels.data() + static_cast<std::size_t>(Row) * static_cast<std::size_t>(RowBytes());
}

void TBitmap::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentColor != clDefault || Empty())
        return FTransparentColor;
    const Byte* p = FPixels.data() + static_cast<std::size_t>(FHeight - 1) * static_cast<std::size_t>(RowBytes());
    return RGBToColor(p[2], p[1], p[0]);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FTransparentColor = Value;
    Changed();
}

void TBitmap::NewImage(int Width, int Height, TPixelFormat Format, bool KeepPixels)
{
    if (Width < 0 || Height < 0)
        throw EInvalidGraphic("Invalid bitmap size");
    if (Width == 0 || Height == 0)
        Width = Height = 0;
    TBitmap old;
    if (KeepPixels) {
        old.FWidth = FWidth;
        old.FHeight = FHeight;
        old.FFormat = FFormat;
        old.FPixels.swap(FPixels);
    }
    FWidth = Width;
    FHeight = Height;
    FFormat = Format;
    FPixels.assign(static_cast<std::size_t>(RowBytes()) * static_cast<std::size_t>(Height), 0);
    if (!KeepPixels || old.Empty())
        return;
    const int rows = std::min(Height, old.FHeight);
    const int cols = std::min(Width, old.FWidth);
    const int from = old.BytesPerPixel();
    const int to = BytesPerPixel();
    for (int y = 0; y < rows; ++y) {
        const Byte* src = old.ScanLine(y);
        Byte* dst = ScanLine(y);
        for (int x = 0; x < cols; ++x)
            std::memcpy(dst + x * to, src + x * from, 3);
    }
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange(this);
}
