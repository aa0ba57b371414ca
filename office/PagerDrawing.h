#pragma once
// Caption fitting of the pager's tabs.

#include "framework/Graphics.h"
#include "office/ProOfficePager.h"

// The caption shortened until it fits R (its width, or its height for left
// and right tabs), measured with the canvas's font: a caption that fits
// comes back unchanged, else the longest prefix that fits together with
// "..." (when Ellipsis is set) followed by that suffix. Characters are
// removed whole, so a double-byte character is never cut in half.
String FitCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TTabPosition Position, bool Ellipsis);
WideString FitCaption(TCanvas* Canvas, const WideString& Caption, const TRect& R, TTabPosition Position, bool Ellipsis);
