// Every GDI object that fonts, pens, brushes, canvases, bitmaps and image
// lists create is deleted again.
#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::GdiObjectCount;

// One round of everything the drawing layer does that creates GDI objects.
void PaintEverything(HWND Window)
{
    TBitmap bmp(40, 30, TPixelFormat::pf24bit);
    TCanvas* c = bmp.Canvas();
    c->Font()->SetStyle({TFontStyle::fsBold});
    c->TextOut(0, 0, "读取参数");
    c->Font()->SetSize(14);   // a new font while the old one is selected
    c->TextRect(Rect(0, 0, 20, 10), 0, 0, "abc");
    TRect r = Rect(0, 0, 40, 30);
    c->DrawTextRect("x", r, DT_CENTER);
    c->Pen()->SetWidth(2);
    c->Pen()->SetStyle(TPenStyle::psDash);
    c->Rectangle(1, 1, 20, 20);
    c->Pen()->SetStyle(TPenStyle::psClear);
    c->Brush()->SetStyle(TBrushStyle::bsDiagCross);
    c->Ellipse(2, 2, 30, 20);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Polygon({Point(0, 0), Point(5, 0), Point(0, 5)});

    TBitmap pic(16, 16, TPixelFormat::pf32bit);
    pic.Canvas()->FillRect(Rect(0, 0, 8, 8));
    c->Brush()->SetBitmap(&pic);
    c->FillRect(Rect(0, 0, 10, 10));
    c->Brush()->SetBitmap(nullptr);
    pic.SetTransparent(true);
    c->Draw(3, 3, &pic);
    c->StretchDraw(Rect(0, 0, 16, 16), &pic);
    c->CopyRect(Rect(0, 0, 4, 4), pic.Canvas(), Rect(0, 0, 8, 8));
    bmp.SetSize(50, 20);
    bmp.SetPixelFormat(TPixelFormat::pf32bit);
    TBitmap copy;
    copy.Assign(&bmp);
    copy.LoadFromBytes(bmp.SaveToBytes());
    copy.CreateMask(clBlack);

    TFont font;
    font.SetHandle(c->Font()->Handle());
    font.Handle();

    TImageList list(nullptr);
    list.AddMasked(&pic, clWhite);
    list.Add(&pic, &pic);
    list.Draw(c, 0, 0, 0, true);
    list.Draw(c, 0, 0, 1, false);
    list.GetBitmap(0, &copy);
    list.SetSize(20, 20);

    HDC given = CreateCompatibleDC(nullptr);
    {
        TCanvas outside;
        outside.SetHandle(given);
        outside.TextOut(0, 0, "x");
        outside.Rectangle(0, 0, 2, 2);
    }
    DeleteDC(given);

    {
        TWindowCanvas window(Window);
        window.Font()->SetSize(12);
        window.TextOut(0, 0, "y");
    }
    InvalidateRect(Window, nullptr, TRUE);
    copy.CaptureWindow(Window);
}

TEST(GdiLeak, DrawingCreatesNoLastingGdiObjects)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    PaintEverything(window);   // first-use caches (stock objects, window DCs) settle here
    const int before = GdiObjectCount();
    ASSERT_GT(before, 0) << "cannot count GDI objects";

    // The count sees objects: one more brush is one more object.
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(GdiObjectCount(), before + 1);
    DeleteObject(probe);

    for (int i = 0; i < 30; ++i)
        PaintEverything(window);
    EXPECT_EQ(GdiObjectCount(), before);
    DestroyWindow(window);
}

} // namespace
