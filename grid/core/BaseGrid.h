#pragma once
// The base of the string grid: per-cell properties kept in the cells' object
// slots, merged cells encoded in those properties, text read and written
// through a merged range's base cell, the cell-drawing frame (background and
// the grid lines, which this class draws itself) and the change recorder.

#include <memory>
#include <vector>

#include "framework/Grids.h"
#include "grid/core/CellGraphic.h"

class TBaseGrid;
class TControl;

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
enum TCellGradientDirection { GradientVertical, GradientHorizontal };

// The in-place editor kind of a cell.
enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit,
    edDateEditUpDown, edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric,
    edFloat, edCapital, edMixedCase, edPassword, edUnitEditBtn, edLowerCase, edUpperCase,
    edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit, edNumericEditBtn, edFloatEditBtn,
    edCustom, edRichEdit, edNone, edUniEdit, edUniComboEdit, edUniComboList, edUniEditBtn,
    edUniMemo, edDateTimeEdit
};

// One cell's properties. The setters that repaint do so through the owner
// grid's RepaintCell of OwnerCol/OwnerRow.
class TCellProperties : public TPersistent {
public:
    TCellProperties(TBaseGrid* AGrid, int ACol, int ARow);
    ~TCellProperties() override;

    // Copies the merge state, alignment, borders, colours but BrushColorTo,
    // font, read-only flag, editor, word wrap, node level and control.
    void Assign(const TPersistent* Source) override;

    // The base cell of the range this cell belongs to (itself when not merged).
    TPoint BaseCellOf(int ACol, int ARow) const;

    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor Value);
    TColor BrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor Value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    TBaseGrid* Grid() const { return FGrid; }

    int OwnerCol;
    int OwnerRow;
    TObject* CellObject = nullptr;      // the application's; never owned
    TCellGraphic* GraphicObject = nullptr;  // owned by the grid through this object
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    int FontSize = 0;
    TColor FontColor = clNone;
    TFontStyles FontStyle;
    int CellSpanY = -1;
    int CellSpanX = -1;
    int BorderWidth = 0;
    TColor BorderColor = 0;
    TAlignment Alignment = taLeftJustify;
    int LastPaintID = 0;
    bool IsBaseCell = true;
    int NodeLevel = 0;
    TEditorType Editor = edNormal;
    String FontName;
    bool ReadOnly = false;
    TCellGradientDirection GradientDirection = GradientVertical;
    TControl* Control = nullptr;

    // Number of TCellProperties objects alive in the process (tests count
    // them to prove that no cell object leaks).
    static long LiveCount();

private:
    void Repaint();

    TBaseGrid* FGrid;
    TColor FBrushColor = clNone;
    TColor FBrushColorTo = clNone;
    TVAlignment FVAlignment = vtaTop;
    bool FWordWrap = true;
};

// One recorded change (or a sequence marker).
class TUndoRedoItem : public TPersistent {
public:
    int Row = 0;
    int Col = 0;
    String Value;
    String OrigValue;
    bool SequenceStart = false;
    bool SequenceStop = false;
};

using TProGridUndoRedoEvent = std::function<void(TObject* Sender, TBaseGrid* Grid, int Col, int Row,
                                                 const String& OrigValue, const String& NewValue)>;

// Records cell changes of a grid. Only recording exists: nothing replays the
// records and OnUndo/OnRedo are never fired.
class TProGridUndoRedo : public TComponent {
public:
    explicit TProGridUndoRedo(TComponent* AOwner);
    ~TProGridUndoRedo() override;

    virtual void AddChange(int Col, int Row, const String& OrigValue, const String& NewValue);
    virtual void StartSequence();
    virtual void StopSequence();

    int Count() const { return static_cast<int>(FItems.size()); }
    TUndoRedoItem* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }

    TBaseGrid* Grid = nullptr;
    int Level = 0;
    int MaxLevel = 0;
    TProGridUndoRedoEvent OnUndo;
    TProGridUndoRedoEvent OnRedo;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void AddMarker(bool Start);

    std::vector<std::unique_ptr<TUndoRedoItem>> FItems;
};

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, WideString& Value)>;

// What the cell-style slot yields for a cell.
struct TCellStyle {
    TFont* Font = nullptr;          // filled by the slot (a copy of the grid font by default)
    TBrush* Brush = nullptr;        // filled by the slot (the grid colour by default)
    TColor ColorTo = clNone;
    TColor MirrorColor = clNone;
    TColor MirrorColorTo = clNone;
    TAlignment Alignment = taLeftJustify;
    TVAlignment VAlignment = vtaTop;
    bool WordWrap = true;
    TCellGradientDirection GradientDirection = GradientVertical;
};

// What the colour-resolution slot yields for a cell besides brush and font.
struct TResolvedCellColors {
    TColor ColorTo = clNone;
    TColor MirrorColor = clNone;
    TColor MirrorColorTo = clNone;
    bool WordWrap = true;
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign = vtaTop;
    TCellGradientDirection GradientDirection = GradientVertical;
};

class TBaseGrid : public TStringGrid {
public:
    explicit TBaseGrid(TComponent* AOwner);
    ~TBaseGrid() override;

    // Published look of the lines this class draws.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) override;
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value) override;
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor Value);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor Value);
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool Value);
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor Value);

    TProGridUndoRedo* UndoRedo() const { return FUndoRedo; }
    void SetUndoRedo(TProGridUndoRedo* Value);

    int PaintID = 1;
    // The top-left cell at the last TopLeftChanged (-1: none yet).
    TPoint FSeenTopLeft{-1, -1};
    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;
    bool HideLastRow = false;
    int NormalRowCount = 0;
    bool WordWrapDefault = true;   // the default word wrap of new cell properties
    bool ShowSelection = false;
    bool PropertiesCreated = false;

    // Cell storage.
    bool HasCellProperties(int ACol, int ARow) const;
    TCellProperties* EnsureCellProperties(int ACol, int ARow);
    // The cell's properties when it has any (nothing is created).
    TCellProperties* CellProperties(int ACol, int ARow) const;
    void ReplaceCellProperties(int ACol, int ARow, TCellProperties* Obj);
    void FreeCellProperties(int ACol, int ARow);
    void FreeCellObjects(int ACol1, int ARow1, int ACol2, int ARow2);
    void FreeAllCellObjects();
    TObject* GetCellObjectRaw(int ACol, int ARow) const;
    void SetCellObjectRaw(int ACol, int ARow, TObject* Obj);
    String GetCellTextRaw(int ACol, int ARow) const;
    void SetCellTextRaw(int ACol, int ARow, const String& Value);
    TObject* GetCellObject(int ACol, int ARow) const;
    void SetCellObject(int ACol, int ARow, TObject* Obj);
    TCellGraphic* GetCellGraphicObject(int ACol, int ARow) const;
    static TCellGraphic* GetPropertiesGraphic(const TCellProperties* Props);
    void SetCellGraphicObject(int ACol, int ARow, TCellGraphic* Graphic);
    void ClearCell(int ACol, int ARow);
    void ClearColCells(int ACol);
    void ClearRowCells(int ARow);

    // Cell text through the merged base cell.
    String ReadCellText(int ACol, int ARow);
    void WriteCellText(int ACol, int ARow, const String& Value);

    // Merged cells.
    virtual void MergeCells(int ACol, int ARow, int NumCols, int NumRows);
    virtual void SplitCells(int ACol, int ARow);
    TPoint BaseCell(int ACol, int ARow) const;
    bool IsBaseCellAt(int ACol, int ARow) const;
    bool IsMergedCell(int ACol, int ARow) const;
    bool IsCoveredCell(int ACol, int ARow) const;
    bool IsMergedHorizontally(int ACol, int ARow) const;
    bool IsMergedVertically(int ACol, int ARow) const;
    TPoint MergedSpan(int ACol, int ARow) const;
    bool RowsShareMerge(int RowA, int RowB) const;
    TRect CalcCellRect(int ACol, int ARow) const;
    TRect MergedCellRect(int ACol, int ARow) const;
    TPoint MergedCellSize(int ACol, int ARow) const;
    void RepaintCell(int ACol, int ARow);

    void SnapToBaseCell();
    int FixedColsWidth() const;
    int FixedRowsHeight() const;
    // The merged cells of the fixed rows (columns) on screen; with
    // ReachingOnly only those whose range reaches into the scrolling rows
    // (columns) below (right of) the fixed ones.
    void RepaintMergedFixedRowCells(bool ReachingOnly = false);
    void RepaintMergedFixedColCells(bool ReachingOnly = false);

    // Virtual slots of the base grid.
    virtual bool IsFixedCell(int ACol, int ARow);
    virtual int GetRowIndent(int ARow);
    virtual bool HasNodes() const;
    virtual void DrawGridCell(TCanvas* ACanvas, int ACol, TGridDrawState AState, TRect ARect, int ARow);
    virtual void LastRowWritten();
    virtual void GetDisplText(int ACol, int ARow, String& Value);
    virtual void GetDisplWideText(int ACol, int ARow, WideString& Value);
    virtual void GetCellStyle(int ACol, int ARow, TCellStyle& Style);
    virtual void ResolveCellColors(int ACol, int ARow, TGridDrawState& AState, bool Printing,
                                   bool SelectionColors, bool MapColumn, TBrush* ABrush, TFont* AFont,
                                   TResolvedCellColors& Colors);
    virtual int DisplayCol(int ACol) const;

    // True while the grid repaints nothing (the string grid's update bracket).
    virtual bool UpdateHeld() const { return false; }

protected:
    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void TopLeftChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

    // Set while the key handling moves the current cell to the far edge of a
    // merged range before the ordinary one-cell move; the string grid's
    // selection check lets such a move through.
    bool MergeKeyMove = false;

    // Frees a cell object of the grid's own classes (properties with their
    // graphic); anything else in a slot belongs to its creator.
    static void FreeOwnedCellObject(TObject* Obj);

private:
    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    TColor FGridLineColor = clSilver;
    TColor FGridFixedLineColor = clGray;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    TProGridUndoRedo* FUndoRedo = nullptr;
};
