#pragma once
// Drag scrolling settings of the grid (its DragScrollOptions property): how
// near the edges a drag scrolls the grid and how fast.

#include <memory>

#include "framework/Object.h"

class TDragScrollDelays : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    int InitialDelay = 1000;
    int RepeatDelay = 250;
};

class TDragScrollMargins : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    int TopMargin = 50;
    int BottomMargin = 50;
    int LeftMargin = 50;
    int RightMargin = 50;
};

class TDragScrollOptions : public TPersistent {
public:
    TDragScrollOptions();
    ~TDragScrollOptions() override;

    // Margins, then Delays, then Active, from another TDragScrollOptions.
    void Assign(const TPersistent* Source) override;

    bool Active = false;
    TDragScrollDelays* Delays() const { return FDelays.get(); }
    TDragScrollMargins* Margins() const { return FMargins.get(); }

private:
    std::unique_ptr<TDragScrollDelays> FDelays;
    std::unique_ptr<TDragScrollMargins> FMargins;
};
