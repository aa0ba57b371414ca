#include "skin/windows/zqStaticWnd.h"

#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/windows/zqSimplePaint.h"

namespace {

// A static of this exact size draws its own picture in the middle part,
// which the skin leaves alone (the icon area of a system dialog's static).
constexpr int OwnDrawnWidth = 152;
constexpr int OwnDrawnHeight = 49;
const TRect OwnDrawnPart{30, 6, 120, 41};

}   // namespace

void TzqStaticWnd::PaintText()
{
    TCanvas* canvas = SkinData->CacheBmp->Canvas();
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    if (HFONT font = FFont.Handle(); font != nullptr)
        canvas->Font()->SetHandle(font);
    // Always from the left edge: the alignment styles are not followed.
    DrawControlTextEx(canvas, CachedText, IsWindowEnabled(WndHandle) != 0, false, SkinData,
                      DT_WORDBREAK | DT_EXPANDTABS, Rect(0, 0, WindowSize.x + 4, WindowSize.y), 0);
}

void TzqIconWnd::PaintText()
{
    HICON icon = reinterpret_cast<HICON>(SendMessageW(WndHandle, STM_GETICON, 0, 0));
    if (icon != nullptr)
        DrawIconEx(SkinData->CacheBmp->Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void TzqStaticWnd::Paint(TMessage& Message)
{
    TzqPaintCycle cycle(WndHandle, Message.WParam);
    ReadWindowGeometry(WndHandle, this);
    SkinData->Updating = SkinData->IsUpdating();
    if (!SkinData->Updating) {
        HDC dc = cycle.Given();
        const bool fetched = dc == nullptr;
        if (fetched)
            dc = GetDC(WndHandle);
        const int saved = SaveDC(dc);
        if (WindowSize.x == OwnDrawnWidth && WindowSize.y == OwnDrawnHeight) {
            TMessage own{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
            CallPrevWndProc(own);
            ExcludeClipRect(dc, OwnDrawnPart.left, OwnDrawnPart.top, OwnDrawnPart.right, OwnDrawnPart.bottom);
        }
        SkinData->BGChanged = true;
        SendSkinCommand(WndHandle, scmRebuildCache, 0);
        PaintText();
        CopyCacheToDC(*this, dc);
        RestoreDC(dc, saved);
        if (fetched)
            ReleaseDC(WndHandle, dc);
    }
    Message.Result = 0;
}

void TzqStaticWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ENABLE:
    case WM_CANCELMODE:
    case WM_SETTEXT:
        // The base refreshes the cached text after the window's own handling.
        WrapLookChange(*this, Message, [this](TMessage& M) { Inherited(M); });
        return;
    case WM_PAINT:
        if (IsWindowVisible(WndHandle))
            Paint(Message);
        else
            Inherited(Message);
        return;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_UPDATEUISTATE:
        if (IsWindowVisible(WndHandle)) {
            SendMessageW(WndHandle, WM_SETREDRAW, 0, 0);
            Inherited(Message);
            SendMessageW(WndHandle, WM_SETREDRAW, 1, 0);
        } else {
            Inherited(Message);
        }
        return;
    default: Inherited(Message); return;
    }
}

void TzqLinkWnd::SubclassWndProc(TMessage& Message)
{
    if (Message.Msg == WM_PAINT && SkinActive(*this) && IsWindowVisible(WndHandle)) {
        // A link draws itself (its text, underline and focus).
        CallPrevWndProc(Message);
        return;
    }
    TzqStaticWnd::SubclassWndProc(Message);
}
