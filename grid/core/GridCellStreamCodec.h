#pragma once
// The component records of the grid's binary cell stream: each record is
// "TPF0", a class name, an empty component name, typed property entries and
// two end markers. This unit writes and reads such records and splits a whole
// cell stream into its header and cell entries. It needs no window and no
// Win32 call, so it also builds natively to run under the sanitizers.

#include <optional>
#include <vector>

#include "framework/Types.h"

// The type byte in front of every property value.
enum class TStreamValueKind : Byte {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
};

// One property entry as read: integers and booleans in Int, the extended
// float in Float, strings, identifiers and binary data in Text, list items
// and set elements in Items.
struct TStreamProperty {
    String Name;
    TStreamValueKind Kind = TStreamValueKind::vaNull;
    Int64 Int = 0;
    double Float = 0.0;
    String Text;
    std::vector<String> Items;

    bool IsInteger() const;
    bool IsBoolean() const;
    bool IsString() const;
};

struct TStreamRecord {
    String ClassName;
    std::vector<TStreamProperty> Properties;

    // The property of that name, or null.
    const TStreamProperty* Find(const String& Name) const;
};

// Writes records into a byte string, one property at a time, by the rules of
// the component writer: integers in the smallest type that holds them, a
// colour with a name as an identifier, strings short up to 255 bytes,
// empty strings and zero floats omitted.
class TComponentRecordWriter {
public:
    void BeginRecord(const String& ClassName);
    void EndRecord();

    void WriteInteger(const String& Name, Int64 Value);
    void WriteColor(const String& Name, Integer Value);
    void WriteBoolean(const String& Name, bool Value);
    void WriteIdent(const String& Name, const String& Value);
    // Omitted when empty.
    void WriteString(const String& Name, const String& Value);
    // Omitted when 0.
    void WriteFloat(const String& Name, double Value);
    void WriteSet(const String& Name, const std::vector<String>& Elements);
    // Omitted when empty.
    void WriteBinary(const String& Name, const String& Data);
    // A list of strings; omitted when it has no items.
    void WriteStringList(const String& Name, const std::vector<String>& Items);

    const String& Bytes() const { return FBytes; }

private:
    void WriteName(const String& S);
    void WriteStringValue(const String& S);
    void WriteInt32(Integer V);

    String FBytes;
};

// Reads one record starting at Pos and moves Pos past it. A wrong signature
// raises EReadError "Invalid stream format"; running out of bytes raises
// EReadError "Stream read error".
TStreamRecord ReadComponentRecord(const String& Data, std::size_t& Pos);

// The 80-bit x87 extended form of a double (10 bytes, little-endian) and back.
String DoubleToExtended(double Value);
double ExtendedToDouble(const Byte* Bytes);

// A colour's name when it has one (clNone, clYellow, clWindow, ...), else empty.
String ColorIdent(Integer Color);
// The colour of a name; false when the name is none of them.
bool IdentToColor(const String& Name, Integer& Color);

// ---- The cell stream as a whole ----

struct TCellStreamHeader {
    Integer ColCount = 0;
    Integer RowCount = 0;
    std::vector<Integer> ColWidths;
    std::vector<Integer> RowHeights;
    bool FullGrid = false;
    Integer ID = 0;
};

// One cell of the stream with the records that follow it.
struct TCellStreamEntry {
    Integer Col = 0;
    Integer Row = 0;
    String Cell;
    bool HasProp = false;
    bool HasGraphic = false;
    std::optional<TStreamRecord> Properties;   // TGridCellPropIO
    std::optional<TStreamRecord> Graphic;      // TGridGraphicIO
    std::optional<TStreamRecord> Object;       // the graphic's object record
};

// Reads and checks the header record at Pos: a FullGrid header must list a
// width for every column and a height for every row, and the counts must
// lie within 1 .. 65536. Errors raise EReadError, EConvertError or EListError.
TCellStreamHeader ReadCellStreamHeader(const String& Data, std::size_t& Pos);

// Reads the cell entries that follow the header while a record follows;
// bytes after the last record are ignored. Each entry is handed to Apply as
// soon as it is whole. Errors raise after the entries before them were applied.
void ReadCellStreamEntries(const String& Data, std::size_t& Pos,
                           const std::function<void(const TCellStreamEntry&)>& Apply);

// The graphic type names in the order of the cell-type enumeration, and the
// names of the property enumerations carried in the records.
const std::vector<String>& CellTypeIdents();
const std::vector<String>& CellVAlignIdents();
const std::vector<String>& CellHAlignIdents();
const std::vector<String>& AlignmentIdents();
const std::vector<String>& VAlignmentIdents();
const std::vector<String>& BrushStyleIdents();
const std::vector<String>& EditorIdents();
const std::vector<String>& GradientDirectionIdents();
const std::vector<String>& FontStyleIdents();
// The index of Name in Idents, -1 when absent.
int IdentIndex(const std::vector<String>& Idents, const String& Name);

// Where a cell of the stream lands: (Col - Origin + Point) on both axes;
// false when that lies outside 0 .. ColCount - 1, 0 .. RowCount - 1.
bool CellStreamDestination(Integer Col, Integer Row, Integer OriginCol, Integer OriginRow, Integer PointCol,
                           Integer PointRow, Integer ColCount, Integer RowCount, Integer& DestCol, Integer& DestRow);
