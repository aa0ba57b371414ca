#pragma once
// Numbers in cell texts: which characters belong to a number, the number
// part of a display text, and what kind of number a text holds. The decimal
// and thousand separators are the locale's (GridLocaleFormats).

#include "framework/Types.h"

struct TGridLocaleFormats;

// Kinds of number text (ClassifyNumberText).
inline constexpr Integer ntInteger = 0;
inline constexpr Integer ntDecimal = 1;
inline constexpr Integer ntNoNumber = 2;
inline constexpr Integer ntExponent = 5;

// "0" to "9".
bool IsDigitChar(char C);
// "0" to "9" and "-".
bool IsDigitOrMinus(char C);
// "0" to "9", "E", "e", the thousand separator and the decimal separator.
bool IsNumberLeadChar(char C);
// IsNumberLeadChar, "+" or "-".
bool IsSignedNumberLeadChar(char C);
// "+", "-", ".", "0" to "9", "E", "e".
bool IsNumberChar(char C);

// The number part of a display text, with "." as the decimal point and no
// thousand separators: leading characters that cannot start a number are
// skipped (a "-" among them makes the number negative, as do enclosing
// parentheses), then number characters are taken up to the first other one.
// "(1,234.50)" gives "-1234.50", "$ 5" gives "5".
String ExtractNumberText(const String& S);
// ntInteger, ntDecimal (separators allowed, thousand separators at least
// three places apart), ntExponent (a mantissa with one "e"/"E") or
// ntNoNumber (also for the empty text). A lone "-" counts as an integer.
Integer ClassifyNumberText(const String& S);
// The same with separators already read, for callers that classify many
// texts in one go (a sort reads the locale once, not once per cell).
Integer ClassifyNumberText(const String& S, const TGridLocaleFormats& F);
// The decimal separator becomes ".", thousand separators are removed; every
// other character stays.
String NormalizeNumberText(const String& S);

// The value a printf-style format of the grid takes (FloatFormat, the float
// format event, the group count format).
enum TFormatArgKind { fakNone, fakInteger, fakFloat };
// fakInteger or fakFloat when Format holds exactly one conversion, made of
// flags ("-+ #0"), a width and a precision in digits and one of "diuxXo"
// (an integer) or "aefgAEFG" (a double), besides any number of "%%";
// fakNone for anything else, which would read arguments that are not there.
TFormatArgKind FormatArgKind(const String& Format);
