// Painting of the string grid: full repaints per second of a 1280 x 1024
// grid with mixed cells (text, check boxes, merged cells, colours) for
// 1,000 and 1,000,000 rows (painting costs what is on screen, so the two
// rates should be close), and a scroll through 10,000 rows line by line
// in the window (each line scrolled and the new row painted).
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "framework/Application.h"
#include "framework/Form.h"
#include "grid/core/ProGrid.h"

namespace {

double Seconds()
{
    LARGE_INTEGER Frequency, Now;
    QueryPerformanceFrequency(&Frequency);
    QueryPerformanceCounter(&Now);
    return static_cast<double>(Now.QuadPart) / static_cast<double>(Frequency.QuadPart);
}

// Fills the rows that the benchmark shows and scrolls through with mixed cells.
void FillMixed(TProStringGrid* G, int FirstRow, int LastRow)
{
    for (int R = FirstRow; R <= LastRow && R < G->RowCount(); ++R) {
        G->SetCells(0, R, std::to_string(R));
        G->SetCells(1, R, "Name " + std::to_string(R));
        G->PutCheckBox(2, R, R % 3 == 0, false);
        G->SetCells(2, R, "Slot");
        if (R % 5 == 0)
            G->EnsureCellProperties(3, R)->SetBrushColor(0x00C0FFFF);
        G->SetCells(3, R, "12.5");
        if (R % 7 == 0 && R + 1 <= LastRow)
            G->MergeCells(4, R, 2, 1);
        G->SetCells(4, R, "merged text");
    }
}

double RepaintsPerSecond(TProStringGrid* G, HDC DC)
{
    G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);  // warm-up
    const int N = 20;
    const double T0 = Seconds();
    for (int i = 0; i < N; ++i)
        G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    GdiFlush();
    return N / (Seconds() - T0);
}

} // namespace

int main()
{
    auto* Form = new TForm(Application);
    Form->SetBounds(0, 0, 1300, 1060);
    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(0, 0, 1280, 1024);
    G->SetColCount(10);
    G->SetFixedCols(1);
    G->SetFixedRows(1);
    G->SetDefaultColWidth(120);
    Form->Show();

    HDC Screen = GetDC(nullptr);
    HDC Mem = CreateCompatibleDC(Screen);
    HBITMAP Bmp = CreateCompatibleBitmap(Screen, G->ClientWidth(), G->ClientHeight());
    HGDIOBJ Old = SelectObject(Mem, Bmp);
    ReleaseDC(nullptr, Screen);

    double Rates[2] = {};
    const int Counts[2] = {1000, 1000000};
    for (int i = 0; i < 2; ++i) {
        G->SetRowCount(Counts[i]);
        FillMixed(G, 0, 60);
        Rates[i] = RepaintsPerSecond(G, Mem);
        std::printf("full repaint, %7d rows: %8.1f repaints/s\n", Counts[i], Rates[i]);
    }
    std::printf("ratio 1,000,000 / 1,000 rows: %.2f (1.0 = painting costs only what is visible)\n",
                Rates[1] / Rates[0]);

    // Line by line through 10,000 rows: each line scrolls the window and
    // paints what came into view. The rate is measured over the first
    // Sample lines (each costs the same: painting costs what is visible)
    // and the whole run projected from it.
    G->SetRowCount(10000);
    FillMixed(G, 0, 10000);
    G->SetTopRow(1);
    const int Sample = 300;
    const double T0 = Seconds();
    int Lines = 0;
    while (Lines < Sample && G->TopRow() < G->MaxTopRow()) {
        G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(G->Handle());
        ++Lines;
    }
    const double T = Seconds() - T0;
    const int AllLines = G->MaxTopRow() - 1;
    std::printf("scroll line by line: %d lines in %.2f s (%.1f lines/s); through 10,000 rows (%d lines): %.0f s\n", Lines,
                T, Lines / T, AllLines, AllLines * T / Lines);
    // The model alone: the same scroll without painting.
    G->SetTopRow(1);
    G->Perform(WM_SETREDRAW, FALSE, 0);
    const double M0 = Seconds();
    while (G->TopRow() < G->MaxTopRow())
        G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    std::printf("the same 10,000 rows scrolled without painting: %.2f s\n", Seconds() - M0);
    G->Perform(WM_SETREDRAW, TRUE, 0);

    SelectObject(Mem, Old);
    DeleteObject(Bmp);
    DeleteDC(Mem);
    delete Form;
    return 0;
}
