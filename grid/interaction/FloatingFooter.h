#pragma once
// Settings of the grid's floating footer (its FloatingFooter property): the
// strip at the bottom that shows the last row as a fixed footer, or a
// preview of the current row. Visible and FooterStyle act on the grid.

#include "framework/Graphics.h"

class TProStringGrid;

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview };

using TCalcFooterEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;

class TFloatingFooter : public TPersistent {
public:
    explicit TFloatingFooter(TProStringGrid* AGrid) : FGrid(AGrid) {}

    // CalculateHiddenRows, Color, Column, CustomTemplate and FooterStyle as
    // they stand, then Visible through its setter and ShowHint; BorderColor
    // and OnCalcFooter stay the target's own.
    void Assign(const TPersistent* Source) override;
    // Invalidates the footer panel.
    void RepaintFooter() { RepaintPanel(); }

    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    bool CalculateHiddenRows = true;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Column() const { return FColumn; }
    void SetColumn(int Value);
    const String& CustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const String& Value);
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    // Stores the style; the grid hides its last row exactly while the footer
    // is visible in fsFixedLastRow style.
    void SetFooterStyle(TFooterStyle Value);
    bool ShowHint() const { return FShowHint; }
    // Stores the value and sets the footer panel's ShowHint.
    void SetShowHint(bool Value);
    bool Visible() const { return FVisible; }
    // Stores the value; in fsFixedLastRow style the grid then counts its last
    // row as a fixed footer row and hides it in its own client area.
    void SetVisible(bool Value);

    // Height of the strip; the grid's DefaultRowHeight setter writes it.
    int FooterHeight = 22;

    TCalcFooterEvent OnCalcFooter;

private:
    void RepaintPanel();

    TProStringGrid* FGrid;
    TColor FBorderColor = clNone;
    TColor FColor = clBtnFace;
    int FColumn = 0;
    String FCustomTemplate;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    bool FVisible = false;
    bool FShowHint = false;
};
