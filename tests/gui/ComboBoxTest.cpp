// Combo boxes: the editable text against the list selection, ItemIndex -1,
// the events of a user's choice, and items kept across window re-creation.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/ComboBox.h"

namespace {

class ComboBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(80, 80, 300, 200);
        Combo = new TComboBox(Form);
        Combo->SetParent(Form);
        for (const char* item : {"1200", "9600", "串口"})
            Combo->Items()->Add(item);
    }
    void TearDown() override { delete Form; }

    // Chooses an item as the user does: select it and tell the parent.
    void UserSelects(int Index)
    {
        SendMessageW(Combo->Handle(), CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
        SendMessageW(Form->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Combo->Handle()));
    }

    TForm* Form = nullptr;
    TComboBox* Combo = nullptr;
};

} // namespace

TEST_F(ComboBoxes, ItemIndexAndTextAgreeInBothStyles)
{
    for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
        SCOPED_TRACE(style == csDropDown ? "csDropDown" : "csDropDownList");
        Combo->SetStyle(style);
        for (bool withWindow : {false, true}) {
            SCOPED_TRACE(withWindow ? "with window" : "before the window");
            if (withWindow)
                Form->Show();
            Combo->SetItemIndex(2);
            EXPECT_EQ(Combo->Text(), String("串口"));
            Combo->SetItemIndex(-1);
            EXPECT_EQ(Combo->ItemIndex(), -1);
            EXPECT_EQ(Combo->Text(), "") << "ItemIndex -1 clears the text";
            Combo->SetText("9600");
            EXPECT_EQ(Combo->ItemIndex(), 1) << "text of an item selects it";
            Combo->SetText("COM12");
            EXPECT_EQ(Combo->ItemIndex(), -1);
            EXPECT_EQ(Combo->Text(), style == csDropDown ? "COM12" : "")
                << "only an editable box holds text that is not an item";
        }
        Form->Hide();
    }
}

TEST_F(ComboBoxes, ChoosingAnItemFiresSelectThenChangeWithTheNewText)
{
    std::vector<std::string> events;
    Combo->OnSelect = [&](TObject*) { events.push_back("select " + Combo->Text()); };
    Combo->OnChange = [&](TObject*) { events.push_back("change " + Combo->Text()); };
    Form->Show();
    Combo->SetItemIndex(0);
    EXPECT_TRUE(events.empty()) << "a change by code fires nothing";
    UserSelects(2);
    EXPECT_EQ(events, (std::vector<std::string>{"select 串口", "change 串口"}));
}

TEST_F(ComboBoxes, TypingIntoTheEditableBoxFiresChange)
{
    int changes = 0;
    Combo->OnChange = [&](TObject*) { ++changes; };
    Form->Show();
    Combo->SetFocus();
    gui::TypeText("Com5");
    EXPECT_EQ(Combo->Text(), "Com5");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(ComboBoxes, ItemsAndSelectionSurviveWindowRecreation)
{
    Form->Show();
    Combo->SetItemIndex(1);
    Combo->SetStyle(csDropDownList);   // re-creates the window
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->Text(), "9600");
    Combo->Items()->Delete(0);
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 2);
    Combo->Items()->Clear();
    EXPECT_EQ(SendMessageW(Combo->Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Combo->ItemIndex(), -1);
}
