// The edit with a button and the unit edit on a form.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "grid/interaction/PSGEdit.h"

using namespace controls_test;

namespace {

class EditBtn : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        Edit = new TPsgEditBtn(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(10, 10, 150, 26);
        Edit->SetButtonCaption("...");
        Edit->OnClickBtn = [this](TObject* Sender) { Clicks.push_back(Sender); };
        Units = new TPsgUnitEditBtn(Form);
        Units->SetParent(Form);
        Units->SetBounds(10, 60, 150, 26);
        Units->Units()->Add("mm");
        Units->Units()->Add("cm");
        Units->Units()->Add("m");
        Form->Show();
        gui::Settle();
    }

    void ClickButton(TPsgEditButton* Button)
    {
        gui::ClickAt(Button, Button->Width() / 2, Button->Height() / 2);
    }

    TPsgEditBtn* Edit = nullptr;
    TPsgUnitEditBtn* Units = nullptr;
    std::vector<TObject*> Clicks;
};

} // namespace

TEST_F(EditBtn, ButtonAndF4FireOnClickBtn)
{
    EXPECT_EQ(Edit->Text(), "0");
    ClickButton(Edit->Button());
    ASSERT_EQ(Clicks.size(), 1u);
    EXPECT_EQ(Clicks[0], Edit->Button()) << "the button control is the Sender";
    EXPECT_TRUE(Edit->Focused()) << "the focus went to the edit";
    gui::PressKey(VK_F4);
    ASSERT_EQ(Clicks.size(), 2u);
    EXPECT_EQ(Clicks[1], Edit);
}

TEST_F(EditBtn, EditorDisabledTakesNoTypingCutOrPaste)
{
    Edit->SetFocus();
    Edit->SetText("abc");
    Edit->EditorEnabled = false;
    Edit->SelectAll();
    gui::TypeText("x");
    SendMessageW(Edit->Handle(), WM_CUT, 0, 0);
    SendMessageW(Edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(Edit->Text(), "abc");
    gui::PressKey(VK_F4);
    ClickButton(Edit->Button());
    EXPECT_EQ(Clicks.size(), 2u) << "the button and F4 still work";
    Edit->EditorEnabled = true;
    Edit->SetSelStart(3);
    gui::TypeText("d\r");
    EXPECT_EQ(Edit->Text(), "abcd") << "typing works again; Enter adds no line";
}

TEST_F(EditBtn, LayoutKeepsTheButtonInsideAndTheMinimumHeight)
{
    Edit->SetButtonWidth(24);
    gui::Settle();
    EXPECT_EQ(Edit->Button()->Width(), 24);
    EXPECT_EQ(Edit->Button()->Left(), Edit->Width() - 24 - 5);
    EXPECT_EQ(Edit->Button()->Button()->Width(), 24) << "the speed button fills the button control";
    const TRect r = Edit->FormattingRect();
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right, Edit->ClientWidth() - 24 - 3);
    EXPECT_EQ(r.bottom, Edit->ClientHeight() + 1);
    RECT shown{};
    SendMessageW(Edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_LE(shown.right, r.right) << "the edit took the rectangle (inside its margins)";
    EXPECT_EQ(Units->FormattingRect().right, Units->ClientWidth() - Units->ButtonWidth() - 20 - 6)
        << "room for the unit";
    Edit->SetBorderStyle(bsNone);
    EXPECT_EQ(Edit->FormattingRect().left, 2);
    const int minimum = Edit->GetMinHeight();
    Edit->SetHeight(minimum - 6);
    EXPECT_EQ(Edit->Height(), minimum);
}

TEST_F(EditBtn, UnitMenuChoosesTheUnitShownBesideTheNumber)
{
    std::vector<gui::MenuEntry> entries;
    {
        gui::PopupMenuAnswers answer([&](TPopupMenu*, HMENU Menu, int, int) {
            entries = gui::MenuEntries(Menu);
            return entries.size() > 1 ? entries[1].Command : 0u;
        });
        ClickButton(Units->Button());
        gui::Settle();
    }
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Caption, "mm");
    EXPECT_EQ(entries[2].Caption, "m");
    EXPECT_EQ(Units->UnitID(), "cm");
    Units->Repaint();
    gui::Settle();
    // The unit is drawn in its space between the text and the button.
    auto shot = gui::CaptureControl(Units);
    const int right = Units->ClientWidth() - Units->ButtonWidth() - 3;
    const TRect area = Rect(right - 20, 2, right, Units->ClientHeight());
    EXPECT_GT(gui::CountPixelsNot(shot.get(), area, ColorToRGB(clWindow)), 5) << "cm drawn";
    EXPECT_TRUE(Clicks.empty()) << "the unit button does not fire OnClickBtn";
    // A command from elsewhere (a number beyond the units) changes nothing.
    SendMessageW(Units->Handle(), WM_COMMAND, MAKEWPARAM(7, 0), 0);
    EXPECT_EQ(Units->UnitID(), "cm");
}

TEST_F(EditBtn, FlatButtonDrawsSunkenWhileHeld)
{
    TPsgEditButton* b = Edit->Button();
    b->SetFlat(true);
    gui::Settle();
    const auto edgeColour = [&] {
        // The capture starts at the client origin of the edit.
        auto shot = gui::CaptureControl(Edit);
        return gui::PixelAt(shot.get(), b->Left(), b->Top());
    };
    const COLORREF up = edgeColour();
    EXPECT_EQ(up, ColorToRGB(cl3DLight)) << "soft raised: light top-left edge";
    SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    gui::Settle();
    const COLORREF down = edgeColour();
    EXPECT_TRUE(down == ColorToRGB(clBtnShadow) || down == ColorToRGB(cl3DDkShadow))
        << "sunken: dark top-left edge, got " << std::hex << down;
    SendMessageW(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    gui::Settle();
    EXPECT_EQ(edgeColour(), up);
}
