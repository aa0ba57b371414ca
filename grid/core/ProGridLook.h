#pragma once
// The string grid's display settings objects: the look of its check boxes,
// radio buttons, buttons, progress bars and fixed-cell gradients
// (TControlLook), row bands, the background picture or gradient, the level
// progress appearance, the column-size persistence and the sort indication.
// Each setter stores its value and tells the grid through OnChange, which
// the grid binds to a repaint.

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

struct TLevelProgressAppearance;

enum TGridControlStyle { csClassic, csFlat, csWinXP, csOstrune, csQJX, csGlyph, csTheme };

// Shared change plumbing of the settings objects.
class TGridSettings : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
    template <class T>
    void Store(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
};

// The fourteen fixed-cell gradient colours: the normal pair with its
// mirror pair, and the hover and pressed sets with their borders.
struct TFixedGradient {
    TColor From = clNone, To = clNone, MirrorFrom = clNone, MirrorTo = clNone;
    TColor HoverFrom = clNone, HoverTo = clNone, HoverMirrorFrom = clNone, HoverMirrorTo = clNone,
           HoverBorder = clNone;
    TColor DownFrom = clNone, DownTo = clNone, DownMirrorFrom = clNone, DownMirrorTo = clNone, DownBorder = clNone;
};

// Which of the fourteen colours a setter names.
enum class TFixedGradientSlot {
    From, To, MirrorFrom, MirrorTo, HoverFrom, HoverTo, HoverMirrorFrom, HoverMirrorTo, HoverBorder,
    DownFrom, DownTo, DownMirrorFrom, DownMirrorTo, DownBorder
};

class TControlLook : public TGridSettings {
public:
    TControlLook();
    ~TControlLook() override;
    // Copies every look value from another TControlLook; the grid's working
    // copy of the gradient is not touched. Other sources are ignored.
    void Assign(const TPersistent* Source) override;

    int CheckSize() const { return FCheckSize; }
    void SetCheckSize(int V) { Store(FCheckSize, V); }
    int RadioSize() const { return FRadioSize; }
    void SetRadioSize(int V) { Store(FRadioSize, V); }
    TGridControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TGridControlStyle V) { Store(FControlStyle, V); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { Store(FColor, V); }
    TBitmap* CheckedGlyph() const { return FCheckedGlyph.get(); }
    TBitmap* UnCheckedGlyph() const { return FUnCheckedGlyph.get(); }
    TBitmap* RadioOnGlyph() const { return FRadioOnGlyph.get(); }
    TBitmap* RadioOffGlyph() const { return FRadioOffGlyph.get(); }
    void SetCheckedGlyph(const TBitmap* V);
    void SetUnCheckedGlyph(const TBitmap* V);
    void SetRadioOnGlyph(const TBitmap* V);
    void SetRadioOffGlyph(const TBitmap* V);
    bool CheckAlwaysActive() const { return FCheckAlwaysActive; }
    void SetCheckAlwaysActive(bool V) { Store(FCheckAlwaysActive, V); }
    bool RadioAlwaysActive() const { return FRadioAlwaysActive; }
    void SetRadioAlwaysActive(bool V) { Store(FRadioAlwaysActive, V); }
    bool NoDisabledCheckRadioLook() const { return FNoDisabledCheckRadioLook; }
    void SetNoDisabledCheckRadioLook(bool V) { Store(FNoDisabledCheckRadioLook, V); }
    bool NoDisabledButtonLook() const { return FNoDisabledButtonLook; }
    void SetNoDisabledButtonLook(bool V) { Store(FNoDisabledButtonLook, V); }
    bool FlatButton() const { return FFlatButton; }
    void SetFlatButton(bool V) { Store(FFlatButton, V); }
    bool DropDownAlwaysVisible() const { return FDropDownAlwaysVisible; }
    void SetDropDownAlwaysVisible(bool V) { Store(FDropDownAlwaysVisible, V); }
    bool SpinButtonsAlwaysVisible() const { return FSpinButtonsAlwaysVisible; }
    void SetSpinButtonsAlwaysVisible(bool V) { Store(FSpinButtonsAlwaysVisible, V); }
    TColor CommentColor() const { return FCommentColor; }
    void SetCommentColor(TColor V) { Store(FCommentColor, V); }
    TColor ProgressBorderColor() const { return FProgressBorderColor; }
    void SetProgressBorderColor(TColor V) { Store(FProgressBorderColor, V); }
    int ProgressMarginX() const { return FProgressMarginX; }
    void SetProgressMarginX(int V) { Store(FProgressMarginX, V); }
    int ProgressMarginY() const { return FProgressMarginY; }
    void SetProgressMarginY(int V) { Store(FProgressMarginY, V); }
    bool ProgressXP() const { return FProgressXP; }
    void SetProgressXP(bool V) { Store(FProgressXP, V); }
    bool FixedDropDownButton() const { return FFixedDropDownButton; }
    void SetFixedDropDownButton(bool V) { Store(FFixedDropDownButton, V); }

    // The published fixed-cell gradient colours.
    const TFixedGradient& Gradient() const { return FGradient; }
    TColor GradientColor(TFixedGradientSlot Slot) const;
    // Stores the colour; a colour other than clNone is also handed to
    // OnGradientChange, where the grid writes its working copy.
    void SetGradientColor(TFixedGradientSlot Slot, TColor Value);
    TColor FixedGradientFrom() const { return FGradient.From; }
    TColor FixedGradientTo() const { return FGradient.To; }
    void SetFixedGradientFrom(TColor V) { SetGradientColor(TFixedGradientSlot::From, V); }
    void SetFixedGradientTo(TColor V) { SetGradientColor(TFixedGradientSlot::To, V); }

    std::function<void(TFixedGradientSlot Slot, TColor Value)> OnGradientChange;

private:
    int FCheckSize = 15;
    int FRadioSize = 10;
    TGridControlStyle FControlStyle = csWinXP;
    TColor FColor = clBlack;
    std::unique_ptr<TBitmap> FCheckedGlyph, FUnCheckedGlyph, FRadioOnGlyph, FRadioOffGlyph;
    bool FCheckAlwaysActive = false, FRadioAlwaysActive = false;
    bool FNoDisabledCheckRadioLook = false, FNoDisabledButtonLook = false;
    bool FFlatButton = false, FDropDownAlwaysVisible = false, FSpinButtonsAlwaysVisible = false;
    TColor FCommentColor = clRed;
    TColor FProgressBorderColor = clGray;
    int FProgressMarginX = 2, FProgressMarginY = 2;
    bool FProgressXP = false;
    bool FFixedDropDownButton = false;
    TFixedGradient FGradient;
};

// Alternating row colours: a normal row is in the primary colour when
// (row - FixedRows) mod (PrimaryLength + SecondaryLength) < PrimaryLength.
class TBands : public TGridSettings {
public:
    void Assign(const TPersistent* Source) override;
    bool Print() const { return FPrint; }
    void SetPrint(bool V) { FPrint = V; }
    bool Active() const { return FActive; }
    void SetActive(bool V);
    int Period() const { return FPrimaryLength + FSecondaryLength; }
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int V);
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int V);
    TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor V);
    TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor V);

private:
    void ChangedWhileActive()
    {
        if (FActive)
            Changed();
    }
    bool FPrint = false;
    bool FActive = false;
    int FSecondaryLength = 1;
    int FPrimaryLength = 1;
    TColor FSecondaryColor = clWindow;
    TColor FPrimaryColor = clInfoBk;
};

enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };

class TBackGround : public TGridSettings {
public:
    TBackGround();
    ~TBackGround() override;
    void Assign(const TPersistent* Source) override;
    int Top() const { return FTop; }
    void SetTop(int V) { Store(FTop, V); }
    int Left() const { return FLeft; }
    void SetLeft(int V) { Store(FLeft, V); }
    TBackGroundDisplay Display() const { return FDisplay; }
    void SetDisplay(TBackGroundDisplay V) { Store(FDisplay, V); }
    TBackGroundCells Cells() const { return FCells; }
    void SetCells(TBackGroundCells V) { Store(FCells, V); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { Store(FColor, V); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor V) { Store(FColorTo, V); }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* V);

private:
    int FTop = 0, FLeft = 0;
    TBackGroundDisplay FDisplay = bdTile;
    TBackGroundCells FCells = bcNormal;
    TColor FColor = clWindow;
    TColor FColorTo = clBtnFace;
    std::unique_ptr<TBitmap> FBitmap;
};

// The look of ctXPProgress cells.
class TGridProgressAppearance : public TGridSettings {
public:
    void Assign(const TPersistent* Source) override;
    // The values as the level progress routine takes them.
    void Fill(TLevelProgressAppearance& A) const;

#define GRID_PA_FIELD(Type, Name, Default)                                                                    \
public:                                                                                                        \
    Type Name() const { return F##Name; }                                                                      \
    void Set##Name(Type V) { Store(F##Name, V); }                                                              \
                                                                                                               \
private:                                                                                                       \
    Type F##Name = Default;
    GRID_PA_FIELD(TColor, UnCompleteFontColor, clWindowText)
    GRID_PA_FIELD(TColor, CompleteColor, clRed)
    GRID_PA_FIELD(TColor, UnCompleteColor, clNone)
    GRID_PA_FIELD(TColor, CompleteFontColor, clBlue)
    GRID_PA_FIELD(bool, Stacked, false)
    GRID_PA_FIELD(bool, ShowPercentage, true)
    GRID_PA_FIELD(bool, ShowBorder, false)
    GRID_PA_FIELD(bool, CompletionSmooth, true)
    GRID_PA_FIELD(bool, ShowGradient, true)
    GRID_PA_FIELD(int, Level2Perc, 90)
    GRID_PA_FIELD(int, Level1Perc, 70)
    GRID_PA_FIELD(int, Steps, 11)
    GRID_PA_FIELD(TColor, Level3Color, clRed)
    GRID_PA_FIELD(TColor, Level1Color, clYellow)
    GRID_PA_FIELD(TColor, Level0Color, clLime)
    GRID_PA_FIELD(TColor, Level3ColorTo, 0xCACAFF)
    GRID_PA_FIELD(TColor, Level2ColorTo, 0xA8D3FF)
    GRID_PA_FIELD(TColor, Level0ColorTo, 0xE1FFE1)
    GRID_PA_FIELD(TColor, Level1ColorTo, 0xCAFFFF)
    GRID_PA_FIELD(TColor, BorderColor, clBlack)
    GRID_PA_FIELD(TColor, Level2Color, 0x53A9FF)
#undef GRID_PA_FIELD
};

enum TColumnSizeLocation { clRegistry, clIniFile };

// Column width persistence and stretching.
class TColumnSize : public TGridSettings {
public:
    bool Save = false;
    String Key;
    String Section;
    bool Stretch = false;
    int StretchColumn = -1;
    bool SynchWithGrid = false;
    TColumnSizeLocation Location = clRegistry;
};

// The sort indication reads the sort settings.
#include "grid/core/GridSortSettings.h"

// The colours a progress, pie or comment graphic keeps in its object slot
// (CellBitmap); a graphic without one draws in the defaults.
class TCellGraphicColors : public TObject {
public:
    TColor Color = clNavy;        // bar, pie or comment mark
    TColor TextColor = clWhite;   // label over the bar
    TColor ColorTo = clWhite;     // remaining part of a bar
    TColor TextColorTo = clBlack; // label over the remaining part
};
