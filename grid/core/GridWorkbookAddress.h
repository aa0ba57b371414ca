#pragma once
// Cell range addresses of a worksheet ("$B$2:$F$40", "$3:$7", "$C$3"), as
// the grid's workbook import reads them. Needs no window.

#include "framework/Types.h"

// A parsed range: 1-based first and last columns and rows; a part that is
// no number is -1.
struct TWorkbookRange {
    Integer FirstCol = -1;
    Integer LastCol = -1;
    Integer FirstRow = -1;
    Integer LastRow = -1;
    bool Valid() const { return FirstCol > 0 && LastCol >= FirstCol && FirstRow > 0 && LastRow >= FirstRow; }
};

// Reads an absolute address. A single cell ("$C$3") is a range of that one
// cell; whole rows ("$3:$7") take columns 1 to 256; column letters of any
// length count A = 1 .. Z = 26, AA = 27, and so on.
TWorkbookRange ParseWorkbookAddress(const String& Address);

// The letters of a 1-based column (1 = "A", 27 = "AA", 703 = "AAA").
String WorkbookColumnLetters(Integer Column);
