// TCustomGrid: counts, column widths and row heights, and where cells are
// on screen. Every walk here starts at the fixed cells or at TopRow/LeftCol
// and stops at the client edge, so it costs what is on screen.
#include "framework/Grids.h"

#include <algorithm>
#include <climits>

namespace {

// The cumulative table of Sizes: entry i is the sum of entries 0..i-1.
void RebuildSums(const std::deque<int>& Sizes, std::vector<Int64>& Sums)
{
    Sums.assign(Sizes.size() + 1, 0);
    Int64 sum = 0;
    for (std::size_t i = 0; i < Sizes.size(); ++i) {
        Sums[i] = sum;
        sum += Sizes[i];
    }
    Sums[Sizes.size()] = sum;
}

int ClampToInt(Int64 Value)
{
    return static_cast<int>(std::clamp<Int64>(Value, INT_MIN, INT_MAX));
}

} // namespace

int TCustomGrid::ColWidths(int ACol) const
{
    if (ACol < 0 || ACol >= FColCount)
        return FDefaultColWidth;
    return FColWidths[static_cast<std::size_t>(ACol)];
}

int TCustomGrid::RowHeights(int ARow) const
{
    if (ARow < 0 || ARow >= FRowCount)
        return FDefaultRowHeight;
    return FRowHeights[static_cast<std::size_t>(ARow)];
}

// After a column width or row height changed: the top-left cell kept in
// range, the scroll bars, a repaint and an open editor placed again.
void TCustomGrid::CellSizesChanged()
{
    if (!HandleAllocated())
        return;
    SetTopLeft(FTopLeft.X, FTopLeft.Y);
    UpdateScrollRange();
    Invalidate();
    UpdateEditorPlace();
}

void TCustomGrid::SetColWidths(int ACol, int Value)
{
    if (ACol < 0 || ACol >= FColCount)
        throw EInvalidGridOperation("Grid index out of range");
    Value = std::max(0, Value);
    int& width = FColWidths[static_cast<std::size_t>(ACol)];
    if (width == Value)
        return;
    FCustomColWidths += (Value != FDefaultColWidth) - (width != FDefaultColWidth);
    width = Value;
    FColSumsValid = false;
    CellSizesChanged();
    ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int ARow, int Value)
{
    if (ARow < 0 || ARow >= FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    Value = std::max(0, Value);
    int& height = FRowHeights[static_cast<std::size_t>(ARow)];
    if (height == Value)
        return;
    FCustomRowHeights += (Value != FDefaultRowHeight) - (height != FDefaultRowHeight);
    height = Value;
    FRowSumsValid = false;
    CellSizesChanged();
    RowHeightsChanged();
}

void TCustomGrid::PermuteRowHeights(int First, const std::vector<int>& From)
{
    if (First < 0 || static_cast<Int64>(First) + static_cast<Int64>(From.size()) > FRowCount)
        throw EInvalidGridOperation("Grid index out of range");
    // Rows of the default height all look alike: nothing moves.
    if (FCustomRowHeights == 0 || From.empty())
        return;
    std::vector<int> moved(From.size());
    bool changed = false;
    for (std::size_t p = 0; p < From.size(); ++p) {
        const int from = From[p];
        if (from < First || from >= First + static_cast<int>(From.size()))
            throw EInvalidGridOperation("Grid index out of range");
        moved[p] = FRowHeights[static_cast<std::size_t>(from)];
        changed = changed || moved[p] != FRowHeights[static_cast<std::size_t>(First) + p];
    }
    if (!changed)
        return;
    std::copy(moved.begin(), moved.end(), FRowHeights.begin() + First);
    FRowSumsValid = false;
    CellSizesChanged();
    RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(int Value)
{
    Value = std::max(0, Value);
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    FCustomColWidths = 0;
    FColSumsValid = false;
    CellSizesChanged();
    ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value)
{
    Value = std::max(0, Value);
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    FCustomRowHeights = 0;
    FRowSumsValid = false;
    CellSizesChanged();
    RowHeightsChanged();
}

int TCustomGrid::SumColWidths(int AFrom, int ATo) const
{
    AFrom = std::max(0, AFrom);
    ATo = std::min(FColCount, ATo);
    if (ATo <= AFrom)
        return 0;
    if (FCustomColWidths == 0)
        return ClampToInt(static_cast<Int64>(ATo - AFrom) * FDefaultColWidth);
    if (!FColSumsValid) {
        RebuildSums(FColWidths, FColSums);
        FColSumsValid = true;
    }
    return ClampToInt(FColSums[static_cast<std::size_t>(ATo)] - FColSums[static_cast<std::size_t>(AFrom)]);
}

int TCustomGrid::SumRowHeights(int AFrom, int ATo) const
{
    AFrom = std::max(0, AFrom);
    ATo = std::min(FRowCount, ATo);
    if (ATo <= AFrom)
        return 0;
    if (FCustomRowHeights == 0)
        return ClampToInt(static_cast<Int64>(ATo - AFrom) * FDefaultRowHeight);
    if (!FRowSumsValid) {
        RebuildSums(FRowHeights, FRowSums);
        FRowSumsValid = true;
    }
    return ClampToInt(FRowSums[static_cast<std::size_t>(ATo)] - FRowSums[static_cast<std::size_t>(AFrom)]);
}

// Width (height) of the fixed columns (rows) with their lines.
int TCustomGrid::FixedExtent(bool Horz) const
{
    const std::deque<int>& sizes = Horz ? FColWidths : FRowHeights;
    const int fixed = Horz ? FFixedCols : FFixedRows;
    int extent = 0;
    for (int i = 0; i < fixed; ++i)
        extent += sizes[static_cast<std::size_t>(i)] + FGridLineWidth;
    return extent;
}

// The smallest first scrollable column (row) that still shows the last
// one whole; the last one itself when not even it fits.
int TCustomGrid::LastTop(bool Horz) const
{
    const std::deque<int>& sizes = Horz ? FColWidths : FRowHeights;
    const int count = Horz ? FColCount : FRowCount - RowsShownOutsideCells();
    const int fixed = Horz ? FFixedCols : FFixedRows;
    const int available = (Horz ? CellAreaWidth() : CellAreaHeight()) - FixedExtent(Horz);
    int used = 0;
    for (int i = count - 1; i >= fixed; --i) {
        used += sizes[static_cast<std::size_t>(i)];
        if (used > available)
            return std::min(count - 1, i + 1);
        used += FGridLineWidth;
    }
    return fixed;
}

int TCustomGrid::MaxTopRow() const
{
    return LastTop(false);
}

int TCustomGrid::MaxLeftCol() const
{
    return LastTop(true);
}

void TCustomGrid::CalcDrawInfo(TGridDrawInfo& DrawInfo) const
{
    auto axis = [this](TGridAxisDrawInfo& A, const std::deque<int>& Sizes, int Count, int Fixed, int First,
                       int Extent) {
        A.EffectiveLineWidth = FGridLineWidth;
        A.FixedCellCount = Fixed;
        A.FirstGridCell = First;
        A.GridCellCount = Count;
        A.GridExtent = Extent;
        int pos = 0;
        for (int i = 0; i < Fixed; ++i)
            pos += Sizes[static_cast<std::size_t>(i)] + FGridLineWidth;
        A.FixedBoundary = pos;
        A.LastFullVisibleCell = First - 1;
        A.FullVisBoundary = pos;
        int i = First;
        for (; i < Count && pos < Extent; ++i) {
            const int end = pos + Sizes[static_cast<std::size_t>(i)];
            if (end <= Extent) {
                A.LastFullVisibleCell = i;
                A.FullVisBoundary = end + FGridLineWidth;
            }
            pos = end + FGridLineWidth;
        }
        A.GridBoundary = std::min(pos, Extent);
    };
    axis(DrawInfo.Horz, FColWidths, FColCount, FFixedCols, FTopLeft.X, CellAreaWidth());
    axis(DrawInfo.Vert, FRowHeights, FRowCount, FFixedRows, FTopLeft.Y, CellAreaHeight());
}

int TCustomGrid::VisibleColCount() const
{
    const int available = CellAreaWidth() - FixedExtent(true);
    int used = 0;
    int count = 0;
    for (int c = FTopLeft.X; c < FColCount; ++c) {
        used += FColWidths[static_cast<std::size_t>(c)];
        if (used > available)
            break;
        ++count;
        used += FGridLineWidth;
    }
    return count;
}

int TCustomGrid::VisibleRowCount() const
{
    const int available = CellAreaHeight() - FixedExtent(false);
    int used = 0;
    int count = 0;
    for (int r = FTopLeft.Y; r < FRowCount; ++r) {
        used += FRowHeights[static_cast<std::size_t>(r)];
        if (used > available)
            break;
        ++count;
        used += FGridLineWidth;
    }
    return count;
}

namespace {

// Start of cell Index on one axis, or INT_MIN when it is not on screen
// (scrolled away or starting at or beyond Extent).
int AxisStart(const std::deque<int>& Sizes, int Index, int Fixed, int First, int LineWidth, int Extent)
{
    int pos = 0;
    if (Index < Fixed) {
        for (int i = 0; i < Index; ++i)
            pos += Sizes[static_cast<std::size_t>(i)] + LineWidth;
        return pos < Extent ? pos : INT_MIN;
    }
    if (Index < First)
        return INT_MIN;
    for (int i = 0; i < Fixed; ++i)
        pos += Sizes[static_cast<std::size_t>(i)] + LineWidth;
    for (int i = First; i < Index; ++i) {
        pos += Sizes[static_cast<std::size_t>(i)] + LineWidth;
        if (pos >= Extent)
            return INT_MIN;
    }
    return pos < Extent ? pos : INT_MIN;
}

// The cell on one axis at Pos, or -1.
int AxisCell(const std::deque<int>& Sizes, int Pos, int Count, int Fixed, int First, int LineWidth, int Extent)
{
    if (Pos < 0 || Pos >= Extent)
        return -1;
    int pos = 0;
    for (int i = 0; i < Fixed; ++i) {
        pos += Sizes[static_cast<std::size_t>(i)] + LineWidth;
        if (Pos < pos)
            return i;
    }
    for (int i = First; i < Count && pos < Extent; ++i) {
        pos += Sizes[static_cast<std::size_t>(i)] + LineWidth;
        if (Pos < pos)
            return i;
    }
    return -1;
}

} // namespace

TRect TCustomGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount)
        return TRect{0, 0, 0, 0};
    const int width = CellAreaWidth();
    const int height = CellAreaHeight();
    const int x = AxisStart(FColWidths, ACol, FFixedCols, FTopLeft.X, FGridLineWidth, width);
    if (x == INT_MIN)
        return TRect{0, 0, 0, 0};
    const int y = AxisStart(FRowHeights, ARow, FFixedRows, FTopLeft.Y, FGridLineWidth, height);
    if (y == INT_MIN)
        return TRect{0, 0, 0, 0};
    return MirroredRect(TRect{x, y, std::min(width, x + FColWidths[static_cast<std::size_t>(ACol)]),
                              std::min(height, y + FRowHeights[static_cast<std::size_t>(ARow)])});
}

TRect TCustomGrid::MirroredRect(const TRect& R) const
{
    if (!UseRightToLeftAlignment())
        return R;
    const int width = ClientWidth();
    return TRect{width - R.right, R.top, width - R.left, R.bottom};
}

int TCustomGrid::MirroredX(int X) const
{
    return UseRightToLeftAlignment() ? ClientWidth() - 1 - X : X;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const
{
    X = MirroredX(X);
    const int col = AxisCell(FColWidths, X, FColCount, FFixedCols, FTopLeft.X, FGridLineWidth, CellAreaWidth());
    const int row = AxisCell(FRowHeights, Y, FRowCount, FFixedRows, FTopLeft.Y, FGridLineWidth, CellAreaHeight());
    return TGridCoord{col, row};
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    const TGridCoord cell = MouseCoord(X, Y);
    ACol = cell.X;
    ARow = cell.Y;
}

void TCustomGrid::SetTopRow(int Value)
{
    SetTopLeft(FTopLeft.X, Value);
}

void TCustomGrid::SetLeftCol(int Value)
{
    SetTopLeft(Value, FTopLeft.Y);
}

// Clamps the new top-left cell and, when it changed, repaints, moves the
// thumbs and the editor, and tells TopLeftChanged.
void TCustomGrid::SetTopLeft(int ALeftCol, int ATopRow)
{
    const int left = std::clamp(ALeftCol, FFixedCols, std::max(FFixedCols, MaxLeftCol()));
    const int top = std::clamp(ATopRow, FFixedRows, std::max(FFixedRows, MaxTopRow()));
    if (left == FTopLeft.X && top == FTopLeft.Y)
        return;
    const TGridCoord old = FTopLeft;
    FTopLeft = TGridCoord{left, top};
    if (HandleAllocated()) {
        ScrollCellPixels(old);
        UpdateScrollPos();
        UpdateEditorPlace();
    }
    TopLeftChanged();
}

// A scroll along one axis moves the pixels of the scrolling cells (the
// fixed rows or columns stay) and invalidates only the strip that came into
// view; a scroll along both axes, or one as far as the area, repaints it all.
void TCustomGrid::ScrollCellPixels(TGridCoord OldTopLeft)
{
    const bool horz = OldTopLeft.X != FTopLeft.X;
    const bool vert = OldTopLeft.Y != FTopLeft.Y;
    // A mirrored grid keeps its fixed columns at the right edge and moves its
    // columns the other way on screen: a column scroll repaints it whole.
    if (horz == vert || (horz && UseRightToLeftAlignment())) {
        Invalidate();
        return;
    }
    const int from = horz ? OldTopLeft.X : OldTopLeft.Y;
    const int to = horz ? FTopLeft.X : FTopLeft.Y;
    const int low = std::min(from, to);
    const int high = std::max(from, to);
    const int span = (horz ? SumColWidths(low, high) : SumRowHeights(low, high)) + (high - low) * FGridLineWidth;
    TRect area = ScrollClipArea();
    if (horz)
        area.left = std::max<LONG>(area.left, FixedExtent(true));
    else
        area.top = std::max<LONG>(area.top, FixedExtent(false));
    const int extent = horz ? area.right - area.left : area.bottom - area.top;
    if (span >= extent || extent <= 0) {
        Invalidate();
        return;
    }
    const int shift = to > from ? -span : span;
    ScrollWindowEx(Handle(), horz ? shift : 0, horz ? 0 : shift, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TCustomGrid::ClampInView(int ACol, int ARow)
{
    int left = FTopLeft.X;
    int top = FTopLeft.Y;
    auto fit = [this](bool Horz, int Index) {
        const std::deque<int>& sizes = Horz ? FColWidths : FRowHeights;
        const int fixed = Horz ? FFixedCols : FFixedRows;
        const int first = Horz ? FTopLeft.X : FTopLeft.Y;
        if (Index < fixed)
            return first;
        if (Index < first)
            return Index;
        // The first index that shows Index whole, walking back from it.
        const int available = (Horz ? CellAreaWidth() : CellAreaHeight()) - FixedExtent(Horz);
        int used = sizes[static_cast<std::size_t>(Index)];
        if (used > available)
            return Index;
        int start = Index;
        while (start > first) {
            const int next = used + FGridLineWidth + sizes[static_cast<std::size_t>(start - 1)];
            if (next > available)
                break;
            used = next;
            --start;
        }
        return start;
    };
    if (ACol >= 0 && ACol < FColCount)
        left = fit(true, ACol);
    if (ARow >= 0 && ARow < FRowCount)
        top = fit(false, ARow);
    SetTopLeft(left, top);
}

// Start of a cell on screen, or INT_MIN when it is not on screen.
int TCustomGrid::ScreenStart(bool Horz, int Index) const
{
    if (Horz)
        return Index < 0 || Index >= FColCount
                   ? INT_MIN
                   : AxisStart(FColWidths, Index, FFixedCols, FTopLeft.X, FGridLineWidth, CellAreaWidth());
    return Index < 0 || Index >= FRowCount
               ? INT_MIN
               : AxisStart(FRowHeights, Index, FFixedRows, FTopLeft.Y, FGridLineWidth, CellAreaHeight());
}
