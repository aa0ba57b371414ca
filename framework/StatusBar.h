#pragma once
// Status bars (the common controls' status window) with panels of given
// widths, or one simple panel across the whole bar.

#include <vector>

#include "framework/WinControl.h"

class TStatusBar;

class TStatusPanel : public TObject {
public:
    explicit TStatusPanel(TStatusBar* Bar) : FBar(Bar) {}

    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Index() const;

private:
    TStatusBar* FBar;
    String FText;
    int FWidth = 50;
};

class TStatusPanels : public TObject {
public:
    explicit TStatusPanels(TStatusBar* Bar) : FBar(Bar) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    // An index out of range raises EListError, as in the string lists.
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    TStatusPanel* Add();
    void Delete(int Index);
    void Clear();

private:
    void CheckIndex(int Index) const;

    TStatusBar* FBar;
    std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);

    TStatusPanels* Panels() const { return FPanels.get(); }
    // One panel with SimpleText instead of Panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const String& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const String& Value);

    // The text that the window shows in a part (tests); while SimplePanel
    // holds, part 0 is the simple text.
    String PartText(int Part);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void FontChanged() override;

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    // Gives the window the parts and texts of the object.
    void UpdateParts();

    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    String FSimpleText;
};
