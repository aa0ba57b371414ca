// What tabs show over their backgrounds: images from the image lists and
// pictures in every image position and tab position, captions drawn through
// GDI+ or GDI (straight or turned), room for a close button on the tab, and
// the active tab with a close button drawn whole when it runs out of the
// pager. The pager is painted into memory bitmaps, so the page windows do
// not cover the part of the tabs that reaches into the page area.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "framework/Stream.h"
#include "office/OfficeColors.h"
#include "office/PagerDrawing.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "tests/support/GuiHarness.h"
#include "tests/visuals/TestImages.h"
#include "visuals/ProGDIP.h"

namespace {

// The pager with its paint reachable for a memory bitmap.
class TPaintablePager : public TProOfficePager {
public:
    using TProOfficePager::TProOfficePager;
    std::unique_ptr<TBitmap> Render()
    {
        auto B = std::make_unique<TBitmap>(Width(), Height());
        PaintWindow(B->Canvas()->Handle());
        return B;
    }
};

constexpr COLORREF Red = RGB(255, 0, 0);

// The image-list image of the tests and the tab margins.
constexpr int W = 12, H = 10, LM = 4, RM = 4;
int CX(const TRect& R) { return R.left + (RectWidth(R) - W) / 2; }
int CY(const TRect& R) { return R.top + (RectHeight(R) - H) / 2; }

// The smallest rectangle holding every pixel for which Match is true (left
// -1 when none).
template <class F>
TRect Extent(TBitmap* B, const TRect& Within, F Match)
{
    TRect E = Rect(INT_MAX, INT_MAX, -1, -1);
    for (int Y = std::max(0, static_cast<int>(Within.top)); Y < std::min(B->Height(), static_cast<int>(Within.bottom)); ++Y)
        for (int X = std::max(0, static_cast<int>(Within.left)); X < std::min(B->Width(), static_cast<int>(Within.right)); ++X)
            if (Match(gui::PixelAt(B, X, Y))) {
                E.left = std::min(E.left, static_cast<LONG>(X));
                E.top = std::min(E.top, static_cast<LONG>(Y));
                E.right = std::max(E.right, static_cast<LONG>(X + 1));
                E.bottom = std::max(E.bottom, static_cast<LONG>(Y + 1));
            }
    if (E.right < 0)
        return Rect(-1, -1, -1, -1);
    return E;
}

TRect ExtentOf(TBitmap* B, const TRect& Within, COLORREF C)
{
    return Extent(B, Within, [C](COLORREF P) { return P == C; });
}

// Caption ink: the dark blue of the tab text, clearly apart from every fill
// of the tab looks used here and from the test picture's blue.
bool Ink(COLORREF P) { return GetRValue(P) < 0x60 && GetGValue(P) < 0x70; }

std::string Show(const TRect& R)
{
    return "(" + std::to_string(R.left) + ", " + std::to_string(R.top) + ", " + std::to_string(R.right) + ", " +
           std::to_string(R.bottom) + ")";
}

bool Overlap(const TRect& A, const TRect& B)
{
    TRect I;
    return IntersectRect(&I, &A, &B) != 0;
}

class PagerTabContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(30, 30, 600, 420);
        Images = new TImageList(Form);
        Images->SetSize(W, H);
        TBitmap Solid(W, H);
        Solid.Canvas()->Brush()->SetColor(static_cast<TColor>(0x0000FF));
        Solid.Canvas()->FillRect(Rect(0, 0, W, H));
        Images->AddMasked(&Solid, static_cast<TColor>(0xFF00FF));
    }
    void TearDown() override { delete Form; }

    TPaintablePager* AddPager(TTabPosition Pos, std::vector<const char*> Captions, int W = 420, int H = 300)
    {
        auto* P = new TPaintablePager(Form);
        P->SetParent(Form);
        P->SetBounds(10, 10, W, H);
        P->SetTabPosition(Pos);
        for (const char* C : Captions) {
            auto* Page = new TProOfficePage(Form);
            Page->SetCaption(C);
            Page->SetPager(P);
        }
        P->SetActivePageIndex(0);
        return P;
    }

    TForm* Form = nullptr;
    TImageList* Images = nullptr;
};

// An image-list image in each image position, on every side, with side tabs
// running along the strip (turned) and across it: its exact place in the tab.
TEST_F(PagerTabContent, ImageListImageSitsWhereTheImagePositionSays)
{
    struct Case {
        TTabPosition Pos;
        bool Turned;
        TImagePosition IP;
        // The image's top-left corner from the tab rectangle.
        TPoint (*At)(const TRect& R);
    };
    const Case Cases[] = {
        {tpTop, true, ipLeft, [](const TRect& R) { return Point(R.left + LM, CY(R)); }},
        {tpTop, true, ipTop, [](const TRect& R) { return Point(CX(R), R.top); }},
        {tpTop, true, ipRight, [](const TRect& R) { return Point(R.right - W - RM, CY(R)); }},
        {tpTop, true, ipBottom, [](const TRect& R) { return Point(CX(R), R.bottom - H); }},
        {tpBottom, true, ipLeft, [](const TRect& R) { return Point(R.left + LM, CY(R)); }},
        {tpBottom, true, ipBottom, [](const TRect& R) { return Point(CX(R), R.bottom - H); }},
        // Left tabs read upwards: the image's "left" is at the bottom.
        {tpLeft, true, ipLeft, [](const TRect& R) { return Point(CX(R), R.bottom - LM - H); }},
        {tpLeft, true, ipTop, [](const TRect& R) { return Point(R.left, CY(R)); }},
        {tpLeft, true, ipRight, [](const TRect& R) { return Point(CX(R), R.top + RM); }},
        {tpLeft, true, ipBottom, [](const TRect& R) { return Point(R.right - W, CY(R)); }},
        // Right tabs read downwards: "left" is at the top.
        {tpRight, true, ipLeft, [](const TRect& R) { return Point(CX(R), R.top + LM); }},
        {tpRight, true, ipTop, [](const TRect& R) { return Point(R.right - W, CY(R)); }},
        {tpRight, true, ipRight, [](const TRect& R) { return Point(CX(R), R.bottom - H - RM); }},
        {tpRight, true, ipBottom, [](const TRect& R) { return Point(R.left, CY(R)); }},
        // Side tabs with horizontal captions lay out like top tabs.
        {tpLeft, false, ipLeft, [](const TRect& R) { return Point(R.left + LM, CY(R)); }},
        {tpLeft, false, ipTop, [](const TRect& R) { return Point(CX(R), R.top); }},
        {tpRight, false, ipLeft, [](const TRect& R) { return Point(R.left + LM + 3, CY(R)); }},
        {tpRight, false, ipRight, [](const TRect& R) { return Point(R.right - W, CY(R)); }},
    };
    for (const Case& K : Cases) {
        TPaintablePager* P = AddPager(K.Pos, {"通道一", "通道二"});
        P->SetRotateTabLeftRight(K.Turned);
        P->TabSettings()->SetImagePosition(K.IP);
        P->SetImages(Images);
        P->ProPages(1)->SetImageIndex(0);
        const std::string Where = "position " + std::to_string(K.Pos) + (K.Turned ? " turned" : " across") +
                                  ", image position " + std::to_string(K.IP);
        for (int Active : {0, 1}) {
            P->SetActivePageIndex(Active);
            auto B = P->Render();
            const TRect R = P->GetTabRect(1);
            const TPoint At = K.At(R);
            EXPECT_EQ(Show(ExtentOf(B.get(), P->ClientRect(), Red)), Show(Bounds(At.x, At.y, W, H)))
                << Where << (Active == 1 ? ", active" : ", inactive") << ", tab " << Show(R);
        }
        delete P;
    }
}

// A disabled tab shows its image-list image disabled (not in its colours);
// a disabled page shows its disabled picture, else its picture.
TEST_F(PagerTabContent, DisabledTabsAndPagesChooseTheirImages)
{
    TPaintablePager* P = AddPager(tpTop, {"通道一", "通道二", "通道三"});
    P->SetImages(Images);
    P->ProPages(1)->SetImageIndex(0);
    P->ProPages(1)->SetTabEnabled(false);
    auto B = P->Render();
    EXPECT_EQ(ExtentOf(B.get(), P->GetTabRect(1), Red).left, -1) << "disabled tab drawn in colour";

    TGdiPlusPicture Png;
    {
        TMemoryStream S;
        S.WriteBuffer(office_test::RedBluePng, sizeof office_test::RedBluePng);
        S.SetPosition(0);
        Png.LoadFromStream(&S);
    }
    ASSERT_EQ(Png.Width(), 24);
    TProOfficePage* Page = P->ProPages(2);
    Page->SetPicture(&Png);
    B = P->Render();
    EXPECT_NE(ExtentOf(B.get(), P->GetTabRect(2), Red).left, -1) << "picture of an enabled page";
    // Disabled page: its picture still, while it has no disabled picture;
    // then the disabled picture (a bitmap without red) in its place.
    Page->SetEnabled(false);
    B = P->Render();
    EXPECT_NE(ExtentOf(B.get(), P->GetTabRect(2), Red).left, -1) << "picture of a disabled page";
    // Grey; its lower-left pixel, the transparent colour of bitmaps, white.
    TBitmap Grey(24, 16);
    Grey.Canvas()->Brush()->SetColor(static_cast<TColor>(0x606060));
    Grey.Canvas()->FillRect(Rect(0, 0, 24, 16));
    Grey.Canvas()->SetPixels(0, 15, static_cast<TColor>(0xFFFFFF));
    TGdiPlusPicture Disabled;
    Disabled.Assign(&Grey);
    Page->SetDisabledPicture(&Disabled);
    B = P->Render();
    const TRect R = P->GetTabRect(2);
    EXPECT_EQ(ExtentOf(B.get(), R, Red).left, -1) << "disabled picture expected";
    EXPECT_EQ(RectWidth(ExtentOf(B.get(), R, RGB(0x60, 0x60, 0x60))), 24);
}

// Pictures above, below or beside the caption sit next to it and never on it.
TEST_F(PagerTabContent, PicturesStackWithTheCaption)
{
    TGdiPlusPicture Png;
    {
        TMemoryStream S;
        S.WriteBuffer(office_test::RedBluePng, sizeof office_test::RedBluePng);
        S.SetPosition(0);
        Png.LoadFromStream(&S);
    }
    struct Case {
        TTabPosition Pos;
        TImagePosition IP;
        // Where the picture lies from the caption: -1 before, +1 after, along x or y.
        int Dx, Dy;
    } Cases[] = {
        {tpTop, ipTop, 0, -1},   {tpTop, ipBottom, 0, 1},  {tpTop, ipLeft, -1, 0},  {tpTop, ipRight, 1, 0},
        {tpLeft, ipTop, -1, 0},  {tpLeft, ipBottom, 1, 0}, {tpLeft, ipLeft, 0, 1},  {tpRight, ipTop, 1, 0},
        {tpRight, ipBottom, -1, 0}, {tpRight, ipLeft, 0, -1},
    };
    for (const Case& K : Cases) {
        TPaintablePager* P = AddPager(K.Pos, {"通道一", "通道二"}, 420, 300);
        P->TabSettings()->SetHeight(K.Pos == tpTop ? 52 : 60);
        P->TabSettings()->SetImagePosition(K.IP);
        P->ProPages(0)->SetPicture(&Png);
        P->ProPages(0)->SetCaption("通道通道");
        auto B = P->Render();
        const TRect R = P->GetTabRect(0);
        const TRect Pic = ExtentOf(B.get(), R, Red);
        const std::string Where = "position " + std::to_string(K.Pos) + ", image position " + std::to_string(K.IP) +
                                  ", picture " + Show(Pic);
        ASSERT_NE(Pic.left, -1) << Where;
        // The picture's red half, widened to the whole picture.
        const TRect Whole = Bounds(Pic.left, Pic.top, 24, 16);
        TRect Text = Extent(B.get(), R, [](COLORREF C) { return Ink(C) && C != Red; });
        ASSERT_NE(Text.left, -1) << Where;
        EXPECT_FALSE(Overlap(Whole, Text)) << Where << ", caption " << Show(Text);
        if (K.Dx < 0) {
            EXPECT_LE(Whole.right, Text.left) << Where;
        }
        if (K.Dx > 0) {
            EXPECT_GE(Whole.left, Text.right) << Where;
        }
        if (K.Dy < 0) {
            EXPECT_LE(Whole.bottom, Text.top) << Where;
        }
        if (K.Dy > 0) {
            EXPECT_GE(Whole.top, Text.bottom) << Where;
        }
        delete P;
    }
}

// The caption routine: the text lies in the rectangle it returns, inside
// the box, turned on right tabs, grey when disabled, shortened with "..."
// when asked; GDI+ and GDI alike.
TEST_F(PagerTabContent, TabTextLiesInTheRectangleItReturns)
{
    TFont Font;
    Font.SetName("WenQuanYi Micro Hei");
    Font.SetSize(9);
    Font.SetColor(static_cast<TColor>(0x000000));
    const TRect Box = Rect(20, 10, 180, 40);
    const TRect Tall = Rect(20, 10, 46, 170);
    struct Case {
        TAntiAlias AA;
        TTabPosition Pos;
        TAlignment Align;
        bool Enabled;
    } Cases[] = {
        {aaClearType, tpTop, taLeftJustify, true}, {aaAntiAlias, tpTop, taCenter, true},
        {aaNone, tpTop, taLeftJustify, true},      {aaNone, tpTop, taCenter, false},
        {aaAntiAlias, tpRight, taLeftJustify, true}, {aaClearType, tpRight, taCenter, false},
    };
    for (const Case& K : Cases) {
        TBitmap B(200, 200);
        TCanvas* C = B.Canvas();
        C->Brush()->SetColor(static_cast<TColor>(0xFFFFFF));
        C->FillRect(Rect(0, 0, 200, 200));
        C->Font()->Assign(&Font);
        const TRect& In = K.Pos == tpRight ? Tall : Box;
        const TRect Got = DrawTabText(C, K.Align, In, false, K.Pos, K.AA, true, K.Enabled, C->Font(), WideString(),
                                      "ABC通道");
        const TRect InkR = Extent(&B, Rect(0, 0, 200, 200), [](COLORREF P) { return P != RGB(255, 255, 255); });
        const std::string Where = "anti-alias " + std::to_string(K.AA) + ", position " + std::to_string(K.Pos) +
                                  ", returned " + Show(Got) + ", ink " + Show(InkR);
        ASSERT_NE(InkR.left, -1) << Where;
        // Within a pixel of the returned rectangle, and inside the box.
        EXPECT_GE(InkR.left, Got.left - 1) << Where;
        EXPECT_GE(InkR.top, Got.top - 1) << Where;
        EXPECT_LE(InkR.right, Got.right + 1) << Where;
        EXPECT_LE(InkR.bottom, Got.bottom + 1) << Where;
        EXPECT_TRUE(InkR.left >= In.left && InkR.right <= In.right + 3 && InkR.top >= In.top &&
                    InkR.bottom <= In.bottom)
            << Where;
        if (K.Pos == tpRight) {
            EXPECT_GT(RectHeight(InkR), 2 * RectWidth(InkR)) << Where;
        } else {
            EXPECT_GT(RectWidth(InkR), 2 * RectHeight(InkR)) << Where;
        }
        if (K.Align == taCenter) {
            const int Mid = K.Pos == tpRight ? (In.top + In.bottom) / 2 : (In.left + In.right) / 2;
            const int InkMid = K.Pos == tpRight ? (InkR.top + InkR.bottom) / 2 : (InkR.left + InkR.right) / 2;
            EXPECT_NEAR(InkMid, Mid, 4) << Where;
        }
        // The darkest pixel: black, or grey 0x80 when disabled.
        int Darkest = 255;
        for (int Y = InkR.top; Y < InkR.bottom; ++Y)
            for (int X = InkR.left; X < InkR.right; ++X) {
                const COLORREF P = gui::PixelAt(&B, X, Y);
                Darkest = std::min(Darkest, (GetRValue(P) + GetGValue(P) + GetBValue(P)) / 3);
            }
        if (K.Enabled) {
            EXPECT_LT(Darkest, 0x40) << Where;
        } else {
            EXPECT_NEAR(Darkest, 0x80, 0x10) << Where;
        }
    }
    // No caption: nothing drawn, an empty rectangle.
    TBitmap B(200, 60);
    B.Canvas()->Brush()->SetColor(static_cast<TColor>(0xFFFFFF));
    B.Canvas()->FillRect(Rect(0, 0, 200, 60));
    const TRect None = DrawTabText(B.Canvas(), taLeftJustify, Box, true, tpTop, aaClearType, true, true, &Font,
                                   WideString(), String());
    EXPECT_EQ(RectWidth(None), 0);
    EXPECT_EQ(gui::CountPixelsNot(&B, RGB(255, 255, 255)), 0);
    // A face GDI+ knows neither by its name nor as Arial: the caption still
    // shows, where the routine says.
    {
        TFont Odd;
        Odd.Assign(&Font);
        Odd.SetName("No Such Face At All");
        B.Canvas()->FillRect(Rect(0, 0, 200, 60));
        B.Canvas()->Font()->Assign(&Odd);
        const TRect Got = DrawTabText(B.Canvas(), taLeftJustify, Box, false, tpTop, aaClearType, true, true,
                                      B.Canvas()->Font(), WideString(), "ABC");
        const TRect InkR = Extent(&B, Rect(0, 0, 200, 60), [](COLORREF P) { return P != RGB(255, 255, 255); });
        ASSERT_NE(InkR.left, -1) << "unknown face: no caption";
        EXPECT_TRUE(InkR.left >= Got.left - 1 && InkR.right <= Got.right + 1) << Show(Got) << " " << Show(InkR);
    }
    // Too long for its box: shortened to fit, with "...".
    for (TAntiAlias AA : {aaClearType, aaNone}) {
        const TRect Narrow = Rect(20, 10, 80, 40);
        B.Canvas()->FillRect(Rect(0, 0, 200, 60));
        B.Canvas()->Font()->Assign(&Font);
        const TRect Got = DrawTabText(B.Canvas(), taLeftJustify, Narrow, true, tpTop, AA, true, true,
                                      B.Canvas()->Font(), WideString(), "ABCDEFGHIJKLMNOP");
        const TRect InkR = Extent(&B, Rect(0, 0, 200, 60), [](COLORREF P) { return P != RGB(255, 255, 255); });
        EXPECT_LE(InkR.right, Narrow.right + 3) << "anti-alias " << AA << ", ink " << Show(InkR);
        EXPECT_LE(Got.right, Narrow.right + 3) << "anti-alias " << AA << ", returned " << Show(Got);
        EXPECT_GT(RectWidth(InkR), 20) << "anti-alias " << AA;
    }
}

// A close button on the active tab: the caption keeps out of its way at
// either end, on every side; inactive tabs that could carry it keep their
// caption centred in the room they have for it.
TEST_F(PagerTabContent, CaptionsLeaveRoomForTheCloseButton)
{
    struct Case {
        TTabPosition Pos;
        TCloseOnTabPos At;
    } Cases[] = {{tpTop, cpLeft}, {tpTop, cpRight}, {tpBottom, cpLeft}, {tpLeft, cpLeft},
                 {tpLeft, cpRight}, {tpRight, cpLeft}, {tpRight, cpRight}};
    for (const Case& K : Cases) {
        TPaintablePager* P = AddPager(K.Pos, {"通道一", "通道二"});
        P->ButtonSettings()->SetCloseButton(true);
        P->SetCloseOnTab(true);
        P->SetCloseOnTabPosition(K.At);
        gui::Settle();
        TProGlowButton* Close = P->CloseButtonControl();
        ASSERT_NE(Close, nullptr);
        const TRect Button = Close->BoundsRect();
        auto B = P->Render();
        const TRect R = P->GetTabRect(0);
        const TRect Text = Extent(B.get(), R, Ink);
        const std::string Where = "position " + std::to_string(K.Pos) + ", close at " + std::to_string(K.At) +
                                  ", button " + Show(Button) + ", caption " + Show(Text);
        ASSERT_NE(Text.left, -1) << Where;
        EXPECT_FALSE(Overlap(Button, Text)) << Where;
        TRect In;
        EXPECT_TRUE(IntersectRect(&In, &Button, &R) && EqualRect(&In, &Button)) << Where << ", tab " << Show(R);
        delete P;
    }
    // Inactive top tabs with a close wish start their caption 11 further in.
    TPaintablePager* P = AddPager(tpTop, {"通道一", "通道二"});
    auto Start = [&] {
        auto B = P->Render();
        return Extent(B.get(), P->GetTabRect(1), Ink).left - P->GetTabRect(1).left;
    };
    const int Plain = Start();
    P->ButtonSettings()->SetCloseButton(true);
    P->SetCloseOnTab(true);
    EXPECT_EQ(Start(), Plain + 11);
    P->ProPages(1)->SetShowClose(false);
    EXPECT_EQ(Start(), Plain);
}

// The active tab carrying the close button is drawn off the screen and
// copied in: where it runs out of a narrow pager, the part inside is the
// same as in a wide one, plain or shaped; outside a shaped tab's outline
// the strip shows.
TEST_F(PagerTabContent, ActiveTabWithCloseButtonIsWholeWhenPartlyOutside)
{
    for (bool Shaped : {false, true}) {
        auto Make = [&](int Width) {
            TPaintablePager* P = AddPager(tpTop, {"通道一通道二通道三"}, Width, 200);
            P->ButtonSettings()->SetCloseButton(true);
            P->SetCloseOnTab(true);
            if (Shaped) {
                P->TabSettings()->SetShape(tsLeftRightRamp);
                P->TabSettings()->SetRounding(4);
            }
            return P;
        };
        TPaintablePager* Wide = Make(420);
        const TRect R = Wide->GetTabRect(0);
        TPaintablePager* Narrow = Make(R.right - 30);
        ASSERT_EQ(Show(Narrow->GetTabRect(0)), Show(R)) << "shaped " << Shaped;
        auto A = Wide->Render();
        auto B = Narrow->Render();
        int Differ = 0, Tried = 0;
        for (int Y = 0; Y < R.bottom; ++Y)
            for (int X = 0; X < Narrow->Width(); ++X, ++Tried)
                Differ += gui::PixelAt(A.get(), X, Y) != gui::PixelAt(B.get(), X, Y);
        EXPECT_EQ(Differ, 0) << "shaped " << Shaped << " of " << Tried;
        const COLORREF Strip =
            ColorToRGB(Wide->CurrentStyler()->TabAppearance()->BackGround()->Color());
        // Inside the fill, clear of the caption: not the strip.
        EXPECT_NE(gui::PixelAt(B.get(), R.left + (Shaped ? 30 : 6), R.top + 6), Strip) << "shaped " << Shaped;
        if (Shaped) {
            // Left of the ramp's foot on the top edge: the strip, not the key colour.
            EXPECT_EQ(gui::PixelAt(B.get(), R.left + 1, R.top + 1), Strip);
        }
        delete Wide;
        delete Narrow;
    }
}

} // namespace
