// The creation hook and the decisions it takes.
#include "skin/windows/zqSkinHook.h"

#include <algorithm>
#include <cctype>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Screen.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/zqMnuWnd.h"
#include "skin/windows/zqProvider.h"

TzqMnuArray MenuWrappers;

namespace {

HHOOK HookHandle = nullptr;

bool IsSkinnedWindow(HWND Wnd)
{
    return SendSkinCommand(Wnd, scmIsSkinned, 0) != 0;
}

// Installer of the manager: sets or removes the hook for the calling thread.
void SetCreationHook(TqSkinManager*, bool Install)
{
    if (Install) {
        if (!HookHandle)
            HookHandle = SetWindowsHookExW(WH_CBT, SkinHookProc, nullptr, GetCurrentThreadId());
        return;
    }
    ClearMenuWrappers();
    if (HookHandle)
        UnhookWindowsHookEx(HookHandle);
    HookHandle = nullptr;
    FreeProviderList();
}

}   // namespace

void ClearMenuWrappers()
{
    MenuWrappers.clear();
}

HHOOK CreationHookHandle()
{
    return HookHandle;
}

void EnableDialogSkinning()
{
    TqSkinManager::CreationHookHandler = SetCreationHook;
}

String GetWindowClassName(HWND Wnd)
{
    char name[128] = {};
    GetClassNameA(Wnd, name, sizeof(name));
    return name;
}

namespace {

String Lower(String S)
{
    std::transform(S.begin(), S.end(), S.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return S;
}

}   // namespace

bool HasChildOfClass(HWND Wnd, const String& Name)
{
    for (HWND child = GetTopWindow(Wnd); child; child = GetWindow(child, GW_HWNDNEXT))
        if (Lower(GetWindowClassName(child)) == Name || HasChildOfClass(child, Name))
            return true;
    return false;
}

TzqProvider* FindDialogProvider(HWND Wnd)
{
    if (!ProviderList)
        return nullptr;
    for (TzqProvider* provider : *ProviderList)
        if (provider && provider->DialogHandle == Wnd)
            return provider;
    return nullptr;
}

int CountVisibleDialogs()
{
    int n = 0;
    if (ProviderList)
        for (TzqProvider* provider : *ProviderList)
            n += provider && provider->DialogWrapper && IsWindowVisible(provider->DialogWrapper->WndHandle);
    return n;
}

TCustomForm* FindFormByHandle(HWND Wnd)
{
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
        TCustomForm* form = Screen->CustomForms(i);
        if (form->HandleAllocated() && form->Handle() == Wnd)
            return form;
    }
    return nullptr;
}

bool SkinDialogWindow(HWND Wnd)
{
    TqSkinManager* manager = TqSkinManager::DefaultManager();
    if (!Wnd || IsSkinnedWindow(Wnd) || !manager || FindDialogProvider(Wnd))
        return false;
    TCustomForm* form = FindFormByHandle(Wnd);
    const String cls = GetWindowClassName(Wnd);
    // System windows of the input method and of OLE are never skinned.
    if (cls == "TApplication" || cls == "TQRStandardPreview" || cls == "IME" || cls == "OleMainThreadWndClass")
        return false;
    const TzqSkinningRules rules = manager->SkinningRules;
    if (form) {
        const bool messageForm = cls == "TMessageForm";
        if (messageForm && !(rules & srStdDialogs))
            return false;
        if (!messageForm && (!(rules & srStdForms) || form->Caption() == "Mgn" || form->Caption() == "Calculator"))
            return false;
        TzqProvider* provider = NewListedProvider(form);
        provider->AttachToForm(form);
        if (messageForm && provider->FormProvider)
            provider->FormProvider->MakeSkinMenu = false;
        return true;
    }
    if (!(rules & srStdDialogs))
        return false;
    if (CountVisibleDialogs() > 0 && !HasChildOfClass(Wnd, "toolbarwindow32"))
        return false;
    TzqProvider* provider = NewListedProvider(nullptr);
    // A provider that wrapped nothing (a window of another class, or a
    // refused dialog) is not kept: it would outlive its window, and a later
    // window given the same handle would count as handled.
    if (!provider->InitDialog(Wnd) || !provider->DialogWrapper)
        delete provider;
    return true;
}

LRESULT CALLBACK SkinHookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    const LRESULT result = CallNextHookEx(HookHandle, Code, WParam, LParam);
    try {
        if (Code == HCBT_CREATEWND) {
            const HWND wnd = reinterpret_cast<HWND>(WParam);
            TqSkinManager* manager = TqSkinManager::DefaultManager();
            if (manager && GetWindowClassName(wnd) == "#32768" && !IsSkinnedWindow(wnd)) {
                MenuWrappers.push_back(nullptr);
                MenuWrappers.back() = TzqMainWnd::Create<TzqMnuWnd>(wnd, false, "MAINMENU", manager, nullptr);
            }
        } else if (Code == HCBT_ACTIVATE) {
            SkinDialogWindow(reinterpret_cast<HWND>(WParam));
        }
    } catch (...) {
        // Nothing leaves a hook procedure; the window simply stays unskinned.
        try {
            if (Application)
                Application->HandleException(nullptr);
        } catch (...) {
        }
    }
    return result;
}
