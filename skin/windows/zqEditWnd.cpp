#include "skin/windows/zqEditWnd.h"

#include "framework/Control.h"
#include "framework/ControlMessages.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

// The GUI framework's reflected key notifications.
constexpr UINT CN_KEYDOWN_ = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP_ = CN_BASE + WM_KEYUP;
// A message of an old framework version that skinned windows swallow.
constexpr UINT SwallowedMessage = 0x2100;

bool OwnManager(const TzqMainWnd& Wnd, const TMessage& Message)
{
    return reinterpret_cast<TqSkinManager*>(Message.LParam) == Wnd.Manager;
}

const TqGeneralData* SectionData(const TqCommonData* Data)
{
    TqSkinManager* manager = Data != nullptr ? Data->SkinManager() : nullptr;
    if (manager == nullptr || !manager->IsValidSkinIndex(Data->SkinIndex))
        return nullptr;
    return &manager->Skin().Sections[Data->SkinIndex];
}

}   // namespace

// ---- TzqBaseWnd ----

void TzqBaseWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        ScrollLayer(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        switch (SkinSubCommand(Message.WParam)) {
        case scmRefresh:
            if (OwnManager(*this, Message)) {
                ScrollLayer(Message);
                if (IsWindowVisible(WndHandle))
                    SendMessageW(WndHandle, WM_NCPAINT, 0, 0);
                return;
            }
            break;
        case scmRebuildCache:
            RebuildWindowCache(SkinData, WndHandle, false);
            break;
        default: break;
        }
        break;
    case WM_SIZE: SkinData->BGChanged = true; break;
    case WM_SETCURSOR: CallPrevWndProc(Message); return;
    case SwallowedMessage: Message.Result = 0; return;
    default: break;
    }
    ScrollLayer(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!Scrolling)
            RefreshScrollBars(this, true);
        break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        if (IsWindowVisible(WndHandle))
            SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
        break;
    default: break;
    }
}

// ---- TzqEditWnd ----

void TzqEditWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                       TqCommonData* ASkinData)
{
    if (Handle == nullptr)
        return;
    TzqBaseWnd::Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
    // A drop-down list made without the frame refresh keeps its visual style.
    if (IsDropDownList() && !ScrollFlag && SetWindowThemeEntry != nullptr && Section != "DIALOG")
        SetWindowThemeEntry(Handle, nullptr, nullptr);
}

void TzqEditWnd::SaveOriginalColors()
{
    if (TControl* owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr) {
        SavedColor = owner->Color();
        SavedFontColor = owner->Font()->Color();
    }
}

void TzqEditWnd::RestoreOriginalColors()
{
    TControl* owner = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
    if (owner != nullptr && !owner->IsDestroying()) {
        owner->SetColor(SavedColor);
        owner->Font()->SetColor(SavedFontColor);
    }
}

void TzqEditWnd::ApplySkinColors()
{
    StyleChangeMuted = true;
    ColorsApplied = true;
    const TqGeneralData* section = SectionData(SkinData);
    if (TControl* owner = SkinData->OwnerControl) {
        if (section != nullptr && !SkinData->CustomColor()) {
            if (section->Transparency != 0) {
                ExchangeColor = clSkinTransparent;
                if (owner->Parent() != nullptr)
                    SendControlCommand(owner->Parent(), scmGetBgColor, 0);
                const TColor answer = ExchangeColor;
                ExchangeColor = clSkinTransparent;
                owner->SetColor(answer != clSkinTransparent
                                    ? answer
                                    : (owner->Parent() != nullptr ? owner->Parent()->Color() : owner->Color()));
            } else if (owner->Color() != section->Color) {
                owner->SetColor(section->Color);
            }
        }
        if (section != nullptr && !SkinData->CustomFont() && owner->Font()->Color() != section->HotFontColor)
            owner->Font()->SetColor(section->HotFontColor);
    } else {
        PlainColor = InDialog || section == nullptr ? clWindow : section->Color;
        PlainFrameColor = 0;
    }
    SkinData->BGChanged = true;
    StyleChangeMuted = false;
}

void TzqEditWnd::PaintFrameInto(HDC DC, int Width)
{
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache != nullptr && !cache->Empty())
        CopyBorderStrips(DC, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0, Width);
    PaintScrollBars(WndHandle, nullptr, DC, -1);
}

void TzqEditWnd::PaintNonClient(TMessage& Message)
{
    Message.Result = 0;
    try {
        ReadWindowGeometry(WndHandle, this);
        SkinData->Updating = SkinData->IsUpdating();
        if (SkinData->Updating)
            return;
        if (SkinData->BGChanged) {
            if (!ColorsApplied)
                ApplySkinColors();
            RebuildWindowCache(SkinData, WndHandle, InDialog);
            PaintWindowCorners(SkinData, 0, this);
        }
        if (!InDialog)
            PaintWindowCorners(SkinData, 0, this);
        HDC dc = GetWindowDC(WndHandle);
        const int saved = SaveDC(dc);
        TBitmap* cache = SkinData->CacheBmp.get();
        if (cache != nullptr && !cache->Empty())
            CopyBorderStrips(dc, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0, FrameLeft);
        PaintOverFrame(dc);
        PaintScrollBars(WndHandle, nullptr, dc, -1);
        RestoreDC(dc, saved);
        ReleaseDC(WndHandle, dc);
    } catch (...) {
        // A frame that cannot be painted now is painted at the next WM_NCPAINT.
    }
}

TPoint TzqEditWnd::ClientPart()
{
    TBitmap* cache = SkinData->CacheBmp.get();
    int w = (cache != nullptr ? cache->Width() : WindowSize.x) - 2 * FrameLeft;
    int h = (cache != nullptr ? cache->Height() : WindowSize.y) - 2 * FrameLeft;
    if (VertBar && VertBar->Shown)
        w -= ScrollBarPartSize(VertBar.get(), 1, false);
    if (HorzBar && HorzBar->Shown)
        h -= ScrollBarPartSize(HorzBar.get(), 1, false);
    return TPoint{w, h};
}

void TzqEditWnd::PreparePrint()
{
    ReadWindowGeometry(WndHandle, this);
    SkinData->Updating = false;
    SkinData->BGChanged = true;
    if (!ColorsApplied)
        ApplySkinColors();
}

void TzqEditWnd::Print(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PreparePrint();
    RebuildWindowCache(SkinData, WndHandle, InDialog);
    if (!InDialog)
        PaintWindowCorners(SkinData, 0, this);
    PaintFrameInto(dc, FrameLeft);
    const int saved = SaveDC(dc);
    POINT origin{};
    OffsetViewportOrgEx(dc, FrameLeft, FrameLeft, &origin);
    const TPoint client = ClientPart();
    IntersectClipRect(dc, 0, 0, client.x, client.y);
    SendMessageW(WndHandle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(WndHandle, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(WndHandle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_OWNED);
    RestoreDC(dc, saved);
    // The system's own WM_PRINT of edits and lists draws the client at the
    // window's origin, over the frame just drawn: it is not called.
    Message.Result = 0;
}

bool TzqEditWnd::HandleSkinCommand(TMessage& Message)
{
    switch (SkinSubCommand(Message.WParam)) {
    case scmSkinRemoved:
        if (OwnManager(*this, Message)) {
            Inherited(Message);
            SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
            return true;
        }
        return false;
    case scmRefresh:
        if (OwnManager(*this, Message))
            ApplySkinColors();
        return false;
    case scmFinishUpdate:
        if (SkinData->IsUpdating()) {
            SkinData->Updating = false;
            RedrawWindow(WndHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        return false;
    case scmRebuildCache:
        RebuildWindowCache(SkinData, WndHandle, InDialog);
        PaintWindowCorners(SkinData, 0, this);
        return true;
    case scmGetSkinIndex: Message.Result = SkinData->SkinIndex + 1; return true;
    default: return false;
    }
}

void TzqEditWnd::AfterInherited(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        if (IsWindowVisible(WndHandle))
            SendMessageW(WndHandle, WM_NCPAINT, 1, 0);
        break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETTOPINDEX: RefreshScrollBars(this, true); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN_:
    case CN_KEYUP_:
        if (!Scrolling)
            RefreshScrollBars(this, true);
        break;
    case WM_MOUSEMOVE: NoteHover(); break;
    default: break;
    }
}

void TzqEditWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        Inherited(Message);
        return;
    }
    switch (Message.Msg) {
    case SM_ZORVIKCMD:
        if (HandleSkinCommand(Message))
            return;
        break;
    case WM_NCPAINT:
        if (IsWindowVisible(WndHandle)) {
            PaintNonClient(Message);
            return;
        }
        break;
    case WM_PRINT:
        if (Message.WParam != 0) {
            Print(Message);
            return;
        }
        break;
    case WM_PAINT:
        if (IsWindowVisible(WndHandle)) {
            SkinData->Updating = SkinData->IsUpdating();
            if (SkinData->Updating) {
                // Validated (frame included), nothing drawn.
                PAINTSTRUCT ps{};
                BeginPaint(WndHandle, &ps);
                EndPaint(WndHandle, &ps);
                Message.Result = 0;
                return;
            }
            if (!ColorsApplied)
                ApplySkinColors();
        }
        break;
    case WM_ERASEBKGND:
        if (IsWindowVisible(WndHandle)) {
            if (SkinData->IsUpdating()) {
                Message.Result = 0;
                return;
            }
            if (!ColorsApplied)
                ApplySkinColors();
        }
        break;
    default: break;
    }
    Inherited(Message);
    AfterInherited(Message);
}

// ---- TzqComboListWnd ----

void TzqComboListWnd::Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                            TqCommonData* ASkinData)
{
    // The base makes the list's own skin state when none is given.
    TzqEditWnd::Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
    SimpleStyleList = false;
    ListShown = false;
}

void TzqComboListWnd::BuildListCache()
{
    if (SimpleStyleList) {
        SendSkinCommand(WndHandle, scmRebuildCache, 0);
        return;
    }
    ReadWindowGeometry(WndHandle, this);
    SkinData->UpdateIndexes();
    ApplySkinColors();
    SkinData->PrepareCacheBitmap();
    TBitmap* cache = SkinData->CacheBmp.get();
    cache->SetSize(WindowSize.x, WindowSize.y);
    FillDCRect(cache->Canvas()->Handle(), Rect(0, 0, WindowSize.x, WindowSize.y), PlainFrameColor);
    FillDCRect(cache->Canvas()->Handle(), Rect(1, 1, WindowSize.x - 1, WindowSize.y - 1), PlainColor);
    SkinData->BGChanged = false;
}

void TzqComboListWnd::PaintListNonClient(TMessage& Message)
{
    Message.Result = 0;
    if (Scrolling)
        return;
    BuildListCache();
    if (!InDialog)
        PaintWindowCorners(SkinData, 0, this);
    HDC dc = GetWindowDC(WndHandle);
    PaintFrameInto(dc, 2);
    ReleaseDC(WndHandle, dc);
    if (!SimpleStyleList)
        return;
    // A shortened simple combo shows its parent's background below the list.
    HWND combo = GetParent(WndHandle);
    HWND form = combo != nullptr ? GetParent(combo) : nullptr;
    if (form == nullptr)
        return;
    ExchangeCache.Ready = false;
    SendSkinCommand(form, scmGetCache, 0);
    const TCacheInfo parent = ExchangeCache;
    if (!parent.Ready || parent.Bmp == nullptr)
        return;
    RECT list{}, box{}, frame{};
    GetWindowRect(WndHandle, &list);
    GetWindowRect(combo, &box);
    GetWindowRect(form, &frame);
    if (box.bottom <= list.bottom)
        return;
    HDC formDC = GetWindowDC(form);
    const int x = box.left - frame.left;
    const int y = list.bottom - frame.top;
    BitBlt(formDC, x, y, box.right - box.left, box.bottom - list.bottom, parent.Bmp->Canvas()->Handle(),
           x + parent.X, y + parent.Y, SRCCOPY);
    ReleaseDC(form, formDC);
}

void TzqComboListWnd::PrintList(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    BuildListCache();
    CallPrevWndProc(Message);
    if (Message.Msg == WM_PRINT && SendMessageW(WndHandle, LB_GETCOUNT, 0, 0) > 0 && ScrollTracking.PressedPart == -1 &&
        !ListShown) {
        TBitmap* cache = SkinData->CacheBmp.get();
        CopyBorderStrips(dc, 0, 0, WindowSize.x, WindowSize.y, cache->Canvas()->Handle(), 0, 0, 3);
    }
    PaintScrollBars(WndHandle, nullptr, dc, -1);
}

WPARAM TzqComboListWnd::HitCodeAt(LPARAM ScreenPoint)
{
    TMessage hit{WM_NCHITTEST, 0, ScreenPoint, 0};
    NcHitTest(hit);
    return static_cast<WPARAM>(hit.Result);
}

void TzqComboListWnd::SubclassWndProc(TMessage& Message)
{
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        TzqEditWnd::SubclassWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
    case WM_HSCROLL:
    case WM_VSCROLL: CallPrevWndProc(Message); return;
    case WM_NCCALCSIZE: NcCalcSize(Message); return;
    case WM_NCPAINT: PaintListNonClient(Message); return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        Message.WParam = HitCodeAt(Message.LParam);
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            NcLButtonDown(Message);
        else
            CallPrevWndProc(Message);
        return;
    }
    case WM_LBUTTONUP: {
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        ClientToScreen(WndHandle, &p);
        Message.WParam = HitCodeAt(MAKELPARAM(p.x, p.y));
        LButtonUp(Message);
        if (SimpleStyleList)
            ReleaseCapture();
        return;
    }
    // The list's tracking loop must not see the bars' timers: a held arrow
    // scrolls once, and no timer of the list's own reaches it either.
    case WM_TIMER: Message.Result = 0; return;
    case 0x1AE: ListShown = true; break;
    case 0x1AF:
        ListShown = false;
        SkinData->BGChanged = true;
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        if (Message.WParam != 0 && IsWindowVisible(WndHandle)) {
            PrintList(Message);
            return;
        }
        break;
    default: break;
    }
    TzqEditWnd::SubclassWndProc(Message);
    if (Message.Msg == WM_WINDOWPOSCHANGED)
        RefreshScrollBars(this, true);
}
