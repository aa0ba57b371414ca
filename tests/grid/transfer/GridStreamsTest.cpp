// The grid's text stream and binary cell stream: their exact bytes, round
// trips of random grids through both, and reading damaged or foreign blocks.

#include <gtest/gtest.h>

#include <random>

#include "framework/Bitmap.h"
#include "framework/Icon.h"
#include "framework/Panel.h"
#include "framework/Stream.h"
#include "grid/core/ProGrid.h"

namespace {

std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(0);
    G->SetFixedRows(0);
    return G;
}

String StreamBytes(TMemoryStream& S)
{
    return String(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size()));
}

// Reads a cell stream held in Bytes into G at (0, 0).
void ReadInto(TProStringGrid* G, const String& Bytes)
{
    TMemoryStream M;
    M.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    M.SetPosition(0);
    G->ReadCellBinaryStream(TPoint{0, 0}, &M);
}

// Length-prefixed name, as the records store names and short strings.
String N(const String& S) { return String(1, static_cast<char>(S.size())) + S; }
String Str(const String& S) { return "\x06" + N(S); }
String Ident(const String& S) { return "\x07" + N(S); }
String I8(int V) { return String("\x02") + static_cast<char>(V); }
const String False = "\x08";
const String True = "\x09";
String Record(const String& Class, const String& Props) { return "TPF0" + N(Class) + String(1, '\0') + Props + String(2, '\0'); }
String Le32(std::uint32_t V)
{
    String S;
    for (int i = 0; i < 4; ++i)
        S += static_cast<char>((V >> (8 * i)) & 0xFF);
    return S;
}
String Bin(const String& Bytes) { return "\x0a" + Le32(static_cast<std::uint32_t>(Bytes.size())) + Bytes; }

// An ICO file of one 2 x 2 image of 32-bit pixels, all of one colour
// (blue, green, red, alpha), with its AND mask.
String IconFile(Byte B, Byte G, Byte R)
{
    String Image = Le32(40) + Le32(2) + Le32(4) + String("\x01\x00\x20\x00", 4) + Le32(0) + Le32(0) + Le32(0) +
                   Le32(0) + Le32(0) + Le32(0);
    for (int i = 0; i < 4; ++i)
        Image += String{static_cast<char>(B), static_cast<char>(G), static_cast<char>(R), '\xff'};
    Image += String(8, '\0');   // AND mask: two rows of 4 bytes, all opaque
    const String Header = String("\x00\x00\x01\x00\x01\x00", 6);
    const String Entry = String("\x02\x02\x00\x00\x01\x00\x20\x00", 8) + Le32(static_cast<std::uint32_t>(Image.size())) + Le32(22);
    return Header + Entry + Image;
}

// The graphic record of a created graphic of a type, all else at defaults.
String GraphicRecord(const String& Type)
{
    const String K = "CellGraphic.";
    return Record("TGridGraphicIO", N(K + "CellType") + Ident(Type) + N(K + "CellVAlign") + Ident("vaTop") +
                                        N(K + "CellHAlign") + Ident("haLeft") + N(K + "CellIndex") + I8(0) +
                                        N(K + "CellTransparent") + False + N(K + "CellCreated") + True +
                                        N(K + "CellBoolean") + False + N(K + "CellAngle") + I8(0) +
                                        N(K + "CellErrFrom") + I8(0) + N(K + "CellErrLen") + I8(0));
}

// Cells (0, 0) an icon, (1, 0) a picture holding an icon, (2, 0) a
// picture without graphic: all created by the grid.
std::unique_ptr<TProStringGrid> IconAndPictureGrid(const String& Ico, const String& PictureIco)
{
    auto G = MakeGrid(3, 1);
    TCellGraphic* I = G->NewCellGraphic(0, 0);
    I->CellType = ctIcon;
    I->CellCreated = true;
    auto* Icon = new TIcon();
    Icon->LoadFromBytes(Ico);
    I->CellIcon = Icon;
    TCellGraphic* P = G->NewCellGraphic(1, 0);
    P->CellType = ctPicture;
    P->CellCreated = true;
    auto* Pic = new TPicture();
    auto Inner = std::make_unique<TIcon>();
    Inner->LoadFromBytes(PictureIco);
    Pic->SetGraphic(std::move(Inner));
    P->CellBitmap = Pic;
    TCellGraphic* E = G->NewCellGraphic(2, 0);
    E->CellType = ctPicture;
    E->CellCreated = true;
    E->CellBitmap = new TPicture();
    return G;
}

TEST(GridTextStream, WritesCountsWidthsAndEscapedCellLines)
{
    auto G = MakeGrid(2, 2);
    G->SetColWidths(0, 64);
    G->SetColWidths(1, 30);
    G->SetCells(0, 0, "a,b");
    G->SetCells(1, 1, "x\r\ny");
    TMemoryStream S;
    G->WriteGridTextStream(&S);
    EXPECT_EQ(StreamBytes(S), "2,2\r\ncw 0,64\r\ncw 1,30\r\n0,0,a,b\r\n1,1,x\t\by\r\n");
}

TEST(GridTextStream, ReadsLinesAndStopsAtALineWithoutPosition)
{
    struct Case {
        const char* Name;
        bool Multiline;
        const char* Bytes;
        const char* Cell11;
        long long StopsAt;   // stream position after reading
    };
    const Case Cases[] = {
        {"multi-line kept", true, "3,3\r\ncw 1,40\r\n1,1,x\t\by\r\n", "x\r\ny", -1},
        {"first line only", false, "3,3\r\n1,1,x\t\by\r\n", "x", -1},
        {"tab without BS stays", true, "3,3\r\n1,1,a\tb\r\n", "a\tb", -1},
        {"lone LF belongs to the line", true, "3,3\r\n1,1,a\nb\r\n", "a\nb", -1},
        {"empty row field stops", true, "3,3\r\n1,1,q\r\n1,,z\r\n2,2,w\r\n", "q", 12},
        {"line without comma stops", true, "3,3\r\nend\r\n1,1,z\r\n", "", 5},
        {"cell outside the grid is dropped", true, "3,3\r\n7,1,z\r\n1,1,k\r\n", "k", -1},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(1, 1);
        G->Multilinecells = C.Multiline;
        TMemoryStream S;
        const String B = C.Bytes;
        S.WriteBuffer(B.data(), static_cast<Integer>(B.size()));
        S.SetPosition(0);
        G->ReadGridTextStream(&S);
        EXPECT_EQ(G->ColCount(), 3) << C.Name;
        EXPECT_EQ(G->Cells(1, 1), C.Cell11) << C.Name;
        EXPECT_EQ(S.Position(), C.StopsAt < 0 ? S.Size() : C.StopsAt) << C.Name;
    }
}

TEST(GridTextStream, MalformedNumberRaisesConversionError)
{
    auto G = MakeGrid(2, 2);
    TMemoryStream S;
    const String B = "2,2\r\ncw x,5\r\n";
    S.WriteBuffer(B.data(), static_cast<Integer>(B.size()));
    S.SetPosition(0);
    EXPECT_THROW(G->ReadGridTextStream(&S), EConvertError);
}

TEST(GridTextStream, AssignCellsCopiesSaveTextsAndClearsOldOnes)
{
    auto Src = MakeGrid(3, 2);
    Src->SetCells(0, 0, "one");
    Src->SetCells(2, 1, "two");
    Src->SetColWidths(2, 77);
    int Loaded = 0;
    auto Dst = MakeGrid(4, 4);
    Dst->SetCells(1, 1, "stale");
    Dst->OnLoadCell = [&](TObject*, int, int, String& V) {
        ++Loaded;
        V += "!";
    };
    Dst->AssignCells(Src.get());
    EXPECT_EQ(Dst->ColCount(), 3);
    EXPECT_EQ(Dst->RowCount(), 2);
    EXPECT_EQ(Dst->ColWidths(2), 77);
    EXPECT_EQ(Dst->Cells(0, 0), "one!");
    EXPECT_EQ(Dst->Cells(2, 1), "two!");
    EXPECT_EQ(Dst->Cells(1, 1), "");
    EXPECT_EQ(Loaded, 2);
}

TEST(GridTextStream, RandomGridsSurviveTheRoundTrip)
{
    std::mt19937 Rng(23);
    const String Alphabet = "ab ,;\"|xyz019\xb0\xa1";
    for (int Round = 0; Round < 40; ++Round) {
        auto Src = MakeGrid(1 + Rng() % 7, 1 + Rng() % 9);
        Src->Multilinecells = true;
        for (int C = 0; C < Src->ColCount(); ++C)
            Src->SetColWidths(C, 5 + Rng() % 200);
        for (int R = 0; R < Src->RowCount(); ++R)
            for (int C = 0; C < Src->ColCount(); ++C) {
                String T;
                const int Len = Rng() % 6;
                for (int i = 0; i < Len; ++i)
                    T += Alphabet[Rng() % Alphabet.size()];
                if (Rng() % 5 == 0 && !T.empty())
                    T += "\r\nline";
                Src->SetCells(C, R, T);
            }
        TMemoryStream S;
        Src->WriteGridTextStream(&S);
        S.SetPosition(0);
        auto Dst = MakeGrid(2, 2);
        Dst->Multilinecells = true;
        Dst->ReadGridTextStream(&S);
        ASSERT_EQ(Dst->ColCount(), Src->ColCount()) << "round " << Round;
        ASSERT_EQ(Dst->RowCount(), Src->RowCount()) << "round " << Round;
        for (int C = 0; C < Src->ColCount(); ++C)
            EXPECT_EQ(Dst->ColWidths(C), Src->ColWidths(C)) << "round " << Round;
        for (int R = 0; R < Src->RowCount(); ++R)
            for (int C = 0; C < Src->ColCount(); ++C)
                EXPECT_EQ(Dst->Cells(C, R), Src->Cells(C, R)) << "round " << Round << " cell " << C << "," << R;
    }
}

// A two-cell block: a plain text and a cell with properties and a check box
// whose value needs the extended float.
TEST(GridCellBinaryStream, WritesTheExactRecords)
{
    auto G = MakeGrid(3, 2);
    G->SetColWidths(0, 50);
    G->SetColWidths(1, 300);
    G->SetRowHeights(0, 20);
    G->SetCells(0, 0, "hi");
    TCellProperties* P = G->EnsureCellProperties(1, 0);
    P->IsBaseCell = true;
    P->CellSpanX = -1;
    P->CellSpanY = -1;
    P->Alignment = taCenter;
    P->BorderColor = clRed;
    P->BorderWidth = 2;
    P->SetBrushColor(0x123456);
    P->SetBrushColorTo(clNone);
    P->BrushStyle = TBrushStyle::bsSolid;
    P->FontColor = clWindowText;
    P->FontName = "Arial";
    P->FontSize = 9;
    P->FontStyle = TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic};
    P->Editor = edNormal;
    P->GradientDirection = GradientVertical;
    P->ReadOnly = false;
    P->SetVAlignment(vtaTop);
    P->SetWordWrap(true);
    P->NodeLevel = 0;
    TCellGraphic* Gr = G->NewCellGraphic(1, 0);
    Gr->CellType = ctCheckBox;
    Gr->CellBoolean = true;
    Gr->CellValue = 1.5;

    TMemoryStream S;
    G->WriteCellBinaryStream(TRect{0, 0, 1, 0}, &S);

    const String Header = Record("TGridPropIO", N("ColCount") + I8(2) + N("RowCount") + I8(1) + N("ColWidths") +
                                                    Str("50,300") + N("RowHeights") + Str("20") + N("FullGrid") +
                                                    False + N("ID") + I8(0));
    const String Cell1 =
        Record("TGridCellIO", N("Col") + I8(0) + N("Row") + I8(0) + N("Cell") + Str("hi") + N("HasProp") + False);
    const String Cell2 = Record("TGridCellIO", N("Col") + I8(1) + N("Row") + I8(0) + N("HasProp") + True);
    const String C = "CellProperties.";
    const String Props = Record(
        "TGridCellPropIO",
        N(C + "IsBaseCell") + True + N(C + "CellSpanX") + I8(-1) + N(C + "CellSpanY") + I8(-1) + N(C + "Alignment") +
            Ident("taCenter") + N(C + "BorderColor") + Ident("clRed") + N(C + "BorderWidth") + I8(2) +
            N(C + "BrushColor") + String("\x04\x56\x34\x12\x00", 5) + N(C + "BrushColorTo") + Ident("clNone") +
            N(C + "BrushStyle") + Ident("bsSolid") + N(C + "FontColor") + Ident("clWindowText") + N(C + "FontName") +
            Str("Arial") + N(C + "FontSize") + I8(9) + N(C + "FontStyle") + "\x0b" + N("fsBold") + N("fsItalic") +
            String(1, '\0') + N(C + "Editor") + Ident("edNormal") + N(C + "GradientDirection") +
            Ident("GradientVertical") + N(C + "ReadOnly") + False + N(C + "VAlignment") + Ident("vtaTop") +
            N(C + "WordWrap") + True + N(C + "NodeLevel") + I8(0) + N("HasGraphic") + True);
    const String K = "CellGraphic.";
    const String Graphic = Record(
        "TGridGraphicIO", N(K + "CellType") + Ident("ctCheckBox") + N(K + "CellVAlign") + Ident("vaTop") +
                              N(K + "CellHAlign") + Ident("haLeft") + N(K + "CellIndex") + I8(0) +
                              N(K + "CellTransparent") + False + N(K + "CellCreated") + False +
                              N(K + "CellBoolean") + True + N(K + "CellAngle") + I8(0) + N(K + "CellValue") +
                              String("\x05\x00\x00\x00\x00\x00\x00\x00\xc0\xff\x3f", 11) + N(K + "CellErrFrom") +
                              I8(0) + N(K + "CellErrLen") + I8(0));
    const String Expected = Header + Cell1 + Cell2 + Props + Graphic;
    const String Got = StreamBytes(S);
    ASSERT_EQ(Got.size(), Expected.size());
    for (std::size_t i = 0; i < Got.size(); ++i)
        ASSERT_EQ(static_cast<int>(static_cast<unsigned char>(Got[i])),
                  static_cast<int>(static_cast<unsigned char>(Expected[i])))
            << "byte " << i;
}

TEST(GridCellBinaryStream, IntegersTakeTheSmallestTypeAndWideColoursAreNumbers)
{
    auto G = MakeGrid(1, 1);
    TCellProperties* P = G->EnsureCellProperties(0, 0);
    P->BorderWidth = 200;           // 16-bit
    P->FontSize = 70000;            // 32-bit
    P->FontColor = 0x0102FE;        // no colour name
    TMemoryStream S;
    G->WriteCellBinaryStream(TRect{0, 0, 0, 0}, &S);
    const String B = StreamBytes(S);
    EXPECT_NE(B.find(N("CellProperties.BorderWidth") + String("\x03\xc8\x00", 3)), String::npos);
    EXPECT_NE(B.find(N("CellProperties.FontSize") + String("\x04\x70\x11\x01\x00", 5)), String::npos);
    EXPECT_NE(B.find(N("CellProperties.FontColor") + String("\x04\xfe\x02\x01\x00", 5)), String::npos);
    EXPECT_NE(B.find(N("FullGrid") + True), String::npos);
}

// Random texts, properties and graphics of a whole grid read into another.
TEST(GridCellBinaryStream, RandomGridsSurviveTheRoundTrip)
{
    std::mt19937 Rng(2023);
    const TColor Colors[] = {clNone, clRed, clWindow, 0x123456, 0x7F, clInfoBk};
    for (int Round = 0; Round < 30; ++Round) {
        auto Src = MakeGrid(1 + Rng() % 6, 1 + Rng() % 6);
        for (int R = 0; R < Src->RowCount(); ++R)
            for (int C = 0; C < Src->ColCount(); ++C) {
                if (Rng() % 3)
                    Src->SetCells(C, R, String(Rng() % 300, static_cast<char>('a' + Rng() % 26)));
                if (Rng() % 2 == 0) {
                    TCellProperties* P = Src->EnsureCellProperties(C, R);
                    P->Alignment = static_cast<TAlignment>(Rng() % 3);
                    P->SetBrushColor(Colors[Rng() % 6]);
                    P->FontColor = Colors[Rng() % 6];
                    P->FontSize = static_cast<int>(Rng() % 40000) - 100;
                    P->FontStyle = Rng() % 2 ? TFontStyles{TFontStyle::fsUnderline} : TFontStyles{};
                    P->ReadOnly = Rng() % 2;
                    P->Editor = static_cast<TEditorType>(Rng() % 34);
                    P->FontName = Rng() % 2 ? "Tahoma" : "";
                    const int Kind = Rng() % 4;
                    if (Kind == 1) {
                        Src->PutCheckBox(C, R, Rng() % 2, false);
                        Src->GetCellGraphic(C, R)->CellValue = (Rng() % 1000) / 8.0 - 20;
                    } else if (Kind == 2) {
                        TCellGraphic* Gr = Src->NewCellGraphic(C, R);
                        Gr->CellType = ctRadio;
                        Gr->CellCreated = true;
                        auto* L = new TStringList();
                        L->Add("one");
                        L->Add(String(Rng() % 400, 'r'));
                        Gr->CellBitmap = L;
                        Gr->CellIndex = Rng() % 2;
                    } else if (Kind == 3) {
                        TCellGraphic* Gr = Src->NewCellGraphic(C, R);
                        Gr->CellType = ctImages;
                        Gr->CellCreated = true;
                        auto* L = new TIntList(C, R);
                        L->Add(static_cast<int>(Rng() % 50));
                        L->Add(-7);
                        Gr->CellBitmap = L;
                    }
                }
            }
        TMemoryStream S;
        Src->WriteCellBinaryStream(TRect{0, 0, Src->ColCount() - 1, Src->RowCount() - 1}, &S);
        S.SetPosition(0);
        auto Dst = MakeGrid(9, 9);
        Dst->SetCells(8, 8, "gone");
        Dst->ReadCellBinaryStream(TPoint{3, 3}, &S);
        const std::string Where = "round " + std::to_string(Round);
        ASSERT_EQ(Dst->ColCount(), Src->ColCount()) << Where;
        ASSERT_EQ(Dst->RowCount(), Src->RowCount()) << Where;
        for (int R = 0; R < Src->RowCount(); ++R)
            for (int C = 0; C < Src->ColCount(); ++C) {
                const std::string At = Where + " cell " + std::to_string(C) + "," + std::to_string(R);
                EXPECT_EQ(Dst->Cells(C, R), Src->Cells(C, R)) << At;
                const TCellProperties* A = Src->CellProperties(C, R);
                const TCellProperties* B = Dst->CellProperties(C, R);
                ASSERT_EQ(A != nullptr, B != nullptr) << At;
                if (!A)
                    continue;
                EXPECT_EQ(B->Alignment, A->Alignment) << At;
                EXPECT_EQ(B->BrushColor(), A->BrushColor()) << At;
                EXPECT_EQ(B->FontColor, A->FontColor) << At;
                EXPECT_EQ(B->FontSize, A->FontSize) << At;
                EXPECT_TRUE(B->FontStyle == A->FontStyle) << At;
                EXPECT_EQ(B->ReadOnly, A->ReadOnly) << At;
                EXPECT_EQ(B->Editor, A->Editor) << At;
                const TCellGraphic* GA = A->GraphicObject;
                const TCellGraphic* GB = B->GraphicObject;
                ASSERT_EQ(GA != nullptr, GB != nullptr) << At;
                if (!GA)
                    continue;
                EXPECT_EQ(GB->CellType, GA->CellType) << At;
                EXPECT_EQ(GB->CellBoolean, GA->CellBoolean) << At;
                EXPECT_EQ(GB->CellIndex, GA->CellIndex) << At;
                EXPECT_DOUBLE_EQ(GB->CellValue, GA->CellValue) << At;
                if (GA->CellType == ctRadio) {
                    const auto* LA = dynamic_cast<const TStrings*>(GA->CellBitmap);
                    const auto* LB = dynamic_cast<const TStrings*>(GB->CellBitmap);
                    ASSERT_NE(LB, nullptr) << At;
                    EXPECT_EQ(LB->CommaText(), LA->CommaText()) << At;
                }
                if (GA->CellType == ctImages) {
                    const auto* LB = dynamic_cast<const TIntList*>(GB->CellBitmap);
                    ASSERT_NE(LB, nullptr) << At;
                    ASSERT_EQ(LB->Count(), 2) << At;
                    EXPECT_EQ(LB->GetInteger(1), -7) << At;
                }
            }
    }
}

TEST(GridCellBinaryStream, BitmapTravelsWithItsPixels)
{
    auto Src = MakeGrid(2, 2);
    TCellGraphic* Gr = Src->NewCellGraphic(1, 1);
    Gr->CellType = ctBitmap;
    Gr->CellCreated = true;
    auto* Bmp = new TBitmap(3, 2, TPixelFormat::pf24bit);
    Bmp->ScanLine(1)[3] = 0x5A;
    Gr->CellBitmap = Bmp;
    TMemoryStream S;
    Src->WriteCellBinaryStream(TRect{1, 1, 1, 1}, &S);
    S.SetPosition(0);
    auto Dst = MakeGrid(4, 4);
    Dst->ReadCellBinaryStream(TPoint{2, 0}, &S);
    const TCellGraphic* Got = Dst->GetCellGraphic(2, 0);
    ASSERT_NE(Got, nullptr);
    auto* B = dynamic_cast<TBitmap*>(Got->CellBitmap);
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Width(), 3);
    EXPECT_EQ(B->Height(), 2);
    EXPECT_EQ(B->ScanLine(1)[3], 0x5A);
}

// A block is placed relative to its first record: cells that would land
// outside the destination grid are dropped, never written.
TEST(GridCellBinaryStream, CellsPastTheGridEdgeAreDropped)
{
    auto Src = MakeGrid(4, 4);
    Src->SetCells(1, 1, "first");
    Src->SetCells(0, 2, "left of first");
    Src->SetCells(3, 3, "far");
    TMemoryStream S;
    Src->WriteCellBinaryStream(TRect{0, 0, 3, 2}, &S);   // rows 0..2 of a 4-row grid: not the full grid
    S.SetPosition(0);
    auto Dst = MakeGrid(3, 3);
    Dst->ReadCellBinaryStream(TPoint{0, 2}, &S);
    EXPECT_EQ(Dst->Cells(0, 2), "first");
    // (0, 2) - origin (1, 1) + point (0, 2) = (-1, 3): outside, dropped.
    for (int R = 0; R < 3; ++R)
        for (int C = 0; C < 3; ++C)
            if (!(C == 0 && R == 2)) {
                EXPECT_EQ(Dst->Cells(C, R), "") << C << "," << R;
            }
}

TEST(GridCellBinaryStream, BlockBeyond16BitPositionsIsRefused)
{
    auto G = MakeGrid(2, 70000);
    TMemoryStream S;
    EXPECT_THROW(G->WriteCellBinaryStream(TRect{0, 65530, 1, 65540}, &S), EProGridError);
    EXPECT_EQ(S.Size(), 0);
}

// Two graphics in one stream: the second record omits CellValue (0) and
// must not take the first one's value.
TEST(GridCellBinaryStream, GraphicRecordDoesNotInheritThePreviousOne)
{
    auto Src = MakeGrid(2, 1);
    Src->PutCheckBox(0, 0, true, false);
    Src->GetCellGraphic(0, 0)->CellValue = 42.25;
    Src->GetCellGraphic(0, 0)->CellText = "note";
    Src->PutCheckBox(1, 0, false, false);
    TMemoryStream S;
    Src->WriteCellBinaryStream(TRect{0, 0, 1, 0}, &S);
    S.SetPosition(0);
    auto Dst = MakeGrid(2, 1);
    Dst->ReadCellBinaryStream(TPoint{0, 0}, &S);
    ASSERT_NE(Dst->GetCellGraphic(1, 0), nullptr);
    EXPECT_EQ(Dst->GetCellGraphic(0, 0)->CellValue, 42.25);
    EXPECT_EQ(Dst->GetCellGraphic(1, 0)->CellValue, 0.0);
    EXPECT_EQ(Dst->GetCellGraphic(1, 0)->CellText, "");
}

TEST(GridCellBinaryStream, DamagedStreams)
{
    auto Src = MakeGrid(3, 3);
    Src->SetCells(0, 0, "a");
    Src->SetCells(1, 0, "b");
    TMemoryStream S;
    Src->WriteCellBinaryStream(TRect{0, 0, 2, 2}, &S);
    const String Good = StreamBytes(S);


    {   // One trailing byte after the last record is ignored.
        auto G = MakeGrid(1, 1);
        ReadInto(G.get(), Good + "x");
        EXPECT_EQ(G->Cells(1, 0), "b");
    }
    {   // Padding after the last record (a memory block rounded up) is ignored.
        auto G = MakeGrid(1, 1);
        ReadInto(G.get(), Good + String(13, '\0') + "xy");
        EXPECT_EQ(G->Cells(1, 0), "b");
    }
    {   // A record cut short raises, naming where it starts; nothing of the
        // stream reaches the grid, not even the cells before it.
        auto G = MakeGrid(1, 1);
        const std::size_t Second = Good.find("TPF0", Good.find(N("TGridCellIO")) + 1);
        ASSERT_NE(Second, String::npos);
        try {
            ReadInto(G.get(), Good.substr(0, Second + 9));
            FAIL() << "no error";
        } catch (const EReadError& E) {
            EXPECT_EQ(E.Message, "Cell stream at byte " + std::to_string(Second) + ": Stream read error");
        }
        EXPECT_EQ(G->Cells(0, 0), "");
        EXPECT_EQ(G->ColCount(), 1);
    }
    {   // A full-grid header that lists too few widths changes nothing.
        String Bad = Good;
        const String Widths = N("ColWidths") + Str("64,64,64");
        const std::size_t At = Bad.find(Widths);
        ASSERT_NE(At, String::npos);
        Bad.replace(At, Widths.size(), N("ColWidths") + Str("64,64"));
        auto G = MakeGrid(5, 5);
        G->SetCells(4, 4, "kept");
        EXPECT_THROW(ReadInto(G.get(), Bad), EListError);
        EXPECT_EQ(G->ColCount(), 5);
        EXPECT_EQ(G->Cells(4, 4), "kept");
    }
    {   // A property the record class does not have.
        String Bad = Good;
        const std::size_t At = Bad.find(N("HasProp"));
        ASSERT_NE(At, String::npos);
        Bad.replace(At, 8, N("HasPrap"));
        auto G = MakeGrid(1, 1);
        try {
            ReadInto(G.get(), Bad);
            FAIL() << "no error";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message.find(": Property HasPrap does not exist"), String::npos) << E.Message;
        }
    }
}

TEST(GridCellBinaryStream, IconAndPictureRecordsCarryTheirFileImages)
{
    const String Red = IconFile(0, 0, 0xFF);
    const String Green = IconFile(0, 0xFF, 0);
    auto G = IconAndPictureGrid(Red, Green);
    TMemoryStream S;
    G->WriteCellBinaryStream(TRect{0, 0, 2, 0}, &S);
    const String B = StreamBytes(S);
    // Each graphic record is followed at once by its object's record.
    const String Icon = GraphicRecord("ctIcon") + Record("TGridIconIO", N("Icon.Data") + Bin(Red));
    const String Picture =
        GraphicRecord("ctPicture") + Record("TGridPicIO", N("Picture.Data") + Bin(N("TIcon") + Green));
    const String Empty = GraphicRecord("ctPicture") + Record("TGridPicIO", N("Picture.Data") + Bin(String(1, '\0')));
    const std::size_t IconAt = B.find(Icon);
    const std::size_t PictureAt = B.find(Picture);
    ASSERT_NE(IconAt, String::npos);
    ASSERT_NE(PictureAt, String::npos);
    EXPECT_LT(IconAt, PictureAt);
    ASSERT_GE(B.size(), Empty.size());
    EXPECT_EQ(B.substr(B.size() - Empty.size()), Empty) << "the empty picture ends the stream";

    // Read back: the icon in the cell's icon slot, the picture as a holder
    // of an icon, both owned by the new graphics.
    S.SetPosition(0);
    auto D = MakeGrid(3, 1);
    D->PutCheckBox(2, 0, true, false);
    D->ReadCellBinaryStream(TPoint{0, 0}, &S);
    const TCellGraphic* GI = D->GetCellGraphic(0, 0);
    ASSERT_NE(GI, nullptr);
    EXPECT_EQ(GI->CellType, ctIcon);
    EXPECT_TRUE(GI->CellCreated);
    EXPECT_EQ(GI->CellBitmap, nullptr);
    const auto* GotIcon = dynamic_cast<const TIcon*>(GI->CellIcon);
    ASSERT_NE(GotIcon, nullptr);
    EXPECT_EQ(GotIcon->Bytes(), Red);
    EXPECT_EQ(GotIcon->Width(), 2);
    const TCellGraphic* GP = D->GetCellGraphic(1, 0);
    ASSERT_NE(GP, nullptr);
    const auto* GotPic = dynamic_cast<const TPicture*>(GP->CellBitmap);
    ASSERT_NE(GotPic, nullptr);
    const auto* Inner = dynamic_cast<const TIcon*>(GotPic->Graphic());
    ASSERT_NE(Inner, nullptr);
    EXPECT_EQ(Inner->Bytes(), Green);
    const TCellGraphic* GE = D->GetCellGraphic(2, 0);
    ASSERT_NE(GE, nullptr);
    EXPECT_EQ(GE->CellType, ctPicture) << "the check box was replaced";
    const auto* EmptyPic = dynamic_cast<const TPicture*>(GE->CellBitmap);
    ASSERT_NE(EmptyPic, nullptr);
    EXPECT_EQ(EmptyPic->Graphic(), nullptr);

    // The pasted icon draws its own pixels.
    TBitmap Canvas(4, 4, TPixelFormat::pf24bit);
    Canvas.Canvas()->Brush()->SetColor(clWhite);
    Canvas.Canvas()->FillRect(TRect{0, 0, 4, 4});
    const_cast<TIcon*>(GotIcon)->Draw(Canvas.Canvas(), TRect{1, 1, 3, 3});
    EXPECT_EQ(GetPixel(Canvas.Canvas()->Handle(), 1, 1), RGB(0xFF, 0, 0));
    EXPECT_EQ(GetPixel(Canvas.Canvas()->Handle(), 0, 0), RGB(0xFF, 0xFF, 0xFF));
}

// Damaged icon and picture data raise while reading, before anything of
// the grid changed. A picture of a class this program does not know is
// read as a picture without graphic.
TEST(GridCellBinaryStream, DamagedIconAndPictureData)
{
    const String Red = IconFile(0, 0, 0xFF);
    auto G = IconAndPictureGrid(Red, Red);
    G->SetCells(0, 0, "first");
    TMemoryStream S;
    G->WriteCellBinaryStream(TRect{0, 0, 2, 0}, &S);
    const String Good = StreamBytes(S);
    const auto Replaced = [&](const String& What, const String& With) {
        String B = Good;
        const std::size_t At = B.find(What);
        EXPECT_NE(At, String::npos);
        return At == String::npos ? B : B.replace(At, What.size(), With);
    };
    {   // Icon data that is no ICO file (a count of images past its end).
        String Bad = Red;
        Bad[4] = 9;
        auto D = MakeGrid(3, 1);
        EXPECT_THROW(ReadInto(D.get(), Replaced(N("Icon.Data") + Bin(Red), N("Icon.Data") + Bin(Bad))),
                     EInvalidGraphic);
        EXPECT_EQ(D->Cells(0, 0), "") << "the text before the icon is not written";
        EXPECT_EQ(D->GetCellGraphic(0, 0), nullptr);
    }
    {   // A class name longer than 63 characters.
        const String Long(64, 'T');
        auto D = MakeGrid(3, 1);
        try {
            ReadInto(D.get(), Replaced(N("Picture.Data") + Bin(N("TIcon") + Red),
                                       N("Picture.Data") + Bin(N(Long) + Red)));
            FAIL() << "no error";
        } catch (const EReadError& E) {
            EXPECT_NE(E.Message.find(": Invalid stream format"), String::npos) << E.Message;
        }
        EXPECT_EQ(D->GetCellGraphic(0, 0), nullptr);
    }
    {   // A graphic class nobody registered.
        auto D = MakeGrid(3, 1);
        ReadInto(D.get(), Replaced(N("Picture.Data") + Bin(N("TIcon") + Red), N("Picture.Data") + Bin(N("TMetaThing") + Red)));
        const TCellGraphic* GP = D->GetCellGraphic(1, 0);
        ASSERT_NE(GP, nullptr);
        const auto* Pic = dynamic_cast<const TPicture*>(GP->CellBitmap);
        ASSERT_NE(Pic, nullptr);
        EXPECT_EQ(Pic->Graphic(), nullptr);
        EXPECT_NE(D->GetCellGraphic(2, 0), nullptr) << "reading went on";
    }
}

// Component references of the properties record: Control names a control
// that the reading grid's form has, else the cell keeps its own; the
// application's CellObject reference is never replaced.
TEST(GridCellBinaryStream, ControlAndCellObjectReferencesOnRead)
{
    TComponent SourceForm(nullptr);
    auto* SourceEdit = new TPanel(&SourceForm);
    SourceEdit->SetName("PanelInCell");
    auto* SourceObj = new TComponent(&SourceForm);
    SourceObj->SetName("Tag1");
    auto* Src = new TProStringGrid(&SourceForm);
    Src->SetColCount(2);
    Src->SetRowCount(1);
    Src->EnsureCellProperties(0, 0)->Control = SourceEdit;
    Src->EnsureCellProperties(0, 0)->CellObject = SourceObj;
    Src->EnsureCellProperties(0, 0)->SetBrushColorTo(clYellow);
    Src->EnsureCellProperties(0, 0)->GradientDirection = GradientHorizontal;
    TMemoryStream S;
    Src->WriteCellBinaryStream(TRect{0, 0, 0, 0}, &S);
    const String B = StreamBytes(S);
    EXPECT_NE(B.find(N("CellProperties.CellObject") + Ident("Tag1") + N("CellProperties.FontColor")), String::npos);
    EXPECT_NE(B.find(N("CellProperties.Control") + Ident("PanelInCell") + N("HasGraphic")), String::npos);

    TComponent OtherForm(nullptr);
    auto* Mine = new TPanel(&OtherForm);
    Mine->SetName("PanelInCell");
    auto* Own = new TComponent(&OtherForm);
    auto* D = new TProStringGrid(&OtherForm);
    D->SetColCount(2);
    D->SetRowCount(1);
    D->EnsureCellProperties(1, 0)->CellObject = Own;
    S.SetPosition(0);
    D->ReadCellBinaryStream(TPoint{1, 0}, &S);
    const TCellProperties* P = D->CellProperties(1, 0);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->Control, Mine) << "the name is looked up on the reading side";
    EXPECT_EQ(P->CellObject, Own);
    EXPECT_EQ(P->BrushColorTo(), clYellow) << "the gradient travels with the cell";
    EXPECT_EQ(P->GradientDirection, GradientHorizontal);

    // A form without a control of that name: the cell keeps its control.
    TComponent Bare(nullptr);
    auto* Kept = new TPanel(&Bare);
    auto* E = new TProStringGrid(&Bare);
    E->SetColCount(1);
    E->SetRowCount(1);
    E->EnsureCellProperties(0, 0)->Control = Kept;
    S.SetPosition(0);
    E->ReadCellBinaryStream(TPoint{0, 0}, &S);
    EXPECT_EQ(E->CellProperties(0, 0)->Control, Kept);
}

// A grid that lists its progress reports as "phase:index".
class TProgressGrid : public TProStringGrid {
public:
    TProgressGrid() : TProStringGrid(nullptr) {}
    void ReportProgress(int Phase, int Index) override
    {
        Seen.push_back(std::to_string(Phase) + ":" + std::to_string(Index));
    }
    std::vector<std::string> Seen;
};

// Both readers report phase 0 before the cells, phase 1 once per row of
// cells (the source row) and phase 2 at the end.
TEST(GridStreams, ReadersReportTheirProgress)
{
    auto Src = MakeGrid(3, 4);
    Src->SetCells(0, 1, "a");
    Src->SetCells(2, 1, "b");
    Src->SetCells(1, 3, "c");
    const std::vector<std::string> Expected{"0:-1", "1:1", "1:3", "2:-1"};
    {
        TMemoryStream S;
        Src->WriteGridTextStream(&S);
        S.SetPosition(0);
        TProgressGrid D;
        D.ReadGridTextStream(&S);
        EXPECT_EQ(D.Seen, Expected);
    }
    {
        TMemoryStream S;
        Src->WriteCellBinaryStream(TRect{0, 0, 2, 3}, &S);
        S.SetPosition(0);
        TProgressGrid D;
        D.ReadCellBinaryStream(TPoint{0, 0}, &S);
        EXPECT_EQ(D.Seen, Expected);
    }
}

TEST(GridCellBinaryStream, FileProgressRunsFromZeroToHundred)
{
    auto G = MakeGrid(2, 20);
    std::vector<int> Seen;
    G->OnFileProgress = [&](TObject*, short P) { Seen.push_back(P); };
    TMemoryStream S;
    G->WriteCellBinaryStream(TRect{0, 10, 1, 14}, &S);
    EXPECT_EQ(Seen, (std::vector<int>{0, 25, 50, 75, 100}));
}

} // namespace
