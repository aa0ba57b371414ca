// The edit with a button, its button control and speed button, and the
// unit edit with its unit menu.
#include "grid/interaction/PSGEdit.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/Menus.h"
#include "visuals/ProXPVS.h"

#include <vssym32.h>
#include "grid/interaction/psgspin.h"

// ---------------------------------------------------------------------------
// TProSpeedButton

TProSpeedButton::TProSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TProSpeedButton::~TProSpeedButton()
{
    Destroying();
}

bool TProSpeedButton::PaintThemed(const TRect& R)
{
    if (!IsWinXP || !ThemesAvailable() || Parent() == nullptr)
        return false;
    HTHEME theme = ThemeApi().OpenThemeData(Parent()->Handle(), L"button");
    if (theme == nullptr)
        return false;
    const int state = FState == bsDown || FState == bsExclusive ? PBS_PRESSED : MouseInside() ? PBS_HOT : PBS_NORMAL;
    ThemeApi().DrawThemeBackground(theme, Canvas()->Handle(), BP_PUSHBUTTON, state, &R, nullptr);
    ThemeApi().CloseThemeData(theme);
    return true;
}

void TProSpeedButton::Paint()
{
    Canvas()->Font()->Assign(Font());
    TRect r = ClientRect();
    const bool down = FState == bsDown || FState == bsExclusive;
    if (!PaintThemed(r)) {
        if (Flat()) {
            Canvas()->Brush()->SetColor(clBtnFace);
            Canvas()->FillRect(r);
            DrawEdge(Canvas()->Handle(), &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_SOFT);
            InflateRect(&r, -1, -1);
        } else {
            DrawFrameControl(Canvas()->Handle(), &r, DFC_BUTTON,
                             DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0));
        }
    }
    const int offset = down ? 1 : 0;
    DrawGlyph(Canvas(), ClientRect(), offset);
    const String caption = Caption();
    if (!caption.empty()) {
        TRect t = ClientRect();
        OffsetRect(&t, offset, offset);
        SetBkMode(Canvas()->Handle(), TRANSPARENT);
        Canvas()->DrawTextRect(caption, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// ---------------------------------------------------------------------------
// TPsgEditButton

TPsgEditButton::TPsgEditButton(TComponent* AOwner) : TWinControl(AOwner), FButton(new TProSpeedButton(this))
{
    ControlStyle = (ControlStyle & ~(csAcceptsControls | csSetCaption)) | csOpaque;
    SetColor(clBtnFace);
    FButton->SetParent(this);
    FButton->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ButtonMouseUp(Sender, Button, Shift, X, Y);
    };
    SetBounds(0, 0, 20, 25);
}

TPsgEditButton::~TPsgEditButton()
{
    Destroying();
    DestroyHandle();
}

void TPsgEditButton::SetFlat(bool Value)
{
    FFlat = Value;
    FButton->SetFlat(Value);
}

void TPsgEditButton::Resize()
{
    TWinControl::Resize();
    if (!IsLoading())
        FButton->SetBounds(0, 0, Width(), Height());
}

// A left release over the speed button clicks the button control, then the
// focus goes to FocusControl (or this control) unless it is there already.
void TPsgEditButton::ButtonMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    const TRect client = FButton->ClientRect();
    if (Button != mbLeft || !PtInRect(&client, Point(X, Y)))
        return;
    if (OnClick)
        OnClick(this);
    if (FocusControl != nullptr && FocusControl->TabStop() && FocusControl->CanFocus() && !FocusControl->Focused())
        FocusControl->SetFocus();
    else if (TabStop() && CanFocus() && !Focused())
        SetFocus();
}

// ---------------------------------------------------------------------------
// TPsgEditBtn

TPsgEditBtn::TPsgEditBtn(TComponent* AOwner) : TPsgEditBtnOf<TCustomEdit>(AOwner)
{
    SetText("0");
}

TPsgEditBtn::~TPsgEditBtn() = default;

// ---------------------------------------------------------------------------
// TPsgUnitEditBtn

TPsgUnitEditBtn::TPsgUnitEditBtn(TComponent* AOwner) : TPsgEditBtn(AOwner), FUnits(std::make_unique<TStringList>())
{
    FUnitSpace = 20;
    SetRightAlign(true);
}

TPsgUnitEditBtn::~TPsgUnitEditBtn()
{
    Destroying();
    DestroyHandle();
}

void TPsgUnitEditBtn::SetUnits(const TStrings* Value)
{
    if (Value != nullptr)
        FUnits->Assign(Value);
}

void TPsgUnitEditBtn::SetUnitID(const String& Value)
{
    FUnitID = Value;
    Invalidate();
}

void TPsgUnitEditBtn::SetUnitSpace(int Value)
{
    FUnitSpace = Value;
    SetEditRect();
    Invalidate();
}

void TPsgUnitEditBtn::ClickBtn(TObject*)
{
    ShowUnitMenu();
}

// One entry per unit with the commands 1 to n; the chosen entry comes back
// to the edit as a command message, as a menu's choice does.
void TPsgUnitEditBtn::ShowUnitMenu()
{
    TPopupMenu menu(nullptr);
    for (int i = 0; i < FUnits->Count(); ++i) {
        auto* item = new TMenuItem(&menu);
        item->Caption = FUnits->Strings(i);
        const int command = i + 1;
        item->OnClick = [this, command](TObject*) { Perform(WM_COMMAND, MAKEWPARAM(command, 0), 0); };
        menu.Items()->Add(item);
    }
    const TPoint p = ClientToScreen(Point(ClientWidth() - 15, ClientHeight()));
    menu.Popup(p.x, p.y);
}

void TPsgUnitEditBtn::WMCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == 0x300) {
        TPsgEditBtn::WndProc(Message);
        return;
    }
    const int number = LOWORD(Message.WParam);
    if (number >= 1 && number <= FUnits->Count())
        SetUnitID(FUnits->Strings(number - 1));
    Message.Result = 0;
}

void TPsgUnitEditBtn::DrawUnit()
{
    if (!HandleAllocated() || FUnitID.empty())
        return;
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    const int right = ClientWidth() - Button()->Width() - 3;
    RECT r{right - FUnitSpace, 2, right, ClientHeight()};
    const WideString text = StrToWide(FUnitID);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_EDITCONTROL | DT_LEFT | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);
}

void TPsgUnitEditBtn::WMPaint(TMessage& Message)
{
    TPsgEditBtn::WndProc(Message);
    DrawUnit();
}

void TPsgUnitEditBtn::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND: WMCommand(Message); break;
    case WM_PAINT: WMPaint(Message); break;
    default: TPsgEditBtn::WndProc(Message); break;
    }
}
