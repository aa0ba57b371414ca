#include "grid/core/GridCellStreamCodec.h"

#include <cmath>
#include <cstring>
#include <map>

#include "framework/Exception.h"
#include "framework/StrUtils.h"

namespace {

const char* const Signature = "TPF0";

[[noreturn]] void ReadFailure() { throw EReadError("Stream read error"); }
[[noreturn]] void FormatFailure() { throw EReadError("Invalid stream format"); }
[[noreturn]] void ValueFailure() { throw EReadError("Invalid property value"); }

// Bounded reads over the byte string.
class TByteReader {
public:
    TByteReader(const String& Data, std::size_t& Pos) : FData(Data), FPos(Pos) {}

    Byte ReadByte()
    {
        Need(1);
        return ByteAt(FData, FPos++);
    }
    String ReadBytes(std::size_t Count)
    {
        Need(Count);
        String S = FData.substr(FPos, Count);
        FPos += Count;
        return S;
    }
    Int64 ReadLittle(std::size_t Count)
    {
        Need(Count);
        std::uint64_t V = 0;
        for (std::size_t i = 0; i < Count; ++i)
            V |= static_cast<std::uint64_t>(ByteAt(FData, FPos + i)) << (8 * i);
        FPos += Count;
        // Sign-extend from Count bytes.
        const unsigned Bits = static_cast<unsigned>(Count * 8);
        if (Bits < 64 && (V >> (Bits - 1)) & 1)
            V |= ~std::uint64_t(0) << Bits;
        return static_cast<Int64>(V);
    }
    String ReadShortString() { return ReadBytes(ReadByte()); }
    std::size_t Remaining() const { return FPos < FData.size() ? FData.size() - FPos : 0; }

private:
    void Need(std::size_t Count) const
    {
        if (Count > Remaining())
            ReadFailure();
    }
    const String& FData;
    std::size_t& FPos;
};

TStreamProperty ReadValue(TByteReader& R, String Name)
{
    TStreamProperty P;
    P.Name = std::move(Name);
    const Byte Kind = R.ReadByte();
    if (Kind > static_cast<Byte>(TStreamValueKind::vaLString))
        ValueFailure();
    P.Kind = static_cast<TStreamValueKind>(Kind);
    switch (P.Kind) {
    case TStreamValueKind::vaList:
        // Only lists of strings are carried.
        for (;;) {
            const Byte Item = R.ReadByte();
            if (Item == 0)
                break;
            if (Item == static_cast<Byte>(TStreamValueKind::vaString))
                P.Items.push_back(R.ReadShortString());
            else if (Item == static_cast<Byte>(TStreamValueKind::vaLString))
                P.Items.push_back(R.ReadBytes(static_cast<std::uint32_t>(R.ReadLittle(4))));
            else
                ValueFailure();
        }
        break;
    case TStreamValueKind::vaInt8: P.Int = R.ReadLittle(1); break;
    case TStreamValueKind::vaInt16: P.Int = R.ReadLittle(2); break;
    case TStreamValueKind::vaInt32: P.Int = R.ReadLittle(4); break;
    case TStreamValueKind::vaExtended: {
        const String Bytes = R.ReadBytes(10);
        P.Float = ExtendedToDouble(reinterpret_cast<const Byte*>(Bytes.data()));
        break;
    }
    case TStreamValueKind::vaString:
    case TStreamValueKind::vaIdent: P.Text = R.ReadShortString(); break;
    case TStreamValueKind::vaFalse: P.Int = 0; break;
    case TStreamValueKind::vaTrue: P.Int = 1; break;
    case TStreamValueKind::vaBinary:
    case TStreamValueKind::vaLString: P.Text = R.ReadBytes(static_cast<std::uint32_t>(R.ReadLittle(4))); break;
    case TStreamValueKind::vaSet:
        for (;;) {
            String E = R.ReadShortString();
            if (E.empty())
                break;
            P.Items.push_back(std::move(E));
        }
        break;
    default: ValueFailure();
    }
    return P;
}

// What a property of a record class may hold.
enum class TPropType { Int, Bool, Str, Ident, Color, Float, Set, Binary, List, Component };

using TClassProps = std::map<String, TPropType>;

const std::map<String, TClassProps>& RecordClasses()
{
    static const std::map<String, TClassProps> Classes = [] {
        std::map<String, TClassProps> C;
        C["TGridPropIO"] = {{"ColCount", TPropType::Int},  {"RowCount", TPropType::Int},
                            {"ColWidths", TPropType::Str}, {"RowHeights", TPropType::Str},
                            {"FullGrid", TPropType::Bool}, {"ID", TPropType::Int}};
        C["TGridCellIO"] = {{"Col", TPropType::Int},
                            {"Row", TPropType::Int},
                            {"Cell", TPropType::Str},
                            {"HasProp", TPropType::Bool}};
        TClassProps& P = C["TGridCellPropIO"];
        const std::pair<const char*, TPropType> Props[] = {
            {"IsBaseCell", TPropType::Bool},   {"CellSpanX", TPropType::Int},
            {"CellSpanY", TPropType::Int},     {"Alignment", TPropType::Ident},
            {"BorderColor", TPropType::Color}, {"BorderWidth", TPropType::Int},
            {"BrushColor", TPropType::Color},  {"BrushColorTo", TPropType::Color},
            {"BrushStyle", TPropType::Ident},  {"CellObject", TPropType::Component},
            {"FontColor", TPropType::Color},   {"FontName", TPropType::Str},
            {"FontSize", TPropType::Int},      {"FontStyle", TPropType::Set},
            {"Editor", TPropType::Ident},      {"GradientDirection", TPropType::Ident},
            {"ReadOnly", TPropType::Bool},     {"VAlignment", TPropType::Ident},
            {"WordWrap", TPropType::Bool},     {"NodeLevel", TPropType::Int},
            {"Control", TPropType::Component}};
        for (const auto& [Name, Type] : Props)
            P[String("CellProperties.") + Name] = Type;
        P["HasGraphic"] = TPropType::Bool;
        TClassProps& G = C["TGridGraphicIO"];
        const std::pair<const char*, TPropType> Graphic[] = {
            {"CellType", TPropType::Ident},       {"CellVAlign", TPropType::Ident}, {"CellHAlign", TPropType::Ident},
            {"CellIndex", TPropType::Int},        {"CellTransparent", TPropType::Bool},
            {"CellCreated", TPropType::Bool},     {"CellBoolean", TPropType::Bool}, {"CellAngle", TPropType::Int},
            {"CellValue", TPropType::Float},      {"CellErrFrom", TPropType::Int},  {"CellErrLen", TPropType::Int},
            {"CellText", TPropType::Str}};
        for (const auto& [Name, Type] : Graphic)
            G[String("CellGraphic.") + Name] = Type;
        C["TGridBMPIO"] = {{"Bitmap.Data", TPropType::Binary}};
        C["TGridIconIO"] = {{"Icon.Data", TPropType::Binary}};
        C["TGridPicIO"] = {{"Picture.Data", TPropType::Binary}};
        C["TGridFilePicIO"] = {{"Picture.Filename", TPropType::Str}};
        C["TGridSLIO"] = {{"Strings.Strings", TPropType::List}};
        return C;
    }();
    return Classes;
}

bool KindFits(TPropType Type, const TStreamProperty& P)
{
    switch (Type) {
    case TPropType::Int: return P.IsInteger();
    case TPropType::Bool: return P.IsBoolean();
    case TPropType::Str: return P.IsString();
    case TPropType::Ident:
    case TPropType::Component: return P.Kind == TStreamValueKind::vaIdent;
    case TPropType::Color:
        return P.IsInteger() || P.Kind == TStreamValueKind::vaIdent;
    case TPropType::Float: return P.Kind == TStreamValueKind::vaExtended || P.IsInteger();
    case TPropType::Set: return P.Kind == TStreamValueKind::vaSet;
    case TPropType::Binary: return P.Kind == TStreamValueKind::vaBinary;
    case TPropType::List: return P.Kind == TStreamValueKind::vaList;
    }
    return false;
}

// Checks a record against its expected class: unknown property names and
// values of the wrong kind are refused.
void CheckRecord(const TStreamRecord& R, const String& ExpectedClass)
{
    if (R.ClassName != ExpectedClass)
        FormatFailure();
    const TClassProps& Props = RecordClasses().at(ExpectedClass);
    for (const TStreamProperty& P : R.Properties) {
        const auto It = Props.find(P.Name);
        if (It == Props.end())
            throw EReadError("Property " + P.Name + " does not exist");
        if (!KindFits(It->second, P))
            ValueFailure();
        if (It->second == TPropType::Color && P.Kind == TStreamValueKind::vaIdent) {
            Integer C = 0;
            if (!IdentToColor(P.Text, C))
                ValueFailure();
        }
    }
}

TStreamRecord ReadRecordOf(const String& Data, std::size_t& Pos, const String& ExpectedClass)
{
    TStreamRecord R = ReadComponentRecord(Data, Pos);
    CheckRecord(R, ExpectedClass);
    return R;
}

Int64 IntOf(const TStreamRecord& R, const char* Name, Int64 Default)
{
    const TStreamProperty* P = R.Find(Name);
    return P ? P->Int : Default;
}

// Decimal numbers joined by ",", as the header's width and height lists.
std::vector<Integer> NumberList(const String& S)
{
    std::vector<Integer> L;
    if (S.empty())
        return L;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t Comma = S.find(',', Start);
        L.push_back(StrToInt(S.substr(Start, Comma == String::npos ? String::npos : Comma - Start)));
        if (Comma == String::npos)
            break;
        Start = Comma + 1;
    }
    return L;
}

// The record that carries the object of a graphic of this type, if any.
const char* ObjectRecordClass(const String& CellType)
{
    if (CellType == "ctBitmap" || CellType == "ctBitButton")
        return "TGridBMPIO";
    if (CellType == "ctIcon")
        return "TGridIconIO";
    if (CellType == "ctRadio" || CellType == "ctImages")
        return "TGridSLIO";
    if (CellType == "ctPicture")
        return "TGridPicIO";
    if (CellType == "ctFilePicture")
        return "TGridFilePicIO";
    return nullptr;
}

struct TNamedColor {
    const char* Name;
    std::uint32_t Value;
};

// The colours that have names, system colours as 0xFF000000 + their index.
const TNamedColor NamedColors[] = {
    {"clBlack", 0x000000},        {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080},        {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},         {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},          {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},         {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},        {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},        {"clMedGray", 0xA4A0A0},    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},    {"clScrollBar", 0xFF000000}, {"clBackground", 0xFF000001},
    {"clActiveCaption", 0xFF000002}, {"clInactiveCaption", 0xFF000003}, {"clMenu", 0xFF000004},
    {"clWindow", 0xFF000005},     {"clWindowFrame", 0xFF000006}, {"clMenuText", 0xFF000007},
    {"clWindowText", 0xFF000008}, {"clCaptionText", 0xFF000009}, {"clActiveBorder", 0xFF00000A},
    {"clInactiveBorder", 0xFF00000B}, {"clAppWorkSpace", 0xFF00000C}, {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E}, {"clBtnFace", 0xFF00000F}, {"clBtnShadow", 0xFF000010},
    {"clGrayText", 0xFF000011},   {"clBtnText", 0xFF000012},  {"clInactiveCaptionText", 0xFF000013},
    {"clBtnHighlight", 0xFF000014}, {"cl3DDkShadow", 0xFF000015}, {"cl3DLight", 0xFF000016},
    {"clInfoText", 0xFF000017},   {"clInfoBk", 0xFF000018},   {"clHotLight", 0xFF00001A},
    {"clGradientActiveCaption", 0xFF00001B}, {"clGradientInactiveCaption", 0xFF00001C},
    {"clMenuHighlight", 0xFF00001D}, {"clMenuBar", 0xFF00001E},
};

} // namespace

bool TStreamProperty::IsInteger() const
{
    return Kind == TStreamValueKind::vaInt8 || Kind == TStreamValueKind::vaInt16 || Kind == TStreamValueKind::vaInt32;
}

bool TStreamProperty::IsBoolean() const { return Kind == TStreamValueKind::vaFalse || Kind == TStreamValueKind::vaTrue; }

bool TStreamProperty::IsString() const
{
    return Kind == TStreamValueKind::vaString || Kind == TStreamValueKind::vaLString;
}

const TStreamProperty* TStreamRecord::Find(const String& Name) const
{
    for (const TStreamProperty& P : Properties)
        if (P.Name == Name)
            return &P;
    return nullptr;
}

// ---- Writer ---------------------------------------------------------------

void TComponentRecordWriter::BeginRecord(const String& ClassName)
{
    FBytes += Signature;
    WriteName(ClassName);
    FBytes += '\0';   // empty component name
}

void TComponentRecordWriter::EndRecord()
{
    FBytes += '\0';   // end of properties
    FBytes += '\0';   // end of children
}

void TComponentRecordWriter::WriteName(const String& S)
{
    FBytes += static_cast<char>(std::min<std::size_t>(S.size(), 255));
    FBytes.append(S, 0, 255);
}

void TComponentRecordWriter::WriteInt32(Integer V)
{
    const auto U = static_cast<std::uint32_t>(V);
    for (int i = 0; i < 4; ++i)
        FBytes += static_cast<char>((U >> (8 * i)) & 0xFF);
}

void TComponentRecordWriter::WriteStringValue(const String& S)
{
    if (S.size() <= 255) {
        FBytes += static_cast<char>(TStreamValueKind::vaString);
        FBytes += static_cast<char>(S.size());
    } else {
        FBytes += static_cast<char>(TStreamValueKind::vaLString);
        WriteInt32(static_cast<Integer>(S.size()));
    }
    FBytes += S;
}

void TComponentRecordWriter::WriteInteger(const String& Name, Int64 Value)
{
    WriteName(Name);
    if (Value >= -128 && Value <= 127) {
        FBytes += static_cast<char>(TStreamValueKind::vaInt8);
        FBytes += static_cast<char>(Value & 0xFF);
    } else if (Value >= -32768 && Value <= 32767) {
        FBytes += static_cast<char>(TStreamValueKind::vaInt16);
        FBytes += static_cast<char>(Value & 0xFF);
        FBytes += static_cast<char>((Value >> 8) & 0xFF);
    } else {
        FBytes += static_cast<char>(TStreamValueKind::vaInt32);
        WriteInt32(static_cast<Integer>(Value));
    }
}

void TComponentRecordWriter::WriteColor(const String& Name, Integer Value)
{
    const String Ident = ColorIdent(Value);
    if (Ident.empty())
        WriteInteger(Name, Value);
    else
        WriteIdent(Name, Ident);
}

void TComponentRecordWriter::WriteBoolean(const String& Name, bool Value)
{
    WriteName(Name);
    FBytes += static_cast<char>(Value ? TStreamValueKind::vaTrue : TStreamValueKind::vaFalse);
}

void TComponentRecordWriter::WriteIdent(const String& Name, const String& Value)
{
    WriteName(Name);
    FBytes += static_cast<char>(TStreamValueKind::vaIdent);
    WriteName(Value);
}

void TComponentRecordWriter::WriteString(const String& Name, const String& Value)
{
    if (Value.empty())
        return;
    WriteName(Name);
    WriteStringValue(Value);
}

void TComponentRecordWriter::WriteFloat(const String& Name, double Value)
{
    if (Value == 0.0)
        return;
    WriteName(Name);
    FBytes += static_cast<char>(TStreamValueKind::vaExtended);
    FBytes += DoubleToExtended(Value);
}

void TComponentRecordWriter::WriteSet(const String& Name, const std::vector<String>& Elements)
{
    WriteName(Name);
    FBytes += static_cast<char>(TStreamValueKind::vaSet);
    for (const String& E : Elements)
        WriteName(E);
    FBytes += '\0';
}

void TComponentRecordWriter::WriteBinary(const String& Name, const String& Data)
{
    if (Data.empty())
        return;
    WriteName(Name);
    FBytes += static_cast<char>(TStreamValueKind::vaBinary);
    WriteInt32(static_cast<Integer>(Data.size()));
    FBytes += Data;
}

void TComponentRecordWriter::WriteStringList(const String& Name, const std::vector<String>& Items)
{
    if (Items.empty())
        return;
    WriteName(Name);
    FBytes += static_cast<char>(TStreamValueKind::vaList);
    for (const String& S : Items)
        WriteStringValue(S);
    FBytes += '\0';
}

// ---- Reader ---------------------------------------------------------------

TStreamRecord ReadComponentRecord(const String& Data, std::size_t& Pos)
{
    TByteReader R(Data, Pos);
    if (R.Remaining() < 4 || Data.compare(Pos, 4, Signature) != 0)
        FormatFailure();
    R.ReadBytes(4);
    TStreamRecord Rec;
    Rec.ClassName = R.ReadShortString();
    R.ReadShortString();   // component name
    for (;;) {
        String Name = R.ReadShortString();
        if (Name.empty())
            break;
        Rec.Properties.push_back(ReadValue(R, std::move(Name)));
    }
    // No record of the cell stream has children: its list ends at once.
    if (R.ReadByte() != 0)
        FormatFailure();
    return Rec;
}

// ---- Extended floats ------------------------------------------------------

String DoubleToExtended(double Value)
{
    Byte B[10] = {};
    std::uint64_t Mantissa = 0;
    unsigned Exponent = 0;
    const bool Negative = std::signbit(Value);
    const double A = std::fabs(Value);
    if (std::isnan(A)) {
        Exponent = 0x7FFF;
        Mantissa = 0xC000000000000000ull;
    } else if (std::isinf(A)) {
        Exponent = 0x7FFF;
        Mantissa = 0x8000000000000000ull;
    } else if (A != 0.0) {
        int E = 0;
        const double F = std::frexp(A, &E);   // A = F * 2^E, F in [0.5, 1)
        // The integer bit is explicit: 1.xxx * 2^(E - 1).
        Mantissa = static_cast<std::uint64_t>(std::ldexp(F, 64));
        Exponent = static_cast<unsigned>(E - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        B[i] = static_cast<Byte>((Mantissa >> (8 * i)) & 0xFF);
    const unsigned SE = Exponent | (Negative ? 0x8000u : 0u);
    B[8] = static_cast<Byte>(SE & 0xFF);
    B[9] = static_cast<Byte>(SE >> 8);
    return String(reinterpret_cast<const char*>(B), 10);
}

double ExtendedToDouble(const Byte* B)
{
    std::uint64_t Mantissa = 0;
    for (int i = 0; i < 8; ++i)
        Mantissa |= static_cast<std::uint64_t>(B[i]) << (8 * i);
    const unsigned SE = B[8] | (static_cast<unsigned>(B[9]) << 8);
    const bool Negative = (SE & 0x8000u) != 0;
    const int Exponent = static_cast<int>(SE & 0x7FFFu);
    double V;
    if (Exponent == 0x7FFF)
        V = (Mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
    else if (Exponent == 0 && Mantissa == 0)
        V = 0.0;
    else
        V = std::ldexp(static_cast<double>(Mantissa), Exponent - 16383 - 63);
    return Negative ? -V : V;
}

// ---- Colours and enumerations ---------------------------------------------

String ColorIdent(Integer Color)
{
    for (const TNamedColor& C : NamedColors)
        if (static_cast<std::uint32_t>(Color) == C.Value)
            return C.Name;
    return String();
}

bool IdentToColor(const String& Name, Integer& Color)
{
    for (const TNamedColor& C : NamedColors)
        if (Name == C.Name) {
            Color = static_cast<Integer>(C.Value);
            return true;
        }
    return false;
}

const std::vector<String>& CellTypeIdents()
{
    static const std::vector<String> V = {
        "ctBitmap", "ctIcon", "ctNone", "ctImageList", "ctCheckBox", "ctDataCheckBox", "ctRotated",
        "ctDataImage", "ctNode", "ctRadio", "ctEmpty", "ctImages", "ctPicture", "ctFilePicture", "ctValue",
        "ctProgress", "ctComment", "ctButton", "ctBitButton", "ctVirtCheckBox", "ctRowCheckBox",
        "ctProgressPie", "ctSummary", "ctRangeIndicator", "ctXPProgress", "ctInterface"};
    return V;
}

const std::vector<String>& CellVAlignIdents()
{
    static const std::vector<String> V = {"vaTop", "vaBottom", "vaCenter", "vaUnderText", "vaAboveText", "vaFull"};
    return V;
}

const std::vector<String>& CellHAlignIdents()
{
    static const std::vector<String> V = {"haLeft", "haRight", "haCenter", "haBeforeText", "haAfterText", "haFull"};
    return V;
}

const std::vector<String>& AlignmentIdents()
{
    static const std::vector<String> V = {"taLeftJustify", "taRightJustify", "taCenter"};
    return V;
}

const std::vector<String>& VAlignmentIdents()
{
    static const std::vector<String> V = {"vtaTop", "vtaCenter", "vtaBottom"};
    return V;
}

const std::vector<String>& BrushStyleIdents()
{
    static const std::vector<String> V = {"bsSolid",      "bsClear",     "bsHorizontal", "bsVertical",
                                          "bsFDiagonal", "bsBDiagonal", "bsCross",      "bsDiagCross"};
    return V;
}

const std::vector<String>& EditorIdents()
{
    static const std::vector<String> V = {
        "edNormal",         "edSpinEdit",     "edComboEdit",      "edComboList",     "edEditBtn",
        "edCheckBox",       "edDateEdit",     "edDateEditUpDown", "edTimeEdit",      "edButton",
        "edDataCheckBox",   "edNumeric",      "edPositiveNumeric", "edFloat",        "edCapital",
        "edMixedCase",      "edPassword",     "edUnitEditBtn",    "edLowerCase",     "edUpperCase",
        "edFloatSpinEdit",  "edTimeSpinEdit", "edDateSpinEdit",   "edNumericEditBtn", "edFloatEditBtn",
        "edCustom",         "edRichEdit",     "edNone",           "edUniEdit",       "edUniComboEdit",
        "edUniComboList",   "edUniEditBtn",   "edUniMemo",        "edDateTimeEdit"};
    return V;
}

const std::vector<String>& GradientDirectionIdents()
{
    static const std::vector<String> V = {"GradientVertical", "GradientHorizontal"};
    return V;
}

const std::vector<String>& FontStyleIdents()
{
    static const std::vector<String> V = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    return V;
}

int IdentIndex(const std::vector<String>& Idents, const String& Name)
{
    for (std::size_t i = 0; i < Idents.size(); ++i)
        if (Idents[i] == Name)
            return static_cast<int>(i);
    return -1;
}

// ---- The cell stream ------------------------------------------------------

TCellStreamHeader ReadCellStreamHeader(const String& Data, std::size_t& Pos)
{
    const TStreamRecord R = ReadRecordOf(Data, Pos, "TGridPropIO");
    TCellStreamHeader H;
    H.ColCount = static_cast<Integer>(IntOf(R, "ColCount", 0));
    H.RowCount = static_cast<Integer>(IntOf(R, "RowCount", 0));
    H.FullGrid = IntOf(R, "FullGrid", 0) != 0;
    H.ID = static_cast<Integer>(IntOf(R, "ID", 0));
    if (const TStreamProperty* P = R.Find("ColWidths"))
        H.ColWidths = NumberList(P->Text);
    if (const TStreamProperty* P = R.Find("RowHeights"))
        H.RowHeights = NumberList(P->Text);
    // A block of cells reaches at most 65536 columns and rows (16-bit
    // positions); a count outside that is no block of ours.
    if (H.ColCount < 1 || H.RowCount < 1 || H.ColCount > 65536 || H.RowCount > 65536)
        FormatFailure();
    if (H.FullGrid) {
        if (static_cast<Integer>(H.ColWidths.size()) < H.ColCount)
            throw EListError("List index out of bounds (" + IntToStr(static_cast<Int64>(H.ColWidths.size())) + ")");
        if (static_cast<Integer>(H.RowHeights.size()) < H.RowCount)
            throw EListError("List index out of bounds (" + IntToStr(static_cast<Int64>(H.RowHeights.size())) + ")");
    }
    return H;
}

void ReadCellStreamEntries(const String& Data, std::size_t& Pos,
                           const std::function<void(const TCellStreamEntry&)>& Apply)
{
    // Whatever follows the last record is ignored: padding of the memory
    // block a stream travelled in, or anything not starting a record.
    while (Pos + 2 <= Data.size() && Data.compare(Pos, 4, Signature) == 0) {
        TCellStreamEntry E;
        const TStreamRecord Cell = ReadRecordOf(Data, Pos, "TGridCellIO");
        const Int64 Col = IntOf(Cell, "Col", 0);
        const Int64 Row = IntOf(Cell, "Row", 0);
        if (Col < 0 || Col > 65535 || Row < 0 || Row > 65535)
            ValueFailure();
        E.Col = static_cast<Integer>(Col);
        E.Row = static_cast<Integer>(Row);
        if (const TStreamProperty* P = Cell.Find("Cell"))
            E.Cell = P->Text;
        E.HasProp = IntOf(Cell, "HasProp", 0) != 0;
        if (E.HasProp) {
            E.Properties = ReadRecordOf(Data, Pos, "TGridCellPropIO");
            E.HasGraphic = IntOf(*E.Properties, "HasGraphic", 0) != 0;
        }
        if (E.HasGraphic) {
            E.Graphic = ReadRecordOf(Data, Pos, "TGridGraphicIO");
            const TStreamProperty* Type = E.Graphic->Find("CellGraphic.CellType");
            if (Type && IdentIndex(CellTypeIdents(), Type->Text) < 0)
                ValueFailure();
            const TStreamProperty* V;
            for (const char* Name : {"CellGraphic.CellVAlign", "CellGraphic.CellHAlign"})
                if ((V = E.Graphic->Find(Name)) &&
                    IdentIndex(String(Name) == "CellGraphic.CellVAlign" ? CellVAlignIdents() : CellHAlignIdents(),
                               V->Text) < 0)
                    ValueFailure();
            const String TypeName = Type ? Type->Text : String("ctNone");
            if (const char* Class = ObjectRecordClass(TypeName))
                E.Object = ReadRecordOf(Data, Pos, Class);
        }
        Apply(E);
    }
}

bool CellStreamDestination(Integer Col, Integer Row, Integer OriginCol, Integer OriginRow, Integer PointCol,
                           Integer PointRow, Integer ColCount, Integer RowCount, Integer& DestCol, Integer& DestRow)
{
    const Int64 C = static_cast<Int64>(Col) - OriginCol + PointCol;
    const Int64 R = static_cast<Int64>(Row) - OriginRow + PointRow;
    if (C < 0 || R < 0 || C >= ColCount || R >= RowCount)
        return false;
    DestCol = static_cast<Integer>(C);
    DestRow = static_cast<Integer>(R);
    return true;
}
