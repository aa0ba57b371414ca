#include "skin/windows/zqMnuWnd.h"

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qSkinableMenus.h"

namespace {

// The strips of the cache laid onto the window on WM_NCPAINT.
constexpr int FrameStrip = 18;
// The cache's point that lies at the client origin.
constexpr int ClientInCache = 3;

} // namespace

void TzqMnuWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                      TqCommonData* ASkinData)
{
    TzqMainWnd::Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
    BorderPainted = 0;
}

void TzqMnuWnd::SubclassWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: Destroyed(Message); return;
    case SM_ZORVIKCMD: SkinCommandOfMenu(Message); return;
    default: break;
    }
    if (MenuMeasuring && Message.Msg == WM_ERASEBKGND) {
        EraseBackground(Message);
        return;
    }
    if (MenuMeasuring && Message.Msg == WM_NCPAINT && IsNTPlatform) {
        PaintFrame();
        Message.Result = 0;
        return;
    }
    TzqScrollWnd::SubclassWndProc(Message);
}

void TzqMnuWnd::Destroyed(TMessage& Message)
{
    BorderPainted = 0;
    CallPrevWndProc(Message);
    if ((PrevWndProc() || SavedControlProc()) && !Detached) {
        // Frees this object: nothing of it is touched afterwards.
        TzqMainWnd* self = this;
        DetachPlainSubclass(WndHandle, true, false, self);
    }
    ReleaseMenuBackground();
    MenuMeasuring = false;
}

void TzqMnuWnd::SkinCommandOfMenu(TMessage& Message)
{
    Message.Result = 0;
    switch (SkinSubCommand(Message.WParam)) {
    case scmIsSkinned:
        Message.LParam = 1;
        Message.Result = 1;
        break;
    case scmSetUpdating:
        // Asked by the menu painter: is the border painted already?
        Message.LParam = BorderPainted;
        Message.Result = BorderPainted;
        break;
    case scmMenuBorderDone:
        if (IsWindowVisible(WndHandle))
            BorderPainted = 1;
        break;
    case scmGetApplication:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        break;
    default:
        break;   // skin changes leave an open popup as it is
    }
}

void TzqMnuWnd::EraseBackground(TMessage& Message)
{
    PrepareCache();
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const bool fetched = dc == nullptr;
    if (fetched)
        dc = GetDC(WndHandle);
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache != nullptr)
        BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), ClientInCache, ClientInCache,
               SRCCOPY);
    if (fetched)
        ReleaseDC(WndHandle, dc);
    BorderPainted = 0;
    Message.Result = 0;
}

void TzqMnuWnd::PaintFrame()
{
    PrepareCache();
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache == nullptr)
        return;
    HDC dc = GetWindowDC(WndHandle);
    CopyBorderStrips(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, FrameStrip);
    ReleaseDC(WndHandle, dc);
}

void TzqMnuWnd::PrepareCache()
{
    ReadWindowGeometry(WndHandle, this);
    if (!SkinData->BGChanged)
        return;
    SkinData->PrepareCacheBitmap();
    ExchangeColor = clSkinTransparent;
    TBitmap* cache = SkinData->CacheBmp.get();
    cache->SetSize(WindowSize.x, WindowSize.y);
    const TPoint offset{WindowBounds.left - ParentBounds.left, WindowBounds.top - ParentBounds.top};
    PaintControlSection(SkinData, EmptyCacheInfo, true, false, cache, offset, {0, 0, WindowSize.x, WindowSize.y}, 0);
    PaintWindowCorners(SkinData, 0, this);
    SkinData->BGChanged = false;
}
