#include <gtest/gtest.h>

#include <functional>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

namespace {

LOGPEN PenDescription(HPEN Pen)
{
    LOGPEN lp{};
    EXPECT_NE(GetObjectW(Pen, sizeof lp, &lp), 0);
    return lp;
}

LOGBRUSH BrushDescription(HBRUSH Brush)
{
    LOGBRUSH lb{};
    EXPECT_NE(GetObjectW(Brush, sizeof lb, &lb), 0);
    return lb;
}

TEST(Pen, DefaultsAndTheirHandle)
{
    TPen p;
    EXPECT_EQ(p.Color(), clBlack);
    EXPECT_EQ(p.Width(), 1);
    EXPECT_EQ(p.Style(), TPenStyle::psSolid);
    EXPECT_EQ(p.Mode(), TPenMode::pmCopy);
    const LOGPEN lp = PenDescription(p.Handle());
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(lp.lopnWidth.x, 1);
    EXPECT_EQ(lp.lopnColor, RGB(0, 0, 0));
}

TEST(Pen, ChangesFireOnChangeAndShowInTheHandle)
{
    struct Case {
        const char* name;
        std::function<void(TPen&)> change;
        std::function<bool(TPen&)> check;
    };
    const Case cases[] = {
        {"Color", [](TPen& p) { p.SetColor(clBtnShadow); },
         [](TPen& p) { return PenDescription(p.Handle()).lopnColor == ColorToRGB(clBtnShadow); }},
        {"Width", [](TPen& p) { p.SetWidth(3); }, [](TPen& p) { return PenDescription(p.Handle()).lopnWidth.x == 3; }},
        {"Style", [](TPen& p) { p.SetStyle(TPenStyle::psDot); },
         [](TPen& p) { return PenDescription(p.Handle()).lopnStyle == PS_DOT; }},
        {"psClear", [](TPen& p) { p.SetStyle(TPenStyle::psClear); },
         [](TPen& p) { return p.Handle() == GetStockObject(NULL_PEN); }},
        {"Mode (not part of the handle)", [](TPen& p) { p.SetMode(TPenMode::pmXor); },
         [](TPen& p) { return p.Mode() == TPenMode::pmXor; }},
    };
    for (const Case& c : cases) {
        TPen p;
        int changes = 0;
        p.OnChange = [&](TObject*) { ++changes; };
        p.Handle();
        c.change(p);
        EXPECT_EQ(changes, 1) << c.name;
        EXPECT_TRUE(c.check(p)) << c.name;
        c.change(p);
        EXPECT_EQ(changes, 1) << c.name << " set again to the same value";
    }
}

TEST(Pen, AssignCopies)
{
    TPen source;
    source.SetColor(clRed);
    source.SetWidth(4);
    source.SetStyle(TPenStyle::psDash);
    source.SetMode(TPenMode::pmNot);
    TPen p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p.Color(), clRed);
    EXPECT_EQ(p.Width(), 4);
    EXPECT_EQ(p.Style(), TPenStyle::psDash);
    EXPECT_EQ(p.Mode(), TPenMode::pmNot);
    EXPECT_EQ(PenDescription(p.Handle()).lopnWidth.x, 4);
    p.Assign(&source);
    EXPECT_EQ(changes, 1);
}

TEST(Brush, StylesGiveTheMatchingHandles)
{
    struct Case {
        const char* name;
        TBrushStyle style;
        UINT brushStyle;
        ULONG_PTR hatch;
    };
    const Case cases[] = {
        {"bsSolid", TBrushStyle::bsSolid, BS_SOLID, 0},
        {"bsClear", TBrushStyle::bsClear, BS_NULL, 0},
        {"bsHorizontal", TBrushStyle::bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
        {"bsVertical", TBrushStyle::bsVertical, BS_HATCHED, HS_VERTICAL},
        {"bsFDiagonal", TBrushStyle::bsFDiagonal, BS_HATCHED, HS_FDIAGONAL},
        {"bsBDiagonal", TBrushStyle::bsBDiagonal, BS_HATCHED, HS_BDIAGONAL},
        {"bsCross", TBrushStyle::bsCross, BS_HATCHED, HS_CROSS},
        {"bsDiagCross", TBrushStyle::bsDiagCross, BS_HATCHED, HS_DIAGCROSS},
    };
    for (const Case& c : cases) {
        TBrush b;
        b.SetColor(clTeal);
        b.SetStyle(c.style);
        const LOGBRUSH lb = BrushDescription(b.Handle());
        EXPECT_EQ(lb.lbStyle, c.brushStyle) << c.name;
        if (c.brushStyle == BS_HATCHED) {
            EXPECT_EQ(lb.lbHatch, c.hatch) << c.name;
        }
        if (c.brushStyle != BS_NULL) {
            EXPECT_EQ(lb.lbColor, ColorToRGB(clTeal)) << c.name;
        }
    }
}

TEST(Brush, ChangesFireOnChangeAndRenewTheHandle)
{
    TBrush b;
    EXPECT_EQ(b.Color(), clWhite);
    EXPECT_EQ(b.Style(), TBrushStyle::bsSolid);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(BrushDescription(b.Handle()).lbColor, RGB(255, 255, 255));
    b.SetColor(clInfoBk);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(BrushDescription(b.Handle()).lbColor, ColorToRGB(clInfoBk));
    b.SetColor(clInfoBk);
    EXPECT_EQ(changes, 1);

    TBitmap pattern(8, 8);
    b.SetBitmap(&pattern);
    EXPECT_EQ(changes, 2);
    const UINT style = BrushDescription(b.Handle()).lbStyle;
    EXPECT_TRUE(style == BS_PATTERN || style == BS_DIBPATTERN) << style;
    b.SetBitmap(nullptr);
    EXPECT_EQ(BrushDescription(b.Handle()).lbStyle, static_cast<UINT>(BS_SOLID));

    TBrush copy;
    copy.Assign(&b);
    EXPECT_EQ(copy.Color(), clInfoBk);
}

} // namespace
