#pragma once
// Number, date and time texts in the user's locale, for the edit controls:
// the separators and formats are read from the locale once (FormatSettings)
// and may be changed by the program, and the conversions here follow them.
// A TDateTime counts days since 30 December 1899; its fraction is the time
// of day.

#include "framework/StrUtils.h"
#include "framework/Types.h"

using TDateTime = double;

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

// The settings in force, read from the user's default locale on first use.
TFormatSettings& FormatSettings();
// Reads the user's default locale into FormatSettings() again.
void ReadLocaleFormatSettings();

// Calendar arithmetic. TryMakeDate is false for an impossible date.
bool TryMakeDate(int Year, int Month, int Day, TDateTime& Date);
void SplitDate(TDateTime Date, int& Year, int& Month, int& Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
int DaysInMonth(int Year, int Month);
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
