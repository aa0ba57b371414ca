#include "office/ShortCutHintWindow.h"

#include "framework/Codepage.h"
#include "office/OfficeColors.h"

TShortCutHintWindow::TShortCutHintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
    SetParentFont(false);
}

void TShortCutHintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    // A hint: a top-most pop-up of its own, without border or drop shadow.
    Params.Style = (Params.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.ClassStyle &= ~static_cast<UINT>(CS_DROPSHADOW);
    Params.WndParent = nullptr;
    Params.Menu = nullptr;   // a pop-up has no child identifier
}

int TShortCutHintWindow::MinimumWidth()
{
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    SIZE S{};
    GetTextExtentPoint32W(DC, L"O", 1, &S);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return S.cx + 8;
}

void TShortCutHintWindow::Resize()
{
    TCustomControl::Resize();
    const int Min = MinimumWidth();
    if (Width() < Min)
        SetWidth(Min);
}

void TShortCutHintWindow::Paint()
{
    TCanvas* C = Canvas();
    const TRect R = ClientRect();
    DrawGradient(C, FColor, FColorTo, false, R, 16);
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    TRect T = R;
    C->DrawTextRect(Caption(), T, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    C->Pen()->SetColor(0x808080);
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    C->RoundRect(R.left, R.top, R.right, R.bottom, 3, 3);
}

void TShortCutHintWindow::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; break;
    default: TCustomControl::WndProc(Message); break;
    }
}
