#include <gtest/gtest.h>

#include "tests/grid/utils/LocaleScope.h"

namespace {

TEST(GridLocaleFormats, FollowTheThreadLocale)
{
    struct Case {
        LCID Locale;
        char Decimal, Thousand, DateSep;
        const char* Order;
    };
    const Case Cases[] = {
        {LocaleEnglishUS, '.', ',', '/', "MDY"},
        {LocaleEnglishUK, '.', ',', '/', "DMY"},
        {LocaleGerman, ',', '.', '.', "DMY"},
        {LocaleChinesePRC, '.', ',', '/', "YMD"},
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(testing::Message() << "locale 0x" << std::hex << c.Locale);
        TLocaleScope Scope(c.Locale);
        ExpectFormats(c.Decimal, c.Thousand, c.DateSep, c.Order);
    }
}

} // namespace
