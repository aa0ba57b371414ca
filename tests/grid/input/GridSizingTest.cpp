// Column and row sizing: auto-size formulas over a stubbed text measurer,
// the stretch column, zoom limits, growing with the form, column proportions
// kept on resize, and sizing a column by dragging its border with the mouse.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "framework/Application.h"
#include "grid/core/CellGraphic.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/ProInplaceEdit.h"
#include "tests/support/GuiHarness.h"

namespace {

// A grid whose text and graphic sizes come from tables, so that the
// auto-size arithmetic is checked apart from fonts.
class TStubGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    std::map<std::pair<int, int>, TPoint> TextSize;
    std::map<std::pair<int, int>, TPoint> GraphicSize;

    TPoint GetCellGraphicSize(int ACol, int ARow) override
    {
        auto It = GraphicSize.find({ACol, ARow});
        return It == GraphicSize.end() ? TPoint{0, 0} : It->second;
    }

protected:
    TPoint MeasureCellText(int ACol, int ARow, bool) override
    {
        auto It = TextSize.find({ACol, ARow});
        return It == TextSize.end() ? TPoint{0, 0} : It->second;
    }
};

class GridSizing : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 700, 460);
        G = new TStubGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 420, 300);
        G->SetScrollBars(ssNone);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetDefaultColWidth(70);
        G->SetDefaultRowHeight(22);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TStubGrid* G = nullptr;
};

void PostMouse(TControl* C, UINT Msg, WPARAM Keys, TPoint P)
{
    const TPoint S = C->ClientToScreen(P);
    SetCursorPos(S.x, S.y);
    PostMessageW(static_cast<TWinControl*>(C)->Handle(), Msg, Keys, MAKELPARAM(P.x, P.y));
    gui::Settle();
}

// A left-button drag from one client point to another, through the message loop.
void Drag(TWinControl* C, TPoint From, TPoint To)
{
    PostMouse(C, WM_MOUSEMOVE, 0, From);
    PostMouse(C, WM_LBUTTONDOWN, MK_LBUTTON, From);
    PostMouse(C, WM_MOUSEMOVE, MK_LBUTTON, TPoint{(From.x + To.x) / 2, (From.y + To.y) / 2});
    PostMouse(C, WM_MOUSEMOVE, MK_LBUTTON, To);
    PostMouse(C, WM_LBUTTONUP, 0, To);
}

TEST_F(GridSizing, AutoSizeColumnFormulas)
{
    struct Case {
        const char* Name;
        std::function<void(TStubGrid*)> Setup;
        bool OnlyGrow;
        int Expected;
    };
    const Case Cases[] = {
        {"widest text", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->TextSize[{1, 2}] = {50, 14};
             G->TextSize[{1, 0}] = {10, 14};
         }, false, 2 + 50 + 4},
        {"graphic beside text", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->GraphicSize[{1, 1}] = {16, 16};
             G->TextSize[{1, 2}] = {40, 14};
         }, false, 2 + 46 + 4},
        {"all cells merged sideways", [](TStubGrid* G) {
             for (int R = 0; R < G->RowCount(); ++R) {
                 G->TextSize[{1, R}] = {200, 14};
                 G->MergeCells(1, R, 2, 1);
             }
         }, false, 2 + 4},
        {"only grow keeps a wider column", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->SetColWidths(1, 100);
         }, true, 100},
        {"only grow widens a narrow one", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->SetColWidths(1, 20);
         }, true, 2 + 30 + 4},
        {"shrinks without only grow", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->SetColWidths(1, 100);
         }, false, 2 + 30 + 4},
        {"maximum limit", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {90, 14};
             G->SetColumnSizeLimits(10, 40);
         }, false, 40},
        {"minimum limit", [](TStubGrid* G) {
             G->SetColumnSizeLimits(25, 0);
         }, false, 25},
        {"full-width graphic takes the cell less its margins", [](TStubGrid* G) {
             G->SetColWidths(1, 100);
             auto* Full = new TCellGraphic;
             Full->CellType = ctProgress;
             Full->CellHAlign = haFull;
             G->SetCellGraphicObject(1, 1, Full);
             G->TextSize[{1, 2}] = {20, 14};
         }, false, 2 + (100 - 2 - 4) + 4},
        {"combo drop-down always shown adds its button", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->TextSize[{1, 2}] = {40, 14};
             G->ControlLook()->SetDropDownAlwaysVisible(true);
             G->OnHasComboBox = [](TObject*, int, int ARow, bool& Has) { Has = ARow == 1; };
         }, false, 2 + 30 + 16 + 4},
        {"hook changes the width", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {30, 14};
             G->OnUpdateColumnSize = [](TObject*, int ACol, int& W) { if (ACol == 1) W = 77; };
         }, false, 77},
    };
    for (const Case& C : Cases) {
        auto* Grid = new TStubGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(440, 8, 240, 200);
        Grid->SetColCount(4);
        Grid->SetRowCount(4);
        C.Setup(Grid);
        Grid->AutoSizeColumnEx(1, C.OnlyGrow);
        EXPECT_EQ(Grid->ColWidths(1), C.Expected) << C.Name;
        delete Grid;
    }
}

TEST_F(GridSizing, AutoSizeColumnsAddsTheExtraWidthToScrollableColumnsOnly)
{
    G->TextSize[{0, 1}] = {90, 14};
    G->TextSize[{2, 1}] = {20, 14};
    G->AutoSizeColumns(false, 10);
    EXPECT_EQ(G->ColWidths(0), 70);
    EXPECT_EQ(G->ColWidths(1), 2 + 0 + 4 + 10);
    EXPECT_EQ(G->ColWidths(2), 2 + 20 + 4 + 10);
    G->AutoSizeColumns(true, 0);
    EXPECT_EQ(G->ColWidths(0), 2 + 90 + 4);
}

TEST_F(GridSizing, AutoSizeRowFormulas)
{
    struct Case {
        const char* Name;
        std::function<void(TStubGrid*)> Setup;
        bool OnlyGrow;
        int Expected;
    };
    const Case Cases[] = {
        {"tallest text", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 15};
             G->TextSize[{2, 1}] = {10, 30};
         }, false, 2 + 30 + 2},
        {"graphic above text adds up", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 15};
             G->GraphicSize[{1, 1}] = {16, 16};
         }, false, 2 + 31 + 2},
        {"a check box makes the row the default height", [](TStubGrid* G) {
             G->PutCheckBox(1, 1, true, false);
             G->GraphicSize[{1, 1}] = {13, 13};
             G->TextSize[{2, 1}] = {10, 8};
         }, false, 2 + 22 + 2},
        {"a taller text beside a check box wins", [](TStubGrid* G) {
             G->PutCheckBox(1, 1, true, false);
             G->GraphicSize[{1, 1}] = {13, 13};
             G->TextSize[{2, 1}] = {10, 40};
         }, false, 2 + 40 + 2},
        {"a data check box with a glyph counts no text", [](TStubGrid* G) {
             auto* Box = new TCellGraphic;
             Box->CellType = ctVirtCheckBox;
             G->SetCellGraphicObject(1, 1, Box);
             G->GraphicSize[{1, 1}] = {13, 13};
             G->TextSize[{1, 1}] = {10, 30};
         }, false, 2 + 13 + 2},
        {"full-height graphic takes its height less the margins", [](TStubGrid* G) {
             auto* Full = new TCellGraphic;
             Full->CellType = ctProgress;
             Full->CellVAlign = vaFull;
             G->SetCellGraphicObject(1, 1, Full);
             G->GraphicSize[{1, 1}] = {10, 60};
             G->TextSize[{1, 1}] = {10, 15};
         }, false, 2 + (60 - 2 - 4) + 2},
        {"covered cell of a merge counts nothing", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 15};
             G->TextSize[{3, 1}] = {10, 70};
             G->MergeCells(2, 1, 2, 1);
         }, false, 2 + 15 + 2},
        {"only grow keeps a higher row", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 15};
             G->SetRowHeights(1, 60);
         }, true, 60},
        {"ignored column is left out", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 15};
             G->TextSize[{2, 1}] = {10, 80};
             G->IgnoredColumns()->Add(2);
         }, false, 2 + 15 + 2},
        {"row limits", [](TStubGrid* G) {
             G->TextSize[{1, 1}] = {10, 80};
             G->SetRowSizeLimits(22, 50);
         }, false, 50},
    };
    for (const Case& C : Cases) {
        auto* Grid = new TStubGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(440, 8, 240, 200);
        Grid->SetColCount(4);
        Grid->SetRowCount(4);
        Grid->SetDefaultRowHeight(22);
        C.Setup(Grid);
        Grid->AutoSizeRowEx(1, C.OnlyGrow);
        EXPECT_EQ(Grid->RowHeights(1), C.Expected) << C.Name;
        delete Grid;
    }
}

TEST_F(GridSizing, RowLineCountTakesTheMostLinesOfTheRow)
{
    struct Case {
        const char* Text;
        int Lines;
    };
    const Case Cases[] = {{"one", 1}, {"a\r\nb\r\nc", 3}, {"a\rb", 2}, {"a\nb", 2}, {"a\r\n", 2}, {"", 1}};
    G->Multilinecells = true;
    for (const Case& C : Cases) {
        G->WriteCellText(3, 2, C.Text);
        EXPECT_EQ(G->RowLineCount(2), C.Lines) << G->RowLineCount(2) << " for " << C.Lines;
    }
    G->WriteCellText(1, 2, "x\r\ny");
    G->WriteCellText(4, 2, "1\r\n2\r\n3\r\n4");
    EXPECT_EQ(G->RowLineCount(2), 4) << "the last column counts too";
    G->Multilinecells = false;
    EXPECT_EQ(G->RowLineCount(2), 1);
}

TEST_F(GridSizing, RowHeightForLinesFormula)
{
    TBitmap B(1, 1);
    B.Canvas()->Font()->Assign(G->Font());
    const int TH = B.Canvas()->TextHeight("gh");
    ASSERT_GE(TH, 8);
    for (const auto& [Lines, Extra] : {std::pair<int, int>{1, 4}, {3, 4}, {5, 0}}) {
        G->SetRowHeightForLines(2, Lines, Extra);
        EXPECT_EQ(G->RowHeights(2), Extra + Lines * (TH + TH / 8)) << Lines << " lines";
    }
    G->SetRowSizeLimits(22, 40);
    G->SetRowHeightForLines(2, 6, 4);
    EXPECT_EQ(G->RowHeights(2), 40) << "within the row limits";
}

// A row that grows while its cell is typed into, until the rows no longer
// all fit, keeps the open editor over the cell with the text typed so far.
TEST(GridSizingTyping, GrowingRowKeepsTheEditorOverItsCell)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(40, 40, 500, 400);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(8, 8, 300, 260);
    G->SetScrollBars(ssVertical);
    G->SetColCount(3);
    G->SetRowCount(10);
    G->SetDefaultRowHeight(22);
    G->SetDefaultColWidth(90);
    G->SetOptions(G->Options() | goEditing);
    G->SetWordWrap(true);
    G->SizeWhileTyping.Height = true;
    Form->Show();
    gui::Settle();
    G->SetFocus();
    G->FocusCell(1, 8, true);
    ASSERT_GE(G->VisibleRowCount() + G->FixedRows(), G->RowCount()) << "all rows shown at the start";
    gui::PressKey(VK_F2);
    ASSERT_TRUE(G->EditorMode());
    gui::TypeText("one two three four five six seven eight nine ten");
    // The editor sizes the row when the key of the last character comes up.
    PostMessageW(GetFocus(), WM_KEYUP, 'N', static_cast<LPARAM>(1 | (3u << 30)));
    gui::Settle();
    EXPECT_LT(G->VisibleRowCount() + G->FixedRows(), G->RowCount()) << "the row grew past the grid";
    ASSERT_TRUE(G->EditorMode());
    auto* E = G->GetInplaceEditor();
    ASSERT_NE(E, nullptr);
    EXPECT_TRUE(E->Focused());
    EXPECT_EQ(E->Text(), "one two three four five six seven eight nine ten");
    const TRect R = G->CellRect(1, 8);
    ASSERT_GT(RectHeight(R), 0);
    RECT B;
    GetWindowRect(E->Handle(), &B);
    MapWindowPoints(nullptr, G->Handle(), reinterpret_cast<POINT*>(&B), 2);
    EXPECT_GE(B.left, R.left);
    EXPECT_GE(B.top, R.top);
    EXPECT_LE(B.right, R.right);
    EXPECT_LE(B.bottom, R.bottom);
    EXPECT_GT(B.bottom - B.top, 22) << "the editor grew with the row";
    delete Form;
}

TEST_F(GridSizing, StretchColumnCases)
{
    G->ColumnSize()->Stretch = true;
    const int CW = G->ClientWidth();
    ASSERT_GT(CW, 300);

    G->StretchColumn(-1);
    EXPECT_EQ(G->ColWidths(4), CW - 4 * 70 - 1) << "last column";
    G->StretchColumn(2);
    EXPECT_EQ(G->ColWidths(2), CW - (3 * 70 + G->ColWidths(4)) - 1) << "middle column";

    // A count change stretches the stretch column again.
    G->SetColCount(3);
    EXPECT_EQ(G->ColWidths(2), CW - 2 * 70 - 1) << "after a count change";

    G->SetColCount(1);
    G->StretchColumn(-1);
    EXPECT_EQ(G->ColWidths(0), CW) << "single column";

    // The other columns already fill the grid: the default width.
    G->SetColCount(8);
    for (int C = 0; C < 7; ++C)
        G->SetColWidths(C, 70);
    G->SetColWidths(7, 5);
    G->StretchColumn(-1);
    EXPECT_EQ(G->ColWidths(7), 70) << "overfilled";

    G->ColumnSize()->Stretch = false;
    G->SetColWidths(7, 5);
    G->StretchColumn(-1);
    EXPECT_EQ(G->ColWidths(7), 5) << "stretch off";
}

TEST_F(GridSizing, StretchColumnRefusesIndexesOutsideTheGrid)
{
    G->ColumnSize()->Stretch = true;
    for (int Index : {5, 6, -2, -100}) {
        try {
            G->StretchColumn(Index);
            ADD_FAILURE() << "no exception for " << Index;
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message, "Stretch column index out of range") << Index;
        }
    }
    for (int C = 0; C < 5; ++C)
        EXPECT_EQ(G->ColWidths(C), 70) << C;
}

TEST_F(GridSizing, ZoomLimitsAndSizes)
{
    G->SetColWidths(1, 1);
    G->Zoom(-1);
    EXPECT_EQ(G->ZoomLevel, -1);
    EXPECT_EQ(G->ColWidths(1), 1) << "a width of 1 stays";
    EXPECT_EQ(G->ColWidths(2), 69);
    EXPECT_EQ(G->RowHeights(1), 21);
    G->Zoom(3);
    EXPECT_EQ(G->ZoomLevel, 2);
    EXPECT_EQ(G->ColWidths(2), 72);
    G->Zoom(9);
    EXPECT_EQ(G->ZoomLevel, 2) << "past 10";
    EXPECT_EQ(G->ColWidths(2), 72);
    G->Zoom(8);
    EXPECT_EQ(G->ZoomLevel, 10);
    const int W = G->ColWidths(2);
    G->Zoom(1);
    EXPECT_EQ(G->ZoomLevel, 10);
    EXPECT_EQ(G->ColWidths(2), W);
    G->Zoom(-21);
    EXPECT_EQ(G->ZoomLevel, 10);
}

// Zooming leaves proportional thumbs that match the new sizes, not the
// plain ones each size change sets on the way.
TEST_F(GridSizing, ZoomLeavesProportionalThumbs)
{
    G->SetScrollBars(ssBoth);
    G->SetRowCount(40);
    G->SetColCount(12);
    G->SetScrollProportional(true);
    gui::Settle();
    G->Zoom(4);
    SCROLLINFO Zoomed{sizeof Zoomed, SIF_ALL, 0, 0, 0, 0, 0};
    SCROLLINFO ZoomedH{sizeof ZoomedH, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(G->Handle(), SB_VERT, &Zoomed);
    GetScrollInfo(G->Handle(), SB_HORZ, &ZoomedH);
    G->UpdateVertScrollProportion();
    G->UpdateHorzScrollProportion();
    SCROLLINFO Fresh{sizeof Fresh, SIF_ALL, 0, 0, 0, 0, 0};
    SCROLLINFO FreshH{sizeof FreshH, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(G->Handle(), SB_VERT, &Fresh);
    GetScrollInfo(G->Handle(), SB_HORZ, &FreshH);
    EXPECT_GT(Fresh.nPage, 1u);
    EXPECT_EQ(Zoomed.nPage, Fresh.nPage);
    EXPECT_EQ(Zoomed.nMax, Fresh.nMax);
    EXPECT_EQ(ZoomedH.nPage, FreshH.nPage);
    EXPECT_EQ(ZoomedH.nMax, FreshH.nMax);
}

TEST_F(GridSizing, GridFollowsItsForm)
{
    G->SizeWithForm = true;
    Form->SetBounds(40, 40, 760, 500);
    gui::Settle();
    EXPECT_EQ(G->Width(), 480);
    EXPECT_EQ(G->Height(), 340);
    // A resize that would leave the grid no width changes nothing.
    Form->SetBounds(40, 40, 200, 500);
    gui::Settle();
    EXPECT_EQ(G->Width(), 480);
    Form->SetBounds(40, 40, 700, 460);
    gui::Settle();
    EXPECT_EQ(G->Width(), 420) << "the form size of the refused resize was not remembered";
    EXPECT_EQ(G->Height(), 300);
}

TEST(GridSizingForm, FailingFormResizeHandlerIsDroppedAndTheGridStillFollows)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(40, 40, 500, 400);
    int Calls = 0;
    bool Armed = false;
    Form->OnResize = [&](TObject*) {
        ++Calls;
        if (Armed)
            throw Exception("form handler failed");
    };
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(8, 8, 300, 200);
    G->SizeWithForm = true;
    Form->Show();
    gui::Settle();
    int Reported = 0;
    auto Keep = Application->OnException;
    Application->OnException = [&](TObject*, const Exception&) { ++Reported; };
    const int Before = Calls;
    Armed = true;
    Form->SetBounds(40, 40, 560, 430);
    gui::Settle();
    Armed = false;
    Application->OnException = Keep;
    EXPECT_GT(Calls, Before) << "the form's handler still runs";
    EXPECT_EQ(Reported, 0);
    EXPECT_EQ(G->Width(), 360);
    EXPECT_EQ(G->Height(), 230);
    delete Form;
}

TEST_F(GridSizing, ColumnProportionsFollowTheGridWidth)
{
    G->SetColWidths(1, 100);
    G->SaveColumnProportions();
    G->ColumnSize()->SynchWithGrid = true;
    G->SetBounds(8, 8, 630, 300);
    gui::Settle();
    const double R = (630 + 2) / 420.0;
    EXPECT_EQ(G->ColWidths(1), static_cast<int>(R * 100));
    EXPECT_EQ(G->ColWidths(2), static_cast<int>(R * 70));
}

TEST_F(GridSizing, DraggingAColumnBorderSizesAllColumnsProportionally)
{
    G->SetOptions(G->Options() | goColSizing);
    G->MouseActions()->AllColumnSize = true;
    int Ended = -1;
    G->OnEndColumnSize = [&](TObject*, int ACol) { Ended = ACol; };
    const TRect R = G->CellRect(1, 0);
    Drag(G, TPoint{R.right, 10}, TPoint{R.right + 70, 10});
    EXPECT_EQ(Ended, 1);
    const int W = G->ColWidths(1);
    EXPECT_NEAR(W, 140, 2);
    EXPECT_EQ(G->ColWidths(0), 70) << "fixed column";
    for (int C = 2; C < 5; ++C)
        EXPECT_EQ(G->ColWidths(C), W) << C;
    EXPECT_EQ(G->ColSizingIndex(), -1);
}

TEST_F(GridSizing, ColumnSizeEventsVetoAndCorrectAMouseSizing)
{
    G->SetOptions(G->Options() | goColSizing);
    G->OnColumnSize = [](TObject*, int ACol, bool& Allow) { Allow = ACol != 1; };
    TRect R = G->CellRect(1, 0);
    Drag(G, TPoint{R.right, 10}, TPoint{R.right + 50, 10});
    EXPECT_EQ(G->ColWidths(1), 70) << "refused";
    EXPECT_EQ(G->GridState(), gsNormal);

    G->OnUpdateColumnSize = [](TObject*, int, int& W) { W = (W + 5) / 10 * 10; };
    R = G->CellRect(2, 0);
    Drag(G, TPoint{R.right, 10}, TPoint{R.right + 33, 10});
    EXPECT_EQ(G->ColWidths(2), 100) << "rounded by the hook";
    EXPECT_EQ(G->ColWidths(3), 70);
}

TEST_F(GridSizing, AutoSizeSetterStoresAndSizesWithExtraWidth)
{
    G->TextSize[{1, 2}] = {40, 14};
    G->SetAutoSize(true);
    EXPECT_TRUE(G->AutoSize());
    EXPECT_EQ(G->ColWidths(1), 2 + 40 + 4 + 10);
    EXPECT_EQ(G->ColWidths(0), 70) << "fixed column";
    G->SetAutoSize(false);
    EXPECT_FALSE(G->AutoSize());
}

TEST_F(GridSizing, OthersFollowAMouseSizedColumnRoundingHalvesToEven)
{
    G->SetOptions(G->Options() | goColSizing);
    G->MouseActions()->AllColumnSize = true;
    G->SetColWidths(2, 71);
    G->SetColWidths(3, 73);
    G->SetColWidths(4, 74);
    const TRect R = G->CellRect(1, 0);
    Drag(G, TPoint{R.right, 10}, TPoint{R.right + 35, 10});
    ASSERT_EQ(G->ColWidths(1), 105);
    EXPECT_EQ(G->ColWidths(2), 106) << "106.5";
    EXPECT_EQ(G->ColWidths(3), 110) << "109.5";
    EXPECT_EQ(G->ColWidths(4), 111);
}

// An editor open on the current cell keeps covering it when the cell's
// column or row changes size; the default editor closes over a check box.
TEST_F(GridSizing, OpenEditorFollowsItsCellsNewSize)
{
    struct Case {
        TEditorType Type;
        int DX, DY, DW, DH;  // bounds beside the cell rectangle less one pixel
    };
    const Case Cases[] = {{edSpinEdit, 0, 0, 0, 0}, {edButton, -1, -1, 2, 2}, {edUniEdit, 3, 3, -6, -6},
                          {edComboList, 0, 0, 0, 0}, {edUniComboEdit, 0, 0, 0, 0}};
    G->SetOptions(G->Options() | goEditing);
    for (const Case& C : Cases) {
        G->SetColWidths(1, 70);
        G->SetRowHeights(1, 22);
        G->DefaultEditor = C.Type;
        G->SetFocus();
        G->FocusCell(1, 1, true);
        G->StartCellEdit();
        gui::Settle();
        TWinControl* E = G->EditState().Shown;
        ASSERT_NE(E, nullptr) << C.Type;
        G->SetColWidths(1, 150);
        G->SetRowHeights(1, 40);
        const TRect R = G->CellRect(1, 1);
        EXPECT_EQ(E->Left(), R.left + C.DX) << C.Type;
        EXPECT_EQ(E->Top(), R.top + C.DY) << C.Type;
        RECT B;
        GetWindowRect(E->Handle(), &B);
        EXPECT_EQ(B.right - B.left, 150 - 1 + C.DW) << C.Type;
        EXPECT_EQ(B.bottom - B.top, 40 - 1 + C.DH) << C.Type << ": a combo's closed box too";
        G->SetFocus();
        G->EndCellEdit();
        gui::Settle();
    }
    G->DefaultEditor = edNormal;
    G->FocusCell(2, 2, true);
    G->ShowEditor();
    ASSERT_TRUE(G->EditorMode());
    G->SetColWidths(2, 90);
    EXPECT_TRUE(G->EditorMode()) << "a text cell keeps its editor";
    G->PutCheckBox(2, 2, true, false);
    G->SetColWidths(2, 100);
    EXPECT_FALSE(G->EditorMode()) << "no editor over a check box";
}

} // namespace
