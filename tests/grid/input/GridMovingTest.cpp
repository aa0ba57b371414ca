// Moving columns by dragging their headers with the mouse, the permission
// and target events, and what a move keeps in step (sort column, current
// column, cells).

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "grid/core/GridSortSettings.h"
#include "framework/Screen.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProObj.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/FloatingFooter.h"
#include "tests/grid/input/GridMouseFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridMoving : public GridMouseFixture<> {
protected:
    void SetUp() override
    {
        MakeGrid(700, 360, 640, 300);
        G->SetColCount(8);
        G->SetRowCount(5);
        G->SetDefaultColWidth(70);
        G->SetOptions(G->Options() | goColMoving);
        for (int C = 0; C < 8; ++C)
            for (int R = 0; R < 5; ++R)
                G->SetCells(C, R, "c" + std::to_string(C) + "r" + std::to_string(R));
        ShowForm();
    }
    TPoint Header(int ACol) { return Middle(ACol, 0); }
    void DragHeader(int From, int To)
    {
        Post(WM_MOUSEMOVE, 0, Header(From));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Header(From));
        Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{Header(From).x + 10, Header(From).y});
        Post(WM_MOUSEMOVE, MK_LBUTTON, Header(To));
        Post(WM_LBUTTONUP, 0, Header(To));
    }

};

TEST_F(GridMoving, DraggingAHeaderMovesTheColumnAndTheCurrentColumnOnce)
{
    G->SetCol(3);
    int MovedFrom = -1, MovedTo = -1;
    G->OnColumnMoved = [&](TObject*, int F, int T) { MovedFrom = F; MovedTo = T; };
    DragHeader(2, 4);
    EXPECT_EQ(MovedFrom, 2);
    EXPECT_EQ(MovedTo, 4);
    EXPECT_EQ(G->Cells(4, 1), "c2r1");
    EXPECT_EQ(G->Cells(2, 1), "c3r1");
    EXPECT_EQ(G->Cells(3, 1), "c4r1");
    EXPECT_EQ(G->Col(), 2) << "the column of the current cell moved one place, not two";
    EXPECT_EQ(G->Cells(G->Col(), 1), "c3r1");
}

TEST_F(GridMoving, SortColumnFollowsAMove)
{
    struct Case {
        int From, To, Sort, Expected;
    };
    const Case Cases[] = {
        {2, 5, 5, 4}, {2, 5, 3, 2}, {2, 5, 2, 5}, {2, 5, 6, 6}, {5, 2, 2, 3}, {5, 2, 5, 2}, {5, 2, 1, 1},
    };
    for (const Case& C : Cases) {
        G->SortSettings()->Column = C.Sort;
        G->MoveColumn(C.From, C.To);
        EXPECT_EQ(G->SortSettings()->Column, C.Expected) << C.From << "->" << C.To << " sort " << C.Sort;
        G->MoveColumn(C.To, C.From);
    }
}

TEST_F(GridMoving, RefusedTargetOrPermissionMovesNothing)
{
    G->OnColumnMoving = [](TObject*, int ACol, bool& Allow) { Allow = ACol != 4; };
    DragHeader(2, 4);
    EXPECT_EQ(G->Cells(2, 1), "c2r1") << "refused target";
    EXPECT_EQ(G->Cells(4, 1), "c4r1");
    EXPECT_EQ(G->GridState(), gsNormal);
    DragHeader(2, 5);
    EXPECT_EQ(G->Cells(5, 1), "c2r1") << "allowed target";
    G->MoveColumn(5, 2);

    G->OnColumnMoving = nullptr;
    int Asked = -1;
    G->OnColumnMove = [&](TObject*, int ACol, bool& Allow) { Asked = ACol; Allow = false; };
    DragHeader(3, 6);
    EXPECT_EQ(Asked, 3);
    EXPECT_EQ(G->Cells(3, 1), "c3r1") << "refused permission";
    EXPECT_EQ(G->GridState(), gsNormal);
}

TEST_F(GridMoving, DroppingOnItsOwnPlaceOrAFixedColumnMovesNothing)
{
    int Moves = 0;
    G->OnColumnMoved = [&](TObject*, int, int) { ++Moves; };
    DragHeader(3, 3);
    DragHeader(3, 0);
    EXPECT_EQ(Moves, 0);
    EXPECT_EQ(G->Cells(3, 1), "c3r1");
}


// While a header is dragged the up and down arrows mark the gap the column
// would go to, and a picture of the column follows the pointer.
TEST_F(GridMoving, ArrowsAndTheColumnPictureShowWhileMoving)
{
    G->SetCol(3);
    const TPoint From = Header(2);
    Post(WM_MOUSEMOVE, 0, From);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, From);
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{From.x + 10, From.y});
    Post(WM_MOUSEMOVE, MK_LBUTTON, Header(5));
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{Header(5).x + 2, Header(5).y + 1});
    TArrowWindow* Up = G->MoveArrow(0);
    TArrowWindow* Down = G->MoveArrow(1);
    EXPECT_TRUE(Up->Visible());
    EXPECT_TRUE(Down->Visible());
    // Right of column 5 (it lies right of the dragged column), below and above the header.
    const TRect Target = G->CellRect(5, 0);
    const TPoint TopLeft = G->ClientToScreen(TPoint{Target.left, Target.top});
    const TPoint BottomLeft = G->ClientToScreen(TPoint{Target.left, Target.bottom});
    RECT U{}, D{};
    GetWindowRect(Up->Handle(), &U);
    GetWindowRect(Down->Handle(), &D);
    EXPECT_EQ(U.left, TopLeft.x + G->ColWidths(5) - 5);
    EXPECT_EQ(U.top, BottomLeft.y);
    EXPECT_EQ(D.left, TopLeft.x + G->ColWidths(5) - 5);
    EXPECT_EQ(D.top, TopLeft.y - 8);
    EXPECT_EQ(Screen->Cursor(), crDrag);
    gui::SaveScreenshot(GetDesktopWindow(), Application->ExePath() + "grid-moving-arrows.png");

    Post(WM_LBUTTONUP, 0, Header(5));
    EXPECT_FALSE(Up->Visible());
    EXPECT_FALSE(Down->Visible());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_EQ(G->Cells(5, 1), "c2r1");
    EXPECT_EQ(G->Cells(G->Col(), 1), "c3r1") << "the current column moved with its cells, once";
}

TEST_F(GridMoving, HeaderDragButtonWithoutCellPictureAndCancelMode)
{
    G->DragDropSettings()->ShowCells = false;
    const TPoint From = Header(3);
    Post(WM_MOUSEMOVE, 0, From);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, From);
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{From.x + 10, From.y});
    Post(WM_MOUSEMOVE, MK_LBUTTON, Header(5));
    TPopupButton* Button = G->HeaderDragButton();
    EXPECT_TRUE(Button->Visible());
    EXPECT_EQ(Button->Caption(), "c3r0");
    EXPECT_EQ(Button->Width(), G->ColWidths(3));
    // Another window takes the mouse: the move ends without moving.
    PostMessageW(G->Handle(), WM_CANCELMODE, 0, 0);
    gui::Settle();
    EXPECT_FALSE(Button->Visible());
    EXPECT_EQ(G->GridState(), gsNormal);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    Post(WM_LBUTTONUP, 0, Header(5));
    EXPECT_EQ(G->Cells(3, 1), "c3r1");
}

TEST_F(GridMoving, DraggingPastTheRightEdgeScrollsOneColumnPerMovement)
{
    G->SetColCount(20);
    const int Left = G->LeftCol();
    const TPoint From = Header(2);
    Post(WM_MOUSEMOVE, 0, From);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, From);
    for (int I = 0; I < 3; ++I)
        Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{G->Width() + 5 + I, From.y});
    EXPECT_GT(G->LeftCol(), Left);
    for (int I = 0; I < 30; ++I)
        Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{G->Width() + 10 + I, From.y});
    EXPECT_EQ(G->LeftCol() + G->VisibleColCount(), G->ColCount()) << "stops with the last column shown";
    PostMessageW(G->Handle(), WM_CANCELMODE, 0, 0);
    Post(WM_LBUTTONUP, 0, From);
}

TEST_F(GridMoving, HiddenRowsKeepTheirCellsInStepWithAColumnMove)
{
    G->HideRows(2, 2);
    G->MoveColumnWithControls(2, 4);
    EXPECT_TRUE(G->MovedByDrag());
    G->UnHideRows(2, 2);
    EXPECT_EQ(G->Cells(4, 2), "c2r2");
    EXPECT_EQ(G->Cells(2, 2), "c3r2");
    EXPECT_EQ(G->Cells(4, 1), "c2r1");
}

TEST_F(GridMoving, NoRowMovesOntoAFixedLastFooterRow)
{
    G->SetRowCount(6);
    for (int R = 0; R < 6; ++R)
        G->SetCells(1, R, "r" + std::to_string(R));
    G->SetRowHeights(2, 40);
    G->FloatingFooter()->SetFooterStyle(fsFixedLastRow);
    G->FloatingFooter()->SetVisible(true);
    int Moved = 0;
    G->OnRowMoved = [&](TObject*, int, int) { ++Moved; };
    const int Last = G->RowCount() - 1;
    G->MoveRow(2, Last);
    EXPECT_EQ(Moved, 0);
    EXPECT_EQ(G->Cells(1, 2), "r2");
    EXPECT_EQ(G->RowHeights(2), 40) << "the height stays with its row";
    G->MoveRow(2, 3);
    EXPECT_EQ(Moved, 1);
    EXPECT_EQ(G->Cells(1, 3), "r2");
    EXPECT_EQ(G->RowHeights(3), 40);
}

} // namespace
