// The drop-down button of fixed cells, driven by the real pointer: where a
// press fires the drop-down event (and sorts nothing), the menu it shows and
// where, the pressed look of the button while its menu is open or the button
// is held, and a highlight kept by the event until the next press.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Menus.h"
#include "grid/core/GridSortSettings.h"
#include "grid/core/ProGrid.h"
#include "tests/grid/input/GridMouseFixture.h"
#include "tests/support/GuiHarness.h"

namespace {

constexpr TColor HoverColour = 0x0040C040;   // green
constexpr TColor DownColour = 0x004040C0;    // red
constexpr TColor DownBorder = 0x00800000;    // navy
constexpr TColor HoverBorder = 0x00008080;   // olive

struct DropDownCall {
    int Col;
    int Row;
    TPopupMenu* Menu;
    bool Keep;
};

class GridFixedDropDown : public GridMouseFixture<> {
protected:
    void SetUp() override
    {
        MakeGrid(620, 380, 580, 320);
        G->SetColCount(6);
        G->SetRowCount(8);
        G->SetDefaultColWidth(80);
        G->SetLook(glXP);
        G->HoverFixedCells = hfAll;
        G->ControlLook()->SetFixedDropDownButton(true);
        TControlLook* L = G->ControlLook();
        using S = TFixedGradientSlot;
        for (S Slot : {S::HoverFrom, S::HoverTo, S::HoverMirrorFrom, S::HoverMirrorTo})
            L->SetGradientColor(Slot, HoverColour);
        for (S Slot : {S::DownFrom, S::DownTo, S::DownMirrorFrom, S::DownMirrorTo})
            L->SetGradientColor(Slot, DownColour);
        L->SetGradientColor(S::HoverBorder, HoverBorder);
        L->SetGradientColor(S::DownBorder, DownBorder);
        G->OnFixedDropDownClick = [this](TObject*, int ACol, int ARow, TPopupMenu*& AMenu, bool& Keep) {
            Calls.push_back(DropDownCall{ACol, ARow, AMenu, Keep});
            if (SwapMenu)
                AMenu = SwapTo;
            Keep = KeepAnswer;
        };
        ShowForm();
    }

    void Click(TPoint P)
    {
        Post(WM_MOUSEMOVE, 0, P);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, P);
        Post(WM_LBUTTONUP, 0, P);
    }
    // A point DX pixels left of the cell's right edge, near its top.
    TPoint FromRight(int ACol, int ARow, int DX)
    {
        const TRect R = G->CellRect(ACol, ARow);
        return TPoint{R.right - DX, R.top + 4};
    }
    std::unique_ptr<TBitmap> PaintGrid()
    {
        auto B = std::make_unique<TBitmap>(G->ClientWidth(), G->ClientHeight());
        G->Perform(WM_PAINT, reinterpret_cast<WPARAM>(B->Canvas()->Handle()), 0);
        GdiFlush();
        return B;
    }

    std::vector<DropDownCall> Calls;
    bool SwapMenu = false;
    TPopupMenu* SwapTo = nullptr;
    bool KeepAnswer = false;
};

TEST_F(GridFixedDropDown, OnlyAPressOnTheButtonStripFiresTheEvent)
{
    G->SortSettings()->SetShow(true);
    std::vector<int> Sorted;
    G->OnClickSort = [&](TObject*, int ACol) { Sorted.push_back(ACol); };
    struct Case {
        const char* What;
        int Col, Row, DX;
        THoverFixedCells Hover;
        bool Button;
        bool Fires;
    };
    const Case Cases[] = {
        {"strip of a column header", 2, 0, 4, hfAll, true, true},
        {"first pixel of the strip", 3, 0, 15, hfAll, true, true},
        {"row header", 0, 5, 4, hfAll, true, true},
        {"just left of the strip", 2, 0, 17, hfAll, true, false},
        {"middle of the header", 2, 0, 40, hfAll, true, false},
        {"headers without the hover look", 2, 0, 4, hfFixedColumns, true, false},
        {"no drop-down button", 2, 0, 4, hfAll, false, false},
        {"normal cell", 2, 3, 4, hfAll, true, false},
    };
    for (const Case& C : Cases) {
        Calls.clear();
        Sorted.clear();
        G->HoverFixedCells = C.Hover;
        G->ControlLook()->SetFixedDropDownButton(C.Button);
        Click(FromRight(C.Col, C.Row, C.DX));
        if (C.Fires) {
            ASSERT_EQ(Calls.size(), 1u) << C.What;
            EXPECT_EQ(Calls[0].Col, C.Col) << C.What;
            EXPECT_EQ(Calls[0].Row, C.Row) << C.What;
            EXPECT_EQ(Calls[0].Menu, nullptr) << C.What;
            EXPECT_FALSE(Calls[0].Keep) << C.What;
            EXPECT_TRUE(Sorted.empty()) << C.What << ": the button does not sort";
        } else {
            EXPECT_TRUE(Calls.empty()) << C.What;
        }
    }
    // The press beside the strip on the header of column 2 sorted it.
    G->HoverFixedCells = hfAll;
    G->ControlLook()->SetFixedDropDownButton(true);
    Sorted.clear();
    Click(FromRight(2, 0, 40));
    EXPECT_EQ(Sorted, std::vector<int>{2});
}

TEST_F(GridFixedDropDown, MenuShowsBelowTheButtonWhileItIsDrawnPressed)
{
    auto* Menu = new TPopupMenu(Form);
    auto* Other = new TPopupMenu(Form);
    G->SetFixedDropDownMenu(Menu);
    const TRect R = G->CellRect(3, 0);
    std::vector<TPopupMenu*> Shown;
    std::vector<TPoint> At;
    COLORREF Strip = 0, Body = 0, Border = 0;
    int ArrowPixels = 0;
    gui::PopupMenuAnswers Answers([&](TPopupMenu* M, HMENU, int X, int Y) -> UINT {
        Shown.push_back(M);
        At.push_back(TPoint{X, Y});
        // What the grid shows while the menu is open.
        if (M == Menu)
            gui::SaveScreenshot(Form, Application->ExePath() + "fixed-dropdown-open.png");
        auto B = PaintGrid();
        Strip = gui::PixelAt(B.get(), R.right - 4, R.top + 2);
        Body = gui::PixelAt(B.get(), (R.left + R.right) / 2, (R.top + R.bottom) / 2);
        Border = gui::PixelAt(B.get(), R.right - 16, (R.top + R.bottom) / 2);
        ArrowPixels = gui::CountPixelsNot(B.get(), TRect{R.right - 12, R.top + 6, R.right - 3, R.top + 11},
                                          static_cast<COLORREF>(DownColour));
        return 0;
    });
    Click(FromRight(3, 0, 6));
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Menu, Menu);
    EXPECT_EQ(Menu->Tag, 3) << "the menu's tag is the column";
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], Menu);
    const TPoint Corner = G->ClientToScreen(TPoint{R.right - 16, R.bottom});
    EXPECT_EQ(At[0].x, Corner.x);
    EXPECT_EQ(At[0].y, Corner.y);
    EXPECT_EQ(Strip, static_cast<COLORREF>(DownColour)) << "the button pressed";
    EXPECT_EQ(Body, static_cast<COLORREF>(HoverColour)) << "the rest of the cell hovered";
    EXPECT_EQ(Border, static_cast<COLORREF>(DownBorder)) << "the separator";
    EXPECT_GT(ArrowPixels, 5) << "the drop-down arrow";

    // Once the menu closed the button is no longer drawn.
    auto After = PaintGrid();
    EXPECT_EQ(gui::PixelAt(After.get(), R.right - 4, R.top + 2), static_cast<COLORREF>(HoverColour));
    EXPECT_FALSE(G->FixedCellPushed);
    EXPECT_FALSE(G->FixedDropDownPushed);

    // The event's menu is the one shown; none shows nothing.
    SwapMenu = true;
    SwapTo = Other;
    Click(FromRight(3, 0, 6));
    ASSERT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Shown[1], Other);
    SwapTo = nullptr;
    Click(FromRight(3, 0, 6));
    EXPECT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Calls.size(), 3u);

    delete Menu;
    EXPECT_EQ(G->FixedDropDownMenu(), nullptr) << "a freed menu is forgotten";
}

TEST_F(GridFixedDropDown, ButtonWithoutMenuIsPressedUntilTheRelease)
{
    const TRect R = G->CellRect(2, 0);
    const TPoint P = FromRight(2, 0, 6);
    Post(WM_MOUSEMOVE, 0, P);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, P);
    ASSERT_EQ(Calls.size(), 1u);
    auto Held = gui::CaptureControl(G);
    EXPECT_EQ(gui::PixelAt(Held.get(), R.right - 4, R.top + 2), static_cast<COLORREF>(DownColour));
    EXPECT_EQ(gui::PixelAt(Held.get(), (R.left + R.right) / 2, R.bottom - 3), static_cast<COLORREF>(HoverColour));
    gui::SaveScreenshot(Form, Application->ExePath() + "fixed-dropdown-held.png");
    Post(WM_LBUTTONUP, 0, P);
    auto Up = gui::CaptureControl(G);
    EXPECT_EQ(gui::PixelAt(Up.get(), R.right - 4, R.top + 2), static_cast<COLORREF>(HoverColour));
    EXPECT_EQ(gui::PixelAt(Up.get(), (R.left + R.right) / 2, R.bottom - 3), static_cast<COLORREF>(HoverColour));
}

TEST_F(GridFixedDropDown, PressBesideTheButtonPressesTheRestOfTheHeader)
{
    const TRect R = G->CellRect(2, 0);
    const TPoint P = Middle(2, 0);
    Post(WM_MOUSEMOVE, 0, P);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, P);
    EXPECT_TRUE(Calls.empty());
    auto Held = gui::CaptureControl(G);
    EXPECT_EQ(gui::PixelAt(Held.get(), R.left + 10, R.bottom - 3), static_cast<COLORREF>(DownColour));
    EXPECT_EQ(gui::PixelAt(Held.get(), R.right - 4, R.top + 2), static_cast<COLORREF>(HoverColour));
    EXPECT_EQ(gui::PixelAt(Held.get(), R.right - 16, R.bottom - 3), static_cast<COLORREF>(HoverBorder))
        << "the separator in the border colour of the button's look";
    Post(WM_LBUTTONUP, 0, P);
    auto Up = gui::CaptureControl(G);
    EXPECT_EQ(gui::PixelAt(Up.get(), R.left + 10, R.bottom - 3), static_cast<COLORREF>(HoverColour));
}

TEST_F(GridFixedDropDown, BorderPressOnTheButtonStillSizesTheColumn)
{
    G->SetOptions(G->Options() | goColSizing);
    int Ended = -1;
    G->OnEndColumnSize = [&](TObject*, int ACol) { Ended = ACol; };
    const TRect R = G->CellRect(2, 0);
    const TPoint From{R.right - 1, R.top + 4};
    const TPoint To{R.right + 29, R.top + 4};
    Post(WM_MOUSEMOVE, 0, From);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, From);
    ASSERT_EQ(G->GridState(), gsColSizing);
    Post(WM_MOUSEMOVE, MK_LBUTTON, To);
    Post(WM_LBUTTONUP, 0, To);
    EXPECT_EQ(G->ColWidths(2), 110);
    EXPECT_EQ(Ended, 2) << "the sizing's end event names the sized column";
    EXPECT_FALSE(G->FixedDropDownPushed);
}

TEST_F(GridFixedDropDown, KeptHighlightHoldsUntilTheNextPress)
{
    KeepAnswer = true;
    Click(FromRight(2, 0, 6));
    ASSERT_EQ(Calls.size(), 1u);
    Post(WM_MOUSEMOVE, 0, Middle(4, 0));
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{2, 0})) << "kept on the drop-down's cell";
    Post(WM_MOUSELEAVE, 0, TPoint{-5, -5});
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{2, 0}));
    KeepAnswer = false;
    Click(Middle(4, 3));
    Post(WM_MOUSEMOVE, 0, Middle(4, 0));
    EXPECT_EQ(G->HoverFixedCell, (TGridCoord{4, 0})) << "the hover follows the pointer again";
}

} // namespace
