// Gradient texts parsed into bands, and bands painted into bitmaps.
#include <gtest/gtest.h>

#include "skin/engine/qGradient.h"

namespace {

// The pixel at X, Y of a 24-bit bitmap as a colour (red in the low byte).
TColor PixelAt(TBitmap& Bmp, int X, int Y)
{
    const Byte* p = Bmp.ScanLine(Y) + X * 3;
    return RGBToColor(p[2], p[1], p[0]);
}

}   // namespace

TEST(SkinGradient, Parse)
{
    struct Case {
        const char* Text;
        std::vector<std::array<Integer, 4>> Bands;
    };
    const Case cases[] = {
        {"16777215;0;100;0;0", {{0xFFFFFF, 0, 100, 0}}},
        {"255;65280;50;1;0;65280;16711680;50;1;0", {{255, 65280, 50, 1}, {65280, 16711680, 50, 1}}},
        {"1;2;3;0;0;4;5", {{1, 2, 3, 0}}},           // seven fields: one band
        {"1;2;3;0", {}},                             // four fields: none
        {"1;2;150;0;9", {{1, 2, 100, 0}}},           // percent above 100
        {";;1;;2;3;0;;0;", {{1, 2, 3, 0}}},          // empty fields do not count
        {"$FF;0x10;-5;2;0", {{255, 16, -5, 2}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TqGradArray bands(3);   // replaced, not added to
        ParseGradientData(c.Text, bands);
        ASSERT_EQ(c.Bands.size(), bands.size());
        for (std::size_t i = 0; i < bands.size(); ++i) {
            EXPECT_EQ(c.Bands[i][0], bands[i].Color1);
            EXPECT_EQ(c.Bands[i][1], bands[i].Color2);
            EXPECT_EQ(c.Bands[i][2], bands[i].Percent);
            EXPECT_EQ(c.Bands[i][3], bands[i].Mode);
        }
    }
    TqGradArray bands;
    EXPECT_THROW(ParseGradientData("1;x;3;0;0", bands), EConvertError);
    EXPECT_THROW(ParseGradientData("1;99999999999;3;0;0", bands), EConvertError);
}

TEST(SkinGradient, TopToBottom)
{
    TBitmap bmp(4, 11, TPixelFormat::pf24bit);
    TqGradArray bands;
    ParseGradientData("16777215;0;100;0;0", bands);
    PaintGradient(&bmp, Rect(0, 0, 4, 11), bands, 0);
    EXPECT_EQ(clWhite, PixelAt(bmp, 3, 0));
    EXPECT_EQ(0x808080, PixelAt(bmp, 0, 5));   // 127.5 rounds to the even 128
    EXPECT_EQ(clBlack, PixelAt(bmp, 2, 10));

    // Two bands of 30 percent: the second runs from 30 percent down to the bottom.
    TBitmap tall(2, 100, TPixelFormat::pf24bit);
    ParseGradientData("255;255;30;0;0;65280;16711680;30;0;0", bands);
    PaintGradient(&tall, Rect(0, 0, 2, 100), bands, 0);
    EXPECT_EQ(clRed, PixelAt(tall, 0, 29));
    EXPECT_EQ(clLime, PixelAt(tall, 0, 30));   // the shared boundary row takes the next band's start
    EXPECT_EQ(clBlue, PixelAt(tall, 1, 99));
}

TEST(SkinGradient, LeftToRightAndClipping)
{
    TBitmap bmp(100, 3, TPixelFormat::pf24bit);
    TqGradArray bands;
    ParseGradientData("255;65280;50;1;0;65280;16711680;50;1;0", bands);
    // R reaches beyond the bitmap: clipped to it.
    PaintGradient(&bmp, Rect(-5, -5, 100, 20), bands, 0);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(clRed, PixelAt(bmp, 0, y));
        EXPECT_EQ(clLime, PixelAt(bmp, 50, y));
        EXPECT_EQ(clBlue, PixelAt(bmp, 99, y));
    }

    // A mode without a meaning paints nothing; nor do no bands.
    TBitmap plain(4, 4, TPixelFormat::pf24bit);
    ParseGradientData("16777215;16777215;100;7;0", bands);
    PaintGradient(&plain, Rect(0, 0, 4, 4), bands, 0);
    PaintGradient(&plain, Rect(0, 0, 4, 4), TqGradArray(), 0);
    EXPECT_EQ(clBlack, PixelAt(plain, 1, 1));
}

TEST(SkinGradient, ColorToBGR)
{
    Byte b = 0, g = 0, r = 0;
    ColorToBGR(0x123456, b, g, r);
    EXPECT_EQ(0x12, b);
    EXPECT_EQ(0x34, g);
    EXPECT_EQ(0x56, r);
}
