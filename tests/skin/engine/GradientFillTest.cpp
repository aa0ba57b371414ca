// The gradient mode that GDI paints: four triangles over the corners and the centre.
#include <gtest/gtest.h>

#include "skin/engine/qGradient.h"

TEST(SkinGradient, CornersAndCentre)
{
    // One band: all five vertices take its start colour.
    TBitmap bmp(20, 20, TPixelFormat::pf24bit);
    TqGradArray bands;
    ParseGradientData("255;0;100;2;0", bands);
    PaintGradient(&bmp, Rect(0, 0, 20, 20), bands, 0);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{10, 10}, std::pair{18, 3}, std::pair{2, 17}}) {
        const Byte* p = bmp.ScanLine(y) + 3 * x;
        EXPECT_EQ(0, p[0]) << x << "," << y;
        EXPECT_EQ(0, p[1]) << x << "," << y;
        EXPECT_EQ(255, p[2]) << x << "," << y;
    }
    // Five bands: the corners show their own colours.
    ParseGradientData("255;0;0;2;0;0;0;0;0;0;65280;0;0;0;0;16711680;0;0;0;0;16777215;0;0;0;0", bands);
    PaintGradient(&bmp, Rect(0, 0, 20, 20), bands, 0);
    const Byte* topLeft = bmp.ScanLine(0);
    EXPECT_GT(topLeft[2], 200);
    const Byte* bottomRight = bmp.ScanLine(19) + 3 * 19;
    EXPECT_GT(bottomRight[0], 200);
    EXPECT_LT(bottomRight[2], 60);
}
