// Editing cells of the string grid in a real window: each editor type opened
// with F2 or by typing, edited with real keys and committed with Enter, Esc,
// validation that refuses a value, the order of the editing events, and the
// key protocol of the special editors.

#include <algorithm>
#include <functional>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ComboBox.h"
#include "grid/core/GridCellText.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/ControlEditors.h"
#include "grid/interaction/EditLink.h"
#include "grid/interaction/EditMask.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/InplaceEditors.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProInplaceEdit.h"
#include "grid/interaction/ProRichEdit.h"
#include "grid/interaction/psgcheck.h"
#include "tests/grid/editing/EditFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string ScreenshotPath(const std::string& Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}


// Whatever control holds the focus is one of the grid's editors, visible.
bool EditorFocused(TProStringGrid* G)
{
    HWND F = GetFocus();
    return F != nullptr && F != G->Handle() && IsChild(G->Handle(), F) && IsWindowVisible(F);
}

struct TypeCase {
    const char* Name;
    TEditorType Type;
    const char* Start;
    bool F2First;      // open with F2 (else the first typed character opens it)
    const char* Typed;
    const char* Expect;
};

TEST(GridEditing, EachEditorTypeEditsTheCellByKeyboard)
{
    const TypeCase Cases[] = {
        {"normal", edNormal, "old", false, "hello", "hello"},
        {"numeric drops letters", edNumeric, "", false, "12a3", "123"},
        {"numeric minus only first", edNumeric, "", false, "-1-2", "-12"},
        {"positive numeric drops minus", edPositiveNumeric, "", false, "-45", "45"},
        {"float one separator", edFloat, "", false, "1.2.5", "1.25"},
        {"upper case", edUpperCase, "", false, "abC", "ABC"},
        {"lower case", edLowerCase, "", false, "AbC", "abc"},
        {"mixed case", edMixedCase, "", false, "john smith", "John Smith"},
        {"password", edPassword, "", false, "secret", "secret"},
        {"spin edit", edSpinEdit, "5", true, "7", "57"},
        {"combo edit", edComboEdit, "a", true, "bc", "abc"},
        {"edit with button", edEditBtn, "x", true, "yz", "xyz"},
        {"numeric edit with button", edNumericEditBtn, "", true, "7q8", "78"},
        {"unit edit", edUnitEditBtn, "12 kg", true, "3", "123 kg"},
        {"unicode edit", edUniEdit, "", true, "wide", "wide"},
        {"unicode edit with button", edUniEditBtn, "", true, "wb", "wb"},
        {"unicode combo", edUniComboEdit, "", true, "uc", "uc"},
    };
    for (const TypeCase& C : Cases) {
        EditFixture F;
        F.Type = C.Type;
        F.G->WriteCellText(1, 1, C.Start);
        F.G->FocusCell(1, 1, true);
        gui::Settle();
        if (C.F2First) {
            F.Key(VK_F2);
            ASSERT_TRUE(EditorFocused(F.G)) << C.Name;
            // The caret to the end of the text (End is a key of its own in
            // the spin and combo editors).
            SendMessageW(GetFocus(), EM_SETSEL, 0x7fff, 0x7fff);
        }
        gui::TypeText(C.Typed);
        EXPECT_TRUE(EditorFocused(F.G)) << C.Name;
        F.Key(VK_RETURN);
        gui::Settle();
        String Cell = F.G->GetCellTextRaw(1, 1);
        if (C.Type == edUniEdit || C.Type == edUniEditBtn || C.Type == edUniComboEdit)
            Cell = WideToStr(F.G->ReadWideCellText(1, 1));
        EXPECT_EQ(Cell, C.Expect) << C.Name;
        EXPECT_FALSE(EditorFocused(F.G)) << C.Name << ": the editor closed";
    }
}

// A minus typed over the whole selected number replaces it: the caret of
// the check is where the selection starts.
TEST(GridEditing, NumericMinusReplacesANumberSelectedFromItsStart)
{
    EditFixture F;
    F.Type = edNumeric;
    ASSERT_TRUE(F.OpenWithCaretAtEnd(1, 1, "12"));
    SendMessageW(GetFocus(), EM_SETSEL, 0, -1);
    gui::TypeText("-5");
    F.Key(VK_RETURN);
    gui::Settle();
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "-5");
}

// Text typed into the combo editor reports each change to the grid.
TEST(GridEditing, ComboEditorReportsTypedTextAsEditChange)
{
    EditFixture F;
    F.Type = edComboEdit;
    std::vector<std::string> Log;
    F.G->OnEditChange = [&](TObject* Sender, int C, int R, const String& V) {
        Log.push_back((Sender == F.G ? "grid " : "other ") + std::to_string(C) + "," + std::to_string(R) + " " + V);
    };
    ASSERT_TRUE(F.OpenWithCaretAtEnd(1, 2, "a"));
    gui::TypeText("bc");
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back(), "grid 1,2 abc");
    F.Key(VK_RETURN);
    gui::Settle();
    EXPECT_EQ(F.G->GetCellTextRaw(1, 2), "abc");
}

// A cursor walk out of the default or the edit-with-button editor onto a
// neighbour with a check box makes that cell current and ends the edit with
// the typed text kept; to the right the walk starts past a merged span.
TEST(GridEditing, CursorWalkStopsOnACheckBoxNeighbour)
{
    struct WalkCase {
        const char* Name;
        TEditorType Type;
        bool Merged; // the edited cell spans columns 1 and 2
        Word Key;
        int From;
        int Box;
    };
    const WalkCase Cases[] = {
        {"default right", edNormal, false, VK_RIGHT, 1, 2},
        {"default left", edNormal, false, VK_LEFT, 3, 2},
        {"default right past a merged cell", edNormal, true, VK_RIGHT, 1, 3},
        {"button right", edEditBtn, false, VK_RIGHT, 1, 2},
        {"button left", edEditBtn, false, VK_LEFT, 3, 2},
        {"button right past a merged cell", edEditBtn, true, VK_RIGHT, 1, 3},
    };
    for (const WalkCase& C : Cases) {
        EditFixture F;
        F.Type = C.Type;
        F.G->Navigation()->CursorWalkEditor = true;
        if (C.Merged)
            F.G->MergeCells(1, 1, 2, 1);
        F.G->PutCheckBox(C.Box, 1, false, false);
        ASSERT_TRUE(F.OpenWithCaretAtEnd(C.From, 1, "ab")) << C.Name;
        if (C.Key == VK_RIGHT)
            gui::TypeText("c");
        else
            SendMessageW(GetFocus(), EM_SETSEL, 0, 0);
        F.Key(C.Key);
        gui::Settle();
        EXPECT_EQ(F.G->Col(), C.Box) << C.Name;
        EXPECT_FALSE(EditorFocused(F.G)) << C.Name;
        EXPECT_EQ(F.G->GetCellTextRaw(C.From, 1), C.Key == VK_RIGHT ? "abc" : "ab") << C.Name;
    }
}

// A grid that logs the key messages its default editor hands it.
class KeyHookGrid : public TProStringGrid {
public:
    using TProStringGrid::TProStringGrid;
    std::vector<WPARAM> Keys;
    void EditorMessageHook(TMessage& Message) override
    {
        if (Message.Msg == WM_KEYDOWN)
            Keys.push_back(Message.WParam);
    }
};

// Each key going down in the default editor reaches the grid's hook first;
// the key still works in the editor afterwards.
TEST(GridEditing, DefaultEditorHandsKeyDownsToTheGridHook)
{
    EditFixtureOf<KeyHookGrid> F;
    ASSERT_TRUE(F.OpenWithCaretAtEnd(1, 1, "ab"));
    F.G->Keys.clear();
    F.Key(VK_HOME);
    gui::TypeText("x");
    F.Key(VK_RETURN);
    gui::Settle();
    ASSERT_GE(F.G->Keys.size(), 1u);
    EXPECT_EQ(F.G->Keys.front(), static_cast<WPARAM>(VK_HOME));
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "xab");
}

TEST(GridEditing, SpinEditStepsWithUpAndHomeEnd)
{
    EditFixture F;
    F.Type = edSpinEdit;
    F.G->WriteCellText(1, 1, "5");
    F.G->FocusCell(1, 1, true);
    std::vector<std::pair<int, bool>> Clicks;
    F.G->OnSpinClick = [&](TObject*, int, int, int V, bool Up) { Clicks.push_back({V, Up}); };
    F.Key(VK_F2);
    ASSERT_TRUE(EditorFocused(F.G));
    F.Key(VK_UP);
    F.Key(VK_UP);
    EXPECT_TRUE(EditorFocused(F.G)) << "Up steps the value and keeps the editor";
    F.Key(VK_RETURN);
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "7");
    F.Key(VK_F2);
    F.Key(VK_HOME);
    ASSERT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Clicks[0], (std::pair<int, bool>{100, true}));
    F.Key(VK_RETURN);
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "100");
}

TEST(GridEditing, EscPutsTheOldTextBackInEveryEditor)
{
    for (TEditorType T : {edNormal, edNumeric, edEditBtn, edSpinEdit, edComboEdit, edUniEdit}) {
        EditFixture F;
        F.Type = T;
        F.G->WriteCellText(2, 2, "42");
        F.G->FocusCell(2, 2, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        SendMessageW(GetFocus(), EM_SETSEL, 0x7fff, 0x7fff);
        gui::TypeText("9");
        F.Key(VK_ESCAPE);
        gui::Settle();
        String Cell = T == edUniEdit ? WideToStr(F.G->ReadWideCellText(2, 2)) : F.G->GetCellTextRaw(2, 2);
        EXPECT_EQ(Cell, "42") << "type " << T;
        EXPECT_FALSE(EditorFocused(F.G)) << "type " << T;
        EXPECT_EQ(F.G->Col(), 2);
        EXPECT_EQ(F.G->Row(), 2);
    }
}

TEST(GridEditing, RefusedValueReopensTheEditorOnTheSameCell)
{
    for (TEditorType T : {edNormal, edEditBtn, edComboEdit}) {
        EditFixture F;
        F.Type = T;
        F.G->WriteCellText(1, 1, "ok");
        F.G->FocusCell(1, 1, true);
        int Validations = 0;
        F.G->OnCellValidate = [&](TObject*, int, int, String& V, bool& Valid) {
            ++Validations;
            Valid = V != "bad";
        };
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G));
        SendMessageW(GetFocus(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"bad"));
        F.Key(VK_RETURN);
        gui::Settle();
        EXPECT_GE(Validations, 1) << "type " << T;
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "ok") << "type " << T;
        EXPECT_TRUE(EditorFocused(F.G)) << "type " << T << ": the editor is open again";
        EXPECT_EQ(F.G->Col(), 1);
        EXPECT_EQ(F.G->Row(), 1);
        wchar_t Buf[32] = {};
        GetWindowTextW(GetFocus(), Buf, 32);
        EXPECT_EQ(std::wstring(Buf), L"ok") << "type " << T;
        gui::TypeText("fine");
        F.Key(VK_RETURN);
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1).substr(F.G->GetCellTextRaw(1, 1).size() - 4), "fine") << "type " << T;
    }
}

TEST(GridEditing, EventsOfOneEditComeInOrder)
{
    EditFixture F;
    F.G->SetFixedCols(1);
    F.G->WriteCellText(2, 1, "a");
    auto* Undo = new TProGridUndoRedo(F.Form);
    F.G->SetUndoRedo(Undo);
    std::vector<std::string> Log;
    F.G->OnCellValidate = [&](TObject*, int C, int R, String& V, bool&) {
        Log.push_back("validate " + std::to_string(C) + "," + std::to_string(R) + " " + V + " undo " +
                      std::to_string(Undo->Count()) + " modified " + std::to_string(F.G->IsRowModified(1)));
    };
    F.G->OnEditingDone = [&](TObject*) { Log.push_back("editing done"); };
    F.G->OnEditCellDone = [&](TObject*, int C, int R) {
        Log.push_back("edit cell done " + std::to_string(C) + "," + std::to_string(R));
    };
    F.G->FocusCell(2, 1, true);
    gui::TypeText("b");
    F.Key(VK_RETURN);
    F.G->FocusCell(3, 1, true);
    gui::PumpUntil([&] { return Log.size() >= 3; }, 10000);
    ASSERT_GE(Log.size(), 1u);
    EXPECT_EQ(Log[0], "validate 2,1 b undo 0 modified 0");
    EXPECT_EQ(Undo->Count() > 0, true) << "the change is recorded after validation";
    EXPECT_TRUE(F.G->IsRowModified(1));
    EXPECT_EQ(F.G->GetCellTextRaw(2, 1), "b");
    // Nothing changed: leaving fires no validation and records nothing.
    const std::size_t Before = Log.size();
    const int Records = Undo->Count();
    F.G->FocusCell(2, 1, true);
    F.Key(VK_F2);
    F.Key(VK_RETURN);
    F.G->FocusCell(3, 1, true);
    gui::Settle();
    for (std::size_t i = Before; i < Log.size(); ++i)
        EXPECT_EQ(Log[i].rfind("validate", 0), std::string::npos) << Log[i];
    EXPECT_EQ(Undo->Count(), Records);
}

// A checker that corrects to upper case and notes every call.
class TUpperChecker : public TProStringGridCheck {
public:
    using TProStringGridCheck::TProStringGridCheck;
    std::vector<std::string> Calls;
    String Correct(int ACol, int ARow, const String& Value) override
    {
        Calls.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + " " + Value);
        String Up = Value;
        for (char& C : Up)
            C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
        return Up;
    }
};

// What one validated edit left behind, read the same way for both kinds of
// editor: the cell's text, the checker's calls, the undo records (texts
// unpacked) and the modified rows.
struct EditOutcome {
    std::string Cell;
    std::vector<std::string> Checked;
    std::vector<std::string> Undo;
    std::vector<int> Modified;
    bool operator==(const EditOutcome&) const = default;
};

EditOutcome OutcomeOf(TProStringGrid& G, const TUpperChecker& Checker, const TProGridUndoRedo& Undo, int Col, int Row)
{
    EditOutcome O;
    O.Cell = WideToStr(G.ReadWideCellText(Col, Row));
    O.Checked = Checker.Calls;
    for (int I = 0; I < Undo.Count(); ++I) {
        const TUndoRedoItem* U = Undo.Items(I);
        O.Undo.push_back(std::to_string(U->Col) + "," + std::to_string(U->Row) + " " +
                         WideToStr(UnpackWideText(U->OrigValue)) + ">" + WideToStr(UnpackWideText(U->Value)));
    }
    for (int R = 0; R < G.RowCount(); ++R)
        if (G.IsRowModified(R))
            O.Modified.push_back(R);
    return O;
}

void PrintTo(const EditOutcome& O, std::ostream* Out)
{
    *Out << "cell \"" << O.Cell << "\" checked";
    for (const auto& C : O.Checked)
        *Out << " [" << C << "]";
    *Out << " undo";
    for (const auto& U : O.Undo)
        *Out << " [" << U << "]";
    *Out << " modified";
    for (int R : O.Modified)
        *Out << " " << R;
}

// The same edit through the 8-bit and the wide editor is checked, recorded
// for undo and marks its row alike; the edited row is marked even when the
// current row has moved on meanwhile.
TEST(GridEditing, NarrowAndWideEditsAreValidatedAlike)
{
    const EditOutcome Expected{"ABC", {"2,2 abc"}, {"2,2 old>ABC"}, {2}};
    std::vector<EditOutcome> Typed;
    for (TEditorType T : {edNormal, edUniEdit}) {
        EditFixture F;
        F.Type = T;
        F.G->SetFixedCols(1);
        TUpperChecker Checker(F.Form);
        Checker.AutoCorrect = true;
        F.G->CellChecker = &Checker;
        auto* Undo = new TProGridUndoRedo(F.Form);
        F.G->SetUndoRedo(Undo);
        F.G->WriteCellText(2, 2, "old");
        F.G->FocusCell(2, 2, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        SendMessageW(GetFocus(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
        F.Key(VK_RETURN);
        gui::Settle();
        Typed.push_back(OutcomeOf(*F.G, Checker, *Undo, 2, 2));
        F.G->CellChecker = nullptr;
    }
    EXPECT_EQ(Typed[0], Expected) << "8-bit editor";
    EXPECT_EQ(Typed[1], Expected) << "wide editor";

    // The current row moves while the cell of row 2 is edited (a grid
    // without a window moves without validating first).
    for (bool Wide : {false, true}) {
        auto G = std::make_unique<TProStringGrid>(nullptr);
        G->SetColCount(4);
        G->SetRowCount(6);
        G->SetFixedCols(1);
        G->SetFixedRows(1);
        TUpperChecker Checker(nullptr);
        Checker.AutoCorrect = true;
        G->CellChecker = &Checker;
        TProGridUndoRedo Undo(nullptr);
        G->SetUndoRedo(&Undo);
        G->WriteCellText(2, 2, "old");
        G->SetRow(2);
        G->SetCol(2);
        G->BeginCellEdit(2, 2);
        G->EditState().Started = true;
        G->SetRow(4);
        ASSERT_EQ(G->Row(), 4);
        EXPECT_TRUE(Wide ? G->ValidateWideCell(L"abc") : G->ValidateCell("abc"));
        EXPECT_EQ(OutcomeOf(*G, Checker, Undo, 2, 2), Expected) << (Wide ? "wide" : "8-bit");
        G->SetUndoRedo(nullptr);
        G->CellChecker = nullptr;
    }
}

// A wide value that the 8-bit code page cannot hold keeps its characters:
// the checker, which sees 8-bit text only, leaves it alone instead of
// turning those characters into '?'.
TEST(GridEditing, WideValueOutsideTheCodePageKeepsItsCharacters)
{
    const WideString Typed = L"abc\x0E01\x4E2D";
    ASSERT_NE(StrToWide(WideToStr(Typed)), Typed) << "the text must lie outside the code page";
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(4);
    G->SetRowCount(4);
    TUpperChecker Checker(nullptr);
    Checker.AutoCorrect = true;
    G->CellChecker = &Checker;
    G->WriteCellText(2, 2, "old");
    G->SetRow(2);
    G->SetCol(2);
    G->BeginCellEdit(2, 2);
    G->EditState().Started = true;
    EXPECT_TRUE(G->ValidateWideCell(Typed));
    EXPECT_TRUE(G->ReadWideCellText(2, 2) == Typed) << WideToStr(G->ReadWideCellText(2, 2));
    EXPECT_TRUE(Checker.Calls.empty());
    G->CellChecker = nullptr;
}

TEST(GridEditing, GridEditDoneArrivesAfterTheSpecialEditorIsGone)
{
    EditFixture F;
    F.Type = edEditBtn;
    F.G->WriteCellText(1, 1, "v");
    F.G->FocusCell(1, 1, true);
    bool Seen = false;
    bool EditorGoneThen = false;
    F.G->OnEditCellDone = [&](TObject*, int C, int R) {
        Seen = C == 1 && R == 1;
        EditorGoneThen = !EditorFocused(F.G);
    };
    F.Key(VK_F2);
    gui::TypeText("w");
    F.Key(VK_RETURN);
    ASSERT_TRUE(gui::PumpUntil([&] { return Seen; }, 10000));
    EXPECT_TRUE(EditorGoneThen);
}

TEST(GridEditing, EditorTypeNoneAndReadOnlyCellsStayClosed)
{
    EditFixture F;
    F.Type = edNone;
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    EXPECT_FALSE(EditorFocused(F.G));
    F.Type = edNormal;
    F.G->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol % 2 == 1; };
    F.G->FocusCell(2, 1, true);
    gui::TypeText("x");
    EXPECT_FALSE(EditorFocused(F.G));
    EXPECT_EQ(F.G->GetCellTextRaw(2, 1), "");
    F.G->FocusCell(3, 1, true);
    gui::TypeText("x");
    EXPECT_TRUE(EditorFocused(F.G));
    F.Key(VK_RETURN);
    EXPECT_EQ(F.G->GetCellTextRaw(3, 1), "x");
}

// The can-edit question: a covered cell of a merged range is answered for its
// base cell, a cell with properties is refused when read-only or when the grid
// does not edit, a cell without properties keeps the caller's answer, and the
// application's handler sees the base cell and has the last word.
TEST(GridEditing, CanEditCellAnswersForTheBaseCellWithTheEditingRules)
{
    EditFixture F;
    F.G->EnsureCellProperties(2, 1)->ReadOnly = true;
    F.G->EnsureCellProperties(3, 1);
    F.G->MergeCells(1, 3, 2, 1);
    F.G->MergeCells(1, 4, 2, 1);
    F.G->EnsureCellProperties(1, 4)->ReadOnly = true;
    struct Case {
        const char* Name;
        int Col, Row;
        bool GoEditing, RangeEdit, Allow;
        int Force; // -1: the handler keeps the answer, else it sets it
        bool Expected;
        int AskedCol, AskedRow;
    } Cases[] = {
        {"plain cell keeps true", 1, 1, true, false, true, -1, true, 1, 1},
        {"plain cell keeps false", 1, 1, true, false, false, -1, false, 1, 1},
        {"plain cell without goEditing keeps true", 1, 1, false, false, true, -1, true, 1, 1},
        {"read-only cell", 2, 1, true, false, true, -1, false, 2, 1},
        {"cell with properties, goEditing on", 3, 1, true, false, true, -1, true, 3, 1},
        {"cell with properties, goEditing off", 3, 1, false, false, true, -1, false, 3, 1},
        {"goEditing off, range select and edit", 3, 1, false, true, true, -1, true, 3, 1},
        {"false stays false with goEditing", 3, 1, true, false, false, -1, false, 3, 1},
        {"covered cell asks its base", 2, 3, true, false, true, -1, true, 1, 3},
        {"covered cell of a read-only base", 2, 4, true, false, true, -1, false, 1, 4},
        {"covered cell, goEditing off", 2, 3, false, false, true, -1, false, 1, 3},
        {"handler allows a read-only cell", 2, 1, true, false, true, 1, true, 2, 1},
        {"handler refuses an editable cell", 3, 1, true, false, true, 0, false, 3, 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        F.G->SetOptions(C.GoEditing ? F.G->Options() | goEditing : F.G->Options() & ~goEditing);
        F.G->MouseActions()->RangeSelectAndEdit = C.RangeEdit;
        int AskedCol = -1, AskedRow = -1, Asks = 0;
        F.G->OnCanEditCell = [&](TObject* Sender, int ARow, int ACol, bool& CanEdit) {
            EXPECT_EQ(Sender, F.G);
            AskedCol = ACol;
            AskedRow = ARow;
            ++Asks;
            if (C.Force >= 0)
                CanEdit = C.Force == 1;
        };
        EXPECT_EQ(F.G->CanEditCell(C.Col, C.Row, C.Allow), C.Expected);
        EXPECT_EQ(Asks, 1);
        EXPECT_EQ(AskedCol, C.AskedCol);
        EXPECT_EQ(AskedRow, C.AskedRow);
    }
}

// Editing follows the current cell: moving onto a read-only cell of an
// editing grid takes goEditing off and only suspends editing (the other cells
// keep their answer), the next editable cell puts it back; in a grid without
// goEditing a cell the application allows switches editing on.
TEST(GridEditing, EditingIsSuspendedOnARefusedCellAndFollowsTheCurrentCell)
{
    const auto Editing = [](TProStringGrid* G) { return (G->Options() & goEditing) != 0; };
    {
        EditFixture F;
        F.G->EnsureCellProperties(2, 1)->ReadOnly = true;
        F.G->EnsureCellProperties(3, 2);
        F.G->WriteCellText(2, 1, "kept");
        F.G->FocusCell(1, 1, true);
        ASSERT_TRUE(Editing(F.G));
        F.Key(VK_RIGHT);
        ASSERT_EQ(F.G->Col(), 2);
        EXPECT_FALSE(Editing(F.G)) << "goEditing stays on over a read-only cell";
        EXPECT_TRUE(F.G->EditState().Suspended);
        EXPECT_TRUE(F.G->CanEditCell(3, 2, true)) << "a suspended grid refused a cell with properties";
        gui::TypeText("x");
        EXPECT_FALSE(EditorFocused(F.G));
        EXPECT_EQ(F.G->GetCellTextRaw(2, 1), "kept");
        // A check box elsewhere still answers a click.
        F.G->PutCheckBox(4, 3, false, false);
        const TRect Box = F.G->CellRect(4, 3);
        gui::ClickAt(F.G, static_cast<int>(Box.left + Box.right) / 2, static_cast<int>(Box.top + Box.bottom) / 2);
        bool State = false;
        F.G->GetCheckBoxState(4, 3, State);
        EXPECT_TRUE(State) << "a click on a check box did nothing while editing was suspended";
        F.G->FocusCell(2, 1, true);
        ASSERT_TRUE(F.G->EditState().Suspended);
        F.Key(VK_RIGHT);
        ASSERT_EQ(F.G->Col(), 3);
        EXPECT_TRUE(Editing(F.G)) << "goEditing did not come back on an editable cell";
        EXPECT_FALSE(F.G->EditState().Suspended);
        gui::TypeText("y");
        F.Key(VK_RETURN);
        EXPECT_EQ(F.G->GetCellTextRaw(3, 1), "y");
    }
    {
        EditFixture F;
        F.G->SetOptions(F.G->Options() & ~goEditing);
        F.G->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol == 1; };
        F.G->FocusCell(2, 2, true);
        EXPECT_FALSE(Editing(F.G));
        EXPECT_FALSE(F.G->EditState().Suspended) << "nothing was suspended: the grid never edited";
        F.Key(VK_LEFT);
        ASSERT_EQ(F.G->Col(), 1);
        EXPECT_TRUE(Editing(F.G)) << "the application's cell did not switch editing on";
        gui::TypeText("z");
        F.Key(VK_RETURN);
        EXPECT_EQ(F.G->GetCellTextRaw(1, 2), "z");
        F.Key(VK_RIGHT);
        ASSERT_EQ(F.G->Col(), 2);
        EXPECT_FALSE(Editing(F.G));
        EXPECT_TRUE(F.G->EditState().Suspended);
    }
}

struct ProtocolCase {
    const char* Name;
    TEditorType Type;
    Word Key;
    bool Tabs;        // goTabs on
    bool Leaves;      // the editor closes
    int ColAfter;
    int RowAfter;
};

TEST(GridEditing, KeyProtocolOfTheSpecialEditors)
{
    const ProtocolCase Cases[] = {
        {"edit button Down leaves and moves", edEditBtn, VK_DOWN, false, true, 2, 3},
        {"edit button Tab with goTabs moves right", edEditBtn, VK_TAB, true, true, 3, 2},
        {"edit button Left stays", edEditBtn, VK_LEFT, false, false, 2, 2},
        {"spin Down steps and stays", edSpinEdit, VK_DOWN, false, false, 2, 2},
        {"spin Tab with goTabs moves right", edSpinEdit, VK_TAB, true, true, 3, 2},
        {"unicode edit Up leaves and moves", edUniEdit, VK_UP, false, true, 2, 1},
        {"unicode memo Enter stays", edUniMemo, VK_RETURN, false, false, 2, 2},
        {"unicode memo Tab with goTabs leaves", edUniMemo, VK_TAB, true, true, 3, 2},
        {"combo edit Down leaves", edComboEdit, VK_DOWN, false, true, 2, 3},
        {"combo list Down stays in the list", edComboList, VK_DOWN, false, false, 2, 2},
        {"combo list Right leaves and moves", edComboList, VK_RIGHT, false, true, 3, 2},
        {"check box Down leaves", edCheckBox, VK_DOWN, false, true, 2, 3},
        {"edit button Esc leaves and stays", edEditBtn, VK_ESCAPE, false, true, 2, 2},
        {"unit edit Up leaves and moves", edUnitEditBtn, VK_UP, false, true, 2, 1},
        {"unicode edit button Down leaves and moves", edUniEditBtn, VK_DOWN, false, true, 2, 3},
        {"unicode combo Down leaves and moves", edUniComboEdit, VK_DOWN, false, true, 2, 3},
        {"button Right leaves and moves", edButton, VK_RIGHT, false, true, 3, 2},
        {"date picker Tab with goTabs moves right", edDateEdit, VK_TAB, true, true, 3, 2},
        {"date picker Tab leaves and stays", edDateEdit, VK_TAB, false, true, 2, 2},
        {"date picker Esc leaves and stays", edDateEdit, VK_ESCAPE, false, true, 2, 2},
        {"date picker Down stays in the picker", edDateEdit, VK_DOWN, false, false, 2, 2},
    };
    for (const ProtocolCase& C : Cases) {
        if (C.Type == edDateEdit && !DatePickerAvailable())
            continue;   // without the common controls' date picker no editor opens
        EditFixture F;
        F.Type = C.Type;
        if (C.Tabs)
            F.G->SetOptions(F.G->Options() | goTabs);
        F.G->WriteCellText(2, 2, "1");
        F.G->OnGetEditorProp = [&F](TObject*, int, int, TEditLink*) {
            TStrings* Items = F.G->EditState().Combo->Items();
            if (Items->Count() == 0) {
                Items->Add("1");
                Items->Add("2");
            }
        };
        F.G->FocusCell(2, 2, true);
        gui::Settle();
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << C.Name;
        F.Key(C.Key);
        gui::Settle();
        EXPECT_EQ(!EditorFocused(F.G), C.Leaves) << C.Name;
        EXPECT_EQ(F.G->Col(), C.ColAfter) << C.Name;
        EXPECT_EQ(F.G->Row(), C.RowAfter) << C.Name;
    }
}

// A paste whose text the application changes pastes the changed text.
TEST(GridEditing, PasteChangedByTheApplicationPastesTheChangedValue)
{
    for (TEditorType T : {edNormal, edEditBtn}) {
        EditFixture F;
        F.Type = T;
        F.G->OnClipboardBeforePasteCell = [](TObject*, int, int, String& V, bool&) { V = "changed"; };
        ASSERT_TRUE(OpenClipboard(F.G->Handle()));
        EmptyClipboard();
        const wchar_t Text[] = L"clip";
        HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, sizeof Text);
        memcpy(GlobalLock(H), Text, sizeof Text);
        GlobalUnlock(H);
        SetClipboardData(CF_UNICODETEXT, H);
        CloseClipboard();
        F.G->FocusCell(1, 1, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G));
        SendMessageW(GetFocus(), WM_PASTE, 0, 0);
        F.Key(VK_RETURN);
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "changed") << "type " << T;
    }
}

// Case filters change whole characters; a double-byte character passes as it is.
TEST(GridEditing, CaseFiltersLeaveDoubleByteCharactersIntact)
{
    for (TEditorType T : {edUpperCase, edLowerCase, edMixedCase}) {
        EditFixture F;
        F.Type = T;
        F.G->FocusCell(1, 1, true);
        gui::TypeText("a中b");
        F.Key(VK_RETURN);
        const String Expect = T == edLowerCase ? "a中b" : (T == edUpperCase ? "A中B" : "A中b");
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), Expect) << "type " << T;
    }
}

TEST(GridEditing, LookupCompletesFromTheGridsItems)
{
    EditFixture F;
    F.G->Lookup = true;
    F.G->LookupItems()->Add("Berlin");
    F.G->LookupItems()->Add("Bern");
    F.G->FocusCell(1, 1, true);
    for (const char* K : {"B", "e"}) {
        const wchar_t W = static_cast<wchar_t>(K[0]);
        const HWND Target = GetFocus();
        PostMessageW(Target, WM_CHAR, W, 1);
        gui::Settle();
        PostMessageW(GetFocus(), WM_KEYUP, VkKeyScanW(W) & 0xff, static_cast<LPARAM>(1 | (3u << 30)));
        gui::Settle();
    }
    ASSERT_NE(F.G->GetInplaceEditor(), nullptr);
    EXPECT_EQ(F.G->GetInplaceEditor()->Text(), "Berlin");
    EXPECT_EQ(F.G->GetInplaceEditor()->SelStart(), 2);
    EXPECT_EQ(F.G->GetInplaceEditor()->SelLength(), 4);
}

// An edit link whose control is a combo box with an item far longer than
// any fixed buffer: the change event gets the whole item.
class ComboLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TComboBox* Combo = nullptr;
    TWinControl* GetEditControl() override { return Combo; }
    void CreateEditor(TWinControl* Parent) override
    {
        Combo = new TComboBox(Parent);
        Combo->SetParent(Parent);
        Combo->SetStyle(csDropDownList);
    }
    void GetEditorValue(String& Value) override { Value = Combo->Text(); }
    void SetEditorValue(const String& Value) override
    {
        const int I = Combo->Items()->IndexOf(Value);
        Combo->SetItemIndex(I);
    }
};

TEST(GridEditing, EditLinkComboItemIsReadWholeAndWrittenBack)
{
    EditFixture F;
    F.Type = edCustom;
    auto* Link = new ComboLink(F.Form);
    F.G->SetEditLink(Link);
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    ASSERT_NE(Link->Combo, nullptr);
    const String Long(600, 'x');
    Link->Combo->Items()->Add("short");
    Link->Combo->Items()->Add(Long + "end");
    String Seen;
    F.G->OnComboChange = [&](TObject*, int, int, int, const String& S) { Seen = S; };
    Link->Combo->SetItemIndex(1);
    SendMessageW(F.G->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Link->Combo->Handle()));
    EXPECT_EQ(Seen, Long + "end");
    F.G->EndCellEdit();
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), Long + "end");
}

TEST(GridEditing, ScreenshotsOfOpenEditors)
{
    for (TEditorType T : {edNormal, edSpinEdit, edFloatSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox,
                          edButton, edUnitEditBtn, edUniEdit, edUniEditBtn, edUniComboEdit, edUniMemo, edRichEdit,
                          edDateEdit, edTimeEdit, edDateTimeEdit}) {
        const bool Picker = T == edDateEdit || T == edTimeEdit || T == edDateTimeEdit;
        if (Picker && !DatePickerAvailable())
            continue;
        EditFixture F;
        F.Type = T;
        F.G->SetFixedCols(1);
        for (int R = 1; R < 6; ++R)
            for (int C = 1; C < 5; ++C)
                F.G->WriteCellText(C, R, "cell " + std::to_string(C) + std::to_string(R));
        F.G->FocusCell(2, 2, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        gui::Settle();
        gui::SaveScreenshot(F.Form, ScreenshotPath("grid-editing-type-" + std::to_string(T) + ".png"));
        // The open editor covers the cell: its pixels are not the grid's cell painting.
        RECT R{};
        GetWindowRect(GetFocus(), &R);
        EXPECT_GT(R.right - R.left, 20) << "type " << T;
        F.Key(VK_ESCAPE);
    }
}

} // namespace

namespace {

// Keys typed into the open editor pass the grid's OnKeyPress once each,
// the character that opened the editor included, and a key it drops never
// reaches the cell.
TEST(GridEditing, GridKeyPressFiltersKeysTypedIntoTheEditor)
{
    EditFixture F;
    String Seen;
    F.G->OnKeyPress = [&](TObject*, char& Key) {
        Seen += Key;
        const bool Hex = (Key >= '0' && Key <= '9') || (Key >= 'a' && Key <= 'f');
        if (Key != '\b' && (F.G->ReadCellText(F.G->Col(), F.G->Row()).size() >= 2 || !Hex))
            Key = 0;
    };
    F.G->FocusCell(1, 1, true);
    const struct {
        const char* Keys;
        const char* Cell;
    } Steps[] = {{"a", "a"}, {"g", "a"}, {"b", "ab"}, {"c", "ab"}, {"\b", "a"}, {"f", "af"}};
    for (const auto& S : Steps) {
        gui::TypeText(S.Keys);
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), S.Cell) << "after " << S.Keys;
    }
    EXPECT_EQ(Seen, "agbc\bf");
}

} // namespace

namespace {

// Fixed-cell editing opens when the application allows it and stays closed
// when it refuses; a refused value keeps the edit open on its cell.
TEST(GridEditing, FixedCellEditOpensOnlyWhenAllowedAndKeepsRefusedValues)
{
    EditFixture F;
    F.G->WriteCellText(2, 0, "Head");
    bool Allow = false;
    F.G->OnCanEditCell = [&](TObject*, int, int, bool& CanEdit) { CanEdit = Allow; };
    F.G->EditFixedCell(2, 0);
    gui::Settle();
    EXPECT_FALSE(EditorFocused(F.G)) << "refused: no edit";
    Allow = true;
    F.G->EditFixedCell(2, 0);
    gui::Settle();
    ASSERT_TRUE(EditorFocused(F.G)) << "allowed: the edit is open";
    const HWND Edit = GetFocus();
    F.G->OnCellValidate = [](TObject*, int, int, String& V, bool& Valid) { Valid = V != "no"; };
    SendMessageW(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"no"));
    gui::TypeText("\r");
    gui::Settle();
    EXPECT_EQ(F.G->GetCellTextRaw(2, 0), "Head");
    EXPECT_EQ(GetFocus(), Edit) << "refused: the edit stays open";
    SendMessageW(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Name"));
    gui::TypeText("\r");
    gui::Settle();
    EXPECT_EQ(F.G->GetCellTextRaw(2, 0), "Name");
    EXPECT_FALSE(IsWindowVisible(Edit));
}

TEST(GridEditing, FormControlEditorsWriteTheValueIntoTheControlTag)
{
    EditFixture F;
    F.G->SetDefaultRowHeight(30);
    F.G->WriteCellText(1, 1, "<CONTROL TYPE=\"PASSWORD\" ID=\"pw\" VALUE=\"\" WIDTH=\"60\">");
    std::string Done;
    F.G->OnControlEditDone = [&](TObject*, int R, int C, const String& ID, const String& Type, const String& V) {
        Done = std::to_string(C) + "," + std::to_string(R) + " " + ID + " " + Type + " " + V;
    };
    F.G->ShowControlEditor(F.G->ReadCellText(1, 1), "PASSWORD", 1, 1, 1, F.G->CellRect(1, 1), "", "pw");
    gui::Settle();
    ASSERT_TRUE(EditorFocused(F.G));
    EXPECT_EQ(SendMessageW(GetFocus(), EM_GETPASSWORDCHAR, 0, 0), L'*');
    gui::TypeText("abc\r");
    gui::Settle();
    EXPECT_EQ(Done, "1,1 pw PASSWORD abc");
    EXPECT_NE(F.G->GetCellTextRaw(1, 1).find("VALUE=\"abc\""), String::npos) << F.G->GetCellTextRaw(1, 1);

    // A combo the application makes a fixed list of 5 rows.
    F.G->WriteCellText(2, 1, "<CONTROL TYPE=\"COMBO\" ID=\"cb\" VALUE=\"two\" WIDTH=\"60\">");
    F.G->OnControlComboList = [](TObject*, int, int, const String&, const String&, const String&, TStrings* Values,
                                 bool& Edit, int& DropCount) {
        Values->Clear();
        Values->Add("one");
        Values->Add("two");
        Edit = false;
        DropCount = 5;
    };
    F.G->ShowControlEditor(F.G->ReadCellText(2, 1), "COMBO", 1, 2, 2, F.G->CellRect(2, 1), "two", "cb");
    gui::Settle();
    TControlCombo* Combo = F.G->EditState().ControlCombo;
    ASSERT_NE(Combo, nullptr);
    EXPECT_EQ(Combo->Style(), csDropDownList);
    EXPECT_EQ(Combo->DropDownCount(), 5);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    Combo->SetDroppedDown(false);
    Combo->SetItemIndex(0);
    F.G->SetFocus();
    gui::Settle();
    EXPECT_EQ(Done, "2,1 cb COMBO one");
    EXPECT_NE(F.G->GetCellTextRaw(2, 1).find("VALUE=\"one\""), String::npos) << F.G->GetCellTextRaw(2, 1);
}

// The "COMBO" control's editor is DropCount + 2 items high, closed box and
// open list together, whatever the number of items; read from the window.
TEST(GridEditing, FormControlComboIsDropCountPlusTwoItemsHigh)
{
    for (const bool Edit : {true, false}) {
        for (const int DropCount : {5, 12}) {
            SCOPED_TRACE(std::string(Edit ? "edit" : "list") + " " + std::to_string(DropCount));
            EditFixture F;
            F.G->SetDefaultRowHeight(30);
            F.G->WriteCellText(2, 1, "<CONTROL TYPE=\"COMBO\" ID=\"cb\" VALUE=\"item 3\" WIDTH=\"80\">");
            F.G->OnControlComboList = [&](TObject*, int, int, const String&, const String&, const String&,
                                          TStrings* Values, bool& E, int& Count) {
                Values->Clear();
                for (int i = 0; i < 20; ++i)
                    Values->Add("item " + std::to_string(i));
                E = Edit;
                Count = DropCount;
            };
            F.G->ShowControlEditor(F.G->ReadCellText(2, 1), "COMBO", 1, 2, 2, F.G->CellRect(2, 1), "item 3", "cb");
            gui::Settle();
            TControlCombo* C = F.G->EditState().ControlCombo;
            ASSERT_NE(C, nullptr);
            ASSERT_TRUE(C->DroppedDown());
            const int Item = static_cast<int>(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0));
            ASSERT_GT(Item, 0);
            RECT Box{};
            GetWindowRect(C->Handle(), &Box);
            RECT Dropped{};
            SendMessageW(C->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Dropped));
            EXPECT_EQ((Box.bottom - Box.top) + (Dropped.bottom - Dropped.top), Item * (DropCount + 2))
                << "box " << Box.bottom - Box.top << ", list " << Dropped.bottom - Dropped.top << ", item " << Item;
            C->SetDroppedDown(false);
        }
    }
}

} // namespace

namespace {

TEST(GridEditing, RichTextEditorStoresRichTextAndGrowsTheRow)
{
    EditFixture F;
    F.Type = edRichEdit;
    F.G->SizeWhileTyping.Height = true;
    F.G->WriteCellText(1, 1, "plain");
    F.G->FocusCell(1, 1, true);
    const int Before = F.G->RowHeights(1);
    F.Key(VK_F2);
    ASSERT_TRUE(EditorFocused(F.G));
    gui::TypeText("one\rtwo\rthree\rfour");
    gui::Settle();
    EXPECT_GT(F.G->RowHeights(1), Before) << "the row grew while typing";
    const TRect Cell = F.G->CellRect(1, 1);
    EXPECT_LE(Cell.top + F.G->RowHeights(1), F.G->ClientHeight()) << "never past the grid's bottom";
    F.G->SetFocus();
    gui::Settle();
    EXPECT_FALSE(EditorFocused(F.G));
    const String CellText = F.G->GetCellTextRaw(1, 1);
    EXPECT_EQ(CellText.rfind("{\\rtf", 0), 0u) << CellText;
    EXPECT_NE(CellText.find("four"), String::npos) << CellText;
}

// A rich-text editor stays open while the focus is in another window and
// ends its edit, keeping the typed text, when the focus comes back to the grid.
TEST(GridEditing, RichTextEditorEndsWhenTheFocusComesBackToTheGrid)
{
    EditFixture F;
    auto* Other = new TEdit(F.Form);
    Other->SetParent(F.Form);
    Other->SetBounds(8, 252, 100, 20);
    F.Type = edRichEdit;
    F.G->WriteCellText(1, 1, "plain");
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    ASSERT_TRUE(EditorFocused(F.G));
    gui::TypeText("typed");
    Other->SetFocus();
    gui::Settle();
    TProRichEdit* Rich = F.G->EditState().RichEditor;
    ASSERT_NE(Rich, nullptr);
    ASSERT_TRUE(Rich->Visible()) << "the editor closed when the focus went elsewhere";
    F.G->SetFocus();
    gui::Settle();
    EXPECT_FALSE(Rich->Visible()) << "the editor stayed open over the focused grid";
    EXPECT_EQ(GetFocus(), F.G->Handle());
    EXPECT_NE(F.G->GetCellTextRaw(1, 1).find("typed"), String::npos) << F.G->GetCellTextRaw(1, 1);
}

// The date-and-time editor writes back the value it shows.
// The date editor's border is covered by two frames in the window colour,
// also on a grid of another colour.
TEST(GridEditing, DateEditorBorderTakesTheWindowColour)
{
    if (!DatePickerAvailable())
        GTEST_SKIP() << "no date picker in the common controls";
    EditFixture F;
    F.G->SetColor(clYellow);
    F.Type = edDateEdit;
    F.G->WriteCellText(1, 1, DateToStr(NowDateTime()));
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    gui::Settle();
    TWinControl* Picker = F.G->EditState().DatePicker;
    ASSERT_NE(Picker, nullptr);
    ASSERT_TRUE(Picker->Visible());
    RECT W{};
    GetWindowRect(Picker->Handle(), &W);
    POINT O{0, 0};
    ClientToScreen(F.Form->Handle(), &O);
    auto Shot = gui::Capture(F.Form->Handle());
    const int X = W.left - O.x;
    const int Y = W.top - O.y;
    const int Wd = W.right - W.left;
    const int Ht = W.bottom - W.top;
    const COLORREF Window = ColorToRGB(clWindow);
    for (int I = 0; I < 2; ++I) {
        EXPECT_EQ(gui::PixelAt(Shot.get(), X + Wd / 2, Y + I), Window) << "top, line " << I;
        EXPECT_EQ(gui::PixelAt(Shot.get(), X + I, Y + Ht / 2), Window) << "left, line " << I;
        EXPECT_EQ(gui::PixelAt(Shot.get(), X + Wd / 2, Y + Ht - 1 - I), Window) << "bottom, line " << I;
        EXPECT_EQ(gui::PixelAt(Shot.get(), X + Wd - 1 - I, Y + Ht / 2), Window) << "right, line " << I;
    }
}

TEST(GridEditing, DateTimeEditorWritesBackItsOwnValue)
{
    if (!DatePickerAvailable())
        GTEST_SKIP() << "no date picker in the common controls";
    EditFixture F;
    FormatSettings().ShortDateFormat = "M/d/yyyy";
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
    F.Type = edDateTimeEdit;
    F.G->WriteCellText(1, 1, "12/25/2020 10:30");
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    gui::Settle();
    F.G->EndCellEdit();
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "12/25/2020 10:30");

    F.Type = edDateEdit;
    F.G->WriteCellText(2, 1, "3/4/2021");
    F.G->FocusCell(2, 1, true);
    F.Key(VK_F2);
    ASSERT_TRUE(EditorFocused(F.G));
    F.Key(VK_RETURN);
    EXPECT_NE(F.G->GetCellTextRaw(2, 1).find("2021"), String::npos) << F.G->GetCellTextRaw(2, 1);
}

class PopupEditLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TEdit* Edit = nullptr;
    int Opened = 0;
    TWinControl* GetEditControl() override { return Edit; }
    void CreateEditor(TWinControl* Parent) override
    {
        ++Opened;
        Edit = new TEdit(Parent);
        Edit->SetParent(Parent);
    }
    void DestroyEditor() override
    {
        delete Edit;
        Edit = nullptr;
    }
    void GetEditorValue(String& Value) override { Value = Edit != nullptr ? Edit->Text() : String(); }
    void SetEditorValue(const String& Value) override
    {
        if (Edit != nullptr)
            Edit->SetText(Value);
    }
};

// Once the popup's editor has the focus: Text typed into it, then the grid's
// form activated, which closes the popup.
::testing::AssertionResult TypeIntoPopupAndClose(EditFixture& F, PopupEditLink* Link, const wchar_t* Text)
{
    if (!gui::PumpUntil([&] { return Link->Edit != nullptr && Link->Edit->Focused(); }, 10000))
        return ::testing::AssertionFailure() << "the popup's editor never took the focus";
    SendMessageW(Link->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
    SetForegroundWindow(F.Form->Handle());
    SetActiveWindow(F.Form->Handle());
    gui::Settle();
    if (!gui::PumpUntil([&] { return !Link->PopupForm()->Visible(); }, 10000))
        return ::testing::AssertionFailure() << "the popup stayed open";
    return ::testing::AssertionSuccess();
}

// The popup of an edit link writes its value when it closes; the closed
// state then skips one focus gain of the grid and clears, so that the
// rich-text editor still ends its edit when the focus comes back later.
TEST(GridEditing, PopupEditLinkClosesOnceAndFocusHandlingGoesOn)
{
    EditFixture F;
    auto* Link = new PopupEditLink(F.Form);
    Link->EditStyle = esPopup;
    Link->PopupWidth = 120;
    Link->PopupHeight = 24;
    F.G->SetEditLink(Link);
    // An earlier edit in the default editor leaves its text there; the
    // popup's value must not be taken from it.
    ASSERT_TRUE(F.OpenWithCaretAtEnd(3, 3, "plain"));
    F.Key(VK_RETURN);
    ASSERT_NE(F.G->GetInplaceEditor(), nullptr);
    F.Type = edCustom;
    F.G->WriteCellText(1, 1, "start");
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    ASSERT_NE(Link->PopupForm(), nullptr);
    ASSERT_TRUE(TypeIntoPopupAndClose(F, Link, L"popped"));
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "popped");
    F.G->SetFocus();
    gui::Settle();
    EXPECT_FALSE(F.G->EditState().PopupClosed) << "cleared by the focus that followed";

    // Later edits end normally when the focus returns to the grid.
    F.Type = edRichEdit;
    F.G->FocusCell(2, 2, true);
    F.Key(VK_F2);
    ASSERT_TRUE(EditorFocused(F.G));
    gui::TypeText("x");
    F.G->SetFocus();
    gui::Settle();
    EXPECT_FALSE(F.G->EditState().Active);
    EXPECT_NE(F.G->GetCellTextRaw(2, 2).find("x"), String::npos);
}

// With AlwaysEdit and a cell that shows a combo button, a focus gain of the
// grid opens the cell's editor. The one gain that follows the popup closing
// opens nothing (the popup would come straight back) and still paints the
// focused cell; the next gain opens the editor again.
TEST(GridEditing, PopupClosedSkipsOnlyTheFocusGainThatFollows)
{
    EditFixture F;
    auto* Other = new TEdit(F.Form);
    Other->SetParent(F.Form);
    Other->SetBounds(8, 252, 100, 20);
    auto* Link = new PopupEditLink(F.Form);
    Link->EditStyle = esPopup;
    Link->PopupWidth = 120;
    Link->PopupHeight = 24;
    F.G->SetEditLink(Link);
    F.G->Navigation()->AlwaysEdit = true;
    F.G->OnHasComboBox = [](TObject*, int, int, bool& Has) { Has = true; };
    F.Type = edCustom;
    F.G->WriteCellText(1, 1, "start");
    F.G->FocusCell(1, 1, true);
    if (Link->Opened == 0)
        F.Key(VK_F2);
    ASSERT_EQ(Link->Opened, 1);
    ASSERT_TRUE(TypeIntoPopupAndClose(F, Link, L"popped"));
    gui::PumpFor(200);
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "popped");
    EXPECT_EQ(GetFocus(), F.G->Handle());
    EXPECT_EQ(Link->Opened, 1) << "the focus coming back opened the popup again";
    EXPECT_FALSE(Link->PopupForm()->Visible());
    EXPECT_FALSE(F.G->EditState().PopupClosed) << "cleared by the gain it skipped";
    // The focused cell is painted as focused: the same as after an ordinary
    // gain of the focus.
    const TRect Cell = F.G->CellRect(1, 1);
    const auto Skipped = gui::CaptureControl(F.G);
    Other->SetFocus();
    gui::Settle();
    F.G->OnHasComboBox = nullptr;
    F.G->SetFocus();
    gui::Settle();
    const auto Ordinary = gui::CaptureControl(F.G);
    for (int Y = static_cast<int>(Cell.top); Y < static_cast<int>(Cell.bottom); ++Y)
        for (int X = static_cast<int>(Cell.left); X < static_cast<int>(Cell.right); ++X)
            ASSERT_EQ(gui::PixelAt(Skipped.get(), X, Y), gui::PixelAt(Ordinary.get(), X, Y)) << X << "," << Y;
    ASSERT_EQ(Link->Opened, 1);

    // The next gain is handled: the editor opens again.
    Other->SetFocus();
    gui::Settle();
    F.G->OnHasComboBox = [](TObject*, int, int, bool& Has) { Has = true; };
    F.G->SetFocus();
    gui::Settle();
    EXPECT_EQ(Link->Opened, 2) << "the gain after the skipped one opens the editor";
    EXPECT_TRUE(Link->PopupForm()->Visible());
}

} // namespace

namespace {

// Characters typed with their key releases (the release is where type-ahead
// and sizing while typing run), each to the window that has the focus then.
void TypeWithKeyUps(const std::wstring& Text)
{
    for (wchar_t C : Text) {
        PostMessageW(GetFocus(), WM_CHAR, C, 1);
        gui::Settle();
        const SHORT Vk = VkKeyScanW(C);
        PostMessageW(GetFocus(), WM_KEYUP, Vk == -1 ? 0 : (Vk & 0xff), static_cast<LPARAM>(1 | (3u << 30)));
        gui::Settle();
    }
}

// The text of the window that has the focus.
std::wstring FocusText()
{
    wchar_t Buf[256] = {};
    GetWindowTextW(GetFocus(), Buf, 256);
    return Buf;
}

// Combo and spin buttons of cells not being edited, and password cells: the
// application's event decides where it is assigned, else the look's switch
// with the cell's editor type; a fixed cell never shows spin buttons.
TEST(GridEditing, EditorButtonsAndPasswordCellsFollowTheEventsAndTheLook)
{
    EditFixture F;
    F.G->SetFixedCols(1);
    F.Type = edComboList;
    EXPECT_FALSE(F.G->HasComboBox(2, 2)) << "drop-down buttons not always visible";
    F.G->ControlLook()->SetDropDownAlwaysVisible(true);
    EXPECT_TRUE(F.G->HasComboBox(2, 2));
    F.Type = edUniComboEdit;
    EXPECT_TRUE(F.G->HasComboBox(2, 2));
    F.Type = edEditBtn;
    EXPECT_FALSE(F.G->HasComboBox(2, 2));
    F.G->OnHasComboBox = [](TObject*, int ACol, int, bool& Has) { Has = ACol == 3; };
    EXPECT_FALSE(F.G->HasComboBox(2, 2)) << "the event decides over the type";
    EXPECT_TRUE(F.G->HasComboBox(3, 2));

    F.Type = edFloatSpinEdit;
    EXPECT_FALSE(F.G->HasSpinEdit(2, 2));
    F.G->ControlLook()->SetSpinButtonsAlwaysVisible(true);
    EXPECT_TRUE(F.G->HasSpinEdit(2, 2));
    EXPECT_FALSE(F.G->HasSpinEdit(0, 2)) << "fixed column";
    EXPECT_FALSE(F.G->HasSpinEdit(2, 0)) << "fixed row";
    F.G->OnHasSpinEdit = [](TObject*, int, int, bool& Has) { Has = true; };
    EXPECT_FALSE(F.G->HasSpinEdit(0, 2)) << "fixed cells, whatever the event says";
    F.Type = edNormal;
    EXPECT_TRUE(F.G->HasSpinEdit(2, 2));

    std::vector<std::pair<int, int>> Asked;
    F.G->OnIsPasswordCell = [&](TObject*, int ARow, int ACol, bool& IsPassword) {
        Asked.push_back({ACol, ARow});
        IsPassword = ACol == 2 && ARow == 3;
    };
    EXPECT_TRUE(F.G->IsPasswordCell(2, 3));
    EXPECT_FALSE(F.G->IsPasswordCell(3, 2));
    ASSERT_EQ(Asked.size(), 2u);
    EXPECT_EQ(Asked[0], (std::pair<int, int>{2, 3})) << "the event gets the row before the column";
}

// Text typed into the spin and edit-with-button editors reaches the cell as
// it is typed, as the default editor's does.
TEST(GridEditing, TypedTextOfSpinAndButtonEditorsReachesTheCellAsTyped)
{
    for (TEditorType T : {edNormal, edSpinEdit, edEditBtn}) {
        EditFixture F;
        // The live copy starts once the default editor has been used.
        F.G->FocusCell(3, 3, true);
        F.Key(VK_F2);
        F.Key(VK_ESCAPE);
        F.Type = T;
        ASSERT_TRUE(F.OpenWithCaretAtEnd(1, 1, "4")) << "type " << T;
        gui::TypeText("2");
        EXPECT_TRUE(EditorFocused(F.G)) << "type " << T;
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "42") << "type " << T << ": before the edit ends";
        F.Key(VK_ESCAPE);
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "4") << "type " << T << ": Esc puts the old text back";
    }
}

// A cell written by code while its editor is open: the editor shows the new
// text and closing it keeps that text (it never writes its old text back).
TEST(GridEditing, CodeWritingTheEditedCellUpdatesTheOpenEditor)
{
    for (TEditorType T : {edNormal, edEditBtn, edSpinEdit, edComboEdit}) {
        EditFixture F;
        F.Type = T;
        ASSERT_TRUE(F.OpenWithCaretAtEnd(1, 1, "1")) << "type " << T;
        gui::TypeText("2");
        F.G->SetCells(1, 1, "77");
        gui::Settle();
        EXPECT_EQ(FocusText(), L"77") << "type " << T;
        F.Key(VK_RETURN);
        gui::Settle();
        EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "77") << "type " << T;
        EXPECT_FALSE(EditorFocused(F.G)) << "type " << T;
    }
}

// The button editor presses when the left button is released over it.
TEST(GridEditing, ButtonEditorPressesOnLeftButtonRelease)
{
    EditFixture F;
    F.Type = edButton;
    F.G->WriteCellText(1, 1, "go");
    int Presses = 0;
    F.G->OnEllipsClick = [&](TObject*, int, int, String& S) {
        ++Presses;
        S = "went";
    };
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    TGridButton* B = F.G->EditState().Button;
    ASSERT_NE(B, nullptr);
    ASSERT_TRUE(B->Visible());
    gui::ClickAt(B, B->Width() / 2, B->Height() / 2);
    EXPECT_EQ(Presses, 1);
    EXPECT_EQ(B->Text(), "went");
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "went");
    gui::ClickAt(B, B->Width() / 2, B->Height() / 2, mbRight);
    EXPECT_EQ(Presses, 1) << "the right button does not press it";
}

// Typing widens the column with SizeWhileTyping.Width (only ever growing).
TEST(GridEditing, DefaultEditorGrowsTheColumnWhileTyping)
{
    EditFixture F;
    F.G->SizeWhileTyping.Width = true;
    F.G->FocusCell(1, 1, true);
    const int Before = F.G->ColWidths(1);
    TypeWithKeyUps(L"a rather long text that does not fit");
    EXPECT_GT(F.G->ColWidths(1), Before);
    const int Grown = F.G->ColWidths(1);
    F.Key(VK_BACK);
    gui::Settle();
    EXPECT_EQ(F.G->ColWidths(1), Grown) << "never shrinks";
    F.Key(VK_RETURN);
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "a rather long text that does not fi");
}

// A click with CaretPositioning puts the caret under the mouse, in the
// default editor and in a combo editor.
TEST(GridEditing, CaretGoesUnderTheMouseWhenAClickOpenedTheEditor)
{
    for (TEditorType T : {edNormal, edComboEdit}) {
        EditFixture F;
        F.Type = T;
        F.G->WriteCellText(1, 1, "abcdefgh");
        F.G->FocusCell(1, 1, true);
        const TRect R = F.G->CellRect(1, 1);
        POINT P{R.left + 4, R.top + RectHeight(R) / 2};
        ClientToScreen(F.G->Handle(), &P);
        SetCursorPos(P.x, P.y);
        F.G->EditState().CaretRequest = true;
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        DWORD S = 0;
        DWORD E = 0;
        const UINT Msg = T == edComboEdit ? static_cast<UINT>(CB_GETEDITSEL) : static_cast<UINT>(EM_GETSEL);
        const HWND Target = T == edComboEdit ? F.G->EditState().Combo->Handle() : GetFocus();
        SendMessageW(Target, Msg, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
        EXPECT_LE(E, 1u) << "type " << T << ": the caret is at the left, not at the end";
        EXPECT_EQ(S, E) << "type " << T;
        EXPECT_FALSE(F.G->EditState().CaretRequest) << "type " << T;
        F.Key(VK_ESCAPE);
    }
}

// A combo editor's closed box fills its cell's height, and the area of its
// open list is DropDownCount + 1 items high whatever the number of items,
// read from the real windows.
TEST(GridEditing, ComboEditorBoxFillsTheCellAndListShowsDropDownCountPlusOne)
{
    for (TEditorType T : {edComboEdit, edComboList, edUniComboEdit, edUniComboList}) {
        EditFixture F;
        F.Type = T;
        F.G->SetDefaultRowHeight(34);
        F.G->FocusCell(1, 1, true);
        F.Key(VK_F2);
        F.Key(VK_ESCAPE);
        const bool Uni = T == edUniComboEdit || T == edUniComboList;
        TCustomComboBox* C = Uni ? static_cast<TCustomComboBox*>(F.G->EditState().UniCombo)
                                 : static_cast<TCustomComboBox*>(F.G->EditState().Combo);
        ASSERT_NE(C, nullptr) << "type " << T;
        for (int i = 0; i < 20; ++i) {
            if (Uni)
                F.G->EditState().UniCombo->Items()->Add(L"item " + std::to_wstring(i));
            else
                C->Items()->Add("item " + std::to_string(i));
        }
        F.G->FocusCell(2, 2, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        const TRect Cell = F.G->CellRect(2, 2);
        const int H = static_cast<int>(Cell.bottom - Cell.top) - 1;
        RECT Box{};
        GetWindowRect(C->Handle(), &Box);
        EXPECT_EQ(Box.bottom - Box.top, H) << "type " << T << ": the closed box is as high as the cell";
        const int Item = static_cast<int>(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0));
        ASSERT_GT(Item, 0);
        SendMessageW(C->Handle(), CB_SHOWDROPDOWN, TRUE, 0);
        gui::Settle();
        RECT Dropped{};
        SendMessageW(C->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&Dropped));
        EXPECT_EQ(Dropped.bottom - Dropped.top, Item * (C->DropDownCount() + 1))
            << "type " << T << ": item height " << Item;
        // The list itself keeps to whole items: at least DropDownCount show.
        COMBOBOXINFO Info{};
        Info.cbSize = sizeof(Info);
        ASSERT_TRUE(GetComboBoxInfo(C->Handle(), &Info));
        RECT List{};
        GetWindowRect(Info.hwndList, &List);
        EXPECT_TRUE(IsWindowVisible(Info.hwndList)) << "type " << T;
        EXPECT_GE(List.bottom - List.top, Item * C->DropDownCount()) << "type " << T;
        SendMessageW(C->Handle(), CB_SHOWDROPDOWN, FALSE, 0);
        F.Key(VK_ESCAPE);
    }
}

// The wheel steps through a combo editor's items and reports each step.
TEST(GridEditing, WheelStepsThroughTheComboItems)
{
    for (TEditorType T : {edComboList, edUniComboList}) {
        EditFixture F;
        F.Type = T;
        F.G->WriteCellText(1, 1, "b");
        F.G->OnGetEditorProp = [&F](TObject*, int, int, TEditLink*) {
            TStrings* Items = F.G->EditState().Combo->Items();
            if (Items->Count() == 0)
                for (const char* S : {"a", "b", "c"})
                    Items->Add(S);
        };
        std::vector<std::string> Log;
        F.G->OnEditChange = [&](TObject*, int, int, const String& V) { Log.push_back("edit " + V); };
        F.G->OnComboChange = [&](TObject*, int, int, int I, const String& V) {
            Log.push_back("combo " + std::to_string(I) + " " + V);
        };
        if (T == edUniComboList) {
            TGridUniCombo* U = nullptr;
            F.G->FocusCell(2, 2, true);
            F.Key(VK_F2);
            U = F.G->EditState().UniCombo;
            ASSERT_NE(U, nullptr);
            F.Key(VK_ESCAPE);
            U->Items()->Clear();
            for (const wchar_t* S : {L"a", L"b", L"c"})
                U->Items()->Add(S);
            F.G->WriteWideCellText(1, 1, L"b");
            Log.clear();
        }
        F.G->FocusCell(1, 1, true);
        F.Key(VK_F2);
        ASSERT_TRUE(EditorFocused(F.G)) << "type " << T;
        Log.clear();
        const HWND Focus = GetFocus();
        SendMessageW(Focus, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        SendMessageW(Focus, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        SendMessageW(Focus, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA)), 0);
        const std::vector<std::string> Expect = {"edit c", "combo 2 c", "edit b", "combo 1 b"};
        EXPECT_EQ(Log, Expect) << "type " << T << ": the second step down stays at the last item";
        EXPECT_TRUE(EditorFocused(F.G)) << "type " << T;
        // A key choosing another item of the list is reported too.
        Log.clear();
        F.Key(VK_UP);
        EXPECT_TRUE(EditorFocused(F.G)) << "type " << T << ": Up stays in the list";
        ASSERT_FALSE(Log.empty()) << "type " << T;
        EXPECT_NE(std::find(Log.begin(), Log.end(), "combo 0 a"), Log.end()) << "type " << T;
        F.Key(VK_RETURN);
    }
}

// Type-ahead in the Unicode combo completes from its own items.
TEST(GridEditing, UnicodeComboCompletesFromItsItems)
{
    EditFixture F;
    F.G->Lookup = true;
    F.Type = edUniComboEdit;
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    TGridUniCombo* U = F.G->EditState().UniCombo;
    ASSERT_NE(U, nullptr);
    U->Items()->Add(L"Abc\x4e2d");
    U->Items()->Add(L"abd");
    TypeWithKeyUps(L"ab");
    EXPECT_EQ(U->Text(), L"abc\x4e2d");
    DWORD S = 0;
    DWORD E = 0;
    SendMessageW(U->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
    EXPECT_EQ(S, 2u);
    EXPECT_EQ(E, 4u);
    F.Key(VK_BACK);
    gui::Settle();
    EXPECT_EQ(U->Text(), L"ab") << "nothing is completed after Backspace";
}

// Tab in a form-control editor opens the next editable control of the cell;
// a masked control takes only what fits its mask.
TEST(GridEditing, FormControlsOfACellAreVisitedInTurnAndMasksAreKept)
{
    EditFixture F;
    F.G->SetDefaultRowHeight(30);
    F.G->SetColWidths(1, 300);
    F.G->WriteCellText(1, 1,
                       "<CONTROL TYPE=\"EDIT\" ID=\"a\" VALUE=\"x\" WIDTH=\"60\"> "
                       "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\"> "
                       "<CONTROL TYPE=\"MASK\" ID=\"m\" VALUE=\"\" WIDTH=\"80\" PROP=\"00/00;0;_\">");
    std::vector<std::string> Done;
    F.G->OnControlEditDone = [&](TObject*, int, int, const String& ID, const String&, const String& V) {
        Done.push_back(ID + "=" + V);
    };
    F.G->FocusCell(1, 1, true);
    F.G->FocusCellControl(1, 1, "");
    gui::Settle();
    ASSERT_TRUE(EditorFocused(F.G));
    EXPECT_EQ(FocusText(), L"x");
    SendMessageW(GetFocus(), EM_SETSEL, 0x7fff, 0x7fff);
    gui::TypeText("y\t");
    gui::Settle();
    ASSERT_TRUE(EditorFocused(F.G)) << "Tab opens the masked control (the check box is skipped)";
    EXPECT_EQ(F.G->EditState().CtrlID, "m");
    gui::TypeText("1a2b34");
    EXPECT_EQ(FocusText(), L"12/34") << "letters refused, the literal put in";
    gui::TypeText("5");
    EXPECT_EQ(FocusText(), L"12/34") << "nothing past the mask";
    gui::TypeText("\r");
    gui::Settle();
    const std::vector<std::string> Expect = {"a=xy", "m=1234"};
    EXPECT_EQ(Done, Expect) << "the mask does not keep its literals in the value";
    const String Cell = F.G->GetCellTextRaw(1, 1);
    EXPECT_NE(Cell.find("VALUE=\"xy\""), String::npos) << Cell;
    EXPECT_NE(Cell.find("VALUE=\"1234\""), String::npos) << Cell;
    // Opened again, the value shows with its literals.
    F.G->FocusCellControl(1, 1, "c");
    gui::Settle();
    EXPECT_EQ(FocusText(), L"12/34");
    F.G->SetFocus();
    gui::Settle();
}

TEST(GridEditing, EditMaskSlotsAndLiterals)
{
    const struct {
        const char* Mask;
        const char* Typed;
        const wchar_t* Text;
        const wchar_t* Value;
        bool Complete;
    } Cases[] = {
        {"00/00;0;_", "1234", L"12/34", L"1234", true},
        {"00/00;1;_", "12", L"12/", L"12/", false},
        {"99-99", "1x2", L"12-", L"12-", true},
        {">LL-aa", "abc9", L"AB-C9", L"AB-C9", true},
        {"<ll", "XY", L"xy", L"xy", true},
        {"\\A00", "A12", L"A12", L"A12", true},
        {"#0", "-5", L"-5", L"-5", true},
    };
    for (const auto& C : Cases) {
        TEditMask M(C.Mask);
        WideString T;
        int Caret = 0;
        for (const char* P = C.Typed; *P != 0; ++P)
            M.Type(T, Caret, static_cast<wchar_t>(*P));
        EXPECT_EQ(T, C.Text) << C.Mask;
        EXPECT_EQ(M.Value(T), C.Value) << C.Mask;
        EXPECT_EQ(M.Complete(T), C.Complete) << C.Mask;
    }
}

} // namespace

namespace {

struct FlowCase {
    const char* Name;
    std::function<void(EditFixture&)> Run;   // sets up, acts and checks
};

bool Editing(TProStringGrid* G) { return (G->Options() & goEditing) != 0; }

// Leaves the grid for another control of the form and enters it again.
void ReEnter(EditFixture& F)
{
    auto* Other = new TEdit(F.Form);
    Other->SetParent(F.Form);
    Other->SetBounds(8, 252, 100, 20);
    Other->SetFocus();
    gui::Settle();
    F.G->SetFocus();
    gui::Settle();
}

} // namespace

// The steps of the editing flow that follow a move, or a question about the
// cell that is already current: editing follows what the current cell
// allows now (an open edit stays); the headers of a range selection's far corner are repainted;
// a row reaching under the floating footer moves up whole above it; a
// keyboard move onto a merged range (without range selection) opens the
// editor on its base cell when the grid edits directly or shows its combo
// buttons always.
TEST(GridEditing, EditingFlowStepsAfterTheMove)
{
    const FlowCase Cases[] = {
        {"current cell made read-only stays closed once the grid is entered again",
         [](EditFixture& F) {
             F.G->WriteCellText(1, 1, "kept");
             F.G->FocusCell(1, 1, true);
             ASSERT_TRUE(Editing(F.G));
             F.G->EnsureCellProperties(1, 1)->ReadOnly = true;
             ReEnter(F);
             EXPECT_FALSE(Editing(F.G));
             EXPECT_TRUE(F.G->EditState().Suspended);
             F.Key(VK_F2);
             gui::TypeText("x");
             EXPECT_FALSE(EditorFocused(F.G));
             EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "kept");
         }},
        {"an edit open on the current cell stays open when it is asked about again",
         [](EditFixture& F) {
             F.Type = edSpinEdit;
             F.G->WriteCellText(1, 1, "5");
             F.G->FocusCell(1, 1, true);
             F.Key(VK_F2);
             ASSERT_TRUE(EditorFocused(F.G));
             F.G->FocusCell(1, 1, true);
             EXPECT_TRUE(EditorFocused(F.G));
             EXPECT_TRUE(F.G->EditState().Active);
         }},
        {"headers of a range selection's far corner are repainted",
         [](EditFixture& F) {
             F.G->SetOptions(F.G->Options() | goRangeSelect);
             F.G->SetActiveCellShow(true);
             F.G->FocusCell(1, 1, true);
             F.G->SetSelection(TGridRect{1, 1, 3, 3});
             F.G->FocusCell(3, 3, false);
             gui::Settle();
             ASSERT_EQ(F.G->Selection().Left, 1);
             ASSERT_EQ(F.G->Col(), 3);
             ValidateRect(F.G->Handle(), nullptr);
             F.G->FocusCell(4, 4, true);
             HRGN Update = CreateRectRgn(0, 0, 0, 0);
             GetUpdateRgn(F.G->Handle(), Update, FALSE);
             const auto Pending = [&](int C, int R) {
                 const TRect Cell = F.G->CellRect(C, R);
                 return PtInRegion(Update, (Cell.left + Cell.right) / 2, (Cell.top + Cell.bottom) / 2) != 0;
             };
             EXPECT_TRUE(Pending(1, 0)) << "the corner's column header";
             EXPECT_TRUE(Pending(0, 1)) << "the corner's row header";
             EXPECT_TRUE(Pending(4, 0)) << "the new column header";
             DeleteObject(Update);
         }},
        {"a row reaching under the floating footer moves up whole above it",
         [](EditFixture& F) {
             F.G->SetRowCount(30);
             F.G->FloatingFooter()->SetFooterStyle(fsColumnPreview);
             F.G->FloatingFooter()->SetVisible(true);
             gui::Settle();
             // Heighten the grid until a row shows partly above the footer.
             const int Line = F.G->DefaultRowHeight() + 1;
             const int Free = (F.G->FooterPanel()->Top() - (F.G->RowHeights(0) + 1)) % Line;
             F.G->SetHeight(F.G->Height() + (Line / 2 - Free + Line) % Line);
             gui::Settle();
             const int Partial = F.G->TopRow() + F.G->VisibleRowCount();
             const TRect Before = F.G->CellRect(2, Partial);
             ASSERT_LT(Before.top, F.G->FooterPanel()->Top()) << "the row shows in part";
             const int Top = F.G->TopRow();
             gui::ClickAt(F.G, Before.left + 5, Before.top + 2);
             ASSERT_EQ(F.G->Row(), Partial);
             EXPECT_EQ(F.G->TopRow(), Top + 1);
             const TRect After = F.G->CellRect(2, Partial);
             EXPECT_EQ(After.bottom - After.top, F.G->DefaultRowHeight());
             EXPECT_LE(After.bottom, F.G->FooterPanel()->Top());
         }},
        {"a key onto a merged range opens the editor on its base cell with direct editing",
         [](EditFixture& F) {
             F.G->SetOptions(F.G->Options() & ~goRangeSelect);
             F.G->MouseActions()->DirectEdit = true;
             F.G->MergeCells(2, 1, 2, 2);
             F.G->WriteCellText(2, 1, "base");
             F.G->FocusCell(3, 3, true);
             F.Key(VK_UP);
             EXPECT_EQ(F.G->Col(), 2);
             EXPECT_EQ(F.G->Row(), 1);
             ASSERT_TRUE(EditorFocused(F.G));
             wchar_t Shown[32] = {};
             GetWindowTextW(GetFocus(), Shown, 32);
             EXPECT_EQ(WideString(Shown), L"base") << "the editor holds the base cell's text";
             gui::TypeText("new");
             F.Key(VK_RETURN);
             EXPECT_EQ(F.G->GetCellTextRaw(2, 1), "new");
         }},
        {"a key onto a merged range opens the combo of its base cell shown always",
         [](EditFixture& F) {
             F.G->SetOptions(F.G->Options() & ~goRangeSelect);
             F.Type = edComboEdit;
             F.G->ControlLook()->SetDropDownAlwaysVisible(true);
             F.G->MergeCells(2, 1, 2, 2);
             F.G->FocusCell(3, 3, true);
             F.Key(VK_UP);
             EXPECT_EQ(F.G->Col(), 2);
             EXPECT_EQ(F.G->Row(), 1);
             EXPECT_TRUE(EditorFocused(F.G));
         }},
        {"a key onto a merged range opens nothing otherwise",
         [](EditFixture& F) {
             F.G->SetOptions(F.G->Options() & ~goRangeSelect);
             F.G->MergeCells(2, 1, 2, 2);
             F.G->FocusCell(3, 3, true);
             F.Key(VK_UP);
             EXPECT_EQ(F.G->Col(), 2);
             EXPECT_EQ(F.G->Row(), 1);
             EXPECT_FALSE(EditorFocused(F.G));
         }},
    };
    for (const FlowCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        EditFixture F;
        C.Run(F);
    }
}
