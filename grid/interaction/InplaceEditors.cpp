// The grid's special in-place editors: per class, the exit keys, the check
// before leaving, what Esc puts back, and the events they fire on the grid.
#include "grid/interaction/InplaceEditors.h"

#include <commctrl.h>

#include <algorithm>
#include <type_traits>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProInplaceEdit.h"

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

// --- The combo editors ---------------------------------------------------------------

namespace {

WideString ItemText(TStrings* Items, int I) { return StrToWide(Items->Strings(I)); }
WideString ItemText(TWideStrings* Items, int I) { return Items->Strings(I); }

WideString UpperWide(WideString S)
{
    if (!S.empty())
        CharUpperBuffW(S.data(), static_cast<DWORD>(S.size()));
    return S;
}

// The first of the items that begins with Typed (compared upper-cased
// unless case-sensitive); -1 when none does.
template <class TItems>
int FindPrefixItem(TItems* Items, const WideString& Typed, bool Case)
{
    const WideString Prefix = Case ? Typed : UpperWide(Typed);
    for (int i = 0; i < Items->Count(); ++i) {
        const WideString Item = Case ? ItemText(Items, i) : UpperWide(ItemText(Items, i));
        if (Item.compare(0, Prefix.size(), Prefix) == 0)
            return i;
    }
    return -1;
}

// Keys typed into a combo's edit field come to the combo's key handling
// first, as they do for the list style without an edit field.
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

// The edit field of a combo box; nullptr for the list style.
HWND ComboEditField(HWND Combo)
{
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof Info;
    if (GetComboBoxInfo(Combo, &Info) && Info.hwndItem != nullptr && Info.hwndItem != Combo)
        return Info.hwndItem;
    return nullptr;
}

} // namespace

template <class TBase>
bool TGridComboOf<TBase>::IsExitKey(Word Key, TShiftState Shift)
{
    if (ListMode())
        return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
    // Alt+Down opens the list of the 8-bit combo.
    if (Key == VK_DOWN && (Shift & ssAlt) != 0 && std::is_same_v<TBase, TPSGComboBox>)
        return false;
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT
           || Key == VK_END || Key == VK_UP || Key == VK_DOWN;
}

template <class TBase>
void TGridComboOf<TBase>::CaretToEnd()
{
    const auto Length = static_cast<int>(GetWindowTextLengthW(this->Handle()));
    SendMessageW(this->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Length, Length));
}

template <class TBase>
void TGridComboOf<TBase>::KeyUp(Word& Key, TShiftState Shift)
{
    if (Key != VK_RETURN)
        TBase::KeyUp(Key, Shift);
    LookupComplete();
}

// Type-ahead: the text before the caret completed by the first item that
// begins with it, which is selected; the completed part is selected in the
// edit field.
template <class TBase>
void TGridComboOf<TBase>::LookupComplete()
{
    // The 8-bit combo also completes from the grid's lookup items.
    constexpr bool GridItemsToo = std::is_same_v<TBase, TPSGComboBox>;
    if (!FLookupEnabled || !this->Grid->Lookup || this->Style() == csDropDownList || !this->HandleAllocated())
        return;
    DWORD S = 0;
    DWORD E = 0;
    SendMessageW(this->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&S), reinterpret_cast<LPARAM>(&E));
    WideString W;
    if constexpr (std::is_same_v<TBase, TPSGComboBox>)
        W = StrToWide(this->Text());
    else
        W = this->Text();
    const std::size_t Caret = std::min<std::size_t>(S, W.size());
    if (Caret == 0)
        return;
    const WideString Typed = W.substr(0, Caret);
    const bool Case = this->Grid->LookupCaseSensitive;
    WideString Item;
    int I = FindPrefixItem(this->Items(), Typed, Case);
    if (I >= 0) {
        Item = ItemText(this->Items(), I);
    } else if (GridItemsToo) {
        const int J = FindPrefixItem(this->Grid->LookupItems(), Typed, Case);
        if (J < 0)
            return;
        Item = ItemText(this->Grid->LookupItems(), J);
    } else {
        return;
    }
    WideString Done = Typed + Item.substr(std::min(Caret, Item.size()));
    if (Done.size() > 255)
        Done.resize(255);
    if (I >= 0)
        this->SetItemIndex(I);
    if constexpr (std::is_same_v<TBase, TPSGComboBox>)
        this->SetText(WideToStr(Done));
    else
        this->SetText(Done);
    SendMessageW(this->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Caret, Done.size()));
}

template <class TBase>
void TGridComboOf<TBase>::KeepInHistory()
{
    const auto T = this->Text();
    if (this->Grid->LookupHistory && !T.empty() && this->Items()->IndexOf(T) < 0)
        this->Items()->Add(T);
}

template <class TBase>
int TGridComboOf<TBase>::ItemHeight() const
{
    if (!this->HandleAllocated())
        return std::max(16, -this->Font()->Height() + 6);
    const HWND H = const_cast<TGridComboOf*>(this)->Handle();
    return static_cast<int>(SendMessageW(H, CB_GETITEMHEIGHT, 0, 0));
}

template <class TBase>
void TGridComboOf<TBase>::FitToCell(int H)
{
    FCellHeight = H;
    if (!this->HandleAllocated())
        return;
    const HWND Wnd = this->Handle();
    SendMessageW(Wnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(0, H - 6));
    SetWindowPos(Wnd, nullptr, 0, 0, this->Width(), WindowHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Once fitted to a cell the window keeps DropDownCount + 1 items' height for
// the list below the box, however many items there are.
template <class TBase>
int TGridComboOf<TBase>::WindowHeight() const
{
    if (FCellHeight <= 0)
        return TBase::WindowHeight();
    return ItemHeight() * (this->DropDownCount() + 1) + FCellHeight;
}

template <class TBase>
void TGridComboOf<TBase>::AutoSizeDropWidth()
{
    int W = this->Width();
    TCanvas* C = this->Grid->Canvas();
    const bool Scrolls = this->Items()->Count() > this->DropDownCount();
    for (int i = 0; i < this->Items()->Count(); ++i) {
        const int Tw = C->TextWidth(WideToStr(ItemText(this->Items(), i)));
        if (Scrolls && Tw > W - 25)
            W = Tw + 25;
        else if (!Scrolls && Tw > W - 5)
            W = Tw + 8;
    }
    this->SetDropWidth(W);
}

// A click with CaretPositioning opened the editor: the caret goes to the
// character under the mouse, nothing selected, once the showing is over.
template <class TBase>
void TGridComboOf<TBase>::DoEnter()
{
    TBase::DoEnter();
    TGridEditState& S = this->Grid->EditState();
    if (S.CaretRequest && this->HandleAllocated()) {
        S.CaretRequest = false;
        PostMessageW(this->Handle(), CaretToMouseMessage(), 0, 0);
    }
}

// The wheel steps through the items: towards the user to the next one, away
// to the previous one; the grid's change events follow and the message goes
// no further.
template <class TBase>
void TGridComboOf<TBase>::WndProc(TMessage& Message)
{
    if (Message.Msg == CaretToMouseMessage()) {
        const HWND Field = ComboEditField(this->Handle());
        const int At = Field != nullptr ? CharUnderMouse(Field, this->Handle()) : -1;
        if (At >= 0)
            SendMessageW(this->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(At, At));
        return;
    }
    if constexpr (std::is_same_v<TBase, TPSGUniComboBox>) {
        // A changed selection of the Unicode combo is reported before the
        // combo takes the item's text.
        if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_SELCHANGE && this->Grid->OnComboChange) {
            TProStringGrid* G = this->Grid;
            const int I = static_cast<int>(SendMessageW(this->Handle(), CB_GETCURSEL, 0, 0));
            const String Item = I >= 0 && I < this->Items()->Count() ? WideToStr(ItemText(this->Items(), I)) : String();
            G->OnComboChange(G, G->RealColIndex(G->Col()), G->Row(), I, Item);
        }
    }
    if (Message.Msg != WM_MOUSEWHEEL || !this->Visible()) {
        TBase::WndProc(Message);
        return;
    }
    Message.Result = 0;
    const auto Delta = static_cast<short>(HIWORD(Message.WParam));
    const int Count = this->Items()->Count();
    int I = this->ItemIndex();
    if (Delta < 0 && I < Count - 1)
        ++I;
    else if (Delta > 0 && I > 0)
        --I;
    else
        return;
    this->SetItemIndex(I);
    TProStringGrid* G = this->Grid;
    const String Item = WideToStr(ItemText(this->Items(), I));
    const int C = G->RealColIndex(G->Col());
    if (G->OnEditChange)
        G->OnEditChange(G, C, G->Row(), Item);
    if (G->OnComboChange)
        G->OnComboChange(G, C, G->Row(), I, Item);
    if (G->OnComboObjectChange)
        G->OnComboObjectChange(G, C, G->Row(), I, Item, this->Items()->Objects(I));
}

template class TGridComboOf<TPSGComboBox>;
template class TGridComboOf<TPSGUniComboBox>;

// --- TGridCombo ------------------------------------------------------------------

TGridCombo::TGridCombo(TComponent* AOwner) : TGridComboOf<TPSGComboBox>(AOwner) { SetButtonWidth(16); }

void TGridCombo::ExitKey(Word& Key, TShiftState Shift)
{
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
        if (EnterAdvances(Key) || TabOut(Key, Shift)) {
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

// The edit field's keys go to the combo box's key handling first; Enter, Tab
// and Esc characters stop there, the wheel goes to the combo box.
void TGridCombo::FieldMessage(TMessage& Message, const TCallPrevious& Previous)
{
    const UINT Msg = Message.Msg;
    const WPARAM WParam = Message.WParam;
    LRESULT Result = 0;
    bool Handled = false;
    if (Msg == WM_CHAR && (WParam == '\r' || WParam == '\t' || WParam == 27)) {
        Handled = true;
    } else if (Msg == WM_MOUSEWHEEL) {
        Message.Result = SendMessageW(Handle(), Msg, WParam, Message.LParam);
        return;
    } else {
        Handled = GuardCallback([&] { return RouteChildKey(this, Msg, WParam, Result); }, false);
    }
    if (Msg == WM_CHAR && !Handled) {
        Handled = GuardCallback([&] {
            char Key = WideToStr(WideString(1, static_cast<wchar_t>(WParam))).c_str()[0];
            return DoKeyPress(Key);
        }, false);
    }
    if (Handled)
        Message.Result = Result;
    else
        Previous(Message);
}

void TGridCombo::CreateWnd()
{
    TPSGComboBox::CreateWnd();
    if (const HWND Field = ComboEditField(Handle()))
        FFieldHook = HookWndProc(Field, [this](TMessage& Message, const TCallPrevious& Previous) {
            FieldMessage(Message, Previous);
        });
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

void TGridCombo::Change()
{
    TPSGComboBox::Change();
    if (Grid->OnEditChange)
        Grid->OnEditChange(Grid, Grid->Col(), Grid->Row(), Text());
}

void TGridCombo::DoExit()
{
    KeepInHistory();
    TGridComboOf<TPSGComboBox>::DoExit();
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
        if (Grid->WalkOntoClickControl(Back, Text()))
            return;
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
    String Value;
    if (!Grid->EditorPasteText(this, Value))
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

void TGridCheckBox::ExitKey(Word& Key, TShiftState Shift)
{
    const Word K = Key;
    Key = 0;
    FocusGridAfterEdit();
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
void TGridButton::ExitKey(Word& Key, TShiftState)
{
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

void TGridButton::Press()
{
    // The ellipsis event may show a window of its own, which takes the
    // focus for a while: that is no end of the edit.
    FPressing = true;
    String Caption;
    try {
        Caption = Grid->DoEllipsClick(Text());
    } catch (...) {
        FPressing = false;
        throw;
    }
    FPressing = false;
    SetText(Caption);
    Grid->SetCurrentCellText(Caption);
}

void TGridButton::KeyUp(Word& Key, TShiftState Shift)
{
    TButton::KeyUp(Key, Shift);
    if (Key == VK_SPACE) {
        Press();
        Invalidate();
    }
}

// A left button released over the button presses it, as Space does.
void TGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TButton::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && X >= 0 && Y >= 0 && X < Width() && Y < Height())
        Press();
}

// Losing the focus to another control ends the edit as for the other
// editors (nothing is written back: the caption went to the cell when the
// button was pressed).
void TGridButton::DoExit()
{
    if (FPressing)
        TButton::DoExit();
    else
        TGridEditorOf<TButton>::DoExit();
}

// --- Unicode editors ------------------------------------------------------------------------

template <class TBase, bool WriteFirst, bool ReRead>
bool TGridUniEditorOf<TBase, WriteFirst, ReRead>::IsExitKey(Word Key, TShiftState)
{
    return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_UP || Key == VK_DOWN;
}

template <class TBase, bool WriteFirst, bool ReRead>
bool TGridUniEditorOf<TBase, WriteFirst, ReRead>::CheckBeforeLeave()
{
    return this->WideCheck(this->Text(), WriteFirst, ReRead, [this](const WideString& S) { this->SetText(S); });
}

template <class TBase, bool WriteFirst, bool ReRead>
void TGridUniEditorOf<TBase, WriteFirst, ReRead>::RestoreOnEsc()
{
    this->SetText(this->Grid->ReadWideCellText(this->Grid->Col(), this->Grid->Row()));
}

template <class TBase, bool WriteFirst, bool ReRead>
void TGridUniEditorOf<TBase, WriteFirst, ReRead>::DoEnter()
{
    TBase::DoEnter();
    if (!this->HandleAllocated())
        return;
    if (this->Grid->Navigation()->EditSelectAll) {
        SendMessageW(this->Handle(), EM_SETSEL, 0, -1);
    } else {
        const auto Length = static_cast<int>(GetWindowTextLengthW(this->Handle()));
        SendMessageW(this->Handle(), EM_SETSEL, static_cast<WPARAM>(Length), Length);
    }
}

template <class TBase, bool WriteFirst, bool ReRead>
void TGridUniEditorOf<TBase, WriteFirst, ReRead>::DoExit()
{
    if (this->Grid->EditState().Showing) {
        TGridEditorOf<TBase>::DoExit();
        return;
    }
    this->Grid->EditState().LastWideText = this->Text();
    this->Grid->EndCellEdit();
    this->SetText(WideString(L" "));
    TBase::DoExit();
}

template class TGridUniEditorOf<TPsgUniEdit, false, false>;
template class TGridUniEditorOf<TPsgUniEditBtn, true, true>;
template class TGridUniEditorOf<TPsgUniMemo, true, false>;

bool TGridUniMemo::IsExitKey(Word Key, TShiftState) { return Key == VK_TAB || Key == VK_ESCAPE; }

bool TGridUniMemo::WantsSpecialKey(Word Key)
{
    if (Key == VK_RETURN)
        return true;
    if (Key == VK_TAB)
        return Grid->HasOption(goTabs);
    return TPsgUniMemo::WantsSpecialKey(Key);
}

void TGridUniMemo::KeyPress(char& Key)
{
    if (Key == '\t') {
        Key = 0;
        return;
    }
    TPsgUniMemo::KeyPress(Key);
}

TGridUniCombo::TGridUniCombo(TComponent* AOwner) : TGridComboOf<TPSGUniComboBox>(AOwner) { SetButtonWidth(16); }

void TGridUniCombo::RestoreOnEsc()
{
    SetText(Grid->ReadWideCellText(Grid->Col(), Grid->Row()));
    const int I = Items()->IndexOf(StrToWide(Grid->GetCurrentCellText()));
    if (I >= 0)
        SetItemIndex(I);
}

void TGridUniCombo::ExitKey(Word& Key, TShiftState Shift)
{
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
    if (Message.Msg == WM_MOUSEWHEEL) {
        Message.Result = SendMessageW(Handle(), Message.Msg, Message.WParam, Message.LParam);
        return true;
    }
    return TPSGUniComboBox::ChildMessage(Child, Message);
}

void TGridUniCombo::DoExit()
{
    if (Grid->EditState().Showing) {
        TGridComboOf<TPSGUniComboBox>::DoExit();
        return;
    }
    KeepInHistory();
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

// The picker may keep its month calendar window while it is closed (Wine's
// does, from its creation on): only a shown calendar counts as dropped.
bool TGridDatePicker::CalendarDropped() const
{
    auto* Self = const_cast<TGridDatePicker*>(this);
    if (!Self->HandleAllocated())
        return false;
    const auto Calendar = reinterpret_cast<HWND>(SendMessageW(Self->Handle(), DTM_GETMONTHCAL, 0, 0));
    return Calendar != nullptr && IsWindowVisible(Calendar);
}

void TGridDatePicker::WndProc(TMessage& Message)
{
    TGridEditorOf<TCustomDateTimePicker>::WndProc(Message);
    if ((Message.Msg == WM_NCPAINT || Message.Msg == WM_PAINT) && HandleAllocated())
        FrameBorder();
}

void TGridDatePicker::FrameBorder()
{
    HDC Dc = GetWindowDC(Handle());
    if (Dc == nullptr)
        return;
    RECT W{};
    GetWindowRect(Handle(), &W);
    RECT R{0, 0, W.right - W.left, W.bottom - W.top};
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(clWindow));
    FrameRect(Dc, &R, Brush);
    InflateRect(&R, -1, -1);
    FrameRect(Dc, &R, Brush);
    DeleteObject(Brush);
    ReleaseDC(Handle(), Dc);
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

void TGridDatePicker::ExitKey(Word& Key, TShiftState Shift)
{
    if (CalendarDropped()) {
        Key = 0;
        return;
    }
    const Word K = Key;
    Key = 0;
    if (K == VK_ESCAPE)
        RestoreOnEsc();
    if (EnterAdvances(K))
        return;
    if (K == VK_TAB && Grid->HasOption(goTabs)) {
        const String Shown = WideToStr(DisplayText());
        FocusGridAfterEdit();
        Grid->SetCurrentCellText(Shown);
        Grid->TabNavigate((Shift & ssShift) != 0);
        return;
    }
    Grid->LeaveEditor(K, Shift);
}
