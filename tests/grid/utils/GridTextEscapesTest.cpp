#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Codepage.h"
#include "grid/core/GridTextEscapes.h"

namespace {

TEST(GridTextEscapes, GridTextStreamLineBreaks)
{
    struct Case {
        const char* Text;
        const char* Escaped;
    };
    const Case Cases[] = {
        {"a\r\nb", "a\t\bb"},
        {"a\rb\tc", "a\tb\tc"},         // a TAB of a multi-line text comes back as CR
        {"a\nb", "a\nb"},               // no CR: unchanged, the LF stays
        {"a\tb", "a\tb"},
        {"", ""},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(EscapeLineBreaks(c.Text), c.Escaped) << "case " << (&c - Cases);

    EXPECT_EQ(UnescapeLineBreaks("a\t\bb", true), "a\r\nb");
    EXPECT_EQ(UnescapeLineBreaks("a\t\bb\t\bc", false), "a") << "only the first line";
    EXPECT_EQ(UnescapeLineBreaks("a\tb", true), "a\tb") << "no BS: a TAB stays";
    EXPECT_EQ(UnescapeLineBreaks("a\bb", false), "a\nb") << "no CR: one line";
    EXPECT_EQ(UnescapeLineBreaks(EscapeLineBreaks("x\r\ny\r\nz"), true), "x\r\ny\r\nz");
}

TEST(GridTextEscapes, SplitAndCountLines)
{
    struct Case {
        const char* Text;
        bool KeepRest;
        const char* Line;
        const char* Rest;
    };
    const Case Cases[] = {
        {"a\r\nb", true, "a", "b"},      {"a\r\nb", false, "a", ""},
        {"a\rb\r\nc", true, "a", "b\r\nc"}, {"a\r\n\nb", true, "a", "\nb"},
        {"abc", true, "abc", ""},         {"", true, "", ""},
        {"\r\n", true, "", ""},
    };
    for (const Case& c : Cases) {
        String S = c.Text;
        String Line = "old";
        SplitFirstLine(S, c.KeepRest, Line);
        EXPECT_EQ(Line, c.Line) << "case " << (&c - Cases);
        EXPECT_EQ(S, c.Rest) << "case " << (&c - Cases);
    }
    EXPECT_EQ(CountTextLines("a\r\nb\rc", true), 3);
    EXPECT_EQ(CountTextLines("a\r\nb\rc", false), 1);
    EXPECT_EQ(CountTextLines("", true), 1);
}

TEST(GridTextEscapes, QuotedMultiLineText)
{
    String S = "a\r\nb\rc";
    QuoteMultiLineText(S);
    EXPECT_EQ(S, "\"a\x0B" "b\rc\"");
    S = "";
    QuoteMultiLineText(S);
    EXPECT_EQ(S, "\"\"");

    S = "a\x0B" "b\x0B";
    RestoreLineBreaks(S);
    EXPECT_EQ(S, "a\r\nb\r\n");
    S = "plain";
    RestoreLineBreaks(S);
    EXPECT_EQ(S, "plain");
}

TEST(GridTextEscapes, CsvFields)
{
    struct Case {
        char Quote;
        const char* Field;
        const char* Result;
    };
    const Case Cases[] = {
        {'"', "say \"\"hi\"\"", "say \"hi\""}, {'"', "\"abc\"", "abc"},
        {'"', "plain", "plain"},               {'"', "\"\"\"", "\""},
        {'\'', "it''s", "it's"},               {'\'', "a\"b", "a\"b"},
        {'"', "", ""},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(RemoveQuoteChars(c.Quote, c.Field), c.Result) << c.Field;

    const Case Tildes[] = {{0, "a~b~", "a\r\nb\r\n"}, {0, "^", ""}, {0, "^^", "^^"}, {0, "~", "\r\n"}};
    for (const Case& c : Tildes) {
        String F = c.Field;
        DecodeTildeLineBreaks(F);
        EXPECT_EQ(F, c.Result) << c.Field;
    }
}

TEST(GridTextEscapes, UnpairedQuotes)
{
    struct Case {
        const char* Text;
        Integer Pos;
        Integer Count;
    };
    const Case Cases[] = {
        {"abc\"def", 4, 1},        // a single quote before other text
        {"a\"\"b", 0, 0},          // a doubled quote is no field end
        {"ab\"", 3, 1},            // a quote at the end
        {"ab\"\"", 4, 1},          // the last character, whatever its run
        {"a\"\"\"b", 4, 1},        // the last quote of an odd run
        {"\"x\"y", 1, 2},
        {"", 0, 0},
        {"plain", 0, 0},
        {"\"", 1, 1},
        {"a\"\"b\"c\"\"d\"", 5, 2},
    };
    for (const Case& c : Cases) {
        Integer Pos = 99;
        EXPECT_EQ(FindUnpairedQuote('"', c.Text, Pos), c.Pos) << c.Text;
        EXPECT_EQ(Pos, c.Pos) << c.Text;
        EXPECT_EQ(CountUnpairedQuotes('"', c.Text), c.Count) << c.Text;
    }
}

TEST(GridTextEscapes, OemText)
{
    String Ascii = "Abc 123";
    OemTextToAnsi(Ascii);
    EXPECT_EQ(Ascii, "Abc 123");

    // A character of the OEM code page reaches the system's 936 text.
    const UINT Oem = GetOEMCP();
    const struct {
        UINT CodePage;
        const char* Oem;
        const char* Text;
    } Known[] = {
        {437, "\x82", "\xA8\xA6"},  // e acute
        {936, "\xD6\xD0", "\xD6\xD0"},
    };
    bool Checked = false;
    for (const auto& k : Known) {
        if (k.CodePage != Oem)
            continue;
        String S = k.Oem;
        OemTextToAnsi(S);
        EXPECT_EQ(S, k.Text) << "OEM code page " << Oem;
        Checked = true;
    }
    if (!Checked)
        GTEST_SKIP() << "no known character for OEM code page " << Oem;
}

} // namespace
