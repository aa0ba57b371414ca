#pragma once
// The grid's mouse options (its MouseActions property). The mouse handling
// reads them; the few setters with side effects act on the owner grid.

#include "framework/Object.h"

class TProStringGrid;

enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TWheelAction { waMoveSelection, waScroll };

class TMouseActions : public TPersistent {
public:
    explicit TMouseActions(TProStringGrid* AGrid) : FGrid(AGrid) {}

    // Copies every option but EditOnDblClickOnly, HotmailRowSelect and
    // SizeFixedRow from another TMouseActions; other sources are ignored.
    void Assign(const TPersistent* Source) override;

    bool AllColumnSize = false;
    bool AllRowSize = false;
    bool AllSelect = false;
    bool AutoSizeColOnDblClick = true;
    bool CaretPositioning = false;
    bool CheckAllCheck = false;
    bool ColSelect = false;
    bool DirectComboClose = false;
    bool DirectComboDrop = false;
    bool DirectDateClose = false;
    bool DirectDateDrop = false;
    bool DirectEdit = false;
    TGridFixedCellEdit FixedRowsEdit = fceNone;
    TGridFixedCellEdit FixedColsEdit = fceNone;
    bool MoveRowOnNodeClick = false;
    bool NoAutoRangeScroll = false;
    bool NodeAllExpandContract = false;
    bool NoScrollOnPartialRow = false;
    bool PreciseCheckBoxCheck = false;
    bool RangeSelectAndEdit = false;
    bool RowSelect = false;
    bool RowSelectPersistent = false;
    bool SelectOnRightClick = false;
    bool SizeFixedCol = false;
    bool SizeFixedRow = false;
    int WheelIncrement = 0;

    // At design time setting one of the three clears the other two.
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool Value);
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool Value);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool Value);

    // Setting it true takes goEditing out of the grid's Options.
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    void SetEditOnDblClickOnly(bool Value);

    // The setter repaints the grid.
    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    void SetHotmailRowSelect(bool Value);

    // Fires OnChange when the value changes.
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction Value);

    TNotifyEvent OnChange;

private:
    bool Designing() const;

    TProStringGrid* FGrid;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FDisjunctCellSelect = false;
    bool FEditOnDblClickOnly = false;
    bool FHotmailRowSelect = false;
    TWheelAction FWheelAction = waMoveSelection;
};
