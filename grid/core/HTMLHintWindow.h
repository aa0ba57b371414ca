#pragma once
// The grid's hint window: shows mini-HTML text, or wide (UTF-16) text in
// the grid's packed form, in a borderless pop-up with a raised frame, kept
// inside the monitor it opens on. The grid's scroll position hint uses it too.

#include "framework/HintWindow.h"

// The grid font's name, stored by the grid at every hint request; every
// THTMLHintWindow draws wide text with it.
extern String HintGridFontName;

class THTMLHintWindow : public THintWindow {
public:
    explicit THTMLHintWindow(TComponent* AOwner);

    // Measures the text (1008 pixels wide at most), sizes the window to it
    // plus margins at Rect's top-left, keeps it 2 pixels inside the
    // nearest monitor's right and bottom edges and shows it topmost
    // without activation.
    void ActivateHint(TRect Rect, const String& AHint) override;
    // (0, 0, width, height) of the text: wide text as one line, other text
    // through the mini-HTML renderer.
    TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;

    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }
    // The decoded text of the last wide hint.
    const WideString& WideCaption() const { return FWideCaption; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    // Measures or (with Paint) draws Text in R on Cv.
    TSize HintText(TCanvas* Cv, const String& Text, TRect R, bool Paint);

    int FTextWidth = 0;
    int FTextHeight = 0;
    WideString FWideCaption;
};

// True when a hint text is wide text in the grid's packed form.
bool IsWideHintText(const String& Text);
