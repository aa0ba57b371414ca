#pragma once
// A flat progress bar: a one-pixel frame, a bar that fills in proportion to
// Progress between Min and Max, and a centred percentage text drawn in two
// colours so that it stays readable where the bar passes under it.
//
// Progress may be set from any thread. The value is stored under a lock;
// on the thread that made the gauge the gauge repaints at once, on any other
// thread it only invalidates its area in the parent window, so that painting
// always happens on the window's own thread.

#include <mutex>

#include "framework/GraphicControl.h"

// A window-less control with a Version string that reads as the control
// family's version whatever was written to it.
class TVersionGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

    String Version() const { return "4.42.8.0"; }
    void SetVersion(const String& Value) { FVersion = Value; }

private:
    String FVersion;
};

enum TStyleOrien { bsHorizontal, bsVertical };
enum TStyleFace { fsDefault, fsCustom };
// 0..100: how much darker the derived border is.
using TProColors = Byte;

class TFlatGauge : public TVersionGraphic {
public:
    // 145 x 25 at (0, 0), ParentColor, opaque.
    explicit TFlatGauge(TComponent* AOwner);
    ~TFlatGauge() override;

    Integer Min() const;
    void SetMin(Integer Value);
    Integer Max() const;
    void SetMax(Integer Value);
    Integer Progress() const;
    // Clamped into Min..Max; an unchanged value does nothing. Any thread.
    void SetProgress(Integer Value);

    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    const String& TextFront() const { return FTextFront; }
    void SetTextFront(const String& Value);
    const String& TextAfter() const { return FTextAfter; }
    void SetTextAfter(const String& Value);

    TColor ColorBorder() const { return FColorBorder; }
    void SetColorBorder(TColor Value) { SetColors(0, Value); }
    TColor BarColor() const { return FBarColor; }
    void SetBarColor(TColor Value) { SetColors(1, Value); }
    TColor StyleColorStart() const { return FStyleColorStart; }
    void SetStyleColorStart(TColor Value) { SetColors(2, Value); }
    TColor StyleColorStop() const { return FStyleColorStop; }
    void SetStyleColorStop(TColor Value) { SetColors(3, Value); }

    TProColors ProColorBorder() const { return FProColorBorder; }
    void SetProColorBorder(TProColors Value);
    bool UseProColors() const { return FUseProColors; }
    void SetUseProColors(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TStyleOrien StyleOrien() const { return FStyleOrien; }
    void SetStyleOrien(TStyleOrien Value);
    TStyleFace StyleFace() const { return FStyleFace; }
    void SetStyleFace(TStyleFace Value);

    // The text the gauge shows for its current values.
    String ProgressText() const;

protected:
    void WndProc(TMessage& Message) override;
    void Paint() override;

private:
    // ColorBorder, BarColor, StyleColorStart, StyleColorStop by index 0..3.
    void SetColors(int Index, TColor Value);
    void UpdateProColors();
    // Repaints at once on the gauge's own thread; elsewhere only invalidates.
    void RepaintNow();
    void PaintTo(TCanvas* Canvas, const TRect& Client, Integer AMin, Integer AMax, Integer AProgress);

    bool FTransparent = false;
    bool FUseProColors = false;
    TProColors FProColorBorder = 0;
    TColor FBarColor = 0x996633;
    TColor FColorBorder = 0xFF8000;
    // Min, Max and Progress: written by the GUI thread (all three) and by
    // any thread (Progress), always under FValueLock.
    mutable std::mutex FValueLock;
    Integer FMin = 0;
    Integer FMax = 100;
    Integer FProgress = 25;
    bool FShowText = true;
    String FTextFront;
    String FTextAfter;
    TColor FStyleColorStop = 0xFFFFFF;
    TColor FStyleColorStart = 0x808080;
    TStyleOrien FStyleOrien = bsHorizontal;
    TStyleFace FStyleFace = fsDefault;

    DWORD FThread;                // the thread that made the gauge, which paints it
    // Where a repaint asked from another thread goes: the parent window and
    // the gauge's place in it when it was last painted; under FValueLock.
    HWND FPaintWindow = nullptr;
    TRect FPaintRect{};
};
