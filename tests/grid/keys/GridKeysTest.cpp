// The string grid's keys under real windows: the key map as a table of key,
// start state and resulting cell or selection; Tab and Enter walks over
// read-only cells (a grid without any editable cell must end the walk where
// it started); the incremental goto's time-out, hovering and blinking driven
// by the grid timer; the editor reopening on focus with AlwaysEdit; moving
// down with the search bar shown; the accelerator of a grid button.

#include <array>
#include <functional>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Panel.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/SearchFooter.h"
#include "grid/interaction/SearchPanel.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr TShiftState NoMods = 0;

// Sets the thread's keyboard state so that GetKeyState sees the modifiers.
void SetModifiers(TShiftState Mods)
{
    BYTE State[256] = {};
    GetKeyboardState(State);
    const auto Put = [&State](int Vk, bool Down) { State[Vk] = Down ? 0x80 : 0; };
    Put(VK_SHIFT, (Mods & ssShift) != 0);
    Put(VK_CONTROL, (Mods & ssCtrl) != 0);
    Put(VK_MENU, (Mods & ssAlt) != 0);
    SetKeyboardState(State);
}

// A key pressed and released on the window with the focus, with the
// modifiers held, run through the message loop; the character a key types
// follows its press. The loop's TranslateMessage types the characters of
// keys that have one (Enter, Space, letters): only the others get Char
// posted, so that no character arrives twice.
void Press(Word Key, TShiftState Mods = NoMods, wchar_t Char = 0)
{
    SetModifiers(Mods);
    HWND Focus = GetFocus();
    const UINT Scan = MapVirtualKeyW(Key, MAPVK_VK_TO_VSC);
    PostMessageW(Focus, WM_KEYDOWN, Key, static_cast<LPARAM>(1 | (Scan << 16)));
    if (Char != 0 && MapVirtualKeyW(Key, MAPVK_VK_TO_CHAR) == 0)
        PostMessageW(Focus, WM_CHAR, Char, static_cast<LPARAM>(1 | (Scan << 16)));
    PostMessageW(Focus, WM_KEYUP, Key, static_cast<LPARAM>(1 | (Scan << 16) | (3u << 30)));
    gui::Settle();
    SetModifiers(NoMods);
}

class KeyFixture {
public:
    explicit KeyFixture(int Rows = 8)
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 560, 320);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(8, 270, 100, 22);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 520, 250);
        G->SetColCount(6);
        G->SetRowCount(Rows);
        G->SetDefaultColWidth(70);
        G->SetDefaultRowHeight(22);
        for (int R = 1; R < Rows; ++R)
            for (int C = 1; C < 6; ++C)
                G->SetCells(C, R, String(1, static_cast<char>('a' + C - 1)) + std::to_string(R));
        G->OnKeyDown = [this](TObject*, Word& Key, TShiftState) {
            KeyDowns.push_back(Key);
            if (AppKeyDown)
                AppKeyDown(Key);
        };
        Form->Show();
        gui::Settle();
        G->SetFocus();
        gui::Settle();
    }
    ~KeyFixture()
    {
        delete Form;
        gui::Settle();
    }
    KeyFixture(const KeyFixture&) = delete;
    KeyFixture& operator=(const KeyFixture&) = delete;

    int CountKeyDowns(Word Key) const
    {
        int N = 0;
        for (Word K : KeyDowns)
            N += K == Key ? 1 : 0;
        return N;
    }

    TForm* Form = nullptr;
    TEdit* Other = nullptr;
    TProStringGrid* G = nullptr;
    std::vector<Word> KeyDowns;
    std::function<void(Word&)> AppKeyDown;
};

struct KeyCase {
    const char* Name;
    std::function<void(KeyFixture&)> Setup;
    int StartCol, StartRow;
    Word Key;
    TShiftState Mods;
    int Col, Row;           // the current cell after the key
    int RowCount;           // expected row count (0: unchanged)
    int KeyDownCount;       // OnKeyDown calls for the key (-1: not checked)
    std::function<void(KeyFixture&, const char*)> Check;
};

TEST(GridKeys, KeyMapMovesSelectsInsertsAndDeletes)
{
    const auto Opt = [](TGridOptions O) { return [O](KeyFixture& F) { F.G->SetOptions(F.G->Options() | O); }; };
    const KeyCase Cases[] = {
        {"Home to the first row", [](KeyFixture& F) { F.G->Navigation()->HomeEndKey = heFirstLastRow; }, 3, 5,
         VK_HOME, NoMods, 3, 1, 0, 1, nullptr},
        {"End to the last row", [](KeyFixture& F) { F.G->Navigation()->HomeEndKey = heFirstLastRow; }, 3, 2, VK_END,
         NoMods, 3, 7, 0, 1, nullptr},
        {"Shift+End selects down to the last row",
         [](KeyFixture& F) {
             F.G->Navigation()->HomeEndKey = heFirstLastRow;
             F.G->SetOptions(F.G->Options() | goRangeSelect);
         },
         3, 2, VK_END, ssShift, 5, 7, 0, 1,
         [](KeyFixture& F, const char* N) {
             EXPECT_EQ(F.G->Selection().Top, 2) << N;
             EXPECT_EQ(F.G->Selection().Bottom, 7) << N;
         }},
        {"Home with row select to the first column", Opt(goRowSelect), 4, 3, VK_HOME, NoMods, 1, 3, 0, 1, nullptr},
        {"End with row select to the last column", Opt(goRowSelect), 2, 3, VK_END, NoMods, 5, 3, 0, 1, nullptr},
        {"Right with row select and LeftRightRowSelect stays", Opt(goRowSelect), 2, 3, VK_RIGHT, NoMods, 2, 3, 0, 1,
         nullptr},
        {"plain Down moves", nullptr, 2, 3, VK_DOWN, NoMods, 2, 4, 0, 1, nullptr},
        {"scroll only: Down moves nothing and fires nothing",
         [](KeyFixture& F) { F.G->Navigation()->MoveScrollOnly = true; }, 2, 3, VK_DOWN, NoMods, 2, 3, 0, 0,
         nullptr},
        {"scroll only: Right still moves", [](KeyFixture& F) { F.G->Navigation()->MoveScrollOnly = true; }, 2, 3,
         VK_RIGHT, NoMods, 3, 3, 0, 1, nullptr},
        {"Right skips a fixed column",
         [](KeyFixture& F) { F.G->OnIsFixedCell = [](TObject*, int, int ACol, bool& IsFixed) { IsFixed = ACol == 3; }; },
         2, 3, VK_RIGHT, NoMods, 4, 3, 0, 1, nullptr},
        {"Down skips a fixed row",
         [](KeyFixture& F) { F.G->OnIsFixedCell = [](TObject*, int ARow, int, bool& IsFixed) { IsFixed = ARow == 4; }; },
         2, 3, VK_DOWN, NoMods, 2, 5, 0, 1, nullptr},
        {"Down on the last row appends", [](KeyFixture& F) { F.G->Navigation()->AppendOnArrowDown = true; }, 2, 7,
         VK_DOWN, NoMods, 2, 8, 9, -1,
         [](KeyFixture& F, const char* N) { EXPECT_EQ(F.G->Cells(2, 8), "") << N; }},
        {"Down above a shown floating footer appends before it",
         [](KeyFixture& F) {
             F.G->Navigation()->AppendOnArrowDown = true;
             F.G->FloatingFooter()->SetVisible(true);
             for (int C = 0; C < 6; ++C)
                 F.G->SetCells(C, 7, "sum" + std::to_string(C));
         },
         2, 6, VK_DOWN, NoMods, 2, 7, 9, -1,
         [](KeyFixture& F, const char* N) {
             // The footer's texts move to the new last row; the row they
             // left is emptied in every column.
             for (int C = 0; C < 6; ++C) {
                 EXPECT_EQ(F.G->Cells(C, 7), "") << N << " column " << C;
                 EXPECT_EQ(F.G->Cells(C, 8), "sum" + std::to_string(C)) << N << " column " << C;
             }
         }},
        {"Down on the last row, adding refused",
         [](KeyFixture& F) {
             F.G->Navigation()->AppendOnArrowDown = true;
             F.G->OnCanAddRow = [](TObject*, bool& CanAdd) { CanAdd = false; };
         },
         2, 7, VK_DOWN, NoMods, 2, 7, 8, -1, nullptr},
        {"Insert puts a row before", [](KeyFixture& F) { F.G->Navigation()->AllowInsertRow = true; }, 2, 3, VK_INSERT,
         NoMods, 2, 3, 9, 1,
         [](KeyFixture& F, const char* N) {
             EXPECT_EQ(F.G->Cells(2, 3), "") << N;
             EXPECT_EQ(F.G->Cells(2, 4), "b3") << N;
         }},
        {"Insert after",
         [](KeyFixture& F) {
             F.G->Navigation()->AllowInsertRow = true;
             F.G->Navigation()->InsertPosition = pInsertAfter;
         },
         2, 3, VK_INSERT, NoMods, 2, 4, 9, 1,
         [](KeyFixture& F, const char* N) {
             EXPECT_EQ(F.G->Cells(2, 3), "b3") << N;
             EXPECT_EQ(F.G->Cells(2, 4), "") << N;
         }},
        {"Insert refused", [](KeyFixture& F) {
             F.G->Navigation()->AllowInsertRow = true;
             F.G->OnCanInsertRow = [](TObject*, int, bool& CanInsert) { CanInsert = false; };
         },
         2, 3, VK_INSERT, NoMods, 2, 3, 8, 1, nullptr},
        {"Delete removes the row", [](KeyFixture& F) { F.G->Navigation()->AllowDeleteRow = true; }, 2, 3, VK_DELETE,
         NoMods, 2, 3, 7, 1, [](KeyFixture& F, const char* N) { EXPECT_EQ(F.G->Cells(2, 3), "b4") << N; }},
        {"Delete refused", [](KeyFixture& F) {
             F.G->Navigation()->AllowDeleteRow = true;
             F.G->OnCanDeleteRow = [](TObject*, int, bool& CanDelete) { CanDelete = false; };
         },
         2, 3, VK_DELETE, NoMods, 2, 3, 8, 1, nullptr},
        {"Delete without AllowDeleteRow only reaches OnKeyDown", nullptr, 2, 3, VK_DELETE, NoMods, 2, 3, 8, 1,
         nullptr},
        {"Ctrl+A with range select selects all normal cells", Opt(goRangeSelect), 2, 3, 'A', ssCtrl, -1, -1, 0, 1,
         [](KeyFixture& F, const char* N) {
             const TGridRect S = F.G->Selection();
             EXPECT_EQ(S.Left, 1) << N;
             EXPECT_EQ(S.Top, 1) << N;
             EXPECT_EQ(S.Right, 5) << N;
             EXPECT_EQ(S.Bottom, 7) << N;
         }},
        {"Ctrl+A without range or row select selects nothing",
         [](KeyFixture& F) { F.G->SetOptions(F.G->Options() & ~static_cast<TGridOptions>(goRangeSelect | goRowSelect)); },
         2, 3, 'A', ssCtrl, 2, 3, 0, 1,
         [](KeyFixture& F, const char* N) {
             EXPECT_EQ(F.G->Selection().Left, F.G->Selection().Right) << N;
             EXPECT_EQ(F.G->Selection().Top, F.G->Selection().Bottom) << N;
         }},
        {"Enter on a cell that is not editable reaches OnKeyDown once", nullptr, 2, 3, VK_RETURN, NoMods, 2, 3, 0, 1,
         nullptr},
        {"F2 on a read-only cell with goEditing opens nothing",
         [](KeyFixture& F) {
             F.G->SetOptions(F.G->Options() | goEditing);
             F.G->OnCanEditCell = [](TObject*, int, int, bool& Can) { Can = false; };
         },
         2, 3, VK_F2, NoMods, 2, 3, 0, 1,
         [](KeyFixture& F, const char* N) { EXPECT_FALSE(F.G->EditorMode()) << N; }},
        {"Space toggles a check box",
         [](KeyFixture& F) {
             F.G->SetOptions(F.G->Options() | goEditing);
             F.G->PutCheckBox(2, 3, false, false);
         },
         2, 3, VK_SPACE, NoMods, 2, 3, 0, 1,
         [](KeyFixture& F, const char* N) {
             bool State = false;
             EXPECT_TRUE(F.G->GetCheckBoxState(2, 3, State)) << N;
             EXPECT_TRUE(State) << N;
         }},
        {"Space on a check box of a read-only grid", [](KeyFixture& F) { F.G->PutCheckBox(2, 3, false, false); }, 2, 3,
         VK_SPACE, NoMods, 2, 3, 0, 1,
         [](KeyFixture& F, const char* N) {
             bool State = true;
             F.G->GetCheckBoxState(2, 3, State);
             EXPECT_FALSE(State) << N;
         }},
    };
    for (const KeyCase& C : Cases) {
        KeyFixture F;
        if (C.Setup)
            C.Setup(F);
        F.G->FocusCell(C.StartCol, C.StartRow, true);
        gui::Settle();
        F.KeyDowns.clear();
        const int Rows = F.G->RowCount();
        Press(C.Key, C.Mods, C.Key == VK_RETURN ? L'\r' : C.Key == VK_SPACE ? L' ' : 0);
        if (C.Col >= 0) {
            EXPECT_EQ(F.G->Col(), C.Col) << C.Name;
            EXPECT_EQ(F.G->Row(), C.Row) << C.Name;
        }
        EXPECT_EQ(F.G->RowCount(), C.RowCount ? C.RowCount : Rows) << C.Name;
        if (C.KeyDownCount >= 0) {
            EXPECT_EQ(F.CountKeyDowns(C.Key), C.KeyDownCount) << C.Name;
        }
        if (C.Check)
            C.Check(F, C.Name);
    }
}

// Delete, Ctrl+C and Ctrl+V of a grid without goEditing reach the
// application's OnKeyDown once each, with the modifiers seen (the channel
// tables' contract); with the clipboard keys on, Ctrl+C copies.
TEST(GridKeys, ClipboardKeysReachTheWindowOnceOrCopy)
{
    KeyFixture F;
    F.G->FocusCell(2, 3, true);
    int Ctrl = 0;
    F.AppKeyDown = [&Ctrl](Word&) {
        if (GetKeyState(VK_CONTROL) < 0)
            ++Ctrl;
    };
    Press(VK_DELETE);
    Press('C', ssCtrl, 3);
    Press('V', ssCtrl, 22);
    EXPECT_EQ(F.CountKeyDowns(VK_DELETE), 1);
    EXPECT_EQ(F.CountKeyDowns('C'), 1);
    EXPECT_EQ(F.CountKeyDowns('V'), 1);
    EXPECT_EQ(Ctrl, 2);
    EXPECT_EQ(F.G->Cells(2, 3), "b3");

    F.G->Navigation()->AllowClipboardShortCuts = true;
    int Copies = 0;
    F.G->OnClipboardCopy = [&Copies](TObject*, bool&) { ++Copies; };
    Press('C', ssCtrl, 3);
    EXPECT_EQ(Copies, 1);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE H = GetClipboardData(CF_UNICODETEXT);
    std::wstring Text = H != nullptr ? static_cast<const wchar_t*>(GlobalLock(H)) : L"";
    if (H != nullptr)
        GlobalUnlock(H);
    CloseClipboard();
    EXPECT_EQ(Text.substr(0, 2), L"b3");
}

// ---------------------------------------------------------------------------
// Tab and Enter

struct WalkCase {
    const char* Name;
    std::vector<std::pair<int, int>> Editable;   // empty: no cell editable
    int StartCol, StartRow;
    bool Backward;
    int Col, Row;
};

TEST(GridKeys, TabVisitsEditableCellsAndEndsWithoutAny)
{
    const WalkCase Cases[] = {
        {"next editable in the row", {{2, 1}, {4, 1}}, 2, 1, false, 4, 1},
        {"wraps to the next row's first", {{2, 1}, {3, 2}}, 2, 1, false, 3, 2},
        {"backwards to the previous row's last", {{4, 1}, {2, 2}}, 2, 2, true, 4, 1},
        {"no editable cell: stays", {}, 2, 3, false, 2, 3},
        {"no editable cell backwards: stays", {}, 2, 3, true, 2, 3},
        {"only the current cell editable: stays", {{2, 3}}, 2, 3, false, 2, 3},
    };
    for (const WalkCase& C : Cases) {
        KeyFixture F;
        F.G->SetOptions(F.G->Options() | goEditing | goTabs);
        const auto Editable = C.Editable;
        F.G->OnCanEditCell = [Editable](TObject*, int ARow, int ACol, bool& Can) {
            Can = false;
            for (const auto& [EC, ER] : Editable)
                Can = Can || (EC == ACol && ER == ARow);
        };
        F.G->FocusCell(C.StartCol, C.StartRow, true);
        gui::Settle();
        Press(VK_TAB, C.Backward ? ssShift : NoMods);
        EXPECT_EQ(F.G->Col(), C.Col) << C.Name;
        EXPECT_EQ(F.G->Row(), C.Row) << C.Name;
    }
}

// Tab on the last cell: with TabToNextAtEnd the first row becomes current
// and the focus moves on to the next control; with AdvanceInsert a row is
// added unless OnCanAddRow refuses, which makes the first row current.
TEST(GridKeys, TabOnTheLastCellHandsOnOrAddsARow)
{
    {
        KeyFixture F;
        F.G->SetOptions(F.G->Options() | goTabs);
        F.G->Navigation()->TabToNextAtEnd = true;
        F.G->FocusCell(5, 7, true);
        gui::Settle();
        Press(VK_TAB);
        EXPECT_EQ(F.G->Row(), 1);
        EXPECT_EQ(F.G->Col(), 1);
        EXPECT_TRUE(F.Other->Focused()) << "the focus went on";
    }
    for (bool Refuse : {false, true}) {
        KeyFixture F;
        F.G->SetOptions(F.G->Options() | goTabs);
        F.G->Navigation()->AdvanceInsert = true;
        F.G->OnCanAddRow = [Refuse](TObject*, bool& CanAdd) { CanAdd = !Refuse; };
        F.G->FocusCell(5, 7, true);
        gui::Settle();
        Press(VK_TAB);
        EXPECT_EQ(F.G->RowCount(), Refuse ? 8 : 9) << Refuse;
        EXPECT_EQ(F.G->Row(), Refuse ? 1 : 8) << Refuse;
        EXPECT_EQ(F.G->Col(), 1) << Refuse;
        EXPECT_TRUE(F.G->Focused()) << Refuse;
    }
}

TEST(GridKeys, TabOverMergedRangeLandsOnItsBase)
{
    KeyFixture F;
    F.G->SetOptions(F.G->Options() | goTabs);
    F.G->MergeCells(3, 2, 2, 1);
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    Press(VK_TAB);
    EXPECT_EQ(F.G->Col(), 3);
    Press(VK_TAB);
    EXPECT_EQ(F.G->Col(), 5) << "the covered cell (4, 2) is skipped";
}

TEST(GridKeys, EnterAdvancesOverReadOnlyCellsAndStopsWithoutAny)
{
    for (bool AnyEditable : {true, false}) {
        KeyFixture F;
        F.G->SetOptions(F.G->Options() | goEditing);
        F.G->Navigation()->AdvanceOnEnter = true;
        F.G->OnCanEditCell = [AnyEditable](TObject*, int ARow, int ACol, bool& Can) {
            Can = (ACol == 2 && ARow == 2) || (AnyEditable && ACol == 5 && ARow == 2);
        };
        int Advances = 0;
        F.G->OnAutoAdvance = [&Advances](TObject*, int, int, int&, int&, bool&) { ++Advances; };
        F.G->FocusCell(2, 2, true);
        gui::Settle();
        Press(VK_F2);
        ASSERT_TRUE(F.G->EditorMode()) << AnyEditable;
        gui::TypeText("x");
        Press(VK_RETURN, NoMods, L'\r');
        EXPECT_EQ(F.G->Cells(2, 2), "b2x") << AnyEditable;
        EXPECT_EQ(F.G->Col(), AnyEditable ? 5 : 2) << AnyEditable;
        EXPECT_EQ(F.G->Row(), 2) << AnyEditable;
        EXPECT_EQ(Advances, AnyEditable ? 1 : 0) << AnyEditable;
    }
}

TEST(GridKeys, EnterOnACheckBoxCellAdvancesOnce)
{
    KeyFixture F;
    F.G->SetOptions(F.G->Options() | goEditing);
    F.G->Navigation()->AdvanceOnEnter = true;
    F.G->PutCheckBox(2, 2, false, false);
    // A check box next to it too: a second advance would pass it.
    F.G->PutCheckBox(3, 2, false, false);
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    Press(VK_RETURN, NoMods, L'\r');
    EXPECT_EQ(F.G->Col(), 3);
    EXPECT_EQ(F.G->Row(), 2);
}

TEST(GridKeys, EnterIntoACheckBoxCellEntersItAsAClickWould)
{
    KeyFixture F;
    F.G->SetOptions(F.G->Options() | goEditing);
    F.G->Navigation()->AdvanceOnEnter = true;
    F.G->PutCheckBox(3, 2, false, false);
    F.G->PutCheckBox(4, 2, false, false);
    std::vector<TPoint> Presses;
    F.G->OnMouseDown = [&Presses](TObject*, TMouseButton, TShiftState, int X, int Y) { Presses.push_back(TPoint{X, Y}); };
    std::vector<std::array<int, 4>> Changes;
    F.G->OnCellChanging = [&Changes](TObject*, int OldRow, int OldCol, int NewRow, int NewCol, bool&) {
        Changes.push_back({OldRow, OldCol, NewRow, NewCol});
    };
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    Press(VK_F2);
    ASSERT_TRUE(F.G->EditorMode());
    gui::TypeText("x");
    Press(VK_RETURN, NoMods, L'\r');
    EXPECT_EQ(F.G->Cells(2, 2), "b2x");
    EXPECT_EQ(F.G->Col(), 3);
    EXPECT_EQ(F.G->Row(), 2);
    // One press at the cell's top-left corner: it selects, the box stays.
    const TRect R = F.G->CellRect(3, 2);
    ASSERT_EQ(Presses.size(), 1u);
    EXPECT_EQ(Presses[0].x, R.left + 2);
    EXPECT_EQ(Presses[0].y, R.top + 2);
    EXPECT_NE(GetCapture(), F.G->Handle()) << "the press was released";
    bool Checked = true;
    F.G->GetCheckBoxState(3, 2, Checked);
    EXPECT_FALSE(Checked);
    ASSERT_FALSE(Changes.empty());
    EXPECT_EQ(Changes.back(), (std::array<int, 4>{2, 2, 2, 3})) << "the entered cell is reported";

    EXPECT_FALSE(F.G->EditorMode());
    EXPECT_EQ(GetFocus(), F.G->Handle());
    // From a check box cell to the next one: no press. (The loop's
    // translation of the key down types the Enter character.)
    Press(VK_RETURN);
    EXPECT_EQ(F.G->Col(), 4);
    EXPECT_EQ(Presses.size(), 1u);
    F.G->GetCheckBoxState(4, 2, Checked);
    EXPECT_FALSE(Checked);
}

TEST(GridKeys, EnterAdvanceCanBeRedirectedOrRefused)
{
    KeyFixture F;
    F.G->Navigation()->AdvanceOnEnter = true;
    F.G->FocusCell(2, 2, true);
    F.G->OnAutoAdvance = [](TObject*, int OldRow, int OldCol, int& NewRow, int& NewCol, bool&) {
        EXPECT_EQ(OldRow, 2);
        EXPECT_EQ(OldCol, 2);
        NewRow = 6;
        NewCol = 4;
    };
    F.G->AdvanceAfterEdit(2, 2, false, false, true, false, false);
    EXPECT_EQ(F.G->Col(), 4);
    EXPECT_EQ(F.G->Row(), 6);
    F.G->OnAutoAdvance = [](TObject*, int, int, int&, int&, bool& Allow) { Allow = false; };
    F.G->AdvanceAfterEdit(4, 6, false, false, true, false, false);
    EXPECT_EQ(F.G->Col(), 4);
    EXPECT_EQ(F.G->Row(), 6);
    // On the last normal row without AdvanceInsert the advance wraps to the
    // first normal cell; with it and adTopBottom a column is added.
    F.G->OnAutoAdvance = nullptr;
    F.G->AdvanceAfterEdit(5, 7, false, false, true, false, false);
    EXPECT_EQ(F.G->Col(), 1);
    EXPECT_EQ(F.G->Row(), 1);
    F.G->Navigation()->AdvanceInsert = true;
    F.G->Navigation()->SetAdvanceDirection(adTopBottom);
    int Inserted = -1;
    F.G->OnAutoInsertCol = [&Inserted](TObject*, int ACol) { Inserted = ACol; };
    F.G->AdvanceAfterEdit(5, 7, false, false, true, false, false);
    EXPECT_EQ(F.G->ColCount(), 7);
    EXPECT_EQ(Inserted, 6);
    EXPECT_EQ(F.G->Col(), 6);
    EXPECT_EQ(F.G->Row(), 1);
}

// ---------------------------------------------------------------------------
// The grid timer

TEST(GridKeys, IncrementalGotoBuildsTextAndTimesOut)
{
    KeyFixture F;
    const char* Names[] = {"apple", "banana", "berry", "cherry", "citrus", "date", "fig"};
    for (int R = 1; R < 8; ++R)
        F.G->SetCells(1, R, Names[R - 1]);
    F.G->Navigation()->AutoGotoWhenSorted = true;
    F.G->Navigation()->AutoGotoIncremental = true;
    F.G->FocusCell(1, 1, true);
    gui::Settle();
    gui::TypeText("b");
    EXPECT_EQ(F.G->Row(), 2);
    gui::TypeText("e");
    EXPECT_EQ(F.G->Row(), 3) << "\"be\" finds berry";
    EXPECT_EQ(F.G->GotoText(), "be");
    // Four idle ticks of 500 ms end the text.
    EXPECT_TRUE(gui::PumpUntil([&F] { return F.G->GotoText().empty(); }, 10000));
    gui::TypeText("c");
    EXPECT_EQ(F.G->Row(), 4) << "a new text after the pause";
    gui::TypeText("i");
    EXPECT_EQ(F.G->Row(), 5);
    // A navigation key ends the text at once.
    Press(VK_DOWN);
    EXPECT_TRUE(F.G->GotoText().empty());
}

// The row indicator follows the current row: the fixed cell of the row left
// loses it on screen and the row reached shows it.
TEST(GridKeys, RowIndicatorFollowsTheCurrentRow)
{
    KeyFixture F;
    TBitmap Mark(8, 8);
    Mark.Canvas()->Brush()->SetColor(clWhite);
    Mark.Canvas()->FillRect(TRect{0, 0, 8, 8});
    Mark.Canvas()->Brush()->SetColor(clRed);
    Mark.Canvas()->FillRect(TRect{2, 0, 8, 6});
    F.G->SetRowIndicator(&Mark);
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    const auto RedIn = [&F](int Row) {
        auto Shot = gui::CaptureControl(F.G);
        const TRect R = F.G->CellRect(0, Row);
        int N = 0;
        for (int Y = R.top; Y < R.bottom; ++Y)
            for (int X = R.left; X < R.right; ++X)
                N += gui::PixelAt(Shot.get(), X, Y) == RGB(255, 0, 0) ? 1 : 0;
        return N;
    };
    ASSERT_GT(RedIn(2), 0);
    gui::PressKey(VK_DOWN);
    gui::Settle();
    ASSERT_EQ(F.G->Row(), 3);
    EXPECT_EQ(RedIn(2), 0) << "the row left still shows the indicator";
    EXPECT_GT(RedIn(3), 0);
}

TEST(GridKeys, BlinkingTextFollowsTheTimer)
{
    KeyFixture F;
    F.G->SetCells(2, 2, "<BLINK><B>WWWWWW</B></BLINK>");
    F.G->EnableBlink = true;
    F.G->FocusCell(4, 4, true);
    const int Ticks = F.G->TimerTicks();
    const TRect R = F.G->CellRect(2, 2);
    const auto Ink = [&F, &R] {
        auto Shot = gui::CaptureControl(F.G);
        const COLORREF Back = gui::PixelAt(Shot.get(), R.right - 2, R.bottom - 3);
        return gui::CountPixelsNot(Shot.get(), TRect{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1}, Back);
    };
    ASSERT_TRUE(gui::PumpUntil([&F] { return !F.G->BlinkPhase(); }, 10000));
    gui::Settle();
    const int Hidden = Ink();
    ASSERT_TRUE(gui::PumpUntil([&F] { return F.G->BlinkPhase(); }, 10000));
    gui::Settle();
    const int Shown = Ink();
    gui::SaveScreenshot(F.Form, "Z:\\tmp\\h22k-blink.png");
    EXPECT_GT(F.G->TimerTicks(), Ticks);
    EXPECT_GT(Shown, 20);
    EXPECT_LT(Hidden, Shown / 4);
}

TEST(GridKeys, HoveringMakesTheCellUnderTheMouseCurrent)
{
    KeyFixture F;
    F.G->Hovering = true;
    F.G->FocusCell(1, 1, true);
    F.Other->SetFocus();
    gui::Settle();
    const TRect Fixed = F.G->CellRect(3, 0);
    const TPoint OnFixed = F.G->ClientToScreen(TPoint{(Fixed.left + Fixed.right) / 2, (Fixed.top + Fixed.bottom) / 2});
    SetCursorPos(OnFixed.x, OnFixed.y);
    gui::PumpFor(1200);
    EXPECT_EQ(F.G->Col(), 1) << "over a fixed cell nothing happens";
    EXPECT_EQ(F.G->Row(), 1);
    const TRect Cell = F.G->CellRect(3, 4);
    const TPoint OnCell = F.G->ClientToScreen(TPoint{(Cell.left + Cell.right) / 2, (Cell.top + Cell.bottom) / 2});
    SetCursorPos(OnCell.x, OnCell.y);
    EXPECT_TRUE(gui::PumpUntil([&F] { return F.G->Col() == 3 && F.G->Row() == 4; }, 10000));
    EXPECT_TRUE(F.G->Focused());
}

// ---------------------------------------------------------------------------
// Cursor zones

// The pointer moved to (X, Y) of the grid's client area, then the cursor the
// grid sets for it.
HCURSOR CursorAt(TProStringGrid* G, int X, int Y)
{
    const TPoint S = G->ClientToScreen(TPoint{X, Y});
    SetCursorPos(S.x, S.y);
    SendMessageW(G->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    SendMessageW(G->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(G->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

TEST(GridKeys, CursorZonesShowTheGridsOwnCursors)
{
    const auto Own = [](int Id) { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Id)); };
    // Every cursor of the grid is a resource of the program, each its own
    // picture, the hot spot on the arrow's tip (or the pan mark's centre).
    for (int Id : {8000, 8001, 8002, 8003, 8004, 8005, 8006, 8007, 8008, 8010, 8011, 8012}) {
        HCURSOR C = Own(Id);
        ASSERT_NE(C, nullptr) << Id;
        ICONINFO Info{};
        ASSERT_TRUE(GetIconInfo(C, &Info)) << Id;
        EXPECT_FALSE(Info.fIcon) << Id;
        if (Id < 8010) {
            EXPECT_EQ(Info.xHotspot, 16u) << Id;
            EXPECT_EQ(Info.yHotspot, 16u) << Id;
        }
        if (Id == 8010) {
            EXPECT_GT(Info.xHotspot, Info.yHotspot) << "the row arrow points right";
        }
        if (Id == 8011) {
            EXPECT_GT(Info.yHotspot, Info.xHotspot) << "the column arrow points down";
        }
        DeleteObject(Info.hbmMask);
        if (Info.hbmColor != nullptr)
            DeleteObject(Info.hbmColor);
    }
    EXPECT_NE(Own(8010), Own(8011));
    EXPECT_NE(Own(8011), Own(8012));

    KeyFixture F;
    TMouseActions* M = F.G->MouseActions();
    M->ColSelect = true;
    M->RowSelect = true;
    M->AllSelect = true;
    F.G->SelectionRectangle = true;
    F.G->SetSelectionResizer(true);
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    const auto Mid = [&F](int C, int R) {
        const TRect Rc = F.G->CellRect(C, R);
        return TPoint{(Rc.left + Rc.right) / 2, (Rc.top + Rc.bottom) / 2};
    };
    const TPoint Header = Mid(3, 0);
    const TPoint RowHead = Mid(0, 4);
    const TPoint Corner = Mid(0, 0);
    const TRect Sel = F.G->CellRect(2, 2);
    const TPoint Plain = Mid(4, 5);
    EXPECT_EQ(CursorAt(F.G, Header.x, Header.y), Own(8011)) << "column header";
    EXPECT_EQ(F.G->CursorZone(), 1);
    EXPECT_EQ(CursorAt(F.G, RowHead.x, RowHead.y), Own(8010)) << "row header";
    EXPECT_EQ(F.G->CursorZone(), 2);
    EXPECT_EQ(CursorAt(F.G, Corner.x, Corner.y), Own(8012)) << "top-left corner";
    EXPECT_EQ(F.G->CursorZone(), 3);
    EXPECT_EQ(CursorAt(F.G, Sel.right - 3, Sel.bottom - 3), Own(8012)) << "selection resizer";
    EXPECT_EQ(F.G->CursorZone(), 5);
    const HCURSOR Normal = CursorAt(F.G, Plain.x, Plain.y);
    EXPECT_EQ(F.G->CursorZone(), 0);
    for (int Id : {8010, 8011, 8012})
        EXPECT_NE(Normal, Own(Id)) << "a normal cell shows the grid's normal cursor";
}

// ---------------------------------------------------------------------------
// Focus

TEST(GridKeys, AlwaysEditReopensTheEditorOnFocusButNotOnACheckBox)
{
    KeyFixture F;
    F.G->SetOptions(F.G->Options() | goEditing);
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    Press(VK_F2);
    Press(VK_ESCAPE);
    ASSERT_NE(F.G->GetInplaceEditor(), nullptr);
    F.G->Navigation()->AlwaysEdit = true;
    F.Other->SetFocus();
    gui::Settle();
    ASSERT_FALSE(F.G->EditorMode());
    F.G->SetFocus();
    gui::Settle();
    EXPECT_TRUE(F.G->EditorMode());

    F.Other->SetFocus();
    gui::Settle();
    F.G->PutCheckBox(3, 3, false, false);
    F.G->FocusCell(3, 3, true);
    F.G->SetFocus();
    gui::Settle();
    EXPECT_FALSE(F.G->EditorMode()) << "a check box cell opens no editor";
}

TEST(GridKeys, LosingTheFocusReleasesAPressedFormButton)
{
    KeyFixture F;
    F.G->SetOptions(F.G->Options() | goEditing);
    F.G->EnableHTML = true;
    F.G->SetColWidths(2, 150);
    // (The closing tag makes the text HTML.)
    F.G->SetCells(2, 2, "<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"60\" VALUE=\"Go\"><B></B>");
    int Clicks = 0;
    F.G->OnControlClick = [&Clicks](TObject*, int, int, const String&, const String&, const String&) { ++Clicks; };
    F.G->FocusCell(2, 2, true);
    gui::Settle();
    const TRect R = F.G->CellRect(2, 2);
    const LPARAM At = MAKELPARAM(R.left + 12, (R.top + R.bottom) / 2);
    SendMessageW(F.G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
    gui::Settle();
    ASSERT_EQ(Clicks, 1) << "the press reached the button";
    ASSERT_EQ(GetCapture(), F.G->Handle()) << "the button is held down";
    F.Other->SetFocus();
    gui::Settle();
    EXPECT_NE(GetCapture(), F.G->Handle()) << "the button came up with the focus gone";
}

// ---------------------------------------------------------------------------
// The search bar along the grid's bottom edge

// A grid of 30 rows of 22 pixels with the search bar shown.
class SearchBarFixture : public KeyFixture {
public:
    SearchBarFixture() : KeyFixture(30)
    {
        G->SearchFooter()->SetVisible(true);
        gui::Settle();
        P = G->SearchPanel();
        G->SetFocus();
        gui::Settle();
    }

    TSearchPanel* P = nullptr;
};

// The rows end where the bar begins: moving down to the last row, step by
// step or with Ctrl+End, scrolls it wholly above the bar, a point on the
// bar hits no cell, and the grid draws nothing over the bar. Hiding the bar
// gives its room back to the rows.
TEST(GridKeys, ShownSearchBarKeepsTheRowsAboveIt)
{
    SearchBarFixture F;
    const int BarTop = F.P->Top();
    ASSERT_EQ(F.P->Height(), 32);
    ASSERT_EQ(BarTop, F.G->ClientHeight() - 32);
    const int Visible = F.G->VisibleRowCount();
    EXPECT_LE(F.G->CellRect(1, F.G->TopRow() + Visible - 1).bottom, BarTop);
    EXPECT_EQ(F.G->MouseCoord(40, BarTop + 10).Y, -1);

    F.G->FocusCell(2, 1, true);
    for (int R = 2; R < 30; ++R) {
        Press(VK_DOWN);
        ASSERT_EQ(F.G->Row(), R);
        const TRect Cell = F.G->CellRect(2, R);
        EXPECT_EQ(Cell.bottom - Cell.top, 22) << "row " << R << " shown whole";
        EXPECT_LE(Cell.bottom, BarTop) << "row " << R;
    }
    Press(VK_HOME, ssCtrl);
    ASSERT_EQ(F.G->Row(), 1);
    Press(VK_END, ssCtrl);
    ASSERT_EQ(F.G->Row(), 29);
    const TRect Last = F.G->CellRect(F.G->Col(), 29);
    EXPECT_LE(Last.bottom, BarTop);
    EXPECT_GT(Last.bottom, BarTop - 23) << "scrolled no further than the last row needs";

    // Painted into a bitmap, the grid leaves the strip under the bar alone.
    const int W = F.G->ClientWidth();
    const int H = F.G->ClientHeight();
    TBitmap Shot(W, H);
    const COLORREF Marker = RGB(255, 0, 255);
    Shot.Canvas()->Brush()->SetColor(static_cast<TColor>(Marker));
    Shot.Canvas()->FillRect(Rect(0, 0, W, H));
    F.G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas()->Handle()), 0);
    EXPECT_GT(gui::CountPixelsNot(&Shot, Rect(0, 0, W, BarTop), Marker), 0);
    EXPECT_EQ(gui::CountPixelsNot(&Shot, Rect(0, BarTop, W, H), Marker), 0);

    const int TopWithBar = F.G->TopRow();
    F.G->SearchFooter()->SetVisible(false);
    gui::Settle();
    EXPECT_LT(F.G->TopRow(), TopWithBar);
    EXPECT_GT(F.G->VisibleRowCount(), Visible);
    const TRect Freed = F.G->CellRect(F.G->Col(), 29);
    EXPECT_GT(Freed.bottom, BarTop) << "the last row moves down into the bar's room";
    EXPECT_LE(Freed.bottom, F.G->ClientHeight());
}

// Alt and a caption's underlined letter click a grid button that is
// enabled, visible and on a parent that shows. The search bar's buttons sit
// on the grid, which hands no accelerator on to the controls it holds.
TEST(GridKeys, GridButtonTakesItsAcceleratorOffTheGrid)
{
    SearchBarFixture F;
    auto* Holder = new TPanel(F.Form);
    Holder->SetParent(F.Form);
    Holder->SetBounds(120, 262, 200, 30);
    auto* Go = new TProGridButton(F.Form);
    Go->SetParent(Holder);
    Go->SetBounds(4, 4, 80, 23);
    Go->SetCaption("&Go");
    int Clicks = 0;
    Go->OnClick = [&Clicks](TObject*) { ++Clicks; };
    std::vector<TSearchAction> Actions;
    F.G->OnSearchFooterAction = [&Actions](TObject*, const String&, int, int, TSearchAction A) {
        Actions.push_back(A);
    };
    // Text in the search edit enables the bar's buttons.
    F.P->SearchEdit()->SetFocus();
    gui::Settle();
    gui::TypeText("b");
    ASSERT_TRUE(F.P->FindNextButton()->Enabled());
    Actions.clear();
    F.G->SetFocus();
    // The keys go through the system's input queue to the foreground window.
    SetForegroundWindow(F.Form->Handle());
    gui::Settle();
    ASSERT_EQ(GetForegroundWindow(), F.Form->Handle());

    gui::PressAltKey('G');
    EXPECT_EQ(Clicks, 1);
    gui::PressAltKey('N');
    EXPECT_TRUE(Actions.empty()) << "the bar's Find next, on the grid";

    const std::pair<const char*, std::function<void(bool)>> Refusals[] = {
        {"disabled", [Go](bool Off) { Go->SetEnabled(!Off); }},
        {"hidden", [Go](bool Off) { Go->SetVisible(!Off); }},
        {"parent hidden", [Holder](bool Off) { Holder->SetVisible(!Off); }},
    };
    for (const auto& [Name, Switch] : Refusals) {
        Switch(true);
        gui::Settle();
        gui::PressAltKey('G');
        EXPECT_EQ(Clicks, 1) << Name;
        Switch(false);
        gui::Settle();
    }
    gui::PressAltKey('G');
    EXPECT_EQ(Clicks, 2);
}

// The vertical scroll bar reaches the last row whole above a shown search
// bar, and its arrows then step one row each way, the end of the scroll
// leaving the rows where they are.
TEST(GridKeys, ScrollBarReachesTheLastRowAboveTheSearchBar)
{
    SearchBarFixture F;
    const int BarTop = F.P->Top();
    const auto Scroll = [&](WPARAM Code) {
        F.G->Perform(WM_VSCROLL, Code, 0);
        gui::Settle();
    };
    for (int I = 0; I < 40; ++I)
        Scroll(SB_LINEDOWN);
    const int Bottom = F.G->TopRow();
    EXPECT_EQ(Bottom, F.G->MaxTopRow());
    const TRect Last = F.G->CellRect(2, 29);
    EXPECT_EQ(Last.bottom - Last.top, 22) << "the last row shown whole";
    EXPECT_LE(Last.bottom, BarTop);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(F.G->TopRow(), Bottom);
    Scroll(SB_LINEUP);
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(F.G->TopRow(), Bottom - 1);
    Scroll(SB_LINEDOWN);
    EXPECT_EQ(F.G->TopRow(), Bottom);
}

// ---------------------------------------------------------------------------
// The floating footer along the grid's bottom edge

// The footer takes its strip as the search bar does, in every style: the
// rows end above it, moving down to the last row the keys reach (the row
// before a footer that shows the last row as fixed cells, else the last
// row) and Ctrl+End scroll that row wholly above it, the scroll bar stops
// there, a point on the strip hits no cell and the grid paints nothing
// under it. With the search bar shown too, both strips count. Hiding the
// footer gives its room back.
TEST(GridKeys, ShownFloatingFooterKeepsTheRowsAboveIt)
{
    struct FooterCase {
        const char* Name;
        TFooterStyle Style;
        bool SearchBar;
        int LastKeyRow;   // the last row the keys reach, of 30
    };
    const FooterCase Cases[] = {
        {"last row as fixed cells", fsFixedLastRow, false, 28},
        {"column preview", fsColumnPreview, false, 29},
        {"custom preview", fsCustomPreview, false, 29},
        {"column preview over the search bar", fsColumnPreview, true, 29},
        {"last row as fixed cells over the search bar", fsFixedLastRow, true, 28},
    };
    for (const FooterCase& C : Cases) {
        KeyFixture F(30);
        const int FullHeight = F.G->ClientHeight();
        F.G->SearchFooter()->SetVisible(C.SearchBar);
        gui::Settle();
        const int VisibleWithout = F.G->VisibleRowCount();
        F.G->FloatingFooter()->SetFooterStyle(C.Style);
        F.G->FloatingFooter()->SetVisible(true);
        gui::Settle();
        F.G->SetFocus();
        gui::Settle();
        TFooterPanel* P = F.G->FooterPanel();
        ASSERT_TRUE(P->Visible()) << C.Name;
        ASSERT_GT(P->Height(), 0) << C.Name;
        const int StripTop = FullHeight - P->Height() - (C.SearchBar ? 32 : 0);
        ASSERT_EQ(P->Top(), StripTop) << C.Name;
        const int Visible = F.G->VisibleRowCount();
        EXPECT_LT(Visible, VisibleWithout) << C.Name;
        EXPECT_LE(F.G->CellRect(1, F.G->TopRow() + Visible - 1).bottom, StripTop) << C.Name;
        EXPECT_EQ(F.G->MouseCoord(40, StripTop + 5).Y, -1) << C.Name;

        F.G->FocusCell(2, 1, true);
        for (int R = 2; R <= C.LastKeyRow; ++R) {
            Press(VK_DOWN);
            ASSERT_EQ(F.G->Row(), R) << C.Name;
            const TRect Cell = F.G->CellRect(2, R);
            EXPECT_EQ(Cell.bottom - Cell.top, 22) << C.Name << ": row " << R << " shown whole";
            EXPECT_LE(Cell.bottom, StripTop) << C.Name << ": row " << R;
        }
        Press(VK_HOME, ssCtrl);
        ASSERT_EQ(F.G->Row(), 1) << C.Name;
        Press(VK_END, ssCtrl);
        ASSERT_EQ(F.G->Row(), C.LastKeyRow) << C.Name;
        const TRect Last = F.G->CellRect(F.G->Col(), C.LastKeyRow);
        EXPECT_EQ(Last.bottom - Last.top, 22) << C.Name;
        EXPECT_LE(Last.bottom, StripTop) << C.Name;
        EXPECT_GT(Last.bottom, StripTop - 23) << C.Name << ": scrolled no further than the row needs";

        // The scroll bar's end shows the same last row whole and no further.
        F.G->SetTopRow(1);
        for (int I = 0; I < 40; ++I)
            F.G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
        gui::Settle();
        EXPECT_EQ(F.G->TopRow(), F.G->MaxTopRow()) << C.Name;
        const TRect End = F.G->CellRect(2, C.LastKeyRow);
        EXPECT_EQ(End.bottom - End.top, 22) << C.Name;
        EXPECT_LE(End.bottom, StripTop) << C.Name;
        EXPECT_GT(End.bottom, StripTop - 23) << C.Name;

        // Painted into a bitmap, the grid leaves the strips alone.
        const int W = F.G->ClientWidth();
        TBitmap Shot(W, FullHeight);
        const COLORREF Marker = RGB(255, 0, 255);
        Shot.Canvas()->Brush()->SetColor(static_cast<TColor>(Marker));
        Shot.Canvas()->FillRect(Rect(0, 0, W, FullHeight));
        F.G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(Shot.Canvas()->Handle()), 0);
        EXPECT_GT(gui::CountPixelsNot(&Shot, Rect(0, 0, W, StripTop), Marker), 0) << C.Name;
        EXPECT_EQ(gui::CountPixelsNot(&Shot, Rect(0, StripTop, W, FullHeight), Marker), 0) << C.Name;

        // Hidden, the footer's room and the last row come back to the keys.
        F.G->FloatingFooter()->SetVisible(false);
        gui::Settle();
        F.G->SetTopRow(1);
        EXPECT_EQ(F.G->VisibleRowCount(), VisibleWithout) << C.Name;
        Press(VK_END, ssCtrl);
        ASSERT_EQ(F.G->Row(), 29) << C.Name;
        const TRect Freed = F.G->CellRect(2, 29);
        EXPECT_EQ(Freed.bottom - Freed.top, 22) << C.Name;
        EXPECT_GT(Freed.bottom, StripTop) << C.Name << ": the last row moves down into the footer's room";
        EXPECT_LE(Freed.bottom, FullHeight - (C.SearchBar ? 32 : 0)) << C.Name;
    }
}

} // namespace
