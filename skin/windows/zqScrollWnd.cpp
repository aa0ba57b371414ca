#include "skin/windows/zqScrollWnd.h"

#include <algorithm>
#include <cstring>

#include "framework/Control.h"
#include "framework/ControlMessages.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qPixelOps.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

TzqScrollTracking ScrollTracking;

namespace {

constexpr DWORD BarBits = WS_HSCROLL | WS_VSCROLL;

TzqScrollWnd* ScrollObject(HWND Handle)
{
    return dynamic_cast<TzqScrollWnd*>(GetSubclassObject(Handle));
}

// Screen points of the non-client mouse messages: two signed 16-bit values.
TPoint PointOf(LPARAM LParam)
{
    return TPoint{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
}

bool Inside(const TRect& R, TPoint P)
{
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

TzqScrollBar* BarOfKind(TzqScrollWnd* W, int Kind)
{
    return Kind == 0 ? W->HorzBar.get() : W->VertBar.get();
}

// The rectangle of Bar's kind in screen coordinates.
TRect BarRect(TzqScrollWnd* W, int Kind)
{
    TRect r{};
    if (Kind == 0)
        TzqScrollWnd::GetHScrollRect(W, W->WndHandle, r);
    else
        TzqScrollWnd::GetVScrollRect(W, W->WndHandle, r);
    return r;
}

TRect ToWindow(HWND Wnd, TRect R)
{
    RECT w{};
    GetWindowRect(Wnd, &w);
    return TRect{R.left - w.left, R.top - w.top, R.right - w.left, R.bottom - w.top};
}

int PortionAt(TzqScrollBar* Bar, TRect R, TPoint P)
{
    return Bar->Kind == 0 ? HorzPortionAt(Bar, R, P) : VertPortionAt(Bar, R, P);
}

// Copies all of Src into Dst at (X, Y), clipped.
void CopyInto(TBitmap* Dst, int X, int Y, TBitmap* Src)
{
    const int bpp = Dst->BytesPerPixel();
    for (int y = 0; y < Src->Height(); ++y) {
        const int dy = Y + y;
        if (dy < 0 || dy >= Dst->Height())
            continue;
        const int x1 = std::max(0, -X);
        const int x2 = std::min(Src->Width(), Dst->Width() - X);
        if (x1 >= x2)
            continue;
        std::memcpy(Dst->ScanLine(dy) + (X + x1) * bpp, Src->ScanLine(y) + x1 * bpp,
                    static_cast<std::size_t>(x2 - x1) * bpp);
    }
}

void BlitToDC(HDC DC, int X, int Y, TBitmap* Bmp)
{
    BitBlt(DC, X, Y, Bmp->Width(), Bmp->Height(), Bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The window's cache through sub-command 5 (not ready when none).
TCacheInfo WindowCache(HWND Wnd)
{
    ExchangeCache = TCacheInfo{};
    SendSkinCommand(Wnd, scmGetCache, 0);
    TCacheInfo ci = ExchangeCache;
    if (!ci.Bmp || ci.Bmp->Width() < 2 || ci.Bmp->Height() < 2)
        ci.Ready = false;
    return ci;
}

void ResetPress()
{
    ScrollTracking.PressedPart = ScrollTracking.PressedDrawPart = ScrollTracking.PressedBar = -1;
    ScrollTracking.RepeatTimerId = 0;
    ScrollTracking.ScrollMsg = 0;
    ScrollTracking.LastMovePart = -1;
}

// Releases the tracking state that Wnd owns: timers, capture, press, drag
// and hover. Called when the window is destroyed, hidden or disabled.
void ReleaseTracking(HWND Wnd, TzqScrollWnd* W)
{
    if (ScrollTracking.TrackWindow != Wnd)
        return;
    KillTimer(Wnd, FirstDelayTimer);
    KillTimer(Wnd, RepeatTimer);
    KillTimer(Wnd, HoverTimer);
    if (ScrollTracking.PressedPart != -1 && GetCapture() == Wnd)
        ReleaseCapture();
    ResetPress();
    ScrollTracking.HoverTimerId = 0;
    ScrollTracking.HoverBar = ScrollTracking.HoverPart = ScrollTracking.LastHoverPart = -1;
    ScrollTracking.TrackWindow = nullptr;
    if (W)
        W->ThumbDragging = false;
}

}   // namespace

// ---- attach, detach, destruction ----

void TzqScrollWnd::AttachNow(HWND Handle, bool ScrollFlag)
{
    AttachScrollSubclass(this, Handle, ScrollFlag);
}

void AttachScrollSubclass(TzqMainWnd* Object, HWND Handle, bool FrameFlag)
{
    auto* w = dynamic_cast<TzqScrollWnd*>(Object);
    if (!w)
        return;
    w->Scrolling = false;
    w->WndHandle = Handle;
    w->HorzBar = std::make_unique<TzqScrollBar>();
    w->VertBar = std::make_unique<TzqScrollBar>();
    w->HorzBar->OwnerWnd = w->VertBar->OwnerWnd = w;
    GetScrollInfo(Handle, SB_HORZ, &w->HorzBar->Info);
    GetScrollInfo(Handle, SB_VERT, &w->VertBar->Info);
    w->BarsOnLeft = (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    SetPropW(Handle, SubclassPropName, Object);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle, GWL_STYLE));
    w->HorzBar->StateFlags = (style & WS_HSCROLL) ? 8 : 0;
    w->VertBar->StateFlags = (style & WS_VSCROLL) ? 8 : 0;
    w->HorzBar->Kind = 0;
    w->VertBar->Kind = 1;
    w->HorzBar->ButtonLength = w->VertBar->ButtonLength = -1;
    w->HorzBar->BarThickness = w->VertBar->BarThickness = -1;
    w->StyleChangeMuted = false;
    AttachSubclass(Object, Handle);
    w->HorzBar->MinThumb = w->VertBar->MinThumb = DefaultMinThumbSize;
    if (FrameFlag)
        RedrawNonClient(Handle, true);
}

void TzqScrollWnd::GiveBackBarStyle()
{
    if (KeptBarStyle == 0 || FGivingBack)
        return;
    const DWORD kept = KeptBarStyle;
    KeptBarStyle = 0;
    if (!IsWindow(WndHandle) || !WindowIsOurs())
        return;
    // The frame change below comes back here as WM_NCCALCSIZE, which must
    // not take the bits out again.
    FGivingBack = true;
    StyleChangeMuted = true;
    SetWindowLongPtrW(WndHandle, GWL_STYLE, GetWindowLongPtrW(WndHandle, GWL_STYLE) | kept);
    StyleChangeMuted = false;
    SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FGivingBack = false;
}

void DetachSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object)
{
    if (!Object)
        return;
    auto* w = dynamic_cast<TzqScrollWnd*>(Object);
    if (w) {
        ReleaseTracking(Handle, w);
        w->GiveBackBarStyle();
    }
    // Windows without an owner control are detached too (at WM_NCDESTROY
    // at the latest), so that nothing touches a later window that reuses
    // the handle.
    if (!Object->Detached) {
        const bool ours = Object->WindowIsOurs();
        Object->GiveBackProcedure();
        Object->RestoreOriginalColors();
        if (w) {
            if (w->HorzBar)
                w->HorzBar->OwnerWnd = nullptr;
            if (w->VertBar)
                w->VertBar->OwnerWnd = nullptr;
            w->HorzBar.reset();
            w->VertBar.reset();
        }
        if (ours && IsWindowVisible(Handle))
            RedrawNonClient(Handle, FrameFlag);
        Object->Detached = true;
    }
    if (FreeFlag) {
        TzqMainWnd::FreeSubclass(Object);
        Object = nullptr;
    }
}

void TzqScrollWnd::BeforeDestruction()
{
    ReleaseTracking(WndHandle, this);
    if (!Detached)
        GiveBackBarStyle();
    TzqMainWnd::BeforeDestruction();
}

TzqScrollWnd::~TzqScrollWnd()
{
    if (ScrollTracking.TrackWindow == WndHandle && WndHandle)
        ReleaseTracking(WndHandle, this);
}

bool TzqScrollWnd::BarsSkinned() const
{
    TqSkinManager* manager = LiveManager();
    return SkinData && manager && manager->Active() && SkinData->IsSkinned(false);
}

// ---- sizes and geometry ----

int ScrollBarPartSize(TzqScrollBar* Bar, int Which, bool SkinSizes)
{
    if (!Bar || Bar->Kind > 1)
        return 0;
    if (Which == 0) {
        if (Bar->ButtonLength >= 0)
            return Bar->ButtonLength;
        int base = ScrollArrowSize;
        TqSkinManager* manager = Bar->OwnerWnd ? Bar->OwnerWnd->Manager : nullptr;
        if (SkinSizes && manager) {
            const TqSkinModel& skin = manager->Skin();
            const int left = skin.Common.ScrollBtn[2];
            if (skin.IsValidSkinIndex(left) && skin.Sections[left].ReservedBoolean) {
                if (Bar->Kind == 0) {
                    const int m = skin.Common.ScrollBtnBorder[2];
                    if (skin.IsValidMaskIndex(m))
                        base = std::max<int>(base, (skin.Masks[m].R.right - skin.Masks[m].R.left) /
                                                  std::max<int>(skin.Masks[m].ImageCount, 1));
                } else {
                    const int m = skin.Common.ScrollBtnBorder[0];
                    if (skin.IsValidMaskIndex(m))
                        base = std::max<int>(base, (skin.Masks[m].R.bottom - skin.Masks[m].R.top) /
                                                  (std::max<int>(skin.Masks[m].MaskType, 0) + 1));
                }
            }
        }
        return base * -Bar->ButtonLength;
    }
    if (Bar->BarThickness >= 0)
        return Bar->BarThickness;
    return -Bar->BarThickness * GetSystemMetrics(Bar->Kind == 0 ? SM_CYHSCROLL : SM_CXVSCROLL);
}

void TzqScrollWnd::GetHScrollRect(TzqScrollWnd* Object, HWND Handle, TRect& R)
{
    RECT w{};
    GetWindowRect(Handle, &w);
    R = w;
    const int tv = ScrollBarPartSize(Object->VertBar.get(), 1, false) * (Object->VertBar->Shown ? 1 : 0);
    const int th = ScrollBarPartSize(Object->HorzBar.get(), 1, false) * (Object->HorzBar->Shown ? 1 : 0);
    R.left += Object->FrameLeft + (Object->BarsOnLeft ? tv : 0);
    R.right -= Object->FrameRight + (Object->BarsOnLeft ? 0 : tv);
    R.bottom -= Object->FrameBottom;
    R.top = R.bottom - th;
}

void TzqScrollWnd::GetVScrollRect(TzqScrollWnd* Object, HWND Handle, TRect& R)
{
    RECT w{};
    GetWindowRect(Handle, &w);
    R = w;
    const int tv = ScrollBarPartSize(Object->VertBar.get(), 1, false) * (Object->VertBar->Shown ? 1 : 0);
    const int th = ScrollBarPartSize(Object->HorzBar.get(), 1, false) * (Object->HorzBar->Shown ? 1 : 0);
    R.top += Object->FrameTop;
    R.bottom -= th + Object->FrameBottom;
    if (Object->BarsOnLeft) {
        R.left += Object->FrameLeft;
        R.right = R.left + tv;
    } else {
        R.right -= Object->FrameRight;
        R.left = R.right - tv;
    }
}

bool HasSizeGripCorner(TzqScrollWnd* Object, TRect Box)
{
    const HWND parent = GetParent(Object->WndHandle);
    if (!parent)
        return true;
    if (GetParent(parent))
        return false;
    RECT c{};
    GetClientRect(parent, &c);
    POINT tl{c.left, c.top}, br{c.right, c.bottom};
    ClientToScreen(parent, &tl);
    ClientToScreen(parent, &br);
    if (Object->BarsOnLeft)
        return Box.left - Object->FrameLeft == tl.x && Box.bottom + Object->FrameBottom == br.y;
    return Box.right + Object->FrameRight == br.x && Box.bottom + Object->FrameBottom == br.y;
}

namespace {

// The system's report of Bar. It tells a bar's state only for a bar in the
// style: a kept bit goes back in for the question (no frame change, nothing
// drawn).
bool QueryBarInfo(TzqScrollBar* Bar, SCROLLBARINFO& Info)
{
    TzqScrollWnd* w = Bar->OwnerWnd;
    const DWORD bit = Bar->Kind == 0 ? WS_HSCROLL : WS_VSCROLL;
    const bool lend = (w->KeptBarStyle & bit) != 0;
    const LONG_PTR style = GetWindowLongPtrW(w->WndHandle, GWL_STYLE);
    if (lend) {
        w->StyleChangeMuted = true;
        SetWindowLongPtrW(w->WndHandle, GWL_STYLE, style | bit);
    }
    Info = SCROLLBARINFO{};
    Info.cbSize = sizeof(Info);
    const bool ok = GetScrollBarInfo(w->WndHandle, Bar->Kind == 0 ? OBJID_HSCROLL : OBJID_VSCROLL, &Info) != 0;
    if (lend) {
        SetWindowLongPtrW(w->WndHandle, GWL_STYLE, style);
        w->StyleChangeMuted = false;
    }
    return ok;
}

}   // namespace

bool IsScrollBarActive(TzqScrollBar* Bar)
{
    if (!Bar || !Bar->OwnerWnd)
        return false;
    SCROLLBARINFO info;
    return QueryBarInfo(Bar, info) && (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

void CalcThumbSize(TzqScrollBar* Bar, TRect R, int& Length, int& Start)
{
    const int a = ScrollBarPartSize(Bar, 0, false);
    const int l = Bar->Kind == 0 ? R.right - R.left : R.bottom - R.top;
    const int start = Bar->Kind == 0 ? R.left : R.top;
    const SCROLLINFO& i = Bar->Info;
    const int range = i.nMax - i.nMin + 1;
    const int work = l - 2 * a;
    if (i.nPage == 0)
        Length = a;
    else if (range > 0)
        Length = std::max(MulDiv(static_cast<int>(i.nPage), work, range), Bar->MinThumb);
    else
        Length = 0;
    int pos = 0;
    if (range > 0) {
        const int div = range - std::max<int>(static_cast<int>(i.nPage), 1);
        pos = div != 0 ? MulDiv(i.nPos - i.nMin, work - Length, div) : 0;
        if (pos < 0)
            pos = 0;
        if (pos >= work - Length)
            pos = work - Length;
    }
    Start = pos + start + a;
}

namespace {

// Along the bar: Lo/Hi are the bar's extent, C the point's coordinate,
// Cross the point inside the bar's thickness.
int PortionAlong(TzqScrollBar* Bar, TRect R, int Lo, int Hi, int C, bool Cross)
{
    if (!Cross)
        return -1;
    int a = ScrollBarPartSize(Bar, 0, false);
    const int l = Hi - Lo;
    int length = 0, start = 0;
    CalcThumbSize(Bar, R, length, start);
    if (l <= 2 * a)
        a = l / 2;
    const int work = l - 2 * a;
    if (C >= Lo && C < Lo + a)
        return 0;
    if (C >= Hi - a && C < Hi)
        return 1;
    if (length >= work)
        return -1;
    if (C >= start && C < start + length)
        return 5;
    if (C >= Lo + a && C < start)
        return 2;
    if (C >= start + length && C < Hi - a)
        return 3;
    return -1;
}

}   // namespace

int HorzPortionAt(TzqScrollBar* Bar, TRect R, TPoint P)
{
    return PortionAlong(Bar, R, R.left, R.right, P.x, P.y >= R.top && P.y < R.bottom);
}

int VertPortionAt(TzqScrollBar* Bar, TRect R, TPoint P)
{
    return PortionAlong(Bar, R, R.top, R.bottom, P.y, P.x >= R.left && P.x < R.right);
}

TzqScrollBar* GetScrollBarObject(HWND Handle, int Bar)
{
    TzqScrollWnd* w = ScrollObject(Handle);
    if (!w || (Bar != 0 && Bar != 1))
        return nullptr;
    return BarOfKind(w, Bar);
}

void SetMinThumbSize(HWND Handle, int Bar, int Size)
{
    TzqScrollWnd* w = ScrollObject(Handle);
    if (!w || !w->HorzBar || !w->VertBar)
        return;
    if (Bar == 0 || Bar == 3)
        w->HorzBar->MinThumb = Size;
    if (Bar == 1 || Bar == 3)
        w->VertBar->MinThumb = Size;
}

// ---- painting ----

namespace {

// One arrow or thumb: its section over the bar image, then its glyph
// centred in Square (relative to the part).
void PaintPart(TqSkinManager* M, TBitmap* BarBmp, TRect Part, int Section, int Border, int Pattern, int HotPattern,
               int Glyph, int State, TRect Square)
{
    const int w = Part.right - Part.left, h = Part.bottom - Part.top;
    if (w < 1 || h < 1)
        return;
    auto part = NewBitmap24(w, h);
    const TqSkinModel& skin = M->Skin();
    const String name = skin.IsValidSkinIndex(Section) ? skin.Sections[Section].ClassName : String();
    PaintSectionByIndexes(Section, Border, Pattern, HotPattern, M, part.get(), TPoint{Part.left, Part.top},
                          Rect(0, 0, w, h), State, true, MakeCacheInfo(BarBmp, 0, 0), name);
    if (skin.IsValidMaskIndex(Glyph)) {
        int gw = 0, gh = 0;
        skin.GetMaskFrameSize(Glyph, gw, gh);
        const TPoint p{Square.left + (Square.right - Square.left - gw) / 2,
                       Square.top + (Square.bottom - Square.top - gh) / 2};
        DrawMaskGlyph(part.get(), p, State, skin.Masks[Glyph], 1);
    }
    CopyInto(BarBmp, Part.left, Part.top, part.get());
}

// A track part (k: 0 SCROLLBAR1H, 1 1V, 2 2H, 3 2V) at R of the bar image,
// over the window's cache at BarPos + R.
void PaintTrack(TqSkinManager* M, TBitmap* BarBmp, TRect R, int K, int State, const TCacheInfo& CI, TPoint BarPos)
{
    if (R.right - R.left < 1 || R.bottom - R.top < 1)
        return;
    const TqCommonIndexes& c = M->Skin().Common;
    const String name = M->Skin().IsValidSkinIndex(c.ScrollBar[K]) ? M->Skin().Sections[c.ScrollBar[K]].ClassName
                                                                    : String();
    PaintSectionByIndexes(c.ScrollBar[K], c.ScrollBarBorder[K], c.ScrollBarPattern[K], c.ScrollBarHotPattern[K], M,
                          BarBmp, TPoint{BarPos.x + R.left, BarPos.y + R.top}, R, State, true, CI, name);
}

}   // namespace

int TzqScrollWnd::DrawBar(TzqScrollBar* Bar, HDC DC, TRect R, int ThumbOverride, int PressedPart)
{
    TqSkinManager* manager = LiveManager();
    const bool horz = Bar->Kind == 0;
    const TqCommonIndexes& c = manager ? manager->Skin().Common : TqCommonIndexes{};
    const int trackIndex = horz ? c.ScrollBar[0] : c.ScrollBar[1];
    if (ThumbDragging || !Bar->Shown || !manager || !manager->IsValidSkinIndex(trackIndex) ||
        (horz ? R.right - R.left : R.bottom - R.top) < 2 || (!horz && Scrolling))
        return 0;
    GetScrollInfo(WndHandle, horz ? SB_HORZ : SB_VERT, &Bar->Info);
    const int a = ScrollBarPartSize(Bar, 0, true);
    const int l = horz ? R.right - R.left : R.bottom - R.top;
    if (l <= 0)
        return 0;
    bool enabled = IsScrollBarActive(Bar);
    if (SkinData && SkinData->OwnerControl && !SkinData->OwnerControl->Enabled())
        enabled = false;
    int first = 0, second = 0, thumbState = 0;
    if (ScrollTracking.TrackWindow == WndHandle) {
        const bool hoverHere = ScrollTracking.HoverBar == Bar->Kind;
        first = PressedPart == 0 ? 2 : (hoverHere && ScrollTracking.HoverPart == 0 && enabled ? 1 : 0);
        second = PressedPart == 1 ? 2 : (hoverHere && ScrollTracking.HoverPart == 1 && enabled ? 1 : 0);
        thumbState = hoverHere && ScrollTracking.HoverPart == 5 && enabled ? 1 : 0;
    } else {
        PressedPart = -1;
    }
    // Thumb geometry along the bar, relative to the bar's start.
    int length = 0, start = 0;
    CalcThumbSize(Bar, R, length, start);
    if (ThumbOverride != -1)
        start = ThumbOverride;
    start -= horz ? R.left : R.top;

    const int w = R.right - R.left, h = R.bottom - R.top;
    auto bmp = NewBitmap24(w, h);
    const TCacheInfo ci = WindowCache(WndHandle);
    const TPoint barPos{R.left + CacheOffset.x, R.top + CacheOffset.y};
    // Along-the-bar rectangles.
    const auto span = [&](int From, int To) { return horz ? Rect(From, 0, To, h) : Rect(0, From, w, To); };
    const int k1 = horz ? 0 : 1, k2 = horz ? 2 : 3;
    const int b1 = horz ? 2 : 0, b2 = horz ? 3 : 1;   // arrows: LEFT/RIGHT or TOP/BOTTOM
    const int sl = horz ? 1 : 0;                       // slider: H or V
    const auto arrowSquare = [&](bool Second, int From, int To) {
        const int size = std::min(ScrollArrowSize, To - From);
        TRect sq = horz ? Rect(0, 0, size, h) : Rect(0, 0, w, size);
        if (Second) {
            if (horz)
                sq = Rect(To - From - size, 0, To - From, h);
            else
                sq = Rect(0, To - From - size, w, To - From);
        }
        return sq;
    };
    const auto arrow = [&](int B, int From, int To, int State, bool Second) {
        PaintPart(manager, bmp.get(), span(From, To), c.ScrollBtn[B], c.ScrollBtnBorder[B], c.ScrollBtnPattern[B],
                  c.ScrollBtnHotPattern[B], c.ScrollBtnGlyph[B], State, arrowSquare(Second, From, To));
    };
    if (2 * a < l) {
        const int split = std::clamp(start + length / 2, 0, l);
        PaintTrack(manager, bmp.get(), span(0, split), k1, PressedPart == 2 ? 2 : 0, ci, barPos);
        PaintTrack(manager, bmp.get(), span(split, l), k2, PressedPart == 3 ? 2 : 0, ci, barPos);
        arrow(b1, 0, a, first, false);
        arrow(b2, l - a, l, second, true);
        const int work = l - 2 * a;
        const int range = Bar->Info.nMax - Bar->Info.nMin;
        const int need = std::max(range != 0 ? MulDiv(static_cast<int>(Bar->Info.nPage), work, range) : 0,
                                  Bar->MinThumb);
        if (enabled && length > 0 && work >= need) {
            const TRect t = span(start, start + length);
            PaintPart(manager, bmp.get(), t, c.Slider[sl], c.SliderBorder[sl], c.SliderPattern[sl],
                      c.SliderHotPattern[sl], c.SliderGlyph[sl], thumbState,
                      Rect(0, 0, t.right - t.left, t.bottom - t.top));
        }
    } else {
        const int half = l / 2;
        PaintTrack(manager, bmp.get(), span(0, half), k1, 0, ci, barPos);
        PaintTrack(manager, bmp.get(), span(half, l), k2, 0, ci, barPos);
        arrow(b1, 0, half, first, false);
        arrow(b2, half, l, second, true);
    }
    if (!enabled) {
        if (ci.Ready)
            BlendRectTransparent(bmp.get(), 0, 0, static_cast<TColor>(0xFFFFFFFF), 0.4,
                                 Rect(barPos.x + ci.X, barPos.y + ci.Y, barPos.x + ci.X + w - 1,
                                      barPos.y + ci.Y + h - 1),
                                 ci.Bmp);
        else if (manager->IsValidSkinIndex(c.ScrollBar[0]))
            FadeRectToColor(bmp.get(), Rect(0, 0, w, h), 60, 0, 0,
                            static_cast<TColor>(ColorToRGB(manager->Skin().Sections[c.ScrollBar[0]].Color)));
    }
    BlitToDC(DC, R.left, R.top, bmp.get());
    return 1;
}

void TzqScrollWnd::PaintScrollBars(HWND Handle, HRGN, HDC DC, int ThumbOverride)
{
    if (!HorzBar || !VertBar)
        return;
    if (SkinData) {
        SkinData->Updating = SkinData->IsUpdating();
        if (SkinData->Updating)
            return;
        if (TControl* owner = SkinData->OwnerControl)
            if ((owner->ControlState() & csCreating) || !owner->Showing())
                return;
        if (SkinData->BGChanged)
            SendSkinCommand(Handle, scmRebuildCache, 0);
    }
    const bool own = DC == nullptr;
    if (own)
        DC = GetWindowDC(Handle);
    if (!DC)
        return;
    const TRect h = ToWindow(Handle, BarRect(this, 0));
    const TRect v = ToWindow(Handle, BarRect(this, 1));
    const auto pressed = [&](int Kind) {
        return ScrollTracking.PressedBar == Kind ? ScrollTracking.PressedDrawPart : -1;
    };
    if (HorzBar->Shown)
        DrawBar(HorzBar.get(), DC, h, ThumbOverride, pressed(0));
    if (VertBar->Shown)
        DrawBar(VertBar.get(), DC, v, ThumbOverride, pressed(1));
    TqSkinManager* manager = LiveManager();
    if (HorzBar->Shown && VertBar->Shown && manager) {
        const int bw = ScrollBarPartSize(VertBar.get(), 1, false);
        const int bh = ScrollBarPartSize(HorzBar.get(), 1, false);
        const TRect box = BarsOnLeft ? Rect(v.left, h.top, v.left + bw, h.top + bh)
                                     : Rect(h.right, h.top, h.right + bw, h.top + bh);
        if (bw > 0 && bh > 0) {
            auto bmp = NewBitmap24(bw, bh);
            const TCacheInfo ci = WindowCache(Handle);
            if (ci.Ready) {
                BitBlt(bmp->Canvas()->Handle(), 0, 0, bw, bh, ci.Bmp->Canvas()->Handle(),
                       box.left + CacheOffset.x + ci.X, box.top + CacheOffset.y + ci.Y, SRCCOPY);
            } else {
                TintRect(bmp.get(), Rect(0, 0, bw - 1, bh - 1), 0,
                         static_cast<TColor>(ColorToRGB(manager->GetGlobalHotColor())));
            }
            RECT w{};
            GetWindowRect(Handle, &w);
            const TRect screenBox{box.left + w.left, box.top + w.top, box.right + w.left, box.bottom + w.top};
            const TqSkinModel& skin = manager->Skin();
            const int grip = manager->FindMaskIndex(skin.Common.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
            if (HasSizeGripCorner(this, screenBox) && skin.IsValidMaskIndex(grip)) {
                int gw = 0, gh = 0;
                skin.GetMaskFrameSize(grip, gw, gh);
                DrawMaskGlyph(bmp.get(), TPoint{bw - gw, bh - gh}, 0, skin.Masks[grip], 1);
            }
            BlitToDC(DC, box.left, box.top, bmp.get());
        }
    }
    if (own)
        ReleaseDC(Handle, DC);
}

void TzqScrollWnd::RefreshScrollBars(TzqScrollWnd* Object, bool Repaint)
{
    if (!Object || !Object->HorzBar || !Object->VertBar)
        return;
    GetScrollInfo(Object->WndHandle, SB_HORZ, &Object->HorzBar->Info);
    GetScrollInfo(Object->WndHandle, SB_VERT, &Object->VertBar->Info);
    Object->FollowNativeHiding();
    if (Repaint)
        Object->PaintScrollBars(Object->WndHandle, nullptr, nullptr, -1);
}

void TzqScrollWnd::FollowNativeHiding()
{
    // The system hides a bar in the style when its range leaves nothing to
    // scroll, unless the caller asked for it disabled instead; it cannot
    // see a kept bit, so the subclass does the same for it.
    bool changed = false;
    for (TzqScrollBar* bar : {HorzBar.get(), VertBar.get()}) {
        const DWORD bit = bar->Kind == 0 ? WS_HSCROLL : WS_VSCROLL;
        if (!(KeptBarStyle & bit))
            continue;
        const SCROLLINFO& i = bar->Info;
        if (i.nMin < i.nMax - std::max<int>(static_cast<int>(i.nPage) - 1, 0))
            continue;
        // Asked to be disabled instead (both arrows disabled): it stays.
        SCROLLBARINFO info;
        if (!QueryBarInfo(bar, info) ||
            ((info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) && (info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE)))
            continue;
        KeptBarStyle &= ~bit;
        changed = true;
    }
    if (changed)
        SetWindowPos(WndHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TzqScrollWnd::RedrawBar(int Kind, int PressedPart)
{
    TzqScrollBar* bar = BarOfKind(this, Kind);
    if (!bar || !bar->Shown)
        return;
    HDC dc = GetWindowDC(WndHandle);
    if (!dc)
        return;
    DrawBar(bar, dc, ToWindow(WndHandle, BarRect(this, Kind)), -1, PressedPart);
    ReleaseDC(WndHandle, dc);
}

// ---- non-client size and hit testing ----

void TzqScrollWnd::MuteBarStyle(DWORD Style)
{
    if (!(Style & BarBits))
        return;
    KeptBarStyle |= Style & BarBits;
    StyleChangeMuted = true;
    SetWindowLongPtrW(WndHandle, GWL_STYLE, Style & ~BarBits);
    StyleChangeMuted = false;
}

void TzqScrollWnd::NcCalcSize(TMessage& Message)
{
    RECT* rects = reinterpret_cast<RECT*>(Message.LParam);
    const RECT old = rects[0];
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(WndHandle, GWL_STYLE));
    // The system computes the client area as if there were no bars; the
    // bits stay out of the style while skinned (see the header).
    if (FGivingBack) {
        // The system's bars again: it reserves their room itself.
        CallPrevWndProc(Message);
        HorzBar->Shown = VertBar->Shown = false;
        return;
    }
    MuteBarStyle(style);
    const DWORD bars = (style & BarBits) | KeptBarStyle;
    CallPrevWndProc(Message);
    RECT& r = rects[0];
    FrameLeft = r.left - old.left;
    FrameRight = old.right - r.right;
    FrameTop = r.top - old.top;
    FrameBottom = old.bottom - r.bottom;
    HorzBar->StateFlags = (bars & WS_HSCROLL) ? 8 : 0;
    const int th = ScrollBarPartSize(HorzBar.get(), 1, false);
    if (HorzBar->StateFlags == 8 && r.bottom - r.top >= th) {
        r.bottom -= th;
        HorzBar->Shown = true;
    } else {
        HorzBar->Shown = false;
    }
    VertBar->StateFlags = (bars & WS_VSCROLL) ? 8 : 0;
    const int tv = ScrollBarPartSize(VertBar.get(), 1, false);
    if (VertBar->StateFlags == 8 && r.right - r.left >= tv) {
        if (BarsOnLeft)
            r.left += tv;
        else
            r.right -= tv;
        VertBar->Shown = true;
    } else {
        VertBar->Shown = false;
    }
}

void TzqScrollWnd::NcHitTest(TMessage& Message)
{
    const TPoint p = PointOf(Message.LParam);
    const TRect h = BarRect(this, 0);
    const TRect v = BarRect(this, 1);
    if (HorzBar->Shown && Inside(h, p)) {
        Message.Result = IsScrollBarActive(HorzBar.get()) ? HTHSCROLL : HTNOWHERE;
        return;
    }
    if (VertBar->Shown && Inside(v, p)) {
        Message.Result = IsScrollBarActive(VertBar.get()) ? HTVSCROLL : HTNOWHERE;
        return;
    }
    if (HorzBar->Shown && VertBar->Shown) {
        const TRect box{h.right, h.top, v.right, h.bottom};
        if (Inside(box, p) && HasSizeGripCorner(this, box)) {
            Message.Result = HTBOTTOMRIGHT;
            return;
        }
    }
    CallPrevWndProc(Message);
}

// ---- hover, press, move, release, timers ----

void TzqScrollWnd::NcMouseMove(TMessage& Message)
{
    if (ScrollTracking.TrackWindow && ScrollTracking.TrackWindow != WndHandle)
        ReleaseTracking(ScrollTracking.TrackWindow, ScrollObject(ScrollTracking.TrackWindow));
    ScrollTracking.TrackWindow = WndHandle;
    const int kind = Message.WParam == HTHSCROLL ? 0 : Message.WParam == HTVSCROLL ? 1 : -1;
    if (kind != -1 && ScrollTracking.HoverBar != kind) {
        ScrollTracking.LastHoverPart = ScrollTracking.HoverPart = -1;
        ScrollTracking.HoverBarRect = BarRect(this, kind);
        ScrollTracking.HoverBar = kind;
        ScrollTracking.HoverTimerId = SetTimer(WndHandle, HoverTimer, 20, nullptr);
        PaintScrollBars(WndHandle, nullptr, nullptr, -1);
    }
    CallPrevWndProc(Message);
}

void TzqScrollWnd::NcLButtonDown(TMessage& Message)
{
    if (ScrollTracking.TrackWindow && ScrollTracking.TrackWindow != WndHandle)
        ReleaseTracking(ScrollTracking.TrackWindow, ScrollObject(ScrollTracking.TrackWindow));
    ScrollTracking.TrackWindow = WndHandle;
    const int kind = Message.WParam == HTHSCROLL ? 0 : 1;
    TzqScrollBar* bar = BarOfKind(this, kind);
    ScrollTracking.ScrollMsg = kind == 0 ? WM_HSCROLL : WM_VSCROLL;
    ScrollTracking.PressedBar = kind;
    const TPoint p = PointOf(Message.LParam);
    const TRect r = BarRect(this, kind);
    GetScrollInfo(WndHandle, kind == 0 ? SB_HORZ : SB_VERT, &bar->Info);
    ScrollTracking.PressedPart = PortionAt(bar, r, p);
    ScrollTracking.LastMovePart = ScrollTracking.PressedPart;
    const int part = ScrollTracking.PressedPart;
    Message.Result = 0;
    if (part >= 0 && part <= 3) {
        if (!IsScrollBarActive(bar)) {
            ResetPress();
            return;
        }
        ScrollTracking.PressedDrawPart = part;
        RedrawBar(kind, part);
        SendScrollMessage(WndHandle, ScrollTracking.ScrollMsg, part, 0);
        ScrollTracking.PressedDrawPart = ScrollTracking.PressedPart;
        ScrollTracking.RepeatTimerId = SetTimer(WndHandle, FirstDelayTimer, 300, nullptr);
    } else if (part == 5) {
        if (!IsScrollBarActive(bar)) {
            ResetPress();
            return;
        }
        CalcThumbSize(bar, r, ScrollTracking.ThumbSize, ScrollTracking.ThumbPos);
        ScrollTracking.ThumbBounds = r;
        ThumbDragging = true;
        bar->Info.nTrackPos = bar->Info.nPos;
        ScrollTracking.ThumbMouseOffset = (kind == 0 ? p.x : p.y) - ScrollTracking.ThumbPos;
        ScrollTracking.LastTrackPos = bar->Info.nPos;
    } else {
        ResetPress();
        CallPrevWndProc(Message);
        return;
    }
    if (ScrollTracking.PressedPart != -1)
        SetCapture(WndHandle);
}

void TzqScrollWnd::MouseMove(TMessage& Message)
{
    const DWORD pos = GetMessagePos();
    const TPoint cursor = PointOf(static_cast<LPARAM>(pos));
    if (ThumbDragging) {
        ThumbTrack(ScrollTracking.PressedBar == 0 ? cursor.x : cursor.y);
        Message.Result = 0;
        return;
    }
    if (ScrollTracking.PressedPart == -1 || ScrollTracking.TrackWindow != WndHandle) {
        CallPrevWndProc(Message);
        return;
    }
    TzqScrollBar* bar = BarOfKind(this, ScrollTracking.PressedBar);
    const int under = bar ? PortionAt(bar, BarRect(this, ScrollTracking.PressedBar), cursor) : -1;
    if (under != ScrollTracking.PressedPart)
        ScrollTracking.PressedDrawPart = -1;
    else
        ScrollTracking.PressedDrawPart = ScrollTracking.PressedPart;
    if (under != ScrollTracking.LastMovePart)
        RedrawBar(ScrollTracking.PressedBar, ScrollTracking.PressedDrawPart);
    ScrollTracking.LastMovePart = under;
    Message.Result = 0;
}

void TzqScrollWnd::ThumbTrack(int Coordinate)
{
    const int kind = ScrollTracking.PressedBar;
    TzqScrollBar* bar = BarOfKind(this, kind);
    if (!bar)
        return;
    const bool horz = kind == 0;
    const TRect b = ScrollTracking.ThumbBounds;
    const int a = ScrollBarPartSize(bar, 0, false);
    const int travelStart = (horz ? b.left : b.top) + a;
    const int travelEnd = (horz ? b.right : b.bottom) - a;
    const int size = ScrollTracking.ThumbSize;
    int start = Coordinate - ScrollTracking.ThumbMouseOffset;
    start = std::max(travelStart, std::min(start, travelEnd - size));

    // The whole bar with the thumb pressed at its new place.
    TqSkinManager* manager = LiveManager();
    if (manager && bar->Shown) {
        const TRect r = ToWindow(WndHandle, b);
        const int w = r.right - r.left, h = r.bottom - r.top, l = horz ? w : h;
        const int aa = ScrollBarPartSize(bar, 0, true);
        if (w > 0 && h > 0) {
            auto bmp = NewBitmap24(w, h);
            const TCacheInfo ci = WindowCache(WndHandle);
            const TPoint barPos{r.left + CacheOffset.x, r.top + CacheOffset.y};
            const TqCommonIndexes& c = manager->Skin().Common;
            const auto span = [&](int From, int To) { return horz ? Rect(From, 0, To, h) : Rect(0, From, w, To); };
            const int rel = start - (horz ? b.left : b.top);
            const int split = std::clamp(rel + size / 2, 0, l);
            PaintTrack(manager, bmp.get(), span(0, split), horz ? 0 : 1, 0, ci, barPos);
            PaintTrack(manager, bmp.get(), span(split, l), horz ? 2 : 3, 0, ci, barPos);
            const int b1 = horz ? 2 : 0, b2 = horz ? 3 : 1, sl = horz ? 1 : 0;
            const int sq = std::min(ScrollArrowSize, aa);
            PaintPart(manager, bmp.get(), span(0, aa), c.ScrollBtn[b1], c.ScrollBtnBorder[b1], c.ScrollBtnPattern[b1],
                      c.ScrollBtnHotPattern[b1], c.ScrollBtnGlyph[b1], 0, horz ? Rect(0, 0, sq, h) : Rect(0, 0, w, sq));
            PaintPart(manager, bmp.get(), span(l - aa, l), c.ScrollBtn[b2], c.ScrollBtnBorder[b2],
                      c.ScrollBtnPattern[b2], c.ScrollBtnHotPattern[b2], c.ScrollBtnGlyph[b2], 0,
                      horz ? Rect(aa - sq, 0, aa, h) : Rect(0, aa - sq, w, aa));
            const TRect t = span(rel, rel + size);
            PaintPart(manager, bmp.get(), t, c.Slider[sl], c.SliderBorder[sl], c.SliderPattern[sl],
                      c.SliderHotPattern[sl], c.SliderGlyph[sl], 2, Rect(0, 0, t.right - t.left, t.bottom - t.top));
            HDC dc = GetWindowDC(WndHandle);
            if (dc) {
                BlitToDC(dc, r.left, r.top, bmp.get());
                ReleaseDC(WndHandle, dc);
            }
        }
    }

    const SCROLLINFO& i = bar->Info;
    int position;
    if (i.nMax - i.nMin < 1)
        position = start - travelStart;
    else
        position = MulDiv(start - travelStart, i.nMax - i.nMin - static_cast<int>(i.nPage) + 1,
                          travelEnd - travelStart - size);
    // Positions are in the bar's own range, which need not start at 0.
    position += i.nMin;
    if (position != ScrollTracking.LastTrackPos) {
        bar->Info.nTrackPos = position;
        Scrolling = true;
        SendScrollMessage(WndHandle, ScrollTracking.ScrollMsg, SB_THUMBTRACK, position);
        Scrolling = false;
    }
    ScrollTracking.LastTrackPos = position;
}

void TzqScrollWnd::LButtonUp(TMessage& Message)
{
    if (ScrollTracking.PressedPart == -1 || ScrollTracking.TrackWindow != WndHandle) {
        CallPrevWndProc(Message);
        return;
    }
    if (GetCapture() == WndHandle && !KeepsCaptureOnRelease())
        ReleaseCapture();
    const int part = ScrollTracking.PressedPart;
    const int kind = ScrollTracking.PressedBar;
    if (part >= 0 && part <= 3) {
        KillTimer(WndHandle, ScrollTracking.RepeatTimerId);
    } else if (part != 5) {
        ResetPress();
        CallPrevWndProc(Message);
        return;
    }
    const UINT msg = ScrollTracking.ScrollMsg;
    if (ThumbDragging) {
        Scrolling = true;
        SendScrollMessage(WndHandle, msg, SB_THUMBPOSITION, ScrollTracking.LastTrackPos);
        ThumbDragging = false;
    }
    Scrolling = true;
    SendScrollMessage(WndHandle, msg, SB_ENDSCROLL, 0);
    Scrolling = false;
    ResetPress();
    RedrawBar(kind, -1);
    CallPrevWndProc(Message);
}

void TzqScrollWnd::Timer(TMessage& Message)
{
    const UINT_PTR id = Message.WParam;
    const bool ours = ScrollTracking.TrackWindow == WndHandle &&
                      (ScrollTracking.RepeatTimerId != 0 || ScrollTracking.HoverTimerId != 0);
    if (!ours || (id != HoverTimer && id != FirstDelayTimer && id != RepeatTimer)) {
        CallPrevWndProc(Message);
        return;
    }
    Message.Result = 0;
    if (id == HoverTimer) {
        if (ThumbDragging)
            return;
        POINT c{};
        GetCursorPos(&c);
        const TPoint p{c.x, c.y};
        if (Inside(ScrollTracking.HoverBarRect, p) && IsWindowVisible(WndHandle)) {
            TzqScrollBar* bar = BarOfKind(this, ScrollTracking.HoverBar);
            ScrollTracking.HoverPart = bar ? PortionAt(bar, ScrollTracking.HoverBarRect, p) : -1;
            if (ScrollTracking.HoverPart != ScrollTracking.LastHoverPart)
                RedrawBar(ScrollTracking.HoverBar,
                          ScrollTracking.PressedBar == ScrollTracking.HoverBar ? ScrollTracking.PressedDrawPart : -1);
            ScrollTracking.LastHoverPart = ScrollTracking.HoverPart;
        } else {
            KillTimer(WndHandle, HoverTimer);
            ScrollTracking.HoverTimerId = 0;
            ScrollTracking.HoverBar = ScrollTracking.LastHoverPart = ScrollTracking.HoverPart = -1;
            PaintScrollBars(WndHandle, nullptr, nullptr, -1);
        }
    } else if (id == FirstDelayTimer) {
        KillTimer(WndHandle, ScrollTracking.RepeatTimerId);
        ScrollTracking.RepeatTimerId = SetTimer(WndHandle, RepeatTimer, 55, nullptr);
    } else {
        POINT c{};
        GetCursorPos(&c);
        ScreenToClient(WndHandle, &c);
        TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(std::max<LONG>(c.x, 0), std::max<LONG>(c.y, 0)), 0};
        MouseMove(move);
        if (ScrollTracking.PressedDrawPart != -1) {
            Scrolling = true;
            SendScrollMessage(WndHandle, ScrollTracking.ScrollMsg, ScrollTracking.PressedDrawPart, 0);
            Scrolling = false;
        }
    }
}

void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Position)
{
    SendSkinCommand(Handle, scmBeginScroll, 0);
    if (Code == SB_THUMBTRACK || Code == SB_THUMBPOSITION)
        SetScrollPos(Handle, Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, Position, FALSE);
    SendMessageW(Handle, Msg, MAKEWPARAM(Code, Position), 0);
    SendSkinCommand(Handle, scmEndScroll, MAKELONG(Code, Msg));
}

// ---- the window procedure ----

void TzqScrollWnd::SubclassWndProc(TMessage& Message)
{
    const UINT msg = Message.Msg;
    if (msg == WM_DESTROY || msg == WM_NCDESTROY) {
        ReleaseTracking(WndHandle, this);
        // Windows with an owner control are given back at WM_DESTROY, the
        // others at WM_NCDESTROY (never later: the handle may be reused).
        const bool owned = SkinData && SkinData->OwnerControl;
        if ((PrevWndProc() || SavedControlProc()) && (owned || msg == WM_NCDESTROY)) {
            TzqMainWnd* self = this;
            DetachSubclass(WndHandle, false, false, self);
        }
        CallPrevWndProc(Message);
        return;
    }
    if (msg == WM_UPDATEUISTATE)
        return;
    if (msg == WM_STYLECHANGED && StyleChangeMuted) {
        Message.Result = 0;
        return;
    }
    if (!HorzBar || !VertBar || !BarsSkinned()) {
        // Not skinned (the skin was removed): the native bars come back.
        ReleaseTracking(WndHandle, this);
        if (KeptBarStyle != 0 && HorzBar)
            GiveBackBarStyle();
        CallPrevWndProc(Message);
        return;
    }
    // A window hidden or disabled while it owns the tracking state lets it go.
    if ((msg == WM_SHOWWINDOW && Message.WParam == 0) || (msg == WM_ENABLE && Message.WParam == 0))
        ReleaseTracking(WndHandle, this);
    if (msg == SM_ZORVIKCMD) {
        const bool own = reinterpret_cast<TqSkinManager*>(Message.LParam) == Manager;
        switch (SkinSubCommand(Message.WParam)) {
        case scmSkinLoaded:
            if (own)
                SkinData->UpdateIndexes();
            break;
        case scmSkinRemoved:
            if (own)
                RestoreOriginalColors();
            break;
        case scmRefresh:
            if (own) {
                SkinData->UpdateIndexes();
                SkinData->BGChanged = true;
            }
            break;
        case scmGetCache:
            ExchangeCache = MakeCacheInfo(SkinData->CacheBmp.get(), 0, 0);
            ExchangeCache.Ready = SkinData->CacheBmp != nullptr;
            break;
        case scmFinishUpdate:
            if (SkinData->IsUpdating()) {
                SkinData->Updating = false;
                RedrawWindow(WndHandle, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            }
            break;
        case scmIsSkinned:
            Message.LParam = 1;
            Message.Result = 1;
            return;
        case scmGetApplication: {
            TMessage m = Message;
            TzqMainWnd::SkinCommand(m);
            Message.Result = m.Result;
            return;
        }
        default:
            break;
        }
        CallPrevWndProc(Message);
        return;
    }
    switch (msg) {
    case WM_NOTIFY:
        PassNotify(Message);
        return;
    case WM_STYLECHANGED:
        if (Message.WParam == static_cast<WPARAM>(GWL_EXSTYLE))
            BarsOnLeft = (reinterpret_cast<STYLESTRUCT*>(Message.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        CallPrevWndProc(Message);
        return;
    case WM_NCCALCSIZE:
        NcCalcSize(Message);
        return;
    case WM_NCHITTEST:
        NcHitTest(Message);
        return;
    case WM_NCPAINT:
        if (IsWindowVisible(WndHandle)) {
            SkinData->Updating = SkinData->IsUpdating();
            if (!SkinData->Updating && !Scrolling)
                PaintScrollBars(WndHandle, nullptr, nullptr, -1);
        }
        CallPrevWndProc(Message);
        return;
    case WM_NCMOUSEMOVE:
        NcMouseMove(Message);
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            NcLButtonDown(Message);
        else
            CallPrevWndProc(Message);
        return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            Message.Result = 0;
        else
            CallPrevWndProc(Message);
        return;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFFF) != 0xF077)
            CallPrevWndProc(Message);
        return;
    case WM_TIMER:
        Timer(Message);
        if (!Scrolling && !ThumbDragging && HorzBar && IsWindow(WndHandle))
            RefreshScrollBars(this, true);
        return;
    case WM_MOUSEMOVE:
        MouseMove(Message);
        return;
    case WM_LBUTTONUP:
        LButtonUp(Message);
        return;
    case WM_SETTEXT:
        CallPrevWndProc(Message);
        ReadCachedText();
        return;
    default:
        break;
    }
    CallPrevWndProc(Message);
    if (!HorzBar || Detached)
        return;
    if (((msg == WM_MOUSEWHEEL || msg == CM_MOUSEWHEEL) && !Scrolling) || msg == CM_FOCUSCHANGED)
        RefreshScrollBars(this, true);
}
