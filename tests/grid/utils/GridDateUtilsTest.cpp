#include <gtest/gtest.h>

#include "grid/core/GridDateUtils.h"
#include "tests/grid/utils/LocaleScope.h"

namespace {

struct TYmd {
    Integer Y = 0, M = 0, D = 0;
};

TDateTime Ymd(const TYmd& d) { return EncodeDate(d.Y, d.M, d.D); }

TEST(GridDateUtils, EncodeAndDecode)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2008, 12, 31), 39813.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(EncodeDate(2000, 2, 29) + 1, EncodeDate(2000, 3, 1));

    const TYmd Bad[] = {{1900, 2, 29}, {2008, 4, 31}, {2008, 13, 1}, {2008, 0, 1},
                        {2008, 1, 0},  {0, 1, 1},     {10000, 1, 1}, {2007, 2, 29}};
    for (const TYmd& b : Bad) {
        TDateTime D = 123;
        EXPECT_FALSE(TryEncodeDate(b.Y, b.M, b.D, D)) << b.Y << "-" << b.M << "-" << b.D;
        EXPECT_EQ(D, 123);
        try {
            EncodeDate(b.Y, b.M, b.D);
            ADD_FAILURE() << "no error for " << b.Y << "-" << b.M << "-" << b.D;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "Invalid argument to date encode");
        }
    }

    // Every day of four centuries round-trips, a leap day and the day after
    // each month's end included; so do both ends of the range.
    for (TDateTime D = EncodeDate(1800, 1, 1); D <= EncodeDate(2201, 1, 1); D += 1) {
        Integer Y = 0, M = 0, Day = 0;
        DecodeDate(D, Y, M, Day);
        TDateTime Back = -1;
        ASSERT_TRUE(TryEncodeDate(Y, M, Day, Back)) << D;
        ASSERT_EQ(Back, D) << Y << "-" << M << "-" << Day;
    }
    Integer Y = 0, M = 0, Day = 0;
    DecodeDate(EncodeDate(1, 1, 1), Y, M, Day);
    EXPECT_EQ(Y * 10000 + M * 100 + Day, 10101);
    DecodeDate(EncodeDate(9999, 12, 31) + 0.75, Y, M, Day);
    EXPECT_EQ(Y * 10000 + M * 100 + Day, 99991231);
    DecodeDate(-1.25, Y, M, Day); // 1899-12-29 06:00
    EXPECT_EQ(Y * 10000 + M * 100 + Day, 18991229);
    DecodeDate(1e300, Y, M, Day);
    EXPECT_EQ(Y, 9999) << "out of range decodes as the nearer end";
}

TEST(GridDateUtils, ShortDateInTheLocaleOrder)
{
    struct Case {
        LCID Locale;
        const char* Text;
        bool Ok;
        TYmd Date;
    };
    const Case Cases[] = {
        {LocaleEnglishUK, "31/12/2008", true, {2008, 12, 31}},
        {LocaleEnglishUK, "1/2/2008", true, {2008, 2, 1}},
        {LocaleEnglishUK, "01/01/09", true, {9, 1, 1}},  // the year as written
        {LocaleEnglishUK, "12/31/2008", false, {}},
        {LocaleEnglishUK, "32/1/2008", false, {}},
        {LocaleEnglishUK, "31/4/2008", false, {}},       // no such day
        {LocaleEnglishUK, "29/2/2007", false, {}},
        {LocaleEnglishUK, "31/12", false, {}},
        {LocaleEnglishUK, "31-12-2008", false, {}},      // not the locale's separator
        {LocaleEnglishUK, "a/1/2008", false, {}},
        {LocaleEnglishUK, "1/2/2008x", false, {}},
        {LocaleEnglishUK, "", false, {}},
        {LocaleEnglishUS, "12/31/2008", true, {2008, 12, 31}},
        {LocaleEnglishUS, "31/12/2008", false, {}},
        {LocaleGerman, "31.12.2008", true, {2008, 12, 31}},
        {LocaleGerman, "31/12/2008", false, {}},
        {LocaleChinesePRC, "2008/12/31", true, {2008, 12, 31}},
        {LocaleChinesePRC, "31/12/2008", false, {}},
    };
    for (const Case& c : Cases) {
        TLocaleScope Scope(c.Locale);
        TDateTime D = -7;
        EXPECT_EQ(ParseShortDate(c.Text, D), c.Ok) << c.Text << " in locale " << std::hex << c.Locale;
        EXPECT_EQ(D, c.Ok ? Ymd(c.Date) : -7) << c.Text << " in locale " << std::hex << c.Locale;
    }
}

TEST(GridDateUtils, FixedOrderDatesForSorting)
{
    struct Case {
        const char* Text;
        TYmd Mdy; // {0} when the result is 0.0
        TYmd Dmy;
    };
    const Case Cases[] = {
        {"12/31/08", {2008, 12, 31}, {0}},
        {"31.12.99", {0}, {1999, 12, 31}},
        {"1-2-25", {2025, 1, 2}, {2025, 2, 1}},
        {"1-2-26", {1926, 1, 2}, {1926, 2, 1}},
        {"1/2/2008", {3908, 1, 2}, {3908, 2, 1}},  // 1900 added to four digits too
        {"1/2/0", {2000, 1, 2}, {2000, 2, 1}},
        {"1.2/2008", {0}, {0}},                    // "/" wins; only one there
        {"20081231", {0}, {0}},
        {"", {0}, {0}},
        {"a/b/c", {0}, {0}},
        {"1/2/", {0}, {0}},
    };
    for (const Case& c : Cases) {
        if (c.Mdy.Y == 0 && c.Dmy.Y == 0) {
            EXPECT_EQ(ParseDateMDY(c.Text), 0.0) << c.Text;
            EXPECT_EQ(ParseDateDMY(c.Text), 0.0) << c.Text;
            continue;
        }
        if (c.Mdy.Y)
            EXPECT_EQ(ParseDateMDY(c.Text), Ymd(c.Mdy)) << c.Text;
        else
            EXPECT_THROW(ParseDateMDY(c.Text), EConvertError) << c.Text;
        if (c.Dmy.Y)
            EXPECT_EQ(ParseDateDMY(c.Text), Ymd(c.Dmy)) << c.Text;
        else
            EXPECT_THROW(ParseDateDMY(c.Text), EConvertError) << c.Text;
    }
}

TEST(GridDateUtils, LooksLikeDate)
{
    struct Case {
        LCID Locale;
        const char* Text;
        bool Looks;
    };
    const Case Cases[] = {
        {LocaleEnglishUS, "12/05/2008", true}, {LocaleEnglishUS, "1/5/8", true},
        {LocaleEnglishUS, "/5/2008", false},   {LocaleEnglishUS, "12//2008", false},
        {LocaleEnglishUS, "12/5", false},      {LocaleEnglishUS, "12.05.2008", false},
        {LocaleEnglishUS, "", false},          {LocaleGerman, "12.05.2008", true},
        {LocaleGerman, "12/05/2008", false},   {LocaleEnglishUS, "a/b/", true},
    };
    for (const Case& c : Cases) {
        TLocaleScope Scope(c.Locale);
        EXPECT_EQ(LooksLikeDate(c.Text), c.Looks) << c.Text;
    }
}

TEST(GridDateUtils, DateSeries)
{
    struct Case {
        Integer YearStep, MonthStep, DayStep;
        double Difference;
        TYmd From;
        TYmd To;
    };
    const Case Cases[] = {
        {0, 0, -1, -1, {2008, 1, 10}, {2008, 1, 9}},
        {0, 0, 7, 7, {2008, 2, 25}, {2008, 3, 3}},
        {0, -1, 0, -31, {2008, 1, 15}, {2007, 12, 15}},
        {0, 1, 0, 31, {2008, 12, 15}, {2009, 1, 15}},
        {0, 3, 0, 91, {2008, 1, 30}, {2008, 4, 30}},
        {0, -11, 0, -334, {2008, 11, 30}, {2007, 12, 30}},
        {1, 0, 0, 366, {2008, 2, 28}, {2009, 2, 28}},
        {-2, 0, 0, -731, {2008, 6, 1}, {2006, 6, 1}},
        {1, 1, 0, 397, {2008, 1, 1}, {2009, 2, 1}},     // two steps: the difference
        {0, 1, 2, 33, {2008, 1, 1}, {2008, 2, 3}},
    };
    for (const Case& c : Cases) {
        EXPECT_EQ(StepDate(c.YearStep, c.MonthStep, c.DayStep, c.Difference, Ymd(c.From)), Ymd(c.To))
            << "case " << (&c - Cases);
    }
    // A time of day stays with a day step.
    EXPECT_EQ(StepDate(0, 0, 1, 1, Ymd({2008, 1, 10}) + 0.5), Ymd({2008, 1, 11}) + 0.5);
    // The stepped day must exist.
    EXPECT_THROW(StepDate(0, 1, 0, 31, Ymd({2008, 3, 31})), EConvertError);
    EXPECT_THROW(StepDate(1, 0, 0, 366, Ymd({2008, 2, 29})), EConvertError);
    EXPECT_THROW(StepDate(9000, 0, 0, 0, Ymd({2008, 1, 1})), EConvertError);
}

} // namespace
