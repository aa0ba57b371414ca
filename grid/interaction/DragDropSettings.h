#pragma once
// OLE drag and drop settings of the grid (its DragDropSettings property).

#include <functional>

#include "framework/Object.h"

class TDragDropSettings : public TPersistent {
public:
    // All twelve values from another TDragDropSettings, by field (no drop
    // target is registered or revoked by it).
    void Assign(const TPersistent* Source) override;

    bool ShowCells = true;
    bool OleAcceptFiles = true;
    bool OleAcceptText = true;
    bool OleAcceptURLs = true;
    bool OleCopyAlways = false;
    bool OleDropTarget() const { return FOleDropTarget; }
    // Stores the value and lets the grid register or revoke its window.
    void SetOleDropTarget(bool Value);
    bool OleDropSource = false;
    bool OleEntireRows = false;
    bool OleInsertRows = false;
    bool OleRemoveRows = false;
    bool OleDropRTF() const { return FOleDropRTF; }
    // Stores the value; it also switches rich text for every grid.
    void SetOleDropRTF(bool Value);
    bool OleColumnDragDrop = false;

    std::function<void(bool)> OnDropTargetChange;

private:
    bool FOleDropTarget = false;
    bool FOleDropRTF = false;
};
