#pragma once
// Integer limits the grid applies to sizes and cell positions.

#include "framework/Grids.h"
#include "framework/Types.h"

// The largest counts a grid takes from a file, a stream or the clipboard.
constexpr Int64 MaxGridColCount = 65536;
constexpr Int64 MaxGridRowCount = 16777216;

// Raises EReadError, naming Where and the value, when a column or row count
// is negative or above the limits; checked before anything is allocated.
void CheckGridCounts(Int64 Cols, Int64 Rows, const String& Where);

Integer IntMax(Integer A, Integer B);
Integer IntMin(Integer A, Integer B);

// Value kept within automatic-size limits: a limit of 0 or less is no limit;
// a minimum above the value raises it, then a maximum below the given value
// lowers it (the maximum wins when both apply). Equal limits leave the value
// unchanged.
Integer ClampToLimits(Integer Value, Integer Minimum, Integer Maximum);

// True when the cell (ACol, ARow) lies in R: Left <= ACol <= Right and
// Top <= ARow <= Bottom.
bool CellInGridRect(const TGridRect& R, Integer ACol, Integer ARow);
