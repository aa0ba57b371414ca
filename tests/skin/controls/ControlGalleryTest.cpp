// A test form holding every skinned standard control, under each shipped
// skin: screenshots in build/screenshots (for a look), and the form's
// pixels after the skin is removed equal to its pixels before skinning.
#include <commctrl.h>

#include <algorithm>

#include "ControlsHarness.h"
#include "skin/windows/zqBtnWnd.h"
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
    }
    ~TGallery()
    {
        for (HWND w : Windows)
            DestroyWindow(w);
    }

    std::vector<HWND> Windows;
    HWND Tools, Push, Default, Disabled, Check, Three, Radio, Radio2, Group, Text, Spin, Grip;
};

class ControlGallery : public ::testing::TestWithParam<String> {};

TEST_P(ControlGallery, EveryMemberIsDrawnFromTheSkinAndNativeAgainAfterwards)
{
    auto manager = ShippedManager(GetParam());
    ASSERT_TRUE(manager->SkinData().Loaded);
    TCacheParent parent(nullptr, 420, 300);
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
