// Scrolling shifts the pixels of the scrolling cells and paints only the
// strip that came into view: after every kind of scroll the window shows
// exactly what a whole repaint at that position shows (merged cells across
// the strip's edge, fixed rows and columns, check boxes, coloured cells,
// the search bar and the floating footer), and a line scroll leaves only
// the new strip to paint.

#include <string>

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridScrollPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 660, 480);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(4, 4, 620, 420);
        G->SetColCount(14);
        G->SetRowCount(300);
        G->SetFixedCols(1);
        G->SetFixedRows(1);
        G->SetDefaultColWidth(70);
        G->SetDefaultRowHeight(22);
        G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
        for (int R = 0; R < G->RowCount(); ++R)
            for (int C = 0; C < G->ColCount(); ++C)
                G->SetCells(C, R, "r" + std::to_string(R) + "c" + std::to_string(C));
        for (int R = 1; R < G->RowCount(); ++R) {
            if (R % 4 == 0)
                G->EnsureCellProperties(3, R)->SetBrushColor(0x00C0FFFF);
            if (R % 3 == 0)
                G->PutCheckBox(4, R, R % 2 == 0, false);
        }
        // Tall merges (some with their text centred over three or four
        // rows) and wide ones, so that a strip's edge runs through them.
        G->SetVAlignment(vtaCenter);
        for (int R = 2; R + 3 < G->RowCount(); R += 9) {
            G->MergeCells(2, R, 1, 4);
            G->SetCells(2, R, "tall " + std::to_string(R));
            G->MergeCells(5, R + 1, 3, 2);
            G->SetCells(5, R + 1, "wide " + std::to_string(R));
            G->MergeCells(0, R + 5, 1, 3);   // in the fixed column
        }
        G->SearchFooter()->SetVisible(true);
        G->FloatingFooter()->SetVisible(true);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    // Pixels that differ between the window as scrolling left it and the
    // window painted whole at the same place; Where names the first one.
    int DiffersFromWholeRepaint(std::string& Where)
    {
        UpdateWindow(G->Handle());
        GdiFlush();
        const auto Scrolled = gui::Capture(G->Handle());
        RedrawWindow(G->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        GdiFlush();
        const auto Whole = gui::Capture(G->Handle());
        int N = 0;
        for (int Y = 0; Y < Whole->Height(); ++Y)
            for (int X = 0; X < Whole->Width(); ++X)
                if (gui::PixelAt(Scrolled.get(), X, Y) != gui::PixelAt(Whole.get(), X, Y) && N++ == 0)
                    Where = "first at (" + std::to_string(X) + ", " + std::to_string(Y) + ")";
        return N;
    }

    void Scroll(UINT Msg, WPARAM Code, int Times, bool PaintEach)
    {
        for (int I = 0; I < Times; ++I) {
            G->Perform(Msg, Code, 0);
            if (PaintEach)
                UpdateWindow(G->Handle());
        }
    }

    void ScrollEveryWay();

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
};

// Every kind of scroll, each followed by the comparison with a whole repaint.
void GridScrollPaint::ScrollEveryWay()
{
    ASSERT_TRUE(G->SearchPanel()->Visible());
    ASSERT_TRUE(G->FooterPanel()->Visible());
    struct Step {
        const char* What;
        UINT Msg;
        WPARAM Code;
        int Times;
        bool PaintEach;
    };
    const Step Steps[] = {
        {"1 line down", WM_VSCROLL, SB_LINEDOWN, 1, true},
        {"5 lines down, painted each", WM_VSCROLL, SB_LINEDOWN, 5, true},
        {"37 lines down, painted at the end", WM_VSCROLL, SB_LINEDOWN, 37, false},
        {"37 lines down, painted each", WM_VSCROLL, SB_LINEDOWN, 37, true},
        {"a page down", WM_VSCROLL, SB_PAGEDOWN, 1, true},
        {"5 lines up, painted each", WM_VSCROLL, SB_LINEUP, 5, true},
        {"a page up", WM_VSCROLL, SB_PAGEUP, 1, true},
        {"1 column right", WM_HSCROLL, SB_LINEDOWN, 1, true},
        {"3 columns right, painted at the end", WM_HSCROLL, SB_LINEDOWN, 3, false},
        {"2 columns left, painted each", WM_HSCROLL, SB_LINEUP, 2, true},
        {"1 line down beside the columns", WM_VSCROLL, SB_LINEDOWN, 1, true},
        {"to the end", WM_VSCROLL, SB_BOTTOM, 1, true},
        {"5 lines up from the end", WM_VSCROLL, SB_LINEUP, 5, true},
    };
    for (const Step& S : Steps) {
        const int Top = G->TopRow();
        const int Left = G->LeftCol();
        Scroll(S.Msg, S.Code, S.Times, S.PaintEach);
        ASSERT_TRUE(G->TopRow() != Top || G->LeftCol() != Left) << S.What << ": nothing scrolled";
        std::string Where;
        EXPECT_EQ(DiffersFromWholeRepaint(Where), 0) << S.What << " (top row " << G->TopRow() << ", left column "
                                                     << G->LeftCol() << "): " << Where;
    }
}

TEST_F(GridScrollPaint, ScrolledWindowShowsWhatAWholeRepaintShows)
{
    ScrollEveryWay();
}

// A mirrored grid's columns move the other way on screen and its fixed
// column stands at the right edge: its scrolls too must leave the window as
// a whole repaint paints it.
TEST_F(GridScrollPaint, MirroredGridScrollsShowWhatAWholeRepaintShows)
{
    G->SetBiDiMode(bdRightToLeft);
    gui::Settle();
    ScrollEveryWay();
}

// One line down leaves only the row that came into view to be painted
// (above the search bar and the footer, and the merged cells of the fixed
// column, which are repainted as before); the fixed row and the cells
// that moved stay valid.
TEST_F(GridScrollPaint, LineScrollInvalidatesOnlyTheNewStrip)
{
    UpdateWindow(G->Handle());
    RECT Dirty{};
    ASSERT_FALSE(GetUpdateRect(G->Handle(), &Dirty, FALSE));
    G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    HRGN Update = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetUpdateRgn(G->Handle(), Update, FALSE), NULLREGION);
    const int Bottom = std::min(G->FooterPanel()->Top(), G->SearchPanel()->Top());
    const int X = 70 + 35;   // column 1: plain texts, no merges
    EXPECT_TRUE(PtInRegion(Update, X, Bottom - 5)) << "the new strip is painted";
    EXPECT_FALSE(PtInRegion(Update, X, Bottom - 22 - 10)) << "the row above the strip moved";
    EXPECT_FALSE(PtInRegion(Update, X, Bottom / 2)) << "the middle moved";
    EXPECT_FALSE(PtInRegion(Update, X, 10)) << "the fixed row stays";
    DeleteObject(Update);
    UpdateWindow(G->Handle());
}

// A paint whose region is two cells far apart (its bounding box the whole
// grid) draws only the cells that meet the region, and leaves in them what
// a whole repaint shows: the region's pixels, smeared beforehand, come back.
TEST_F(GridScrollPaint, PaintOfARegionDrawsOnlyTheCellsInIt)
{
    UpdateWindow(G->Handle());
    int Drawn = 0;
    G->OnDrawCell = [&Drawn](TObject*, int, int, const TRect&, TGridDrawState) { ++Drawn; };
    const TRect TopLeft = G->CellRect(1, 1);
    const TRect BottomRight = G->CellRect(G->LeftCol() + G->VisibleColCount() - 1, G->TopRow() + 3);
    HDC DC = GetDC(G->Handle());
    HBRUSH Magenta = CreateSolidBrush(RGB(255, 0, 255));
    for (const TRect& R : {TopLeft, BottomRight}) {
        const RECT Area = R;
        FillRect(DC, &Area, Magenta);
        InvalidateRect(G->Handle(), &Area, FALSE);
    }
    DeleteObject(Magenta);
    ReleaseDC(G->Handle(), DC);
    UpdateWindow(G->Handle());
    // The two cells, and at most the neighbours whose lines border them.
    EXPECT_GE(Drawn, 2);
    EXPECT_LE(Drawn, 10) << "cells outside the region were drawn";
    std::string Where;
    EXPECT_EQ(DiffersFromWholeRepaint(Where), 0) << Where;
    G->OnDrawCell = nullptr;
}

} // namespace
