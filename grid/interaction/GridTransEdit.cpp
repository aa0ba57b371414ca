// The fixed-cell edit and the grid's operation that opens it.
#include "grid/interaction/GridTransEdit.h"

#include "grid/core/ProGrid.h"

TGridTransEdit::TGridTransEdit(TComponent* AOwner)
    : TCustomEdit(AOwner), FGrid(dynamic_cast<TProStringGrid*>(AOwner))
{
    SetVisible(false);
}

void TGridTransEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TGridTransEdit::KeyPress(char& Key)
{
    if (Key == '\r') {
        Key = 0;
        // Enter stores the text: the grid takes the focus, which commits.
        if (FGrid != nullptr && FGrid->CanFocus())
            FGrid->SetFocus();
        return;
    }
    TCustomEdit::KeyPress(Key);
}

bool TGridTransEdit::WantsSpecialKey(Word Key) { return Key == VK_RETURN || TCustomEdit::WantsSpecialKey(Key); }

void TGridTransEdit::DoExit()
{
    TCustomEdit::DoExit();
    if (Visible())
        CommitFixedCell();
}

bool TGridTransEdit::CommitFixedCell()
{
    if (FGrid == nullptr) {
        SetVisible(false);
        return true;
    }
    if (FCommitting)
        return false;
    FCommitting = true;
    String Value = Text();
    bool Valid = true;
    try {
        if (FGrid->OnCellValidate)
            FGrid->OnCellValidate(FGrid, EditCol, EditRow, Value, Valid);
        if (Valid) {
            if (FGrid->OnEditingDone)
                FGrid->OnEditingDone(FGrid);
            FGrid->WriteCellText(EditCol, EditRow, Value);
            SetVisible(false);
        } else {
            FGrid->SetSelection(TGridRect{EditCol, EditRow, EditCol, EditRow});
            if (CanFocus())
                ::SetFocus(Handle());
        }
    } catch (...) {
        FCommitting = false;
        throw;
    }
    FCommitting = false;
    return Valid;
}

// The edit opens when the application allows editing the fixed cell (the
// can-edit answer starts true), and stays closed when it refuses.
void TProStringGrid::EditFixedCell(int ACol, int ARow)
{
    if (FEdit.TransEdit == nullptr) {
        FEdit.TransEdit = new TGridTransEdit(this);
        FEdit.TransEdit->SetParent(this);
    }
    TGridTransEdit* E = FEdit.TransEdit;
    if (E->Visible() && !E->CommitFixedCell())
        return;
    bool CanEdit = true;
    CanEdit = CanEditCell(ACol, ARow, CanEdit);
    if (!CanEdit)
        return;
    TRect R = CellRect(ACol, ARow);
    InflateRect(&R, -1, -1);
    E->SetBounds(R.left, R.top, RectWidth(R), RectHeight(R));
    E->SetText(ReadCellText(ACol, ARow));
    E->EditCol = ACol;
    E->EditRow = ARow;
    E->SetVisible(true);
    E->BringToFront();
    if (E->CanFocus())
        E->SetFocus();
}
