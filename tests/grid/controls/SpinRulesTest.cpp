// The spin edit's rules: the character check per spin type, stepping with
// clamping, the date and time fields under the caret, and text that does
// not convert.
#include <gtest/gtest.h>

#include "tests/grid/controls/ControlsTestSupport.h"
#include "grid/interaction/psgspin.h"

using namespace controls_test;

namespace {

class SpinRules : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        Spin = new TPsgSpinEdit(Form);
        Spin->SetParent(Form);
        Spin->SetBounds(10, 10, 120, 24);
        Form->Show();
        gui::Settle();
    }
    void Put(const String& Text, int SelStart, int SelLength = 0)
    {
        Spin->SetText(Text);
        Spin->SetSelStart(SelStart);
        Spin->SetSelLength(SelLength);
    }

    TPsgSpinEdit* Spin = nullptr;
};

} // namespace

TEST_F(SpinRules, CharacterCheckPerTypeAndPrecision)
{
    struct Case {
        TPsgSpinType Type;
        int Precision;
        bool EditorEnabled;
        const char* Text;
        int SelStart;
        int SelLength;
        char Key;
        bool Accepted;
    };
    const Case cases[] = {
        {sptNormal, 0, true, "12", 2, 0, '5', true},
        {sptNormal, 0, true, "12", 2, 0, 'a', false},
        {sptNormal, 0, true, "12", 2, 0, '.', false},          // decimal separator
        {sptNormal, 0, true, "12", 2, 0, '/', false},          // date separator
        {sptNormal, 0, true, "12", 2, 0, ':', false},          // time separator
        {sptNormal, 0, true, "12", 0, 0, '-', true},
        {sptNormal, 0, true, "12", 1, 0, '-', false},          // not at position 0
        {sptNormal, 0, true, "-12", 0, 0, '-', false},         // a second '-'
        {sptNormal, 0, true, "-12", 0, 1, '-', true},          // replaces the selected '-'
        {sptNormal, 0, true, "12", 2, 0, '\r', false},         // Enter
        {sptFloat, 0, true, "12", 2, 0, '\n', false},          // Ctrl+Enter
        {sptNormal, 0, true, "12", 2, 0, '\x03', true},        // Ctrl+C
        {sptNormal, 0, true, "12", 2, 0, '\b', true},          // Backspace
        {sptNormal, 0, false, "12", 2, 0, '\b', false},
        {sptNormal, 0, false, "12", 2, 0, '5', false},
        {sptNormal, 0, false, "12", 2, 0, '\x03', true},
        {sptFloat, 0, true, "1", 1, 0, '.', true},
        {sptFloat, 0, true, "1.5", 3, 0, '.', false},          // one decimal separator
        {sptFloat, 0, true, "1.5", 0, 3, '.', true},           // ... unless selected
        {sptFloat, 0, true, "1", 1, 0, ',', false},            // thousand separator
        {sptFloat, 0, true, "1.5", 3, 0, '7', true},
        {sptFloat, 2, true, "1.23", 4, 0, '4', false},         // third decimal digit
        {sptFloat, 2, true, "1.23", 0, 0, '4', true},          // before the separator
        {sptFloat, 2, true, "1.23", 3, 1, '4', true},          // with a selection
        {sptFloat, 2, true, "1.2", 3, 0, '4', true},
        {sptFloat, 2, true, "1.23", 4, 0, '\b', true},
        {sptDate, 0, true, "1/2", 3, 0, '/', true},
        {sptDate, 0, true, "1/2", 3, 0, ':', false},
        {sptTime, 0, true, "10:2", 4, 0, ':', true},
        {sptTime, 0, true, "10:20:3", 7, 0, ':', false},       // a third time separator
        {sptTime, 0, true, "10", 2, 0, '/', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("type ") + std::to_string(c.Type) + " precision " + std::to_string(c.Precision) +
                     " text \"" + c.Text + "\" caret " + std::to_string(c.SelStart) + "+" +
                     std::to_string(c.SelLength) + " key " + std::to_string(static_cast<int>(c.Key)));
        Spin->SetSpinType(c.Type);
        Spin->SetPrecision(c.Precision);
        Spin->SetEditorEnabled(c.EditorEnabled);
        Put(c.Text, c.SelStart, c.SelLength);
        EXPECT_EQ(Spin->IsValidChar(c.Key), c.Accepted);
    }
}

TEST_F(SpinRules, SeparatorsFollowTheLocale)
{
    UseFormats(true);   // "," decimal, "." thousand and date separator
    Spin->SetSpinType(sptFloat);
    Put("1", 1);
    EXPECT_TRUE(Spin->IsValidChar(','));
    EXPECT_FALSE(Spin->IsValidChar('.')) << "the thousand separator";
    Spin->SetSpinType(sptNormal);
    Put("1", 1);
    EXPECT_FALSE(Spin->IsValidChar(','));
    EXPECT_FALSE(Spin->IsValidChar('.'));
}

TEST_F(SpinRules, IntegerAndFloatSteppingClamps)
{
    Spin->SetSpinType(sptNormal);
    Spin->MinValue = 0;
    Spin->MaxValue = 10;
    Spin->Increment = 3;
    Spin->SetValue(8);
    Spin->StepUp(false);
    EXPECT_EQ(Spin->Text(), "10") << "clamped to MaxValue";
    Spin->SetValue(2);
    Spin->StepDown(true);
    EXPECT_EQ(Spin->Value(), 0) << "the page flag makes no difference; clamped to MinValue";
    Spin->MinValue = Spin->MaxValue = 5;
    Spin->SetValue(-40);
    EXPECT_EQ(Spin->Value(), -40) << "equal limits clamp nothing";
    Spin->SetText("abc");
    EXPECT_EQ(Spin->Value(), 5) << "text that does not convert reads as MinValue";

    Spin->SetSpinType(sptFloat);
    Spin->SetPrecision(2);
    Spin->SetFloatValue(1.23456);
    EXPECT_EQ(Spin->Text(), "1.23");
    Spin->StepUp(true);
    EXPECT_EQ(Spin->Text(), "2.23") << "PgUp steps by 1";
    Spin->StepUp(false);
    EXPECT_EQ(Spin->Text(), "2.33") << "Up steps by IncrementFloat";
    Spin->SetFloatValue(150);
    EXPECT_EQ(Spin->Text(), "100.00");
    Spin->SetPrecision(0);
    Spin->SetFloatValue(2.5);
    EXPECT_EQ(Spin->Text(), "2.5") << "general form without precision";
    Spin->SetText("x");
    EXPECT_EQ(Spin->FloatValue(), 0.0);
}

TEST_F(SpinRules, DateStepsTheFieldUnderTheCaret)
{
    struct Case {
        bool DayFirst;
        int Caret;
        bool Up;
        const char* Start;   // y-m-d
        const char* Expected;
    };
    const Case cases[] = {
        // month-first "M/d/yyyy": 1/31/2008 has fields at 0..1, 2..4, 5..
        {false, 0, true, "2008-01-31", "2008-02-29"},   // month, day clipped
        {false, 1, true, "2008-01-31", "2008-02-29"},   // caret before the separator
        {false, 3, true, "2008-01-31", "2008-02-01"},   // day
        {false, 7, true, "2008-01-31", "2009-01-31"},   // year
        {false, 0, false, "2008-01-31", "2007-12-31"},
        // day-first "dd.MM.yyyy": 31.01.2008
        {true, 0, true, "2008-01-31", "2008-02-01"},    // day
        {true, 4, true, "2008-01-31", "2008-02-29"},    // month: last day of February
        {true, 8, false, "2008-01-31", "2007-01-31"},   // year
        // a year step from 29 February lands on 28 February
        {true, 8, true, "2008-02-29", "2009-02-28"},
        {false, 7, false, "2008-02-29", "2007-02-28"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.DayFirst ? "day-first " : "month-first ") + c.Start + " caret " +
                     std::to_string(c.Caret) + (c.Up ? " up" : " down"));
        UseFormats(c.DayFirst);
        Spin->SetSpinType(sptDate);
        int y, m, d;
        std::sscanf(c.Start, "%d-%d-%d", &y, &m, &d);
        Spin->SetDateValue(Date(y, m, d));
        Spin->SetSelStart(c.Caret);
        if (c.Up)
            Spin->StepUp(false);
        else
            Spin->StepDown(false);
        EXPECT_EQ(DateText(Spin->DateValue()), c.Expected) << "text " << Spin->Text();
        EXPECT_EQ(Spin->SelStart(), c.Caret) << "the caret stays in its field";
    }
}

TEST_F(SpinRules, DateRangeClampsWhenLimitsDiffer)
{
    Spin->SetSpinType(sptDate);
    Spin->MinDateValue = Date(2020, 1, 1);
    Spin->MaxDateValue = Date(2020, 12, 31);
    Spin->SetDateValue(Date(2021, 6, 1));
    EXPECT_EQ(DateText(Spin->DateValue()), "2020-12-31");
    Spin->SetSelStart(0);
    Spin->StepUp(false);
    EXPECT_EQ(DateText(Spin->DateValue()), "2020-12-31");
    Spin->SetText("no date");
    EXPECT_EQ(DateText(Spin->DateValue()), "2020-01-01") << "reads as MinDateValue";
}

TEST_F(SpinRules, TimeStepsAndWrapsAtMidnight)
{
    struct Case {
        const char* Start;
        int Caret;
        bool Up;
        const char* Expected;
    };
    const Case cases[] = {
        {"00:00:00", 0, false, "23:00:00"},
        {"00:00:00", 4, false, "23:59:00"},
        {"00:00:00", 7, false, "23:59:59"},
        {"05:30:00", 1, false, "04:30:00"},
        {"23:00:00", 0, true, "00:00:00"},
        {"10:59:59", 7, true, "11:00:00"},
        {"10:20:30", 3, true, "10:21:30"},
    };
    Spin->SetSpinType(sptTime);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Start) + " caret " + std::to_string(c.Caret) + (c.Up ? " up" : " down"));
        Spin->SetText(c.Start);
        Spin->SetSelStart(c.Caret);
        if (c.Up)
            Spin->StepUp(false);
        else
            Spin->StepDown(false);
        EXPECT_EQ(Spin->Text(), c.Expected);
    }
    Spin->SetText("nonsense");
    EXPECT_EQ(Spin->TimeValue(), 0.0) << "a time that does not convert reads as 0";
}

TEST_F(SpinRules, ReadOnlyStepsNothing)
{
    Spin->SetValue(4);
    Spin->SetReadOnly(true);
    Spin->StepUp(false);
    EXPECT_EQ(Spin->Value(), 4);
}

TEST_F(SpinRules, FormattingRectangleLeavesRoomForTheButton)
{
    for (TBorderStyle border : {bsSingle, bsNone}) {
        SCOPED_TRACE(border == bsNone ? "bsNone" : "bsSingle");
        Spin->SetBorderStyle(border);
        Spin->SetBounds(10, 10, 120, 30);
        gui::Settle();
        const TRect r = Spin->FormattingRect();
        const int inset = border == bsNone ? 1 : 0;
        EXPECT_EQ(r.left, inset);
        EXPECT_EQ(r.top, inset);
        EXPECT_EQ(r.right, Spin->ClientWidth() - Spin->Button()->Width() - 2 - inset);
        EXPECT_EQ(r.bottom, Spin->ClientHeight() + 1);
        // The edit reports the rectangle inside its own text margins.
        RECT shown{};
        SendMessageW(Spin->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_LE(shown.right, r.right);
        EXPECT_GT(shown.right, r.right - 8);
        const int k = border == bsNone ? 1 : 5;
        EXPECT_EQ(Spin->Button()->Left(), Spin->Width() - Spin->Button()->Width() - k);
        EXPECT_EQ(Spin->Button()->Height(), Spin->Height() - k);
    }
}

TEST_F(SpinRules, HeightNeverBelowTheMinimum)
{
    const int minimum = Spin->GetMinHeight();
    EXPECT_GT(minimum, 10);
    Spin->SetHeight(5);
    EXPECT_EQ(Spin->Height(), minimum);
}
