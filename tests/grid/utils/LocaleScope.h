#pragma once
// Tests choose the locale whose formats they depend on: the thread locale is
// set for the scope and put back afterwards, so the machine's own regional
// settings never decide a result and no other process sees the change.

#include <windows.h>

#include <gtest/gtest.h>

#include "grid/core/GridLocaleFormats.h"

// Locales with the formats the tests rely on.
inline constexpr LCID LocaleEnglishUS = 0x0409;   // "." and ",", M/d/yyyy
inline constexpr LCID LocaleEnglishUK = 0x0809;   // "." and ",", dd/MM/yyyy
inline constexpr LCID LocaleGerman = 0x0407;      // "," and ".", dd.MM.yyyy
inline constexpr LCID LocaleChinesePRC = 0x0804;  // "." and ",", yyyy/M/d

class TLocaleScope {
public:
    explicit TLocaleScope(LCID Locale) : FSaved(GetThreadLocale()) { SetThreadLocale(Locale); }
    ~TLocaleScope() { SetThreadLocale(FSaved); }
    TLocaleScope(const TLocaleScope&) = delete;
    TLocaleScope& operator=(const TLocaleScope&) = delete;

private:
    LCID FSaved;
};

// Fails the test unless the formats read now are the given ones, so that a
// test never passes on formats it did not choose.
inline void ExpectFormats(char Decimal, char Thousand, char DateSep, const char* DateOrder)
{
    const TGridLocaleFormats F = GridLocaleFormats();
    ASSERT_EQ(F.DecimalSeparator, Decimal);
    ASSERT_EQ(F.ThousandSeparator, Thousand);
    ASSERT_EQ(F.DateSeparator, DateSep);
    // The order of day, month and year in the short date format.
    String Order;
    for (char c : F.ShortDateFormat) {
        const char u = static_cast<char>(c & ~0x20);
        if ((u == 'D' || u == 'M' || u == 'Y') && Order.find(u) == String::npos)
            Order += u;
    }
    ASSERT_EQ(Order, DateOrder) << F.ShortDateFormat;
}
