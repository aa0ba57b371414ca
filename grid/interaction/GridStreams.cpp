// The grid's two stream formats: the text stream (counts, column widths and
// one line per non-empty cell) and the binary cell stream (component records
// of a block of cells with their properties and graphics).
#include <algorithm>
#include <cmath>
#include <string_view>

#include "framework/Bitmap.h"
#include "framework/Icon.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "grid/core/GridCellStreamCodec.h"
#include "grid/core/GridLimits.h"
#include "grid/core/GridTextEscapes.h"
#include "grid/core/GridTextUtils.h"
#include "grid/core/ProGrid.h"

namespace {

void WriteStreamLine(TStream* Stream, const String& Text)
{
    const String Line = Text + "\r\n";
    Stream->WriteBuffer(Line.data(), static_cast<Integer>(Line.size()));
}

// The bytes from the stream's position to its end.
String ReadRest(TStream* Stream)
{
    const Int64 Start = Stream->Position();
    const Int64 Size = Stream->Size();
    String Bytes;
    if (Size > Start) {
        Bytes.resize(static_cast<std::size_t>(Size - Start));
        Stream->ReadBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    }
    return Bytes;
}

// The bytes from the stream's position to its end without a copy when the
// stream is a memory stream (the text stream of a grid copy, a loaded file).
std::string_view RestView(TStream* Stream, String& Copy)
{
    if (auto* M = dynamic_cast<TMemoryStream*>(Stream)) {
        const Int64 Start = std::min(M->Position(), M->Size());
        return std::string_view(static_cast<const char*>(M->Memory()) + Start, static_cast<std::size_t>(M->Size() - Start));
    }
    Copy = ReadRest(Stream);
    return Copy;
}

// One line of the text stream starting at Pos: the bytes up to a CR, which
// ends the line together with an LF right after it. A bare CR ends its line
// too; an LF without a CR belongs to the line.
std::string_view ReadStreamLine(std::string_view Bytes, std::size_t& Pos)
{
    const std::size_t Cr = Bytes.find('\r', Pos);
    const std::size_t End = Cr == std::string_view::npos ? Bytes.size() : Cr;
    const std::string_view Line = Bytes.substr(Pos, End - Pos);
    Pos = End;
    if (Pos < Bytes.size()) {
        ++Pos;
        if (Pos < Bytes.size() && Bytes[Pos] == '\n')
            ++Pos;
    }
    return Line;
}

// A number field of text-stream line LineNo; a malformed one raises
// EConvertError saying where.
Integer StreamLineNumber(std::string_view Field, std::size_t LineNo)
{
    Integer V = 0;
    const String Text(Field);
    if (!TryStrToInt(Text, V))
        throw EConvertError("Grid text stream line " + IntToStr(static_cast<Int64>(LineNo)) + ": " +
                            QuotedExcerpt(Text) + " is not a valid integer value");
    return V;
}

// The field before the first comma and the rest after it (empty and
// npos-less when there is no comma).
std::string_view CutField(std::string_view& Rest, bool& HadComma)
{
    const std::size_t Comma = Rest.find(',');
    HadComma = Comma != std::string_view::npos;
    const std::string_view Field = Rest.substr(0, HadComma ? Comma : Rest.size());
    Rest = HadComma ? Rest.substr(Comma + 1) : std::string_view();
    return Field;
}

// A text stream as read, before anything of the grid changes: the counts
// and the column widths. The cell lines are handed out as they are read
// (their texts still in the source), not kept.
struct TTextStreamContent {
    bool HasCounts = false;
    Integer Cols = 0;
    Integer Rows = 0;
    std::vector<std::pair<Integer, Integer>> Widths;
    struct TCellLine {
        Integer Col;
        Integer Row;
        std::string_view Text;
    };
    std::size_t End = 0;   // where reading stopped
};

// Reads and checks the whole stream, handing each cell line to OnCell;
// raises on the first bad line.
template <class TOnCell>
TTextStreamContent ParseGridTextStream(std::string_view Bytes, TOnCell&& OnCell)
{
    TTextStreamContent T;
    std::size_t Pos = 0;
    std::size_t LineNo = 0;
    if (Pos < Bytes.size()) {
        std::string_view Rest = ReadStreamLine(Bytes, Pos);
        ++LineNo;
        if (!Rest.empty()) {
            bool Comma = false;
            const std::string_view Cols = CutField(Rest, Comma);
            T.Cols = StreamLineNumber(Cols, LineNo);
            T.Rows = StreamLineNumber(Rest, LineNo);
            CheckGridCounts(T.Cols, T.Rows, "Grid text stream line 1");
            T.HasCounts = true;
        }
    }
    while (Pos < Bytes.size()) {
        const std::size_t LineStart = Pos;
        const std::string_view Line = ReadStreamLine(Bytes, Pos);
        ++LineNo;
        bool Comma = false;
        if (Line.substr(0, 2) == "cw") {
            std::string_view Rest = Line.size() > 3 ? Line.substr(3) : std::string_view();
            const std::string_view C = CutField(Rest, Comma);
            T.Widths.emplace_back(StreamLineNumber(C, LineNo), StreamLineNumber(Rest, LineNo));
            continue;
        }
        std::string_view Rest = Line;
        const std::string_view ColText = CutField(Rest, Comma);
        bool Comma2 = false;
        const std::string_view RowText = Comma ? CutField(Rest, Comma2) : std::string_view();
        // A line without a column or a row ends the cell lines; the stream
        // stays at its start.
        if (!Comma || ColText.empty() || RowText.empty()) {
            Pos = LineStart;
            break;
        }
        OnCell(TTextStreamContent::TCellLine{StreamLineNumber(ColText, LineNo), StreamLineNumber(RowText, LineNo),
                                             Comma2 ? Rest : std::string_view()});
    }
    T.End = Pos;
    return T;
}

String JoinNumbers(const std::vector<int>& Numbers)
{
    String S;
    for (std::size_t i = 0; i < Numbers.size(); ++i) {
        if (i > 0)
            S += ',';
        S += IntToStr(Numbers[i]);
    }
    return S;
}

std::vector<String> FontStyleNames(const TFontStyles& Styles)
{
    std::vector<String> Names;
    for (int i = 0; i < 4; ++i)
        if (Styles.Contains(static_cast<TFontStyle>(i)))
            Names.push_back(FontStyleIdents()[static_cast<std::size_t>(i)]);
    return Names;
}

// The name of a component property's value; an object without a name (or
// not a component) is not written.
String ComponentName(TObject* Obj)
{
    if (auto* C = dynamic_cast<TComponent*>(Obj))
        return C->Name();
    return String();
}

void WriteCellProperties(TComponentRecordWriter& W, const TCellProperties* P, bool HasGraphic)
{
    const String N = "CellProperties.";
    W.BeginRecord("TGridCellPropIO");
    W.WriteBoolean(N + "IsBaseCell", P->IsBaseCell);
    W.WriteInteger(N + "CellSpanX", P->CellSpanX);
    W.WriteInteger(N + "CellSpanY", P->CellSpanY);
    W.WriteIdent(N + "Alignment", AlignmentIdents()[P->Alignment]);
    W.WriteColor(N + "BorderColor", P->BorderColor);
    W.WriteInteger(N + "BorderWidth", P->BorderWidth);
    W.WriteColor(N + "BrushColor", P->BrushColor());
    W.WriteColor(N + "BrushColorTo", P->BrushColorTo());
    W.WriteIdent(N + "BrushStyle", BrushStyleIdents()[static_cast<std::size_t>(P->BrushStyle)]);
    if (const String Name = ComponentName(P->CellObject); !Name.empty())
        W.WriteIdent(N + "CellObject", Name);
    W.WriteColor(N + "FontColor", P->FontColor);
    W.WriteString(N + "FontName", P->FontName);
    W.WriteInteger(N + "FontSize", P->FontSize);
    W.WriteSet(N + "FontStyle", FontStyleNames(P->FontStyle));
    W.WriteIdent(N + "Editor", EditorIdents()[P->Editor]);
    W.WriteIdent(N + "GradientDirection", GradientDirectionIdents()[P->GradientDirection]);
    W.WriteBoolean(N + "ReadOnly", P->ReadOnly);
    W.WriteIdent(N + "VAlignment", VAlignmentIdents()[P->VAlignment()]);
    W.WriteBoolean(N + "WordWrap", P->WordWrap());
    W.WriteInteger(N + "NodeLevel", P->NodeLevel);
    if (const String Name = ComponentName(P->Control); !Name.empty())
        W.WriteIdent(N + "Control", Name);
    W.WriteBoolean("HasGraphic", HasGraphic);
    W.EndRecord();
}

void WriteCellGraphic(TComponentRecordWriter& W, const TCellGraphic* G)
{
    const String N = "CellGraphic.";
    W.BeginRecord("TGridGraphicIO");
    W.WriteIdent(N + "CellType", CellTypeIdents()[G->CellType]);
    W.WriteIdent(N + "CellVAlign", CellVAlignIdents()[G->CellVAlign]);
    W.WriteIdent(N + "CellHAlign", CellHAlignIdents()[G->CellHAlign]);
    W.WriteInteger(N + "CellIndex", G->CellIndex);
    W.WriteBoolean(N + "CellTransparent", G->CellTransparent);
    W.WriteBoolean(N + "CellCreated", G->CellCreated);
    W.WriteBoolean(N + "CellBoolean", G->CellBoolean);
    W.WriteInteger(N + "CellAngle", G->CellAngle);
    W.WriteFloat(N + "CellValue", G->CellValue);
    W.WriteInteger(N + "CellErrFrom", G->CellErrFrom);
    W.WriteInteger(N + "CellErrLen", G->CellErrLen);
    W.WriteString(N + "CellText", G->CellText);
    W.EndRecord();
}

// The graphic of a cell's icon or picture object: a picture holder's
// graphic or the object itself.
TGraphic* GraphicOf(TObject* Obj)
{
    if (auto* P = dynamic_cast<TPicture*>(Obj))
        return P->Graphic();
    return dynamic_cast<TGraphic*>(Obj);
}

String StreamBytes(TMemoryStream& S)
{
    return String(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

String LengthPrefixed(const String& Bytes)
{
    String S;
    const auto N = static_cast<std::uint32_t>(Bytes.size());
    for (int i = 0; i < 4; ++i)
        S += static_cast<char>((N >> (8 * i)) & 0xFF);
    return S + Bytes;
}

// The record after a graphic that carries its object.
void WriteGraphicObject(TComponentRecordWriter& W, const TCellGraphic* G)
{
    switch (G->CellType) {
    case ctBitmap:
    case ctBitButton: {
        W.BeginRecord("TGridBMPIO");
        if (auto* B = dynamic_cast<TBitmap*>(G->CellBitmap); B && !B->Empty())
            W.WriteBinary("Bitmap.Data", LengthPrefixed(B->SaveToBytes()));
        W.EndRecord();
        break;
    }
    case ctIcon:
        W.BeginRecord("TGridIconIO");
        if (const auto* I = dynamic_cast<const TIcon*>(GraphicOf(G->CellIcon)))
            W.WriteBinary("Icon.Data", I->Bytes());
        W.EndRecord();
        break;
    case ctRadio:
    case ctImages: {
        std::vector<String> Items;
        if (const auto* L = dynamic_cast<const TStrings*>(G->CellBitmap))
            for (int i = 0; i < L->Count(); ++i)
                Items.push_back(L->Strings(i));
        if (const auto* L = dynamic_cast<const TIntList*>(G->CellBitmap))
            for (int i = 0; i < L->Count(); ++i)
                Items.push_back(IntToStr(L->GetInteger(i)));
        W.BeginRecord("TGridSLIO");
        W.WriteStringList("Strings.Strings", Items);
        W.EndRecord();
        break;
    }
    case ctPicture: {
        TMemoryStream Data;
        WritePictureData(&Data, GraphicOf(G->CellBitmap));
        W.BeginRecord("TGridPicIO");
        W.WriteBinary("Picture.Data", StreamBytes(Data));
        W.EndRecord();
        break;
    }
    case ctFilePicture:
        W.BeginRecord("TGridFilePicIO");
        if (const auto* P = dynamic_cast<const TFilePicture*>(G->CellBitmap))
            W.WriteString("Picture.Filename", P->Filename());
        W.EndRecord();
        break;
    default: break;
    }
}

bool CarriesGraphic(const TCellGraphic* G)
{
    if (!G || G->CellType == ctEmpty)
        return false;
    switch (G->CellType) {
    case ctBitmap:
    case ctIcon:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture:
    case ctBitButton: return G->CellCreated;   // a graphic the grid does not own stays behind
    default: return true;
    }
}

template <class T>
T EnumOf(const std::vector<String>& Idents, const TStreamProperty& P, T Current)
{
    const int i = IdentIndex(Idents, P.Text);
    if (i < 0)
        throw EReadError("Invalid property value");
    (void)Current;
    return static_cast<T>(i);
}

TColor ColorOf(const TStreamProperty& P)
{
    if (P.IsInteger())
        return static_cast<TColor>(P.Int);
    TColor C = clNone;
    IdentToColor(P.Text, C);
    return C;
}

// The component a record names: one of the form's (the grid's owner's)
// components, else one of the grid's own; null when none has that name.
TComponent* NamedComponent(TProStringGrid* Grid, const String& Name)
{
    if (TComponent* Owner = Grid->Owner())
        if (TComponent* C = Owner->FindComponent(Name))
            return C;
    return Grid->FindComponent(Name);
}

// Reads a properties record over P: what the record omits keeps its value.
void ApplyCellProperties(const TStreamRecord& R, TCellProperties* P, TProStringGrid* Grid)
{
    const String Prefix = "CellProperties.";
    for (const TStreamProperty& V : R.Properties) {
        if (V.Name.compare(0, Prefix.size(), Prefix) != 0)
            continue;
        const String N = V.Name.substr(Prefix.size());
        if (N == "IsBaseCell") P->IsBaseCell = V.Int != 0;
        else if (N == "CellSpanX") P->CellSpanX = static_cast<int>(V.Int);
        else if (N == "CellSpanY") P->CellSpanY = static_cast<int>(V.Int);
        else if (N == "Alignment") P->Alignment = EnumOf(AlignmentIdents(), V, P->Alignment);
        else if (N == "BorderColor") P->BorderColor = ColorOf(V);
        else if (N == "BorderWidth") P->BorderWidth = static_cast<int>(V.Int);
        else if (N == "BrushColor") P->SetBrushColor(ColorOf(V));
        else if (N == "BrushColorTo") P->SetBrushColorTo(ColorOf(V));
        else if (N == "BrushStyle") P->BrushStyle = EnumOf(BrushStyleIdents(), V, P->BrushStyle);
        else if (N == "FontColor") P->FontColor = ColorOf(V);
        else if (N == "FontName") P->FontName = V.Text;
        else if (N == "FontSize") P->FontSize = static_cast<int>(V.Int);
        else if (N == "FontStyle") {
            TFontStyles S;
            for (const String& E : V.Items) {
                const int i = IdentIndex(FontStyleIdents(), E);
                if (i < 0)
                    throw EReadError("Invalid property value");
                S.Include(static_cast<TFontStyle>(i));
            }
            P->FontStyle = S;
        }
        else if (N == "Editor") P->Editor = EnumOf(EditorIdents(), V, P->Editor);
        else if (N == "GradientDirection") P->GradientDirection = EnumOf(GradientDirectionIdents(), V, P->GradientDirection);
        else if (N == "ReadOnly") P->ReadOnly = V.Int != 0;
        else if (N == "VAlignment") P->SetVAlignment(EnumOf(VAlignmentIdents(), V, P->VAlignment()));
        else if (N == "WordWrap") P->SetWordWrap(V.Int != 0);
        else if (N == "NodeLevel") P->NodeLevel = static_cast<int>(V.Int);
        else if (N == "Control") {
            // A control of that name here takes the cell; a name this form
            // does not know leaves the reference as it was.
            if (auto* C = dynamic_cast<TControl*>(NamedComponent(Grid, V.Text)))
                P->Control = C;
        }
        // A CellObject name is read but not applied: the application's
        // reference belongs to the destination cell and is not assigned.
    }
}

void ApplyCellGraphic(const TStreamRecord& R, TCellGraphic* G)
{
    const String Prefix = "CellGraphic.";
    for (const TStreamProperty& V : R.Properties) {
        const String N = V.Name.substr(Prefix.size());
        if (N == "CellType") G->CellType = EnumOf(CellTypeIdents(), V, G->CellType);
        else if (N == "CellVAlign") G->CellVAlign = EnumOf(CellVAlignIdents(), V, G->CellVAlign);
        else if (N == "CellHAlign") G->CellHAlign = EnumOf(CellHAlignIdents(), V, G->CellHAlign);
        else if (N == "CellIndex") G->CellIndex = static_cast<int>(V.Int);
        else if (N == "CellTransparent") G->CellTransparent = V.Int != 0;
        else if (N == "CellCreated") G->CellCreated = V.Int != 0;
        else if (N == "CellBoolean") G->CellBoolean = V.Int != 0;
        else if (N == "CellAngle") G->CellAngle = static_cast<int>(V.Int);
        else if (N == "CellValue") G->CellValue = V.Kind == TStreamValueKind::vaExtended ? V.Float : static_cast<double>(V.Int);
        else if (N == "CellErrFrom") G->CellErrFrom = static_cast<int>(V.Int);
        else if (N == "CellErrLen") G->CellErrLen = static_cast<int>(V.Int);
        else if (N == "CellText") G->CellText = V.Text;
    }
}

// Builds the graphic's object from its record and hands it to the graphic,
// which then owns it.
void AttachGraphicObject(const TStreamRecord& R, TCellGraphic* G, int ACol, int ARow)
{
    TObject* Obj = nullptr;
    if (G->CellType == ctBitmap || G->CellType == ctBitButton) {
        auto B = std::make_unique<TBitmap>();
        if (const TStreamProperty* P = R.Find("Bitmap.Data"); P && P->Text.size() > 4)
            B->LoadFromBytes(P->Text.substr(4));
        Obj = B.release();
    } else if (G->CellType == ctRadio) {
        auto L = std::make_unique<TStringList>();
        if (const TStreamProperty* P = R.Find("Strings.Strings"))
            for (const String& S : P->Items)
                L->Add(S);
        Obj = L.release();
    } else if (G->CellType == ctImages) {
        auto L = std::make_unique<TIntList>(ACol, ARow);
        if (const TStreamProperty* P = R.Find("Strings.Strings"))
            for (const String& S : P->Items)
                L->Add(StrToInt(S));
        Obj = L.release();
    } else if (G->CellType == ctIcon) {
        auto I = std::make_unique<TIcon>();
        if (const TStreamProperty* P = R.Find("Icon.Data"))
            I->LoadFromBytes(P->Text);
        // The icon has its own slot; the graphic owns it when created.
        G->CellIcon = I.release();
        G->CellCreated = true;
        return;
    } else if (G->CellType == ctPicture) {
        auto Pic = std::make_unique<TPicture>();
        if (const TStreamProperty* P = R.Find("Picture.Data")) {
            TMemoryStream Data;
            Data.WriteBuffer(P->Text.data(), static_cast<Integer>(P->Text.size()));
            Data.SetPosition(0);
            Pic->ReadData(&Data);
        }
        Obj = Pic.release();
    } else if (G->CellType == ctFilePicture) {
        auto F = std::make_unique<TFilePicture>();
        if (const TStreamProperty* P = R.Find("Picture.Filename"))
            F->SetFilename(P->Text);
        Obj = F.release();
    }
    if (!Obj)
        return;
    G->CellBitmap = Obj;
    // The graphic frees what it owns only when it made it.
    G->CellCreated = true;
}

} // namespace

// ---- Text stream ----------------------------------------------------------

void TProStringGrid::WriteGridTextStream(TStream* Stream)
{
    WriteStreamLine(Stream, IntToStr(ColCount()) + "," + IntToStr(RowCount()));
    for (int C = 0; C < ColCount(); ++C)
        WriteStreamLine(Stream, "cw " + IntToStr(C) + "," + IntToStr(ColWidths(C)));
    ReportProgress(0, -1);
    for (int R = 0; R < RowCount(); ++R) {
        ReportProgress(1, R);
        for (int C = 0; C < ColCount(); ++C) {
            String Text;
            GetCellTextForSave(C, R, Text);
            if (!Text.empty())
                WriteStreamLine(Stream, IntToStr(C) + "," + IntToStr(R) + "," + EscapeLineBreaks(Text));
        }
    }
    ReportProgress(2, -1);
}

void TProStringGrid::ReadGridTextStream(TStream* Stream)
{
    // The whole stream is read and checked first: a bad line raises with
    // the grid as it was. The cell lines are then read a second time and
    // stored row by row, so no copy of them is kept beside the grid.
    const Int64 Start = Stream->Position();
    String Copy;
    const std::string_view Bytes = RestView(Stream, Copy);
    using TCellLine = TTextStreamContent::TCellLine;
    const TTextStreamContent T = ParseGridTextStream(Bytes, [](const TCellLine&) {});

    if (T.HasCounts) {
        SetColCount(T.Cols);
        SetRowCount(T.Rows);
    }
    for (const auto& [C, W] : T.Widths)
        // A width for a column the grid does not have is dropped.
        if (C >= 0 && C < ColCount())
            SetColWidths(C, W);
    ReportProgress(0, -1);
    // The lines of one row, stored together: the row takes its memory once.
    std::vector<TCellLine> RowLines;
    const auto StoreRow = [&] {
        if (RowLines.empty())
            return;
        const Integer Row = RowLines.front().Row;
        ReportProgress(1, Row);
        // A cell outside the grid is never written.
        const auto InGrid = [&](const TCellLine& L) {
            return L.Col >= 0 && L.Row >= 0 && L.Col < ColCount() && L.Row < RowCount();
        };
        const auto Stored = std::count_if(RowLines.begin(), RowLines.end(),
                                          [&](const TCellLine& L) { return InGrid(L) && !L.Text.empty(); });
        ExpectRowCells(Row, static_cast<int>(Stored));
        for (const TCellLine& L : RowLines)
            if (InGrid(L))
                SetCellTextFromLoad(L.Col, L.Row, UnescapeLineBreaks(String(L.Text), Multilinecells));
        RowLines.clear();
    };
    // Cell lines come row by row: each new row is reported once.
    ParseGridTextStream(Bytes, [&](const TCellLine& L) {
        if (!RowLines.empty() && RowLines.front().Row != L.Row)
            StoreRow();
        RowLines.push_back(L);
    });
    StoreRow();
    ExpectRowCells(-1, 0);
    Stream->SetPosition(Start + static_cast<Int64>(T.End));
    ReportProgress(2, -1);
    CellsChanged(TRect{0, 0, ColCount(), RowCount()});
    AllCellsChanged();
}

// ---- Binary cell stream ---------------------------------------------------

void TProStringGrid::WriteCellBinaryStream(const TRect& Block, TStream* Stream)
{
    // Positions travel as 16-bit numbers: a block beyond them is refused
    // rather than written with wrapped positions.
    if (Block.left < 0 || Block.top < 0 || Block.right > 65535 || Block.bottom > 65535 || Block.right < Block.left ||
        Block.bottom < Block.top)
        throw EProGridError("Cell block cannot be written to a cell stream");
    TComponentRecordWriter W;
    std::vector<int> Widths;
    std::vector<int> Heights;
    for (int C = Block.left; C <= Block.right; ++C)
        Widths.push_back(ColWidths(C));
    for (int R = Block.top; R <= Block.bottom; ++R)
        Heights.push_back(RowHeights(R));
    W.BeginRecord("TGridPropIO");
    W.WriteInteger("ColCount", Block.right - Block.left + 1);
    W.WriteInteger("RowCount", Block.bottom - Block.top + 1);
    W.WriteString("ColWidths", JoinNumbers(Widths));
    W.WriteString("RowHeights", JoinNumbers(Heights));
    W.WriteBoolean("FullGrid", Block.bottom - Block.top + 1 == RowCount() && Block.right - Block.left + 1 == ColCount());
    W.WriteInteger("ID", HandleAllocated()
                             ? static_cast<Integer>(reinterpret_cast<INT_PTR>(const_cast<TProStringGrid*>(this)->Handle()))
                             : 0);
    W.EndRecord();

    ReportProgress(0, -1);
    int LastProgress = -1;
    for (int R = Block.top; R <= Block.bottom; ++R) {
        ReportProgress(1, R);
        for (int C = Block.left; C <= Block.right; ++C) {
            const TCellProperties* Props = CellProperties(C, R);
            const String Text = ReadCellText(C, R);
            if (Text.empty() && !Props)
                continue;
            W.BeginRecord("TGridCellIO");
            W.WriteInteger("Col", C);
            W.WriteInteger("Row", R);
            W.WriteString("Cell", Text);
            W.WriteBoolean("HasProp", Props != nullptr);
            W.EndRecord();
            if (!Props)
                continue;
            const TCellGraphic* G = Props->GraphicObject;
            const bool HasGraphic = CarriesGraphic(G);
            WriteCellProperties(W, Props, HasGraphic);
            if (HasGraphic) {
                WriteCellGraphic(W, G);
                WriteGraphicObject(W, G);
            }
        }
        if (OnFileProgress) {
            const int P = static_cast<int>(
                std::nearbyint(static_cast<double>(R - Block.top) / std::max<long>(1, Block.bottom - Block.top) * 100.0));
            if (P != LastProgress) {
                LastProgress = P;
                OnFileProgress(this, static_cast<short>(P));
            }
        }
    }
    ReportProgress(2, -1);
    Stream->WriteBuffer(W.Bytes().data(), static_cast<Integer>(W.Bytes().size()));
}

void TProStringGrid::ReadCellBinaryStream(TPoint Point, TStream* Stream)
{
    const Int64 Start = Stream->Position();
    const String Bytes = ReadRest(Stream);
    std::size_t Pos = 0;
    // On an error the position moves past what was read.
    try {
        ReadCellStreamBytes(Point, Bytes, Pos, false, false);
    } catch (...) {
        Stream->SetPosition(Start + static_cast<Int64>(Pos));
        throw;
    }
    Stream->SetPosition(Start + static_cast<Int64>(Pos));
}

namespace {

// One cell of a cell stream made ready for the grid: its destination and
// the graphic with its object, built before anything of the grid changes.
struct TPreparedCell {
    TCellStreamEntry Entry;
    Integer Col = 0;
    Integer Row = 0;
    bool Inside = false;
    std::unique_ptr<TCellGraphic> Graphic;
};

} // namespace

TCellStreamHeader TProStringGrid::ReadCellStreamBytes(TPoint Point, const String& Bytes, std::size_t& Pos,
                                                      bool GrowCols, bool GrowRows)
{
    // Read and check everything: the header, each record, each property
    // value and each graphic's data. The error names the byte where the
    // record that failed begins.
    TCellStreamHeader H;
    std::vector<TPreparedCell> Cells;
    Int64 NewCols = ColCount();
    Int64 NewRows = RowCount();
    std::size_t RecordStart = Pos;
    try {
        H = ReadCellStreamHeader(Bytes, Pos);
        if (H.FullGrid) {
            NewCols = H.ColCount;
            NewRows = H.RowCount;
            Point = TPoint{0, 0};
        } else {
            if (GrowCols && Int64{Point.x} + H.ColCount >= NewCols)
                NewCols = Int64{Point.x} + H.ColCount;
            if (GrowRows && Int64{Point.y} + H.RowCount >= NewRows)
                NewRows = Int64{Point.y} + H.RowCount;
        }
        CheckGridCounts(NewCols, NewRows, "Cell stream");
        bool OriginKnown = H.FullGrid;
        TPoint Origin{0, 0};
        TCellProperties Scratch(this, 0, 0);
        RecordStart = Pos;
        ReadCellStreamEntries(Bytes, Pos, [&](const TCellStreamEntry& E) {
            if (!OriginKnown) {
                Origin = TPoint{E.Col, E.Row};
                OriginKnown = true;
            }
            TPreparedCell P;
            P.Entry = E;
            // Cells that would land outside the grid are skipped.
            P.Inside = CellStreamDestination(E.Col, E.Row, Origin.x, Origin.y, Point.x, Point.y,
                                             static_cast<Integer>(NewCols), static_cast<Integer>(NewRows), P.Col, P.Row);
            if (E.HasProp && E.Properties)
                ApplyCellProperties(*E.Properties, &Scratch, this);
            if (E.HasGraphic && E.Graphic) {
                // A fresh carrier for every graphic: nothing of the previous
                // record's graphic leaks into this one.
                P.Graphic = std::make_unique<TCellGraphic>();
                ApplyCellGraphic(*E.Graphic, P.Graphic.get());
                if (E.Object)
                    AttachGraphicObject(*E.Object, P.Graphic.get(), P.Col, P.Row);
            }
            Cells.push_back(std::move(P));
            RecordStart = Pos;
        });
    } catch (Exception& E) {
        E.Message = "Cell stream at byte " + IntToStr(static_cast<Int64>(RecordStart)) + ": " + E.Message;
        throw;
    }

    // Everything is whole: now the grid changes.
    if (H.FullGrid) {
        ClearAllCells();
        SetRowCount(H.RowCount);
        SetColCount(H.ColCount);
        for (int C = 0; C < ColCount(); ++C)
            SetColWidths(C, H.ColWidths[static_cast<std::size_t>(C)]);
        for (int R = 0; R < RowCount(); ++R)
            SetRowHeights(R, H.RowHeights[static_cast<std::size_t>(R)]);
    } else {
        if (NewCols != ColCount())
            SetColCount(static_cast<int>(NewCols));
        if (NewRows != RowCount())
            SetRowCount(static_cast<int>(NewRows));
    }
    ReportProgress(0, -1);
    int LastRow = -1;
    for (TPreparedCell& P : Cells) {
        const TCellStreamEntry& E = P.Entry;
        if (E.Row != LastRow) {
            LastRow = E.Row;
            ReportProgress(1, E.Row);
        }
        if (!P.Inside)
            continue;
        WriteCellText(P.Col, P.Row, E.Cell);
        if (E.HasProp && E.Properties) {
            TCellProperties* Dest = EnsureCellProperties(P.Col, P.Row);
            TCellProperties Carrier(this, P.Col, P.Row);
            Carrier.Assign(Dest);
            ApplyCellProperties(*E.Properties, &Carrier, this);
            Carrier.OwnerCol = P.Col;
            Carrier.OwnerRow = P.Row;
            Dest->Assign(&Carrier);
            // Assigning properties leaves out the gradient's end colour and
            // direction; the record's values are kept so that a pasted
            // gradient cell stays one.
            if (E.Properties->Find("CellProperties.BrushColorTo"))
                Dest->SetBrushColorTo(Carrier.BrushColorTo());
            if (E.Properties->Find("CellProperties.GradientDirection"))
                Dest->GradientDirection = Carrier.GradientDirection;
        }
        if (P.Graphic) {
            TCellGraphic* G = NewCellGraphic(P.Col, P.Row);
            G->Assign(P.Graphic.get());
            // The objects built while reading move to the cell's graphic.
            G->CellBitmap = P.Graphic->CellBitmap;
            G->CellIcon = P.Graphic->CellIcon;
            P.Graphic->CellBitmap = nullptr;
            P.Graphic->CellIcon = nullptr;
        }
    }
    ReportProgress(2, -1);
    return H;
}
