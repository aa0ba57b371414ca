#pragma once
// Delimited text as the grid imports it: the delimiter guessed from the
// first two lines, and one line split into its fields (a quoted field never
// continues on the next line). Needs no window, so it also builds natively.

#include <vector>

#include "framework/Types.h"

// The characters tried as delimiters, in the order they are tried.
extern const char CSVDelimiterCandidates[10];

// The delimiter of a file whose first two lines are Line1 and Line2 (Line2
// empty for a one-line file); 0 when no candidate occurs at all.
char GuessCsvDelimiter(const String& Line1, const String& Line2);

// The fields of one line, from column 0 on. A field in double quotes may hold
// the delimiter and doubled quotes; a quote that never closes keeps the rest
// of the line as the field's text. An empty field after the last delimiter is
// not returned. Each character 11 of a field becomes CR LF.
std::vector<String> SplitCsvLine(const String& Line, char Delimiter);
