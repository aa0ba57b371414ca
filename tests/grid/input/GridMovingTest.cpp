// Moving columns by dragging their headers with the mouse, the permission
// and target events, and what a move keeps in step (sort column, current
// column, cells).

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "grid/core/GridSortSettings.h"
#include "grid/core/ProGrid.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridMoving : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 700, 360);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 640, 300);
        G->SetColCount(8);
        G->SetRowCount(5);
        G->SetDefaultColWidth(70);
        G->SetOptions(G->Options() | goColMoving);
        for (int C = 0; C < 8; ++C)
            for (int R = 0; R < 5; ++R)
                G->SetCells(C, R, "c" + std::to_string(C) + "r" + std::to_string(R));
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    void Post(UINT Msg, WPARAM W, TPoint P)
    {
        const TPoint S = G->ClientToScreen(P);
        SetCursorPos(S.x, S.y);
        PostMessageW(G->Handle(), Msg, W, MAKELPARAM(P.x, P.y));
        gui::Settle();
    }
    TPoint Header(int ACol)
    {
        const TRect R = G->CellRect(ACol, 0);
        return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }
    void DragHeader(int From, int To)
    {
        Post(WM_MOUSEMOVE, 0, Header(From));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Header(From));
        Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{Header(From).x + 10, Header(From).y});
        Post(WM_MOUSEMOVE, MK_LBUTTON, Header(To));
        Post(WM_LBUTTONUP, 0, Header(To));
    }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
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

} // namespace
