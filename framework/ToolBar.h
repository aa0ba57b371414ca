#pragma once
// Tool bars (the common controls' tool bar) with tool buttons. A
// TToolButton is a window-less control whose picture, state and place the
// tool bar window keeps: its bounds follow the button's rectangle there, so
// that its Hint shows over it like any control's. Windowed controls placed
// on the tool bar keep their own bounds.

#include "framework/GraphicControl.h"
#include "framework/WinControl.h"

class TImageList;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    // The pressed state of a tbsCheck button.
    bool Down() const { return FDown; }
    void SetDown(bool Value);

    void SetParent(TWinControl* AParent) override;
    void Click() override;
    // The command identifier of the button in the tool bar window.
    UINT Command() const { return FCommand; }

protected:
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;

private:
    friend class TToolBar;
    TToolBar* Bar() const;

    int FImageIndex = -1;
    TToolButtonStyle FStyle = tbsButton;
    bool FDown = false;
    UINT FCommand;
};

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    bool Flat = true;

    int ButtonCount() const;
    TToolButton* Buttons(int Index) const;

    // Gives the window the buttons of the object again.
    void UpdateButtons();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void CNCommand(TMessage& Message);
    void PlaceButtons();

    TImageList* FImages = nullptr;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FUpdating = false;
};
