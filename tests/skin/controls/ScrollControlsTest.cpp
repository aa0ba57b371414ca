// The scrollable-control subclasses on real system windows under Wine:
// edits, memos, list boxes and combo boxes with their drop-down lists.
#include "ControlsHarness.h"
#include "framework/ComboBox.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqEditWnd.h"

using namespace skincontrols;

namespace {

class ScrollControls : public TSkinnedParentTest {
protected:
    HWND Edged(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H)
    {
        return Child(Class, Text, Style, X, Y, W, H, WS_EX_CLIENTEDGE);
    }
    // A memo of Lines numbered lines.
    HWND Memo(int Lines)
    {
        std::wstring text;
        for (int i = 0; i < Lines; ++i)
            text += L"Line " + std::to_wstring(i) + L"\r\n";
        return Edged(L"EDIT", text.c_str(), ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 10, 200, 150);
    }
    // A left press and release at a screen point of the vertical bar.
    static void ClickBar(HWND Wnd, TPoint Screen)
    {
        SendMessageW(Wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(Screen.x, Screen.y));
        POINT client{Screen.x, Screen.y};
        ScreenToClient(Wnd, &client);
        SendMessageW(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }

};

TEST_F(ScrollControls, SkinnedMemoScrollsToTheRowItsBarAsksFor)
{
    HWND memo = Memo(200);
    auto* object = Skin<TzqEditWnd>(memo, "EDIT", true);
    Settle();
    ASSERT_TRUE(object->VertBar->Shown);
    TRect bar;
    TzqScrollWnd::GetVScrollRect(object, memo, bar);
    const int arrow = ScrollBarPartSize(object->VertBar.get(), 0, false);
    // The down arrow: one row.
    ClickBar(memo, TPoint{(bar.left + bar.right) / 2, bar.bottom - arrow / 2});
    EXPECT_EQ(1, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The track below the thumb: one page of rows.
    const int perPage = [&] {
        RECT client{};
        GetClientRect(memo, &client);
        TEXTMETRICW tm{};
        HDC dc = GetDC(memo);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(memo, dc);
        return static_cast<int>((client.bottom - client.top) / tm.tmHeight);
    }();
    ClickBar(memo, TPoint{(bar.left + bar.right) / 2, bar.bottom - arrow - 2});
    EXPECT_EQ(1 + perPage, SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The bar read the new position back.
    EXPECT_EQ(static_cast<int>(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0)), object->VertBar->Info.nPos);
}

TEST_F(ScrollControls, EditInASkinnedDialogShowsAWindowFaceInTheBorderColour)
{
    const TColor border = static_cast<TColor>(ColorToRGB(Manager->SkinData().BorderColor));
    ASSERT_NE(clSkinTransparent, Manager->SkinData().BorderColor);
    SubclassInDialog = true;
    HWND edit = Edged(L"EDIT", L"", ES_AUTOHSCROLL, 10, 10, 120, 24);
    auto* object = Skin<TzqEditWnd>(edit, "EDIT", true);
    SubclassInDialog = false;
    EXPECT_TRUE(object->InDialog);
    auto image = Print(edit);
    EXPECT_TRUE(Near(border, paint_probe::PixelAt(*image, 0, 12), 0));
    EXPECT_TRUE(Near(border, paint_probe::PixelAt(*image, 60, 23), 0));
    EXPECT_TRUE(Near(static_cast<TColor>(ColorToRGB(clWindow)), paint_probe::PixelAt(*image, 1, 12), 0));

    // A skin whose border colour is "none": the section is painted instead.
    auto none = skinstate::ManagerWithSkin(
        "[GLOBALINFO]\nVERSION=5.2\nBORDERCOLOR=16711935\n[EDIT]\nCOLOR=255\n", "NoBorder");
    Subclasses.clear();
    Manager.reset();
    ASSERT_EQ(clSkinTransparent, none->SkinData().BorderColor);
    SubclassInDialog = true;
    HWND second = Edged(L"EDIT", L"", ES_AUTOHSCROLL, 10, 50, 120, 24);
    Skin<TzqEditWnd>(second, "EDIT", true, none.get());
    SubclassInDialog = false;
    auto plain = Print(second);
    EXPECT_TRUE(Near(0x000000FF, paint_probe::PixelAt(*plain, 0, 12), 0));
    Subclasses.clear();
}

// A drop-down list combo box of Count items, 150 wide.
HWND DropDownCombo(HWND Parent, int Count)
{
    HWND combo = MakeChild(Parent, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 150, 200);
    for (int i = 0; i < Count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Channel " + std::to_wstring(i)).c_str()));
    return combo;
}

HWND ListOf(HWND Combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(Combo, &info);
    return info.hwndList;
}

TEST_F(ScrollControls, DropDownListSwallowsTimersSoAHeldArrowScrollsOnce)
{
    HWND combo = DropDownCombo(Parent->Handle(), 40);
    HWND list = ListOf(combo);
    TMessageSpy spy(list);
    auto* object = Skin<TzqComboBoxWnd>(combo, "COMBOBOX", true);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Settle();
    ASSERT_TRUE(object->ListSubclass);
    EXPECT_EQ(list, object->ListWnd);
    auto* listObject = object->ListSubclass.get();
    ASSERT_TRUE(listObject->VertBar->Shown);
    // A foreign timer: answered 0, never reaching the list.
    const int timersBefore = spy.Count(WM_TIMER);
    EXPECT_EQ(0, SendMessageW(list, WM_TIMER, 77, 0));
    EXPECT_EQ(timersBefore, spy.Count(WM_TIMER));
    // Holding the down arrow: one row, however long it is held.
    TRect bar;
    TzqScrollWnd::GetVScrollRect(listObject, list, bar);
    const int arrow = ScrollBarPartSize(listObject->VertBar.get(), 0, false);
    const TPoint p{(bar.left + bar.right) / 2, bar.bottom - arrow / 2};
    SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
    gui::PumpFor(700);
    EXPECT_EQ(1, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    POINT client{p.x, p.y};
    ScreenToClient(list, &client);
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    EXPECT_EQ(1, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(timersBefore, spy.Count(WM_TIMER));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(ScrollControls, DropDownWithoutItemsGetsItsListSubclassWithoutAFrameRefresh)
{
    for (int count : {0, 5}) {
        HWND combo = DropDownCombo(Parent->Handle(), count);
        HWND list = ListOf(combo);
        TMessageSpy spy(list);
        auto* object = Skin<TzqComboBoxWnd>(combo, "COMBOBOX", true);
        HDC dc = GetDC(list);
        SendMessageW(combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list));
        ReleaseDC(list, dc);
        ASSERT_TRUE(object->ListSubclass) << count;
        EXPECT_EQ(count > 0, spy.Count(WM_NCCALCSIZE) > 0) << count;
        Subclasses.clear();
        DestroyWindow(combo);
    }
}

TEST_F(ScrollControls, ListColoursUseOneBrushPerColourFreedWithTheSubclass)
{
    HWND combo = DropDownCombo(Parent->Handle(), 3);
    HWND list = ListOf(combo);
    auto* object = Skin<TzqComboBoxWnd>(combo, "COMBOBOX", true);
    HDC dc = GetDC(list);
    const LRESULT first =
        SendMessageW(combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list));
    ASSERT_NE(0, first);
    EXPECT_EQ(OBJ_BRUSH, GetObjectType(reinterpret_cast<HGDIOBJ>(first)));
    const int before = paint_probe::GdiObjectCount();
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(first, SendMessageW(combo, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(list)));
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
    EXPECT_EQ(1, object->ListBrushCount());
    ReleaseDC(list, dc);
    Subclasses.clear();
    EXPECT_EQ(0, GetObjectType(reinterpret_cast<HGDIOBJ>(first)));
}

TEST_F(ScrollControls, NoGdiObjectIsLeftByFrameRepaints)
{
    HWND memo = Memo(60);
    HWND list = Edged(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 220, 10, 120, 80);
    for (int i = 0; i < 20; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Extender"));
    HWND combo = DropDownCombo(Parent->Handle(), 3);
    SetWindowPos(combo, nullptr, 220, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Skin<TzqEditWnd>(memo, "EDIT", true);
    Skin<TzqEditWnd>(list, "EDIT", true);
    Skin<TzqComboBoxWnd>(combo, "COMBOBOX", true);
    const HWND windows[] = {memo, list, combo};
    const auto repaint = [&] {
        for (HWND w : windows) {
            SendMessageW(w, WM_NCPAINT, 1, 0);
            SendMessageW(w, WM_PAINT, 0, 0);
        }
    };
    repaint();
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i)
        repaint();
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

TEST_F(ScrollControls, EveryMemberValidatesAPaintItSkips)
{
    struct Case {
        const wchar_t* Class;
        DWORD Style;
    };
    const Case cases[] = {{L"EDIT", ES_MULTILINE | WS_VSCROLL}, {L"LISTBOX", WS_VSCROLL}, {L"COMBOBOX", CBS_DROPDOWN}};
    for (const Case& c : cases) {
        HWND wnd = Edged(c.Class, L"x", c.Style, 10, 10, 100, 60);
        TzqMainWnd* object = c.Class == std::wstring(L"COMBOBOX")
                                 ? static_cast<TzqMainWnd*>(Skin<TzqComboBoxWnd>(wnd, "COMBOBOX", true))
                                 : static_cast<TzqMainWnd*>(Skin<TzqEditWnd>(wnd, "EDIT", true));
        object->SkinData->Updating = true;
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        UpdateWindow(wnd);
        EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE)) << c.Class;
        object->SkinData->Updating = false;
        Subclasses.clear();
        DestroyWindow(wnd);
    }
}

}   // namespace

namespace {

TEST(FrameworkComboBox, NamesItsEditAndListWindows)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 300, 200);
    form.Show();
    struct Case {
        TComboBoxStyle Style;
        bool HasEdit;
    };
    for (const Case& c : {Case{csDropDown, true}, Case{csDropDownList, false}}) {
        auto box = std::make_unique<TComboBox>(nullptr);
        box->SetStyle(c.Style);
        EXPECT_EQ(nullptr, box->ListHandle());
        box->SetParent(&form);
        box->Items()->Add("COM1");
        wchar_t name[32]{};
        ASSERT_NE(nullptr, box->ListHandle());
        GetClassNameW(box->ListHandle(), name, 32);
        EXPECT_STREQ(L"ComboLBox", name);
        EXPECT_EQ(c.HasEdit, box->EditHandle() != nullptr);
        if (c.HasEdit) {
            GetClassNameW(box->EditHandle(), name, 32);
            EXPECT_STREQ(L"Edit", name);
            EXPECT_EQ(box->Handle(), GetParent(box->EditHandle()));
        }
    }
}

}   // namespace
