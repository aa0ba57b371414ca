#pragma once
// TSpeedButton: a window-less push button (tool and spin buttons). It shows
// pressed while the left button is held over it and clicks when the button
// is released over it. Glyph holds NumGlyphs images side by side: up,
// disabled, down (the missing ones fall back to the first).

#include <memory>

#include "framework/Bitmap.h"
#include "framework/GraphicControl.h"

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using TNumGlyphs = int;

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // A flat button that leaves its parent's background showing.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The glyph image; an empty bitmap shows none. SetGlyph copies.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(TNumGlyphs Value);

    TButtonState State() const { return FState; }
    // Whether the mouse is over the button now.
    bool MouseInside() const { return FMouseInControl; }

protected:
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    // Draws the glyph image for the current state centred in R (at 0 when
    // larger), moved by Offset.
    void DrawGlyph(TCanvas* Canvas, const TRect& R, int Offset);

    TButtonState FState = bsUp;
    bool FDragging = false;

private:
    void SetState(TButtonState Value);

    bool FFlat = false;
    bool FTransparent = false;
    std::unique_ptr<TBitmap> FGlyph;
    TNumGlyphs FNumGlyphs = 1;
};
