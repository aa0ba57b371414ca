// Copy, cut and paste through the real clipboard under Wine: the text bytes,
// the three formats between two grids, smart fills and the paste rules.

#include <gtest/gtest.h>

#include <windows.h>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridDateUtils.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/GridClipboard.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "tests/support/GuiHarness.h"

namespace {

// A grid that records what its paste hook receives.
class THookedGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    void PasteSelectionHook(TPoint CopyFrom, const TRect& Pasted, bool WasCopy) override
    {
        HookFrom = CopyFrom;
        HookRect = Pasted;
        HookWasCopy = WasCopy;
        ++HookCalls;
    }
    TPoint HookFrom{-9, -9};
    TRect HookRect{};
    bool HookWasCopy = false;
    int HookCalls = 0;
};

class GridClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        A = MakeGrid();
        B = MakeGrid();
        B->SetBounds(260, 0, 250, 200);
        Form->SetBounds(20, 20, 560, 260);
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    THookedGrid* MakeGrid()
    {
        auto* G = new THookedGrid(Form);
        G->SetParent(Form);
        G->SetBounds(0, 0, 250, 200);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetFixedCols(0);
        G->SetFixedRows(0);
        G->SetOptions(G->Options() | goEditing);
        return G;
    }

    static String Text() { return TextOf(CF_TEXT); }
    static String TextOf(unsigned Format)
    {
        String B = ClipboardBytes(Format);
        B.resize(strnlen(B.data(), B.size()));
        return B;
    }
    static WideString UnicodeText()
    {
        const String B = ClipboardBytes(CF_UNICODETEXT);
        WideString W(reinterpret_cast<const wchar_t*>(B.data()), B.size() / sizeof(wchar_t));
        W.resize(wcsnlen(W.data(), W.size()));
        return W;
    }
    static void PutText(const String& S)
    {
        bool Opened = false;
        for (int Try = 0; Try < 40 && !Opened; ++Try) {
            Opened = OpenClipboard(nullptr) != 0;
            if (!Opened)
                Sleep(5);
        }
        ASSERT_TRUE(Opened);
        EmptyClipboard();
        HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, S.size() + 1);
        memcpy(GlobalLock(H), S.c_str(), S.size() + 1);
        GlobalUnlock(H);
        SetClipboardData(CF_TEXT, H);
        CloseClipboard();
    }
    void Select(TProStringGrid* G, int L, int T, int R, int Bt) { G->SetSelection(TGridRect{L, T, R, Bt}); }

    TForm* Form = nullptr;
    THookedGrid* A = nullptr;
    THookedGrid* B = nullptr;
};

TEST_F(GridClipboard, CopiedTextBytes)
{
    A->SetCells(0, 0, "a");
    A->SetCells(1, 0, "b");
    A->SetCells(0, 1, "c");
    A->SetCells(1, 1, "d");
    A->SetCells(2, 2, "two\r\nlines");
    A->SetCells(3, 2, "<b>x</b>");
    Select(A, 0, 0, 1, 1);
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), "a\tb\r\nc\td\r\n");
    EXPECT_EQ(A->CopyOrigin.x, 0);
    EXPECT_TRUE(A->LastClipboardActionWasCopy);
    Select(A, 0, 0, 1, 0);
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), "a\tb");
    Select(A, 2, 2, 3, 2);
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), "\"two\nlines\"\t<b>x</b>");
    A->Navigation()->CopyHTMLTagsToClipboard = false;
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), "\"two\nlines\"\tx");
}

// Packed wide text goes onto the clipboard converted, and whole as Unicode:
// its raw bytes would hold a NUL that ends the text.
TEST_F(GridClipboard, WideCellIsConvertedNotCopiedRaw)
{
    const WideString W = L"A\x4e2d\x00e9";
    A->WriteWideCellText(0, 0, W);
    A->SetCells(1, 0, "next");
    ASSERT_TRUE(IsPackedWideCell(A, 0, 0));
    Select(A, 0, 0, 1, 0);
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), WideToStr(W) + "\tnext");
    EXPECT_EQ(UnicodeText(), W + L"\tnext");
}

TEST_F(GridClipboard, TextRoundTripBetweenGrids)
{
    for (int R = 0; R < 3; ++R)
        for (int C = 0; C < 2; ++C)
            A->SetCells(C, R, "r" + IntToStr(R) + "c" + IntToStr(C));
    A->SetCells(1, 2, "multi\r\nline");
    Select(A, 0, 0, 1, 2);
    A->CopySelectionToClipboard();
    Select(B, 2, 1, 2, 1);
    B->PasteSelectionFromClipboard();
    for (int R = 0; R < 3; ++R)
        for (int C = 0; C < 2; ++C)
            EXPECT_EQ(B->Cells(2 + C, 1 + R), A->Cells(C, R)) << C << "," << R;
    EXPECT_EQ(B->HookFrom.x, -1);   // text pastes pass the pasting grid's own copy origin: none yet
}

TEST_F(GridClipboard, RichTextRoundTrip)
{
    const String Rtf = "{\\rtf1\\ansi hello}";
    A->SetCells(1, 1, Rtf);
    A->Navigation()->AllowRTFClipboard = true;
    B->Navigation()->AllowRTFClipboard = true;
    Select(A, 1, 1, 1, 1);
    A->CopySelectionToClipboard();
    static const UINT RtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    EXPECT_EQ(TextOf(RtfFormat), Rtf);
    EXPECT_EQ(B->PasteFromClipboardAt(3, 4), 0);
    EXPECT_EQ(B->Cells(3, 4), Rtf);
}

// A cell of wide text whose bytes hold "{\\" (U+7B5C) is offered as text
// only: as rich text its raw bytes would be cut at the NUL of the "a".
TEST_F(GridClipboard, WideCellIsNoRichText)
{
    const WideString W = L"a\x7B5C";
    A->WriteWideCellText(1, 1, W);
    ASSERT_NE(A->Cells(1, 1).find("{\\"), String::npos);
    A->Navigation()->AllowRTFClipboard = true;
    B->Navigation()->AllowRTFClipboard = true;
    Select(A, 1, 1, 1, 1);
    A->CopySelectionToClipboard();
    static const UINT RtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    EXPECT_FALSE(ClipboardHasFormat(RtfFormat));
    EXPECT_EQ(UnicodeText(), W);
    EXPECT_EQ(B->PasteFromClipboardAt(0, 0), 1);
    EXPECT_EQ(B->Cells(0, 0), WideToStr(W));
}

TEST_F(GridClipboard, CellFormatRoundTrip)
{
    A->Navigation()->AllowFmtClipboard = true;
    B->Navigation()->AllowFmtClipboard = true;
    A->SetCells(1, 1, "text");
    A->EnsureCellProperties(1, 1)->SetBrushColor(clYellow);
    A->PutCheckBox(2, 1, true, false);
    Select(A, 1, 1, 2, 1);
    A->CopySelectionToClipboard();
    EXPECT_TRUE(ClipboardHasFormat(ProGridClipboardFormat()));
    EXPECT_EQ(Text(), "text\tY");

    EXPECT_EQ(B->PasteFromClipboardAt(3, 4), 2);
    EXPECT_EQ(B->Cells(3, 4), "text");
    ASSERT_NE(B->CellProperties(3, 4), nullptr);
    EXPECT_EQ(B->CellProperties(3, 4)->BrushColor(), clYellow);
    bool State = false;
    ASSERT_TRUE(B->GetCheckBoxState(4, 4, State));
    EXPECT_TRUE(State);
    EXPECT_EQ(B->HookFrom.x, -1) << "from another grid";
    EXPECT_EQ(B->HookRect.left, 3);
    EXPECT_EQ(B->HookRect.right, 4);

    A->PasteFromClipboardAt(0, 4);
    EXPECT_EQ(A->HookFrom.x, 1) << "from the same grid: its copy origin";
    EXPECT_EQ(A->HookFrom.y, 1);
    EXPECT_EQ(A->Cells(0, 4), "text");
}

TEST_F(GridClipboard, PasteGrowsRowsAndColumns)
{
    PutText("x\ty\r\nz");
    EXPECT_EQ(A->PasteFromClipboardAt(4, 5), 3);
    EXPECT_EQ(A->RowCount(), 7);
    EXPECT_EQ(A->ColCount(), 6);
    EXPECT_EQ(A->Cells(5, 5), "y");
    EXPECT_EQ(A->Cells(4, 6), "z");
    A->Navigation()->AllowClipboardRowGrow = false;
    A->Navigation()->AllowClipboardColGrow = false;
    PutText("p\tq\r\nr\r\n");
    EXPECT_EQ(A->PasteFromClipboardAt(5, 6), 4);   // a final line end counts one more field
    EXPECT_EQ(A->RowCount(), 7);
    EXPECT_EQ(A->Cells(5, 6), "p");
}

TEST_F(GridClipboard, PasteRules)
{
    struct Fired {
        int Narrow = 0;
        int Wide = 0;
    } F;
    A->OnClipboardBeforePasteCell = [&](TObject*, int, int ARow, String& V, bool& Allow) {
        ++F.Narrow;
        if (ARow == 1)
            Allow = false;
        V += "!";
    };
    A->OnClipboardBeforePasteWideCell = [&](TObject*, int, int, WideString& V, bool&) {
        ++F.Wide;
        V += L"?";
    };
    // Packed wide text whose bytes hold no NUL, TAB or CR can travel as text.
    PutText("a\t" + PackWideText(L"\x4e2d\x6587") + "\r\nrefused");
    EXPECT_EQ(A->PasteFromClipboardAt(0, 0), 3);
    EXPECT_EQ(A->Cells(0, 0), "a!");
    EXPECT_EQ(A->ReadWideCellText(1, 0), L"\x4e2d\x6587?");
    EXPECT_EQ(A->Cells(0, 1), "");
    EXPECT_EQ(F.Narrow, 2);
    EXPECT_EQ(F.Wide, 1);

    B->SetOptions(B->Options() & ~goEditing);
    PutText("no");
    EXPECT_EQ(B->PasteFromClipboardAt(0, 0), 0);
    EXPECT_EQ(B->Cells(0, 0), "");
    B->Navigation()->AllowClipboardAlways = true;
    EXPECT_EQ(B->PasteFromClipboardAt(0, 0), 1);
    EXPECT_EQ(B->Cells(0, 0), "no");
}

TEST_F(GridClipboard, SmartFill)
{
    A->Navigation()->AllowSmartClipboard = true;
    const auto Column = [&](int C) {
        std::vector<String> V;
        for (int R = 0; R < 6; ++R)
            V.push_back(A->Cells(C, R));
        return V;
    };
    // A number series.
    PutText("1\r\n2");
    Select(A, 0, 0, 0, 4);
    A->PasteSelectionFromClipboard();
    EXPECT_EQ(Column(0), (std::vector<String>{"1", "2", "3", "4", "5", ""}));
    // A date series month by month.
    const String D1 = DateToStr(EncodeDate(2024, 1, 15));
    const String D2 = DateToStr(EncodeDate(2024, 2, 15));
    PutText(D1 + "\r\n" + D2 + "\r\n");
    Select(A, 1, 0, 1, 3);
    A->PasteSelectionFromClipboard();
    EXPECT_EQ(Column(1), (std::vector<String>{D1, D2, DateToStr(EncodeDate(2024, 3, 15)),
                                               DateToStr(EncodeDate(2024, 4, 15)), "", ""}));
    // A pattern repeats by the size it was pasted in, with or without a final line end.
    for (const char* Pasted : {"a\r\nb\r\n", "a\r\nb"}) {
        PutText(Pasted);
        Select(A, 2, 0, 2, 5);
        A->PasteSelectionFromClipboard();
        EXPECT_EQ(Column(2), (std::vector<String>{"a", "b", "a", "b", "a", "b"})) << Pasted;
    }
    // One value into a 3 x 3 selection.
    int Events = 0;
    A->OnClipboardBeforePasteCell = [&](TObject*, int, int, String&, bool&) { ++Events; };
    PutText("v");
    Select(A, 2, 2, 4, 4);
    Events = 0;
    A->PasteSelectionFromClipboard();
    for (int R = 2; R <= 4; ++R)
        for (int C = 2; C <= 4; ++C)
            EXPECT_EQ(A->Cells(C, R), "v") << C << "," << R;
    EXPECT_EQ(Events, 1 + 8);   // the paste itself, then the fill of the eight others
}

TEST_F(GridClipboard, CutClearsEditableCellsOnly)
{
    A->SetCells(0, 0, "keep");
    A->SetCells(1, 0, "go");
    A->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 0; };
    Select(A, 0, 0, 1, 0);
    A->CutSelectionToClipboard();
    EXPECT_EQ(Text(), "keep\tgo");
    EXPECT_EQ(A->Cells(0, 0), "keep");
    EXPECT_EQ(A->Cells(1, 0), "");
    EXPECT_FALSE(A->LastClipboardActionWasCopy);
}

// Cutting selected rows or columns clears, like the block cut, only the
// cells that may be edited, each recorded inside one undo group.
TEST_F(GridClipboard, CutOfSelectedRowsAndColumnsHonoursReadOnlyCellsAndUndo)
{
    for (const bool Rows : {true, false}) {
        SCOPED_TRACE(Rows ? "rows" : "columns");
        auto* G = MakeGrid();
        for (int R = 0; R < 3; ++R)
            for (int C = 0; C < 3; ++C)
                G->SetCells(C, R, std::to_string(C) + std::to_string(R));
        TProGridUndoRedo Rec(nullptr);
        Rec.MaxLevel = 100;
        G->SetUndoRedo(&Rec);
        // Cell (0,1) and (1,0) are read-only; both lie in the cut line.
        G->OnCanEditCell = [](TObject*, int ARow, int ACol, bool& CanEdit) {
            CanEdit = !((ACol == 0 && ARow == 1) || (ACol == 1 && ARow == 0));
        };
        if (Rows) {
            G->MouseActions()->SetDisjunctRowSelect(true);
            G->SetRowSelected(1, true);
        } else {
            G->MouseActions()->SetDisjunctColSelect(true);
            G->SetColSelected(1, true);
        }
        G->CutSelectionToClipboard();
        const int Line = 1;
        for (int I = 0; I < 3; ++I) {
            const int C = Rows ? I : Line;
            const int R = Rows ? Line : I;
            const bool ReadOnly = (C == 0 && R == 1) || (C == 1 && R == 0);
            EXPECT_EQ(G->Cells(C, R), ReadOnly ? std::to_string(C) + std::to_string(R) : "") << C << "," << R;
        }
        EXPECT_EQ(G->Cells(2, 2), "22") << "cells outside the cut stay";
        ASSERT_GE(Rec.Count(), 4);
        EXPECT_TRUE(Rec.Items(0)->SequenceStart);
        EXPECT_TRUE(Rec.Items(Rec.Count() - 1)->SequenceStop);
        std::vector<std::string> Changed;
        for (int I = 1; I + 1 < Rec.Count(); ++I)
            Changed.push_back(std::to_string(Rec.Items(I)->Col) + "," + std::to_string(Rec.Items(I)->Row) + " " +
                              Rec.Items(I)->OrigValue + ">" + Rec.Items(I)->Value);
        if (Rows)
            EXPECT_EQ(Changed, (std::vector<std::string>{"1,1 11>", "2,1 21>", "3,1 >", "4,1 >"}));
        else
            EXPECT_EQ(Changed, (std::vector<std::string>{"1,1 11>", "1,2 12>", "1,3 >", "1,4 >", "1,5 >"}));
        G->SetUndoRedo(nullptr);
    }
}

// Rows past 65535 cannot travel in the cell format: the copy offers the
// text alone instead of failing.
TEST_F(GridClipboard, BlockPast16BitRowsIsCopiedAsTextOnly)
{
    A->Navigation()->AllowFmtClipboard = true;
    A->SetRowCount(70000);
    A->SetCells(0, 69999, "last");
    Select(A, 0, 69998, 0, 69999);
    A->CopySelectionToClipboard();
    EXPECT_EQ(Text(), "\r\nlast\r\n");
    EXPECT_FALSE(ClipboardHasFormat(ProGridClipboardFormat()));
}

TEST(GridClipboardText, Measure)
{
    struct Case {
        const char* Text;
        int Width;
        int Last;
    };
    const Case Cases[] = {{"a\tb\tc\r\nd\r\n", 3, 1}, {"a", 1, 0}, {"a\r\nb\tc", 2, 1}, {"x\r\n\r\ny\r\n", 1, 1}};
    for (const Case& C : Cases) {
        int W = 0;
        int L = 0;
        MeasureClipboardText(C.Text, W, L);
        EXPECT_EQ(W, C.Width) << C.Text;
        EXPECT_EQ(L, C.Last) << C.Text;
    }
}

} // namespace
