// TCustomGrid: the counts, the options, the current cell and the selection,
// moving and deleting rows and columns; and TDrawGrid's events.
#include "framework/Grids.h"

#include <algorithm>

#include "framework/PropertyRegistry.h"

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
    FColWidths.assign(static_cast<std::size_t>(FColCount), FDefaultColWidth);
    FRowHeights.assign(static_cast<std::size_t>(FRowCount), FDefaultRowHeight);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid()
{
    Destroying();
}

void TCustomGrid::SetColCount(int Value)
{
    ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value)
{
    ChangeSize(FColCount, Value);
}

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount)
{
    NewColCount = std::max(1, NewColCount);
    NewRowCount = std::max(1, NewRowCount);
    const int oldCols = FColCount;
    const int oldRows = FRowCount;
    if (NewColCount == oldCols && NewRowCount == oldRows)
        return;
    // Sizes that leave with a shrink no longer count as custom.
    for (int c = NewColCount; c < oldCols; ++c)
        FCustomColWidths -= FColWidths[static_cast<std::size_t>(c)] != FDefaultColWidth;
    for (int r = NewRowCount; r < oldRows; ++r)
        FCustomRowHeights -= FRowHeights[static_cast<std::size_t>(r)] != FDefaultRowHeight;
    FColWidths.resize(static_cast<std::size_t>(NewColCount), FDefaultColWidth);
    FRowHeights.resize(static_cast<std::size_t>(NewRowCount), FDefaultRowHeight);
    FColSumsValid = false;
    FRowSumsValid = false;
    FColCount = NewColCount;
    FRowCount = NewRowCount;
    FFixedCols = std::min(FFixedCols, FColCount - 1);
    FFixedRows = std::min(FFixedRows, FRowCount - 1);
    StorageCountsChanged(oldCols, oldRows);
    if (FEditorMode && (FEditCell.X >= FColCount || FEditCell.Y >= FRowCount))
        HideEditor();
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
        UpdateEditorPlace();
    }
    SizeChanged(oldCols, oldRows);
}

// After the counts or the fixed counts changed: the current cell and the
// anchor inside the counts, the top-left cell inside its range.
void TCustomGrid::KeepStateInside()
{
    auto inside = [this](TGridCoord& C) {
        C.X = std::min(C.X, FColCount - 1);
        C.Y = std::min(C.Y, FRowCount - 1);
    };
    inside(FCurrent);
    inside(FAnchor);
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
}

void TCustomGrid::SetFixedCols(int Value)
{
    if (Value < 0 || Value >= FColCount)
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    if (Value == FFixedCols)
        return;
    FFixedCols = Value;
    if (FCurrent.X < Value)
        FCurrent.X = Value;
    if (FAnchor.X < Value)
        FAnchor.X = Value;
    FTopLeft.X = std::max(FTopLeft.X, Value);
    if (FTopLeft.X > Value && FTopLeft.X > MaxLeftCol())
        FTopLeft.X = std::max(Value, MaxLeftCol());
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
        UpdateEditorPlace();
    }
}

void TCustomGrid::SetFixedRows(int Value)
{
    if (Value < 0 || Value >= FRowCount)
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    if (FCurrent.Y < Value)
        FCurrent.Y = Value;
    if (FAnchor.Y < Value)
        FAnchor.Y = Value;
    FTopLeft.Y = std::max(FTopLeft.Y, Value);
    if (FTopLeft.Y > Value && FTopLeft.Y > MaxTopRow())
        FTopLeft.Y = std::max(Value, MaxTopRow());
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
        UpdateEditorPlace();
    }
}

void TCustomGrid::SetGridLineWidth(int Value)
{
    Value = std::max(0, Value);
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
        UpdateEditorPlace();
    }
}

void TCustomGrid::SetDefaultDrawing(bool Value)
{
    if (Value == FDefaultDrawing)
        return;
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value)
{
    if (Value == FOptions)
        return;
    const TGridOptions old = FOptions;
    FOptions = Value;
    if ((Value & goEditing) == 0 || (Value & goRowSelect) != 0)
        HideEditor();
    else if ((Value & goAlwaysShowEditor) != 0 && (old & goAlwaysShowEditor) == 0)
        ShowEditor();
    if ((Value & goRangeSelect) == 0)
        FAnchor = FCurrent;
    Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value)
{
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    UpdateScrollRange();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomGrid::SetFixedColor(TColor Value)
{
    if (Value == FFixedColor)
        return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetCol(int Value)
{
    MoveColRow(Value, FCurrent.Y, true, true);
}

void TCustomGrid::SetRow(int Value)
{
    MoveColRow(FCurrent.X, Value, true, true);
}

TGridRect TCustomGrid::Selection() const
{
    TGridRect r{std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
                std::max(FAnchor.Y, FCurrent.Y)};
    if ((FOptions & goRowSelect) != 0) {
        r.Left = FFixedCols;
        r.Right = FColCount - 1;
    }
    return r;
}

void TCustomGrid::SetSelection(const TGridRect& Value)
{
    const TGridRect old = Selection();
    FAnchor = TGridCoord{Value.Left, Value.Top};
    FCurrent = TGridCoord{Value.Right, Value.Bottom};
    InvalidateSelectionChange(old);
}

bool TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show)
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    const bool changes = ACol != FCurrent.X || ARow != FCurrent.Y;
    if (changes && !SelectCell(ACol, ARow))
        return false;
    const TGridRect old = Selection();
    if (changes && (FOptions & goAlwaysShowEditor) == 0)
        HideEditor();
    FCurrent = TGridCoord{ACol, ARow};
    if (MoveAnchor || (FOptions & goRangeSelect) == 0)
        FAnchor = FCurrent;
    if (Show)
        ClampInView(ACol, ARow);
    InvalidateSelectionChange(old);
    if (changes && (FOptions & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor)) {
        if (FEditorMode)
            HideEditor();
        ShowEditor();
    }
    return FCurrent.X == ACol && FCurrent.Y == ARow;
}

namespace {

void MoveEntry(std::deque<int>& Sizes, int From, int To)
{
    const int value = Sizes[static_cast<std::size_t>(From)];
    Sizes.erase(Sizes.begin() + From);
    Sizes.insert(Sizes.begin() + To, value);
}

} // namespace

int TCustomGrid::MovedIndex(int Index, int From, int To)
{
    if (Index == From)
        return To;
    if (From < To && Index > From && Index <= To)
        return Index - 1;
    if (To < From && Index >= To && Index < From)
        return Index + 1;
    return Index;
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex)
{
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount)
        throw EInvalidGridOperation("Grid index out of range");
    if (FromIndex == ToIndex)
        return;
    HideEditor();
    MoveEntry(FColWidths, FromIndex, ToIndex);
    FColSumsValid = false;
    FCurrent.X = MovedIndex(FCurrent.X, FromIndex, ToIndex);
    FAnchor.X = MovedIndex(FAnchor.X, FromIndex, ToIndex);
    Invalidate();
    ColumnMoved(FromIndex, ToIndex);
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex)
{
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    if (FromIndex == ToIndex)
        return;
    HideEditor();
    MoveEntry(FRowHeights, FromIndex, ToIndex);
    FRowSumsValid = false;
    FCurrent.Y = MovedIndex(FCurrent.Y, FromIndex, ToIndex);
    FAnchor.Y = MovedIndex(FAnchor.Y, FromIndex, ToIndex);
    Invalidate();
    RowMoved(FromIndex, ToIndex);
}

void TCustomGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    HideEditor();
    const int oldRows = FRowCount;
    FCustomRowHeights -= FRowHeights[static_cast<std::size_t>(ARow)] != FDefaultRowHeight;
    FRowHeights.erase(FRowHeights.begin() + ARow);
    FRowSumsValid = false;
    if (FRowCount == 1)
        FRowHeights.push_back(FDefaultRowHeight);
    else
        --FRowCount;
    FollowDeletedRow(ARow);
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
    }
    if (FRowCount != oldRows)
        SizeChanged(FColCount, oldRows);
}

// After row ARow went: the fixed rows stay below the count; the current
// cell and the anchor stay on their rows (on the deleted row they take the
// one that moved up into its place); the top row follows its row.
void TCustomGrid::FollowDeletedRow(int ARow)
{
    FFixedRows = std::min(FFixedRows, FRowCount - 1);
    auto follow = [this, ARow](TGridCoord& C) {
        if (C.Y > ARow)
            --C.Y;
        C.Y = std::min(C.Y, FRowCount - 1);
        if (C.Y < FFixedRows && ARow >= FFixedRows)
            C.Y = std::min(FFixedRows, FRowCount - 1);
    };
    follow(FCurrent);
    follow(FAnchor);
    if (FTopLeft.Y > ARow && FTopLeft.Y > FFixedRows)
        --FTopLeft.Y;
}

void TCustomGrid::DeleteRows(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= FRowCount || ACount < 0)
        throw EInvalidGridOperation("Grid index out of range");
    ACount = std::min(ACount, FRowCount - ARow);
    if (ACount >= FRowCount - 1) {
        // Down to the last row, which is emptied rather than removed.
        for (int i = 0; i < ACount; ++i)
            DeleteRow(ARow);
        return;
    }
    if (ACount == 0)
        return;
    HideEditor();
    const int oldRows = FRowCount;
    const auto first = FRowHeights.begin() + ARow;
    FCustomRowHeights -= static_cast<int>(
        std::count_if(first, first + ACount, [this](int H) { return H != FDefaultRowHeight; }));
    FRowHeights.erase(first, first + ACount);
    FRowSumsValid = false;
    // The counts and positions step as DeleteRow steps them, row by row.
    for (int i = 0; i < ACount; ++i) {
        --FRowCount;
        FollowDeletedRow(ARow);
    }
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
    }
    SizeChanged(FColCount, oldRows);
}

void TCustomGrid::DeleteColumn(int ACol)
{
    if (ACol < 0 || ACol >= FColCount)
        throw EInvalidGridOperation("Grid index out of range");
    HideEditor();
    const int oldCols = FColCount;
    FCustomColWidths -= FColWidths[static_cast<std::size_t>(ACol)] != FDefaultColWidth;
    FColWidths.erase(FColWidths.begin() + ACol);
    FColSumsValid = false;
    if (FColCount == 1)
        FColWidths.push_back(FDefaultColWidth);
    else
        --FColCount;
    FFixedCols = std::min(FFixedCols, FColCount - 1);
    auto follow = [this, ACol](TGridCoord& C) {
        if (C.X > ACol)
            --C.X;
        C.X = std::min(C.X, FColCount - 1);
        if (C.X < FFixedCols && ACol >= FFixedCols)
            C.X = std::min(FFixedCols, FColCount - 1);
    };
    follow(FCurrent);
    follow(FAnchor);
    if (FTopLeft.X > ACol && FTopLeft.X > FFixedCols)
        --FTopLeft.X;
    KeepStateInside();
    if (HandleAllocated()) {
        UpdateScrollRange();
        Invalidate();
    }
    if (FColCount != oldCols)
        SizeChanged(oldCols, FRowCount);
}

void TCustomGrid::SetGridState(TGridState Value)
{
    if (Value == FGridState)
        return;
    if (Value == gsNormal) {
        StopDrag();
        return;
    }
    FGridState = Value;
    if (Value == gsSelecting || Value == gsColMoving || Value == gsRowMoving)
        HoldMouse(true);
}

void TCustomGrid::StorageCountsChanged(int, int) {}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}
bool TCustomGrid::SelectCell(int, int) { return true; }
void TCustomGrid::TopLeftChanged() {}
void TCustomGrid::SizeChanged(int, int) {}
void TCustomGrid::ColWidthsChanged() {}
void TCustomGrid::RowHeightsChanged() {}
void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

// --- Repainting ---------------------------------------------------------------

void TCustomGrid::InvalidateCell(int ACol, int ARow)
{
    if (!HandleAllocated())
        return;
    const TRect r = CellRect(ACol, ARow);
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    // The cell's lines too: the focus and selection look reach them.
    const RECT area{r.left, r.top, r.right + FGridLineWidth, r.bottom + FGridLineWidth};
    ::InvalidateRect(Handle(), &area, FALSE);
}

void TCustomGrid::InvalidateRow(int ARow)
{
    InvalidateGridRect(TGridRect{0, ARow, FColCount - 1, ARow});
}

void TCustomGrid::InvalidateCol(int ACol)
{
    InvalidateGridRect(TGridRect{ACol, 0, ACol, FRowCount - 1});
}

// The on-screen box of the cells of R that are on screen.
void TCustomGrid::InvalidateGridRect(const TGridRect& R)
{
    if (!HandleAllocated())
        return;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    ScreenSpan(true, std::min(R.Left, R.Right), std::max(R.Left, R.Right), x0, x1);
    ScreenSpan(false, std::min(R.Top, R.Bottom), std::max(R.Top, R.Bottom), y0, y1);
    if (x1 <= x0 || y1 <= y0)
        return;
    const RECT area{x0, y0, x1, y1};
    ::InvalidateRect(Handle(), &area, FALSE);
}

// The pixels that cells From..To of one axis take on screen (lines
// included), walking only the cells on screen; Start >= End when none is.
void TCustomGrid::ScreenSpan(bool Horz, int From, int To, int& Start, int& End) const
{
    const std::deque<int>& sizes = Horz ? FColWidths : FRowHeights;
    const int count = Horz ? FColCount : FRowCount;
    const int fixed = Horz ? FFixedCols : FFixedRows;
    const int first = Horz ? FTopLeft.X : FTopLeft.Y;
    const int extent = Horz ? CellAreaWidth() : CellAreaHeight();
    Start = extent;
    End = 0;
    int pos = 0;
    auto take = [&](int I) {
        const int size = sizes[static_cast<std::size_t>(I)];
        if (I >= From && I <= To) {
            Start = std::min(Start, pos);
            End = std::max(End, pos + size + FGridLineWidth);
        }
        pos += size + FGridLineWidth;
    };
    for (int i = 0; i < fixed && pos < extent; ++i)
        take(i);
    for (int i = first; i < count && i <= To && pos < extent; ++i)
        take(i);
    End = std::min(End, extent);
}

void TCustomGrid::InvalidateSelectionChange(const TGridRect& Old)
{
    if (!HandleAllocated())
        return;
    const TGridRect now = Selection();
    if (now == Old) {
        InvalidateCell(FCurrent.X, FCurrent.Y);
        return;
    }
    InvalidateGridRect(Old);
    InvalidateGridRect(now);
}

// --- TDrawGrid ----------------------------------------------------------------

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TDrawGrid::SelectCell(int ACol, int ARow)
{
    bool canSelect = TCustomGrid::SelectCell(ACol, ARow);
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, canSelect);
    return canSelect;
}

String TDrawGrid::GetEditText(int ACol, int ARow)
{
    String value;
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const String& Value)
{
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

namespace {

// The grid's published colour, which other libraries (the skin library)
// read and write by name.
const bool GridPropertiesPublished = [] {
    TPropInfo fixed;
    fixed.Name = "FixedColor";
    fixed.Kind = TPropKind::Ordinal;
    fixed.GetOrd = [](TObject* Obj) { return static_cast<Int64>(static_cast<TCustomGrid*>(Obj)->FixedColor()); };
    fixed.SetOrd = [](TObject* Obj, Int64 Value) {
        static_cast<TCustomGrid*>(Obj)->SetFixedColor(static_cast<TColor>(Value));
    };
    RegisterPublishedProperty<TCustomGrid>(std::move(fixed));
    return true;
}();

}   // namespace
