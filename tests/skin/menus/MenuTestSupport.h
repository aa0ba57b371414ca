#pragma once
// What the menu tests share: the shipped skins and a real popup menu shown
// by TrackPopupMenu with a look at its window while it is open.

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

#include "framework/Menus.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinableMenus.h"

namespace menutest {

// A Unix path as Wine reaches it (Z:\...).
inline String WinPath(const std::string& UnixPath)
{
    String path = "Z:" + UnixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::unique_ptr<TqSkinManager> LoadShipped(const std::string& Name)
{
    auto m = std::make_unique<TqSkinManager>(nullptr);
    m->SetSkinDirectory(WinPath(SKIN_OUTPUT_DIR));
    m->SetSkinName(Name);
    return m;
}

inline std::function<void(HWND)>& PopupAction()
{
    static std::function<void(HWND)> action;
    return action;
}

// Every 100 ms: once a popup window is open and the painter's background
// exists (at most 40 looks), the action runs on it and the menu closes.
inline void CALLBACK LookAtOpenPopup(HWND, UINT, UINT_PTR Id, DWORD)
{
    static int tries = 0;
    HWND menu = FindWindowW(L"#32768", nullptr);
    if ((menu == nullptr || !IsWindowVisible(menu) || !MenuBackground) && ++tries < 40)
        return;
    tries = 0;
    KillTimer(nullptr, Id);
    if (PopupAction())
        PopupAction()(menu);
    EndMenu();
}

// Shows Menu at (X, Y) and runs Action with the popup window while it is
// open and painted (nullptr when none appeared); returns when it closed.
inline void WithOpenPopup(TPopupMenu* Menu, int X, int Y, std::function<void(HWND)> Action)
{
    PopupAction() = std::move(Action);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, LookAtOpenPopup);
    Menu->Popup(X, Y);
    KillTimer(nullptr, timer);
    PopupAction() = nullptr;
}

} // namespace menutest
