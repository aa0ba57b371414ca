// The editors that hook a window of their control take out only their own
// link: a link hooked on the same window after theirs keeps getting the
// window's messages, up to the window's end.

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "framework/Panel.h"
#include "framework/WindowHooks.h"
#include "grid/interaction/EditLink.h"
#include "grid/interaction/PsgUniControls.h"
#include "tests/grid/editing/EditFixture.h"
#include "tests/support/GuiHarness.h"
#include "tests/support/LiveMark.h"

namespace {

// An edit link whose control is a window of one of the framework's own
// classes, which nothing else has hooked.
class PanelLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TPanel* Panel = nullptr;
    TWinControl* GetEditControl() override { return Panel; }
    void CreateEditor(TWinControl* Parent) override
    {
        Panel = new TPanel(Parent);
        Panel->SetParent(Parent);
    }
    void GetEditorValue(String& Value) override { Value = Panel->Caption(); }
    void SetEditorValue(const String& Value) override { Panel->SetCaption(Value); }
};

HWND ComboField(HWND Combo)
{
    COMBOBOXINFO Info{};
    Info.cbSize = sizeof Info;
    return GetComboBoxInfo(Combo, &Info) ? Info.hwndItem : nullptr;
}

// What the test's own link on the window saw.
struct Seen {
    int Probes = 0;      // WM_NULL
    int NcDestroy = 0;
    int After = 0;       // messages after WM_NCDESTROY
    int Live = 0;        // copies of the link's mark alive: 0 once its procedure is freed
};

struct EditorCase {
    const char* Name;
    // Opens the editor in F; returns the window whose procedure it hooked.
    std::function<HWND(EditFixture& F)> Open;
    // Makes the editor take its link out of the window W.
    std::function<void(EditFixture& F, HWND W)> Remove;
    // The window outlives the removal (else it goes with it).
    bool WindowStays;
};

} // namespace

TEST(EditorHooks, AnEditorTakesOutOnlyItsOwnLink)
{
    int Pressed = 0;
    TPSGUniComboBox* Uni = nullptr;
    const EditorCase Cases[] = {
        {"edit link, at the end of the edit",
         [](EditFixture& F) {
             F.Type = edCustom;
             auto* Link = new PanelLink(F.Form);
             F.G->SetEditLink(Link);
             F.G->SetOptions(F.G->Options() | goTabs);
             F.G->FocusCell(1, 1, true);
             F.Key(VK_F2);
             EXPECT_NE(SendMessageW(Link->Panel->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0)
                 << "the link's own handling runs";
             return Link->Panel->Handle();
         },
         [](EditFixture& F, HWND W) {
             F.G->EndCellEdit();
             EXPECT_EQ(SendMessageW(W, WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0) << "the link's own handling is out";
         },
         true},
        {"Unicode combo, when its window goes",
         [&](EditFixture& F) {
             Uni = new TPSGUniComboBox(F.Form);
             Uni->SetParent(F.Form);
             Uni->SetBounds(8, 250, 120, 24);
             Uni->OnKeyPress = [&](TObject*, char&) { ++Pressed; };
             const HWND Field = ComboField(Uni->Handle());
             SendMessageW(Field, WM_CHAR, 'x', 0);
             EXPECT_EQ(Pressed, 1) << "the combo box's own handling runs";
             return Field;
         },
         [&](EditFixture&, HWND) { Uni->DestroyHandle(); },
         false},
        {"in-place combo, freed with its grid",
         [](EditFixture& F) {
             F.Type = edComboEdit;
             F.G->FocusCell(1, 1, true);
             F.Key(VK_F2);
             const HWND Field = GetFocus();
             EXPECT_EQ(SendMessageW(Field, WM_GETDLGCODE, 0, 0),
                       DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL)
                 << "the combo box's own handling runs";
             return Field;
         },
         [](EditFixture& F, HWND) {
             delete F.Form;
             F.Form = nullptr;
         },
         false},
    };
    for (const EditorCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        EditFixture F;
        const HWND W = C.Open(F);
        ASSERT_TRUE(IsWindow(W));
        Seen S;
        TWindowHook Test = HookWndProc(W, [&S, Mark = LiveMark(S.Live)](TMessage& Message, const TCallPrevious& Previous) {
            if (S.NcDestroy > 0)
                ++S.After;
            if (Message.Msg == WM_NULL)
                ++S.Probes;
            if (Message.Msg == WM_NCDESTROY)
                ++S.NcDestroy;
            Previous(Message);
        });
        C.Remove(F, W);
        if (C.WindowStays) {
            ASSERT_TRUE(IsWindow(W));
            SendMessageW(W, WM_NULL, 0, 0);
            EXPECT_EQ(S.Probes, 1) << "the test's link was cut out";
            EXPECT_TRUE(Test.Installed());
            delete F.Form;
            F.Form = nullptr;
        }
        EXPECT_FALSE(IsWindow(W));
        EXPECT_EQ(S.NcDestroy, 1) << "the test's link did not see the window go";
        EXPECT_EQ(S.After, 0);
        EXPECT_EQ(S.Live, 0);
        EXPECT_FALSE(Test.Installed());
    }
}
