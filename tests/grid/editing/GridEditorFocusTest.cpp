// The grid and its cell editors count as one control for the form: when the
// focus goes from an open editor of any class to another control of the
// form, by a click or by Tab (the editors that end their edit on Tab hand
// the focus to the grid, and a second Tab leaves it), the grid is left once (its exit step runs,
// OnExit fires, the edit ends with the typed value kept), and coming back
// enters it once.

#include <gtest/gtest.h>

#include "framework/Codepage.h"
#include "framework/Edit.h"
#include "grid/interaction/LocaleFormats.h"
#include "grid/interaction/ProRichEdit.h"
#include "tests/grid/editing/EditFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

// The visible child windows of the grid (its open editors).
int VisibleEditors(TProStringGrid* G)
{
    int N = 0;
    for (HWND W = GetWindow(G->Handle(), GW_CHILD); W != nullptr; W = GetWindow(W, GW_HWNDNEXT))
        N += IsWindowVisible(W) ? 1 : 0;
    return N;
}

struct FocusCase {
    const char* Name;
    TEditorType Type;
    const char* Typed;     // typed after opening; nullptr types nothing
    bool Wide;             // the value is read as the cell's wide text
    bool TabLeaves;        // Tab takes the focus out of the editor
    bool StaysOpen;        // the editor stays shown until the grid has the focus again
};

TEST(GridEditorFocus, EveryEditorLeavesTheGridOnceByClickAndByTab)
{
    const FocusCase Cases[] = {
        {"default edit", edNormal, "7", false, true, false},
        {"spin edit", edSpinEdit, "7", false, true, false},
        {"combo edit", edComboEdit, "7", false, true, false},
        {"edit with button", edEditBtn, "7", false, true, false},
        {"unit edit", edUnitEditBtn, "7", false, true, false},
        {"check box", edCheckBox, nullptr, false, true, false},
        {"button", edButton, nullptr, false, true, false},
        {"date picker", edDateEdit, nullptr, false, true, false},
        {"date-time picker", edDateTimeEdit, nullptr, false, true, false},
        {"unicode edit", edUniEdit, "7", true, true, false},
        {"unicode edit with button", edUniEditBtn, "7", true, true, false},
        {"unicode memo", edUniMemo, "7", true, true, false},
        {"unicode combo", edUniComboEdit, "7", true, true, false},
        {"rich text", edRichEdit, "7", false, false, true},
    };
    for (const FocusCase& C : Cases) {
        for (const bool ByTab : {false, true}) {
            if (ByTab && !C.TabLeaves)
                continue;
            const std::string Name = std::string(C.Name) + (ByTab ? " by Tab" : " by click");
            EditFixture F;
            auto* Other = new TEdit(F.Form);
            Other->SetParent(F.Form);
            Other->SetBounds(8, 252, 100, 20);
            int Exits = 0;
            int Enters = 0;
            F.G->OnExit = [&Exits](TObject*) { ++Exits; };
            F.G->OnEnter = [&Enters](TObject*) { ++Enters; };
            F.Type = C.Type;
            F.G->WriteCellText(1, 1, "5");
            F.G->FocusCell(1, 1, true);
            gui::Settle();
            F.Key(VK_F2);
            if (!F.EditorFocused() && (C.Type == edDateEdit || C.Type == edDateTimeEdit)) {
                // Without the common controls' date picker no editor opens.
                continue;
            }
            ASSERT_TRUE(F.EditorFocused()) << Name;
            EXPECT_EQ(Exits, 0) << Name << ": the editor is part of the grid";
            if (C.Typed != nullptr) {
                SendMessageW(GetFocus(), EM_SETSEL, 0x7fff, 0x7fff);
                gui::TypeText(C.Typed);
            }

            if (ByTab) {
                // An editor that ends its edit on Tab hands the focus to the
                // grid first; the next Tab then leaves the grid.
                F.Key(VK_TAB);
                if (GetFocus() == F.G->Handle()) {
                    EXPECT_EQ(Exits, 0) << Name << ": the focus is still in the grid";
                    F.Key(VK_TAB);
                }
            } else {
                gui::Click(Other);
            }
            wchar_t FocusClass[64] = {};
            GetClassNameW(GetFocus(), FocusClass, 64);
            ASSERT_EQ(GetFocus(), Other->Handle()) << Name << ": the focus is in " << WideToStr(FocusClass)
                                                   << (GetParent(GetFocus()) == F.G->Handle() ? " of the grid" : "");
            EXPECT_EQ(Exits, 1) << Name << ": the grid was left once";
            EXPECT_FALSE(F.G->EditorMode()) << Name;
            if (!C.StaysOpen)
                EXPECT_EQ(VisibleEditors(F.G), 0) << Name << ": the edit ended";
            if (C.Typed != nullptr && !C.StaysOpen) {
                const String Cell = C.Wide ? WideToStr(F.G->ReadWideCellText(1, 1)) : F.G->GetCellTextRaw(1, 1);
                EXPECT_NE(Cell.find(C.Typed), String::npos) << Name << ": the typed value was kept, got " << Cell;
            }

            Enters = 0;
            gui::ClickAt(F.G, F.G->CellRect(2, 3).left + 5, F.G->CellRect(2, 3).top + 5);
            EXPECT_TRUE(F.G->Focused() || F.EditorFocused()) << Name;
            EXPECT_EQ(Enters, 1) << Name << ": the grid was entered once";
            EXPECT_EQ(Exits, 1) << Name;
            if (C.StaysOpen)
                EXPECT_NE(F.G->GetCellTextRaw(1, 1).find(C.Typed), String::npos) << Name;
        }
    }
}

} // namespace
