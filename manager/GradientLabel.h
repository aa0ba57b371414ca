#pragma once
// A label whose background is a colour gradient, or a thin gradient line
// along an edge or through the middle, with its caption drawn across or
// turned by 90 degrees. The about box uses one as its whole background.

#include "framework/Label.h"

namespace vantrel {

enum TGradientType { gtFullHorizontal, gtFullVertical, gtBottomLine, gtCenterLine, gtTopLine };
enum TGradientOrientation { goHorizontal, goVertical };
enum TEllipsType { etNone, etEndEllips, etPathEllips };
enum TVAlignment { vaTop, vaCenter, vaBottom };

class TGradientLabel : public TLabel {
public:
    explicit TGradientLabel(TComponent* AOwner);

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    TEllipsType EllipsType() const { return FEllipsType; }
    void SetEllipsType(TEllipsType Value);
    TGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TGradientType Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // Kept for the form's sake; lines are always 2 pixels thick.
    int LineWidth() const { return FLineWidth; }
    void SetLineWidth(int Value);
    TGradientOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TGradientOrientation Value);
    // A line type leaves the line out where the caption is.
    bool TransparentText() const { return FTransparentText; }
    void SetTransparentText(bool Value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value);

    // Paints R in Steps bands going from FromColor to ToColor, left to
    // right when Horizontal, else top to bottom. Each band is one pixel
    // wider than its share so that rounding leaves no gap between bands.
    static void FillGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R,
                             int Steps);

protected:
    void Paint() override;

private:
    bool IsLineType() const;
    TRect LineRect(const TRect& Client) const;
    // Leaves out of the clipping the stretch of the line that the caption
    // covers, so that the parent shows through there.
    void ExcludeCaptionGap(HDC DC, const TRect& Line, int TextWidth) const;
    UINT CaptionFormat() const;
    void DrawTurnedCaption(TCanvas* Canvas, const TRect& R);

    TColor FColorTo = clWhite;
    TEllipsType FEllipsType = etNone;
    TGradientType FGradientType = gtFullHorizontal;
    int FIndent = 0;
    int FLineWidth = 2;
    TGradientOrientation FOrientation = goHorizontal;
    bool FTransparentText = false;
    TVAlignment FVAlignment = vaTop;
};

} // namespace vantrel
