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
