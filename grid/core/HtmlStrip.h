#pragma once
// Plain text of a cell's HTML-formatted text, for sorting and filtering.

#include "framework/Types.h"

// S with every "<BR>" and "<HR>" (any case) turned into CR LF, then every
// tag (a "<" up to the first ">" after it) removed. A "<" that no ">"
// closes ends the removal: the rest of the text from it stays as it is.
// Entities are left as they stand.
String HtmlToPlainText(const String& S);
