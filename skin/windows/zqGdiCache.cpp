#include "skin/windows/zqGdiCache.h"

#include <cstring>

TzqBrushCache::~TzqBrushCache()
{
    for (auto& [color, brush] : FBrushes)
        DeleteObject(brush);
}

HBRUSH TzqBrushCache::Brush(TColor Color)
{
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(Color)) & 0x00FFFFFF;
    auto found = FBrushes.find(rgb);
    if (found != FBrushes.end())
        return found->second;
    HBRUSH brush = CreateSolidBrush(rgb);
    if (brush != nullptr)
        FBrushes.emplace(rgb, brush);
    return brush;
}

TzqMessageFont::~TzqMessageFont()
{
    if (FFont != nullptr)
        DeleteObject(FFont);
}

HFONT TzqMessageFont::Handle()
{
    // Wine writes 500 bytes whatever cbSize says: always pass the whole
    // structure of the current size.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return FFont;
    if (FFont != nullptr && std::memcmp(&metrics.lfMessageFont, &FMade, sizeof FMade) == 0)
        return FFont;
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    if (font == nullptr)
        return FFont;
    if (FFont != nullptr)
        DeleteObject(FFont);
    FFont = font;
    FMade = metrics.lfMessageFont;
    return FFont;
}
