// The Unicode edit, memo, edit with button and combo box with real
// character messages: characters above U+00FF reach the text while the key
// press sees 255.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "grid/interaction/PsgUniControls.h"

#include <imm.h>

#include <algorithm>

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
