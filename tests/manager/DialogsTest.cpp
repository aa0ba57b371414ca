// The name dialog and the about box: borderless, centred over the main
// window wherever it is; the about box closes on a click on its background
// and opens the home page on a thread of its own from its home-page label.
#include "tests/manager/VantrelFixture.h"

#include <cstdlib>
#include <mutex>

#include "framework/Application.h"
#include "framework/Screen.h"

namespace vantrel_test {
namespace {

TRect WindowRect(TCustomForm* Form)
{
    RECT r{};
    GetWindowRect(Form->Handle(), &r);
    return r;
}

// Where a box of Size belongs over the main window.
TPoint CentredOver(const TRect& Main, SIZE Size)
{
    return TPoint{Main.left + (RectWidth(Main) - Size.cx) / 2, Main.top + (RectHeight(Main) - Size.cy) / 2};
}

TEST_F(VantrelTest, TheNameDialogOpensCentredOverTheMainWindowWhereverItIs)
{
    const TPoint places[] = {{0, 0}, {310, 170}, {-200, 40}, {57, 333}};
    for (const TPoint& p : places) {
        Main->SetBounds(p.x, p.y, Main->Width(), Main->Height());
        gui::Settle();
        TRect main{}, dialog{};
        HWND focus = nullptr;
        gui::ModalScript script([&](TCustomForm* Form) {
            main = WindowRect(Main);
            dialog = WindowRect(Form);
            focus = GetFocus();
            Form->SetModalResult(mrCancel);
        });
        Main->RedMem1DblClickCell(Main->ChannelGrid(0), 2, 1);
        ASSERT_EQ(script.Shown, 1) << p.x << "," << p.y;
        EXPECT_EQ(main.left, p.x) << "the main window moved";
        EXPECT_EQ(RectWidth(dialog), 251) << "no border";
        EXPECT_EQ(RectHeight(dialog), 82) << "no border";
        const TPoint expected = CentredOver(main, SIZE{251, 82});
        EXPECT_EQ(dialog.left, expected.x) << "main at " << p.x << "," << p.y;
        EXPECT_EQ(dialog.top, expected.y) << "main at " << p.x << "," << p.y;
        EXPECT_EQ(focus, EditName->Edit1->Handle()) << "the edit box has the focus";
    }
    EXPECT_EQ(EditName->Label1->Caption(), "Name  ");
    EXPECT_EQ(EditName->Button1->Caption(), "OK");
    EXPECT_EQ(EditName->Button2->Caption(), "Cancel");
}

TEST_F(VantrelTest, TheAboutBoxClosesOnItsBackgroundButNotOnItsHomePage)
{
    // The home page is never opened by a test: the opener records instead.
    std::mutex lock;
    std::vector<std::pair<std::string, DWORD>> opened;
    const auto savedOpener = vantrel::OpenAddress;
    vantrel::OpenAddress = [&](const String& Address) {
        const std::lock_guard<std::mutex> guard(lock);
        opened.emplace_back(Address, GetCurrentThreadId());
    };
    const auto openedCount = [&] {
        const std::lock_guard<std::mutex> guard(lock);
        return opened.size();
    };

    Main->SetBounds(120, 60, Main->Width(), Main->Height());
    gui::Settle();
    bool stayedOpen = false;
    TRect box{};
    COLORREF left = 0, right = 0;
    gui::ModalScript script([&](TCustomForm* Form) {
        ASSERT_EQ(Form, About);
        gui::Settle();
        box = WindowRect(Form);
        const std::string path = Application->ExePath() + "vantrel-about.png";
        gui::SaveScreenshot(Form, path);
        auto pixels = gui::Capture(Form->Handle());
        left = gui::PixelAt(pixels.get(), 1, 110);
        right = gui::PixelAt(pixels.get(), 291, 110);

        gui::Click(About->qLabelFX2);
        gui::PumpUntil([&] { return openedCount() == 1; }, 5000);
        stayedOpen = Form->Visible() && Form->ModalResult() == mrNone;
        // A click on the background away from the labels.
        gui::ClickAt(About->GradientLabel1, 285, 6);
    }, 5000);
    GuardCallback([&] { Main->ToolButton9->Click(); });
    vantrel::OpenAddress = savedOpener;

    EXPECT_EQ(script.Shown, 1);
    EXPECT_EQ(script.TimedOut, 0) << "the background click closed the box";
    EXPECT_TRUE(stayedOpen) << "the home-page label does not close the box";
    EXPECT_FALSE(About->Visible());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, vantrel::HomePageAddress);
    EXPECT_NE(opened[0].second, GetCurrentThreadId()) << "opened on a thread of its own";
    EXPECT_EQ(About->qLabelFX2->Cursor(), crHandPoint);
    EXPECT_EQ(About->qLabelFX3->Caption(), "Vantrel v1.1.0");

    const TPoint expected = CentredOver(WindowRect(Main), SIZE{293, 114});
    EXPECT_EQ(box.left, expected.x);
    EXPECT_EQ(box.top, expected.y);
    EXPECT_EQ(RectWidth(box), 293);
    EXPECT_EQ(RectHeight(box), 114);
    // The background runs from the active caption colour to the inactive
    // caption text colour.
    EXPECT_EQ(left, ColorToRGB(clActiveCaption));
    const COLORREF to = ColorToRGB(clInactiveCaptionText);
    EXPECT_LE(std::abs(GetRValue(right) - GetRValue(to)) + std::abs(GetGValue(right) - GetGValue(to)) +
                  std::abs(GetBValue(right) - GetBValue(to)),
              3 * 8)
        << "the right end is near the second colour";
    EXPECT_TRUE(Main->Enabled());
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
}

} // namespace
} // namespace vantrel_test
