#pragma once
// What a cell text holds and how wide text, links and cell references are
// written into the grid's 8-bit cell texts.
//
// Wide text in an 8-bit cell: the marker "|\" followed, for every UTF-16 code
// unit, by two characters: the high byte, then the low byte. Cells, the
// clipboard, streams, hints, filters and the Unicode editors share this form.

#include <windows.h>

#include "framework/Types.h"

// The marker that starts a wide text held in an 8-bit cell.
inline constexpr char WideTextMarker[] = "|\\";

// Kinds of cell text (GetCellTextKind).
inline constexpr Integer ctkPlain = 0;
inline constexpr Integer ctkHtml = 1;
inline constexpr Integer ctkRtf = 2;
inline constexpr Integer ctkFormula = 3;
inline constexpr Integer ctkWide = 5;

// The kind of S, tested in this order: formula (starts with "=", or a wide
// text whose first unit is "=" and whose second is below 256), wide text,
// RTF (starts with "{\"), HTML (only when DetectHtml: contains "</", "<B" or
// "<I"); anything else, the empty text too, is plain.
Integer GetCellTextKind(const String& S, bool DetectHtml);

// The marker followed by two characters per UTF-16 unit, high byte first.
String PackWideText(const WideString& W);
// A marked text back to its UTF-16 units (an odd last character is ignored);
// any other text converted from the system code page.
WideString UnpackWideText(const String& S);

// RTF reduced to its plain text: groups of destinations skipped, control
// words dropped, \par and \line as line breaks. The hidden rich edit of
// the rich text editor takes over this job when it exists.
String RtfPlainText(const String& Rtf);

// True when S contains "://" or "mailto:".
bool IsUrl(const String& S);
// Removes everything up to and including the first "://", or else up to and
// including the first "mailto:"; any other text stays.
void StripUrlScheme(String& S);
// Reads a cell reference "R<row>C<column>" (any case) into P (X column, Y
// row). False, with P unchanged, for anything else.
bool ParseCellRef(const String& S, POINT& P);
// Every backslash followed by "n" becomes one CR.
String DecodeNewlineEscapes(const String& S);
