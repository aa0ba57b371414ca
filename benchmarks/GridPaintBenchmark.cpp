// Painting of the string grid, each figure beside its baseline in the same
// run: full repaints of a 1280 x 1024 grid with mixed cells (text, check
// boxes, merged cells, colours) against the base grid's repaint of a window
// of the same size with plain cells (aim: 2 x), for 1,000 and 1,000,000
// rows (painting costs what is on screen); then scrolling line by line in
// the window through 10,000 rows (aim: 60 lines/s), the painting of the
// row each line brings into view against a full repaint of the same window
// (aim: a fifth), and the whole line (the shift of the pixels and the
// scroll bar too) against the same repaint.
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

// Milliseconds per full repaint into a memory bitmap.
double RepaintMs(TCustomGrid* G, HDC DC)
{
    G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);   // warm-up
    const int N = 20;
    const double T0 = Seconds();
    for (int i = 0; i < N; ++i)
        G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    GdiFlush();
    return (Seconds() - T0) * 1000.0 / N;
}

// Milliseconds per full repaint of the window itself.
double WindowRepaintMs(TCustomGrid* G)
{
    RedrawWindow(G->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int N = 20;
    const double T0 = Seconds();
    for (int i = 0; i < N; ++i)
        RedrawWindow(G->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    return (Seconds() - T0) * 1000.0 / N;
}

struct TMemoryBitmap {
    HDC DC = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
    TMemoryBitmap(int W, int H)
    {
        HDC Screen = GetDC(nullptr);
        DC = CreateCompatibleDC(Screen);
        Bmp = CreateCompatibleBitmap(Screen, W, H);
        Old = SelectObject(DC, Bmp);
        ReleaseDC(nullptr, Screen);
    }
    ~TMemoryBitmap()
    {
        SelectObject(DC, Old);
        DeleteObject(Bmp);
        DeleteDC(DC);
    }
};

// The base grid's repaint of a window of the same size: 30 columns of the
// default width with short texts in every cell it shows.
double BaseGridRepaintMs(TForm* Form, int& Cells)
{
    auto* B = new TStringGrid(Form);
    B->SetParent(Form);
    B->SetBounds(0, 0, 1280, 1024);
    B->SetColCount(30);
    B->SetRowCount(1000);
    for (int R = 0; R < 60; ++R)
        for (int C = 0; C < 30; ++C)
            B->SetCells(C, R, "r" + std::to_string(R) + "c" + std::to_string(C));
    TMemoryBitmap Mem(B->ClientWidth(), B->ClientHeight());
    const double Ms = RepaintMs(B, Mem.DC);
    Cells = (B->VisibleColCount() + B->FixedCols() + 1) * (B->VisibleRowCount() + B->FixedRows() + 1);
    delete B;
    return Ms;
}

int Run()
{
    auto* Form = new TForm(Application);
    Form->SetBounds(0, 0, 1300, 1060);
    Form->Show();
    int BaseCells = 0;
    const double Base = BaseGridRepaintMs(Form, BaseCells);

    auto* G = new TProStringGrid(Form);
    G->SetParent(Form);
    G->SetBounds(0, 0, 1280, 1024);
    G->SetColCount(10);
    G->SetFixedCols(1);
    G->SetFixedRows(1);
    G->SetDefaultColWidth(120);
    {
        TMemoryBitmap Mem(G->ClientWidth(), G->ClientHeight());
        double Ms[2] = {};
        const int Counts[2] = {1000, 1000000};
        for (int i = 0; i < 2; ++i) {
            G->SetRowCount(Counts[i]);
            FillMixed(G, 0, 60);
            Ms[i] = RepaintMs(G, Mem.DC);
            const double Ratio = Ms[i] / Base;
            std::printf("full repaint 1280 x 1024, mixed cells, %7d rows: %6.2f ms (%5.1f/s); base grid, %d plain "
                        "cells: %6.2f ms; ratio %4.2f (aim <= 2)%s\n",
                        Counts[i], Ms[i], 1000.0 / Ms[i], BaseCells, Base, Ratio, Ratio <= 2.0 ? "" : "  ABOVE AIM");
        }
        std::printf("ratio 1,000,000 / 1,000 rows: %.2f (1.0 = painting costs only what is visible)\n", Ms[1] / Ms[0]);
    }

    // Line by line through 10,000 rows: each line scrolls the window and
    // paints what came into view. The rate is measured over the first
    // Sample lines (each costs the same: painting costs what is visible)
    // and the whole run projected from it.
    G->SetRowCount(10000);
    FillMixed(G, 0, 10000);
    G->SetTopRow(1);
    const double Full = WindowRepaintMs(G);
    const int Sample = 300;
    const double T0 = Seconds();
    int Lines = 0;
    double Painting = 0;
    while (Lines < Sample && G->TopRow() < G->MaxTopRow()) {
        G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
        const double P0 = Seconds();
        UpdateWindow(G->Handle());
        Painting += Seconds() - P0;
        ++Lines;
    }
    GdiFlush();
    const double T = Seconds() - T0;
    const double Rate = Lines / T;
    const double PerLine = T * 1000.0 / Lines;
    const double PaintPerLine = Painting * 1000.0 / Lines;
    const int AllLines = G->MaxTopRow() - 1;
    std::printf("scroll line by line: %d lines in %.2f s, %.1f lines/s (aim >= 60)%s; through 10,000 rows (%d lines): "
                "%.0f s\n",
                Lines, T, Rate, Rate >= 60 ? "" : "  BELOW AIM", AllLines, AllLines * T / Lines);
    std::printf("the new row's painting: %.2f ms; a full repaint of the window: %.2f ms; share %.2f (aim <= 0.2)%s\n",
                PaintPerLine, Full, PaintPerLine / Full, PaintPerLine / Full <= 0.2 ? "" : "  ABOVE AIM");
    std::printf("one line scrolled (pixels shifted, scroll bar) and painted: %.2f ms; share of a full repaint %.2f\n",
                PerLine, PerLine / Full);
    // The model alone: the same scroll without painting.
    G->SetTopRow(1);
    G->Perform(WM_SETREDRAW, FALSE, 0);
    const double M0 = Seconds();
    while (G->TopRow() < G->MaxTopRow())
        G->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    std::printf("the same 10,000 rows scrolled without painting: %.2f s\n", Seconds() - M0);
    G->Perform(WM_SETREDRAW, TRUE, 0);

    delete Form;
    return 0;
}

} // namespace

int main()
{
    // Each figure shows as soon as it is measured.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    try {
        return Run();
    } catch (const std::exception& E) {
        std::printf("failed: %s\n", E.what());
        return 1;
    }
}
