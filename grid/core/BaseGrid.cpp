#include "grid/core/BaseGrid.h"

#include <algorithm>
#include <atomic>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridDrawing.h"

namespace {
std::atomic<long> LivePropertiesCount{0};
}

// ---------------------------------------------------------------------------
// TCellProperties

TCellProperties::TCellProperties(TBaseGrid* AGrid, int ACol, int ARow)
    : OwnerCol(ACol), OwnerRow(ARow), FGrid(AGrid)
{
    ++LivePropertiesCount;
    if (FGrid) {
        FWordWrap = FGrid->WordWrapDefault;
        FGrid->PropertiesCreated = true;
    }
}

TCellProperties::~TCellProperties() { --LivePropertiesCount; }

long TCellProperties::LiveCount() { return LivePropertiesCount.load(); }

void TCellProperties::Assign(const TPersistent* Source)
{
    auto* S = dynamic_cast<const TCellProperties*>(Source);
    if (!S)
        return;
    IsBaseCell = S->IsBaseCell;
    CellSpanX = S->CellSpanX;
    CellSpanY = S->CellSpanY;
    OwnerRow = S->OwnerRow;
    OwnerCol = S->OwnerCol;
    Alignment = S->Alignment;
    BorderColor = S->BorderColor;
    BorderWidth = S->BorderWidth;
    FBrushColor = S->FBrushColor;
    BrushStyle = S->BrushStyle;
    FontColor = S->FontColor;
    FontStyle = S->FontStyle;
    FontName = S->FontName;
    FontSize = S->FontSize;
    ReadOnly = S->ReadOnly;
    Editor = S->Editor;
    FVAlignment = S->FVAlignment;
    FWordWrap = S->FWordWrap;
    NodeLevel = S->NodeLevel;
    Control = S->Control;
}

TPoint TCellProperties::BaseCellOf(int ACol, int ARow) const
{
    if (IsBaseCell || CellSpanX == -1 || CellSpanY == -1)
        return Point(ACol, ARow);
    return Point(ACol - CellSpanX, ARow - CellSpanY);
}

void TCellProperties::Repaint()
{
    if (FGrid)
        FGrid->RepaintCell(OwnerCol, OwnerRow);
}

void TCellProperties::SetBrushColor(TColor Value)
{
    FBrushColor = Value;
    Repaint();
}

void TCellProperties::SetBrushColorTo(TColor Value)
{
    FBrushColorTo = Value;
    Repaint();
}

void TCellProperties::SetVAlignment(TVAlignment Value)
{
    FVAlignment = Value;
    Repaint();
}

void TCellProperties::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    Repaint();
}

// ---------------------------------------------------------------------------
// TProGridUndoRedo

TProGridUndoRedo::TProGridUndoRedo(TComponent* AOwner) : TComponent(AOwner) {}

TProGridUndoRedo::~TProGridUndoRedo()
{
    if (Grid && Grid->UndoRedo() == this)
        Grid->SetUndoRedo(nullptr);
}

void TProGridUndoRedo::AddChange(int Col, int Row, const String& OrigValue, const String& NewValue)
{
    // MaxLevel limits the change records; the oldest change goes and the
    // sequence markers stay, so that a bracketed paste is never cut open.
    auto IsChange = [](const std::unique_ptr<TUndoRedoItem>& I) { return !I->SequenceStart && !I->SequenceStop; };
    if (MaxLevel > 0 && std::count_if(FItems.begin(), FItems.end(), IsChange) >= MaxLevel) {
        auto It = std::find_if(FItems.begin(), FItems.end(), IsChange);
        if (It != FItems.end())
            FItems.erase(It);
    }
    auto Item = std::make_unique<TUndoRedoItem>();
    Item->Col = Col;
    Item->Row = Row;
    Item->Value = NewValue;
    Item->OrigValue = OrigValue;
    FItems.push_back(std::move(Item));
    Level = Count();
}

void TProGridUndoRedo::AddMarker(bool Start)
{
    auto Item = std::make_unique<TUndoRedoItem>();
    Item->Col = -1;
    Item->Row = -1;
    Item->SequenceStart = Start;
    Item->SequenceStop = !Start;
    FItems.push_back(std::move(Item));
    Level = Count();
}

void TProGridUndoRedo::StartSequence() { AddMarker(true); }

void TProGridUndoRedo::StopSequence() { AddMarker(false); }

void TProGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == Grid)
        Grid = nullptr;
}

// ---------------------------------------------------------------------------
// TBaseGrid: construction and published look

TBaseGrid::TBaseGrid(TComponent* AOwner) : TStringGrid(AOwner)
{
    TStringGrid::SetDefaultDrawing(false);
    TStringGrid::SetGridLineWidth(0);
    SetOptions(Options() | goDrawFocusSelected);
}

TBaseGrid::~TBaseGrid()
{
    FreeAllCellObjects();
    if (FUndoRedo) {
        FUndoRedo->RemoveFreeNotification(this);
        FUndoRedo->Grid = nullptr;
    }
}

void TBaseGrid::SetDefaultDrawing(bool Value)
{
    FDefaultDrawing = Value;
    TStringGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int Value)
{
    FGridLineWidth = Value;
    TStringGrid::SetGridLineWidth(0);
    Invalidate();
}

void TBaseGrid::SetGridLineColor(TColor Value)
{
    FGridLineColor = Value;
    Invalidate();
}

void TBaseGrid::SetGridFixedLineColor(TColor Value)
{
    FGridFixedLineColor = Value;
    Invalidate();
}

void TBaseGrid::SetActiveRowShow(bool Value)
{
    FActiveRowShow = Value;
    Invalidate();
}

void TBaseGrid::SetActiveRowColor(TColor Value)
{
    FActiveRowColor = Value;
    Invalidate();
}

void TBaseGrid::SetUndoRedo(TProGridUndoRedo* Value)
{
    if (FUndoRedo == Value)
        return;
    if (FUndoRedo)
        FUndoRedo->RemoveFreeNotification(this);
    FUndoRedo = Value;
    if (FUndoRedo) {
        FUndoRedo->Grid = this;
        FUndoRedo->FreeNotification(this);
    }
}

void TBaseGrid::Notification(TComponent* AComponent, TOperation Operation)
{
    TStringGrid::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FUndoRedo)
        FUndoRedo = nullptr;
}

// ---------------------------------------------------------------------------
// Cell storage

TObject* TBaseGrid::GetCellObjectRaw(int ACol, int ARow) const { return Objects(ACol, ARow); }

void TBaseGrid::SetCellObjectRaw(int ACol, int ARow, TObject* Obj) { SetObjects(ACol, ARow, Obj); }

String TBaseGrid::GetCellTextRaw(int ACol, int ARow) const { return Cells(ACol, ARow); }

void TBaseGrid::SetCellTextRaw(int ACol, int ARow, const String& Value) { SetCells(ACol, ARow, Value); }

bool TBaseGrid::HasCellProperties(int ACol, int ARow) const { return Objects(ACol, ARow) != nullptr; }

TCellProperties* TBaseGrid::CellProperties(int ACol, int ARow) const
{
    // A grid that never made cell properties has none to look up (a sort
    // or filter asks for every cell of a million rows).
    if (!PropertiesCreated)
        return nullptr;
    return dynamic_cast<TCellProperties*>(Objects(ACol, ARow));
}

TCellProperties* TBaseGrid::EnsureCellProperties(int ACol, int ARow)
{
    if (TObject* Obj = Objects(ACol, ARow))
        return dynamic_cast<TCellProperties*>(Obj);
    auto* Props = new TCellProperties(this, ACol, ARow);
    SetObjects(ACol, ARow, Props);

    TFont StyleFont;
    TBrush StyleBrush;
    TCellStyle Style;
    Style.Font = &StyleFont;
    Style.Brush = &StyleBrush;
    GetCellStyle(ACol, ARow, Style);

    Props->Alignment = Style.Alignment;
    Props->SetVAlignment(Style.VAlignment);
    Props->SetWordWrap(Style.WordWrap);
    Props->FontName = StyleFont.Name();
    Props->FontSize = StyleFont.Size();
    Props->FontStyle = StyleFont.Style();
    Props->FontColor = StyleFont.Color();
    Props->SetBrushColor(StyleBrush.Color());
    Props->SetBrushColorTo(Style.ColorTo);
    Props->GradientDirection = Style.GradientDirection;
    return Props;
}

void TBaseGrid::FreeOwnedCellObject(TObject* Obj)
{
    // Only the grid's own properties objects are freed; an application
    // object stored in a slot by other means stays its creator's.
    if (auto* Props = dynamic_cast<TCellProperties*>(Obj)) {
        delete Props->GraphicObject;
        Props->GraphicObject = nullptr;
        delete Props;
    }
}

void TBaseGrid::ReplaceCellProperties(int ACol, int ARow, TCellProperties* Obj)
{
    FreeOwnedCellObject(Objects(ACol, ARow));
    SetObjects(ACol, ARow, Obj);
}

void TBaseGrid::FreeCellProperties(int ACol, int ARow)
{
    TObject* Obj = Objects(ACol, ARow);
    if (!Obj)
        return;
    SetObjects(ACol, ARow, nullptr);
    FreeOwnedCellObject(Obj);
}

void TBaseGrid::FreeCellObjects(int ACol1, int ARow1, int ACol2, int ARow2)
{
    if (!PropertiesCreated)
        return;
    // Objects live only in stored cells: the loops end with the storage.
    for (int R = std::max(ARow1, 0); R <= ARow2 && R < RowCount() && R < StoredRowCount(); ++R)
        for (int C = std::max(ACol1, 0); C <= ACol2 && C < ColCount() && C < StoredColCount(R); ++C)
            FreeCellProperties(C, R);
}

void TBaseGrid::FreeAllCellObjects() { FreeCellObjects(0, 0, ColCount() - 1, RowCount() - 1); }

TObject* TBaseGrid::GetCellObject(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props ? Props->CellObject : nullptr;
}

void TBaseGrid::SetCellObject(int ACol, int ARow, TObject* Obj)
{
    const bool WasEmpty = ReadCellText(ACol, ARow).empty();
    if (WasEmpty)
        WriteCellText(ACol, ARow, " ");
    EnsureCellProperties(ACol, ARow)->CellObject = Obj;
    if (WasEmpty)
        WriteCellText(ACol, ARow, "");
}

TCellGraphic* TBaseGrid::GetCellGraphicObject(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props ? Props->GraphicObject : nullptr;
}

TCellGraphic* TBaseGrid::GetPropertiesGraphic(const TCellProperties* Props)
{
    return Props ? Props->GraphicObject : nullptr;
}

void TBaseGrid::SetCellGraphicObject(int ACol, int ARow, TCellGraphic* Graphic)
{
    const bool WasEmpty = ReadCellText(ACol, ARow).empty();
    if (WasEmpty)
        WriteCellText(ACol, ARow, " ");
    EnsureCellProperties(ACol, ARow)->GraphicObject = Graphic;
    if (WasEmpty)
        WriteCellText(ACol, ARow, "");
}

void TBaseGrid::ClearCell(int ACol, int ARow)
{
    WriteCellText(ACol, ARow, "");
    SetObjects(ACol, ARow, nullptr);
}

void TBaseGrid::ClearColCells(int ACol)
{
    for (int R = 0; R < RowCount(); ++R) {
        SetObjects(ACol, R, nullptr);
        WriteCellText(ACol, R, "");
    }
}

void TBaseGrid::ClearRowCells(int ARow)
{
    for (int C = 0; C < ColCount(); ++C) {
        SetObjects(C, ARow, nullptr);
        WriteCellText(C, ARow, "");
    }
}

// ---------------------------------------------------------------------------
// Cell text

String TBaseGrid::ReadCellText(int ACol, int ARow)
{
    const TPoint Base = BaseCell(ACol, ARow);
    String Text = Cells(Base.x, Base.y);
    if (Base.y < NormalRowCount) {
        GetDisplText(Base.x, Base.y, Text);
        if (OnGetDisplWideText) {
            WideString Wide = UnpackWideText(Text);
            GetDisplWideText(Base.x, Base.y, Wide);
            Text = PackWideText(Wide);
        }
    }
    return Text;
}

void TBaseGrid::WriteCellText(int ACol, int ARow, const String& Value)
{
    if (HasCellProperties(ACol, ARow)) {
        const TPoint Base = BaseCell(ACol, ARow);
        SetCells(Base.x, Base.y, Value);
        if (Parent())
            RepaintCell(ACol, ARow);
    } else {
        SetCells(ACol, ARow, Value);
    }
    if (HideLastRow && ARow == RowCount() - 1)
        LastRowWritten();
}

// ---------------------------------------------------------------------------
// Merged cells

TPoint TBaseGrid::BaseCell(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    if (!Props)
        return Point(ACol, ARow);
    return Props->BaseCellOf(ACol, ARow);
}

bool TBaseGrid::IsBaseCellAt(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return !Props || Props->IsBaseCell;
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props && (Props->CellSpanX > 0 || Props->CellSpanY > 0);
}

bool TBaseGrid::IsCoveredCell(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    return Props && (Props->CellSpanX > 0 || Props->CellSpanY > 0) && !Props->IsBaseCell;
}

bool TBaseGrid::IsMergedHorizontally(int ACol, int ARow) const
{
    if (!CellProperties(ACol, ARow))
        return false;
    return MergedSpan(ACol, ARow).x > 0;
}

bool TBaseGrid::IsMergedVertically(int ACol, int ARow) const
{
    if (!CellProperties(ACol, ARow))
        return false;
    return MergedSpan(ACol, ARow).y > 0;
}

TPoint TBaseGrid::MergedSpan(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    if (!Props || Props->CellSpanX == -1 || Props->CellSpanY == -1)
        return Point(0, 0);
    const TPoint Base = Props->BaseCellOf(ACol, ARow);
    TCellProperties* BaseProps = CellProperties(Base.x, Base.y);
    if (!BaseProps)
        return Point(0, 0);
    return Point(BaseProps->CellSpanX, BaseProps->CellSpanY);
}

bool TBaseGrid::RowsShareMerge(int RowA, int RowB) const
{
    bool Found = false;
    for (int C = 0; C < ColCount(); ++C) {
        if (MergedSpan(C, RowA).y <= 0 || MergedSpan(C, RowB).y <= 0)
            continue;
        if (BaseCell(C, RowA).y != BaseCell(C, RowB).y)
            return false;
        Found = true;
    }
    return Found;
}

void TBaseGrid::MergeCells(int ACol, int ARow, int NumCols, int NumRows)
{
    if (NumCols <= 0 || NumRows <= 0)
        return;
    // A merge over an existing merge first splits every range it touches,
    // so that no covered cell is left pointing at a base outside its range.
    for (int C = ACol; C < ACol + NumCols; ++C)
        for (int R = ARow; R < ARow + NumRows; ++R)
            if (IsMergedCell(C, R))
                SplitCells(C, R);
    for (int C = ACol; C < ACol + NumCols; ++C)
        for (int R = ARow; R < ARow + NumRows; ++R) {
            TCellProperties* Props = EnsureCellProperties(C, R);
            Props->IsBaseCell = C == ACol && R == ARow;
            if (Props->IsBaseCell) {
                Props->CellSpanX = NumCols - 1;
                Props->CellSpanY = NumRows - 1;
            } else {
                Props->CellSpanX = C - ACol;
                Props->CellSpanY = R - ARow;
            }
        }
    for (int C = ACol; C < ACol + NumCols; ++C)
        for (int R = ARow; R < ARow + NumRows; ++R)
            RepaintCell(C, R);
}

void TBaseGrid::SplitCells(int ACol, int ARow)
{
    TCellProperties* Props = EnsureCellProperties(ACol, ARow);
    if (Props->CellSpanX == -1 || Props->CellSpanY == -1)
        return;
    const TPoint Base = Props->BaseCellOf(ACol, ARow);
    TCellProperties* BaseProps = CellProperties(Base.x, Base.y);
    if (!BaseProps) {
        // A covered cell whose base lost its properties: release the cell alone.
        Props->IsBaseCell = true;
        Props->CellSpanX = -1;
        Props->CellSpanY = -1;
        return;
    }
    const int SX = std::max(BaseProps->CellSpanX, 0);
    const int SY = std::max(BaseProps->CellSpanY, 0);
    for (int C = Base.x; C <= Base.x + SX; ++C)
        for (int R = Base.y; R <= Base.y + SY; ++R) {
            if (C >= ColCount() || R >= RowCount())
                continue;
            TCellProperties* P = CellProperties(C, R);
            if (!P)
                continue;
            P->IsBaseCell = true;
            P->CellSpanX = -1;
            P->CellSpanY = -1;
        }
    for (int C = Base.x; C <= Base.x + SX; ++C)
        for (int R = Base.y; R <= Base.y + SY; ++R)
            RepaintCell(C, R);
}

TRect TBaseGrid::CalcCellRect(int ACol, int ARow) const
{
    int X = 0;
    for (int C = 0; C < ACol; ++C)
        X += ColWidths(C);
    int Y = 0;
    for (int R = 0; R < ARow; ++R)
        Y += RowHeights(R);
    if (ACol >= TStringGrid::FixedCols())
        for (int C = 0; C < LeftCol(); ++C)
            X -= ColWidths(C);
    if (ARow >= TStringGrid::FixedRows())
        for (int R = 0; R < TopRow(); ++R)
            Y -= RowHeights(R);
    // Columns from LeftCol (rows from TopRow) start where the base grid puts
    // that cell on screen; fixed ones start at 0. The sums run from the
    // left; a mirrored grid shows the result mirrored.
    TRect Origin = CellRect(LeftCol(), TopRow());
    if (!IsRectEmpty(&Origin))
        Origin = MirroredRect(Origin);
    const int OX = ACol < TStringGrid::FixedCols() ? 0 : Origin.left;
    const int OY = ARow < TStringGrid::FixedRows() ? 0 : Origin.top;
    return MirroredRect(TRect{X + OX, Y + OY, X + OX + ColWidths(ACol), Y + OY + RowHeights(ARow)});
}

TRect TBaseGrid::MergedCellRect(int ACol, int ARow) const
{
    TCellProperties* Props = CellProperties(ACol, ARow);
    if (Props && (Props->CellSpanX != -1 || Props->CellSpanY != -1)) {
        const TPoint Base = Props->BaseCellOf(ACol, ARow);
        TCellProperties* BaseProps = CellProperties(Base.x, Base.y);
        const int SX = BaseProps ? std::max(BaseProps->CellSpanX, 0) : 0;
        const int SY = BaseProps ? std::max(BaseProps->CellSpanY, 0) : 0;
        TRect A = CalcCellRect(Base.x, Base.y);
        TRect B = CalcCellRect(std::min(static_cast<int>(Base.x) + SX, ColCount() - 1), std::min(static_cast<int>(Base.y) + SY, RowCount() - 1));
        TRect U;
        UnionRect(&U, &A, &B);
        return U;
    }
    if (Props && Props->Control)
        return CalcCellRect(ACol, ARow);
    TRect R = MirroredRect(CellRect(ACol, ARow));
    R.right = R.left + ColWidths(ACol);
    R.bottom = R.top + RowHeights(ARow);
    return MirroredRect(R);
}

TPoint TBaseGrid::MergedCellSize(int ACol, int ARow) const
{
    TRect R = IsMergedCell(ACol, ARow) ? MergedCellRect(ACol, ARow) : CalcCellRect(ACol, ARow);
    return Point(R.right - R.left, R.bottom - R.top);
}

void TBaseGrid::RepaintCell(int ACol, int ARow)
{
    if (!HandleAllocated() || UpdateHeld())
        return;
    TRect R = MergedCellRect(ACol, ARow);
    InvalidateRect(Handle(), &R, TRUE);
}

void TBaseGrid::SnapToBaseCell()
{
    if (!HasCellProperties(Col(), Row()))
        return;
    const TPoint Base = BaseCell(Col(), Row());
    if (Base.x != Col())
        SetCol(Base.x);
    if (Base.y != Row())
        SetRow(Base.y);
}

int TBaseGrid::FixedColsWidth() const
{
    int W = 0;
    for (int C = 0; C < TStringGrid::FixedCols(); ++C)
        W += ColWidths(C);
    return W;
}

int TBaseGrid::FixedRowsHeight() const
{
    int H = 0;
    for (int R = 0; R < TStringGrid::FixedRows(); ++R)
        H += RowHeights(R);
    return H;
}

void TBaseGrid::RepaintMergedFixedColCells(bool ReachingOnly)
{
    const int Fixed = TStringGrid::FixedCols();
    if (Fixed <= 0)
        return;
    for (int R = TopRow(); R <= TopRow() + VisibleRowCount() && R < RowCount(); ++R)
        for (int C = 0; C < Fixed; ++C)
            if (IsMergedCell(C, R) && (!ReachingOnly || BaseCell(C, R).x + MergedSpan(C, R).x >= Fixed))
                RepaintCell(C, R);
}

void TBaseGrid::RepaintMergedFixedRowCells(bool ReachingOnly)
{
    const int Fixed = TStringGrid::FixedRows();
    if (Fixed <= 0)
        return;
    for (int C = LeftCol(); C <= LeftCol() + VisibleColCount() && C < ColCount(); ++C)
        for (int R = 0; R < Fixed; ++R)
            if (IsMergedCell(C, R) && (!ReachingOnly || BaseCell(C, R).y + MergedSpan(C, R).y >= Fixed))
                RepaintCell(C, R);
}

// ---------------------------------------------------------------------------
// Virtual slots

bool TBaseGrid::IsFixedCell(int, int) { return false; }

int TBaseGrid::GetRowIndent(int) { return 0; }

bool TBaseGrid::HasNodes() const { return false; }

void TBaseGrid::LastRowWritten() {}

void TBaseGrid::GetDisplText(int ACol, int ARow, String& Value)
{
    if (OnGetDisplText)
        OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::GetDisplWideText(int ACol, int ARow, WideString& Value)
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(this, ACol, ARow, Value);
}

void TBaseGrid::GetCellStyle(int, int, TCellStyle& Style)
{
    if (Style.Font)
        Style.Font->Assign(Font());
    if (Style.Brush)
        Style.Brush->SetColor(Color());
    Style.ColorTo = clNone;
    Style.MirrorColor = clNone;
    Style.MirrorColorTo = clNone;
    Style.Alignment = taLeftJustify;
    Style.VAlignment = vtaTop;
    Style.WordWrap = WordWrapDefault;
    Style.GradientDirection = GradientVertical;
}

void TBaseGrid::ResolveCellColors(int, int, TGridDrawState&, bool, bool, bool, TBrush*, TFont*, TResolvedCellColors&) {}

int TBaseGrid::DisplayCol(int ACol) const { return ACol; }

void TBaseGrid::DrawGridCell(TCanvas* ACanvas, int ACol, TGridDrawState, TRect ARect, int ARow)
{
    ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
    ACanvas->DrawTextRect(Cells(ACol, ARow), ARect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    ACanvas->Brush()->SetStyle(TBrushStyle::bsSolid);
}

// ---------------------------------------------------------------------------
// Painting

void TBaseGrid::Paint()
{
    TStringGrid::Paint();
    ++PaintID;
}

void TBaseGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    TCanvas* Cv = Canvas();
    if (HideLastRow && ARow == RowCount() - 1) {
        Cv->Brush()->SetColor(Color());
        Cv->Pen()->SetColor(Color());
        Cv->Rectangle(ARect.left, ARect.top, ARect.right, ARect.bottom);
        return;
    }
    if (IsCoveredCell(ACol, ARow)) {
        const TPoint Base = BaseCell(ACol, ARow);
        TCellProperties* BaseProps = CellProperties(Base.x, Base.y);
        if (BaseProps && BaseProps->LastPaintID != PaintID) {
            BaseProps->LastPaintID = PaintID;
            DrawCell(Base.x, Base.y, ARect, AState);
        }
        return;
    }
    const bool Fixed = IsFixedCell(ACol, ARow);
    if (Fixed) {
        AState |= gdFixed;
        AState &= ~static_cast<TGridDrawState>(gdSelected);
    }
    if (TCellProperties* Props = CellProperties(ACol, ARow))
        Props->LastPaintID = PaintID;
    // The canvas of a mirrored grid is mirrored: the cell is drawn where a
    // grid laid out from the left has it.
    TRect Rect = MirroredRect(MergedCellRect(ACol, ARow));

    // A merged range scrolled under the fixed area is clipped to the normal area.
    const int X0 = ACol >= TStringGrid::FixedCols() ? FixedColsWidth() : 0;
    const int Y0 = ARow >= TStringGrid::FixedRows() ? FixedRowsHeight() : 0;
    HRGN Clip = nullptr;
    if ((ACol >= TStringGrid::FixedCols() && TStringGrid::FixedCols() > 0 && Rect.left < X0)
        || (ARow >= TStringGrid::FixedRows() && TStringGrid::FixedRows() > 0 && Rect.top < Y0)) {
        Clip = CreateRectRgn(X0, Y0, Width(), Height());
        SelectClipRgn(Cv->Handle(), Clip);
    }

    Cv->Pen()->SetWidth(1);
    Cv->Font()->Assign(Font());
    TResolvedCellColors Colors;
    ResolveCellColors(ACol, ARow, AState, false, true, true, Cv->Brush(), Cv->Font(), Colors);
    Cv->Pen()->SetColor(Cv->Brush()->Color());
    if (FActiveRowShow && ARow == Row() && (ACol != Col() || !ShowSelection))
        Cv->Brush()->SetColor(FActiveRowColor);
    Cv->Pen()->SetColor(Cv->Brush()->Color());

    if (Colors.ColorTo == clNone)
        Cv->Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom);
    else if (Colors.MirrorColorTo == clNone)
        DrawGradientRect(Cv, Cv->Brush()->Color(), Colors.ColorTo, Colors.GradientDirection == GradientHorizontal,
                         Rect, 64);
    else
        DrawGradientBackground(Cv, Rect, Cv->Brush()->Color(), true, false, clNone, true, Colors.MirrorColorTo,
                               Colors.MirrorColor, Colors.ColorTo);

    int C;
    if (Fixed) {
        Cv->Pen()->SetColor(FGridFixedLineColor);
        Cv->Pen()->SetWidth(1);
        C = 1;
    } else {
        if (FGridLineWidth > 0)
            Cv->Pen()->SetColor(FGridLineColor);
        Cv->Pen()->SetWidth(FGridLineWidth);
        C = (FGridLineWidth + 1) / 2;
    }
    const TGridOptions Opt = Options();
    const bool TreeColumn = BaseCell(ACol, ARow).x == 0 && HasNodes();
    if (!TreeColumn && (((Opt & goHorzLine) && !Fixed) || ((Opt & goFixedHorzLine) && Fixed))
        && (Fixed || FGridLineWidth > 0)) {
        Cv->MoveTo(Rect.left - C + 1, Rect.bottom - C);
        Cv->LineTo(Rect.right - C + 1, Rect.bottom - C);
    }
    if ((((Opt & goVertLine) && !Fixed) || ((Opt & goFixedVertLine) && Fixed))
        && (Fixed || FGridLineWidth > 0)) {
        Cv->MoveTo(Rect.right - C, Rect.bottom - C);
        Cv->LineTo(Rect.right - C, Rect.top - C);
    }

    const int Shrink = Fixed ? 1 : FGridLineWidth;
    InflateRect(&Rect, -Shrink, -Shrink);
    DrawGridCell(Cv, ACol, AState, Rect, ARow);

    if (Clip) {
        SelectClipRgn(Cv->Handle(), nullptr);
        DeleteObject(Clip);
    }
}

// ---------------------------------------------------------------------------
// Navigation

bool TBaseGrid::SelectCell(int ACol, int ARow)
{
    RepaintCell(Col(), Row());
    const bool Result = TStringGrid::SelectCell(ACol, ARow);
    RepaintCell(ACol, ARow);
    return Result;
}

void TBaseGrid::KeyDown(Word& Key, TShiftState Shift)
{
    if (HasCellProperties(Col(), Row())) {
        const TPoint Base = BaseCell(Col(), Row());
        TCellProperties* BaseProps = CellProperties(Base.x, Base.y);
        const int BX = static_cast<int>(Base.x);
        const int BY = static_cast<int>(Base.y);
        const int SX = BaseProps ? BaseProps->CellSpanX : -1;
        const int SY = BaseProps ? BaseProps->CellSpanY : -1;
        // The ordinary move that follows starts from the far edge of the
        // range in the key's direction, so one key press leaves the range.
        MergeKeyMove = true;
        try {
            // Under right-to-left alignment the arrows move as they point on
            // screen: Left leaves the range towards higher columns.
            Word Direction = Key;
            if (UseRightToLeftAlignment() && (Direction == VK_LEFT || Direction == VK_RIGHT))
                Direction = Direction == VK_LEFT ? VK_RIGHT : VK_LEFT;
            switch (Direction) {
            case VK_RIGHT:
                if (SX > 0 && BX + SX >= Col() && Col() < ColCount() - 1 && BX < ColCount() - 1 && BX + SX < ColCount())
                    SetCol(BX + SX);
                break;
            case VK_DOWN:
                if (SY > 0 && BY + SY >= Row() && Row() < RowCount() - 1 && BY < RowCount() - 1 && BY + SY < RowCount())
                    SetRow(BY + SY);
                break;
            case VK_LEFT:
                if (BX < Col() && BX >= TStringGrid::FixedCols())
                    SetCol(BX);
                break;
            case VK_UP:
                if (BY < Row() && BY >= TStringGrid::FixedRows())
                    SetRow(BY);
                break;
            default:
                break;
            }
        } catch (...) {
            MergeKeyMove = false;
            throw;
        }
        MergeKeyMove = false;
    }
    if (Key == VK_NEXT && VisibleRowCount() + TopRow() - TStringGrid::FixedRows() == RowCount() - 1 && HideLastRow
        && RowCount() > 1)
        SetRow(RowCount() - 2);
    TStringGrid::KeyDown(Key, Shift);
    SnapToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    const bool Result = TStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (VisibleRowCount() < Row() - TopRow() && Row() < RowCount() - 1 && HideLastRow)
        SetTopRow(TopRow() + 1);
    SnapToBaseCell();
    return Result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    const bool Result = TStringGrid::DoMouseWheelUp(Shift, MousePos);
    SnapToBaseCell();
    return Result;
}

void TBaseGrid::TopLeftChanged()
{
    TStringGrid::TopLeftChanged();
    // A scroll along one axis shifts the fixed cells beside the scrolled
    // ones with them: their merges are repainted whole (a merge shows its
    // text over what is on screen of it). The fixed cells across that axis
    // stay where they are; of their merges only those reaching into the
    // scrolled cells change.
    const bool Vert = TopRow() != FSeenTopLeft.y;
    const bool Horz = LeftCol() != FSeenTopLeft.x;
    FSeenTopLeft = Point(LeftCol(), TopRow());
    const bool Both = Vert == Horz;
    RepaintMergedFixedColCells(!Both && !Vert);
    RepaintMergedFixedRowCells(!Both && !Horz);
}
