// The main window's side of the code editor: opening it on the current
// slot, storing what it gives back, and its Test button.
#include "manager/URedEdit.h"

#include "manager/UEdit.h"

namespace vantrel {

namespace {

const char* const EditRangeStatus = "编辑代码超出范围！";

} // namespace

// The record goes back into the slot as it is; the slot's check box and
// number colour are left as they were and no undo step is taken.
void TFmMain::N1Click(TObject*)
{
    const int slot = CurrentSlot();
    if (slot < 0 || slot >= SlotCount) {
        ShowStatus(EditRangeStatus);
        return;
    }
    if (Form1 == nullptr)
        return;
    SelectTopLeftCell();
    const int channel = RedMems->ActivePageIndex();
    Form1->LoadCode(Code(channel, slot));
    if (Form1->ShowModal() == mrOk)
        SetCode(channel, slot, Form1->StoreCode());
}

void TFmMain::TestEditedCode()
{
    const int slot = CurrentSlot();
    if (slot < 0 || slot >= SlotCount) {
        ShowStatus(EditRangeStatus);
        return;
    }
    if (Form1 == nullptr)
        return;
    SelectTopLeftCell();
    SetCode(RedMems->ActivePageIndex(), slot, Form1->StoreCode());
    nbSendClick(this);
}

} // namespace vantrel
