// The grid among the accelerators of its form: what is typed into the grid
// or into any of its editors stays there, Alt+letter reaches the form's
// controls whether the grid or one of its editors has the focus, and the
// grid offers no accelerator to the controls placed on it.

#include <string>

#include <gtest/gtest.h>

#include "tests/grid/editing/EditFixture.h"
#include "tests/support/AccelSink.h"
#include "tests/support/GuiHarness.h"

namespace {

// The editing form with a panel beside the grid that takes the letter 'x'.
struct AccelFixture : EditFixture {
    TAccelSink* Sink = nullptr;

    AccelFixture()
    {
        Form->SetHeight(320);
        Sink = new TAccelSink(Form, L"x", TRect{8, 260, 28, 280});
        gui::Settle();
    }
};

} // namespace

TEST(GridAccelerators, TypingIntoEveryEditorIsNoAccelerator)
{
    const TEditorType Types[] = {edNormal,    edSpinEdit,     edComboEdit,    edComboList,   edEditBtn,
                                 edDateEdit,  edTimeEdit,     edDateTimeEdit, edRichEdit,    edNumeric,
                                 edUniEdit,   edUniComboEdit, edUniComboList, edUniMemo,     edUniEditBtn,
                                 edUnitEditBtn, edFloatSpinEdit};
    for (TEditorType T : Types) {
        AccelFixture F;
        F.Type = T;
        F.G->FocusCell(1, 1, true);
        gui::PressKey(VK_F2);
        ASSERT_TRUE(F.EditorFocused()) << "type " << T;
        gui::TypeText("x1");
        EXPECT_EQ(F.Sink->Offered, L"") << "type " << T;
        EXPECT_TRUE(F.EditorFocused()) << "type " << T;
    }
}

// A letter typed into the grid opens its editor with that letter; Alt+letter
// is the form's, from the grid and from its open editor alike. A control
// placed on the grid is offered none.
TEST(GridAccelerators, AltLettersPassTheGridAndItsEditor)
{
    AccelFixture F;
    auto* OnGrid = new TAccelSink(F.G, L"x", TRect{400, 200, 420, 220});
    F.G->FocusCell(1, 1, true);
    gui::Settle();
    ASSERT_TRUE(F.G->Focused());
    gui::PressAltKey('X');
    EXPECT_EQ(F.Sink->Offered, L"x") << "from the grid";
    EXPECT_EQ(OnGrid->Offered, L"");
    EXPECT_FALSE(F.EditorFocused());

    gui::TypeText("x");
    ASSERT_TRUE(F.EditorFocused()) << "the letter opened the editor";
    EXPECT_EQ(F.Sink->Offered, L"x");
    gui::PressAltKey('X');
    EXPECT_EQ(F.Sink->Offered, L"xx") << "from the editor";
    gui::PressKey(VK_RETURN);
    EXPECT_EQ(F.G->GetCellTextRaw(1, 1), "x");
}
