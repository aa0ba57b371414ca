// The skinned dialog frame's window procedure: skin commands, activation,
// painting, hit tests and the clicks of its own title buttons.
#include <windowsx.h>

#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlTree.h"
#include "framework/Menus.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/zqDialogWnd.h"
#include "skin/windows/zqProvider.h"

namespace {

constexpr WPARAM MoveByCaption = 0xF012;
constexpr UINT ReskinMessage = 0x52E;
constexpr UINT FullRedraw = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;
constexpr UINT ActivationRedraw = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

bool IsTitleButton(WPARAM Code)
{
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP;
}

}   // namespace

void TzqDialogWnd::Inherited(TMessage& Message)
{
    TzqScrollWnd::SubclassWndProc(Message);
}

void TzqDialogWnd::SubclassWndProc(TMessage& Message)
{
    const UINT msg = Message.Msg;
    if (msg == WM_NCDESTROY) {
        TzqProvider* provider = Provider;
        Inherited(Message);
        // The dialog is gone: its provider goes too, once this message is over.
        if (provider)
            ScheduleProviderFree(provider);
        return;
    }
    TqSkinManager* manager = LiveManager();
    if (!SkinData || !manager || !manager->Active() || Detached) {
        Inherited(Message);
        return;
    }
    if (msg == SM_ZORVIKCMD) {
        if (!SkinCommandOfDialog(Message))
            Inherited(Message);
        return;
    }
    const bool visible = IsWindowVisible(WndHandle) != 0;
    switch (msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        SkinData->BGChanged = true;
        RegionDirty = true;
        Inherited(Message);
        return;
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
        if (visible)
            ActivationMessage(Message, msg == WM_ACTIVATE);
        else
            Inherited(Message);
        return;
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_SETICON:
        if (visible)
            FrameMessage(Message);
        else
            Inherited(Message);
        return;
    case WM_PAINT:
        if (visible)
            Paint(Message);
        else
            Inherited(Message);
        return;
    case WM_NCPAINT:
        if (visible) {
            RefreshGeometry();
            PaintFrame();
            if ((HorzBar && HorzBar->Shown) || (VertBar && VertBar->Shown))
                PaintScrollBars(WndHandle, nullptr, nullptr, -1);
            Message.Result = 0;
        } else {
            Inherited(Message);
        }
        return;
    case WM_ERASEBKGND:
        EraseBackground(Message);
        return;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->CtlType == ODT_STATIC)
            SetBkMode(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->hDC, TRANSPARENT);
        else if (MenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam))) {
            Message.Result = 1;
            return;
        }
        Inherited(Message);
        return;
    case WM_MEASUREITEM:
        // The skinned system menu is owner-drawn and owned by the dialog.
        if (MenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) {
            Message.Result = 1;
            return;
        }
        Inherited(Message);
        return;
    case WM_NCHITTEST: {
        const LRESULT answer =
            HitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam), static_cast<LRESULT>(Message.Result));
        if (answer == 0 || answer == HTCAPTION) {
            SetHotButton(0, true);
            Inherited(Message);
            return;
        }
        Message.Result = answer;
        return;
    }
    case WM_GETDLGCODE:
        return;
    case WM_NCLBUTTONDOWN:
        NcLButtonDown(Message);
        return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        ButtonUp(Message);
        return;
    case WM_NCLBUTTONDBLCLK:
        NcLButtonDblClk(Message);
        return;
    case WM_NCRBUTTONDOWN:
        if (Message.WParam != HTCAPTION && Message.WParam != HTSYSMENU)
            Inherited(Message);
        return;
    case WM_NCRBUTTONUP:
        NcRButtonUp(Message);
        return;
    case WM_CTLCOLORDLG:
        // The dialog manager deletes nothing it is given: the brush is kept
        // by the shared brush cache of the subclasses.
        Message.Result = reinterpret_cast<LRESULT>(DialogBrush(manager->GetGlobalColor()));
        return;
    case WM_MOUSEMOVE:
        if (IsWindowEnabled(WndHandle))
            manager->SetActiveControl(nullptr);
        Inherited(Message);
        return;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        SetHotButton(0, true);
        Inherited(Message);
        return;
    case ReskinMessage:
        SendMessageW(WndHandle, WM_SETREDRAW, 0, 0);
        Inherited(Message);
        if (Provider)
            Provider->WrapChildren(WndHandle);
        SendMessageW(WndHandle, WM_SETREDRAW, 1, 0);
        RedrawWindow(WndHandle, nullptr, nullptr, FullRedraw);
        return;
    default:
        break;
    }
    Inherited(Message);
    if (msg == WM_SYSCOMMAND && !Detached && IsWindow(WndHandle))
        AfterDefault(Message);
}

bool TzqDialogWnd::SkinCommandOfDialog(TMessage& Message)
{
    const bool own = reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager;
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinLoaded:
        if (own) {
            SkinData->UpdateIndexes();
            LoadTitleButtonIndexes();
            SkinData->BGChanged = true;
        }
        return true;
    case scmGetCache:
        ExchangeCache = MakeCacheInfo(SkinData->CacheBmp.get(), 0, 0);
        ExchangeCache.Ready = SkinData->CacheBmp != nullptr;
        return true;
    case scmSetUpdating:
        SkinData->Updating = (Message.WParam & 0xFFFF) == 1;
        if (SkinData->IsUpdating())
            SkinData->BGChanged = true;
        return false;
    case scmIsBgChanging:
        Message.LParam = SkinData->BGChanged || SkinData->IsUpdating() ? 1 : 0;
        Message.Result = Message.LParam;
        return true;
    case scmIsBgTextured: {
        TqSkinManager* m = LiveManager();
        const int section = SkinData->SkinIndex;
        const bool textured = m && m->IsValidSkinIndex(section) &&
                              m->Skin().Sections[static_cast<std::size_t>(section)].GradientPercent +
                                      m->Skin().Sections[static_cast<std::size_t>(section)].ImagePercent >
                                  0;
        Message.LParam = textured ? 1 : 0;
        Message.Result = Message.LParam;
        return true;
    }
    case scmGetBgColor:
        // The section's COLOR: the client shows the section's normal state.
        if (SkinData->IsSkinned()) {
            TqSkinManager* m = LiveManager();
            if (m && m->IsValidSkinIndex(SkinData->SkinIndex))
                ExchangeColor = m->Skin().Sections[static_cast<std::size_t>(SkinData->SkinIndex)].Color;
        }
        return true;
    case scmReskinDialog:
        if (Provider)
            Provider->WrapChildren(WndHandle);
        return false;
    default:
        return false;
    }
}

void TzqDialogWnd::ActivationMessage(TMessage& Message, bool Activate)
{
    SendMessageW(WndHandle, WM_SETREDRAW, 0, 0);
    Saved(Message);
    Active = LOWORD(Message.WParam) != 0;
    SendMessageW(WndHandle, WM_SETREDRAW, 1, 0);
    SkinData->BGChanged = true;
    if (Activate) {
        RedrawWindow(WndHandle, nullptr, nullptr, ActivationRedraw);
        if (SystemMenu)
            SystemMenu->UpdateItems();
    } else {
        SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
    }
}

void TzqDialogWnd::FrameMessage(TMessage& Message)
{
    // The system repaints its own frame for these without a WM_NCPAINT:
    // they run with drawing off, and the skinned frame is painted after.
    SendMessageW(WndHandle, WM_SETREDRAW, 0, 0);
    Saved(Message);
    SendMessageW(WndHandle, WM_SETREDRAW, 1, 0);
    if (Message.Msg == WM_SETICON)
        MakeIconBitmap();
    SkinData->BGChanged = true;
    SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
}

void TzqDialogWnd::Paint(TMessage& Message)
{
    RefreshGeometry();
    const int kind = Provider ? Provider->DialogKind : 0;
    if ((kind == 1 || kind == 3) && Message.WParam == 0) {
        const HDC dc = GetWindowDC(WndHandle);
        if (kind == 1)
            IntersectClipRect(dc, DialogKind1Rect.left, DialogKind1Rect.top, DialogKind1Rect.right,
                              DialogKind1Rect.bottom);
        TMessage onDC{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
        Saved(onDC);
        ReleaseDC(WndHandle, dc);
    }
    PaintClient();
    if (!ChildrenRewrapped) {
        ChildrenRewrapped = true;
        if (Provider)
            Provider->WrapChildren(WndHandle);
    }
    Message.Result = 0;
}

void TzqDialogWnd::EraseBackground(TMessage& Message)
{
    if (Provider && Provider->DialogKind == 3) {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        HRGN region = DialogKind3Region();
        SelectClipRgn(dc, region);
        Saved(Message);
        SelectClipRgn(dc, nullptr);
        return;
    }
    Message.Result = 1;
}

void TzqDialogWnd::NcLButtonDown(TMessage& Message)
{
    const WPARAM code = Message.WParam;
    if (code == HTSYSMENU) {
        SetHotButton(0, true);
        DropSystemMenu(WindowRect.left + BorderWidth(),
                       WindowRect.top + BorderHeight() + GetSystemMetrics(SM_CYSMICON));
        return;
    }
    if (IsTitleButton(code)) {
        PressButton(static_cast<int>(code));
        return;
    }
    if (Iconic()) {
        SendMessageW(WndHandle, WM_SYSCOMMAND, MoveByCaption, Message.LParam);
        return;
    }
    SetHotButton(0, true);
    if (Zoomed()) {
        RefreshGeometry();
        const int y = GET_Y_LPARAM(Message.LParam) - WindowRect.top;
        if (y <= BorderHeight() + CaptionHeight()) {
            // A zoomed dialog is not dragged by its caption.
            if (!Active)
                SetFocus(WndHandle);
            return;
        }
    }
    Saved(Message);
}

void TzqDialogWnd::ButtonUp(TMessage& Message)
{
    RefreshGeometry();
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (Message.Msg == WM_LBUTTONUP)
        ClientToScreen(WndHandle, &p);
    const POINT inWindow{p.x - WindowRect.left, p.y - WindowRect.top};
    const bool pressed = DialogButtonPressed;
    switch (Message.WParam) {
    case HTMINBUTTON:
        if (pressed && PtInRect(&Minimize.Rect, inWindow)) {
            SetHotButton(0, true);
            SysCommand(Iconic() ? SC_RESTORE : SC_MINIMIZE);
        } else if (pressed) {
            Saved(Message);
        } else {
            SetHotButton(0, true);
        }
        break;
    case HTMAXBUTTON:
        if (!Iconic() || MaxEnabled()) {
            SetHotButton(0, true);
            if (pressed) {
                SysCommand(Zoomed() ? SC_RESTORE : SC_MAXIMIZE);
                if (SystemMenu)
                    SystemMenu->UpdateItems();
            }
        }
        break;
    case HTCLOSE:
        if (pressed) {
            Close.State = 0;
            DialogButtonPressed = false;
            SysCommand(SC_CLOSE);
        }
        break;
    case HTHELP:
        SetHotButton(0, true);
        if (pressed) {
            SysCommand(SC_CONTEXTHELP);
            if (SystemMenu)
                SystemMenu->UpdateItems();
            SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
        }
        break;
    default:
        Saved(Message);
        break;
    }
    Message.WParam = 0;
}

void TzqDialogWnd::NcLButtonDblClk(TMessage& Message)
{
    if (Message.WParam == HTCAPTION) {
        if (MaxEnabled() || RestoreEnabled()) {
            SysCommand(Zoomed() || Iconic() ? SC_RESTORE : SC_MAXIMIZE);
            if (SystemMenu)
                SystemMenu->UpdateItems();
        }
        Message.WParam = 0;
    } else if (Message.WParam == HTSYSMENU) {
        SysCommand(SC_CLOSE);
    }
}

void TzqDialogWnd::NcRButtonUp(TMessage& Message)
{
    if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) {
        SetHotButton(0, true);
        DropSystemMenu(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
}

void TzqDialogWnd::AfterDefault(const TMessage& Message)
{
    const WPARAM command = Message.WParam & 0xFFF0;
    if ((Message.WParam & 0xFFFF) == MoveByCaption) {
        RedrawWindow(WndHandle, nullptr, nullptr, FullRedraw);
    } else if (command == SC_MAXIMIZE || command == SC_RESTORE) {
        if (Has(WS_MAXIMIZEBOX))
            SetHotButton(HTMAXBUTTON, true);
        SetHotButton(0, true);
    }
}
