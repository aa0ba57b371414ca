// Editing cells of the string grid in a real window: each editor type opened
// with F2 or by typing, edited with real keys and committed with Enter, Esc,
// validation that refuses a value, the order of the editing events, and the
// key protocol of the special editors.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ComboBox.h"
#include "grid/interaction/ControlEditors.h"
#include "grid/interaction/EditLink.h"
#include "grid/interaction/InplaceEditors.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProInplaceEdit.h"
#include "tests/support/GuiHarness.h"

namespace {

std::string ScreenshotPath(const std::string& Name)
{
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string Dir(Path);
    return Dir.substr(0, Dir.find_last_of('\\') + 1) + Name;
}

struct EditFixture {
    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
    TEditorType Type = edNormal;

    EditFixture()
    {
        FormatSettings().DecimalSeparator = '.';
        FormatSettings().ThousandSeparator = ',';
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 520, 300);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 480, 240);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetDefaultColWidth(90);
        G->SetOptions(G->Options() | goEditing);
        G->OnGetEditorType = [this](TObject*, int, int, TEditorType& E) { E = Type; };
        Form->Show();
        gui::Settle();
        G->SetFocus();
        gui::Settle();
    }
    ~EditFixture() { delete Form; gui::Settle(); }

    void Key(Word K) { gui::PressKey(K); }
};

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
    gui::PumpUntil([&] { return Log.size() >= 3; }, 2000);
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
    ASSERT_TRUE(gui::PumpUntil([&] { return Seen; }, 2000));
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
    };
    for (const ProtocolCase& C : Cases) {
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
    for (TEditorType T : {edNormal, edSpinEdit, edComboList, edEditBtn, edCheckBox, edUniMemo}) {
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

// The date-and-time editor writes back the value it shows.
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
    TWinControl* GetEditControl() override { return Edit; }
    void CreateEditor(TWinControl* Parent) override
    {
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
    F.Type = edCustom;
    F.G->WriteCellText(1, 1, "start");
    F.G->FocusCell(1, 1, true);
    F.Key(VK_F2);
    ASSERT_NE(Link->PopupForm(), nullptr);
    ASSERT_TRUE(gui::PumpUntil([&] { return Link->Edit != nullptr && Link->Edit->Focused(); }, 2000));
    SendMessageW(Link->Edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"popped"));
    SetForegroundWindow(F.Form->Handle());
    SetActiveWindow(F.Form->Handle());
    gui::Settle();
    ASSERT_TRUE(gui::PumpUntil([&] { return !Link->PopupForm()->Visible(); }, 2000));
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

} // namespace
