// The name dialog and the about box: borderless, centred over the main
// window wherever it is; the about box closes on a click on its background
// and opens the home page on a thread of its own from its home-page label.
#include "tests/manager/VantrelFixture.h"

#include <cstdlib>
#include <cstring>
#include <functional>
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

// Puts Text on the clipboard as Unicode text.
void PutClipboardText(HWND Owner, const WideString& Text)
{
    ASSERT_TRUE(OpenClipboard(Owner));
    EmptyClipboard();
    const std::size_t bytes = (Text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), Text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// A name holding a control character, already in the box (a name opened from
// a project) or pasted into it, does not close the dialog with OK: a message
// says why and the dialog stays open with the name for the user to mend.
TEST_F(VantrelTest, TheNameDialogRefusesControlCharactersPutOrPastedIntoIt)
{
    const struct {
        const char* Case;
        std::function<void(vantrel::TFmEditName*)> Enter;
    } entries[] = {
        {"in the box", [](vantrel::TFmEditName* Dialog) { Dialog->Edit1->SetText("ab\x01" "c"); }},
        {"pasted",
         [](vantrel::TFmEditName* Dialog) {
             PutClipboardText(Dialog->Handle(), L"ab\x0001" L"c");
             Dialog->Edit1->SetText("");
             SendMessageW(Dialog->Edit1->Handle(), WM_PASTE, 0, 0);
         }},
    };
    // Outside the loop: a refusal that failed would leave the timer to fire later.
    String entered;
    bool shownAfterOk = false;
    for (const auto& e : entries) {
        Main->SetSlotName(0, 2, "before");
        const int state = Main->UndoHistory().CurrentIndex(0);
        entered.clear();
        shownAfterOk = false;
        gui::ModalScript script([&](TCustomForm* Form) {
            auto* dialog = dynamic_cast<vantrel::TFmEditName*>(Form);
            ASSERT_NE(dialog, nullptr);
            e.Enter(dialog);
            entered = dialog->Edit1->Text();
            gui::Click(dialog->Button1);
            // The close with OK is asked for before the next message: by then
            // it has been refused, and the user mends the name.
            After(0, [&shownAfterOk, dialog] {
                shownAfterOk = dialog->Visible();
                dialog->Edit1->SetText("mended");
                gui::Click(dialog->Button1);
            });
        });
        Main->RedMem1DblClickCell(Main->ChannelGrid(0), 2, 1);
        EXPECT_EQ(script.Shown, 1) << e.Case;
        EXPECT_EQ(script.TimedOut, 0) << e.Case;
        EXPECT_EQ(HexOf(entered), HexOf("ab\x01" "c")) << e.Case << ": the character reached the box";
        EXPECT_EQ(TakeBoxes(), std::vector<std::string>{gui::Utf8(vantrel::ControlCharacterInName)}) << e.Case;
        EXPECT_TRUE(shownAfterOk) << e.Case << ": OK did not close the dialog";
        EXPECT_EQ(Main->SlotName(0, 2), "mended") << e.Case;
        EXPECT_EQ(Main->UndoHistory().CurrentIndex(0), (state + 1) % 10) << e.Case << ": the mended name is one undo step";
    }
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
        gui::PumpUntil([&] { return openedCount() == 1; }, 10000);
        stayedOpen = Form->Visible() && Form->ModalResult() == mrNone;
        // A click on the background away from the labels.
        gui::ClickAt(About->GradientLabel1, 285, 6);
    }, 10000);
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
