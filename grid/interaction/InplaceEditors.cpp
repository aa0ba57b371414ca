// The grid's special in-place editors: per class, the exit keys, the check
// before leaving, what Esc puts back, and the events they fire on the grid.
#include "grid/interaction/InplaceEditors.h"

#include <commctrl.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

TProStringGrid* EditorGridOf(TComponent* AOwner)
{
    auto* G = dynamic_cast<TProStringGrid*>(AOwner);
    if (G == nullptr)
        throw EInvalidCast("Invalid class typecast");
    return G;
}

namespace {

bool Held(int VKey) { return GetKeyState(VKey) < 0; }

double NumberOf(const String& S)
{
    String N;
    const char Dec = FormatSettings().DecimalSeparator;
    for (char C : S) {
        if ((C >= '0' && C <= '9') || C == '-')
            N += C;
        else if (C == Dec)
            N += '.';
    }
    try {
        return N.empty() ? 0.0 : std::stod(N);
    } catch (...) {
        return 0.0;
    }
}

} // namespace

// --- TGridSpin -------------------------------------------------------------------

TGridSpin::TGridSpin(TComponent* AOwner) : TGridEditorOf<TPsgSpinEdit>(AOwner)
{
    MaxValue = 100;
    MinValue = 0;
    Increment = 1;
}

bool TGridSpin::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE;
}

bool TGridSpin::CheckBeforeLeave()
{
    return AnsiCheck(Text(), [this](const String& S) { SetText(S); });
}

void TGridSpin::RestoreOnEsc()
{
    SetText(Grid->EditState().TextBefore);
    if (SpinType() == sptNormal)
        SetValue(static_cast<int>(NumberOf(Grid->EditState().TextBefore)));
    else if (SpinType() == sptFloat)
        SetFloatValue(NumberOf(Grid->EditState().TextBefore));
}

void TGridSpin::KeyDown(Word& Key, TShiftState Shift)
{
    if (Key == VK_HOME || Key == VK_END) {
        const bool Home = Key == VK_HOME;
        if (SpinType() == sptNormal)
            SetValue(Home ? MaxValue : MinValue);
        else if (SpinType() == sptFloat)
            SetFloatValue(Home ? MaxFloatValue : MinFloatValue);
        if (Grid->OnSpinClick)
            Grid->OnSpinClick(Grid, Grid->Col(), Grid->Row(), Value(), Home);
    }
    TGridEditorOf<TPsgSpinEdit>::KeyDown(Key, Shift);
}

void TGridSpin::UpButtonClick(TObject* Sender)
{
    TPsgSpinEdit::UpButtonClick(Sender);
    FireSpinEvent(true);
}

void TGridSpin::DownButtonClick(TObject* Sender)
{
    TPsgSpinEdit::DownButtonClick(Sender);
    FireSpinEvent(false);
}

void TGridSpin::FireSpinEvent(bool Up)
{
    const int C = Grid->Col();
    const int R = Grid->Row();
    switch (SpinType()) {
    case sptNormal:
        if (Grid->OnSpinClick)
            Grid->OnSpinClick(Grid, C, R, Value(), Up);
        break;
    case sptFloat:
        if (Grid->OnFloatSpinClick)
            Grid->OnFloatSpinClick(Grid, C, R, FloatValue(), Up);
        break;
    case sptDate:
        if (Grid->OnDateSpinClick)
            Grid->OnDateSpinClick(Grid, C, R, DateValue(), Up);
        break;
    default:
        if (Grid->OnTimeSpinClick)
            Grid->OnTimeSpinClick(Grid, C, R, TimeValue(), Up);
        break;
    }
}

void TGridSpin::Change()
{
    TPsgSpinEdit::Change();
    if (Grid->OnEditChange)
        Grid->OnEditChange(Grid, Grid->Col(), Grid->Row(), Text());
}

// --- TGridCombo ------------------------------------------------------------------

TGridCombo::TGridCombo(TComponent* AOwner) : TGridEditorOf<TPSGComboBox>(AOwner) { SetButtonWidth(16); }

bool TGridCombo::ListMode() const { return Style() == csDropDownList || DroppedDown(); }

bool TGridCombo::IsExitKey(Word Key, TShiftState Shift)
{
    if (ListMode())
        return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
    if (Key == VK_DOWN && (Shift & ssAlt) != 0)
        return false;
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
           || Key == VK_END || Key == VK_UP || Key == VK_DOWN;
}

void TGridCombo::KeyDown(Word& Key, TShiftState Shift)
{
    FLookupEnabled = Key != VK_BACK && Key != VK_DELETE;
    if (!IsExitKey(Key, Shift)) {
        TPSGComboBox::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        const String Cell = Grid->GetCurrentCellText();
        const int I = Items()->IndexOf(Cell);
        if (I >= 0)
            SetItemIndex(I);
        SetText(Cell);
    }
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        if (!AnsiCheck(Text(), [this](const String& S) { SetText(S); })) {
            Key = 0;
            return;
        }
        if (Key == VK_RETURN && Grid->Navigation()->AdvanceOnEnter) {
            Grid->EndCellEdit();
            if (Grid->CanFocus())
                Grid->SetFocus();
            Key = 0;
            Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), false, false, false);
            return;
        }
        if (Key == VK_TAB && Grid->HasOption(goTabs)) {
            Grid->EndCellEdit();
            if (Grid->CanFocus())
                Grid->SetFocus();
            Grid->TabNavigate((Shift & ssShift) != 0);
            Key = 0;
            return;
        }
    }
    const Word K = Key;
    Key = 0;
    if (ListMode()) {
        Grid->EndCellEdit();
        if (K == VK_LEFT || K == VK_RIGHT) {
            Word G = K;
            Grid->GridKeyDown(G, Shift);
            Grid->LeaveEditor(0, Shift);
        } else {
            Grid->LeaveEditor(K, Shift);
        }
        return;
    }
    Grid->LeaveEditor(K, Shift);
}

// Keys typed into the combo's edit field come to the combo's key handling
// first, as they do for the list style without an edit field.
namespace {

bool RouteChildKey(TWinControl* Combo, UINT Msg, WPARAM WParam, LRESULT& Result)
{
    switch (Msg) {
    case WM_KEYDOWN:
        if (Combo->DoKeyDown(static_cast<Word>(WParam), KeyboardShiftState())) {
            Result = 0;
            return true;
        }
        return false;
    case WM_KEYUP:
        if (Combo->DoKeyUp(static_cast<Word>(WParam), KeyboardShiftState())) {
            Result = 0;
            return true;
        }
        return false;
    case WM_GETDLGCODE:
        Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        return true;
    default: return false;
    }
}

} // namespace

LRESULT CALLBACK TGridCombo::EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR Ref)
{
    auto* Combo = reinterpret_cast<TGridCombo*>(Ref);
    LRESULT Result = 0;
    bool Handled = false;
    if (Msg == WM_CHAR && (WParam == '\r' || WParam == '\t' || WParam == 27))
        Handled = true;
    else
        Handled = GuardCallback([&] { return RouteChildKey(Combo, Msg, WParam, Result); }, false);
    if (Msg == WM_CHAR && !Handled) {
        Handled = GuardCallback([&] {
            char Key = WideToStr(WideString(1, static_cast<wchar_t>(WParam))).c_str()[0];
            return Combo->DoKeyPress(Key);
        }, false);
    }
    if (Handled)
        return Result;
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
}

void TGridCombo::CaretToEnd()
{
    const auto Length = static_cast<int>(GetWindowTextLengthW(Handle()));
    SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Length, Length));
}

void TGridCombo::CreateWnd()
{
    TPSGComboBox::CreateWnd();
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof Info;
    if (GetComboBoxInfo(Handle(), &Info) && Info.hwndItem != nullptr && Info.hwndItem != Handle())
        SetWindowSubclass(Info.hwndItem, &TGridCombo::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void TGridCombo::KeyPress(char& Key)
{
    if (Grid->OnKeyPress)
        Grid->OnKeyPress(this, Key);
    const int Before = ItemIndex();
    if (Key == '\r' || Key == '\t') {
        Key = 0;
        return;
    }
    TPSGComboBox::KeyPress(Key);
    if (ItemIndex() != Before && Grid->OnComboChange)
        Grid->OnComboChange(this, Grid->RealColIndex(Grid->Col()), Grid->Row(), ItemIndex(), Text());
}

void TGridCombo::KeyUp(Word& Key, TShiftState Shift)
{
    if (Key != VK_RETURN)
        TPSGComboBox::KeyUp(Key, Shift);
    LookupComplete();
}

// Type-ahead: the text before the caret completed by the first item that
// begins with it, then by the grid's lookup items.
void TGridCombo::LookupComplete()
{
    if (!FLookupEnabled || !Grid->Lookup || Style() == csDropDownList || !HandleAllocated())
        return;
    DWORD S = 0;
    DWORD E = 0;
    SendMessageW(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
    const WideString W = StrToWide(Text());
    const std::size_t Caret = std::min<std::size_t>(S, W.size());
    if (Caret == 0)
        return;
    const WideString TypedW = W.substr(0, Caret);
    const String Typed = WideToStr(TypedW);
    const bool Case = Grid->LookupCaseSensitive;
    const String Prefix = Case ? Typed : UpperCase(Typed);
    auto Try = [&](TStrings* List, bool Select) {
        for (int i = 0; i < List->Count(); ++i) {
            const String Item = List->Strings(i);
            const String Cmp = Case ? Item : UpperCase(Item);
            if (Cmp.compare(0, Prefix.size(), Prefix) != 0)
                continue;
            const WideString ItemW = StrToWide(Item);
            WideString Done = TypedW + ItemW.substr(std::min(Caret, ItemW.size()));
            if (Done.size() > 255)
                Done.resize(255);
            if (Select)
                SetItemIndex(i);
            SetText(WideToStr(Done));
            SendMessageW(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Caret, Done.size()));
            return true;
        }
        return false;
    };
    if (!Try(Items(), true))
        Try(Grid->LookupItems(), false);
}

void TGridCombo::AutoSizeDropWidth()
{
    int W = Width();
    TCanvas* C = Grid->Canvas();
    const bool Scrolls = Items()->Count() > DropDownCount();
    for (int i = 0; i < Items()->Count(); ++i) {
        const int Tw = C->TextWidth(Items()->Strings(i));
        if (Scrolls && Tw > W - 25)
            W = Tw + 25;
        else if (!Scrolls && Tw > W - 5)
            W = Tw + 8;
    }
    SetDropWidth(W);
}

void TGridCombo::DoExit()
{
    const String T = Text();
    if (Grid->LookupHistory && !T.empty() && Items()->IndexOf(T) < 0)
        Items()->Add(T);
    TGridEditorOf<TPSGComboBox>::DoExit();
}

// --- TGridEditBtn ------------------------------------------------------------------

TGridEditBtn::TGridEditBtn(TComponent* AOwner) : TGridEditorOf<TPsgEditBtn>(AOwner)
{
    OnClickBtn = [this](TObject* Sender) { ButtonClick(Sender); };
}

void TGridEditBtn::ButtonClick(TObject*)
{
    SetText(Grid->DoEllipsClick(Text()));
    SelectAll();
}

bool TGridEditBtn::IsExitKey(Word Key, TShiftState Shift)
{
    if ((Shift & ssCtrl) != 0)
        return false;
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
           || Key == VK_UP || Key == VK_DOWN;
}

bool TGridEditBtn::CheckBeforeLeave()
{
    return AnsiCheck(Text(), [this](const String& S) { SetText(S); });
}

void TGridEditBtn::RestoreOnEsc() { SetText(Grid->EditState().TextBefore); }

void TGridEditBtn::KeyDown(Word& Key, TShiftState Shift)
{
    if (Grid->OnKeyDown)
        Grid->OnKeyDown(Grid, Key, Shift);
    FCaretAtKeyDown = SelStart();
    if (!IsExitKey(Key, Shift)) {
        TPsgEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    ExitKey(Key, Shift);
}

void TGridEditBtn::KeyPress(char& Key)
{
    if (Grid->OnKeyPress)
        Grid->OnKeyPress(Grid, Key);
    if (Key == '\r') {
        Key = 0;
        return;
    }
    TPsgEditBtn::KeyPress(Key);
}

// The character filter of the numeric and float editor types; true passes.
bool TGridEditBtn::FilterChar(wchar_t Ch)
{
    const TFormatSettings& F = FormatSettings();
    const bool Control = Ch == 8 || Ch == 9 || Ch == 13 || Ch == 27;
    const bool Digit = Ch >= L'0' && Ch <= L'9';
    const String T = Text();
    const TEditorType Type = Grid->EditState().InUse;
    if (Type == edNumericEditBtn) {
        if (Control || Digit)
            return true;
        if (Ch == L'-' && T.find('-') == String::npos && SelStart() == 0)
            return true;
        MessageBeep(0);
        return false;
    }
    if (Type == edFloatEditBtn) {
        if (Control || Digit)
            return true;
        const WideString W = StrToWide(T);
        const WideString Sel = W.substr(std::min<std::size_t>(SelStart(), W.size()), SelLength());
        const auto Dec = static_cast<wchar_t>(static_cast<unsigned char>(F.DecimalSeparator));
        const auto Tho = static_cast<wchar_t>(static_cast<unsigned char>(F.ThousandSeparator));
        if (Ch == Dec)
            return W.find(Dec) == WideString::npos || Sel.find(Dec) != WideString::npos;
        if (Ch == Tho || Ch == L',' || Ch == L'.')
            return false;
        if (Ch == L'-') {
            if (Sel.find(L'-') != WideString::npos || (SelStart() == 0 && W.find(L'-') == WideString::npos))
                return true;
            MessageBeep(0);
            return false;
        }
        return Held(VK_CONTROL);
    }
    return true;
}

void TGridEditBtn::KeyUp(Word& Key, TShiftState Shift)
{
    if (Grid->OnKeyUp)
        Grid->OnKeyUp(Grid, Key, Shift);
    TNavigation* Nav = Grid->Navigation();
    const bool Plain = (Shift & (ssShift | ssCtrl | ssAlt)) == 0;
    const int Len = static_cast<int>(HandleAllocated() ? GetWindowTextLengthW(Handle()) : 0);
    if (Nav->CursorWalkEditor && Plain && SelLength() == 0
        && ((Key == VK_RIGHT && SelStart() == Len) || (Key == VK_LEFT && FCaretAtKeyDown == 0))) {
        const bool Back = Key == VK_LEFT;
        Key = 0;
        const int Span = Grid->MergedSpan(Grid->Col(), Grid->Row()).x;
        const int Next = Back ? Grid->Col() - 1 : Grid->Col() + std::max(Span, 1);
        const bool Inside = Back ? Grid->Col() > Grid->TStringGrid::FixedCols()
                                 : Grid->Col() < Grid->ColCount() - 1 - Grid->FixedRightCols();
        if (Inside && Grid->HasClickControl(Next, Grid->Row())) {
            if (Grid->ValidateCell(Text())) {
                Grid->EndCellEdit();
                Grid->SetCol(Next);
            }
            return;
        }
        if (Grid->CanFocus())
            Grid->SetFocus();
        const TAdvanceDirection Keep = Nav->AdvanceDirection();
        Nav->SetAdvanceDirection(adLeftRight);
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), Nav->CursorWalkAlwaysEdit, true, Back);
        Nav->SetAdvanceDirection(Keep);
        return;
    }
    if (Key != VK_RETURN)
        TPsgEditBtn::KeyUp(Key, Shift);
}

// The paste goes through the grid's paste events; a value the application
// changed is what is pasted.
void TGridEditBtn::Paste()
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(Handle()))
        return;
    WideString Clip;
    if (HANDLE H = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* P = static_cast<const wchar_t*>(GlobalLock(H))) {
            Clip = P;
            GlobalUnlock(H);
        }
    }
    CloseClipboard();
    String Value = WideToStr(Clip);
    bool Allow = true;
    if (Grid->OnClipboardPaste)
        Grid->OnClipboardPaste(this, Allow);
    if (Allow && Grid->OnClipboardBeforePasteCell)
        Grid->OnClipboardBeforePasteCell(this, Grid->Col(), Grid->Row(), Value, Allow);
    if (!Allow)
        return;
    const WideString W = StrToWide(Value);
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W.c_str()));
}

void TGridEditBtn::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PASTE) {
        Message.Result = 0;
        if (EditorEnabled && !ReadOnly())
            Paste();
        return;
    }
    if (Message.Msg == WM_CHAR && !FilterChar(static_cast<wchar_t>(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    TPsgEditBtn::WndProc(Message);
}

void TGridEditBtn::Change()
{
    TPsgEditBtn::Change();
    if (Grid->OnEditChange)
        Grid->OnEditChange(Grid, Grid->Col(), Grid->Row(), Text());
}

// --- TGridUnitEditBtn ----------------------------------------------------------------

TGridUnitEditBtn::TGridUnitEditBtn(TComponent* AOwner) : TGridEditorOf<TPsgUnitEditBtn>(AOwner) {}

bool TGridUnitEditBtn::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
           || Key == VK_UP || Key == VK_DOWN;
}

bool TGridUnitEditBtn::CheckBeforeLeave()
{
    // Only the number is checked; the write-back adds the unit.
    return AnsiCheck(Text(), [this](const String& S) { SetText(S); });
}

void TGridUnitEditBtn::RestoreOnEsc()
{
    SetUnitID(String());
    SetText(Grid->GetCurrentCellText());
}

void TGridUnitEditBtn::KeyPress(char& Key)
{
    if (Key == '\r') {
        Key = 0;
        return;
    }
    TPsgUnitEditBtn::KeyPress(Key);
}

// --- TGridCheckBox ---------------------------------------------------------------------

bool TGridCheckBox::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_LEFT || Key == VK_UP
           || Key == VK_RIGHT || Key == VK_DOWN;
}

void TGridCheckBox::KeyDown(Word& Key, TShiftState Shift)
{
    if (!IsExitKey(Key, Shift)) {
        TCheckBox::KeyDown(Key, Shift);
        return;
    }
    const Word K = Key;
    Key = 0;
    Grid->EndCellEdit();
    if (Grid->CanFocus())
        Grid->SetFocus();
    if (K == VK_RETURN) {
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), false, false, false);
    } else if (K == VK_UP || K == VK_DOWN) {
        Word G = K;
        Grid->GridKeyDown(G, Shift);
    }
}

// --- TGridButton --------------------------------------------------------------------------

bool TGridButton::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN || Key == VK_ESCAPE;
}

bool TGridButton::WantsSpecialKey(Word Key)
{
    if (Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN)
        return true;
    return TButton::WantsSpecialKey(Key);
}

// The button hides itself and gives the key to the grid.
void TGridButton::KeyDown(Word& Key, TShiftState Shift)
{
    if (!IsExitKey(Key, Shift)) {
        TButton::KeyDown(Key, Shift);
        return;
    }
    const Word K = Key;
    Key = 0;
    if (K != VK_ESCAPE && Grid->HandleAllocated())
        SendMessageW(Grid->Handle(), WM_KEYDOWN, K, 0);
    SetVisible(false);
    SetEnabled(false);
    Grid->EditState().Active = false;
    Grid->EditState().Shown = nullptr;
    if (Grid->CanFocus())
        Grid->SetFocus();
    if (K == VK_ESCAPE) {
        Grid->RestoreEditText();
        if (Grid->HandleAllocated())
            SendMessageW(Grid->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    } else if (Grid->HandleAllocated()) {
        SendMessageW(Grid->Handle(), WM_KEYUP, K, 0);
    }
}

void TGridButton::KeyUp(Word& Key, TShiftState Shift)
{
    TButton::KeyUp(Key, Shift);
    if (Key == VK_SPACE) {
        const String Caption = Grid->DoEllipsClick(Text());
        SetText(Caption);
        Grid->SetCurrentCellText(Caption);
        Invalidate();
    }
}

void TGridButton::DoExit() { TButton::DoExit(); }

// --- Unicode editors ------------------------------------------------------------------------

namespace {

void PlaceCaret(TWinControl* C, bool SelectAllText)
{
    if (!C->HandleAllocated())
        return;
    const auto Length = static_cast<int>(GetWindowTextLengthW(C->Handle()));
    if (SelectAllText)
        SendMessageW(C->Handle(), EM_SETSEL, 0, -1);
    else
        SendMessageW(C->Handle(), EM_SETSEL, static_cast<WPARAM>(Length), Length);
}

} // namespace

bool TGridUniEdit::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
}

bool TGridUniEdit::CheckBeforeLeave()
{
    return WideCheck(Text(), false, false, [this](const WideString& S) { SetText(S); });
}

void TGridUniEdit::RestoreOnEsc() { SetText(Grid->ReadWideCellText(Grid->Col(), Grid->Row())); }

void TGridUniEdit::DoEnter()
{
    TPsgUniEdit::DoEnter();
    PlaceCaret(this, Grid->Navigation()->EditSelectAll);
}

void TGridUniEdit::DoExit()
{
    if (Grid->EditState().Showing) {
        TGridEditorOf::DoExit();
        return;
    }
    Grid->EditState().LastWideText = Text();
    Grid->EndCellEdit();
    SetText(WideString(L" "));
    TPsgUniEdit::DoExit();
}

bool TGridUniEditBtn::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
}

bool TGridUniEditBtn::CheckBeforeLeave()
{
    return WideCheck(Text(), true, true, [this](const WideString& S) { SetText(S); });
}

void TGridUniEditBtn::RestoreOnEsc() { SetText(Grid->ReadWideCellText(Grid->Col(), Grid->Row())); }

void TGridUniEditBtn::DoEnter()
{
    TPsgUniEditBtn::DoEnter();
    PlaceCaret(this, Grid->Navigation()->EditSelectAll);
}

void TGridUniEditBtn::DoExit()
{
    if (Grid->EditState().Showing) {
        TGridEditorOf::DoExit();
        return;
    }
    Grid->EditState().LastWideText = Text();
    Grid->EndCellEdit();
    SetText(WideString(L" "));
    TPsgUniEditBtn::DoExit();
}

TGridUniMemo::TGridUniMemo(TComponent* AOwner) : TGridEditorOf<TPsgUniMemo>(AOwner) {}

bool TGridUniMemo::IsExitKey(Word Key, TShiftState) { return Key == VK_TAB || Key == VK_ESCAPE; }

bool TGridUniMemo::WantsSpecialKey(Word Key)
{
    if (Key == VK_RETURN)
        return true;
    if (Key == VK_TAB)
        return Grid->HasOption(goTabs);
    return TPsgUniMemo::WantsSpecialKey(Key);
}

bool TGridUniMemo::CheckBeforeLeave()
{
    return WideCheck(Text(), true, false, [this](const WideString& S) { SetText(S); });
}

void TGridUniMemo::RestoreOnEsc() { SetText(Grid->ReadWideCellText(Grid->Col(), Grid->Row())); }

void TGridUniMemo::KeyPress(char& Key)
{
    if (Key == '\t') {
        Key = 0;
        return;
    }
    TPsgUniMemo::KeyPress(Key);
}

void TGridUniMemo::DoEnter()
{
    TPsgUniMemo::DoEnter();
    PlaceCaret(this, Grid->Navigation()->EditSelectAll);
}

void TGridUniMemo::DoExit()
{
    if (Grid->EditState().Showing) {
        TGridEditorOf::DoExit();
        return;
    }
    Grid->EditState().LastWideText = Text();
    Grid->EndCellEdit();
    SetText(WideString(L" "));
    TPsgUniMemo::DoExit();
}

TGridUniCombo::TGridUniCombo(TComponent* AOwner) : TGridEditorOf<TPSGUniComboBox>(AOwner) { SetButtonWidth(16); }

bool TGridUniCombo::ListMode() const { return Style() == csDropDownList || DroppedDown(); }

bool TGridUniCombo::IsExitKey(Word Key, TShiftState)
{
    if (ListMode())
        return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
           || Key == VK_END || Key == VK_UP || Key == VK_DOWN;
}

void TGridUniCombo::RestoreOnEsc()
{
    SetText(Grid->ReadWideCellText(Grid->Col(), Grid->Row()));
    const int I = Items()->IndexOf(StrToWide(Grid->GetCurrentCellText()));
    if (I >= 0)
        SetItemIndex(I);
}

void TGridUniCombo::KeyDown(Word& Key, TShiftState Shift)
{
    if (!IsExitKey(Key, Shift)) {
        TPSGUniComboBox::KeyDown(Key, Shift);
        return;
    }
    const Word K = Key;
    Key = 0;
    if (K == VK_ESCAPE)
        RestoreOnEsc();
    Grid->LeaveEditor(K, Shift);
}

void TGridUniCombo::KeyPress(char& Key)
{
    if (Key == '\r' || Key == '\t') {
        Key = 0;
        return;
    }
    TPSGUniComboBox::KeyPress(Key);
}

bool TGridUniCombo::ChildMessage(HWND Child, TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP || Message.Msg == WM_GETDLGCODE) {
        LRESULT Result = 0;
        if (RouteChildKey(this, Message.Msg, Message.WParam, Result)) {
            Message.Result = Result;
            return true;
        }
        return false;
    }
    if (Message.Msg == WM_CHAR && (Message.WParam == '\r' || Message.WParam == '\t' || Message.WParam == 27)) {
        Message.Result = 0;
        return true;
    }
    return TPSGUniComboBox::ChildMessage(Child, Message);
}

void TGridUniCombo::DoExit()
{
    if (Grid->EditState().Showing) {
        TGridEditorOf::DoExit();
        return;
    }
    Grid->EditState().LastWideText = Text();
    Grid->EndCellEdit();
    if (Style() == csDropDown)
        SetText(WideString(L" "));
    TPSGUniComboBox::DoExit();
}

// --- TGridDatePicker ------------------------------------------------------------------------

TGridDatePicker::TGridDatePicker(TComponent* AOwner) : TGridEditorOf<TCustomDateTimePicker>(AOwner)
{
    OnCloseUp = [this](TObject* Sender) { Grid->DoDatePickerCloseUp(Sender); };
}

void TGridDatePicker::SetUpDown(bool Value)
{
    if (Value == FUpDown)
        return;
    FUpDown = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TGridDatePicker::CreateParams(TCreateParams& Params)
{
    TCustomDateTimePicker::CreateParams(Params);
    if (FUpDown)
        Params.Style |= DTS_UPDOWN;
}

bool TGridDatePicker::CalendarDropped() const
{
    auto* Self = const_cast<TGridDatePicker*>(this);
    return Self->HandleAllocated() && SendMessageW(Self->Handle(), DTM_GETMONTHCAL, 0, 0) != 0;
}

bool TGridDatePicker::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END;
}

void TGridDatePicker::RestoreOnEsc()
{
    const String Cell = Grid->GetCurrentCellText();
    TDateTime V = 0;
    const bool Ok = PlatformKind() == dtkTime ? TryStrToTime(Cell, V) : TryStrToDate(Cell, V);
    if (!Ok)
        V = NowDateTime();
    if (PlatformKind() == dtkTime)
        SetPickerTime(V);
    else
        SetPickerDateTime(V);
}

void TGridDatePicker::KeyDown(Word& Key, TShiftState Shift)
{
    if (!IsExitKey(Key, Shift)) {
        TCustomDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (CalendarDropped()) {
        Key = 0;
        return;
    }
    const Word K = Key;
    Key = 0;
    if (K == VK_ESCAPE)
        RestoreOnEsc();
    if (K == VK_RETURN && Grid->Navigation()->AdvanceOnEnter) {
        Grid->EndCellEdit();
        if (Grid->CanFocus())
            Grid->SetFocus();
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), false, false, false);
        return;
    }
    if (K == VK_TAB && Grid->HasOption(goTabs)) {
        const String Shown = WideToStr(DisplayText());
        Grid->EndCellEdit();
        if (Grid->CanFocus())
            Grid->SetFocus();
        Grid->SetCurrentCellText(Shown);
        Grid->TabNavigate((Shift & ssShift) != 0);
        return;
    }
    Grid->LeaveEditor(K, Shift);
}
