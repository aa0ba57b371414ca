// The fade-in of a form: frames and pauses counted through the fade's
// hooks, nothing left behind on any path, one real fade on the screen, and
// the picture of a control tree it fades to.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../../support/GuiHarness.h"
#include "SkinStateSupport.h"
#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/Panel.h"
#include "skin/engine/qControlTree.h"
#include "tests/graphics/PaintProbe.h"

using namespace skinstate;

namespace {

// Counts the fade's pauses and frames while alive; the pauses do not wait.
struct TFadeRecorder {
    TFadeRecorder()
    {
        FadeHooks().Sleep = [this](DWORD Ms) { Sleeps.push_back(Ms); };
        FadeHooks().Frame = [this](int Level) {
            Levels.push_back(Level);
            if (OnFrame)
                OnFrame(Level);
        };
    }
    ~TFadeRecorder() { FadeHooks() = TFadeHooks{}; }
    std::vector<DWORD> Sleeps;
    std::vector<int> Levels;   // -1: the final copy of the form itself
    std::function<void(int)> OnFrame;
};

std::unique_ptr<TForm> ShownForm()
{
    std::unique_ptr<TForm> form(new TForm(Application));
    form->SetBounds(60, 60, 300, 200);
    form->SetColor(clTeal);
    form->Show();
    gui::Settle();
    return form;
}

// A picture beside the test program, for a look at what was drawn.
std::string GalleryPath(const char* Name)
{
    return Application->ExePath() + Name;
}

bool Thawed(TForm* Form)
{
    return IsWindowVisible(Form->Handle()) != FALSE;
}

}   // namespace

TEST(FormFade, ShortTimesShowTheFormAtOnce)
{
    auto form = ShownForm();
    for (int time : {0, 7}) {
        SCOPED_TRACE(time);
        TFadeRecorder recorder;
        AnimateFormShow(form.get(), time);
        EXPECT_EQ(std::vector<int>{-1}, recorder.Levels);
        EXPECT_TRUE(recorder.Sleeps.empty());
        EXPECT_EQ(nullptr, OutputWindow());
        EXPECT_TRUE(Thawed(form.get()));
    }
}

TEST(FormFade, TwoHundredMillisecondsAreTwentySixFrames)
{
    auto form = ShownForm();
    TFadeRecorder recorder;
    bool covered = false;
    recorder.OnFrame = [&](int) {
        // While it fades, the output window lies over the frozen form.
        covered = covered || (OutputWindow() != nullptr && IsWindowVisible(OutputWindow()->Handle()) &&
                              !IsWindowVisible(form->Handle()));
    };
    // A first fade makes what stays for the process (the window class).
    AnimateFormShow(form.get(), 0);
    recorder.Levels.clear();
    const int gdi = paint_probe::GdiObjectCount();
    AnimateFormShow(form.get(), 200);
    EXPECT_EQ(gdi, paint_probe::GdiObjectCount());   // no GDI object outlives the fade
    ASSERT_EQ(27u, recorder.Levels.size());   // 26 frames and the form itself
    for (int k = 0; k < 26; ++k)
        EXPECT_EQ(255 - 10 * k, recorder.Levels[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(-1, recorder.Levels.back());
    EXPECT_EQ(std::vector<DWORD>(25, 8), recorder.Sleeps);
    EXPECT_TRUE(covered);
    EXPECT_EQ(nullptr, OutputWindow());
    EXPECT_TRUE(Thawed(form.get()));
}

TEST(FormFade, AFailedCaptureShowsTheFormAtOnce)
{
    auto form = ShownForm();
    TFadeRecorder recorder;
    FadeHooks().Capture = [](HDC, HDC, const RECT&) { return false; };
    AnimateFormShow(form.get(), 0);
    const int gdi = paint_probe::GdiObjectCount();
    AnimateFormShow(form.get(), 200);
    EXPECT_EQ(gdi, paint_probe::GdiObjectCount());
    EXPECT_TRUE(recorder.Levels.empty());
    EXPECT_EQ(nullptr, OutputWindow());
    EXPECT_TRUE(Thawed(form.get()));
    // The next fade works again.
    FadeHooks().Capture = nullptr;
    AnimateFormShow(form.get(), 16);
    EXPECT_EQ((std::vector<int>{255, 128, 1, -1}), recorder.Levels);   // n = 2, step 127
    EXPECT_EQ(nullptr, OutputWindow());
}

TEST(FormFade, ARealFadeOnTheScreen)
{
    // A form about to be shown fades in over what the screen shows there.
    std::unique_ptr<TForm> form(new TForm(Application));
    form->SetBounds(60, 60, 300, 200);
    form->SetColor(clTeal);
    TPanel panel(form.get());
    panel.SetParent(form.get());
    panel.SetBounds(20, 20, 120, 60);
    panel.SetColor(clYellow);
    form->HandleNeeded();
    TFadeHooks& hooks = FadeHooks();
    int frames = 0;
    COLORREF behind = 0;
    COLORREF half = 0;
    hooks.Frame = [&](int Level) {
        ++frames;
        if (OutputWindow() == nullptr)
            return;
        HDC dc = GetWindowDC(OutputWindow()->Handle());
        if (Level == 255)
            behind = GetPixel(dc, 250, 150);
        if (half == 0 && Level >= 0 && Level <= 130) {
            half = GetPixel(dc, 250, 150);
            gui::SaveScreenshot(OutputWindow()->Handle(), GalleryPath("form-fade-half.png"));
        }
        ReleaseDC(OutputWindow()->Handle(), dc);
    };
    AnimateFormShow(form.get(), 64);   // real 8 ms pauses
    hooks = TFadeHooks{};
    EXPECT_EQ(10, frames);   // 9 frames and the form
    EXPECT_EQ(nullptr, OutputWindow());
    // Halfway the output window showed a mix of the screen and the form.
    const COLORREF teal = ColorToRGB(clTeal);
    EXPECT_NE(teal, half);
    EXPECT_NE(behind, half);
    EXPECT_LE(std::abs(GetGValue(half) - (GetGValue(behind) + GetGValue(teal)) / 2), 40);
    form->Show();
    gui::Settle();
    auto shot = gui::Capture(form->Handle());
    EXPECT_EQ(teal, gui::PixelAt(shot.get(), 5, 5));
    EXPECT_EQ(ColorToRGB(clYellow), gui::PixelAt(shot.get(), 30, 30));
    gui::SaveScreenshot(form.get(), GalleryPath("form-fade-done.png"));
}

TEST(ControlTree, PictureOfAFormWithFramedControls)
{
    auto form = ShownForm();
    TEdit edit(form.get());
    edit.SetParent(form.get());
    edit.SetBounds(10, 10, 120, 24);
    edit.SetText("Edit text");
    TMemo memo(form.get());
    memo.SetParent(form.get());
    memo.SetBounds(10, 50, 150, 80);
    memo.SetScrollBars(ssVertical);
    TPanel panel(form.get());
    panel.SetParent(form.get());
    panel.SetBounds(180, 10, 80, 80);
    panel.SetColor(clYellow);
    gui::Settle();

    TBitmap picture(form->Width(), form->Height(), TPixelFormat::pf24bit);
    PaintControlTree(&picture, form.get());
    picture.SaveToFile(GalleryPath("control-tree.bmp"));
    // The picture is the form's window: its client area starts inside the frame.
    TRect client;
    GetClientRectInWindow(form->Handle(), client);
    auto at = [&](int X, int Y) { return gui::PixelAt(&picture, client.left + X, client.top + Y); };
    EXPECT_EQ(ColorToRGB(clTeal), at(5, 5));
    EXPECT_EQ(ColorToRGB(clYellow), at(220, 50));
    // The edit's sunken edge is drawn (Wine prints it without), its client
    // inside the edge in the window colour.
    EXPECT_NE(ColorToRGB(clTeal), at(10, 10));
    EXPECT_NE(ColorToRGB(clWindow), at(10, 10));
    EXPECT_EQ(ColorToRGB(clWindow), at(120, 30));
    // The memo's scroll bar right of its client area: its arrows are drawn.
    TRect memoClient;
    GetClientRectInWindow(memo.Handle(), memoClient);
    const TRect bar = Rect(client.left + 10 + memoClient.right, client.top + 50 + memoClient.top,
                           client.left + 10 + memoClient.right + GetSystemMetrics(SM_CXVSCROLL),
                           client.top + 50 + memoClient.bottom);
    EXPECT_GT(gui::CountPixelsNot(&picture, bar, ColorToRGB(clWindow)), 10);
    // The frame above the client area is the caption, not the form colour.
    EXPECT_NE(ColorToRGB(clTeal), gui::PixelAt(&picture, form->Width() / 2, client.top / 2));
}

TEST(ControlTree, LayoutQueries)
{
    TForm form(nullptr);
    TPanel top1(&form), top2(&form), left(&form), client(&form);
    for (TPanel* p : {&top1, &top2, &left, &client})
        p->SetParent(&form);
    form.SetBounds(0, 0, 400, 300);
    top1.SetHeight(20);
    top1.SetAlign(alTop);
    top2.SetHeight(30);
    top2.SetAlign(alTop);
    left.SetWidth(50);
    left.SetAlign(alLeft);
    client.SetAlign(alClient);
    EXPECT_EQ(50, AlignedControlsSize(&form, alTop, false));
    EXPECT_EQ(50, AlignedControlsSize(&form, alLeft, true));
    EXPECT_EQ(0, AlignedControlsSize(&form, alClient, true));
    top2.SetVisible(false);
    EXPECT_EQ(20, AlignedControlsSize(&form, alTop, false));
    EXPECT_EQ(static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_EXPANDTABS), TextAlignFlags(&form, taCenter));
    EXPECT_EQ(static_cast<UINT>(DT_RIGHT | DT_VCENTER | DT_EXPANDTABS), TextAlignFlags(&form, taRightJustify));
    EXPECT_EQ(&form, GetOwnerForm(&top1));
    EXPECT_EQ(nullptr, GetOwnerForm(nullptr));
    EXPECT_FALSE(ControlIsReady(nullptr));
    EXPECT_FALSE(ControlIsReady(&top1));   // no window yet
    form.HandleNeeded();
    EXPECT_TRUE(ControlIsReady(&top1));
    EXPECT_FALSE(ControlIsReady(&form));   // no parent
    TRect work;
    GetWorkArea(work);
    EXPECT_GT(RectWidth(work), 0);
}

TEST(ControlTree, WindowlessControlsPaintedOverTheFormCache)
{
    std::unique_ptr<TSpyForm> form(new TSpyForm(Application, true));
    TLabel clear(form.get());
    TLabel solid(form.get());
    for (TLabel* l : {&clear, &solid}) {
        l->SetParent(form.get());
        l->SetAutoSize(false);
        l->SetCaption("");
    }
    clear.SetTransparent(true);
    clear.SetBounds(10, 10, 40, 20);
    solid.SetTransparent(false);
    solid.SetColor(clYellow);
    solid.SetBounds(60, 10, 40, 20);
    form->Show();
    gui::Settle();

    // The form's cache (the provider's answer to sub-command 5) is red.
    TBitmap* cache = form->Provider->Data->CacheBmp.get();
    cache->SetSize(form->Width(), form->Height());
    cache->Canvas()->Brush()->SetColor(clRed);
    cache->Canvas()->FillRect(Rect(0, 0, form->Width(), form->Height()));
    TBitmap target(form->Width(), form->Height(), TPixelFormat::pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(Rect(0, 0, form->Width(), form->Height()));
    HDC dc = target.Canvas()->Handle();

    const int gdi = paint_probe::GdiObjectCount();
    PaintGraphicControls(dc, form.get(), Point(5, 3));
    EXPECT_EQ(gdi, paint_probe::GdiObjectCount());
    EXPECT_FALSE(ExchangeCache.Ready);
    const struct {
        int X, Y;
        TColor Expected;
    } cases[] = {
        {10 + 5, 10 + 3, clRed},            // the see-through label shows the form's cache
        {10 + 5 + 39, 10 + 3 + 19, clRed},
        {60 + 5 + 20, 10 + 3 + 10, clYellow},   // the opaque one its own colour
        {10 + 4, 10 + 3, clBlue},           // nothing outside the children
        {60 + 5 + 40, 10 + 3, clBlue},
        {2, 2, clBlue},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorToRGB(c.Expected), GetPixel(dc, c.X, c.Y)) << c.X << "," << c.Y;

    // An empty painting area: the form is told it is half visible, nothing painted.
    target.Canvas()->FillRect(Rect(0, 0, form->Width(), form->Height()));
    form->SubCommands.clear();
    form->Provider->Data->HalfVisible = false;
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    SelectClipRgn(dc, none);
    DeleteObject(none);
    PaintGraphicControls(dc, form.get(), Point(0, 0));
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(1, Count(form->SubCommands, scmSetHalfVisible));
    EXPECT_TRUE(form->Provider->Data->HalfVisible);
    EXPECT_EQ(ColorToRGB(clBlue), GetPixel(dc, 70, 20));
}
