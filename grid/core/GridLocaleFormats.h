#pragma once
// The number and date formats of the user's locale, as the grid's text
// functions read them: single 8-bit separator characters and the short date
// format. They are read from the system each time, so a change of the
// regional settings applies to the next sort, filter or search; one filter
// or sort reads them once (TLocaleFormatsHeld).

#include "framework/Types.h"

struct TGridLocaleFormats {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    // The locale's short date format picture, e.g. "dd/MM/yyyy".
    String ShortDateFormat = "M/d/yyyy";
};

// Reads the formats of the calling thread's locale (GetLocaleInfoW on
// GetThreadLocale(): the user's locale with the user's own settings unless
// the thread chose another). A separator the system code page cannot hold as
// one byte is replaced: a space-like one by a blank, any other by the default
// above. The date separator is the first separator character of the short
// date format, so that it always agrees with the format dates are read in.
TGridLocaleFormats GridLocaleFormats();

// While one lives, GridLocaleFormats() on its thread answers what was read
// when it began: a filter or sort over a million cells reads the locale
// once instead of several times for every cell. Nested holds keep the
// outermost reading.
class TLocaleFormatsHeld {
public:
    TLocaleFormatsHeld();
    ~TLocaleFormatsHeld();
    TLocaleFormatsHeld(const TLocaleFormatsHeld&) = delete;
    TLocaleFormatsHeld& operator=(const TLocaleFormatsHeld&) = delete;

private:
    TGridLocaleFormats FFormats;
    const TGridLocaleFormats* FPrevious;
};
