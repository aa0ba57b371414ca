// The pixel primitives that read a control (the Windows tree only).
#include "framework/Control.h"
#include "skin/engine/qPixelOps.h"

void ApplyDisabledKind(TBitmap* B, TqDisabledKind Kind, TControl* Control, TPoint Offset, const TCacheInfo& CI)
{
    if (!B)
        return;
    if ((Kind & (1u << dkGrayed)) != 0)
        GrayBitmap(B);
    if ((Kind & (1u << dkBlended)) == 0)
        return;
    if (CI.Ready && CI.Bmp) {
        const int x = CI.X + Offset.x;
        const int y = CI.Y + Offset.y;
        BlendRectTransparent(B, 0, 0, static_cast<TColor>(0xFF000000u), 0.4,
                             Rect(x, y, x + B->Width() - 1, y + B->Height() - 1), CI.Bmp);
        return;
    }
    TColor color = ExchangeColor;
    if (color == clSkinTransparent && Control)
        color = Control->Color();
    TintRect(B, Rect(0, 0, B->Width() - 1, B->Height() - 1), 50, color);
}
