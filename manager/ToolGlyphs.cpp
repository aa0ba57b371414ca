#include "manager/ToolGlyphs.h"

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

namespace vantrel {

void AddToolGlyphs(TImageList* Images, const char* const* Glyphs, const TColor* Tiles, int Count)
{
    // Magenta marks what stays transparent around the tile.
    constexpr TColor Mask = RGBToColor(255, 0, 255);
    for (int i = 0; i < Count; ++i) {
        TBitmap picture(Images->Width(), Images->Height(), TPixelFormat::pf24bit);
        TCanvas* canvas = picture.Canvas();
        canvas->Brush()->SetColor(Mask);
        canvas->FillRect(TRect{0, 0, Images->Width(), Images->Height()});
        canvas->Brush()->SetColor(Tiles[i]);
        canvas->Pen()->SetColor(Tiles[i]);
        canvas->RoundRect(1, 1, Images->Width() - 1, Images->Height() - 1, 6, 6);
        canvas->Font()->SetName("SimSun");
        canvas->Font()->SetHeight(-16);
        canvas->Font()->SetColor(RGBToColor(255, 255, 255));
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        TRect r{0, 0, Images->Width(), Images->Height()};
        canvas->DrawTextRect(String(Glyphs[i]), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        Images->AddMasked(&picture, Mask);
    }
}

} // namespace vantrel
