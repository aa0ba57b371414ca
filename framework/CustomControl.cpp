#include "framework/CustomControl.h"

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    ControlStyle = csAcceptsControls | csClickEvents | csDoubleClicks | csCaptureMouse;
}

TCustomControl::~TCustomControl()
{
    Destroying();
}

void TCustomControl::PaintWindow(HDC DC)
{
    FCanvas->SetHandle(DC);
    try {
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->SetColor(Color());
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        throw;
    }
    FCanvas->SetHandle(nullptr);
}

void TCustomControl::Paint()
{
}
