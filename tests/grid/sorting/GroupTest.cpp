// Grouping rows under node headers, with and without summary rows, merged
// and coloured headers, a second level, and taking it all away again.

#include <gtest/gtest.h>

#include "tests/grid/sorting/SortingHelpers.h"

namespace {

// One fixed row; column 3 holds the group values A, A, B, C (given out of
// order, so that the grouping sorts first).
std::unique_ptr<TProStringGrid> LetterGrid()
{
    return GridOf({{"", "r1", "x1", "B", "y1"},
                   {"", "r2", "x2", "A", "y2"},
                   {"", "r3", "x3", "C", "y3"},
                   {"", "r4", "x4", "A", "y4"}},
                  1);
}

struct TLayoutRow {
    char Kind;    // 'h' header node, 's' summary, 'r' group row
    String Col1;  // text of column 1
};

void ExpectLayout(TProStringGrid& G, const std::vector<TLayoutRow>& Rows, const char* Name)
{
    ASSERT_EQ(G.RowCount() - 1, static_cast<int>(Rows.size())) << Name;
    for (std::size_t I = 0; I < Rows.size(); ++I) {
        const int R = static_cast<int>(I) + 1;
        const char Kind = G.IsNodeRow(R) ? 'h' : (G.IsSummaryRow(R) ? 's' : 'r');
        EXPECT_EQ(Kind, Rows[I].Kind) << Name << " row " << R;
        EXPECT_EQ(G.Cells(1, R), Rows[I].Col1) << Name << " row " << R;
    }
}

TEST(GridGroup, LettersWithAndWithoutSummary)
{
    for (bool Summary : {true, false}) {
        auto G = LetterGrid();
        G->Grouping()->Summary = Summary;
        G->Group(3);
        EXPECT_EQ(G->GroupColumn(), 3);
        EXPECT_EQ(G->ColCount(), 4);
        EXPECT_EQ(G->Cells(3, 0), "H4"); // column 4 moved left
        if (Summary) {
            ExpectLayout(*G,
                         {{'h', "A"}, {'r', "r2"}, {'r', "r4"}, {'s', ""}, {'h', "B"}, {'r', "r1"}, {'s', ""},
                          {'h', "C"}, {'r', "r3"}, {'s', ""}},
                         "summary");
            EXPECT_EQ(G->GetNodeSpan(1), 3);
            EXPECT_EQ(G->GetNodeSpan(5), 2);
            EXPECT_EQ(G->GetNodeSpan(8), 2);
        } else {
            ExpectLayout(*G, {{'h', "A"}, {'r', "r2"}, {'r', "r4"}, {'h', "B"}, {'r', "r1"}, {'h', "C"}, {'r', "r3"}},
                         "no summary");
            EXPECT_EQ(G->GetNodeSpan(1), 3);
            EXPECT_EQ(G->GetNodeSpan(4), 2);
            EXPECT_EQ(G->GetNodeSpan(6), 2);
        }
        EXPECT_EQ(G->Row(), 1);
    }
}

TEST(GridGroup, UnGroupRestoresCountsTextsAndTheColumn)
{
    for (bool Summary : {true, false}) {
        const long Live = TCellProperties::LiveCount();
        auto G = LetterGrid();
        G->SetFixedFooters(1);
        G->SetRowCount(6);
        G->SetCells(3, 5, "foot3");
        G->SetColWidths(3, 77);
        G->Grouping()->Summary = Summary;
        G->Grouping()->HeaderColor = clRed;
        G->Grouping()->SummaryColor = clGreen;
        // Rows 1..4 sorted by column 3 is what the ungrouped grid holds.
        G->SortSettings()->Column = 3;
        G->SortRows();
        const TTextTable Sorted = RowsOf(*G);
        G->Group(3);
        EXPECT_EQ(G->Cells(3, G->RowCount() - 1), "");   // the removed column's footer cell
        G->UnGroup();
        EXPECT_EQ(G->GroupColumn(), -1);
        EXPECT_EQ(G->RowCount(), 6);
        EXPECT_EQ(G->ColCount(), 5);
        EXPECT_EQ(G->ColWidths(3), 77);
        EXPECT_EQ(RowsOf(*G), Sorted) << "summary " << Summary;
        EXPECT_EQ(G->NodeCount(), 0);
        G.reset();
        EXPECT_EQ(TCellProperties::LiveCount(), Live) << "summary " << Summary;
    }
}

TEST(GridGroup, ByColumnOneTheValueEndsInColumnOne)
{
    auto G = GridOf({{"", "B", "p"}, {"", "A", "q"}, {"", "A", "r"}}, 1);
    const TTextTable Original = RowsOf(*G);
    G->Group(1);
    EXPECT_EQ(G->ColCount(), 2);
    ExpectLayout(*G, {{'h', "A"}, {'r', "q"}, {'r', "r"}, {'h', "B"}, {'r', "p"}}, "column 1");
    G->UnGroup();
    EXPECT_EQ(RowsOf(*G), (TTextTable{{"H0", "H1", "H2"}, {"", "A", "q"}, {"", "A", "r"}, {"", "B", "p"}}));
    EXPECT_EQ(G->RowCount(), static_cast<int>(Original.size()));
}

TEST(GridGroup, MergedHeadersCarryTheHeaderColours)
{
    auto G = LetterGrid();
    G->Grouping()->MergeHeader = true;
    G->Grouping()->HeaderColor = clYellow;
    G->Grouping()->MergeSummary = true;   // without Summary: nothing merged for it
    G->Group(3);
    for (int R = 1; R < G->RowCount(); ++R) {
        if (G->IsNodeRow(R)) {
            EXPECT_TRUE(G->IsMergedCell(1, R)) << R;
            EXPECT_EQ(G->MergedSpan(1, R).x, G->ColCount() - 2) << R;
            EXPECT_EQ(G->GetCellBrushColor(1, R), clYellow) << R;
        } else {
            EXPECT_FALSE(G->IsMergedCell(1, R)) << R;
        }
    }
    G->UnGroup();
    for (int R = 0; R < G->RowCount(); ++R)
        for (int C = 0; C < G->ColCount(); ++C)
            EXPECT_FALSE(G->IsMergedCell(C, R)) << C << "," << R;
}

TEST(GridGroup, FooterRowsAreNoSummaries)
{
    auto G = LetterGrid();
    G->SetRowCount(6);
    G->SetFixedFooters(1);
    G->SetCells(1, 5, "total");
    G->Grouping()->Summary = true;
    G->Grouping()->MergeSummary = true;
    G->Group(3);
    const int Last = G->RowCount() - 1;
    EXPECT_EQ(G->Cells(1, Last), "total");
    EXPECT_FALSE(G->IsMergedCell(1, Last));
    EXPECT_TRUE(G->IsSummaryRow(Last - 1));
    EXPECT_TRUE(G->IsMergedCell(1, Last - 1));
}

TEST(GridGroup, NothingToGroupAndColumnZeroDoNothing)
{
    auto G = LetterGrid();
    const TTextTable Before = RowsOf(*G);
    G->Group(0);
    EXPECT_EQ(RowsOf(*G), Before);
    EXPECT_EQ(G->GroupColumn(), -1);

    auto F = LetterGrid();
    F->SetFixedCols(2);
    F->Group(1);
    EXPECT_EQ(RowsOf(*F), Before);

    auto Empty = MakeGrid(3, 2, 0, 1);
    Empty->SetFixedFooters(1);
    Empty->SetCells(1, 1, "foot");
    Empty->Group(1);
    EXPECT_EQ(Empty->RowCount(), 2);
    EXPECT_EQ(Empty->ColCount(), 3);
    EXPECT_EQ(Empty->GroupColumn(), -1);

    auto Plain = LetterGrid();
    Plain->UnGroup();
    EXPECT_EQ(RowsOf(*Plain), Before);
}

TEST(GridGroup, SubGroupAndUngroupLevel)
{
    // Group by column 3, then sub-group by column 1 (now the row names
    // live in column 2 after column 3 is removed... so sub-group column 2).
    auto G = GridOf({{"", "k", "p", "A"}, {"", "k", "q", "A"}, {"", "m", "r", "A"}, {"", "k", "s", "B"}}, 1);
    G->Group(3);
    // Layout: hA, (k,p), (k,q), (m,r), hB, (k,s).
    ASSERT_EQ(G->RowCount(), 7);
    G->SubGroup(1);
    // hA, sub k, p, q, sub m, r, hB, sub k, s
    const std::vector<std::pair<char, String>> Expected = {{'h', "A"}, {'h', ""}, {'r', ""}, {'r', ""}, {'h', ""},
                                                           {'r', ""}, {'h', "B"}, {'h', ""}, {'r', ""}};
    ASSERT_EQ(G->RowCount() - 1, static_cast<int>(Expected.size()));
    for (std::size_t I = 0; I < Expected.size(); ++I) {
        const int R = static_cast<int>(I) + 1;
        EXPECT_EQ(G->IsNodeRow(R) ? 'h' : 'r', Expected[I].first) << R;
        EXPECT_EQ(G->Cells(1, R), Expected[I].second) << R;
    }
    EXPECT_EQ(G->Cells(2, 2), "k");
    EXPECT_EQ(G->Cells(2, 5), "m");
    EXPECT_EQ(G->Cells(2, 8), "k");
    EXPECT_EQ(G->Cells(2, 3), "p");
    EXPECT_EQ(G->GetNodeSpan(1), 6);   // grew by the two sub headers
    EXPECT_EQ(G->GetNodeSpan(2), 3);
    EXPECT_EQ(G->GetNodeSpan(5), 2);
    EXPECT_EQ(G->GetNodeSpan(7), 3);

    G->UngroupLevel(1);
    ASSERT_EQ(G->RowCount(), 7);
    EXPECT_EQ(ColumnOf(*G, 1, 1), (std::vector<String>{"A", "k", "k", "m", "B", "k"}));
    EXPECT_EQ(G->GetNodeSpan(1), 4);
    EXPECT_EQ(G->GetNodeSpan(5), 2);

    // UnGroup with a sub-level still present removes it first.
    G->SubGroup(1);
    G->UnGroup();
    EXPECT_EQ(RowsOf(*G), (TTextTable{{"H0", "H1", "H2", "H3"},
                                      {"", "k", "p", "A"},
                                      {"", "k", "q", "A"},
                                      {"", "m", "r", "A"},
                                      {"", "k", "s", "B"}}));
    EXPECT_EQ(G->NodeCount(), 0);
}

TEST(GridGroup, SubGroupWithSummaryRowsAndUnGroupBack)
{
    const long Live = TCellProperties::LiveCount();
    {
        auto G = GridOf({{"", "k", "p", "A"}, {"", "m", "q", "A"}, {"", "k", "r", "B"}}, 1);
        const TTextTable Original = RowsOf(*G);
        G->Grouping()->Summary = true;
        G->Group(3);
        // hA, (k,p), (m,q), sA, hB, (k,r), sB
        ASSERT_EQ(G->RowCount(), 8);
        G->SubGroup(1);
        // hA, sub k, p, sub m, q, sA, hB, sub k, r, sB: no summary row of its own for a sub-level.
        const std::vector<char> Kinds = {'h', 'h', 'r', 'h', 'r', 's', 'h', 'h', 'r', 's'};
        ASSERT_EQ(G->RowCount() - 1, static_cast<int>(Kinds.size()));
        for (std::size_t I = 0; I < Kinds.size(); ++I) {
            const int R = static_cast<int>(I) + 1;
            EXPECT_EQ(G->IsNodeRow(R) ? 'h' : (G->IsSummaryRow(R) ? 's' : 'r'), Kinds[I]) << R;
        }
        EXPECT_EQ(G->GetNodeSpan(1), 5);
        EXPECT_EQ(G->GetNodeSpan(2), 2);
        EXPECT_EQ(G->GetNodeSpan(7), 3);
        G->UnGroup();
        EXPECT_EQ(RowsOf(*G), Original);
        EXPECT_EQ(G->NodeCount(), 0);
    }
    EXPECT_EQ(TCellProperties::LiveCount(), Live);
}

TEST(GridGroup, AssignKeepsSummary)
{
    TGrouping A;
    TGrouping B;
    A.Summary = true;
    A.MergeHeader = true;
    A.HeaderColor = clRed;
    A.HeaderLineWidth = 5;
    B.Assign(&A);
    EXPECT_FALSE(B.Summary);
    EXPECT_TRUE(B.MergeHeader);
    EXPECT_EQ(B.HeaderColor, clRed);
    EXPECT_EQ(B.HeaderLineWidth, 2);
}

} // namespace
