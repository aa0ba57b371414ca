// The form-control editors and the grid's operations that open and close them.
#include "grid/interaction/ControlEditors.h"

#include "framework/Codepage.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/HtmlTextRoutines.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/GridClipboard.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/Navigation.h"

TControlEdit::TControlEdit(TComponent* AOwner) : TCustomEdit(AOwner), FGrid(dynamic_cast<TProStringGrid*>(AOwner))
{
    SetVisible(false);
}

void TControlEdit::SetPasswordChar(wchar_t Value)
{
    FPasswordChar = Value;
    if (HandleAllocated()) {
        SendMessageW(Handle(), EM_SETPASSWORDCHAR, Value, 0);
        Invalidate();
    }
}

void TControlEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SendMessageW(Handle(), EM_SETPASSWORDCHAR, FPasswordChar, 0);
}

void TControlEdit::SetEditMask(const String& Mask) { FMask = TEditMask(Mask); }

void TControlEdit::SetValue(const String& Value) { SetText(WideToStr(FMask.Format(StrToWide(Value)))); }

String TControlEdit::Value() { return WideToStr(FMask.Value(StrToWide(Text()))); }

bool TControlEdit::TypeMasked(wchar_t Ch)
{
    WideString W = StrToWide(Text());
    int Caret = SelStart();
    if (!FMask.Type(W, Caret, Ch))
        return false;
    SetText(WideToStr(W));
    SetSelStart(Caret);
    return true;
}

// With a mask, printable characters and pasted text go through its slots; a
// character that fits no slot is refused with a beep (a paste stops there).
void TControlEdit::WndProc(TMessage& Message)
{
    if (FMask.Empty() || !HandleAllocated()) {
        TCustomEdit::WndProc(Message);
        return;
    }
    if (Message.Msg == WM_CHAR && Message.WParam >= 32) {
        Message.Result = 0;
        if (!TypeMasked(static_cast<wchar_t>(Message.WParam)))
            MessageBeep(0);
        return;
    }
    if (Message.Msg == WM_PASTE) {
        Message.Result = 0;
        for (wchar_t Ch : ClipboardWideText()) {
            if (!TypeMasked(Ch)) {
                MessageBeep(0);
                break;
            }
        }
        return;
    }
    TCustomEdit::WndProc(Message);
}

bool TControlEdit::WantsSpecialKey(Word Key)
{
    if (Key == VK_TAB)
        return true;
    if (Key == VK_RETURN)
        return false;
    return TCustomEdit::WantsSpecialKey(Key);
}

namespace {

// Enter and Tab end a form-control edit and are consumed.
bool ControlEditEndKey(TProStringGrid* Grid, char& Key)
{
    if ((Key != '\r' && Key != '\t') || Grid == nullptr)
        return false;
    const bool Tab = Key == '\t';
    Key = 0;
    EndControlEditByKey(Grid, Tab);
    return true;
}

} // namespace

void TControlEdit::KeyPress(char& Key)
{
    if (!ControlEditEndKey(FGrid, Key))
        TCustomEdit::KeyPress(Key);
}

TControlCombo::TControlCombo(TComponent* AOwner) : TPSGComboBox(AOwner), FGrid(dynamic_cast<TProStringGrid*>(AOwner))
{
    SetVisible(false);
}

bool TControlCombo::WantsSpecialKey(Word Key) { return Key == VK_TAB || TPSGComboBox::WantsSpecialKey(Key); }

void TControlCombo::KeyPress(char& Key)
{
    if (!ControlEditEndKey(FGrid, Key))
        TPSGComboBox::KeyPress(Key);
}

int TControlCombo::WindowHeight() const
{
    if (!HandleAllocated())
        return TPSGComboBox::WindowHeight();
    const HWND H = const_cast<TControlCombo*>(this)->Handle();
    return static_cast<int>(SendMessageW(H, CB_GETITEMHEIGHT, 0, 0)) * (DropDownCount() + 2);
}

void EndControlEditByKey(TProStringGrid* Grid, bool Tab)
{
    const String OpenID = Grid->EditState().CtrlID;
    if (Grid->CanFocus())
        Grid->SetFocus();
    else
        Grid->ControlEditDone(nullptr);
    if (!Tab)
        return;
    if (Grid->Navigation()->AdvanceAuto)
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), true, true, false);
    else
        Grid->FocusCellControl(Grid->Col(), Grid->Row(), OpenID);
}

void TProStringGrid::FocusCellControl(int ACol, int ARow, const String& CtrlID)
{
    const String Text = ReadCellText(RealColIndex(ACol), ARow);
    const String ID = NextEditableHtmlControl(Text, CtrlID);
    if (ID.empty()) {
        if (CanFocus())
            SetFocus();
        return;
    }
    // Where the control is painted: the cell less its text margins and one
    // pixel, less the check box on the left (as painted: see MirroredRect).
    TRect R = MirroredRect(CellRect(ACol, ARow));
    R.left += 2 + 1;
    R.top += 2 + 1;
    R.right -= 2 + 1;
    R.bottom -= 2 + 1;
    if (HasCheckBox(ACol, ARow))
        R.left += ControlLook()->CheckSize();
    THtmlDrawParams Params;
    Params.HitTestOnly = true;
    Params.Mirrored = UseRightToLeftAlignment();
    Params.PictureCache = PictureCache();
    Params.PictureContainer = PictureContainer;
    Params.ImageList = GridImages;
    THtmlDrawResult Found;
    Found.ControlID = ID;
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush CellBrush;
    TFont CellFont;
    ResolveCellColors(ACol, ARow, State, false, false, true, &CellBrush, &CellFont, Colors);
    TBitmap Scratch(1, 1);
    TCanvas* Cv = Canvas()->HandleAllocated() ? Canvas() : Scratch.Canvas();
    TFont Keep;
    Keep.Assign(Cv->Font());
    Cv->Font()->Assign(&CellFont);
    DrawHtmlText(Cv, Text, R, Params, Found);
    Cv->Font()->Assign(&Keep);
    if (Found.ControlID != ID || Found.ControlRect.right <= Found.ControlRect.left) {
        if (CanFocus())
            SetFocus();
        return;
    }
    ShowControlEditor(Text, Found.ControlType, ARow, ACol, ACol, MirroredRect(Found.ControlRect), Found.ControlValue,
                      ID);
}

void TProStringGrid::ShowControlEditor(const String& CellText, const String& CtrlType, int ARow, int ACol, int,
                                       const TRect& CtrlRect, const String& CtrlValue, const String& CtrlID)
{
    FEdit.CtrlCol = ACol;
    FEdit.CtrlRow = ARow;
    FEdit.CtrlID = CtrlID;
    FEdit.CtrlType = CtrlType;
    FEdit.CtrlOpen = true;
    const int Left = CtrlRect.left + 1;
    const int Width = RectWidth(CtrlRect) - 4;
    const int Top = CtrlRect.top + 4;
    if (CtrlType == "EDIT" || CtrlType == "PASSWORD" || CtrlType == "MASK") {
        if (FEdit.ControlEdit == nullptr) {
            FEdit.ControlEdit = new TControlEdit(this);
            FEdit.ControlEdit->SetParent(this);
        }
        TControlEdit* E = FEdit.ControlEdit;
        E->SetWidth(0);
        E->SetPasswordChar(CtrlType == "PASSWORD" ? L'*' : 0);
        E->SetEditMask(CtrlType == "MASK" ? GetHtmlControlProp(CellText, CtrlID) : String());
        E->OnExit = [this](TObject* Sender) { ControlEditDone(Sender); };
        E->SetValue(CtrlValue);
        E->SetBounds(Left, Top, Width, RectHeight(CtrlRect) - 4);
        E->SetMaxLength(GetHtmlControlMaxLen(CellText, CtrlID));
        E->SetVisible(true);
        E->BringToFront();
        if (E->CanFocus())
            E->SetFocus();
    } else if (CtrlType == "COMBO") {
        if (FEdit.ControlCombo == nullptr) {
            FEdit.ControlCombo = new TControlCombo(this);
            FEdit.ControlCombo->SetParent(this);
        }
        TControlCombo* C = FEdit.ControlCombo;
        C->IsWinXP = XPFlag();
        C->SetWidth(0);
        C->SetBounds(Left, Top, Width, C->Height());
        bool Edit = true;
        int DropCount = 8;
        if (OnControlComboList)
            OnControlComboList(this, ARow, ACol, CtrlID, CtrlType, CtrlValue, C->Items(), Edit, DropCount);
        C->SetStyle(Edit ? csDropDown : csDropDownList);
        const int I = C->Items()->IndexOf(CtrlValue);
        if (I >= 0)
            C->SetItemIndex(I);
        if (Edit)
            C->SetText(CtrlValue);
        // Also sizes the window for DropCount + 2 items (WindowHeight).
        C->SetDropDownCount(DropCount);
        C->OnExit = [this](TObject* Sender) { ControlEditDone(Sender); };
        if (C->HandleAllocated()) {
            const int MaxLen = GetHtmlControlMaxLen(CellText, CtrlID);
            SendMessageW(C->Handle(), CB_LIMITTEXT, static_cast<WPARAM>(MaxLen), 0);
        }
        C->SetVisible(true);
        if (C->CanFocus())
            C->SetFocus();
        C->SetDroppedDown(true);
    }
}

void TProStringGrid::ControlEditDone(TObject*)
{
    String Value;
    const String Type = FEdit.CtrlType;
    TWinControl* Editor = nullptr;
    if (Type == "EDIT" || Type == "PASSWORD" || Type == "MASK")
        Editor = FEdit.ControlEdit;
    else if (Type == "COMBO")
        Editor = FEdit.ControlCombo;
    if (Editor != nullptr) {
        // A second exit of an editor already closed changes nothing more.
        if (!Editor->Visible())
            return;
        Value = Editor == FEdit.ControlEdit ? FEdit.ControlEdit->Value() : Editor->Text();
        String Cell = ReadCellText(FEdit.CtrlCol, FEdit.CtrlRow);
        SetHtmlControlValue(Cell, FEdit.CtrlID, Value);
        WriteCellText(FEdit.CtrlCol, FEdit.CtrlRow, Cell);
        Editor->SetVisible(false);
    }
    if (OnControlEditDone)
        OnControlEditDone(this, FEdit.CtrlRow, FEdit.CtrlCol, FEdit.CtrlID, Type, Value);
    FEdit.CtrlType.clear();
}
