// The grid's special editors: creating them on first use, showing, placing
// and loading the editor of the type in use, writing its value back, and the
// relays of their notifications to the grid's events.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <richedit.h>

#include "framework/Codepage.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/EditLink.h"
#include "grid/interaction/InplaceEditors.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProInplaceEdit.h"
#include "grid/interaction/ProRichEdit.h"

namespace {

// A control of the grid's own, hidden and disabled until an edit shows it.
template <class T>
T* EnsureEditor(TProStringGrid* Grid, T*& Slot)
{
    if (Slot == nullptr) {
        Slot = new T(Grid);
        Slot->SetVisible(false);
        Slot->SetEnabled(false);
        Slot->SetParent(Grid);
    }
    return Slot;
}

bool IsIntegerText(const String& S)
{
    if (S.empty())
        return false;
    char* End = nullptr;
    std::strtol(S.c_str(), &End, 10);
    return End != nullptr && *End == '\0';
}

double FloatOfText(const String& S)
{
    const String N = ExtractNumberText(S);
    String Dot;
    const char Dec = FormatSettings().DecimalSeparator;
    for (char C : N)
        Dot += C == Dec ? '.' : C;
    char* End = nullptr;
    const double V = std::strtod(Dot.c_str(), &End);
    return End == Dot.c_str() ? 0.0 : V;
}

void ShowAndFocus(TWinControl* C, TColor Color)
{
    C->SetVisible(true);
    C->SetEnabled(true);
    C->SetColor(Color);
    if (C->CanFocus())
        C->SetFocus();
}

// The character goes to the window that has the focus inside the editor (a
// combo box's edit field), else to the editor itself.
void PostStartKey(TWinControl* C, char Key)
{
    if (Key == 0 || C == nullptr || !C->HandleAllocated())
        return;
    wchar_t W = 0;
    if (!ByteToWide(Key, W))
        return;
    HWND Target = GetFocus();
    if (Target == nullptr || (Target != C->Handle() && !IsChild(C->Handle(), Target)))
        Target = C->Handle();
    PostMessageW(Target, WM_CHAR, W, 0);
}

} // namespace

// A combo editor shown over its cell: flat and etched in the flat looks,
// its list as wide as its items with AutoComboDropSize, focused, and
// dropped down when a click opens combos that way or their buttons always
// show.
template <class TCombo>
void TProStringGrid::OpenCombo(TCombo* C, TColor Color)
{
    const bool FlatLook = Look == glSoft || Look == glQJX || Look == glXP || Look == glListView || Look == glVista;
    C->SetColor(Color);
    C->SetVisible(true);
    C->SetEnabled(true);
    C->SetFlat(FlatLook);
    C->SetEtched(FlatLook);
    if (FNavigation->AutoComboDropSize)
        C->AutoSizeDropWidth();
    if (C->CanFocus())
        C->SetFocus();
    if (FMouseActions->DirectComboDrop || (FControlLook && FControlLook->DropDownAlwaysVisible()))
        C->SetDroppedDown(true);
    FEdit.Active = true;
    FEdit.Shown = C;
}

void TProStringGrid::ShowInplaceEdit(int ACol, int ARow)
{
    const bool Keep = FEdit.Showing;
    FEdit.Showing = true;
    try {
        ShowSpecialEditor(ACol, ARow);
    } catch (...) {
        FEdit.Showing = Keep;
        throw;
    }
    FEdit.Showing = Keep;
}

// The special editor of the current type over the cell rectangle R: the
// button over the grid lines, the wide-text editors inside the cell's
// margins, date pickers at least as high as they make themselves (the time
// editor exactly the cell's height), combo boxes with their closed field
// fitted to the cell, the others over the cell.
void TProStringGrid::PlaceSpecialEditor(TWinControl* C, const TRect& R)
{
    const int W = RectWidth(R) - 1;
    const int H = RectHeight(R) - 1;
    switch (FEdit.InUse) {
    case edButton: C->SetBounds(R.left - 1, R.top - 1, W + 2, H + 2); break;
    case edUniEdit:
    case edUniMemo: C->SetBounds(R.left + 2 + 1, R.top + 2 + 1, W - 2 * 2 - 2, H - 2 * 2 - 2); break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
    case edDateTimeEdit:
        C->SetBounds(R.left, R.top, W, std::max(C->Height(), H));
        if (FEdit.InUse == edTimeEdit)
            C->SetHeight(H);
        break;
    default: C->SetBounds(R.left, R.top, W, H); break;
    }
    if (C == FEdit.Combo)
        FEdit.Combo->FitToCell(H);
    else if (C == FEdit.UniCombo)
        FEdit.UniCombo->FitToCell(H);
}

void TProStringGrid::ShowSpecialEditor(int ACol, int ARow)
{
    // A new edit: a popup that closed before is long gone.
    FEdit.PopupClosed = false;
    FEdit.Started = true;
    FEdit.SpecialShown = true;
    TRect R = MergedCellRect(ACol, ARow);
    // The cell's grid line is at its left edge when it reads right to left.
    if (UseRightToLeftReading())
        ++R.left;
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush Brush;
    TFont CellFont;
    Brush.SetColor(Color());
    CellFont.Assign(Font());
    ResolveCellColors(ACol, ARow, State, false, false, true, &Brush, &CellFont, Colors);
    const TColor EditColor = Brush.Color();
    SetGridState(gsNormal);
    FEdit.Shown = nullptr;
    FEdit.Accepted = FEdit.InUse != edCustom;
    const String Text = GetEditText(ACol, ARow);
    FEdit.Loading = false;
    const char StartKey = FEdit.StartKey;
    // Shown, coloured and focused, the open editor, and the character that
    // started the edit typed into it.
    auto Open = [&](TWinControl* C) {
        ShowAndFocus(C, EditColor);
        FEdit.Active = true;
        FEdit.Shown = C;
        PostStartKey(C, StartKey);
    };

    switch (FEdit.InUse) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: {
        TGridSpin* S = EnsureEditor(this, FEdit.Spin);
        S->ResetWindow();
        S->SetBorderStyle(bsNone);
        PlaceSpecialEditor(S, R);
        S->ExcelStyleDecimalSeparator = ExcelStyleDecimalSeparator;
        if (FEdit.InUse == edSpinEdit) {
            S->SetSpinType(sptNormal);
            S->SetValue(IsIntegerText(Text) ? std::atoi(Text.c_str()) : 0);
        } else if (FEdit.InUse == edFloatSpinEdit) {
            S->SetSpinType(sptFloat);
            S->SetFloatValue(FloatOfText(Text));
        } else if (FEdit.InUse == edTimeSpinEdit) {
            S->SetSpinType(sptTime);
            S->SetText(Text);
        } else {
            TDateTime D = 0;
            if (Text.empty() || !TryStrToDate(Text, D))
                D = NowDateTime();
            S->SetDateValue(D);
            S->SetSpinType(sptDate);
        }
        Open(S);
        if (FEdit.SpinStepPending) {
            FEdit.SpinStepPending = false;
            if (FEdit.SpinStepUp)
                S->StepUp(false);
            else
                S->StepDown(false);
        }
        break;
    }
    case edComboEdit:
    case edComboList: {
        TGridCombo* C = EnsureEditor(this, FEdit.Combo);
        if (OnGetEditorProp)
            OnGetEditorProp(this, ACol, ARow, FEdit.Link);
        C->SetDroppedDown(false);
        C->SetStyle(FEdit.InUse == edComboEdit ? csDropDown : csDropDownList);
        bool FirstChosen = false;
        if (FEdit.InUse == edComboList) {
            int I = C->Items()->IndexOf(ReadCellText(ACol, ARow));
            if (I < 0) {
                I = 0;
                FirstChosen = true;
            }
            C->SetItemIndex(C->Items()->Count() > 0 ? I : -1);
        }
        PlaceSpecialEditor(C, R);
        if (FEdit.InUse == edComboEdit) {
            C->SetText(Text);
            C->SetMaxLength(MaxComboLength);
        }
        OpenCombo(C, EditColor);
        if (FirstChosen && C->Items()->Count() > 0) {
            if (OnComboChange)
                OnComboChange(this, ACol, ARow, 0, C->Items()->Strings(0));
            if (OnComboObjectChange)
                OnComboObjectChange(this, ACol, ARow, 0, C->Items()->Strings(0), C->Items()->Objects(0));
        }
        PostStartKey(C, StartKey);
        break;
    }
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: {
        TGridEditBtn* E = EnsureEditor(this, FEdit.EditBtn);
        E->ResetWindow();
        E->SetBorderStyle(bsNone);
        E->SetButtonCaption("...");
        PlaceSpecialEditor(E, R);
        E->SetText(Text);
        E->SetMaxLength(MaxEditLength);
        Open(E);
        break;
    }
    case edUnitEditBtn: {
        TGridUnitEditBtn* E = EnsureEditor(this, FEdit.UnitEditBtn);
        E->ResetWindow();
        E->SetBorderStyle(bsNone);
        PlaceSpecialEditor(E, R);
        E->SetMaxLength(MaxEditLength);
        const TFormatSettings& F = FormatSettings();
        String Number;
        String Unit;
        for (char Ch : Text) {
            if ((Ch >= '0' && Ch <= '9') || Ch == '-' || Ch == F.ThousandSeparator || Ch == F.DecimalSeparator)
                Number += Ch;
            else
                Unit += Ch;
        }
        E->SetUnitID(Unit);
        E->SetText(Number);
        Open(E);
        break;
    }
    case edCheckBox: {
        TGridCheckBox* B = EnsureEditor(this, FEdit.CheckBox);
        B->ResetWindow();
        PlaceSpecialEditor(B, R);
        B->SetText(Text);
        B->SetEnabled(true);
        B->SetState(cbUnchecked);
        B->SetVisible(true);
        if (B->CanFocus())
            B->SetFocus();
        FEdit.Active = true;
        break;
    }
    case edButton: {
        TGridButton* B = EnsureEditor(this, FEdit.Button);
        B->ResetWindow();
        PlaceSpecialEditor(B, R);
        B->SetText(Text);
        B->SetVisible(true);
        B->SetEnabled(true);
        if (B->CanFocus())
            B->SetFocus();
        FEdit.Active = true;
        FEdit.Shown = B;
        break;
    }
    case edDataCheckBox: FEdit.Active = true; break;
    case edUniEdit:
    case edUniMemo: {
        TWinControl* C = FEdit.InUse == edUniEdit ? static_cast<TWinControl*>(EnsureEditor(this, FEdit.UniEdit))
                                                  : static_cast<TWinControl*>(EnsureEditor(this, FEdit.UniMemo));
        if (FEdit.InUse == edUniEdit)
            FEdit.UniEdit->ResetWindow();
        else
            FEdit.UniMemo->ResetWindow();
        PlaceSpecialEditor(C, R);
        C->SetVisible(true);
        C->SetEnabled(true);
        C->SetColor(EditColor);
        C->Font()->Assign(Font());
        WideString V = ReadWideCellText(ACol, ARow);
        if (OnGetEditWideText)
            OnGetEditWideText(this, ACol, ARow, V);
        if (FEdit.InUse == edUniEdit)
            FEdit.UniEdit->SetText(V);
        else
            FEdit.UniMemo->SetText(V);
        if (C->CanFocus())
            C->SetFocus();
        if (FEdit.InUse == edUniMemo && !V.empty())
            SendMessageW(C->Handle(), EM_SETSEL, 0, -1);
        FEdit.Active = true;
        FEdit.Shown = C;
        PostStartKey(C, StartKey);
        break;
    }
    case edUniEditBtn: {
        TGridUniEditBtn* E = EnsureEditor(this, FEdit.UniEditBtn);
        E->ResetWindow();
        E->SetButtonCaption("...");
        E->OnClickBtn = [this](TObject* Sender) { DoWideEllipsClick(Sender); };
        PlaceSpecialEditor(E, R);
        E->Font()->Assign(Font());
        WideString V = ReadWideCellText(ACol, ARow);
        if (OnGetEditWideText)
            OnGetEditWideText(this, ACol, ARow, V);
        E->SetText(V);
        Open(E);
        break;
    }
    case edUniComboEdit:
    case edUniComboList: {
        TGridUniCombo* C = EnsureEditor(this, FEdit.UniCombo);
        C->SetDroppedDown(false);
        C->SetStyle(FEdit.InUse == edUniComboEdit ? csDropDown : csDropDownList);
        WideString V = ReadWideCellText(ACol, ARow);
        if (OnGetEditWideText)
            OnGetEditWideText(this, ACol, ARow, V);
        if (FEdit.InUse == edUniComboList) {
            const int I = C->Items()->IndexOf(V);
            C->SetItemIndex(I >= 0 ? I : (C->Items()->Count() > 0 ? 0 : -1));
        }
        PlaceSpecialEditor(C, R);
        if (FEdit.InUse == edUniComboEdit)
            C->SetText(V);
        C->Font()->Assign(Font());
        OpenCombo(C, EditColor);
        break;
    }
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit: {
        if (!DatePickerAvailable())
            break;
        TGridDatePicker* D = EnsureEditor(this, FEdit.DatePicker);
        D->SetParent(this);
        D->SetUpDown(FEdit.InUse == edDateEditUpDown);
        D->SetPlatformKind(FEdit.InUse == edTimeEdit ? dtkTime : dtkDate);
        D->ResetWindow();
        TDateTime V = NowDateTime();
        if (FEdit.InUse == edTimeEdit) {
            TDateTime T = 0;
            if (!Text.empty() && TryStrToTime(Text, T))
                V = T;
            D->SetPickerTime(V);
        } else {
            if (!Text.empty()) {
                TDateTime T = 0;
                if (OnCustomStrToDate) {
                    T = V;
                    try {
                        OnCustomStrToDate(this, Text, T);
                        V = T;
                    } catch (const Exception&) {
                        V = NowDateTime();
                    }
                } else if (TryStrToDate(Text, T)) {
                    V = T;
                }
            }
            D->SetPickerDateTime(V);
        }
        PlaceSpecialEditor(D, R);
        ShowAndFocus(D, EditColor);
        FEdit.Active = true;
        FEdit.Shown = D;
        if (FEdit.InUse != edTimeEdit && FMouseActions->DirectDateDrop && D->HandleAllocated())
            SendMessageW(D->Handle(), WM_KEYDOWN, VK_F4, 0);
        break;
    }
    case edDateTimeEdit: {
        if (!DatePickerAvailable())
            break;
        TProDateTimePicker* D = EnsureEditor(this, FEdit.DateTimePicker);
        TDateTime V = NowDateTime();
        TDateTime DatePart = 0;
        if (!Text.empty()) {
            const auto Blank = Text.find(' ');
            TDateTime TimePart = 0;
            if (TryStrToDate(Text.substr(0, Blank), DatePart)) {
                V = DatePart;
                if (Blank != String::npos && TryStrToTime(Text.substr(Blank + 1), TimePart))
                    V = ComposeDateTime(DatePart, TimePart);
            }
        }
        D->SetKind(dkDateTime);
        D->SetBorderStyle(bsNone);
        D->SetDateTime(V);
        D->OnTimeChanged = [this](TObject* Sender) { DoDateTimeChange(Sender); };
        PlaceSpecialEditor(D, R);
        ShowAndFocus(D, EditColor);
        FEdit.Active = true;
        break;
    }
    case edRichEdit: {
        TProRichEdit* E = RichEditor();
        E->ResetWindow();
        E->SetParent(this);
        PlaceSpecialEditor(E, R);
        E->LockResize();
        CellToRichEdit(ACol, ARow, E);
        if (FNavigation->EditSelectAll)
            SendMessageW(E->Handle(), EM_SETSEL, 0, -1);
        E->SetVisible(true);
        E->SetEnabled(true);
        RECT F{2, 2, RectWidth(R) - 2, RectHeight(R) - 2};
        SendMessageW(E->Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&F));
        SendMessageW(E->Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(EditColor)));
        if (E->CanFocus())
            E->SetFocus();
        PostStartKey(E, StartKey);
        E->UnlockResize();
        FEdit.Active = true;
        FEdit.Shown = E;
        break;
    }
    case edCustom:
        if (FEdit.Link != nullptr)
            FEdit.Link->ShowInGrid(this, ACol, ARow, R, EditColor, &CellFont, Text, StartKey);
        break;
    default:
        // The date and time pickers and the rich-text editor open nothing.
        break;
    }
    FEdit.StartKey = 0;
}

namespace {

// A hidden editor that had the focus hands it back to its grid.
void HideEditorControl(TWinControl* C)
{
    if (C == nullptr)
        return;
    const bool HadFocus = C->ContainsFocus();
    C->SetEnabled(false);
    C->SetVisible(false);
    auto* Grid = dynamic_cast<TWinControl*>(C->Parent());
    if (HadFocus && Grid != nullptr && Grid->CanFocus())
        Grid->SetFocus();
}

} // namespace

void TProStringGrid::CommitEditor(int ACol, int ARow)
{
    FEdit.Committing = true;
    FEdit.StartKey = 0;
    const int C = RealColIndex(ACol);
    try {
        switch (FEdit.InUse) {
        case edSpinEdit:
        case edFloatSpinEdit:
        case edTimeSpinEdit:
        case edDateSpinEdit:
            FEdit.Active = false;
            if (FEdit.Spin != nullptr) {
                if (FEdit.InUse == edSpinEdit)
                    SetCellInt(C, ARow, FEdit.Spin->Value());
                else if (FEdit.InUse == edFloatSpinEdit)
                    SetCellFloat(C, ARow, FEdit.Spin->FloatValue());
                else if (FEdit.InUse == edDateSpinEdit)
                    SetCellDate(C, ARow, FEdit.Spin->DateValue());
                else
                    SetCellFromEditor(C, ARow, FEdit.Spin->Text());
                HideEditorControl(FEdit.Spin);
            }
            break;
        case edComboEdit:
        case edComboList:
            if (FEdit.Active && FEdit.Combo != nullptr) {
                SetCellFromEditor(C, ARow, FEdit.Combo->Text());
                FEdit.Combo->SetDroppedDown(false);
                HideEditorControl(FEdit.Combo);
            }
            FEdit.Active = false;
            break;
        case edEditBtn:
        case edNumericEditBtn:
        case edFloatEditBtn:
            if (FEdit.Active && FEdit.EditBtn != nullptr) {
                SetCellFromEditor(C, ARow, FEdit.EditBtn->Text());
                HideEditorControl(FEdit.EditBtn);
            }
            FEdit.Active = false;
            break;
        case edUnitEditBtn:
            if (FEdit.UnitEditBtn != nullptr) {
                SetCellFromEditor(C, ARow, FEdit.UnitEditBtn->Text() + FEdit.UnitEditBtn->UnitID());
                HideEditorControl(FEdit.UnitEditBtn);
            }
            FEdit.Active = false;
            break;
        case edCheckBox:
            HideEditorControl(FEdit.CheckBox);
            FEdit.Active = false;
            break;
        case edButton:
            HideEditorControl(FEdit.Button);
            FEdit.Active = false;
            break;
        case edDateEdit:
        case edDateEditUpDown:
        case edTimeEdit:
            // The picker's own value as it shows it.
            if (FEdit.DatePicker != nullptr && DatePickerAvailable()) {
                SetCellFromEditor(C, ARow, WideToStr(FEdit.DatePicker->DisplayText()));
                HideEditorControl(FEdit.DatePicker);
            }
            FEdit.Active = false;
            break;
        case edDateTimeEdit:
            // Written from the date-time editor's own value, whatever state
            // the other date editor was left in.
            if (FEdit.DateTimePicker != nullptr && DatePickerAvailable()) {
                const TDateTime V = FEdit.DateTimePicker->DateTime();
                int H = 0, M = 0, S = 0, Ms = 0;
                DecodeTime(V, H, M, S, Ms);
                char Buf[16];
                std::snprintf(Buf, sizeof Buf, "%d%c%02d", H, FormatSettings().TimeSeparator, M);
                SetCellFromEditor(C, ARow, DateToStr(V) + " " + Buf);
                HideEditorControl(FEdit.DateTimePicker);
            }
            FEdit.Active = false;
            break;
        case edRichEdit:
            if (FEdit.RichEditor != nullptr && FEdit.RichEditor->Visible()) {
                SetCellFromEditor(C, ARow, RichEditToText(FEdit.RichEditor));
                HideEditorControl(FEdit.RichEditor);
            }
            FEdit.Active = false;
            break;
        case edCustom:
            if (FEdit.Link != nullptr) {
                String V;
                FEdit.Link->GetEditorValue(V);
                SetCellFromEditor(C, ARow, V);
                FEdit.Link->CommitDone();
            }
            FEdit.Active = false;
            break;
        case edUniEdit:
        case edUniComboEdit:
        case edUniComboList:
        case edUniEditBtn:
        case edUniMemo: {
            WideString V;
            TWinControl* Ctl = nullptr;
            if (FEdit.InUse == edUniEdit && FEdit.UniEdit != nullptr) {
                V = FEdit.UniEdit->Text();
                Ctl = FEdit.UniEdit;
            } else if (FEdit.InUse == edUniMemo && FEdit.UniMemo != nullptr) {
                V = FEdit.UniMemo->Text();
                Ctl = FEdit.UniMemo;
            } else if (FEdit.InUse == edUniEditBtn && FEdit.UniEditBtn != nullptr) {
                V = FEdit.UniEditBtn->Text();
                Ctl = FEdit.UniEditBtn;
            } else if (FEdit.UniCombo != nullptr) {
                V = FEdit.UniCombo->Text();
                Ctl = FEdit.UniCombo;
            }
            if (Ctl != nullptr && Ctl->Visible()) {
                if (OnSetEditWideText)
                    OnSetEditWideText(this, C, ARow, V);
                WriteWideCellText(C, ARow, V);
                HideEditorControl(Ctl);
            }
            FEdit.Active = false;
            break;
        }
        default: break;
        }
        if (FEdit.InUse != edNormal && FEdit.SpecialShown)
            NotifyEditDone(C, ARow);
    } catch (...) {
        FEdit.Committing = false;
        FEdit.SpecialShown = false;
        throw;
    }
    FEdit.Committing = false;
    FEdit.SpecialShown = false;
    FEdit.Shown = nullptr;
}

void TProStringGrid::EditedCellWritten(int ACol, int ARow)
{
    const TPoint B = BaseCell(Col(), Row());
    const bool ColMatch = ACol == Col() || ACol == RealColIndex(Col()) || ACol == B.x;
    if (!ColMatch || (ARow != Row() && ARow != B.y) || FEdit.Committing || FEdit.Showing)
        return;
    // Loading the text for the comparison is no load of an editor: the
    // default editor's change event stays as it was.
    const bool KeepLoading = FEdit.Loading;
    try {
        TBaseGrid::EditedCellWritten(Col(), Row());
        if (FEdit.Active && FEdit.Shown != nullptr && !FEdit.Validating)
            ReloadSpecialEditorText(GetEditText(Col(), Row()));
    } catch (...) {
        FEdit.Loading = KeepLoading;
        throw;
    }
    FEdit.Loading = KeepLoading;
}

// The special editor of the edit in use whose value is its text: the spin,
// edit-with-button or combo-edit editor; nullptr for the others.
TWinControl* TProStringGrid::TextValueEditor()
{
    switch (FEdit.InUse) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit: return FEdit.Spin;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: return FEdit.EditBtn;
    case edComboEdit: return FEdit.Combo;
    default: return nullptr;
    }
}

// The special editors whose value is their text show a new cell text; a
// combo list shows the item of the text, when it has one.
void TProStringGrid::ReloadSpecialEditorText(const String& Text)
{
    if (FEdit.InUse == edComboList) {
        if (FEdit.Combo != nullptr && FEdit.Combo->Items()->IndexOf(Text) >= 0)
            FEdit.Combo->SetItemIndex(FEdit.Combo->Items()->IndexOf(Text));
        return;
    }
    TWinControl* C = TextValueEditor();
    if (C != nullptr && C->Text() != Text)
        C->SetText(Text);
}

// --- Relays ------------------------------------------------------------------------

String TProStringGrid::DoEllipsClick(const String& Text)
{
    String S = Text;
    if (OnEllipsClick)
        OnEllipsClick(this, RealColIndex(Col()), Row(), S);
    return S;
}

void TProStringGrid::DoWideEllipsClick(TObject*)
{
    if (FEdit.UniEditBtn == nullptr)
        return;
    const WideString Before = FEdit.UniEditBtn->Text();
    WideString S = Before;
    if (OnWideEllipsClick)
        OnWideEllipsClick(this, Col(), Row(), S);
    if (S != Before)
        FEdit.UniEditBtn->SetText(S);
}

void TProStringGrid::DoDateTimeChange(TObject*)
{
    if (OnDateTimeChange && FEdit.DateTimePicker != nullptr)
        OnDateTimeChange(this, Col(), Row(), FEdit.DateTimePicker->DateTime());
}

void TProStringGrid::DoDatePickerCloseUp(TObject*)
{
    if (OnDatePickerCloseUp)
        OnDatePickerCloseUp(this, Row(), Col());
    if (FMouseActions->DirectDateClose)
        EndCellEdit();
}

// The text typed into the spin editor or the edit-with-button editor goes
// into the current cell as it changes, as the default editor's does. Not
// while a mouse button is held in the grid.
void TProStringGrid::CopyEditorTextLive()
{
    if (!FEdit.DefaultUsed || !FEdit.Active || FEdit.Committing || FEdit.Showing || GetCapture() == Handle())
        return;
    // The default editor copies its own text as it changes; a combo
    // reports its changes otherwise.
    TWinControl* Source = FEdit.InUse == edComboEdit ? nullptr : TextValueEditor();
    if (Source == nullptr || !Source->HandleAllocated() || !Source->Visible())
        return;
    SetEditText(Col(), Row(), Source->Text());
}

// Notifications of the editors that come to the grid as WM_COMMAND: the
// combo editor's changes and close-up, the edit link's combo, and the live
// copy of the text being typed.
bool TProStringGrid::EditorCommand(TMessage& Message)
{
    const auto Code = HIWORD(Message.WParam);
    const auto From = reinterpret_cast<HWND>(Message.LParam);
    if (Code == EN_CHANGE)
        CopyEditorTextLive();
    if (FEdit.Combo != nullptr && FEdit.Combo->HandleAllocated() && From == FEdit.Combo->Handle()) {
        if (Code == CBN_SELCHANGE || Code == CBN_EDITCHANGE) {
            const int I = FEdit.Combo->ItemIndex();
            const String S = I >= 0 && I < FEdit.Combo->Items()->Count() ? FEdit.Combo->Items()->Strings(I) : String();
            if (OnComboChange)
                OnComboChange(this, RealColIndex(Col()), Row(), I, S);
            if (OnComboObjectChange)
                OnComboObjectChange(this, RealColIndex(Col()), Row(), I, S,
                                    I >= 0 && I < FEdit.Combo->Items()->Count() ? FEdit.Combo->Items()->Objects(I) : nullptr);
            if (Code == CBN_EDITCHANGE && OnComboChange)
                OnComboChange(this, Col(), Row(), -1, FEdit.Combo->Text());
        } else if (Code == CBN_CLOSEUP) {
            if (FMouseActions->DirectComboClose) {
                const int I = FEdit.Combo->ItemIndex();
                if (I >= 0)
                    FEdit.Combo->SetText(FEdit.Combo->Items()->Strings(I));
                EndCellEdit();
            }
            if (OnComboCloseUp)
                OnComboCloseUp(this, Row(), RealColIndex(Col()));
        }
        return false;
    }
    if (FEdit.Link != nullptr && (Code == CBN_SELCHANGE || Code == CBN_EDITCHANGE)) {
        TWinControl* Ctl = FEdit.Link->GetEditControl();
        if (Ctl != nullptr && Ctl->HandleAllocated() && Ctl->Handle() == From && OnComboChange) {
            const auto I = static_cast<int>(SendMessageW(From, CB_GETCURSEL, 0, 0));
            String S;
            if (I >= 0) {
                // The item is read whole, however long it is.
                const auto Len = SendMessageW(From, CB_GETLBTEXTLEN, static_cast<WPARAM>(I), 0);
                if (Len > 0) {
                    WideString W(static_cast<std::size_t>(Len) + 1, L'\0');
                    const auto Got = SendMessageW(From, CB_GETLBTEXT, static_cast<WPARAM>(I),
                                                  reinterpret_cast<LPARAM>(W.data()));
                    W.resize(Got > 0 ? static_cast<std::size_t>(Got) : 0);
                    S = WideToStr(W);
                }
            }
            OnComboChange(this, Col(), Row(), I, S);
        }
        return false;
    }
    return false;
}
