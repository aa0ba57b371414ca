// Sorting and filtering the string grid at scale: 100,000 rows x 4 columns
// sorted by an integer column, by a text column and by two columns (an
// indexed sort), each printed as a ratio to std::stable_sort of the same
// keys in a plain vector in the same run; then a filter by a condition.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "grid/core/ProGrid.h"

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 4;

double Seconds()
{
    LARGE_INTEGER Frequency, Now;
    QueryPerformanceFrequency(&Frequency);
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

struct TRowData {
    int Number;
    String Word;
    int Small;
    String Tag;
};

std::vector<TRowData> MakeRows()
{
    std::mt19937 Rng(4242);
    std::uniform_int_distribution<int> Number(-1000000, 1000000);
    std::uniform_int_distribution<int> Small(0, 99);
    std::uniform_int_distribution<int> Letter(0, 25);
    std::vector<TRowData> V(Rows);
    for (auto& R : V) {
        R.Number = Number(Rng);
        for (int I = 0; I < 8; ++I)
            R.Word.push_back(static_cast<char>('a' + Letter(Rng)));
        R.Small = Small(Rng);
        R.Tag = "t" + std::to_string(Small(Rng));
    }
    return V;
}

void Fill(TProStringGrid& Grid, const std::vector<TRowData>& Data)
{
    Grid.SetColCount(Cols);
    Grid.SetRowCount(Rows + 1);
    Grid.SetFixedRows(1);
    Grid.SetFixedCols(0);
    for (int R = 0; R < Rows; ++R) {
        const TRowData& D = Data[static_cast<std::size_t>(R)];
        Grid.SetCells(0, R + 1, std::to_string(D.Number));
        Grid.SetCells(1, R + 1, D.Word);
        Grid.SetCells(2, R + 1, std::to_string(D.Small));
        Grid.SetCells(3, R + 1, D.Tag);
    }
}

void Report(const char* What, double Grid, double Plain)
{
    std::printf("%-44s grid %8.1f ms   std::stable_sort %7.1f ms   ratio %6.2f\n", What, Grid * 1000.0,
                Plain * 1000.0, Plain > 0 ? Grid / Plain : 0.0);
}

// The keys of every row with the row's index, sorted by the keys alone.
template <class Key, class Less>
double PlainSort(const std::vector<TRowData>& Data, Key K, Less L)
{
    using TKey = decltype(K(Data[0]));
    std::vector<std::pair<TKey, int>> Keys;
    Keys.reserve(Data.size());
    for (std::size_t I = 0; I < Data.size(); ++I)
        Keys.emplace_back(K(Data[I]), static_cast<int>(I));
    const double T0 = Seconds();
    std::stable_sort(Keys.begin(), Keys.end(), [&](const auto& A, const auto& B) { return L(A.first, B.first); });
    return Seconds() - T0;
}

} // namespace

int main()
{
    const std::vector<TRowData> Data = MakeRows();

    {
        TProStringGrid Grid(nullptr);
        Fill(Grid, Data);
        Grid.SortSettings()->Column = 0;
        Grid.SortSettings()->Full = false;
        const double T0 = Seconds();
        Grid.SortRows();
        const double TGrid = Seconds() - T0;
        Report("sort 100,000 rows by an integer column", TGrid,
               PlainSort(Data, [](const TRowData& D) { return D.Number; }, [](int A, int B) { return A < B; }));
    }
    {
        TProStringGrid Grid(nullptr);
        Fill(Grid, Data);
        Grid.SortSettings()->Column = 1;
        Grid.SortSettings()->Full = false;
        const double T0 = Seconds();
        Grid.SortRows();
        const double TGrid = Seconds() - T0;
        Report("sort 100,000 rows by a text column", TGrid,
               PlainSort(Data, [](const TRowData& D) { return D.Word; },
                         [](const String& A, const String& B) { return A < B; }));
    }
    {
        TProStringGrid Grid(nullptr);
        Fill(Grid, Data);
        Grid.SortIndexList()->AddSortColumn(2, true);
        Grid.SortIndexList()->AddSortColumn(1, false);
        const double T0 = Seconds();
        Grid.SortRowsIndexed();
        const double TGrid = Seconds() - T0;
        Report("sort 100,000 rows by two columns", TGrid,
               PlainSort(Data, [](const TRowData& D) { return std::make_pair(D.Small, D.Word); },
                         [](const std::pair<int, String>& A, const std::pair<int, String>& B) {
                             if (A.first != B.first)
                                 return A.first < B.first;
                             return A.second > B.second;
                         }));
    }
    {
        TProStringGrid Grid(nullptr);
        Fill(Grid, Data);
        TFilterData* F = Grid.Filter()->Add();
        F->Column = 0;
        F->Condition = ">0";
        double T0 = Seconds();
        Grid.SetFilterActive(true);
        const double TOn = Seconds() - T0;
        const int Shown = Grid.RowCount() - 1;
        T0 = Seconds();
        Grid.SetFilterActive(false);
        const double TOff = Seconds() - T0;
        std::vector<const TRowData*> Plain;
        T0 = Seconds();
        for (const auto& R : Data)
            if (R.Number > 0)
                Plain.push_back(&R);
        const double TPlain = Seconds() - T0;
        std::printf("%-44s grid %8.1f ms   (%d rows shown; plain loop %.1f ms)\n", "filter 100,000 rows by \">0\"",
                    TOn * 1000.0, Shown, TPlain * 1000.0);
        std::printf("%-44s grid %8.1f ms\n", "filter off again", TOff * 1000.0);
    }
    return 0;
}
