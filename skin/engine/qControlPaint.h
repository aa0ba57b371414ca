#pragma once
// Painting a skinned control from its skin state: the whole cached image
// (background, border mask, corner images), the control's text in its
// section's colours, and the corner repaint of the cache from the border
// mask over the parent's background. GUI thread only.

#include "skin/engine/qCommonData.h"
#include "skin/engine/qSkinPaint.h"

// The whole skin image of a control into R of Bmp (Offset: R's place in
// the parent cache CI).
void PaintControlSection(TqCommonData* Data, const TCacheInfo& CI, bool FillCentre, bool UseParentCache, TBitmap* Bmp,
                         TPoint Offset, TRect R, int State);
// The control's text: its font, the section's contour and text colours
// (unless the font is custom), clipped to R.
void DrawControlText(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TqCommonData* Data, UINT Flags,
                     TRect R);
// The same; the last argument is not used.
void DrawControlTextEx(TCanvas* Canvas, const String& Text, bool Enabled, bool Hot, TqCommonData* Data, UINT Flags,
                       TRect R, int Unused);

// Corner bits of PaintCorners.
enum : unsigned { pcTopLeft = 1, pcBottomLeft = 2, pcTopRight = 4, pcBottomRight = 8 };
// The chosen corners of the control's cache painted again from state N's
// frame of its BORDERSMASK, their transparent pixels showing the parent.
void PaintCorners(TqCommonData* Data, int N, unsigned Corners);
void PaintAllCorners(TqCommonData* Data, int N);
