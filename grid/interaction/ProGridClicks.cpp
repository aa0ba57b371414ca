// The grid's mouse buttons: a left press selects, edits, toggles check
// boxes, radio groups and nodes, presses cell buttons, follows links and
// starts header selections and fixed-cell sizing; the release ends them and
// sorts on a header click; the right button selects with
// SelectOnRightClick; a double click on a header border auto-sizes.
#include <algorithm>
#include <cstdlib>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Screen.h"
#include "framework/StrUtils.h"
#include "grid/core/GridCellText.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/HtmlTextRoutines.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/ControlEditors.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

#include <shellapi.h>
#include <windowsx.h>

namespace {

// The modifier keys held now, without the mouse buttons.
TShiftState KeyboardShift() { return KeyboardShiftState() & (ssShift | ssCtrl | ssAlt); }

TPoint MessagePoint(const TMessage& Message)
{
    return TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
}

bool NearBorder(const TRect& R, int X) { return std::abs(X - R.left) < 4 || std::abs(X - R.right) < 4; }

// Only the application's OnMouseDown: the class library's press handling
// (which makes the cell current and starts a range) does not run.
void FireMouseDown(TControl* Sender, TShiftState Shift, int X, int Y)
{
    if (Sender->OnMouseDown)
        Sender->OnMouseDown(Sender, mbLeft, Shift, X, Y);
}

} // namespace

bool IsShellSafeAnchor(const String& Anchor)
{
    const String U = UpperCase(Anchor);
    return U.rfind("HTTP://", 0) == 0 || U.rfind("HTTPS://", 0) == 0 || U.rfind("MAILTO:", 0) == 0;
}

void TProStringGrid::ShellOpenAnchor(const String& Anchor)
{
    HWND Parent = Application && Application->MainForm && Application->MainForm->HandleAllocated()
                      ? Application->MainForm->Handle()
                      : nullptr;
    const WideString W = StrToWide(Anchor);
    ShellExecuteW(Parent, L"open", W.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TProStringGrid::MouseButtonMessage(TMessage& Message)
{
    if (IsDestroying())
        return false;
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(Message); return true;
    case WM_LBUTTONUP: WMLButtonUp(Message); return true;
    case WM_RBUTTONDOWN: WMRButtonDown(Message); return true;
    case WM_RBUTTONUP: WMRButtonUp(Message); return true;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); return true;
    case WM_CANCELMODE: CancelMoveDrag(); return false;
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// Left button down

void TProStringGrid::WMLButtonDown(TMessage& Message)
{
    const TPoint P = MessagePoint(Message);
    const int X = P.x;
    const int Y = P.y;
    FMouse.LeftDown = true;
    FMouse.KeepScroll = true;
    FMouse.LeftColAtPress = LeftCol();
    FMovedByDrag = false;
    FMouse.WidthChanged = false;
    FEdit.SpinStepPending = false;
    TGridCoord Cell = MouseCoord(X, Y);
    if (FKeepFixedHighlight) {
        // The cell a drop-down kept highlighted lets go: the hover follows
        // the pointer again.
        FKeepFixedHighlight = false;
        HoverMoved(Cell.X, Cell.Y);
    }
    if (PressSelectionResizer(Message, X, Y))
        return;
    if (OnCanClickCell) {
        bool Allow = true;
        OnCanClickCell(this, Cell.Y, Cell.X, Allow);
        if (!Allow)
            return;
    }
    const TShiftState Shift = KeyboardShift();
    if (FMouseActions->DisjunctCellSelect() && (Shift & ssCtrl) == 0 && FSelectedCells->Count() > 0) {
        FSelectedCells->Clear();
        Invalidate();
    }
    FMoveTarget = TGridCoord{-1, -1};
    FMouse.PressedButton = TGridCoord{-1, -1};
    FMouse.PressedFixedButton = false;
    FMouse.TopRowAtPress = TopRow();
    FMouse.PressPoint = P;
    FMouse.PressCell = Cell;
    // The sizing reference: the cell just before (and above) the press.
    FMouse.SizingRef = MouseCoord(ColumnwardX(X, -5), Cell.Y == TopRow() ? Y : Y - 4);
    if (Cell.X == 0)
        FMouse.SizingRef = MouseCoord(X, Y - 4);
    if (Look == glListView && HoverFixedCell.X >= 0 && HoverFixedCell.Y >= 0)
        InvalidateCell(HoverFixedCell.X, HoverFixedCell.Y);
    if (Look == glListView && FListViewHover.X >= 0 && FListViewHover.Y >= 0)
        InvalidateCell(FListViewHover.X, FListViewHover.Y);

    if (Cell.X < 0 || Cell.Y < 0) {
        EndCellEdit();
        if (!FixedRowAlways)
            TBaseGrid::WndProc(Message);
        return;
    }
    const TPoint B = BaseCell(Cell.X, Cell.Y);
    Cell = TGridCoord{static_cast<int>(B.x), static_cast<int>(B.y)};
    const TRect R = CellRect(Cell.X, Cell.Y);
    if (FMouseActions->CaretPositioning)
        FEdit.CaretRequest = true;

    // A press on an armed fixed-cell border starts the grid's own sizing.
    if (FFixedColSizing.Armed) {
        FFixedColSizing.Active = true;
        FFixedColSizing.LinePos = MirroredX(X);
        DrawColSizingLine(FFixedColSizing.LinePos);
        SetCapture(Handle());
        return;
    }
    if (FFixedRowSizing.Armed) {
        FFixedRowSizing.Active = true;
        FFixedRowSizing.LinePos = Y;
        DrawRowSizingLine(Y);
        SetCapture(Handle());
        return;
    }

    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    const bool Fixed = Cell.X < FC || Cell.Y < FR || IsFixedCell(Cell.X, Cell.Y);
    if (Fixed) {
        EndCellEdit();
        if (FixedAsButtons && HasOption(goFixedVertLine) && HasOption(goFixedHorzLine) && Ctl3D
            && !(IsNodeRow(Cell.Y) && IsOnNodeButton(Cell.Y, X))) {
            DrawFixedButton(Cell.X, Cell.Y, true);
            FMouse.PressedButton = Cell;
            FMouse.PressedFixedButton = true;
        }
    }
    const int C = DisplayToRealCol(Cell.X);
    if (!IsDesigning()) {
        // A press on always-visible spin buttons: the editor that opens
        // steps once, up in their upper half, down in the lower.
        if (FControlLook->SpinButtonsAlwaysVisible() && HasSpinEdit(Cell.X, Cell.Y) && X >= R.right - 18) {
            FEdit.SpinStepPending = true;
            FEdit.SpinStepUp = Y < (R.top + R.bottom) / 2;
        }
        if (PressNode(Cell.X, Cell.Y, X))
            return;
        if (IsRadioCell(Cell.X, Cell.Y) && (IsCellEditable(Cell.X, Cell.Y) || FControlLook->RadioAlwaysActive())) {
            EndCellEdit();
            ClickRadioItem(C, Cell.Y, Y - R.top, X - R.left);
            return;
        }
        if (Cell.X == 0 && Cell.Y >= FR && HasNodes() && !FMouseActions->RowSelect && !HasOption(goRowSizing)) {
            FireMouseDown(this, Shift, X, Y);
            if (OnClickCell)
                OnClickCell(this, Cell.Y, Cell.X);
            return;
        }
        // The press may start an OLE drag on the next movements; the drag
        // itself is started from the movement handling.
        const bool NoOleDrag = (!IsCellSelected(Cell.X, Cell.Y) && (Cell.Y >= FR || EnhRowColMove))
                               || HasOption(goEditing) || IsButtonCell(Cell.X, Cell.Y) || HasCheckBox(Cell.X, Cell.Y)
                               || !FDragDropSettings->OleDropSource
                               || ((FMouseActions->ColSelect || FMouseActions->AllSelect) && Cell.Y < FR)
                               || Cell.X < FC || (NearBorder(R, X) && HasOption(goColSizing));
        if (!NoOleDrag) {
            // The selection stays as it is, so that all of it is dragged.
            FireMouseDown(this, Shift, X, Y);
            FMouse.OleDragPending = true;
            if (OnClickCell)
                OnClickCell(this, Cell.Y, Cell.X);
            return;
        }
    }
    if (IsButtonCell(Cell.X, Cell.Y)) {
        EndCellEdit();
        InternalMoveLock = true;
        SelectCell(Cell.X, Cell.Y);
        InternalMoveLock = false;
        const TRect BR = GetCellButtonRect(Cell.X, Cell.Y);
        if (PtInRect(&BR, P)) {
            SetCellButtonDown(Cell.X, Cell.Y, true);
            FMouse.PressedButton = Cell;
            SetCapture(Handle());
            if (OnClickCell)
                OnClickCell(this, Cell.Y, Cell.X);
            return;
        }
    }
    if (FMouse.SizingRef.X >= 0 && FMouse.SizingRef.Y >= 0) {
        const TRect SR = CellRect(FMouse.SizingRef.X, FMouse.SizingRef.Y);
        FMouse.SizingPressOffset = TPoint{X - SR.right, Y - SR.bottom};
    }
    PressDisjunct(Cell.X, Cell.Y, Shift);
    if (PressLink(Cell.X, Cell.Y, X, Y))
        return;
    PressHeader(Cell.X, Cell.Y, Shift);
    if (Fixed && (FMouseActions->RowSelect || FMouseActions->ColSelect || FMouseActions->AllSelect)
        && FMouse.SelectAnchor >= 0)
        return;
    if (Cell.X < FC && Cell.Y < FR && FCursorZone == 3 && FMouseActions->AllSelect)
        return;

    FMouse.PressOffset = TPoint{MirroredX(X) - MirroredRect(R).left, Y - R.top};   // as painted
    // Editing only suspended on a read-only current cell still lets a click
    // work the check box of another cell.
    bool CanEdit = HasOption(goEditing) || FEdit.Suspended || FMouseActions->RangeSelectAndEdit;
    CanEdit = CanEditCell(C, Cell.Y, CanEdit);
    if (PressCheckBox(Cell.X, Cell.Y, X, Y, CanEdit, Shift))
        return;
    if (!Fixed && CanEdit && FMouseActions->DirectEdit) {
        HideEditor();
        SetFocus();
    }
    const TGridRect Sel = Selection();
    const bool OnCurrent = PtInRect(&R, P) && Sel.Left == Cell.X && Sel.Right == Cell.X && Sel.Top == Cell.Y
                           && Sel.Bottom == Cell.Y;
    if (!OnCurrent && FMouseActions->RangeSelectAndEdit && !Fixed)
        SetOptions(Options() & ~static_cast<TGridOptions>(goEditing));
    if (IsFixedCell(Cell.X, Cell.Y) && Cell.X >= FC && Cell.Y >= FR) {
        if (OnClickCell)
            OnClickCell(this, Cell.Y, Cell.X);
        return;
    }

    // The class library's press: the cell becomes current, a range or a
    // sizing or moving drag starts, OnMouseDown fires.
    const bool KeepLeft = HasOption(goRowSelect) && FNavigation->KeepHorizScroll;
    const int LeftBefore = LeftCol();
    const int TopBefore = TopRow();
    const bool Partial = Cell.Y == TopBefore + VisibleRowCount() || Cell.X == LeftBefore + VisibleColCount();
    if (!SelectionHidden()) {
        const bool AlwaysEdit = FNavigation->AlwaysEdit;
        FNavigation->AlwaysEdit = false;
        TBaseGrid::WndProc(Message);
        FNavigation->AlwaysEdit = AlwaysEdit;
    }
    // A press on the partly shown last row or column: no range scrolling
    // from there, and (NoScrollOnPartialRow) no scrolling to show it. The
    // range selection ends here rather than by a faked release.
    if (FMouseActions->NoAutoRangeScroll && Partial && GridState() == gsSelecting)
        SetGridState(gsNormal);
    if (FMouseActions->NoScrollOnPartialRow && TopRow() != TopBefore) {
        SetTopRow(TopBefore);
        if (GridState() == gsSelecting)
            SetGridState(gsNormal);
    }
    if (KeepLeft && LeftCol() != LeftBefore)
        SetLeftCol(LeftBefore);
    if (OnClickCell && !(Cell.Y < FR && HasOption(goColSizing) && NearBorder(R, X)))
        OnClickCell(this, Cell.Y, Cell.X);
    if (OnCellValidate)
        BeginCellEdit(Col(), Row());
    if (!Fixed && OnCurrent && CanEdit && IsMergedCell(Cell.X, Cell.Y))
        StartCellEdit();
    if (!Fixed && CanEdit && FMouseActions->DirectEdit && X > R.left + 3 && X < R.right - 3
        && !HasClickControl(Cell.X, Cell.Y)) {
        FocusCell(Cell.X, Cell.Y, true);
        BeginCellEdit(Cell.X, Cell.Y);
        ShowEditor();
    }
}

// The small square at the bottom-right corner of the selection: a press
// there copies the selection and lets the drag size it; the release pastes.
bool TProStringGrid::PressSelectionResizer(TMessage& Message, int X, int Y)
{
    if (!(SelectionResizer && SelectionRectangle) || !OnResizerHandle(X, Y))
        return false;
    const TGridRect Before = Selection();
    const int C = Col();
    const int R = Row();
    FMouse.SelectionBeforeResize = Before;
    CopySelectionToClipboard();
    FMouse.SelectionResizing = true;
    if (!HasOption(goEditing) && !FMouseActions->RangeSelectAndEdit)
        TBaseGrid::WndProc(Message);
    // The drag grows the selection from its top-left corner.
    FocusCell(Before.Left, Before.Top, true);
    FocusCell(C, R, false);
    SetSelection(Before);
    SetGridState(gsSelecting);
    MouseMove(ssLeft, X, Y);
    Message.Result = 1;
    return true;
}

bool TProStringGrid::PressNode(int ACol, int ARow, int X)
{
    if (ACol != 0 || !IsNodeRow(ARow) || !IsOnNodeButton(ARow, X))
        return false;
    const int FR = TStringGrid::FixedRows();
    if (ARow < FR) {
        if (!FMouseActions->NodeAllExpandContract)
            return false;
        TCellGraphic* G = NodeGraphic(ARow);
        if (G->CellBoolean)
            ExpandAllNodes();
        else
            ContractAllNodes();
        G->CellBoolean = !G->CellBoolean;
        InvalidateCell(0, ARow);
        return true;
    }
    const int Real = DisplayToRealRow(ARow);
    bool Allow = true;
    if (IsNodeContracted(ARow)) {
        if (OnBeforeExpandNode)
            OnBeforeExpandNode(this, ARow, Real, Allow);
        if (Allow) {
            ExpandNode(Real);
            if (OnExpandNode)
                OnExpandNode(this, ARow, Real);
        }
    } else {
        if (OnBeforeContractNode)
            OnBeforeContractNode(this, ARow, Real, Allow);
        if (Allow) {
            ContractNode(Real);
            if (OnContractNode)
                OnContractNode(this, ARow, Real);
        }
    }
    if (FMouseActions->MoveRowOnNodeClick)
        SetRow(ARow);
    return true;
}

bool TProStringGrid::PressLink(int ACol, int ARow, int X, int Y)
{
    const String Text = ReadCellText(DisplayToRealCol(ACol), ARow);
    const bool Html = GetCellTextKind(Text, EnableHTML) == ctkHtml;
    if (!URLShow && !Html)
        return false;
    String Anchor;
    String Title;
    THtmlDrawResult Hit;
    if (!Html) {
        if (IsUrl(Text))
            Anchor = Text;
    } else {
        AnchorAt(ACol, ARow, TPoint{X, Y}, Anchor, Title, &Hit);
    }
    if (Anchor.empty()) {
        // Beside the form controls of a cell a press only selects it.
        if (!Html || UpperCase(Text).find("<CONTROL") == String::npos)
            return false;
        if (OnClickCell)
            OnClickCell(this, ARow, ACol);
        EndCellEdit();
        FocusCell(ACol, ARow, true);
        return true;
    }
    if (!Hit.ControlID.empty()) {
        // Editing only suspended on a read-only current cell still lets the
        // form controls of other cells answer; the press would otherwise stop
        // here without even selecting their cell.
        bool Editable = HasOption(goEditing) || FEdit.Suspended;
        DoCanEditCell(ACol, ARow, Editable);
        if (Editable) {
            PressFormControl(ACol, ARow, Hit);
            return true;
        }
    }
    bool AutoHandle = true;
    if (OnAnchorClick)
        OnAnchorClick(this, ARow, ACol, Anchor, AutoHandle);
    if (AutoHandle)
        FollowAnchor(Anchor);
    return true;
}

// A press on a form control of an HTML cell: a button shows pressed until
// the release, a check box toggles; then the control's editor opens.
void TProStringGrid::PressFormControl(int ACol, int ARow, const THtmlDrawResult& Hit)
{
    const int C = DisplayToRealCol(ACol);
    // An open control editor writes its value back before the text is read.
    if ((FEdit.ControlEdit && FEdit.ControlEdit->Visible()) || (FEdit.ControlCombo && FEdit.ControlCombo->Visible()))
        ControlEditDone(nullptr);
    String Text = ReadCellText(C, ARow);
    String Value = Hit.ControlValue;
    if (Hit.ControlType == "BUTTON") {
        FMouse.PressedHtmlButton = TGridCoord{C, ARow};
        // The cell paints its buttons pressed while the grid holds the mouse.
        SetCapture(Handle());
        InvalidateCell(ACol, ARow);
    } else if (Hit.ControlType == "CHECK") {
        Value = UpperCase(Value) == "TRUE" ? "FALSE" : "TRUE";
        SetHtmlControlValue(Text, Hit.ControlID, Value);
        WriteCellText(C, ARow, Text);
    }
    if (OnControlClick)
        OnControlClick(this, ARow, ACol, Hit.ControlID, Hit.ControlType, Value);
    ShowControlEditor(Text, Hit.ControlType, ARow, ACol, C, Hit.ControlRect, Value, Hit.ControlID);
}

// A "CELL://R<row>C<col>" link moves to that cell; any other link opens
// through the shell, but only when it is a web or mail address.
void TProStringGrid::FollowAnchor(const String& Anchor)
{
    const String U = UpperCase(Anchor);
    const std::size_t At = U.find("CELL://");
    if (At == String::npos) {
        if (IsShellSafeAnchor(Anchor))
            ShellOpenAnchor(Anchor);
        return;
    }
    POINT Ref{-1, -1};
    if (!ParseCellRef(Anchor.substr(At + 7), Ref) || Ref.y < 0 || Ref.y >= RowCount() || Ref.x < 0
        || Ref.x >= ColCount())
        return;
    SetRow(Ref.y);
    SetCol(Ref.x);
    ScrollToCell(Ref.x, Ref.y);
}

// Whole rows by a press on the fixed column, whole columns by a press on
// the fixed row, everything by a press on the corner.
void TProStringGrid::PressHeader(int ACol, int ARow, TShiftState Shift)
{
    FMouse.HeaderAnchor = -1;
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    const bool Range = HasOption(goRangeSelect);
    const TGridRect Old = Selection();
    if (ACol < FC && ARow < FR && FMouseActions->AllSelect && Range && FCursorZone == 3) {
        SetFocus();
        ReportProgress(0, 0);
        HideSelection();
        const TGridRect All{FC, FR, ColCount() - 1, RowCount() - 1};
        ButtonDownHook(All);
        RestoreSelection();
        SetSelectionRect(All);
        FMouse.SelectAnchor = FR;
        if (ActiveCellShow)
            RepaintActiveHeaders(FC, FR, ColCount() - 1, RowCount() - 1);
        return;
    }
    if (ACol < FC && ARow >= FR && FMouseActions->RowSelect && Range && FCursorZone == 2) {
        if (FEdit.Active)
            SetFocus();
        FSelectedCells->Clear();
        const int Top = (Shift & ssShift) != 0 ? Old.Top : ARow;
        SetSelectionRect(TGridRect{FC, std::min(Top, ARow), ColCount() - 1, std::max(Top, ARow)});
        FMouse.SelectAnchor = ARow;
        if (ActiveCellShow)
            RepaintActiveHeaders(FC, ARow, ColCount() - 1, ARow);
        return;
    }
    if (ARow < FR && ACol >= FC && FMouseActions->ColSelect && Range && FCursorZone == 1) {
        SetFocus();
        FSelectedCells->Clear();
        const int Left = (Shift & ssShift) != 0 ? Old.Left : ACol;
        SetSelectionRect(TGridRect{std::min(Left, ACol), FR, std::max(Left, ACol), RowCount() - 1});
        FMouse.SelectAnchor = ACol;
        if (ActiveCellShow)
            RepaintActiveHeaders(ACol, FR, ACol, RowCount() - 1);
        return;
    }
    if (ARow < FR && ACol >= FC)
        FMouse.HeaderAnchor = ACol;
    else if (ACol < FC && ARow >= FR)
        FMouse.HeaderAnchor = ARow;
}

bool TProStringGrid::PressCheckBox(int ACol, int ARow, int X, int Y, bool CanEdit, TShiftState Shift)
{
    if (!(CanEdit || FControlLook->CheckAlwaysActive()) || !HasCheckBox(ACol, ARow) || !PtInCheckBox(ACol, ARow, X, Y))
        return false;
    const int C = DisplayToRealCol(ACol);
    EndCellEdit();
    if (HandleAllocated() && CanFocus())
        SetFocus();
    ToggleCheckBox(C, ARow, true);
    if (FShowModified->Enabled) {
        SetRowModified(ARow, true);
        InvalidateCell(0, ARow);
    }
    if (ACol == 0 && FMouseActions->HotmailRowSelect()) {
        SetRowSelected(ARow, !IsRowSelected(ARow));
        if (!IsRowSelected(Row()))
            HideSelection();
    }
    bool State = false;
    GetCheckBoxState(C, ARow, State);
    if (!FNavigation->AlwaysEdit && ACol >= TStringGrid::FixedCols() && ARow >= TStringGrid::FixedRows())
        FocusCell(ACol, ARow, true);
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, ACol, ARow, State);
    if (HideFocusRect)
        InvalidateCell(ACol, ARow);
    if (ARow < TStringGrid::FixedRows() && FMouseActions->CheckAllCheck) {
        if (State)
            CheckAllInColumn(C);
        else
            UncheckAllInColumn(C);
    }
    FireMouseDown(this, Shift, X, Y);
    Click();
    return true;
}

void TProStringGrid::PressDisjunct(int ACol, int ARow, TShiftState Shift)
{
    const int FR = TStringGrid::FixedRows();
    const bool RowCheck = ACol != 0 || !FMouseActions->HotmailRowSelect();
    if (FMouseActions->DisjunctRowSelect() && ARow >= FR && RowCheck) {
        if ((Shift & ssCtrl) == 0) {
            FMouse.ClearedOnPress = true;
            if ((Shift & ssAlt) == 0 && (Shift & ssShift) == 0)
                ClearRowSelection();
        } else if (IsRowSelected(FMouseActions->RowSelectPersistent ? DisplayToRealRow(ARow) : ARow)) {
            FMouse.DeselectOnRelease = true;
        }
    }
    if (FMouseActions->DisjunctColSelect() && ACol >= TStringGrid::FixedCols()) {
        if ((Shift & ssCtrl) == 0) {
            FMouse.ClearedOnPress = true;
            ClearColSelection();
        } else if (IsColSelected(ACol)) {
            FMouse.DeselectOnRelease = true;
        }
    }
}

void TProStringGrid::DrawFixedButton(int ACol, int ARow, bool Down)
{
    if (!HandleAllocated())
        return;
    RECT R = CellRect(ACol, ARow);
    HDC DC = GetDC(Handle());
    DrawEdge(DC, &R, Down ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT);
    ReleaseDC(Handle(), DC);
}

void TProStringGrid::ClickRadioItem(int ACol, int ARow, int DY, int DX)
{
    const int DisplayCol = RealToDisplayCol(ACol);
    const TPoint B = BaseCell(DisplayCol, ARow);
    if (B.x >= TStringGrid::FixedCols() && B.y >= TStringGrid::FixedRows())
        FocusCell(B.x, B.y, true);
    TCellGraphic* G = GetCellGraphicObject(ACol, ARow);
    auto* Items = G ? dynamic_cast<TStrings*>(G->CellBitmap) : nullptr;
    if (!Items)
        return;
    const int Size = FControlLook->ControlStyle() > csFlat ? 16 : FControlLook->RadioSize();
    TBitmap Scratch(1, 1);
    TCanvas* Cv = Canvas()->HandleAllocated() ? Canvas() : Scratch.Canvas();
    TFont Keep;
    Keep.Assign(Cv->Font());
    TBrush CellBrush;
    TFont CellFont;
    TResolvedCellColors Colors;
    TGridDrawState State = 0;
    ResolveCellColors(DisplayCol, ARow, State, false, false, true, &CellBrush, &CellFont, Colors);
    Cv->Font()->Assign(&CellFont);
    const bool Horizontal = G->CellBoolean;
    const int LineH = std::max(Size, Cv->TextHeight("gh"));
    int Start = 0;
    int Chosen = -1;
    for (int I = 0; I < Items->Count(); ++I) {
        const int Extent = Horizontal ? Cv->TextWidth(Items->Strings(I)) + Size : LineH;
        const int Pos = Horizontal ? DX : DY;
        if (Pos > Start && Pos <= Start + Extent) {
            Chosen = I;
            break;
        }
        Start += Extent;
    }
    Cv->Font()->Assign(&Keep);
    if (Chosen < 0)
        return;
    if (G->CellIndex == -1)
        WriteCellText(ACol, ARow, Items->Strings(Chosen));
    else
        G->CellIndex = Chosen;
    WriteCellText(ACol, ARow, ReadCellText(ACol, ARow));
    InvalidateCell(DisplayCol, ARow);
    if (OnRadioClick)
        OnRadioClick(this, DisplayCol, ARow, Chosen);
}

// ---------------------------------------------------------------------------
// Left button up

void TProStringGrid::WMLButtonUp(TMessage& Message)
{
    const TPoint P = MessagePoint(Message);
    const int X = P.x;
    const int Y = P.y;
    const bool Moved = FMovedByDrag;
    const bool WidthChanged = FMouse.WidthChanged;
    const bool DeselectOnRelease = FMouse.DeselectOnRelease;
    FMovedByDrag = false;
    FMouse.WidthChanged = false;
    FMouse.DeselectOnRelease = false;
    FMouse.ClearedOnPress = false;
    FMouse.LeftDown = false;
    FMouse.KeepScroll = false;
    FCursorZone = 0;
    ReleaseFixedCell();
    if (Look == glListView)
        Invalidate();
    if (FMouse.PressedHtmlButton.X >= 0) {
        InvalidateCell(RealToDisplayCol(FMouse.PressedHtmlButton.X), FMouse.PressedHtmlButton.Y);
        FMouse.PressedHtmlButton = TGridCoord{-1, -1};
        if (GetCapture() == Handle())
            ReleaseCapture();
    }
    FMouse.SelectAnchor = -1;
    if (!IsDesigning())
        HideMoveArrows();
    ReleaseFixedSizing(X, Y);
    if (FMouse.PressedFixedButton && FMouse.PressedButton.X >= 0) {
        DrawFixedButton(FMouse.PressedButton.X, FMouse.PressedButton.Y, false);
        InvalidateCell(FMouse.PressedButton.X, FMouse.PressedButton.Y);
    }
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool Valid = Cell.X >= 0 && Cell.Y >= 0;
    if (FMouse.PressedButton.X >= 0) {
        const TGridCoord Pressed = FMouse.PressedButton;
        const bool Editable = FControlLook->NoDisabledButtonLook() || (Valid && IsCellEditable(Cell.X, Cell.Y))
                              || FMouse.PressedFixedButton;
        if (Valid && Editable) {
            if (!IsNodeRow(Pressed.Y))
                SetCellButtonDown(Pressed.X, Pressed.Y, false);
            if (OnButtonClick)
                OnButtonClick(this, Pressed.X, Pressed.Y);
        } else if (!FMouse.PressedFixedButton) {
            SetCellButtonDown(Pressed.X, Pressed.Y, false);
        }
        FMouse.PressedButton = TGridCoord{-1, -1};
        FMouse.PressedFixedButton = false;
        if (GetCapture() == Handle())
            ReleaseCapture();
    }
    HideSizingHint();
    if (Valid && IsButtonCell(Cell.X, Cell.Y)) {
        const TRect BR = GetCellButtonRect(Cell.X, Cell.Y);
        if (PtInRect(&BR, P))
            return;
    }
    const int FC = TStringGrid::FixedCols();
    const int FR = TStringGrid::FixedRows();
    const bool Sizing = GridState() == gsColSizing || GridState() == gsRowSizing;
    if (Valid && !Sizing && (Cell.X < FC || Cell.Y < FR || !HasOption(goEditing)) && OnClick)
        OnClick(this);
    const bool WasSelecting = GridState() == gsSelecting;
    if (FMouse.OleDragPending) {
        FMouse.OleDragPending = false;
        if (Valid && Cell.X >= FC && Cell.Y >= FR) {
            if (FMouseActions->DisjunctRowSelect() && FDragDropSettings->OleDropSource) {
                if ((KeyboardShift() & ssCtrl) != 0) {
                    SetRowSelected(Cell.Y, !IsRowSelected(Cell.Y));
                    return;
                }
                ClearRowSelection();
            }
            InvalidateCell(0, Row());
            if (HasOption(goRowSelect))
                SetSelectionRect(TGridRect{FC, Cell.Y, ColCount() - 1, Cell.Y});
            else
                FocusCell(Cell.X, Cell.Y, true);
            InvalidateCell(0, Cell.Y);
        }
    }
    FMouse.DeselectOnRelease = DeselectOnRelease;
    if (Valid)
        ReleaseDisjunct(Cell.X, Cell.Y);
    FMouse.DeselectOnRelease = false;

    const bool MoveEnded = EndMoveDrag(X, Y);
    TBaseGrid::WndProc(Message);
    if (WasSelecting)
        Click();
    if (FMouse.SelectionResizing) {
        FMouse.SelectionResizing = false;
        const TGridRect Now = Selection();
        if (OnSelectionResize)
            OnSelectionResize(this, FMouse.SelectionBeforeResize, Now);
        PasteSelectionFromClipboard();
        if (OnSelectionResized)
            OnSelectionResized(this, FMouse.SelectionBeforeResize, Now);
    }
    if (Moved || FMovedByDrag || WidthChanged || MoveEnded || Sizing || !Valid)
        return;
    HeaderClick(Cell.X, Cell.Y, X, Y, KeyboardShift());
}

void TProStringGrid::ReleaseFixedSizing(int X, int Y)
{
    auto Release = [this](TFixedSizing& S, void (TProStringGrid::*Draw)(int)) {
        S.Active = false;
        (this->*Draw)(S.LinePos);
        if (GetCapture() == Handle())
            ReleaseCapture();
    };
    // The new size: the pointer's place less the sizes before the column (row).
    if (FFixedColSizing.Active) {
        Release(FFixedColSizing, &TProStringGrid::DrawColSizingLine);
        const int I = FFixedColSizing.Index;
        int W = MirroredX(X);
        for (int C = 0; C < I; ++C)
            W -= ColWidths(C);
        SetColWidths(I, std::max(0, W));
        if (OnEndColumnSize)
            OnEndColumnSize(this, I);
        const int Asked = ColWidths(I);
        W = Asked;
        if (OnUpdateColumnSize)
            OnUpdateColumnSize(this, I, W);
        if (W != Asked)
            SetColWidths(I, W);
    }
    if (FFixedRowSizing.Active) {
        Release(FFixedRowSizing, &TProStringGrid::DrawRowSizingLine);
        const int I = FFixedRowSizing.Index;
        int H = Y;
        for (int R = 0; R < I; ++R)
            H -= RowHeights(R);
        SetRowHeights(I, std::max(0, H));
        if (OnEndRowSize)
            OnEndRowSize(this, I);
    }
}

void TProStringGrid::ReleaseDisjunct(int ACol, int ARow)
{
    const int FR = TStringGrid::FixedRows();
    if (FMouseActions->DisjunctRowSelect() && !(ACol == 0 && IsNodeRow(ARow))) {
        RangeToRowSelection(false);
        if (FMouse.DeselectOnRelease && ARow >= FR)
            SetRowSelected(FMouseActions->RowSelectPersistent ? DisplayToRealRow(ARow) : ARow, false);
    }
    if (FMouseActions->DisjunctColSelect()) {
        RangeToColSelection(false);
        if (FMouse.DeselectOnRelease && ACol >= TStringGrid::FixedCols())
            SetColSelected(ACol, false);
    }
}

// A release on a header cell: the check box or radio mouse-up events, then
// sorting by the column when the press and the release were both on the
// sort row.
void TProStringGrid::HeaderClick(int ACol, int ARow, int X, int Y, TShiftState Shift)
{
    const int C = DisplayToRealCol(ACol);
    if (ACol < TStringGrid::FixedCols() && !FSortSettings->FixedCols)
        return;
    if (HasCheckBox(ACol, ARow) && OnCheckBoxMouseUp) {
        bool State = false;
        GetCheckBoxState(C, ARow, State);
        OnCheckBoxMouseUp(this, C, ARow, State);
    }
    int Index = 0;
    if (IsRadioCell(ACol, ARow) && GetRadioIndex(ACol, ARow, Index) && OnRadioMouseUp)
        OnRadioMouseUp(this, C, ARow, Index);
    if (FMouse.AutoSizeDone) {
        FMouse.AutoSizeDone = false;
        return;
    }
    const TRect R = CellRect(ACol, ARow);
    if (ARow == 0 && HasOption(goColSizing) && NearBorder(R, X))
        return;
    if (InFixedDropDownStrip(R, X) || HasFixedDropDown(ACol, ARow))
        return;
    const int SortRow = FSortSettings->Row;
    const bool Sortable = ARow == SortRow && FMouse.PressCell.Y == SortRow && TStringGrid::FixedRows() > 0
                          && !PtInCheckBox(ACol, ARow, X, Y) && FSortSettings->Show && RowCount() > 2;
    if (!Sortable)
        return;
    bool DoSort = !IsIgnoredColumn(C);
    if (OnCanSort)
        OnCanSort(this, C, DoSort);
    if (!DoSort) {
        InvalidateCell(ACol, ARow);
        return;
    }
    ClickSort(C, Shift);
}

void TProStringGrid::ClickSort(int RealCol, TShiftState Shift)
{
    EndCellEdit();
    if (FRowOrder->Count() != RowCount())
        InitRowOrder();
    if (FSortSettings->AutoColumnMerge)
        SplitAllColumnMerges();
    const int KeepLeft = LeftCol();
    const TSortDirection Init = FSortSettings->InitSortDirection;
    const TSortDirection Other = Init == sdAscending ? sdDescending : sdAscending;
    if (FSortSettings->IndexShow) {
        TSortIndexList* L = FSortIndexes.get();
        const int Found = L->FindSortColumn(RealCol);
        if ((Shift & ssShift) != 0) {
            if (Found >= 0)
                L->ToggleSortDirection(RealCol);
            else
                L->AddSortColumn(RealCol, Other == sdAscending);
        } else if (L->Count() == 1 && Found == 0) {
            L->ToggleSortDirection(RealCol);
        } else {
            L->Clear();
            L->AddSortColumn(RealCol, Other == sdAscending);
        }
        if (HasNodes())
            SortNodeGroupsIndexed();
        else
            SortRowsIndexed();
        FSortSettings->Column = L->Count() > 0 ? L->GetSortColumn(0) : -1;
    } else {
        bool Restored = false;
        if (FSortSettings->Column == RealCol) {
            FSortSettings->Direction = FSortSettings->Direction == sdAscending ? sdDescending : sdAscending;
            if (FSortSettings->Direction != Init && FSortSettings->UndoSort) {
                RestoreRowOrder();
                FSortSettings->Column = -1;
                Restored = true;
            }
        } else {
            FSortSettings->Direction = Init;
            FSortSettings->Column = RealCol;
        }
        if (!Restored) {
            if (HasNodes())
                SortNodeGroups();
            else
                SortRows();
        }
    }
    if (HasOption(goRowSelect) && FNavigation->KeepHorizScroll)
        SetLeftCol(KeepLeft);
    if (FSortSettings->AutoColumnMerge)
        MergeListedColumns();
    Invalidate();
    if (OnClickSort)
        OnClickSort(this, FSortSettings->Column);
}

void TProStringGrid::Click()
{
    TBaseGrid::Click();
    BeginCellEdit(Col(), Row());
}

// ---------------------------------------------------------------------------
// Right button and double click

void TProStringGrid::WMRButtonDown(TMessage& Message)
{
    const TPoint P = MessagePoint(Message);
    TBaseGrid::WndProc(Message);
    const TGridCoord Cell = MouseCoord(P.x, P.y);
    if (Cell.X < 0 || Cell.Y < 0)
        return;
    const bool Fixed = Cell.X < TStringGrid::FixedCols() || Cell.Y < TStringGrid::FixedRows();
    if (FMouseActions->SelectOnRightClick && !Fixed) {
        if (IsCellSelected(Cell.X, Cell.Y)) {
            bool CanSelect = true;
            if (OnSelectCell)
                OnSelectCell(this, Cell.X, Cell.Y, CanSelect);
        } else {
            const TPoint B = BaseCell(Cell.X, Cell.Y);
            const int KeepLeft = LeftCol();
            FocusCell(B.x, B.y, true);
            if (FNavigation->KeepHorizScroll)
                SetLeftCol(KeepLeft);
        }
        if (FMouseActions->DisjunctRowSelect()) {
            if ((KeyboardShift() & ssCtrl) != 0) {
                SetRowSelected(Cell.Y, !IsRowSelected(Cell.Y));
            } else if (SelectedRowCount() < 2 || !PopupMenu() || !IsRowSelected(Cell.Y)) {
                ClearRowSelection();
                SetRowSelected(Cell.Y, true);
            }
        }
    }
    if (OnRightClickCell)
        OnRightClickCell(this, Cell.Y, Cell.X);
}

void TProStringGrid::WMRButtonUp(TMessage& Message)
{
    const TGridState S = GridState();
    const TCursor Cur = Screen->Cursor();
    if (EnhRowColMove && (S == gsColMoving || S == gsRowMoving) && (Cur == crDrag || Cur == crNoDrop)) {
        Message.Result = 0;
        return;
    }
    TBaseGrid::WndProc(Message);
}

void TProStringGrid::WMLButtonDblClk(TMessage& Message)
{
    const TPoint P = MessagePoint(Message);
    const bool Lock = InternalMoveLock;
    if (FMouseActions->RangeSelectAndEdit)
        InternalMoveLock = true;
    TGridCoord Cell = MouseCoord(P.x, P.y);
    if (Cell.X < 0 && Cell.Y >= 0 && P.x >= 0) {
        if (FixedRowAlways) {
            TBaseGrid::WndProc(Message);
            InternalMoveLock = Lock;
            return;
        }
        Cell = TGridCoord{ColCount() - 1, 0};
    }
    const int FC = TStringGrid::FixedCols();
    if (Cell.X >= 0 && Cell.Y >= 0 && Cell.Y < TStringGrid::FixedRows() && HasOption(goColSizing)
        && FMouseActions->AutoSizeColOnDblClick) {
        const TRect R = CellRect(Cell.X, Cell.Y);
        int Target = -1;
        if (std::abs(P.x - R.left) < 4 && Cell.X - 1 >= FC)
            Target = Cell.X - 1;
        else if (std::abs(P.x - R.right) < 4 && Cell.X >= FC)
            Target = Cell.X;
        if (Target >= 0) {
            FMouse.AutoSizeDone = true;
            bool Allow = true;
            if (OnColumnSize)
                OnColumnSize(this, Target, Allow);
            if (Allow) {
                AutoSizeColumn(Target);
                if (OnEndColumnSize)
                    OnEndColumnSize(this, Target);
            }
            InternalMoveLock = Lock;
            return;
        }
    }
    if (Cell.X >= 0 && Cell.Y >= 0 && IsButtonCell(Cell.X, Cell.Y)) {
        const TRect BR = GetCellButtonRect(Cell.X, Cell.Y);
        if (PtInRect(&BR, P)) {
            InternalMoveLock = Lock;
            return;
        }
    }
    TBaseGrid::WndProc(Message);
    if (Cell.X >= 0 && Cell.Y >= 0 && OnDblClickCell)
        OnDblClickCell(this, Cell.Y, Cell.X);
    if (Cell.X >= 0 && Cell.Y >= 0) {
        const bool FixedRow = Cell.Y < TStringGrid::FixedRows();
        const bool FixedCol = Cell.X < FC;
        if (FMouseActions->EditOnDblClickOnly() && !FixedRow && !FixedCol) {
            const bool Range = FMouseActions->RangeSelectAndEdit;
            FMouseActions->RangeSelectAndEdit = true;
            if (IsCellEditable(Cell.X, Cell.Y)) {
                SetOptions(Options() | goEditing);
                StartCellEdit();
            }
            FMouseActions->RangeSelectAndEdit = Range;
        } else if (FMouseActions->RangeSelectAndEdit && !FixedRow && !FixedCol && IsCellEditable(Cell.X, Cell.Y)) {
            SetOptions(Options() | goEditing);
            const TPoint B = BaseCell(Cell.X, Cell.Y);
            const TRect R = CellRect(B.x, B.y);
            MouseDown(mbLeft, 0, R.left + 4, R.top + 4);
        }
        if ((FMouseActions->FixedRowsEdit == fceDblClick && FixedRow)
            || (FMouseActions->FixedColsEdit == fceDblClick && FixedCol))
            EditFixedCell(Cell.X, Cell.Y);
    }
    InternalMoveLock = Lock;
}
