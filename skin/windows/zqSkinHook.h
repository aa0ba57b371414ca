#pragma once
// The creation hook: one thread-local CBT hook of the GUI thread that skins
// the windows no form provider came with. A popup-menu window ("#32768")
// gets a TzqMnuWnd when it is created; a top-level window gets a provider
// when it is first activated: a framework form a TqSkinProvider (through a
// form-bound TzqProvider), a system dialog a dialog provider.
//
// The default manager installs and removes the hook (InstallCreationHook,
// RemoveCreationHook) once EnableDialogSkinning has been called; without
// that call no hook is ever set, and only forms with their own provider
// are skinned.

#include <vector>

#include <windows.h>

#include "framework/Types.h"

class TCustomForm;
class TzqMnuWnd;
class TzqProvider;

using TzqMnuArray = std::vector<TzqMnuWnd*>;
// A record of the menu subclasses the hook made; each frees itself with
// its window, so the entries are never read.
extern TzqMnuArray MenuWrappers;
void ClearMenuWrappers();

LRESULT CALLBACK SkinHookProc(int Code, WPARAM WParam, LPARAM LParam);
bool SkinDialogWindow(HWND Wnd);
int CountVisibleDialogs();
bool HasChildOfClass(HWND Wnd, const String& Name);
String GetWindowClassName(HWND Wnd);
TzqProvider* FindDialogProvider(HWND Wnd);
TCustomForm* FindFormByHandle(HWND Wnd);

// Lets the default manager set the creation hook (the programs leave it off).
void EnableDialogSkinning();
// The hook handle while set.
HHOOK CreationHookHandle();
