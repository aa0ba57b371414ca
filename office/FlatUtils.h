#pragma once
// Small drawing helpers of the flat controls: frames, banded gradients and
// colour conversions between RGB and hue-lightness-saturation.

#include "framework/Graphics.h"

// The scale of hue, lightness and saturation values.
constexpr int HLSMax = 240;

// Count outlines in Color, each one pixel inside the previous, starting at
// the outermost pixels of Rect.
void DrawBorderFrame(TCanvas* Canvas, TRect Rect, TColor Color, int Count);

// 32 overlapping bands from Start to Stop across Rect: left to right, or top
// to bottom when Vertical.
void FillGradient(TCanvas* Canvas, const TRect& Rect, TColor Start, TColor Stop, bool Vertical);

struct THLSFloat {
    double H, L, S;   // each 0..1
};
struct THLS {
    int H, L, S;      // hue 0..239, lightness and saturation 0..240
};

THLSFloat RGBToHLSFloat(COLORREF Color);
COLORREF HLSFloatToRGB(const THLSFloat& Value);
THLS RGBToHLS(COLORREF Color);
COLORREF HLSToRGB(const THLS& Value);

// Color (resolved to RGB) with its lightness raised by 10 and lowered by
// Amount on the 240 scale; Amount 0 answers Fallback. The lightness stays
// within the scale, so a very light colour gives white, not a wrapped value.
TColor ShiftColorLightness(TColor Color, TColor Fallback, int Amount);
