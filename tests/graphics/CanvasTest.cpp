// Exact pixels of canvas drawing into off-screen bitmaps, and the canvas's
// handling of the device context it draws on.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/Bitmap.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::PixelAt;

struct Expect {
    int x, y;
    TColor color;
};

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(bmp, clWhite); }

    void ExpectPixels(const char* what, std::initializer_list<Expect> points)
    {
        for (const Expect& e : points)
            EXPECT_EQ(PixelAt(bmp, e.x, e.y), e.color) << what << " at (" << e.x << ", " << e.y << ")";
    }

    TBitmap bmp{24, 24, TPixelFormat::pf24bit};
    TCanvas* c = bmp.Canvas();
};

TEST_F(CanvasTest, FillRectCoversTheRectangleWithoutItsRightAndBottomEdges)
{
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(2, 3, 6, 8));
    ExpectPixels("FillRect", {{2, 3, clRed}, {5, 7, clRed}, {6, 3, clWhite}, {2, 8, clWhite}, {1, 3, clWhite},
                              {2, 2, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 4 * 5);
}

TEST_F(CanvasTest, RectangleOutlinesWithThePenAndFillsWithTheBrush)
{
    c->Pen()->SetColor(clBlue);
    c->Brush()->SetColor(clLime);
    c->Rectangle(2, 2, 8, 6);
    ExpectPixels("Rectangle", {{2, 2, clBlue}, {7, 2, clBlue}, {2, 5, clBlue}, {7, 5, clBlue}, {4, 2, clBlue},
                               {3, 3, clLime}, {6, 4, clLime}, {8, 2, clWhite}, {2, 6, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 6 * 4);

    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Pen()->SetColor(clRed);
    c->Rectangle(10, 10, 14, 14);
    ExpectPixels("Rectangle with a clear brush", {{10, 10, clRed}, {13, 13, clRed}, {11, 11, clWhite}, {12, 12, clWhite}});

    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Pen()->SetStyle(TPenStyle::psClear);
    c->Rectangle(16, 16, 20, 20);
    // Without an outline GDI fills one pixel less to the right and bottom.
    ExpectPixels("Rectangle with a clear pen", {{16, 16, clLime}, {18, 18, clLime}, {19, 19, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite, Rect(15, 15, 24, 24)), 3 * 3);
}

TEST_F(CanvasTest, FrameRectDrawsAOnePixelFrameInTheBrush)
{
    c->Brush()->SetColor(clNavy);
    c->FrameRect(Rect(1, 1, 5, 5));
    ExpectPixels("FrameRect", {{1, 1, clNavy}, {4, 1, clNavy}, {1, 4, clNavy}, {4, 4, clNavy}, {2, 2, clWhite},
                               {3, 3, clWhite}, {5, 5, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 12);
}

TEST_F(CanvasTest, LinesStartAtPenPosAndLeaveOutTheirEndPoint)
{
    c->Pen()->SetColor(clMaroon);
    c->MoveTo(1, 1);
    c->LineTo(6, 1);
    EXPECT_EQ(c->PenPos().x, 6);
    EXPECT_EQ(c->PenPos().y, 1);
    c->LineTo(6, 5);
    ExpectPixels("LineTo", {{1, 1, clMaroon}, {5, 1, clMaroon}, {6, 1, clMaroon}, {6, 4, clMaroon}, {6, 5, clWhite},
                            {0, 1, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 5 + 4);

    c->SetPenPos(Point(10, 10));
    c->Polyline({Point(10, 10), Point(10, 14), Point(14, 14)});
    ExpectPixels("Polyline", {{10, 10, clMaroon}, {10, 13, clMaroon}, {10, 14, clMaroon}, {13, 14, clMaroon},
                              {14, 14, clWhite}, {11, 11, clWhite}});
}

TEST_F(CanvasTest, PolygonAndEllipseFillTheirInside)
{
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    const std::vector<TPoint> triangle = {Point(2, 2), Point(12, 2), Point(2, 12)};
    c->Polygon(triangle);
    ExpectPixels("Polygon", {{2, 2, clBlack}, {4, 4, clYellow}, {10, 10, clWhite}});

    c->Ellipse(12, 12, 22, 22);
    ExpectPixels("Ellipse", {{17, 17, clYellow}, {12, 12, clWhite}, {21, 21, clWhite}, {12, 17, clBlack}});

    c->RoundRect(0, 14, 10, 24, 4, 4);
    ExpectPixels("RoundRect", {{5, 19, clYellow}, {5, 14, clBlack}, {0, 14, clWhite}});
}

TEST_F(CanvasTest, PixelsReadAndWriteSinglePixels)
{
    c->SetPixels(3, 4, clRed);
    c->SetPixels(5, 6, clBtnFace);
    EXPECT_EQ(c->Pixels(3, 4), clRed);
    EXPECT_EQ(PixelAt(bmp, 3, 4), clRed);
    EXPECT_EQ(static_cast<COLORREF>(c->Pixels(5, 6)), ColorToRGB(clBtnFace));
    EXPECT_EQ(c->Pixels(0, 0), clWhite);
    EXPECT_EQ(c->Pixels(-1, 0), -1);
    EXPECT_EQ(c->Pixels(0, 24), -1);
    EXPECT_EQ(InkCount(bmp, clWhite), ColorToRGB(clBtnFace) == 0xFFFFFF ? 1 : 2);
}

TEST_F(CanvasTest, PenModeCombinesThePenWithWhatIsBelow)
{
    struct Case {
        const char* name;
        TPenMode mode;
        TColor pen;
        TColor expected;   // over clRed
    };
    const Case cases[] = {
        {"pmCopy", TPenMode::pmCopy, clBlue, clBlue},
        {"pmXor", TPenMode::pmXor, clWhite, clAqua},
        {"pmNot", TPenMode::pmNot, clBlue, clAqua},
        {"pmNop", TPenMode::pmNop, clBlue, clRed},
        {"pmBlack", TPenMode::pmBlack, clBlue, clBlack},
        {"pmWhite", TPenMode::pmWhite, clBlue, clWhite},
        {"pmMask", TPenMode::pmMask, clFuchsia, clRed},
        {"pmMerge", TPenMode::pmMerge, clBlue, clFuchsia},
        {"pmNotCopy", TPenMode::pmNotCopy, clBlue, clYellow},
    };
    for (const Case& k : cases) {
        Clear(bmp, clRed);
        c->Pen()->SetColor(k.pen);
        c->Pen()->SetMode(k.mode);
        c->MoveTo(0, 0);
        c->LineTo(10, 0);
        EXPECT_EQ(PixelAt(bmp, 5, 0), k.expected) << k.name;
    }
}

TEST_F(CanvasTest, BrushBitmapAndHatchFill)
{
    TBitmap pattern(8, 8, TPixelFormat::pf24bit);
    Clear(pattern, clBlue);
    pattern.Canvas()->SetPixels(0, 0, clRed);
    c->Brush()->SetBitmap(&pattern);
    c->FillRect(Rect(0, 0, 16, 16));
    ExpectPixels("pattern brush", {{0, 0, clRed}, {8, 8, clRed}, {8, 0, clRed}, {1, 0, clBlue}, {9, 9, clBlue}});
    c->Brush()->SetBitmap(nullptr);

    Clear(bmp, clWhite);
    c->Brush()->SetColor(clGreen);
    c->Brush()->SetStyle(TBrushStyle::bsCross);
    c->FillRect(Rect(0, 0, 16, 16));
    std::set<TColor> colours;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            colours.insert(PixelAt(bmp, x, y));
    EXPECT_EQ(colours, (std::set<TColor>{clWhite, clGreen}));   // lines in the colour, gaps untouched
}

TEST_F(CanvasTest, TextBackgroundIsTheBrushUnlessClear)
{
    c->Font()->SetColor(clBlack);
    const TSize cell = c->TextExtent(" ");
    ASSERT_GT(cell.cx, 0);
    ASSERT_GT(cell.cy, 0);

    c->Brush()->SetColor(clYellow);
    c->TextOut(2, 2, " ");
    EXPECT_EQ(InkCount(bmp, clWhite), cell.cx * cell.cy);
    EXPECT_EQ(InkCount(bmp, clYellow, Bounds(2, 2, cell.cx, cell.cy)), 0);

    Clear(bmp, clWhite);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->TextOut(2, 2, " ");
    EXPECT_EQ(InkCount(bmp, clWhite), 0);
}

TEST_F(CanvasTest, TextRectClipsToItsRectangle)
{
    const TRect r = Rect(6, 4, 16, 14);
    const String text = "WWWWWWWWWWWW";
    c->Font()->SetColor(clBlack);
    c->Font()->SetSize(14);

    // Opaque: the whole rectangle is painted (background or text), nothing outside.
    c->Brush()->SetColor(clYellow);
    c->TextRect(r, 0, 0, text);
    const int inside = RectWidth(r) * RectHeight(r);
    EXPECT_EQ(InkCount(bmp, clWhite), inside);
    EXPECT_EQ(InkCount(bmp, clWhite, r), inside);
    EXPECT_GT(InkCount(bmp, clYellow, r), 0);   // some text ink

    // Clear: only text ink, and only inside.
    Clear(bmp, clWhite);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->TextRect(r, 0, 0, text);
    const int ink = InkCount(bmp, clWhite);
    EXPECT_GT(ink, 0);
    EXPECT_LT(ink, inside);
    EXPECT_EQ(InkCount(bmp, clWhite, r), ink);
}

TEST_F(CanvasTest, AChangedFontIsSelectedForTheNextCall)
{
    const int small = c->TextWidth("WWWW");
    c->Font()->SetSize(c->Font()->Size() * 2);
    const int large = c->TextWidth("WWWW");
    EXPECT_GT(large, small * 3 / 2);
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), c->Font()->Handle());
}

TEST_F(CanvasTest, DrawAndStretchDrawCopyBitmaps)
{
    TBitmap pic(3, 2, TPixelFormat::pf32bit);
    Clear(pic, clBlue);
    pic.Canvas()->SetPixels(0, 0, clRed);
    pic.Canvas()->SetPixels(2, 1, clLime);

    c->Draw(5, 5, &pic);
    ExpectPixels("Draw", {{5, 5, clRed}, {6, 5, clBlue}, {7, 6, clLime}, {8, 5, clWhite}, {5, 7, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 6);

    Clear(bmp, clWhite);
    c->StretchDraw(Rect(0, 0, 6, 4), &pic);
    ExpectPixels("StretchDraw", {{0, 0, clRed}, {1, 1, clRed}, {2, 0, clBlue}, {4, 2, clLime}, {5, 3, clLime},
                                 {6, 0, clWhite}});
    EXPECT_EQ(InkCount(bmp, clWhite), 24);

    c->Draw(20, 20, nullptr);   // nothing to draw, no error
}

TEST_F(CanvasTest, TransparentBitmapsLeaveTheirTransparentColourUnpainted)
{
    TBitmap pic(4, 4, TPixelFormat::pf24bit);
    Clear(pic, clFuchsia);
    pic.Canvas()->Brush()->SetColor(clNavy);
    pic.Canvas()->FillRect(Rect(1, 1, 3, 3));
    pic.SetTransparent(true);
    EXPECT_EQ(pic.TransparentColor(), clFuchsia);   // the bottom-left pixel until one is set

    Clear(bmp, clYellow);
    c->Draw(2, 2, &pic);
    ExpectPixels("transparent Draw", {{2, 2, clYellow}, {5, 5, clYellow}, {3, 3, clNavy}, {4, 4, clNavy}});
    EXPECT_EQ(InkCount(bmp, clYellow), 4);

    Clear(bmp, clYellow);
    c->StretchDraw(Rect(0, 0, 8, 8), &pic);
    EXPECT_EQ(InkCount(bmp, clYellow), 16);
    EXPECT_EQ(InkCount(bmp, clNavy, Rect(2, 2, 6, 6)), 0);

    pic.SetTransparentColor(clNavy);   // now the frame shows and the middle is transparent
    Clear(bmp, clYellow);
    c->Draw(0, 0, &pic);
    ExpectPixels("other transparent colour", {{0, 0, clFuchsia}, {1, 1, clYellow}, {3, 3, clFuchsia}});
}

TEST_F(CanvasTest, CopyRectCopiesAndStretchesBetweenCanvases)
{
    TBitmap src(4, 4, TPixelFormat::pf24bit);
    Clear(src, clGreen);
    src.Canvas()->SetPixels(1, 1, clRed);
    c->CopyRect(Rect(10, 10, 12, 12), src.Canvas(), Rect(1, 1, 3, 3));
    ExpectPixels("CopyRect", {{10, 10, clRed}, {11, 10, clGreen}, {11, 11, clGreen}, {12, 12, clWhite}, {9, 9, clWhite}});
    c->CopyRect(Rect(0, 0, 4, 4), src.Canvas(), Rect(1, 1, 3, 3));
    ExpectPixels("stretched CopyRect", {{0, 0, clRed}, {1, 1, clRed}, {2, 0, clGreen}, {3, 3, clGreen}});

    c->SetCopyMode(NOTSRCCOPY);
    c->CopyRect(Rect(20, 20, 21, 21), src.Canvas(), Rect(1, 1, 2, 2));
    EXPECT_EQ(PixelAt(bmp, 20, 20), clAqua);   // not red
}

TEST_F(CanvasTest, DrawTextRectMeasuresAndAligns)
{
    TBitmap wide(120, 40, TPixelFormat::pf24bit);
    Clear(wide, clWhite);
    TCanvas* w = wide.Canvas();
    w->Font()->SetColor(clBlack);
    w->Brush()->SetStyle(TBrushStyle::bsClear);

    TRect measured = Rect(0, 0, 0, 0);
    const int height = w->DrawTextRect("Hello", measured, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(RectWidth(measured), w->TextWidth("Hello"));
    EXPECT_EQ(height, w->TextHeight("Hello"));
    EXPECT_EQ(InkCount(wide, clWhite), 0);   // measuring draws nothing

    TRect box = Rect(0, 0, 120, 40);
    w->DrawTextRect("Hello", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    int left = 120, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (PixelAt(wide, x, y) != clWhite) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 60, 3) << left << ".." << right;
}

TEST(CanvasHandle, ABaseCanvasDrawsOnlyOnAGivenDC)
{
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.Handle(), EInvalidOperation);
}

// On a DC it is given, the canvas selects its objects while drawing and
// hands the DC back with the DC's own objects and settings restored.
TEST(CanvasHandle, AGivenDCIsHandedBackAsItCame)
{
    TBitmap target(10, 10, TPixelFormat::pf24bit);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, target.Handle());
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    SetROP2(dc, R2_COPYPEN);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Font()->SetColor(clRed);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.Pen()->SetMode(TPenMode::pmXor);
        canvas.TextOut(0, 0, "x");
        canvas.Rectangle(0, 0, 5, 5);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
        EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
        canvas.SetHandle(nullptr);
        EXPECT_FALSE(canvas.HandleAllocated());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkMode(dc), OPAQUE);
        EXPECT_EQ(GetROP2(dc), R2_COPYPEN);

        canvas.SetHandle(dc);   // freeing the canvas also hands the DC back
        canvas.TextOut(0, 0, "x");
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));   // not deleted: it is ours
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
}

// A font that changes while its old HFONT is selected: the old object lives
// until the canvas selects the new one, then it is deleted. Pens of a look
// used recently are kept for reuse, so the old pen lives on but is no longer
// the one selected.
TEST(CanvasHandle, SelectedObjectsLiveUntilDeselected)
{
    TBitmap target(10, 10);
    TCanvas* c = target.Canvas();
    c->TextOut(0, 0, "x");
    c->Rectangle(0, 0, 2, 2);
    const HGDIOBJ oldFont = c->Font()->Handle();
    const HGDIOBJ oldPen = c->Pen()->Handle();
    c->Font()->SetSize(30);
    c->Pen()->SetColor(clRed);
    EXPECT_NE(c->Font()->Handle(), oldFont);
    EXPECT_EQ(GetObjectType(oldFont), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(oldPen), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), oldFont);

    c->TextOut(0, 0, "x");
    c->Rectangle(0, 0, 2, 2);
    EXPECT_EQ(GetObjectType(oldFont), 0u);
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_PEN), c->Pen()->Handle());
    EXPECT_NE(c->Pen()->Handle(), oldPen);
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), c->Font()->Handle());
}

TEST(CanvasHandle, RefreshSelectsTheCanvasObjectsAgain)
{
    TBitmap target(10, 10);
    TCanvas* c = target.Canvas();
    c->TextOut(0, 0, "x");
    SelectObject(c->Handle(), GetStockObject(SYSTEM_FONT));   // drawing code that went around the canvas
    c->Refresh();
    c->TextOut(0, 0, "x");
    EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_FONT), c->Font()->Handle());
}

} // namespace
