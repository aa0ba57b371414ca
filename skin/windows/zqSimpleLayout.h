#pragma once
// The layout rules of the simple skinned controls, free of any window so
// that they can be checked on their own: the painting state of a push
// button and where its caption goes, which check-mark image a check box or
// radio button shows and how large it is, the two halves of an up-down
// control, the caption lines of a tool button and the caption box of a
// group box.

#include <functional>

#include <windows.h>

#include "framework/Graphics.h"
#include "skin/engine/qMaskData.h"

// 2 pushed; 0 disabled; 1 focused or hovered; else 1 for a default button.
int ButtonPaintState(bool Pushed, bool Enabled, bool FocusedOrHovered, bool DefaultButton);
// A caption Text big, centred in a button W x H with one pixel of slack on
// the left and two on the right; one pixel right and down while pushed.
TRect ButtonCaptionRect(int W, int H, TSize Text, bool Pushed);

// A check box (else a radio button) by its button style.
bool CheckBoxStyleIsCheck(DWORD Style);
// 2 indeterminate, 1 checked, 0 clear, from BM_GETSTATE.
int CheckStateOf(LRESULT ButtonState);
// The GLOBALINFO image of a check mark in that state.
const char* CheckGlyphName(bool IsCheck, int CheckState);
// One frame of a check-mark image: from its own bitmap (half the height,
// a third of the width) when it has one, else from its rectangle.
TSize CheckGlyphSize(const TqMaskData& Mask);
// 2 pushed, 1 focused or hovered, else 0.
int CheckGlyphState(LRESULT ButtonState, bool Hovered);

// The halves of an up-down control W x H painted from x = OffsetX; an odd
// height gives the middle row to both.
void SpinHalves(int OffsetX, int W, int H, TRect& Upper, TRect& Lower);

// A tool button's caption as laid out in Width: when the words (split at
// " ") cannot all stand on one line, the words that fit form First and the
// rest Second (TwoLines true); otherwise First is the whole text. Measure
// answers the width of a text.
struct TzqToolCaption {
    String First;
    String Second;
    bool TwoLines = false;
};
TzqToolCaption SplitToolCaption(const String& Text, int Width, const std::function<int(const String&)>& Measure);

// The caption box of a group box W wide for a text Text big.
TRect GroupCaptionRect(int W, TSize Text);
