#include "grid/core/GridLimits.h"

#include "framework/Exception.h"
#include "framework/StrUtils.h"

namespace {

void CheckCount(Int64 Value, Int64 Limit, const char* What, const String& Where)
{
    if (Value < 0)
        throw EReadError(Where + ": negative " + What + " count " + IntToStr(Value));
    if (Value > Limit)
        throw EReadError(Where + ": " + What + " count " + IntToStr(Value) + " is above the limit of " +
                         IntToStr(Limit));
}

} // namespace

void CheckGridCounts(Int64 Cols, Int64 Rows, const String& Where)
{
    CheckCount(Cols, MaxGridColCount, "column", Where);
    CheckCount(Rows, MaxGridRowCount, "row", Where);
}

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
