// The drawing routines on a real form, as a cell would show them: the
// progress bar's label in two colours across its split, level bars, the
// pie, the range indicator, the combo and spin buttons and the gradients.
#include <gtest/gtest.h>

#include "framework/Form.h"
#include "grid/core/GridDrawing.h"
#include "tests/support/GuiHarness.h"

namespace {

void PaintGallery(TCanvas* C, HWND Wnd)
{
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 420, 260));
    C->Font()->SetQuality(TFontQuality::fqNonAntialiased);
    C->Font()->SetSize(12);
    DrawGradientRect(C, RGBToColor(255, 255, 255), RGBToColor(70, 110, 200), false, Rect(10, 10, 200, 40), 64);
    DrawGradientBackground(C, Rect(210, 10, 400, 40), RGBToColor(250, 250, 250), true, false, clGray, true,
                           RGBToColor(150, 170, 230), RGBToColor(190, 205, 250), RGBToColor(225, 225, 225));
    C->Brush()->SetColor(clWhite);
    DrawProgressBar(C, Rect(10, 50, 200, 80), clNavy, false, clBlack, "", 100, 0, 2, 2, 50, clBlack, clWhite, clWhite);
    TLevelProgressAppearance a;
    a.Level0Color = RGBToColor(60, 200, 60);
    a.Level0ColorTo = RGBToColor(20, 120, 20);
    a.Level1Color = RGBToColor(250, 220, 40);
    a.Level1ColorTo = RGBToColor(200, 160, 0);
    a.Level3Color = RGBToColor(230, 50, 50);
    a.Level3ColorTo = RGBToColor(150, 10, 10);
    a.Level1Perc = 50;
    a.Level2Perc = 80;
    a.ShowBorder = true;
    a.Steps = 8;
    a.CompletionSmooth = false;
    DrawLevelProgressBar(C, Rect(210, 50, 400, 70), 64, a);
    a.Stacked = true;
    DrawLevelProgressBar(C, Rect(210, 80, 400, 100), 90, a);
    // The pie's circle takes the canvas's brush, as a cell's background.
    C->Brush()->SetColor(clWhite);
    DrawProgressPie(C, Rect(10, 100, 31, 121), RGBToColor(60, 140, 250), false, 30);
    C->Brush()->SetColor(clWhite);
    DrawProgressPie(C, Rect(40, 100, 61, 121), RGBToColor(60, 140, 250), false, 80);
    DrawRangeIndicator(C, Rect(70, 100, 200, 124), -40, clGreen, clRed, true, 100);
    DrawComboButton(C, Wnd, Rect(210, 110, 300, 130), true);
    DrawSpinButtons(C, Wnd, Rect(310, 110, 400, 130), true);
    TBitmap glyph(9, 9, TPixelFormat::pf24bit);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 9, 9));
    glyph.Canvas()->Brush()->SetColor(clBlack);
    glyph.Canvas()->FillRect(Rect(2, 4, 7, 5));
    glyph.Canvas()->FillRect(Rect(4, 2, 5, 7));
    DrawGlyphOnColor(C, &glyph, RGBToColor(255, 255, 200), Rect(10, 140, 30, 160));
    DrawSmallDownTriangle(C, 50, 145, clBlack);
}

TEST(DrawingGallery, ProgressLabelTakesEachPartsFontColour)
{
    auto* form = new TForm(Application);
    form->SetBounds(120, 120, 430, 230);
    form->SetCaption("grid drawing");
    form->OnPaint = [form](TObject*) { PaintGallery(form->Canvas(), form->Handle()); };
    form->Show();
    gui::Settle();
    auto shot = gui::Capture(form->Handle());
    // The bar r = (12, 52, 198, 78): navy up to 12 + 93 = 105, white after.
    // The label "50%" is centred over the split: white ink on the navy part,
    // black ink on the white part.
    int whiteOnComplete = 0, blackOnRemain = 0;
    for (int y = 53; y < 77; ++y) {
        for (int x = 60; x < 105; ++x)
            whiteOnComplete += gui::PixelAt(shot.get(), x, y) == RGB(255, 255, 255);
        for (int x = 105; x < 150; ++x)
            blackOnRemain += gui::PixelAt(shot.get(), x, y) == RGB(0, 0, 0);
    }
    EXPECT_GT(whiteOnComplete, 10);
    EXPECT_GT(blackOnRemain, 10);
    EXPECT_EQ(gui::PixelAt(shot.get(), 20, 55), RGB(0, 0, 128));
    EXPECT_EQ(gui::PixelAt(shot.get(), 190, 55), RGB(255, 255, 255));
    EXPECT_EQ(gui::PixelAt(shot.get(), 11, 60), RGB(0, 0, 0));  // border
    gui::SaveScreenshot(form, Application->ExePath() + "screenshot-grid-drawing.png");
    delete form;
}

}  // namespace
