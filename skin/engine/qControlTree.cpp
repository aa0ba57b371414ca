#include "skin/engine/qControlTree.h"

#include <algorithm>
#include <memory>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/SavedDC.h"
#include "framework/ToolBar.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qConst.h"

TSetWindowThemeEntry SetWindowThemeEntry = nullptr;

namespace {

using TIsAppThemedEntry = BOOL(WINAPI*)();

// The visual-styles library, loaded when the engine starts and freed when it ends.
class TThemeLibrary {
public:
    TThemeLibrary() : FModule(LoadLibraryW(L"UXTHEME"))
    {
        if (FModule == nullptr)
            return;
        SetWindowThemeEntry = reinterpret_cast<TSetWindowThemeEntry>(
            reinterpret_cast<void*>(GetProcAddress(FModule, "SetWindowTheme")));
        IsAppThemed = reinterpret_cast<TIsAppThemedEntry>(reinterpret_cast<void*>(GetProcAddress(FModule, "IsAppThemed")));
    }
    ~TThemeLibrary()
    {
        SetWindowThemeEntry = nullptr;
        if (FModule != nullptr)
            FreeLibrary(FModule);
    }
    TThemeLibrary(const TThemeLibrary&) = delete;
    TThemeLibrary& operator=(const TThemeLibrary&) = delete;

    TIsAppThemedEntry IsAppThemed = nullptr;

private:
    HMODULE FModule;
};

const TThemeLibrary ThemeLibrary;

bool IsWindowed(const TControl* Control) { return dynamic_cast<const TWinControl*>(Control) != nullptr; }

HWND MdiClientOf(TWinControl* Control)
{
    return Control->HandleAllocated() ? FindWindowExW(Control->Handle(), nullptr, L"MDIClient", nullptr) : nullptr;
}

// The MDI children of an MDI parent form, bottom of the z-order first.
std::vector<TCustomForm*> MdiChildrenOf(TCustomForm* Form)
{
    std::vector<TCustomForm*> children;
    HWND client = MdiClientOf(Form);
    if (client == nullptr)
        return children;
    for (HWND child = GetWindow(client, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (auto* form = dynamic_cast<TCustomForm*>(FindControl(child)))
            children.insert(children.begin(), form);
    return children;
}

// Where the client area of Control starts inside its window.
TPoint ClientOffsetInWindow(TWinControl* Control)
{
    if (!Control->HandleAllocated())
        return Point(0, 0);
    TRect client;
    GetClientRectInWindow(Control->Handle(), client);
    return Point(client.left, client.top);
}

void PaintTreeInto(HDC DC, TControl* Control, bool Top);

void PaintChildrenInto(HDC DC, TWinControl* Control)
{
    // The children lie in the client area, which a framed window (a form
    // with a caption, an edit with an edge) starts inside its window.
    const TPoint client = ClientOffsetInWindow(Control);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Control->Controls(i));
        if (child == nullptr || !child->Visible())
            continue;
        const TSavedDC saved(DC);
        if (!(dynamic_cast<TCustomForm*>(child) != nullptr && child->Parent() == nullptr))
            HdcMoveOrigin(DC, client.x + child->Left(), client.y + child->Top());
        PaintTreeInto(DC, child, false);
    }
}

void PaintTreeInto(HDC DC, TControl* Control, bool Top)
{
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    if (windowed == nullptr) {
        Control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_ERASEBKGND);
        return;
    }
    if (auto* form = dynamic_cast<TCustomForm*>(windowed); Top && form != nullptr) {
        for (TCustomForm* child : MdiChildrenOf(form)) {
            const TSavedDC saved(DC);
            HdcMoveOrigin(DC, child->Left(), child->Top());
            PaintTreeInto(DC, child, true);
        }
    }
    if (windowed->HandleAllocated() && ControlHandlesCommand(windowed, scmIsSkinned))
        SendMessageW(windowed->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(DC),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    else
        windowed->PaintWindowTo(DC, 0, 0);
    PaintChildrenInto(DC, windowed);
}

}   // namespace

bool VisualStylesInUse()
{
    return SetWindowThemeEntry != nullptr && ThemeLibrary.IsAppThemed != nullptr && ThemeLibrary.IsAppThemed();
}

LRESULT SendSkinCommand(HWND Wnd, int SubCommand, LPARAM LParam, int Flag)
{
    return Wnd != nullptr ? SendMessageW(Wnd, SM_ZORVIKCMD, SkinCommandWParam(SubCommand, Flag), LParam) : 0;
}

LRESULT SendControlCommand(TControl* Control, int SubCommand, LPARAM LParam, int Flag)
{
    if (Control == nullptr)
        return 0;
    if (auto* windowed = dynamic_cast<TWinControl*>(Control)) {
        if (!windowed->HandleAllocated() || windowed->IsDestroying())
            return 0;
        return SendSkinCommand(windowed->Handle(), SubCommand, LParam, Flag);
    }
    return Control->Perform(SM_ZORVIKCMD, SkinCommandWParam(SubCommand, Flag), LParam);
}

bool ControlHandlesCommand(TWinControl* Control, int SubCommand)
{
    if (Control == nullptr || Control->IsDestroying())
        return false;
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(SubCommand), 0, 0};
    Control->WindowProc(message);
    if (message.LParam == 1)
        return true;
    return Control->HandleAllocated() && SendSkinCommand(Control->Handle(), SubCommand, 0) == 1;
}

bool WindowHandlesCommand(HWND Wnd, int SubCommand)
{
    return SendSkinCommand(Wnd, SubCommand, 0) == 1;
}

void AnnounceToForm(TControl* Control)
{
    if (Control == nullptr || Control->IsDesigning())
        return;
    if (TCustomForm* form = GetParentForm(Control); form != nullptr && form != Control)
        SendControlCommand(form, scmAdaptControl, reinterpret_cast<LPARAM>(Control));
}

void RepaintChildControls(TWinControl* Control)
{
    try {
        for (int i = 0; i < Control->ControlCount(); ++i) {
            TControl* child = Control->Controls(i);
            if (!IsWindowed(child) || child->IsDestroying())
                continue;
            auto* windowed = static_cast<TWinControl*>(child);
            if (windowed->HandleAllocated())
                SendSkinCommand(windowed->Handle(), scmFinishUpdate, 0);
            else
                SendControlCommand(child, scmFinishUpdate, 0);
        }
    } catch (const Exception&) {
        // A child that fails to repaint ends the walk; the others repaint
        // on their own next paint.
    }
}

void RepaintChildWindows(HWND Wnd)
{
    for (HWND child = GetTopWindow(Wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) != 0)
            SendSkinCommand(child, scmFinishUpdate, 0);
}

void BroadcastToChildControls(TWinControl* Control, TMessage& Message)
{
    // The bound is read again on each step: a receiver may add or free children.
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* child = Control->Controls(i);
        if (child->IsDestroying())
            continue;
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (windowed == nullptr) {
            child->Perform(Message.Msg, Message.WParam, Message.LParam);
            continue;
        }
        if (ControlHandlesCommand(windowed, scmIsSkinned)) {
            try {
                SendMessageW(windowed->Handle(), Message.Msg, Message.WParam, Message.LParam);
            } catch (const Exception&) {
                // One child's failure does not keep the message from the others.
            }
            continue;
        }
        BroadcastToChildControls(windowed, Message);
    }
}

void QueryControlColor(TWinControl* Control)
{
    ExchangeColor = clFuchsia;
    if (Control->HandleAllocated())
        SendSkinCommand(Control->Handle(), scmGetBgColor, 0);
    if (ExchangeColor == clFuchsia)
        ExchangeColor = Control->Color();
    ExchangeColor = static_cast<TColor>(ColorToRGB(ExchangeColor));
}

void PaintControlTree(TBitmap* Bmp, TControl* Control)
{
    HDC dc = Bmp->Canvas()->Handle();
    const TSavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, Control->Width(), Control->Height());
    PaintTreeInto(dc, Control, true);
}

namespace {

bool Paintable(TControl* Child, HDC DC)
{
    if (IsWindowed(Child) || !(Child->Visible() || Child->IsDesigning()) || Child->IsDestroying())
        return false;
    if (Child->Width() < 1 && Child->Height() < 1)
        return false;
    if (auto* button = dynamic_cast<TToolButton*>(Child);
        button != nullptr && button->Style() != tbsSeparator && button->Style() != tbsDivider)
        return false;
    const TRect bounds = Child->BoundsRect();
    return RectVisible(DC, &bounds) && RectWidth(bounds) > 0 && RectHeight(bounds) > 0;
}

}   // namespace

void PaintGraphicControls(HDC DC, TWinControl* Form, TPoint Offset)
{
    if (Form == nullptr || !(Form->Visible() || Form->IsDesigning()) || Form->ControlCount() == 0)
        return;
    RECT clip;
    if (GetClipBox(DC, &clip) == NULLREGION || IsRectEmpty(&clip)) {
        SendControlCommand(Form, scmSetHalfVisible, 0);
        return;
    }
    ExchangeCache.Ready = false;
    SendControlCommand(Form, scmGetCache, 0);
    if (!ExchangeCache.Ready || ExchangeCache.Bmp == nullptr)
        return;
    const TCacheInfo cache = ExchangeCache;
    const bool mdiParent = MdiClientOf(Form) != nullptr;
    std::unique_ptr<TBitmap> memory;
    std::vector<TControl*> painted;
    for (int i = 0; i < Form->ControlCount(); ++i) {
        TControl* child = Form->Controls(i);
        if (!Paintable(child, DC))
            continue;
        if (mdiParent && child->Align() != alNone) {
            SendControlCommand(Form, scmSetPaintingChild, reinterpret_cast<LPARAM>(child));
            child->Repaint();
            SendControlCommand(Form, scmSetPaintingChild, 0);
        }
        if (!memory) {
            memory = std::make_unique<TBitmap>(Form->Width(), Form->Height(), TPixelFormat::pf24bit);
            HDC mem = memory->Canvas()->Handle();
            for (int j = 0; j < Form->ControlCount(); ++j) {
                TControl* other = Form->Controls(j);
                if (!Paintable(other, DC))
                    continue;
                const TRect r = other->BoundsRect();
                if ((other->ControlStyle & csOpaque) != 0) {
                    HBRUSH brush = CreateSolidBrush(ColorToRGB(other->Color()));
                    FillRect(mem, &r, brush);
                    DeleteObject(brush);
                } else {
                    BitBlt(mem, r.left, r.top, RectWidth(r), RectHeight(r), cache.Bmp->Canvas()->Handle(),
                           r.left + cache.X, r.top + cache.Y, SRCCOPY);
                }
            }
        }
        HDC mem = memory->Canvas()->Handle();
        {
            const TSavedDC saved(mem);
            HdcMoveOrigin(mem, child->Left(), child->Top());
            IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
            child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        }
        painted.push_back(child);
    }
    if (memory) {
        HDC mem = memory->Canvas()->Handle();
        for (TControl* child : painted) {
            // A child whose top-left pixel is the transparent colour paints nothing of its own.
            if (GetPixel(mem, child->Left(), child->Top()) == static_cast<COLORREF>(clFuchsia))
                continue;
            BitBlt(DC, child->Left() + Offset.x, child->Top() + Offset.y, child->Width(), child->Height(), mem,
                   child->Left(), child->Top(), SRCCOPY);
        }
    }
    ExchangeCache.Ready = false;
}

bool ControlIsReady(TControl* Control)
{
    if (Control == nullptr)
        return false;
    if (auto* windowed = dynamic_cast<TWinControl*>(Control); windowed != nullptr && !windowed->HandleAllocated())
        return false;
    const unsigned state = Control->ComponentState();
    if ((Control->ControlState() & csCreating) != 0 || (state & (csReading | csLoading | csDestroying)) != 0)
        return false;
    return Control->Parent() != nullptr;
}

TCustomForm* GetOwnerForm(TComponent* Component)
{
    for (TComponent* c = Component; c != nullptr; c = c->Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

UINT TextAlignFlags(TControl* Control, TAlignment Alignment)
{
    (void)Control;   // the framework draws left to right only
    static constexpr UINT Flags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    return Flags[Alignment] | DT_VCENTER | DT_EXPANDTABS;
}

void GetClientRectInWindow(HWND Wnd, TRect& R)
{
    RECT window;
    GetWindowRect(Wnd, &window);
    GetClientRect(Wnd, &R);
    POINT origin{0, 0};
    ClientToScreen(Wnd, &origin);
    OffsetRect(&R, origin.x - window.left, origin.y - window.top);
}

int AlignedControlsSize(TWinControl* Control, TAlign Alignment, bool IncludeWindowless)
{
    int size = 0;
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* child = Control->Controls(i);
        if (!child->Visible() || child->Align() != Alignment || (!IncludeWindowless && !IsWindowed(child)))
            continue;
        if (Alignment == alTop || Alignment == alBottom)
            size += child->Height();
        else if (Alignment == alLeft || Alignment == alRight)
            size += child->Width();
    }
    return size;
}

void GetWorkArea(TRect& R)
{
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &R, 0);
}
