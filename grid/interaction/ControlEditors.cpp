// The form-control editors and the grid's operations that open and close them.
#include "grid/interaction/ControlEditors.h"

#include "framework/Codepage.h"
#include "grid/core/HtmlTextRoutines.h"
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

bool TControlEdit::WantsSpecialKey(Word Key)
{
    if (Key == VK_TAB)
        return true;
    if (Key == VK_RETURN)
        return false;
    return TCustomEdit::WantsSpecialKey(Key);
}

void TControlEdit::KeyPress(char& Key)
{
    if ((Key == '\r' || Key == '\t') && FGrid != nullptr) {
        const bool Tab = Key == '\t';
        Key = 0;
        EndControlEditByKey(FGrid, Tab);
        return;
    }
    TCustomEdit::KeyPress(Key);
}

TControlCombo::TControlCombo(TComponent* AOwner) : TPSGComboBox(AOwner), FGrid(dynamic_cast<TProStringGrid*>(AOwner))
{
    SetVisible(false);
}

bool TControlCombo::WantsSpecialKey(Word Key) { return Key == VK_TAB || TPSGComboBox::WantsSpecialKey(Key); }

void TControlCombo::KeyPress(char& Key)
{
    if ((Key == '\r' || Key == '\t') && FGrid != nullptr) {
        const bool Tab = Key == '\t';
        Key = 0;
        EndControlEditByKey(FGrid, Tab);
        return;
    }
    TPSGComboBox::KeyPress(Key);
}

void EndControlEditByKey(TProStringGrid* Grid, bool Tab)
{
    if (Grid->CanFocus())
        Grid->SetFocus();
    else
        Grid->ControlEditDone(nullptr);
    if (Tab && Grid->Navigation()->AdvanceAuto)
        Grid->AdvanceAfterEdit(Grid->Col(), Grid->Row(), true, true, false);
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
        E->EditMask = CtrlType == "MASK" ? GetHtmlControlProp(CellText, CtrlID) : String();
        E->OnExit = [this](TObject* Sender) { ControlEditDone(Sender); };
        E->SetText(CtrlValue);
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
        Value = Editor->Text();
        String Cell = ReadCellText(FEdit.CtrlCol, FEdit.CtrlRow);
        SetHtmlControlValue(Cell, FEdit.CtrlID, Value);
        WriteCellText(FEdit.CtrlCol, FEdit.CtrlRow, Cell);
        Editor->SetVisible(false);
    }
    if (OnControlEditDone)
        OnControlEditDone(this, FEdit.CtrlRow, FEdit.CtrlCol, FEdit.CtrlID, Type, Value);
    FEdit.CtrlType.clear();
}
