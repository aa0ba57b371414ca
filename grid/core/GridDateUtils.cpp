#include "grid/core/GridDateUtils.h"

#include <algorithm>
#include <cmath>

#include "framework/StrUtils.h"
#include "grid/core/GridLocaleFormats.h"

namespace {

// Day number 0 is 1899-12-30, which is day 693594 of the proleptic
// Gregorian calendar counted from 0001-01-01 as day 1.
constexpr Int64 DateDelta = 693594;
// The day number of 9999-12-31.
constexpr Int64 MaxDayNumber = 3652059;

bool IsLeapYear(Integer Year) { return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0); }

Integer DaysInMonth(Integer Year, Integer Month)
{
    static const Integer Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

// Days from 0001-01-01 (day 1) to the given valid date.
Int64 DayNumber(Integer Year, Integer Month, Integer Day)
{
    const Int64 y = Year - 1;
    Int64 n = y * 365 + y / 4 - y / 100 + y / 400;
    for (Integer m = 1; m < Month; ++m)
        n += DaysInMonth(Year, m);
    return n + Day;
}

// Splits S at the first and the next Separator into three parts.
bool SplitDate(const String& S, char Separator, String& A, String& B, String& C)
{
    const std::size_t First = S.find(Separator);
    if (First == String::npos)
        return false;
    const std::size_t Second = S.find(Separator, First + 1);
    if (Second == String::npos)
        return false;
    A = S.substr(0, First);
    B = S.substr(First + 1, Second - First - 1);
    C = S.substr(Second + 1);
    return true;
}

bool ToIntegers(const String& A, const String& B, const String& C, Integer& a, Integer& b, Integer& c)
{
    return TryStrToInt(A, a) && TryStrToInt(B, b) && TryStrToInt(C, c);
}

// The fixed-order reader of ParseDateMDY and ParseDateDMY.
TDateTime ParseFixedOrderDate(const String& S, bool MonthFirst)
{
    char Separator = '-';
    if (S.find('/') != String::npos)
        Separator = '/';
    else if (S.find('.') != String::npos)
        Separator = '.';
    else if (S.find('-') == String::npos)
        return 0.0;
    String A, B, C;
    Integer a = 0, b = 0, Year = 0;
    if (!SplitDate(S, Separator, A, B, C) || !ToIntegers(A, B, C, a, b, Year))
        return 0.0;
    Year += Year <= 25 ? 2000 : 1900;
    return MonthFirst ? EncodeDate(Year, a, b) : EncodeDate(Year, b, a);
}

} // namespace

bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
        return false;
    Date = static_cast<TDateTime>(DayNumber(Year, Month, Day) - DateDelta);
    return true;
}

TDateTime EncodeDate(Integer Year, Integer Month, Integer Day)
{
    TDateTime Date = 0;
    if (!TryEncodeDate(Year, Month, Day, Date))
        throw EConvertError("Invalid argument to date encode");
    return Date;
}

void DecodeDate(TDateTime Date, Integer& Year, Integer& Month, Integer& Day)
{
    // Days before day 0 carry their time as a positive fraction of a
    // negative number, so the day is the truncated value.
    // Dates outside 0001-01-01 .. 9999-12-31 decode as the nearer end.
    double Days = std::trunc(Date);
    if (!(Days >= 1 - DateDelta))
        Days = 1 - DateDelta;
    if (Days > MaxDayNumber - DateDelta)
        Days = MaxDayNumber - DateDelta;
    const Int64 n = static_cast<Int64>(Days) + DateDelta; // day 1 = 0001-01-01
    // Whole 400-, 100-, 4- and 1-year cycles from 0001-01-01.
    Int64 d = n - 1;
    Integer y = 1;
    y += static_cast<Integer>(d / 146097) * 400;
    d %= 146097;
    Int64 c = d / 36524;
    if (c == 4)
        c = 3;
    y += static_cast<Integer>(c) * 100;
    d -= c * 36524;
    y += static_cast<Integer>(d / 1461) * 4;
    d %= 1461;
    Int64 k = d / 365;
    if (k == 4)
        k = 3;
    y += static_cast<Integer>(k);
    d -= k * 365;
    Integer m = 1;
    while (d >= DaysInMonth(y, m)) {
        d -= DaysInMonth(y, m);
        ++m;
    }
    Year = y;
    Month = m;
    Day = static_cast<Integer>(d) + 1;
}

bool ParseShortDate(const String& S, TDateTime& Date)
{
    const TGridLocaleFormats F = GridLocaleFormats();
    const String Picture = UpperCase(F.ShortDateFormat);
    const std::size_t PD = Picture.find('D');
    const std::size_t PM = Picture.find('M');
    const std::size_t PY = Picture.find('Y');
    if (PD == String::npos || PM == String::npos || PY == String::npos)
        return false;
    String Part[3];
    Integer Value[3] = {};
    if (!SplitDate(S, F.DateSeparator, Part[0], Part[1], Part[2]) ||
        !ToIntegers(Part[0], Part[1], Part[2], Value[0], Value[1], Value[2]))
        return false;
    // The rank of a field's letter in the picture is the index of its part.
    auto Rank = [&](std::size_t P) { return (P > PD) + (P > PM) + (P > PY); };
    const Integer Day = Value[Rank(PD)];
    const Integer Month = Value[Rank(PM)];
    const Integer Year = Value[Rank(PY)];
    if (Day >= 32 || Month > 12)
        return false;
    return TryEncodeDate(Year, Month, Day, Date);
}

TDateTime ParseDateMDY(const String& S) { return ParseFixedOrderDate(S, true); }

TDateTime ParseDateDMY(const String& S) { return ParseFixedOrderDate(S, false); }

bool LooksLikeDate(const String& S)
{
    const char Separator = GridLocaleFormats().DateSeparator;
    const std::size_t First = S.find(Separator);
    if (First == String::npos || First < 1)
        return false;
    const std::size_t Second = S.find(Separator, First + 1);
    return Second != String::npos && Second - First >= 2;
}

TDateTime StepDate(Integer YearStep, Integer MonthStep, Integer DayStep, TDateTime Difference, TDateTime Date)
{
    Integer Year = 0, Month = 0, Day = 0;
    DecodeDate(Date, Year, Month, Day);
    if (DayStep != 0 && YearStep == 0 && MonthStep == 0)
        return Date + DayStep;
    if (YearStep != 0 && MonthStep == 0 && DayStep == 0)
        return EncodeDate(static_cast<Integer>(std::clamp<Int64>(Int64(Year) + YearStep, 0, 10000)), Month, Day);
    if (MonthStep != 0 && YearStep == 0 && DayStep == 0) {
        // Months past either end of the year carry into the year.
        const Int64 Months = Int64(Year) * 12 + (Month - 1) + MonthStep;
        const Int64 NewYear = Months >= 0 ? Months / 12 : -((11 - Months) / 12);
        if (NewYear < 1 || NewYear > 9999)
            throw EConvertError("Invalid argument to date encode");
        return EncodeDate(static_cast<Integer>(NewYear), static_cast<Integer>(Months - NewYear * 12) + 1, Day);
    }
    return Date + Difference;
}
