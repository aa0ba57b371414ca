// Grid dimensions: counts with the always-fixed rules, fixed sizes, footer
// rows, word wrap, scroll-bar visibility, header lists, vertical merging of
// equal cells in listed columns, change notifications and update brackets.

#include <algorithm>

#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/FooterPanel.h"

namespace {
// The header text of a list line: each two-character "\n" becomes a carriage return.
String HeaderText(const String& Line)
{
    String S;
    for (std::size_t I = 0; I < Line.size(); ++I) {
        if (Line[I] == '\\' && I + 1 < Line.size() && Line[I + 1] == 'n') {
            S.push_back('\r');
            ++I;
        } else {
            S.push_back(Line[I]);
        }
    }
    return S;
}
} // namespace

void TProStringGrid::ChangeRowCount(int Value)
{
    if (RowCount() == TStringGrid::FixedRows() && FixedRowAlways)
        RestoreSelection();
    // Growing brings empty rows; what the storage still held beyond the
    // count is dropped by the base, so the grid's own objects there are freed first.
    // Only stored cells can hold objects: the loop ends with the storage.
    if (Value > RowCount() && PropertiesCreated)
        for (int R = RowCount(); R < std::min(Value, StoredRowCount()); ++R)
            for (int C = 0; C < std::min(AllColCount(), StoredColCount(R)); ++C)
                if (Objects(C, R))
                    FreeCellProperties(C, R);
    TBaseGrid::SetRowCount(Value);
    if (FWantedFixedRows < RowCount() && FixedRowAlways && TStringGrid::FixedRows() != FWantedFixedRows)
        TBaseGrid::SetFixedRows(FWantedFixedRows);
    FLargestRowCount = std::max(FLargestRowCount, Value);
    NormalRowCount = Value;
    RepaintFloatingFooter();
    UpdateScrollBarVisibility(false);
}

void TProStringGrid::SetRowCount(int Value)
{
    const int Old = RowCount();
    ChangeRowCount(Value);
    if (FFloatingFooter && FFloatingFooter->Visible() && Value != Old && Old > 0 && Value > 0) {
        // The footer row stays last: the old last row's cells move to the
        // new last row (the storage keeps rows beyond the count), and the old
        // place is cleared without freeing what moved.
        for (int C = 0; C < AllColCount(); ++C) {
            if (Value < Old && Objects(C, Value - 1))
                FreeCellProperties(C, Value - 1);
            SetCells(C, Value - 1, Cells(C, Old - 1));
            SetObjects(C, Value - 1, Objects(C, Old - 1));
            SetCells(C, Old - 1, "");
            SetObjects(C, Old - 1, nullptr);
        }
        RecalcFooterColumn(-1);
    }
    RowsChanged();
}

void TProStringGrid::SetColCount(int Value)
{
    TBaseGrid::SetColCount(Value);
    if (FWantedFixedCols < ColCount() && FixedColAlways && TStringGrid::FixedCols() != FWantedFixedCols)
        TBaseGrid::SetFixedCols(FWantedFixedCols);
    FLargestColCount = std::max(FLargestColCount, Value);
    RepaintFloatingFooter();
    // The integral height depends on whether a horizontal scroll bar shows.
    SetBounds(Left(), Top(), Width(), Height());
    UpdateScrollBarVisibility(false);
}

int TProStringGrid::FixedRows() const
{
    const int F = TStringGrid::FixedRows();
    return F == 0 && FixedRowAlways ? 1 : F;
}

void TProStringGrid::SetFixedRows(int Value)
{
    int V = Value;
    if (Value >= RowCount() && FixedRowAlways)
        V = RowCount() - 1;
    TBaseGrid::SetFixedRows(V);
    if (!IsLoading())
        FWantedFixedRows = Value;
}

int TProStringGrid::FixedCols() const
{
    const int F = TStringGrid::FixedCols();
    return F == 0 && FixedColAlways ? 1 : F;
}

void TProStringGrid::SetFixedCols(int Value)
{
    int V = Value;
    if (Value >= ColCount() && FixedColAlways)
        V = ColCount() - 1;
    TBaseGrid::SetFixedCols(V);
    if (!IsLoading())
        FWantedFixedCols = Value;
}

int TProStringGrid::FixedColWidth() const { return ColWidths(0); }

void TProStringGrid::SetFixedColWidth(int Value)
{
    if (IsLoading() || Value == DefaultColWidth())
        return;
    for (int C = 0; C < TStringGrid::FixedCols(); ++C)
        SetColWidths(C, Value);
}

void TProStringGrid::SetFixedRowHeight(int Value)
{
    FFixedRowHeight = Value;
    if (IsLoading())
        return;
    if (Value == DefaultRowHeight()) {
        TBaseGrid::SetDefaultRowHeight(Value);
        return;
    }
    for (int R = 0; R < TStringGrid::FixedRows(); ++R)
        SetRowHeights(R, Value);
}

void TProStringGrid::SetDefaultRowHeight(int Value)
{
    TBaseGrid::SetDefaultRowHeight(Value);
    if (IsDesigning())
        FFixedRowHeight = Value;
    if (FFloatingFooter) {
        FFloatingFooter->FooterHeight = Value;
        // A shown footer strip follows at once.
        if (FFloatingFooter->Visible())
            FooterPanel()->SetHeight(Value);
    }
}

void TProStringGrid::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    WordWrapDefault = Value;
    if (FUpdateCount == 0)
        Invalidate();
}

void TProStringGrid::SetFixedFooters(int Value)
{
    FFixedFooters = Value;
    Invalidate();
}

void TProStringGrid::SetFixedRightCols(int Value)
{
    FFixedRightCols = Value;
    Invalidate();
}

void TProStringGrid::UpdateScrollBarVisibility(bool Force)
{
    if (!HandleAllocated())
        return;
    const bool RowsFit = VisibleRowCount() + TStringGrid::FixedRows() >= RowCount();
    const bool ColsFit = VisibleColCount() + TStringGrid::FixedCols() >= ColCount();
    if (ScrollBarAlways != saNone) {
        if (RowsFit)
            ShowScrollBar(Handle(), SB_VERT, ScrollBarAlways == saVert || ScrollBarAlways == saBoth);
        if (ColsFit)
            ShowScrollBar(Handle(), SB_HORZ, ScrollBarAlways == saHorz || ScrollBarAlways == saBoth);
        EnableScrollBar(Handle(), SB_VERT, RowsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
        EnableScrollBar(Handle(), SB_HORZ, ColsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    } else if (Force) {
        if (RowsFit)
            ShowScrollBar(Handle(), SB_VERT, FALSE);
        if (ColsFit)
            ShowScrollBar(Handle(), SB_HORZ, FALSE);
    }
}

// ---------------------------------------------------------------------------
// Headers

void TProStringGrid::SetColumnHeaders(const TStrings* Value)
{
    auto Keep = FColumnHeaders->OnChange;
    FColumnHeaders->OnChange = nullptr;
    FColumnHeaders->Assign(Value);
    FColumnHeaders->OnChange = Keep;
    if (TStringGrid::FixedRows() > 0)
        ClearHeaderRow();
    ApplyColumnHeaders();
}

void TProStringGrid::SetRowHeaders(const TStrings* Value)
{
    auto Keep = FRowHeaders->OnChange;
    FRowHeaders->OnChange = nullptr;
    FRowHeaders->Assign(Value);
    FRowHeaders->OnChange = Keep;
    if (IsDesigning() && TStringGrid::FixedCols() > 0)
        ClearHeaderCol();
    ApplyRowHeaders();
}

void TProStringGrid::ApplyColumnHeaders()
{
    if (TStringGrid::FixedRows() <= 0)
        return;
    for (int I = 0; I < FColumnHeaders->Count() && I < ColCount() + FHiddenColCount; ++I)
        WriteCellText(I, 0, HeaderText(FColumnHeaders->Strings(I)));
}

void TProStringGrid::ApplyRowHeaders()
{
    if (TStringGrid::FixedCols() <= 0)
        return;
    for (int I = 0; I < FRowHeaders->Count() && I < RowCount(); ++I)
        WriteCellText(0, I, HeaderText(FRowHeaders->Strings(I)));
}

void TProStringGrid::ClearHeaderRow()
{
    for (int C = 0; C < ColCount(); ++C)
        WriteCellText(C, 0, "");
}

void TProStringGrid::ClearHeaderCol()
{
    for (int R = 0; R < RowCount(); ++R)
        WriteCellText(0, R, "");
}

// ---------------------------------------------------------------------------
// Vertical merging of equal cells

void TProStringGrid::MergeColumnsChanged()
{
    SplitAllColumnMerges();
    MergeListedColumns();
}

void TProStringGrid::SplitAllColumnMerges()
{
    for (int C = 0; C < ColCount(); ++C)
        SplitColumnMerges(C);
}

void TProStringGrid::MergeListedColumns()
{
    for (int I = 0; I < FMergedColumns->Count(); ++I)
        MergeColumnRuns(FMergedColumns->GetInteger(I), I == 0);
}

void TProStringGrid::SplitColumnMerges(int ACol)
{
    int R = 0;
    while (R < RowCount() - FFixedFooters - 1) {
        if (IsMergedVertically(ACol, R)) {
            const int Span = std::max(MergedSpan(ACol, R).y, 0L);
            SplitCells(ACol, R);
            R += Span + 1;
        } else {
            ++R;
        }
    }
}

void TProStringGrid::MergeColumnRuns(int ACol, bool MergeFreely)
{
    const int First = TStringGrid::FixedRows();
    const int Last = RowCount() - FFixedFooters - 1;
    if (Last <= First)
        return;
    int Start = First;
    int Count = 1;
    for (int A = First + 1; A <= Last; ++A) {
        const bool Breaks = ReadCellText(ACol, A) != ReadCellText(ACol, A - 1)
            || (!MergeFreely && !RowsShareMerge(A, A - 1));
        if (Breaks) {
            if (Count > 1)
                MergeCells(ACol, Start, 1, Count);
            Start = A;
            Count = 1;
        } else {
            ++Count;
        }
    }
    if (Count > 1)
        MergeCells(ACol, Start, 1, Count);
}

// ---------------------------------------------------------------------------
// Update bracketing. The counter balances whether or not the grid is
// visible; only the redraw switch needs the window.

void TProStringGrid::BeginUpdate()
{
    ++FUpdateCount;
    if (FUpdateCount == 1 && HandleAllocated())
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TProStringGrid::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount == 0 && HandleAllocated()) {
        SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TProStringGrid::ResetColumnOrder()
{
    FColumnOrder->Clear();
    for (int C = 0; C < ColCount(); ++C)
        FColumnOrder->Add(C);
}
