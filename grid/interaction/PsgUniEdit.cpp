// The Unicode edit, memo and edit with button.
#include "grid/interaction/PsgUniControls.h"

#include <algorithm>

#include "framework/Codepage.h"
#include "grid/interaction/psgspin.h"

// ---------------------------------------------------------------------------
// TCustomUNIEdit

TCustomUNIEdit::TCustomUNIEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

TCustomUNIEdit::~TCustomUNIEdit()
{
    Destroying();
    DestroyHandle();
}

WideString TCustomUNIEdit::Text()
{
    return GetWideText(this);
}

void TCustomUNIEdit::SetText(const WideString& Value)
{
    SetWideText(this, Value);
}

// 8-bit text set while there is no window replaces the wide text too.
void TCustomUNIEdit::SetTextBuf(const String& Value)
{
    TCustomEdit::SetTextBuf(Value);
    if (!HandleAllocated())
        FindCaptionHolder(this, WideString())->Caption = StrToWide(Value);
}

void TCustomUNIEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    RestoreWideCaption(this);
}

void TCustomUNIEdit::DestroyWnd()
{
    SaveWideCaption(this);
    TCustomEdit::DestroyWnd();
}

void TCustomUNIEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CHAR: UnicodeCharMessage(this, Message, [this](TMessage& M) { DefaultHandler(M); }); break;
    case WM_IME_COMPOSITION:
        if (HandleImeComposition(Handle(), Message))
            Message.Result = 0;
        else
            TCustomEdit::WndProc(Message);
        break;
    default: TCustomEdit::WndProc(Message); break;
    }
}

// ---------------------------------------------------------------------------
// TPsgUniCustomMemo

TPsgUniCustomMemo::TPsgUniCustomMemo(TComponent* AOwner) : TCustomUNIEdit(AOwner)
{
    SetBounds(0, 0, 200, 100);
}

void TPsgUniCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgUniCustomMemo::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgUniCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomUNIEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (FWordWrap)
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
}

void TPsgUniCustomMemo::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        TCustomUNIEdit::WndProc(Message);
        if (!FWantTabs)
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
        if (!FWantReturns)
            Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
        return;
    }
    TCustomUNIEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TPsgUniEditBtn

TPsgUniEditBtn::TPsgUniEditBtn(TComponent* AOwner) : TCustomUNIEdit(AOwner), FButton(new TPsgEditButton(this))
{
    FButton->SetBounds(0, 0, 18, 18);
    FButton->SetParent(this);
    FButton->FocusControl = this;
    FButton->OnClick = [this](TObject* Sender) { ClickBtn(Sender); };
}

TPsgUniEditBtn::~TPsgUniEditBtn()
{
    Destroying();
    DestroyHandle();
}

void TPsgUniEditBtn::ClickBtn(TObject* Sender)
{
    if (OnClickBtn)
        OnClickBtn(Sender);
}

void TPsgUniEditBtn::SetRightAlign(bool Value)
{
    if (Value == FRightAlign)
        return;
    FRightAlign = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TPsgUniEditBtn::SetButtonWidth(int Value)
{
    FButton->SetWidth(Value);
    Resize();
}

void TPsgUniEditBtn::SetIsWinXP(bool Value)
{
    FIsWinXP = Value;
    FButton->Button()->IsWinXP = Value;
    FButton->Button()->Invalidate();
}

void TPsgUniEditBtn::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
    Resize();
}

void TPsgUniEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomUNIEdit::KeyDown(Key, Shift);
    if (Key == VK_F4)
        ClickBtn(this);
}

// The box is one line: Enter and Ctrl+Enter insert no line break.
void TPsgUniEditBtn::KeyPress(char& Key)
{
    if (!EditorEnabled || Key == '\r' || Key == '\n') {
        Key = 0;
        return;
    }
    TCustomUNIEdit::KeyPress(Key);
}

void TPsgUniEditBtn::DoEnter()
{
    if (AutoSelect && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
    TCustomUNIEdit::DoEnter();
}

void TPsgUniEditBtn::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PASTE:
    case WM_CUT:
        if (EditorEnabled && !ReadOnly())
            TCustomUNIEdit::WndProc(Message);
        else
            Message.Result = 0;
        break;
    default: TCustomUNIEdit::WndProc(Message); break;
    }
}

void TPsgUniEditBtn::CreateParams(TCreateParams& Params)
{
    TCustomUNIEdit::CreateParams(Params);
    EditButtonParams(Params, FRightAlign ? ES_RIGHT : 0, FBorderStyle);
}

void TPsgUniEditBtn::CreateWnd()
{
    TCustomUNIEdit::CreateWnd();
    SetEditRect();
}

TRect TPsgUniEditBtn::FormattingRect() const
{
    const int inset = FBorderStyle == bsNone ? 2 : 1;
    return Rect(inset, inset, ClientWidth() - FButton->Width() - 3, ClientHeight() + 1);
}

void TPsgUniEditBtn::SetEditRect()
{
    if (!HandleAllocated())
        return;
    RECT r = FormattingRect();
    SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

int TPsgUniEditBtn::GetMinHeight()
{
    return EditLineHeight(Font());
}

void TPsgUniEditBtn::Resize()
{
    TCustomUNIEdit::Resize();
    if (PlaceEditButton(*this, *FButton, GetMinHeight(), Ctl3D, FBorderStyle))
        SetEditRect();
}
