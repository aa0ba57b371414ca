// Copy, cut and paste of cells through the system clipboard: tab-separated
// text (with the same text as Unicode), the rich text of one cell and the
// grid's own cell format; paste fills a selection with a repeated value, a
// series or a pattern.
#include "grid/interaction/GridClipboard.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "framework/Codepage.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "grid/core/GridCellStreamCodec.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridDateUtils.h"
#include "grid/core/GridLimits.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/GridTextUtils.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

namespace {

// Opens the clipboard for the time the object lives (OpenClipboard,
// CloseClipboard). Another program (the system's clipboard manager among
// them) may hold it for a moment, so the opening is tried for up to about
// 200 ms; Opened() is false when it stays held.
class TClipboardSession {
public:
    explicit TClipboardSession(HWND Owner)
    {
        for (int Try = 0; Try < 40 && !FOpened; ++Try) {
            FOpened = OpenClipboard(Owner) != 0;
            if (!FOpened)
                Sleep(5);
        }
    }
    ~TClipboardSession()
    {
        if (FOpened)
            CloseClipboard();
    }
    TClipboardSession(const TClipboardSession&) = delete;
    TClipboardSession& operator=(const TClipboardSession&) = delete;
    bool Opened() const { return FOpened; }

private:
    bool FOpened = false;
};

// A movable global block holding Bytes (plus Extra zero bytes), handed to
// the clipboard under Format; freed again when the clipboard refuses it.
void PutGlobalBlock(unsigned Format, const void* Bytes, std::size_t Size, std::size_t Extra, UINT Flags)
{
    HGLOBAL Block = GlobalAlloc(Flags | GMEM_ZEROINIT, Size + Extra);
    if (!Block)
        return;
    void* P = GlobalLock(Block);
    if (!P) {
        GlobalFree(Block);
        return;
    }
    if (Size > 0)
        memcpy(P, Bytes, Size);
    GlobalUnlock(Block);
    if (!SetClipboardData(Format, Block))
        GlobalFree(Block);
}

// The window the clipboard is opened with: the grid's own, or for a grid
// without one a message-only window of this module (a clipboard opened
// without a window cannot take data).
HWND OwnerWindow(TProStringGrid* Grid)
{
    if (Grid->HandleAllocated())
        return Grid->Handle();
    static HWND Spare = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    return Spare;
}

bool StartsWith(const String& S, const char* Prefix) { return S.rfind(Prefix, 0) == 0; }

// The lines of a tab-separated text: lines end at CR (an LF right after it
// is skipped) or at the end of the text. A line is a view into the text;
// its fields are split when they are needed.
struct TClipLine {
    std::string_view Text;
    bool MoreFollows = false;   // more text comes after this line

    std::size_t FieldCount() const { return static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '\t')) + 1; }
    bool LastFieldEmpty() const { return Text.empty() || Text.back() == '\t'; }
    // The fields, into Fields (emptied first).
    void Split(std::vector<std::string_view>& Fields) const
    {
        Fields.clear();
        std::size_t F = 0;
        for (;;) {
            const std::size_t Tab = Text.find('\t', F);
            if (Tab == std::string_view::npos) {
                Fields.push_back(Text.substr(F));
                return;
            }
            Fields.push_back(Text.substr(F, Tab - F));
            F = Tab + 1;
        }
    }
};

std::vector<TClipLine> SplitClipboardText(std::string_view Text)
{
    std::vector<TClipLine> Lines;
    std::size_t Pos = 0;
    while (Pos < Text.size() || Lines.empty()) {
        const std::size_t Cr = Text.find('\r', Pos);
        const std::size_t End = Cr == std::string_view::npos ? Text.size() : Cr;
        TClipLine L;
        L.Text = Text.substr(Pos, End - Pos);
        Pos = End;
        if (Cr != std::string_view::npos) {
            ++Pos;
            if (Pos < Text.size() && Text[Pos] == '\n')
                ++Pos;
        }
        L.MoreFollows = Cr != std::string_view::npos;
        Lines.push_back(L);
        if (Cr == std::string_view::npos)
            break;
    }
    // A text that ends with a line end has an empty last line.
    if (Lines.back().MoreFollows)
        Lines.push_back(TClipLine{});
    return Lines;
}

// Where a text paste at (ACol, ARow) reaches: the columns its pasted fields
// need and the row of its last line (the empty line after a final line end
// is counted, not pasted: it neither moves on to a row nor adds a column).
void PastedTextExtent(const std::vector<TClipLine>& Lines, int ACol, int ARow, Int64& Cols, Int64& LastRow)
{
    LastRow = ARow;
    for (std::size_t L = 0; L < Lines.size(); ++L) {
        const TClipLine& Line = Lines[L];
        std::size_t Fields = Line.FieldCount();
        if (L + 1 == Lines.size() && Line.LastFieldEmpty())
            --Fields;
        if (Fields > 0)
            Cols = std::max<Int64>(Cols, Int64{ACol} + static_cast<Int64>(Fields));
        if (!Line.MoreFollows)
            break;
        if (L + 2 == Lines.size() && !Lines.back().MoreFollows && Lines.back().Text.empty())
            continue;
        ++LastRow;
    }
}

// A quoted multi-line field: its quotes removed, each character 11 made CR
// LF, and each lone LF too, so that a copied multi-line cell (whose lines
// the copy joins by LF) comes back with the line ends it had.
String UnquoteMultiLineField(String F)
{
    if (!F.empty() && F.front() == '"')
        F.erase(0, 1);
    if (!F.empty() && F.back() == '"' && F.find('"') == F.size() - 1)
        F.pop_back();
    String Out;
    for (std::size_t i = 0; i < F.size(); ++i) {
        const char C = F[i];
        if (C == '\x0B' || (C == '\n' && (i == 0 || F[i - 1] != '\r')))
            Out += "\r\n";
        else
            Out += C;
    }
    return Out;
}

// printf-style formatting of one floating-point value by a format of the
// grid; a format that does not take exactly one double falls back to two
// decimals, so no format can read arguments that are not there.
String FormatFloatValue(const String& Format, double Value)
{
    char Buf[128];
    const int N = std::snprintf(Buf, sizeof Buf, FormatArgKind(Format) == fakFloat ? Format.c_str() : "%.2f", Value);
    return N < 0 ? String() : String(Buf, static_cast<std::size_t>(std::min<int>(N, sizeof Buf - 1)));
}

} // namespace

void MeasureClipboardText(const String& Text, int& Width, int& LastLine)
{
    Width = 0;
    LastLine = 0;
    for (const TClipLine& L : SplitClipboardText(Text)) {
        Width = std::max(Width, static_cast<int>(L.FieldCount()));
        if (L.Text.empty())
            --LastLine;
        if (L.MoreFollows)
            ++LastLine;
    }
}

bool ClipboardHasFormat(unsigned Format) { return IsClipboardFormatAvailable(Format) != 0; }

String ClipboardBytes(unsigned Format)
{
    TClipboardSession Session(nullptr);
    if (!Session.Opened())
        return String();
    HANDLE H = GetClipboardData(Format);
    if (!H)
        return String();
    const SIZE_T Size = GlobalSize(H);
    const void* P = GlobalLock(H);
    if (!P)
        return String();
    String Bytes(static_cast<const char*>(P), Size);
    GlobalUnlock(H);
    return Bytes;
}

WideString ClipboardWideText()
{
    const String Bytes = ClipboardBytes(CF_UNICODETEXT);
    WideString W(Bytes.size() / sizeof(wchar_t), L'\0');
    if (!W.empty())
        std::memcpy(W.data(), Bytes.data(), W.size() * sizeof(wchar_t));
    const auto End = W.find(L'\0');
    if (End != WideString::npos)
        W.resize(End);
    return W;
}

// ---- Copy and cut -----------------------------------------------------------

void TProStringGrid::ExpandSelectionToMerged()
{
    TGridRect S = Selection();
    const TGridRect Old = S;
    if (IsMergedCell(S.Left, S.Top)) {
        const TPoint B = BaseCell(S.Left, S.Top);
        S.Left = std::min<int>(S.Left, B.x);
        S.Top = std::min<int>(S.Top, B.y);
    }
    if (IsMergedCell(S.Right, S.Bottom)) {
        const TPoint B = BaseCell(S.Right, S.Bottom);
        const TPoint Span = MergedSpan(S.Right, S.Bottom);
        S.Right = std::max<int>(S.Right, B.x + Span.x);
        S.Bottom = std::max<int>(S.Bottom, B.y + Span.y);
    }
    if (!(S == Old))
        SetSelection(S);
}

void TProStringGrid::CopySelectionToClipboard()
{
    ExpandSelectionToMerged();
    if ((!FMouseActions->DisjunctRowSelect() && !FMouseActions->DisjunctColSelect()) ||
        FNavigation->AllowFmtClipboard) {
        const TGridRect S = Selection();
        CopyBlockToClipboard(TRect{S.Left, S.Top, S.Right, S.Bottom}, false);
    } else {
        CopyBlockToClipboard(TRect{0, 0, ColCount() - 1, RowCount() - 1}, true);
    }
    LastClipboardActionWasCopy = true;
}

void TProStringGrid::CopyBlockToClipboard(const TRect& Block, bool DisjunctOnly)
{
    CopyOrigin = TPoint{Block.left, Block.top};
    ReportProgress(0, -1);
    // The text for CF_TEXT and the same text as Unicode: a cell of packed
    // wide text goes in converted, never raw (its bytes may hold NUL, TAB
    // or CR), and whole in the Unicode text.
    String Text;
    WideString Wide;
    const bool RowDisjunct = FMouseActions->DisjunctRowSelect();
    const bool ColDisjunct = FMouseActions->DisjunctColSelect();
    for (int R = Block.top; R <= Block.bottom; ++R) {
        ReportProgress(1, R);
        const int SelRow = FMouseActions->RowSelectPersistent ? DisplayToRealRow(R) : R;
        if (RowDisjunct && DisjunctOnly && !ColDisjunct && !IsRowSelected(SelRow))
            continue;
        bool Any = false;
        for (int C = Block.left; C <= Block.right; ++C) {
            if (ColDisjunct && DisjunctOnly && !IsColSelected(C))
                continue;
            const int RC = DisplayToRealCol(C);
            String S;
            GetCellTextForSave(RC, R, S);
            WideString W;
            const bool Packed = GetCellTextKind(S, false) == ctkWide;
            if (Packed) {
                W = UnpackWideText(S);
                S = WideToStr(W);
            }
            if (S.find('\r') != String::npos) {
                S = '"' + RemoveCarriageReturns(S) + '"';
                if (Packed) {
                    WideString Q = L"\"";
                    for (wchar_t Ch : W)
                        if (Ch != L'\r')
                            Q += Ch;
                    W = Q + L"\"";
                }
            }
            if (!FNavigation->CopyHTMLTagsToClipboard && S.find("</") != String::npos)
                S = ReadCellPlainText(RC, R);
            if (!Packed)
                W = StrToWide(S);
            Text += S + '\t';
            Wide += W + L'\t';
            Any = true;
        }
        if (Any) {
            Text.pop_back();
            Wide.pop_back();
        }
        if (Block.bottom > Block.top) {
            Text += "\r\n";
            Wide += L"\r\n";
        }
    }
    {
        TClipboardSession Session(OwnerWindow(this));
        if (Session.Opened()) {
            EmptyClipboard();
            PutGlobalBlock(CF_TEXT, Text.data(), Text.size(), 1, GMEM_MOVEABLE);
            PutGlobalBlock(CF_UNICODETEXT, Wide.data(), Wide.size() * sizeof(wchar_t), sizeof(wchar_t),
                           GMEM_MOVEABLE);
        }
    }
    if (FNavigation->AllowRTFClipboard)
        CopyRichTextCellToClipboard(Block.left, Block.top);
    if (FNavigation->AllowFmtClipboard)
        CopyCellStreamToClipboard(Block);
    ReportProgress(2, -1);
}

void TProStringGrid::CopyRichTextCellToClipboard(int ACol, int ARow)
{
    const String S = Cells(ACol, ARow);
    // Packed wide text is no rich text, though its bytes may hold "{\\" (a
    // code unit 0x7B5C): raw, it would be cut at its first NUL byte.
    if (S.find("{\\") == String::npos || StartsWith(S, WideTextMarker))
        return;
    static const UINT RtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    TClipboardSession Session(OwnerWindow(this));
    if (Session.Opened())
        PutGlobalBlock(RtfFormat, S.data(), S.size(), 1, GMEM_MOVEABLE);
}

void TProStringGrid::CopyCellStreamToClipboard(const TRect& Block)
{
    // Cell positions travel as 16-bit numbers: a block reaching past them
    // is offered as text only.
    if (Block.right > 65535 || Block.bottom > 65535)
        return;
    TMemoryStream Stream;
    WriteCellBinaryStream(Block, &Stream);
    TClipboardSession Session(OwnerWindow(this));
    if (Session.Opened())
        PutGlobalBlock(ProGridClipboardFormat(), Stream.Memory(), static_cast<std::size_t>(Stream.Size()), 0,
                       GMEM_MOVEABLE | GMEM_DDESHARE);
}

void TProStringGrid::CutSelectionToClipboard()
{
    CopySelectionToClipboard();
    // Selected rows and columns are cleared cell by cell, like the block
    // below: only cells that may be edited (or all with AllowClipboardAlways),
    // each change recorded in one undo group.
    const auto ClearCutCell = [this](int RC, int R) {
        if (!IsCellEditable(RC, R) && !FNavigation->AllowClipboardAlways)
            return;
        if (UndoRedo())
            UndoRedo()->AddChange(RC, R, ReadCellText(RC, R), String());
        ClearRect(RC, R, RC, R);
    };
    if (FMouseActions->DisjunctRowSelect()) {
        if (UndoRedo())
            UndoRedo()->StartSequence();
        for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
            if (IsRowSelected(R))
                for (int C = 0; C < AllColCount(); ++C)
                    ClearCutCell(C, R);
        if (UndoRedo())
            UndoRedo()->StopSequence();
    } else if (FMouseActions->DisjunctColSelect()) {
        if (UndoRedo())
            UndoRedo()->StartSequence();
        for (int C = TStringGrid::FixedCols(); C < ColCount(); ++C)
            if (IsColSelected(C))
                for (int R = 0; R < RowCount(); ++R)
                    ClearCutCell(C, R);
        if (UndoRedo())
            UndoRedo()->StopSequence();
    } else {
        const TGridRect S = Selection();
        if (UndoRedo())
            UndoRedo()->StartSequence();
        for (int R = S.Top; R <= S.Bottom; ++R)
            for (int C = S.Left; C <= S.Right; ++C) {
                const int RC = DisplayToRealCol(C);
                if (IsCellEditable(RC, R) || FNavigation->AllowClipboardAlways)
                    PasteCell(C, R, String());
            }
        if (UndoRedo())
            UndoRedo()->StopSequence();
        if (FNavigation->AllowFmtClipboard)
            FreeCellObjects(S.Left, S.Top, S.Right, S.Bottom);
    }
    LastClipboardActionWasCopy = false;
    if (HiddenColCount() > 0)
        Invalidate();
}

// ---- Paste --------------------------------------------------------------------

bool TProStringGrid::AllowFormattedClipboard() { return FNavigation->AllowFmtClipboard; }

void TProStringGrid::PasteCell(int ACol, int ARow, const String& Value)
{
    const int RC = DisplayToRealCol(ACol);
    if (UndoRedo())
        UndoRedo()->AddChange(RC, ARow, ReadCellText(RC, ARow), Value);
    TCellGraphic* G = GetCellGraphic(RC, ARow);
    if (G && IsCheckBoxType(G->CellType)) {
        String True;
        GetCheckTrue(RC, ARow, True);
        ChangeCheckBoxState(RC, ARow, Value == True);
    } else {
        WriteCellText(RC, ARow, Value);
    }
    if (RC != ACol)
        RepaintCell(ACol, ARow);
}

int TProStringGrid::PasteFromClipboardAt(int ACol, int ARow)
{
    const unsigned CellFormat = ProGridClipboardFormat();
    if (AllowFormattedClipboard() && ClipboardHasFormat(CellFormat)) {
        const String Bytes = ClipboardBytes(CellFormat);
        BeforePasteHook();
        // The block is read whole and checked, the counts raised to hold it,
        // and only then written: a damaged block leaves the grid as it was.
        std::size_t Pos = 0;
        const TCellStreamHeader H = ReadCellStreamBytes(TPoint{ACol, ARow}, Bytes, Pos,
                                                        FNavigation->AllowClipboardColGrow,
                                                        FNavigation->AllowClipboardRowGrow);
        const bool FromHere = HandleAllocated() && H.ID == static_cast<Integer>(reinterpret_cast<INT_PTR>(Handle()));
        LastPasteRect = TRect{ACol, ARow, ACol + H.ColCount - 1, ARow + H.RowCount - 1};
        PasteSelectionHook(FromHere ? CopyOrigin : TPoint{-1, -1}, LastPasteRect, LastClipboardActionWasCopy);
        AfterPasteHook();
        // 65,536 x 65,536 cells do not fit an int: the count stops at its largest value.
        return static_cast<int>(std::min<Int64>(Int64{H.ColCount} * H.RowCount, INT_MAX));
    }
    static const UINT RtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    if (FNavigation->AllowRTFClipboard && ClipboardHasFormat(RtfFormat)) {
        String Bytes = ClipboardBytes(RtfFormat);
        Bytes.resize(strnlen(Bytes.data(), Bytes.size()));
        if (IsCellEditable(DisplayToRealCol(ACol), ARow))
            PasteCell(ACol, ARow, Bytes);
        return 0;
    }
    if (ClipboardHasFormat(CF_TEXT)) {
        String Bytes = ClipboardBytes(CF_TEXT);
        Bytes.resize(strnlen(Bytes.data(), Bytes.size()));
        return PasteTextAt(ACol, ARow, Bytes.c_str());
    }
    return 0;
}

int TProStringGrid::PasteTextAt(int ACol, int ARow, const char* Text)
{
    if (ACol < 0 || ARow < 0 || !Text)
        return 0;
    if (!HasOption(goEditing) && !FNavigation->AllowClipboardAlways && !FMouseActions->RangeSelectAndEdit)
        return 0;
    if (UndoRedo())
        UndoRedo()->StartSequence();
    TRect Pasted{ACol, ARow, ACol, ARow};
    int Count = 0;
    int Row = ARow;
    int RightMost = ACol;
    const std::vector<TClipLine> Lines = SplitClipboardText(std::string_view(Text));
    // The counts the text needs are checked against the grid's limits
    // before anything changes, then set at once.
    Int64 NeededCols = ColCount();
    Int64 LastRow = ARow;
    PastedTextExtent(Lines, ACol, ARow, NeededCols, LastRow);
    if (!FNavigation->AllowClipboardColGrow)
        NeededCols = ColCount();
    // Rows grow one at a time from the last row on (the footer row staying
    // last), so only a paste that starts inside the grid adds rows.
    const bool FooterRow = FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
    const Int64 Limit = FooterRow ? RowCount() - 1 : RowCount();
    Int64 NeededRows = RowCount();
    if (FNavigation->AllowClipboardRowGrow && ARow < Limit && LastRow >= Limit)
        NeededRows += LastRow - Limit + 1;
    CheckGridCounts(NeededCols, NeededRows, "Pasted text");
    if (NeededCols > ColCount())
        SetColCount(static_cast<int>(NeededCols));
    if (NeededRows > RowCount())
        SetRowCount(static_cast<int>(NeededRows));
    LastPasteRect = TRect{ACol, ARow, ACol, ARow};
    std::vector<std::string_view> Fields;
    for (std::size_t L = 0; L < Lines.size(); ++L) {
        const TClipLine& Line = Lines[L];
        Line.Split(Fields);
        // The row's storage grows once for the fields that hold a text and
        // land inside the grid (those beyond its columns are never written).
        const std::size_t Room =
            Row < RowCount() ? static_cast<std::size_t>(std::max(0, ColCount() - ACol)) : std::size_t{0};
        const auto InGrid = Fields.begin() + static_cast<std::ptrdiff_t>(std::min(Fields.size(), Room));
        ExpectRowCells(Row, static_cast<int>(std::count_if(Fields.begin(), InGrid,
                                                           [](std::string_view F) { return !F.empty(); })));
        int C = ACol;
        for (std::size_t F = 0; F < Fields.size(); ++F, ++C) {
            String Value(Fields[F]);
            ++Count;
            const bool LastOfText = L + 1 == Lines.size() && F + 1 == Fields.size();
            if (LastOfText && Value.empty())
                continue;
            LastPasteRect.right = std::max<int>(LastPasteRect.right, C);
            LastPasteRect.bottom = Row;
            if (Value.find('\n') != String::npos)
                Value = UnquoteMultiLineField(Value);
            if (C >= ColCount() && FNavigation->AllowClipboardColGrow)
                SetColCount(C + 1);
            if (C >= ColCount() || Row >= RowCount())
                continue;
            const int RC = DisplayToRealCol(C);
            if (!IsCellEditable(RC, Row) && !FNavigation->AllowClipboardAlways)
                continue;
            RightMost = std::max(RightMost, C);
            bool Allow = true;
            if (StartsWith(Value, WideTextMarker)) {
                WideString W = UnpackWideText(Value);
                if (OnClipboardBeforePasteWideCell)
                    OnClipboardBeforePasteWideCell(this, C, Row, W, Allow);
                Value = PackWideText(W);
            } else if (OnClipboardBeforePasteCell) {
                OnClipboardBeforePasteCell(this, C, Row, Value, Allow);
            }
            if (Allow)
                PasteCell(C, Row, Value);
        }
        if (!Line.MoreFollows)
            break;
        // The empty line after a final line end is counted, not pasted: it
        // neither moves on to a row nor adds one.
        if (L + 2 == Lines.size() && !Lines.back().MoreFollows && Lines.back().Text.empty())
            continue;
        ++Row;
    }
    ExpectRowCells(-1, 0);
    Pasted.right = RightMost;
    Pasted.bottom = Row;
    if (UndoRedo())
        UndoRedo()->StopSequence();
    PasteSelectionHook(CopyOrigin, Pasted, LastClipboardActionWasCopy);
    CellsChanged(TRect{DisplayToRealCol(ACol), ARow, DisplayToRealCol(RightMost), Row});
    return Count;
}

void TProStringGrid::PasteSelectionFromClipboard()
{
    ReportPasteProgress(0, -1);
    ExpandSelectionToMerged();
    const TGridRect S = Selection();
    const int N = PasteFromClipboardAt(HasOption(goRowSelect) ? TStringGrid::FixedCols() : S.Left, S.Top);
    const Int64 Cells = Int64{S.Bottom - S.Top + 1} * (S.Right - S.Left + 1);
    if (!FNavigation->AllowSmartClipboard || Cells == Int64{N} - 1)
        return;
    BeforePasteHook();
    if (N == 1 && Cells > 1) {
        const int FirstCol = DisplayToRealCol(S.Left);
        String Value = this->Cells(FirstCol, S.Top);
        TCellGraphic* G = GetCellGraphic(FirstCol, S.Top);
        if (G && IsCheckBoxType(G->CellType)) {
            if (G->CellBoolean)
                GetCheckTrue(FirstCol, S.Top, Value);
            else
                GetCheckFalse(FirstCol, S.Top, Value);
        }
        for (int C = S.Left; C <= S.Right; ++C)
            for (int R = S.Top; R <= S.Bottom; ++R) {
                if (!IsCellEditable(DisplayToRealCol(C), R) && !FNavigation->AllowClipboardAlways)
                    continue;
                bool Allow = true;
                String V = Value;
                if (!(C == S.Left && R == S.Top) && OnClipboardBeforePasteCell)
                    OnClipboardBeforePasteCell(this, C, R, V, Allow);
                if (Allow)
                    PasteCell(C, R, V);
                PasteSelectionHook(CopyOrigin, TRect{C, R, C, R}, true);
            }
    }
    AfterPasteHook();
    if (N < 2) {
        ReportPasteProgress(2, -1);
        AllCellsChanged();
        return;
    }
    const bool OneCol = S.Left == S.Right;
    const bool OneRow = S.Top == S.Bottom;
    if (!OneCol && !OneRow) {
        ReportPasteProgress(2, -1);
        AllCellsChanged();
        return;
    }
    const String First = this->Cells(DisplayToRealCol(S.Left), S.Top);
    const String Second = OneRow ? this->Cells(DisplayToRealCol(S.Left + 1), S.Top)
                                 : this->Cells(DisplayToRealCol(S.Left), S.Top + 1);
    // Writes one cell of a fill: editable cells only, the event for all but
    // the first.
    const auto Fill = [&](int C, int R, const String& Text) {
        if (!IsCellEditable(DisplayToRealCol(C), R))
            return;
        bool Allow = true;
        String V = Text;
        if (!(C == S.Left && R == S.Top) && OnClipboardBeforePasteCell)
            OnClipboardBeforePasteCell(this, C, R, V, Allow);
        if (Allow)
            PasteCell(C, R, V);
    };
    const TFormatSettings& Fmt = FormatSettings();
    const auto HasTime = [&](const String& T) { return T.find(Fmt.TimeSeparator) != String::npos; };
    if ((LooksLikeDate(First) || HasTime(First)) && (LooksLikeDate(Second) || HasTime(Second))) {
        const bool IsDate = First.find(Fmt.DateSeparator) != String::npos;
        const auto Read = [&](const String& T, TDateTime& D) {
            return T.find(Fmt.DateSeparator) != String::npos ? TryStrToDate(T, D) : TryStrToTime(T, D);
        };
        TDateTime D = 0;
        TDateTime D2 = 0;
        if (!Read(First, D) || !Read(Second, D2))
            return;
        Integer Y1, M1, Dd1, Y2, M2, Dd2;
        DecodeDate(D, Y1, M1, Dd1);
        DecodeDate(D2, Y2, M2, Dd2);
        const TDateTime Difference = D2 - D;
        try {
            for (int C = S.Left; C <= S.Right; ++C)
                for (int R = S.Top; R <= S.Bottom; ++R) {
                    Fill(C, R, IsDate ? DateToStr(D) : TimeToStr(D));
                    D = StepDate(Y2 - Y1, M2 - M1, Dd2 - Dd1, Difference, D);
                }
        } catch (const EConvertError&) {
            // a date the series cannot reach ends the fill
        }
        return;
    }
    const char Dec = Fmt.DecimalSeparator;
    const bool HasDecimal = First.find(Dec) != String::npos || Second.find(Dec) != String::npos;
    Integer I1 = 0;
    Integer I2 = 0;
    if (!HasDecimal && TryStrToInt(First, I1) && TryStrToInt(Second, I2)) {
        const Int64 Step = static_cast<Int64>(I2) - I1;
        Int64 V = I1;
        for (int C = S.Left; C <= S.Right; ++C)
            for (int R = S.Top; R <= S.Bottom; ++R) {
                Fill(C, R, IntToStr(V));
                V += Step;
            }
        return;
    }
    if (!HasDecimal) {
        // Repeat the pasted block by the size it really took, whether or not
        // its text ended with a line end.
        const int Len = std::max<int>(1, static_cast<int>(OneCol ? LastPasteRect.bottom - LastPasteRect.top + 1
                                                                 : LastPasteRect.right - LastPasteRect.left + 1));
        if (OneCol) {
            for (int R = S.Top + Len; R <= S.Bottom; ++R)
                Fill(S.Left, R, this->Cells(DisplayToRealCol(S.Left), R - Len));
        } else {
            for (int C = S.Left + Len; C <= S.Right; ++C)
                Fill(C, S.Top, this->Cells(DisplayToRealCol(C - Len), S.Top));
        }
        ReportPasteProgress(2, -1);
        AllCellsChanged();
        return;
    }
    double F = 0;
    double F2 = 0;
    if (!TryStrToFloat(First, F) || !TryStrToFloat(Second, F2))
        return;
    const double Step = F2 - F;
    for (int C = S.Left; C <= S.Right; ++C)
        for (int R = S.Top; R <= S.Bottom; ++R) {
            Fill(C, R, FormatFloatValue(FloatFormat, F));
            F += Step;
        }
}
