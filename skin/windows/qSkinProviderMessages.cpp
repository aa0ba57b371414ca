// The form skin provider's window procedure: the skin command message in
// three stages (every state; not skinned; skinned) and the window messages
// of a skinned form. Messages it does not handle go to the form's previous
// procedure (what lies below the provider's link).
#include <windowsx.h>

#include "framework/Application.h"
#include "skin/engine/qAnimEffects.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qCtrlAdapter.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/qSkinProviderDrag.h"
#include "skin/windows/qSkinableMenus.h"

bool TitleButtonPressed = false;

// The handlers of ProviderWndProc, one per message or sub-command.
class TqProviderMessages {
public:
    explicit TqProviderMessages(TqSkinProvider& P) : P(P) {}

    bool Stage1(TMessage& M);
    bool Stage2(TMessage& M);
    void Stage3(TMessage& M);
    void Window(TMessage& M);

private:
    void SkinRemoved(TMessage& M);
    void SkinLoadedUnskinned(TMessage& M);
    void SkinLoadedSkinned(TMessage& M);
    void Refresh(TMessage& M);
    void Create(TMessage& M);
    void Size(TMessage& M);
    void Activate(TMessage& M);
    void SetText(TMessage& M);
    void Paint(TMessage& M);
    void PosChanged(TMessage& M);
    void NcHitTest(TMessage& M);
    void NcPaint(TMessage& M);
    void Print(TMessage& M);
    void NcActivate(TMessage& M);
    void NcLButtonDown(TMessage& M);
    void NcLButtonUp(TMessage& M);
    void NcLButtonDblClk(TMessage& M);
    void NcRButtonDown(TMessage& M);
    void NcRButtonUp(TMessage& M);
    void SysCommand(TMessage& M);
    void MouseLeave(TMessage& M);
    void ShowingChanged(TMessage& M);
    // Whether M's lParam is the provider's manager.
    bool OwnManager(const TMessage& M) const
    {
        return P.Manager() != nullptr && reinterpret_cast<TqSkinManager*>(M.LParam) == P.Manager();
    }
    void ToChildren(TMessage& M) { BroadcastToChildControls(P.FForm, M); }
    TPoint WindowOrigin() const;
    // The preconditions of painting the frame (WM_NCPAINT, WM_PRINT); it
    // also takes SkinData's updating state.
    bool FramePaintable();
    void MenuOwnerDrawOnce();
    TqSystemMenu* Menu() const { return P.FSystemMenu.get(); }

    TqSkinProvider& P;
};

void TqSkinProvider::ProviderWndProc(TMessage& Message)
{
    TqProviderMessages handlers(*this);
    if (FForm == nullptr) {
        CallPrevious(Message);
        return;
    }
    TqFrameDrag::Watch(*this, Message);
    if (Message.Msg == SM_ZORVIKCMD) {
        if (handlers.Stage1(Message))
            return;
        if (FormGoing() || !Skinned()) {
            if (!handlers.Stage2(Message))
                CallPrevious(Message);
            return;
        }
        handlers.Stage3(Message);
        return;
    }
    if (FormGoing() || !Skinned()) {
        CallPrevious(Message);
        return;
    }
    handlers.Window(Message);
}

bool TqProviderMessages::Stage1(TMessage& M)
{
    switch (SkinSubCommand(M.WParam)) {
    case scmSkinRemoved: SkinRemoved(M); return true;
    case scmIsSkinned:
        M.LParam = 1;
        M.Result = 1;
        return true;
    case scmGetApplication: M.Result = reinterpret_cast<LRESULT>(Application); return true;
    case scmSkinLoaded:
        if (!P.FormGoing() && OwnManager(M) && !P.FSystemMenu)
            P.InitSkin();
        return false;
    default: return false;
    }
}

void TqProviderMessages::SkinRemoved(TMessage& M)
{
    if (!OwnManager(M)) {
        ToChildren(M);
        return;
    }
    P.FreeScrollWnd();
    P.RemoveAdapter();
    CommonSkinMessage(M, P.FSkinData.get());
    P.FMenuRows = -1;
    ToChildren(M);
    if (P.FUseGlobalColor && !P.FSkinData->CustomColor())
        P.FForm->SetColor(clBtnFace);
    if (P.Manager() == nullptr)
        return;
    FreeMenuBackground();
    P.HookFormMenus(false);
    P.RestoreSysMenuStyle();
    if (P.Framed() && !P.FSkipRegion && P.FormWnd() != nullptr)
        SetWindowRgn(P.FormWnd(), nullptr, TRUE);
    // Wine repaints its own frame only when asked.
    if (const HWND wnd = P.FormWnd())
        RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool TqProviderMessages::Stage2(TMessage& M)
{
    switch (SkinSubCommand(M.WParam)) {
    case scmSkinLoaded:
        if (OwnManager(M) && !P.FormGoing())
            SkinLoadedUnskinned(M);
        ToChildren(M);
        return true;
    case scmGetProvider: M.Result = reinterpret_cast<LRESULT>(static_cast<TqStateHolder*>(&P)); return true;
    default: return false;
    }
}

void TqProviderMessages::SkinLoadedUnskinned(TMessage& M)
{
    (void)M;
    FreeMenuBackground();
    P.FSkinData->UpdateIndexes();
    if (P.Manager() == nullptr)
        return;
    P.LoadTitleButtonMasks();
    try {
        if (P.FForm->BorderIcons() != 0)
            P.ClearSysMenuStyle();
    } catch (const Exception&) {
        // The style is the platform's business; the skin goes on without it.
    }
    P.HookFormMenus(true);
    P.FrameStale();
    P.ApplyGlobalColor();
    P.CreateAdapter();
}

void TqProviderMessages::Stage3(TMessage& M)
{
    TqCommonData* data = P.FSkinData.get();
    switch (SkinSubCommand(M.WParam)) {
    case scmSkinLoaded:
        if (OwnManager(M))
            SkinLoadedSkinned(M);
        break;
    case scmRefresh:
        if (OwnManager(M))
            Refresh(M);
        break;
    case scmGetProvider: M.Result = reinterpret_cast<LRESULT>(static_cast<TqStateHolder*>(&P)); break;
    case scmGetCache:
        if (!P.IsLoading())
            ExchangeCache = MakeCacheInfo(data->CacheBmp.get(), P.ClientOffsetX(), P.ClientOffsetY());
        break;
    case scmSetUpdating:
        data->Updating = LOWORD(M.WParam) == 1;
        if (data->IsUpdating())
            P.FrameChanged();
        break;
    case scmSetParentBgFlag:
        CommonControlMessage(M, data);
        data->ParentBgForced = LOWORD(M.WParam) == 1;
        if (data->ParentBgForced)
            P.PaintFormFrame();
        break;
    case scmIsBgChanging:
        M.LParam = data->BGChanged || data->IsUpdating() ? 1 : 0;
        M.Result = M.LParam;
        break;
    case scmSetPaintingChild: data->PaintingChild = reinterpret_cast<TControl*>(M.LParam); break;
    case scmIsBgTextured: {
        const TqGeneralData& s = P.Manager()->Skin().Sections[static_cast<std::size_t>(data->SkinIndex)];
        M.LParam = M.Result = s.GradientPercent + s.ImagePercent > 0 ? 1 : 0;
        break;
    }
    case scmGetBgColor:
        if (!data->CustomColor())
            ExchangeColor = P.Manager()->Skin().Sections[static_cast<std::size_t>(data->SkinIndex)].HotColor;
        else
            ExchangeColor = ColorToRGB(P.FForm->Color());
        break;
    case scmAdaptControl:
        // A control skinned by its own class announces itself: the plain
        // controls it holds are adapted.
        if (!P.FForm->IsLoading() && M.LParam != 0 && P.FAdapter) {
            if (auto* control = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(M.LParam)))
                P.FAdapter->AdaptAll(control);
        }
        break;
    case scmBeginScroll:
        if (data->NeedsParentBg())
            SendMessageW(P.FormWnd(), WM_SETREDRAW, 0, 0);
        break;
    case scmEndScroll:
        if (data->NeedsParentBg()) {
            SendMessageW(P.FormWnd(), WM_SETREDRAW, 1, 0);
            RedrawWindow(P.FormWnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        break;
    default: break;   // swallowed: a skinned form's own handlers never see it
    }
}

void TqProviderMessages::SkinLoadedSkinned(TMessage& M)
{
    (void)M;
    // The menu painter's picture of the last popup is of the old skin.
    FreeMenuBackground();
    P.FSkinData->UpdateIndexes();
    TqSkinManager* manager = P.Manager();
    if (manager == nullptr)
        return;
    P.LoadTitleButtonMasks();
    if (P.FForm->BorderIcons() != 0)
        P.ClearSysMenuStyle();
    if (TqSkinableMenus* painter = P.MenuPainter())
        painter->UpdateActive();
    P.FrameStale();
    P.SendNcPaint();
}

void TqProviderMessages::Refresh(TMessage& M)
{
    P.CreateAdapter();
    P.UpdateScrollSubclass();
    P.FrameStale();
    P.FSkinData->Updating = false;
    P.FTitleAreaCopy.reset();
    P.HookFormMenus(P.Skinned(false));
    if (P.Framed())
        P.FRegionChanged = true;
    if (P.FormVisible()) {
        P.SendNcPaint();
        // The client area is painted from the rebuilt cache.
        RedrawWindow(P.FormWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    P.ApplyGlobalColor();
    if (P.FAdapter)
        P.FAdapter->SendToItems(M);
}

void TqProviderMessages::Window(TMessage& M)
{
    switch (M.Msg) {
    case WM_CREATE: Create(M); break;
    case WM_SIZE: Size(M); break;
    case WM_ACTIVATE: Activate(M); break;
    case WM_SETTEXT:
    case WM_SETICON: SetText(M); break;
    case WM_PAINT: Paint(M); break;
    case WM_ERASEBKGND: M.Result = 0; break;
    case WM_SYSCOLORCHANGE:
    case WM_CHILDACTIVATE:
        P.CallPrevious(M);
        P.UpdateMenuOwnerDraw();
        break;
    case WM_MEASUREITEM:
        P.HookMeasuredItem(reinterpret_cast<const MEASUREITEMSTRUCT*>(M.LParam));
        P.CallPrevious(M);
        break;
    case WM_SETTINGCHANGE:
        P.FrameChanged();
        P.FTitleAreaCopy.reset();
        P.CallPrevious(M);
        break;
    case WM_WINDOWPOSCHANGING:
        if (!P.FRegionApplying) {
            TqFrameDrag::Snap(P, M);
            P.CallPrevious(M);
        }
        break;
    case WM_GETMINMAXINFO: TqFrameDrag::MinMaxInfo(P, M); break;
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE: PosChanged(M); break;
    case WM_NCHITTEST: NcHitTest(M); break;
    case WM_NCPAINT: NcPaint(M); break;
    case WM_PRINT: Print(M); break;
    case WM_NCACTIVATE: NcActivate(M); break;
    case WM_NCLBUTTONDOWN: NcLButtonDown(M); break;
    case WM_NCLBUTTONUP: NcLButtonUp(M); break;
    case WM_LBUTTONUP:
        if (TqFrameDrag::ButtonUp(P, M))
            break;
        // Its wParam holds key flags, not a hit code, and it comes from the
        // client area: a title button pressed before is released outside
        // itself and returns to normal; the message goes on to the form.
        if (TitleButtonPressed && P.FHotCode != 0)
            P.SetHotButton(0, true);
        P.CallPrevious(M);
        break;
    case WM_NCLBUTTONDBLCLK: NcLButtonDblClk(M); break;
    case WM_NCRBUTTONDOWN: NcRButtonDown(M); break;
    case WM_NCRBUTTONUP: NcRButtonUp(M); break;
    case WM_SYSCOMMAND: SysCommand(M); break;
    case WM_MOUSEMOVE:
        P.CallPrevious(M);
        TqFrameDrag::MouseMove(P, M);
        break;
    case WM_INITMENUPOPUP:
        if (M.LParam != 0)
            MenuMeasuring = true;
        P.CallPrevious(M);
        break;
    case WM_ENTERIDLE: M.Result = 0; break;
    case WM_SIZING:
        P.CallPrevious(M);
        if (P.FSkinData->CacheBmp->Width() != P.FForm->Width() ||
            P.FSkinData->CacheBmp->Height() != P.FForm->Height())
            P.FrameStale();
        break;
    case WM_NCMOUSEMOVE:
        P.CallPrevious(M);
        if (P.FHotCode != 0) {
            // The mouse may leave the window from a hot button: the window
            // is told (WM_NCMOUSELEAVE) so that the button turns normal.
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, P.FormWnd(), 0};
            TrackMouseEvent(&track);
        }
        break;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE: MouseLeave(M); break;
    case WM_PRINTCLIENT: break;
    case CM_ENABLEDCHANGED:
        P.CallPrevious(M);
        P.FrameChanged();
        P.SendNcPaint();
        break;
    case CM_COLORCHANGED:
        if (P.FSkinData->CustomColor()) {
            if (!P.FormCreating())
                P.FrameChanged();
            P.CallPrevious(M);
        }
        break;
    case CM_MENUCHANGED:
        if (P.FormVisible() && !P.FormCreating())
            P.FMenuChanged = true;
        P.CallPrevious(M);
        break;
    case CM_SHOWINGCHANGED: ShowingChanged(M); break;
    case CM_CONTROLLISTCHANGE:
        P.CallPrevious(M);
        if (P.FAdapter) {
            if (auto* control = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(M.WParam)))
                P.FAdapter->AddItemDefault(control);
        }
        break;
    case CM_FLOAT:
        P.CallPrevious(M);
        P.FreeScrollWnd();
        SendSkinCommand(P.FormWnd(), scmRefresh, reinterpret_cast<LPARAM>(P.Manager()));
        break;
    case WM_PARENTNOTIFY:
        P.CallPrevious(M);
        if (!P.IsLoading() && !P.FForm->IsLoading() &&
            (LOWORD(M.WParam) == WM_CREATE || LOWORD(M.WParam) == WM_DESTROY)) {
            if (LOWORD(M.WParam) == WM_CREATE)
                P.CreateAdapter();
            if (P.FScrollWnd)
                TzqScrollWnd::RefreshScrollBars(P.FScrollWnd.get(), true);
        }
        break;
    default: P.CallPrevious(M); break;
    }
}

void TqProviderMessages::Create(TMessage& M)
{
    P.FTitleAreaCopy.reset();
    P.CallPrevious(M);
    P.InitSkin();
    if (P.FForm->Parent() != nullptr) {
        // A form placed in another control: its new window gets new
        // scroll bars and the whole skin again.
        P.FreeScrollWnd();
        SendSkinCommand(P.FormWnd(), scmRefresh, reinterpret_cast<LPARAM>(P.Manager()));
    }
}

void TqProviderMessages::Size(TMessage& M)
{
    P.FrameChanged();
    P.FRegionChanged = true;
    P.CallPrevious(M);
    if (!P.FormVisible())
        return;
    const TqSkinManager* manager = P.Manager();
    const TqGeneralData& s = manager->Skin().Sections[static_cast<std::size_t>(P.FSkinData->SkinIndex)];
    if (s.GradientPercent > 0) {
        for (int i = 0; i < P.FForm->ControlCount(); ++i)
            if (TControl* child = P.FForm->Controls(i); !child->IsDestroying())
                SendControlCommand(child, scmParentBgChanged, 0, 1);
    }
    RedrawWindow(P.FormWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TqProviderMessages::Activate(TMessage& M)
{
    P.CallPrevious(M);
    if (P.FormCreating())
        return;
    P.FFormActive = LOWORD(M.WParam) != 0;
    P.FrameStale();
    P.SendNcPaint();
    P.HookFormMenus(true);
    if (Menu() != nullptr)
        Menu()->UpdateItems();
}

void TqProviderMessages::SetText(TMessage& M)
{
    // Wine repaints its own frame for a new text or icon without WM_NCPAINT:
    // the default handling runs with the window hidden from painting, then
    // the skinned frame is painted again.
    const HWND wnd = P.FormWnd();
    if (!P.FormVisible()) {
        P.CallPrevious(M);
        return;
    }
    const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
    SetWindowLongPtrW(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    P.CallPrevious(M);
    SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE);
    if (!P.FSkinData->IsUpdating() && P.Framed()) {
        P.FrameChanged();
        P.SendNcPaint();
    }
}

void TqProviderMessages::Paint(TMessage& M)
{
    if (P.FormVisible() && !P.FormCreating()) {
        P.PaintClient();
        M.Result = 0;
        return;
    }
    // Dropped without validating: a form hidden from painting (WM_SETREDRAW
    // 0 clears WS_VISIBLE) or still being created keeps its update region
    // for the paint that follows.
}

void TqProviderMessages::PosChanged(TMessage& M)
{
    P.CallPrevious(M);
    if (P.FRegionApplying || SkinChanging)
        return;
    const TBitmap* cache = P.FSkinData->CacheBmp.get();
    if (P.FormVisible() && !P.FormCreating() &&
        (cache->Width() != P.FormWidth() || cache->Height() != P.FForm->Height())) {
        P.FRegionChanged = true;
        P.FrameStale();
        P.SendNcPaint();
    }
}

void TqProviderMessages::NcHitTest(TMessage& M)
{
    if (P.CH() <= 0) {
        P.CallPrevious(M);
        return;
    }
    M.Result = P.HitTest(M);
    if (M.Result == 0 || M.Result == HTCAPTION) {
        P.CallPrevious(M);
        P.SetHotButton(0, true);
    }
    TqFrameDrag::RecordEdge(M);
}

void TqProviderMessages::NcPaint(TMessage& M)
{
    M.Result = 0;
    if (!FramePaintable())
        return;
    const HWND wnd = P.FormWnd();
    const bool thick = (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_THICKFRAME) != 0;
    if (!P.FRegionApplying && P.FRegionChanged && (P.Framed() || thick)) {
        P.PrepareFormRegion();
        P.FRegionChanged = false;
        if (!P.FRegionApplying)
            P.UpdateFormRegion(true);
    }
    MenuOwnerDrawOnce();
    if (HDC dc = GetWindowDC(wnd)) {
        const int saved = SaveDC(dc);
        P.PaintNonClient(dc);
        RestoreDC(dc, saved);
        ReleaseDC(wnd, dc);
    }
    P.FRegionApplying = false;
}

void TqProviderMessages::Print(TMessage& M)
{
    M.Result = 0;
    if (!FramePaintable())
        return;
    MenuOwnerDrawOnce();
    const HDC dc = reinterpret_cast<HDC>(M.WParam);
    const int saved = SaveDC(dc);
    P.PaintNonClient(dc);
    SetWindowOrgEx(dc, -P.ClientOffsetX(), -P.ClientOffsetY(), nullptr);
    IntersectClipRect(dc, 0, 0, P.FForm->ClientWidth(), P.FForm->ClientHeight());
    P.PaintClientBackground(dc, true);
    if (P.FForm->OnPaint) {
        TCanvas* canvas = P.FForm->Canvas();
        const HDC own = canvas->HandleAllocated() ? canvas->Handle() : nullptr;
        canvas->SetHandle(dc);
        P.FForm->OnPaint(P.FForm);
        canvas->SetHandle(own);
    }
    RestoreDC(dc, saved);
}

void TqProviderMessages::NcActivate(TMessage& M)
{
    const bool active = M.WParam != 0;
    const HWND wnd = P.FormWnd();
    if (P.FormVisible()) {
        if (active != P.FFormActive)
            P.FrameChanged();
        SendMessageW(wnd, WM_SETREDRAW, 0, 0);
        P.CallPrevious(M);
        if (!P.FShowAnimation)
            SendMessageW(wnd, WM_SETREDRAW, 1, 0);
    } else {
        P.FSkinData->BGChanged = false;
        P.CallPrevious(M);
    }
    if (P.FormCreating())
        return;
    if (P.Framed()) {
        if (active != P.FFormActive)
            P.FMenuRows = -1;
        P.FFormActive = active;
    }
    P.SendNcPaint();
    P.HookFormMenus(P.Skinned(false));
    MenuOwnerDrawOnce();
    if (!P.FAdapter)
        P.CreateAdapter();
    if (P.FormVisible() && !P.FShowAnimation)
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool TqProviderMessages::FramePaintable()
{
    if (P.FShowAnimation || !P.FormVisible() || P.FForm->IsLoading() || P.FormCreating())
        return false;
    TqCommonData* data = P.FSkinData.get();
    data->Updating = data->IsUpdating();
    return !data->Updating;
}

void TqProviderMessages::MenuOwnerDrawOnce()
{
    if (!P.FMenuOwnerDrawDone) {
        P.FMenuOwnerDrawDone = true;
        P.UpdateMenuOwnerDraw();
    }
}

TPoint TqProviderMessages::WindowOrigin() const
{
    RECT r{};
    GetWindowRect(P.FormWnd(), &r);
    return TPoint{r.left, r.top};
}

void TqProviderMessages::NcLButtonDown(TMessage& M)
{
    const int code = static_cast<int>(M.WParam);
    switch (code) {
    case HTSYSMENU: {
        P.SetHotButton(0, true);
        const TPoint origin = WindowOrigin();
        P.DropSysMenu(origin.x + P.FW(), origin.y + P.FrameOffset() + RectHeight(P.TitleIconRect()));
        return;
    }
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP: P.PressButton(code); return;
    default: break;
    }
    if (code >= tbcUserFirst && code - tbcUserFirst < P.FTitleButtons->Count()) {
        P.PressButton(code);
        TqTitleButton* button = P.FTitleButtons->Items(code - tbcUserFirst);
        if (button->OnMouseDown)
            button->OnMouseDown(button, mbLeft, 0, GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
        return;
    }
    if (P.Iconic()) {
        P.FForm->Perform(WM_SYSCOMMAND, 0xF012, 0);
        return;
    }
    P.SetHotButton(0, true);
    if (P.Maximized() && code == HTCAPTION) {
        const POINT pt{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
        if (pt.y - WindowOrigin().y <= P.FH() + P.CH()) {
            if (!P.FForm->Active())
                SetForegroundWindow(P.FormWnd());
            return;
        }
    }
    if (!TqFrameDrag::ButtonDown(P, M))
        P.CallPrevious(M);
}

void TqProviderMessages::NcLButtonUp(TMessage& M)
{
    const int code = static_cast<int>(M.WParam);
    const TPoint pt{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
    const bool pressed = TitleButtonPressed && P.FHotCode == code;
    TqSystemMenu* menu = Menu();
    if (code == HTMINBUTTON) {
        if (!pressed) {
            P.SetHotButton(0, true);
        } else {
            const TPoint origin = WindowOrigin();
            const TRect r = P.FButtons[0].Rect;
            if (!PtInRect(&r, POINT{pt.x - origin.x, pt.y - origin.y})) {
                P.CallPrevious(M);
            } else {
                P.SetHotButton(0, true);
                const bool main = Application->MainForm == P.FForm;
                SendMessageW(P.FormWnd(), WM_SYSCOMMAND, main || !P.Iconic() ? SC_MINIMIZE : SC_RESTORE, 0);
            }
        }
    } else if (code == HTMAXBUTTON) {
        if (menu != nullptr && (menu->MaxEnabled() || (P.Maximized() && menu->RestoreEnabled()))) {
            if (!pressed) {
                P.SetHotButton(0, true);
            } else {
                P.SetHotButton(0, true);
                SendMessageW(P.FormWnd(), WM_SYSCOMMAND, P.Maximized() ? SC_RESTORE : SC_MAXIMIZE, 0);
                Application->ProcessMessages();
                if (Menu() != nullptr)
                    Menu()->UpdateItems();
            }
        }
    } else if (code == HTCLOSE) {
        if (pressed) {
            P.FButtons[2].State = 0;
            P.SetHotButton(0, false);
            SendMessageW(P.FormWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            P.SetHotButton(0, true);
        }
    } else if (code == HTHELP) {
        if (pressed) {
            SendMessageW(P.FormWnd(), WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
            P.SetHotButton(0, true);
            if (menu != nullptr)
                menu->UpdateItems();
            P.FForm->Perform(WM_NCPAINT, 1, 0);
        } else {
            P.SetHotButton(0, true);
        }
    } else if (code >= tbcUserFirst && code - tbcUserFirst < P.FTitleButtons->Count()) {
        if (pressed) {
            TqTitleButton* button = P.FTitleButtons->Items(code - tbcUserFirst);
            if (button->OnMouseUp)
                button->OnMouseUp(button, mbLeft, 0, pt.x, pt.y);
        }
        P.SetHotButton(0, true);
    } else if (!TqFrameDrag::ButtonUp(P, M)) {
        P.CallPrevious(M);
    }
    M.WParam = 0;
}

void TqProviderMessages::NcLButtonDblClk(TMessage& M)
{
    TqFrameDrag::DoubleClick(P);
    TqSystemMenu* menu = Menu();
    if (M.WParam == HTCAPTION && menu != nullptr) {
        if (menu->MaxEnabled() || menu->RestoreEnabled()) {
            SendMessageW(P.FormWnd(), WM_SYSCOMMAND, P.Maximized() || P.Iconic() ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (Menu() != nullptr)
                Menu()->UpdateItems();
        }
        M.WParam = 0;
    } else if (M.WParam == HTSYSMENU) {
        P.FForm->Close();
    }
}

void TqProviderMessages::NcRButtonDown(TMessage& M)
{
    if (M.WParam != HTCAPTION && M.WParam != HTSYSMENU)
        P.CallPrevious(M);
}

void TqProviderMessages::NcRButtonUp(TMessage& M)
{
    if (M.WParam != HTCAPTION && M.WParam != HTSYSMENU)
        return;
    P.SetHotButton(0, true);
    P.DropSysMenu(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
}

void TqProviderMessages::SysCommand(TMessage& M)
{
    const WPARAM command = M.WParam & 0xFFF0;
    if (command == 0xF010 && (M.WParam & 0xF) == 2)
        P.FForm->Repaint();
    if (TqFrameDrag::Announce(P, M))
        return;
    P.CallPrevious(M);
    TqSystemMenu* menu = Menu();
    if ((command == SC_MAXIMIZE || command == SC_RESTORE) && menu != nullptr && menu->MaxVisible()) {
        P.SetHotButton(tbcMaximize, false);
        P.SetHotButton(0, false);
    }
    if (command == SC_KEYMENU && LOWORD(M.LParam) == ' ' && (P.FForm->BorderIcons() & biSystemMenu) != 0) {
        const TPoint origin = WindowOrigin();
        P.DropSysMenu(origin.x + P.FW(), origin.y + P.FrameOffset() + P.TitleIconHeight());
    }
}

void TqProviderMessages::MouseLeave(TMessage& M)
{
    P.SetHotButton(0, true);
    P.CallPrevious(M);
}

void TqProviderMessages::ShowingChanged(TMessage& M)
{
    // The show animation runs only on platforms before major version 6.
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    const bool old = GetVersionExW(&version) && version.dwMajorVersion < 6;
    if (!P.FSkinData->BGChanged || !old) {
        P.CallPrevious(M);
        return;
    }
    const TzqAnimEffects* effects = P.Manager()->AnimEffects();
    const bool dialog = P.FForm->BorderStyle() == bsDialog;
    const bool animate = P.FForm->Parent() == nullptr &&
                         (dialog ? effects->DialogShow()->Active : effects->FormShow()->Active);
    const HWND wnd = P.FormWnd();
    if (animate) {
        SendMessageW(wnd, WM_SETREDRAW, 0, 0);
        P.FShowAnimation = true;
    }
    P.CallPrevious(M);
    P.UpdateScrollSubclass();
    if (!animate)
        return;
    P.FShowAnimation = false;
    AnimateFormShow(P.FForm, dialog ? effects->DialogShow()->Time : effects->FormShow()->Time);
    SendMessageW(wnd, WM_SETREDRAW, 1, 0);
    P.UpdateFormRegion(false);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    P.FRegionApplying = false;
}
