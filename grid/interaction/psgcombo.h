#pragma once
// A combo box that, while Flat, paints its own thin border and drop-down
// button to fit the flat look of a grid cell, highlights the border while
// hovered or focused (FocusBorder), and can open a list wider than itself.

#include <functional>

#include "framework/ComboBox.h"

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

protected:
    void WndProc(TMessage& Message) override;
    void CreateWnd() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    virtual void DrawButton(HDC DC);
    virtual void DrawBorder(HDC DC);
    virtual void DrawButtonEdge(HDC DC);
    void InvalidateButton();

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
// WM_PAINT of a flat combo box: the client area filled with its colour, the
// button drawn by DrawButton (which leaves it out of the clipping), then the
// system's own painting (Default) of the text on the same DC.
void PaintFlatComboClient(TWinControl& Combo, const TMessage& Message, const std::function<void(HDC)>& DrawButton,
                          const std::function<void(TMessage&)>& Default);

