// The spin edit driven like a user: arrow and page keys, Enter as Tab, and
// the repeat buttons through their timer.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "framework/Edit.h"
#include "framework/Ticks.h"
#include "grid/interaction/psgspin.h"

using namespace controls_test;

namespace {

class SpinInput : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        Spin = new TPsgSpinEdit(Form);
        Spin->SetParent(Form);
        Spin->SetBounds(10, 10, 120, 26);
        Next = new TEdit(Form);
        Next->SetParent(Form);
        Next->SetBounds(10, 60, 120, 24);
        Form->Show();
        gui::Settle();
        Spin->SetFocus();
        gui::Settle();
    }

    // A press or release of the left button over one of the spin buttons.
    void Mouse(TProTimerSpeedButton* Button, UINT Msg)
    {
        const int x = Button->Left() + Button->Width() / 2;
        const int y = Button->Top() + Button->Height() / 2;
        SendMessageW(Spin->Button()->Handle(), Msg, Msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }

    TPsgSpinEdit* Spin = nullptr;
    TEdit* Next = nullptr;
};

} // namespace

TEST_F(SpinInput, ArrowAndPageKeysStepAndNeverReachKeyEvents)
{
    std::vector<Word> seen;
    Spin->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { seen.push_back(Key); };
    Spin->SetValue(10);
    gui::PressKey(VK_UP);
    EXPECT_EQ(Spin->Value(), 11);
    gui::PressKey(VK_DOWN);
    gui::PressKey(VK_DOWN);
    EXPECT_EQ(Spin->Value(), 9);
    gui::PressKey(VK_PRIOR);
    EXPECT_EQ(Spin->Value(), 10) << "PgUp steps by Increment for integers";
    gui::PressKey(VK_LEFT);
    EXPECT_EQ(seen, std::vector<Word>{VK_LEFT}) << "the stepping keys are consumed";

    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(1);
    Spin->SetFloatValue(2.0);
    gui::PressKey(VK_PRIOR);
    EXPECT_EQ(Spin->Text(), "3.0");
    gui::PressKey(VK_UP);
    EXPECT_EQ(Spin->Text(), "3.1");
    gui::PressKey(VK_NEXT);
    EXPECT_EQ(Spin->Text(), "2.1");
}

TEST_F(SpinInput, TypedCharactersAreChecked)
{
    Spin->SetText("");
    gui::TypeText("1a2-");
    EXPECT_EQ(Spin->Text(), "12");
    Spin->SetSelStart(0);
    gui::TypeText("-");
    EXPECT_EQ(Spin->Text(), "-12");
    Spin->SetEditorEnabled(false);
    gui::TypeText("5");
    gui::PressKey(VK_DELETE);
    EXPECT_EQ(Spin->Text(), "-12") << "no typing and no Delete while EditorEnabled is off";
    Spin->SelectAll();
    SendMessageW(Spin->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(Spin->Text(), "-12") << "no cut while EditorEnabled is off";
    gui::PressKey(VK_UP);
    EXPECT_EQ(Spin->Text(), "0") << "stepping still works (clamped into 0..100)";
}

TEST_F(SpinInput, KeypadDecimalKeyTypesTheLocaleSeparator)
{
    UseFormats(true);   // "," is the decimal separator
    Spin->SetSpinType(sptFloat);
    Spin->SetText("1");
    Spin->SetSelStart(1);
    Spin->ExcelStyleDecimalSeparator = true;
    PostMessageW(Spin->Handle(), WM_CHAR, '.', 1 | (1 << 22));
    gui::Settle();
    EXPECT_EQ(Spin->Text(), "1,");
    Spin->SetText("1");
    Spin->SetSelStart(1);
    PostMessageW(Spin->Handle(), WM_CHAR, '.', 1);
    gui::Settle();
    EXPECT_EQ(Spin->Text(), "1") << "the main keyboard's '.' is the thousand separator here, refused";
}

TEST_F(SpinInput, ReturnIsTabMovesTheFocus)
{
    Spin->ReturnIsTab = true;
    gui::PressKey(VK_RETURN);
    EXPECT_TRUE(gui::PumpUntil([&] { return Next->Focused(); }, 10000)) << "Enter acts as Tab";
}

TEST_F(SpinInput, ShortClickStepsOnceOnRelease)
{
    Spin->SetValue(5);
    TProTimerSpeedButton* up = Spin->Button()->UpButton();
    Mouse(up, WM_LBUTTONDOWN);
    EXPECT_EQ(Spin->Value(), 5) << "the press does not click";
    Mouse(up, WM_LBUTTONUP);
    EXPECT_EQ(Spin->Value(), 6);
    gui::PumpFor(600);
    EXPECT_EQ(Spin->Value(), 6) << "no repeat after the release";
    Mouse(Spin->Button()->DownButton(), WM_LBUTTONDOWN);
    Mouse(Spin->Button()->DownButton(), WM_LBUTTONUP);
    EXPECT_EQ(Spin->Value(), 5);
}

TEST_F(SpinInput, HeldButtonRepeatsAfter400MsThenEvery100Ms)
{
    Spin->MaxValue = 1000;
    Spin->SetValue(0);
    TProTimerSpeedButton* up = Spin->Button()->UpButton();
    // When the first repeat came, as the spin button's click saw it: a loaded
    // machine may show it late, never early.
    Cardinal firstRepeat = 0;
    const TNotifyEvent upClick = Spin->Button()->OnUpClick;
    Spin->Button()->OnUpClick = [&](TObject* Sender) {
        if (firstRepeat == 0)
            firstRepeat = GetTickCount();
        upClick(Sender);
    };
    const Cardinal start = GetTickCount();
    Mouse(up, WM_LBUTTONDOWN);
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_EQ(up->RepeatTimer()->Interval(), 400u);
    EXPECT_EQ(Spin->Value(), 0) << "the press does not step";
    ASSERT_TRUE(gui::PumpUntil([&] { return Spin->Value() >= 1; }, 10000)) << "the first repeat";
    ASSERT_NE(firstRepeat, 0u);
    EXPECT_GE(firstRepeat - start, 390u) << "nothing before the first repeat";
    EXPECT_EQ(up->RepeatTimer()->Interval(), 100u);
    ASSERT_TRUE(gui::PumpUntil([&] { return Spin->Value() >= 4; }, 10000)) << "repeats every 100 ms";
    const int beforeRelease = Spin->Value();
    Mouse(up, WM_LBUTTONUP);
    EXPECT_EQ(Spin->Value(), beforeRelease + 1) << "one more click on the release";
    EXPECT_FALSE(up->RepeatTimer()->Enabled());
    gui::PumpFor(300);
    EXPECT_EQ(Spin->Value(), beforeRelease + 1);
}

TEST_F(SpinInput, HorizontalButtonsAndFocusRectangle)
{
    Spin->SetDirection(spHorizontal);
    gui::Settle();
    TPsgSpinButton* b = Spin->Button();
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->UpButton()->Direction, tbdRight);
    EXPECT_EQ(b->DownButton()->Left(), 0) << "down is left";
    EXPECT_EQ(b->DownButton()->Width(), b->Width() / 2);
    EXPECT_EQ(b->UpButton()->Left(), b->Width() / 2 + 1) << "up starts one pixel right of the half";
    EXPECT_EQ(b->UpButton()->Left() + b->UpButton()->Width(), b->Width());
    Spin->SetDirection(spVertical);
    gui::Settle();
    EXPECT_EQ(b->Width(), 15);
    EXPECT_EQ(b->DownButton()->Top(), b->Height() / 2 - 1);
}

TEST_F(SpinInput, SpinButtonOfItsOwnTakesSpaceAndArrowKeys)
{
    auto* b = new TPsgSpinButton(Form);
    b->SetParent(Form);
    b->SetBounds(200, 10, 15, 26);
    b->SetTabStop(true);
    std::vector<std::string> clicks;
    b->OnUpClick = [&](TObject* Sender) { clicks.push_back(Sender == b ? "up" : "up?"); };
    b->OnDownClick = [&](TObject* Sender) { clicks.push_back(Sender == b ? "down" : "down?"); };
    gui::Settle();
    b->SetFocus();
    gui::Settle();
    EXPECT_NE(b->UpButton()->TimeBtnState & tbFocusRect, 0u) << "the up button is focused first";
    gui::PressKey(VK_DOWN);
    EXPECT_EQ(b->FocusedButton(), b->DownButton());
    EXPECT_NE(b->DownButton()->TimeBtnState & tbFocusRect, 0u);
    EXPECT_EQ(b->UpButton()->TimeBtnState & tbFocusRect, 0u);
    gui::PressKey(VK_SPACE);
    gui::PressKey(VK_UP);
    EXPECT_EQ(clicks, (std::vector<std::string>{"down", "down", "up"}));
    Next->SetFocus();
    gui::Settle();
    EXPECT_EQ(b->UpButton()->TimeBtnState & tbFocusRect, 0u) << "no focus rectangle without the focus";
}
