// A test form holding every skinned standard control, under each shipped
// skin: screenshots in build/screenshots (for a look), and the form's
// pixels after the skin is removed equal to its pixels before skinning.
#include <commctrl.h>

#include <algorithm>

#include "ControlsHarness.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqEditWnd.h"
#include "skin/windows/zqListViewWnd.h"
#include "skin/windows/zqTreeViewWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqGroupBoxWnd.h"
#include "skin/windows/zqSizerWnd.h"
#include "skin/windows/zqSpinWnd.h"
#include "skin/windows/zqStaticWnd.h"
#include "skin/windows/zqToolBarWnd.h"

using namespace skincontrols;

namespace {

// The controls of the gallery, made as a dialog would hold them.
struct TGallery {
    explicit TGallery(HWND Parent)
    {
        const auto add = [&](const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H) {
            HWND wnd = MakeChild(Parent, Class, Text, Style, X, Y, W, H);
            Windows.push_back(wnd);
            return wnd;
        };
        Tools = add(TOOLBARCLASSNAMEW, L"", CCS_NODIVIDER | TBSTYLE_FLAT | CCS_NORESIZE, 0, 0, 420, 44);
        SendMessageW(Tools, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[3]{};
        const wchar_t* texts[] = {L"Open", L"Send all channels", L"Stop"};
        for (int i = 0; i < 3; ++i) {
            buttons[i].iBitmap = I_IMAGENONE;
            buttons[i].idCommand = 100 + i;
            buttons[i].fsState = static_cast<BYTE>(i == 2 ? 0 : TBSTATE_ENABLED);
            buttons[i].fsStyle = BTNS_BUTTON;
            buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
        }
        SendMessageW(Tools, TB_SETBUTTONSIZE, 0, MAKELPARAM(64, 38));
        SendMessageW(Tools, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
        Push = add(L"BUTTON", L"Send", BS_PUSHBUTTON, 10, 60, 90, 28);
        Default = add(L"BUTTON", L"Apply", BS_DEFPUSHBUTTON, 110, 60, 90, 28);
        Disabled = add(L"BUTTON", L"Disabled", BS_PUSHBUTTON | WS_DISABLED, 210, 60, 90, 28);
        Check = add(L"BUTTON", L"Repeat codes", BS_AUTOCHECKBOX, 10, 100, 140, 22);
        SendMessageW(Check, BM_SETCHECK, BST_CHECKED, 0);
        Three = add(L"BUTTON", L"Mixed", BS_AUTO3STATE, 160, 100, 120, 22);
        SendMessageW(Three, BM_SETCHECK, BST_INDETERMINATE, 0);
        Radio = add(L"BUTTON", L"Port COM1", BS_AUTORADIOBUTTON, 10, 126, 140, 22);
        SendMessageW(Radio, BM_SETCHECK, BST_CHECKED, 0);
        Radio2 = add(L"BUTTON", L"Port COM2", BS_AUTORADIOBUTTON, 160, 126, 140, 22);
        Group = add(L"BUTTON", L"Extender", BS_GROUPBOX, 10, 156, 200, 90);
        Text = add(L"STATIC", L"Channel 3 of 8 is ready to send.", SS_LEFT, 20, 180, 180, 34);
        Spin = add(UPDOWN_CLASSW, L"", 0, 310, 60, 18, 27);
        Grip = add(L"SCROLLBAR", L"", SBS_SIZEGRIP, 400, 280, 18, 18);
        const auto addEdged = [&](const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H) {
            HWND wnd = MakeChild(Parent, Class, Text, Style, X, Y, W, H, WS_EX_CLIENTEDGE);
            Windows.push_back(wnd);
            return wnd;
        };
        Edit = addEdged(L"EDIT", L"192.168.0.10", ES_AUTOHSCROLL, 430, 10, 200, 24);
        std::wstring lines;
        for (int i = 1; i <= 30; ++i)
            lines += L"Code " + std::to_wstring(i) + L" learnt\r\n";
        Memo = addEdged(L"EDIT", lines.c_str(), ES_MULTILINE | WS_VSCROLL, 430, 40, 200, 90);
        List = addEdged(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 430, 136, 200, 70);
        for (int i = 1; i <= 12; ++i)
            SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Extender " + std::to_wstring(i)).c_str()));
        Combo = add(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 430, 214, 200, 160);
        for (const wchar_t* item : {L"COM1", L"COM2", L"TCP 127.0.0.1"})
            SendMessageW(Combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(Combo, CB_SETCURSEL, 0, 0);
        Report = addEdged(WC_LISTVIEWW, L"", LVS_REPORT, 10, 310, 300, 100);
        FillReport(Report, L"Slots", 8, [](int I) { return L"Channel " + std::to_wstring(I + 1); });
        Tree = addEdged(WC_TREEVIEWW, L"", TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 320, 310, 200, 100);
        TVINSERTSTRUCTW insert{};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        std::wstring rootText = L"Project";
        insert.item.pszText = rootText.data();
        HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        for (int i = 1; i <= 3; ++i) {
            std::wstring child = L"Channel " + std::to_wstring(i);
            insert.hParent = root;
            insert.item.pszText = child.data();
            SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        }
        SendMessageW(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    }
    ~TGallery()
    {
        for (HWND w : Windows)
            DestroyWindow(w);
    }

    std::vector<HWND> Windows;
    HWND Tools, Push, Default, Disabled, Check, Three, Radio, Radio2, Group, Text, Spin, Grip;
    HWND Edit, Memo, List, Combo, Report, Tree;
};

class ControlGallery : public ::testing::TestWithParam<String> {};

TEST_P(ControlGallery, EveryMemberIsDrawnFromTheSkinAndNativeAgainAfterwards)
{
    auto manager = ShippedManager(GetParam());
    ASSERT_TRUE(manager->SkinData().Loaded);
    TCacheParent parent(nullptr, 640, 420);
    parent.Show();
    TGallery gallery(parent.Handle());
    Settle();
    auto native = Capture(parent.Handle());
    SaveScreenshot(parent.Handle(), ScreenshotPath("controls-" + GetParam() + "-native.png"));

    std::vector<TzqMainWndPtr<>> skinned;
    const auto skin = [&](auto* Object) { skinned.emplace_back(Object); };
    TqSkinManager* m = manager.get();
    skin(TzqMainWnd::Create<TzqToolBarWnd>(gallery.Tools, false, "TOOLBAR", m, nullptr));
    for (HWND b : {gallery.Push, gallery.Default, gallery.Disabled})
        skin(TzqMainWnd::Create<TzqBtnWnd>(b, false, "BUTTON", m, nullptr));
    for (HWND c : {gallery.Check, gallery.Three, gallery.Radio, gallery.Radio2})
        skin(TzqMainWnd::Create<TzqCheckBoxWnd>(c, false, "CHECKBOX", m, nullptr));
    skin(TzqMainWnd::Create<TzqGroupBoxWnd>(gallery.Group, false, "GROUPBOX", m, nullptr));
    skin(TzqMainWnd::Create<TzqStaticWnd>(gallery.Text, false, "CHECKBOX", m, nullptr));
    skin(TzqMainWnd::Create<TzqSpinWnd>(gallery.Spin, false, "BUTTON", m, nullptr));
    skin(TzqMainWnd::Create<TzqSizerWnd>(gallery.Grip, false, "PANEL", m, nullptr));
    for (HWND e : {gallery.Edit, gallery.Memo, gallery.List})
        skin(TzqMainWnd::Create<TzqEditWnd>(e, true, "EDIT", m, nullptr));
    skin(TzqMainWnd::Create<TzqComboBoxWnd>(gallery.Combo, true, "COMBOBOX", m, nullptr));
    skin(TzqMainWnd::Create<TzqListViewWnd>(gallery.Report, true, "EDIT", m, nullptr));
    skin(TzqMainWnd::Create<TzqTreeViewWnd>(gallery.Tree, true, "EDIT", m, nullptr));
    RedrawWindow(parent.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                                        RDW_UPDATENOW);
    Settle();
    SaveScreenshot(parent.Handle(), ScreenshotPath("controls-" + GetParam() + ".png"));
    auto drawn = Capture(parent.Handle());
    // Every control's area changed from the native look.
    for (HWND w : gallery.Windows) {
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&r), 2);
        int differ = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                differ += paint_probe::PixelAt(*native, x, y) != paint_probe::PixelAt(*drawn, x, y);
        EXPECT_GT(differ, 0) << "window at " << r.left << "," << r.top;
    }

    // The skin goes; its remover lets go of the windows, whose visual style
    // comes back.
    SkinRemoving = true;
    manager->SetActive(false);
    skinned.clear();
    SkinRemoving = false;
    RedrawWindow(parent.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                                        RDW_UPDATENOW);
    Settle();
    SaveScreenshot(parent.Handle(), ScreenshotPath("controls-" + GetParam() + "-removed.png"));
    auto removed = Capture(parent.Handle());
    for (HWND w : gallery.Windows) {
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&r), 2);
        // A themed group box fills itself with what its parent prints, which
        // differs between a first showing and a repaint: only its side edges
        // below the caption and its bottom edge count.
        const bool frameOnly = w == gallery.Group;
        int differ = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const int edge = std::min({x - r.left, r.right - 1 - x, r.bottom - 1 - y});
                if (!frameOnly || (edge < 2 && y - r.top >= 10))
                    differ += paint_probe::PixelAt(*native, x, y) != paint_probe::PixelAt(*removed, x, y);
            }
        EXPECT_EQ(0, differ) << "native again at " << r.left << "," << r.top;
    }
}

INSTANTIATE_TEST_SUITE_P(Skins, ControlGallery, ::testing::Values("Basalt", "Clearwater", "Terracotta"));

}   // namespace
