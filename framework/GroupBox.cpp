#include "framework/GroupBox.h"

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle = csAcceptsControls;
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.SysClassName = L"BUTTON";
    Params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

void TCustomGroupBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    default: TWinControl::WndProc(Message); break;
    }
}

// The system's group box leaves its inside to the parent's painting, as it
// is normally a sibling of the controls it frames; here it is their parent,
// so it fills its inside with its own colour.
void TCustomGroupBox::WMEraseBkgnd(TMessage& Message)
{
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(reinterpret_cast<HDC>(Message.WParam), &client, Brush()->Handle());
    Message.Result = 1;
}
