#pragma once
// Plain text of a cell's HTML-formatted text, for sorting and filtering.

#include "framework/Types.h"

// S without its tags ("<" up to the next ">"), with the entities &amp;,
// &lt;, &gt;, &quot; and &nbsp; turned into their characters. A "<" that no
// ">" closes stays as it is.
String StripHtmlTags(const String& S);
