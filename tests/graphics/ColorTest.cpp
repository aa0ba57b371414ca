#include <gtest/gtest.h>

#include "framework/Graphics.h"

namespace {

TEST(Color, ColorToRGBLooksUpSystemColoursAndMasksTheRest)
{
    struct Case {
        const char* name;
        TColor color;
        COLORREF expected;
    };
    const Case cases[] = {
        {"clBtnFace", clBtnFace, GetSysColor(COLOR_BTNFACE)},
        {"clWindow", clWindow, GetSysColor(COLOR_WINDOW)},
        {"clWindowText", clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
        {"clHighlight", clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
        {"clHighlightText", clHighlightText, GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {"clBtnShadow", clBtnShadow, GetSysColor(COLOR_BTNSHADOW)},
        {"clBtnHighlight", clBtnHighlight, GetSysColor(COLOR_BTNHIGHLIGHT)},
        {"clGrayText", clGrayText, GetSysColor(COLOR_GRAYTEXT)},
        {"clInfoBk", clInfoBk, GetSysColor(COLOR_INFOBK)},
        {"clInfoText", clInfoText, GetSysColor(COLOR_INFOTEXT)},
        {"clMenu", clMenu, GetSysColor(COLOR_MENU)},
        {"clActiveCaption", clActiveCaption, GetSysColor(COLOR_ACTIVECAPTION)},
        {"clMenuBar", clMenuBar, GetSysColor(COLOR_MENUBAR)},
        {"clNone", clNone, 0xFFFFFF},
        {"clDefault", clDefault, 0x000000},
        {"plain colour", RGBToColor(1, 2, 3), RGB(1, 2, 3)},
        {"palette-relative", 0x02123456, 0x123456},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorToRGB(c.color), c.expected) << c.name;
}

TEST(Color, NamedColoursHaveTheirRGBValues)
{
    struct Case {
        const char* name;
        TColor color;
        Byte r, g, b;
    };
    const Case cases[] = {
        {"clBlack", clBlack, 0, 0, 0},          {"clWhite", clWhite, 255, 255, 255},
        {"clRed", clRed, 255, 0, 0},            {"clLime", clLime, 0, 255, 0},
        {"clBlue", clBlue, 0, 0, 255},          {"clMaroon", clMaroon, 128, 0, 0},
        {"clGreen", clGreen, 0, 128, 0},        {"clNavy", clNavy, 0, 0, 128},
        {"clOlive", clOlive, 128, 128, 0},      {"clPurple", clPurple, 128, 0, 128},
        {"clTeal", clTeal, 0, 128, 128},        {"clGray", clGray, 128, 128, 128},
        {"clSilver", clSilver, 192, 192, 192},  {"clYellow", clYellow, 255, 255, 0},
        {"clFuchsia", clFuchsia, 255, 0, 255},  {"clAqua", clAqua, 0, 255, 255},
        {"clMoneyGreen", clMoneyGreen, 192, 220, 192}, {"clSkyBlue", clSkyBlue, 166, 202, 240},
        {"clCream", clCream, 255, 251, 240},    {"clMedGray", clMedGray, 160, 160, 164},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.color, RGBToColor(c.r, c.g, c.b)) << c.name;
}

TEST(Color, SystemColoursAreMarkedInTheHighByte)
{
    EXPECT_EQ(static_cast<unsigned>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(static_cast<unsigned>(clWindow), 0xFF000005u);
    EXPECT_TRUE(IsSystemColor(clHighlight));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_LT(clBtnFace, 0);   // negative as a signed colour, as code that tests "Color < 0" expects
}

} // namespace
