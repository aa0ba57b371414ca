// The string grid's row operations at scale, on a grid of 100,000 rows x 10
// columns: inserting and removing 1,000 rows in the middle, hiding every
// other row and showing all rows again. Each figure is printed next to the
// same operation on a plain std::vector of rows in the same run.
#include <windows.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "grid/core/ProGrid.h"

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;
constexpr int Block = 1000;

double Seconds()
{
    LARGE_INTEGER Frequency, Now;
    QueryPerformanceFrequency(&Frequency);
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

String Text(int Col, int Row) { return "r" + std::to_string(Row) + "c" + std::to_string(Col); }

using PlainRow = std::array<String, Cols>;

// Aim 0: the figure has no aim of its own.
void Report(const char* What, double Grid, double Plain, double Aim = 0)
{
    const double Ratio = Plain > 0 ? Grid / Plain : 0.0;
    std::printf("%-40s grid %9.1f ms   std::vector %9.1f ms   ratio %6.2f", What, Grid * 1000.0, Plain * 1000.0, Ratio);
    if (Aim > 0)
        std::printf(" (aim <= %.0f)%s", Aim, Ratio <= Aim ? "" : "  ABOVE AIM");
    std::printf("\n");
}

} // namespace

int main()
{
    TProStringGrid Grid(nullptr);
    Grid.SetColCount(Cols);
    Grid.SetRowCount(Rows);
    Grid.SetFixedRows(0);
    Grid.SetFixedCols(0);
    std::vector<PlainRow> Plain(Rows);
    for (int R = 0; R < Rows; ++R)
        for (int C = 0; C < Cols; ++C) {
            Grid.SetCells(C, R, Text(C, R));
            Plain[static_cast<std::size_t>(R)][static_cast<std::size_t>(C)] = Text(C, R);
        }
    const int Middle = Rows / 2;

    double T0 = Seconds();
    Grid.InsertRows(Middle, Block);
    double TGrid = Seconds() - T0;
    T0 = Seconds();
    Plain.insert(Plain.begin() + Middle, Block, PlainRow{});
    double TPlain = Seconds() - T0;
    Report("insert 1,000 rows in the middle", TGrid, TPlain);

    T0 = Seconds();
    Grid.RemoveRows(Middle, Block);
    TGrid = Seconds() - T0;
    T0 = Seconds();
    Plain.erase(Plain.begin() + Middle, Plain.begin() + Middle + Block);
    TPlain = Seconds() - T0;
    Report("remove 1,000 rows in the middle", TGrid, TPlain, 3);

    std::vector<int> EveryOther;
    for (int R = 1; R < Rows; R += 2)
        EveryOther.push_back(R);
    T0 = Seconds();
    Grid.HideRowList(EveryOther);
    TGrid = Seconds() - T0;
    std::vector<PlainRow> Hidden;
    T0 = Seconds();
    {
        std::vector<PlainRow> Shown;
        Shown.reserve(Plain.size() / 2 + 1);
        Hidden.reserve(Plain.size() / 2);
        for (std::size_t R = 0; R < Plain.size(); ++R)
            (R % 2 ? Hidden : Shown).push_back(std::move(Plain[R]));
        Plain = std::move(Shown);
    }
    TPlain = Seconds() - T0;
    Report("hide every other row", TGrid, TPlain);

    T0 = Seconds();
    Grid.UnHideRowsAll();
    TGrid = Seconds() - T0;
    T0 = Seconds();
    {
        std::vector<PlainRow> All;
        All.reserve(Plain.size() + Hidden.size());
        for (std::size_t R = 0; R < Plain.size(); ++R) {
            All.push_back(std::move(Plain[R]));
            if (R < Hidden.size())
                All.push_back(std::move(Hidden[R]));
        }
        Plain = std::move(All);
    }
    TPlain = Seconds() - T0;
    Report("unhide all rows", TGrid, TPlain);

    // The rows are back in order in both.
    bool Same = Grid.RowCount() == static_cast<int>(Plain.size());
    for (int R = 0; Same && R < Grid.RowCount(); R += 997)
        Same = Grid.Cells(3, R) == Plain[static_cast<std::size_t>(R)][3];
    std::printf("rows after the run: grid %d, std::vector %zu, %s\n", Grid.RowCount(), Plain.size(),
                Same ? "same texts" : "TEXTS DIFFER");
    return Same ? 0 : 1;
}
