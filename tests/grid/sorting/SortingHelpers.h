#pragma once
// Grids filled from tables of texts, and their columns read back, for the
// sorting, filtering and grouping tests.

#include <memory>
#include <string>
#include <vector>

#include "grid/core/ProGrid.h"

using TTextTable = std::vector<std::vector<String>>;   // rows of cells

inline std::unique_ptr<TProStringGrid> MakeGrid(int Cols, int Rows, int FixedCols = 0, int FixedRows = 0)
{
    auto G = std::make_unique<TProStringGrid>(nullptr);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedCols(FixedCols);
    G->SetFixedRows(FixedRows);
    return G;
}

// A grid whose rows are the table's rows, below FixedRows header rows that
// hold "H<column>".
inline std::unique_ptr<TProStringGrid> GridOf(const TTextTable& Rows, int FixedRows = 0, int FixedCols = 0)
{
    const int Cols = Rows.empty() ? 1 : static_cast<int>(Rows[0].size());
    auto G = MakeGrid(Cols, static_cast<int>(Rows.size()) + FixedRows, FixedCols, FixedRows);
    for (int R = 0; R < FixedRows; ++R)
        for (int C = 0; C < Cols; ++C)
            G->SetCells(C, R, "H" + std::to_string(C));
    for (std::size_t R = 0; R < Rows.size(); ++R)
        for (std::size_t C = 0; C < Rows[R].size(); ++C)
            G->SetCells(static_cast<int>(C), static_cast<int>(R) + FixedRows, Rows[R][C]);
    return G;
}

// One column's stored texts from row From to the last row.
inline std::vector<String> ColumnOf(TProStringGrid& G, int Col, int From = 0)
{
    std::vector<String> V;
    for (int R = From; R < G.RowCount(); ++R)
        V.push_back(G.Cells(Col, R));
    return V;
}

// Every stored row from row From on, all columns.
inline TTextTable RowsOf(TProStringGrid& G, int From = 0)
{
    TTextTable T;
    for (int R = From; R < G.RowCount(); ++R) {
        std::vector<String> Row;
        for (int C = 0; C < G.ColCount(); ++C)
            Row.push_back(G.Cells(C, R));
        T.push_back(Row);
    }
    return T;
}

// A one-column grid of the texts (no fixed rows).
inline std::unique_ptr<TProStringGrid> ColumnGrid(const std::vector<String>& Texts)
{
    TTextTable T;
    for (const String& S : Texts)
        T.push_back({S});
    return GridOf(T);
}
