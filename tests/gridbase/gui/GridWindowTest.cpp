// A plain string grid in a real window, driven as a user drives it: keys,
// clicks and drags, the scroll bars, sizing a column, editing in place; and
// what it looks like.
#include <gtest/gtest.h>

#include "framework/Edit.h"
#include "tests/gridbase/GridTestGrid.h"
#include "tests/support/GuiHarness.h"

namespace {

class GridWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 520, 320);
        Grid = new TTestGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBorderStyle(bsSingle);
        Grid->SetBounds(10, 10, 420, 220);
        Grid->SetColCount(10);
        Grid->SetRowCount(60);
        for (int r = 0; r < Grid->RowCount(); ++r)
            for (int c = 0; c < Grid->ColCount(); ++c)
                Grid->SetCells(c, r, r == 0 ? "Col " + std::to_string(c) : std::to_string(c) + "-" + std::to_string(r));
        Form->Show();
        gui::Settle();
        Grid->SetFocus();
        gui::Settle();
    }
    void TearDown() override
    {
        SetShift(false);
        delete Form;
    }

    // The Shift key as the key-state functions see it.
    static void SetShift(bool Down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = Down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    TPoint Centre(int ACol, int ARow) const
    {
        const TRect r = Grid->CellRect(ACol, ARow);
        return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Press(UINT Msg, TPoint P, WPARAM Keys)
    {
        SendMessageW(Grid->Handle(), Msg, Keys, MAKELPARAM(P.x, P.y));
    }
    TGridCoord Current() const { return TGridCoord{Grid->Col(), Grid->Row()}; }

    TForm* Form = nullptr;
    TTestGrid* Grid = nullptr;
};

} // namespace

TEST_F(GridWindow, KeysMoveAndShiftSelectsARange)
{
    ASSERT_TRUE(Grid->Focused());
    gui::PressKey(VK_DOWN);
    gui::PressKey(VK_DOWN);
    gui::PressKey(VK_RIGHT);
    EXPECT_EQ(Current(), (TGridCoord{2, 3}));
    SetShift(true);
    gui::PressKey(VK_DOWN);
    gui::PressKey(VK_RIGHT);
    SetShift(false);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 3, 4}));
    gui::PressKey(VK_NEXT);
    EXPECT_EQ(Grid->Row(), 4 + Grid->VisibleRowCount());
    EXPECT_EQ(Grid->Selection().Top, Grid->Selection().Bottom) << "a move without Shift drops the range";
    EXPECT_GE(Grid->Row(), Grid->TopRow());
    EXPECT_LT(Grid->Row(), Grid->TopRow() + Grid->VisibleRowCount()) << "the page scrolled with the cell";
    gui::PressKey(VK_END);
    EXPECT_EQ(Grid->Col(), 9);
    EXPECT_GT(Grid->LeftCol(), 1) << "the last column scrolled into view";
}

TEST_F(GridWindow, TabWalksTheCellsThenLeavesAndTheWheelMovesTheRow)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(440, 10, 60, 24);
    other->SetTabStop(true);
    Grid->SetOptions(Grid->Options() | goTabs);
    Grid->FocusCell(8, 58, true);
    gui::PressKey(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{9, 58}));
    gui::PressKey(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{1, 59})) << "past the last column: the next row";
    Grid->FocusCell(9, 59, true);
    gui::PressKey(VK_TAB);
    EXPECT_TRUE(other->Focused()) << "past the last cell the focus goes on";

    Grid->SetFocus();
    Grid->FocusCell(3, 10, true);
    const TPoint p = Grid->ClientToScreen(Centre(3, 10));
    SendMessageW(Grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Current(), (TGridCoord{3, 11})) << "a notch toward the user: one row down";
    SendMessageW(Grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Current(), (TGridCoord{3, 9}));
}

TEST_F(GridWindow, ClickAndDrag)
{
    Form->SetActiveControl(nullptr);
    ::SetFocus(Form->Handle());
    int clicks = 0, downs = 0, ups = 0;
    Grid->OnClick = [&](TObject*) { ++clicks; };
    Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    Grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    const TPoint a = Centre(2, 2);
    gui::ClickAt(Grid, a.x, a.y);
    EXPECT_EQ(Current(), (TGridCoord{2, 2}));
    EXPECT_TRUE(Grid->Focused()) << "a click focuses the grid";
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);

    const TPoint b = Centre(4, 5);
    Press(WM_LBUTTONDOWN, a, MK_LBUTTON);
    EXPECT_EQ(Grid->GridState(), gsSelecting);
    Press(WM_MOUSEMOVE, Centre(3, 4), MK_LBUTTON);
    Press(WM_MOUSEMOVE, b, MK_LBUTTON);
    Press(WM_LBUTTONUP, b, 0);
    gui::Settle();
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 2, 4, 5}));
    EXPECT_EQ(Current(), (TGridCoord{4, 5})) << "the current cell is the end the mouse moved";
    EXPECT_NE(GetCapture(), Grid->Handle()) << "the mouse is let go";
}

TEST_F(GridWindow, DragBelowTheGridScrollsAndStretchesTheSelection)
{
    const TPoint a = Centre(2, 2);
    Press(WM_LBUTTONDOWN, a, MK_LBUTTON);
    ASSERT_EQ(Grid->GridState(), gsSelecting);
    // The mouse rests below the grid: the drag-scroll timer reads where it is.
    const TPoint below = Grid->ClientToScreen(Point(a.x, Grid->ClientHeight() + 20));
    SetCursorPos(below.x, below.y);
    Press(WM_MOUSEMOVE, Point(a.x, Grid->ClientHeight() + 20), MK_LBUTTON);
    const bool scrolled = gui::PumpUntil([&] { return Grid->TopRow() >= 5; }, 10000);
    Press(WM_LBUTTONUP, Point(a.x, Grid->ClientHeight() + 20), 0);
    EXPECT_TRUE(scrolled) << "TopRow " << Grid->TopRow();
    const TGridRect sel = Grid->Selection();
    EXPECT_EQ(sel.Top, 2);
    EXPECT_EQ(sel.Left, 2);
    EXPECT_GE(sel.Bottom, Grid->TopRow() + Grid->VisibleRowCount() - 2) << "the selection follows the scrolling";
    const int top = Grid->TopRow();
    gui::PumpFor(200);
    EXPECT_EQ(Grid->TopRow(), top) << "the release stops the scrolling";
}

TEST_F(GridWindow, ScrollBarsLinePageAndThumb)
{
    HWND wnd = Grid->Handle();
    EXPECT_NE(GetWindowLongW(wnd, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_NE(GetWindowLongW(wnd, GWL_STYLE) & WS_HSCROLL, 0);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(wnd, SB_VERT, &info);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, GridScrollMax);
    EXPECT_EQ(info.nPos, 0);

    const int last = Grid->MaxTopRow();
    struct Step {
        const char* Name;
        int Code;
        int Pos;
        int Expected;
    };
    const int page = Grid->VisibleRowCount();
    const Step steps[] = {
        {"line down", SB_LINEDOWN, 0, 2},
        {"page down", SB_PAGEDOWN, 0, 2 + page},
        {"line up", SB_LINEUP, 0, 1 + page},
        {"thumb to the end", SB_THUMBPOSITION, GridScrollMax, last},
        {"thumb to the middle", SB_THUMBPOSITION, 64, 1 + (64 * (last - 1) + 63) / GridScrollMax},
        {"tracking without goThumbTracking", SB_THUMBTRACK, 0, 1 + (64 * (last - 1) + 63) / GridScrollMax},
        {"top", SB_TOP, 0, 1},
        {"bottom", SB_BOTTOM, 0, last},
    };
    for (const Step& s : steps) {
        SendMessageW(wnd, WM_VSCROLL, MAKEWPARAM(s.Code, s.Pos), 0);
        EXPECT_EQ(Grid->TopRow(), s.Expected) << s.Name;
    }
    EXPECT_EQ(GetScrollPos(wnd, SB_VERT), GridScrollMax) << "at the last top row the thumb is at the end";
    Grid->SetOptions(Grid->Options() | goThumbTracking);
    SendMessageW(wnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
    EXPECT_EQ(Grid->TopRow(), 1) << "with goThumbTracking the grid follows the dragged thumb";
    SendMessageW(wnd, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(Grid->LeftCol(), 2);
    EXPECT_GT(GetScrollPos(wnd, SB_HORZ), 0);
    gui::Settle();
    EXPECT_EQ(Grid->CellRect(1, 5).right, 0) << "column 1 scrolled away";
    EXPECT_GT(Grid->CellRect(2, 5).right, 0);

    Grid->SetRowCount(3);
    gui::Settle();
    EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & WS_VSCROLL, 0) << "no vertical bar when every row fits";
}

TEST_F(GridWindow, SizingAColumnWithTheMouse)
{
    Grid->SetOptions(Grid->Options() | goColSizing);
    const TRect header = Grid->CellRect(1, 0);
    const TPoint line = Point(header.right, header.top + 5);
    Press(WM_LBUTTONDOWN, line, MK_LBUTTON);
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    Press(WM_MOUSEMOVE, Point(line.x + 15, line.y), MK_LBUTTON);
    Press(WM_MOUSEMOVE, Point(line.x + 30, line.y), MK_LBUTTON);
    Press(WM_LBUTTONUP, Point(line.x + 30, line.y), 0);
    gui::Settle();
    EXPECT_EQ(Grid->ColWidths(1), 64 + 30);
    EXPECT_EQ(Grid->CellRect(2, 0).left, header.right + 30 + Grid->GridLineWidth());
    EXPECT_EQ(Grid->GridState(), gsNormal);
    // The same press without goColSizing starts no sizing.
    Grid->SetOptions(Grid->Options() & ~static_cast<unsigned>(goColSizing));
    const TPoint again = Point(Grid->CellRect(1, 0).right, 5);
    Press(WM_LBUTTONDOWN, again, MK_LBUTTON);
    EXPECT_NE(Grid->GridState(), gsColSizing);
    Press(WM_LBUTTONUP, again, 0);
}

TEST_F(GridWindow, TypingOpensTheEditorAndEnterWritesBack)
{
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->FocusCell(2, 3, true);
    gui::TypeText("h");
    ASSERT_TRUE(Grid->EditorMode());
    TInplaceEdit* edit = Grid->InplaceEditor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), "h") << "the typed character replaces the cell's text";
    const TRect cell = Grid->CellRect(2, 3);
    EXPECT_EQ(edit->Left(), cell.left);
    EXPECT_EQ(edit->Top(), cell.top);
    gui::TypeText("ello 读取");
    EXPECT_EQ(Grid->Cells(2, 3), String("hello 读取")) << "each change goes to the cell";
    gui::SaveScreenshot(Form, Application->ExePath() + "gridbase-editing.png");
    gui::PressKey(VK_RETURN);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_FALSE(edit->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->Cells(2, 3), String("hello 读取"));

    gui::PressKey(VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    gui::TypeText("XYZ");
    EXPECT_EQ(Grid->Cells(2, 3), String("hello 读取XYZ")) << "F2 keeps the text, the caret at its end";
    gui::PressKey(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(2, 3), String("hello 读取")) << "Esc puts the text back";

    gui::TypeText("7");
    gui::PressKey(VK_DOWN);
    EXPECT_FALSE(Grid->EditorMode()) << "a move ends the edit";
    EXPECT_EQ(Grid->Cells(2, 3), "7");
    EXPECT_EQ(Current(), (TGridCoord{2, 4}));
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(GridWindow, FocusLeavingTheGridClosesTheEditor)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(440, 10, 60, 24);
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->FocusCell(1, 1, true);
    gui::TypeText("ab");
    ASSERT_TRUE(Grid->EditorMode());
    other->SetFocus();
    gui::Settle();
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_FALSE(Grid->InplaceEditor()->Visible());
    EXPECT_EQ(Grid->Cells(1, 1), "ab");
    EXPECT_TRUE(other->Focused()) << "the focus stays where the user put it";

    Grid->SetOptions(Grid->Options() | goAlwaysShowEditor);
    Grid->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Grid->EditorMode()) << "goAlwaysShowEditor opens the editor";
    gui::PressKey(VK_DOWN);
    EXPECT_TRUE(Grid->EditorMode()) << "and it follows the current cell";
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "1-2");
    EXPECT_EQ(Grid->InplaceEditor()->Top(), Grid->CellRect(1, 2).top);
}

// The grid and its editor are one control for entering and leaving: the
// focus moving between them fires neither OnExit nor OnEnter of the grid;
// leaving the editor for another control leaves the grid.
TEST_F(GridWindow, TheEditorIsPartOfTheGridForEnterAndExit)
{
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(440, 10, 60, 24);
    int enters = 0, exits = 0;
    Grid->OnEnter = [&](TObject*) { ++enters; };
    Grid->OnExit = [&](TObject*) { ++exits; };
    Grid->SetOptions(Grid->Options() | goEditing);
    Grid->FocusCell(1, 1, true);
    gui::TypeText("ab");
    ASSERT_TRUE(Grid->EditorMode());
    ASSERT_TRUE(Grid->InplaceEditor()->Focused());
    gui::PressKey(VK_RETURN);
    ASSERT_TRUE(Grid->Focused());
    EXPECT_EQ(exits, 0) << "opening the editor does not leave the grid";
    EXPECT_EQ(enters, 0) << "closing it does not enter the grid again";

    gui::TypeText("c");
    ASSERT_TRUE(Grid->InplaceEditor()->Focused());
    other->SetFocus();
    gui::Settle();
    EXPECT_EQ(exits, 1) << "leaving the editor for another control leaves the grid";
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 1), "c");

    Grid->SetOptions(Grid->Options() | goAlwaysShowEditor);
    Grid->SetFocus();
    gui::Settle();
    EXPECT_EQ(enters, 1);
    ASSERT_TRUE(Grid->EditorMode());
    other->SetFocus();
    gui::Settle();
    ASSERT_TRUE(Grid->EditorMode()) << "goAlwaysShowEditor keeps the editor";
    Grid->InplaceEditor()->SetFocus();
    gui::Settle();
    EXPECT_EQ(enters, 2) << "a focus put straight into the editor enters the grid";
    EXPECT_EQ(exits, 2);

    // A descendant's own exit step closes the editor, even with the focus in it.
    Grid->SetOptions(Grid->Options() & ~static_cast<unsigned>(goAlwaysShowEditor));
    Grid->SetFocus();
    gui::Settle();
    gui::PressKey(VK_RETURN);  // closes the editor left open
    ASSERT_FALSE(Grid->EditorMode());
    gui::TypeText("d");
    ASSERT_TRUE(Grid->InplaceEditor()->Focused());
    Grid->DoExit();
    gui::Settle();
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 1), "d");
    EXPECT_TRUE(Grid->Focused()) << "the focus goes back from the closed editor to the grid";
}

TEST_F(GridWindow, SizingARowAndMovingAColumnWithTheMouse)
{
    Grid->SetOptions(Grid->Options() | goRowSizing | goColMoving);
    const TRect rowHeader = Grid->CellRect(0, 2);
    const TPoint line = Point(rowHeader.left + 5, rowHeader.bottom);
    Press(WM_LBUTTONDOWN, line, MK_LBUTTON);
    EXPECT_EQ(Grid->GridState(), gsRowSizing);
    EXPECT_EQ(GetCapture(), Grid->Handle());
    Press(WM_MOUSEMOVE, Point(line.x, line.y + 12), MK_LBUTTON);
    Press(WM_LBUTTONUP, Point(line.x, line.y + 12), 0);
    gui::Settle();
    EXPECT_EQ(Grid->RowHeights(2), Grid->DefaultRowHeight() + 12);
    EXPECT_NE(GetCapture(), Grid->Handle());

    int from = -1, to = -1;
    Grid->OnColumnMoved = [&](TObject*, int From, int To) { from = From, to = To; };
    Press(WM_LBUTTONDOWN, Centre(1, 0), MK_LBUTTON);
    EXPECT_EQ(Grid->GridState(), gsColMoving);
    Press(WM_MOUSEMOVE, Centre(3, 0), MK_LBUTTON);
    Press(WM_LBUTTONUP, Centre(3, 0), 0);
    gui::Settle();
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(Grid->Cells(3, 0), "Col 1");
    EXPECT_EQ(Grid->Cells(3, 5), "1-5");
}

TEST_F(GridWindow, LooksLikeAGrid)
{
    Grid->SetOptions(Grid->Options() | goDrawFocusSelected);
    Grid->FocusCell(2, 2, true);
    Grid->FocusCell(3, 3, false);
    gui::Settle();
    auto shot = gui::CaptureControl(Grid);
    // The capture starts at the grid's client origin.
    auto at = [&](int X, int Y) { return gui::PixelAt(shot.get(), X, Y); };
    const TRect fixed = Grid->CellRect(2, 0);
    const TRect selected = Grid->CellRect(2, 2);
    const TRect plain = Grid->CellRect(5, 5);
    EXPECT_EQ(at(fixed.right - 3, fixed.bottom - 3), GetSysColor(COLOR_BTNFACE)) << "fixed cell";
    EXPECT_EQ(at(selected.right - 3, selected.bottom - 3), GetSysColor(COLOR_HIGHLIGHT)) << "selected cell";
    EXPECT_EQ(at(plain.right - 3, plain.bottom - 3), GetSysColor(COLOR_WINDOW)) << "plain cell";
    EXPECT_EQ(at(plain.right, plain.top + 3), RGB(192, 192, 192)) << "vertical line";
    EXPECT_EQ(at(plain.left + 3, plain.bottom), RGB(192, 192, 192)) << "horizontal line";
    EXPECT_EQ(at(fixed.right, fixed.top + 3), RGB(128, 128, 128)) << "fixed line";
    const TRect textArea = plain;
    EXPECT_GT(gui::CountPixelsNot(shot.get(), textArea, GetSysColor(COLOR_WINDOW)), 10) << "the cell's text";
    gui::SaveScreenshot(Form, Application->ExePath() + "gridbase-screenshot.png");
}
