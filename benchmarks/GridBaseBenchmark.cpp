// The string grid base at scale: filling 100,000 rows x 10 columns with short
// texts, deleting 1,000 rows from the top, the memory a cell takes, and a
// full repaint of a 1280 x 1024 window on a grid of 1,000 rows against one
// of 1,000,000 rows (painting must cost what is on screen, not what is stored).
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <string>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Grids.h"
#include "tests/support/GuiHarness.h"

namespace {

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Bytes the program holds from the heap now, counted by the allocation
// functions below (the usable size of each block).
std::atomic<long long> LiveBytes{0};

long long HeldBytes()
{
    return LiveBytes.load();
}

String ShortText(int Col, int Row)
{
    String text(1, 'r');
    text += std::to_string(Row);
    text += 'c';
    text += std::to_string(Col);
    return text;
}

// Seconds per full repaint of the grid's window, over Count repaints,
// with the grid scrolled to TopRow.
double RepaintSeconds(TStringGrid* Grid, int TopRow, int Count)
{
    Grid->SetTopRow(TopRow);
    gui::Settle();
    const double start = Seconds();
    for (int i = 0; i < Count; ++i) {
        RedrawWindow(Grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    GdiFlush();
    return (Seconds() - start) / Count;
}

} // namespace

void* operator new(std::size_t Size)
{
    void* p = std::malloc(Size == 0 ? 1 : Size);
    if (p == nullptr)
        throw std::bad_alloc();
    LiveBytes += static_cast<long long>(_msize(p));
    return p;
}

void operator delete(void* P) noexcept
{
    if (P == nullptr)
        return;
    LiveBytes -= static_cast<long long>(_msize(P));
    std::free(P);
}

void operator delete(void* P, std::size_t) noexcept
{
    operator delete(P);
}

// The aligned forms as well (the string grid's cell pool takes its chunks
// through them): the block's size is kept in front of the aligned address.
void* operator new(std::size_t Size, std::align_val_t Align)
{
    const auto A = static_cast<std::size_t>(Align);
    auto* p = static_cast<char*>(_aligned_malloc(Size + A, A));
    if (p == nullptr)
        throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = Size;
    LiveBytes += static_cast<long long>(Size);
    return p + A;
}

void operator delete(void* P, std::align_val_t Align) noexcept
{
    if (P == nullptr)
        return;
    char* p = static_cast<char*>(P) - static_cast<std::size_t>(Align);
    LiveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(p));
    _aligned_free(p);
}

void operator delete(void* P, std::size_t, std::align_val_t Align) noexcept
{
    operator delete(P, Align);
}

int main()
{
    constexpr int rows = 100000;
    constexpr int cols = 10;

    // Fill, delete, memory: a grid without a window.
    const long long before = HeldBytes();
    auto* grid = new TStringGrid(nullptr);
    grid->SetColCount(cols);
    grid->SetRowCount(rows + 1);
    double start = Seconds();
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid->SetCells(c, r, ShortText(c, r));
    const double fill = Seconds() - start;
    const long long after = HeldBytes();
    start = Seconds();
    for (int i = 0; i < 1000; ++i)
        grid->DeleteRow(1);
    const double remove = Seconds() - start;
    const bool intact = grid->Cells(3, 1) == ShortText(3, 1001) && grid->RowCount() == rows + 1 - 1000;
    delete grid;
    std::printf("fill %d x %d cells: %.3f s (%.0f ns per cell)\n", rows, cols, fill, fill * 1e9 / (rows * cols));
    std::printf("delete 1000 rows from the top: %.4f s (%.1f us per row)%s\n", remove, remove * 1e6 / 1000,
                intact ? "" : "  WRONG CONTENT AFTER DELETING");
    std::printf("memory: %.1f bytes per cell, row storage included (texts of 4 to 9 characters)\n",
                static_cast<double>(after - before) / (rows * cols));

    // Repaint: the same window on a small and a huge grid.
    auto* form = new TForm(Application);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 1280, 1024);
    auto* small = new TStringGrid(form);
    auto* huge = new TStringGrid(form);
    for (TStringGrid* g : {small, huge}) {
        g->SetParent(form);
        g->SetAlign(alClient);
        g->SetColCount(30);
        g->SetVisible(false);
    }
    small->SetRowCount(1000);
    huge->SetRowCount(1000000);
    // Texts in every cell that either grid shows, and in every 100th row of the huge one.
    for (int r = 0; r < 1000; ++r)
        for (int c = 0; c < 30; ++c) {
            small->SetCells(c, r, ShortText(c, r));
            huge->SetCells(c, r, ShortText(c, r));
            huge->SetCells(c, 500000 + r, ShortText(c, 500000 + r));
        }
    for (int r = 0; r < 1000000; r += 100)
        huge->SetCells(1, r, ShortText(1, r));
    form->Show();
    constexpr int repaints = 40;
    small->SetVisible(true);
    const double smallTop = RepaintSeconds(small, 1, repaints);
    const double smallMiddle = RepaintSeconds(small, 500, repaints);
    small->SetVisible(false);
    huge->SetVisible(true);
    const double hugeTop = RepaintSeconds(huge, 1, repaints);
    const double hugeMiddle = RepaintSeconds(huge, 500000, repaints);
    std::printf("repaint 1280x1024, %d visible cells: 1,000 rows %.2f ms (scrolled %.2f ms), "
                "1,000,000 rows %.2f ms (scrolled to row 500,000 %.2f ms)\n",
                (huge->VisibleRowCount() + 2) * (huge->VisibleColCount() + 2), smallTop * 1e3, smallMiddle * 1e3,
                hugeTop * 1e3, hugeMiddle * 1e3);
    std::printf("repaint ratio 1,000,000 rows / 1,000 rows: %.2f (scrolled: %.2f)\n", hugeTop / smallTop,
                hugeMiddle / smallMiddle);
    delete form;
    return 0;
}
