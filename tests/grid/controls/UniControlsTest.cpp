// The Unicode edit, memo, edit with button and combo box with real
// character messages: characters above U+00FF reach the text while the key
// press sees 255.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "grid/interaction/PsgUniControls.h"

#include <imm.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace controls_test;

namespace {

class UniControls : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        Edit = new TPsgUniEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 160, 24);
        Edit->OnKeyPress = [this](TObject*, char& Key) { Keys.push_back(static_cast<unsigned char>(Key)); };
        Combo = new TPSGUniComboBox(Form);
        Combo->SetParent(Form);
        Combo->SetBounds(10, 50, 160, 24);
        Combo->Items()->Add(L"\x65E5\x672C");
        Combo->Items()->Add(L"\x0395\x03BB\x03BB\x03AC\x03B4\x03B1");
        Combo->OnKeyPress = [this](TObject*, char& Key) { Keys.push_back(static_cast<unsigned char>(Key)); };
        Form->Show();
        gui::Settle();
    }

    HWND ComboEdit()
    {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(Combo->Handle(), &info);
        return info.hwndItem;
    }

    void Type(HWND Wnd, std::initializer_list<wchar_t> Chars)
    {
        for (wchar_t c : Chars)
            PostMessageW(Wnd, WM_CHAR, c, 1);
        gui::Settle();
    }

    TPsgUniEdit* Edit = nullptr;
    TPSGUniComboBox* Combo = nullptr;
    std::vector<int> Keys;
};

} // namespace

TEST_F(UniControls, EditTakesWideCharactersWhileKeyPressSees255)
{
    Edit->SetFocus();
    Type(Edit->Handle(), {L'a', 0x4E2D, 0x00E9, 0x0416});
    EXPECT_EQ(Edit->Text(), WideString(L"a\x4E2D\x00E9\x0416"));
    EXPECT_EQ(Keys, (std::vector<int>{'a', 255, 0xE9, 255}));
}

TEST_F(UniControls, KeyPressCanReplaceOrDropAWideCharacter)
{
    Edit->OnKeyPress = [](TObject*, char& Key) {
        if (static_cast<unsigned char>(Key) == 255)
            Key = 'x';
        else if (Key == 'q')
            Key = 0;
    };
    Edit->SetFocus();
    Type(Edit->Handle(), {0x4E2D, L'q', L'b'});
    EXPECT_EQ(Edit->Text(), L"xb");
}

TEST_F(UniControls, WideTextBeforeTheWindowExistsIsShownLater)
{
    auto* late = new TPsgUniEdit(Form);
    late->SetText(L"\x4E2D\x6587");
    EXPECT_FALSE(late->HandleAllocated());
    EXPECT_EQ(late->Text(), L"\x4E2D\x6587");
    late->SetParent(Form);
    late->SetBounds(10, 100, 100, 24);
    gui::Settle();
    ASSERT_TRUE(late->HandleAllocated());
    wchar_t buffer[16] = {};
    GetWindowTextW(late->Handle(), buffer, 16);
    EXPECT_EQ(WideString(buffer), L"\x4E2D\x6587");
    late->SetText(L"\x0391");
    late->SetParent(nullptr);   // destroys the window
    EXPECT_EQ(late->Text(), L"\x0391") << "the caption holder keeps the text";
}

TEST_F(UniControls, ComboEditFieldTakesWideCharacters)
{
    Combo->SetFocus();
    HWND edit = ComboEdit();
    ASSERT_NE(edit, nullptr);
    Type(edit, {0x4E2D, L'1'});
    EXPECT_EQ(Combo->Text(), L"\x4E2D" L"1");
    EXPECT_EQ(Keys, (std::vector<int>{255, '1'}));
    Keys.clear();
    Type(edit, {L'\b'});
    EXPECT_EQ(Keys, std::vector<int>{8}) << "Backspace fires OnKeyPress";
    EXPECT_EQ(Combo->Text(), L"\x4E2D");
}

TEST_F(UniControls, EnterWithTheListOpenOnlyClosesIt)
{
    Combo->SetFocus();
    Combo->SetText(L"abc");
    Combo->SetDroppedDown(true);
    gui::Settle();
    ASSERT_TRUE(Combo->DroppedDown());
    Type(ComboEdit(), {L'\r'});
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->Text(), L"abc");
}

TEST_F(UniControls, ChosenItemShowsItsWideTextBeforeOnChange)
{
    std::vector<WideString> seen;
    int clicks = 0;
    Combo->OnClick = [&](TObject*) { ++clicks; };
    Combo->OnChange = [&](TObject*) { seen.push_back(Combo->Text()); };
    SendMessageW(Combo->Handle(), CB_SETCURSEL, 1, 0);
    SendMessageW(Form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Combo->Handle()));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], L"\x0395\x03BB\x03BB\x03AC\x03B4\x03B1");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Combo->ItemIndex(), 1);
}

TEST_F(UniControls, ItemsLiveInTheWindowAndSurviveRecreation)
{
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(Combo->Items()->IndexOf(L"\x03B5\x03BB\x03BB\x03AC\x03B4\x03B1"), 1) << "found ignoring case";
    Combo->SetItemIndex(0);
    Combo->Items()->Insert(0, L"first");
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    Combo->Items()->Delete(2);
    Combo->RecreateWnd();
    gui::Settle();
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->Text(), L"\x65E5\x672C");
    Combo->Items()->Clear();
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Combo->Text(), L"\x65E5\x672C") << "clearing the list keeps the text";
    Type(ComboEdit(), {0x4E8C});
    EXPECT_NE(Combo->Text().find(L'\x4E8C'), WideString::npos) << "the edit field is still ours after recreation";
}

TEST_F(UniControls, MemoWrapsWithAVerticalScrollBarOnly)
{
    auto* memo = new TPsgUniMemo(Form);
    memo->SetParent(Form);
    memo->SetBounds(200, 10, 120, 80);
    memo->SetWordWrap(true);
    memo->SetScrollBars(ssVertical);
    memo->SetText(L"\x4E00\x4E8C\x4E09 one two three four five six seven eight nine ten");
    gui::Settle();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(memo->Handle(), GWL_STYLE));
    EXPECT_NE(style & WS_VSCROLL, 0u);
    EXPECT_EQ(style & WS_HSCROLL, 0u);
    EXPECT_EQ(style & ES_AUTOHSCROLL, 0u);
    EXPECT_GT(SendMessageW(memo->Handle(), EM_GETLINECOUNT, 0, 0), 1) << "the long line wraps";
    EXPECT_EQ(memo->Text(), WideString(L"\x4E00\x4E8C\x4E09 one two three four five six seven eight nine ten"));
    EXPECT_EQ(SendMessageW(memo->Handle(), WM_GETDLGCODE, 0, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0);
}

TEST_F(UniControls, EditWithButtonGatesCharacters)
{
    auto* edit = new TPsgUniEditBtn(Form);
    edit->SetParent(Form);
    edit->SetBounds(200, 100, 150, 24);
    int clicks = 0;
    edit->OnClickBtn = [&](TObject*) { ++clicks; };
    gui::Settle();
    EXPECT_EQ(edit->Text(), L"") << "no initial text";
    edit->SetFocus();
    Type(edit->Handle(), {0x0416, L'\r'});
    EXPECT_EQ(edit->Text(), L"\x0416");
    edit->EditorEnabled = false;
    Type(edit->Handle(), {0x0417});
    EXPECT_EQ(edit->Text(), L"\x0416");
    gui::PressKey(VK_F4);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->FormattingRect().right, edit->ClientWidth() - edit->ButtonWidth() - 3);
}

// A finished composition of three characters becomes three characters; the
// composition is completed through the input context of the edit.
TEST_F(UniControls, FinishedCompositionBecomesCharacters)
{
    Edit->SetFocus();
    gui::Settle();
    HIMC context = ImmGetContext(Edit->Handle());
    ASSERT_NE(context, nullptr) << "the edit has an input context";
    const WideString text = L"\x4E09\x4E2A\x5B57";
    ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0);
    ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    const LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    ImmReleaseContext(Edit->Handle(), context);
    ASSERT_EQ(bytes, static_cast<LONG>(text.size() * sizeof(wchar_t))) << "the context holds the result";
    Keys.clear();
    SendMessageW(Edit->Handle(), WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    gui::Settle();
    EXPECT_NE(Edit->Text().find(text), WideString::npos) << "the three characters were typed";
    EXPECT_EQ(std::count(Keys.begin(), Keys.end(), 255), 3) << "three character messages";
    SendMessageW(Edit->Handle(), WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    EXPECT_EQ(std::count(Keys.begin(), Keys.end(), 255), 3) << "an unfinished composition types nothing itself";
}

namespace {

// The window's items in order.
std::vector<WideString> WindowItems(HWND Combo)
{
    std::vector<WideString> Items;
    const auto Count = SendMessageW(Combo, CB_GETCOUNT, 0, 0);
    for (LRESULT I = 0; I < Count; ++I) {
        const auto Length = SendMessageW(Combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(I), 0);
        WideString Text(static_cast<std::size_t>(Length) + 1, L'\0');
        SendMessageW(Combo, CB_GETLBTEXT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(Text.data()));
        Text.resize(static_cast<std::size_t>(Length));
        Items.push_back(Text);
    }
    return Items;
}

std::vector<WideString> ListItems(const TWideStrings* List)
{
    std::vector<WideString> Items;
    for (int I = 0; I < List->Count(); ++I)
        Items.push_back(List->Strings(I));
    return Items;
}

struct ComboSettingCase {
    const char* Name;
    std::function<void(TForm*, TPSGUniComboBox*)> Run;   // sets up a combo box on the shown form and checks it
};

} // namespace

// The combo box's own settings on a real window: sorted items (added before
// and after the window exists, switched on later, kept over a re-created
// window), the item height, the text limit, and owner-drawn items measured
// and drawn by the application.
TEST_F(UniControls, ComboSortsLimitsAndDrawsItsItems)
{
    const ComboSettingCase Cases[] = {
        {"items added to a sorted combo take their places",
         [](TForm*, TPSGUniComboBox* C) {
             C->SetSorted(true);
             C->Items()->Clear();
             for (const wchar_t* S : {L"pear", L"Apple", L"\xAC00", L"banana", L"apple"})
                 C->Items()->Add(S);
             const std::vector<WideString> Want = {L"Apple", L"apple", L"banana", L"pear", L"\xAC00"};
             EXPECT_EQ(ListItems(C->Items()), Want);
             EXPECT_EQ(WindowItems(C->Handle()), Want);
             EXPECT_EQ(C->Items()->Add(L"cherry"), 3) << "Add answers the place";
             C->RecreateWnd();
             gui::Settle();
             EXPECT_EQ(WindowItems(C->Handle()), ListItems(C->Items())) << "after re-creation";
         }},
        {"switching Sorted on orders the items there are",
         [](TForm*, TPSGUniComboBox* C) {
             C->Items()->Clear();
             for (const wchar_t* S : {L"delta", L"alpha", L"charlie", L"bravo"})
                 C->Items()->Add(S);
             C->SetText(L"typed");
             C->SetSorted(true);
             const std::vector<WideString> Want = {L"alpha", L"bravo", L"charlie", L"delta"};
             EXPECT_EQ(ListItems(C->Items()), Want);
             EXPECT_EQ(WindowItems(C->Handle()), Want);
             EXPECT_EQ(C->Text(), L"typed") << "the text stays";
             C->SetSorted(false);
             C->Items()->Add(L"zulu");
             C->Items()->Add(L"able");
             EXPECT_EQ(C->Items()->Strings(5), L"able") << "unsorted, an added item goes last";
         }},
        {"a sorted combo made before its window fills it in order",
         [](TForm* F, TPSGUniComboBox*) {
             auto* C = new TPSGUniComboBox(F);
             C->SetSorted(true);
             for (const wchar_t* S : {L"3", L"1", L"2"})
                 C->Items()->Add(S);
             C->SetParent(F);
             C->SetBounds(200, 50, 120, 24);
             gui::Settle();
             EXPECT_EQ(WindowItems(C->Handle()), (std::vector<WideString>{L"1", L"2", L"3"}));
         }},
        {"item height is the font's unless the items are owner-drawn",
         [](TForm*, TPSGUniComboBox* C) {
             const LRESULT FontHeight = SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0);
             C->SetItemHeight(30);
             EXPECT_EQ(C->ItemHeight(), FontHeight);
             C->SetStyle(csOwnerDrawFixed);
             gui::Settle();
             EXPECT_EQ(C->ItemHeight(), 30);
             EXPECT_EQ(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0), 30);
             C->RecreateWnd();
             gui::Settle();
             EXPECT_EQ(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0), 30) << "kept over re-creation";
         }},
        {"max length limits typing",
         [](TForm*, TPSGUniComboBox* C) {
             C->SetText(L"");
             C->SetMaxLength(3);
             C->SetFocus();
             gui::Settle();
             COMBOBOXINFO Info{};
             Info.cbSize = sizeof Info;
             GetComboBoxInfo(C->Handle(), &Info);
             for (wchar_t Ch : {L'a', L'b', L'\x4E2D', L'd', L'e'})
                 PostMessageW(Info.hwndItem, WM_CHAR, Ch, 1);
             gui::Settle();
             EXPECT_EQ(C->Text(), L"ab\x4E2D");
             EXPECT_EQ(C->MaxLength(), 3);
         }},
        {"owner-drawn fixed items are drawn by the application at the item height",
         [](TForm*, TPSGUniComboBox* C) {
             std::vector<int> Drawn;
             int ItemTop = -1;
             int ItemBottom = -1;
             C->OnDrawItem = [&](TWinControl*, int Index, const TRect& R, TOwnerDrawState State) {
                 Drawn.push_back(Index);
                 if ((State & odComboBoxEdit) == 0 && Index >= 0) {
                     ItemTop = R.top;
                     ItemBottom = R.bottom;
                 }
                 C->Canvas()->Brush()->SetColor(clLime);
                 C->Canvas()->FillRect(R);
             };
             C->SetItemHeight(24);
             C->SetStyle(csOwnerDrawFixed);
             gui::Settle();
             EXPECT_EQ(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0), 24);
             C->SetItemIndex(1);
             C->SetDroppedDown(true);
             gui::Settle();
             C->SetDroppedDown(false);
             gui::Settle();
             std::string Seen;
             for (int I : Drawn)
                 Seen += std::to_string(I) + " ";
             EXPECT_NE(std::find(Drawn.begin(), Drawn.end(), 0), Drawn.end()) << "item 0 drawn in the list; drawn: " << Seen;
             EXPECT_NE(std::find(Drawn.begin(), Drawn.end(), 1), Drawn.end());
             EXPECT_EQ(ItemBottom - ItemTop, 24);
             auto Shot = gui::CaptureControl(C);
             EXPECT_EQ(gui::PixelAt(Shot.get(), 6, C->Height() / 2), RGB(0, 255, 0)) << "the box drawn by the event";
         }},
        {"owner-drawn variable items take the heights the application measures",
         [](TForm*, TPSGUniComboBox* C) {
             std::vector<int> Measured;
             C->OnMeasureItem = [&](TWinControl*, int Index, int& Height) {
                 Measured.push_back(Index);
                 Height = 18 + 6 * Index;
             };
             C->SetStyle(csOwnerDrawVariable);
             gui::Settle();
             EXPECT_NE(std::find(Measured.begin(), Measured.end(), 1), Measured.end());
             EXPECT_EQ(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 0, 0), 18);
             EXPECT_EQ(SendMessageW(C->Handle(), CB_GETITEMHEIGHT, 1, 0), 24);
             EXPECT_EQ(WindowItems(C->Handle()).size(), 2u) << "the items are still there";
         }},
    };
    for (const ComboSettingCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TearDown();
        SetUp();
        Case.Run(Form, Combo);
    }
}
