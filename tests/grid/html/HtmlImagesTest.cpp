// Images in mini-HTML: pictures of a container (by name, any case), of the
// grid's cache (loaded from a file address, never from a network one), of
// an image list, their sizes on the line, stretching and hits inside anchors.
#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/Stream.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/PictureContainer.h"
#include "tests/graphics/PaintProbe.h"
#include "tests/support/TempDir.h"

namespace {

using paint_probe::Clear;
using paint_probe::PixelAt;

constexpr TColor Back = clWhite;

// The bytes of a .bmp file of W x H pixels in one colour.
String BmpBytes(int W, int H, TColor Color)
{
    TBitmap B(W, H, TPixelFormat::pf24bit);
    Clear(B, Color);
    return B.SaveToBytes();
}

struct Fixture {
    TBitmap Surface{300, 100, TPixelFormat::pf24bit};
    TPictureContainer Container{nullptr};
    THTMLPictureCache Cache;
    Fixture()
    {
        Clear(Surface, Back);
        TPictureItem* Item = Container.Items()->Add();
        Item->SetName("Pic");
        TMemoryStream S;
        const String Bytes = BmpBytes(20, 10, clRed);
        S.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
        S.Seek(0, 0);
        Item->Picture()->LoadFromStream(&S);
    }
    TCanvas* C() { return Surface.Canvas(); }
    THtmlDrawParams Params()
    {
        THtmlDrawParams P;
        P.PictureContainer = &Container;
        P.PictureCache = &Cache;
        return P;
    }
    int Count(const TRect& R, TColor Color)
    {
        int N = 0;
        for (int Y = R.top; Y < R.bottom; ++Y)
            for (int X = R.left; X < R.right; ++X)
                N += PixelAt(Surface, X, Y) == Color;
        return N;
    }
};

TEST(HtmlImages, ContainerPicturesTakeTheirSizeAndAreDrawn)
{
    Fixture F;
    ASSERT_TRUE(F.Container.Items()->Items(0)->Picture()->Decoded());
    const int A = F.C()->TextWidth("a"), B = F.C()->TextWidth("b");
    const int Gh = F.C()->TextHeight("gh");
    struct Case {
        const char* Html;
        int Width;
        int Height;
    };
    const Case Cases[] = {
        {"a<IMG SRC=\"pic\">b", A + 20 + B, std::max(Gh, 10)},
        {"a<IMG SRC=\"Pic\" WIDTH=\"40\" HEIGHT=\"30\">b", A + 40 + B, std::max(Gh, 30)},
        {"a<IMG SRC=\"nosuch\">b", A + B, Gh},
        {"a<IMG SRC=\"http://example.invalid/x.bmp\">b", A + B, Gh},
        {"a<IMG SRC=\"IDX:0\">b", A + B, Gh},   // no image list
    };
    for (const Case& K : Cases) {
        THtmlDrawParams P = F.Params();
        P.MeasureOnly = true;
        THtmlDrawResult Out;
        DrawHtmlText(F.C(), K.Html, Rect(0, 0, 300, 100), P, Out);
        EXPECT_EQ(Out.TextWidth, K.Width) << K.Html;
        EXPECT_EQ(Out.TextHeight, K.Height) << K.Html;
        EXPECT_EQ(Out.PlainText, "ab") << K.Html;
    }
    // The network address went into the cache and stayed empty.
    ASSERT_EQ(F.Cache.Count(), 1);
    EXPECT_EQ(F.Cache.Items(0)->Address(), "http://example.invalid/x.bmp");
    EXPECT_TRUE(F.Cache.Items(0)->Empty());

    THtmlDrawResult Out;
    DrawHtmlText(F.C(), "a<IMG SRC=\"pic\"><IMG SRC=\"PIC\" WIDTH=\"40\" HEIGHT=\"5\">", Rect(0, 0, 300, 100), F.Params(),
                 Out);
    GdiFlush();
    const int X0 = 1 + A;
    EXPECT_EQ(F.Count(Rect(X0, 0, X0 + 20, 10), clRed), 200) << "natural size";
    EXPECT_EQ(F.Count(Rect(X0 + 20, 0, X0 + 60, 5), clRed), 200) << "stretched";
    EXPECT_EQ(F.Count(Rect(0, 0, 300, 100), clRed), 400) << "nothing else";
}

TEST(HtmlImages, FileAddressesAreCachedAndImageListsIndexed)
{
    Fixture F;
    testfs::TempDir Dir("html-images");
    const auto File = Dir.Path() / "blue.bmp";
    testfs::WriteBytes(File, BmpBytes(12, 8, clBlue));
    const String Html = "<IMG SRC=\"FILE://" + testfs::PathStr(File) + "\">";
    for (int Round = 0; Round < 2; ++Round) {
        THtmlDrawResult Out;
        DrawHtmlText(F.C(), Html, Rect(0, 0, 300, 100), F.Params(), Out);
        EXPECT_EQ(Out.TextWidth, 12) << "round " << Round;
    }
    EXPECT_EQ(F.Cache.Count(), 1) << "found again by its address";
    GdiFlush();
    EXPECT_EQ(F.Count(Rect(1, 0, 13, 8), clBlue), 96);

    TImageList Images(nullptr);
    Images.SetSize(16, 16);
    TBitmap Green(16, 16, TPixelFormat::pf24bit);
    Clear(Green, clLime);
    Images.Add(&Green, nullptr);
    Fixture G;
    THtmlDrawParams P = G.Params();
    P.ImageList = &Images;
    THtmlDrawResult Out;
    DrawHtmlText(G.C(), "<IMG SRC=\"IDX:0\">x<IMG SRC=\"IDX:1\">", Rect(0, 0, 300, 100), P, Out);
    GdiFlush();
    EXPECT_EQ(Out.TextWidth, 16 + G.C()->TextWidth("x"));
    EXPECT_EQ(G.Count(Rect(1, 0, 17, 16), clLime), 256);
}

TEST(HtmlImages, AnImageInsideAnAnchorIsHit)
{
    Fixture F;
    const String Html = "go <A HREF=\"target\"><IMG SRC=\"pic\"></A>";
    const int X0 = 1 + F.C()->TextWidth("go ");
    THtmlDrawParams P = F.Params();
    P.HitTestOnly = true;
    P.HitX = X0 + 5;
    P.HitY = 3;
    THtmlDrawResult Out;
    EXPECT_TRUE(DrawHtmlText(F.C(), Html, Rect(0, 0, 300, 100), P, Out));
    EXPECT_EQ(Out.HitAnchor, "target");
    P.HitX = X0 + 25;
    THtmlDrawResult Miss;
    EXPECT_FALSE(DrawHtmlText(F.C(), Html, Rect(0, 0, 300, 100), P, Miss));
    EXPECT_EQ(Miss.HitAnchor, "");
}

} // namespace
