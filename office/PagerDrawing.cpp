#include "office/PagerDrawing.h"

namespace {

int Available(const TRect& R, TTabPosition Position)
{
    return Position == tpLeft || Position == tpRight ? R.bottom - R.top : R.right - R.left;
}

// The caption (936 text) less its last character: a lead byte and the byte
// after it go together.
String DropLast(const String& Text)
{
    std::size_t Start = 0, Last = 0;
    while (Start < Text.size()) {
        Last = Start;
        const auto B = static_cast<unsigned char>(Text[Start]);
        Start += B >= 0x81 && B <= 0xFE && Start + 1 < Text.size() ? 2 : 1;
    }
    return Text.substr(0, Last);
}

WideString DropLast(const WideString& Text)
{
    std::size_t N = Text.size() - 1;
    // A surrogate pair goes as one character.
    if (N > 0 && Text[N] >= 0xDC00 && Text[N] <= 0xDFFF && Text[N - 1] >= 0xD800 && Text[N - 1] <= 0xDBFF)
        --N;
    return Text.substr(0, N);
}

template <class S>
S Fit(TCanvas* Canvas, const S& Caption, const TRect& R, TTabPosition Position, bool Ellipsis, const S& Dots)
{
    const int A = Available(R, Position);
    if (Caption.empty() || Canvas->TextExtent(Caption).cx < A)
        return Caption;
    const S Suffix = Ellipsis ? Dots : S();
    S Text = Caption;
    while (!Text.empty()) {
        Text = DropLast(Text);
        if (Canvas->TextExtent(Text + Suffix).cx < A)
            break;
    }
    return Text + Suffix;
}

} // namespace

String FitCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TTabPosition Position, bool Ellipsis)
{
    return Fit<String>(Canvas, Caption, R, Position, Ellipsis, "...");
}

WideString FitCaption(TCanvas* Canvas, const WideString& Caption, const TRect& R, TTabPosition Position, bool Ellipsis)
{
    return Fit<WideString>(Canvas, Caption, R, Position, Ellipsis, L"...");
}
