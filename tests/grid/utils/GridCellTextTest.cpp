#include <gtest/gtest.h>

#include "framework/Codepage.h"
#include "grid/core/GridCellText.h"

namespace {

String Bytes(const char* S, std::size_t N) { return String(S, N); }

TEST(GridCellText, Kinds)
{
    struct Case {
        String Text;
        bool DetectHtml;
        Integer Kind;
    };
    const Case Cases[] = {
        {"", true, ctkPlain},
        {"", false, ctkPlain},
        {"plain", true, ctkPlain},
        {"=A1+1", false, ctkFormula},
        {"=", true, ctkFormula},
        {"{\\rtf1 x}", true, ctkRtf},
        {"{rtf", true, ctkPlain},
        {"<B>bold</B>", true, ctkHtml},
        {"<B>bold</B>", false, ctkPlain},
        {"<I>x", true, ctkHtml},
        {"a</", true, ctkHtml},
        {"<b>lower", true, ctkPlain},
        {"=<B>x</B>", true, ctkFormula},
        {"{\\<B>", true, ctkRtf},
        // Wide texts: "=1" is a formula, U+4E2D is wide text.
        {Bytes("|\\\x00=\x00" "1", 6), false, ctkFormula},
        {Bytes("|\\\x4E\x2D", 4), false, ctkWide},
        {"|\\", false, ctkWide},
        // A wide "=" alone and "=" before a unit above 255 are wide text.
        {Bytes("|\\\x00=", 4), false, ctkWide},
        {Bytes("|\\\x00=\x4E\x2D", 6), false, ctkWide},
        // U+4E3D then "1": its low byte is "=", yet it is no formula.
        {Bytes("|\\\x4E=\x00" "1", 6), false, ctkWide},
        {Bytes("|\\\x00<\x00" "B", 6), true, ctkWide},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(GetCellTextKind(c.Text, c.DetectHtml), c.Kind) << "case " << (&c - Cases);
}

TEST(GridCellText, WideTextRoundTrip)
{
    EXPECT_EQ(PackWideText(L"\x4E2D"), Bytes("|\\\x4E\x2D", 4));
    EXPECT_EQ(PackWideText(L""), "|\\");
    EXPECT_EQ(PackWideText(L"A\xFFFF"), Bytes("|\\\x00" "A\xFF\xFF", 6));
    EXPECT_EQ(UnpackWideText(Bytes("|\\\x4E\x2D", 4)), L"\x4E2D");
    EXPECT_EQ(UnpackWideText(Bytes("|\\\x4E\x2D\x41", 5)), L"\x4E2D") << "odd last character ignored";
    EXPECT_EQ(UnpackWideText("|\\"), L"");
    const WideString All = L"a\x00E9\x4E2D\xD83D\xDE00\x0001";
    EXPECT_EQ(UnpackWideText(PackWideText(All)), All);
    // Without the marker the text is the system's code page 936 text.
    EXPECT_EQ(UnpackWideText("\xD6\xD0" "abc"), L"\x4E2D" L"abc");
    EXPECT_EQ(UnpackWideText(""), L"");
    EXPECT_EQ(UnpackWideText("|x"), L"|x");
}

TEST(GridCellText, UrlsAndEscapes)
{
    EXPECT_TRUE(IsUrl("http://x.org"));
    EXPECT_TRUE(IsUrl("see mailto:a@b"));
    EXPECT_FALSE(IsUrl("www.x.org"));
    EXPECT_FALSE(IsUrl("MAILTO:a@b")) << "case-sensitive";

    struct Case {
        const char* In;
        const char* Out;
    };
    const Case Strip[] = {
        {"http://x.org/a", "x.org/a"}, {"mailto:a@b", "a@b"},
        {"x mailto:a://b", "b"},       {"plain", "plain"},
        {"cell://R1C2", "R1C2"},
    };
    for (const Case& c : Strip) {
        String S = c.In;
        StripUrlScheme(S);
        EXPECT_EQ(S, c.Out) << c.In;
    }

    EXPECT_EQ(DecodeNewlineEscapes("a\\nb\\n"), "a\rb\r");
    EXPECT_EQ(DecodeNewlineEscapes("a\\tb\\"), "a\\tb\\");
    EXPECT_EQ(DecodeNewlineEscapes("\\\\n"), "\\\r");
}

TEST(GridCellText, CellReferences)
{
    struct Case {
        const char* Text;
        bool Ok;
        LONG X, Y;
    };
    const Case Cases[] = {
        {"r12c3", true, 3, 12}, {"R1C0", true, 0, 1},  {"R12", false, 0, 0},
        {"RxC3", false, 0, 0},  {"R1C", false, 0, 0},  {"C1R2", false, 0, 0},
        {"R1X2", false, 0, 0},  {"RC12", false, 0, 0}, {"R1C2C3", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : Cases) {
        POINT P{-5, -6};
        EXPECT_EQ(ParseCellRef(c.Text, P), c.Ok) << c.Text;
        EXPECT_EQ(P.x, c.Ok ? c.X : -5) << c.Text;
        EXPECT_EQ(P.y, c.Ok ? c.Y : -6) << c.Text;
    }
}

} // namespace
