#pragma once
// What the dialog tests share: dialogs made from an in-memory template with
// a few children, and skinning one with a listed dialog provider.

#include <algorithm>
#include <functional>
#include <vector>

#include <windows.h>

#include "../../support/GuiHarness.h"
#include "../windows/ProviderSupport.h"
#include "skin/windows/zqProvider.h"

namespace dialogtest {

// An in-memory dialog template with a few children.
class TTemplate {
public:
    TTemplate(DWORD Style, const wchar_t* Caption, short W, short H)
    {
        Words(sizeof(DLGTEMPLATE) / 2);
        auto* t = reinterpret_cast<DLGTEMPLATE*>(FData.data());
        t->style = Style;
        t->cx = W;
        t->cy = H;
        FData.push_back(0);   // no menu
        FData.push_back(0);   // the dialog class
        Text(Caption);
        FData.push_back(8);   // DS_SETFONT size
        Text(L"MS Shell Dlg");
    }
    void Item(const wchar_t* Class, const wchar_t* Caption, DWORD Style, short X, short Y, short W, short H, WORD Id)
    {
        while (FData.size() % 2 != 0)
            FData.push_back(0);
        const std::size_t at = FData.size();
        Words(sizeof(DLGITEMTEMPLATE) / 2 + (sizeof(DLGITEMTEMPLATE) % 2));
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(FData.data() + at);
        item->style = Style | WS_CHILD | WS_VISIBLE;
        item->x = X;
        item->y = Y;
        item->cx = W;
        item->cy = H;
        item->id = Id;
        Text(Class);
        Text(Caption);
        FData.push_back(0);
        reinterpret_cast<DLGTEMPLATE*>(FData.data())->cdit++;
    }
    void ExStyle(DWORD Value) { reinterpret_cast<DLGTEMPLATE*>(FData.data())->dwExtendedStyle = Value; }
    const DLGTEMPLATE* Get()
    {
        return reinterpret_cast<const DLGTEMPLATE*>(FData.data());
    }

private:
    void Words(std::size_t N) { FData.resize(FData.size() + N, 0); }
    void Text(const wchar_t* S)
    {
        for (; *S; ++S)
            FData.push_back(*S);
        FData.push_back(0);
    }
    // WORD-aligned: a vector of WORDs, the header filled through a cast.
    std::vector<WORD> FData;
};

// Called with the identifier of each WM_COMMAND the dialogs get.
inline std::function<void(WORD Id)> OnDialogCommand;

inline INT_PTR CALLBACK DialogProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM)
{
    if (Msg == WM_COMMAND && OnDialogCommand) {
        OnDialogCommand(LOWORD(WParam));
        return TRUE;
    }
    if (Msg == WM_CLOSE) {
        DestroyWindow(Wnd);
        return TRUE;
    }
    return Msg == WM_INITDIALOG;
}

// A dialog at (100, 80), shown and foreground; with Children an edit (100),
// OK, a check box (101), a static (102), a list box (103), a combo box (104).
inline HWND MakeDialog(DWORD Style, bool Children = true, DWORD ExStyle = 0)
{
    TTemplate t(Style | WS_VISIBLE | DS_SETFONT, L"Skinned dialog", 200, 120);
    if (ExStyle)
        t.ExStyle(ExStyle);
    if (Children) {
        t.Item(L"EDIT", L"text", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 100, 14, 100);
        t.Item(L"BUTTON", L"OK", BS_PUSHBUTTON, 120, 10, 60, 16, IDOK);
        t.Item(L"BUTTON", L"Check", BS_AUTOCHECKBOX, 10, 30, 80, 12, 101);
        t.Item(L"STATIC", L"Label", SS_LEFT, 10, 46, 80, 10, 102);
        t.Item(L"LISTBOX", L"", WS_BORDER | LBS_NOTIFY, 10, 60, 80, 40, 103);
        t.Item(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 100, 60, 80, 60, 104);
    }
    HWND wnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, DialogProc, 0);
    EXPECT_NE(nullptr, wnd) << "error " << GetLastError();
    SetWindowPos(wnd, HWND_TOP, 100, 80, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(wnd);
    gui::PumpFor(60);
    return wnd;
}

inline TzqProvider* Skin(HWND Wnd)
{
    TzqProvider* p = NewListedProvider(nullptr);
    EXPECT_TRUE(p->InitDialog(Wnd));
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    gui::PumpFor(60);
    return p;
}

// P is listed or waits for its free: not freed yet.
inline bool Listed(TzqProvider* P)
{
    return (ProviderList && std::find(ProviderList->begin(), ProviderList->end(), P) != ProviderList->end()) ||
           ProviderFreePending(P);
}

inline HWND ChildById(HWND Dlg, int Id)
{
    return GetDlgItem(Dlg, Id);
}

}   // namespace dialogtest
