// Mouse clicks on a real grid window (the pointer placed, the messages run
// through the message loop): check boxes, radio groups, node buttons,
// header sorting, the right button, links (which never start a program),
// header drag selection, the selection resizer and fixed-cell sizing.

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Menus.h"
#include "framework/Screen.h"
#include "grid/core/GridSortSettings.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/SearchFooter.h"
#include "tests/grid/input/GridMouseFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

// A grid whose shell hand-over only records what it was asked to open.
class TShellSpyGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    std::vector<String> Opened;

protected:
    void ShellOpenAnchor(const String& Anchor) override { Opened.push_back(Anchor); }
};

class GridClicks : public GridMouseFixture<TShellSpyGrid> {
protected:
    void SetUp() override
    {
        MakeGrid(620, 380, 580, 320);
        G->SetColCount(6);
        G->SetRowCount(8);
        G->SetDefaultColWidth(80);
        ShowForm();
    }

    void Click(TPoint P)
    {
        Post(WM_MOUSEMOVE, 0, P);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, P);
        Post(WM_LBUTTONUP, 0, P);
    }
    void RightClick(TPoint P)
    {
        Post(WM_MOUSEMOVE, 0, P);
        Post(WM_RBUTTONDOWN, MK_RBUTTON, P);
        Post(WM_RBUTTONUP, 0, P);
    }
    TPoint Inside(int ACol, int ARow, int DX, int DY)
    {
        const TRect R = G->CellRect(ACol, ARow);
        return TPoint{R.left + DX, R.top + DY};
    }
};

TEST_F(GridClicks, CheckBoxTogglesOnlyWhereCellsAreEditable)
{
    G->PutCheckBox(2, 3, false, false);
    std::vector<bool> Clicks;
    G->OnCheckBoxClick = [&](TObject*, int ACol, int ARow, bool State) {
        EXPECT_EQ(ACol, 2);
        EXPECT_EQ(ARow, 3);
        Clicks.push_back(State);
    };
    bool State = true;
    // Without goEditing (the manager's tables) a click only selects the cell.
    Click(Middle(2, 3));
    G->GetCheckBoxState(2, 3, State);
    EXPECT_FALSE(State);
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(G->Col(), 2);
    EXPECT_EQ(G->Row(), 3);

    G->SetOptions(G->Options() | goEditing);
    G->SetRow(1);
    Click(Middle(2, 3));
    G->GetCheckBoxState(2, 3, State);
    EXPECT_TRUE(State);
    EXPECT_EQ(G->Row(), 3) << "the toggled cell becomes current";
    Click(Middle(2, 3));
    G->GetCheckBoxState(2, 3, State);
    EXPECT_FALSE(State);
    EXPECT_EQ(Clicks, (std::vector<bool>{true, false}));
    // A refused OnCanClickCell leaves everything as it was.
    int MouseDowns = 0;
    G->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++MouseDowns; };
    G->OnCanClickCell = [](TObject*, int, int, bool& Allow) { Allow = false; };
    Click(Middle(2, 3));
    G->GetCheckBoxState(2, 3, State);
    EXPECT_FALSE(State);
    EXPECT_EQ(MouseDowns, 0);
}

TEST_F(GridClicks, RadioClickPicksTheItemUnderThePointer)
{
    G->SetOptions(G->Options() | goEditing);
    G->SetDefaultRowHeight(60);
    TCellGraphic* R = G->NewCellGraphic(3, 1);
    auto* Items = new TStringList();
    Items->Add("one");
    Items->Add("two");
    Items->Add("three");
    R->CellType = ctRadio;
    R->CellBitmap = Items;
    R->CellCreated = true;
    R->CellIndex = 0;
    int Picked = -1;
    G->OnRadioClick = [&](TObject*, int ACol, int ARow, int Idx) {
        EXPECT_EQ(ACol, 3);
        EXPECT_EQ(ARow, 1);
        Picked = Idx;
    };
    TBitmap Scratch(1, 1);
    Scratch.Canvas()->Font()->Assign(G->Font());
    const int Line = std::max(G->ControlLook()->RadioSize(), Scratch.Canvas()->TextHeight("gh"));
    Click(Inside(3, 1, 8, Line + Line / 2));
    EXPECT_EQ(Picked, 1);
    EXPECT_EQ(R->CellIndex, 1);
    Click(Inside(3, 1, 8, 2 * Line + Line / 2));
    EXPECT_EQ(R->CellIndex, 2);
    EXPECT_EQ(G->Col(), 3) << "the radio cell became current";
}

TEST_F(GridClicks, NodeButtonExpandsAndContractsWithoutSelectingUnlessAsked)
{
    for (int R = 1; R < 8; ++R)
        G->SetCells(1, R, "r" + std::to_string(R));
    G->AddNode(2, 3);
    G->SetRow(6);
    std::vector<std::string> Events;
    G->OnBeforeContractNode = [&](TObject*, int ARow, int, bool&) { Events.push_back("before-contract " + std::to_string(ARow)); };
    G->OnContractNode = [&](TObject*, int ARow, int) { Events.push_back("contract " + std::to_string(ARow)); };
    G->OnExpandNode = [&](TObject*, int ARow, int) { Events.push_back("expand " + std::to_string(ARow)); };
    const TRect Cell = G->CellRect(0, 2);
    const TPoint Button{Cell.left + 6, (Cell.top + Cell.bottom) / 2};
    ASSERT_TRUE(G->IsOnNodeButton(2, Button.x));
    Click(Button);
    EXPECT_TRUE(G->IsNodeContracted(2));
    EXPECT_EQ(G->RowCount(), 6) << "the two child rows are hidden";
    EXPECT_NE(G->Row(), 2) << "the node's row is not selected";
    Click(Button);
    EXPECT_FALSE(G->IsNodeContracted(2));
    EXPECT_EQ(G->RowCount(), 8);
    EXPECT_EQ(Events, (std::vector<std::string>{"before-contract 2", "contract 2", "expand 2"}));

    G->MouseActions()->MoveRowOnNodeClick = true;
    Click(Button);
    EXPECT_EQ(G->Row(), 2);
}

// These presses answer with the application's OnMouseDown only: the
// class library's press, which would move the current cell, does not run.
TEST_F(GridClicks, NodeColumnAndCheckBoxPressesFireOnMouseDownWithoutMovingTheCell)
{
    std::vector<std::string> Events;
    G->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { Events.push_back("down"); };
    G->OnClickCell = [&](TObject*, int ARow, int ACol) {
        Events.push_back("click " + std::to_string(ACol) + "," + std::to_string(ARow));
    };
    // Column 0 of a grid with nodes, off the node button.
    G->AddNode(2, 2);
    G->FocusCell(3, 6, true);
    Click(Middle(0, 5));
    EXPECT_EQ(G->Col(), 3);
    EXPECT_EQ(G->Row(), 6);
    EXPECT_EQ(Events, (std::vector<std::string>{"down", "click 0,5"}));

    // A check box with AlwaysEdit toggles where the current cell stays.
    Events.clear();
    G->SetOptions(G->Options() | goEditing);
    G->Navigation()->AlwaysEdit = true;
    G->PutCheckBox(2, 4, false, false);
    const TRect Box = G->CellRect(2, 4);
    TPoint Hit{-1, -1};
    for (int X = Box.left; X < Box.right && Hit.x < 0; ++X)
        if (G->PtInCheckBox(2, 4, X, (Box.top + Box.bottom) / 2))
            Hit = TPoint{X + 2, (Box.top + Box.bottom) / 2};
    ASSERT_GE(Hit.x, 0);
    Click(Hit);
    bool State = false;
    G->GetCheckBoxState(2, 4, State);
    EXPECT_TRUE(State);
    EXPECT_EQ(G->Row(), 6) << "with AlwaysEdit the toggled cell does not become current";
    EXPECT_EQ(std::count(Events.begin(), Events.end(), "down"), 1);
}

TEST_F(GridClicks, FormControlsOfHtmlCellsAnswerClicksOnEditableGrids)
{
    G->SetDefaultRowHeight(26);
    G->SetColWidths(2, 200);
    G->SetCells(2, 2, "<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"16\" VALUE=\"TRUE\"> <B>Pick</B>");
    std::vector<std::string> Events;
    G->OnControlClick = [&](TObject*, int ARow, int ACol, const String& ID, const String& Type, const String& Value) {
        Events.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + " " + ID + " " + Type + " " + Value);
    };
    G->OnAnchorClick = [&](TObject*, int, int, const String& Anchor, bool&) { Events.push_back("anchor " + Anchor); };
    G->OnClickCell = [&](TObject*, int ARow, int ACol) {
        Events.push_back("cell " + std::to_string(ACol) + "," + std::to_string(ARow));
    };
    // The 16-pixel control starts the cell's text, two pixels in.
    const TRect Cell = G->CellRect(2, 2);
    const TPoint Box{Cell.left + 10, Cell.top + 10};
    const int Y = (Cell.top + Cell.bottom) / 2;

    // Read-only: the control does not change and only the anchor event sees it.
    Click(Box);
    EXPECT_NE(G->Cells(2, 2).find("VALUE=\"TRUE\""), String::npos);
    EXPECT_EQ(Events, (std::vector<std::string>{"anchor ctrl"}));

    Events.clear();
    G->SetOptions(G->Options() | goEditing);
    Click(Box);
    EXPECT_NE(G->Cells(2, 2).find("VALUE=\"FALSE\""), String::npos) << G->Cells(2, 2);
    EXPECT_EQ(Events, (std::vector<std::string>{"2,2 c CHECK FALSE"}));
    Click(Box);
    EXPECT_NE(G->Cells(2, 2).find("VALUE=\"TRUE\""), String::npos);

    // On a read-only current cell editing is only suspended: the control of
    // another cell still answers.
    G->EnsureCellProperties(3, 3)->ReadOnly = true;
    G->FocusCell(3, 3, true);
    ASSERT_TRUE(G->EditState().Suspended);
    Events.clear();
    Click(Box);
    EXPECT_NE(G->Cells(2, 2).find("VALUE=\"FALSE\""), String::npos) << "a suspended grid refused the control";
    EXPECT_EQ(Events, (std::vector<std::string>{"2,2 c CHECK FALSE"}));

    // Beside the control the press selects the cell.
    Events.clear();
    G->FocusCell(1, 1, true);
    Click(TPoint{Cell.right - 4, Y});
    EXPECT_EQ(Events, (std::vector<std::string>{"cell 2,2"}));
    EXPECT_EQ(G->Col(), 2);
    EXPECT_EQ(G->Row(), 2);
}

TEST_F(GridClicks, APressOnThePartlyShownLastRowScrollsAndStartsARangeUnlessAsked)
{
    G->SetRowCount(40);
    const int Partial = G->TopRow() + G->VisibleRowCount();
    const TRect R = G->CellRect(2, Partial);
    ASSERT_LT(R.top + 3, G->ClientHeight()) << "the row is not partly shown";
    const TPoint P{(R.left + R.right) / 2, R.top + 3};
    const int Top = G->TopRow();
    struct Case {
        bool NoAutoRangeScroll, NoScrollOnPartialRow, Selecting, Scrolled;
    };
    for (const Case C : {Case{false, false, true, true}, Case{true, false, false, true},
                         Case{false, true, false, false}, Case{true, true, false, false}}) {
        SCOPED_TRACE(std::to_string(C.NoAutoRangeScroll) + std::to_string(C.NoScrollOnPartialRow));
        G->SetTopRow(Top);
        G->FocusCell(1, 1, true);
        G->MouseActions()->NoAutoRangeScroll = C.NoAutoRangeScroll;
        G->MouseActions()->NoScrollOnPartialRow = C.NoScrollOnPartialRow;
        Post(WM_MOUSEMOVE, 0, P);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, P);
        EXPECT_EQ(G->GridState() == gsSelecting, C.Selecting) << "range selection";
        EXPECT_EQ(G->TopRow() != Top, C.Scrolled) << "scrolling";
        // A running range goes on as the rows scroll under the pointer.
        if (C.Selecting)
            EXPECT_GE(G->Row(), Partial);
        else
            EXPECT_EQ(G->Row(), Partial);
        Post(WM_LBUTTONUP, 0, P);
    }
}

TEST_F(GridClicks, APressOnAlwaysVisibleSpinButtonsStepsTheEditorOnce)
{
    G->SetOptions(G->Options() | goEditing);
    G->DefaultEditor = edSpinEdit;
    G->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    G->MouseActions()->DirectEdit = true;
    const TRect R = G->CellRect(2, 2);
    for (const bool Up : {true, false}) {
        SCOPED_TRACE(Up ? "up" : "down");
        G->SetCells(2, 2, "5");
        Click(TPoint{R.right - 8, Up ? R.top + 4 : R.bottom - 4});
        TWinControl* Editor = G->EditState().Shown;
        ASSERT_NE(Editor, nullptr) << "no spin editor opened";
        EXPECT_EQ(Editor->Text(), Up ? "6" : "4");
        G->FocusCell(1, 1, true);
    }
}

TEST_F(GridClicks, HeaderClickSortsAndASecondClickTurnsTheDirection)
{
    const char* Values[] = {"pear", "apple", "fig", "kiwi", "date", "lime", "plum"};
    for (int R = 1; R < 8; ++R)
        G->SetCells(2, R, Values[R - 1]);
    G->SortSettings()->SetShow(true);
    std::vector<int> Sorted;
    G->OnClickSort = [&](TObject*, int ACol) { Sorted.push_back(ACol); };
    Click(Middle(2, 0));
    EXPECT_EQ(G->Cells(2, 1), "apple");
    EXPECT_EQ(G->Cells(2, 7), "plum");
    Click(Middle(2, 0));
    EXPECT_EQ(G->Cells(2, 1), "plum");
    EXPECT_EQ(G->SortSettings()->Direction, sdDescending);
    EXPECT_EQ(Sorted, (std::vector<int>{2, 2}));

    // Refused by OnCanSort, or without Show, a header click sorts nothing.
    G->OnCanSort = [](TObject*, int, bool& DoSort) { DoSort = false; };
    Click(Middle(2, 0));
    EXPECT_EQ(G->Cells(2, 1), "plum");
    G->OnCanSort = nullptr;
    G->SortSettings()->SetShow(false);
    Click(Middle(2, 0));
    EXPECT_EQ(G->Cells(2, 1), "plum");
    EXPECT_EQ(Sorted.size(), 2u);
}

TEST_F(GridClicks, DoubleClickOnAHeaderBorderAutoSizesWithoutSorting)
{
    G->SetOptions(G->Options() | goColSizing);
    G->SortSettings()->SetShow(true);
    G->SetCells(2, 3, "a rather long text that needs a wide column");
    G->SetCells(2, 1, "zz");
    const TRect R = G->CellRect(2, 0);
    const TPoint Border{static_cast<int>(R.right) - 1, (R.top + R.bottom) / 2};
    Post(WM_MOUSEMOVE, 0, Border);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Border);
    Post(WM_LBUTTONUP, 0, Border);
    Post(WM_LBUTTONDBLCLK, MK_LBUTTON, Border);
    Post(WM_LBUTTONUP, 0, Border);
    EXPECT_GT(G->ColWidths(2), 150);
    EXPECT_EQ(G->Cells(2, 1), "zz") << "no sort";
}

TEST_F(GridClicks, RightClickSelectsAndKeepsAMultiRowSelectionUnderAPopupMenu)
{
    int RightRow = -1, RightCol = -1;
    G->OnRightClickCell = [&](TObject*, int ARow, int ACol) { RightRow = ARow; RightCol = ACol; };
    RightClick(Middle(3, 4));
    EXPECT_EQ(RightRow, 4);
    EXPECT_EQ(RightCol, 3);
    EXPECT_EQ(G->Row(), 1) << "SelectOnRightClick off";

    G->MouseActions()->SelectOnRightClick = true;
    RightClick(Middle(3, 4));
    EXPECT_EQ(G->Col(), 3);
    EXPECT_EQ(G->Row(), 4);

    // Disjunct rows with a popup menu: a right click on a marked row keeps them.
    auto* Menu = new TPopupMenu(Form);
    Menu->AutoPopup = false;
    G->SetPopupMenu(Menu);
    G->MouseActions()->SetDisjunctRowSelect(true);
    G->SetRowSelected(2, true);
    G->SetRowSelected(5, true);
    RightClick(Middle(3, 5));
    EXPECT_TRUE(G->IsRowSelected(2));
    EXPECT_TRUE(G->IsRowSelected(5));
    RightClick(Middle(3, 6));
    EXPECT_FALSE(G->IsRowSelected(2));
    EXPECT_TRUE(G->IsRowSelected(6));
}

// Only web and mail addresses go to the shell; a file, a program or another
// scheme is offered to OnAnchorClick and otherwise left alone.
TEST_F(GridClicks, LinkClicksOpenOnlyWebAndMailAddresses)
{
    struct Case {
        const char* Href;
        bool Opened;
    };
    const Case Cases[] = {
        {"http://example.invalid/page", true},
        {"HTTPS://example.invalid/", true},
        {"mailto:someone@example.invalid", true},
        {"file:///C:/windows/system32/calc.exe", false},
        {"file:C:\\windows\\notepad.exe", false},
        {"C:\\windows\\system32\\cmd.exe", false},
        {"notepad.exe", false},
        {"javascript:alert(1)", false},
        {"ms-settings:display", false},
    };
    std::vector<String> Clicked;
    G->OnAnchorClick = [&](TObject*, int, int, const String& A, bool&) { Clicked.push_back(A); };
    for (const Case& C : Cases) {
        G->Opened.clear();
        Clicked.clear();
        G->SetCells(1, 2, String("<a href=\"") + C.Href + "\">link</a>");
        Click(Inside(1, 2, 8, 8));
        ASSERT_EQ(Clicked.size(), 1u) << C.Href;
        EXPECT_EQ(Clicked[0], C.Href);
        EXPECT_EQ(G->Opened.size(), C.Opened ? 1u : 0u) << C.Href;
    }
    // A plain URL cell with URLShow, and an application that handles the link itself.
    G->URLShow = true;
    G->SetCells(1, 2, "file://server/share/run.exe");
    G->Opened.clear();
    Click(Inside(1, 2, 8, 8));
    EXPECT_TRUE(G->Opened.empty());
    G->SetCells(1, 2, "http://example.invalid/");
    G->OnAnchorClick = [](TObject*, int, int, const String&, bool& AutoHandle) { AutoHandle = false; };
    Click(Inside(1, 2, 8, 8));
    EXPECT_TRUE(G->Opened.empty());
}

TEST_F(GridClicks, CellLinkMovesToTheCell)
{
    G->SetCells(1, 2, "<a href=\"CELL://R5C3\">go</a>");
    Click(Inside(1, 2, 8, 8));
    EXPECT_EQ(G->Row(), 5);
    EXPECT_EQ(G->Col(), 3);
    EXPECT_TRUE(G->Opened.empty());
}

TEST_F(GridClicks, AnchorEnterAndExitFollowThePointer)
{
    G->SetCells(1, 2, "<a href=\"a1\">first</a> plain text");
    G->SetCells(1, 3, "no html");
    std::vector<std::string> Events;
    G->OnAnchorEnter = [&](TObject*, int, int, const String& A) { Events.push_back("enter " + A); };
    G->OnAnchorExit = [&](TObject*, int, int, const String& A) { Events.push_back("exit [" + A + "]"); };
    Post(WM_MOUSEMOVE, 0, Inside(1, 2, 8, 8));
    EXPECT_EQ(G->Cursor(), crHandPoint);
    Post(WM_MOUSEMOVE, 0, Inside(1, 2, 10, 8));
    Post(WM_MOUSEMOVE, 0, Inside(1, 2, 75, 8));
    EXPECT_NE(G->Cursor(), crHandPoint);
    Post(WM_MOUSEMOVE, 0, Inside(1, 2, 8, 8));
    Post(WM_MOUSEMOVE, 0, Inside(1, 3, 8, 8));
    EXPECT_EQ(Events, (std::vector<std::string>{"enter a1", "exit []", "enter a1"})) << "no exit onto a plain cell";
}

TEST_F(GridClicks, DraggingOverHeadersSelectsWholeColumnsOrRows)
{
    G->SetOptions(G->Options() | goRangeSelect);
    G->MouseActions()->ColSelect = true;
    G->MouseActions()->RowSelect = true;
    Post(WM_MOUSEMOVE, 0, Middle(2, 0));
    EXPECT_EQ(G->CursorZone(), 1);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Middle(2, 0));
    Post(WM_MOUSEMOVE, MK_LBUTTON, Middle(3, 0));
    Post(WM_MOUSEMOVE, MK_LBUTTON, Middle(4, 0));
    Post(WM_LBUTTONUP, 0, Middle(4, 0));
    EXPECT_EQ(G->SelectionRect(), (TGridRect{2, 1, 4, 7}));

    Post(WM_MOUSEMOVE, 0, Middle(0, 5));
    EXPECT_EQ(G->CursorZone(), 2);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Middle(0, 5));
    Post(WM_MOUSEMOVE, MK_LBUTTON, Middle(0, 3));
    Post(WM_LBUTTONUP, 0, Middle(0, 3));
    EXPECT_EQ(G->SelectionRect(), (TGridRect{1, 3, 5, 5}));

    // On the border between two headers the sizing cursor wins.
    G->SetOptions(G->Options() | goColSizing);
    Post(WM_MOUSEMOVE, 0, TPoint{static_cast<int>(G->CellRect(2, 0).right) - 1, 8});
    EXPECT_EQ(G->CursorZone(), 0);
}

// A drag over the row headers scrolls on at the grid's bottom edge; with
// the search bar shown the rows end above the bar, and so does that edge.
TEST_F(GridClicks, RowHeaderDragScrollsWhereTheRowsEnd)
{
    G->SetRowCount(40);
    G->SetOptions(G->Options() | goRangeSelect);
    G->MouseActions()->RowSelect = true;
    G->SearchFooter()->SetVisible(true);
    gui::Settle();
    const int BarTop = G->ClientHeight() - 32;
    const int X = Middle(0, 3).x;
    Post(WM_MOUSEMOVE, 0, Middle(0, 3));
    ASSERT_EQ(G->CursorZone(), 2);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Middle(0, 3));
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{X, BarTop - 8});
    EXPECT_EQ(G->TopRow(), 1) << "above the edge";
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{X, BarTop + 4});
    EXPECT_EQ(G->TopRow(), 2) << "onto the bar";
    Post(WM_LBUTTONUP, 0, TPoint{X, BarTop + 4});
}

TEST_F(GridClicks, SelectionResizerFillsTheNewCellsFromTheOldOnes)
{
    G->SetOptions(G->Options() | goRangeSelect);
    G->SelectionRectangle = true;
    G->SelectionResizer = true;
    G->Navigation()->AllowSmartClipboard = true;
    G->Navigation()->AllowClipboardAlways = true;
    G->SetCells(2, 2, "seven");
    G->FocusCell(2, 2, true);
    TGridRect From{}, To{};
    int Resized = 0;
    G->OnSelectionResize = [&](TObject*, const TGridRect& A, const TGridRect& B) { From = A; To = B; };
    G->OnSelectionResized = [&](TObject*, const TGridRect&, const TGridRect&) { ++Resized; };
    const TRect R = G->CellRect(2, 2);
    const TPoint Handle{static_cast<int>(R.right) - 3, static_cast<int>(R.bottom) - 3};
    Post(WM_MOUSEMOVE, 0, Handle);
    EXPECT_EQ(G->CursorZone(), 5);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Handle);
    Post(WM_MOUSEMOVE, MK_LBUTTON, Middle(2, 3));
    Post(WM_MOUSEMOVE, MK_LBUTTON, Middle(2, 4));
    Post(WM_LBUTTONUP, 0, Middle(2, 4));
    EXPECT_EQ(From, (TGridRect{2, 2, 2, 2}));
    EXPECT_EQ(To, (TGridRect{2, 2, 2, 4}));
    EXPECT_EQ(Resized, 1);
    EXPECT_EQ(G->Cells(2, 3), "seven");
    EXPECT_EQ(G->Cells(2, 4), "seven");
}

TEST_F(GridClicks, FixedColumnSizedByItsOwnBorder)
{
    G->MouseActions()->SizeFixedCol = true;
    G->HintShowSizing = true;
    int Ended = -1;
    G->OnEndColumnSize = [&](TObject*, int ACol) { Ended = ACol; };
    const int Border = G->ColWidths(0);
    Post(WM_MOUSEMOVE, 0, TPoint{Border, 40});
    EXPECT_TRUE(G->FixedColSizingArmed());
    Post(WM_LBUTTONDOWN, MK_LBUTTON, TPoint{Border, 40});
    EXPECT_TRUE(G->FixedColSizingActive());
    Post(WM_MOUSEMOVE, MK_LBUTTON, TPoint{Border + 30, 40});
    ASSERT_NE(G->SizingHintWindow(), nullptr);
    EXPECT_TRUE(G->SizingHintVisible());
    EXPECT_EQ(G->SizingHintWindow()->Caption(), "cw=<b>" + std::to_string(Border + 30) + "</b>");
    Post(WM_LBUTTONUP, 0, TPoint{Border + 30, 40});
    EXPECT_FALSE(G->FixedColSizingActive());
    EXPECT_FALSE(G->SizingHintVisible());
    EXPECT_EQ(G->ColWidths(0), Border + 30);
    EXPECT_EQ(Ended, 0);
    // Off by default: the border arms nothing.
    G->MouseActions()->SizeFixedCol = false;
    Post(WM_MOUSEMOVE, 0, TPoint{G->ColWidths(0), 40});
    EXPECT_FALSE(G->FixedColSizingArmed());
}

TEST(GridAnchors, ShellSafeAnchors)
{
    EXPECT_TRUE(IsShellSafeAnchor("http://a.invalid"));
    EXPECT_TRUE(IsShellSafeAnchor("Https://a.invalid"));
    EXPECT_TRUE(IsShellSafeAnchor("MAILTO:x@y.invalid"));
    EXPECT_FALSE(IsShellSafeAnchor("file:///c:/x.exe"));
    EXPECT_FALSE(IsShellSafeAnchor("c:\\windows\\notepad.exe"));
    EXPECT_FALSE(IsShellSafeAnchor(" http://a.invalid"));
    EXPECT_FALSE(IsShellSafeAnchor("httpx://a.invalid"));
    EXPECT_FALSE(IsShellSafeAnchor(""));
}

} // namespace
