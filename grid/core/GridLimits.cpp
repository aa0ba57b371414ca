#include "grid/core/GridLimits.h"

Integer IntMax(Integer A, Integer B) { return A > B ? A : B; }

Integer IntMin(Integer A, Integer B) { return A < B ? A : B; }

Integer ClampToLimits(Integer Value, Integer Minimum, Integer Maximum)
{
    if (Minimum == Maximum)
        return Value;
    Integer Result = Value;
    if (Minimum > 0 && Minimum > Value)
        Result = Minimum;
    if (Maximum > 0 && Maximum < Value)
        Result = Maximum;
    return Result;
}

bool CellInGridRect(const TGridRect& R, Integer ACol, Integer ARow)
{
    return R.Left <= ACol && ACol <= R.Right && R.Top <= ARow && ARow <= R.Bottom;
}
