// How the pager answers the mouse and the keyboard: hover tracking with the
// glow fade of the tab under the mouse, clicks that activate a tab with a
// click flash, the click events, the arrow keys and the page-list menu.

#include <cstdlib>

#include <windowsx.h>

#include "framework/HintWindow.h"
#include "framework/Menus.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

namespace {

constexpr Cardinal GlowInterval = 50;
constexpr int GlowStep = 20;

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

} // namespace

void TProOfficePager::StartFade(TProOfficePage* Page, int Step, Byte Mode)
{
    if (!Page)
        return;
    if (FGlow) {
        if (!Page->FGlowTimer) {
            Page->FGlowTimer = std::make_unique<TTimer>(nullptr);
            Page->FGlowTimer->SetInterval(GlowInterval);
            Page->FGlowTimer->OnTimer = [this, Page](TObject*) { GlowTimerTick(Page); };
        }
        Page->FGlowTimer->SetEnabled(true);
    }
    Page->FGlowStep = Step;
    Page->FGlowMode = Mode;
}

void TProOfficePager::StopFade(TProOfficePage* Page)
{
    if (Page->FGlowTimer)
        Page->FGlowTimer->SetEnabled(false);
}

void TProOfficePager::GlowTimerTick(TProOfficePage* Page)
{
    switch (Page->FGlowMode) {
    case 0: {
        Page->FHoverGlow += Page->FGlowStep;
        const bool Rising = Page->FGlowStep > 0;
        if (Page->FHoverGlow > 100 && Rising) {
            Page->FHoverGlow = 120;
            Page->FFlashGlow = 0;
            POINT P;
            GetCursorPos(&P);
            const TPoint C = ScreenToClient(Point(P.x, P.y));
            if (!Inside(GetPageTabRect(Page), C.x, C.y)) {
                Page->FGlowStep = -GlowStep;
                FHotTabIndex = -1;
            }
            return;
        }
        if (Page->FHoverGlow < 0 && !Rising) {
            StopFade(Page);
            Page->FGlowMode = 2;
            Page->FFlashGlow = 0;
            Page->FHoverGlow = -20;
            InvalidateTabsArea();
            return;
        }
        InvalidateTabsArea();
        break;
    }
    case 1:
        Page->FFlashGlow += Page->FGlowStep;
        if ((Page->FFlashGlow > 100 && Page->FGlowStep > 0) || (Page->FFlashGlow < 0 && Page->FGlowStep < 0)) {
            StopFade(Page);
            Page->FGlowMode = 2;
            Page->FFlashGlow = 0;
        } else {
            InvalidateTabsArea();
        }
        break;
    default:
        break;
    }
}

void TProOfficePager::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (FDragArmed && !FDragging && (Shift & ssLeft) != 0 &&
        (std::abs(X - FDragStart.x) > 4 || std::abs(Y - FDragStart.y) > 4))
        FDragging = true;
    if (IsDesigning())
        return;
    if (!Inside(GetTabsArea(), X, Y)) {
        if (ShowHint())
            HintMouseMove(this);
        return;
    }
    const int I = TabAtPos(X, Y);
    if (I >= 0 && I != FHotTabIndex) {
        if (FDownTabIndex >= 0) {
            FDownTabIndex = -1;
            InvalidateTabsArea();
        }
        if (FHotTabIndex >= 0) {
            if (FHotTabIndex < ProPageCount())
                StartFade(ProPages(FHotTabIndex), -GlowStep, 0);
            FHotTabIndex = -1;
            InvalidateTabsArea();
        }
        if (ProPages(I)->TabEnabled()) {
            FHotTabIndex = I;
            StartFade(ProPages(I), GlowStep, 0);
            Invalidate();
        }
    } else if (I < 0) {
        if (FHotTabIndex >= 0) {
            if (FDownTabIndex >= 0) {
                FDownTabIndex = -1;
                InvalidateTabsArea();
            }
            if (FHotTabIndex < ProPageCount())
                StartFade(ProPages(FHotTabIndex), -GlowStep, 0);
            FHotTabIndex = -1;
            InvalidateTabsArea();
        }
    }
    // Another tab (or none) under the mouse: the hint shown goes, so that
    // the new tab's TabHint can show after the pause.
    if (I != FHintTabIndex) {
        FHintTabIndex = I;
        HintCancel();
    }
    if (ShowHint())
        HintMouseMove(this);
}

void TProOfficePager::MouseLeft()
{
    if (IsDesigning())
        return;
    FHintTabIndex = -1;
    POINT P;
    GetCursorPos(&P);
    const TPoint C = ScreenToClient(Point(P.x, P.y));
    TRect Band = GetTabsRect();
    switch (FTabPosition) {
    case tpTop: Band.bottom -= 4; break;
    case tpBottom: Band.top += 4; break;
    case tpLeft: Band.right -= 4; break;
    case tpRight: Band.left += 4; break;
    }
    if (HandleAllocated() && WindowFromPoint(P) == Handle() && Inside(Band, C.x, C.y))
        return;
    if (FHotTabIndex >= 0 && FHotTabIndex == ActivePageIndex()) {
        FHotTabIndex = -1;
        Invalidate();
    } else if (FHotTabIndex >= 0) {
        if (FHotTabIndex < ProPageCount())
            StartFade(ProPages(FHotTabIndex), -GlowStep, 0);
        FHotTabIndex = -1;
        InvalidateTabsArea();
    }
}

void TProOfficePager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FDownTabIndex = -1;
    if (!Inside(GetTabsArea(), X, Y))
        return;
    const int I = TabAtPos(X, Y);
    if (I < 0)
        return;
    if (Button == mbLeft && OnTabClick)
        OnTabClick(this, I);
    else if (Button == mbRight && OnTabRightClick)
        OnTabRightClick(this, I);
    // A handler may have removed pages.
    if (I >= ProPageCount())
        return;
    TProOfficePage* Page = ProPages(I);
    if (I != ActivePageIndex() && Page->TabEnabled()) {
        ChangeActivePage(I);
        if (!IsDesigning() && ActivePageIndex() == I)
            StartFade(Page, GlowStep, 1);
        Invalidate();
    } else {
        FDownTabIndex = I;
        InvalidateTabsArea();
    }
    if (Button == mbLeft && FTabReorder && Page->TabEnabled() && !IsDesigning()) {
        FDragArmed = true;
        FDragging = false;
        FDragStart = Point(X, Y);
    }
}

void TProOfficePager::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDragging) {
        // Dropped on a tab: the page the drag started from (the active one,
        // as pressing activated it) moves there.
        const int Target = TabAtPos(X, Y);
        const int From = ActivePageIndex();
        if (Target >= 0 && From >= 0 && Target != From) {
            MoveProPage(From, Target);
            Invalidate();
            RepaintActivePage();
        }
    }
    FDragArmed = false;
    FDragging = false;
    if (FDownTabIndex >= 0) {
        FDownTabIndex = -1;
        InvalidateTabsArea();
    }
}

void TProOfficePager::TabDblClick(int X, int Y)
{
    const int I = TabAtPos(X, Y);
    if (I >= 0 && OnTabDblClick)
        OnTabDblClick(this, I);
}

// The framework turns the second press into a mouse-down (the click events
// and activation) first; the double-click event follows.
void TProOfficePager::DoubleClickMessage(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    TabDblClick(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TProOfficePager::KeyDown(Word& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_TAB:
        if (Parent())
            Parent()->SelectNext(this, true, true);
        break;
    case VK_ESCAPE:
        HideShortCutHints();
        break;
    case VK_LEFT:
    case VK_UP:
        HideShortCutHints();
        SelectNextPage(false);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        HideShortCutHints();
        SelectNextPage(true);
        break;
    default:
        if (FShortCutHintShowing)
            ShortCutKey(Key);
        break;
    }
    TCustomControl::KeyDown(Key, Shift);
}

// An accelerator of a page's caption activates the first such page whose
// tab shows, whether or not the tab is enabled.
void TProOfficePager::CMDialogChar(TMessage& Message)
{
    if (CanFocus())
        for (int I = 0; I < ProPageCount(); ++I)
            if (IsTabVisibleAt(I) && IsAccel(static_cast<Word>(Message.WParam), ProPages(I)->Caption())) {
                SetActivePageIndex(I);
                Message.Result = 1;
                return;
            }
    TCustomControl::WndProc(Message);
}

void TProOfficePager::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case WM_LBUTTONDBLCLK: DoubleClickMessage(Message); return;
    case CM_MOUSELEAVE: MouseLeft(); break;
    case WM_SETFOCUS: InvalidateTabsArea(); ShowShortCutHints(); break;
    case WM_KILLFOCUS: InvalidateTabsArea(); HideShortCutHints(); break;
    case WM_DESTROY: HideShortCutHints(); break;
    case CM_HINTSHOW: {
        // The hint over a tab is its page's TabHint; with tab hints off the
        // pager shows none.
        auto* Info = reinterpret_cast<THintInfo*>(Message.LParam);
        if (!FShowTabHint)
            Info->HintStr.clear();
        else if (FHintTabIndex >= 0 && FHintTabIndex < ProPageCount())
        {
            Info->HintStr = ProPages(FHintTabIndex)->TabHint();
            // Moving to another tab asks again.
            Info->CursorRect = GetTabRect(FHintTabIndex);
        }
        Message.Result = 0;
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(Message);
}

void TProOfficePager::PageListClick()
{
    if (!FPageListMenu || !FButtonSettings->PageListButton() || !FPageListButton)
        return;
    TMenuItem* Items = FPageListMenu->Items();
    Items->Clear();
    int Count = 0;
    for (int I = 0; I < ProPageCount(); ++I) {
        TProOfficePage* Page = ProPages(I);
        if (!Page->TabVisible())
            continue;
        // Owned by the menu, so that clearing it frees the old items.
        auto* Item = new TMenuItem(nullptr);
        Item->Caption = Page->Caption();
        Item->Checked = I == ActivePageIndex();
        Item->Tag = I;
        Item->OnClick = [this, Item](TObject*) {
            const int Index = static_cast<int>(Item->Tag);
            if (Index >= 0 && Index < ProPageCount())
                SetActivePageIndex(Index);
        };
        Items->Add(Item);
        ++Count;
    }
    const TRect B = FPageListButton->BoundsRect();
    TPoint P;
    switch (FTabPosition) {
    case tpTop: P = Point(B.left, B.bottom); break;
    case tpBottom: {
        P = Point(B.left, B.bottom);
        const int MenuHeight = GetSystemMetrics(SM_CYMENU) * Count;
        const TPoint S = ClientToScreen(P);
        HMONITOR Monitor = MonitorFromPoint(POINT{S.x, S.y}, MONITOR_DEFAULTTONEAREST);
        MONITORINFO Info{};
        Info.cbSize = sizeof(Info);
        if (GetMonitorInfoW(Monitor, &Info) && Info.rcMonitor.bottom - Info.rcMonitor.top < S.y + 10 + MenuHeight)
            P.y -= MenuHeight + RectHeight(B) + 4;
        break;
    }
    case tpLeft:
    case tpRight: P = Point(B.right, B.top); break;
    }
    const TPoint S = ClientToScreen(P);
    if (OnPageListClick)
        OnPageListClick(this, S.x, S.y);
    else
        FPageListMenu->Popup(S.x, S.y);
}
