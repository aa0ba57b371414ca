// The wheel (moving the current row, scrolling, zooming with Ctrl), panning
// with the middle button and scrolling while a drag rests near the edges,
// driven by posted messages with the cursor placed where the grid reads it.

#include <gtest/gtest.h>

#include <vector>

#include "framework/Application.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragScrollOptions.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/SearchFooter.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridWheel : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 600, 400);
        G = MakeGrid();
        Form->Show();
        gui::Settle();
        ASSERT_GT(G->WheelMessage(), 0);
        Lines = G->WheelScrollLines();
        ASSERT_GT(Lines, 0);
    }
    void TearDown() override { delete Form; }

    TProStringGrid* MakeGrid()
    {
        auto* Grid = new TProStringGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 400, 300);
        Grid->SetColCount(12);
        Grid->SetRowCount(40);
        Grid->SetDefaultColWidth(60);
        Grid->SetDefaultRowHeight(22);
        return Grid;
    }

    void Wheel(int Delta, WPARAM Keys = 0)
    {
        const TPoint S = G->ClientToScreen(TPoint{100, 100});
        SetCursorPos(S.x, S.y);
        PostMessageW(G->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(Keys, static_cast<WORD>(static_cast<short>(Delta))),
                     MAKELPARAM(S.x, S.y));
        gui::Settle();
    }

    void Post(UINT Msg, WPARAM W, TPoint Client)
    {
        PostMessageW(G->Handle(), Msg, W, MAKELPARAM(Client.x, Client.y));
        gui::Settle();
    }

    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
    int Lines = 3;
};

TEST_F(GridWheel, NotchTowardTheUserMovesTheLinesAndOneMore)
{
    G->SetRow(1);
    Wheel(-120);
    EXPECT_EQ(G->Row(), 1 + Lines + 1);
    Wheel(120);
    EXPECT_EQ(G->Row(), 1 + Lines + 1 - Lines - 1);

    // Near the end the grid's step stops at the last row.
    G->SetRow(38);
    Wheel(-120);
    EXPECT_EQ(G->Row(), 39);
}

class TSpareGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    std::vector<int> Moved;

protected:
    void SpareHook(int Rows) override { Moved.push_back(Rows); }
};

TEST_F(GridWheel, WheelIncrementMovesItsRowsAndTellsTheHook)
{
    auto* Grid = new TSpareGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 400, 300);
    Grid->SetColCount(12);
    Grid->SetRowCount(40);
    Grid->SetDefaultColWidth(60);
    delete G;
    G = Grid;
    gui::Settle();
    Wheel(-120);
    EXPECT_TRUE(Grid->Moved.empty()) << "no hook without an increment";
    Grid->MouseActions()->WheelIncrement = 2;
    G->SetRow(5);
    Wheel(-120);
    EXPECT_EQ(G->Row(), 5 + 2 + 1);
    Wheel(120);
    EXPECT_EQ(G->Row(), 5);
    EXPECT_EQ(Grid->Moved, (std::vector<int>{2, -2}));

    // Whole rows selected: the wheel keeps the horizontal scroll position.
    G->SetOptions(G->Options() | goRowSelect);
    G->Navigation()->KeepHorizScroll = true;
    G->SetLeftCol(4);
    Wheel(-120);
    EXPECT_EQ(G->Row(), 5 + 2 + 1);
    EXPECT_EQ(G->LeftCol(), 4);
}

TEST_F(GridWheel, ScrollActionScrollsWithoutMovingTheRow)
{
    G->MouseActions()->SetWheelAction(waScroll);
    G->SetRow(2);
    G->SetTopRow(G->FixedRows() + 1);
    Wheel(120);
    EXPECT_EQ(G->TopRow(), G->FixedRows()) << "cut to the first row";
    EXPECT_EQ(G->Row(), 2);
    Wheel(-120);
    EXPECT_EQ(G->TopRow(), G->FixedRows() + Lines);
    EXPECT_EQ(G->Row(), 2);
    // At the end the top row stays where the last row is shown whole.
    for (int I = 0; I < 20; ++I)
        Wheel(-120);
    EXPECT_EQ(G->TopRow(), G->MaxTopRow());
}

TEST_F(GridWheel, CtrlWheelZoomsOnlyWithIntelliZoom)
{
    G->SetRow(5);
    const int W = G->ColWidths(2);
    Wheel(-120, MK_CONTROL);
    EXPECT_EQ(G->ZoomLevel, Lines);
    EXPECT_EQ(G->ColWidths(2), W + Lines);
    EXPECT_EQ(G->Row(), 5) << "zoom instead of moving";
    Wheel(120, MK_CONTROL);
    EXPECT_EQ(G->ZoomLevel, 0);
    G->IntelliZoom = false;
    Wheel(-120, MK_CONTROL);
    EXPECT_EQ(G->ZoomLevel, 0);
    EXPECT_EQ(G->Row(), 5 + Lines + 1);
}

TEST_F(GridWheel, SingleRowWithFixedRowAlwaysSwallowsTheWheel)
{
    G->SetFixedRows(0);
    G->SetRowCount(1);
    G->FixedRowAlways = true;
    bool Offered = false;
    G->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { Offered = true; };
    Wheel(-120);
    EXPECT_FALSE(Offered);
    EXPECT_EQ(G->Row(), 0);
}

TEST_F(GridWheel, MiddleButtonPansTowardThePointer)
{
    G->SetRow(2);
    const TPoint Anchor{150, 100};
    G->SetFocus();
    // Inside the dead zone nothing moves. The pointer is there before the
    // press, so that no tick of the pan timer sees it anywhere else.
    TPoint S = G->ClientToScreen(TPoint{Anchor.x + 3, Anchor.y + 4});
    SetCursorPos(S.x, S.y);
    Post(WM_MBUTTONDOWN, MK_MBUTTON, Anchor);
    ASSERT_TRUE(G->Panning());
    gui::PumpFor(150);
    EXPECT_EQ(G->Row(), 2);
    // Below the anchor the current row follows down.
    S = G->ClientToScreen(TPoint{Anchor.x, Anchor.y + 40});
    SetCursorPos(S.x, S.y);
    EXPECT_TRUE(gui::PumpUntil([&] { return G->Row() >= 6; }, 10000)) << "row " << G->Row();
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Anchor);
    Post(WM_LBUTTONUP, 0, Anchor);
    EXPECT_FALSE(G->Panning());
    const int Stopped = G->Row();
    gui::PumpFor(100);
    EXPECT_LE(std::abs(G->Row() - Stopped), 0) << "no movement after the stop";
}

TEST_F(GridWheel, PanningWithScrollActionScrollsUpAndStopsAtTheTop)
{
    G->MouseActions()->SetWheelAction(waScroll);
    G->SetTopRow(4);
    const TPoint Anchor{150, 150};
    Post(WM_MBUTTONDOWN, MK_MBUTTON, Anchor);
    ASSERT_TRUE(G->Panning());
    const TPoint S = G->ClientToScreen(TPoint{Anchor.x, Anchor.y - 40});
    SetCursorPos(S.x, S.y);
    EXPECT_TRUE(gui::PumpUntil([&] { return G->TopRow() == G->FixedRows(); }, 10000));
    gui::PumpFor(100);
    EXPECT_EQ(G->TopRow(), G->FixedRows());
    Post(WM_KEYDOWN, VK_SHIFT, TPoint{0, 0});
    EXPECT_FALSE(G->Panning());
}

TEST_F(GridWheel, PanAnchorShowsTheGlyphOfItsDirections)
{
    struct Case {
        TIntelliPan Pan;
        bool Vert, Horz;
    };
    const COLORREF Black = RGB(0, 0, 0);
    const TPoint A{150, 100};
    for (const Case& C : {Case{ipVertical, true, false}, Case{ipHorizontal, false, true}, Case{ipBoth, true, true}}) {
        G->IntelliPan = C.Pan;
        // The pointer rests on the anchor, as after a real middle click: inside
        // the dead zone the pan timer scrolls nothing, so the glyph stays until
        // the capture (off the anchor, the first tick would scroll and repaint).
        const TPoint S = G->ClientToScreen(A);
        SetCursorPos(S.x, S.y);
        Post(WM_MBUTTONDOWN, MK_MBUTTON, A);
        ASSERT_TRUE(G->Panning());
        // The anchor is painted once the pan starts; on a loaded machine that
        // can take a while, so wait for its centre rather than a fixed time.
        std::unique_ptr<TBitmap> Shot;
        gui::PumpUntil([&] {
            Shot = gui::Capture(G->Handle());
            return gui::PixelAt(Shot.get(), A.x + 13, A.y + 13) == Black;
        });
        if (C.Pan == ipBoth)
            gui::SaveScreenshot(G->Handle(), "grid_pan_anchor.png");
        EXPECT_EQ(gui::PixelAt(Shot.get(), A.x + 13, A.y + 13), Black) << C.Pan << " centre";
        EXPECT_EQ(gui::PixelAt(Shot.get(), A.x + 13, A.y + 5) == Black, C.Vert) << C.Pan << " up";
        EXPECT_EQ(gui::PixelAt(Shot.get(), A.x + 13, A.y + 20) == Black, C.Vert) << C.Pan << " down";
        EXPECT_EQ(gui::PixelAt(Shot.get(), A.x + 5, A.y + 13) == Black, C.Horz) << C.Pan << " left";
        EXPECT_EQ(gui::PixelAt(Shot.get(), A.x + 1, A.y + 1), RGB(255, 255, 255)) << C.Pan << " ground";
        Post(WM_KEYDOWN, VK_SHIFT, TPoint{0, 0});
        EXPECT_FALSE(G->Panning());
    }
}

// Panning both ways: the cursor shows the direction and the current cell
// follows the pointer's side of the anchor.
TEST_F(GridWheel, PanningBothWaysShowsTheDirectionCursorAndMovesTheCell)
{
    struct Case {
        int DX, DY;  // pointer beside the anchor
        int Cursor;
        int DCol, DRow;
    };
    const Case Cases[] = {
        {3, -4, 8000, 0, 0}, {40, 0, 8003, 1, 0}, {-40, 0, 8002, -1, 0}, {0, 40, 8001, 0, 1},
        {0, -40, 8004, 0, -1}, {40, -40, 8005, 1, -1}, {-40, -40, 8006, -1, -1}, {40, 40, 8007, 1, 1},
        {-40, 40, 8008, -1, 1},
    };
    G->IntelliPan = ipBoth;
    const TPoint A{150, 120};
    for (const Case& C : Cases) {
        G->FocusCell(5, 10, true);
        const TPoint S = G->ClientToScreen(TPoint{A.x + C.DX, A.y + C.DY});
        SetCursorPos(S.x, S.y);
        Post(WM_MBUTTONDOWN, MK_MBUTTON, A);
        ASSERT_TRUE(G->Panning());
        ASSERT_TRUE(gui::PumpUntil([&] { return G->Col() != 5 || G->Row() != 10; }, C.Cursor == 8000 ? 100 : 10000) ||
                    C.Cursor == 8000);
        EXPECT_EQ(GetCursor(), LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(C.Cursor))) << C.Cursor;
        Post(WM_KEYDOWN, VK_SHIFT, TPoint{0, 0});
        ASSERT_FALSE(G->Panning());
        EXPECT_EQ(G->Col() > 5, C.DCol > 0) << C.Cursor;
        EXPECT_EQ(G->Col() < 5, C.DCol < 0) << C.Cursor;
        EXPECT_EQ(G->Row() > 10, C.DRow > 0) << C.Cursor;
        EXPECT_EQ(G->Row() < 10, C.DRow < 0) << C.Cursor;
    }
}

TEST_F(GridWheel, DragScrollOptionsAreCopiedIntoTheGrid)
{
    TDragScrollOptions O;
    O.Active = true;
    O.Margins()->TopMargin = 20;
    O.Delays()->InitialDelay = 40;
    G->SetDragScrollOptions(&O);
    O.Margins()->TopMargin = 90;
    EXPECT_TRUE(G->DragScrollOptions()->Active);
    EXPECT_EQ(G->DragScrollOptions()->Margins()->TopMargin, 20) << "a copy, not the object";
    EXPECT_EQ(G->DragScrollOptions()->Delays()->InitialDelay, 40);
    EXPECT_EQ(G->DragScrollOptions()->Delays()->RepeatDelay, 250);
    G->DragScrollOver(200, 30, false);
    EXPECT_FALSE(G->DragScrollRunning()) << "below the copied top margin";
    G->DragScrollOver(200, 10, false);
    EXPECT_TRUE(G->DragScrollRunning());
    G->DragScrollOver(200, 10, true);
    EXPECT_FALSE(G->DragScrollRunning());
}

// The bottom margin counts from where the rows end: above a shown search
// bar, which a drag over the grid's rows never reaches.
TEST_F(GridWheel, BottomDragMarginEndsAtTheSearchBar)
{
    G->SetColCount(5);
    G->DragScrollOptions()->Active = true;
    G->DragScrollOptions()->Margins()->BottomMargin = 20;
    G->SearchFooter()->SetVisible(true);
    gui::Settle();
    // The grid's height (frame included) less the bar.
    const int Edge = G->Height() - 32;
    ASSERT_LT(Edge - 15, G->ClientHeight() - 32) << "a point above the bar";
    G->DragScrollOver(200, Edge - 25, false);
    EXPECT_FALSE(G->DragScrollRunning()) << "above the margin";
    G->DragScrollOver(200, Edge - 15, false);
    EXPECT_TRUE(G->DragScrollRunning());
    EXPECT_EQ(G->DragScrollDirections(), static_cast<unsigned>(dsdDown));
    G->DragScrollOver(200, Edge - 15, true);
}

TEST_F(GridWheel, DragRestingInTheTopMarginScrollsAfterTheInitialDelay)
{
    G->DragScrollOptions()->Active = true;
    G->DragScrollOptions()->Delays()->InitialDelay = 300;
    G->DragScrollOptions()->Delays()->RepeatDelay = 50;
    G->SetTopRow(10);
    // When the first scroll came, as the grid's event saw it: a loaded machine
    // may show it late, never early.
    Cardinal FirstTick = 0;
    G->OnDragScroll = [&](TObject*, int, int, TDragScrollDirection&, bool&) {
        if (FirstTick == 0)
            FirstTick = GetTickCount();
    };
    const Cardinal Start = GetTickCount();
    G->DragScrollOver(200, 10, false);
    EXPECT_TRUE(G->DragScrollRunning());
    EXPECT_EQ(G->DragScrollDirections(), static_cast<unsigned>(dsdUp));
    EXPECT_EQ(G->TopRow(), 10) << "still waiting";
    EXPECT_TRUE(gui::PumpUntil([&] { return G->TopRow() <= 7; }, 10000));
    ASSERT_NE(FirstTick, 0u);
    EXPECT_GE(FirstTick - Start, 290u) << "the first scroll waits the initial delay";
    G->DragScrollOver(200, 150, false);
    EXPECT_FALSE(G->DragScrollRunning()) << "left the margins";
    const int Top = G->TopRow();
    gui::PumpFor(150);
    EXPECT_EQ(G->TopRow(), Top);
}

TEST_F(GridWheel, DragScrollEventTurnsTheDirectionAndTheEndsHold)
{
    G->DragScrollOptions()->Active = true;
    G->DragScrollOptions()->Delays()->InitialDelay = 20;
    G->DragScrollOptions()->Delays()->RepeatDelay = 20;
    G->SetTopRow(10);
    G->SetLeftCol(5);
    int Ticks = 0;
    G->OnDragScroll = [&](TObject*, int, int, TDragScrollDirection& D, bool&) {
        ++Ticks;
        D = dsdLeft;
    };
    G->DragScrollOver(200, 10, false);
    EXPECT_TRUE(gui::PumpUntil([&] { return G->LeftCol() == G->FixedCols(); }, 10000));
    EXPECT_EQ(G->TopRow(), 10);
    // More ticks never pass the first column.
    const int Seen = Ticks;
    EXPECT_TRUE(gui::PumpUntil([&] { return Ticks >= Seen + 3; }, 10000));
    EXPECT_EQ(G->LeftCol(), G->FixedCols());

    G->OnDragScroll = [&](TObject*, int, int, TDragScrollDirection& D, bool&) {
        ++Ticks;
        D = dsdDown | dsdRight;
    };
    const int Seen2 = Ticks;
    EXPECT_TRUE(gui::PumpUntil([&] { return Ticks >= Seen2 + 60; }, 20000));
    EXPECT_EQ(G->TopRow(), G->MaxTopRow());
    EXPECT_EQ(G->LeftCol(), G->MaxLeftCol());
}

TEST_F(GridWheel, DragScrollTimerStopsWithItsGrid)
{
    TProStringGrid* Other = MakeGrid();
    gui::Settle();
    Other->DragScrollOptions()->Active = true;
    Other->DragScrollOptions()->Delays()->InitialDelay = 20;
    Other->DragScrollOptions()->Delays()->RepeatDelay = 20;
    int Ticks = 0;
    Other->OnDragScroll = [&](TObject*, int, int, TDragScrollDirection&, bool&) { ++Ticks; };
    Other->DragScrollOver(200, 10, false);
    ASSERT_TRUE(gui::PumpUntil([&] { return Ticks > 0; }, 10000));
    delete Other;
    const int Seen = Ticks;
    gui::PumpFor(200);
    EXPECT_EQ(Ticks, Seen);
}

} // namespace
