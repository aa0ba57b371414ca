// The grid's loaders under hostile input: declared counts beyond the
// grid's limits, wide sparse shapes, bare CRs, long malformed lines and
// damaged streams. Every failing load must leave the grid exactly as it
// was (compared through a saved stream of the whole grid), and memory
// must follow the cells stored, not the counts.

#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <random>

#include "framework/Exception.h"
#include "framework/Stream.h"
#include "grid/core/GridCellStreamCodec.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/Navigation.h"
#include "tests/support/TempDir.h"

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

// A grid with texts, a merge, properties and graphics, so that a partial
// load would show in its snapshot.
std::unique_ptr<TProStringGrid> FilledGrid()
{
    auto G = MakeGrid(5, 5);
    for (int R = 0; R < 5; ++R)
        for (int C = 0; C < 5; ++C)
            G->SetCells(C, R, "old" + std::to_string(C) + std::to_string(R));
    G->SetColWidths(2, 33);
    G->SetRowHeights(3, 17);
    G->EnsureCellProperties(1, 1)->FontColor = clRed;
    G->PutCheckBox(2, 2, true, false);
    G->MergeCells(3, 3, 2, 2);
    return G;
}

String Bytes(TMemoryStream& S) { return String(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size())); }

// Everything a load may change: counts, widths, heights, texts, cell
// properties (merges among them) and graphics.
String Snapshot(TProStringGrid* G)
{
    TMemoryStream Cells;
    G->WriteCellBinaryStream(TRect{0, 0, G->ColCount() - 1, G->RowCount() - 1}, &Cells);
    TMemoryStream Text;
    G->WriteGridTextStream(&Text);
    return Bytes(Cells) + "|" + Bytes(Text);
}

void ReadText(TProStringGrid* G, const String& B)
{
    TMemoryStream S;
    S.WriteBuffer(B.data(), static_cast<Integer>(B.size()));
    S.SetPosition(0);
    G->ReadGridTextStream(&S);
}

void ReadCells(TProStringGrid* G, const String& B, TPoint At = TPoint{0, 0})
{
    TMemoryStream S;
    S.WriteBuffer(B.data(), static_cast<Integer>(B.size()));
    S.SetPosition(0);
    G->ReadCellBinaryStream(At, &S);
}

// The process's private bytes now.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX M{};
    M.cb = sizeof M;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&M), sizeof M);
    return M.PrivateUsage;
}

constexpr SIZE_T MB = 1024 * 1024;

// The message of the exception a load raises, "" when it raised none.
template <class F>
String ErrorOf(F&& Load)
{
    try {
        Load();
    } catch (const Exception& E) {
        return E.Message;
    }
    return String();
}

String CellStreamWithHeader(int Cols, int Rows, bool FullGrid, const std::vector<std::pair<int, int>>& Cells)
{
    TComponentRecordWriter W;
    String Widths;
    String Heights;
    if (FullGrid) {
        for (int C = 0; C < Cols; ++C)
            Widths += (C ? ",64" : "64");
        for (int R = 0; R < Rows; ++R)
            Heights += (R ? ",18" : "18");
    }
    W.BeginRecord("TGridPropIO");
    W.WriteInteger("ColCount", Cols);
    W.WriteInteger("RowCount", Rows);
    W.WriteString("ColWidths", Widths);
    W.WriteString("RowHeights", Heights);
    W.WriteBoolean("FullGrid", FullGrid);
    W.WriteInteger("ID", 0);
    W.EndRecord();
    for (const auto& [C, R] : Cells) {
        W.BeginRecord("TGridCellIO");
        W.WriteInteger("Col", C);
        W.WriteInteger("Row", R);
        W.WriteString("Cell", "v" + std::to_string(C));
        W.WriteBoolean("HasProp", false);
        W.EndRecord();
    }
    return W.Bytes();
}

class GridHostileInput : public ::testing::Test {
protected:
    String File(const std::string& Content)
    {
        const auto P = Dir / ("f" + std::to_string(++FCount) + ".csv");
        testfs::WriteBytes(P, Content);
        return testfs::PathStr(P);
    }
    testfs::TempDir Dir{"gridhostile"};
    int FCount = 0;
};

// Loads that must fail: each error names what and where, and the grid is
// as it was.
TEST_F(GridHostileInput, RefusedInputsLeaveTheGridAsItWas)
{
    String LongLine(10 * MB, 'z');
    String Lf;
    for (int i = 0; i < 200000; ++i)
        Lf += "cw 1,5\n";   // LF only: one long first line after the header
    const String WideCsv = [] {
        String S;
        for (int i = 0; i < 65537; ++i)
            S += i ? ",a" : "a";
        return S + "\r\n";
    }();
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid*)> Load;
        const char* MessagePart;
    };
    const std::vector<Case> Cases = {
        {"counts beyond int", [](TProStringGrid* G) { ReadText(G, "2147483647,2147483647"); }, "2147483647"},
        {"columns above the limit", [](TProStringGrid* G) { ReadText(G, "65537,2\r\n"); },
         "column count 65537 is above the limit of 65536"},
        {"rows above the limit", [](TProStringGrid* G) { ReadText(G, "2,100000000"); },
         "row count 100000000 is above the limit of 16777216"},
        {"negative counts", [](TProStringGrid* G) { ReadText(G, "-5,-7"); }, "negative column count -5"},
        {"bad cell line in the middle",
         [](TProStringGrid* G) { ReadText(G, "9,9\r\ncw 0,40\r\n0,0,new\r\nx,1,b\r\n2,2,c\r\n"); },
         "Grid text stream line 4: 'x' is not a valid integer value"},
        {"10 MB malformed header", [&](TProStringGrid* G) { ReadText(G, LongLine + ",1\r\n"); },
         "' is not a valid integer value"},
        {"LF-only stream", [&](TProStringGrid* G) { ReadText(G, "3,3\r\n" + Lf); }, "Grid text stream line 2: "},
        {"cell stream with columns above the limit",
         [](TProStringGrid* G) { ReadCells(G, CellStreamWithHeader(65537, 1, false, {{0, 0}})); },
         "Cell stream at byte 0: Invalid stream format"},
        {"cell stream: good header, bad record",
         [](TProStringGrid* G) {
             String S = CellStreamWithHeader(3, 3, true, {{0, 0}, {1, 1}, {2, 2}});
             S.resize(S.size() - 5);
             ReadCells(G, S);
         },
         "Stream read error"},
        {"CSV line of 65,537 fields", [&](TProStringGrid* G) { G->ImportCSVFile(File(WideCsv), -1); },
         "column count 65537 is above the limit of 65536"},
        {"CSV appended beyond the columns",
         [&](TProStringGrid* G) { G->ReadCSVFile(File("a,b\r\n" + WideCsv), true, 0); },
         "column count 65537"},
        {"CSV file that does not exist", [&](TProStringGrid* G) { G->ImportCSVFile(File("") + "-gone", -1); }, ""},
    };
    for (const Case& C : Cases) {
        auto G = FilledGrid();
        const String Before = Snapshot(G.get());
        const String Message = ErrorOf([&] { C.Load(G.get()); });
        EXPECT_NE(Message, "") << C.Name << ": no error";
        EXPECT_NE(Message.find(C.MessagePart), String::npos) << C.Name << ": " << Message.substr(0, 300);
        EXPECT_LE(Message.size(), 200u) << C.Name << ": the message quotes at most 80 characters";
        EXPECT_EQ(Snapshot(G.get()), Before) << C.Name << ": the grid changed";
    }
}

// Wide sparse shapes load in memory that follows the cells, not the counts.
TEST_F(GridHostileInput, SparseShapesCostWhatTheyStore)
{
    struct Case {
        const char* Name;
        std::function<void(TProStringGrid*)> Load;
        int Cols;
        int Rows;
        int CheckCol;
        int CheckRow;
        const char* Text;
    };
    String Text = "65536,2000\r\n";
    for (int R = 0; R < 1000; ++R)
        Text += std::to_string(R % 7) + "," + std::to_string(R * 2) + ",s" + std::to_string(R) + "\r\n";
    String Far = "65536,600\r\n";
    for (int R = 0; R < 500; ++R)
        Far += std::to_string(65535 - R * 97) + "," + std::to_string(R) + ",f\r\n";
    String Csv;
    for (int i = 0; i < 65536; ++i)
        Csv += i ? ",a" : "a";
    Csv += "\r\nlast\r\n";
    std::vector<std::pair<int, int>> Spread;
    for (int i = 0; i < 500; ++i)
        Spread.emplace_back((i * 7919) % 65536, (i * 104729) % 65536);
    const String Block = CellStreamWithHeader(65536, 65536, true, Spread);
    const std::vector<Case> Cases = {
        {"text stream 65,536 x 2,000", [&](TProStringGrid* G) { ReadText(G, Text); }, 65536, 2000, 5, 1998, "s999"},
        {"text stream, cells at far columns", [&](TProStringGrid* G) { ReadText(G, Far); }, 65536, 600, 65535, 0, "f"},
        {"CSV line of 65,536 fields", [&](TProStringGrid* G) { G->ImportCSVFile(File(Csv), -1); }, 65536, 2, 65535,
         0, "a"},
        {"cell stream 65,536 x 65,536, 500 cells", [&](TProStringGrid* G) { ReadCells(G, Block); }, 65536, 65536,
         Spread[499].first, Spread[499].second, ("v" + std::to_string(Spread[499].first)).c_str()},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(2, 2);
        const SIZE_T Before = PrivateBytes();
        C.Load(G.get());
        const SIZE_T After = PrivateBytes();
        EXPECT_EQ(G->ColCount(), C.Cols) << C.Name;
        EXPECT_EQ(G->RowCount(), C.Rows) << C.Name;
        EXPECT_EQ(G->Cells(C.CheckCol, C.CheckRow), C.Text) << C.Name;
        // Before the storage was sparse each of these took gigabytes; the
        // counts' own geometry (widths, heights) is a few megabytes.
        EXPECT_LT(After > Before ? After - Before : 0, 48 * MB) << C.Name;
    }
}

TEST(GridHostileText, BareCarriageReturnsEndLines)
{
    struct Case {
        const char* Name;
        const char* Bytes;
    };
    const Case Cases[] = {
        {"CR only", "3,3\r0,0,a\r1,1,b\r"},
        {"CR LF with one bare CR", "3,3\r\n0,0,a\r1,1,b\r\n"},
        {"CR LF", "3,3\r\n0,0,a\r\n1,1,b\r\n"},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(1, 1);
        ReadText(G.get(), C.Bytes);
        EXPECT_EQ(G->ColCount(), 3) << C.Name;
        EXPECT_EQ(G->Cells(0, 0), "a") << C.Name;
        EXPECT_EQ(G->Cells(1, 1), "b") << C.Name;
    }
}

// A pasted block's count of cells is computed in 64 bits: 65,536 x 65,536
// does not wrap to 0.
TEST(GridHostileClipboard, CellFormatCountDoesNotOverflow)
{
    auto G = MakeGrid(2, 2);
    G->Navigation()->AllowFmtClipboard = true;
    G->SetOptions(G->Options() | goEditing);
    const String Block = CellStreamWithHeader(65536, 65536, true, {{1, 1}, {65535, 65535}});
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Block.size());
    std::memcpy(GlobalLock(H), Block.data(), Block.size());
    GlobalUnlock(H);
    SetClipboardData(RegisterClipboardFormatW(L"TProStringGrid Cells"), H);
    CloseClipboard();
    EXPECT_EQ(G->PasteFromClipboardAt(0, 0), INT_MAX);
    EXPECT_EQ(G->ColCount(), 65536);
    EXPECT_EQ(G->Cells(65535, 65535), "v65535");
}

// Texts of more fields or lines than the grid may hold are refused before
// any cell is pasted; a paste that fits grows the grid at once.
TEST(GridHostileClipboard, PastedTextBeyondTheLimitsIsRefused)
{
    String Wide;
    for (int i = 0; i < 65537; ++i)
        Wide += i ? "\tx" : "x";
    auto G = FilledGrid();
    G->SetOptions(G->Options() | goEditing);
    const String Before = Snapshot(G.get());
    const String Message = ErrorOf([&] { G->PasteTextAt(0, 0, Wide.c_str()); });
    EXPECT_NE(Message.find("Pasted text: column count 65537 is above the limit of 65536"), String::npos) << Message;
    EXPECT_EQ(Snapshot(G.get()), Before);

    Wide.resize(Wide.size() - 2);
    EXPECT_EQ(G->PasteTextAt(0, 0, (Wide + "\r\ny\r\nz").c_str()), 65536 + 2);
    EXPECT_EQ(G->ColCount(), 65536);
    EXPECT_EQ(G->RowCount(), 5);
    EXPECT_EQ(G->Cells(65535, 0), "x");
    EXPECT_EQ(G->Cells(0, 2), "z");
}

// Truncations at every offset, every single-bit flip and random damage of
// a text stream and of a cell stream, with fixed seeds: a load that fails
// leaves the grid byte-identical to before.
TEST(GridHostileStreams, FailingLoadsLeaveTheGridByteIdentical)
{
    auto Src = FilledGrid();
    Src->SetCells(4, 4, "two\r\nlines");
    String Good[2];
    {
        TMemoryStream S;
        Src->WriteGridTextStream(&S);
        Good[0] = Bytes(S);
        TMemoryStream B;
        Src->WriteCellBinaryStream(TRect{0, 0, 4, 4}, &B);
        Good[1] = Bytes(B);
    }
    std::mt19937 Rng(0x38);
    auto Target = MakeGrid(3, 4);
    Target->SetCells(0, 0, "keep");
    Target->EnsureCellProperties(1, 1)->BrushStyle = TBrushStyle::bsClear;
    const String Kept = Snapshot(Target.get());
    int Runs = 0;
    int Failed = 0;
    const auto Try = [&](int Kind, const String& Input) {
        ++Runs;
        const String Message = ErrorOf([&] {
            if (Kind == 0)
                ReadText(Target.get(), Input);
            else
                ReadCells(Target.get(), Input, TPoint{static_cast<int>(Rng() % 3), static_cast<int>(Rng() % 3)});
        });
        if (Message.empty()) {
            // A load that worked changed the grid: start again from the kept one.
            Target = MakeGrid(3, 4);
            Target->SetCells(0, 0, "keep");
            Target->EnsureCellProperties(1, 1)->BrushStyle = TBrushStyle::bsClear;
            return;
        }
        ++Failed;
        ASSERT_EQ(Snapshot(Target.get()), Kept) << "kind " << Kind << ", input of " << Input.size()
                                                << " bytes: " << Message;
    };
    for (int Kind = 0; Kind < 2; ++Kind) {
        const String& G = Good[Kind];
        for (std::size_t N = 0; N < G.size(); ++N)
            Try(Kind, G.substr(0, N));
        for (std::size_t Bit = 0; Bit < G.size() * 8; ++Bit) {
            String B = G;
            B[Bit / 8] = static_cast<char>(B[Bit / 8] ^ (1 << (Bit % 8)));
            Try(Kind, B);
        }
    }
    while (Runs < 100000) {
        const int Kind = static_cast<int>(Rng() % 2);
        String B = Good[Kind];
        for (int Steps = 1 + static_cast<int>(Rng() % 4); Steps > 0 && !B.empty(); --Steps) {
            const std::size_t At = Rng() % B.size();
            switch (Rng() % 4) {
            case 0: B[At] = static_cast<char>(Rng()); break;
            case 1: B.erase(At, 1 + Rng() % 8); break;
            case 2: B.insert(At, String(1 + Rng() % 3, static_cast<char>(Rng()))); break;
            default: B.resize(At); break;
            }
        }
        Try(Kind, B);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    // Both outcomes must have occurred, or the damage is too mild or too rough.
    EXPECT_GT(Failed, 10000);
    EXPECT_GT(Runs - Failed, 1000);
}

} // namespace
