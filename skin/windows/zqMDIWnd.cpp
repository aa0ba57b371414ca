#include "skin/windows/zqMDIWnd.h"

#include "framework/Form.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinPaint.h"

namespace {

// The form's cache offset of the client window's top-left.
TPoint ClientPlace(HWND Client, HWND Form)
{
    RECT client{}, form{};
    GetWindowRect(Client, &client);
    GetWindowRect(Form, &form);
    return TPoint{client.left - form.left, client.top - form.top};
}

}   // namespace

TzqMDIWnd::~TzqMDIWnd()
{
    FormSkinData = nullptr;
    Provider = nullptr;
}

bool TzqMDIWnd::FormSkinned() const
{
    return Form != nullptr && FormSkinData != nullptr && FormSkinData->IsSkinned() && FormSkinData->CacheBmp &&
           !FormSkinData->CacheBmp->Empty();
}

bool TzqMDIWnd::MaximizedChild()
{
    BOOL maximized = FALSE;
    const HWND active = reinterpret_cast<HWND>(SendMessageW(WndHandle, WM_MDIGETACTIVE, 0,
                                                            reinterpret_cast<LPARAM>(&maximized)));
    return active != nullptr && maximized;
}

void TzqMDIWnd::PaintBackground(HDC DC, bool Inset)
{
    // Nothing while the form's own frame is being rebuilt.
    if (!FormSkinned() || FormSkinData->Updating)
        return;
    RECT client{};
    GetClientRect(WndHandle, &client);
    TPoint place = ClientPlace(WndHandle, Form->Handle());
    if (Inset) {
        place.x += 2;
        place.y += 2;
    }
    TBitmap* cache = FormSkinData->CacheBmp.get();
    BitBlt(DC, 0, 0, client.right, client.bottom, cache->Canvas()->Handle(), place.x, place.y, SRCCOPY);
    PaintGraphicControls(DC, Form, TPoint{-place.x, -place.y});
}

void TzqMDIWnd::Paint(TMessage& Message)
{
    if (MaximizedChild()) {
        if (Form != nullptr && Form->HandleAllocated()) {
            HDC dc = GetDC(Form->Handle());
            PaintGraphicControls(dc, Form, TPoint{0, 0});
            ReleaseDC(Form->Handle(), dc);
        }
        ScrollLayer(Message);
        return;
    }
    PAINTSTRUCT ps{};
    BeginPaint(WndHandle, &ps);
    HDC dc = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam) : GetDC(WndHandle);
    PaintBackground(dc, true);
    if (Message.WParam == 0)
        ReleaseDC(WndHandle, dc);
    EndPaint(WndHandle, &ps);
    Message.Result = 0;
}

void TzqMDIWnd::PaintNonClient(TMessage& Message)
{
    Message.Result = 0;
    if (MaximizedChild() || !FormSkinned())
        return;
    RECT window{};
    GetWindowRect(WndHandle, &window);
    const TPoint place = ClientPlace(WndHandle, Form->Handle());
    HDC dc = GetWindowDC(WndHandle);
    CopyBorderStrips(dc, 0, 0, window.right - window.left, window.bottom - window.top,
                     FormSkinData->CacheBmp->Canvas()->Handle(), place.x, place.y, 2);
    PaintScrollBars(WndHandle, nullptr, dc, -1);
    ReleaseDC(WndHandle, dc);
}

void TzqMDIWnd::AfterInherited(const TMessage& Message)
{
    if (Message.Msg == SM_ZORVIKCMD) {
        switch (SkinSubCommand(Message.WParam)) {
        case scmBeginScroll: SendMessageW(WndHandle, WM_SETREDRAW, 0, 0); break;
        case scmEndScroll:
            SendMessageW(WndHandle, WM_SETREDRAW, 1, 0);
            if (LOWORD(Message.LParam) != SB_THUMBTRACK)
                RedrawWindow(WndHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            RefreshScrollBars(this, false);
            ReleaseCapture();
            break;
        default: break;
        }
        return;
    }
    if (Message.Msg == 0x3F || Message.Msg == WM_PARENTNOTIFY) {
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_STYLE)) | KeptBarStyle;
        VertBar->Shown = (style & WS_VSCROLL) != 0;
        HorzBar->Shown = (style & WS_HSCROLL) != 0;
        RefreshScrollBars(this, true);
    }
}

void TzqMDIWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned() || !FormSkinned()) {
        TzqBaseWnd::SubclassWndProc(Message);
        return;
    }
    // The bars paint over the form's cache, where the client lies in it.
    CacheOffset = ClientPlace(WndHandle, Form->Handle());
    switch (Message.Msg) {
    case WM_PAINT: Paint(Message); return;
    case WM_ERASEBKGND:
        if (Message.WParam != 0) {
            if (!MaximizedChild())
                PaintBackground(reinterpret_cast<HDC>(Message.WParam), true);
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCPAINT: PaintNonClient(Message); return;
    case WM_PRINT:
        if (Message.WParam != 0) {
            PaintScrollBars(WndHandle, nullptr, reinterpret_cast<HDC>(Message.WParam), -1);
            PaintBackground(reinterpret_cast<HDC>(Message.WParam), false);
            Message.Result = 0;
            return;
        }
        break;
    case SM_ZORVIKCMD:
        if (SkinSubCommand(Message.WParam) == scmGetCache) {
            // The client's background is the form's: the question goes there.
            SendControlCommand(Form, scmGetCache, 0);
            return;
        }
        break;
    default: break;
    }
    TzqBaseWnd::SubclassWndProc(Message);
    AfterInherited(Message);
}
