#include "grid/interaction/DragDropSettings.h"

#include "grid/interaction/psgdd.h"

void TDragDropSettings::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TDragDropSettings*>(Source);
    if (!S)
        return;
    ShowCells = S->ShowCells;
    OleAcceptFiles = S->OleAcceptFiles;
    OleAcceptText = S->OleAcceptText;
    OleAcceptURLs = S->OleAcceptURLs;
    OleCopyAlways = S->OleCopyAlways;
    FOleDropTarget = S->FOleDropTarget;
    OleDropSource = S->OleDropSource;
    OleEntireRows = S->OleEntireRows;
    OleInsertRows = S->OleInsertRows;
    OleRemoveRows = S->OleRemoveRows;
    FOleDropRTF = S->FOleDropRTF;
    OleColumnDragDrop = S->OleColumnDragDrop;
}

void TDragDropSettings::SetOleDropTarget(bool Value)
{
    FOleDropTarget = Value;
    if (OnDropTargetChange)
        OnDropTargetChange(Value);
}

void TDragDropSettings::SetOleDropRTF(bool Value)
{
    FOleDropRTF = Value;
    SetRichTextDropEnabled(Value);
}
