#include <gtest/gtest.h>

#include "grid/core/ConditionMatch.h"
#include "tests/grid/utils/LocaleScope.h"

namespace {

struct TMatchCase {
    const char* Condition;
    const char* Text;
    bool CaseSensitive;
    bool Match;
    LCID Locale = LocaleEnglishUS;
};

void ExpectMatches(const TMatchCase* Cases, std::size_t Count)
{
    for (std::size_t i = 0; i < Count; ++i) {
        const TMatchCase& c = Cases[i];
        TLocaleScope Scope(c.Locale);
        EXPECT_EQ(MatchCondition(c.Condition, c.Text, c.CaseSensitive), c.Match)
            << "condition [" << c.Condition << "] on text [" << c.Text << "]"
            << (c.CaseSensitive ? " case-sensitive" : "") << ", locale " << std::hex << c.Locale;
    }
}

TEST(ConditionMatch, Examples)
{
    const TMatchCase Cases[] = {
        // Numbers.
        {">10", "12", true, true},
        {">10", "10.5", true, true},
        {">10", "9", true, false},
        {">10", "10", true, false},
        {">=10", "10", true, true},
        {">1000", "1,500", true, true},
        {"<5", "4.9", true, true},
        {"<=5", "5", true, true},
        {"<=5", "5.1", true, false},
        {">9", "10", true, true},        // as numbers, not as texts
        {">1,5", "2", true, true, LocaleGerman},
        // Dates in the locale's day/month/year order.
        {">31/12/2008", "01/01/2009", true, true, LocaleEnglishUK},
        {">31/12/2008", "30/12/2008", true, false, LocaleEnglishUK},
        {"<=31/12/2008", "31/12/2008", true, true, LocaleEnglishUK},
        // Texts.
        {">M", "N", true, true},
        {">M", "L", true, false},
        {">M", "n", false, true},
        {"<M", "n", true, false},        // case-sensitive: "n" sorts after "M" bytewise
        // Wildcards.
        {"A*", "A", true, true},
        {"A*", "AB", true, true},
        {"A*", "ABC", true, true},
        {"A*", "BA", true, false},
        {"*B", "AB", true, true},
        {"*B", "B", true, true},
        {"*B", "BA", true, false},
        {"A?C", "ABC", true, true},
        {"A?C", "AC", true, false},
        {"b*?", "b", true, false},
        {"b*?", "bx", true, true},
        {"a*", "ABC", false, true},
        {"a*", "ABC", true, false},
        {"*a*b*c*", "xxaxxbxxcxx", true, true},
        {"*a*b*c*", "xxaxxcxxbxx", true, false},
        // Negation.
        {"!A*", "B", true, true},
        {"!A*", "AB", true, false},
        // And, or, groups.
        {"A*|B*", "AX", true, true},
        {"A*|B*", "BX", true, true},
        {"A*|B*", "CX", true, false},
        {"A*;B*", "BX", true, true},
        {"A*^B*", "BX", true, true},
        {"A*&*X", "AX", true, true},
        {"A*&*X", "AY", true, false},
        {"(A*|B*)&*X", "BX", true, true},
        {"(A*|B*)&*X", "BY", true, false},
        {"(A*|B*)&*X", "CX", true, false},
        {"*X&(A*|B*)", "BX", true, true},
        {"*X&(A*|B*)", "CX", true, false},
        {">10&<20", "15", true, true},
        {">10&<20", "25", true, false},
        {"<10|>20", "25", true, true},
        {"<10|>20", "15", true, false},
        {"A*|B*&*X", "AY", true, false}, // strictly left to right: (A*|B*)&*X
        // Blanks, quotes, a leading "=".
        {"   ", "", true, true},
        {"   ", "x", true, false},
        {"", "", true, true},
        {"A *", "AB", true, true},
        {"\"A B\"", "A B", true, true},
        {"\"A B\"", "AB", true, false},
        {"\"A|B\"", "A|B", true, true},
        {"=A*", "AB", true, true},
        {"= 5", "5", true, true},
        // A backslash quotes the next character.
        {"\\*", "*", true, true},
        {"\\*", "x", true, false},
        {"\\*", "", true, false},
        {"A\\?", "A?", true, true},
        {"A\\?", "AB", true, false},
        // Exact texts.
        {"abc", "abc", true, true},
        {"abc", "abcd", true, false},
        {"abc", "ab", true, false},
    };
    ExpectMatches(Cases, std::size(Cases));
}

// Where the plain reading of the rules would misbehave, the matcher does the
// sound thing.
TEST(ConditionMatch, SoundBehaviour)
{
    const TMatchCase Cases[] = {
        // A quoted operand keeps its blanks.
        {">\"New York\"", "New Zealand", true, true},
        {">\"New York\"", "New Jersey", true, false},
        {"<=\"a b\"", "a b", true, true},
        // A group without ")" takes the rest of the condition, and ends.
        {"(A*|B*", "BX", true, true},
        {"(A*|B*", "CX", true, false},
        {"((", "", true, true},
        // A backslash at the end quotes nothing: only the text's end.
        {"A\\", "A", true, true},
        {"A\\", "AB", true, false},
        // Many stars against a long text finish.
        {"*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
         true, false},
    };
    ExpectMatches(Cases, std::size(Cases));
    // A text with a zero byte (wide text) is matched whole.
    const String Wide("|\\\0A", 4);
    EXPECT_TRUE(MatchCondition(String("*\\\0A", 4), Wide, true));
    EXPECT_FALSE(MatchCondition(String("*\\\0B", 4), Wide, true));
}

TEST(ConditionMatch, PatternRulesForOneTerm)
{
    TLocaleScope Scope(LocaleEnglishUS);
    struct Case {
        const char* Term;
        const char* Text;
        bool Match;
    };
    const Case Cases[] = {
        {">5&<10", "7", true},       // both parts present and "&"
        {">5&<10", "12", false},
        {"<5^>10", "12", true},      // "^" with a part present: either
        {"<5^>10", "7", false},
        {"<5", "<5", true},          // a failed comparison falls back to the wildcard match
        {"\"ab\"", "ab", true},      // quotes are ignored by the wildcard match
        {"", "", true},
        {"", "a", false},
        {"!", "", false},
        {"!", "a", true},
        {">\"a&b\"", "b", true},      // "&" inside quotes belongs to the operand
        {"<\"a&b\"", "a&a", true},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(MatchPattern(c.Term, c.Text), c.Match) << c.Term << " on " << c.Text;

    EXPECT_TRUE(MatchTerm("a*", "ABC", false));
    EXPECT_FALSE(MatchTerm("a*", "ABC", true));
}

TEST(ConditionMatch, QuoteAwareHelpers)
{
    EXPECT_EQ(RemoveBlanksOutsideQuotes(" a b \" c d \" e "), "ab\" c d \"e");
    EXPECT_EQ(RemoveBlanksOutsideQuotes(""), "");

    struct Case {
        const char* Text;
        char Found;
        Integer Pos;
    };
    const Case Cases[] = {
        {"a&b", '&', 2},   {"\"a&b\"|c", '|', 6}, {"abc", '\0', -1},
        {"(a)", '(', 1},   {"\"a|b", '\0', -1},   {"", '\0', -1},
    };
    for (const Case& c : Cases) {
        Integer Pos = 99;
        EXPECT_EQ(FindOperatorOutsideQuotes("&(;^|", c.Text, Pos), c.Found) << c.Text;
        EXPECT_EQ(Pos, c.Pos) << c.Text;
    }

    EXPECT_EQ(ClosingParenPos("(a)b"), 3);
    EXPECT_EQ(ClosingParenPos("((a)|b)&c"), 7);
    EXPECT_EQ(ClosingParenPos("(a"), 0);
    EXPECT_EQ(ClosingParenPos("a)"), 0);
    EXPECT_EQ(ClosingParenPos(""), 0);
}

} // namespace
