#include "grid/interaction/MouseActions.h"

#include "grid/core/ProGrid.h"

bool TMouseActions::Designing() const { return FGrid && FGrid->IsDesigning(); }

void TMouseActions::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TMouseActions*>(Source);
    if (!S)
        return;
    AllColumnSize = S->AllColumnSize;
    AllRowSize = S->AllRowSize;
    AllSelect = S->AllSelect;
    AutoSizeColOnDblClick = S->AutoSizeColOnDblClick;
    CaretPositioning = S->CaretPositioning;
    CheckAllCheck = S->CheckAllCheck;
    ColSelect = S->ColSelect;
    DirectComboClose = S->DirectComboClose;
    DirectComboDrop = S->DirectComboDrop;
    DirectDateClose = S->DirectDateClose;
    DirectDateDrop = S->DirectDateDrop;
    DirectEdit = S->DirectEdit;
    FDisjunctRowSelect = S->FDisjunctRowSelect;
    FDisjunctColSelect = S->FDisjunctColSelect;
    FDisjunctCellSelect = S->FDisjunctCellSelect;
    FixedRowsEdit = S->FixedRowsEdit;
    FixedColsEdit = S->FixedColsEdit;
    MoveRowOnNodeClick = S->MoveRowOnNodeClick;
    NoAutoRangeScroll = S->NoAutoRangeScroll;
    NodeAllExpandContract = S->NodeAllExpandContract;
    NoScrollOnPartialRow = S->NoScrollOnPartialRow;
    PreciseCheckBoxCheck = S->PreciseCheckBoxCheck;
    RangeSelectAndEdit = S->RangeSelectAndEdit;
    RowSelect = S->RowSelect;
    RowSelectPersistent = S->RowSelectPersistent;
    SelectOnRightClick = S->SelectOnRightClick;
    SizeFixedCol = S->SizeFixedCol;
    WheelIncrement = S->WheelIncrement;
    FWheelAction = S->FWheelAction;
}

void TMouseActions::SetDisjunctRowSelect(bool Value)
{
    FDisjunctRowSelect = Value;
    if (Value && Designing()) {
        FDisjunctColSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctColSelect(bool Value)
{
    FDisjunctColSelect = Value;
    if (Value && Designing()) {
        FDisjunctRowSelect = false;
        FDisjunctCellSelect = false;
    }
}

void TMouseActions::SetDisjunctCellSelect(bool Value)
{
    FDisjunctCellSelect = Value;
    if (Value && Designing()) {
        FDisjunctRowSelect = false;
        FDisjunctColSelect = false;
    }
}

void TMouseActions::SetEditOnDblClickOnly(bool Value)
{
    FEditOnDblClickOnly = Value;
    if (Value && FGrid)
        FGrid->SetOptions(FGrid->Options() & ~static_cast<TGridOptions>(goEditing));
}

void TMouseActions::SetHotmailRowSelect(bool Value)
{
    FHotmailRowSelect = Value;
    if (FGrid)
        FGrid->Invalidate();
}

void TMouseActions::SetWheelAction(TWheelAction Value)
{
    if (Value == FWheelAction)
        return;
    FWheelAction = Value;
    if (OnChange)
        OnChange(this);
}
