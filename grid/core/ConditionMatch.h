#pragma once
// Conditions of the grid's filters and searches: a cell text tested against
// a small expression the user or the program writes.
//
// An expression is a sequence of terms joined by "&" (and) or by ";", "^" or
// "|" (or), applied strictly from left to right; "(" expression ")" is a
// group; double quotes protect operator characters and blanks; blanks outside
// quotes and a leading "=" are ignored. A term compares the cell with ">",
// ">=", "<" or "<=" and an operand (as numbers, dates in the locale's short
// date format, or else as texts), or is a wildcard pattern: "*" any run of
// characters, "?" one character, "\" quotes the next character, "!" negates,
// a double quote is ignored, any other character matches itself.

#include "framework/Types.h"

// The cell text Text against the whole Condition.
bool MatchCondition(const String& Condition, const String& Text, bool CaseSensitive);
// One term against Text: without CaseSensitive both are upper-cased first.
bool MatchTerm(const String& Term, const String& Text, bool CaseSensitive);
// The comparisons and the wildcard match of one term. An empty pattern
// matches only the empty text.
bool MatchPattern(const String& Term, const String& Text);

// S without the blanks that stand outside double quotes.
String RemoveBlanksOutsideQuotes(const String& S);
// The first character of S that is one of Chars and stands outside double
// quotes; Pos receives its 1-based position. Character 0 and Pos -1 when
// there is none.
char FindOperatorOutsideQuotes(const String& Chars, const String& S, Integer& Pos);
// The 1-based position of the ")" that closes the first "(" of S: the first
// ")" at which as many ")" as "(" have been seen. 0 when there is none.
Integer ClosingParenPos(const String& S);
