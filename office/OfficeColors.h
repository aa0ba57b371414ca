#pragma once
// Colour arithmetic of the office controls and a GDI band gradient. Colours
// are framework colours; system colours are resolved to RGB first. Rounding
// is to the nearest integer, ties to the even one.

#include "framework/Graphics.h"

// Each channel c: round(c * min(100, 100 + Percent) / 100) when c > 0,
// max(0, Percent) when c is 0.
TColor ScaleColor(TColor Color, int Percent);
// The same with one percent per channel.
TColor ScaleColorChannels(TColor Color, int PercentRed, int PercentGreen, int PercentBlue);
// Percent of Color1 and the rest of Color2, per channel; >= 100 gives
// Color1, <= 0 gives Color2.
TColor BlendColors(TColor Color1, TColor Color2, int Percent);
// Steps bands from Color1 to Color2 (0 counts as 1), left to right when
// Horizontal, else top to bottom.
void DrawGradient(TCanvas* Canvas, TColor Color1, TColor Color2, bool Horizontal, const TRect& R, int Steps);
