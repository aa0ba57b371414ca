// CSV import into a grid: delimiter guessing, quote rules, line breaks inside
// fields, OEM text, row limits, appending and the floating footer's row.

#include <gtest/gtest.h>

#include "framework/Exception.h"
#include "grid/core/GridTextEscapes.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/FloatingFooter.h"
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

// The grid's rows as lines of fields joined by "|".
std::vector<String> Rows(TProStringGrid* G)
{
    std::vector<String> Out;
    for (int R = 0; R < G->RowCount(); ++R) {
        String Line;
        for (int C = 0; C < G->ColCount(); ++C)
            Line += (C ? "|" : "") + G->Cells(C, R);
        Out.push_back(Line);
    }
    return Out;
}

class GridCsvImport : public ::testing::Test {
protected:
    String File(const std::string& Bytes)
    {
        const auto P = Dir / ("f" + std::to_string(++FCount) + ".csv");
        testfs::WriteBytes(P, Bytes);
        return testfs::PathStr(P);
    }
    testfs::TempDir Dir{"gridcsv"};
    int FCount = 0;
};

TEST_F(GridCsvImport, Corpus)
{
    struct Case {
        const char* Name;
        const char* Bytes;
        std::vector<String> Expected;
    };
    const Case Cases[] = {
        {"semicolons", "a;b;c\r\n1;2;3\r\n", {"a|b|c", "1|2|3"}},
        {"comma tried first", "a,b;c\r\n1,2;3\r\n", {"a|b;c", "1|2;3"}},
        {"one line, pipe", "x|y|z\r\n", {"x|y|z"}},
        {"doubled quotes", "\"5\"\"\",b\r\nc,d\r\n", {"5\"|b", "c|d"}},
        {"quoted delimiter", "\"a,1\",b\r\n\"c\",\"d,2\"\r\n", {"a,1|b", "c|d,2"}},
        {"quoted line break", "\"one\x0btwo\",x\r\ny,z\r\n", {"one\r\ntwo|x", "y|z"}},
        {"unclosed quote keeps the rest", "a,\"open, still,b\r\nc,d,e\r\n", {"a|open, still,b|", "c|d|e"}},
        {"short line leaves cells empty", "a\tb\tc\r\nd\r\n", {"a|b|c", "d||"}},
        {"empty last field", "a,b,\r\nc,d,\r\n", {"a|b", "c|d"}},
        {"LF line ends", "p;q\nr;s\n", {"p|q", "r|s"}},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(1, 1);
        G->ImportCSVFile(File(C.Bytes), -1);
        EXPECT_EQ(Rows(G.get()), C.Expected) << C.Name;
    }
}

TEST_F(GridCsvImport, OemTextIsConvertedBeforeSplitting)
{
    // OEM bytes that the conversion turns into other bytes.
    const String Raw = "\x81\x94;\xe1";
    String A = "\x81\x94";
    String B = "\xe1";
    OemTextToAnsi(A);
    OemTextToAnsi(B);
    ASSERT_NE(A, "\x81\x94");
    auto G = MakeGrid(1, 1);
    G->OemConvert = true;
    G->ImportCSVFile(File(Raw + "\r\n" + Raw + "\r\n"), -1);
    ASSERT_EQ(G->ColCount(), 2);
    EXPECT_EQ(G->Cells(0, 1), A);
    EXPECT_EQ(G->Cells(1, 1), B);
    auto Plain = MakeGrid(1, 1);
    Plain->ImportCSVFile(File(Raw + "\r\n"), -1);
    EXPECT_EQ(Plain->Cells(0, 0), "\x81\x94");
}

// The file is read 64 KB at a time: a line end split between two reads, a
// line longer than several reads and a last line without a line end come
// out as they were written.
TEST_F(GridCsvImport, LinesAcrossReads)
{
    const std::size_t Block = 64 * 1024;
    // A first line whose line end starts on the last byte of the first read.
    const String Long = "x," + String(Block - 3, 'a');
    const String Longer = "y," + String(3 * Block + 5, 'z');
    struct Case {
        const char* Name;
        String Bytes;
        std::vector<String> Expected;
    };
    const Case Cases[] = {
        {"CR LF split between reads", Long + "\r\nb,c\r\n", {Long.substr(0, 1) + "|" + Long.substr(2), "b|c"}},
        {"bare CR at the end of a read", Long + "\rb,c", {Long.substr(0, 1) + "|" + Long.substr(2), "b|c"}},
        {"LF at the end of a read", Long + "\n\nb,c\n", {Long.substr(0, 1) + "|" + Long.substr(2), "|", "b|c"}},
        {"line longer than three reads, no final line end", Longer + "\r\nq,r",
         {Longer.substr(0, 1) + "|" + Longer.substr(2), "q|r"}},
    };
    for (const Case& C : Cases) {
        auto G = MakeGrid(1, 1);
        G->ImportCSVFile(File(C.Bytes), -1);
        const std::vector<String> Got = Rows(G.get());
        ASSERT_EQ(Got.size(), C.Expected.size()) << C.Name;
        for (std::size_t i = 0; i < Got.size(); ++i)
            EXPECT_TRUE(Got[i] == C.Expected[i]) << C.Name << ", row " << i << " has " << Got[i].size() << " bytes";
    }
}

TEST_F(GridCsvImport, MaximumRowsTrimsTheGrid)
{
    std::string Bytes;
    for (int i = 0; i < 25; ++i)
        Bytes += std::to_string(i) + ";x\r\n";
    auto G = MakeGrid(1, 40);
    G->SetFixedFooters(1);
    G->ReadCSVFile(File(Bytes), false, 10);
    EXPECT_EQ(G->RowCount(), 11);
    EXPECT_EQ(G->Cells(0, 9), "9");
    EXPECT_EQ(G->NormalRowCount, 11);
}

TEST_F(GridCsvImport, AppendsAfterTheLastRow)
{
    auto G = MakeGrid(2, 2);
    G->SetCells(0, 1, "old");
    G->ReadCSVFile(File("n1,m1\r\nn2,m2\r\n"), true, 0);
    EXPECT_EQ(Rows(G.get()), (std::vector<String>{"|", "old|", "n1|m1", "n2|m2"}));
}

TEST_F(GridCsvImport, MissingFileRaisesAndChangesNothing)
{
    auto G = MakeGrid(3, 3);
    G->SetCells(1, 1, "kept");
    EXPECT_THROW(G->ImportCSVFile(testfs::PathStr(Dir / "none.csv"), -1), Exception);
    EXPECT_EQ(G->RowCount(), 3);
    EXPECT_EQ(G->Cells(1, 1), "kept");
}

TEST_F(GridCsvImport, ProgressFollowsTheLines)
{
    auto G = MakeGrid(1, 1);
    std::vector<int> Seen;
    G->OnFileProgress = [&](TObject*, short P) { Seen.push_back(P); };
    G->ImportCSVFile(File("a\r\nb\r\nc\r\nd\r\n"), -1);
    EXPECT_EQ(Seen, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(G->RowCount(), 4);
}

// The floating footer's row exists only in the fixed-last-row style; in the
// preview styles every imported line stays, the last one included.
TEST_F(GridCsvImport, FloatingFooterStyles)
{
    const String Csv = "a,1\r\nb,2\r\nc,3\r\n";
    for (TFooterStyle Style : {fsColumnPreview, fsCustomPreview}) {
        auto G = MakeGrid(2, 5);
        G->FloatingFooter()->SetFooterStyle(Style);
        G->FloatingFooter()->SetVisible(true);
        G->ImportCSVFile(File(Csv), -1);
        EXPECT_EQ(Rows(G.get()), (std::vector<String>{"a|1", "b|2", "c|3"})) << "style " << Style;
    }
    {
        auto G = MakeGrid(2, 5);
        G->FloatingFooter()->SetVisible(true);   // fixed last row
        G->SetCells(0, 4, "sum");
        G->ImportCSVFile(File(Csv), -1);
        EXPECT_EQ(Rows(G.get()), (std::vector<String>{"a|1", "b|2", "c|3", "|"}));
    }
    {
        auto G = MakeGrid(2, 3);
        G->FloatingFooter()->SetVisible(true);
        G->SetCells(0, 0, "first");
        G->SetCells(0, 2, "sum");
        G->ReadCSVFile(File(Csv), true, 0);
        EXPECT_EQ(Rows(G.get()), (std::vector<String>{"first|", "|", "a|1", "b|2", "c|3", "sum|"}));
    }
}

} // namespace
