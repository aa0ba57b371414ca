// The channel tables and the slot model: slot s of a table sits in the
// column pair s div 20, row s mod 20; the number cell (left) shows the slot
// number with a check box and a red number when the slot holds a code, the
// name cell (right) its name.
#include "manager/URedEdit.h"

#include "framework/StrUtils.h"
#include "manager/UEditName.h"

namespace vantrel {

namespace {

constexpr int SlotRows = 20;
constexpr TColor StoredColor = 255;   // red
constexpr TColor EmptyColor = 0;      // black

int NumberCol(int Slot) { return (Slot / SlotRows) * 2; }
int SlotRow(int Slot) { return Slot % SlotRows; }

} // namespace

TProStringGrid* TFmMain::ChannelGrid(int Channel) const
{
    return Channel >= 0 && Channel < ChannelCount - 1 ? RedMem[static_cast<std::size_t>(Channel)]
                                                     : RedMem[ChannelCount - 1];
}

void TFmMain::InitSlotGrid(TProStringGrid* Grid)
{
    for (int pair = 0; pair < 5; ++pair)
        for (int row = 0; row < SlotRows; ++row) {
            const int slot = pair * SlotRows + row;
            Grid->WriteCellText(pair * 2, row, (slot < 10 ? "0" : "") + IntToStr(slot));
            Grid->PutCheckBox(pair * 2, row, false, false);
        }
}

void TFmMain::ShowSlotState(TProStringGrid* Grid, int Slot, bool Stored)
{
    const int col = NumberCol(Slot);
    const int row = SlotRow(Slot);
    Grid->ChangeCheckBoxState(col, row, Stored);
    Grid->EnsureCellProperties(col, row)->FontColor = Stored ? StoredColor : EmptyColor;
    Grid->Invalidate();
}

int TFmMain::CurrentSlot() const
{
    const TGridRect r = ChannelGrid(RedMems->ActivePageIndex())->SelectionRect();
    return (r.Left / 2) * SlotRows + r.Top;
}

const String& TFmMain::Code(int Channel, int Slot) const
{
    return FCodes.at(static_cast<std::size_t>(Channel * SlotCount + Slot));
}

void TFmMain::SetCode(int Channel, int Slot, const String& Record)
{
    FCodes.at(static_cast<std::size_t>(Channel * SlotCount + Slot)) = Record;
}

String TFmMain::SlotName(int Channel, int Slot) const
{
    return ChannelGrid(Channel)->ReadCellText(NumberCol(Slot) + 1, SlotRow(Slot));
}

void TFmMain::SelectTopLeftCell()
{
    TProStringGrid* grid = ChannelGrid(RedMems->ActivePageIndex());
    const TGridRect r = grid->SelectionRect();
    grid->SelectCellRange(r.Left, r.Left, r.Top, r.Top);
}

void TFmMain::RedMem1KeyDown(TObject*, Word& Key, TShiftState Shift)
{
    if (Key == VK_DELETE)
        nbDeleteClick(this);
    else if ((Shift & ssCtrl) != 0 && Key == 'C')
        nbCopyClick(this);
    else if ((Shift & ssCtrl) != 0 && Key == 'V')
        nbPasteClick(this);
}

void TFmMain::PopupMenu1Popup(TObject*)
{
    // The menu's operations work on whole slots: the selection takes in
    // both cells of every slot it touches.
    TProStringGrid* grid = ChannelGrid(RedMems->ActivePageIndex());
    const TGridRect r = grid->SelectionRect();
    grid->SelectCellRange((r.Left / 2) * 2, (r.Right / 2) * 2 + 1, r.Top, r.Bottom);
}

void TFmMain::RedMem1DblClickCell(TObject* Sender, int ARow, int ACol)
{
    auto* grid = dynamic_cast<TProStringGrid*>(Sender);
    if (grid == nullptr || ARow < 0 || ARow >= SlotRows || ACol < 0 || ACol > 9 || FmEditName == nullptr)
        return;
    const int nameCol = (ACol / 2) * 2 + 1;
    FmEditName->Edit1->SetText(grid->ReadCellText(nameCol, ARow));
    if (FmEditName->ShowModal() != mrOk)
        return;
    grid->WriteCellText(nameCol, ARow, FitSlotName(Trim(FmEditName->Edit1->Text())));
    TakeSnapshot(RedMems->ActivePageIndex());
}

} // namespace vantrel
