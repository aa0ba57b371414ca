#include "skin/windows/zqSimpleLayout.h"

#include <algorithm>

int ButtonPaintState(bool Pushed, bool Enabled, bool FocusedOrHovered, bool DefaultButton)
{
    if (Pushed)
        return 2;
    if (!Enabled)
        return 0;
    if (FocusedOrHovered)
        return 1;
    return DefaultButton ? 1 : 0;
}

TRect ButtonCaptionRect(int W, int H, TSize Text, bool Pushed)
{
    TRect r;
    r.left = 1 + (W - 3 - Text.cx) / 2;
    r.right = r.left + Text.cx;
    r.top = (H - Text.cy) / 2;
    r.bottom = r.top + Text.cy;
    if (Pushed)
        OffsetRect(&r, 1, 1);
    return r;
}

bool CheckBoxStyleIsCheck(DWORD Style)
{
    return (Style & 3) == 3 || (Style & 2) != 0 || (Style & 5) == 5;
}

int CheckStateOf(LRESULT ButtonState)
{
    if ((ButtonState & BST_INDETERMINATE) != 0)
        return 2;
    return (ButtonState & BST_CHECKED) != 0 ? 1 : 0;
}

const char* CheckGlyphName(bool IsCheck, int CheckState)
{
    static const char* const checks[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
    static const char* const radios[] = {"RADIOUNCHECKED", "RADIOCHECKED", "BOXGRAYED"};
    const int state = std::clamp(CheckState, 0, 2);
    return IsCheck ? checks[state] : radios[state];
}

TSize CheckGlyphSize(const TqMaskData& Mask)
{
    if (Mask.Bmp)
        return TSize{Mask.Bmp->Width() / 3, Mask.Bmp->Height() / 2};
    const int count = Mask.ImageCount > 0 ? Mask.ImageCount : 1;
    return TSize{(Mask.R.right - Mask.R.left) / count,
                 (Mask.R.bottom - Mask.R.top) / (std::max<int>(Mask.MaskType, 0) + 1)};
}

int CheckGlyphState(LRESULT ButtonState, bool Hovered)
{
    if ((ButtonState & BST_PUSHED) != 0)
        return 2;
    return (ButtonState & BST_FOCUS) != 0 || Hovered ? 1 : 0;
}

void SpinHalves(int OffsetX, int W, int H, TRect& Upper, TRect& Lower)
{
    Upper = TRect{OffsetX, 0, W, H / 2 + H % 2};
    Lower = TRect{OffsetX, H / 2, W, H};
}

TzqToolCaption SplitToolCaption(const String& Text, int Width, const std::function<int(const String&)>& Measure)
{
    TzqToolCaption caption;
    caption.First = Text;
    if (Text.find(' ') == String::npos || Measure(Text) <= Width)
        return caption;
    // The longest run of leading words that fits; at least one word.
    std::size_t cut = Text.find(' ');
    for (std::size_t next = Text.find(' ', cut + 1); next != String::npos; next = Text.find(' ', next + 1)) {
        if (Measure(Text.substr(0, next)) > Width)
            break;
        cut = next;
    }
    caption.First = Text.substr(0, cut);
    caption.Second = Text.substr(cut + 1);
    caption.TwoLines = true;
    return caption;
}

TRect GroupCaptionRect(int W, TSize Text)
{
    TRect r{6, 0, Text.cx + 14, std::max<int>(4, Text.cy) + 2};
    if (Text.cx + 14 > W)
        r.right = W - 1;
    return r;
}
