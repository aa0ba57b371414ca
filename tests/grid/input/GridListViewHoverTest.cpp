// The list view look's headers under the real pointer, with a theme whose
// header backgrounds show the drawn state as a colour: the header under the
// pointer is hot, the pressed one pressed, and none once the pointer left.

#include <gtest/gtest.h>

#include <vector>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "grid/core/ProGrid.h"
#include "tests/grid/input/GridMouseFixture.h"
#include "tests/grid/input/headertheme/HeaderThemeColours.h"
#include "tests/support/GuiHarness.h"
#include "visuals/ProXPVS.h"

namespace {

const COLORREF Normal = HeaderThemeColour(1);
const COLORREF Hot = HeaderThemeColour(2);
const COLORREF Pressed = HeaderThemeColour(3);

class GridListViewHover : public GridMouseFixture<> {
protected:
    void SetUp() override
    {
        UnloadThemeLibrary();
        const WideString Path = StrToWide(Application->ExePath() + "HeaderTheme.dll");
        LoadThemeLibraryFrom(Path.c_str());
        ASSERT_TRUE(ThemesAvailable()) << "HeaderTheme.dll beside the test executable";
        MakeGrid(600, 360, 500, 300);
        G->SetColCount(6);
        G->SetRowCount(6);
        G->SetDefaultColWidth(70);
        G->SetLook(glListView);
        // The pointer away from the form, wherever the last test left it.
        SetCursorPos(2, 2);
        ShowForm();
        ASSERT_TRUE(G->Themed());
    }
    void TearDown() override
    {
        GridMouseFixture::TearDown();
        UnloadThemeLibrary();
        LoadThemeLibrary();
    }
    // The colour in the middle of each of the cells, as on screen.
    std::vector<COLORREF> Headers(const std::vector<TGridCoord>& Cells)
    {
        auto B = gui::CaptureControl(G);
        std::vector<COLORREF> Out;
        for (const TGridCoord& C : Cells) {
            const TPoint M = Middle(C.X, C.Y);
            Out.push_back(gui::PixelAt(B.get(), M.x, M.y));
        }
        return Out;
    }
};

TEST_F(GridListViewHover, HeaderUnderThePointerIsHotUntilItLeaves)
{
    const std::vector<TGridCoord> Cells{{2, 0}, {4, 0}, {0, 3}};
    using V = std::vector<COLORREF>;
    EXPECT_EQ(Headers(Cells), (V{Normal, Normal, Normal})) << "before the pointer came";
    Post(WM_MOUSEMOVE, 0, Middle(2, 0));
    EXPECT_EQ(Headers(Cells), (V{Hot, Normal, Normal})) << "over a column header";
    gui::SaveScreenshot(Form, Application->ExePath() + "listview-hot-header.png");
    Post(WM_MOUSEMOVE, 0, Middle(0, 3));
    EXPECT_EQ(Headers(Cells), (V{Normal, Normal, Hot})) << "over a row header";
    Post(WM_MOUSEMOVE, 0, Middle(3, 3));
    EXPECT_EQ(Headers(Cells), (V{Normal, Normal, Normal})) << "over a normal cell";

    // A held header is drawn pressed when hovered headers have a pressed
    // look: a hovered column header with a pressed colour, not a row header.
    const auto Hold = [&](TGridCoord C) {
        Post(WM_MOUSEMOVE, 0, Middle(C.X, C.Y));
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Middle(C.X, C.Y));
        const V Held = Headers(Cells);
        Post(WM_LBUTTONUP, 0, Middle(C.X, C.Y));
        return Held;
    };
    EXPECT_EQ(Hold({4, 0}), (V{Normal, Hot, Normal})) << "held without a pressed look";
    G->HoverFixedCells = hfAll;
    G->ControlLook()->SetGradientColor(TFixedGradientSlot::DownFrom, clRed);
    EXPECT_EQ(Hold({4, 0}), (V{Normal, Pressed, Normal})) << "held column header";
    EXPECT_EQ(Headers(Cells), (V{Normal, Hot, Normal})) << "released";
    EXPECT_EQ(Hold({0, 3}), (V{Normal, Normal, Hot})) << "held row header";
    Post(WM_MOUSEMOVE, 0, Middle(4, 0));

    // The pointer goes out of the grid, onto the form: the system tells the
    // grid that it left.
    const TPoint Out = G->ClientToScreen(TPoint{-4, -4});
    SetCursorPos(Out.x, Out.y);
    gui::PumpUntil([&] { return Headers(Cells) == V{Normal, Normal, Normal}; }, 10000);
    EXPECT_EQ(Headers(Cells), (V{Normal, Normal, Normal})) << "after leaving";
}

} // namespace
