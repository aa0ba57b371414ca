#pragma once
// OLE drag and drop settings of the grid (its DragDropSettings property).

#include "framework/Object.h"

class TDragDropSettings : public TPersistent {
public:
    // All twelve values from another TDragDropSettings, by field.
    void Assign(const TPersistent* Source) override;

    bool ShowCells = true;
    bool OleAcceptFiles = true;
    bool OleAcceptText = true;
    bool OleAcceptURLs = true;
    bool OleCopyAlways = false;
    bool OleDropTarget = false;
    bool OleDropSource = false;
    bool OleEntireRows = false;
    bool OleInsertRows = false;
    bool OleRemoveRows = false;
    bool OleDropRTF = false;
    bool OleColumnDragDrop = false;
};
