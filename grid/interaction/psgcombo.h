#pragma once
// A combo box that, while Flat, paints its own thin border and drop-down
// button to fit the flat look of a grid cell, highlights the border while
// hovered or focused (FocusBorder), and can open a list wider than itself.

#include <functional>

#include "framework/ComboBox.h"

// The face of a flat combo box, as the 8-bit and the Unicode combo box both
// paint it: a thin border that is sunken while highlighted, a flat
// drop-down button and an edge around the button. Where the Unicode face
// differs, Unicode says so: its button is not shifted, its button edge
// starts 2 pixels (not 4) left of the button, is also drawn with the themed
// look and shows whether the control is active, and its border always has
// an inner ring in the control's colour.
struct TFlatComboFace {
    HWND Window = nullptr;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int ButtonWidth = 0;
    TColor Color = clWindow;           // the control's colour
    TColor ParentColor = clBtnFace;    // its parent's brush colour
    bool Themed = false;               // IsWinXP
    bool Etched = false;
    bool Highlighted = false;
    bool RightToLeft = false;          // no button and no button edge
    bool Unicode = false;
    bool Active = false;               // Unicode face: mouse inside or focused (designing: enabled)
    bool DroppedDown = false;          // Unicode face: the list is open
};

// The face of either flat combo box, from what both publish; each adds
// what is its own.
template <class TCombo>
TFlatComboFace FlatComboFaceOf(const TCombo& Combo)
{
    TFlatComboFace F;
    F.Window = Combo.HandleAllocated() ? const_cast<TCombo&>(Combo).Handle() : nullptr;
    F.ClientWidth = Combo.ClientWidth();
    F.ClientHeight = Combo.ClientHeight();
    F.ButtonWidth = Combo.ButtonWidth();
    F.Color = Combo.Color();
    F.ParentColor = Combo.Parent() != nullptr ? Combo.Parent()->Brush()->Color() : clBtnFace;
    F.Themed = Combo.IsWinXP;
    F.Etched = Combo.Etched();
    F.Highlighted = Combo.IsHighlighted();
    return F;
}

// The drop-down button, left out of the clipping afterwards (also when
// themed: the system's own painting would draw over it).
void DrawFlatComboButton(HDC DC, const TFlatComboFace& Face);
// The border rings.
void DrawFlatComboBorder(HDC DC, const TFlatComboFace& Face);
// The edge around the button (none on the themed 8-bit face).
void DrawFlatComboButtonEdge(HDC DC, const TFlatComboFace& Face);
// The border and the button edge on the window's device context.
void PaintFlatComboFrame(const TFlatComboFace& Face);
// WM_PAINT of a flat combo box: the client area filled with its colour, the
// button, the system's own painting (Default) of the text on the same DC,
// then the border and the button edge.
void PaintFlatCombo(const TFlatComboFace& Face, const TMessage& Message,
                    const std::function<void(TMessage&)>& Default);
// The button area, repainted without erasing when the list opens or closes.
void InvalidateFlatComboButton(const TFlatComboFace& Face);

class TPSGCustomCombo : public TCustomComboBox {
public:
    explicit TPSGCustomCombo(TComponent* AOwner);
    ~TPSGCustomCombo() override;

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    // 14 to 32; other values are ignored.
    void SetButtonWidth(int Value);
    bool FocusBorder = false;
    bool AutoFocus = false;
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);
    String Version() const;
    virtual int GetVersionNr() const;
    bool Ctl3D = false;
    // Themed look, set by the owner.
    bool IsWinXP = false;
    bool MouseInside() const { return FMouseInside; }

    // Paints the border and the button edge on the window's DC.
    void PaintFlat();
    bool IsHighlighted() const;
    // What the flat painting draws from.
    TFlatComboFace Face() const;

protected:
    void WndProc(TMessage& Message) override;
    void CreateWnd() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;

    int FButtonWidth;
    bool FFlat = true;
    bool FEtched = false;
    bool FMouseInside = false;

private:
    void WMPaint(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CNCommand(TMessage& Message);

    int FDropWidth = 0;
    TColor FOldColor;
    bool FOldParentColor = false;
};

class TPSGComboBox : public TPSGCustomCombo {
public:
    using TPSGCustomCombo::TPSGCustomCombo;
};

// The common controls library's major version (above 5: the themed
// version 6), -1 when unknown.
int ComCtlMajorVersion();

// Shared by the 8-bit and the Unicode flat combo boxes.
// Sends the drop-down list's width to the window, when there is one and the
// width is set (above 0).
void SetComboDropWidth(TWinControl& Combo, int Width);
// Disabled, a flat combo shows its parent's colour: keeps the colour it had
// in OldColor/OldParentColor, and gives it back when enabled again.
void SwapFlatComboColor(TControl& Combo, TColor& OldColor, bool& OldParentColor);

