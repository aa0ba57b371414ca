#pragma once
// Gradient bands of a skin section: the GRADIENTDATA text parsed into bands,
// and the bands painted into a bitmap rectangle.

#include <vector>

#include "framework/Bitmap.h"

struct TqGradient {
    Integer Color1 = 0;    // start colour, red in the low byte
    Integer Color2 = 0;    // end colour
    Integer Percent = 0;   // the band's share of the rectangle, 0..100
    Integer Mode = 0;      // of the first band: 0 top to bottom, 1 left to right, 2 corners and centre
};
using TqGradArray = std::vector<TqGradient>;

// Replaces Bands with the bands of Text: integers separated by ";" (empty
// fields skipped) in groups of five (start, end, percent, mode, unused);
// an incomplete last group is ignored, a percent above 100 is 100. A field
// that is not an integer raises EConvertError.
void ParseGradientData(const String& Text, TqGradArray& Bands);

// Paints the bands into R of a 24- or 32-bit bitmap (R clipped to it);
// Offset is where the first band starts (callers pass 0).
void PaintGradient(TBitmap* Bmp, TRect R, const TqGradArray& Bands, int Offset);

// The colour's channels in pixel order.
void ColorToBGR(TColor Color, Byte& B, Byte& G, Byte& R);
