// System dialogs skinned by the dialog provider: a real dialog from an
// in-memory template and a real message box, under the shipped skins. The
// frame as the screen shows it, the hit tests of the title bar, the close
// button clicked through the input queue, the window region, the children
// wrapped by their class, the box moved to the requested place, the
// provider freed with its window, and, with the creation hook, which
// windows it skins and that removing the skin gives the system frame back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogSupport.h"
#include "../support/PngFile.h"
#include "skin/engine/qSkinMessages.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqEditWnd.h"
#include "skin/windows/zqProvider.h"
#include "skin/windows/zqSkinHook.h"
#include "skin/windows/zqStaticWnd.h"

using namespace providertest;

using namespace dialogtest;

TEST(DialogSkin, FrameKindsHitTestsChildrenAndRegion)
{
    const char* skins[] = {"Basalt", "Clearwater", "Terracotta"};
    struct TKind {
        DWORD Style;
        Byte Kind;
        const char* Name;
    };
    const TKind kinds[] = {{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, fkDialog, "dialog"},
                           {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX,
                            fkSizing, "sizing"},
                           {WS_POPUP | WS_BORDER, fkNone, "none"}};
    for (const char* skin : skins) {
        auto manager = ShippedManager(skin);
        ASSERT_TRUE(manager->Active());
        for (const TKind& k : kinds) {
            SCOPED_TRACE(std::string(skin) + " " + k.Name);
            HWND dlg = MakeDialog(k.Style);
            ASSERT_NE(nullptr, dlg);
            TzqProvider* p = Skin(dlg);
            TzqDialogWnd* w = p->DialogWrapper.get();
            ASSERT_NE(nullptr, w);
            EXPECT_EQ(k.Kind, w->FrameKind);
            EXPECT_EQ(0, GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU);
            EXPECT_EQ(k.Style & WS_SYSMENU, w->SavedStyle & WS_SYSMENU);

            // Children wrapped by their class.
            EXPECT_NE(nullptr, dynamic_cast<TzqEditWnd*>(GetSubclassObject(ChildById(dlg, 100))));
            EXPECT_NE(nullptr, dynamic_cast<TzqBtnWnd*>(GetSubclassObject(ChildById(dlg, IDOK))));
            EXPECT_NE(nullptr, dynamic_cast<TzqCheckBoxWnd*>(GetSubclassObject(ChildById(dlg, 101))));
            EXPECT_NE(nullptr, dynamic_cast<TzqStaticWnd*>(GetSubclassObject(ChildById(dlg, 102))));
            EXPECT_NE(nullptr, dynamic_cast<TzqEditWnd*>(GetSubclassObject(ChildById(dlg, 103))));
            EXPECT_NE(nullptr, dynamic_cast<TzqComboBoxWnd*>(GetSubclassObject(ChildById(dlg, 104))));

            // The screen shows the frame cache in the title area.
            auto screen = ScreenOf(dlg);
            TBitmap* cache = w->SkinData->CacheBmp.get();
            ASSERT_EQ(screen->Width(), cache->Width());
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            const bool hasRegion = GetWindowRgn(dlg, region) != ERROR;
            // A frameless popup keeps the system's one-pixel border.
            int differ = 0, compared = 0;
            for (int y = 0; k.Kind != fkNone && y < w->TitleHeight(); ++y)
                for (int x = 0; x < screen->Width(); ++x) {
                    if (hasRegion && !PtInRegion(region, x, y))
                        continue;
                    ++compared;
                    differ += Pixel(screen.get(), x, y) != Pixel(cache, x, y);
                }
            EXPECT_EQ(0, differ) << "of " << compared;
            skintest::SavePng(*screen, ScreenshotFolder() + "/dialog-" + skin + "-" + k.Name + ".png");

            // The region: the skin's corners cut out, holes let the click through.
            if (!w->CornerRects.empty()) {
                ASSERT_TRUE(hasRegion);
                HRGN want = CreateRectRgn(0, 0, w->W, w->H);
                for (const TRect& r : w->CornerRects) {
                    HRGN hole = CreateRectRgn(r.left, r.top, r.right, r.bottom);
                    CombineRgn(want, want, hole, RGN_DIFF);
                    DeleteObject(hole);
                }
                EXPECT_TRUE(EqualRgn(want, region));
                DeleteObject(want);
                const TRect hole = w->CornerRects.front();
                RECT wr{};
                GetWindowRect(dlg, &wr);
                EXPECT_NE(dlg, WindowFromPoint(POINT{wr.left + hole.left, wr.top + hole.top}));
            }
            DeleteObject(region);

            // Hit tests as a table (window coordinates).
            if (k.Kind != fkNone) {
                const TRect c = w->Close.Rect;
                struct THit {
                    int X, Y;
                    LRESULT Want;
                } hits[] = {{(c.left + c.right) / 2, (c.top + c.bottom) / 2, HTCLOSE},
                            {w->BorderWidth() + 4, (c.top + c.bottom) / 2, HTSYSMENU},
                            {w->W / 2 - 20, (c.top + c.bottom) / 2, HTCAPTION},
                            {w->W / 2, w->H / 2 + 10, HTCLIENT}};
                for (const THit& h : hits) {
                    RECT wr{};
                    GetWindowRect(dlg, &wr);
                    EXPECT_EQ(h.Want, SendMessageW(dlg, WM_NCHITTEST, 0, MAKELPARAM(wr.left + h.X, wr.top + h.Y)))
                        << h.X << "," << h.Y;
                }
                if (k.Kind == fkSizing) {
                    const TRect m = w->Maximize.Rect;
                    RECT wr{};
                    GetWindowRect(dlg, &wr);
                    EXPECT_EQ(HTMAXBUTTON, SendMessageW(dlg, WM_NCHITTEST, 0,
                                                        MAKELPARAM(wr.left + (m.left + m.right) / 2,
                                                                   wr.top + (m.top + m.bottom) / 2)));
                }
            }

            // Closing: the close button through the input queue, or a plain close.
            if (k.Kind != fkNone) {
                const TRect c = w->Close.Rect;
                ClickAt(dlg, POINT{(c.left + c.right) / 2, (c.top + c.bottom) / 2});
                gui::PumpUntil([&] { return !IsWindow(dlg); }, 3000);
                EXPECT_FALSE(IsWindow(dlg)) << "the close button did not close";
            }
            if (IsWindow(dlg))
                DestroyWindow(dlg);
            gui::PumpUntil([&] { return !Listed(p); }, 3000);
            EXPECT_FALSE(Listed(p)) << "the provider outlived its dialog";
        }
    }
}

TEST(DialogSkin, MessageBoxThroughTheHookIsSkinnedAndMovedThenNativeAgain)
{
    EnableDialogSkinning();
    auto manager = ShippedManager("Clearwater");
    ASSERT_NE(nullptr, CreationHookHandle());

    struct TSeen {
        bool Skinned = false;
        bool ChildrenWrapped = false;
        RECT Rect{};
        int Calls = 0;
    } static seen;
    seen = TSeen{};
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR Id, DWORD) {
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND W, LPARAM L) {
            wchar_t cls[32] = {};
            GetClassNameW(W, cls, 32);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(W)) {
                *reinterpret_cast<HWND*>(L) = W;
                return FALSE;
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&box));
        if (!box || ++seen.Calls < 2)
            return;
        KillTimer(nullptr, Id);
        seen.Skinned = dynamic_cast<TzqDialogWnd*>(GetSubclassObject(box)) != nullptr;
        HWND button = FindWindowExW(box, nullptr, L"Button", nullptr);
        seen.ChildrenWrapped = button && GetSubclassObject(button) != nullptr;
        GetWindowRect(box, &seen.Rect);
        auto shot = ScreenOf(box);
        skintest::SavePng(*shot, ScreenshotFolder() + "/dialog-messagebox.png");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    // The skin library's message box asks for its place; the system's box is shown.
    const auto hook = std::move(Application->MessageBoxHook);
    Application->MessageBoxHook = nullptr;
    const String caption = "Box";
    const int answer = ShowSkinMessage(&caption, "A skinned message", mtInformation, mbOK, 40, 50);
    Application->MessageBoxHook = hook;
    EXPECT_EQ(IDOK, answer);
    EXPECT_EQ(-1, RequestedDialogX);
    EXPECT_TRUE(seen.Skinned);
    EXPECT_TRUE(seen.ChildrenWrapped);
    EXPECT_EQ(40, seen.Rect.left);
    EXPECT_EQ(50, seen.Rect.top);
    gui::PumpFor(100);
    int live = 0;
    for (TzqProvider* p : *ProviderList)
        live += p != nullptr;
    EXPECT_EQ(0, live) << "a provider outlived its box";

    // Windows of the input method and of OLE are left alone.
    for (const wchar_t* name : {L"IME", L"OleMainThreadWndClass"}) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        RegisterClassW(&wc);
        HWND wnd = CreateWindowExW(0, name, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, wnd);
        EXPECT_FALSE(SkinDialogWindow(wnd));
        EXPECT_EQ(nullptr, FindDialogProvider(wnd));
        DestroyWindow(wnd);
    }

    // A dialog skinned by the hook gets the system's frame back with the skin.
    HWND dlg = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    SetActiveWindow(dlg);
    gui::PumpFor(60);
    ASSERT_NE(nullptr, FindDialogProvider(dlg));
    EXPECT_EQ(0, GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU);
    manager->SetActive(false);
    gui::PumpFor(60);
    EXPECT_EQ(nullptr, CreationHookHandle());
    EXPECT_EQ(nullptr, GetSubclassObject(dlg));
    EXPECT_NE(0, GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(dlg, region));
    DeleteObject(region);
    auto shot = ScreenOf(dlg);
    skintest::SavePng(*shot, ScreenshotFolder() + "/dialog-native-again.png");
    DestroyWindow(dlg);
    TqSkinManager::CreationHookHandler = nullptr;
}

TEST(DialogSkin, RepeatedDialogsFreeTheirProviders)
{
    auto manager = ShippedManager("Terracotta");
    for (int i = 0; i < 20; ++i) {
        HWND dlg = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        TzqProvider* p = Skin(dlg);
        DestroyWindow(dlg);
        gui::PumpUntil([&] { return !Listed(p); }, 3000);
        ASSERT_FALSE(Listed(p)) << "round " << i;
    }
    FreeProviderList();
}
