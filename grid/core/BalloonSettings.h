#pragma once
// The settings of the grid's balloon tooltips: a common-controls tooltip in
// balloon style whose text, title and icon the grid gives each time it shows.

#include <functional>

#include "framework/Graphics.h"

// The events of the grid's hints and balloons.
using TAnchorHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, String& Anchor)>;
using TGridBalloonEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, String& ATitle, String& AText, int& AIcon)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, double ADateTime)>;

// A cell's balloon text: tabs become blanks, leading tabs and line breaks
// go, and a text over 1024 characters keeps 1021 and "...".
String BalloonText(const String& Text);
// A title over 100 characters keeps 97 and "...".
String BalloonTitle(const String& Title);

class TBalloonSettings : public TPersistent {
public:
    // Copies TextColor, BackgroundColor, the three delays and Enable (not
    // Transparency, and without firing OnEnableChange).
    void Assign(const TPersistent* Source) override;

    bool Enable() const { return FEnable; }
    // Stores the value and fires OnEnableChange.
    void SetEnable(bool Value);
    TColor TextColor = clNone;         // clNone: the system's
    TColor BackgroundColor = clNone;   // clNone: the system's
    int InitialDelay = -1;             // milliseconds; -1: the system's
    int ReshowDelay = -1;
    int AutoHideDelay = -1;
    // 0 opaque; otherwise the window's alpha is 255 - Transparency.
    Byte Transparency = 0;
    TNotifyEvent OnEnableChange;

private:
    bool FEnable = false;
};
