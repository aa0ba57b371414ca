// The popup-menu window subclass on real "#32768" windows: made directly
// (the system class) for the message cases, and attached at creation, as
// the creation hook does, to the popups of a real TrackPopupMenu loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "../../support/GuiHarness.h"
#include "MenuTestSupport.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinableMenus.h"
#include "skin/windows/zqMnuWnd.h"

namespace {

using menutest::LoadShipped;
using menutest::WinPath;

LRESULT SkinCommand(HWND Wnd, int SubCommand, LPARAM LParam = 0)
{
    return SendMessageW(Wnd, SM_ZORVIKCMD, MAKEWPARAM(0, SubCommand), LParam);
}

// A popup-menu window of our own, with a link below the subclass that
// records what the subclass passes on.
struct TMenuWindow {
    explicit TMenuWindow(TqSkinManager* Manager, bool Visible = true)
    {
        Wnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"#32768", L"", WS_POPUP | (Visible ? WS_VISIBLE : 0),
                              200, 200, 120, 90, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Recorder = HookWndProc(Wnd, [this](TMessage& Message, const TCallPrevious& Previous) {
            Passed.push_back(Message.Msg);
            Previous(Message);
        });
        Object = TzqMainWnd::Create<TzqMnuWnd>(Wnd, false, "MAINMENU", Manager, nullptr);
    }
    ~TMenuWindow()
    {
        if (IsWindow(Wnd))
            DestroyWindow(Wnd);
    }
    int PassedCount(UINT Msg) const { return static_cast<int>(std::count(Passed.begin(), Passed.end(), Msg)); }

    HWND Wnd;
    TWindowHook Recorder;
    TzqMnuWnd* Object;   // freed by itself with its window
    std::vector<UINT> Passed;
};

struct MenuWindowTest : ::testing::Test {
    void SetUp() override
    {
        Manager = LoadShipped("Basalt");
        ASSERT_TRUE(Manager->SkinData().Loaded);
        MenuMeasuring = false;
    }
    void TearDown() override
    {
        MenuMeasuring = false;
        ReleaseMenuBackground();
    }
    std::unique_ptr<TqSkinManager> Manager;
};

TEST_F(MenuWindowTest, AnswersTheSkinCommandItself)
{
    TMenuWindow w(Manager.get());
    ASSERT_EQ(GetSubclassObject(w.Wnd), w.Object);
    EXPECT_EQ(SkinCommand(w.Wnd, scmIsSkinned), 1);
    // The answer in the message record's lParam field too.
    TMessage m{SM_ZORVIKCMD, MAKEWPARAM(0, scmIsSkinned), 0, 0};
    w.Object->SubclassWndProc(m);
    EXPECT_EQ(m.LParam, 1);
    EXPECT_EQ(m.Result, 1);
    EXPECT_EQ(SkinCommand(w.Wnd, scmGetApplication), reinterpret_cast<LRESULT>(Application));
    // Skin changes leave the popup alone and go no further.
    for (int sub : {scmSkinLoaded, scmSkinRemoved, scmRefresh})
        EXPECT_EQ(SkinCommand(w.Wnd, sub, reinterpret_cast<LPARAM>(Manager.get())), 0) << sub;
    EXPECT_EQ(w.PassedCount(SM_ZORVIKCMD), 0);
}

TEST_F(MenuWindowTest, AttachesAsAScrollSubclassWithoutRefreshingTheFrame)
{
    TMenuWindow w(Manager.get());
    EXPECT_NE(dynamic_cast<TzqScrollWnd*>(w.Object), nullptr);
    EXPECT_NE(GetScrollBarObject(w.Wnd, 0), nullptr) << "bars made at attach";
    EXPECT_NE(GetScrollBarObject(w.Wnd, 1), nullptr);
    EXPECT_EQ(w.PassedCount(WM_NCCALCSIZE), 0) << "scroll-bar flag 0: no frame recalculation";
}

TEST_F(MenuWindowTest, BorderPaintedQuestionAndErase)
{
    TMenuWindow w(Manager.get());
    EXPECT_EQ(SkinCommand(w.Wnd, scmSetUpdating), 0);
    SkinCommand(w.Wnd, scmMenuBorderDone);
    EXPECT_EQ(SkinCommand(w.Wnd, scmSetUpdating), 1);
    // The next erase handled here (measuring flag raised) clears it, paints
    // the cache from its point (3, 3) into the DC given, and leaves that DC open.
    MenuMeasuring = true;
    TBitmap target(120, 90, TPixelFormat::pf24bit);
    HDC dc = target.Canvas()->Handle();
    EXPECT_EQ(SendMessageW(w.Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    EXPECT_EQ(SkinCommand(w.Wnd, scmSetUpdating), 0);
    EXPECT_EQ(w.PassedCount(WM_ERASEBKGND), 0);
    TBitmap* cache = w.Object->SkinData->CacheBmp.get();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->Width(), 120);
    EXPECT_EQ(cache->Height(), 90);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    for (POINT p : {POINT{0, 0}, POINT{40, 30}, POINT{100, 70}})
        EXPECT_EQ(GetPixel(dc, p.x, p.y), GetPixel(cache->Canvas()->Handle(), p.x + 3, p.y + 3)) << p.x << "," << p.y;
    // Flag down: the window paints itself.
    MenuMeasuring = false;
    SendMessageW(w.Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(w.PassedCount(WM_ERASEBKGND), 1);
}

TEST_F(MenuWindowTest, HiddenPopupKeepsBorderUnpainted)
{
    TMenuWindow w(Manager.get(), false);
    SkinCommand(w.Wnd, scmMenuBorderDone);
    EXPECT_EQ(SkinCommand(w.Wnd, scmSetUpdating), 0);
}

TEST_F(MenuWindowTest, NonClientPaintOnlyOnNT)
{
    TMenuWindow w(Manager.get());
    MenuMeasuring = true;
    ASSERT_TRUE(IsNTPlatform);
    SendMessageW(w.Wnd, WM_NCPAINT, 1, 0);
    EXPECT_EQ(w.PassedCount(WM_NCPAINT), 0);
    IsNTPlatform = false;
    SendMessageW(w.Wnd, WM_NCPAINT, 1, 0);
    IsNTPlatform = true;
    EXPECT_EQ(w.PassedCount(WM_NCPAINT), 1);
}

TEST_F(MenuWindowTest, DestructionFreesAndReleases)
{
    TMenuWindow w(Manager.get());
    MenuMeasuring = true;
    MenuBackground = std::make_unique<TBitmap>(4, 4);
    DestroyWindow(w.Wnd);
    EXPECT_FALSE(MenuMeasuring);
    EXPECT_FALSE(MenuBackground);
    EXPECT_EQ(w.PassedCount(WM_DESTROY), 1);
}

// ---- real popups, attached at creation ----

std::vector<HWND> Attached;
TqSkinManager* HookManager = nullptr;
HHOOK CreationHook = nullptr;

LRESULT CALLBACK OnCreate(int Code, WPARAM WParam, LPARAM LParam)
{
    if (Code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(LParam);
        const auto* cls = create->lpcs->lpszClass;
        // The class of a popup menu comes as its atom (32768).
        if (reinterpret_cast<ULONG_PTR>(cls) == 0x8000 ||
            (HIWORD(reinterpret_cast<ULONG_PTR>(cls)) != 0 && std::wstring(cls) == L"#32768")) {
            auto* wnd = reinterpret_cast<HWND>(WParam);
            TzqMainWnd::Create<TzqMnuWnd>(wnd, false, "MAINMENU", HookManager, nullptr);
            Attached.push_back(wnd);
        }
    }
    return CallNextHookEx(CreationHook, Code, WParam, LParam);
}

TEST_F(MenuWindowTest, RealPopupAttachedAtCreation)
{
    TqSkinableMenus painter(Manager.get());
    std::unique_ptr<TForm> form(new TForm(Application));
    form->SetBounds(100, 100, 300, 200);
    auto* popup = new TPopupMenu(form.get());
    for (const char* caption : {"Open", "-", "Close"}) {
        auto* item = new TMenuItem(form.get());
        item->Caption = caption;
        popup->Items()->Add(item);
    }
    form->Show();
    gui::Settle();
    painter.UpdateActive();
    Attached.clear();
    HookManager = Manager.get();
    CreationHook = SetWindowsHookExW(WH_CBT, OnCreate, nullptr, GetCurrentThreadId());
    ASSERT_NE(CreationHook, nullptr);
    HWND seenPopup = nullptr;
    LRESULT seenBorderAnswer = -1;
    int seenRegion = ERROR;
    menutest::WithOpenPopup(popup, 150, 150, [&](HWND Menu) {
        seenPopup = Menu;
        if (Menu == nullptr)
            return;
        seenBorderAnswer = SendMessageW(Menu, SM_ZORVIKCMD, MAKEWPARAM(0, scmSetUpdating), 0);
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        seenRegion = GetWindowRgn(Menu, r);
        DeleteObject(r);
        const std::string shot = std::string(SKIN_OUTPUT_DIR) + "/../../screenshots/menu-subclassed-popup.png";
        gui::SaveScreenshot(Menu, WinPath(shot));
    });
    UnhookWindowsHookEx(CreationHook);
    gui::Settle();

    ASSERT_EQ(Attached.size(), 1u);
    ASSERT_EQ(seenPopup, Attached[0]);
    // The painter told the subclass that the border is painted, and cut the region.
    EXPECT_EQ(seenBorderAnswer, 1);
    EXPECT_EQ(seenRegion, COMPLEXREGION);
    // Closing destroyed the window: the subclass freed itself and lowered the flag.
    EXPECT_FALSE(IsWindow(Attached[0]));
    EXPECT_FALSE(MenuMeasuring);
    EXPECT_FALSE(MenuBackground);
}

} // namespace
