// Tree nodes: node rows in column 0 with their spans, expanding and
// contracting them through hidden rows, and row insertion and removal that
// keep the spans.

#include <algorithm>

#include "grid/core/ProGrid.h"

TCellGraphic* TProStringGrid::NodeGraphic(int ARow)
{
    if (ARow < 0 || ARow >= RowCount())
        return nullptr;
    TCellGraphic* G = GetCellGraphicObject(0, ARow);
    return G && G->CellType == ctNode ? G : nullptr;
}

void TProStringGrid::ChangeNodeLevel(int ARow, int Delta)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    TCellProperties* Props = EnsureCellProperties(0, ARow);
    Props->NodeLevel = std::max(Props->NodeLevel + Delta, 0);
}

int TProStringGrid::NextNodeRow(int ARow)
{
    for (int R = ARow + 1; R < RowCount(); ++R)
        if (NodeGraphic(R))
            return R;
    return RowCount();
}

int TProStringGrid::GetRowIndent(int ARow)
{
    if (!HasNodes() || ARow < 0 || ARow >= RowCount())
        return 0;
    TCellProperties* Props = CellProperties(0, ARow);
    return Props ? Props->NodeLevel * FCellNode->NodeIndent() : 0;
}

void TProStringGrid::AddNode(int ARow, int Span)
{
    const int R = RealToDisplayRow(ARow);
    TCellGraphic* G = NewCellGraphic(0, R);
    G->CellType = ctNode;
    G->CellAngle = R;
    G->CellBoolean = false;
    G->CellIndex = Span;
    G->CellHAlign = haBeforeText;
    G->CellVAlign = vaCenter;
    G->CellErrFrom = 0;
    G->CellVar = -1;
    for (int I = R; I < R + Span && I < RowCount(); ++I)
        ChangeNodeLevel(I, 1);
    if (FNodeCount == 0)
        RedrawCol(0);
    ++FNodeCount;
    if (Col() == 0 && ColCount() > 1)
        SetCol(1);
}

void TProStringGrid::SetSummaryRow(int ARow)
{
    TCellGraphic* G = NewCellGraphic(0, RealToDisplayRow(ARow));
    G->CellType = ctSummary;
}

bool TProStringGrid::RemoveNode(int ARow)
{
    ExpandSingleNode(ARow);
    const int R = RealToDisplayRow(ARow);
    TCellGraphic* G = NodeGraphic(R);
    if (!G)
        return false;
    const int Span = G->CellIndex;
    for (int I = R; I < R + Span && I < RowCount(); ++I)
        ChangeNodeLevel(I, -1);
    RemoveCellGraphic(0, R);
    FNodeCount = std::max(FNodeCount - 1, 0);
    return true;
}

void TProStringGrid::RemoveAllNodes()
{
    int R = 0;
    while (R < RowCount()) {
        TCellGraphic* G = NodeGraphic(R);
        if (!G) {
            ++R;
            continue;
        }
        // The node's real row is what expanding takes.
        ExpandNode(DisplayToRealRow(R));
        G = NodeGraphic(R);
        const int Span = G ? G->CellIndex : 1;
        const int End = Span > 0 ? R + Span : NextNodeRow(R);
        for (int I = R; I < End && I < RowCount(); ++I)
            if (TCellProperties* Props = CellProperties(0, I))
                Props->NodeLevel = 0;
        RemoveCellGraphic(0, R);
        FNodeCount = std::max(FNodeCount - 1, 0);
        R = std::max(End, R + 1);
    }
}

void TProStringGrid::ExpandNode(int ARow)
{
    if (FCellNode->ExpandOne) {
        for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R) {
            TCellGraphic* G = NodeGraphic(R);
            if (G && !G->CellBoolean && DisplayToRealRow(R) != ARow)
                ContractNode(DisplayToRealRow(R));
        }
    }
    ExpandSingleNode(ARow);
}

void TProStringGrid::ExpandSingleNode(int ARow)
{
    const int B = RealToDisplayRow(ARow);
    if (IsHiddenRow(ARow))
        return;
    TCellGraphic* G = NodeGraphic(B);
    if (!G || !G->CellBoolean)
        return;
    G->CellBoolean = false;
    int E = B + 1;
    if (G->CellIndex <= 0)
        E = NextNodeRow(B);
    const int OldTop = TopRow();
    const int OldRow = Row();
    const bool RowSelect = HasOption(goRowSelect);
    if (RowSelect)
        SetOptions(Options() & ~static_cast<TGridOptions>(goRowSelect));
    BeginUpdate();
    UnHideRows(DisplayToRealRow(B) + 1, DisplayToRealRow(E) - 1);
    if (RowSelect) {
        SetOptions(Options() | goRowSelect);
        if (OldRow < RowCount())
            SetRow(OldRow);
        SetTopRow(OldTop);
    }
    EndUpdate();
    RecalcFooterColumn(-1);
}

void TProStringGrid::ContractNode(int ARow)
{
    if (IsHiddenRow(ARow))
        return;
    const int B = RealToDisplayRow(ARow);
    TCellGraphic* G = NodeGraphic(B);
    if (!G || G->CellBoolean)
        return;
    G->CellBoolean = true;
    const int C = B + 1;
    int End = G->CellIndex > 0 ? B + G->CellIndex : NextNodeRow(B);
    End = std::min(End, RowCount());
    int I = C;
    // Every restart hides at least one row, so the walk ends.
    while (I < End && I < RowCount()) {
        TCellGraphic* Child = NodeGraphic(I);
        if (Child && Child->CellBoolean) {
            Child->CellBoolean = false;
            const int ChildSpan = Child->CellIndex > 0 ? Child->CellIndex : NextNodeRow(I) - I;
            HideRows(DisplayToRealRow(C), DisplayToRealRow(I));
            End = End + C - ChildSpan - I;
            I = C;
        } else {
            ++I;
        }
    }
    if (I - 1 >= C)
        HideRows(DisplayToRealRow(C), DisplayToRealRow(I - 1));
    RecalcFooterColumn(-1);
}

void TProStringGrid::ExpandAllNodes()
{
    UnHideRowsAll();
    for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
        if (TCellGraphic* G = NodeGraphic(R))
            G->CellBoolean = false;
    RecalcFooterColumn(-1);
}

void TProStringGrid::ContractAllNodes()
{
    BeginUpdate();
    ExpandAllNodes();
    std::vector<int> Rows;
    int R = TStringGrid::FixedRows();
    while (R < RowCount()) {
        TCellGraphic* G = NodeGraphic(R);
        if (!G) {
            ++R;
            continue;
        }
        G->CellBoolean = true;
        // A span of 0 or less reaches to the next node row, and the walk
        // always advances.
        const int End = G->CellIndex > 0 ? std::min(R + G->CellIndex, RowCount()) : NextNodeRow(R);
        for (int I = R + 1; I < End; ++I)
            Rows.push_back(I);
        R = std::max(End, R + 1);
    }
    HideRowList(Rows);
    EndUpdate();
    RecalcFooterColumn(-1);
}

bool TProStringGrid::IsNodeRow(int ARow) { return ARow >= 0 && NodeGraphic(ARow) != nullptr; }

bool TProStringGrid::IsSummaryRow(int ARow) { return ARow >= 0 && GetCellType(0, ARow) == ctSummary; }

bool TProStringGrid::IsNodeContracted(int ARow)
{
    TCellGraphic* G = NodeGraphic(ARow);
    return G && G->CellBoolean;
}

int TProStringGrid::GetNodeLevel(int ARow)
{
    if (!NodeGraphic(ARow))
        return -1;
    TCellProperties* Props = CellProperties(0, ARow);
    return Props ? Props->NodeLevel : -1;
}

int TProStringGrid::GetNodeSpan(int ARow)
{
    TCellGraphic* G = NodeGraphic(ARow);
    return G ? G->CellIndex : -1;
}

int TProStringGrid::GetNodeCountOffset(int ARow)
{
    TCellGraphic* G = NodeGraphic(ARow);
    return G ? G->CellErrFrom : 0;
}

void TProStringGrid::AddNodeSpan(int ARow, int Delta)
{
    if (TCellGraphic* G = NodeGraphic(ARow))
        G->CellIndex += Delta;
}

void TProStringGrid::AddNodeCountOffset(int ARow, int Delta)
{
    if (TCellGraphic* G = NodeGraphic(ARow))
        G->CellErrFrom += Delta;
}

int TProStringGrid::ParentNodeRow(int ARow)
{
    if (!HasNodes())
        return -1;
    int Result = -1;
    int Level = 0xFFFF;
    if (IsNodeRow(ARow)) {
        Level = GetNodeLevel(ARow);
        Result = ARow;
    }
    int Skip = 0;
    for (int I = ARow; I >= TStringGrid::FixedRows(); --I) {
        if (!IsNodeRow(I) || GetNodeLevel(I) >= Level)
            continue;
        const int S = GetNodeSpan(I);
        if (IsNodeContracted(I))
            Skip += S - 1;
        if (ARow < I + S - Skip)
            return I;
    }
    return Result;
}

int TProStringGrid::TreeLineKind(int ARow)
{
    if (IsNodeRow(ARow))
        return 0;
    if (ARow < RowCount() - FFixedFooters - 1) {
        TCellProperties* Next = CellProperties(0, ARow + 1);
        TCellProperties* Cur = CellProperties(0, ARow);
        if (Next && Next->NodeLevel >= (Cur ? Cur->NodeLevel : 0))
            return 2;
    }
    return 1;
}

// The node button of a row lies in the indent of its level (the grid is
// laid out left to right).
bool TProStringGrid::IsOnNodeButton(int ARow, int X)
{
    const int L = GetNodeLevel(ARow);
    const int N = FCellNode->NodeIndent();
    if (UseRightToLeftAlignment()) {
        // Column 0 is at the right edge: measured from the control's width,
        // less the vertical scroll bar while the rows do not all fit.
        const int V = VisibleRowCount() < RowCount() - FixedRows() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        return X + V >= Width() - L * N - 2 && X + V < Width() - (L - 1) * N;
    }
    return (L - 1) * N < X && X < L * N;
}

void TProStringGrid::InsertNodeChildRow(int ARow, int After)
{
    const int B = RealToDisplayRow(ARow);
    int Level = 1;
    const int P = ParentNodeRow(B);
    int ParentLevel = 1;
    if (P >= 0) {
        const int PReal = DisplayToRealRow(P);
        AddNodeSpan(P, 1);
        AddNodeCountOffset(P, 1);
        ExpandNode(PReal);
        Level = GetNodeLevel(RealToDisplayRow(PReal));
        ParentLevel = Level;
        int Prev = RealToDisplayRow(PReal);
        while (Level > 1) {
            int Q = ParentNodeRow(Prev - 1);
            while (Q >= TStringGrid::FixedRows() && GetNodeLevel(Q) >= Level)
                Q = ParentNodeRow(Q - 1);
            if (Q < TStringGrid::FixedRows())
                break;
            const int QReal = DisplayToRealRow(Q);
            AddNodeSpan(Q, 1);
            AddNodeCountOffset(Q, 1);
            ExpandNode(QReal);
            Prev = RealToDisplayRow(QReal);
            Level = GetNodeLevel(Prev);
        }
    }
    const int Base = RealToDisplayRow(ARow);
    const bool NodeRow = IsNodeRow(Base);
    if (NodeRow)
        After = 1;
    // The insertion renumbers the hidden rows after it itself.
    InsertRows(Base + After, 1);
    if (NodeRow) {
        for (int C = 0; C < AllColCount(); ++C) {
            SetCells(C, Base + 1, Cells(C, Base));
            SetCells(C, Base, "");
            if (C > 0) {
                SetCellObject(C, Base + 1, GetCellObject(C, Base));
                if (HasCellProperties(C, Base))
                    CellProperties(C, Base)->CellObject = nullptr;
            }
        }
    }
    if (P >= 0)
        EnsureCellProperties(0, Base + After)->NodeLevel = ParentLevel;
}

void TProStringGrid::RemoveNodeChildRow(int ARow)
{
    const int B = RealToDisplayRow(ARow);
    int P = ParentNodeRow(B);
    if (P >= 0) {
        const int L0 = GetNodeLevel(P);
        while (P >= 0) {
            const int PReal = DisplayToRealRow(P);
            if (GetNodeSpan(P) > 1) {
                AddNodeSpan(P, -1);
                AddNodeCountOffset(P, -1);
            }
            ExpandNode(PReal);
            P = RealToDisplayRow(PReal);
            if (GetNodeLevel(P) <= 1)
                break;
            const int Q = ParentNodeRow(P - 1);
            if (Q < 0 || GetNodeLevel(Q) >= L0)
                break;
            P = Q;
        }
    }
    RemoveRows(RealToDisplayRow(ARow), 1);
    FLargestRowCount = std::max(FLargestRowCount - 1, RowCount());
}

void TProStringGrid::InsertOneRow(int ARow)
{
    // The insertion renumbers the hidden rows after it itself.
    InsertRows(RealToDisplayRow(ARow), 1);
}

void TProStringGrid::RemoveOneRow(int ARow)
{
    RemoveRows(RealToDisplayRow(ARow), 1);
    FLargestRowCount = std::max(FLargestRowCount - 1, RowCount());
}
