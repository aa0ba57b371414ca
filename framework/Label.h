#pragma once
// Labels: text painted by the framework on its parent (no window). AutoSize
// fits the bounds to the text; a disabled label (or one on a disabled
// parent) is painted greyed.

#include "framework/GraphicControl.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Leaves the parent's background showing behind the text.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // "&" marks the next character as the accelerator (underlined).
    bool ShowAccelChar = true;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Loaded() override;
    // Sets the bounds to the size of the text when AutoSize holds.
    void AdjustBounds();

private:
    UINT DrawFlags() const;
    void DrawCaption(TCanvas* Canvas, TRect R, TColor Color);

    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};
