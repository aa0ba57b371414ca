// TProInplaceEdit: filters, limits, clipboard guards, lookup completion and
// the validation on leaving, over the grid base's in-place edit.
#include "grid/interaction/ProInplaceEdit.h"

#include "framework/Codepage.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/GridTextUtils.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

namespace {

bool KeyHeld(int VKey) { return GetKeyState(VKey) < 0; }

bool IsDefaultCaseType(TEditorType T)
{
    return T == edNormal || T == edCapital || T == edMixedCase || T == edLowerCase || T == edUpperCase;
}

wchar_t UnitOf(char C)
{
    wchar_t W = 0;
    ByteToWide(C, W);
    return W;
}

// One character upper- or lower-cased whole; characters without a case
// (among them every double-byte character) stay as they are.
wchar_t CaseOf(wchar_t Ch, bool Upper)
{
    wchar_t Buf[2] = {Ch, 0};
    if (Upper)
        CharUpperBuffW(Buf, 1);
    else
        CharLowerBuffW(Buf, 1);
    return Buf[0];
}

} // namespace

TProInplaceEdit::TProInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {}

TProStringGrid* TProInplaceEdit::ProGrid() const { return dynamic_cast<TProStringGrid*>(Grid()); }

void TProInplaceEdit::SetVAlign(bool Value)
{
    if (Value == FVAlign)
        return;
    FVAlign = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TProInplaceEdit::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TProInplaceEdit::CreateParams(TCreateParams& Params)
{
    TInplaceEdit::CreateParams(Params);
    TProStringGrid* G = ProGrid();
    if (G != nullptr)
        FWordWrap = G->WordWrap();
    if (FVAlign)
        Params.Style |= ES_RIGHT;
    if (G != nullptr && G->EditState().InUse == edPassword)
        Params.Style = (Params.Style | ES_PASSWORD) & ~static_cast<DWORD>(ES_MULTILINE);
    if (FWordWrap)
        Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_WANTRETURN;
    FLookupAllowed = true;
}

void TProInplaceEdit::CreateWnd()
{
    TInplaceEdit::CreateWnd();
    TProStringGrid* G = ProGrid();
    if (G == nullptr)
        return;
    if (G->EditState().InUse == edPassword)
        SendMessageW(Handle(), EM_SETPASSWORDCHAR, UnitOf(G->PasswordChar), 0);
    LengthLimit = G->MaxEditLength;
}

void TProInplaceEdit::UpdateContents()
{
    TProStringGrid* G = ProGrid();
    // The password style only comes with a new window.
    if (G != nullptr && HandleAllocated()) {
        const bool Password = (GetWindowLongW(Handle(), GWL_STYLE) & ES_PASSWORD) != 0;
        if (Password != (G->EditState().InUse == edPassword))
            RecreateWnd();
    }
    TInplaceEdit::UpdateContents();
    if (G == nullptr)
        return;
    LengthLimit = G->MaxEditLength;
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush Brush;
    TFont CellFont;
    Brush.SetColor(G->Color());
    CellFont.Assign(G->Font());
    G->ResolveCellColors(G->Col(), G->Row(), State, false, false, true, &Brush, &CellFont, Colors);
    SetColor(Brush.Color());
    Font()->Assign(&CellFont);
    FEditCol = G->Col();
    FEditRow = G->Row();
    if (G->OnGetEditorProp)
        G->OnGetEditorProp(G, G->Col(), G->Row(), nullptr);
}

void TProInplaceEdit::UpdateLoc(const TRect& Loc)
{
    TProStringGrid* G = ProGrid();
    if (G == nullptr) {
        TInplaceEdit::UpdateLoc(Loc);
        return;
    }
    TRect R = G->MergedCellRect(G->Col(), G->Row());
    if (R.right <= R.left)
        R = Loc;
    // A mirrored grid has the cell's line at its left edge: the edit starts right of it.
    SetBounds(R.left + (G->UseRightToLeftAlignment() ? 1 : 0), R.top, RectWidth(R) - 1, RectHeight(R) - 1);
    if (HandleAllocated()) {
        RECT F{2, 2, RectWidth(R) - 1 - 2, RectHeight(R) - 1};
        SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&F));
    }
}

void TProInplaceEdit::Change()
{
    TInplaceEdit::Change();
    TProStringGrid* G = ProGrid();
    if (G != nullptr && !G->EditState().Loading && G->OnEditChange)
        G->OnEditChange(G, G->Col(), G->Row(), Text());
}

int TProInplaceEdit::CaretPos()
{
    DWORD S = 0;
    DWORD E = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
    return static_cast<int>(E);
}

int TProInplaceEdit::TextLength() { return static_cast<int>(GetWindowTextLengthW(Handle())); }

WideString TProInplaceEdit::SelectedWide()
{
    const WideString W = StrToWide(Text());
    const int S = SelStart();
    const int L = SelLength();
    if (S < 0 || L <= 0 || static_cast<std::size_t>(S) >= W.size())
        return WideString();
    return W.substr(static_cast<std::size_t>(S), static_cast<std::size_t>(L));
}

WideString TProInplaceEdit::MergePastedText(const WideString& Pasted, int& SelStartAfter, int& SelLenAfter)
{
    WideString W = StrToWide(Text());
    const auto S = static_cast<std::size_t>(std::max(0, SelStart()));
    const auto L = static_cast<std::size_t>(std::max(0, SelLength()));
    const std::size_t At = std::min(S, W.size());
    W.replace(At, std::min(L, W.size() - At), Pasted);
    if (L > 0) {
        SelStartAfter = static_cast<int>(At);
        SelLenAfter = static_cast<int>(Pasted.size());
    } else {
        SelStartAfter = static_cast<int>(At + Pasted.size());
        SelLenAfter = 0;
    }
    return W;
}

UINT CaretToMouseMessage()
{
    static const UINT Msg = RegisterWindowMessageW(L"ProGridCaretToMouse");
    return Msg;
}

int CharUnderMouse(HWND Field, HWND Bounds)
{
    POINT P{};
    RECT R{};
    GetCursorPos(&P);
    GetWindowRect(Bounds, &R);
    if (!PtInRect(&R, P))
        return -1;
    ::ScreenToClient(Field, &P);
    const LRESULT Hit = SendMessageW(Field, EM_CHARFROMPOS, 0, MAKELPARAM(P.x, P.y));
    return Hit == -1 ? -1 : LOWORD(Hit);
}

void TProInplaceEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == CaretToMouseMessage()) {
        const int At = CharUnderMouse(Handle(), Handle());
        if (At >= 0)
            SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(At), At);
        return;
    }
    switch (Message.Msg) {
    case WM_COPY:
    case WM_CUT: WMClipboard(Message); break;
    case WM_PASTE: WMPaste(Message); break;
    case WM_CHAR: WMChar(Message); break;
    case WM_KEYUP: WMKeyUp(Message); break;
    case WM_KEYDOWN:
        // The grid sees each key message first, before the key handling.
        if (TProStringGrid* G = ProGrid())
            G->EditorMessageHook(Message);
        TInplaceEdit::WndProc(Message);
        break;
    case WM_LBUTTONDBLCLK:
        TInplaceEdit::WndProc(Message);
        if (TProStringGrid* G = ProGrid(); G != nullptr && G->OnDblClickCell)
            G->OnDblClickCell(G, G->Row(), G->Col());
        break;
    case WM_SETFOCUS: WMSetFocus(Message); break;
    case WM_KILLFOCUS: WMKillFocus(Message); break;
    default: TInplaceEdit::WndProc(Message); break;
    }
}

void TProInplaceEdit::WMClipboard(TMessage& Message)
{
    TProStringGrid* G = ProGrid();
    bool Allow = true;
    if (G != nullptr) {
        const TClipboardEvent& E = Message.Msg == WM_COPY ? G->OnClipboardCopy : G->OnClipboardCut;
        if (E)
            E(this, Allow);
    }
    if (Allow)
        TInplaceEdit::WndProc(Message);
    else
        Message.Result = 0;
}

// The clipboard's text goes through the grid's paste events (which may change
// it) and the editor type's filter; whatever the filter did, the cell then
// holds the edit's text.
void TProInplaceEdit::WMPaste(TMessage& Message)
{
    Message.Result = 0;
    TProStringGrid* G = ProGrid();
    String Value;
    if (G == nullptr || !G->EditorPasteText(this, Value))
        return;
    const WideString Pasted = StrToWide(Value);
    if (LengthLimit > 0 && static_cast<int>(Pasted.size()) > LengthLimit)
        return;
    int NewStart = 0;
    int NewLen = 0;
    const WideString Merged = MergePastedText(Pasted, NewStart, NewLen);
    if (LengthLimit > 0 && static_cast<int>(Merged.size()) > LengthLimit)
        return;
    const String M = WideToStr(Merged);
    String Result;
    bool Take = true;
    switch (G->EditState().InUse) {
    case edNumeric:
    case edPositiveNumeric: Take = ClassifyNumberText(M) == ntInteger; Result = M; break;
    case edFloat: {
        const Integer K = ClassifyNumberText(M);
        Take = K == ntInteger || K == ntDecimal;
        Result = M;
        break;
    }
    case edMixedCase: Result = CapitalizeName(M); break;
    case edLowerCase: Result = LowerCase(M); break;
    case edUpperCase: Result = UpperCase(M); break;
    default: Result = M; break;
    }
    if (Take)
        SetText(Result);
    G->SetCurrentEditText(Text());
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(NewStart), NewStart + NewLen);
}

void TProInplaceEdit::WMChar(TMessage& Message)
{
    TProStringGrid* G = ProGrid();
    auto Ch = static_cast<wchar_t>(Message.WParam);
    if (G == nullptr) {
        TInplaceEdit::WndProc(Message);
        return;
    }
    const TFormatSettings& F = FormatSettings();
    if (G->ExcelStyleDecimalSeparator && Ch == L'.' && (Message.LParam & (1 << 24)) != 0)
        Ch = UnitOf(F.DecimalSeparator);
    if (Ch == 10 && KeyHeld(VK_CONTROL) && !G->Navigation()->AllowCtrlEnter) {
        Message.Result = 1;
        return;
    }
    if (LengthLimit > 0 && TextLength() >= LengthLimit && SelLength() == 0 && Ch != 8 && Ch != 27 && Ch != 13) {
        Message.Result = 0;
        return;
    }
    if (Ch == 13 && G->Navigation()->LineFeedOnEnter && IsDefaultCaseType(G->EditState().InUse)) {
        DefaultHandler(Message);
        return;
    }
    const bool Mixed = G->EditState().InUse == edMixedCase;
    const int CaretBefore = CaretPos();
    if (!FilterChar(Ch)) {
        Message.Result = 0;
        return;
    }
    Message.WParam = Ch;
    TInplaceEdit::WndProc(Message);
    if (Mixed && Ch >= 32) {
        const String Capitalized = CapitalizeName(Text());
        if (Capitalized != Text()) {
            SetText(Capitalized);
            SetSelStart(CaretBefore + 1);
        }
    }
}

// The character filter of the editor type: false drops the character
// (after a beep where the type asks for one).
bool TProInplaceEdit::FilterChar(wchar_t& Ch)
{
    TProStringGrid* G = ProGrid();
    const TFormatSettings& F = FormatSettings();
    const bool Control = Ch == 8 || Ch == 9 || Ch == 13 || Ch == 27;
    const bool Digit = Ch >= L'0' && Ch <= L'9';
    const String T = Text();
    switch (G->EditState().InUse) {
    case edNumeric:
        if (Control || Digit)
            return true;
        // The caret is the selection's start: a minus typed over a selected
        // number from its first digit replaces it.
        if (Ch == L'-' && T.find('-') == String::npos && SelStart() == 0)
            return true;
        MessageBeep(0);
        return false;
    case edPositiveNumeric:
        if (Control || Digit)
            return true;
        MessageBeep(0);
        return false;
    case edFloat: {
        if (Control || Digit)
            return true;
        const WideString Sel = SelectedWide();
        if (Ch == UnitOf(F.DecimalSeparator))
            return T.find(F.DecimalSeparator) == String::npos || Sel.find(Ch) != WideString::npos;
        if (Ch == UnitOf(F.ThousandSeparator) || Ch == L',' || Ch == L'.')
            return false;
        if (Ch == L'-') {
            if (Sel.find(L'-') != WideString::npos || (SelStart() == 0 && T.find('-') == String::npos))
                return true;
            MessageBeep(0);
            return false;
        }
        return KeyHeld(VK_CONTROL);
    }
    case edCapital:
    case edUpperCase: Ch = CaseOf(Ch, true); return true;
    case edLowerCase: Ch = CaseOf(Ch, false); return true;
    default: return true;
    }
}

// Writes the text to the current cell under the validation guard, then
// validates it as the value of the edited cell.
bool TProInplaceEdit::WriteAndValidate()
{
    TProStringGrid* G = ProGrid();
    const bool Guard = G->EditState().Validating;
    G->EditState().Validating = true;
    G->SetCurrentCellText(Text());
    G->EditState().Validating = Guard;
    return G->ValidateCell(Text());
}

// A refused value: the edited cell's text comes back into the edit.
void TProInplaceEdit::RestoreAfterRefusal()
{
    TProStringGrid* G = ProGrid();
    const String Raw = G->EditState().EditRaw;
    SetText(Raw);
    if (G->Navigation()->EditSelectAll)
        SelectAll();
    else
        Deselect();
    Invalidate();
}

void TProInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TProStringGrid* G = ProGrid();
    if (G == nullptr || !HandleAllocated()) {
        TInplaceEdit::KeyDown(Key, Shift);
        return;
    }
    TNavigation* Nav = G->Navigation();
    TGridEditState& S = G->EditState();
    const bool Ctrl = (Shift & ssCtrl) != 0;
    FCaretAtKeyMsg = CaretPos();
    FWalked = false;
    switch (Key) {
    case VK_ESCAPE:
        SetText(S.TextBefore);
        G->EndCellEdit();
        break;
    case VK_RETURN:
        if (Ctrl && !Nav->AllowCtrlEnter) {
            Key = 0;
            return;
        }
        if (!Nav->LineFeedOnEnter && !Ctrl) {
            if (!G->ValidateCell(Text())) {
                RestoreAfterRefusal();
                Key = 0;
                return;
            }
            SetText(G->GetCurrentCellText());
        }
        break;
    case VK_TAB:
        if (G->HasOption(goTabs)) {
            if (G->ValidateCell(Text())) {
                SetText(G->GetCurrentCellText());
                G->EndCellEdit();
                G->TabNavigate((Shift & ssShift) != 0);
            } else {
                SetText(G->GetCurrentCellText());
                if (Nav->EditSelectAll)
                    SelectAll();
                else
                    Deselect();
            }
            Key = 0;
            return;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if ((Shift & ssShift) != 0 && Nav->CursorWalkEditor
            && ((Key == VK_LEFT && FCaretAtKeyMsg == 0) || (Key == VK_RIGHT && FCaretAtKeyMsg == TextLength()))) {
            if (WriteAndValidate()) {
                SetText(S.LastEditText);
                G->EndCellEdit();
                if (G->CanFocus())
                    G->SetFocus();
            } else {
                RestoreAfterRefusal();
            }
            Key = 0;
            return;
        }
        break;
    case VK_UP:
    case VK_DOWN: {
        const int CaretLine = static_cast<int>(SendMessageW(Handle(), EM_LINEFROMCHAR, FCaretAtKeyMsg, 0));
        const int EndLine = static_cast<int>(SendMessageW(Handle(), EM_LINEFROMCHAR, TextLength(), 0));
        const bool Leaves = Key == VK_UP ? CaretLine == 0 : CaretLine >= EndLine;
        if (!Leaves) {
            // Inside a multi-line text the caret moves and the edit stays.
            return;
        }
        if (!WriteAndValidate()) {
            RestoreAfterRefusal();
            Key = 0;
            return;
        }
        SetText(S.LastEditText);
        FWalked = true;
        break;
    }
    case VK_HOME:
        if ((Shift & (ssCtrl | ssShift)) == 0)
            SetSelStart(0);
        break;
    case VK_END:
        if ((Shift & (ssCtrl | ssShift)) == 0)
            SetSelStart(TextLength());
        break;
    default: break;
    }
    FCaretAtKeyStep = CaretPos();
    if (Key == VK_BACK || Key == VK_DELETE)
        FLookupAllowed = false;
    else
        FLookupAllowed = true;
    if (Key == VK_RETURN && !Nav->AllowCtrlEnter)
        S.Started = false;
    if (Key == VK_RETURN && (Shift & (ssCtrl | ssShift)) != 0 && G->SizeWhileTyping.Height && G->Multilinecells) {
        G->SizeRowForNewLine(Text());
        if (G->OnEndRowSize)
            G->OnEndRowSize(G, G->Row());
    }
    G->EditorKeyDownHook(Key, Shift);
    if (Key == VK_RETURN && Ctrl && Nav->LineFeedOnEnter) {
        char Enter = '\r';
        TInplaceEdit::KeyPress(Enter);
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
    if (FWalked && G->MouseActions() != nullptr && G->MouseActions()->DisjunctRowSelect()) {
        G->ClearRowSelection();
        G->SetRowSelected(G->Row(), true);
    }
}

void TProInplaceEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TProStringGrid* G = ProGrid();
    if (G == nullptr) {
        TInplaceEdit::KeyUp(Key, Shift);
        return;
    }
    TNavigation* Nav = G->Navigation();
    const bool Plain = (Shift & (ssShift | ssCtrl | ssAlt)) == 0;
    if (Nav->CursorWalkEditor && Plain && SelLength() == 0
        && ((Key == VK_LEFT && FCaretAtKeyStep == 0 && CaretPos() == 0)
            || (Key == VK_RIGHT && FCaretAtKeyMsg == TextLength()))) {
        const bool Back = Key == VK_LEFT;
        Key = 0;
        if (G->WalkOntoClickControl(Back, Text()))
            return;
        if (!G->ValidateCell(Text()))
            return;
        G->EndCellEdit();
        const TAdvanceDirection Keep = Nav->AdvanceDirection();
        Nav->SetAdvanceDirection(adLeftRight);
        G->AdvanceAfterEdit(G->Col(), G->Row(), Nav->CursorWalkAlwaysEdit, true, Back);
        Nav->SetAdvanceDirection(Keep);
        return;
    }
    if (Key == VK_LEFT || Key == VK_RIGHT)
        return;
    TInplaceEdit::KeyUp(Key, Shift);
    LookupComplete();
    G->SizeCurrentCellWhileTyping();
}

// A character typed into the edit passes the grid's OnKeyPress first, as one
// typed on the grid does (the character that opened the edit already has).
void TProInplaceEdit::KeyPress(char& Key)
{
    TProStringGrid* G = ProGrid();
    if (G != nullptr && !G->EditState().ForwardingStart && G->OnKeyPress) {
        G->OnKeyPress(G, Key);
        if (Key == 0)
            return;
    }
    if (G != nullptr && Key == '\r' && !G->Navigation()->LineFeedOnEnter && G->EditState().Started) {
        if (!G->ValidateCell(Text())) {
            SetText(G->GetCurrentCellText());
            Key = 0;
            return;
        }
    }
    TInplaceEdit::KeyPress(Key);
}

bool TProInplaceEdit::WantsSpecialKey(Word Key)
{
    TProStringGrid* G = ProGrid();
    if (Key == VK_TAB && G != nullptr && G->HasOption(goTabs))
        return true;
    return TInplaceEdit::WantsSpecialKey(Key);
}

void TProInplaceEdit::WMKeyUp(TMessage& Message)
{
    TInplaceEdit::WndProc(Message);
    TProStringGrid* G = ProGrid();
    if (G == nullptr || !HandleAllocated())
        return;
    const int Caret = CaretPos();
    if (Caret > 0) {
        const LRESULT P = SendMessageW(Handle(), EM_POSFROMCHAR, static_cast<WPARAM>(Caret - 1), 0);
        G->EditorCaretHook(Text(), TPoint{static_cast<short>(LOWORD(P)), static_cast<short>(HIWORD(P))}, Caret);
    }
    const String T = Text();
    G->FormulaEditHook(!T.empty() && T[0] == '=');
}

void TProInplaceEdit::WMSetFocus(TMessage& Message)
{
    TInplaceEdit::WndProc(Message);
    TProStringGrid* G = ProGrid();
    if (G == nullptr)
        return;
    TGridEditState& S = G->EditState();
    S.Loading = false;
    if (!G->Navigation()->EditSelectAll)
        Deselect();
    // A click with CaretPositioning opened the edit: the caret goes to the
    // character under the mouse.
    if (S.CaretRequest && HandleAllocated()) {
        S.CaretRequest = false;
        PostMessageW(Handle(), CaretToMouseMessage(), 0, 0);
    }
}

void TProInplaceEdit::WMKillFocus(TMessage& Message)
{
    TProStringGrid* G = ProGrid();
    if (G == nullptr) {
        TInplaceEdit::WndProc(Message);
        return;
    }
    TGridEditState& S = G->EditState();
    S.StartKey = 0;
    const String T = Text();
    if (G->LookupHistory && !T.empty() && G->LookupItems()->IndexOf(T) < 0)
        G->LookupItems()->Add(T);
    G->FormulaEditHook(false);
    const int EditCol = FEditCol;
    const int EditRow = FEditRow;
    TInplaceEdit::WndProc(Message);
    const auto Target = reinterpret_cast<HWND>(Message.WParam);
    if (G->HandleAllocated() && Target != G->Handle()) {
        try {
            G->ValidateCell(T);
            S.Loading = true;
            SetText(G->GetCurrentCellText());
            S.Loading = false;
        } catch (...) {
            S.Loading = false;
            G->EndCellEdit();
            S.Started = false;
            S.Active = false;
            throw;
        }
        G->EndCellEdit();
        S.Started = false;
        S.Active = false;
    }
    G->EditorCaretHook(Text(), TPoint{-1, -1}, -1);
    G->NotifyEditDone(EditCol, EditRow);
}

void TProInplaceEdit::DoExit() { TInplaceEdit::DoExit(); }

void TProInplaceEdit::LookupComplete()
{
    TProStringGrid* G = ProGrid();
    if (G == nullptr || !FLookupAllowed || SelLength() != 0 || !G->Lookup || G->LookupItems()->Count() == 0)
        return;
    const WideString W = StrToWide(Text());
    const auto Caret = static_cast<std::size_t>(std::min<int>(CaretPos(), static_cast<int>(W.size())));
    if (Caret == 0)
        return;
    const String Typed = WideToStr(W.substr(0, Caret));
    const String Prefix = G->LookupCaseSensitive ? Typed : UpperCase(Typed);
    TStringList* Items = G->LookupItems();
    for (int i = 0; i < Items->Count(); ++i) {
        const String Item = Items->Strings(i);
        const String Cmp = G->LookupCaseSensitive ? Item : UpperCase(Item);
        if (Cmp.compare(0, Prefix.size(), Prefix) != 0)
            continue;
        const WideString ItemW = StrToWide(Item);
        WideString Completed = W.substr(0, Caret) + ItemW.substr(std::min(Caret, ItemW.size()));
        if (Completed.size() > 255)
            Completed.resize(255);
        SetText(WideToStr(Completed));
        SendMessageW(Handle(), EM_SETSEL, Caret, static_cast<LPARAM>(Completed.size()));
        return;
    }
}
