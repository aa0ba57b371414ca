#include "skin/windows/zqGroupBoxWnd.h"

#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqSimpleLayout.h"
#include "skin/windows/zqSimplePaint.h"

namespace {

void SelectWindowFont(TCanvas* Canvas, TqCommonData* Data, HWND Wnd)
{
    if (Data->OwnerControl != nullptr)
        Canvas->SetFont(Data->OwnerControl->Font());
    else if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(Wnd, WM_GETFONT, 0, 0)); font != nullptr)
        Canvas->Font()->SetHandle(font);
}

}   // namespace

TRect TzqGroupBoxWnd::CaptionRect()
{
    TCanvas* canvas = SkinData->CacheBmp->Canvas();
    TRect r{0, 0, 0, 0};
    canvas->DrawTextRect(CachedText, r, DT_CALCRECT | DT_CENTER);
    return GroupCaptionRect(WindowSize.x, TSize{r.right - r.left, r.bottom - r.top});
}

void TzqGroupBoxWnd::FillParentBackground(const TCacheInfo& Parent, TRect R)
{
    TBitmap* cache = SkinData->CacheBmp.get();
    if (Parent.Ready && Parent.Bmp != nullptr) {
        BitBlt(cache->Canvas()->Handle(), R.left, R.top, R.right - R.left, R.bottom - R.top,
               Parent.Bmp->Canvas()->Handle(), OffsetInParent.x + Parent.X + R.left,
               OffsetInParent.y + Parent.Y + R.top, SRCCOPY);
        return;
    }
    ExchangeColor = clSkinTransparent;
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl); owner != nullptr && owner->Parent() != nullptr)
        QueryControlColor(owner->Parent());
    else
        SendSkinCommand(ParentHandle, scmGetBgColor, 0);
    TColor color = ExchangeColor;
    if (color == clSkinTransparent)
        color = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
    ExchangeColor = clSkinTransparent;
    FillDCRect(cache->Canvas()->Handle(), R, color);
}

void TzqGroupBoxWnd::BuildCache()
{
    if (!SkinData->BGChanged)
        return;
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBmp.get();
    cache->SetSize(WindowSize.x, WindowSize.y);
    SelectWindowFont(cache->Canvas(), SkinData, WndHandle);
    ExchangeCache.Ready = false;
    SendSkinCommand(ParentHandle, scmGetCache, 0);
    const TCacheInfo parent = ExchangeCache;
    const TRect caption = CaptionRect();
    const int captionHeight = caption.bottom - caption.top;
    FillParentBackground(parent, TRect{0, 0, WindowSize.x, caption.bottom});
    const int top = captionHeight / 2;
    const TPoint offset{OffsetInParent.x - parent.X, OffsetInParent.y - parent.Y + top};
    if (top < WindowSize.y) {
        auto frame = NewBitmap24(WindowSize.x, WindowSize.y - top);
        PaintControlSection(SkinData, parent, true, true, frame.get(), offset,
                            Rect(0, 0, frame->Width(), frame->Height()), 0);
        BitBlt(cache->Canvas()->Handle(), 0, top, frame->Width(), frame->Height(), frame->Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    if (!CachedText.empty()) {
        FillParentBackground(parent, caption);
        DrawControlTextEx(cache->Canvas(), CachedText, IsWindowEnabled(WndHandle) != 0, false, SkinData,
                          DT_SINGLELINE | DT_VCENTER | DT_CENTER, caption, 0);
    }
    SkinData->BGChanged = false;
}

void TzqGroupBoxWnd::Paint(TMessage& Message)
{
    ReadWindowGeometry(WndHandle, this);
    const WPARAM given = Message.WParam != 0 && Message.LParam == 1 ? Message.WParam : 0;
    TzqPaintCycle cycle(WndHandle, given);
    SkinData->Updating = SkinData->IsUpdating();
    if (!SkinData->Updating) {
        ExchangeCache.Ready = false;
        HDC dc = cycle.Given();
        const bool fetched = dc == nullptr;
        if (fetched)
            dc = GetWindowDC(WndHandle);
        const int saved = SaveDC(dc);
        BuildCache();
        if (InDialog) {
            // In a dialog the window draws its inside itself.
            int left = 0, right = 0, bottom = 0;
            if (TqSkinManager* manager = SkinData->SkinManager(); manager != nullptr &&
                                                                  manager->IsValidMaskIndex(SkinData->BorderIndex)) {
                left = manager->Skin().MaskBorderLeft(SkinData->BorderIndex);
                right = manager->Skin().MaskBorderRight(SkinData->BorderIndex);
                bottom = manager->Skin().MaskBorderBottom(SkinData->BorderIndex);
            }
            const TRect caption = CaptionRect();
            ExcludeClipRect(dc, left, caption.bottom - caption.top, WindowSize.x - right, WindowSize.y - bottom);
        }
        const TRect all{0, 0, WindowSize.x, WindowSize.y};
        CopyCacheExceptChildWindows(WndHandle, SkinData, all, 0, 0, false, dc, all);
        RestoreDC(dc, saved);
        if (fetched)
            ReleaseDC(WndHandle, dc);
        RepaintChildWindows(WndHandle);
    }
    Message.Result = 0;
}

void TzqGroupBoxWnd::SubclassWndProc(TMessage& Message)
{
    if (!SkinActive(*this)) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        if (SkinSubCommand(Message.WParam) == scmGetCaptionHeight) {
            const TRect caption = CaptionRect();
            Message.Result = caption.bottom - caption.top;
            return;
        }
        break;
    case WM_SIZE: SkinData->BGChanged = true; break;
    case WM_PAINT:
        if (!InDialog) {
            Paint(Message);
            return;
        }
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT:
        Inherited(Message);
        if (InDialog) {
            TMessage paint{WM_PAINT, 0, 0, 0};
            SkinData->BGChanged = true;
            Paint(paint);
        }
        return;
    case WM_PRINT:
        if (!InDialog) {
            SkinData->BGChanged = true;
            Message.LParam = 1;
            Paint(Message);
            Inherited(Message);
            return;
        }
        break;
    default: break;
    }
    Inherited(Message);
}
