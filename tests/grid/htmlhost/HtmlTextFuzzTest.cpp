// The text routines of HTML cells over generated and mutated texts under the
// sanitizers: nothing crashes, highlighting is undone exactly, a control's
// value written into its tag reads back, escaping is undone exactly.
#include <random>

#include <gtest/gtest.h>

#include "grid/core/HtmlTextRoutines.h"

namespace {

const char* const Pieces[] = {
    "<B>", "</B>", "<i>", "</i>", "<BR>", "<hr>", "<A HREF=\"x\">", "</A>", "<FONT COLOR=\"#FF0000\">", "</FONT>",
    "<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"40\" VALUE=\"v&amp;w\">", "<CONTROL ID=\"c\" TYPE=\"CHECK\">",
    "<control type=\"combo\" id=\"k\" prop=\"a|b\" maxlen=\"5\">", "&amp;", "&lt;", "&gt;", "&quot;", "&", "<",
    ">", "\"", " ", "ab", "AB", "abab", "x", "\xD6\xD0", "<#h>", "<", "=", "ID=", "VALUE=\"",
};

String Generate(std::mt19937& Rng)
{
    const std::size_t Count = sizeof Pieces / sizeof Pieces[0];
    String S;
    for (int I = static_cast<int>(Rng() % 16); I > 0; --I)
        S += Pieces[Rng() % Count];
    for (int M = static_cast<int>(Rng() % 3); M > 0 && !S.empty(); --M) {
        const std::size_t At = Rng() % S.size();
        if (Rng() % 2)
            S[At] = static_cast<char>(Rng() & 0xFF);
        else
            S.erase(At, 1 + Rng() % 3);
    }
    return S;
}

TEST(HtmlTextFuzz, RoutinesHoldTheirRoundTrips)
{
    std::mt19937 Rng(1512);
    const char* const Searches[] = {"a", "ab", "B", "x", " ", "&", "amp"};
    for (int Run = 0; Run < 100000; ++Run) {
        const String T = Generate(Rng);
        const String Search = Searches[Rng() % (sizeof Searches / sizeof Searches[0])];
        const bool CaseSensitive = Rng() % 2 == 0;
        const String H = HighlightHtmlText(T, Search, "hi", CaseSensitive);
        if (PosIgnoreCase("<hi>", T) == 0 && PosIgnoreCase("</hi>", T) == 0) {
            ASSERT_EQ(UnhighlightHtmlText(H, "hi"), T) << "run " << Run;
        }
        ASSERT_EQ(StripHtmlTags(H), StripHtmlTags(T)) << "run " << Run;
        ASSERT_EQ(UnescapeHtml(EscapeHtml(T)), T) << "run " << Run;

        String S = T;
        const String Value = Generate(Rng);
        const bool Set = SetHtmlControlValue(S, "e", Value);
        if (Set) {
            const std::size_t Open = HtmlUpper(S).find("<CONTROL ID=\"E\"");
            ASSERT_NE(Open, String::npos) << "run " << Run;
            const std::size_t Close = S.find('>', Open);
            ASSERT_NE(Close, String::npos) << "run " << Run;
            EXPECT_EQ(ParseHtmlControlTag(S.substr(Open + 1, Close - Open - 1)).Value, Value) << "run " << Run;
        } else {
            ASSERT_EQ(S, T) << "run " << Run;
        }
        // The rest only must not fail.
        (void)NextEditableHtmlControl(T, "e");
        (void)GetHtmlControlProp(T, "k");
        (void)GetHtmlControlMaxLen(T, "k");
        (void)HtmlToPlainText(T);
        (void)StripHashTags(T);
        (void)LineBreaksToBr(T);
        (void)PlainToHtmlIndex(T, static_cast<int>(Rng() % 40));
    }
}

} // namespace
