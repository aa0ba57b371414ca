#pragma once
// Integer limits the grid applies to sizes and cell positions.

#include "framework/Grids.h"
#include "framework/Types.h"

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
