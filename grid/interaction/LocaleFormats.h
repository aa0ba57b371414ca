#pragma once
// Number, date and time texts in the user's locale, for the edit controls:
// the separators and formats are read from the locale once (FormatSettings;
// the separators and the short date format as the grid's text functions
// read them) and may be changed by the program, and the conversions here
// follow them. Dates are encoded and decoded by the grid's date utilities.

#include "framework/StrUtils.h"
#include "framework/Types.h"
#include "grid/core/GridDateUtils.h"

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    // Picture of a short date: d, dd, M, MM, yy, yyyy and separators.
    String ShortDateFormat = "M/d/yyyy";
    // Picture of a time: h, hh (12-hour with tt), H, HH, m, mm, s, ss, tt.
    String LongTimeFormat = "H:mm:ss";
    String TimeAMString = "AM";
    String TimePMString = "PM";
};

// The settings in force, read from the calling thread's locale on first use.
TFormatSettings& FormatSettings();
// Reads the locale into FormatSettings() again.
void ReadLocaleFormatSettings();

// Time arithmetic; dates are TryEncodeDate and DecodeDate of the grid's
// date utilities.
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
// The day of Date with the time of day of Time (for a day before day 0 the
// time counts away from zero, as DecodeTime reads it).
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time);
// Moves by whole months (years), the day clipped to the target month's
// length (29 February plus one year is 28 February); keeps the time.
TDateTime IncMonth(TDateTime Date, int Months);
TDateTime IncYears(TDateTime Date, int Years);
TDateTime NowDateTime();

// Texts after FormatSettings().
String DateToStr(TDateTime Date);
String TimeToStr(TDateTime Time);
// Reads a date in the order of ShortDateFormat (day, month and year split
// by DateSeparator; without a year the current one); false when the text
// is no date.
bool TryStrToDate(const String& Text, TDateTime& Date);
// Reads hours[:minutes[:seconds]] with an optional AM/PM designator.
bool TryStrToTime(const String& Text, TDateTime& Time);

// Floats: the whole text (blanks around it allowed) must convert. Integers
// are read by the framework's TryStrToInt.
bool TryStrToFloat(const String& Text, double& Value);
// The general form (15 significant digits) and the fixed form with Digits
// decimals, both with the locale's decimal separator.
String FloatToStrGeneral(double Value);
String FloatToStrFixed(double Value, int Digits);
