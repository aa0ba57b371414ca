#include "framework/GraphicControl.h"

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    ControlStyle = csClickEvents | csDoubleClicks | csCaptureMouse;
}

TGraphicControl::~TGraphicControl()
{
    Destroying();
}

void TGraphicControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    // A picture of the control: painted like WM_PAINT into the DC given.
    case WM_PRINT:
    case WM_PRINTCLIENT: WMPaint(Message); break;
    default: TControl::WndProc(Message); break;
    }
}

// The parent sends WM_PAINT with its DC, already moved to this control.
void TGraphicControl::WMPaint(TMessage& Message)
{
    if (Message.WParam == 0)
        return;
    FCanvas->SetHandle(reinterpret_cast<HDC>(Message.WParam));
    try {
        FCanvas->Font()->Assign(Font());
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TGraphicControl::Paint()
{
}
