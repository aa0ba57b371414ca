// OLE drag and drop of the string grid: the drop target's handling of what
// is dropped, the drop source's feedback, the registration of the grid's
// window, the dragged text and the drag that mouse movement starts.

#include "grid/interaction/GridDragDrop.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

#include "framework/Codepage.h"
#include "framework/Form.h"
#include "grid/core/GridLimits.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/GridClipboard.h"
#include "grid/interaction/MouseActions.h"

namespace {

constexpr int ArrowUp = 0;
constexpr int ArrowDown = 1;
constexpr int ArrowRight = 2;

// Rows that a drop into the grid inserted while the grid itself was the
// source of the drag, so that a move with row removal afterwards removes
// the source rows and not the inserted ones.
struct TInsertedRows {
    int Row = -1;
    int Count = 0;
};
std::map<TProStringGrid*, TInsertedRows>& InsertedDuringDrag()
{
    static std::map<TProStringGrid*, TInsertedRows> Map;
    return Map;
}

// The text of one cell as it is dragged out: wide text converted, rich
// text reduced to its plain text. Wide gets the same text as Unicode, with
// wide text whole (the 8-bit form loses what the code page cannot hold).
String DragCellText(TProStringGrid* Grid, int ACol, int ARow, WideString& Wide)
{
    if (IsPackedWideCell(Grid, ACol, ARow)) {
        Wide = Grid->ReadWideCellText(ACol, ARow);
        return WideToStr(Wide);
    }
    String S = Grid->Cells(ACol, ARow);
    if (S.find("{\\") != String::npos)
        S = RichTextToPlain(S);
    Wide = StrToWide(S);
    return S;
}

// A dropped CSV file goes to the grid's CSV import (delimiter guessed, no
// row limit); a dropped workbook to its workbook import (active sheet).
void LoadDroppedCSV(TProStringGrid* Grid, const String& Name)
{
    Grid->ImportCSVFile(Name, -1);
}

void LoadDroppedWorkbook(TProStringGrid* Grid, const String& Name)
{
    Grid->ImportWorkbook(Name);
}

} // namespace

String RichTextToPlain(const String& Rtf)
{
    String Out;
    // Depth of the group and the depth below which a skipped destination
    // (font, colour and style tables, \* groups) ends.
    int Depth = 0;
    int SkipBelow = -1;
    size_t I = 0;
    while (I < Rtf.size()) {
        const char C = Rtf[I];
        if (C == '{') {
            ++Depth;
            ++I;
            continue;
        }
        if (C == '}') {
            if (SkipBelow >= 0 && Depth <= SkipBelow)
                SkipBelow = -1;
            --Depth;
            ++I;
            continue;
        }
        if (C == '\\') {
            ++I;
            if (I >= Rtf.size())
                break;
            const char N = Rtf[I];
            if (N == '\\' || N == '{' || N == '}') {
                if (SkipBelow < 0)
                    Out += N;
                ++I;
                continue;
            }
            if (N == '*') {
                if (SkipBelow < 0)
                    SkipBelow = Depth;
                ++I;
                continue;
            }
            if (N == '\'') {
                if (I + 2 < Rtf.size() + 0 && SkipBelow < 0) {
                    const String Hex = Rtf.substr(I + 1, 2);
                    Out += static_cast<char>(std::strtol(Hex.c_str(), nullptr, 16));
                }
                I += 3;
                continue;
            }
            String Word;
            while (I < Rtf.size() && std::isalpha(static_cast<unsigned char>(Rtf[I])))
                Word += Rtf[I++];
            if (I < Rtf.size() && (Rtf[I] == '-' || std::isdigit(static_cast<unsigned char>(Rtf[I])))) {
                ++I;
                while (I < Rtf.size() && std::isdigit(static_cast<unsigned char>(Rtf[I])))
                    ++I;
            }
            if (I < Rtf.size() && Rtf[I] == ' ')
                ++I;
            if (Word == "fonttbl" || Word == "colortbl" || Word == "stylesheet" || Word == "info"
                || Word == "pict") {
                if (SkipBelow < 0)
                    SkipBelow = Depth;
            } else if (SkipBelow < 0 && (Word == "par" || Word == "line") && !Out.empty())
                Out += ' ';
            else if (SkipBelow < 0 && Word == "tab")
                Out += ' ';
            continue;
        }
        if (SkipBelow < 0 && C != '\r' && C != '\n')
            Out += C;
        ++I;
    }
    while (!Out.empty() && Out.back() == ' ')
        Out.pop_back();
    return Out;
}

// ---------------------------------------------------------------------------
// TGridDropTarget

void TGridDropTarget::HideArrows()
{
    FGrid->DropArrow(ArrowRight)->SetVisible(false);
    FGrid->DropArrow(ArrowDown)->SetVisible(false);
}

void TGridDropTarget::DraggingOver(TPoint P, bool& Allow, Byte Formats)
{
    const TGridCoord Cell = FGrid->ScreenToCell(P);
    int Col = Cell.X;
    int Row = Cell.Y;
    Allow = Col >= 0 && Row >= 0;
    const bool Column = (Formats & ofColumn) != 0;
    const int FixedRows = FGrid->FixedRows();
    const int FixedCols = FGrid->FixedCols();
    if (Allow && !Column) {
        const TPoint Client = FGrid->ScreenToClient(P);
        if ((Row == 0 && FGrid->TopRow() > FixedRows) || (Client.y < 8 && FixedRows == 0 && FGrid->TopRow() > 0))
            FGrid->SetTopRow(FGrid->TopRow() - 1);
        else if (Row == FGrid->TopRow() + FGrid->VisibleRowCount())
            FGrid->SetTopRow(FGrid->TopRow() + 1);
        // Sideways the grid scrolls at most once per half second.
        const DWORD Tick = GetTickCount() / 500;
        if (Tick != FLastScrollTick) {
            if (Col == 0 && FGrid->LeftCol() > FixedCols) {
                FGrid->SetLeftCol(FGrid->LeftCol() - 1);
                FLastScrollTick = Tick;
            } else if (Col == FGrid->LeftCol() + FGrid->VisibleColCount()) {
                FGrid->SetLeftCol(FGrid->LeftCol() + 1);
                FLastScrollTick = Tick;
            }
        }
    }
    if (Allow) {
        if (Column)
            Allow = Row < FixedRows && Col >= FixedCols;
        else if (Row < FixedRows)
            Allow = FGrid->RowCount() == 1 && FGrid->FixedRowAlways;
    }
    if (FGrid->OnOleDragOver)
        FGrid->OnOleDragOver(FGrid, Row, Col, Allow);
    Allow = Allow && Row >= 0 && Col >= 0;

    TArrowWindow* Up = FGrid->DropArrow(ArrowUp);
    TArrowWindow* Down = FGrid->DropArrow(ArrowDown);
    TArrowWindow* Right = FGrid->DropArrow(ArrowRight);
    if (Allow && Column) {
        const TRect R = FGrid->CellRect(Col, Row);
        const TPoint TopLeft = FGrid->ClientToScreen(TPoint{R.left, R.top});
        const TPoint BottomLeft = FGrid->ClientToScreen(TPoint{R.left, R.bottom});
        Down->SetBounds(TopLeft.x, TopLeft.y - 8, Down->Width(), Down->Height());
        Up->SetBounds(BottomLeft.x, BottomLeft.y, Up->Width(), Up->Height());
        Down->SetVisible(true);
        Up->SetVisible(true);
        Right->SetVisible(false);
    } else if (Allow) {
        if (Row == 0 && FGrid->FixedRowAlways)
            Row = 1;
        if (FGrid->DragDropSettings()->OleEntireRows)
            Col = FixedCols;
        const TRect R = FGrid->CellRect(Col, Row);
        const TPoint TopLeft = FGrid->ClientToScreen(TPoint{R.left, R.top});
        Right->SetBounds(TopLeft.x - 10, TopLeft.y, Right->Width(), Right->Height());
        Right->SetVisible(true);
        Up->SetVisible(false);
        Down->SetVisible(false);
    } else {
        Up->SetVisible(false);
        Down->SetVisible(false);
        Right->SetVisible(false);
    }
}

void TGridDropTarget::DragLeft()
{
    FGrid->DropArrow(ArrowUp)->SetVisible(false);
    HideArrows();
}

void TGridDropTarget::TextDropped(TPoint P, const String& Text)
{
    TDragDropSettings* S = FGrid->DragDropSettings();
    const TGridCoord Cell = FGrid->ScreenToCell(P);
    int Row = Cell.Y;
    int Col = Cell.X;
    int Width = 0;
    int Last = 0;
    MeasureClipboardText(Text, Width, Last);
    const bool RowSelect = FGrid->HasOption(goRowSelect);
    if (RowSelect)
        Col = S->OleEntireRows ? 0 : FGrid->FixedCols();
    bool Allow = true;
    if (FGrid->OnOleDrop)
        FGrid->OnOleDrop(FGrid, Row, Col, Text, Allow);
    TGridRect Dropped = FGrid->Selection();
    if (Allow && Row >= 0 && Col >= 0) {
        if (Row == 0 && FGrid->RowCount() == 1 && FGrid->FixedRowAlways)
            Row = 1;
        if (S->OleInsertRows) {
            // The rows the text needs are checked before any is inserted.
            CheckGridCounts(FGrid->ColCount(), Int64{FGrid->RowCount()} + Last + 1, "Dropped text");
            int Top = FGrid->TopRow();
            if (Top > FGrid->FixedRows())
                ++Top;
            FGrid->InsertRows(Row, Last + 1);
            if (Top > 0)
                FGrid->SetTopRow(std::min(Top, FGrid->RowCount() - 1));
            // The rows of this grid's own drag below the insertion moved
            // down with it; the insertion flags of a disjunct row selection
            // moved with the rows already.
            TGridRect& Src = FGrid->DragSourceRect;
            if (S->OleRemoveRows && Src.Top >= 0) {
                if (Src.Top >= Row) {
                    Src.Top += Last + 1;
                    Src.Bottom += Last + 1;
                } else if (Src.Bottom >= Row) {
                    Src.Bottom += Last + 1;
                    InsertedDuringDrag()[FGrid] = TInsertedRows{Row, Last + 1};
                }
            }
        }
        FGrid->PasteTextAt(Col, Row, Text.c_str());
        Dropped.Left = std::max(Col, FGrid->FixedCols());
        Dropped.Top = Row;
        Dropped.Right = RowSelect ? Dropped.Left + Width - FGrid->FixedCols() : Dropped.Left + Width - 1;
        Dropped.Bottom = Row + Last;
        Dropped.Right = std::min(Dropped.Right, FGrid->ColCount() - 1);
        Dropped.Bottom = std::min(Dropped.Bottom, FGrid->RowCount() - 1);
        FGrid->SetSelection(Dropped);
    }
    HideArrows();
    FGrid->HeaderDragButton()->SetVisible(false);
    if (FGrid->OnOleDropped)
        FGrid->OnOleDropped(FGrid, Dropped);
}

void TGridDropTarget::RichTextDropped(TPoint P, const String& Text)
{
    const TGridCoord Cell = FGrid->ScreenToCell(P);
    bool Allow = true;
    if (FGrid->OnOleDrop)
        FGrid->OnOleDrop(FGrid, Cell.Y, Cell.X, Text, Allow);
    if (Allow && Cell.X >= 0 && Cell.Y >= 0)
        FGrid->WriteCellText(Cell.X, Cell.Y, Text);
    HideArrows();
}

void TGridDropTarget::URLDropped(TPoint P, const String& URL)
{
    const TGridCoord Cell = FGrid->ScreenToCell(P);
    bool Allow = true;
    if (FGrid->OnOleDropURL)
        FGrid->OnOleDropURL(FGrid, Cell.Y, Cell.X, URL, Allow);
    if (Allow && Cell.X >= 0 && Cell.Y >= 0)
        FGrid->WriteCellText(Cell.X, Cell.Y, URL);
    HideArrows();
}

void TGridDropTarget::FilesDropped(TPoint P, TStrings* Names)
{
    if (Names->Count() == 1) {
        const TGridCoord Cell = FGrid->ScreenToCell(P);
        const String Name = Names->Strings(0);
        bool Allow = true;
        if (FGrid->OnOleDropFile)
            FGrid->OnOleDropFile(FGrid, Cell.Y, Cell.X, Name, Allow);
        if (Allow) {
            String Upper = Name;
            for (char& C : Upper)
                C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
            // One flag runs through both checks: the handler's answer for
            // the CSV load is what it is handed for the workbook import.
            if (Upper.find(".CSV") != String::npos) {
                if (FGrid->OnOleDrop)
                    FGrid->OnOleDrop(FGrid, -1, -1, Name, Allow);
                if (Allow)
                    LoadDroppedCSV(FGrid, Name);
            }
            if (Upper.find(".XLS") != String::npos) {
                if (FGrid->OnOleDrop)
                    FGrid->OnOleDrop(FGrid, -1, -1, Name, Allow);
                if (Allow)
                    LoadDroppedWorkbook(FGrid, Name);
            }
        }
    }
    HideArrows();
}

void TGridDropTarget::ColumnDropped(TPoint P, int Column)
{
    if (OfferedFormats & ofColumn) {
        FGrid->DropArrow(ArrowDown)->SetVisible(false);
        FGrid->DropArrow(ArrowUp)->SetVisible(false);
        FGrid->HeaderDragButton()->SetVisible(false);
    }
    const TGridCoord Cell = FGrid->ScreenToCell(P);
    if (FGrid->OnOleDropCol)
        FGrid->OnOleDropCol(FGrid, Cell.Y, Cell.X, Column);
}

// ---------------------------------------------------------------------------
// TGridDropSource

void TGridDropSource::EffectChanged(DWORD Effect)
{
    if (Effect == DROPEFFECT_COPY || Effect == DROPEFFECT_MOVE)
        FLastEffect = Effect;
}

void TGridDropSource::DragMoved()
{
    POINT Cursor{};
    GetCursorPos(&Cursor);
    if (FGrid->DragDropSettings()->ShowCells) {
        FGrid->MoveDragPicture(TPoint{Cursor.x + 4, Cursor.y + 4});
        return;
    }
    TPopupButton* Button = FGrid->HeaderDragButton();
    if (Button->Visible())
        Button->SetBounds(Cursor.x, Cursor.y - Button->Height(), Button->Width(), Button->Height());
}

void TGridDropSource::DragReleased()
{
    if (FGrid->DragDropSettings()->ShowCells)
        FGrid->FreeDragPicture();
}

// ---------------------------------------------------------------------------
// The grid's side

TArrowWindow* TProStringGrid::DropArrow(int Direction)
{
    TArrowWindow*& A = FDropArrows[std::clamp(Direction, 0, 3)];
    if (!A)
        A = new TArrowWindow(this, Direction);   // owned by the grid
    return A;
}

TPopupButton* TProStringGrid::HeaderDragButton()
{
    if (!FHeaderDragButton) {
        FHeaderDragButton = new TPopupButton(this);   // owned by the grid
        FHeaderDragButton->SetVisible(false);
        FHeaderDragButton->SetParent(this);
    }
    return FHeaderDragButton;
}

void TProStringGrid::UpdateOleDropTarget(bool Value)
{
    if (IsDesigning())
        return;
    if (Value) {
        if (FOleRegistered)
            return;
        auto* Target = new TGridDropTarget(this);
        Target->AddRef();
        Target->AcceptText = FDragDropSettings->OleAcceptText;
        Target->AcceptFiles = FDragDropSettings->OleAcceptFiles;
        Target->AcceptURLs = FDragDropSettings->OleAcceptURLs;
        FOleRegistered = HandleAllocated() || Parent() ? RegisterDragDrop(Handle(), Target) == S_OK : false;
        if (FOleRegistered)
            FOleDropTarget = Target;
        else
            Target->Release();
        return;
    }
    if (FOleRegistered && HandleAllocated())
        RevokeDragDrop(Handle());
    FOleRegistered = false;
    if (FOleDropTarget) {
        FOleDropTarget->Release();
        FOleDropTarget = nullptr;
    }
}

TGridCoord TProStringGrid::ScreenToCell(TPoint P)
{
    const TPoint C = ScreenToClient(P);
    const TGridCoord Cell = MouseCoord(C.x, C.y);
    if (Cell.X < 0 || Cell.Y < 0)
        return TGridCoord{-1, -1};
    return Cell;
}

String TProStringGrid::GetDragText(WideString* WideText)
{
    TGridRect R = Selection();
    if (HasOption(goRowSelect) && FDragDropSettings->OleEntireRows) {
        R.Left = 0;
        R.Right = ColCount() - 1;
    }
    std::vector<int> Rows;
    if (FMouseActions->DisjunctRowSelect()) {
        for (int Row = FixedRows(); Row < RowCount(); ++Row) {
            const int Key = FMouseActions->RowSelectPersistent ? RealRowIndex(Row) : Row;
            if (FRowSelectFlags.Get(Key) != 0)
                Rows.push_back(Row);
        }
    } else {
        for (int Row = R.Top; Row <= R.Bottom; ++Row)
            Rows.push_back(Row);
    }
    String Text;
    WideString Wide;
    for (size_t I = 0; I < Rows.size(); ++I) {
        if (I > 0) {
            Text += "\r\n";
            Wide += L"\r\n";
        }
        for (int C = R.Left; C <= R.Right; ++C) {
            if (C > R.Left) {
                Text += '\t';
                Wide += L'\t';
            }
            WideString W;
            Text += DragCellText(this, C, Rows[I], W);
            Wide += W;
        }
    }
    if (WideText)
        *WideText = Wide;
    return Text;
}

bool TProStringGrid::StartOleDrag(int X, int Y)
{
    if (!FDragDropSettings->OleDropSource)
        return false;
    const TGridCoord Cell = MouseCoord(X, Y);
    if (Cell.X < 0 || Cell.Y < 0)
        return false;
    const int C = RealColIndex(Cell.X);
    bool Allow = true;
    if (OnOleDrag)
        OnOleDrag(this, Cell.Y, C, ReadCellText(Cell.X, Cell.Y), Allow);
    if (!Allow)
        return false;
    auto* Source = new TGridDropSource(this);
    Source->AddRef();
    if (OnOleDragStart)
        OnOleDragStart(this, Cell.Y, C);
    const TPoint P = ClientToScreen(TPoint{X, Y});
    if (FDragDropSettings->ShowCells)
        ShowDragPicture(P);
    const DWORD Allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    DWORD Effect = DROPEFFECT_NONE;
    if (Cell.Y < FixedRows() && FDragDropSettings->OleColumnDragDrop) {
        ShowHeaderDragButton(Cell.X, Cell.Y, P);
        const HRESULT Hr = Source->StartColumnDrag(Cell.X, Allowed, Effect);
        if (Hr != DRAGDROP_S_CANCEL && OnOleDragStop)
            OnOleDragStop(this, static_cast<int>(Effect));
        HeaderDragButton()->SetVisible(false);
        DropArrow(ArrowUp)->SetVisible(false);
        DropArrow(ArrowDown)->SetVisible(false);
    } else {
        DragSourceRect = Selection();
        InsertedDuringDrag().erase(this);
        WideString WideText;
        const String Text = GetDragText(&WideText);
        // A cell of packed wide text goes in converted: its raw bytes would
        // be cut at their first NUL.
        const String Rich = IsPackedWideCell(this, Cell.X, Cell.Y) ? WideToStr(ReadWideCellText(Cell.X, Cell.Y))
                                                                   : Cells(Cell.X, Cell.Y);
        const HRESULT Hr = Source->StartTextDrag(Text, Rich, Effect, Allowed, WideText);
        if (Hr != DRAGDROP_S_CANCEL) {
            if (Effect == DROPEFFECT_MOVE)
                RemoveDraggedCells();
            if (OnOleDragStop)
                OnOleDragStop(this, static_cast<int>(Effect));
        }
        InsertedDuringDrag().erase(this);
        DragSourceRect = TGridRect{-1, -1, -1, -1};
    }
    // A drag ended by Escape never released the picture.
    FreeDragPicture();
    Source->Release();
    return true;
}

void TProStringGrid::ShowDragPicture(TPoint At)
{
    if (!FDragPicture) {
        // The picture shows the selected cells that are in view, drawn
        // without the selection colour.
        const TGridRect S = Selection();
        const TGridRect Shown{std::max(LeftCol(), S.Left), std::max(TopRow(), S.Top),
                              std::min(S.Right, LeftCol() + VisibleColCount() - 1),
                              std::min(S.Bottom, TopRow() + VisibleRowCount() - 1)};
        const bool Shows = ShowSelection;
        SetShowSelection(false);
        FDragPicture = CreateDragImageForm(Shown);
        SetShowSelection(Shows);
        ShowWindow(FDragPicture->Handle(), SW_SHOWNOACTIVATE);
    }
    MoveDragPicture(At);
}

void TProStringGrid::MoveDragPicture(TPoint At)
{
    if (FDragPicture)
        SetWindowPos(FDragPicture->Handle(), HWND_TOPMOST, At.x, At.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void TProStringGrid::FreeDragPicture()
{
    delete FDragPicture;   // owned by the grid; freed when its drag ends
    FDragPicture = nullptr;
}

void TProStringGrid::ShowHeaderDragButton(int ACol, int ARow, TPoint At)
{
    TPopupButton* Button = HeaderDragButton();
    Button->SetCaption(Cells(ACol, ARow));
    Button->SetBounds(At.x, At.y, ColWidths(ACol), RowHeights(0));
    const bool Gradient = Look == glQJX || Look == glXP || Look == glVista;
    Button->SetColorFrom(Gradient ? FixedGradientFrom : clNone);
    Button->SetColorTo(Gradient ? FixedGradientTo : clNone);
    Button->SetColorMirrorFrom(Look == glVista ? FixedGradientMirrorFrom : clNone);
    Button->SetColorMirrorTo(Look == glVista ? FixedGradientMirrorTo : clNone);
    Button->SetImages(GridImages);
    Button->SetVisible(true);
    SetWindowPos(Button->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TProStringGrid::RemoveDraggedCells()
{
    const TGridRect Src = DragSourceRect;
    if (FDragDropSettings->OleRemoveRows && HasOption(goRowSelect)) {
        if (FMouseActions->DisjunctRowSelect()) {
            RemoveSelectedRows();
            return;
        }
        // Rows a drop inserted inside the source block stay.
        auto It = InsertedDuringDrag().find(this);
        if (It != InsertedDuringDrag().end()) {
            const TInsertedRows In = It->second;
            RemoveRows(In.Row + In.Count, Src.Bottom - (In.Row + In.Count) + 1);
            RemoveRows(Src.Top, In.Row - Src.Top);
        } else
            RemoveRows(Src.Top, Src.Bottom - Src.Top + 1);
    } else if (!FDragDropSettings->OleCopyAlways) {
        if (FMouseActions->DisjunctRowSelect())
            ClearSelectedCells();
        else
            ClearRect(Src.Left, Src.Top, Src.Right, Src.Bottom);
    }
}
