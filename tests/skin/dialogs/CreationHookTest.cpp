// The creation hook: popup-menu windows get one menu subclass each, a
// window is handled once however often it is activated, a second dialog is
// skinned while another skinned one shows only when it holds a tool bar,
// the skinning rules, the system's Open dialog skinned and still working,
// and framework forms getting a form provider.
#include <gtest/gtest.h>

#include <string>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include "../support/PngFile.h"
#include "DialogSupport.h"
#include "framework/Form.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/zqMnuWnd.h"
#include "skin/windows/zqSkinHook.h"

using namespace providertest;
using namespace dialogtest;

namespace {

// A manager whose skin change sets the real creation hook.
struct THooked {
    explicit THooked(const char* Skin)
    {
        EnableDialogSkinning();
        Manager = ShippedManager(Skin);
    }
    ~THooked()
    {
        Manager.reset();
        TqSkinManager::CreationHookHandler = nullptr;
    }
    std::unique_ptr<TqSkinManager> Manager;
};

int LiveProviders()
{
    int n = 0;
    if (ProviderList)
        for (TzqProvider* p : *ProviderList)
            n += p != nullptr;
    return n;
}

// Runs Check from a timer inside a modal loop started by Modal, once Find
// finds a window; Check closes it.
struct TModalProbe {
    static inline std::function<HWND()> Find;
    static inline std::function<void(HWND)> Check;
    static inline bool Done = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD)
    {
        const HWND wnd = Find();
        if (!wnd || Done)
            return;
        Done = true;
        KillTimer(nullptr, Id);
        Check(wnd);
    }
};

HWND VisibleDialogOfThread()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND W, LPARAM L) {
            wchar_t cls[32] = {};
            GetClassNameW(W, cls, 32);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(W)) {
                *reinterpret_cast<HWND*>(L) = W;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}   // namespace

TEST(CreationHook, EachPopupMenuWindowGetsOneMenuSubclass)
{
    THooked hooked("Basalt");
    ASSERT_NE(nullptr, CreationHookHandle());
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 300, 100, 80, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(owner);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"One");
    AppendMenuW(menu, MF_STRING, 2, L"Two");
    for (int round = 0; round < 2; ++round) {
        const std::size_t before = MenuWrappers.size();
        static bool skinned;
        skinned = false;
        SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR Id, DWORD) {
            KillTimer(nullptr, Id);
            HWND popup = FindWindowW(L"#32768", nullptr);
            skinned = popup && dynamic_cast<TzqMnuWnd*>(GetSubclassObject(popup)) != nullptr;
            EndMenu();
        });
        TrackPopupMenu(menu, TPM_RETURNCMD, 320, 320, 0, owner, nullptr);
        EXPECT_TRUE(skinned) << "round " << round;
        EXPECT_EQ(before + 1, MenuWrappers.size()) << "round " << round;
        gui::PumpFor(30);
    }
    DestroyMenu(menu);
    DestroyWindow(owner);
    // The hook goes with the manager.
    hooked.Manager.reset();
    EXPECT_EQ(nullptr, CreationHookHandle());
}

TEST(CreationHook, WindowsHandledOnceAndASecondDialogOnlyWithAToolBar)
{
    THooked hooked("Clearwater");
    HWND first = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, false);
    SetActiveWindow(first);
    gui::PumpFor(40);
    ASSERT_NE(nullptr, FindDialogProvider(first));
    const std::size_t listed = ProviderList->size();
    EXPECT_FALSE(SkinDialogWindow(first)) << "a window is handled once";
    EXPECT_EQ(listed, ProviderList->size());
    EXPECT_EQ(1, CountVisibleDialogs());

    // A second dialog without a tool bar stays as the system draws it...
    HWND plain = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, false);
    SetActiveWindow(plain);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, FindDialogProvider(plain));
    EXPECT_NE(0, GetWindowLongPtrW(plain, GWL_STYLE) & WS_SYSMENU);
    // ...one holding a tool bar somewhere below it is skinned.
    HWND withBar = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, false);
    HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 40, withBar, nullptr, nullptr,
                                nullptr);
    CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 24, pane, nullptr, nullptr, nullptr);
    EXPECT_TRUE(HasChildOfClass(withBar, "toolbarwindow32"));
    EXPECT_FALSE(HasChildOfClass(plain, "toolbarwindow32"));
    // It was activated before its tool bar existed: activated again now.
    SetActiveWindow(plain);
    gui::PumpFor(20);
    SetActiveWindow(withBar);
    gui::PumpFor(40);
    EXPECT_NE(nullptr, FindDialogProvider(withBar));
    DestroyWindow(withBar);
    DestroyWindow(plain);

    // Once the first is closed, the next dialog is skinned again.
    DestroyWindow(first);
    gui::PumpFor(60);
    EXPECT_EQ(0, CountVisibleDialogs());
    HWND next = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, false);
    SetActiveWindow(next);
    gui::PumpFor(40);
    EXPECT_NE(nullptr, FindDialogProvider(next));
    DestroyWindow(next);
    gui::PumpFor(60);
    EXPECT_EQ(0, LiveProviders());
}

TEST(CreationHook, SkinningRulesDecide)
{
    THooked hooked("Terracotta");
    // srStdDialogs off: system dialogs stay unskinned.
    hooked.Manager->SkinningRules = srStdForms | srThirdParty;
    HWND dlg = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, false);
    SetActiveWindow(dlg);
    gui::PumpFor(40);
    EXPECT_EQ(nullptr, FindDialogProvider(dlg));
    DestroyWindow(dlg);

    // A framework form gets a form provider under srStdForms, none without.
    for (bool forms : {true, false}) {
        SCOPED_TRACE(forms ? "forms on" : "forms off");
        hooked.Manager->SkinningRules = forms ? srStdForms : srStdDialogs;
        auto form = std::make_unique<TForm>(Application);
        form->SetBounds(200, 150, 300, 200);
        form->SetCaption(forms ? "Plain form" : "Other form");
        form->Show();
        SetActiveWindow(form->Handle());
        gui::PumpFor(60);
        TqSkinProvider* provider = nullptr;
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* p = dynamic_cast<TqSkinProvider*>(form->Components(i)))
                provider = p;
        EXPECT_EQ(forms, provider != nullptr);
        // The calendar's and calculator's drop-down forms never get one.
        form.reset();
        gui::PumpFor(30);
    }
    hooked.Manager->SkinningRules = srStdForms | srStdDialogs | srThirdParty;
    auto calc = std::make_unique<TForm>(Application);
    calc->SetCaption("Calculator");
    calc->Show();
    SetActiveWindow(calc->Handle());
    gui::PumpFor(40);
    for (int i = 0; i < calc->ComponentCount(); ++i)
        EXPECT_EQ(nullptr, dynamic_cast<TqSkinProvider*>(calc->Components(i)));
}

TEST(CreationHook, TheOpenDialogIsSkinnedAndStillWorks)
{
    THooked hooked("Clearwater");
    HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20, 20, 100, 80, nullptr, nullptr,
                                 nullptr, nullptr);
    static bool skinned, listWrapped;
    skinned = listWrapped = false;
    TModalProbe::Done = false;
    TModalProbe::Find = [] {
        HWND dlg = VisibleDialogOfThread();
        // Its view is made after activation: wait until it is there.
        return dlg && FindWindowExW(dlg, nullptr, L"SHELLDLL_DefView", nullptr) ? dlg : nullptr;
    };
    TModalProbe::Check = [](HWND Dlg) {
        SendMessageW(Dlg, WM_NCPAINT, 1, 0);
        skinned = dynamic_cast<TzqDialogWnd*>(GetSubclassObject(Dlg)) != nullptr;
        HWND view = FindWindowExW(Dlg, nullptr, L"SHELLDLL_DefView", nullptr);
        HWND list = view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
        listWrapped = list && GetSubclassObject(list) != nullptr;
        auto shot = ScreenOf(Dlg);
        skintest::SavePng(*shot, ScreenshotFolder() + "/dialog-open.png");
        // A typed file name comes back through the wrapped children.
        SetDlgItemTextW(Dlg, cmb13, L"typed-name.txt");
        HWND nameEdit = GetDlgItem(Dlg, cmb13);
        if (nameEdit && !GetDlgItemTextW(Dlg, cmb13, nullptr, 0))
            SetWindowTextW(FindWindowExW(nameEdit, nullptr, L"Edit", nullptr), L"typed-name.txt");
        PostMessageW(Dlg, WM_COMMAND, IDOK, 0);
    };
    SetTimer(nullptr, 0, 200, TModalProbe::Tick);
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER;
    const BOOL ok = GetOpenFileNameW(&ofn);
    EXPECT_TRUE(TModalProbe::Done);
    EXPECT_TRUE(skinned);
    EXPECT_TRUE(listWrapped);
    EXPECT_TRUE(ok);
    EXPECT_NE(std::wstring::npos, std::wstring(file).find(L"typed-name.txt"));
    DestroyWindow(owner);
    gui::PumpFor(60);
    EXPECT_EQ(0, LiveProviders());
}

TEST(CreationHook, SkinRemovedInsideTheDialogsOwnHandler)
{
    // The wrappers are inside the dialog's message when the skin goes: they
    // let go of the windows at once, and are freed after the message.
    THooked hooked("Basalt");
    HWND dlg = MakeDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    TzqProvider* p = FindDialogProvider(dlg);
    ASSERT_NE(nullptr, p);
    static TqSkinManager* manager;
    manager = hooked.Manager.get();
    OnDialogCommand = [](WORD Id) {
        if (Id == 999)
            manager->SetActive(false);
    };
    SendMessageW(dlg, WM_COMMAND, 999, 0);
    OnDialogCommand = nullptr;
    EXPECT_EQ(nullptr, GetSubclassObject(dlg));
    EXPECT_EQ(nullptr, GetSubclassObject(GetDlgItem(dlg, 100)));
    EXPECT_NE(0, GetWindowLongPtrW(dlg, GWL_STYLE) & WS_SYSMENU);
    EXPECT_TRUE(ProviderFreePending(p));
    gui::PumpUntil([&] { return !ProviderFreePending(p); }, 3000);
    EXPECT_FALSE(ProviderFreePending(p));
    // The dialog goes on working with the system's look.
    SetDlgItemTextW(dlg, 100, L"still works");
    wchar_t text[32] = {};
    GetDlgItemTextW(dlg, 100, text, 32);
    EXPECT_EQ(std::wstring(L"still works"), text);
    DestroyWindow(dlg);
}
