#pragma once
// The system clipboard as the grid uses it: tab-separated text, the rich
// text of one cell and the grid's own cell format.

#include "framework/Types.h"

// The size of a tab-separated text in cells: the largest number of fields of
// any line, and the index of the last line (k - 1 for k non-empty lines).
void MeasureClipboardText(const String& Text, int& Width, int& LastLine);

// Whether the clipboard holds a format, and its bytes (bounded by the size
// of the global block; empty when absent).
bool ClipboardHasFormat(unsigned Format);
String ClipboardBytes(unsigned Format);
// The clipboard's Unicode text up to its terminator; empty when it holds none.
WideString ClipboardWideText();
