#pragma once
// Hint windows and the hint of the control under the mouse.
//
// A control that shows per-position hints (the string grid's cells) calls
// HintMouseMove from its mouse-move handling. Once the mouse has rested
// over it for HintPause milliseconds the control is asked with CM_HINTSHOW
// (LParam: a THintInfo holding the control's Hint and a default position,
// colour and window class); when it answers 0 and leaves a text, a hint
// window of the chosen class is sized with CalcHintRect, moved to HintPos
// and shown with ActivateHint. The hint goes away when the mouse leaves
// CursorRect, after HintHidePause, or on HintCancel; moving on to another
// rectangle of the same control asks again after HintShortPause.

#include <memory>

#include "framework/CustomControl.h"

constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;

class THintWindow;
class TControl;

// Makes a hint window of one class.
using THintWindowClass = std::unique_ptr<THintWindow> (*)();

template <class T>
std::unique_ptr<THintWindow> CreateHintWindow()
{
    return std::make_unique<T>(nullptr);
}

// What a control is asked with CM_HINTSHOW; it may change every field.
struct THintInfo {
    TControl* HintControl = nullptr;
    THintWindowClass HintWindowClass = nullptr;
    TPoint HintPos{};        // screen position of the hint window's top-left
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{};      // client coordinates; the hint stays while the mouse is inside
    TPoint CursorPos{};      // client coordinates of the mouse
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    String HintStr;
    void* HintData = nullptr;
};

// A borderless topmost pop-up that shows a text on the hint colour.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);

    // Stores the text, places the window at Rect (screen coordinates) and
    // shows it topmost without activating it.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    // The size the text needs, as (0, 0, width, height); MaxWidth bounds
    // the width of wrapped lines.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Hides the window.
    virtual void ReleaseHandle();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void TextChanged() override;
};

// Milliseconds before the first hint shows, before the next one shows when
// the mouse moves on, and until a shown hint hides.
extern int HintPause;
extern int HintShortPause;
extern int HintHidePause;

// The mouse moved over Control (a windowed control).
void HintMouseMove(TControl* Control);
// Hides a shown hint and forgets a pending one.
void HintCancel();
// Asks Control at once, as the resting mouse would (at the cursor's current
// position), and shows its hint; returns the window shown or nullptr.
THintWindow* HintShowNow(TControl* Control);
// The hint window that is shown now, or nullptr.
THintWindow* ActiveHintWindow();
