// The flat gauge on a form while a worker thread drives its progress: the
// window's thread does all the painting, nothing crashes, and the last value
// is what the gauge shows.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/Panel.h"
#include "office/FlatGauge.h"
#include "office/FlatUtils.h"
#include "tests/support/GuiHarness.h"

namespace {

// Records the threads that paint it.
class WatchedGauge : public TFlatGauge {
public:
    using TFlatGauge::TFlatGauge;
    std::atomic<int> Paints{0};
    std::atomic<int> ForeignPaints{0};
    DWORD GuiThread = GetCurrentThreadId();

protected:
    void Paint() override
    {
        ++Paints;
        if (GetCurrentThreadId() != GuiThread)
            ++ForeignPaints;
        TFlatGauge::Paint();
    }
};

} // namespace

TEST(FlatGaugeGui, WorkerThreadDrivesProgress)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(100, 100, 300, 120);
    Form->SetColor(clBtnFace);
    auto* Gauge = new WatchedGauge(Form);
    Gauge->SetParent(Form);
    Gauge->SetBounds(10, 10, 145, 25);
    Gauge->SetProgress(0);
    Form->Show();
    gui::Settle();
    const int PaintsBefore = Gauge->Paints;

    std::atomic<bool> Done{false};
    std::thread Worker([&] {
        for (int i = 0; i < 20000; ++i)
            Gauge->SetProgress(i % 101);
        Gauge->SetProgress(73);
        Done = true;
    });
    const bool Finished = gui::PumpUntil([&] { return Done.load(); }, 20000);
    Worker.join();
    ASSERT_TRUE(Finished) << "the worker did not finish within the bound";
    gui::Settle();

    EXPECT_EQ(Gauge->Progress(), 73);
    EXPECT_EQ(Gauge->ForeignPaints, 0);
    EXPECT_GT(Gauge->Paints, PaintsBefore);
    auto Shot = gui::CaptureControl(Gauge);
    // 73 % of the inner width 139 is 101 columns from x = 3, on a row above the text.
    const COLORREF Bar = ColorToRGB(Gauge->BarColor());
    EXPECT_EQ(gui::PixelAt(Shot.get(), 3, 4), Bar);
    EXPECT_EQ(gui::PixelAt(Shot.get(), 103, 4), Bar);
    EXPECT_EQ(gui::PixelAt(Shot.get(), 104, 4), ColorToRGB(Form->Color()));
    EXPECT_EQ(gui::PixelAt(Shot.get(), 0, 0), ColorToRGB(Gauge->ColorBorder()));

    // On the window's thread the gauge repaints at once.
    const int Before = Gauge->Paints;
    Gauge->SetProgress(10);
    EXPECT_GT(Gauge->Paints, Before);
    const int Same = Gauge->Paints;
    Gauge->SetProgress(10);   // unchanged: no repaint
    EXPECT_EQ(Gauge->Paints, Same);

    // A look at the gauge's styles beside it.
    auto* Gradient = new TFlatGauge(Form);
    Gradient->SetParent(Form);
    Gradient->SetBounds(10, 45, 145, 25);
    Gradient->SetStyleFace(fsCustom);
    Gradient->SetProgress(60);
    Gradient->SetTextFront("读取 ");
    auto* Rtl = new TFlatGauge(Form);
    Rtl->SetParent(Form);
    Rtl->SetBounds(165, 10, 110, 25);
    Rtl->SetBiDiMode(bdRightToLeft);
    Rtl->SetProgress(45);
    gui::Settle();
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Dir(Path);
    gui::SaveScreenshot(Form, Dir.substr(0, Dir.find_last_of('\\') + 1) + "flat-gauges.png");
    delete Form;
}

// A change of the system colours reaches the gauges, which have no window
// of their own, wherever they sit: on the form and on a panel inside it.
// A gauge that takes its border from its parent's colour derives it again
// from the new button-face colour and draws it.
TEST(FlatGaugeGui, SystemColourChangeReachesWindowlessGauges)
{
    auto* Form = new TForm(Application);
    Form->SetBounds(100, 100, 320, 160);
    Form->SetColor(clBtnFace);
    auto* Panel = new TPanel(Form);
    Panel->SetParent(Form);
    Panel->SetBounds(10, 50, 280, 60);
    Panel->SetParentColor(true);
    TFlatGauge* Gauges[2] = {new TFlatGauge(Form), new TFlatGauge(Form)};
    Gauges[0]->SetParent(Form);
    Gauges[0]->SetBounds(10, 10, 145, 25);
    Gauges[1]->SetParent(Panel);
    Gauges[1]->SetBounds(10, 10, 145, 25);
    for (TFlatGauge* G : Gauges) {
        G->SetUseProColors(true);
        G->SetProColorBorder(30);
    }
    Form->Show();
    gui::Settle();

    const COLORREF OldFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF NewFace = OldFace == RGB(200, 120, 60) ? RGB(60, 120, 200) : RGB(200, 120, 60);
    const TColor Expected = ShiftColorLightness(static_cast<TColor>(NewFace), 0, 30);
    ASSERT_NE(Gauges[0]->ColorBorder(), Expected);
    // The system sends WM_SYSCOLORCHANGE to the top-level windows.
    const INT Element = COLOR_BTNFACE;
    ASSERT_TRUE(SetSysColors(1, &Element, &NewFace));
    gui::Settle();
    const TColor After[2] = {Gauges[0]->ColorBorder(), Gauges[1]->ColorBorder()};
    auto Shot = gui::CaptureControl(Gauges[1]);
    const COLORREF Corner = gui::PixelAt(Shot.get(), 0, 0);
    SetSysColors(1, &Element, &OldFace);
    gui::Settle();

    EXPECT_EQ(After[0], Expected) << "the gauge on the form";
    EXPECT_EQ(After[1], Expected) << "the gauge on the panel";
    EXPECT_EQ(Corner, ColorToRGB(Expected)) << "the new border is drawn";
    delete Form;
    gui::Settle();
}
