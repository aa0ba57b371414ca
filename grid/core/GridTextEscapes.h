#pragma once
// How line breaks and quotes of cell texts are written into and read back
// from one-line forms: the grid text stream, CSV fields and the clipboard.

#include <string_view>

#include "framework/Types.h"

// Grid text stream writer: only when S holds a CR, every CR becomes TAB (9)
// and every LF becomes BS (8). A text without CR is returned unchanged.
String EscapeLineBreaks(const String& S);
// Grid text stream reader: only when S holds a BS, every TAB becomes CR and
// every BS becomes LF; without MultiLine only the first line is kept.
String UnescapeLineBreaks(const String& S, bool MultiLine);
// Line := the part of S before the first CR; that part, the CR and one LF
// right after it are removed from S. Without KeepRest S is then emptied.
// A text without CR is all one line and S becomes empty.
void SplitFirstLine(String& S, bool KeepRest, String& Line);
// With MultiLine, 1 + the number of CRs; otherwise 1.
Integer CountTextLines(const String& S, bool MultiLine);
// Every CR LF becomes the character 11 (VT), then S is put in double quotes.
void QuoteMultiLineText(String& S);
// When S holds a character 11, every one becomes CR LF.
void RestoreLineBreaks(String& S);

// When Field holds Quote: a doubled quote becomes one, a single one is
// removed; otherwise Field is returned unchanged.
String RemoveQuoteChars(char Quote, const String& Field);
// Every "~" becomes CR LF; a field that is then exactly "^" becomes empty.
void DecodeTildeLineBreaks(String& Field);
// The position of the first quote that is not one of a doubled pair: the last
// quote of a run of odd length that a non-quote follows, or a quote that is
// the last character of S. Pos and the result are 0 when there is none.
// CSV import uses it to see whether a quoted field continues on the next line.
Integer FindUnpairedQuote(char Quote, std::string_view S, Integer& Pos);
// How many unpaired quotes S holds (doubled ones are not counted).
Integer CountUnpairedQuotes(char Quote, const String& S);
// S converted from the OEM code page to the system's 8-bit text.
void OemTextToAnsi(String& S);
