#include "skin/windows/zqMainWnd.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Control.h"
#include "framework/Form.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlPaint.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"

bool SubclassInDialog = false;
bool AdapterClearing = false;
const wchar_t* const SubclassPropName = L"ZQSBSC";

TzqMainWnd* GetSubclassObject(HWND Handle)
{
    return Handle ? static_cast<TzqMainWnd*>(GetPropW(Handle, SubclassPropName)) : nullptr;
}

void RedrawNonClient(HWND Handle, bool FrameFlag)
{
    if (FrameFlag)
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        SendMessageW(Handle, WM_NCPAINT, 1, 0);
}

void SkipPaint(HWND Handle)
{
    ValidateRect(Handle, nullptr);
}

// ---- creation and destruction ----

void TzqMainWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                       TqCommonData* ASkinData)
{
    // The system draws nothing themed under the skin; dialogs keep theirs.
    if (SetWindowThemeEntry && Section != "DIALOG")
        SetWindowThemeEntry(Handle, L" ", L" ");
    WndHandle = Handle;
    Manager = AManager;
    Detached = false;
    if (ASkinData) {
        SkinData = ASkinData;
        if (!Manager)
            Manager = SkinData->SkinManager();
    } else {
        OwnsSkinData = true;
        SkinData = new TqCommonData(nullptr, true);
        // Its indexes come from the manager given, not from the default one.
        if (Manager)
            SkinData->SetSkinManager(Manager);
    }
    if (SkinData->SkinSection().empty())
        SkinData->SetSkinSection(Section);
    if (Manager)
        FManagerLife = Manager->LifeToken();
    InDialog = SubclassInDialog;
    SaveOriginalColors();
    ColorsApplied = false;
    ReadCachedText();
    AttachNow(Handle, ScrollFlag);
}

void TzqMainWnd::AttachNow(HWND Handle, bool)
{
    AttachSubclass(this, Handle);
}

TzqMainWnd::~TzqMainWnd()
{
    // FreeSubclass ran BeforeDestruction; a bare delete still unhooks, so
    // that nothing can call the freed object.
    if (!Detached) {
        GiveBackProcedure();
        Detached = true;
    }
    if (OwnsSkinData)
        delete SkinData;
    SkinData = nullptr;
    Manager = nullptr;
}

void TzqMainWnd::BeforeDestruction()
{
    if (Detached)
        return;
    if (AdapterClearing && !SkinRemoving) {
        // The form is going away with its windows: their look is left as
        // it is, but the link and the property go with the object.
        GiveBackProcedure();
    } else {
        if (SetWindowThemeEntry && WindowIsOurs())
            SetWindowThemeEntry(WndHandle, nullptr, nullptr);
        GiveBackProcedure();
        RestoreOriginalColors();
    }
    Detached = true;
}

void TzqMainWnd::FreeSubclass(TzqMainWnd* Object)
{
    if (!Object)
        return;
    Object->BeforeDestruction();
    delete Object;
}

TqSkinManager* TzqMainWnd::LiveManager() const
{
    return Manager && !FManagerLife.expired() ? Manager : nullptr;
}

// ---- hooking ----

void TzqMainWnd::InstallHook(HWND Handle)
{
    TControl* control = SkinData ? SkinData->OwnerControl : nullptr;
    if (!control && SkinData)
        if (auto* holder = dynamic_cast<TqStateHolder*>(SkinData->OwnerObject))
            control = holder->HolderForm();
    const auto proc = [this](TMessage& Message, const TCallPrevious&) { SubclassWndProc(Message); };
    if (control) {
        FHook = HookWindowProc(control, proc);
        FHookedControl = control;
    } else {
        FHook = HookWndProc(Handle, proc);
        FHookedControl = nullptr;
    }
    FHooked = true;
}

bool TzqMainWnd::WindowIsOurs() const
{
    if (!WndHandle || !IsWindow(WndHandle))
        return false;
    return GetPropW(WndHandle, SubclassPropName) == this;
}

void TzqMainWnd::GiveBackProcedure()
{
    const bool ours = WindowIsOurs();
    FHook.Remove();
    if (ours)
        RemovePropW(WndHandle, SubclassPropName);
}

void AttachSubclass(TzqMainWnd* Object, HWND Handle)
{
    Object->Scrolling = false;
    Object->WndHandle = Handle;
    SetPropW(Handle, SubclassPropName, Object);
    Object->InstallHook(Handle);
}

void DetachPlainSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object)
{
    if (!Object)
        return;
    if (!Object->Detached) {
        const bool ours = Object->WindowIsOurs();
        Object->GiveBackProcedure();
        Object->RestoreOriginalColors();
        if (ours && IsWindowVisible(Handle))
            RedrawNonClient(Handle, FrameFlag);
        Object->Detached = true;
    }
    if (FreeFlag) {
        TzqMainWnd::FreeSubclass(Object);
        Object = nullptr;
    }
}

LRESULT TzqMainWnd::CallPrevWndProc(HWND, UINT Msg, WPARAM WParam, LPARAM& LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    CallPrevWndProc(message);
    LParam = message.LParam;
    return message.Result;
}

void TzqMainWnd::CallPrevWndProc(TMessage& Message)
{
    Message.Result = 0;
    if (FHooked)
        FHook.CallPrevious(Message);
}

void TzqMainWnd::ReadCachedText()
{
    CachedText.clear();
    if (!WndHandle)
        return;
    const int length = GetWindowTextLengthW(WndHandle);
    if (length <= 0)
        return;
    WideString text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(WndHandle, text.data(), length + 1)));
    CachedText = WideToStr(text);
}

// ---- the base window procedure ----

void TzqMainWnd::SubclassWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (PrevWndProc() || SavedControlProc()) {
            TzqMainWnd* self = this;
            DetachPlainSubclass(WndHandle, false, false, self);
        }
        CallPrevWndProc(Message);
        return;
    case WM_UPDATEUISTATE:
        return;
    case WM_SETTEXT:
        CallPrevWndProc(Message);
        ReadCachedText();
        return;
    case WM_MOUSEMOVE:
        NoteHover();
        break;
    case WM_PRINT:
        Message.Result = SendMessageW(WndHandle, WM_PAINT, Message.WParam, Message.LParam);
        return;
    default:
        break;
    }
    TqSkinManager* manager = LiveManager();
    if (!SkinData || !manager || !manager->Active() || Message.Msg != SM_ZORVIKCMD) {
        CallPrevWndProc(Message);
        return;
    }
    if (!SkinCommand(Message))
        CallPrevWndProc(Message);
}

void TzqMainWnd::NoteHover()
{
    TqSkinManager* def = TqSkinManager::DefaultManager();
    if (def && !def->IsDesigning() && IsWindowEnabled(WndHandle) && def->ActiveControl() != WndHandle)
        def->SetActiveControl(WndHandle);
}

bool TzqMainWnd::SkinCommand(TMessage& Message)
{
    const bool own = reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager;
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinLoaded:
        if (own) {
            SkinData->UpdateIndexes();
            SkinData->BGChanged = true;
        }
        return false;
    case scmSkinRemoved:
        if (own)
            RestoreOriginalColors();
        return false;
    case scmRefresh:
        if (!own)
            return false;
        SkinData->UpdateIndexes();
        SkinData->BGChanged = true;
        SendMessageW(WndHandle, WM_PAINT, 0, 0);
        return true;
    case scmGetCache:
        ExchangeCache = MakeCacheInfo(SkinData->CacheBmp.get(), 0, 0);
        ExchangeCache.Ready = SkinData->CacheBmp != nullptr;
        return true;
    case scmFinishUpdate:
        if (SkinData->IsUpdating()) {
            SkinData->Updating = false;
            RedrawWindow(WndHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        return true;
    case scmIsSkinned:
        Message.LParam = 1;
        Message.Result = 1;
        return true;
    case scmIsBgChanging:
        Message.LParam = SkinData->BGChanged || SkinData->IsUpdating() ? 1 : 0;
        return false;
    case scmIsBgTextured:
    case scmGetBgColor:
        if (!SkinData->OwnerControl)
            return false;
        CommonSkinMessage(Message, SkinData);
        return true;
    case scmRebuildCache:
        RebuildWindowCache(SkinData, WndHandle, false);
        return false;
    case scmGetApplication:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

// ---- geometry, cache and corners ----

void ReadWindowGeometry(HWND Handle, TzqMainWnd* Object)
{
    RECT r{};
    GetWindowRect(Handle, &r);
    Object->WindowBounds = r;
    Object->ParentHandle = GetParent(Handle);
    RECT p{};
    if (Object->ParentHandle)
        GetWindowRect(Object->ParentHandle, &p);
    Object->ParentBounds = p;
    Object->WindowSize = TPoint{r.right - r.left, r.bottom - r.top};
    Object->OffsetInParent = TPoint{r.left - p.left, r.top - p.top};
}

void RebuildWindowCache(TqCommonData* Data, HWND Handle, bool PlainFrame)
{
    if (!Data || !Data->BGChanged || !Handle)
        return;
    RECT wr{};
    GetWindowRect(Handle, &wr);
    TCacheInfo parentCache;
    Data->GetParentCacheByHandle(Handle, parentCache);
    Data->PrepareCacheBitmap();
    TBitmap* cache = Data->CacheBmp.get();
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    cache->SetSize(w, h);
    TqSkinManager* def = TqSkinManager::DefaultManager();
    if (PlainFrame && def && def->SkinData().BorderColor != clSkinTransparent) {
        TintRect(cache, Rect(0, 0, w - 1, h - 1), 0, static_cast<TColor>(ColorToRGB(clWindow)));
        const TColor border = static_cast<TColor>(ColorToRGB(def->SkinData().BorderColor));
        TintRect(cache, Rect(0, 0, w - 1, 0), 0, border);
        TintRect(cache, Rect(0, h - 1, w - 1, h - 1), 0, border);
        TintRect(cache, Rect(0, 0, 0, h - 1), 0, border);
        TintRect(cache, Rect(w - 1, 0, w - 1, h - 1), 0, border);
    } else {
        const HWND parent = GetParent(Handle);
        if (!parent)
            return;   // retried at the next paint
        RECT pr{};
        GetWindowRect(parent, &pr);
        const TPoint offset{wr.left - pr.left - parentCache.X, wr.top - pr.top - parentCache.Y};
        TqSkinManager* manager = Data->SkinManager();
        if (manager && manager->IsValidSkinIndex(Data->SkinIndex))
            PaintControlSection(Data, parentCache, true, true, cache, offset, Rect(0, 0, w, h), 0);
    }
    Data->BGChanged = false;
}

namespace {

TColor PixelOf(TBitmap* B, int X, int Y)
{
    const Byte* p = B->ScanLine(Y) + X * B->BytesPerPixel();
    return RGBToColor(p[2], p[1], p[0]);
}

void PutPixel(TBitmap* B, int X, int Y, const Byte* From)
{
    Byte* p = B->ScanLine(Y) + X * B->BytesPerPixel();
    p[0] = From[0];
    p[1] = From[1];
    p[2] = From[2];
}

}   // namespace

void PaintWindowCorners(TqCommonData* Data, int State, TzqMainWnd* Object)
{
    if (!Data || !Object)
        return;
    TqSkinManager* manager = Data->SkinManager();
    if (!manager || !manager->IsValidMaskIndex(Data->BorderIndex) || !Data->CacheBmp ||
        Object->WindowSize.x < 2 || Object->WindowSize.y < 2)
        return;

    // What lies behind the window: the parent's cache or its plain colour.
    TCacheInfo parentCache;
    TColor parentColor = clSkinTransparent;
    const bool textured = SendSkinCommand(Object->ParentHandle, scmIsBgTextured, 0) != 0;
    if (textured) {
        Data->GetParentCacheByHandle(Object->WndHandle, parentCache);
    } else {
        ExchangeColor = clSkinTransparent;
        SendSkinCommand(Object->ParentHandle, scmGetBgColor, 0);
        parentColor = static_cast<TColor>(ColorToRGB(ExchangeColor));
    }

    const TqMaskData& mask = manager->Skin().Masks[Data->BorderIndex];
    TBitmap* picture = MaskSourceBitmap(mask);
    if (!picture) {
        ExchangeColor = clSkinTransparent;
        return;
    }
    TRect frames = mask.R;
    int count = mask.ImageCount;
    int rows = mask.MaskType;
    if (count == 0 && mask.Bmp) {
        rows = 1;
        count = 3;
        frames = Rect(0, 0, mask.Bmp->Width(), mask.Bmp->Height());
    }
    count = std::max(count, 1);
    rows = std::max(rows, 0);
    const int state = std::clamp(State, 0, count - 1);
    const int frameW = (frames.right - frames.left) / count;
    const int frameH = (frames.bottom - frames.top) / (rows + 1);
    const int fx = frames.left + frameW * state;
    const int fy = frames.top;
    const int wl = mask.WL, wt = mask.WT, wr = mask.WR, wb = mask.WB;
    TBitmap* cache = Data->CacheBmp.get();
    const int w = Object->WindowSize.x;
    const int h = Object->WindowSize.y;
    Byte colour[3] = {static_cast<Byte>((parentColor >> 16) & 0xFF), static_cast<Byte>((parentColor >> 8) & 0xFF),
                      static_cast<Byte>(parentColor & 0xFF)};

    // One corner block: (SX, SY) of the frame onto (DX, DY) of the cache.
    const auto corner = [&](int SX, int SY, int BW, int BH, int DX, int DY) {
        for (int y = 0; y < BH; ++y)
            for (int x = 0; x < BW; ++x) {
                const int px = SX + x, py = SY + y, cx = DX + x, cy = DY + y;
                if (px < 0 || py < 0 || px >= picture->Width() || py >= picture->Height() || cx < 0 || cy < 0 ||
                    cx >= cache->Width() || cy >= cache->Height())
                    continue;
                if (PixelOf(picture, px, py) != clSkinTransparent)
                    continue;
                if (textured) {
                    if (!parentCache.Ready || !parentCache.Bmp)
                        continue;
                    const int qx = cx + Object->OffsetInParent.x + parentCache.X;
                    const int qy = cy + Object->OffsetInParent.y + parentCache.Y;
                    if (qx < 0 || qy < 0 || qx >= parentCache.Bmp->Width() || qy >= parentCache.Bmp->Height())
                        continue;
                    PutPixel(cache, cx, cy, parentCache.Bmp->ScanLine(qy) + qx * parentCache.Bmp->BytesPerPixel());
                } else if (parentColor != clSkinTransparent) {
                    PutPixel(cache, cx, cy, colour);
                }
            }
    };
    corner(fx, fy, wl, wt, 0, 0);
    corner(fx, fy + frameH - wb, wl, wb, 0, h - wb);
    corner(fx + frameW - wr, fy + frameH - wb, wr, wb, w - wr, h - wb);
    corner(fx + frameW - wr, fy, wr, wt, w - wr, 0);
    ExchangeColor = clSkinTransparent;
}
