#include "framework/ToolBar.h"

#include <commctrl.h>

#include "framework/Codepage.h"
#include "framework/CommonControls.h"
#include "framework/ImageList.h"

namespace {

UINT NewButtonCommand()
{
    static UINT next = 0x100;
    return ++next;
}

BYTE ButtonStyle(TToolButtonStyle Style)
{
    switch (Style) {
    case tbsCheck: return BTNS_CHECK;
    case tbsSeparator:
    case tbsDivider: return BTNS_SEP;
    default: return BTNS_BUTTON;
    }
}

} // namespace

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner), FCommand(NewButtonCommand())
{
    SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::Bar() const
{
    return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetParent(TWinControl* AParent)
{
    TToolBar* old = Bar();
    TGraphicControl::SetParent(AParent);
    if (old != nullptr)
        old->UpdateButtons();
    if (TToolBar* bar = Bar())
        bar->UpdateButtons();
}

void TToolButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    if (TToolBar* bar = Bar())
        bar->UpdateButtons();
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    FStyle = Value;
    if (TToolBar* bar = Bar())
        bar->UpdateButtons();
}

void TToolButton::SetDown(bool Value)
{
    FDown = Value;
    if (TToolBar* bar = Bar(); bar != nullptr && bar->HandleAllocated())
        SendMessageW(bar->Handle(), TB_CHECKBUTTON, FCommand, MAKELPARAM(Value ? TRUE : FALSE, 0));
}

void TToolButton::Click()
{
    TToolBar* bar = Bar();
    if (FStyle == tbsCheck && bar != nullptr && bar->HandleAllocated())
        FDown = SendMessageW(bar->Handle(), TB_ISBUTTONCHECKED, FCommand, 0) != 0;
    TGraphicControl::Click();
}

void TToolButton::VisibleChanged()
{
    if (TToolBar* bar = Bar())
        bar->UpdateButtons();
}

void TToolButton::EnabledChanged()
{
    if (TToolBar* bar = Bar(); bar != nullptr && bar->HandleAllocated())
        SendMessageW(bar->Handle(), TB_ENABLEBUTTON, FCommand, MAKELPARAM(EffectivelyEnabled() ? TRUE : FALSE, 0));
}

void TToolButton::TextChanged()
{
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = csAcceptsControls;
    FOwnsChildPainting = true;
    SetParentColor(true);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar()
{
    Destroying();
    SetImages(nullptr);
    DestroyHandle();
}

void TToolBar::CreateParams(TCreateParams& Params)
{
    InitCommonControlClasses(ICC_BAR_CLASSES);
    TWinControl::CreateParams(Params);
    Params.SysClassName = TOOLBARCLASSNAMEW;
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | WS_CLIPCHILDREN;
    if (Flat)
        Params.Style |= TBSTYLE_FLAT;
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    UpdateButtons();
}

void TToolBar::SetImages(TImageList* Value)
{
    if (FImages != nullptr)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    UpdateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        UpdateButtons();
    }
}

void TToolBar::SetButtonWidth(int Value)
{
    FButtonWidth = Value;
    UpdateButtons();
}

void TToolBar::SetButtonHeight(int Value)
{
    FButtonHeight = Value;
    UpdateButtons();
}

int TToolBar::ButtonCount() const
{
    int n = 0;
    for (int i = 0; i < ControlCount(); ++i)
        n += dynamic_cast<TToolButton*>(Controls(i)) != nullptr ? 1 : 0;
    return n;
}

TToolButton* TToolBar::Buttons(int Index) const
{
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b != nullptr && Index-- == 0)
            return b;
    return nullptr;
}

// Rebuilds the window's buttons from the tool buttons, in order.
void TToolBar::UpdateButtons()
{
    if (!HandleAllocated() || FUpdating || IsDestroying())
        return;
    FUpdating = true;
    HWND wnd = Handle();
    while (SendMessageW(wnd, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageW(wnd, TB_DELETEBUTTON, 0, 0);
    HIMAGELIST images = FImages != nullptr ? FImages->Handle() : nullptr;
    SendMessageW(wnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (FImages != nullptr)
        SendMessageW(wnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(FImages->Width(), FImages->Height()));
    SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        TBBUTTON button{};
        button.iBitmap = b->FStyle == tbsSeparator || b->FStyle == tbsDivider ? 6 : b->FImageIndex;
        button.idCommand = static_cast<int>(b->FCommand);
        button.fsStyle = ButtonStyle(b->FStyle);
        button.fsState = static_cast<BYTE>((b->EffectivelyEnabled() ? TBSTATE_ENABLED : 0) |
                                           (b->Visible() ? 0 : TBSTATE_HIDDEN) | (b->FDown ? TBSTATE_CHECKED : 0));
        button.iString = -1;
        SendMessageW(wnd, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
    FUpdating = false;
    PlaceButtons();
}

// The tool buttons take the rectangles of their buttons in the window.
void TToolBar::PlaceButtons()
{
    HWND wnd = Handle();
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        RECT r{};
        const auto index = SendMessageW(wnd, TB_COMMANDTOINDEX, b->FCommand, 0);
        if (b->Visible() && SendMessageW(wnd, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
            b->SetBoundsRect(r);
    }
}

void TToolBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

void TToolBar::CNCommand(TMessage& Message)
{
    const UINT command = LOWORD(Message.WParam);
    for (int i = 0; i < ButtonCount(); ++i)
        if (Buttons(i)->FCommand == command)
            Buttons(i)->Click();
    Message.Result = 0;
}
