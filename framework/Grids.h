#pragma once
// The grids of the class library: TCustomGrid (counts, column widths and row
// heights, the current cell and the selection, scrolling, the paint loop,
// keyboard and mouse handling, sizing and moving of rows and columns, and
// the host of an in-place editor), TDrawGrid (the grid's events) and
// TStringGrid (a text and one object reference per cell).
//
// Coordinates. Cells are addressed (ACol, ARow), 0-based. Columns
// 0 .. FixedCols-1 and rows 0 .. FixedRows-1 are fixed: they never scroll.
// The scrollable cells start at LeftCol and TopRow. Every cell is followed by
// a grid line of GridLineWidth pixels on its right and below it, so a column
// takes ColWidths + GridLineWidth pixels across; cell rectangles exclude the
// lines.
//
// Without a window. Every model operation (counts, sizes, cells, moves of the
// current cell, the selection, TopRow/LeftCol, CellRect, MouseCoord, DeleteRow,
// MoveRow/MoveColumn, the editor-host decisions) works on a grid that has no
// window; the client area is then the control's size less its border.
// Painting and invalidating do nothing without a window, and the in-place
// editor does not open.
//
// Cost. Nothing here walks all rows for painting, scrolling or hit testing:
// the paint loop, CellRect, MouseCoord, VisibleRowCount and the scroll
// position walk only the rows (columns) on screen. Sums of heights over long
// ranges (SumRowHeights) use a cumulative table, rebuilt once after heights
// change.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <memory_resource>
#include <string_view>
#include <unordered_map>
#include <string_view>
#include <vector>

#include "framework/CustomControl.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Memo.h"
#include "framework/StringList.h"

// Raised by grid operations given an index outside the grid or an
// impossible count: "Grid index out of range", "Fixed column count must be
// less than column count", "Fixed row count must be less than row count".
FRAMEWORK_EXCEPTION(EInvalidGridOperation, Exception);

class TCustomGrid;

// A cell, or a count of columns and rows.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A rectangle of cells, inclusive at both ends: Left..Right, Top..Bottom.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// What a mouse drag is doing.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// The grid's options, a set of TGridOption bits.
enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,      // vertical lines between fixed cells
    goFixedHorzLine = 1u << 1,      // horizontal lines between fixed cells
    goVertLine = 1u << 2,           // vertical lines between scrollable cells
    goHorzLine = 1u << 3,           // horizontal lines between scrollable cells
    goRangeSelect = 1u << 4,        // Shift+keys and mouse drags select a range
    goDrawFocusSelected = 1u << 5,  // the focused cell is drawn in selection colours too
    goRowSizing = 1u << 6,          // rows sized by dragging a line in the fixed columns
    goColSizing = 1u << 7,          // columns sized by dragging a line in the fixed rows
    goRowMoving = 1u << 8,          // rows moved by dragging a fixed-column cell
    goColMoving = 1u << 9,          // columns moved by dragging a fixed-row cell
    goEditing = 1u << 10,           // cells can be edited (F2, typing)
    goTabs = 1u << 11,              // Tab and Shift+Tab move between cells
    goRowSelect = 1u << 12,         // whole rows are selected
    goAlwaysShowEditor = 1u << 13,  // with goEditing the editor follows the current cell
    goThumbTracking = 1u << 14,     // the grid scrolls while a thumb is dragged
};
using TGridOptions = unsigned;

// How a cell is drawn, a set of TGridDrawStateFlag bits.
enum TGridDrawStateFlag : unsigned {
    gdSelected = 1u << 0,  // inside the selection (the current cell included)
    gdFocused = 1u << 1,   // the current cell while the grid (or its editor) has the focus
    gdFixed = 1u << 2,     // a fixed cell
};
using TGridDrawState = unsigned;

// The grid's border: bsNone or bsSingle (a sunken edge); other values count as bsSingle.
using TBorderStyle = TFormBorderStyle;

// The scroll bars' position range: positions run 0..GridScrollMax whatever
// the number of rows or columns; the thumb maps linearly onto TopRow
// FixedRows..the last top row (LeftCol likewise).
constexpr int GridScrollMax = 127;
// The timer that scrolls while a selecting or moving drag rests outside the cells.
constexpr UINT_PTR GridScrollTimerId = 1;

// Geometry of one axis as it is on screen now (see CalcDrawInfo). All
// positions are client pixels.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;  // GridLineWidth
    int FixedBoundary = 0;       // end of the fixed cells (with their lines)
    int GridBoundary = 0;        // end of the last cell shown (at most GridExtent)
    int GridExtent = 0;          // the client width (height)
    int LastFullVisibleCell = 0; // the last scrollable cell fully on screen (FirstGridCell - 1 when none)
    int FullVisBoundary = 0;     // end of LastFullVisibleCell (with its line)
    int FixedCellCount = 0;      // FixedCols (FixedRows)
    int FirstGridCell = 0;       // LeftCol (TopRow)
    int GridCellCount = 0;       // ColCount (RowCount)
};
struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

// The edit box that the grid shows over the current cell while a cell is
// edited. It is a child of the grid, loaded from the grid's GetEditText,
// limited by GetEditLimit, and it writes every change of its text back
// through the grid's SetEditText (for the cell it was opened on). Keys that
// navigate (Up, Down, PgUp, PgDn, Enter, Esc, and Tab with goTabs) go on to
// the grid's KeyDown; Enter ends the edit, Esc puts the text back as it was
// when the edit began and ends the edit.
class TInplaceEdit : public TCustomEdit {
public:
    explicit TInplaceEdit(TComponent* AOwner);

    // The grid that shows the edit (its parent), or nullptr.
    TCustomGrid* Grid() const { return FGrid; }

    // Loads the text of the grid's current cell (GetEditText) and the
    // length limit (GetEditLimit); the text is what Esc goes back to.
    virtual void UpdateContents();
    // Places the edit over Loc (client coordinates of the grid) and shows it.
    void Move(const TRect& Loc);
    // Hides the edit without writing anything.
    void Hide();
    // Caret at the end of the text, nothing selected.
    void Deselect();
    // The text loaded by the last UpdateContents.
    const String& OriginalText() const { return FOriginalText; }

protected:
    // A child without border, multi-line (so that the text starts at the
    // top-left), scrolling sideways; created hidden.
    void CreateParams(TCreateParams& Params) override;
    // Puts the window at Loc; called by Move. A descendant may adjust the
    // formatting rectangle after it.
    virtual void UpdateLoc(const TRect& Loc);
    // Forwards the navigation keys to the grid (see the class comment).
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Drops Enter, Esc and Tab characters, which the grid has handled.
    void KeyPress(char& Key) override;
    // A focus that comes straight from another control enters the grid first.
    void DoEnter() override;
    // Enter and Esc always; Tab with goTabs.
    bool WantsSpecialKey(Word Key) override;
    // Writes the text back through the grid's SetEditText, unless loading.
    void Change() override;
    // Focus gone outside the grid: the grid is left too, which closes the
    // edit (unless goAlwaysShowEditor).
    void DoExit() override;
    void SetParent(TWinControl* AParent) override;

private:
    TCustomGrid* FGrid = nullptr;
    String FOriginalText;
    bool FLoading = false;

    friend class TCustomGrid;
};

// The grid itself: geometry, state and behaviour, no cell contents.
//
// Counts: ColCount and RowCount are at least 1; FixedCols < ColCount and
// FixedRows < RowCount always (setting a count at or below the fixed count
// lowers the fixed count). New columns get DefaultColWidth, new rows
// DefaultRowHeight; existing ones keep theirs. Setting DefaultColWidth
// (DefaultRowHeight) gives every column (row) that width (height).
//
// The current cell (Col, Row) and the selection anchor span the selection
// (Selection). Every move of the current cell goes through MoveColRow, which
// asks SelectCell first; a refusal leaves everything as it was. Setting
// Selection is not a move: it puts the anchor at its top-left and the
// current cell at its bottom-right without asking SelectCell and without
// checking the range (a selection outside the grid shows nothing selected).
// When the counts shrink, a current cell or anchor beyond them is pulled to
// the last row (column); when FixedRows (FixedCols) grows over them, to the
// first scrollable row (column).
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // --- Counts and sizes ---------------------------------------------------
    int ColCount() const { return FColCount; }
    virtual void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    virtual void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    // Raises EInvalidGridOperation when Value >= ColCount (or negative).
    virtual void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    // Raises EInvalidGridOperation when Value >= RowCount (or negative).
    virtual void SetFixedRows(int Value);

    int DefaultColWidth() const { return FDefaultColWidth; }
    virtual void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    virtual void SetDefaultRowHeight(int Value);
    // The width of a column; DefaultColWidth for an index outside the grid.
    int ColWidths(int ACol) const;
    // Raises EInvalidGridOperation outside 0..ColCount-1; a negative width is 0.
    // Calls ColWidthsChanged when the width changed.
    virtual void SetColWidths(int ACol, int Value);
    // The height of a row; DefaultRowHeight for an index outside the grid.
    int RowHeights(int ARow) const;
    // Raises EInvalidGridOperation outside 0..RowCount-1; a negative height is 0.
    // Calls RowHeightsChanged when the height changed.
    virtual void SetRowHeights(int ARow, int Value);
    // Sum of the widths of columns AFrom .. ATo-1 (heights of rows), grid
    // lines not included; indexes are clipped to the grid. O(1) after the
    // first call following a change of sizes.
    int SumColWidths(int AFrom, int ATo) const;
    int SumRowHeights(int AFrom, int ATo) const;

    int GridLineWidth() const { return FGridLineWidth; }
    virtual void SetGridLineWidth(int Value);
    // With DefaultDrawing the paint loop fills each cell's background
    // (FixedColor, the selection colour or Color) before DrawCell and draws
    // the focus rectangle after it; TStringGrid then draws the text.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    virtual void SetDefaultDrawing(bool Value);
    TGridOptions Options() const { return FOptions; }
    virtual void SetOptions(TGridOptions Value);
    bool HasOption(TGridOption Option) const { return (FOptions & Option) != 0; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    virtual void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    virtual void SetBorderStyle(TBorderStyle Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);

    // --- Current cell, selection, scrolling ---------------------------------
    int Col() const { return FCurrent.X; }
    // Moves the current cell (MoveColRow with anchor and show); raises
    // EInvalidGridOperation outside the grid.
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // The rectangle spanned by the anchor and the current cell (with
    // goRowSelect: all scrollable columns of those rows).
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    // The cell where the range selection started (the fixed corner of Selection).
    TGridCoord SelectionAnchor() const { return FAnchor; }

    // The first scrollable row (column) on screen. The setters clamp to
    // FixedRows .. the last top row (the smallest top row that still shows
    // the last row whole), then call TopLeftChanged when it changed.
    int TopRow() const { return FTopLeft.Y; }
    void SetTopRow(int Value);
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    // The largest TopRow (LeftCol) the setters allow.
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // Scrollable columns (rows) from LeftCol (TopRow) shown whole; 0 when
    // not even one fits.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The cell's rectangle in client coordinates, cut at the edge of
    // CellArea; empty (all 0) when no part of the cell is on screen
    // (scrolled away, beyond the cell area, or outside the grid). Under
    // right-to-left alignment the columns run from the right edge: the
    // rectangle is where the cell shows on screen (see MirroredRect).
    TRect CellRect(int ACol, int ARow) const;
    // The cell at a client point (as the mouse gives it, also under
    // right-to-left alignment); -1 for a coordinate outside the cells.
    TGridCoord MouseCoord(int X, int Y) const;
    // Right-to-left alignment mirrors the grid: Paint draws on a canvas
    // mirrored across the client width, in the coordinates of a grid laid
    // out from the left, while CellRect, MouseCoord and the editor work in
    // client coordinates. MirroredRect converts a rectangle between the two
    // (either way: it is its own inverse); without right-to-left alignment
    // it returns R.
    TRect MirroredRect(const TRect& R) const;
    // The same for one pixel column: the painting's x of client pixel X, or
    // the client x of painting pixel X (ClientWidth - 1 - X when mirrored).
    int MirroredX(int X) const;
    // Client x X moved by D pixels the way the columns run on screen: to
    // the right, or to the left in a mirrored grid.
    int ColumnwardX(int X, int D) const { return MirroredX(MirroredX(X) + D); }
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    // The geometry on screen now, one axis each.
    void CalcDrawInfo(TGridDrawInfo& DrawInfo) const;

    TGridState GridState() const { return FGridState; }

    // The move primitive: makes (ACol, ARow) the current cell when
    // SelectCell allows it. MoveAnchor also puts the anchor there (else the
    // selection stretches from the anchor, with goRangeSelect; without it
    // the anchor always follows). Show scrolls the cell into view. An open
    // editor is closed (written back) unless goAlwaysShowEditor, with which
    // it reopens on the new cell. Asks nothing when the cell does not
    // change. Raises EInvalidGridOperation outside the grid. Returns
    // whether the current cell is now (ACol, ARow).
    bool MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // MoveColRow with Show.
    bool FocusCell(int ACol, int ARow, bool MoveAnchor) { return MoveColRow(ACol, ARow, MoveAnchor, true); }

    // Moves a column (row) to another index: the width (height) moves with
    // it, the current cell and the anchor follow their cell, then
    // ColumnMoved (RowMoved) runs, which in TStringGrid moves the cells and
    // fires OnColumnMoved (OnRowMoved). Raises EInvalidGridOperation for
    // an index outside the grid.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    // Where line Index ends up when the line at From moves to To.
    static int MovedIndex(int Index, int From, int To);
    // Removes a row (column) for good: the rows below move up, RowCount
    // drops by one (never below 1: deleting the only row empties it), and
    // TStringGrid drops its cells, so that a later growth does not bring
    // them back. The current cell stays on its cell when it can.
    virtual void DeleteRow(int ARow);
    virtual void DeleteColumn(int ACol);
    // ACount rows from ARow deleted as DeleteRow would one by one, with the
    // rows below moved up once.
    virtual void DeleteRows(int ARow, int ACount);
    // Row First + P takes the height of row From[P], for a From that lists
    // the rows First .. First + From.size() - 1 in a new order; repaints
    // once when a height changed (a sort's rows moved in one pass).
    void PermuteRowHeights(int First, const std::vector<int>& From);

    // --- In-place editor ----------------------------------------------------
    // Whether an edit is open. Setting true runs ShowEditor, false HideEditor.
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    // The editor, created by CreateEditor the first time an edit opens;
    // nullptr before that.
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    // Opens the editor on the current cell when CanEditShow allows it:
    // loads it (UpdateContents), places it over the cell, selects its text
    // and gives it the focus when the grid has it.
    void ShowEditor();
    // ShowEditor, then the typed character replaces the text (as when a
    // user starts typing on a cell). Ch is 936 text: an ASCII character or
    // the lead byte of the character just typed.
    void ShowEditorChar(char Ch);
    // Writes the editor's text back (SetEditText for the cell it was
    // opened on), hides it and gives the focus back to the grid when the
    // editor had it. Also runs when the focus leaves the grid and its
    // editor for another control (unless goAlwaysShowEditor).
    void HideEditor();
    // Reloads an open editor from its cell and places it again.
    void InvalidateEditor();

    // --- Repainting (nothing without a window) ------------------------------
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGridRect(const TGridRect& R);
    void InvalidateGrid() { Invalidate(); }

    // --- Events -------------------------------------------------------------
    // OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseUp, OnMouseMove,
    // OnClick and OnDblClick are the control's (TWinControl, TControl): the
    // key and mouse handling below fires them.
    using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
    using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    // --- Hooks for descendants ----------------------------------------------
    // Paints one cell into ARect (client coordinates, lines excluded) on
    // Canvas. AState says fixed, selected, focused. The base draws nothing.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Whether (ACol, ARow) may become the current cell; asked by every move
    // of the current cell (keys, mouse, Col/Row, FocusCell, MoveColRow)
    // before anything changes. The base allows every cell.
    virtual bool SelectCell(int ACol, int ARow);
    // Whether the bar of a direction stays shown even when nothing scrolls
    // (its arrows are then the descendant's to disable). The base: never.
    virtual bool KeepScrollBar(bool Horz) const { (void)Horz; return false; }
    // The part of the client area that the cells take, from its top-left
    // corner. The base: all of it; a descendant that keeps a strip of the
    // client area for a child window of its own leaves that strip out.
    // Everything that places cells on screen (the paint loop, CellRect,
    // MouseCoord, the visible counts, the largest TopRow and LeftCol, the
    // scroll range, the drag scrolling) stops at its edges.
    virtual TRect CellArea() const { return ClientRect(); }
    // How many of the last rows a descendant shows outside the cell area,
    // in a strip of its own: the largest TopRow then stops where the row
    // before them is shown whole, and the keys that aim at the last row
    // (Ctrl+End, PgDn) stop there too. The base: none.
    virtual int RowsShownOutsideCells() const { return 0; }
    // For a descendant whose CellArea changed while the bounds did not:
    // keeps the top-left cell in range, updates the scroll bars, places an
    // open editor again and repaints.
    void CellAreaChanged();
    // After TopRow or LeftCol changed (the grid has been scrolled or
    // invalidated and the scroll bars updated).
    virtual void TopLeftChanged();
    // The part of the client area whose cells a scroll shifts: the cell
    // area, less what a descendant covers with windows of its own.
    virtual TRect ScrollClipArea() const { return CellArea(); }
    // After ColCount or RowCount changed.
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    // After a column width (row height) changed, by code or by the mouse.
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    // After MoveColumn (MoveRow) moved the width (height) and the current
    // cell; TStringGrid moves the cells here, TDrawGrid fires the event.
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    // Decides at a press whether a drag sizes a column or a row. The base:
    // within 3 pixels of the line after a column, inside the fixed rows
    // and with goColSizing, the state becomes gsColSizing with SizingIndex
    // that column, SizingPos the line's x and SizingOfs the press x minus
    // SizingPos (both x as painted: see MirroredX); rows likewise inside the fixed columns with goRowSizing.
    // Otherwise State stays gsNormal.
    virtual void CalcSizingState(int X, int Y, const TGridDrawInfo& FixedInfo, int& SizingIndex, int& SizingPos,
                                 int& SizingOfs, TGridState& State);
    // Draws (and, drawn again at the same place, removes) the dotted XOR
    // line that shows a column's (row's) new edge while sizing; X is where
    // the painting has the edge, the line shows where the screen has it.
    virtual void DrawColSizingLine(int X);
    virtual void DrawRowSizingLine(int Y);

    // The editor host. CreateEditor makes the editor (owned by the grid);
    // CanEditShow says whether it may open now (goEditing without
    // goRowSelect, a window, the current cell scrollable and inside the
    // grid); GetEditText loads it, SetEditText receives every change and the
    // final text; GetEditLimit is its length limit (0: none).
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditShow();
    virtual String GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const String& Value);
    // A cell's text was written (TStringGrid.SetCells). When its editor is
    // open and shows another text, the editor takes the cell's new text, so
    // that closing the editor keeps what was written.
    virtual void EditedCellWritten(int ACol, int ARow);
    virtual int GetEditLimit();

    // The wheel: CM_MOUSEWHEEL fires OnMouseWheel and, unless it handled
    // the wheel, calls DoMouseWheelDown/Up once per notch (120). These fire
    // OnMouseWheelDown/Up and, unless handled, move the current row one
    // down (up) within the scrollable rows. They answer whether anything
    // handled the notch.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

    // Keys: OnKeyDown first (TWinControl::KeyDown); a key it left moves the
    // current cell: arrows, PgUp/PgDn (a page, scrolling with it), Home/End
    // (first/last column; with goRowSelect first/last row), Ctrl+Home/End
    // (first/last cell), Ctrl+PgUp/PgDn (first/last row on screen),
    // Ctrl+Left/Right (a page of columns), Shift with goRangeSelect keeps
    // the anchor, Tab/Shift+Tab with goTabs (wrapping to the next row, and
    // on to the next control at the end), F2 with goEditing opens the
    // editor, Enter closes an open one, Esc cancels it.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // OnKeyPress first; with goEditing a printable character or Backspace
    // opens the editor with that character; one that reaches the grid
    // while the editor is open (typed ahead) goes on to the editor.
    void KeyPress(char& Key) override;
    // Tab with goTabs; Enter with goEditing; Esc while editing.
    bool WantsSpecialKey(Word Key) override;

    // Mouse: a left press focuses the grid, then: on a sizing line starts
    // sizing (CalcSizingState); on a fixed-row cell with goColMoving (a
    // fixed-column cell with goRowMoving) starts moving that column (row);
    // on a scrollable cell makes it current (Shift with goRangeSelect
    // extends the selection) and, with goRangeSelect, starts selecting;
    // a double click with goEditing opens the editor. OnMouseDown fires
    // last. Moves extend the selection, move the sizing line or track the
    // move target; the release sets the new size or calls MoveColumn
    // (MoveRow), ends the state, and fires OnMouseUp.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // The paint loop: every fixed and scrollable cell on screen that meets
    // the region being painted (not only its bounding box) goes through DrawCell (after the background
    // with DefaultDrawing); then its GridLineWidth lines on the right and
    // below, in clSilver between scrollable cells and clGray between fixed
    // ones where goVertLine/goHorzLine (goFixedVertLine/goFixedHorzLine)
    // ask for them, else in the cell's background colour; last the area
    // beyond the last cell in Color. A selected cell is drawn in
    // clHighlight/clHighlightText unless it is the focused cell (which
    // goDrawFocusSelected or goRowSelect also highlight). Costs what is on
    // screen.
    void Paint() override;
    // Paints through a canvas mirrored across the client width under
    // right-to-left alignment (text keeps its reading direction).
    void PaintWindow(HDC DC) override;
    // Moves the vertical scroll bar to the side the mirrored layout starts
    // from, and repaints.
    void BiDiModeChanged() override;

    void WndProc(TMessage& Message) override;
    // Without a window: the size less the border, worked out without
    // asking the system for the window's frame (geometry calls it often).
    TRect ClientRect() const override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void BoundsChanged() override;
    void DoEnter() override;
    void DoExit() override;

    // Sets the drag state, for a descendant that ends or starts a drag
    // itself: gsNormal ends any drag (the sizing line goes, the drag-scroll
    // timer stops, the mouse is let go); gsSelecting or a moving state with
    // a window holds the mouse and starts the drag-scroll timer.
    void SetGridState(TGridState Value);
    // The sizing drag: the column (row) being sized, the line's position
    // and the press offset from it.
    int SizingIndex() const { return FSizingIndex; }
    int SizingPos() const { return FSizingPos; }
    int SizingOfs() const { return FSizingOfs; }
    // The moving drag: the column (row) pressed, and the one under the mouse now.
    int MoveIndex() const { return FMoveIndex; }
    int MovePos() const { return FMovePos; }
    // Updates the scroll bars' visibility, range and position (window only).
    void UpdateScrollRange();
    void UpdateScrollPos();
    // Scrolls so that the cell is on screen.
    void ClampInView(int ACol, int ARow);
    // Whether the cell is fixed.
    bool IsFixed(int ACol, int ARow) const { return ACol < FFixedCols || ARow < FFixedRows; }

private:
    // Keeps the storage of TStringGrid in step with the counts; only
    // TStringGrid overrides it (final).
    virtual void StorageCountsChanged(int OldColCount, int OldRowCount);

    void ChangeSize(int NewColCount, int NewRowCount);
    void KeepStateInside();
    void SetTopLeft(int ALeftCol, int ATopRow);
    void ScrollCellPixels(TGridCoord OldTopLeft);
    void CellSizesChanged();
    void FollowDeletedRow(int ARow);
    int LastTop(bool Horz) const;
    int FixedExtent(bool Horz) const;
    void InvalidateSelectionChange(const TGridRect& Old);
    void ScreenSpan(bool Horz, int From, int To, int& Start, int& End) const;
    int CellAreaWidth() const { return CellArea().right; }
    int CellAreaHeight() const { return CellArea().bottom; }
    int ScreenStart(bool Horz, int Index) const;
    TGridCoord DragCell(int X, int Y) const;
    void UpdateEditorPlace();
    void CancelEditor();
    void SendCharToEditor(char Ch);
    void EditorFocusLeft();
    void ScrollMessage(bool Horz, int Code, int Pos);
    void TimerScroll();
    void StopDrag();
    void HoldMouse(bool ScrollTimer);
    bool TabMove(bool Backward);
    void WMSetCursor(TMessage& Message);
    bool FocusInChild();

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    std::deque<int> FColWidths;
    std::deque<int> FRowHeights;
    // Cumulative sums of FColWidths / FRowHeights (entry i: sum of 0..i-1),
    // rebuilt on demand after a change.
    mutable std::vector<Int64> FColSums;
    mutable std::vector<Int64> FRowSums;
    mutable bool FColSumsValid = false;
    mutable bool FRowSumsValid = false;
    // How many columns (rows) differ from the default size: while none
    // does, a sum is a product and needs no table.
    int FCustomColWidths = 0;
    int FCustomRowHeights = 0;
    int FGridLineWidth = 1;
    bool FDefaultDrawing = true;
    TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FFixedColor = clBtnFace;

    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};

    TGridState FGridState = gsNormal;
    int FSizingIndex = -1;
    int FSizingPos = 0;
    int FSizingOfs = 0;
    int FMoveIndex = -1;
    int FMovePos = -1;
    bool FScrollTimer = false;
    bool FCapturing = false;
    bool FUpdatingScrollBars = false;

    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    // The focus is in the grid or its editor: the grid has been entered and
    // not left. The focus moving between the two is no enter or exit.
    bool FFocusInside = false;
    TGridCoord FEditCell{-1, -1};
    wchar_t FLastCharUnit = 0;
    int FWheelAccumulator = 0;

    friend class TInplaceEdit;
};

// The grid's events.
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// A grid whose cells the application draws: the hooks fire the events.
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner);

    TDrawCellEvent OnDrawCell;        // DrawCell
    TSelectCellEvent OnSelectCell;    // SelectCell; CanSelect starts true
    TGetEditEvent OnGetEditText;      // GetEditText; Value starts empty
    TSetEditEvent OnSetEditText;      // SetEditText
    TMovedEvent OnColumnMoved;        // ColumnMoved
    TMovedEvent OnRowMoved;           // RowMoved
    TNotifyEvent OnTopLeftChanged;    // TopLeftChanged

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void TopLeftChanged() override;
};

class TStringGridRow;

// A grid with a text and one object reference per cell. The grid never
// owns or frees the objects.
//
// Storage beyond the counts. When RowCount (ColCount) shrinks, the rows
// (columns) beyond the new count keep their texts and objects, and Cells,
// Objects and Rows still read and write them. A growth of the count always
// brings empty cells: whatever was stored in the rows (columns) it covers
// again is dropped (objects are not freed). DeleteRow (DeleteColumn)
// removes the row (column) from the storage, and those after it, inside
// and beyond the count, move up (left).
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    // The text of a cell; empty for a cell never written or outside the
    // storage. Writing repaints the cell; it raises EInvalidGridOperation
    // for a negative index and may write beyond the counts (see above).
    String Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const String& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    // Row ARow as a string list of ColCount items with their objects,
    // reading and writing the cells. Strings/Put/Objects/PutObject address
    // a column; Clear empties the row's cells; Add (AddObject) fills the
    // cell after the last one added since Clear (for a list never cleared:
    // after the last non-empty cell) and returns -1 when the row is full;
    // Assign, CommaText and Text therefore fill the row from column 0.
    // Insert and Delete raise EListError (a row has a fixed length).
    // The list stays bound to the index ARow and lives as long as the grid.
    TStrings* Rows(int ARow);
    // Exchanges the texts and object references of two whole rows (stored
    // beyond ColCount too) without copying them; nothing is repainted.
    void ExchangeRowCells(int ARow1, int ARow2);
    // Row First + P takes the texts and objects of row From[P], each row
    // moved once; From lists the rows First .. First + From.size() - 1 in
    // a new order (anything else raises EInvalidGridOperation and changes
    // nothing). Nothing is repainted.
    void PermuteRowCells(int First, const std::vector<int>& From);
    // Hands Visit the stored text of column ACol for each of the rows First
    // .. Last in order (empty for a cell never written), as a view into the
    // storage valid during the call; Visit must write no cell. Reads ahead
    // of the walk: a long column costs its texts, not a wait for each row's
    // memory.
    void VisitColumnTexts(int ACol, int First, int Last,
                          const std::function<void(int Row, std::string_view Text)>& Visit) const;
    // Drops every text and object reference of row ARow with the memory
    // that held them (objects are not freed); nothing is repainted.
    void ReleaseRowCells(int ARow);
    // The extent of the storage: a row keeps only the cells written in it,
    // and rows after the last written one hold none, so memory follows the
    // cells stored, not ColCount x RowCount. Loops that look for stored
    // texts or objects need go no further than these.
    int StoredRowCount() const { return static_cast<int>(FRows.size()); }
    int StoredColCount(int ARow) const;
    // Says that about ACount non-empty cells are about to be written into
    // row ARow (a loader writing a whole row): the row's storage then grows
    // once to hold them rather than a cell at a time. Nothing is stored
    // until a cell is written.
    void ExpectRowCells(int ARow, int ACount);

    void DeleteRow(int ARow) override;
    void DeleteColumn(int ACol) override;
    void DeleteRows(int ARow, int ACount) override;

protected:
    // With DefaultDrawing: the cell's text at 2 pixels inside ARect; then OnDrawCell.
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    // The cell's text (OnGetEditText may change it).
    String GetEditText(int ACol, int ARow) override;
    // Stores the text in the cell, then OnSetEditText.
    void SetEditText(int ACol, int ARow, const String& Value) override;
    // Moves the cells (of every stored row), then fires the event.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    // A stored cell of a row, by column. A row keeps its cells in column
    // order and only those written, so a wide grid with a few cells a row
    // costs what those cells cost. A cell takes 32 bytes: texts of up to 16
    // bytes are kept inside it, longer ones in a block of their own.
    class TCell {
    public:
        explicit TCell(int ACol) : Col(ACol) {}
        TCell(TCell&& Other) noexcept;
        TCell& operator=(TCell&& Other) noexcept;
        TCell(const TCell&) = delete;
        TCell& operator=(const TCell&) = delete;
        ~TCell() { FreeText(); }

        std::string_view Text() const
        {
            return std::string_view(FLength <= InlineBytes ? FInline : FHeap, FLength);
        }
        void SetText(std::string_view Value);

        // The column, then the text's length beside it: no padding.
        int Col = 0;

    private:
        static constexpr std::uint32_t InlineBytes = 16;
        void FreeText();

        std::uint32_t FLength = 0;
        union {
            char FInline[InlineBytes] = {};
            char* FHeap;
        };

    public:
        TObject* Object = nullptr;
    };
    // The rows' cell arrays come from a pool of the grid that keeps freed
    // blocks by size: a row that grows a cell at a time leaves no trail of
    // odd-sized free blocks in the process heap, whose search for a fitting
    // block would then slow every later allocation.
    using TCells = std::pmr::vector<TCell>;

    void StorageCountsChanged(int OldColCount, int OldRowCount) final;
    const TCell* FindCell(int ACol, int ARow) const;
    TCell& CellForWrite(int ACol, int ARow);
    // Drops the row's last cell when it holds neither text nor object.
    void DropIfEmpty(int ACol, int ARow);
    // Empties a row and gives its array back to the pool.
    static void FreeRow(TCells& Cells);
    // Adds empty rows (taking their arrays from the pool) up to Count.
    void StoreRowsUpTo(std::size_t Count);
    void DropEmptyLastRows();

    std::pmr::unsynchronized_pool_resource FCellPool{std::pmr::pool_options{0, 1 << 20}};
    // One entry per stored row, up to the last row written (fewer than
    // RowCount when the last rows are empty); an empty array for a row
    // without cells.
    std::deque<TCells> FRows;
    // The number of cells a loader is about to write into row
    // FExpectedRow: its array then grows once to hold them.
    int FExpectedRow = -1;
    int FExpectedCells = 0;
    std::unordered_map<int, std::unique_ptr<TStringGridRow>> FRowLists;

    friend class TStringGridRow;
};
