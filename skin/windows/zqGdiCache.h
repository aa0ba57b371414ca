#pragma once
// GDI objects that a window subclass hands out again and again and frees
// with itself: one solid brush per colour (the answers to
// WM_CTLCOLORLISTBOX, asked at every repaint of a list) and one font per
// system message-font setting (the text of skinned statics).

#include <map>

#include <windows.h>

#include "framework/Graphics.h"

// Solid brushes by colour, created on first use and kept until the cache
// goes; the caller never deletes one.
class TzqBrushCache {
public:
    TzqBrushCache() = default;
    ~TzqBrushCache();
    TzqBrushCache(const TzqBrushCache&) = delete;
    TzqBrushCache& operator=(const TzqBrushCache&) = delete;

    // The brush of Color (a framework colour, resolved to RGB first).
    HBRUSH Brush(TColor Color);
    int Count() const { return static_cast<int>(FBrushes.size()); }

private:
    std::map<COLORREF, HBRUSH> FBrushes;
};

// The system's message font (SPI_GETNONCLIENTMETRICS, lfMessageFont) as a
// font handle, made again only when the setting changed since the last call.
class TzqMessageFont {
public:
    TzqMessageFont() = default;
    ~TzqMessageFont();
    TzqMessageFont(const TzqMessageFont&) = delete;
    TzqMessageFont& operator=(const TzqMessageFont&) = delete;

    // Owned by this object; nullptr when the system gives no metrics.
    HFONT Handle();

private:
    HFONT FFont = nullptr;
    LOGFONTW FMade{};
};
