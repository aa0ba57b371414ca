// TCustomGrid: the keys. OnKeyDown (OnKeyPress) runs first; a key it leaves
// moves the current cell, pages, opens or closes the in-place editor.
#include "framework/Grids.h"

#include <algorithm>

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    const bool ctrl = (Shift & ssCtrl) != 0;
    const bool shift = (Shift & ssShift) != 0;
    const bool rowSelect = (FOptions & goRowSelect) != 0;
    const int firstCol = FFixedCols;
    const int firstRow = FFixedRows;
    const int lastCol = FColCount - 1;
    // Rows a descendant shows outside the cell area are no key's target.
    const int lastRow = std::max(firstRow, FRowCount - 1 - RowsShownOutsideCells());
    const int pageRows = std::max(1, VisibleRowCount());
    const int pageCols = std::max(1, VisibleColCount());
    int col = FCurrent.X;
    int row = FCurrent.Y;
    int top = FTopLeft.Y;
    int left = FTopLeft.X;
    bool move = true;

    // A mirrored grid shows higher columns to the left: the arrows move the
    // way they point on screen.
    Word direction = Key;
    if (UseRightToLeftAlignment() && (direction == VK_LEFT || direction == VK_RIGHT))
        direction = direction == VK_LEFT ? VK_RIGHT : VK_LEFT;
    switch (direction) {
    case VK_UP: row = row - 1; break;
    case VK_DOWN: row = row + 1; break;
    case VK_LEFT:
        if (rowSelect)
            left = left - 1, move = false;
        else if (ctrl)
            col = col - pageCols, left = left - pageCols;
        else
            col = col - 1;
        break;
    case VK_RIGHT:
        if (rowSelect)
            left = left + 1, move = false;
        else if (ctrl)
            col = col + pageCols, left = left + pageCols;
        else
            col = col + 1;
        break;
    case VK_PRIOR:
        if (ctrl)
            row = top;
        else
            row = row - pageRows, top = top - pageRows;
        break;
    case VK_NEXT:
        if (ctrl)
            row = top + pageRows - 1;
        else
            row = row + pageRows, top = top + pageRows;
        break;
    case VK_HOME:
        if (ctrl || rowSelect)
            row = firstRow;
        if (!rowSelect || ctrl)
            col = firstCol;
        break;
    case VK_END:
        if (ctrl || rowSelect)
            row = lastRow;
        if (!rowSelect || ctrl)
            col = lastCol;
        break;
    case VK_TAB:
        if ((FOptions & goTabs) != 0 && !ctrl) {
            TabMove(shift);
            Key = 0;
        }
        return;
    case VK_F2:
        if ((FOptions & goEditing) != 0 && !FEditorMode) {
            ShowEditor();
            if (FEditorMode && FInplaceEdit != nullptr)
                FInplaceEdit->Deselect();
            Key = 0;
        }
        return;
    case VK_RETURN:
        if (FEditorMode) {
            HideEditor();
            Key = 0;
        }
        return;
    case VK_ESCAPE:
        if (FEditorMode) {
            CancelEditor();
            Key = 0;
        }
        return;
    default: return;
    }

    // Pages move the view with the cell; everything else only shows it.
    if (top != FTopLeft.Y || left != FTopLeft.X)
        SetTopLeft(left, top);
    if (move) {
        col = std::clamp(col, firstCol, lastCol);
        row = std::clamp(row, firstRow, lastRow);
        const bool keepAnchor = shift && (FOptions & goRangeSelect) != 0;
        MoveColRow(col, row, !keepAnchor, true);
    }
}

// Tab with goTabs: the next (previous) scrollable cell, row by row; past the
// last (first) one the focus goes on to the next (previous) control.
bool TCustomGrid::TabMove(bool Backward)
{
    int col = std::clamp(FCurrent.X, FFixedCols, FColCount - 1);
    int row = std::clamp(FCurrent.Y, FFixedRows, FRowCount - 1);
    if (!Backward) {
        if (col < FColCount - 1) {
            ++col;
        } else if (row < FRowCount - 1) {
            col = FFixedCols;
            ++row;
        } else {
            HideEditor();
            if (TCustomForm* form = GetParentForm(this))
                form->SelectNext(this, true, true);
            return false;
        }
    } else {
        if (col > FFixedCols) {
            --col;
        } else if (row > FFixedRows) {
            col = FColCount - 1;
            --row;
        } else {
            HideEditor();
            if (TCustomForm* form = GetParentForm(this))
                form->SelectNext(this, false, true);
            return false;
        }
    }
    return MoveColRow(std::max(col, FFixedCols), std::max(row, FFixedRows), true, true);
}

void TCustomGrid::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 0)
        return;
    const auto ch = static_cast<unsigned char>(Key);
    if (FEditorMode && FInplaceEdit != nullptr && FInplaceEdit->HandleAllocated() && (ch == 8 || ch >= 32)) {
        // Typed ahead while the editor was opening: the editor takes it.
        SendCharToEditor(Key);
        Key = 0;
    } else if ((FOptions & goEditing) != 0 && !FEditorMode && (ch == 8 || ch >= 32) && CanEditShow()) {
        ShowEditorChar(Key);
        Key = 0;
    }
}

bool TCustomGrid::WantsSpecialKey(Word Key)
{
    switch (Key) {
    case VK_TAB: return (FOptions & goTabs) != 0;
    case VK_RETURN: return (FOptions & goEditing) != 0;
    case VK_ESCAPE: return FEditorMode;
    default: return false;
    }
}
