// Check boxes and radio buttons: the three-state cycle of clicks, OnClick
// on every state change (also from code), and exclusive radio groups.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/CheckBox.h"
#include "framework/GroupBox.h"
#include "framework/RadioButton.h"

namespace {

class ButtonControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 300, 200);
    }
    void TearDown() override { delete Form; }

    TCheckBox* NewCheckBox(bool AllowGrayed)
    {
        auto* box = new TCheckBox(Form);
        box->SetParent(Form);
        box->AllowGrayed = AllowGrayed;
        box->OnClick = [this, box](TObject* Sender) {
            EXPECT_EQ(Sender, box);
            Clicks.push_back(box->State());
        };
        return box;
    }

    // The check state the window shows.
    static TCheckBoxState WindowState(TCheckBox* Box)
    {
        const LRESULT s = SendMessageW(Box->Handle(), BM_GETCHECK, 0, 0);
        return s == BST_CHECKED ? cbChecked : s == BST_INDETERMINATE ? cbGrayed : cbUnchecked;
    }

    TForm* Form = nullptr;
    std::vector<TCheckBoxState> Clicks;
};

} // namespace

TEST_F(ButtonControls, ClicksCycleTheStates)
{
    struct Case {
        const char* Name;
        bool AllowGrayed;
        std::vector<TCheckBoxState> Cycle;
    };
    for (const Case& c : {Case{"two states", false, {cbChecked, cbUnchecked, cbChecked}},
                          Case{"three states", true, {cbChecked, cbGrayed, cbUnchecked, cbChecked}}}) {
        SCOPED_TRACE(c.Name);
        Clicks.clear();
        TCheckBox* box = NewCheckBox(c.AllowGrayed);
        Form->Show();
        for (std::size_t i = 0; i < c.Cycle.size(); ++i) {
            SCOPED_TRACE("click " + std::to_string(i + 1));
            gui::Click(box);
            EXPECT_EQ(box->State(), c.Cycle[i]);
            EXPECT_EQ(WindowState(box), c.Cycle[i]);
        }
        EXPECT_EQ(Clicks, c.Cycle) << "one OnClick per click, seeing the new state";
        delete box;
    }
}

TEST_F(ButtonControls, StateSetByCodeFiresOnClickOnlyOnChange)
{
    TCheckBox* box = NewCheckBox(true);
    // Before the window exists, and after.
    box->SetState(cbGrayed);
    EXPECT_EQ(Clicks, std::vector<TCheckBoxState>{cbGrayed});
    Form->Show();
    EXPECT_EQ(WindowState(box), cbGrayed) << "the new window takes the state";
    box->SetState(cbGrayed);
    EXPECT_EQ(Clicks.size(), 1u) << "no change, no event";
    box->SetChecked(true);
    box->SetChecked(false);
    EXPECT_EQ(Clicks, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(WindowState(box), cbUnchecked);
}

TEST_F(ButtonControls, RadioButtonsOfOneParentAreExclusive)
{
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    TRadioButton* radios[3];
    std::vector<int> clicked;
    for (int i = 0; i < 3; ++i) {
        radios[i] = new TRadioButton(Form);
        radios[i]->SetParent(i < 2 ? static_cast<TWinControl*>(group) : Form);
        radios[i]->SetTop(20 * i + 15);
        radios[i]->OnClick = [&clicked, i](TObject*) { clicked.push_back(i); };
    }
    radios[2]->SetChecked(true);   // another parent: not in the group
    radios[0]->SetChecked(true);
    Form->Show();
    gui::Click(radios[1]);
    EXPECT_FALSE(radios[0]->Checked());
    EXPECT_TRUE(radios[1]->Checked());
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_EQ(SendMessageW(radios[0]->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(radios[1]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(clicked, (std::vector<int>{2, 0, 1})) << "OnClick when a button becomes checked";
    gui::Click(radios[1]);
    EXPECT_EQ(clicked.size(), 3u) << "clicking the checked button changes nothing";
}
