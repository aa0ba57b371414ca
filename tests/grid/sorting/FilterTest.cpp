// Filtering rows: joining conditions, prefixes and suffixes, the cell text
// a condition tests, progress, and switching the filter off giving every
// row back, also with contracted nodes.

#include <gtest/gtest.h>

#include "tests/grid/sorting/SortingHelpers.h"
#include "tests/grid/utils/LocaleScope.h"

namespace {

struct TCond {
    short Column;
    String Condition;
    TFilterOperation Operation;
    TFilterCells Data = fcVirtual;
    String Prefix = "";
    String Suffix = "";
};

struct TFilterCase {
    const char* Name;
    std::vector<TCond> Conditions;
    std::vector<String> Shown;   // column 0 of the rows left
};

TEST(GridFilter, ConditionsJoinAsTheirOperationsSay)
{
    TLocaleScope Scope(LocaleEnglishUS);
    const TTextTable Data = {{"apple", "5", "$120", "10 kg"},
                             {"banana", "15", "$80", "3 kg"},
                             {"cherry", "25", "$300", "25 kg"},
                             {"<b>date</b>", "8", "$5", "1 kg"}};
    const std::vector<TFilterCase> Cases = {
        {"one condition", {{1, ">10", foSHORT}}, {"banana", "cherry"}},
        {"short is and", {{1, ">10", foSHORT}, {0, "c*", foSHORT}}, {"cherry"}},
        {"or joins", {{1, ">10", foSHORT}, {0, "a*", foOR}}, {"apple", "banana", "cherry"}},
        {"xor", {{1, ">10", foNONE}, {0, "*an*", foXOR}}, {"cherry"}},
        {"and", {{1, "<20", foNONE}, {0, "*e*", foAND}}, {"apple", "<b>date</b>"}},
        {"prefix", {{2, ">100", foSHORT, fcVirtual, "$"}}, {"apple", "cherry"}},
        {"suffix", {{3, "<5", foSHORT, fcVirtual, "", " kg"}}, {"banana", "<b>date</b>"}},
        {"html stripped", {{0, "date", foSHORT, fcStripHTML}}, {"<b>date</b>"}},
        {"html kept", {{0, "date", foSHORT, fcNormal}}, {}},
        {"calculated", {{1, "8", foSHORT, fcCalculated}}, {"<b>date</b>"}},
        {"no conditions", {}, {"apple", "banana", "cherry", "<b>date</b>"}},
    };
    for (const auto& C : Cases) {
        auto G = GridOf(Data, 1);
        for (const auto& Cond : C.Conditions) {
            TFilterData* F = G->Filter()->Add();
            F->Column = Cond.Column;
            F->Condition = Cond.Condition;
            F->Operation = Cond.Operation;
            F->Data = Cond.Data;
            F->Prefix = Cond.Prefix;
            F->Suffix = Cond.Suffix;
        }
        const TTextTable Before = RowsOf(*G);
        G->SetFilterActive(true);
        EXPECT_EQ(ColumnOf(*G, 0, 1), C.Shown) << C.Name;
        G->SetFilterActive(false);
        EXPECT_EQ(RowsOf(*G), Before) << C.Name;
    }
}

TEST(GridFilter, CustomFilterHasTheLastWord)
{
    auto G = GridOf({{"a"}, {"b"}, {"c"}}, 1);
    TFilterData* F = G->Filter()->Add();
    F->Condition = "a";
    std::vector<int> Asked;
    G->OnCustomFilter = [&](TObject*, int ARow, bool& Accept) {
        Asked.push_back(ARow);
        if (ARow == 3)
            Accept = true;
    };
    G->SetFilterActive(true);
    EXPECT_EQ(Asked, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ColumnOf(*G, 0, 1), (std::vector<String>{"a", "c"}));
}

TEST(GridFilter, ProgressReachesOneHundredAndIsSilentWithoutNormalRows)
{
    auto G = GridOf({{"1"}, {"2"}, {"3"}}, 1);
    G->Filter()->Add()->Condition = ">1";
    std::vector<short> Progress;
    G->OnFilterProgress = [&](TObject*, short P) { Progress.push_back(P); };
    G->SetFilterActive(true);
    EXPECT_EQ(Progress, (std::vector<short>{33, 67, 100, 100}));

    auto Empty = MakeGrid(2, 2, 0, 1);
    Empty->SetFixedFooters(1);
    Empty->Filter()->Add()->Condition = "x";
    int Calls = 0;
    Empty->OnFilterProgress = [&](TObject*, short) { ++Calls; };
    Empty->SetFilterActive(true);
    EXPECT_EQ(Calls, 0);
}

TEST(GridFilter, OffGivesBackRowsWithObjectsAndHeights)
{
    auto G = GridOf({{"keep", "1"}, {"drop", "2"}, {"keep", "3"}, {"drop", "4"}, {"keep", "5"}}, 1);
    G->SetRowHeights(2, 41);
    G->SetCellBrushColor(1, 4, clRed);
    const long Live = TCellProperties::LiveCount();
    const TTextTable Before = RowsOf(*G);
    G->Filter()->Add()->Condition = "keep";
    G->SetFilterActive(true);
    EXPECT_TRUE(G->FilterActive());
    EXPECT_EQ(ColumnOf(*G, 1, 1), (std::vector<String>{"1", "3", "5"}));
    EXPECT_EQ(G->HiddenRowCount(), 2);
    G->SetFilterActive(false);
    EXPECT_EQ(RowsOf(*G), Before);
    EXPECT_EQ(G->RowHeights(2), 41);
    EXPECT_EQ(G->GetCellBrushColor(1, 4), clRed);
    EXPECT_EQ(TCellProperties::LiveCount(), Live);
    EXPECT_EQ(G->HiddenRowCount(), 0);
}

TEST(GridFilter, ContractedNodesLoseAndMisplaceNoRow)
{
    // Rows 1..4 are a node contracted over rows 2..4; the filter hides rows
    // after the node, which are named by their real rows.
    auto G = GridOf({{"", "N"}, {"", "c1"}, {"", "c2"}, {"", "c3"}, {"", "x"}, {"", "y"}, {"", "x"}}, 1);
    G->AddNode(1, 4);
    const TTextTable Before = RowsOf(*G);
    G->ContractNode(1);
    EXPECT_EQ(G->RowCount(), 5);
    TFilterData* F = G->Filter()->Add();
    F->Column = 1;
    F->Condition = "!y";
    G->SetFilterActive(true);
    EXPECT_EQ(ColumnOf(*G, 1, 1), (std::vector<String>{"N", "x", "x"}));
    G->SetFilterActive(false);
    EXPECT_EQ(RowsOf(*G), Before);
    EXPECT_FALSE(G->IsNodeContracted(1));
}

TEST(GridFilter, FilterDataAssignCopiesEverySetting)
{
    TFilterData A;
    A.Column = 4;
    A.Condition = ">3";
    A.CaseSensitive = false;
    A.Data = fcStripHTML;
    A.Prefix = "$";
    A.Suffix = "%";
    A.Operation = foXOR;
    TFilterData B;
    B.Assign(&A);
    EXPECT_EQ(B.Column, 4);
    EXPECT_EQ(B.Condition, ">3");
    EXPECT_FALSE(B.CaseSensitive);
    EXPECT_EQ(B.Data, fcStripHTML);
    EXPECT_EQ(B.Prefix, "$");
    EXPECT_EQ(B.Suffix, "%");
    EXPECT_EQ(B.Operation, foXOR);
}

} // namespace
