#include "skin/engine/qGradient.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "framework/StrUtils.h"

#ifdef _WIN32
#include <windows.h>
#endif

void ParseGradientData(const String& Text, TqGradArray& Bands)
{
    Bands.clear();
    std::vector<String> fields;
    std::size_t start = 0;
    while (start <= Text.size()) {
        std::size_t end = Text.find(';', start);
        if (end == String::npos)
            end = Text.size();
        if (end > start)
            fields.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    for (std::size_t b = 0; b + 5 <= fields.size(); b += 5) {
        TqGradient band;
        band.Color1 = StrToInt(fields[b]);
        band.Color2 = StrToInt(fields[b + 1]);
        band.Percent = std::min(StrToInt(fields[b + 2]), 100);
        band.Mode = StrToInt(fields[b + 3]);
        Bands.push_back(band);
    }
}

void ColorToBGR(TColor Color, Byte& B, Byte& G, Byte& R)
{
    const auto c = static_cast<std::uint32_t>(Color);
    R = static_cast<Byte>(c & 0xFF);
    G = static_cast<Byte>((c >> 8) & 0xFF);
    B = static_cast<Byte>((c >> 16) & 0xFF);
}

namespace {

// A colour moving from one value to another, one step per pixel, each
// channel rounded to the nearest integer (halves to even).
class TColorRamp {
public:
    TColorRamp(TColor From, TColor To, int Steps)
    {
        Byte b, g, r, b2, g2, r2;
        ColorToBGR(From, b, g, r);
        ColorToBGR(To, b2, g2, r2);
        FStart = {double(b), double(g), double(r)};
        FStep = {(double(b2) - b) / Steps, (double(g2) - g) / Steps, (double(r2) - r) / Steps};
    }
    void Put(Byte* Pixel, int Step) const
    {
        for (int c = 0; c < 3; ++c) {
            const double v = std::nearbyint(FStart[c] + FStep[c] * Step);
            Pixel[c] = static_cast<Byte>(std::clamp(v, 0.0, 255.0));
        }
    }

private:
    std::array<double, 3> FStart{};
    std::array<double, 3> FStep{};
};

void PaintTopToBottom(TBitmap* Bmp, const TRect& R, const TqGradArray& Bands, int Offset)
{
    const int lastRow = std::min<int>(R.bottom, Bmp->Height()) - 1;
    const int lastCol = std::min<int>(R.right, Bmp->Width()) - 1;
    const int bpp = Bmp->BytesPerPixel();
    int e = R.top + Offset;
    for (std::size_t i = 0; i < Bands.size(); ++i) {
        const TqGradient& band = Bands[i];
        const int s = e;
        if (i + 1 == Bands.size())
            e = lastRow;
        else
            e = std::min(static_cast<int>(s + static_cast<Int64>(band.Percent) * (Offset + RectHeight(R)) / 100), lastRow);
        if (e <= s) {
            if (i + 1 == Bands.size())
                break;
            continue;
        }
        const TColorRamp ramp(band.Color1, band.Color2, e - s);
        for (int y = std::max(s, 0); y <= e; ++y) {
            Byte* row = Bmp->ScanLine(y);
            for (int x = R.left; x <= lastCol; ++x)
                ramp.Put(row + x * bpp, y - s);
        }
    }
}

void PaintLeftToRight(TBitmap* Bmp, const TRect& R, const TqGradArray& Bands)
{
    const int lastCol = std::min<int>(R.right, Bmp->Width()) - 1;
    const int bpp = Bmp->BytesPerPixel();
    for (int y = R.top; y < R.bottom; ++y) {
        Byte* row = Bmp->ScanLine(y);
        int l = R.left;
        for (std::size_t i = 0; i < Bands.size(); ++i) {
            const TqGradient& band = Bands[i];
            const int j = l;
            if (i + 1 == Bands.size())
                l = lastCol;
            else
                l = std::min(static_cast<int>(j + std::nearbyint(double(band.Percent) * RectWidth(R) / 100)), lastCol);
            if (l <= j)
                continue;
            const TColorRamp ramp(band.Color1, band.Color2, l - j);
            for (int x = std::max(j, 0); x <= l; ++x)
                ramp.Put(row + x * bpp, x - j);
        }
    }
}

#ifdef _WIN32
void PaintCornersAndCentre(TBitmap* Bmp, const TRect& R, const TqGradArray& Bands)
{
    const POINT points[5] = {
        {R.left, R.top},
        {R.left + RectWidth(R) / 2, R.top + RectHeight(R) / 2},
        {R.right, R.top},
        {R.right, R.bottom},
        {R.left, R.bottom},
    };
    TRIVERTEX v[5]{};
    TColor color = Bands[0].Color1;
    for (std::size_t i = 0; i < 5; ++i) {
        if (i < Bands.size())
            color = Bands[i].Color1;   // a missing band keeps the vertex before it
        Byte b, g, r;
        ColorToBGR(color, b, g, r);
        v[i] = TRIVERTEX{points[i].x, points[i].y, static_cast<COLOR16>(r << 8), static_cast<COLOR16>(g << 8),
                         static_cast<COLOR16>(b << 8), 0};
    }
    GRADIENT_TRIANGLE triangles[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    GradientFill(Bmp->Canvas()->Handle(), v, 5, triangles, 4, GRADIENT_FILL_TRIANGLE);
}
#endif

}   // namespace

void PaintGradient(TBitmap* Bmp, TRect R, const TqGradArray& Bands, int Offset)
{
    R.right = std::min<int>(R.right, Bmp->Width());
    R.bottom = std::min<int>(R.bottom, Bmp->Height());
    R.left = std::max<int>(R.left, 0);
    R.top = std::max<int>(R.top, 0);
    if (Bands.empty() || Bmp->Empty())
        return;
    switch (Bands[0].Mode) {
    case 0:
        PaintTopToBottom(Bmp, R, Bands, Offset);
        break;
    case 1:
        PaintLeftToRight(Bmp, R, Bands);
        break;
#ifdef _WIN32
    case 2:
        PaintCornersAndCentre(Bmp, R, Bands);
        break;
#endif
    default:
        break;
    }
}
