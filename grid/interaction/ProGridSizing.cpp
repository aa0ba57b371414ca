// Column and row sizing of the grid: the stretch column, proportional sizing
// while the mouse sizes a column or row, column proportions kept on resize,
// auto-sizing to the content, sizing while typing, zoom and growing with
// the owner form.
#include <algorithm>
#include <cmath>

#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/MouseActions.h"

namespace {

// Keeps a flag set for the lifetime of a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = FOld; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// A pair of limits: equal ends limit nothing, a positive end limits its side.
int ApplyLimits(int Value, int Min, int Max)
{
    if (Min == Max)
        return Value;
    if (Min > 0 && Value < Min)
        Value = Min;
    if (Max > 0 && Value > Max)
        Value = Max;
    return Value;
}

// Size x New / Old rounded to the nearest whole pixel, halves to even.
int ScaledSize(int Size, int New, int Old)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(Size) * New / Old));
}

// Lines of a cell text: CR LF, a lone CR and a lone LF each end one.
int TextLineCount(const String& Text)
{
    int Lines = 1;
    for (size_t I = 0; I < Text.size(); ++I)
        if (Text[I] == '\r' || (Text[I] == '\n' && (I == 0 || Text[I - 1] != '\r')))
            ++Lines;
    return Lines;
}

} // namespace

int TProStringGrid::LimitColWidth(int W) const { return ApplyLimits(W, FMinColWidth, FMaxColWidth); }

int TProStringGrid::LimitRowHeight(int H) const { return ApplyLimits(H, FMinRowHeight, FMaxRowHeight); }

// The stretch column of the settings when it names a column of the grid
// now; automatic stretching never raises for an index the counts left behind.
int TProStringGrid::StretchIndex() const
{
    const int I = FColumnSize ? FColumnSize->StretchColumn : -1;
    return I >= -1 && I < ColCount() ? I : -2;
}

void TProStringGrid::StretchColumn(int Index)
{
    if (IsLoading() || IsDestroying())
        return;
    if (Index >= ColCount() || Index < -1)
        throw Exception("Stretch column index out of range");
    if (Index == -1)
        Index = ColCount() - 1;
    if (ColCount() <= 0 || !FColumnSize || !FColumnSize->Stretch || FStretching)
        return;
    {
        TFlagGuard Guard(FStretching);
        const int Client = ClientWidth();
        if (ColCount() == 1) {
            SetColWidths(0, Client);
        } else {
            const int Others = SumColWidths(0, ColCount()) - ColWidths(Index);
            if (Others < Client)
                SetColWidths(Index, Client - Others - 1);
            else if (LeftCol() == TStringGrid::FixedCols())
                SetColWidths(Index, DefaultColWidth());
        }
    }
    FStretchAllowed = true;
    if (FFloatingFooter && FFloatingFooter->Visible())
        RepaintFloatingFooter();
}

void TProStringGrid::SizeChanged(int OldColCount, int OldRowCount)
{
    if (!Parent() || IsLoading()) {
        TBaseGrid::SizeChanged(OldColCount, OldRowCount);
        return;
    }
    if (FColumnSize && FColumnSize->Stretch && StretchIndex() != -2)
        StretchColumn(StretchIndex());
    TBaseGrid::SizeChanged(OldColCount, OldRowCount);
    UpdateScrollBarVisibility(false);
}

void TProStringGrid::ColWidthsChanged()
{
    if (FStretchAllowed && StretchIndex() != -2)
        StretchColumn(StretchIndex());
    TBaseGrid::ColWidthsChanged();
    if (FSizingColumn && FSizingCol >= 0 && FSizingCol < ColCount()) {
        const int C = FSizingCol;
        if (FMouseActions && FMouseActions->AllColumnSize && FSizingColWidth0 > 0) {
            FSizingColumn = false;
            const int W = ColWidths(C);
            for (int I = TStringGrid::FixedCols(); I < ColCount(); ++I)
                if (I != C)
                    SetColWidths(I, ScaledSize(ColWidths(I), W, FSizingColWidth0));
            FSizingColumn = true;
        }
        if (OnEndColumnSize)
            OnEndColumnSize(this, C);
        int W = ColWidths(C);
        const int Before = W;
        DoUpdateColumnSize(C, W);
        if (W != Before) {
            FSizingColumn = false;
            SetColWidths(C, W);
        }
        FSizingCol = -1;
        FSizingRow = -1;
    }
    EditorsFollowCellSize();
    FSizingColumn = false;
    if (FFloatingFooter && FFloatingFooter->Visible())
        RepaintFloatingFooter();
    if (FColumnSize && FColumnSize->Stretch && ScrollProportional && !FZooming)
        UpdateVertScrollProportion();
}

void TProStringGrid::RowHeightsChanged()
{
    TBaseGrid::RowHeightsChanged();
    if (FSizingRowNow && FSizingRow >= 0 && FSizingRow < RowCount()) {
        const int R = FSizingRow;
        if (FMouseActions && FMouseActions->AllRowSize && FSizingRowHeight0 > 0) {
            FSizingRowNow = false;
            const int H = RowHeights(R);
            for (int I = TStringGrid::FixedRows(); I < RowCount(); ++I)
                if (I != R)
                    SetRowHeights(I, ScaledSize(RowHeights(I), H, FSizingRowHeight0));
        }
        if (OnEndRowSize)
            OnEndRowSize(this, R);
        FSizingRow = -1;
        FSizingCol = -1;
    }
    FSizingRowNow = false;
    EditorsFollowCellSize();
}

void TProStringGrid::EditorsFollowCellSize()
{
    TWinControl* C = FEdit.Shown;
    if (FEdit.Active && C && C->Visible() && FEdit.InUse != edCustom) {
        const TRect R = MergedCellRect(Col(), Row());
        // A cell scrolled out of view has no rectangle: the editor stays.
        if (RectWidth(R) > 1 && RectHeight(R) > 1)
            PlaceSpecialEditor(C, R);
    }
    if (EditorMode() && HasCheckBox(Col(), Row()))
        HideEditor();
}

void TProStringGrid::CalcSizingState(int X, int Y, const TGridDrawInfo& FixedInfo, int& SizingIndex,
                                     int& SizingPos, int& SizingOfs, TGridState& State)
{
    TBaseGrid::CalcSizingState(X, Y, FixedInfo, SizingIndex, SizingPos, SizingOfs, State);
    if (State == gsColSizing && OnColumnSize) {
        const TGridCoord C = MouseCoord(ColumnwardX(X, -6), Y);
        if (C.Y >= 0 && C.Y < TStringGrid::FixedRows() && C.X >= 0 && C.X < ColCount()) {
            bool Allow = true;
            OnColumnSize(this, C.X, Allow);
            if (!Allow)
                State = gsNormal;
        }
    }
    if (State == gsRowSizing && OnRowSize) {
        const TGridCoord C = MouseCoord(X, Y - 6);
        if (C.X >= 0 && C.X < TStringGrid::FixedCols() && C.Y >= 0 && C.Y < RowCount()) {
            bool Allow = true;
            OnRowSize(this, C.Y, Allow);
            if (!Allow)
                State = gsNormal;
        }
    }
}

void TProStringGrid::DoUpdateColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

void TProStringGrid::DoAutoSizeColumn(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

TPoint TProStringGrid::MeasureCellText(int ACol, int ARow, bool Wrapped)
{
    return GetCellTextSize(ACol, ARow, Wrapped);
}

void TProStringGrid::SizeMessage()
{
    if (FInSizeMessage || IsLoading() || IsDestroying())
        return;
    TFlagGuard Guard(FInSizeMessage);
    if (FProportionWidth > 0 && FColumnSize && FColumnSize->SynchWithGrid) {
        if (EditorMode())
            HideEditor();
        const double R = BorderStyle() == bsSingle ? (Width() + 2.0) / FProportionWidth
                                                   : static_cast<double>(Width()) / FProportionWidth;
        const int N = std::min<int>(ColCount(), static_cast<int>(FColumnProportions.size()));
        for (int I = 0; I < N; ++I)
            SetColWidths(I, static_cast<int>(std::trunc(R * FColumnProportions[I])));
    }
    if (FColumnSize && FColumnSize->Stretch && (ScrollBarAlways == saNone || ScrollBarAlways == saVert) &&
        StretchIndex() != -2) {
        const int Index = StretchIndex() == -1 ? ColCount() - 1 : StretchIndex();
        const int Others = SumColWidths(0, ColCount()) - ColWidths(Index);
        if (Others < Width())
            StretchColumn(Index);
    }
}

void TProStringGrid::SaveColumnProportions()
{
    FColumnProportions.clear();
    for (int I = 0; I < ColCount(); ++I)
        FColumnProportions.push_back(ColWidths(I));
    FProportionWidth = Width();
}

void TProStringGrid::AutoSizeColumnEx(int ACol, bool OnlyGrow)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    const int RealCol = DisplayToRealCol(ACol);
    const int Lines = 2 * GridLineWidth();
    int Largest = 0;
    for (int R = 0; R < RowCount(); ++R) {
        if (IsMergedHorizontally(ACol, R))
            continue;
        int W = 0;
        TCellGraphic* G = GetCellGraphic(ACol, R);
        if (G && G->CellHAlign == haFull && G->CellType != ctNone) {
            W = ColWidths(ACol) - Lines - 2 - 2;
        } else {
            W = GetCellGraphicSize(ACol, R).x + MeasureCellText(RealCol, R, false).x;
            if (FControlLook && FControlLook->DropDownAlwaysVisible() && HasComboBox(ACol, R))
                W += 16;
        }
        Largest = std::max(Largest, W);
    }
    int NewWidth = Lines + Largest + 2 + 2;
    if (OnlyGrow && NewWidth <= ColWidths(ACol))
        return;
    DoAutoSizeColumn(ACol, NewWidth);
    SetColWidths(ACol, LimitColWidth(NewWidth));
}

void TProStringGrid::AutoSizeColumns(bool DoFixedCols, int AddWidth)
{
    for (int C = DoFixedCols ? 0 : TStringGrid::FixedCols(); C < ColCount(); ++C) {
        AutoSizeColumn(C);
        if (AddWidth != 0)
            SetColWidths(C, LimitColWidth(ColWidths(C) + AddWidth));
    }
}

void TProStringGrid::AutoSizeRowEx(int ARow, bool OnlyGrow)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    const int Lines = 2 * GridLineWidth();
    int Largest = 0;
    for (int C = 0; C < ColCount(); ++C) {
        if (IsMergedVertically(C, ARow) && IsBaseCellAt(C, ARow))
            continue;
        if (FIgnoredColumns && FIgnoredColumns->IndexOf(C) >= 0)
            continue;
        int H = 0;
        if (IsMergedCell(C, ARow) && !IsBaseCellAt(C, ARow)) {
            H = 0;
        } else {
            TCellGraphic* G = GetCellGraphic(C, ARow);
            const TCellType Type = G ? G->CellType : ctNone;
            const int GH = GetCellGraphicSize(C, ARow).y;
            int T = MeasureCellText(DisplayToRealCol(C), ARow, WordWrap()).y;
            if ((Type == ctDataCheckBox || Type == ctVirtCheckBox) && GH > 0)
                T = 0;
            H = T + GH;
            if (G && G->CellVAlign == vaFull && Type != ctNone)
                H = GH - Lines - 2 - 2;
            if (Type == ctCheckBox || Type == ctDataCheckBox)
                H = DefaultRowHeight();
        }
        Largest = std::max(Largest, H);
    }
    const int NewHeight = Lines + Largest + 2;
    if (OnlyGrow && RowHeights(ARow) > NewHeight)
        return;
    SetRowHeights(ARow, LimitRowHeight(NewHeight));
}

void TProStringGrid::SetRowHeightForLines(int ARow, int Lines, int Extra)
{
    if (ARow < 0 || ARow >= RowCount())
        return;
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    TBrush Brush;
    TFont Font;
    ResolveCellColors(TStringGrid::FixedCols(), ARow, State, false, false, true, &Brush, &Font, Colors);
    Font.SetSize(Font.Size() + ZoomLevel);
    TBitmap Scratch(1, 1);
    TCanvas* M = Canvas()->HandleAllocated() ? Canvas() : Scratch.Canvas();
    TFont Keep;
    Keep.Assign(M->Font());
    M->Font()->Assign(&Font);
    const int TH = M->TextHeight("gh");
    M->Font()->Assign(&Keep);
    SetRowHeights(ARow, LimitRowHeight(Extra + Lines * (TH + TH / 8)));
}

int TProStringGrid::RowLineCount(int ARow)
{
    if (!Multilinecells || ColCount() < 1)
        return 1;
    int Most = 1;
    for (int C = 0; C < ColCount() - FHiddenColCount && C < ColCount(); ++C)
        Most = std::max(Most, TextLineCount(ReadCellText(DisplayToRealCol(C), ARow)));
    return Most;
}

void TProStringGrid::InvalidateCellRange(const TGridRect& R)
{
    if (!HandleAllocated())
        return;
    TRect A = CellRect(R.Left, R.Top);
    TRect B = CellRect(R.Right, R.Bottom);
    RECT U;
    UnionRect(&U, reinterpret_cast<const RECT*>(&A), reinterpret_cast<const RECT*>(&B));
    InvalidateRect(Handle(), &U, FALSE);
}

void TProStringGrid::Zoom(int Step)
{
    const int Level = ZoomLevel + Step;
    if (Level < -10 || Level > 10)
        return;
    ZoomLevel = Level;
    {
        TFlagGuard Guard(FZooming);
        for (int C = 0; C < ColCount(); ++C)
            if (ColWidths(C) > 0 && ColWidths(C) + Step > 0)
                SetColWidths(C, ColWidths(C) + Step);
        for (int R = 0; R < RowCount(); ++R)
            if (RowHeights(R) > 0 && RowHeights(R) + Step > 0)
                SetRowHeights(R, RowHeights(R) + Step);
    }
    if (ScrollProportional) {
        UpdateVertScrollProportion();
        UpdateHorzScrollProportion();
    }
    Invalidate();
}

void TProStringGrid::ResizeWithForm(TCustomForm* Form)
{
    if (!Form || IsDesigning() || IsDestroying())
        return;
    if (SizeWithForm) {
        const int NewWidth = Form->Width() + Width() - FFormWidth;
        const int NewHeight = Form->Height() + Height() - FFormHeight;
        if (NewWidth > 0 && NewHeight > 0) {
            SetBounds(Left(), Top(), NewWidth, NewHeight);
            FFormWidth = Form->Width();
            FFormHeight = Form->Height();
        }
    }
    if (FColumnSize && FColumnSize->Stretch && StretchIndex() != -2)
        StretchColumn(StretchIndex());
}

void TProStringGrid::FormResize() { ResizeWithForm(FHookedForm); }

void TProStringGrid::SetAutoSize(bool Value)
{
    AutoSizeFlag = Value;
    if (Value)
        AutoSizeColumns(false, 10);
}

void TProStringGrid::SetIntegralHeight(bool Value)
{
    IntegralHeight = Value;
    SetBounds(Left(), Top(), Width(), Height());
}

void TProStringGrid::SizeCurrentCellWhileTyping()
{
    if (SizeWhileTyping.Width)
        AutoSizeColumnEx(Col(), true);
    if (SizeWhileTyping.Height && WordWrap()) {
        AutoSizeRow(Row());
        if (OnEndRowSize)
            OnEndRowSize(this, Row());
    }
}

void TProStringGrid::SizeRowForNewLine(const String& EditorText)
{
    if (!SizeWhileTyping.Height || !Multilinecells)
        return;
    const int Lines = TextLineCount(EditorText) + 1;
    if (Lines < RowLineCount(Row()))
        AutoSizeRow(Row());
    else
        SetRowHeightForLines(Row(), Lines, 2 * 2);
}
