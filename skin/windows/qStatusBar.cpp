#include "skin/windows/qStatusBar.h"

#include <commctrl.h>

#include "framework/Application.h"
#include "framework/SavedDC.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

// The control kind of a status bar (its default section is "STATUSBAR").
constexpr int StatusBarKind = 151;

}   // namespace

TqStatusBar::TqStatusBar(TComponent* AOwner)
    : TStatusBar(AOwner), FSkinData(std::make_unique<TqCommonData>(this, true))
{
    FSkinData->ControlKind = StatusBarKind;
    ControlStyle |= csAcceptsControls | csOpaque;
    FSkinData->Loaded();
}

TqStatusBar::~TqStatusBar()
{
    FSkinData.reset();
}

void TqStatusBar::Loaded()
{
    TStatusBar::Loaded();
    FSkinData->Loaded();
}

void TqStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip == Value)
        return;
    FSizeGrip = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TqStatusBar::CreateParams(TCreateParams& Params)
{
    TStatusBar::CreateParams(Params);
    if (FSizeGrip)
        Params.Style |= SBARS_SIZEGRIP;
}

void TqStatusBar::CreateWnd()
{
    TStatusBar::CreateWnd();
    // The window class may have painted the new window while it was being
    // made (the control was not ready then): paint it from the skin again.
    if (FSkinData->IsSkinned(false)) {
        FSkinData->BGChanged = true;
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool TqStatusBar::SkinCommand(TMessage& Message)
{
    TqCommonData* data = FSkinData.get();
    const bool own = reinterpret_cast<TqSkinManager*>(Message.LParam) == data->SkinManager();
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinLoaded:
    case scmRefresh:
        if (!own)
            return false;
        BroadcastToChildControls(this, Message);
        CommonControlMessage(Message, data);
        if (HandleAllocated()) {
            Repaint();
            SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        }
        return true;
    case scmSkinRemoved:
        if (!own)
            return false;
        CommonControlMessage(Message, data);
        // The window class paints itself again from a fresh window.
        if (HandleAllocated())
            RecreateWnd();
        BroadcastToChildControls(this, Message);
        return true;
    case scmFinishUpdate:
        if (!data->IsUpdating())
            return false;
        data->Updating = false;
        if (HandleAllocated()) {
            Repaint();
            SendMessageW(Handle(), WM_NCPAINT, 0, 0);
        }
        return true;
    case scmIsSkinned:
        Message.LParam = 1;
        Message.Result = 1;
        return true;
    case scmGetApplication: Message.Result = reinterpret_cast<LRESULT>(Application); return true;
    default: return false;
    }
}

void TqStatusBar::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_ZORVIKCMD && FSkinData && SkinCommand(Message))
        return;
    if (!FSkinData || !ControlIsReady(this) || !FSkinData->IsSkinned(false)) {
        TStatusBar::WndProc(Message);
        return;
    }
    TqCommonData* data = FSkinData.get();
    switch (Message.Msg) {
    case WM_MOVE:
        if (const TqGeneralData& section = data->SkinManager()->Skin().Sections[data->SkinIndex];
            section.Transparency >= 1 || section.HotTransparency >= 1) {
            data->BGChanged = true;
        }
        break;
    case WM_PAINT:
        // Every pixel of the client area comes from the cache; the window
        // class never paints a skinned bar.
        PaintSkinned(reinterpret_cast<HDC>(Message.WParam));
        CommonControlMessage(Message, data);
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (!data->BGChanged) {
            PaintAllCorners(data, data->IsActive());
            CopyCache(reinterpret_cast<HDC>(Message.WParam));
        }
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        // The framework's controls have no border of their own: nothing to
        // draw, but the window class must not draw its frame either.
        if (Visible() || IsDesigning())
            data->Updating = data->IsUpdating();
        Message.Result = 0;
        return;
    case WM_PRINT:
        if (!Visible() && !IsDesigning()) {
            Message.Result = 0;
            return;
        }
        data->Updating = data->IsUpdating();
        if (!data->Updating) {
            PrepareCache();
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            const TSavedDC saved(dc);
            IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
            PaintSkinned(dc);
        }
        Message.Result = 0;
        return;
    default: break;
    }
    CommonPath(Message);
}

void TqStatusBar::CommonPath(TMessage& Message)
{
    const UINT msg = Message.Msg;
    CommonControlMessage(Message, FSkinData.get());
    TStatusBar::WndProc(Message);
    if (!FSkinData)
        return;
    if (msg == SB_SETTEXTA || msg == SB_SETTEXTW || msg == SB_SIMPLE || msg == SB_GETRECT)
        FSkinData->BGChanged = true;
}

void TqStatusBar::PaintSkinned(HDC DC)
{
    TqCommonData* data = FSkinData.get();
    PAINTSTRUCT ps{};
    HWND wnd = Handle();
    BeginPaint(wnd, &ps);
    HDC dc = DC != nullptr ? DC : GetDC(wnd);
    {
        const TSavedDC saved(dc);
        data->Updating = data->IsUpdating();
        if (!data->Updating) {
            PrepareCache();
            CopyCache(dc);
            RepaintChildControls(this);
            data->BGChanged = false;
        }
    }
    if (DC == nullptr)
        ReleaseDC(wnd, dc);
    EndPaint(wnd, &ps);
}

void TqStatusBar::CopyCache(HDC DC)
{
    TqCommonData* data = FSkinData.get();
    CopyCacheExceptChildren(this, data, Rect(0, 0, Width(), Height()), 0, 0, false, DC, Rect(0, 0, Width(), Height()));
    PaintGraphicControls(DC, this, Point(0, 0));
}

void TqStatusBar::PrepareCache()
{
    TqCommonData* data = FSkinData.get();
    bool needed = data->BGChanged || data->HalfVisible;
    if (!needed && Parent() != nullptr) {
        TMessage ask{};
        ask.Msg = SM_ZORVIKCMD;
        ask.WParam = SkinCommandWParam(scmIsHalfVisible);
        Parent()->WindowProc(ask);
        needed = ask.LParam == 1;
    }
    if (TWinControl* parent = Parent()) {
        const TRect client = parent->ClientRect();
        const POINT topLeft{Left(), Top()};
        // The bottom-right corner counts as inside when it lies on the
        // client rectangle's far edges.
        data->HalfVisible = !(PtInRect(&client, topLeft) && Left() + Width() <= client.right &&
                              Top() + Height() <= client.bottom);
    }
    if (!needed || data->ParentBgForced)
        return;
    TCacheInfo parentCache;
    data->GetParentCache(parentCache);
    data->PrepareCacheBitmap();
    PaintControlSection(data, parentCache, true, true, data->CacheBmp.get(), Point(Left(), Top()),
                        Rect(0, 0, Width(), Height()), 0);
    PaintPanels();
    if (FSizeGrip)
        PaintSizeGrip();
    data->BGChanged = false;
}

void TqStatusBar::PaintPanels()
{
    if (SimplePanel()) {
        PaintPanel(Rect(0, 1, Width() - 1, Height() - 1), SimpleText(), true);
        return;
    }
    int left = 0;
    const int count = Panels()->Count();
    for (int i = 0; i < count; ++i) {
        TStatusPanel* panel = Panels()->Items(i);
        const bool last = i + 1 == count;
        const int right = last ? Width() : left + panel->Width() + 1;
        PaintPanel(Rect(left + 1, 1, right - 1, Height() - 1), panel->Text(), last);
        left += panel->Width() + 1;
    }
}

void TqStatusBar::PaintPanel(TRect P, const String& Text, bool Last)
{
    TqCommonData* data = FSkinData.get();
    TqSkinManager* manager = data->SkinManager();
    TBitmap* cache = data->CacheBmp.get();
    if (manager == nullptr || !manager->IsValidSkinIndex(data->SkinIndex))
        return;
    const int mask = manager->FindMaskIndex(data->SkinIndex, data->SkinSection(), "STATUSPANELMASK");
    if (manager->IsValidMaskIndex(mask)) {
        const TRect r = SimplePanel() ? Rect(0, 0, Width(), Height()) : P;
        PaintMaskedImage(cache, r, true, nullptr, false, 0, manager->Skin().Masks[mask], TCacheInfo{});
    } else if (!SimplePanel() && !Last) {
        PaintDivider(P);
    }
    TRect r = P;
    InflateRect(&r, -1, -1);
    r.bottom -= 1;
    r.left += 2;
    r.right -= 4;
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    String shown;
    FitTextWithEllipsis(canvas, Text, RectWidth(r), shown);
    const UINT flags = TextAlignFlags(this, taLeftJustify) | DT_SINGLELINE | DT_VCENTER;
    DrawControlText(canvas, shown, true, data->IsActive() != 0, data, flags, r);
}

void TqStatusBar::PaintDivider(TRect P)
{
    TqCommonData* data = FSkinData.get();
    TqSkinManager* manager = data->SkinManager();
    const int section = manager->FindSectionIndex("DIVIDER");
    if (!manager->IsValidSkinIndex(section))
        return;
    const int mask = manager->FindMaskIndex(section, "DIVIDER", "BORDERSMASK");
    if (!manager->IsValidMaskIndex(mask))
        return;
    int frameWidth = 0, frameHeight = 0;
    manager->Skin().GetMaskFrameSize(mask, frameWidth, frameHeight);
    const int w = frameWidth - 1;
    const int h = Height() - 2;
    if (w <= 0 || h <= 0)
        return;
    TBitmap* cache = data->CacheBmp.get();
    auto bmp = NewBitmap24(w, h);
    const int x = P.right - w;
    BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, cache->Canvas()->Handle(), x, P.top, SRCCOPY);
    ExchangeParentColor = clSkinTransparent;
    ExchangeColor = clSkinTransparent;
    // The divider's own skin state, painted with the cache under it as
    // its parent's image.
    TqCommonData divider(nullptr, false);
    divider.SetSkinManager(manager);
    divider.SetSkinSection("DIVIDER");
    PaintControlSection(&divider, MakeCacheInfo(cache, 0, 0), true, true, bmp.get(), Point(x, P.top), Rect(0, 0, w, h),
                        0);
    BitBlt(cache->Canvas()->Handle(), x, 1, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TqStatusBar::PaintSizeGrip()
{
    TqCommonData* data = FSkinData.get();
    TqSkinManager* manager = data->SkinManager();
    int mask = manager->FindMaskIndex(manager->FindSectionIndex("GLOBALINFO"), "GLOBALINFO", "GRIPIMAGE");
    if (!manager->IsValidMaskIndex(mask))
        mask = manager->FindMaskIndex(data->SkinIndex, "FORM", "GRIPIMAGE");
    if (!manager->IsValidMaskIndex(mask))
        return;
    const TqMaskData& m = manager->Skin().Masks[mask];
    int w = 0, h = 0;
    if (m.Bmp) {
        w = m.Bmp->Width() / 3;
        h = m.Bmp->Height() / 2;
    } else if (m.ImageCount > 0) {
        w = RectWidth(m.R) / m.ImageCount;
        h = RectHeight(m.R) / (m.MaskType + 1);
    }
    DrawMaskGlyph(data->CacheBmp.get(), Point(Width() - w, Height() - h), 0, m, 1);
}
