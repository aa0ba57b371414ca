#include "office/FlatGauge.h"

#include <cstdio>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "framework/WinControl.h"
#include "office/FlatUtils.h"

TFlatGauge::TFlatGauge(TComponent* AOwner) : TVersionGraphic(AOwner), FThread(GetCurrentThreadId())
{
    ControlStyle |= csOpaque;
    SetBounds(0, 0, 145, 25);
    SetParentColor(true);
}

TFlatGauge::~TFlatGauge() = default;

Integer TFlatGauge::Min() const
{
    std::lock_guard<std::mutex> Lock(FValueLock);
    return FMin;
}

Integer TFlatGauge::Max() const
{
    std::lock_guard<std::mutex> Lock(FValueLock);
    return FMax;
}

Integer TFlatGauge::Progress() const
{
    std::lock_guard<std::mutex> Lock(FValueLock);
    return FProgress;
}

void TFlatGauge::SetMin(Integer Value)
{
    {
        std::lock_guard<std::mutex> Lock(FValueLock);
        if (Value == FMin)
            return;
        FMin = Value > FMax ? FMax : Value;
        if (FProgress < FMin)
            FProgress = FMin;
    }
    RepaintNow();
}

void TFlatGauge::SetMax(Integer Value)
{
    {
        std::lock_guard<std::mutex> Lock(FValueLock);
        if (Value == FMax)
            return;
        FMax = Value < FMin ? FMin : Value;
        if (FProgress > FMax)
            FProgress = FMax;
    }
    RepaintNow();
}

void TFlatGauge::SetProgress(Integer Value)
{
    {
        std::lock_guard<std::mutex> Lock(FValueLock);
        const Integer V = Value < FMin ? FMin : (Value > FMax ? FMax : Value);
        if (V == FProgress)
            return;
        FProgress = V;
    }
    RepaintNow();
}

void TFlatGauge::RepaintNow()
{
    if (GetCurrentThreadId() == FThread) {
        Repaint();
        return;
    }
    // Another thread: the window's own thread paints when it next handles
    // its messages. InvalidateRect may be called from any thread.
    HWND Wnd;
    TRect R;
    {
        std::lock_guard<std::mutex> Lock(FValueLock);
        Wnd = FPaintWindow;
        R = FPaintRect;
    }
    if (Wnd)
        InvalidateRect(Wnd, &R, FALSE);
}

void TFlatGauge::SetShowText(bool Value)
{
    if (Value == FShowText)
        return;
    FShowText = Value;
    RepaintNow();
}

void TFlatGauge::SetTextFront(const String& Value)
{
    if (Value == FTextFront)
        return;
    FTextFront = Value;
    Invalidate();
}

void TFlatGauge::SetTextAfter(const String& Value)
{
    if (Value == FTextAfter)
        return;
    FTextAfter = Value;
    Invalidate();
}

void TFlatGauge::SetColors(int Index, TColor Value)
{
    switch (Index) {
    case 0: FColorBorder = Value; break;
    case 1: FBarColor = Value; break;
    case 2: FStyleColorStart = Value; break;
    case 3: FStyleColorStop = Value; break;
    default: break;
    }
    Invalidate();
}

void TFlatGauge::SetProColorBorder(TProColors Value)
{
    FProColorBorder = Value > 100 ? 100 : Value;
    UpdateProColors();
    Invalidate();
}

void TFlatGauge::SetUseProColors(bool Value)
{
    if (Value == FUseProColors)
        return;
    FUseProColors = Value;
    SetParentColor(Value);
    UpdateProColors();
    Invalidate();
}

void TFlatGauge::UpdateProColors()
{
    if (FUseProColors)
        FColorBorder = ShiftColorLightness(Color(), FColorBorder, FProColorBorder);
}

void TFlatGauge::SetTransparent(bool Value)
{
    FTransparent = Value;
    Invalidate();
}

void TFlatGauge::SetStyleOrien(TStyleOrien Value)
{
    if (Value == FStyleOrien)
        return;
    FStyleOrien = Value;
    Invalidate();
}

void TFlatGauge::SetStyleFace(TStyleFace Value)
{
    if (Value == FStyleFace)
        return;
    FStyleFace = Value;
    Invalidate();
}

void TFlatGauge::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_PARENTCOLORCHANGED:
        TVersionGraphic::WndProc(Message);
        if (FUseProColors) {
            // Only when it changes: taking the parent's colour notifies
            // this handler again.
            if (!ParentColor())
                SetParentColor(true);
            UpdateProColors();
        }
        Invalidate();
        break;
    case WM_SYSCOLORCHANGE:
        if (FUseProColors) {
            // Only when it changes: taking the parent's colour notifies
            // this handler again.
            if (!ParentColor())
                SetParentColor(true);
            UpdateProColors();
        }
        Invalidate();
        break;
    default: TVersionGraphic::WndProc(Message); break;
    }
}

namespace {

// The percentage "%s%3d%%%s"; a gauge without a range shows 0 %.
String FormatProgress(const String& Front, Integer AMin, Integer AMax, Integer AProgress, const String& After)
{
    int Percent = 0;
    if (AMax != AMin)
        Percent = static_cast<int>((static_cast<double>(AProgress) - AMin) / (static_cast<double>(AMax) - AMin) * 100);
    char Number[16];
    std::snprintf(Number, sizeof Number, "%3d%%", Percent);
    return Front + Number + After;
}

} // namespace

String TFlatGauge::ProgressText() const
{
    std::lock_guard<std::mutex> Lock(FValueLock);
    return FormatProgress(FTextFront, FMin, FMax, FProgress, FTextAfter);
}

void TFlatGauge::Paint()
{
    Integer AMin, AMax, AProgress;
    {
        std::lock_guard<std::mutex> Lock(FValueLock);
        AMin = FMin;
        AMax = FMax;
        AProgress = FProgress;
        if (Parent() && Parent()->HandleAllocated()) {
            FPaintWindow = Parent()->Handle();
            FPaintRect = BoundsRect();
        }
    }
    const TRect Client = ClientRect();
    if (RectWidth(Client) <= 0 || RectHeight(Client) <= 0)
        return;
    TBitmap Buffer(RectWidth(Client), RectHeight(Client), TPixelFormat::pf24bit);
    if (FTransparent) {
        // What lies below shows through: start from what the canvas holds.
        BitBlt(Buffer.Canvas()->Handle(), 0, 0, RectWidth(Client), RectHeight(Client), Canvas()->Handle(), 0, 0,
               SRCCOPY);
    }
    PaintTo(Buffer.Canvas(), Client, AMin, AMax, AProgress);
    Canvas()->CopyRect(Client, Buffer.Canvas(), Client);
}

void TFlatGauge::PaintTo(TCanvas* C, const TRect& Client, Integer AMin, Integer AMax, Integer AProgress)
{
    if (!FTransparent) {
        C->Brush()->SetStyle(TBrushStyle::bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(Client);
    }
    DrawBorderFrame(C, Client, FColorBorder, 1);

    TRect R = Client;
    InflateRect(&R, -3, -3);
    // Max equal to Min leaves no range to divide: no bar.
    int L = 0;
    if (AMax != AMin)
        L = static_cast<int>(static_cast<double>(RectWidth(R)) / (static_cast<double>(AMax) - AMin) *
                             (static_cast<double>(AProgress) - AMin));
    TRect B = R;
    // Only the mirrored layout (bdRightToLeft) grows the bar from the right.
    if (UseRightToLeftAlignment())
        B.left = R.right - L;
    else
        B.right = R.left + L;

    if (L > 0) {
        if (FStyleFace == fsDefault) {
            C->Brush()->SetStyle(TBrushStyle::bsSolid);
            C->Brush()->SetColor(FBarColor);
            C->FillRect(B);
        } else {
            FillGradient(C, B, FStyleColorStart, FStyleColorStop, FStyleOrien == bsVertical);
        }
    }

    if (!FShowText)
        return;
    const WideString Text = StrToWide(FormatProgress(FTextFront, AMin, AMax, AProgress, FTextAfter));
    C->Font()->Assign(Font());
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    TRect TextRect = R;
    C->DrawTextRect(Text, TextRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    if (L <= 0)
        return;
    HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, B.left, B.top, B.right, B.bottom);
    C->Font()->SetColor(Color());
    TextRect = R;
    C->DrawTextRect(Text, TextRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    RestoreDC(DC, Saved);
    C->Refresh();
}
