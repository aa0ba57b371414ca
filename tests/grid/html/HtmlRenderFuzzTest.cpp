// A bounded randomized run of the renderer in measure-only mode (and now
// and then a hit test) over generated and mutated tagged texts: it must
// neither crash nor loop, and its outputs stay within what the text can give.
#include <random>

#include <gtest/gtest.h>

#include "grid/core/HtmlRender.h"
#include "tests/graphics/PaintProbe.h"

namespace {

const char* const Fragments[] = {
    "<B>", "</B>", "<I>", "</I>", "<U>", "</U>", "<S>", "</S>", "<SUB>", "</SUB>", "<SUP>", "</SUP>",
    "<SHAD>", "</SHAD>", "<E>", "</E>", "<Z>", "</Z>", "<BR>", "<HR>", "<HI>", "</HI>", "<BLINK>", "</BLINK>",
    "<A HREF=\"x\">", "<A href=\"y\" title=\"t\">", "</A>", "<FONT SIZE=\"3\">", "<FONT size=\"99\">",
    "<FONT COLOR=\"#ff00\">", "<FONT FACE=\"Arial\" BGCOLOR=\"clred\">", "</FONT>", "<P ALIGN=\"CENTER\">",
    "<P ALIGN=\"RIGHT\" INDENT=\"20\" BGCOLOR=\"#00FF00\">", "</P>", "<UL>", "</UL>", "<LI>", "</LI>",
    "<IND x=\"80\">", "<BODY BGCOLOR=\"clyellow\">", "<IMG SRC=\"IDX:0\">", "<IMG SRC=\"missing\" ALIGN=\"TOP\">",
    "<IMG SRC=\"http://example.invalid/a.png\">", "<CONTROL TYPE=\"EDIT\" ID=\"a\" WIDTH=\"40\" VALUE=\"v\">",
    "<CONTROL TYPE=\"CHECK\" WIDTH=\"9\">", "<CONTROL TYPE=\"BUTTON\" WIDTH=\"300\">", "<CONTROL WIDTH=\"-5\">",
    "<R a=\"45\">", "</R>", "<#x>", "&amp;", "&lt;", "&gt;", "&nbsp;", "&permil;", "&euro;", "&", "<", ">",
    "\"", " ", "  ", "\r\n", "\t", "word", "longerwordwithoutblanks", "x", "\xD6\xD0\xCE\xC4", "<>", "</>", "<x",
};

String Generate(std::mt19937& Rng)
{
    const std::size_t Count = sizeof Fragments / sizeof Fragments[0];
    std::uniform_int_distribution<int> Pieces(0, 24);
    std::uniform_int_distribution<std::size_t> Pick(0, Count - 1);
    String S;
    for (int I = Pieces(Rng); I > 0; --I)
        S += Fragments[Pick(Rng)];
    // Mutations: bytes changed, dropped, doubled or cut off.
    std::uniform_int_distribution<int> Mutations(0, 3);
    for (int M = Mutations(Rng); M > 0 && !S.empty(); --M) {
        std::uniform_int_distribution<std::size_t> Where(0, S.size() - 1);
        const std::size_t At = Where(Rng);
        switch (Rng() % 4) {
        case 0: S[At] = static_cast<char>(Rng() & 0xFF); break;
        case 1: S.erase(At, 1 + Rng() % 4); break;
        case 2: S.insert(At, S.substr(At, 1 + Rng() % 8)); break;
        default: S.resize(At); break;
        }
    }
    return S;
}

TEST(HtmlFuzz, MeasureOnlyOverGeneratedAndMutatedTexts)
{
    TBitmap B(200, 100, TPixelFormat::pf24bit);
    TCanvas* C = B.Canvas();
    std::mt19937 Rng(20261210);
    const int Runs = 100000;
    for (int I = 0; I < Runs; ++I) {
        const String Text = Generate(Rng);
        const int Width = 1 + static_cast<int>(Rng() % 300);
        THtmlDrawParams P;
        P.WordWrap = (I & 1) == 0;
        P.MeasureOnly = I % 16 != 0;
        P.HitTestOnly = !P.MeasureOnly;
        P.HitX = static_cast<int>(Rng() % 200);
        P.HitY = static_cast<int>(Rng() % 100);
        THtmlDrawResult Out;
        const bool Hit = DrawHtmlText(C, Text, Rect(0, 0, Width, 100), P, Out);
        if (P.MeasureOnly) {
            ASSERT_FALSE(Hit) << "run " << I;
        }
        // Entities and tags only ever shorten the text; each line break is one CR.
        ASSERT_LE(Out.PlainText.size(), Text.size()) << "run " << I;
        ASSERT_GT(Out.TextHeight, 0) << "run " << I;
        ASSERT_GE(Out.TextWidth, 0) << "run " << I;
        ASSERT_GE(Out.AnchorCount, 0) << "run " << I;
    }
}

} // namespace
