#include "grid/interaction/DragDropSettings.h"

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
    OleDropTarget = S->OleDropTarget;
    OleDropSource = S->OleDropSource;
    OleEntireRows = S->OleEntireRows;
    OleInsertRows = S->OleInsertRows;
    OleRemoveRows = S->OleRemoveRows;
    OleDropRTF = S->OleDropRTF;
    OleColumnDragDrop = S->OleColumnDragDrop;
}
