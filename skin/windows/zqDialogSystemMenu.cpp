// The skinned system menu of a skinned dialog: six items sending the
// dialog its system commands, shown and enabled by the dialog's state.
#include "framework/Application.h"
#include "skin/windows/zqDialogWnd.h"

TzqSystemMenu::TzqSystemMenu(TComponent* AOwner) : TPopupMenu(AOwner)
{
    miRestore = NewMenuItem(this, "miRestore", "Restore", [this](TObject*) {
        SysCommand(SC_RESTORE);
        UpdateItems();
    });
    miMove = NewMenuItem(this, "miMove", "Move", [this](TObject*) { SysCommand(SC_MOVE); });
    miSize = NewMenuItem(this, "miSize", "Size", [this](TObject*) { SysCommand(SC_SIZE); });
    miMinimize = NewMenuItem(this, "miMinimize", "Minimize", [this](TObject*) { SysCommand(SC_MINIMIZE); });
    miMaximize = NewMenuItem(this, "miMaximize", "Maximize", [this](TObject*) {
        SysCommand(SC_MAXIMIZE);
        UpdateItems();
    });
    NewMenuItem(this, "", "-", nullptr);
    miClose = NewMenuItem(this, "miClose", "Close", [this](TObject*) { SysCommand(SC_CLOSE); });
    miClose->ShortCut = 0x8073;   // Alt+F4
}

void TzqSystemMenu::SysCommand(WPARAM Command)
{
    if (DialogWnd && IsWindow(DialogWnd->WndHandle))
        SendMessageW(DialogWnd->WndHandle, WM_SYSCOMMAND, Command, 0);
}

void TzqSystemMenu::UpdateItems()
{
    if (!DialogWnd || !DialogWnd->WndHandle)
        return;
    try {
        const DWORD style = DialogWnd->SavedStyle;
        const bool sizing = DialogWnd->FrameKind == fkSizing;
        const HWND wnd = DialogWnd->WndHandle;
        miRestore->Visible = sizing && (style & WS_SYSMENU) != 0;
        miMove->Visible = true;
        miSize->Visible = sizing;
        miMinimize->Visible = (style & WS_MINIMIZEBOX) != 0;
        miMaximize->Visible = (style & WS_MAXIMIZEBOX) != 0;
        miClose->Visible = (style & WS_SYSMENU) != 0;
        miRestore->Enabled = DialogWnd->RestoreEnabled();
        miMove->Enabled = !IsZoomed(wnd);
        miSize->Enabled = !IsIconic(wnd);
        miMinimize->Enabled = DialogWnd->MinEnabled();
        miMaximize->Enabled = DialogWnd->MaxEnabled();
        miClose->Enabled = true;
    } catch (...) {
        // A menu that cannot be updated keeps its last state.
    }
}
