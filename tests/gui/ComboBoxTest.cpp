// Combo boxes: the editable text against the list selection, ItemIndex -1,
// the events of a user's choice, items kept across window re-creation, and
// the height of the open list.
#include <gtest/gtest.h>

#include <memory>

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
        for (bool withWindow : {false, true}) {
            SCOPED_TRACE(withWindow ? "with window" : "before the window");
            // A form of its own, so that no window is left from another case.
            const auto form = std::make_unique<TForm>(nullptr);
            auto* combo = new TComboBox(form.get());
            combo->SetParent(form.get());
            for (const char* item : {"1200", "9600", "串口"})
                combo->Items()->Add(item);
            combo->SetStyle(style);
            if (withWindow)
                form->Show();
            combo->SetItemIndex(2);
            EXPECT_EQ(combo->Text(), String("串口"));
            combo->SetItemIndex(-1);
            EXPECT_EQ(combo->ItemIndex(), -1);
            EXPECT_EQ(combo->Text(), "") << "ItemIndex -1 clears the text";
            combo->SetText("9600");
            EXPECT_EQ(combo->ItemIndex(), 1) << "text of an item selects it";
            combo->SetText("COM12");
            EXPECT_EQ(combo->ItemIndex(), -1);
            EXPECT_EQ(combo->Text(), style == csDropDown ? "COM12" : "")
                << "only an editable box holds text that is not an item";
            EXPECT_EQ(combo->HandleAllocated(), withWindow);
        }
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

TEST_F(ComboBoxes, TheOpenListFitsItemsAddedAfterTheWindowWasMade)
{
    // The fixture's box has its items before its window; this one gets the
    // same items after.
    auto* later = new TComboBox(Form);
    later->SetParent(Form);
    later->SetTop(40);
    Form->Show();
    auto listHeight = [](TComboBox* Box) {
        RECT r{};
        SendMessageW(Box->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r.bottom - r.top;
    };
    const int empty = listHeight(later);
    for (const char* item : {"1200", "9600", "串口"})
        later->Items()->Add(item);
    EXPECT_EQ(listHeight(later), listHeight(Combo));
    EXPECT_GT(listHeight(later), empty);
    later->Items()->Clear();
    EXPECT_EQ(listHeight(later), empty);
}
