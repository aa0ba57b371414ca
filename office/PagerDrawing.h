#pragma once
// Caption fitting and drawing of the pager's tabs.

#include "framework/Graphics.h"
#include "framework/Control.h"
#include "office/ProOfficePager.h"
#include "visuals/ProGDIP.h"

// The caption shortened until it fits R (its width, or its height for left
// and right tabs), measured with the canvas's font: a caption that fits
// comes back unchanged, else the longest prefix that fits together with
// "..." (when Ellipsis is set) followed by that suffix. Characters are
// removed whole, so a double-byte character is never cut in half.
String FitCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TTabPosition Position, bool Ellipsis);
WideString FitCaption(TCanvas* Canvas, const WideString& Caption, const TRect& R, TTabPosition Position, bool Ellipsis);

// A caption drawn with a turned copy of the canvas font along R, centred
// across it: reading upwards from R's bottom, or downwards from its top.
// The returned rectangle's left and right edges are the text's.
TRect DrawTurnedTabText(TCanvas* Canvas, const TRect& R, bool Upwards, const WideString& Text);

// Draws a tab caption (Caption, or WideCaption when Caption is empty) into R
// and returns the rectangle the text takes; nothing happens for no caption
// (an empty rectangle comes back). With an AntiAlias other than aaNone the
// text goes through GDI+ in a regular-style font of Font's name (Arial when
// GDI+ has no family of that name) and size, centred across R, in Font's
// colour or grey when not Enabled; on tabs on the right it runs top to
// bottom. Without anti-aliasing, or when GDI+ can make neither font, GDI
// draws it as one line, vertically centred, 3 pixels in. With Draw and
// Ellipsis the caption is first shortened to fit, with "...". Without Draw
// only the rectangle is measured.
TRect DrawTabText(TCanvas* Canvas, TAlignment Alignment, const TRect& R, bool Ellipsis, TTabPosition Position,
                  TAntiAlias AntiAlias, bool Draw, bool Enabled, TFont* Font, const WideString& WideCaption,
                  const String& Caption);
