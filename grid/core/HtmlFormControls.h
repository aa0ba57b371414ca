#pragma once
// Form controls embedded in mini-HTML text (edit, password, mask, combo box,
// check box, radio button, push button): their size on a line, their hot
// state and their drawing, themed when visual styles are active and with the
// platform's frame controls otherwise. The renderer places them; the tags
// are read by ParseHtmlControlTag.

#include "framework/Graphics.h"
#include "grid/core/HtmlTextRoutines.h"

// Width and height a control takes on a line and for hit testing. Valid is
// false for a tag whose WIDTH does not read as an integer or whose TYPE is
// unknown: such a control is neither drawn nor hit.
struct THtmlControlSize {
    bool Valid = false;
    int Width = 0;
    int Height = 0;
};
THtmlControlSize HtmlControlSize(TCanvas* Canvas, const THtmlControlTag& Tag);

// True for a combo box or push button whose hot zone (its box moved 2
// pixels up and left) holds the point strictly inside.
bool HtmlControlHot(const THtmlControlTag& Tag, const THtmlControlSize& Size, int X, int Bottom, int HitX, int HitY);

// Draws the control at X on a line whose drawing bottom is Bottom and whose
// height so far is LineHeight. Pressed draws a hot push button pushed. The
// canvas's pen and brush are as they were on return.
void DrawHtmlControl(TCanvas* Canvas, const THtmlControlTag& Tag, const THtmlControlSize& Size, int X, int Bottom,
                     int LineHeight, bool Themed, HWND Window, bool Hot, bool Pressed);
