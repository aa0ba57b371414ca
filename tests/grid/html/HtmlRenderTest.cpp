// The mini-HTML renderer on memory bitmaps: sizes and plain text of the
// measuring pass compared with the same font's measured text, hit tests of
// anchors and controls, and pixels of painted text, rules and controls.
#include <functional>

#include <gtest/gtest.h>

#include "framework/Codepage.h"
#include "grid/core/HtmlRender.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::PixelAt;

constexpr TColor Back = clWhite;

struct Surface {
    TBitmap B;
    explicit Surface(int W = 400, int H = 200) : B(W, H, TPixelFormat::pf24bit)
    {
        Clear(B, Back);
        C()->Font()->SetQuality(TFontQuality::fqNonAntialiased);
        C()->Font()->SetColor(clBlack);
        C()->Brush()->SetColor(Back);
    }
    TCanvas* C() { return B.Canvas(); }
    TColor At(int X, int Y) { return PixelAt(B, X, Y); }
};

// Width and height of Text in the canvas font changed by Change.
TSize Extent(TCanvas* C, const String& Text, const std::function<void(TFont*)>& Change = nullptr)
{
    TFont Keep;
    Keep.Assign(C->Font());
    if (Change)
        Change(C->Font());
    const TSize S = C->TextExtent(Text);
    C->Font()->Assign(&Keep);
    return S;
}
int Tw(TCanvas* C, const String& Text) { return Extent(C, Text).cx; }
int Gh(TCanvas* C) { return Extent(C, "gh").cy; }

THtmlDrawResult HitTest(TCanvas* C, const String& Text, const TRect& R, int X, int Y, bool& Hit)
{
    THtmlDrawParams P;
    P.HitX = X;
    P.HitY = Y;
    P.HitTestOnly = true;
    THtmlDrawResult Out;
    Out.HitAnchor = "none";
    Hit = DrawHtmlText(C, Text, R, P, Out);
    return Out;
}

void Paint(TCanvas* C, const String& Text, const TRect& R, bool WordWrap = true)
{
    THtmlDrawParams P;
    P.WordWrap = WordWrap;
    THtmlDrawResult Out;
    EXPECT_FALSE(DrawHtmlText(C, Text, R, P, Out)) << gui::Utf8(Text);
    GdiFlush();
}

TEST(HtmlMeasure, SizesAndPlainTextMatchTheFontsMeasuredText)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    auto Bold = [](TFont* F) { F->SetStyle({TFontStyle::fsBold}); };
    auto Points = [](int N) { return [N](TFont* F) { F->SetSize(N); }; };
    struct Case {
        String Html;
        String Plain;
        int Width;
        int Height;
    };
    const Case Cases[] = {
        {"Hello world", "Hello world", Tw(C, "Hello ") + Tw(C, "world"), Gh1},
        {"one<BR>three", "one\rthree", Tw(C, "three"), 2 * Gh1},
        {"one\r\nthree", "one\rthree", Tw(C, "three"), 2 * Gh1},
        {"<B>bold</B> plain", "bold plain", Extent(C, "bold", Bold).cx + Tw(C, " ") + Tw(C, "plain"), Gh1},
        {"A&amp;B", "A&B", Tw(C, "A&B"), Gh1},
        {"&lt;tag&gt;&nbsp;x", "<tag> x", Tw(C, "<tag> x"), Gh1},
        // Each entity is decoded once: what an "&amp;" makes is text.
        {"&amp;amp;", "&amp;", Tw(C, "&amp;"), Gh1},
        {"&AMP;lt;B&amp;gt;", "&lt;B&gt;", Tw(C, "&lt;B&gt;"), Gh1},
        {"&amp;nbsp;&amp;quot;", "&nbsp;&quot;", Tw(C, "&nbsp;&quot;"), Gh1},
        {"abc<b", "abc", Tw(C, "abc"), Gh1},
        {"<abc def", "", 0, Gh1},
        {"", "", 0, Gh1},
        {"a<Z>hidden</Z>b", "ahiddenb", Tw(C, "a") + Tw(C, "b"), Gh1},
        {"<FONT SIZE=\"3\">x</FONT>", "x", Extent(C, "x", Points(12)).cx, Extent(C, "x", Points(12)).cy},
        {"<font size=\"20\">x</font>", "x", Extent(C, "x", Points(20)).cx, Extent(C, "x", Points(20)).cy},
        {"<UL><LI>one<LI>two</UL>", "onetwo", 12 + std::max(Tw(C, "one"), Tw(C, "two")), 3 * Gh1},
        {"a<#b>c", "abc", Tw(C, "abc"), Gh1},
        {"<P ALIGN=\"CENTER\">x</P>y", "xy", std::max(Tw(C, "x"), Tw(C, "y")), 2 * Gh1},
        {"<CONTROL TYPE=\"EDIT\" ID=\"e\">after", "after", Tw(C, "after"), Gh1},
        {"<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"50\">after", "after", 50 + Tw(C, "after"), Gh1 + 6},
        {"<CONTROL TYPE=\"COMBO\" WIDTH=\"70\">", "", 70, 25},
        {"<CONTROL TYPE=\"CHECK\" WIDTH=\"1\">", "", 16, std::max(16, Gh1)},
    };
    for (const Case& K : Cases) {
        const THtmlDrawResult R = MeasureHtmlText(C, K.Html, Rect(0, 0, 400, 200));
        EXPECT_EQ(R.PlainText, K.Plain) << gui::Utf8(K.Html);
        EXPECT_EQ(R.TextWidth, K.Width) << gui::Utf8(K.Html);
        EXPECT_EQ(R.TextHeight, K.Height) << gui::Utf8(K.Html);
    }
}

TEST(HtmlMeasure, WrappingAndEllipsis)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    const String Long(30, 'w');
    ASSERT_GT(Tw(C, Long), 60);
    // With word wrap a word wider than the line stands alone on its line.
    THtmlDrawResult R = MeasureHtmlText(C, "aa " + Long + " bb", Rect(0, 0, 61, 200), true);
    EXPECT_EQ(R.TextHeight, 3 * Gh1);
    EXPECT_EQ(R.PlainText, "aa " + Long + " bb");
    EXPECT_EQ(R.TextWidth, Tw(C, Long + " ") - Tw(C, " "));
    // Without it the line is cut by the ellipsis and nothing after is laid out.
    R = MeasureHtmlText(C, "<B>x</B> " + Long + "<BR>second", Rect(0, 0, 61, 200), false);
    EXPECT_EQ(R.TextHeight, Gh1);
    EXPECT_EQ(R.PlainText, "x " + Long);
    // A word glued to the one before it stays on the line.
    R = MeasureHtmlText(C, "<B>x</B>" + Long + "<BR>second", Rect(0, 0, 61, 200), false);
    EXPECT_EQ(R.TextHeight, 2 * Gh1);
    EXPECT_EQ(R.PlainText, "x" + Long + "\rsecond");
    // Words that fit share a line.
    R = MeasureHtmlText(C, "a b c", Rect(0, 0, 400, 200), true);
    EXPECT_EQ(R.TextHeight, Gh1);
}

TEST(HtmlHitTest, AnchorsTheirNumbersAndRectangles)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    const String Text = "<A HREF=\"first\">one</A> <A href=\"Second\" title=\"Tip\">two</A> tail";
    const int XTwo = 1 + Tw(C, "one") + Tw(C, " ");
    bool Hit = false;
    THtmlDrawResult R = HitTest(C, Text, Rect(0, 0, 400, 100), XTwo + 2, Gh1 / 2, Hit);
    EXPECT_TRUE(Hit);
    EXPECT_EQ(R.HitAnchor, "Second");
    EXPECT_EQ(R.HitAnchorNumber, 2);
    EXPECT_EQ(R.AnchorCount, 2);
    EXPECT_EQ(R.AnchorTitle, "Tip");
    EXPECT_EQ(R.AnchorRect.left, XTwo);
    EXPECT_EQ(R.AnchorRect.right, XTwo + Tw(C, "two"));
    EXPECT_EQ(R.AnchorRect.top, 0);
    EXPECT_EQ(R.AnchorRect.bottom, Gh1);

    R = HitTest(C, Text, Rect(0, 0, 400, 100), 3, Gh1 / 2, Hit);
    EXPECT_TRUE(Hit);
    EXPECT_EQ(R.HitAnchor, "first");
    EXPECT_EQ(R.HitAnchorNumber, 1);

    // The blank between the anchors, the plain tail and a point below the
    // text hit nothing and leave the hit anchor as it was.
    for (const TPoint Pt : {Point(XTwo - 1, Gh1 / 2), Point(XTwo + Tw(C, "two") + 4, 3), Point(3, Gh1 + 5)}) {
        R = HitTest(C, Text, Rect(0, 0, 400, 100), Pt.x, Pt.y, Hit);
        EXPECT_FALSE(Hit) << Pt.x << "," << Pt.y;
        EXPECT_EQ(R.HitAnchor, "none") << Pt.x << "," << Pt.y;
        EXPECT_EQ(R.HitAnchorNumber, -1) << Pt.x << "," << Pt.y;
    }
}

TEST(HtmlHitTest, AnchorTextCountsOnlyWithinTheTextBandOfATallLine)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    const String Text = "<A HREF=\"a\">lo</A><FONT SIZE=\"40\">X</FONT>";
    const int Tall = MeasureHtmlText(C, Text, Rect(0, 0, 400, 200)).TextHeight;
    ASSERT_GT(Tall, 3 * Gh1);
    bool Hit = false;
    HitTest(C, Text, Rect(0, 0, 400, 200), 3, 2, Hit);
    EXPECT_FALSE(Hit) << "above the band";
    HitTest(C, Text, Rect(0, 0, 400, 200), 3, Tall - Gh1 / 2, Hit);
    EXPECT_TRUE(Hit) << "inside the band";
}

TEST(HtmlHitTest, CentredParagraphsAndControls)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    const String Text = "<P ALIGN=\"CENTER\"><A HREF=\"a\">ab</A><BR><A HREF=\"b\">cdef</A>";
    bool Hit = false;
    const int L1 = 1 + (200 - Tw(C, "ab")) / 2;
    THtmlDrawResult R = HitTest(C, Text, Rect(0, 0, 201, 100), L1 + 1, Gh1 / 2, Hit);
    EXPECT_TRUE(Hit);
    EXPECT_EQ(R.AnchorRect.left, L1);
    const int L2 = 1 + (200 - Tw(C, "cdef")) / 2;
    R = HitTest(C, Text, Rect(0, 0, 201, 100), L2 + 1, Gh1 + Gh1 / 2, Hit);
    EXPECT_TRUE(Hit) << "the second line is centred too";
    EXPECT_EQ(R.HitAnchor, "b");
    EXPECT_EQ(R.AnchorRect.left, L2);

    const String Form = "x<CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"50\" VALUE=\"v&amp;1\">"
                        "<CONTROL TYPE=\"CHECK\" ID=\"c1\" WIDTH=\"16\" VALUE=\"TRUE\">"
                        "<CONTROL TYPE=\"EDIT\" ID=\"none\">";
    const int XE = 1 + Tw(C, "x");
    R = HitTest(C, Form, Rect(0, 0, 400, 100), XE + 10, 5, Hit);
    EXPECT_TRUE(Hit);
    EXPECT_EQ(R.HitAnchor, "ctrl");
    EXPECT_EQ(R.ControlID, "e1");
    EXPECT_EQ(R.ControlType, "EDIT");
    EXPECT_EQ(R.ControlValue, "v&1");
    EXPECT_EQ(R.ControlRect.left, XE);
    EXPECT_EQ(R.ControlRect.right, XE + 50);
    EXPECT_EQ(R.ControlRect.bottom - R.ControlRect.top, Gh1 + 6);
    R = HitTest(C, Form, Rect(0, 0, 400, 100), XE + 58, 5, Hit);
    EXPECT_TRUE(Hit);
    EXPECT_EQ(R.ControlID, "c1");
    EXPECT_EQ(R.ControlType, "CHECK");
    // Past the check box: the control without a width is not there.
    R = HitTest(C, Form, Rect(0, 0, 400, 100), XE + 70, 5, Hit);
    EXPECT_FALSE(Hit);
    EXPECT_EQ(R.ControlID, "");
    EXPECT_EQ(R.HitAnchor, "none");

    // In hit-test-only mode the control ID is an input: that control counts as hit.
    THtmlDrawParams P;
    P.HitTestOnly = true;
    THtmlDrawResult Out;
    Out.ControlID = "c1";
    EXPECT_TRUE(DrawHtmlText(C, Form, Rect(0, 0, 400, 100), P, Out));
    EXPECT_EQ(Out.ControlRect.left, XE + 50);
    EXPECT_EQ(Out.ControlValue, "TRUE");
}

TEST(HtmlPaint, EntitiesPaintTheirCharacters)
{
    const int Flags = DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_EXPANDTABS | DT_EXTERNALLEADING;
    struct Case {
        const char* Html;
        const wchar_t* Shown;
    };
    const Case Cases[] = {{"a&amp;b", L"a&b"}, {"&permil;", L"\u2030"}, {"x&euro;&sect;", L"x\u20AC\u00A7"}};
    for (const Case& K : Cases) {
        Surface A, B;
        Paint(A.C(), K.Html, Rect(0, 0, 400, 100));
        TRect R = Rect(1, 0, 400, Gh(B.C()));
        B.C()->Brush()->SetStyle(TBrushStyle::bsClear);
        B.C()->DrawTextRect(WideString(K.Shown), R, Flags);
        GdiFlush();
        EXPECT_GT(InkCount(A.B, Back), 0) << K.Html;
        EXPECT_EQ(InkCount(A.B, Back, Rect(0, 0, 400, 40)), InkCount(B.B, Back, Rect(0, 0, 400, 40))) << K.Html;
        int Differ = 0;
        for (int Y = 0; Y < 40; ++Y)
            for (int X = 0; X < 120; ++X)
                Differ += A.At(X, Y) != B.At(X, Y);
        EXPECT_EQ(Differ, 0) << K.Html;
    }
}

TEST(HtmlPaint, ColouredTextRuleAndListIndent)
{
    Surface S;
    TCanvas* C = S.C();
    const int Gh1 = Gh(C);
    Paint(C, "<FONT COLOR=\"#ff0000\">red</FONT> black<HR>next", Rect(0, 0, 400, 200));
    const int RedEnd = 1 + Tw(C, "red");
    int Red = 0, Black = 0;
    for (int Y = 0; Y < Gh1; ++Y)
        for (int X = 0; X < 200; ++X) {
            const TColor P = S.At(X, Y);
            if (P == clRed) {
                ++Red;
                EXPECT_LT(X, RedEnd);
            }
            if (P == clBlack)
                Black += X >= RedEnd;
        }
    EXPECT_GT(Red, 10);
    EXPECT_GT(Black, 10);
    // The rule: black one pixel below the first line, across to the right edge.
    for (int X : {5, 200, 399})
        EXPECT_EQ(S.At(X, Gh1 + 1), clBlack) << X;
    EXPECT_EQ(S.At(399, Gh1), Back);
    EXPECT_EQ(S.At(399, Gh1 + 2), Back);

    // List items: the text starts 12 pixels in, the bullet in front of it.
    Surface L, Ref;
    Paint(L.C(), "<UL><LI>one<LI>two</UL>", Rect(0, 0, 400, 200));
    TRect R = Rect(13, Gh1, 400, 2 * Gh1);
    Ref.C()->Brush()->SetStyle(TBrushStyle::bsClear);
    Ref.C()->DrawTextRect(String("one"), R, DT_SINGLELINE | DT_BOTTOM | DT_NOPREFIX | DT_EXPANDTABS | DT_EXTERNALLEADING);
    GdiFlush();
    const TRect Word = Rect(13, Gh1, 13 + Tw(C, "one") + 2, 2 * Gh1);
    int Differ = 0;
    for (int Y = Word.top; Y < Word.bottom; ++Y)
        for (int X = Word.left; X < Word.right; ++X)
            Differ += L.At(X, Y) != Ref.At(X, Y);
    EXPECT_EQ(Differ, 0);
    EXPECT_GT(InkCount(Ref.B, Back, Word), 0);
    EXPECT_GT(InkCount(L.B, Back, Rect(0, Gh1, 13, 2 * Gh1)), 0) << "bullet of the first item";
    EXPECT_GT(InkCount(L.B, Back, Rect(0, 2 * Gh1, 13, 3 * Gh1)), 0) << "bullet of the second item";
    EXPECT_EQ(InkCount(L.B, Back, Rect(0, 0, 400, Gh1)), 0) << "the list starts on a new line";
}

TEST(HtmlPaint, CheckControlFrameAndCheckMark)
{
    Surface On, Off, None;
    Paint(On.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"16\" VALUE=\"true\">", Rect(0, 0, 100, 40));
    Paint(Off.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" WIDTH=\"16\" VALUE=\"false\">", Rect(0, 0, 100, 40));
    Paint(None.C(), "<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"true\">", Rect(0, 0, 100, 40));
    const int Bottom = std::max(16, Gh(On.C()));
    const TRect Box = Rect(3, Bottom - 15, 16, Bottom);
    EXPECT_GT(InkCount(On.B, Back, Box), 0);
    EXPECT_GT(InkCount(Off.B, Back, Box), 0);
    EXPECT_EQ(InkCount(On.B, Back) - InkCount(On.B, Back, Box), 0) << "nothing outside the box";
    int Differ = 0;
    for (int Y = Box.top; Y < Box.bottom; ++Y)
        for (int X = Box.left; X < Box.right; ++X)
            Differ += On.At(X, Y) != Off.At(X, Y);
    EXPECT_GT(Differ, 3) << "the check mark";
    EXPECT_EQ(InkCount(None.B, Back), 0) << "a control without a width is not drawn";
}

TEST(HtmlPaint, AnchorHoverHighlightBlinkAndBackgrounds)
{
    struct Case {
        const char* Name;
        String Html;
        std::function<void(THtmlDrawParams&)> Set;
        TColor Colour;      // looked for in the area
        int AtLeast;        // pixels of it at least
        bool None;          // or none of it at all
    };
    auto Hover = [](int N, TColor Font, TColor Bg) {
        return [=](THtmlDrawParams& P) {
            P.HoverStyle = true;
            P.HoverAnchor = N;
            P.HoverFontColor = Font;
            P.HoverColor = Bg;
        };
    };
    const String Link = "<A HREF=\"a\">linked words</A>";
    const Case Cases[] = {
        {"anchor colour", Link, nullptr, clBlue, 10, false},
        {"hover style, not hovered", Link, Hover(-1, clRed, clYellow), clBlue, 0, true},
        {"hover style, not hovered: no hover background", Link, Hover(-1, clRed, clYellow), clYellow, 0, true},
        {"hovered: hover font colour", Link, Hover(1, clRed, clYellow), clRed, 10, false},
        {"hovered: hover background", Link, Hover(1, clRed, clYellow), clYellow, 10, false},
        {"selected keeps the font colour", Link, [](THtmlDrawParams& P) { P.Selected = true; }, clBlue, 0, true},
        {"highlight", "<HI>marked</HI>", nullptr, clHighlight, 10, false},
        {"blink on", "<BLINK>blink</BLINK>", nullptr, clBlack, 10, false},
        {"blink off", "<BLINK>blink</BLINK>", [](THtmlDrawParams& P) { P.BlinkOn = false; }, clBlack, 0, true},
        {"body", "<BODY BGCOLOR=\"clyellow\">x", nullptr, clYellow, 300 * 80 - 200, false},
        {"paragraph band", "<P BGCOLOR=\"#00FF00\">x<BR>y</P>z", nullptr, clLime, 2 * 280, false},
    };
    for (const Case& K : Cases) {
        Surface S(300, 80);
        THtmlDrawParams P;
        if (K.Set)
            K.Set(P);
        THtmlDrawResult Out;
        DrawHtmlText(S.C(), K.Html, Rect(0, 0, 300, 80), P, Out);
        GdiFlush();
        int N = 0;
        for (int Y = 0; Y < 80; ++Y)
            for (int X = 0; X < 300; ++X)
                N += S.At(X, Y) == static_cast<TColor>(ColorToRGB(K.Colour));
        if (K.None)
            EXPECT_EQ(N, 0) << K.Name;
        else
            EXPECT_GE(N, K.AtLeast) << K.Name;
    }
    // The paragraph band ends with its paragraph: the third line is white at the right.
    Surface B(300, 80);
    Paint(B.C(), "<P BGCOLOR=\"#00FF00\">x<BR>y</P>z", Rect(0, 0, 300, 80));
    const int Gh1 = Gh(B.C());
    EXPECT_EQ(B.At(290, Gh1 / 2), clLime);
    EXPECT_EQ(B.At(290, Gh1 + Gh1 / 2), clLime);
    EXPECT_EQ(B.At(290, 2 * Gh1 + Gh1 / 2), Back);
}

TEST(HtmlPaint, FocusedAnchorGetsItsFocusRectangle)
{
    Surface With, Without;
    const String Html = "go <A HREF=\"second\">there</A>";
    THtmlDrawParams P;
    P.FocusAnchor = 0;
    THtmlDrawResult Out;
    DrawHtmlText(With.C(), Html, Rect(0, 0, 300, 80), P, Out);
    Paint(Without.C(), Html, Rect(0, 0, 300, 80));
    EXPECT_EQ(Out.FocusAnchor, "second");
    const int Left = 1 + Tw(With.C(), "go ") - 1;
    int Dots = 0;
    for (int Y = 0; Y < Gh(With.C()); ++Y)
        Dots += With.At(Left, Y) != Without.At(Left, Y);
    EXPECT_GT(Dots, 2) << "the dotted left edge";
}

TEST(HtmlPaint, CanvasComesBackAsItWas)
{
    Surface S;
    TCanvas* C = S.C();
    C->Font()->SetColor(clNavy);
    C->Brush()->SetColor(clYellow);
    C->Pen()->SetColor(clLime);
    C->Pen()->SetWidth(3);
    const String Name = C->Font()->Name();
    Paint(C, "<B><I><FONT FACE=\"Arial\" SIZE=\"5\" COLOR=\"clred\" BGCOLOR=\"clgreen\">x<HI>y<A HREF=\"q\">z"
             "<P BGCOLOR=\"#00FF00\">w<SUB>s<HR>",
          Rect(0, 0, 400, 200));
    EXPECT_EQ(C->Font()->Color(), clNavy);
    EXPECT_EQ(C->Font()->Name(), Name);
    EXPECT_TRUE(C->Font()->Style().Empty());
    EXPECT_EQ(C->Brush()->Color(), clYellow);
    EXPECT_EQ(C->Pen()->Color(), clLime);
    EXPECT_EQ(C->Pen()->Width(), 3);
}

} // namespace
