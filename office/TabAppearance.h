#pragma once
// The look of the office pager: the two-colour background of the tab strip,
// the two-part gradient of a page with its border, and the colours, gradients,
// text colours, highlight lines and font of the tabs in each state. They hold
// values and report changes; the pager's painting reads them.

#include <memory>

#include "framework/Graphics.h"
#include "office/GlowButtonAppearance.h"

enum TGradientDirection { gdHorizontal, gdVertical };

constexpr TColor clNoneColor = static_cast<TColor>(0x1FFFFFFF);

class TGradientBackground : public TPersistent {
public:
    // Only from another TGradientBackground, without notification; any
    // other source is ignored.
    void Assign(const TPersistent* Source) override;

    // Every write notifies, changed or not.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; Changed(); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; Changed(); }
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value) { FDirection = Value; Changed(); }
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { FSteps = Value; Changed(); }

    TNotifyEvent OnChange;

private:
    void Changed() { if (OnChange) OnChange(this); }

    TColor FColor = 0xFFFFFF;
    TColor FColorTo = static_cast<TColor>(0xFF00000F);
    TGradientDirection FDirection = gdHorizontal;
    int FSteps = 64;
};

class TVistaBackground : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;

    // Every write notifies only when the value changes.
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Set(FBorderColor, Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor Value) { Set(FColorMirror, Value); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { Set(FColorMirrorTo, Value); }
    TGdiPlusGradient Gradient() const { return FGradient; }
    void SetGradient(TGdiPlusGradient Value) { Set(FGradient, Value); }
    TGdiPlusGradient GradientMirror() const { return FGradientMirror; }
    void SetGradientMirror(TGdiPlusGradient Value) { Set(FGradientMirror, Value); }
    int Steps() const { return FSteps; }
    void SetSteps(int Value) { Set(FSteps, Value); }

    TNotifyEvent OnChange;

private:
    template <typename T> void Set(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange(this);
    }

    TColor FBorderColor = 0x808080;
    TColor FColor = 0xFFFFFF;
    TColor FColorTo = 0xFFFFFF;
    TColor FColorMirror = 0xC0C0C0;
    TColor FColorMirrorTo = 0xFFFFFF;
    TGdiPlusGradient FGradient = ggVertical;
    TGdiPlusGradient FGradientMirror = ggVertical;
    int FSteps = 64;
};

// Colours of the tabs that notify on a change.
#define TAB_APPEARANCE_COLORS(X)                                                                       \
    X(BorderColor, 0xFF00000F) X(BorderColorSelected, 0xFF00000F) X(BorderColorSelectedHot, 0x1FFFFFFF) \
    X(BorderColorDisabled, 0x1FFFFFFF) X(BorderColorDown, 0x1FFFFFFF) X(Color, 0xFF00000F)             \
    X(ColorTo, 0xFFFFFF) X(ColorSelected, 0xFFFFFF) X(ColorSelectedTo, 0xFF00000F)                       \
    X(ColorDisabled, 0x1FFFFFFF) X(ColorDisabledTo, 0x1FFFFFFF) X(ColorHot, 0x00FFFF)                    \
    X(ColorHotTo, 0x1FFFFFFF) X(ColorMirror, 0xFFFFFF) X(ColorMirrorTo, 0xFFFFFF)                        \
    X(ColorMirrorHot, 0x1FFFFFFF) X(ColorMirrorHotTo, 0x1FFFFFFF) X(ColorMirrorSelected, 0xFFFFFF)       \
    X(ColorMirrorSelectedTo, 0xFFFFFF) X(ColorMirrorDisabled, 0x1FFFFFFF)                                \
    X(ColorMirrorDisabledTo, 0x1FFFFFFF) X(TextColor, 0xFF0000) X(TextColorHot, 0xFF0000)                \
    X(TextColorSelected, 0xFF0000) X(TextColorDisabled, 0xFFFFFF)
#define TAB_APPEARANCE_GRADIENTS(X)                                                                     \
    X(Gradient) X(GradientMirror) X(GradientHot) X(GradientMirrorHot) X(GradientSelected)               \
    X(GradientMirrorSelected) X(GradientDisabled) X(GradientMirrorDisabled)

class TCustomTabAppearance : public TPersistent {
public:
    TCustomTabAppearance();
    ~TCustomTabAppearance() override;

    // From another tab appearance: everything directly except TextColor and
    // TextColorHot, which go through their writes.
    void Assign(const TPersistent* Source) override;

#define TAB_COLOR_PROPERTY(Name, Default)                 \
    TColor Name() const { return F##Name; }                \
    void Set##Name(TColor Value) { Set(F##Name, Value); }
    TAB_APPEARANCE_COLORS(TAB_COLOR_PROPERTY)
#undef TAB_COLOR_PROPERTY
#define TAB_GRADIENT_PROPERTY(Name)                                  \
    TGdiPlusGradient Name() const { return F##Name; }                 \
    void Set##Name(TGdiPlusGradient Value) { Set(F##Name, Value); }
    TAB_APPEARANCE_GRADIENTS(TAB_GRADIENT_PROPERTY)
#undef TAB_GRADIENT_PROPERTY

    // Plain fields: writing them neither checks nor notifies.
    TColor BorderColorHot = 0xFF0000;
    TColor ShadowColor = 0xE8C7AE;
    TColor HighLightColor = 0xFFFABF;
    TColor HighLightColorHot = 0xFDF4ED;
    TColor HighLightColorSelected = 0x63CCF8;
    TColor HighLightColorSelectedHot = 0xBDFFFF;
    TColor HighLightColorDown = 0xFFFBD0;

    // Tahoma 8; writing copies the font without notification.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    // The strip background; its change is the appearance's change.
    TGradientBackground* BackGround() const { return FBackGround.get(); }
    void SetBackGround(const TGradientBackground* Value);

    // Set by the owner; the appearance is the sender.
    TNotifyEvent OnChange;

private:
    template <typename T> void Set(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    void Changed() { if (OnChange) OnChange(this); }

#define TAB_COLOR_FIELD(Name, Default) TColor F##Name = static_cast<TColor>(Default);
    TAB_APPEARANCE_COLORS(TAB_COLOR_FIELD)
#undef TAB_COLOR_FIELD
#define TAB_GRADIENT_FIELD(Name) TGdiPlusGradient F##Name = ggVertical;
    TAB_APPEARANCE_GRADIENTS(TAB_GRADIENT_FIELD)
#undef TAB_GRADIENT_FIELD
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TGradientBackground> FBackGround;
};

class TTabAppearance : public TCustomTabAppearance {};
