#include "skin/windows/qPanel.h"

#include "framework/Application.h"
#include "framework/ControlMessages.h"
#include "framework/SavedDC.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"

namespace {

// The control kind of a panel (its default section is "PANEL").
constexpr int PanelKind = 73;

}   // namespace

TqPanel::TqPanel(TComponent* AOwner) : TPanel(AOwner), FSkinData(std::make_unique<TqCommonData>(this, true))
{
    FSkinData->ControlKind = PanelKind;
    ControlStyle |= csOpaque;
    FSkinData->Loaded();
}

TqPanel::~TqPanel()
{
    FSkinData.reset();
}

void TqPanel::Loaded()
{
    TPanel::Loaded();
    FSkinData->Loaded();
}

void TqPanel::Paint()
{
    if ((FSkinData && FSkinData->IsSkinned()) || !OnPaint) {
        TPanel::Paint();
        return;
    }
    if (!(IsLoading() && Visible()))
        OnPaint(this, Canvas());
}

bool TqPanel::SkinCommand(TMessage& Message)
{
    TqCommonData* data = FSkinData.get();
    const bool own = reinterpret_cast<TqSkinManager*>(Message.LParam) == data->SkinManager();
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinLoaded:
        BroadcastToChildControls(this, Message);
        if (own)
            CommonControlMessage(Message, data);
        return true;
    case scmSkinRemoved:
        if (own) {
            CommonControlMessage(Message, data);
            Invalidate();
        }
        BroadcastToChildControls(this, Message);
        return true;
    case scmRefresh:
        if (own) {
            CommonControlMessage(Message, data);
            BroadcastToChildControls(this, Message);
            if (HandleAllocated())
                Repaint();
        } else {
            BroadcastToChildControls(this, Message);
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

void TqPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_ZORVIKCMD && FSkinData && SkinCommand(Message))
        return;
    if (FSkinData && ControlIsReady(this) && FSkinData->IsSkinned())
        SkinnedMessage(Message);
    else
        UnskinnedMessage(Message);
}

void TqPanel::SkinnedMessage(TMessage& Message)
{
    TqCommonData* data = FSkinData.get();
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        switch (SkinSubCommand(Message.WParam)) {
        case scmFinishUpdate:
            if (data->IsUpdating()) {
                data->Updating = false;
                RedrawWindow(Handle(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            return;
        case scmSetParentBgFlag:
            CommonControlMessage(Message, data);
            if (data->ParentBgForced)
                PrepareCache();
            return;
        case scmIsBgChanging:
            Message.LParam = data->BGChanged || data->IsUpdating() ? 1 : 0;
            Message.Result = Message.LParam;
            return;
        default: CommonSkinMessage(Message, data); return;
        }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: TPanel::WndProc(Message); return;
    case WM_PAINT:
        if (Visible() || IsDesigning())
            PaintMessage(Message);
        else
            TPanel::WndProc(Message);
        return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_PRINT:
        data->Updating = false;
        if (data->BGChanged) {
            PrepareCache();
            // The owner's drawing once more over the fresh cache.
            if (OnPaint)
                OnPaint(this, data->CacheBmp->Canvas());
        }
        PaintAllCorners(data, data->IsActive());
        PaintSkin(reinterpret_cast<HDC>(Message.WParam), false);
        Message.Result = 0;
        return;
    case CM_VISIBLECHANGED:
        data->BGChanged = true;
        data->Updating = false;
        TPanel::WndProc(Message);
        return;
    case CM_TEXTCHANGED:
        if (Parent() != nullptr)
            data->Invalidate();
        return;
    default: break;
    }
    const UINT msg = Message.Msg;
    CommonControlMessage(Message, data);
    TPanel::WndProc(Message);
    if (!FSkinData)
        return;
    if (msg == WM_SETFONT && !Caption().empty()) {
        FSkinData->BGChanged = true;
        Repaint();
    } else if (msg == CM_ENABLEDCHANGED) {
        FSkinData->Invalidate();
    }
}

void TqPanel::UnskinnedMessage(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND && OnPaint) {
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_PRINT) {
        // What the handler draws, straight into the given DC; nothing at
        // all without a handler or a DC.
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (OnPaint && dc != nullptr) {
            const TSavedDC saved(dc);
            Canvas()->SetHandle(dc);
            Canvas()->Font()->Assign(Font());
            Canvas()->Brush()->SetColor(Color());
            OnPaint(this, Canvas());
            Canvas()->SetHandle(nullptr);
        }
        Message.Result = 0;
        return;
    }
    TPanel::WndProc(Message);
}

void TqPanel::PaintMessage(TMessage& Message)
{
    PAINTSTRUCT ps{};
    HWND wnd = Handle();
    BeginPaint(wnd, &ps);
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    HDC dc = given != nullptr ? given : GetDC(wnd);
    {
        const TSavedDC saved(dc);
        TCanvas* canvas = Canvas();
        canvas->SetHandle(dc);
        PaintSkin(dc, true);
        canvas->SetHandle(nullptr);
    }
    if (given == nullptr)
        ReleaseDC(wnd, dc);
    EndPaint(wnd, &ps);
    Message.Result = 0;
}

void TqPanel::PaintSkin(HDC DC, bool RepaintChildren)
{
    TqCommonData* data = FSkinData.get();
    if (IsDestroying() || Parent() == nullptr || (Parent()->ControlState() & csCreating) != 0 || data == nullptr ||
        !data->IsSkinned())
        return;
    data->Updating = data->IsUpdating();
    if (data->Updating)
        return;
    const bool needed = data->HalfVisible || data->BGChanged;
    HDC dc = DC != nullptr ? DC : Canvas()->Handle();
    if (dc == nullptr)
        return;
    if (data->NeedsParentBg()) {
        RECT clip{};
        GetClipBox(dc, &clip);
        data->HalfVisible = !(RectWidth(clip) == Width() && RectHeight(clip) == Height());
    } else {
        data->HalfVisible = false;
    }
    if (needed && !data->ParentBgForced)
        PrepareCache();
    PaintAllCorners(data, data->IsActive());
    const TRect all = Rect(0, 0, Width(), Height());
    CopyCacheExceptChildren(this, data, all, 0, 0, false, dc, all);
    PaintGraphicControls(dc, this, Point(0, 0));
    if (RepaintChildren)
        RepaintChildControls(this);
}

void TqPanel::PrepareCache()
{
    TqCommonData* data = FSkinData.get();
    data->PrepareCacheBitmap();
    TCacheInfo parentCache;
    data->GetParentCache(parentCache);
    TBitmap* cache = data->CacheBmp.get();
    PaintControlSection(data, parentCache, true, true, cache, Point(Left(), Top()), Rect(0, 0, Width(), Height()), 0);
    TRect r = ClientRect();
    const int inset = (BevelInner() != bvNone ? BevelWidth() : 0) + (BevelOuter() != bvNone ? BevelWidth() : 0);
    InflateRect(&r, -inset, -inset);
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    const int lineHeight = canvas->TextHeight("W");
    r.top = (r.bottom + r.top - lineHeight) / 2;
    r.bottom = r.top + lineHeight;
    DrawControlText(canvas, Caption(), EffectivelyEnabled(), false, data, TextAlignFlags(this, Alignment()) | DT_NOPREFIX,
                    r);
    if (OnPaint)
        OnPaint(this, canvas);
    data->BGChanged = false;
}
