#pragma once
// Routines over trees of controls and windows: sending the skin command
// message to a control or a window, asking whether one is skinned,
// repainting and telling the children after a change, painting a whole
// control tree into a bitmap, painting a form's window-less controls over
// its cache, a few layout queries, and the fade-in of a form when it is
// shown (a temporary window over the form blends from the screen behind it
// to the form's image).

#include <functional>

#include "framework/Bitmap.h"
#include "framework/CustomControl.h"
#include "framework/Messages.h"

class TCustomForm;

// SetWindowTheme of the visual-styles library, bound when the engine starts;
// nullptr when the library or the entry is missing.
using TSetWindowThemeEntry = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
extern TSetWindowThemeEntry SetWindowThemeEntry;
// Whether visual styles are in use for this program now.
bool VisualStylesInUse();

// SendMessage(Wnd, SM_ZORVIKCMD, MAKELONG(Flag, SubCommand), LParam); 0 for no window.
LRESULT SendSkinCommand(HWND Wnd, int SubCommand, LPARAM LParam, int Flag = 0);
// To a windowed control by its handle (0 without a handle or while it is
// destroyed), to a window-less one through its window procedure.
LRESULT SendControlCommand(TControl* Control, int SubCommand, LPARAM LParam, int Flag = 0);
// Whether Control answers SubCommand with 1: through its window procedure
// (the lParam field), else by SendMessage (the result).
bool ControlHandlesCommand(TWinControl* Control, int SubCommand);
bool WindowHandlesCommand(HWND Wnd, int SubCommand);
// Sub-command 25 with the control to its parent form.
void AnnounceToForm(TControl* Control);

// Sub-command 6 to every child control, or to every child window.
void RepaintChildControls(TWinControl* Control);
void RepaintChildWindows(HWND Wnd);
// Hands a skin-change message down to the skinned parts of a tree.
void BroadcastToChildControls(TWinControl* Control, TMessage& Message);
// The background colour of Control, into ExchangeColor (RGB).
void QueryControlColor(TWinControl* Control);

// Paints Control and its windowed children into Bmp (a picture of a form).
void PaintControlTree(TBitmap* Bmp, TControl* Control);
// Paints the window-less controls of Form (a form or any skinned control
// that holds some) over its cache onto DC at Offset.
void PaintGraphicControls(HDC DC, TWinControl* Form, TPoint Offset);

// The window that covers a form while it fades in.
class TOutputWindow : public TCustomControl {
public:
    explicit TOutputWindow(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

// The output window of the fade in progress, or nullptr.
TOutputWindow* OutputWindow();
// Freezes Form, captures the screen under it and covers it with the output window.
void PrepareOutputWindow(TCustomForm* Form);
// Fades Form in over Time ms, then shows it as it is; the output window is
// gone and the form thawed afterwards, on every path.
void AnimateFormShow(TCustomForm* Form, int Time);

// What the fade-in does besides painting, replaceable by tests: the pause
// between two frames, and a report of each frame's level.
struct TFadeHooks {
    std::function<void(DWORD Milliseconds)> Sleep;
    std::function<void(int Level)> Frame;
    // The screen capture: false makes it fail (tests of that path).
    std::function<bool(HDC Screen, HDC Into, const RECT& Window)> Capture;
};
TFadeHooks& FadeHooks();

bool ControlIsReady(TControl* Control);
TCustomForm* GetOwnerForm(TComponent* Component);
UINT TextAlignFlags(TControl* Control, TAlignment Alignment);
void GetClientRectInWindow(HWND Wnd, TRect& R);
int AlignedControlsSize(TWinControl* Control, TAlign Alignment, bool IncludeWindowless);
void GetWorkArea(TRect& R);
