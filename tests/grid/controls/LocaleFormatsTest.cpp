// Date, time and number texts after the format settings.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "tests/grid/utils/LocaleScope.h"

using namespace controls_test;

namespace {

class LocaleFormats : public ::testing::Test {
protected:
    void TearDown() override { ReadLocaleFormatSettings(); }
};

} // namespace

TEST_F(LocaleFormats, DatesRoundTripInBothOrders)
{
    struct Case {
        bool DayFirst;
        const char* Text;
        const char* Date;
    };
    const Case cases[] = {
        {false, "1/31/2008", "2008-01-31"},
        {false, "12/1/1999", "1999-12-01"},
        {true, "31.01.2008", "2008-01-31"},
        {true, "01.12.1999", "1999-12-01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        UseFormats(c.DayFirst);
        TDateTime d = 0;
        ASSERT_TRUE(TryStrToDate(c.Text, d));
        EXPECT_EQ(DateText(d), c.Date);
        EXPECT_EQ(DateToStr(d), c.Text);
    }
    UseFormats(true);
    TDateTime d = 0;
    for (const char* bad : {"31.02.2008", "1.13.2008", "a.b.c", "", "1..2008"})
        EXPECT_FALSE(TryStrToDate(bad, d)) << bad;
    ASSERT_TRUE(TryStrToDate("1.2.08", d));
    EXPECT_EQ(DateText(d), "2008-02-01") << "two-digit years";
}

TEST_F(LocaleFormats, MonthAndYearStepsClipTheDay)
{
    EXPECT_EQ(DateText(IncMonth(Date(2008, 1, 31), 1)), "2008-02-29");
    EXPECT_EQ(DateText(IncMonth(Date(2008, 3, 31), -1)), "2008-02-29");
    EXPECT_EQ(DateText(IncMonth(Date(2008, 12, 15), 1)), "2009-01-15");
    EXPECT_EQ(DateText(IncYears(Date(2008, 2, 29), 1)), "2009-02-28");
    EXPECT_EQ(DateText(IncYears(Date(2008, 2, 29), 4)), "2012-02-29");
}

TEST_F(LocaleFormats, TimesWithAndWithoutDesignators)
{
    UseFormats(false);
    TDateTime t = 0;
    ASSERT_TRUE(TryStrToTime("13:05:09", t));
    EXPECT_EQ(TimeToStr(t), "13:05:09");
    ASSERT_TRUE(TryStrToTime("1:05 PM", t));
    EXPECT_EQ(TimeToStr(t), "13:05:00");
    ASSERT_TRUE(TryStrToTime("12:00:00 AM", t));
    EXPECT_EQ(TimeToStr(t), "00:00:00");
    FormatSettings().LongTimeFormat = "h:mm:ss tt";
    EXPECT_EQ(TimeToStr(EncodeTime(0, 7, 0, 0)), "12:07:00 AM");
    EXPECT_EQ(TimeToStr(EncodeTime(15, 7, 0, 0)), "3:07:00 PM");
    for (const char* bad : {"25:00", "10:61", "x", "1:2:3:4"})
        EXPECT_FALSE(TryStrToTime(bad, t)) << bad;
}

TEST_F(LocaleFormats, NumbersUseTheDecimalSeparator)
{
    UseFormats(true);
    double v = 0;
    ASSERT_TRUE(TryStrToFloat("1,5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(TryStrToFloat("1.5", v)) << "the thousand separator is no decimal point";
    EXPECT_EQ(FloatToStrFixed(1.23456, 2), "1,23");
    EXPECT_EQ(FloatToStrGeneral(0.1), "0,1");
    EXPECT_FALSE(TryStrToFloat("", v));
    EXPECT_FALSE(TryStrToFloat("1,5x", v));
}

// The edit controls read the separators and the short date format as the
// grid's text functions do, from the thread's locale.
TEST_F(LocaleFormats, SeparatorsAreTheGridUtilitiesOnes)
{
    for (LCID locale : {LocaleGerman, LocaleEnglishUS}) {
        SCOPED_TRACE(locale);
        TLocaleScope scope(locale);
        ReadLocaleFormatSettings();
        const TGridLocaleFormats grid = GridLocaleFormats();
        EXPECT_EQ(FormatSettings().DecimalSeparator, grid.DecimalSeparator);
        EXPECT_EQ(FormatSettings().ThousandSeparator, grid.ThousandSeparator);
        EXPECT_EQ(FormatSettings().DateSeparator, grid.DateSeparator);
        EXPECT_EQ(FormatSettings().ShortDateFormat, grid.ShortDateFormat);
        TDateTime d = 0;
        ASSERT_TRUE(TryStrToDate(DateToStr(Date(2008, 1, 31)), d));
        EXPECT_EQ(DateText(d), "2008-01-31");
    }
    {
        TLocaleScope scope(LocaleGerman);
        ReadLocaleFormatSettings();
        EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
        EXPECT_EQ(FormatSettings().DateSeparator, '.');
    }
}

// Days before day 0 keep their time of day away from zero: -1.25 is
// 29 December 1899, 06:00.
TEST_F(LocaleFormats, TimesOfDaysBeforeDayZero)
{
    int h, m, s, ms;
    DecodeTime(-1.25, h, m, s, ms);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(DateText(-1.25), "1899-12-29");
    EXPECT_EQ(ComposeDateTime(-1, 0.25), -1.25);
    EXPECT_EQ(ComposeDateTime(2.75, 0.5), 2.5);
    EXPECT_EQ(IncMonth(-1.25, 1), Date(1900, 1, 29) + 0.25) << "the time stays";
    EXPECT_EQ(IncMonth(Date(2008, 1, 31) + 0.5, 1), Date(2008, 2, 29) + 0.5);
    EXPECT_EQ(IncYears(Date(9999, 6, 1), 1), Date(9999, 6, 1)) << "no year 10000";
}
