// Text drawn from 936 strings: Chinese characters must come out as their
// glyphs, not as the box that stands for a missing glyph.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::SamePixels;

const WideString chinese = L"读取参数";
const WideString privateUse = L"\xE000\xE001\xE002\xE003";   // no font has glyphs for these

// Text drawn in Face, black on white, two-colour, 20 pixels high, on a
// bitmap with room for Cells characters (by default those of Text).
std::unique_ptr<TBitmap> Render(const String& Face, const WideString& Text, std::size_t Cells = 0)
{
    const auto cells = static_cast<int>(Cells != 0 ? Cells : Text.size());
    auto b = std::make_unique<TBitmap>(32 * cells + 8, 32, TPixelFormat::pf24bit);
    Clear(*b, clWhite);
    TCanvas* c = b->Canvas();
    c->Font()->SetName(Face);
    c->Font()->SetHeight(-20);
    c->Font()->SetQuality(TFontQuality::fqNonAntialiased);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->TextOut(4, 4, Text);
    return b;
}

// The glyph check of PaintProbe.h on text drawn in Face.
::testing::AssertionResult DrawnAsGlyphs(const String& Face, const WideString& Chars)
{
    return paint_probe::DrawnAsGlyphs([&](const WideString& Text) { return Render(Face, Text, 1); }, Chars);
}

TEST(ChineseText, TheDefaultFontDrawsChineseGlyphs)
{
    EXPECT_TRUE(DrawnAsGlyphs(DefaultFontName(), chinese)) << StrToUtf8(DefaultFontName());
}

TEST(ChineseText, TheCheckRecognisesMissingGlyphs)
{
    EXPECT_FALSE(DrawnAsGlyphs(DefaultFontName(), privateUse));
}

// Under Wine a face without Chinese glyphs draws boxes (no font linking), and
// the check says so. Windows links such a face to a Chinese one, so there the
// case does not apply.
TEST(ChineseText, AFaceWithoutChineseGlyphsFailsTheCheck)
{
    if (!paint_probe::RunningOnWine())
        GTEST_SKIP() << "Windows fills missing glyphs from linked fonts";
    String latinOnly;
    for (const char* face : {"DejaVu Sans", "Liberation Sans", "Courier New", "Tahoma"}) {
        if (!FontFamilyInstalled(face))
            continue;
        TBitmap probe(1, 1);
        probe.Canvas()->Font()->SetName(face);
        probe.Canvas()->TextWidth("x");   // selects the font
        WORD glyphs[4];
        GetGlyphIndicesW(probe.Canvas()->Handle(), chinese.data(), 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
        if (glyphs[0] == 0xFFFF && glyphs[1] == 0xFFFF) {
            latinOnly = face;
            break;
        }
    }
    if (latinOnly.empty())
        GTEST_SKIP() << "no installed face without Chinese glyphs";
    EXPECT_FALSE(DrawnAsGlyphs(latinOnly, chinese)) << latinOnly;
}

// 936 text goes through StrToWide: it draws exactly what the UTF-16 text draws.
TEST(ChineseText, Code936TextDrawsLikeItsUnicode)
{
    const String text = "读取参数";
    ASSERT_EQ(text.size(), 8u);   // two bytes a character in code page 936
    auto wide = Render(DefaultFontName(), chinese);
    TBitmap narrow(wide->Width(), wide->Height(), TPixelFormat::pf24bit);
    Clear(narrow, clWhite);
    TCanvas* c = narrow.Canvas();
    c->Font()->SetHeight(-20);
    c->Font()->SetQuality(TFontQuality::fqNonAntialiased);
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->TextOut(4, 4, text);
    EXPECT_GT(InkCount(narrow, clWhite), 0);
    EXPECT_TRUE(SamePixels(narrow, *wide));
    EXPECT_EQ(c->TextExtent(text).cx, c->TextExtent(chinese).cx);

    TRect r = Rect(0, 0, 0, 0);
    c->DrawTextRect(text, r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(RectWidth(r), c->TextWidth(text));
}

} // namespace
