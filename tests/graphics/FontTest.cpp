#include <gtest/gtest.h>

#include <functional>

#include "framework/Codepage.h"
#include "framework/Graphics.h"

namespace {

LOGFONTW DescriptionOf(HFONT Font)
{
    LOGFONTW lf{};
    EXPECT_NE(GetObjectW(Font, sizeof lf, &lf), 0);
    return lf;
}

TEST(Font, StartsWithTheDefaultFaceAtNinePoints)
{
    TFont f;
    EXPECT_EQ(f.Name(), DefaultFontName());
    EXPECT_TRUE(FontFamilyInstalled(f.Name())) << StrToUtf8(f.Name());
    EXPECT_EQ(f.Size(), 9);
    EXPECT_EQ(f.Height(), -MulDiv(9, ScreenPixelsPerInch(), 72));
    EXPECT_TRUE(f.Style().Empty());
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);

    const LOGFONTW lf = DescriptionOf(f.Handle());
    EXPECT_EQ(WideToStr(lf.lfFaceName), f.Name());
    EXPECT_EQ(lf.lfHeight, f.Height());
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
}

TEST(Font, FontFamilyInstalledTellsInstalledAndMissingFacesApart)
{
    struct Case {
        String Face;
        bool Installed;
    };
    for (const Case& c : {Case{DefaultFontName(), true}, Case{"No Such Face 12345", false}}) {
        SCOPED_TRACE(StrToUtf8(c.Face));
        EXPECT_EQ(FontFamilyInstalled(c.Face), c.Installed);
    }
}

TEST(Font, SizeAndHeightFollowEachOther)
{
    const int ppi = ScreenPixelsPerInch();
    TFont f;
    for (int size : {6, 9, 10, 12, 20, 48}) {
        f.SetSize(size);
        EXPECT_EQ(f.Height(), -MulDiv(size, ppi, 72)) << size;
        EXPECT_EQ(f.Size(), size) << size;
    }
    f.SetHeight(-32);
    EXPECT_EQ(f.Size(), MulDiv(32, 72, ppi));
}

// Every property change fires OnChange once; a change that the HFONT
// describes gives a new handle that carries it, a colour change keeps the
// handle. Setting the same value again changes nothing.
TEST(Font, ChangesFireOnChangeAndRenewTheHandleWhenItDescribesThem)
{
    struct Case {
        const char* name;
        std::function<void(TFont&)> change;
        bool newHandle;
        std::function<bool(const LOGFONTW&)> described;
    };
    const String face = "宋体";
    const Case cases[] = {
        {"Name", [&](TFont& f) { f.SetName(face); }, true,
         [&](const LOGFONTW& lf) { return WideToStr(lf.lfFaceName) == face; }},
        {"Size", [](TFont& f) { f.SetSize(20); }, true,
         [](const LOGFONTW& lf) { return lf.lfHeight == -MulDiv(20, ScreenPixelsPerInch(), 72); }},
        {"Height", [](TFont& f) { f.SetHeight(25); }, true, [](const LOGFONTW& lf) { return lf.lfHeight == 25; }},
        {"Bold", [](TFont& f) { f.SetStyle({TFontStyle::fsBold}); }, true,
         [](const LOGFONTW& lf) { return lf.lfWeight == FW_BOLD && !lf.lfItalic; }},
        {"Italic+Underline",
         [](TFont& f) { f.SetStyle({TFontStyle::fsItalic, TFontStyle::fsUnderline}); }, true,
         [](const LOGFONTW& lf) { return lf.lfItalic && lf.lfUnderline && !lf.lfStrikeOut && lf.lfWeight == FW_NORMAL; }},
        {"StrikeOut", [](TFont& f) { f.SetStyle({TFontStyle::fsStrikeOut}); }, true,
         [](const LOGFONTW& lf) { return lf.lfStrikeOut != 0; }},
        {"Charset", [](TFont& f) { f.SetCharset(GB2312_CHARSET); }, true,
         [](const LOGFONTW& lf) { return lf.lfCharSet == GB2312_CHARSET; }},
        {"Pitch", [](TFont& f) { f.SetPitch(TFontPitch::fpFixed); }, true,
         [](const LOGFONTW& lf) { return (lf.lfPitchAndFamily & 3) == FIXED_PITCH; }},
        {"Quality", [](TFont& f) { f.SetQuality(TFontQuality::fqNonAntialiased); }, true,
         [](const LOGFONTW& lf) { return lf.lfQuality == NONANTIALIASED_QUALITY; }},
        {"Orientation", [](TFont& f) { f.SetOrientation(900); }, true,
         [](const LOGFONTW& lf) { return lf.lfEscapement == 900 && lf.lfOrientation == 900; }},
        {"Color", [](TFont& f) { f.SetColor(clRed); }, false, nullptr},
    };
    for (const Case& c : cases) {
        TFont f;
        int changes = 0;
        f.OnChange = [&](TObject* sender) {
            EXPECT_EQ(sender, &f) << c.name;
            ++changes;
        };
        HFONT before = f.Handle();
        const LOGFONTW old = DescriptionOf(before);
        c.change(f);
        EXPECT_EQ(changes, 1) << c.name;
        if (c.newHandle) {
            const LOGFONTW now = DescriptionOf(f.Handle());
            EXPECT_TRUE(c.described(now)) << c.name;
            EXPECT_FALSE(c.described(old)) << c.name;
        } else {
            EXPECT_EQ(f.Handle(), before) << c.name;
        }
        c.change(f);
        EXPECT_EQ(changes, 1) << c.name << " set again to the same value";
    }
}

TEST(Font, AssignCopiesEveryPropertyAndFiresOnceWhenSomethingDiffers)
{
    TFont source;
    source.SetName("宋体");
    source.SetSize(14);
    source.SetStyle({TFontStyle::fsBold, TFontStyle::fsItalic});
    source.SetColor(clNavy);
    source.SetCharset(GB2312_CHARSET);
    source.SetPitch(TFontPitch::fpVariable);
    source.SetQuality(TFontQuality::fqNonAntialiased);
    source.SetOrientation(450);

    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.Assign(&source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Name(), source.Name());
    EXPECT_EQ(f.Height(), source.Height());
    EXPECT_EQ(f.Style(), source.Style());
    EXPECT_EQ(f.Color(), clNavy);
    EXPECT_EQ(f.Charset(), GB2312_CHARSET);
    EXPECT_EQ(f.Pitch(), TFontPitch::fpVariable);
    EXPECT_EQ(f.Quality(), TFontQuality::fqNonAntialiased);
    EXPECT_EQ(f.Orientation(), 450);
    // A copy draws with the source's font object, shared rather than made again.
    EXPECT_EQ(f.Handle(), source.Handle());

    HFONT handle = f.Handle();
    f.Assign(&source);   // nothing differs: no change, same handle
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Handle(), handle);
    source.SetColor(clRed);
    f.Assign(&source);   // only the colour differs: same handle
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.Handle(), handle);
    EXPECT_EQ(f.Color(), clRed);

    // A change of the copy gives it an object of its own; the source's
    // shared object lives on and stays the source's.
    const HFONT shared = source.Handle();
    f.SetSize(f.Size() + 4);
    EXPECT_NE(f.Handle(), shared);
    EXPECT_EQ(source.Handle(), shared);
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));

    TPen pen;
    EXPECT_THROW(f.Assign(&pen), EConvertError);
}

TEST(Font, SetHandleTakesTheDescriptionAndLeavesTheHandleToItsOwner)
{
    HFONT given = CreateFontW(-20, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, L"Some Face");
    ASSERT_NE(given, nullptr);
    {
        TFont f;
        int changes = 0;
        f.OnChange = [&](TObject*) { ++changes; };
        f.SetHandle(given);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(f.Name(), "Some Face");
        EXPECT_EQ(f.Height(), -20);
        EXPECT_EQ(f.Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}));
        EXPECT_EQ(f.Charset(), GB2312_CHARSET);
        EXPECT_EQ(f.Pitch(), TFontPitch::fpFixed);
        EXPECT_NE(f.Handle(), given);
    }
    EXPECT_EQ(GetObjectType(given), static_cast<DWORD>(OBJ_FONT));
    DeleteObject(given);
    TFont f;
    EXPECT_THROW(f.SetHandle(nullptr), EInvalidGraphic);
}

TEST(FontStyles, SetOperations)
{
    using enum TFontStyle;
    const TFontStyles bi{fsBold, fsItalic};
    const TFontStyles iu{fsItalic, fsUnderline};
    EXPECT_EQ(bi + iu, (TFontStyles{fsBold, fsItalic, fsUnderline}));
    EXPECT_EQ(bi - iu, TFontStyles{fsBold});
    EXPECT_EQ(bi * iu, TFontStyles{fsItalic});
    EXPECT_TRUE((bi * TFontStyles{fsStrikeOut}).Empty());
    EXPECT_TRUE(bi.Contains(fsBold));
    EXPECT_FALSE(bi.Contains(fsUnderline));
    TFontStyles s;
    s.Include(fsStrikeOut).Include(fsBold).Exclude(fsBold);
    EXPECT_EQ(s, TFontStyles{fsStrikeOut});
}

} // namespace
