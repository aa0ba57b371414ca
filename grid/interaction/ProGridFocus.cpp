// The string grid's focus changes (the editor reopening with AlwaysEdit,
// focus moves caused by its own editor write-back ignored), the accelerators
// it leaves to its form, its cursor zones, and its periodic timer: the
// time-out of the incremental goto, selection by hovering and the blinking
// of HTML text.
#include "framework/Screen.h"
#include "grid/core/ProGrid.h"
#include "grid/core/ProGridLook.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "grid/interaction/ProRichEdit.h"
#include "grid/interaction/ProInplaceEdit.h"

namespace {

constexpr UINT_PTR GridTimerId = 111;

bool HasBlinkTag(const String& S)
{
    for (std::size_t I = 0; I + 4 <= S.size(); ++I)
        if (S[I] == '<' && toupper(static_cast<unsigned char>(S[I + 1])) == 'B'
            && toupper(static_cast<unsigned char>(S[I + 2])) == 'L'
            && toupper(static_cast<unsigned char>(S[I + 3])) == 'I')
            return true;
    return false;
}

} // namespace

bool TProStringGrid::FocusTimerMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETFOCUS: WMSetFocus(Message); return true;
    case WM_KILLFOCUS: WMKillFocus(Message); return true;
    case WM_TIMER:
        if (Message.WParam != GridTimerId)
            return false;
        GridTimerTick();
        Message.Result = 0;
        return true;
    case WM_SETCURSOR: WMSetCursor(Message); return true;
    case WM_CHAR: return CharMessage(Message);
    case CM_DIALOGCHAR: CMDialogChar(Message); return true;
    default: return false;
    }
}

void TProStringGrid::WMSetFocus(TMessage& Message)
{
    TBaseGrid::WndProc(Message);
    const int C = Col();
    const int R = Row();
    if (HasCheckBox(C, R))
        return;
    // A rich-text editor left open while the focus was in another window
    // ends its edit when the focus comes back to the grid.
    if (FEdit.RichEditor != nullptr && FEdit.RichEditor->Visible() && !FEdit.Showing)
        EndCellEdit();
    const bool InView = LeftCol() <= C && C < LeftCol() + VisibleColCount() && TopRow() <= R
                        && R < TopRow() + VisibleRowCount();
    const bool Moving = GridState() == gsColMoving || GridState() == gsRowMoving;
    const auto MayEdit = [this, C, R] {
        const bool CanEdit = HasOption(goEditing) || FMouseActions->RangeSelectAndEdit;
        return CanEditCell(C, R, CanEdit);
    };
    TProInplaceEdit* Editor = GetInplaceEditor();
    if (Editor != nullptr) {
        // The focus coming back from the editor itself starts no second edit.
        const auto From = reinterpret_cast<HWND>(Message.WParam);
        const bool FromEditor = Editor->HandleAllocated() && From == Editor->Handle();
        if (!FromEditor && !Moving && FNavigation->AlwaysEdit && FEdit.InUse == edNormal && InView && MayEdit()
            && !EditorMode()) {
            StartCellEdit();
            Message.Result = 0;
            return;
        }
    } else if (FNavigation->AlwaysEdit && InView && MayEdit() && !FMouseActions->DirectEdit
               && !FControlLook->DropDownAlwaysVisible() && HasComboBox(C, R)) {
        StartCellEdit();
    }
    if ((RowCount() == 1 && FixedRowAlways) || (ColCount() == 1 && FixedColAlways))
        HideSelection();
}

// While the editor's value is written back the grid moves the focus
// itself: that loss of focus is no exit.
void TProStringGrid::WMKillFocus(TMessage& Message)
{
    if (FEdit.Committing) {
        Message.Result = 1;
        return;
    }
    TBaseGrid::WndProc(Message);
    // A form button held down in a cell comes up: it paints pressed while
    // the grid holds the mouse, and no release may reach it later.
    if (FMouse.PressedHtmlButton.X >= 0) {
        const TGridCoord Pressed = FMouse.PressedHtmlButton;
        FMouse.PressedHtmlButton = TGridCoord{-1, -1};
        if (GetCapture() == Handle())
            ReleaseCapture();
        InvalidateCell(RealToDisplayCol(Pressed.X), Pressed.Y);
    }
}

// The grid takes no accelerator character of its form, and hands none on to
// the controls it holds: a letter with Alt is the form's, never the grid's.
void TProStringGrid::CMDialogChar(TMessage& Message)
{
    Message.Result = 0;
}

// The cursor of the zone the pointer is in (column select, row select,
// select all and the selection resizer, from the program's cursor
// resources), and the split cursors while a fixed cell is sized.
void TProStringGrid::WMSetCursor(TMessage& Message)
{
    const bool InClient = LOWORD(Message.LParam) == HTCLIENT;
    HCURSOR Zoned = nullptr;
    if (InClient && FCursorZone != 0 && GridState() != gsColSizing && GridState() != gsRowSizing) {
        const int Id = FCursorZone == 1 ? 8011 : FCursorZone == 2 ? 8010 : FCursorZone == 3 || FCursorZone == 5 ? 8012 : 0;
        if (Id != 0)
            Zoned = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Id));
    }
    if (Zoned != nullptr) {
        ::SetCursor(Zoned);
        Message.Result = 1;
    } else {
        TBaseGrid::WndProc(Message);
    }
    if (!InClient)
        return;
    if (FFixedColSizing.Armed || FFixedColSizing.Active) {
        ::SetCursor(Screen->Cursors(crHSplit));
        Message.Result = 1;
    } else if (FFixedRowSizing.Armed || FFixedRowSizing.Active) {
        ::SetCursor(Screen->Cursors(crVSplit));
        Message.Result = 1;
    }
}

void TProStringGrid::DoEnter()
{
    // A focus change inside a paint (from a drawing hook) ends what the
    // paint knew of the focus.
    FPaintFocus = -1;
    try {
        TBaseGrid::DoEnter();
        if (HasOption(goEditing) || FMouseActions->RangeSelectAndEdit)
            SelectCell(Col(), Row());
    } catch (...) {
        BeginCellEdit(Col(), Row());
        throw;
    }
    BeginCellEdit(Col(), Row());
}

void TProStringGrid::DoExit()
{
    FPaintFocus = -1;
    if (FEdit.Committing)
        return;
    TBaseGrid::DoExit();
    // The editors of the grid's own classes end their edit when they lose
    // the focus; the date-and-time editor, a plain picker, ends it here. The
    // rich-text editor stays until the grid has the focus again, and an edit
    // link's control is the link's to close.
    if (FEdit.Active && FEdit.InUse != edRichEdit && FEdit.InUse != edCustom)
        EndCellEdit();
}

void TProStringGrid::GridTimerTick()
{
    ++FTimerTicks;
    if (FNavigation->AutoGotoIncremental) {
        // About two seconds without typing end the goto text.
        if (FGotoIdleTicks++ == 3) {
            FGotoText.clear();
            FGotoIdleTicks = 0;
        }
    }
    if (Hovering && !IsDesigning() && HandleAllocated()) {
        POINT P{};
        GetCursorPos(&P);
        if (WindowFromPoint(P) == Handle()) {
            ::ScreenToClient(Handle(), &P);
            RECT Client{};
            GetClientRect(Handle(), &Client);
            int C = -1;
            int R = -1;
            if (PtInRect(&Client, P))
                MouseToCell(P.x, P.y, C, R);
            if (C >= TStringGrid::FixedCols() && R >= TStringGrid::FixedRows() && C < ColCount() && R < RowCount()) {
                if (!Focused() && CanFocus())
                    SetFocus();
                SetCurrentRow(R);
                SetCol(C);
            }
        }
    }
    if (EnableBlink) {
        FBlinkOn = !FBlinkOn;
        RepaintBlinkingCells();
    }
}

// The cells whose text blinks, over the visible normal cells, the fixed
// rows by the visible columns and the fixed columns by the visible rows.
void TProStringGrid::RepaintBlinkingCells()
{
    const int C1 = LeftCol();
    const int C2 = std::min(ColCount() - 1, LeftCol() + VisibleColCount() - 1);
    const int R1 = TopRow();
    const int R2 = std::min(RowCount() - 1, TopRow() + VisibleRowCount() - 1);
    const auto Check = [this](int C, int R) {
        if (HasBlinkTag(ReadCellText(C, R)))
            RepaintCell(C, R);
    };
    for (int R = R1; R <= R2; ++R)
        for (int C = C1; C <= C2; ++C)
            Check(C, R);
    for (int R = 0; R < TStringGrid::FixedRows(); ++R)
        for (int C = C1; C <= C2; ++C)
            Check(C, R);
    for (int C = 0; C < TStringGrid::FixedCols(); ++C)
        for (int R = R1; R <= R2; ++R)
            Check(C, R);
}
