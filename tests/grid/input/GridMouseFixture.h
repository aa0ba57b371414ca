#pragma once
// A grid on a shown form, driven by the real pointer: each mouse message is
// posted at a client point with the cursor placed there first, and run
// through the message loop.

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "grid/core/ProGrid.h"
#include "tests/support/GuiHarness.h"

template <class TGrid = TProStringGrid>
class GridMouseFixture : public ::testing::Test {
protected:
    // A form of FormW x FormH with the grid at (8, 8), GridW x GridH.
    void MakeGrid(int FormW, int FormH, int GridW, int GridH)
    {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, FormW, FormH);
        G = new TGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, GridW, GridH);
    }
    void ShowForm()
    {
        Form->Show();
        gui::Settle();
    }
    void TearDown() override { delete Form; }

    void Post(UINT Msg, WPARAM W, TPoint P)
    {
        const TPoint S = G->ClientToScreen(P);
        SetCursorPos(S.x, S.y);
        PostMessageW(G->Handle(), Msg, W, MAKELPARAM(P.x, P.y));
        gui::Settle();
    }
    TPoint Middle(int ACol, int ARow)
    {
        const TRect R = G->CellRect(ACol, ARow);
        return TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
    }

    TForm* Form = nullptr;
    TGrid* G = nullptr;
};
