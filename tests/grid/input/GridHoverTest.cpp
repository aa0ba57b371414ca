// Mouse movement: the hovered fixed cell follows the pointer and is
// forgotten when the pointer leaves; a column sizing drag reports the width
// it gives as it goes; the header border test.

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "grid/core/ProGrid.h"
#include "tests/grid/input/GridMouseFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridHover : public GridMouseFixture<> {
protected:
    void SetUp() override
    {
        MakeGrid(600, 360, 500, 300);
        G->SetColCount(6);
        G->SetRowCount(6);
        G->SetDefaultColWidth(60);
        ShowForm();
    }
};

TEST_F(GridHover, HoveredFixedCellFollowsThePointerAndLeaves)
{
    G->HoverFixedCells = hfAll;
    Post(WM_MOUSEMOVE, 0, Middle(2, 0));
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{2, 0}));
    Post(WM_MOUSEMOVE, 0, Middle(0, 3));
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{0, 3}));
    // The pointer goes out of the grid, onto the form.
    Post(WM_MOUSELEAVE, 0, TPoint{-5, -5});
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{-1, -1}));

    G->HoverFixedCells = hfNone;
    Post(WM_MOUSEMOVE, 0, Middle(2, 0));
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{-1, -1})) << "off";
}

TEST_F(GridHover, ColumnSizingReportsTheWidthWhileDragging)
{
    G->SetOptions(G->Options() | goColSizing);
    G->HintShowSizing = true;
    int SizedCol = -1, Size = -1;
    G->OnColumnSizing = [&](TObject*, int ACol, int W) { SizedCol = ACol; Size = W; };
    const TRect R = G->CellRect(3, 0);
    // A press 2 pixels inside the border and a move 12 pixels on.
    const int PressX = R.right - 2;
    Post(WM_MOUSEMOVE, 0, TPoint{PressX, 5});
    Post(WM_LBUTTONDOWN, MK_LBUTTON, TPoint{PressX, 5});
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{PressX + 12, 5});
    EXPECT_EQ(SizedCol, 3);
    EXPECT_EQ(Size, 60 + 12);
    // The sizing hint shows the same width beside the sized column.
    ASSERT_NE(G->SizingHintWindow(), nullptr);
    EXPECT_TRUE(G->SizingHintVisible());
    EXPECT_EQ(G->SizingHintWindow()->Caption(), "cw=<b>72</b>");
    RECT HintRect{};
    GetWindowRect(G->SizingHintWindow()->Handle(), &HintRect);
    EXPECT_EQ(HintRect.left, G->ClientToScreen(TPoint{R.left, R.top}).x);
    Post(WM_LBUTTONUP, 0, TPoint{PressX + 12, 5});
    EXPECT_FALSE(G->SizingHintVisible());
    EXPECT_FALSE(IsWindowVisible(G->SizingHintWindow()->Handle()));
    EXPECT_NEAR(G->ColWidths(3), 72, 1);
}

TEST_F(GridHover, HeaderBorderNeedsTheSizingOption)
{
    const TRect R = G->CellRect(2, 0);
    EXPECT_FALSE(G->IsOnHeaderBorder(R.right - 1, 5));
    G->SetOptions(G->Options() | goColSizing);
    EXPECT_TRUE(G->IsOnHeaderBorder(R.right - 1, 5));
    EXPECT_FALSE(G->IsOnHeaderBorder((R.left + R.right) / 2, 5));
    EXPECT_FALSE(G->IsOnHeaderBorder(R.right - 1, G->CellRect(2, 3).top + 8)) << "not a header";
}

} // namespace
