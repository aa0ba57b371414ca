#pragma once
// Dates in cell texts: reading them in the locale's short date order or in a
// fixed day/month/year order (for sorting), telling whether a text looks like
// a date, and stepping a date series (for filling cells).
//
// A TDateTime counts days since 1899-12-30 (day 0); the fraction is the time
// of day.

#include "framework/Exception.h"
#include "framework/Types.h"

using TDateTime = double;

// The date of Year-Month-Day (years 1 to 9999). TryEncodeDate returns false
// for an impossible date; EncodeDate raises EConvertError "Invalid argument
// to date encode".
bool TryEncodeDate(Integer Year, Integer Month, Integer Day, TDateTime& Date);
TDateTime EncodeDate(Integer Year, Integer Month, Integer Day);
// Year, month and day of a date; its time of day is ignored.
void DecodeDate(TDateTime Date, Integer& Year, Integer& Month, Integer& Day);

// Reads a date of three numbers separated by the locale's date separator, in
// the order of day, month and year in the locale's short date format. The
// year is taken as written (no century is added). False, with Date
// unchanged, when the text is no such date.
bool ParseShortDate(const String& S, TDateTime& Date);
// Read month/day/year or day/month/year, separated by "/", else ".", else
// "-" (the first of these the text holds). A year up to 25 gets 2000 added,
// any other 1900 (a four-digit year too, so texts of one style keep their
// order when sorted). A text without separator or with a part that is not a
// number gives 0.0; an impossible date raises EConvertError.
TDateTime ParseDateMDY(const String& S);
TDateTime ParseDateDMY(const String& S);
// The first date separator stands at position 2 or later, and the next one
// at position 2 or later counting from the character after the first.
bool LooksLikeDate(const String& S);
// The date after Date in a series whose first two dates differ by the given
// year, month and day steps (each may be negative) and by Difference in days:
// a step in only one field steps that field, keeping the others; any other
// combination adds Difference. Raises EConvertError when the stepped day
// does not exist (the 31st in a 30-day month).
TDateTime StepDate(Integer YearStep, Integer MonthStep, Integer DayStep, TDateTime Difference, TDateTime Date);
