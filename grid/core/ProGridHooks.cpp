// The grid's per-cell hooks (colours, alignment, fixed cells, check texts,
// editability), the per-cell and per-row accessors, the access to cells of
// hidden rows by real row, and the hooks that insert and delete rows.

#include <algorithm>
#include <cstdio>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "visuals/ProHintInfo.h"

// ---------------------------------------------------------------------------
// Hooks

void TProStringGrid::ApplyCellFontAndColor(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TGridDrawState AState)
{
    if (ActiveCellShow) {
        const int D = RealToDisplayCol(ACol);
        if ((ARow == Row() && D == 0 && TStringGrid::FixedCols() > 0)
            || (D == Col() && ARow == 0 && TStringGrid::FixedRows() > 0)) {
            AFont->Assign(FActiveCellFont.get());
            ABrush->SetColor(ActiveCellColor);
        }
    }
    if (TCellProperties* Props = CellProperties(ACol, ARow)) {
        const TColor Own = OwnBrushColor(Props, AState);
        if (Own != clNone)
            ABrush->SetColor(Own);
        if (Props->FontColor != clNone)
            AFont->SetColor(Props->FontColor);
        if (!Props->FontStyle.Empty())
            AFont->SetStyle(Props->FontStyle);
        if (Props->FontSize != 0)
            AFont->SetSize(Props->FontSize);
        if (!Props->FontName.empty())
            AFont->SetName(Props->FontName);
    }
    if (OnGetCellColor)
        OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

// The one rule of a cell's own background, for the colour resolution and
// the cell-colour hook alike: a BrushColor that is set colours a cell of
// any type; a fixed cell keeps FixedColor (the colour event may still
// change it).
TColor TProStringGrid::OwnBrushColor(const TCellProperties* Props, TGridDrawState AState)
{
    if (!Props || (AState & gdFixed))
        return clNone;
    return Props->BrushColor();
}

void TProStringGrid::DoGetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign)
{
    if (ACol == 0 && FMouseActions->HotmailRowSelect())
        HAlign = taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

void TProStringGrid::GetIsFixedCell(int ACol, int ARow, bool& IsFixed)
{
    if (!IsFixed)
        IsFixed = ACol < TStringGrid::FixedCols() || ARow < TStringGrid::FixedRows()
            || (FixedRowAlways && RowCount() == FWantedFixedRows)
            || (FixedColAlways && ACol < FWantedFixedCols && ColCount() == FWantedFixedCols);
    if (!IsFixed && OnIsFixedCell)
        OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TProStringGrid::DoGetWordWrap(int ACol, int ARow, bool& AWordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, ACol, ARow, AWordWrap);
}

void TProStringGrid::GetCheckTrue(int ACol, int ARow, String& Value)
{
    Value = CheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, ACol, ARow, Value);
}

void TProStringGrid::GetCheckFalse(int ACol, int ARow, String& Value)
{
    Value = CheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, ACol, ARow, Value);
}

bool TProStringGrid::HasFixedDropDown(int, int) { return false; }

void TProStringGrid::DoCanAddRow(bool& CanAdd)
{
    if (OnCanAddRow)
        OnCanAddRow(this, CanAdd);
}

void TProStringGrid::DoCanInsertRow(int ARow, bool& CanInsert)
{
    if (OnCanInsertRow)
        OnCanInsertRow(this, ARow, CanInsert);
}

void TProStringGrid::DoGridHint(int ACol, int ARow, String& Hint, WideString& WideHint)
{
    if (OnGridHint)
        OnGridHint(this, ARow, ACol, Hint);
    FOfficeHint->Notes()->SetText(Hint);
    if (OnGridWideHint) {
        OnGridWideHint(this, ARow, ACol, WideHint);
        if (!WideHint.empty())
            Hint = PackWideText(WideHint);
    }
    if (OnOfficeHint)
        OnOfficeHint(this, ACol, ARow, FOfficeHint.get());
}

// The answer is the base cell's: a covered cell of a merged range is edited
// there. A cell with properties is refused when it is read-only, and in a grid
// that does not edit at all (no goEditing, no range-select-and-edit, editing
// not merely suspended for a read-only cell); a cell without properties keeps
// the caller's answer. The application has the last word.
bool TProStringGrid::CanEditCell(int ACol, int ARow, bool Allow)
{
    const TPoint Base = BaseCell(ACol, ARow);
    const int C = static_cast<int>(Base.x);
    const int R = static_cast<int>(Base.y);
    if (const TCellProperties* Props = CellProperties(C, R)) {
        if (Allow)
            Allow = !Props->ReadOnly;
        if (!HasOption(goEditing) && !FEdit.Suspended && !FMouseActions->RangeSelectAndEdit)
            Allow = false;
    }
    DoCanEditCell(C, R, Allow);
    return Allow;
}

void TProStringGrid::GetCellStyle(int ACol, int ARow, TCellStyle& Style)
{
    TBaseGrid::GetCellStyle(ACol, ARow, Style);
    TGridDrawState State = 0;
    TResolvedCellColors Colors;
    Colors.WordWrap = Style.WordWrap;
    ResolveCellColors(ACol, ARow, State, false, false, false, Style.Brush, Style.Font, Colors);
    Style.ColorTo = Colors.ColorTo;
    Style.MirrorColor = Colors.MirrorColor;
    Style.MirrorColorTo = Colors.MirrorColorTo;
    Style.WordWrap = Colors.WordWrap;
    Style.GradientDirection = Colors.GradientDirection;
    // A background that bands, a gradient background or the selection would
    // supply is not taken over.
    const bool Supplied = (FBands && FBands->Active())
        || (FBackGround && (FBackGround->Display() == bdGradientHorz || FBackGround->Display() == bdGradientVert));
    if (Supplied || (State & gdSelected)) {
        if (Style.Brush)
            Style.Brush->SetColor(clNone);
        Style.ColorTo = clNone;
    }
}

void TProStringGrid::GetDisplText(int ACol, int ARow, String& Value)
{
    TBaseGrid::GetDisplText(ACol, ARow, Value);
    // A grouped header row shows the number of rows of its group.
    if (!FGrouping || !FGrouping->ShowGroupCount || ACol != FGroupColumn || !IsNodeRow(ARow))
        return;
    const int N = GetNodeSpan(ARow) - GetNodeCountOffset(ARow) - 1;
    const String& Format = FGrouping->GroupCountFormat;
    // Without a format, or with one that does not take one number (it would
    // read a value that is not there), the count shows as " (N)".
    if (FormatArgKind(Format) != fakInteger) {
        Value += " (" + std::to_string(N) + ")";
        return;
    }
    char Buf[256];
    const int Len = std::snprintf(Buf, sizeof Buf, Format.c_str(), N);
    if (Len > 0)
        Value.append(Buf, static_cast<std::size_t>(std::min<int>(Len, sizeof Buf - 1)));
}

bool TProStringGrid::IsFixedCell(int ACol, int ARow)
{
    const TPoint Base = BaseCell(DisplayToRealCol(ACol), ARow);
    const int BaseCol = RealToDisplayCol(Base.x);
    if (ARow >= RowCount() - FFixedFooters || BaseCol >= ColCount() - FFixedRightCols)
        return true;
    bool IsFixed = false;
    GetIsFixedCell(BaseCol, static_cast<int>(Base.y), IsFixed);
    return IsFixed;
}

bool TProStringGrid::IsCellEditable(int ACol, int ARow)
{
    // Editing only suspended on a read-only current cell is editing allowed.
    if (!HasOption(goEditing) && !FEdit.Suspended && !FMouseActions->RangeSelectAndEdit && !FNavigation->AlwaysEdit)
        return false;
    const TPoint Base = BaseCell(ACol, ARow);
    const int C = static_cast<int>(Base.x);
    const int R = static_cast<int>(Base.y);
    if (!CanEditCell(C, R, true))
        return false;
    bool IsFixed = false;
    GetIsFixedCell(RealToDisplayCol(C), R, IsFixed);
    return !IsFixed;
}

void TProStringGrid::SetCellFromEditor(int ACol, int ARow, const String& Value)
{
    SetEditText(RealToDisplayCol(ACol), ARow, Value);
    WriteCellText(ACol, ARow, Value);
}

void TProStringGrid::DoSelectionChanged(int ALeft, int ATop, int ARight, int ABottom)
{
    if (OnSelectionChanged)
        OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

void TProStringGrid::AutoInsertRow(int ARow)
{
    if (!HasNodes())
        InsertRows(ARow, 1);
    else if (ParentNodeRow(ARow) < 0)
        InsertOneRow(DisplayToRealRow(ARow));
    else
        InsertNodeChildRow(DisplayToRealRow(ARow), 0);
    if (OnAutoInsertRow)
        OnAutoInsertRow(this, ARow);
}

void TProStringGrid::AutoDeleteRow(int ARow)
{
    if (HasNodes()) {
        if (ParentNodeRow(ARow) < 0)
            RemoveOneRow(DisplayToRealRow(ARow));
        else
            RemoveNodeChildRow(DisplayToRealRow(ARow));
    } else if (RowCount() - TStringGrid::FixedRows() - FFixedFooters > 1 || FixedRowAlways) {
        RemoveRows(ARow, 1);
    } else {
        ClearRows(ARow, 1);
    }
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, ARow);
}

void TProStringGrid::AppendRow() { SetRowCount(RowCount() + 1); }

void TProStringGrid::CellChanged(int ACol) { RecalcFooterColumn(ACol); }

void TProStringGrid::CellsChanged(const TRect& R)
{
    if (OnCellsChanged)
        OnCellsChanged(this, R);
    RecalcFooterColumn(-1);
}

void TProStringGrid::AllCellsChanged() { RecalcFooterColumn(-1); }

// ---------------------------------------------------------------------------
// Current row and active headers

void TProStringGrid::SetCurrentRow(int ARow)
{
    SetRow(ARow);
    if (Row() != FLastReportedRow && OnRowUpdate) {
        const int Old = FLastReportedRow;
        FLastReportedRow = Row();
        OnRowUpdate(this, Old, Row());
    }
}

void TProStringGrid::RepaintActiveHeaders(int Col1, int Row1, int Col2, int Row2)
{
    for (const TPoint P : {Point(Col1, Row1), Point(Col2, Row2)}) {
        if (TStringGrid::FixedRows() > 0)
            RepaintCell(static_cast<int>(P.x), TStringGrid::FixedRows() - 1);
        if (TStringGrid::FixedCols() > 0)
            RepaintCell(TStringGrid::FixedCols() - 1, static_cast<int>(P.y));
    }
}

// ---------------------------------------------------------------------------
// Per-cell and per-row accessors

TColor TProStringGrid::GetCellBrushColor(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props ? Props->BrushColor() : clNone;
}

void TProStringGrid::SetCellBrushColor(int ACol, int ARow, TColor Color)
{
    EnsureCellProperties(ACol, ARow)->SetBrushColor(Color);
    if (FUpdateCount == 0)
        RepaintCell(RealToDisplayCol(ACol), ARow);
}

void TProStringGrid::SetCellBrushColorTo(int ACol, int ARow, TColor Color)
{
    EnsureCellProperties(ACol, ARow)->SetBrushColorTo(Color);
    if (FUpdateCount == 0)
        RepaintCell(RealToDisplayCol(ACol), ARow);
}

void TProStringGrid::SetCellFontColor(int ACol, int ARow, TColor Color)
{
    EnsureCellProperties(ACol, ARow)->FontColor = Color;
    if (FUpdateCount == 0)
        RepaintCell(RealToDisplayCol(ACol), ARow);
}

bool TProStringGrid::GetCellReadOnly(int ACol, int ARow) { return EnsureCellProperties(ACol, ARow)->ReadOnly; }

TControl* TProStringGrid::GetCellControl(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props ? Props->Control : nullptr;
}

// A row colour of clNone clears that colour in the cells that have
// properties; check boxes, merges and the other properties stay.
void TProStringGrid::SetRowBrushColor(int ARow, TColor Color)
{
    for (int C = TStringGrid::FixedCols(); C < AllColCount(); ++C) {
        if (Color == clNone) {
            if (TCellProperties* Props = CellProperties(C, ARow))
                Props->SetBrushColor(clNone);
        } else {
            EnsureCellProperties(C, ARow)->SetBrushColor(Color);
        }
    }
    RedrawRow(ARow);
}

void TProStringGrid::SetRowBrushColorTo(int ARow, TColor Color)
{
    for (int C = TStringGrid::FixedCols(); C < AllColCount(); ++C) {
        if (Color == clNone) {
            if (TCellProperties* Props = CellProperties(C, ARow))
                Props->SetBrushColorTo(clNone);
        } else {
            EnsureCellProperties(C, ARow)->SetBrushColorTo(Color);
        }
    }
    RedrawRow(ARow);
}

void TProStringGrid::SetRowFontColor(int ARow, TColor Color)
{
    for (int C = TStringGrid::FixedCols(); C < AllColCount(); ++C) {
        if (Color == clNone) {
            if (TCellProperties* Props = CellProperties(C, ARow))
                Props->FontColor = clNone;
        } else {
            EnsureCellProperties(C, ARow)->FontColor = Color;
        }
    }
    RedrawRow(ARow);
}

void TProStringGrid::SetFixedGradientFrom(TColor Color)
{
    FixedGradientFrom = static_cast<TColor>(ColorToRGB(Color));
    Invalidate();
}

void TProStringGrid::SetFixedGradientTo(TColor Color)
{
    FixedGradientTo = static_cast<TColor>(ColorToRGB(Color));
    Invalidate();
}

void TProStringGrid::SetFixedGradientMirrorFrom(TColor Color)
{
    FixedGradientMirrorFrom = static_cast<TColor>(ColorToRGB(Color));
    Invalidate();
}

void TProStringGrid::SetFixedGradientMirrorTo(TColor Color)
{
    FixedGradientMirrorTo = static_cast<TColor>(ColorToRGB(Color));
    Invalidate();
}

// ---------------------------------------------------------------------------
// Cells by real row

TGridItem* TProStringGrid::GetHiddenRowData(int ARow) const
{
    auto It = std::lower_bound(FHiddenRows.begin(), FHiddenRows.end(), ARow,
                               [](const std::unique_ptr<TGridItem>& I, int R) { return I->Idx < R; });
    if (It != FHiddenRows.end() && (*It)->Idx == ARow)
        return It->get();
    return nullptr;
}

String TProStringGrid::ReadRealCellText(int ACol, int ARow)
{
    if (TGridItem* Item = GetHiddenRowData(ARow)) {
        String Text = ACol >= 0 && ACol < Item->Items.Count() ? Item->Items.Strings(ACol) : String();
        GetDisplText(ACol, ARow, Text);
        return Text;
    }
    return ReadCellText(ACol, RealToDisplayRow(ARow));
}

TObject* TProStringGrid::GetRealCellObject(int ACol, int ARow) const
{
    if (TGridItem* Item = GetHiddenRowData(ARow))
        return ACol >= 0 && ACol < Item->Items.Count() ? Item->Items.Objects(ACol) : nullptr;
    return GetCellObjectRaw(ACol, RealToDisplayRow(ARow));
}

void TProStringGrid::WriteRealCellText(int ACol, int ARow, const String& Value)
{
    if (TGridItem* Item = GetHiddenRowData(ARow)) {
        while (Item->Items.Count() <= ACol)
            Item->Items.Add("");
        Item->Items.Put(ACol, Value);
        return;
    }
    WriteCellText(ACol, RealToDisplayRow(ARow), Value);
}
