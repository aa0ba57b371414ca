// Text routines of HTML cells: control tags read and rewritten, escaping,
// plain text, and the search highlight with its exact round trip.
#include <gtest/gtest.h>

#include "grid/core/HtmlRender.h"
#include "grid/core/HtmlTextRoutines.h"

namespace {

TEST(HtmlControlTags, ParseReadsEachAttributeByItsWholeName)
{
    struct Case {
        const char* Inside;
        THtmlControlTag Want;
    };
    const Case Cases[] = {
        {R"(CONTROL TYPE="edit" WIDTH="80" ID="e1" VALUE="Abc")", {"EDIT", "e1", "", "", "80", "Abc"}},
        // ID is not found inside WIDTH, nor VALUE inside another value.
        {R"(CONTROL WIDTH="15" TYPE="CHECK" ID="Chk" VALUE="true")", {"CHECK", "Chk", "", "", "15", "true"}},
        {R"(CONTROL ID="m" PROP="VALUE=x" TYPE="MASK" MAXLEN="12" VALUE="a&lt;b&quot;c")",
         {"MASK", "m", "12", "VALUE=x", "", "a<b\"c"}},
        {R"(CONTROL TYPE="COMBO")", {"COMBO", "", "", "", "", ""}},
        {R"(CONTROL TYPE="BUTTON" ID="b" VALUE="open)", {"BUTTON", "b", "", "", "", "open"}},
        {R"(CONTROL ID=nq TYPE="RADIO")", {"RADIO", "", "", "", "", ""}},
    };
    for (const Case& C : Cases) {
        const THtmlControlTag T = ParseHtmlControlTag(C.Inside);
        EXPECT_EQ(T.Type, C.Want.Type) << C.Inside;
        EXPECT_EQ(T.ID, C.Want.ID) << C.Inside;
        EXPECT_EQ(T.MaxLen, C.Want.MaxLen) << C.Inside;
        EXPECT_EQ(T.Prop, C.Want.Prop) << C.Inside;
        EXPECT_EQ(T.Width, C.Want.Width) << C.Inside;
        EXPECT_EQ(T.Value, C.Want.Value) << C.Inside;
    }
}

const String Form = R"(<CONTROL TYPE="CHECK" ID="c1" WIDTH="15"> name <control type="EDIT" id="n" width="60" )"
                    R"(value="Ann" maxlen="8x"> pw <CONTROL TYPE="PASSWORD" ID="p" WIDTH="40" PROP="*">)"
                    R"( <CONTROL TYPE="BUTTON" ID="ok" WIDTH="40" VALUE="OK">)";

TEST(HtmlControlTags, FindsControlsAndTheirProperties)
{
    EXPECT_TRUE(HasHtmlControl(Form));
    EXPECT_TRUE(HasHtmlControl("<control"));
    EXPECT_FALSE(HasHtmlControl("<B>control</B>"));

    EXPECT_EQ(NextEditableHtmlControl(Form, ""), "n");   // skips the leading check box
    EXPECT_EQ(NextEditableHtmlControl(Form, "n"), "p");
    EXPECT_EQ(NextEditableHtmlControl(Form, "p"), "");   // the last edit field
    EXPECT_EQ(NextEditableHtmlControl(Form, "zz"), "");

    EXPECT_EQ(GetHtmlControlProp(Form, "p"), "*");
    EXPECT_EQ(GetHtmlControlProp(Form, "zz"), "");
    EXPECT_EQ(GetHtmlControlMaxLen(Form, "n"), 8);
    EXPECT_EQ(GetHtmlControlMaxLen(Form, "p"), 0);
    EXPECT_EQ(GetHtmlControlMaxLen(Form, "N"), 0);   // IDs compare case-sensitively
}

TEST(HtmlControlTags, SetValueRewritesOnlyThatTag)
{
    String S = "before " + String(R"(<CONTROL TYPE="edit" ID="a" WIDTH="50" PROP="9999" EXTRA="x" VALUE="old">)")
        + " after";
    ASSERT_TRUE(SetHtmlControlValue(S, "a", "say \"hi\" <now> & then"));
    EXPECT_EQ(S, "before <CONTROL ID=\"a\" VALUE=\"say &quot;hi&quot; &lt;now&gt; &amp; then\" WIDTH=\"50\" "
                 "TYPE=\"EDIT\" PROP=\"9999\"> after");
    const auto Open = S.find('<');
    const THtmlControlTag T = ParseHtmlControlTag(S.substr(Open + 1, S.find('>', Open) - Open - 1));
    EXPECT_EQ(T.Value, "say \"hi\" <now> & then");
    EXPECT_EQ(T.MaxLen, "");

    const String Keep = S;
    EXPECT_FALSE(SetHtmlControlValue(S, "b", "x"));
    EXPECT_EQ(S, Keep);

    String Two = R"(<CONTROL ID="x" TYPE="EDIT" WIDTH="9" MAXLEN="3"><CONTROL ID="y" TYPE="EDIT" WIDTH="9">)";
    ASSERT_TRUE(SetHtmlControlValue(Two, "y", "v"));
    EXPECT_EQ(Two, R"(<CONTROL ID="x" TYPE="EDIT" WIDTH="9" MAXLEN="3"><CONTROL ID="y" VALUE="v" WIDTH="9" TYPE="EDIT">)");
}

TEST(HtmlConversions, EscapePlainTextAndStrip)
{
    EXPECT_EQ(EscapeHtml("a&b \"c\" <d>"), "a&amp;b &quot;c&quot; &lt;d&gt;");
    for (const char* S : {"", "plain", "a&b", "&lt;", "&quot;", "&amp;quot;", "\"q\" <t> & &amp;"})
        EXPECT_EQ(UnescapeHtml(EscapeHtml(S)), S) << S;
    EXPECT_EQ(MaskPassword("secret"), "******");
    EXPECT_EQ(MaskPassword(""), "");

    EXPECT_EQ(HtmlToPlainText("one<br>two<HR>three"), "one\r\ntwo\r\nthree");
    EXPECT_EQ(HtmlToPlainText("<b>a</b> < b"), "a < b");
    EXPECT_EQ(StripHtmlTags("<b>bold</b> and <i>it</i>"), "bold and it");
    EXPECT_EQ(StripHtmlTags("a > b <i>c</i>"), "a > b <i>c</i>");
    EXPECT_EQ(StripHtmlTags("x <y"), "x <y");
}

TEST(HtmlHighlight, MarksEveryMatchAndUnhighlightGivesTheTextBack)
{
    struct Case {
        const char* Html;
        const char* Search;
        bool CaseSensitive;
        const char* Want;
    };
    const Case Cases[] = {
        {"abab", "ab", true, "<hi>ab</hi><hi>ab</hi>"},
        {"xABx ab", "ab", false, "x<hi>AB</hi>x <hi>ab</hi>"},
        {"xABx ab", "ab", true, "xABx <hi>ab</hi>"},
        {"<b>bold</b> text", "d t", false, "<b>bol<hi>d</b> t</hi>ext"},
        {"<b>x</b>y", "x", true, "<hi><b>x</hi></b>y"},
        {"no match", "zz", true, "no match"},
        {"a &amp; b", "amp", true, "a &<hi>amp</hi>; b"},
    };
    for (const Case& C : Cases) {
        const String H = HighlightHtmlText(C.Html, C.Search, "hi", C.CaseSensitive);
        EXPECT_EQ(H, C.Want) << C.Html << " / " << C.Search;
        EXPECT_EQ(UnhighlightHtmlText(H, "HI"), C.Html) << C.Html;
    }
    // A plain part holding angle brackets cannot be marked without losing
    // the tags: it is left alone, so nothing changes when unhighlighted.
    for (const char* S : {"a > b <i>c</i>", "if x<y then", "1 < 2"})
        EXPECT_EQ(HighlightHtmlText(S, "a", "hi", false), S);
    EXPECT_EQ(HighlightHtmlText("abc", "", "hi", false), "abc");
}

TEST(HtmlHighlight, PlainPositionsMapIntoTheTaggedText)
{
    const String H = "<b>ab</b><i>c</i>";
    EXPECT_EQ(PlainToHtmlIndex(H, 1), 1);    // the tag in front of "a"
    EXPECT_EQ(PlainToHtmlIndex(H, 2), 5);    // "b"
    EXPECT_EQ(PlainToHtmlIndex(H, 3), 6);    // the tags in front of "c"
    EXPECT_EQ(PlainToHtmlIndex(H, 4), 18);   // after the last character
    EXPECT_EQ(FindPlainText("xAbab", "ab", 1, true), 4);
    EXPECT_EQ(FindPlainText("xAbab", "ab", 1, false), 2);
    EXPECT_EQ(FindPlainText("xAbab", "ab", 3, false), 4);
    EXPECT_EQ(FindPlainText("xAbab", "q", 1, false), 0);
}

TEST(HtmlRendererHelpers, TextRoutines)
{
    EXPECT_EQ(StripHashTags("a<#b>c<#d"), "abcd");
    EXPECT_EQ(LineBreaksToBr("a\r\nb\rc\n"), "a<BR>b<BR>c");
    bool Done = false;
    EXPECT_EQ(ReplaceFirstIgnoreCase("x&AMP;y&amp;", "&amp;", "&", &Done), "x&y&amp;");
    EXPECT_TRUE(Done);
    EXPECT_EQ(ReplaceFirstIgnoreCase("xy", "&amp;", "&", &Done), "xy");
    EXPECT_FALSE(Done);
    EXPECT_EQ(PosIgnoreCase("Bc", "abcabc"), 2);
    EXPECT_EQ(PosIgnoreCase("q", "abc"), 0);
    EXPECT_EQ(StrToIntLoose(" 42px"), 42);
    EXPECT_EQ(StrToIntLoose("-7"), -7);
    EXPECT_EQ(StrToIntLoose("x", -1), -1);
    EXPECT_EQ(StrToIntLoose("99999999999"), 2147483647);
    EXPECT_EQ(HtmlFindPos("b", "abcb", 3), 4);
    EXPECT_EQ(HtmlFindUpperPos("B", "abcb", 1), 2);
    EXPECT_EQ(HtmlFindPos("z", "abc", 9), 0);
}

TEST(HtmlRendererHelpers, ColourNamesAndHexColours)
{
    struct Case {
        const char* Name;
        TColor Want;
    };
    const Case Names[] = {
        {"clred", 0x0000FF},       {"clnavy", 0x800000},          {"clteal", 0x808000},
        {"clmaroon", 0x000080},    {"clbtnface", clBtnFace},      {"clinfobk", clInfoBk},
        {"cl3ddkshadow", cl3DDkShadow}, {"clhighlighttext", clHighlightText}, {"nosuch", clBlack},
        {"clRed", clBlack},   // names are read lower-cased by the renderer
    };
    for (const Case& C : Names)
        EXPECT_EQ(ColorFromName(C.Name), C.Want) << C.Name;
    EXPECT_EQ(HexToColor("#FF0000"), 0x0000FF);
    EXPECT_EQ(HexToColor("#00FF80"), 0x80FF00);
    EXPECT_EQ(HexToColor("#12"), 0x000012);
    EXPECT_EQ(HexPairToByte('A', '5'), 0xA5);
    EXPECT_EQ(HexPairToByte('g', '1'), 0x01);
}

} // namespace
