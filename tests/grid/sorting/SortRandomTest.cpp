// Random grids (fixed seed, bounded count) sorted by random columns,
// directions and index lists agree with a reference sort of the same keys;
// the kept-key path agrees cell for cell with the path that asks the format
// hook at every comparison; RestoreRowOrder brings back the first order;
// a filter switched on and off gives back every row.

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "tests/grid/sorting/SortingHelpers.h"

namespace {

constexpr int Cols = 4;
// Columns 0 and 2 hold integers, 1 and 3 words without number letters.
bool NumericCol(int C) { return C == 0 || C == 2; }

int Key(const String& S, int C, const String& T)
{
    if (NumericCol(C)) {
        const int A = std::stoi(S);
        const int B = std::stoi(T);
        return A < B ? -1 : (A > B ? 1 : 0);
    }
    const int R = S.compare(T);
    return R < 0 ? -1 : (R > 0 ? 1 : 0);
}

TTextTable RandomRows(std::mt19937& Rng, int N)
{
    const String Letters = "abcdxyzAB";
    std::uniform_int_distribution<int> Wide(-60, 60);
    std::uniform_int_distribution<int> Narrow(0, 3);
    std::uniform_int_distribution<int> Letter(0, static_cast<int>(Letters.size()) - 1);
    std::uniform_int_distribution<int> Len(1, 3);
    TTextTable T;
    for (int R = 0; R < N; ++R) {
        auto Word = [&](int MaxLen) {
            String W;
            const int L = std::min(Len(Rng), MaxLen);
            for (int I = 0; I < L; ++I)
                W.push_back(Letters[static_cast<std::size_t>(Letter(Rng))]);
            return W;
        };
        T.push_back({std::to_string(Wide(Rng)), Word(3), std::to_string(Narrow(Rng)), Word(1)});
    }
    return T;
}

// The key columns of every normal row.
TTextTable KeysOf(TProStringGrid& G, const std::vector<int>& KeyCols, int First, int Last)
{
    TTextTable K;
    for (int R = First; R <= Last; ++R) {
        std::vector<String> Row;
        for (int C : KeyCols)
            Row.push_back(G.Cells(C, R));
        K.push_back(Row);
    }
    return K;
}

TTextTable SortedMultiset(TTextTable T)
{
    std::sort(T.begin(), T.end());
    return T;
}

TEST(GridSortRandom, AgreesWithAReferenceSortAndRestoresTheOrder)
{
    std::mt19937 Rng(20240611);
    for (int Round = 0; Round < 40; ++Round) {
        const int N = std::uniform_int_distribution<int>(1, 120)(Rng);
        const int Fixed = Round % 2;
        const int Footers = (Round / 2) % 2;
        const TTextTable Data = RandomRows(Rng, N + Footers);
        auto G = GridOf(Data, Fixed);
        G->SetFixedFooters(Footers);
        const TTextTable Original = RowsOf(*G);
        const int First = Fixed;
        const int Last = G->RowCount() - 1 - Footers;
        const int Sorts = std::uniform_int_distribution<int>(1, 3)(Rng);
        for (int S = 0; S < Sorts; ++S) {
            const std::string Case = "round " + std::to_string(Round) + " sort " + std::to_string(S);
            const bool Indexed = std::uniform_int_distribution<int>(0, 2)(Rng) == 0;
            std::vector<int> KeyCols;
            std::vector<bool> Desc;
            if (Indexed) {
                std::vector<int> All = {0, 1, 2, 3};
                std::shuffle(All.begin(), All.end(), Rng);
                const int K = std::uniform_int_distribution<int>(1, 3)(Rng);
                G->SortIndexList()->Clear();
                for (int I = 0; I < K; ++I) {
                    const bool D = std::uniform_int_distribution<int>(0, 1)(Rng) == 1;
                    KeyCols.push_back(All[static_cast<std::size_t>(I)]);
                    Desc.push_back(D);
                    G->SortIndexList()->AddSortColumn(All[static_cast<std::size_t>(I)], !D);
                }
            } else {
                const int C = std::uniform_int_distribution<int>(0, Cols - 1)(Rng);
                const bool D = std::uniform_int_distribution<int>(0, 1)(Rng) == 1;
                G->SortSettings()->Column = C;
                G->SortSettings()->Direction = D ? sdDescending : sdAscending;
                for (int K = C; K < Cols; ++K) {
                    KeyCols.push_back(K);
                    Desc.push_back(D);
                }
            }

            // The same grid sorted with the format hook asked every time.
            auto Hooked = GridOf(RowsOf(*G), 0);
            Hooked->SetFixedRows(Fixed);
            Hooked->SetFixedFooters(Footers);
            Hooked->SortSettings()->Assign(G->SortSettings());
            Hooked->SortIndexList()->Assign(G->SortIndexList());
            Hooked->OnGetFormat = [](TObject*, int ACol, TSortStyle& St, String&, String&) {
                St = NumericCol(ACol) ? ssNumeric : ssAlphabetic;
            };

            TTextTable Expected = KeysOf(*G, KeyCols, First, Last);
            std::stable_sort(Expected.begin(), Expected.end(), [&](const auto& A, const auto& B) {
                for (std::size_t I = 0; I < KeyCols.size(); ++I) {
                    int R = Key(A[I], KeyCols[I], B[I]);
                    if (Desc[I])
                        R = -R;
                    if (R != 0)
                        return R < 0;
                }
                return false;
            });
            const TTextTable Before = SortedMultiset(RowsOf(*G));
            if (Indexed) {
                G->SortRowsIndexed();
                Hooked->SortRowsIndexed();
            } else {
                G->SortRows();
                Hooked->SortRows();
            }
            ASSERT_EQ(KeysOf(*G, KeyCols, First, Last), Expected) << Case;
            ASSERT_EQ(SortedMultiset(RowsOf(*G)), Before) << Case;
            ASSERT_EQ(RowsOf(*Hooked), RowsOf(*G)) << Case;
            ASSERT_EQ(G->RowCount(), static_cast<int>(Original.size())) << Case;
        }
        G->RestoreRowOrder();
        ASSERT_EQ(RowsOf(*G), Original) << "round " << Round;
    }
}

// Columns of mixed texts (numbers of every form, words, blanks, partial
// numbers) sorted with the keys read ahead give the very grid that the
// comparison of every pair of cells gives; a display-text hook that leaves
// the texts alone turns the read-ahead off, which makes that grid the
// reference. A format hook that leaves the style alone is asked once per
// column and changes nothing either.
TEST(GridSortRandom, ReadAheadKeysAgreeWithCellComparisonsOnMixedTexts)
{
    const std::vector<String> Pool = {"",     "7",   "-3",   "12.5", "1,000", "abc",   "B",  "-",
                                      "5x",   "1e3", " 4",   "0012", "3.",    ".5",    "-0", "+8",
                                      "2E-1", "e5",  "9999999999999999", "123456789012345", "-7.25", "a1", "Z"};
    const std::vector<String> DatePool = {"12/05/2008", "10:30", "1/2/2003 10:00"};
    std::mt19937 Rng(5150);
    auto Pick = [&](int Bound) { return std::uniform_int_distribution<int>(0, Bound - 1)(Rng); };
    for (int Round = 0; Round < 60; ++Round) {
        const int N = 1 + Pick(90);
        // Column 0 a few distinct values (many ties), 1 and 2 anything,
        // column 2 now and then with dates (no read-ahead for it).
        const bool Dates = Round % 5 == 4;
        TTextTable Data;
        for (int R = 0; R < N; ++R) {
            const String C2 = Dates && Pick(3) == 0 ? DatePool[static_cast<std::size_t>(Pick(3))]
                                                     : Pool[static_cast<std::size_t>(Pick(static_cast<int>(Pool.size())))];
            Data.push_back({Pool[static_cast<std::size_t>(Pick(4))],
                            Pool[static_cast<std::size_t>(Pick(static_cast<int>(Pool.size())))], C2,
                            std::to_string(R)});
        }
        const int Fixed = Pick(2);
        auto Fast = GridOf(Data, Fixed);
        auto Reference = GridOf(Data, Fixed);
        Reference->OnGetDisplText = [](TObject*, int, int, String&) {};
        auto Hooked = GridOf(Data, Fixed);
        std::vector<int> Asked(3, 0);
        Hooked->OnGetFormat = [&Asked](TObject*, int ACol, TSortStyle&, String&, String&) {
            if (ACol >= 0 && ACol < 3)
                ++Asked[static_cast<std::size_t>(ACol)];
        };
        const bool Indexed = Pick(3) == 0;
        for (auto* G : {Fast.get(), Reference.get(), Hooked.get()}) {
            TSortSettings* S = G->SortSettings();
            S->Full = Round % 3 != 0;
            S->AutoFormat = Round % 7 != 6;
            S->IgnoreBlanks = Round % 2 == 1;
            S->BlankPos = Round % 4 == 1 ? blLast : blFirst;
            S->Direction = Round % 4 >= 2 ? sdDescending : sdAscending;
            S->Column = Round % 3;
        }
        std::vector<int> Levels;
        std::vector<bool> Ascending;
        if (Indexed) {
            std::vector<int> All = {0, 1, 2};
            std::shuffle(All.begin(), All.end(), Rng);
            const int K = 1 + Pick(3);
            for (int I = 0; I < K; ++I) {
                Levels.push_back(All[static_cast<std::size_t>(I)]);
                Ascending.push_back(Pick(2) == 0);
            }
        }
        for (auto* G : {Fast.get(), Reference.get(), Hooked.get()}) {
            for (std::size_t I = 0; I < Levels.size(); ++I)
                G->SortIndexList()->AddSortColumn(Levels[I], Ascending[I]);
            if (Indexed)
                G->SortRowsIndexed();
            else
                G->SortRows();
        }
        ASSERT_EQ(RowsOf(*Fast), RowsOf(*Reference)) << "round " << Round;
        ASSERT_EQ(RowsOf(*Hooked), RowsOf(*Reference)) << "round " << Round;
        for (int C = 0; C < 3; ++C)
            ASSERT_LE(Asked[static_cast<std::size_t>(C)], 1) << "round " << Round << ": column " << C << " asked again";
        Fast->RestoreRowOrder();
        ASSERT_EQ(RowsOf(*Fast, Fixed), Data) << "round " << Round;
    }
}

TEST(GridSortRandom, FilterOnAndOffGivesBackEveryRow)
{
    std::mt19937 Rng(77);
    for (int Round = 0; Round < 30; ++Round) {
        const int N = std::uniform_int_distribution<int>(0, 80)(Rng);
        auto G = GridOf(RandomRows(Rng, N), 1);
        // Some rows hidden under a contracted node before the filter.
        if (N >= 6 && Round % 3 == 0) {
            G->AddNode(2, 3);
            G->ContractNode(2);
        }
        const int Limit = std::uniform_int_distribution<int>(-60, 60)(Rng);
        TFilterData* F = G->Filter()->Add();
        F->Condition = ">" + std::to_string(Limit);
        std::vector<String> Expected;
        for (int R = 1; R < G->RowCount(); ++R)
            if (std::stoi(G->Cells(0, R)) > Limit)
                Expected.push_back(G->Cells(0, R));
        G->ExpandAllNodes();
        const TTextTable Original = RowsOf(*G);
        if (N >= 6 && Round % 3 == 0)
            G->ContractNode(2);
        G->SetFilterActive(true);
        ASSERT_EQ(ColumnOf(*G, 0, 1), Expected) << "round " << Round;
        G->SetFilterActive(false);
        ASSERT_EQ(RowsOf(*G), Original) << "round " << Round;
        ASSERT_EQ(G->HiddenRowCount(), 0) << "round " << Round;
    }
}

} // namespace
