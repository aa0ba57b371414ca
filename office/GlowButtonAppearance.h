#pragma once
// The colours and gradient kinds with which a glow button paints itself in
// each of its five looks (normal, hot, down, checked, disabled), whether it
// uses the system font, and the colour presets of the style interface.

#include <array>

#include "framework/Graphics.h"
#include "visuals/ComponentStyle.h"

enum TGdiPlusGradient : Byte { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };

// The five looks of a glow button.
enum TGlowLook { glNormal, glHot, glDown, glChecked, glDisabled };

// One look's colours: upper part (Color at its top, ColorTo), lower mirror
// part, frame, and the two gradient kinds.
struct TGlowColorSet {
    TColor Color, ColorTo, ColorMirror, ColorMirrorTo, BorderColor;
    TGdiPlusGradient Gradient, GradientMirror;
};

// The appearance's values, in the order the class declares them.
#define GLOW_APPEARANCE_COLORS(X)                                                                             \
    X(BorderColor) X(BorderColorHot) X(BorderColorDown) X(BorderColorChecked) X(BorderColorDisabled) X(Color) \
    X(ColorTo) X(ColorChecked) X(ColorCheckedTo) X(ColorDisabled) X(ColorDisabledTo) X(ColorDown)             \
    X(ColorDownTo) X(ColorHot) X(ColorHotTo) X(ColorMirror) X(ColorMirrorTo) X(ColorMirrorHot)                \
    X(ColorMirrorHotTo) X(ColorMirrorDown) X(ColorMirrorDownTo) X(ColorMirrorChecked) X(ColorMirrorCheckedTo) \
    X(ColorMirrorDisabled) X(ColorMirrorDisabledTo)
#define GLOW_APPEARANCE_GRADIENTS(X)                                                                          \
    X(Gradient) X(GradientMirror) X(GradientHot) X(GradientMirrorHot) X(GradientDown) X(GradientMirrorDown)   \
    X(GradientChecked) X(GradientMirrorChecked) X(GradientDisabled) X(GradientMirrorDisabled)

class TGlowButtonAppearance : public TPersistent {
public:
    enum TValue : int {
#define GLOW_VALUE(Name) av##Name,
        GLOW_APPEARANCE_COLORS(GLOW_VALUE) GLOW_APPEARANCE_GRADIENTS(GLOW_VALUE)
#undef GLOW_VALUE
        avCount
    };

    TGlowButtonAppearance();

    // From another appearance: every value through its setter, in the
    // order normal, hot, down, checked, disabled colours, the borders, the
    // gradient kinds, SystemFont. Other sources go to the framework's
    // assignment, which refuses them.
    void Assign(const TPersistent* Source) override;

#define GLOW_COLOR_PROPERTY(Name)                                   \
    TColor Name() const { return static_cast<TColor>(FValues[av##Name]); } \
    void Set##Name(TColor Value) { SetValue(av##Name, Value); }
    GLOW_APPEARANCE_COLORS(GLOW_COLOR_PROPERTY)
#undef GLOW_COLOR_PROPERTY
#define GLOW_GRADIENT_PROPERTY(Name)                                                     \
    TGdiPlusGradient Name() const { return static_cast<TGdiPlusGradient>(FValues[av##Name]); } \
    void Set##Name(TGdiPlusGradient Value) { SetValue(av##Name, Value); }
    GLOW_APPEARANCE_GRADIENTS(GLOW_GRADIENT_PROPERTY)
#undef GLOW_GRADIENT_PROPERTY

    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value);

    Integer Value(TValue Index) const { return FValues[Index]; }
    // Stores Value when it differs and raises OnChange.
    void SetValue(TValue Index, Integer Value);
    static const char* ValueName(TValue Index);
    // Whether a form resource would hold the value: those without a stored
    // default always, the others when they differ from it.
    bool IsStored(TValue Index) const;

    // The colours of one look.
    TGlowColorSet Look(TGlowLook Which) const;

    // Writes a colour preset (values 0 to 9 as the office pager styles; 8,
    // Custom, and 10 change nothing).
    void ApplyPreset(TComponentStylePreset Preset);

    TNotifyEvent OnChange;

private:
    std::array<Integer, avCount> FValues{};
    bool FSystemFont = true;
};
