// The key/value table: rows from Strings, values read and written by key,
// editing a value in place (Enter stores, Esc drops), keys read-only.
#include <gtest/gtest.h>

#include "tests/support/GuiHarness.h"
#include "framework/Edit.h"
#include "framework/ValueListEditor.h"

namespace {

class ValueList : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetBounds(100, 100, 300, 200);
        Editor = new TValueListEditor(Form);
        Editor->SetParent(Form);
        Editor->SetBounds(10, 10, 170, 120);
        for (const char* key : {"设备名", "IP", "掩码", "网关", "工作端口"})
            Editor->SetValues(key, "");
        Form->Show();
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TValueListEditor* Editor = nullptr;
};

} // namespace

TEST_F(ValueList, RowsComeFromStringsByKey)
{
    EXPECT_EQ(Editor->RowCount(), 6) << "a title row and five data rows";
    EXPECT_EQ(Editor->Keys(1), String("设备名"));
    EXPECT_EQ(Editor->Keys(5), String("工作端口"));
    Editor->SetValues("掩码", "255.255.255.0");
    EXPECT_EQ(Editor->Values("掩码"), "255.255.255.0");
    EXPECT_EQ(Editor->Strings()->Strings(2), String("掩码=255.255.255.0"));
    Editor->SetValues("掩码", "");
    EXPECT_EQ(Editor->RowCount(), 6) << "blanking a value keeps its row";
    EXPECT_EQ(Editor->ColWidths(0), 56);
    EXPECT_EQ(Editor->ColWidths(1), 101);
}

TEST_F(ValueList, ValuesAreEditedInPlace)
{
    struct Case {
        const char* Name;
        Word Key;
        const char* Expected;
    };
    for (const Case& c : {Case{"Enter stores", VK_RETURN, "5000"}, Case{"Esc drops", VK_ESCAPE, "old"}}) {
        SCOPED_TRACE(c.Name);
        Editor->SetValues("工作端口", "old");
        // A click on the value of row 5.
        gui::ClickAt(Editor, Editor->ColWidths(0) + 10, 5 * Editor->DefaultRowHeight + 5);
        TEdit* edit = Editor->InplaceEditor();
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->Focused());
        EXPECT_EQ(edit->Text(), "old");
        SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
        gui::TypeText("5000");
        gui::PressKey(c.Key);
        EXPECT_EQ(Editor->InplaceEditor(), nullptr);
        EXPECT_EQ(Editor->Values("工作端口"), c.Expected);
    }
    // A click on a key opens nothing.
    gui::ClickAt(Editor, 10, 2 * Editor->DefaultRowHeight + 5);
    EXPECT_EQ(Editor->InplaceEditor(), nullptr);
}
