#include <gtest/gtest.h>

#include "grid/core/GridNumberText.h"
#include "tests/grid/utils/LocaleScope.h"

namespace {

TEST(GridNumberText, CharacterClasses)
{
    TLocaleScope Scope(LocaleGerman); // "," decimal, "." thousands
    ASSERT_NO_FATAL_FAILURE(ExpectFormats(',', '.', '.', "DMY"));
    struct Case {
        char C;
        bool Digit, DigitOrMinus, Lead, SignedLead, NumberChar;
    };
    const Case Cases[] = {
        {'0', true, true, true, true, true},     {'9', true, true, true, true, true},
        {'-', false, true, false, true, true},   {'+', false, false, false, true, true},
        {'e', false, false, true, true, true},   {'E', false, false, true, true, true},
        {',', false, false, true, true, false},  {'.', false, false, true, true, true},
        {'a', false, false, false, false, false}, {' ', false, false, false, false, false},
        {'$', false, false, false, false, false},
    };
    for (const Case& c : Cases) {
        EXPECT_EQ(IsDigitChar(c.C), c.Digit) << c.C;
        EXPECT_EQ(IsDigitOrMinus(c.C), c.DigitOrMinus) << c.C;
        EXPECT_EQ(IsNumberLeadChar(c.C), c.Lead) << c.C;
        EXPECT_EQ(IsSignedNumberLeadChar(c.C), c.SignedLead) << c.C;
        EXPECT_EQ(IsNumberChar(c.C), c.NumberChar) << c.C;
    }
}

TEST(GridNumberText, ClassifyWithCommaThousandsAndPointDecimals)
{
    TLocaleScope Scope(LocaleEnglishUS);
    ASSERT_NO_FATAL_FAILURE(ExpectFormats('.', ',', '/', "MDY"));
    struct Case {
        const char* Text;
        Integer Class;
    };
    const Case Cases[] = {
        {"123", ntInteger},      {"-123", ntInteger},     {"-", ntInteger},
        {"1-2", ntNoNumber},     {"1,234.5", ntDecimal},  {"1,23", ntDecimal},
        {",12", ntNoNumber},     {"1.5e-3", ntExponent},  {"e5", ntNoNumber},
        {"1.2.3", ntNoNumber},   {"", ntNoNumber},        {"1,2", ntDecimal},
        {"1,234,567.89", ntDecimal}, {".5", ntDecimal},   {"12.", ntDecimal},
        {"1E5", ntExponent},     {"-1.5E-3", ntExponent}, {"1e-3-", ntNoNumber},
        {"1e", ntNoNumber},      {"1e5e6", ntNoNumber},   {"+5", ntNoNumber},
        {"1e+5", ntExponent},    {"--5", ntNoNumber},     {"1,5e3", ntNoNumber},
        {"12a", ntNoNumber},     {" 12", ntNoNumber},     {"1.5e-3-", ntNoNumber},
        {"1-e5", ntExponent},    {"-1-e5", ntExponent},   {"-1-e-5", ntNoNumber},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(ClassifyNumberText(c.Text), c.Class) << c.Text;
}

TEST(GridNumberText, ClassifyWithPointThousandsAndCommaDecimals)
{
    TLocaleScope Scope(LocaleGerman);
    ASSERT_NO_FATAL_FAILURE(ExpectFormats(',', '.', '.', "DMY"));
    struct Case {
        const char* Text;
        Integer Class;
    };
    const Case Cases[] = {
        {"1.234,5", ntDecimal}, {"1,5", ntDecimal},    {"1,2,3", ntNoNumber},
        {".12", ntNoNumber},    {"1,5e3", ntExponent}, {"1.5e3", ntNoNumber},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(ClassifyNumberText(c.Text), c.Class) << c.Text;
}

TEST(GridNumberText, ExtractAndNormalize)
{
    struct Case {
        LCID Locale;
        const char* Text;
        const char* Number;
        const char* Normal;
    };
    const Case Cases[] = {
        {LocaleEnglishUS, "(1,234.50)", "-1234.50", "(1234.50)"},
        {LocaleEnglishUS, "abc-12x", "-12", "abc-12x"},
        {LocaleEnglishUS, "$ 5", "5", "$ 5"},
        {LocaleEnglishUS, "", "", ""},
        {LocaleEnglishUS, "-", "-", "-"},
        {LocaleEnglishUS, "x", "", "x"},
        {LocaleEnglishUS, "12 kg", "12", "12 kg"},
        {LocaleEnglishUS, "1.5e-3", "1.5e-3", "1.5e-3"},
        {LocaleEnglishUS, "EUR 3", "E", "EUR 3"}, // "E" can start a number
        {LocaleEnglishUS, "USD 3", "3", "USD 3"},
        {LocaleEnglishUS, "(7)", "-7", "(7)"},
        {LocaleGerman, "1.234,50 \x80", "1234.50", "1234.50 \x80"},
        {LocaleGerman, "(3,5)", "-3.5", "(3.5)"},
    };
    for (const Case& c : Cases) {
        TLocaleScope Scope(c.Locale);
        EXPECT_EQ(ExtractNumberText(c.Text), c.Number) << c.Text;
        EXPECT_EQ(NormalizeNumberText(c.Text), c.Normal) << c.Text;
    }
}

// The value a format takes: exactly one integer or double conversion, with
// any "%%"; everything else is refused.
TEST(GridNumberText, FormatArgumentKinds)
{
    const struct { const char* Format; TFormatArgKind Kind; } Cases[] = {
        {"%.2f", fakFloat},        {"%-8.3e", fakFloat},    {"%+G", fakFloat},
        {"%a", fakFloat},          {"%.1f dB", fakFloat},   {"%05d", fakInteger},
        {"%#x", fakInteger},       {"%o", fakInteger},      {"[%d rows]", fakInteger},
        {"%d%%", fakInteger},      {"100%% of %u", fakInteger},
        {"", fakNone},             {"abc", fakNone},        {"%%", fakNone},
        {"%", fakNone},            {"%5", fakNone},         {"%s", fakNone},
        {"%d/%d", fakNone},        {"%.2f %d", fakNone},    {"%ld", fakNone},
        {"%lf", fakNone},          {"%*d", fakNone},        {"%n", fakNone},
        {"%1.2.3f", fakNone},      {"%p", fakNone},         {"%c", fakNone},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FormatArgKind(C.Format), C.Kind) << C.Format;
}

} // namespace
