// Text drawn from 936 strings: Chinese characters must come out as their
// glyphs, not as the box that stands for a missing glyph.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::SamePixels;

const WideString chinese = L"读取参数";
const WideString privateUse = L"\xE000\xE001\xE002\xE003";   // no font has glyphs for these

// Text drawn in Face, black on white, two-colour, 20 pixels high.
std::unique_ptr<TBitmap> Render(const String& Face, const WideString& Text)
{
    auto b = std::make_unique<TBitmap>(32 * static_cast<int>(Text.size()) + 8, 32, TPixelFormat::pf24bit);
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

// Whether each character of Chars is drawn as a glyph of its own: drawn
// alone it leaves ink, no two of them look alike, and none looks like a
// character that no font has. A font without the glyphs draws the same box
// for all of them, which fails the second and third conditions.
::testing::AssertionResult DrawnAsGlyphs(const String& Face, const WideString& Chars)
{
    const auto box = Render(Face, WideString(1, L'\xE000'));
    std::vector<std::unique_ptr<TBitmap>> images;
    for (wchar_t ch : Chars) {
        images.push_back(Render(Face, WideString(1, ch)));
        if (InkCount(*images.back(), clWhite) == 0)
            return ::testing::AssertionFailure() << "U+" << std::hex << int(ch) << " left no ink";
        if (SamePixels(*images.back(), *box))
            return ::testing::AssertionFailure() << "U+" << std::hex << int(ch) << " is drawn as the missing-glyph box";
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            if (SamePixels(*images[i], *images[j]))
                return ::testing::AssertionFailure() << "characters " << i << " and " << j << " look alike";
    return ::testing::AssertionSuccess();
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
