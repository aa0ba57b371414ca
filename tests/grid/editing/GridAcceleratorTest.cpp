// The grid among the accelerators of its form: what is typed into the grid
// or into any of its editors stays there, Alt+letter reaches the form's
// controls whether the grid or one of its editors has the focus, and the
// grid offers no accelerator to the controls placed on it.

#include <string>

#include <gtest/gtest.h>

#include "framework/ControlMessages.h"
#include "framework/Panel.h"
#include "grid/core/ProGrid.h"
#include "tests/support/GuiHarness.h"

namespace {

// A panel that is offered every accelerator of its form: it records each
// character and takes the letter 'x'.
class TAccelSink : public TPanel {
public:
    explicit TAccelSink(TWinControl* Parent) : TPanel(Parent)
    {
        SetParent(Parent);
        SetBounds(8, 260, 20, 20);
    }

    std::wstring Offered;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGCHAR) {
            Offered += static_cast<wchar_t>(Message.WParam);
            Message.Result = Message.WParam == L'x' ? 1 : 0;
            return;
        }
        TPanel::WndProc(Message);
    }
};

struct AccelFixture {
    TForm* Form = nullptr;
    TProStringGrid* G = nullptr;
    TAccelSink* Sink = nullptr;
    TEditorType Type = edNormal;

    AccelFixture()
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 520, 320);
        G = new TProStringGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 480, 240);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetDefaultColWidth(90);
        G->SetOptions(G->Options() | goEditing);
        G->OnGetEditorType = [this](TObject*, int, int, TEditorType& E) { E = Type; };
        Sink = new TAccelSink(Form);
        Form->Show();
        gui::Settle();
        G->SetFocus();
        gui::Settle();
    }
    ~AccelFixture()
    {
        delete Form;
        gui::Settle();
    }

    bool EditorFocused() const
    {
        const HWND F = GetFocus();
        return F != nullptr && F != G->Handle() && IsChild(G->Handle(), F);
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
    auto* OnGrid = new TAccelSink(F.G);
    OnGrid->SetBounds(400, 200, 20, 20);
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
