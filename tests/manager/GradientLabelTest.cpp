// The gradient label painted into memory bitmaps and read back: the bands
// of a full gradient, a plain fill without a second colour, the 2-pixel
// lines, the gap a transparent caption leaves in a line, the turned caption,
// and which property changes repaint.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "framework/Bitmap.h"
#include "framework/NewControl.h"
#include "manager/GradientLabel.h"
#include "tests/support/GuiHarness.h"

namespace {

using vantrel::TGradientLabel;

constexpr TColor Black = 0x000000;
constexpr TColor White = 0xFFFFFF;
constexpr COLORREF Marker = RGB(0, 200, 0);

std::unique_ptr<TGradientLabel> NewLabel(int Width, int Height, TColor From, TColor To)
{
    auto label = std::make_unique<TGradientLabel>(nullptr);
    label->SetBounds(0, 0, Width, Height);
    label->SetCaption("");
    label->SetColor(From);
    label->SetColorTo(To);
    return label;
}

// The label painted on a bitmap of its size that starts out in Marker.
std::unique_ptr<TBitmap> Paint(TGradientLabel* Label)
{
    auto bitmap = std::make_unique<TBitmap>(Label->Width(), Label->Height());
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(static_cast<TColor>(Marker));
    canvas->FillRect(Rect(0, 0, Label->Width(), Label->Height()));
    HDC dc = canvas->Handle();
    const int saved = SaveDC(dc);
    Label->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
    canvas->Refresh();
    return bitmap;
}

TEST(GradientLabel, AFullGradientPaintsAQuarterOfItsLengthInBandsButAtLeast32)
{
    const struct {
        vantrel::TGradientType Type;
        int Width, Height;
        int Bands;
        Byte Last;   // the grey of the last band: round(255 / bands * (bands - 1))
    } cases[] = {{vantrel::gtFullHorizontal, 100, 10, 32, 247},
                 {vantrel::gtFullHorizontal, 400, 10, 100, 252},
                 {vantrel::gtFullVertical, 10, 100, 32, 247},
                 {vantrel::gtFullVertical, 10, 200, 50, 250}};
    for (const auto& c : cases) {
        auto label = NewLabel(c.Width, c.Height, Black, White);
        label->SetGradientType(c.Type);
        auto bitmap = Paint(label.get());
        const bool horizontal = c.Type == vantrel::gtFullHorizontal;
        const int length = horizontal ? c.Width : c.Height;
        std::set<COLORREF> colours;
        COLORREF previous = 0;
        for (int i = 0; i < length; ++i) {
            const COLORREF pixel = horizontal ? gui::PixelAt(bitmap.get(), i, c.Height / 2)
                                              : gui::PixelAt(bitmap.get(), c.Width / 2, i);
            ASSERT_GE(GetRValue(pixel), GetRValue(previous)) << "grows along the label: " << length << " at " << i;
            EXPECT_EQ(GetRValue(pixel), GetBValue(pixel)) << length << " at " << i;
            colours.insert(pixel);
            previous = pixel;
        }
        EXPECT_EQ(static_cast<int>(colours.size()), c.Bands) << "length " << length;
        EXPECT_EQ(*colours.begin(), RGB(0, 0, 0)) << "length " << length;
        EXPECT_EQ(previous, RGB(c.Last, c.Last, c.Last)) << "length " << length;
        // Across the gradient every line is the same.
        const COLORREF a = horizontal ? gui::PixelAt(bitmap.get(), length / 3, 0) : gui::PixelAt(bitmap.get(), 0, length / 3);
        const COLORREF b = horizontal ? gui::PixelAt(bitmap.get(), length / 3, c.Height - 1)
                                      : gui::PixelAt(bitmap.get(), c.Width - 1, length / 3);
        EXPECT_EQ(a, b) << "length " << length;
    }
}

TEST(GradientLabel, WithoutASecondColourTheLabelIsPlain)
{
    auto label = NewLabel(120, 20, RGBToColor(200, 40, 10), clNone);
    auto bitmap = Paint(label.get());
    EXPECT_EQ(gui::CountPixelsNot(bitmap.get(), RGB(200, 40, 10)), 0);
}

TEST(GradientLabel, LinesAreTwoPixelsAtTheEdgeOrInTheMiddle)
{
    const COLORREF background = RGB(255, 0, 0);
    const struct {
        vantrel::TGradientType Type;
        vantrel::TGradientOrientation Orientation;
        int First;   // the first of the two line rows (columns)
    } cases[] = {{vantrel::gtCenterLine, vantrel::goHorizontal, 10}, {vantrel::gtTopLine, vantrel::goHorizontal, 0},
                 {vantrel::gtBottomLine, vantrel::goHorizontal, 18}, {vantrel::gtCenterLine, vantrel::goVertical, 10},
                 {vantrel::gtTopLine, vantrel::goVertical, 0}, {vantrel::gtBottomLine, vantrel::goVertical, 18}};
    for (const auto& c : cases) {
        const bool horizontal = c.Orientation == vantrel::goHorizontal;
        auto label = horizontal ? NewLabel(100, 20, static_cast<TColor>(background), RGBToColor(0, 0, 255))
                                : NewLabel(20, 100, static_cast<TColor>(background), RGBToColor(0, 0, 255));
        label->SetGradientType(c.Type);
        label->SetOrientation(c.Orientation);
        auto bitmap = Paint(label.get());
        // A horizontal line runs from the colour to the second colour, a
        // vertical one from the second colour down to the colour: look
        // where the line is furthest from the background.
        for (int i = 0; i < 20; ++i) {
            const COLORREF pixel = horizontal ? gui::PixelAt(bitmap.get(), 99, i) : gui::PixelAt(bitmap.get(), i, 0);
            const bool onLine = i == c.First || i == c.First + 1;
            EXPECT_EQ(pixel != background, onLine) << "type " << c.Type << " orientation " << c.Orientation << " at " << i;
        }
        EXPECT_EQ(gui::CountPixelsNot(bitmap.get(), Marker), 100 * 20) << "the rest is the background";
    }
}

TEST(GradientLabel, ATransparentCaptionLeavesItsStretchOfTheLineOut)
{
    const String caption = "Vantrel";
    const struct {
        TAlignment Alignment;
        int Indent;
        bool TransparentText;
    } cases[] = {{taLeftJustify, 10, true}, {taRightJustify, 7, true}, {taCenter, 0, true}, {taLeftJustify, 10, false}};
    for (const auto& c : cases) {
        auto label = NewLabel(200, 30, White, Black);
        label->SetTransparent(true);   // the marker shows wherever nothing is painted
        label->SetGradientType(vantrel::gtBottomLine);
        label->SetCaption(caption);
        label->SetAlignment(c.Alignment);
        label->SetIndent(c.Indent);
        label->SetTransparentText(c.TransparentText);
        auto bitmap = Paint(label.get());
        bitmap->Canvas()->Font()->Assign(label->Font());
        const int w = bitmap->Canvas()->TextWidth(caption);
        ASSERT_GT(w, 20);
        int from = c.Indent;
        if (c.Alignment == taRightJustify)
            from = 200 - w - c.Indent;
        else if (c.Alignment == taCenter)
            from = (200 - w) / 2;
        for (int x = 0; x < 200; ++x)
            for (int y : {28, 29}) {
                const bool gap = c.TransparentText && x >= from && x < from + w;
                EXPECT_EQ(gui::PixelAt(bitmap.get(), x, y) == Marker, gap)
                    << "alignment " << c.Alignment << " transparent " << c.TransparentText << " at " << x << "," << y;
            }
    }
}

TEST(GradientLabel, AVerticalCaptionIsTurnedToRunUpwards)
{
    auto label = NewLabel(30, 160, White, clNone);
    label->SetOrientation(vantrel::goVertical);
    label->SetCaption("Vantrel v1.1.0");
    label->Font()->SetColor(Black);
    label->Font()->SetName("Tahoma");
    label->Font()->SetHeight(-16);
    auto bitmap = Paint(label.get());
    int left = 30, right = -1, top = 160, bottom = -1;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 30; ++x)
            if (GetRValue(gui::PixelAt(bitmap.get(), x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "the caption is drawn";
    EXPECT_GT(bottom - top, 3 * (right - left)) << "taller than wide";
    EXPECT_GT(bottom, 120) << "a left-aligned turned caption starts at the bottom";
}

TEST(GradientLabel, ADisabledCaptionIsDrawnInTheHighlightUnderTheShadow)
{
    auto label = NewLabel(160, 30, RGBToColor(0, 0, 128), clNone);
    label->SetCaption("Vantrel");
    label->Font()->SetHeight(-16);
    label->Font()->SetQuality(TFontQuality::fqNonAntialiased);
    const COLORREF highlight = ColorToRGB(clBtnHighlight);
    const COLORREF shadow = ColorToRGB(clBtnShadow);
    ASSERT_NE(highlight, shadow);
    const auto count = [](TBitmap* Bitmap, COLORREF Colour) {
        return Bitmap->Width() * Bitmap->Height() - gui::CountPixelsNot(Bitmap, Colour);
    };
    auto enabled = Paint(label.get());
    EXPECT_EQ(count(enabled.get(), highlight) + count(enabled.get(), shadow), 0);
    label->SetEnabled(false);
    auto disabled = Paint(label.get());
    EXPECT_GT(count(disabled.get(), shadow), 20);
    EXPECT_GT(count(disabled.get(), highlight), 5) << "the highlight shows below and right of the shadow";
}

TEST(GradientLabel, EveryPropertyChangeRepaintsButAnUnchangedEllipsis)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 120);
    auto* label = NewControl<TGradientLabel>(&form, &form, 10, 10, 200, 40);
    form.Show();
    gui::Settle();
    const auto repaints = [&](const std::function<void()>& Change) {
        gui::Settle();
        ValidateRect(form.Handle(), nullptr);
        Change();
        RECT update{};
        return GetUpdateRect(form.Handle(), &update, FALSE) != FALSE;
    };
    EXPECT_FALSE(repaints([&] { label->SetEllipsType(vantrel::etNone); })) << "the same ellipsis";
    EXPECT_TRUE(repaints([&] { label->SetEllipsType(vantrel::etEndEllips); }));
    const struct {
        const char* Name;
        std::function<void()> Change;
    } setters[] = {{"ColorTo", [&] { label->SetColorTo(label->ColorTo()); }},
                   {"GradientType", [&] { label->SetGradientType(label->GradientType()); }},
                   {"Indent", [&] { label->SetIndent(label->Indent()); }},
                   {"LineWidth", [&] { label->SetLineWidth(label->LineWidth()); }},
                   {"Orientation", [&] { label->SetOrientation(label->Orientation()); }},
                   {"TransparentText", [&] { label->SetTransparentText(label->TransparentText()); }},
                   {"VAlignment", [&] { label->SetVAlignment(label->VAlignment()); }}};
    for (const auto& s : setters)
        EXPECT_TRUE(repaints(s.Change)) << s.Name;
}

TEST(GradientLabel, DefaultsAsTheFormExpectsThem)
{
    TGradientLabel label(nullptr);
    EXPECT_FALSE(label.AutoSize());
    EXPECT_EQ(label.ColorTo(), White);
    EXPECT_EQ(label.EllipsType(), vantrel::etNone);
    EXPECT_EQ(label.GradientType(), vantrel::gtFullHorizontal);
    EXPECT_EQ(label.Indent(), 0);
    EXPECT_EQ(label.LineWidth(), 2);
    EXPECT_EQ(label.Orientation(), vantrel::goHorizontal);
    EXPECT_FALSE(label.TransparentText());
    EXPECT_EQ(label.VAlignment(), vantrel::vaTop);
}

} // namespace
