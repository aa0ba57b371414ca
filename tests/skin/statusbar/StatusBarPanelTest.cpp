// The skinned status bar and panel on a parent that answers as a skinned
// form (its cache one known colour), under each shipped skin: pictures
// against goldens (pictures without text by a hash of their pixels, text by
// the count of pixels it changed), the panel mask, dividers, simple text
// and grip, the panel's caption, handler and window-less children in one
// image; with no skin both are the framework's controls pixel for pixel;
// a skin change repaints them; repaints leave the GDI object count flat.
#include <cstdlib>
#include <map>
#include <sstream>

#include "../controls/ControlsHarness.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "skin/windows/qPanel.h"
#include "skin/windows/qStatusBar.h"

using namespace skincontrols;
using gui::CaptureControl;

namespace {

std::uint64_t PixelHash(TBitmap& B)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < B.Height(); ++y) {
        const Byte* row = B.ScanLine(y);
        for (int i = 0; i < B.Width() * B.BytesPerPixel(); ++i) {
            h ^= row[i];
            h *= 1099511628211ull;
        }
    }
    return h;
}

int DifferentPixels(TBitmap& A, TBitmap& B, TRect R = Rect(0, 0, -1, -1))
{
    if (R.right < 0)
        R = Rect(0, 0, A.Width(), A.Height());
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            n += paint_probe::PixelAt(A, x, y) != paint_probe::PixelAt(B, x, y);
    return n;
}

// The control's picture through WM_PRINT.
std::unique_ptr<TBitmap> PrintControl(TWinControl* Control) { return Print(Control->Handle()); }

const TColor HandlerColor = 0x000000FF;

class SkinnedBarAndPanel : public TSkinnedParentTestOf<::testing::TestWithParam<const char*>> {
protected:
    void SetUp() override
    {
        SkinName = GetParam();
        TSkinnedParentTestOf::SetUp();
        // A form of the application, so that the manager's broadcasts of a
        // skin change reach it and its controls.
        Parent = std::make_unique<TCacheParent>(Application, ParentWidth, ParentHeight);
        Parent->Show();
        Settle();
    }
    void TearDown() override
    {
        Controls.clear();
        TSkinnedParentTestOf::TearDown();
    }

    template <class T>
    T* Make(int X, int Y, int W, int H)
    {
        auto control = std::make_unique<T>(nullptr);
        control->SetAlign(alNone);
        control->SetBounds(X, Y, W, H);
        control->SetParent(Parent.get());
        T* made = control.get();
        Controls.push_back(std::move(control));
        return made;
    }
    TqStatusBar* Bar(int Y, const std::vector<int>& Widths, const std::vector<String>& Texts)
    {
        auto* bar = Make<TqStatusBar>(10, Y, 320, 22);
        for (std::size_t i = 0; i < Widths.size(); ++i) {
            TStatusPanel* p = bar->Panels()->Add();
            p->SetWidth(Widths[i]);
            p->SetText(Texts[i]);
        }
        return bar;
    }
    TqPanel* SkinPanel(int Y, const String& Caption, const String& LabelText)
    {
        auto* panel = Make<TqPanel>(10, Y, 200, 44);
        panel->SetCaption(Caption);
        panel->OnPaint = [](TObject*, TCanvas* Canvas) {
            Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
            Canvas->Brush()->SetColor(HandlerColor);
            Canvas->FillRect(Rect(4, 4, 12, 12));
        };
        auto label = std::make_unique<TLabel>(nullptr);
        label->SetBounds(150, 26, 40, 14);
        label->SetCaption(LabelText);
        label->SetTransparent(true);
        label->SetParent(panel);
        Controls.push_back(std::move(label));
        return panel;
    }
    // Settles, then the picture of Control.
    std::unique_ptr<TBitmap> Shot(TWinControl* Control)
    {
        Settle();
        return PrintControl(Control);
    }

    std::vector<std::unique_ptr<TControl>> Controls;
};

struct TPicture {
    std::string Name;
    std::unique_ptr<TBitmap> Image;
    std::unique_ptr<TBitmap> Base;   // the same without text; none: hashed
};

std::string GoldenPath(const std::string& Skin) { return std::string(SKIN_GOLDEN_DIR) + "/" + Skin + ".txt"; }

std::string ValueOf(TPicture& P)
{
    if (!P.Base) {
        std::ostringstream out;
        out << std::hex << PixelHash(*P.Image);
        return out.str();
    }
    return "ink:" + std::to_string(DifferentPixels(*P.Image, *P.Base));
}

TEST_P(SkinnedBarAndPanel, PicturesMatchTheirGoldens)
{
    const std::vector<String> texts = {"Ready", "Channel 3 sent to the extender at 115200", "Idle"};
    const std::vector<String> none = {"", "", ""};
    std::vector<TPicture> pictures;
    auto pair = [&](const std::string& Name, TWinControl* With, TWinControl* Without) {
        pictures.push_back({Name + "-text", Shot(With), Shot(Without)});
        pictures.push_back({Name, Shot(Without), nullptr});
    };
    pair("panels", Bar(10, {100, 120, 50}, texts), Bar(40, {100, 120, 50}, none));
    TqStatusBar* simple = Bar(70, {100}, {"x"});
    simple->SetSimplePanel(true);
    simple->SetSimpleText("Sending channel 3");
    TqStatusBar* simpleEmpty = Bar(100, {100}, {"x"});
    simpleEmpty->SetSimplePanel(true);
    pair("simple", simple, simpleEmpty);
    TqStatusBar* grip = Bar(130, {100}, {""});
    grip->SetSizeGrip(true);
    pictures.push_back({"grip", Shot(grip), nullptr});
    pair("panel", SkinPanel(160, "Send ID", "00"), SkinPanel(220, "", ""));

    // Everything on the screen, for a look.
    Settle();
    SaveScreenshot(Parent.get(), ScreenshotPath(std::string("statusbar-panel-") + GetParam() + ".png"));

    const char* mode = std::getenv("SKIN_GOLDENS");
    if (mode != nullptr && std::string(mode) == "update") {
        std::ofstream out(GoldenPath(GetParam()));
        for (auto& p : pictures)
            out << p.Name << ' ' << ValueOf(p) << '\n';
        GTEST_SKIP() << "goldens written";
    }
    std::map<std::string, std::string> goldens;
    std::ifstream in(GoldenPath(GetParam()));
    for (std::string name, value; in >> name >> value;)
        goldens[name] = value;
    ASSERT_EQ(pictures.size(), goldens.size()) << GoldenPath(GetParam());
    for (auto& p : pictures) {
        const auto found = goldens.find(p.Name);
        ASSERT_NE(goldens.end(), found) << p.Name;
        const std::string value = ValueOf(p);
        if (!p.Base) {
            EXPECT_EQ(found->second, value) << p.Name;
        } else {
            const int golden = std::stoi(found->second.substr(4));
            EXPECT_GT(golden, 30) << p.Name;
            EXPECT_NEAR(golden, std::stoi(value.substr(4)), golden / 5 + 2) << p.Name;
        }
    }
}

TEST_P(SkinnedBarAndPanel, BarDrawsItsPanelsFromTheSkin)
{
    // Every pixel of a skinned bar's picture comes from its cache: none is
    // the magenta that WM_PRINT's target was filled with.
    TqStatusBar* bar = Bar(10, {100, 120}, {"", ""});
    auto picture = Shot(bar);
    EXPECT_EQ(bar->Width() * bar->Height(), gui::CountPixelsNot(picture.get(), 0x00FF00FF));

    // The panel mask frames each panel: one panel and two panels differ
    // around the second panel's left edge.
    TqStatusBar* one = Bar(40, {220}, {""});
    auto single = Shot(one);
    EXPECT_GT(DifferentPixels(*picture, *single, Rect(98, 0, 106, bar->Height())), 0);

    // A section without a panel mask parts the panels with the skin's
    // divider after every panel but the last.
    TqStatusBar* divided = Bar(70, {100, 120, 50}, {"", "", ""});
    divided->SkinData()->SetSkinSection("PANEL");
    TqStatusBar* plain = Bar(100, {270}, {""});
    plain->SkinData()->SetSkinSection("PANEL");
    auto withDividers = Shot(divided);
    auto without = Shot(plain);
    EXPECT_GT(DifferentPixels(*withDividers, *without, Rect(90, 1, 102, 21)), 0) << "first divider";
    EXPECT_GT(DifferentPixels(*withDividers, *without, Rect(210, 1, 223, 21)), 0) << "second divider";
    EXPECT_EQ(0, DifferentPixels(*withDividers, *without, Rect(226, 0, 320, 22))) << "no divider after the last";
    EXPECT_EQ(0, DifferentPixels(*withDividers, *without, Rect(0, 0, 86, 22)));

    // In simple mode no divider is drawn.
    divided->SetSimplePanel(true);
    plain->SetSimplePanel(true);
    EXPECT_EQ(0, DifferentPixels(*Shot(divided), *Shot(plain)));

    // A text wider than its panel ends in an ellipsis inside the panel:
    // nothing of it reaches the next panel.
    TqStatusBar* longText = Bar(130, {60, 120}, {"A text far too long for sixty pixels", ""});
    TqStatusBar* noText = Bar(160, {60, 120}, {"", ""});
    auto cut = Shot(longText);
    auto empty = Shot(noText);
    EXPECT_GT(DifferentPixels(*cut, *empty, Rect(0, 0, 60, 22)), 30);
    EXPECT_EQ(0, DifferentPixels(*cut, *empty, Rect(58, 0, 320, 22)));

    // A bar partly outside its parent's client area counts as half
    // visible (its cache is rebuilt on every paint) until it is fully
    // inside again.
    TqStatusBar* moving = Bar(250, {100}, {"Moving"});
    moving->SetLeft(ParentWidth - 100);
    Shot(moving);
    EXPECT_TRUE(moving->SkinData()->HalfVisible);
    moving->SetLeft(10);
    moving->SkinData()->BGChanged = true;
    Shot(moving);
    EXPECT_FALSE(moving->SkinData()->HalfVisible);

    // The size grip is drawn in the bottom-right corner only.
    TqStatusBar* grip = Bar(190, {100}, {""});
    TqStatusBar* noGrip = Bar(220, {100}, {""});
    grip->SetSizeGrip(true);
    auto withGrip = Shot(grip);
    auto withoutGrip = Shot(noGrip);
    EXPECT_GT(DifferentPixels(*withGrip, *withoutGrip, Rect(300, 4, 320, 22)), 10);
    EXPECT_EQ(0, DifferentPixels(*withGrip, *withoutGrip, Rect(0, 0, 290, 22)));
}

TEST_P(SkinnedBarAndPanel, PanelComposesFaceCaptionHandlerAndChildrenInOneImage)
{
    TqPanel* panel = SkinPanel(10, "Send ID", "00");
    TqPanel* bare = Make<TqPanel>(10, 70, 200, 44);
    auto picture = Shot(panel);
    auto face = Shot(bare);
    // The handler's square on top of the face.
    EXPECT_EQ(HandlerColor, paint_probe::PixelAt(*picture, 6, 6));
    EXPECT_NE(HandlerColor, paint_probe::PixelAt(*face, 6, 6));
    // The caption in the middle, in the section's font colour (or its
    // contour): some pixel of the middle band changed.
    EXPECT_GT(DifferentPixels(*picture, *face, Rect(60, 12, 140, 32)), 30);
    // The window-less label is in the same image.
    EXPECT_GT(DifferentPixels(*picture, *face, Rect(150, 26, 190, 40)), 5);
    // The face comes from the skin, not the framework's button face.
    EXPECT_GT(gui::CountPixelsNot(face.get(), ColorToRGB(clBtnFace)), face->Width() * face->Height() / 2);

    // After WM_PRINT with the background changed, the handler ran twice on
    // the cache: once building it, once more after.
    int calls = 0;
    panel->OnPaint = [&calls](TObject*, TCanvas*) { ++calls; };
    panel->SkinData()->BGChanged = true;
    PrintControl(panel);
    EXPECT_EQ(2, calls);

    // A caption change of a panel without a parent does not invalidate it.
    TqPanel orphan(nullptr);
    orphan.SkinData()->BGChanged = false;
    orphan.SetCaption("Loose");
    EXPECT_FALSE(orphan.SkinData()->BGChanged);
}

TEST_P(SkinnedBarAndPanel, SkinChangesRepaintAndNoSkinIsTheFrameworksLook)
{
    auto* bar = Bar(10, {100, 120}, {"Ready", "Idle"});
    auto* framework = Make<TStatusBar>(10, 40, 320, 22);
    framework->Panels()->Add()->SetWidth(100);
    framework->Panels()->Items(0)->SetText("Ready");
    framework->Panels()->Add()->SetWidth(120);
    framework->Panels()->Items(1)->SetText("Idle");
    TqPanel* panel = Make<TqPanel>(10, 80, 160, 40);
    TPanel* plainPanel = Make<TPanel>(10, 130, 160, 40);
    for (TCustomPanel* p : {static_cast<TCustomPanel*>(panel), static_cast<TCustomPanel*>(plainPanel)})
        p->SetCaption("Send ID");
    Settle();
    auto skinnedBar = CaptureControl(bar);
    auto skinnedPanel = CaptureControl(panel);

    Manager->SetActive(false);
    Settle();
    EXPECT_TRUE(paint_probe::SamePixels(*CaptureControl(framework), *CaptureControl(bar)));
    EXPECT_TRUE(paint_probe::SamePixels(*CaptureControl(plainPanel), *CaptureControl(panel)));
    EXPECT_FALSE(paint_probe::SamePixels(*skinnedBar, *CaptureControl(bar)));

    Manager->SetActive(true);
    Settle();
    EXPECT_TRUE(paint_probe::SamePixels(*skinnedBar, *CaptureControl(bar)));
    EXPECT_TRUE(paint_probe::SamePixels(*skinnedPanel, *CaptureControl(panel)));
}

TEST_P(SkinnedBarAndPanel, RepaintsLeaveTheGdiObjectCountFlat)
{
    auto* bar = Bar(10, {100, 120}, {"Ready", "Idle"});
    bar->SetSizeGrip(true);
    TqPanel* panel = SkinPanel(40, "Send ID", "00");
    Settle();
    auto repaint = [&](int i) {
        bar->Panels()->Items(0)->SetText(i % 2 ? "Ready" : "Busy");
        panel->SkinData()->BGChanged = true;
        bar->Repaint();
        panel->Repaint();
    };
    for (int i = 0; i < 20; ++i)
        repaint(i);
    const int before = paint_probe::GdiObjectCount();
    for (int i = 0; i < 1000; ++i)
        repaint(i);
    Settle();
    EXPECT_EQ(before, paint_probe::GdiObjectCount());
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinnedBarAndPanel, ::testing::Values("Basalt", "Clearwater", "Terracotta"));

// With no skin manager at all, both are the framework's controls.
TEST(UnskinnedBarAndPanel, LookExactlyLikeTheFrameworksControls)
{
    TForm form(nullptr);
    form.SetBounds(30, 30, 360, 200);
    TqStatusBar bar(nullptr);
    TStatusBar plainBar(nullptr);
    TqPanel panel(nullptr);
    TPanel plainPanel(nullptr);
    int y = 10;
    for (TStatusBar* b : {static_cast<TStatusBar*>(&bar), &plainBar}) {
        b->SetAlign(alNone);
        b->SetBounds(10, y, 320, 22);
        b->SetParent(&form);
        b->Panels()->Add()->SetWidth(100);
        b->Panels()->Items(0)->SetText("Ready");
        b->Panels()->Add()->SetText("Idle");
        y += 30;
    }
    for (TCustomPanel* p : {static_cast<TCustomPanel*>(&panel), static_cast<TCustomPanel*>(&plainPanel)}) {
        p->SetBounds(10, y, 160, 40);
        p->SetCaption("Send ID");
        p->SetParent(&form);
        y += 50;
    }
    form.Show();
    Settle();
    EXPECT_FALSE(bar.SkinData()->IsSkinned());
    EXPECT_TRUE(paint_probe::SamePixels(*CaptureControl(&plainBar), *CaptureControl(&bar)));
    EXPECT_TRUE(paint_probe::SamePixels(*CaptureControl(&plainPanel), *CaptureControl(&panel)));
    EXPECT_EQ("Idle", bar.PartText(1));

    // An unskinned panel with a handler shows only what it draws and
    // prints nothing without one.
    auto before = PrintControl(&panel);
    auto fresh = std::make_unique<TBitmap>(before->Width(), before->Height(), TPixelFormat::pf24bit);
    paint_probe::Clear(*fresh, 0x00FF00FF);
    EXPECT_TRUE(paint_probe::SamePixels(*fresh, *before)) << "printed without a handler";
    panel.OnPaint = [](TObject*, TCanvas* Canvas) {
        Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        Canvas->Brush()->SetColor(HandlerColor);
        Canvas->FillRect(Rect(0, 0, 10, 10));
    };
    auto printed = PrintControl(&panel);
    EXPECT_EQ(HandlerColor, paint_probe::PixelAt(*printed, 5, 5));
    EXPECT_EQ(static_cast<TColor>(0x00FF00FF), paint_probe::PixelAt(*printed, 50, 30));
    panel.Repaint();
    auto shown = CaptureControl(&panel);
    EXPECT_EQ(static_cast<TColor>(HandlerColor), static_cast<TColor>(gui::PixelAt(shown.get(), 5, 5)));
    panel.SetParent(nullptr);
    bar.SetParent(nullptr);
    plainBar.SetParent(nullptr);
    plainPanel.SetParent(nullptr);
}

}   // namespace
