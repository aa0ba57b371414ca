// The string grid in a real window, set up as the manager's channel tables
// are: slot numbers with check boxes, red numbers for slots that hold a
// code, names through the base-cell text operations, range selection; and
// the owner form's resize chain.

#include <cstdlib>

#include <gtest/gtest.h>

#include "grid/core/ProGrid.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr TColor NumberRed = 255;

// One channel table as the manager builds it: 10 columns x 20 rows, no
// fixed cells, number cells with a check box in the even columns.
TProStringGrid* MakeChannelTable(TForm* Form)
{
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(8, 8, 740, 470);
    G->SetColCount(10);
    G->SetRowCount(20);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    G->SetDefaultColWidth(33);
    const int Widths[] = {33, 120, 33, 120, 33, 120, 33, 120, 33, 119};
    for (int C = 0; C < 10; ++C)
        G->SetColWidths(C, Widths[C]);
    G->SetDefaultRowHeight(20);
    G->SetWordWrap(false);
    G->Font()->SetName("Tahoma");
    G->Font()->SetHeight(-11);
    G->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | goDrawFocusSelected);
    for (int K = 0; K < 5; ++K)
        for (int R = 0; R < 20; ++R) {
            const int Slot = K * 20 + R;
            char Num[4];
            std::snprintf(Num, sizeof Num, "%02d", Slot);
            G->WriteCellText(2 * K, R, Num);
            G->PutCheckBox(2 * K, R, false, false);
        }
    return G;
}

// Shows a slot as holding a code or not, as the manager does.
void ShowSlot(TProStringGrid* G, int Slot, bool HasCode, const String& Name)
{
    const int Col = (Slot / 20) * 2;
    const int Row = Slot % 20;
    G->ChangeCheckBoxState(Col, Row, HasCode);
    G->EnsureCellProperties(Col, Row)->FontColor = HasCode ? NumberRed : clBlack;
    G->WriteCellText(Col + 1, Row, Name);
}

// Pixels of a cell that are clearly red (the numbers of slots with codes).
int RedPixels(TBitmap* Shot, TProStringGrid* G, int Col, int Row)
{
    const TRect R = G->CellRect(Col, Row);
    int N = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X) {
            const COLORREF P = gui::PixelAt(Shot, X, Y);
            if (GetRValue(P) > GetGValue(P) + 60 && GetRValue(P) > GetBValue(P) + 60)
                ++N;
        }
    return N;
}

int DarkPixels(TBitmap* Shot, const TRect& R)
{
    int N = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X) {
            const COLORREF P = gui::PixelAt(Shot, X, Y);
            if (GetRValue(P) < 150 && GetGValue(P) < 150 && GetBValue(P) < 150 && std::abs(GetRValue(P) - GetGValue(P)) < 40)
                ++N;
        }
    return N;
}

TEST(GridObjectWindow, ChannelTableShowsNumbersNamesAndCodes)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(60, 60, 780, 540);
    TProStringGrid* G = MakeChannelTable(Form);
    ShowSlot(G, 0, true, "TV power");
    ShowSlot(G, 3, true, "Volume +");
    ShowSlot(G, 45, true, "DVD play");
    ShowSlot(G, 46, false, "");
    Form->Show();
    gui::Settle();

    // The manager's reads: names through the base cells, the check boxes,
    // the current slot from the selection.
    EXPECT_EQ(G->ReadCellText(1, 0), "TV power");
    EXPECT_EQ(G->ReadCellText(4, 5), "45");
    bool State = false;
    ASSERT_TRUE(G->GetCheckBoxState(4, 5, State));
    EXPECT_TRUE(State);
    ASSERT_TRUE(G->GetCheckBoxState(4, 6, State));
    EXPECT_FALSE(State);
    G->SelectCellRange(5, 5, 5, 5);
    EXPECT_EQ((G->SelectionRect().Left / 2) * 20 + G->SelectionRect().Top, 45);
    G->SelectCellRange(0, 3, 2, 4);
    EXPECT_EQ(G->SelectionRect(), (TGridRect{0, 2, 3, 4}));
    G->SelectCellRange(0, 0, 19, 19);
    gui::Settle();

    auto Shot = gui::CaptureControl(G);
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    gui::SaveScreenshot(Form, Dir.substr(0, Dir.find_last_of('\\') + 1) + "grid-object-channel-table.png");
    for (const auto& [C, R] : {std::pair{0, 0}, {0, 3}, {4, 5}})
        EXPECT_GT(RedPixels(Shot.get(), G, C, R), 5) << "number of slot at " << C << "," << R;
    for (const auto& [C, R] : {std::pair{0, 1}, {4, 6}, {8, 10}}) {
        EXPECT_EQ(RedPixels(Shot.get(), G, C, R), 0) << "number of empty slot at " << C << "," << R;
        EXPECT_GT(DarkPixels(Shot.get(), G->CellRect(C, R)), 5) << "black number at " << C << "," << R;
    }
    EXPECT_GT(DarkPixels(Shot.get(), G->CellRect(1, 0)), 10) << "the name is drawn";
    EXPECT_EQ(DarkPixels(Shot.get(), G->CellRect(3, 6)), 0) << "an empty name cell stays empty";
    delete Form;
}

// Sound behaviour: the owner form's resize chain stays valid whatever order
// the grids are destroyed in.
TEST(GridObjectWindow, FormResizeChainSurvivesAnyDestructionOrder)
{
    auto* Form = new TForm(Application);
    int Own = 0;
    Form->OnResize = [&](TObject*) { ++Own; };
    auto* A = new TProStringGrid(Form);
    auto* B = new TProStringGrid(Form);
    A->SetParent(Form);
    B->SetParent(Form);
    Form->SetBounds(50, 50, 300, 200);
    Form->Show();
    gui::Settle();
    const int Start = Own;
    Form->SetBounds(50, 50, 320, 220);
    gui::Settle();
    EXPECT_GT(Own, Start);
    delete A;   // the first grid goes first
    const int Mid = Own;
    Form->SetBounds(50, 50, 340, 240);
    gui::Settle();
    EXPECT_GT(Own, Mid) << "the form's own handler still runs";
    delete B;
    const int End = Own;
    Form->SetBounds(50, 50, 360, 260);
    gui::Settle();
    EXPECT_GT(Own, End) << "the form has its own handler back";
    delete Form;
}

// Sound behaviour: a paint while updates are held validates the window.
TEST(GridObjectWindow, PaintWhileUpdatesAreHeldDoesNotSpin)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(40, 40, 300, 200);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    Form->Show();
    gui::Settle();
    G->IncUpdateCount();
    const int Before = G->PaintID;
    G->SetCells(1, 1, "held");
    InvalidateRect(G->Handle(), nullptr, TRUE);
    gui::Settle();
    EXPECT_FALSE(GetUpdateRect(G->Handle(), nullptr, FALSE)) << "the held paint validated the window";
    EXPECT_EQ(G->PaintID, Before) << "nothing was drawn while held";
    G->EndUpdate();
    EXPECT_EQ(G->UpdateCount(), 0);
    gui::Settle();
    EXPECT_GT(G->PaintID, Before) << "the grid paints again after the bracket";
    delete Form;
}

TEST(GridObjectWindow, MergedRangeDrawsOnceAcrossItsCellsAndSnapsSelection)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(40, 40, 420, 260);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(0, 0, 400, 220);
    G->SetColCount(6);
    G->SetRowCount(6);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    G->SetOptions(G->Options() & ~static_cast<TGridOptions>(goRangeSelect));
    G->MergeCells(1, 1, 3, 1);
    G->WriteCellText(3, 1, "WWWWWW");
    G->EnsureCellProperties(1, 1)->Alignment = taCenter;
    G->SetCol(5);
    G->SetRow(5);
    Form->Show();
    gui::Settle();
    // The grid's window timer runs from window creation on.
    EXPECT_NE(KillTimer(G->Handle(), 111), 0);

    auto Shot = gui::CaptureControl(G);
    const TRect Middle = G->CellRect(2, 1);
    EXPECT_GT(DarkPixels(Shot.get(), Middle), 10) << "the text is centred over the whole range";
    // No grid line between the merged cells: the column border inside the
    // range has the background colour.
    const TRect First = G->CellRect(1, 1);
    const COLORREF Border = gui::PixelAt(Shot.get(), First.right, First.top + 2);
    const COLORREF Plain = gui::PixelAt(Shot.get(), First.left + 2, First.top + 2);
    EXPECT_EQ(Border, Plain);
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    gui::SaveScreenshot(Form, Dir.substr(0, Dir.find_last_of('\\') + 1) + "grid-object-merged.png");

    // A covered cell never becomes current: the move ends on the base cell.
    G->SetCol(0);
    G->SetRow(1);
    G->MoveColRow(3, 1, true, false);
    EXPECT_EQ(G->Col(), 1);
    EXPECT_EQ(G->Row(), 1);
    delete Form;
}

TEST(GridObjectWindow, ArrowKeysLeaveAMergedRangeInOnePress)
{
    for (const bool RangeSelect : {false, true}) {
        auto* Form = new TForm(Application);
        Form->SetBounds(40, 40, 420, 260);
        auto* G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(0, 0, 400, 220);
        G->SetColCount(6);
        G->SetRowCount(6);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        if (!RangeSelect)
            G->SetOptions(G->Options() & ~static_cast<TGridOptions>(goRangeSelect));
        G->MergeCells(1, 1, 3, 2);   // columns 1..3, rows 1..2
        Form->Show();
        gui::Settle();
        G->SetFocus();
        G->MoveColRow(1, 1, true, true);
        gui::Settle();
        gui::PressKey(VK_RIGHT);
        EXPECT_EQ(G->Col(), 4) << "Right, range select " << RangeSelect;
        EXPECT_EQ(G->Row(), 1);
        gui::PressKey(VK_LEFT);
        EXPECT_EQ(G->Col(), 1) << "Left back onto the range's base, range select " << RangeSelect;
        gui::PressKey(VK_DOWN);
        EXPECT_EQ(G->Row(), 3) << "Down, range select " << RangeSelect;
        EXPECT_EQ(G->Col(), 1);
        gui::PressKey(VK_UP);
        EXPECT_EQ(G->Row(), 1) << "Up back onto the base, range select " << RangeSelect;
        delete Form;
    }
}

} // namespace
