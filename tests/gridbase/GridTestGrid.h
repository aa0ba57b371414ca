#pragma once
// A string grid for tests: the protected hooks reachable, and the calls of
// the virtual hooks recorded.

#include <string>
#include <vector>

#include "framework/Grids.h"

class TTestGrid : public TStringGrid {
public:
    explicit TTestGrid(TComponent* AOwner = nullptr) : TStringGrid(AOwner) { SetBorderStyle(bsNone); }

    using TCustomGrid::CalcSizingState;
    using TCustomGrid::CanEditShow;
    using TCustomGrid::GetEditLimit;
    using TCustomGrid::DoExit;
    using TStringGrid::GetEditText;
    using TStringGrid::SetEditText;

    void Key(Word Key, TShiftState Shift = 0) { KeyDown(Key, Shift); }
    void Char(char Ch) { KeyPress(Ch); }
    void Down(int X, int Y, TShiftState Shift = 0) { MouseDown(mbLeft, Shift | ssLeft, X, Y); }
    void Move(int X, int Y) { MouseMove(ssLeft, X, Y); }
    void Up(int X, int Y) { MouseUp(mbLeft, 0, X, Y); }

    // Hook calls, in order: "top-left", "size 5x5", "widths", "heights".
    std::vector<std::string> Calls;
    // Cells SelectCell refuses.
    std::vector<TGridCoord> Refused;
    int SelectAsked = 0;

protected:
    bool SelectCell(int ACol, int ARow) override
    {
        ++SelectAsked;
        for (const TGridCoord& c : Refused)
            if (c.X == ACol && c.Y == ARow)
                return false;
        return TStringGrid::SelectCell(ACol, ARow);
    }
    void TopLeftChanged() override
    {
        Calls.push_back("top-left");
        TStringGrid::TopLeftChanged();
    }
    void SizeChanged(int OldColCount, int OldRowCount) override
    {
        Calls.push_back("size " + std::to_string(OldColCount) + "x" + std::to_string(OldRowCount));
        TStringGrid::SizeChanged(OldColCount, OldRowCount);
    }
    void ColWidthsChanged() override { Calls.push_back("widths"); }
    void RowHeightsChanged() override { Calls.push_back("heights"); }
};
