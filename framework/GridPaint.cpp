// TCustomGrid: the paint loop and the sizing lines.
#include "framework/Grids.h"

#include <algorithm>
#include <vector>

namespace {

// One column or row on screen: its index, start and size.
struct TScreenCell {
    int Index;
    int Start;
    int Size;
};

// The fixed cells, then the scrollable ones from First, up to Extent.
std::vector<TScreenCell> CellsOnScreen(const TCustomGrid& Grid, bool Horz, int Extent)
{
    std::vector<TScreenCell> cells;
    const int count = Horz ? Grid.ColCount() : Grid.RowCount();
    const int fixed = Horz ? Grid.FixedCols() : Grid.FixedRows();
    const int first = Horz ? Grid.LeftCol() : Grid.TopRow();
    const int line = Grid.GridLineWidth();
    int pos = 0;
    auto add = [&](int I) {
        const int size = Horz ? Grid.ColWidths(I) : Grid.RowHeights(I);
        cells.push_back(TScreenCell{I, pos, size});
        pos += size + line;
    };
    for (int i = 0; i < fixed && pos < Extent; ++i)
        add(i);
    for (int i = first; i < count && pos < Extent; ++i)
        add(i);
    return cells;
}

bool Meets(const TRect& A, const TRect& B)
{
    return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

} // namespace

void TCustomGrid::PaintWindow(HDC DC)
{
    // A layout of LAYOUT_RTL mirrors everything drawn across the DC's width
    // (the client width: the window's DC, the double buffer and a DC given
    // with WM_PAINT are all of the client's size) but keeps text readable.
    const TDCMirror mirror(DC, UseRightToLeftAlignment());
    TCustomControl::PaintWindow(DC);
}

void TCustomGrid::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect clip = canvas->ClipRect();
    // The region to paint may be more than one rectangle (the strip a scroll
    // brought into view and a cell invalidated elsewhere): a cell inside the
    // box around them but outside the region is not drawn at all.
    RECT box;
    const bool complexClip = GetClipBox(canvas->Handle(), &box) == COMPLEXREGION;
    auto visible = [&](const TRect& R) {
        if (!Meets(R, clip))
            return false;
        const RECT r = R;
        return !complexClip || RectVisible(canvas->Handle(), &r) != FALSE;
    };
    const int width = CellAreaWidth();
    const int height = CellAreaHeight();
    const std::vector<TScreenCell> cols = CellsOnScreen(*this, true, width);
    const std::vector<TScreenCell> rows = CellsOnScreen(*this, false, height);
    const TGridRect selection = Selection();
    const bool focused = Focused() || (FInplaceEdit != nullptr && FInplaceEdit->Focused());
    const TColor normalColor = Color();
    const TColor fontColor = Font()->Color();
    const int line = FGridLineWidth;

    for (const TScreenCell& row : rows) {
        const TRect band{0, row.Start, width, row.Start + row.Size + line};
        if (!visible(band))
            continue;
        for (const TScreenCell& col : cols) {
            const TRect withLines{col.Start, row.Start, col.Start + col.Size + line, row.Start + row.Size + line};
            if (!visible(withLines))
                continue;
            const TRect cell{col.Start, row.Start, col.Start + col.Size, row.Start + row.Size};
            const bool fixed = IsFixed(col.Index, row.Index);
            TGridDrawState state = 0;
            if (fixed) {
                state |= gdFixed;
            } else {
                if (col.Index >= selection.Left && col.Index <= selection.Right && row.Index >= selection.Top &&
                    row.Index <= selection.Bottom)
                    state |= gdSelected;
                if (focused && col.Index == FCurrent.X && row.Index == FCurrent.Y)
                    state |= gdFocused;
            }
            const bool highlighted =
                (state & gdSelected) != 0 && ((state & gdFocused) == 0 || (FOptions & goDrawFocusSelected) != 0 ||
                                              (FOptions & goRowSelect) != 0);
            canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            canvas->Font()->SetColor(highlighted ? clHighlightText : fontColor);
            canvas->Brush()->SetColor(fixed ? FFixedColor : highlighted ? clHighlight : normalColor);
            if (FDefaultDrawing)
                canvas->FillRect(cell);
            DrawCell(col.Index, row.Index, cell, state);
            if (FDefaultDrawing && (state & gdFocused) != 0 && (FOptions & goRowSelect) == 0 && !FEditorMode) {
                canvas->Brush()->SetColor(normalColor);
                canvas->Font()->SetColor(fontColor);
                canvas->DrawFocusRect(cell);
            }
            if (line > 0) {
                // The lines right of and below the cell.
                const bool vert = (FOptions & (fixed ? goFixedVertLine : goVertLine)) != 0;
                const bool horz = (FOptions & (fixed ? goFixedHorzLine : goHorzLine)) != 0;
                const TColor lineColor = fixed ? clGray : clSilver;
                const TColor back = fixed ? FFixedColor : normalColor;
                canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
                canvas->Brush()->SetColor(vert ? lineColor : back);
                canvas->FillRect(TRect{cell.right, cell.top, cell.right + line, cell.bottom + line});
                canvas->Brush()->SetColor(horz ? lineColor : back);
                canvas->FillRect(TRect{cell.left, cell.bottom, cell.right + (vert ? 0 : line), cell.bottom + line});
            }
        }
    }
    // The area beyond the last column and below the last row.
    const int right = cols.empty() ? 0 : cols.back().Start + cols.back().Size + line;
    const int bottom = rows.empty() ? 0 : rows.back().Start + rows.back().Size + line;
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->Brush()->SetColor(normalColor);
    if (right < width)
        canvas->FillRect(TRect{right, 0, width, height});
    if (bottom < height)
        canvas->FillRect(TRect{0, bottom, std::min(right, width), height});
}

namespace {

// A dotted line drawn by inverting the pixels under its dots, so that
// drawing it twice at the same place leaves no trace.
void InvertDottedLine(HWND Wnd, int X1, int Y1, int X2, int Y2)
{
    HDC dc = GetDC(Wnd);
    if (dc == nullptr)
        return;
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int oldRop = SetROP2(dc, R2_NOT);
    const int oldBk = SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, X1, Y1, nullptr);
    LineTo(dc, X2, Y2);
    SetBkMode(dc, oldBk);
    SetROP2(dc, oldRop);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    ReleaseDC(Wnd, dc);
}

} // namespace

void TCustomGrid::DrawColSizingLine(int X)
{
    if (!HandleAllocated())
        return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const int x = MirroredX(X);
    InvertDottedLine(Handle(), x, 0, x, std::max(info.Vert.GridExtent, info.Vert.GridBoundary));
}

void TCustomGrid::DrawRowSizingLine(int Y)
{
    if (!HandleAllocated())
        return;
    TGridDrawInfo info;
    CalcDrawInfo(info);
    // Along the cells, from the edge where a mirrored grid starts them too.
    const int extent = std::max(info.Horz.GridExtent, info.Horz.GridBoundary);
    InvertDottedLine(Handle(), MirroredX(0), Y, MirroredX(extent), Y);
}
