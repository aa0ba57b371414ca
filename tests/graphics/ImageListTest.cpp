#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::InkCount;
using paint_probe::PixelAt;

// A 16 x 16 picture: Background everywhere but a red square at (4, 4)-(8, 8).
std::unique_ptr<TBitmap> Square(TColor Background, TPixelFormat Format = TPixelFormat::pf24bit)
{
    auto b = std::make_unique<TBitmap>(16, 16, Format);
    Clear(*b, Background);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(4, 4, 8, 8));
    return b;
}

TEST(ImageList, StartsEmptyWithSixteenPixelPictures)
{
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.Count(), 0);
    ASSERT_NE(list.Handle(), nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list.Handle(), &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
}

TEST(ImageList, AddSplitsAWideBitmapIntoPictures)
{
    TImageList list(nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    TBitmap strip(48, 16);
    EXPECT_EQ(list.Add(&strip, nullptr), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Add(&strip, nullptr), 3);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(changes, 2);

    list.Delete(0);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_THROW(list.Delete(5), EListError);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 4);

    TBitmap empty;
    EXPECT_THROW(list.Add(&empty, nullptr), EInvalidGraphic);
    TBitmap narrow(15, 16);
    EXPECT_THROW(list.Add(&narrow, nullptr), EInvalidGraphic);
    EXPECT_THROW(list.AddMasked(nullptr, clNone), EInvalidGraphic);
}

// Pictures added with a mask colour are drawn transparently there, from
// 24- and 32-bit bitmaps alike, and the caller's bitmap stays as it was.
TEST(ImageList, AddMaskedDrawsTheMaskColourTransparent)
{
    for (TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf32bit}) {
        const char* name = format == TPixelFormat::pf24bit ? "24-bit" : "32-bit";
        TImageList list(nullptr);
        auto picture = Square(clFuchsia, format);
        EXPECT_EQ(list.AddMasked(picture.get(), clFuchsia), 0) << name;
        EXPECT_EQ(PixelAt(*picture, 0, 0), clFuchsia) << name;

        TBitmap target(24, 24, TPixelFormat::pf24bit);
        Clear(target, clGreen);
        list.Draw(target.Canvas(), 2, 2, 0);
        EXPECT_EQ(PixelAt(target, 2, 2), clGreen) << name;
        EXPECT_EQ(PixelAt(target, 6, 6), clRed) << name;
        EXPECT_EQ(PixelAt(target, 9, 9), clRed) << name;
        EXPECT_EQ(InkCount(target, clGreen), 16) << name;
    }
}

TEST(ImageList, AddWithAMaskBitmap)
{
    TImageList list(nullptr);
    TBitmap picture(16, 16);
    Clear(picture, clBlue);
    TBitmap mask(16, 16);
    Clear(mask, clWhite);   // white: transparent
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, 8, 8));
    list.Add(&picture, &mask);

    TBitmap target(16, 16, TPixelFormat::pf24bit);
    Clear(target, clYellow);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(PixelAt(target, 0, 0), clBlue);
    EXPECT_EQ(PixelAt(target, 7, 7), clBlue);
    EXPECT_EQ(PixelAt(target, 8, 8), clYellow);
    EXPECT_EQ(InkCount(target, clYellow), 64);
}

TEST(ImageList, GetBitmapFetchesAPictureOverTheBackgroundColour)
{
    TImageList list(nullptr);
    auto picture = Square(clFuchsia);
    list.AddMasked(picture.get(), clFuchsia);

    TBitmap fetched;
    fetched.SetPixelFormat(TPixelFormat::pf24bit);
    list.GetBitmap(0, &fetched);
    EXPECT_EQ(fetched.Width(), 16);
    EXPECT_EQ(fetched.Height(), 16);
    EXPECT_EQ(fetched.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(PixelAt(fetched, 0, 0), clBlack);
    EXPECT_EQ(PixelAt(fetched, 5, 5), clRed);

    list.SetBkColor(clYellow);
    list.GetBitmap(0, &fetched);
    EXPECT_EQ(PixelAt(fetched, 0, 0), clYellow);
    EXPECT_EQ(PixelAt(fetched, 5, 5), clRed);

    EXPECT_THROW(list.GetBitmap(1, &fetched), EListError);
}

// Disabled: the shape in the button shadow colour, with a highlight one
// pixel down and to the right; no picture colour.
TEST(ImageList, DisabledPicturesAreDrawnEmbossed)
{
    TImageList list(nullptr);
    auto picture = Square(clFuchsia);
    list.AddMasked(picture.get(), clFuchsia);
    TBitmap target(20, 20, TPixelFormat::pf24bit);
    Clear(target, clGreen);
    list.Draw(target.Canvas(), 0, 0, 0, false);
    const TColor shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
    const TColor highlight = static_cast<TColor>(ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(target, 4, 4), shadow);
    EXPECT_EQ(PixelAt(target, 7, 7), shadow);
    EXPECT_EQ(PixelAt(target, 8, 8), highlight);
    EXPECT_EQ(PixelAt(target, 8, 5), highlight);
    EXPECT_EQ(PixelAt(target, 3, 3), clGreen);
    EXPECT_EQ(PixelAt(target, 8, 4), clGreen);
    EXPECT_EQ(InkCount(target, clGreen), 16 + 7);
}

TEST(ImageList, DrawIgnoresIndexesOutsideTheList)
{
    TImageList list(nullptr);
    TBitmap target(16, 16, TPixelFormat::pf24bit);
    Clear(target, clGreen);
    list.Draw(target.Canvas(), 0, 0, -1);
    list.Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(InkCount(target, clGreen), 0);
}

TEST(ImageList, ANewSizeEmptiesTheList)
{
    TImageList list(nullptr);
    TBitmap strip(32, 16);
    list.Add(&strip, nullptr);
    list.SetSize(24, 24);
    EXPECT_EQ(list.Count(), 0);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list.Handle(), &cx, &cy);
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(cy, 24);
    TBitmap big(48, 24);
    EXPECT_EQ(list.Add(&big, nullptr), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.SetWidth(0), EInvalidOperation);
}

} // namespace
