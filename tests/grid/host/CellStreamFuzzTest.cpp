// The binary cell stream reader over generated and damaged streams: it
// either reads a stream or raises one of the library's errors, and never
// places a cell outside the destination.

#include <gtest/gtest.h>

#include <random>

#include "framework/Exception.h"
#include "grid/core/GridCellStreamCodec.h"

namespace {

// A stream as the grid writes it, of random cells, properties and graphics.
String GenerateStream(std::mt19937& Rng)
{
    const int Cols = 1 + static_cast<int>(Rng() % 6);
    const int Rows = 1 + static_cast<int>(Rng() % 6);
    TComponentRecordWriter W;
    W.BeginRecord("TGridPropIO");
    W.WriteInteger("ColCount", Cols);
    W.WriteInteger("RowCount", Rows);
    String Widths, Heights;
    for (int i = 0; i < Cols; ++i)
        Widths += (i ? "," : "") + std::to_string(Rng() % 300);
    for (int i = 0; i < Rows; ++i)
        Heights += (i ? "," : "") + std::to_string(Rng() % 40);
    W.WriteString("ColWidths", Widths);
    W.WriteString("RowHeights", Heights);
    W.WriteBoolean("FullGrid", Rng() % 2);
    W.WriteInteger("ID", static_cast<Integer>(Rng()));
    W.EndRecord();
    const char* Types[] = {"ctCheckBox", "ctRadio", "ctImages", "ctBitmap", "ctFilePicture", "ctProgress", "ctIcon",
                           "ctPicture"};
    for (int R = 0; R < Rows; ++R)
        for (int C = 0; C < Cols; ++C) {
            if (Rng() % 3 == 0)
                continue;
            const bool HasProp = Rng() % 2;
            W.BeginRecord("TGridCellIO");
            W.WriteInteger("Col", C + static_cast<int>(Rng() % 3) * 30000);
            W.WriteInteger("Row", R);
            W.WriteString("Cell", String(Rng() % 20, 'x'));
            W.WriteBoolean("HasProp", HasProp);
            W.EndRecord();
            if (!HasProp)
                continue;
            const bool HasGraphic = Rng() % 2;
            W.BeginRecord("TGridCellPropIO");
            W.WriteColor("CellProperties.BrushColor", Rng() % 2 ? 0x1FFFFFFF : static_cast<Integer>(Rng()));
            W.WriteIdent("CellProperties.Alignment", "taCenter");
            W.WriteSet("CellProperties.FontStyle", {"fsBold"});
            W.WriteString("CellProperties.FontName", "Tahoma");
            W.WriteBoolean("HasGraphic", HasGraphic);
            W.EndRecord();
            if (!HasGraphic)
                continue;
            const String Type = Types[Rng() % 8];
            W.BeginRecord("TGridGraphicIO");
            W.WriteIdent("CellGraphic.CellType", Type);
            W.WriteFloat("CellGraphic.CellValue", (Rng() % 100) / 3.0);
            W.WriteString("CellGraphic.CellText", "t");
            W.EndRecord();
            if (Type == "ctRadio" || Type == "ctImages") {
                W.BeginRecord("TGridSLIO");
                W.WriteStringList("Strings.Strings", {"1", String(300, '2')});
                W.EndRecord();
            } else if (Type == "ctBitmap") {
                W.BeginRecord("TGridBMPIO");
                W.WriteBinary("Bitmap.Data", String(20, 'B'));
                W.EndRecord();
            } else if (Type == "ctFilePicture") {
                W.BeginRecord("TGridFilePicIO");
                W.WriteString("Picture.Filename", "a.png");
                W.EndRecord();
            } else if (Type == "ctIcon") {
                W.BeginRecord("TGridIconIO");
                W.EndRecord();
            } else if (Type == "ctPicture") {
                W.BeginRecord("TGridPicIO");
                W.WriteBinary("Picture.Data", String(1, '\0'));
                W.EndRecord();
            }
        }
    return W.Bytes();
}

String Mutate(String S, std::mt19937& Rng)
{
    const int Steps = 1 + static_cast<int>(Rng() % 4);
    for (int i = 0; i < Steps && !S.empty(); ++i) {
        const std::size_t At = Rng() % S.size();
        switch (Rng() % 6) {
        case 0: S[At] = static_cast<char>(Rng()); break;
        case 1: S[At] = static_cast<char>(S[At] ^ (1 << (Rng() % 8))); break;
        case 2: S.erase(At, 1 + Rng() % 8); break;
        case 3: S.insert(At, String(1 + Rng() % 4, static_cast<char>(Rng()))); break;
        case 4: S.resize(At); break;
        case 5: S[At] = static_cast<char>(Rng() % 13); break;   // a value type byte
        }
    }
    return S;
}

// Reads Bytes into a model grid of Cols x Rows at Point, as the grid does.
void ReadIntoModel(const String& Bytes, int Cols, int Rows, int PointCol, int PointRow, std::vector<String>& Cells)
{
    std::size_t Pos = 0;
    const TCellStreamHeader H = ReadCellStreamHeader(Bytes, Pos);
    if (H.FullGrid) {
        Cols = H.ColCount;
        Rows = H.RowCount;
        PointCol = PointRow = 0;
        ASSERT_GE(H.ColWidths.size(), static_cast<std::size_t>(Cols));
        ASSERT_GE(H.RowHeights.size(), static_cast<std::size_t>(Rows));
        Cells.assign(static_cast<std::size_t>(Cols) * static_cast<std::size_t>(Rows), String());
    }
    bool OriginKnown = H.FullGrid;
    Integer OC = 0, OR = 0;
    ReadCellStreamEntries(Bytes, Pos, [&](const TCellStreamEntry& E) {
        if (!OriginKnown) {
            OC = E.Col;
            OR = E.Row;
            OriginKnown = true;
        }
        Integer DC = -1, DR = -1;
        if (!CellStreamDestination(E.Col, E.Row, OC, OR, PointCol, PointRow, Cols, Rows, DC, DR))
            return;
        ASSERT_TRUE(DC >= 0 && DC < Cols && DR >= 0 && DR < Rows);
        Cells.at(static_cast<std::size_t>(DR) * static_cast<std::size_t>(Cols) + static_cast<std::size_t>(DC)) =
            E.Cell;
        if (E.HasGraphic) {
            ASSERT_TRUE(E.Graphic.has_value());
        }
    });
    EXPECT_LE(Pos, Bytes.size());
}

TEST(CellStreamFuzz, GeneratedAndMutatedStreams)
{
    std::mt19937 Rng(0x5eed23);
    int Read = 0;
    int Refused = 0;
    for (int i = 0; i < 100000; ++i) {
        String Bytes = GenerateStream(Rng);
        if (i % 10 != 0)
            Bytes = Mutate(std::move(Bytes), Rng);
        std::vector<String> Cells(16);
        try {
            ReadIntoModel(Bytes, 4, 4, static_cast<int>(Rng() % 6) - 1, static_cast<int>(Rng() % 6) - 1, Cells);
            ++Read;
        } catch (const Exception&) {
            ++Refused;
        }
        if (::testing::Test::HasFatalFailure())
            FAIL() << "input " << i;
    }
    // Both outcomes must have occurred, or the generator or the mutator is broken.
    EXPECT_GT(Read, 10000);
    EXPECT_GT(Refused, 10000);
}

TEST(CellStreamFuzz, RandomBytes)
{
    std::mt19937 Rng(77);
    for (int i = 0; i < 20000; ++i) {
        String Bytes = "TPF0";
        const std::size_t Len = Rng() % 64;
        for (std::size_t k = 0; k < Len; ++k)
            Bytes += static_cast<char>(Rng());
        std::vector<String> Cells(4);
        try {
            ReadIntoModel(Bytes, 2, 2, 0, 0, Cells);
        } catch (const Exception&) {
        }
        if (::testing::Test::HasFatalFailure())
            FAIL() << "input " << i;
    }
}

TEST(CellStreamCodec, ExtendedFloatsRoundTrip)
{
    const double Values[] = {1.5, -2.25, 0.1, 1e300, -1e-300, 123456789.125, 5e-324};
    for (double V : Values) {
        const String E = DoubleToExtended(V);
        ASSERT_EQ(E.size(), 10u);
        EXPECT_EQ(ExtendedToDouble(reinterpret_cast<const Byte*>(E.data())), V) << V;
    }
    // 1.0: integer bit set, exponent 0x3FFF.
    EXPECT_EQ(DoubleToExtended(1.0), String("\0\0\0\0\0\0\0\x80\xff\x3f", 10));
    EXPECT_EQ(DoubleToExtended(-3.0), String("\0\0\0\0\0\0\0\xc0\x00\xc0", 10));
}

TEST(CellStreamCodec, ColourNames)
{
    Integer C = 0;
    ASSERT_TRUE(IdentToColor("clWindow", C));
    EXPECT_EQ(static_cast<std::uint32_t>(C), 0xFF000005u);
    EXPECT_EQ(ColorIdent(0x1FFFFFFF), "clNone");
    EXPECT_EQ(ColorIdent(0x00FFFF), "clYellow");
    EXPECT_EQ(ColorIdent(0x123456), "");
    EXPECT_FALSE(IdentToColor("clNothing", C));
}

} // namespace
