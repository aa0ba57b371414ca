// What a tab shows over its background: its image (a picture of the page or
// an image of the pager's image lists) and its caption, placed by the image
// position and turned with side tabs that run along the strip, with room
// kept for a close button on the tab.

#include <algorithm>

#include "framework/Codepage.h"
#include "framework/ImageList.h"
#include "office/PagerDrawing.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"

namespace {

// Moves the start of a tab's text along the strip: the left edge, or on
// turned side tabs the bottom (left side) or the top (right side).
void MoveTextStart(TRect& TR, TTabPosition Pos, bool Turned, int By)
{
    if (Turned && Pos == tpLeft)
        TR.bottom -= By;
    else if (Turned && Pos == tpRight)
        TR.top += By;
    else
        TR.left += By;
}

// The image of a tab: a picture of the page, else an image of an image list.
struct TTabImage {
    TGdiPlusPicture* Picture = nullptr;
    TImageList* List = nullptr;
    bool ListEnabled = true;
    int W = 0, H = 0;
    bool Any() const { return Picture || List; }
};

TTabImage ChooseTabImage(const TProOfficePage* Page, TImageList* Images, TImageList* DisabledImages)
{
    TTabImage I;
    const bool Enabled = Page->Enabled();
    TGdiPlusPicture* Pic =
        !Enabled && !Page->DisabledPicture()->Empty() ? Page->DisabledPicture() : Page->Picture();
    if (!Pic->Empty()) {
        I.Picture = Pic;
        I.W = Pic->Width();
        I.H = Pic->Height();
        return I;
    }
    if (Page->ImageIndex() < 0)
        return I;
    if (Enabled) {
        I.List = Images;
        I.ListEnabled = Page->TabEnabled();
    } else if (DisabledImages) {
        I.List = DisabledImages;
    } else {
        I.List = Images;
        I.ListEnabled = false;
    }
    if (I.List) {
        I.W = I.List->Width();
        I.H = I.List->Height();
    }
    return I;
}

} // namespace

void TProOfficePager::PaintTabContent(int Index, TRect R)
{
    TProOfficePage* Page = ProPages(Index);
    TCanvas* C = Canvas();
    const TPagerTabSettings& S = *FTabSettings;
    const TTabPosition Pos = FTabPosition;
    const bool Active = Index == ActivePageIndex();
    const bool Side = Pos == tpLeft || Pos == tpRight;
    const bool Turned = Side && FRotateTabLeftRight;
    const int LM = S.LeftMargin(), RM = S.RightMargin();

    // The slope of a left ramp takes the start of the tab.
    if (!IsPlainTab() && (!Side || Turned))
        MoveTextStart(R, Pos, Turned, LeftShapeSpace());

    TRect TR = R;
    if (Turned && Pos == tpLeft)
        TR.bottom -= LM;
    else if (Turned)
        TR.top += LM;
    else
        TR.left += LM + (Pos == tpRight ? 3 : 0);
    // Tabs that carry a close button: the active one leaves room for it at
    // its start when it sits there; the others, as long as the active one,
    // keep their content centred.
    if (FButtonSettings->CloseButton() && FCloseOnTab && Page->ShowClose()) {
        if (!Active && (!Side || Turned))
            MoveTextStart(TR, Pos, Turned, 11);
        else if (Active && FCloseOnTabPosition == cpLeft)
            MoveTextStart(TR, Pos, Turned, !Turned && Pos == tpRight ? 23 : 22);
    }

    // The image, with a gap of 2 to the caption; the other coordinate is
    // centred in the tab.
    const TTabImage Img = ChooseTabImage(Page, FImages, FDisabledImages);
    const int W = Img.W, H = Img.H;
    const TImagePosition IP = S.ImagePosition();
    const int CentreX = R.left + (RectWidth(R) - W) / 2, CentreY = R.top + (RectHeight(R) - H) / 2;
    int X = CentreX, Y = CentreY;
    if (Img.Any()) {
        if (!Turned) {
            switch (IP) {
            case ipLeft: X = TR.left; TR.left += W + 2; break;
            case ipTop: Y = TR.top; TR.top += H; break;
            case ipRight:
                X = Pos == tpRight ? TR.right - W : TR.right - (W + RM);
                TR.right = X - 2;
                break;
            case ipBottom: Y = TR.bottom - H; TR.bottom -= H; break;
            }
        } else if (Pos == tpLeft) {
            // Turned a quarter anticlockwise: left is the bottom, top the left.
            switch (IP) {
            case ipLeft: Y = TR.bottom - H; TR.bottom = Y - 2; break;
            case ipTop: X = TR.left; TR.left += W; break;
            case ipRight: Y = TR.top + RM; TR.top = Y + 2; break;
            case ipBottom: X = TR.right - W; TR.right -= W; break;
            }
        } else {
            // Turned a quarter clockwise: left is the top, top the right.
            switch (IP) {
            case ipLeft: Y = TR.top; TR.top += H + 2; break;
            case ipTop: X = TR.right - W; TR.right -= W; break;
            case ipRight: Y = TR.bottom - (H + RM); TR.bottom = Y - 2; break;
            case ipBottom: X = TR.left; TR.left += W; break;
            }
        }
        if (Img.List)
            Img.List->Draw(C, X, Y, Page->ImageIndex(), Img.ListEnabled);
    }

    // The caption; "..." only on tabs of a set width that do not wrap.
    const String& Caption = Page->Caption();
    const WideString& Wide = Page->WideCaption();
    const bool HasCaption = !Caption.empty() || !Wide.empty();
    const bool Ellipsis = S.Width() >= 1 && !S.WordWrap();
    const TAlignment Align = IP == ipTop || IP == ipBottom ? taCenter : taLeftJustify;
    const bool Enabled = Page->Enabled();
    TRect Cap{};
    if (!Side || (Turned && Pos == tpRight && FAntiAlias != aaNone)) {
        // A tab of a set width leaves the close button its room.
        if (FCloseOnTab && S.Width() != 0 && Active && Page->ShowClose()) {
            const bool AtStart = FCloseOnTabPosition == cpLeft;
            LONG& Edge = !Side ? (AtStart ? TR.left : TR.right) : (AtStart ? TR.top : TR.bottom);
            Edge += AtStart ? 18 : -18;
        }
        const String Fitted = Caption.empty() ? String() : FitCaption(C, Caption, TR, Pos, Ellipsis);
        const WideString FittedWide = Caption.empty() ? FitCaption(C, Wide, TR, Pos, Ellipsis) : WideString();
        Cap = DrawTabText(C, Align, TR, Ellipsis, Pos, FAntiAlias, true, Enabled, C->Font(), FittedWide, Fitted);
    } else if (!Turned) {
        // Side tabs with horizontal captions.
        if (Pos == tpLeft && (IP == ipTop || IP == ipBottom)) {
            TR.left -= LM;
            TR.right -= 3;
        }
        Cap = DrawTabText(C, Align, TR, Ellipsis, tpTop, FAntiAlias, true, Enabled, C->Font(), Wide, Caption);
    } else if (HasCaption) {
        // Along the strip with a turned GDI font.
        const WideString Text = FitCaption(C, Caption.empty() ? Wide : StrToWide(Caption), TR, Pos, Ellipsis);
        Cap = DrawTurnedTabText(C, TR, Pos == tpLeft, Text);
    }

    // A picture goes beside the caption for the positions that stack them.
    if (!Img.Picture)
        return;
    if (HasCaption) {
        if (!Side) {
            if (IP == ipTop)
                Y = std::max(static_cast<int>(Cap.top) - H - 2, 4);
            else if (IP == ipBottom)
                Y = std::min(static_cast<int>(Cap.bottom) + 2, static_cast<int>(TR.bottom));
        } else if (!Turned) {
            if (IP == ipTop)
                Y = std::max(static_cast<int>(Cap.top) - H - 2, 4);
            else if (IP == ipRight)
                X = Cap.right + 4;
            else if (IP == ipBottom)
                Y = std::max(static_cast<int>(Cap.bottom) + 2, 4);
        } else if (Pos == tpLeft) {
            if (IP == ipTop)
                X = std::max(static_cast<int>(Cap.left) - W - 2, 4);
            else if (IP == ipBottom)
                X = std::max(static_cast<int>(Cap.right) + 2, 4);
        } else {
            if (IP == ipTop)
                X = std::max(static_cast<int>(Cap.right) + 2, 4);
            else if (IP == ipBottom)
                X = std::max(static_cast<int>(Cap.left) - W - 2, 4);
        }
    }
    Img.Picture->Draw(C, Rect(X, Y, X + W, Y + H));
}
