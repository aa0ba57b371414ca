#include <gtest/gtest.h>

#include "grid/core/GridLimits.h"
#include "grid/core/GridTextUtils.h"

namespace {

TEST(GridTextUtils, CharacterAndSubstringPositions)
{
    EXPECT_EQ(CharPosInText('b', "abcb"), 2);
    EXPECT_EQ(CharPosInText('x', "abc"), 0);
    EXPECT_EQ(CharPosInText('a', ""), 0);

    Integer Pos = 77;
    EXPECT_EQ(FindCharPos('x', "abc", Pos), 0);
    EXPECT_EQ(Pos, 77) << "set only when found";
    EXPECT_EQ(FindCharPos('c', "abc", Pos), 3);
    EXPECT_EQ(Pos, 3);

    Pos = 77;
    EXPECT_EQ(FindSubstrPos("cd", "abcd", Pos), 3);
    EXPECT_EQ(Pos, 3);
    EXPECT_EQ(FindSubstrPos("CD", "abcd", Pos), 0) << "case-sensitive";
    EXPECT_EQ(Pos, 0) << "always set";
    EXPECT_EQ(FindSubstrPos("", "abcd", Pos), 0);

    EXPECT_EQ(PosInUpperText("CD", "abcd"), 3);
    EXPECT_EQ(PosInUpperText("CD", "ABcD"), 3);
    EXPECT_EQ(PosInUpperText("XY", "abcd"), 0);
}

TEST(GridTextUtils, WidePositions)
{
    struct Case {
        const wchar_t* Sub;
        const wchar_t* Text;
        Integer Pos;
    };
    const Case Cases[] = {
        {L"\x4E2D", L"a\x4E2D\x6587", 2},  {L"b", L"abcb", 2}, {L"", L"abc", 0},
        {L"a", L"", 0},                    {L"abcd", L"abc", 0}, {L"x", L"abc", 0},
        {L"abc", L"abc", 1},
    };
    for (const Case& c : Cases) {
        EXPECT_EQ(PosWide(c.Sub, c.Text), c.Pos) << "case " << (&c - Cases);
        const wchar_t* p = StrPosWide(c.Sub, c.Text);
        if (c.Pos == 0)
            EXPECT_EQ(p, nullptr) << "case " << (&c - Cases);
        else
            EXPECT_EQ(p, c.Text + c.Pos - 1) << "case " << (&c - Cases);
    }
}

TEST(GridTextUtils, TokensCountsAndFills)
{
    String S = "ab::cd";
    EXPECT_EQ(CutToken(S, "::"), "ab");
    EXPECT_EQ(S, ":cd") << "only the separator's first character goes";
    S = "abc";
    EXPECT_EQ(CutToken(S, ";"), "");
    EXPECT_EQ(S, "abc") << "absent separator leaves the text";
    EXPECT_EQ(CutToken(S, ""), "");
    EXPECT_EQ(S, "abc");
    S = ";x";
    EXPECT_EQ(CutToken(S, ";"), "");
    EXPECT_EQ(S, "x");

    EXPECT_EQ(CountChar('a', "banana"), 3);
    EXPECT_EQ(CountChar('a', ""), 0);
    S = "hello";
    FillTextWithChar(S, '*');
    EXPECT_EQ(S, "*****");
    EXPECT_EQ(RemoveCarriageReturns("a\r\nb\r"), "a\nb");
}

TEST(GridTextUtils, IntegerLimits)
{
    EXPECT_EQ(IntMax(-3, 2), 2);
    EXPECT_EQ(IntMin(-3, 2), -3);
    struct Case {
        Integer Value, Minimum, Maximum, Result;
    };
    const Case Cases[] = {
        {50, 10, 40, 40}, {5, 10, 0, 10},  {5, 10, 10, 5},  {20, 10, 40, 20},
        {5, 0, 40, 5},    {50, 0, 40, 40}, {50, -1, 0, 50}, {5, 10, 4, 4},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(ClampToLimits(c.Value, c.Minimum, c.Maximum), c.Result)
            << c.Value << " in " << c.Minimum << ".." << c.Maximum;

    const TGridRect R{2, 3, 4, 5}; // columns 2..4, rows 3..5
    struct Cell {
        Integer Col, Row;
        bool In;
    };
    const Cell Cells[] = {{2, 3, true},  {4, 5, true},  {3, 4, true},  {1, 3, false},
                          {5, 3, false}, {2, 2, false}, {2, 6, false}, {3, 5, true}};
    for (const Cell& c : Cells)
        EXPECT_EQ(CellInGridRect(R, c.Col, c.Row), c.In) << c.Col << "," << c.Row;
}

TEST(GridTextUtils, NameCase)
{
    struct Case {
        const char* In;
        const char* Out;
    };
    const Case Cases[] = {
        {"", ""},
        {"john smith", "John Smith"},
        {"JOHN SMITH", "John Smith"},
        {"mcdonald", "McDonald"},
        {"ronald mcdonald", "Ronald McDonald"},
        {"henry iii", "Henry III"},
        {"henry ii", "Henry II"},
        {"henry iv", "Henry IV"},
        {"john ivanhoe", "John Ivanhoe"},
        {"o'brien-smith", "O'Brien-Smith"},
        {"st.john,jr", "St.John,Jr"},
        // A double-byte character passes whole, even with a trail byte in
        // the range of ASCII capitals (0x81 0x41).
        {"\x81\x41x", "\x81\x41x"},
        {"ab \xD6\xD0WEN", "Ab \xD6\xD0wen"},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(CapitalizeName(c.In), c.Out) << c.In;

    for (char c : String(" ',-.")) {
        EXPECT_TRUE(IsNameBreakChar(c)) << c;
    }
    EXPECT_FALSE(IsNameBreakChar('a'));
    EXPECT_FALSE(IsNameBreakChar(';'));
    EXPECT_EQ(LowerAsciiChar('Q'), 'q');
    EXPECT_EQ(LowerAsciiChar('q'), 'q');
    EXPECT_EQ(LowerAsciiChar('@'), '@');
    EXPECT_EQ(LowerAsciiChar('['), '[');
}

} // namespace
