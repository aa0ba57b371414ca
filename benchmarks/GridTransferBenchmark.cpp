// Moving cells in and out of the string grid at scale: a CSV file of 100,000
// rows imported (the file's size printed), and 100,000 x 10 cells copied to
// the clipboard as text and pasted back into a second grid, then the
// 65,536 rows the grid's own cell format can carry.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/Codepage.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/Navigation.h"

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;

double Seconds()
{
    LARGE_INTEGER Frequency, Now;
    QueryPerformanceFrequency(&Frequency);
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

String CellText(int C, int R) { return "c" + std::to_string(C) + "r" + std::to_string(R); }

void MakeGrid(TProStringGrid& G)
{
    G.SetColCount(Cols);
    G.SetRowCount(Rows);
    G.SetFixedCols(0);
    G.SetFixedRows(0);
    G.SetOptions(G.Options() | goEditing);
}

} // namespace

int main()
{
    // The CSV file: ten fields a line, one of them quoted with the delimiter inside.
    const std::filesystem::path Csv = std::filesystem::temp_directory_path() / "gridtransfer-benchmark.csv";
    {
        std::ofstream Out(Csv, std::ios::binary);
        for (int R = 0; R < Rows; ++R) {
            for (int C = 0; C < Cols; ++C) {
                if (C)
                    Out << ';';
                if (C == 3)
                    Out << "\"q;" << R << '"';
                else
                    Out << CellText(C, R);
            }
            Out << "\r\n";
        }
    }
    const auto Size = std::filesystem::file_size(Csv);
    {
        TProStringGrid G(nullptr);
        const double T0 = Seconds();
        G.ImportCSVFile(WideToStr(Csv.wstring()), -1);
        const double T1 = Seconds();
        std::printf("CSV import: %d rows x %d columns, file %.1f MB (%llu bytes): %.3f s\n", G.RowCount(), G.ColCount(),
                    static_cast<double>(Size) / (1024.0 * 1024.0), static_cast<unsigned long long>(Size), T1 - T0);
        if (G.Cells(3, Rows - 1) != "q;" + std::to_string(Rows - 1))
            std::printf("  unexpected last row: %s\n", G.Cells(3, Rows - 1).c_str());
    }
    std::filesystem::remove(Csv);

    TProStringGrid Source(nullptr);
    MakeGrid(Source);
    for (int R = 0; R < Rows; ++R)
        for (int C = 0; C < Cols; ++C)
            Source.SetCells(C, R, CellText(C, R));
    Source.SetSelection(TGridRect{0, 0, Cols - 1, Rows - 1});

    // The cell format carries 16-bit positions: its run takes the 65,536 rows it can hold.
    for (const bool Formatted : {false, true}) {
        const int Copied = Formatted ? 65536 : Rows;
        Source.SetSelection(TGridRect{0, 0, Cols - 1, Copied - 1});
        Source.Navigation()->AllowFmtClipboard = Formatted;
        TProStringGrid Target(nullptr);
        MakeGrid(Target);
        Target.Navigation()->AllowFmtClipboard = Formatted;
        const double T0 = Seconds();
        Source.CopySelectionToClipboard();
        const double T1 = Seconds();
        const int Count = Target.PasteFromClipboardAt(0, 0);
        const double T2 = Seconds();
        const bool Same = Target.Cells(Cols - 1, Copied - 1) == CellText(Cols - 1, Copied - 1);
        std::printf("Clipboard %s: %d x %d cells copied %.3f s, pasted %.3f s (%d %s)%s\n",
                    Formatted ? "cell format" : "text", Cols, Copied, T1 - T0, T2 - T1, Count,
                    Formatted ? "cells" : "fields", Same ? "" : " - last cell differs");
    }
    return 0;
}
