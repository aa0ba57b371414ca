// Where cells are, scrolling and clamping, keys and mouse on a grid without
// a window. The grid is 320 x 120 without border: columns of 64 and rows
// of 24 pixels, each followed by a one-pixel line.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/gridbase/GridTestGrid.h"

TEST(GridGeometry, CellRectsAndHitTests)
{
    TTestGrid grid;
    struct Case {
        int Col, Row;
        TRect Expected;
    };
    const Case cases[] = {
        {0, 0, {0, 0, 64, 24}},
        {1, 1, {65, 25, 129, 49}},
        {3, 2, {195, 50, 259, 74}},
        {4, 4, {260, 100, 320, 120}},  // cut at the client edge
        {5, 1, {0, 0, 0, 0}},          // outside the grid
        {-1, 1, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const TRect r = grid.CellRect(c.Col, c.Row);
        EXPECT_TRUE(EqualRect(&r, &c.Expected)) << "cell " << c.Col << "," << c.Row << ": " << r.left << ","
                                                << r.top << "," << r.right << "," << r.bottom;
    }
    struct Hit {
        int X, Y;
        TGridCoord Expected;
    };
    const Hit hits[] = {
        {0, 0, {0, 0}},   {63, 23, {0, 0}}, {64, 24, {0, 0}},  // the line belongs to the cell before it
        {65, 25, {1, 1}}, {319, 119, {4, 4}}, {320, 10, {-1, 0}}, {-1, -1, {-1, -1}},
    };
    for (const Hit& h : hits)
        EXPECT_EQ(grid.MouseCoord(h.X, h.Y), h.Expected) << "point " << h.X << "," << h.Y;
    EXPECT_EQ(grid.VisibleColCount(), 3);
    EXPECT_EQ(grid.VisibleRowCount(), 3);

    grid.SetTopRow(2);
    const TRect scrolledAway = grid.CellRect(1, 1);
    EXPECT_TRUE(IsRectEmpty(&scrolledAway)) << "a row above TopRow is off screen";
    const TRect fixedStays = grid.CellRect(1, 0);
    EXPECT_EQ(fixedStays.top, 0);
    EXPECT_EQ(grid.CellRect(1, 2).top, 25) << "TopRow comes right after the fixed row";
    EXPECT_EQ(grid.MouseCoord(70, 30), (TGridCoord{1, 2}));
}

TEST(GridGeometry, TopRowAndLeftColClamp)
{
    TTestGrid grid;
    grid.SetRowCount(100);
    grid.SetColCount(20);
    struct Case {
        int Value;
        int ExpectedTop;
    };
    // 95 pixels below the fixed row: the last top row shows rows 97..99 whole.
    for (const Case& c : {Case{0, 1}, Case{50, 50}, Case{97, 97}, Case{98, 97}, Case{1000, 97}}) {
        grid.SetTopRow(c.Value);
        EXPECT_EQ(grid.TopRow(), c.ExpectedTop) << "TopRow := " << c.Value;
    }
    EXPECT_EQ(grid.MaxTopRow(), 97);
    grid.SetLeftCol(100);
    EXPECT_EQ(grid.LeftCol(), 17);
    grid.SetLeftCol(-4);
    EXPECT_EQ(grid.LeftCol(), 1);
    grid.Calls.clear();
    grid.SetTopRow(10);
    grid.SetTopRow(10);
    EXPECT_EQ((std::vector<std::string>{"top-left"}), grid.Calls) << "TopLeftChanged once per change";

    grid.SetRowCount(50);
    EXPECT_EQ(grid.TopRow(), 10);
    grid.SetTopRow(49);
    grid.SetRowCount(20);
    EXPECT_EQ(grid.TopRow(), 17) << "a shrink pulls TopRow back into range";
}

TEST(GridGeometry, ShowScrollsTheCellIntoView)
{
    TTestGrid grid;
    grid.SetRowCount(100);
    grid.FocusCell(1, 50, true);
    EXPECT_EQ(grid.TopRow(), 48) << "scrolled down so that row 50 is the last row shown whole";
    grid.FocusCell(1, 10, true);
    EXPECT_EQ(grid.TopRow(), 10);
    grid.MoveColRow(1, 60, true, false);
    EXPECT_EQ(grid.TopRow(), 10) << "without Show nothing scrolls";
}

TEST(GridGeometry, KeyMoves)
{
    struct Case {
        const char* Name;
        Word Key;
        TShiftState Shift;
        TGridCoord Expected;
    };
    // From cell (3, 50) of a 10 x 100 grid showing 3 rows, TopRow 48.
    const Case cases[] = {
        {"Up", VK_UP, 0, {3, 49}},
        {"Down", VK_DOWN, 0, {3, 51}},
        {"Left", VK_LEFT, 0, {2, 50}},
        {"Right", VK_RIGHT, 0, {4, 50}},
        {"PgUp", VK_PRIOR, 0, {3, 47}},
        {"PgDn", VK_NEXT, 0, {3, 53}},
        {"Home", VK_HOME, 0, {1, 50}},
        {"End", VK_END, 0, {9, 50}},
        {"Ctrl+Home", VK_HOME, ssCtrl, {1, 1}},
        {"Ctrl+End", VK_END, ssCtrl, {9, 99}},
        {"Ctrl+PgUp", VK_PRIOR, ssCtrl, {3, 48}},
        {"Ctrl+PgDn", VK_NEXT, ssCtrl, {3, 50}},
    };
    for (const Case& c : cases) {
        TTestGrid grid;
        grid.SetColCount(10);
        grid.SetRowCount(100);
        grid.FocusCell(3, 50, true);
        ASSERT_EQ(grid.TopRow(), 48);
        grid.Key(c.Key, c.Shift);
        EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), c.Expected) << c.Name;
        EXPECT_EQ(grid.Selection(), (TGridRect{c.Expected.X, c.Expected.Y, c.Expected.X, c.Expected.Y})) << c.Name;
        EXPECT_GE(grid.Row(), grid.TopRow()) << c.Name << ": the new cell is shown";
        EXPECT_LT(grid.Row(), grid.TopRow() + grid.VisibleRowCount()) << c.Name;
    }
}

TEST(GridGeometry, KeyMovesStopAtTheEdgesAndShiftSelects)
{
    TTestGrid grid;
    grid.Key(VK_UP);
    grid.Key(VK_LEFT);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 1})) << "the fixed cells are not entered";
    grid.Key(VK_DOWN, ssShift);
    grid.Key(VK_RIGHT, ssShift);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 1, 2, 2}));
    grid.Key(VK_RIGHT);
    EXPECT_EQ(grid.Selection(), (TGridRect{3, 2, 3, 2}));

    Word consumed = 0;
    grid.OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        consumed = Key;
        if (Key == VK_DOWN)
            Key = 0;
    };
    grid.Key(VK_DOWN);
    EXPECT_EQ(consumed, VK_DOWN);
    EXPECT_EQ(grid.Row(), 2) << "a key that OnKeyDown took does not move";

    grid.Refused = {TGridCoord{4, 2}};
    grid.Key(VK_RIGHT);
    EXPECT_EQ(grid.Col(), 3) << "SelectCell refuses the key move";
}

TEST(GridGeometry, TabsWalkRowByRow)
{
    TTestGrid grid;
    grid.SetOptions(grid.Options() | goTabs);
    grid.FocusCell(4, 1, true);
    grid.Key(VK_TAB);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 2}));
    grid.Key(VK_TAB, ssShift);
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{4, 1}));
    grid.SetOptions(grid.Options() & ~static_cast<unsigned>(goTabs));
    grid.Key(VK_TAB);
    EXPECT_EQ(grid.Col(), 4) << "without goTabs Tab is not the grid's";
}

TEST(GridGeometry, MouseClickDragAndSizing)
{
    TTestGrid grid;
    grid.SetRowCount(10);
    grid.Down(200, 60);  // cell (3, 2)
    EXPECT_EQ(grid.GridState(), gsSelecting);
    grid.Move(100, 90);  // cell (1, 3)
    grid.Up(100, 90);
    EXPECT_EQ(grid.GridState(), gsNormal);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 2, 3, 3}));
    EXPECT_EQ((TGridCoord{grid.Col(), grid.Row()}), (TGridCoord{1, 3}));
    grid.Down(140, 30, ssShift);  // cell (2, 1) extends from the anchor (3, 2)
    grid.Up(140, 30);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 3, 2}));
    grid.Down(10, 60);  // a fixed cell selects nothing
    grid.Up(10, 60);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 1, 3, 2}));

    // Sizing needs goColSizing and a press on a line inside the fixed row.
    TGridDrawInfo info;
    grid.CalcDrawInfo(info);
    int index = -1, pos = 0, ofs = 0;
    TGridState state = gsNormal;
    grid.CalcSizingState(129, 10, info, index, pos, ofs, state);
    EXPECT_EQ(state, gsNormal);
    grid.SetOptions(grid.Options() | goColSizing | goRowSizing);
    grid.CalcSizingState(130, 10, info, index, pos, ofs, state);
    EXPECT_EQ(state, gsColSizing);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(pos, 129);
    EXPECT_EQ(ofs, 1);
    grid.CalcSizingState(130, 40, info, index, pos, ofs, state);
    EXPECT_EQ(state, gsNormal) << "below the fixed row no column is sized";
    grid.CalcSizingState(10, 49, info, index, pos, ofs, state);
    EXPECT_EQ(state, gsRowSizing);
    EXPECT_EQ(index, 1);

    grid.Calls.clear();
    grid.Down(130, 10);
    EXPECT_EQ(grid.GridState(), gsColSizing);
    grid.Move(170, 10);
    grid.Up(170, 10);
    EXPECT_EQ(grid.ColWidths(1), 104) << "the line moved 40 pixels";
    EXPECT_EQ((std::vector<std::string>{"widths"}), grid.Calls);
}

TEST(GridGeometry, HeaderDragMovesAColumn)
{
    TTestGrid grid;
    grid.SetCells(1, 1, "one");
    grid.SetOptions(grid.Options() | goColMoving);
    int from = -1, to = -1;
    grid.OnColumnMoved = [&](TObject*, int From, int To) { from = From, to = To; };
    grid.Down(70, 10);  // header of column 1
    EXPECT_EQ(grid.GridState(), gsColMoving);
    grid.Move(200, 10);  // over column 3
    grid.Up(200, 10);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(grid.Cells(3, 1), "one");
}

TEST(GridGeometry, WheelMovesTheCurrentRow)
{
    TTestGrid grid;
    grid.SetRowCount(10);
    grid.Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 2)), 0);
    EXPECT_EQ(grid.Row(), 3) << "two notches toward the user: two rows down";
    bool handled = false;
    grid.OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& Handled) { Handled = handled = true; };
    grid.Perform(CM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_TRUE(handled);
    EXPECT_EQ(grid.Row(), 3) << "a handled notch moves nothing";
}
