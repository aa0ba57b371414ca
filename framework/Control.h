#pragma once
// TControl: the base of every visual control, windowed or not. It keeps the
// properties that do not need a window (bounds, visibility, enabled state,
// text, font, colour, hint, cursor, alignment) and routes every message
// through its replaceable WindowProc:
//
//   WindowProc (defaults to WndProc; links of HookWindowProc run in front of it)
//     -> the control's own WndProc override (the few messages it cares about)
//     -> the framework's handling here and in TWinControl, which decodes
//        common messages into virtual methods and events
//     -> DefaultHandler (the previous or default window procedure).

#include <functional>
#include <memory>

#include <windows.h>

#include "framework/Component.h"
#include "framework/ControlMessages.h"
#include "framework/Graphics.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class THookChain;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// The reading order and layout of a control: bdRightToLeft reads right to
// left and mirrors the layout; the other two right-to-left modes only read
// right to left (bdRightToLeftNoAlign also keeps the alignment as it is).
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Keys and buttons held during an input event; a set of TShiftFlag bits.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

// Cursor identifiers; the built-in ones are negative, custom ones (loaded by
// the program into Screen) positive. See Screen.h.
using TCursor = int;

// What a control is, as a set of TControlStyleFlag bits.
enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1u << 0,   // may be the parent of other controls
    csCaptureMouse = 1u << 1,      // keeps the mouse while a button is down
    csClickEvents = 1u << 2,       // a press and release over it is a Click
    csDoubleClicks = 1u << 3,      // a double click is a DblClick
    csOpaque = 1u << 4,            // paints all of its area
    csSetCaption = 1u << 5,        // the component name becomes the first caption
    csParentBackground = 1u << 6,  // shows the parent's background
};
using TControlStyle = unsigned;

// What a control is going through, as a set of TControlStateFlag bits.
enum TControlStateFlag : unsigned {
    csCreating = 1u << 0,   // its window and its children's windows are being created
};
using TControlState = unsigned;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
// Key is the typed character as 936 text: an ASCII character itself, any
// other the lead byte of its two-byte form. Setting Key to 0 drops the character.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// The state of the keyboard's modifier keys and the mouse buttons now.
TShiftState KeyboardShiftState();
// The shift state carried by a mouse message's WParam.
TShiftState MouseShiftState(WPARAM WParam);

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // The message entry of the control: every message goes through here.
    // Hook it with HookWindowProc (WindowHooks.h), which lets any number of
    // links come and go in any order, rather than by replacing it.
    TWndMethod WindowProc;
    // Sends a message straight to WindowProc and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Position in the parent's client area (a form: on the screen) and size.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, RectWidth(R), RectHeight(R)); }

    // The client area in the control's own coordinates.
    virtual TRect ClientRect() const;
    int ClientWidth() const { return RectWidth(ClientRect()); }
    int ClientHeight() const { return RectHeight(ClientRect()); }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual void SetClientSize(int AWidth, int AHeight);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    virtual void Show() { SetVisible(true); }
    virtual void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    virtual bool Showing() const;

    // The control's own Enabled property; a control whose parent is
    // disabled is disabled too (EffectivelyEnabled) but keeps this value,
    // so that enabling the parent again restores it.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool EffectivelyEnabled() const;

    // Caption and Text are one property, 936 text.
    String Caption() const { return GetText(); }
    void SetCaption(const String& Value) { SetText(Value); }
    String Text() const { return GetText(); }
    void SetText(const String& Value);

    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value) { FFont->Assign(Value); }
    // Takes the parent's font (and follows its changes) while set.
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    // Whether the hint is shown: the control has a hint and ShowHint holds.
    bool HintActive() const { return !FHint.empty() && FShowHint; }

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    // Reading order and layout. A control takes its parent's mode (and
    // follows its changes) while ParentBiDiMode holds; setting BiDiMode
    // clears ParentBiDiMode. A change reaches the control as
    // CM_BIDIMODECHANGED (BiDiModeChanged) and its children as
    // CM_PARENTBIDIMODECHANGED.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    bool ParentBiDiMode() const { return FParentBiDiMode; }
    void SetParentBiDiMode(bool Value);
    // Mirrored layout: only bdRightToLeft.
    bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
    // Right-to-left reading: every mode but bdLeftToRight.
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // DrawText flags as the control draws its text: with mirrored layout
    // DT_LEFT and DT_RIGHT swap, with right-to-left reading DT_RTLREADING
    // is added.
    UINT DrawTextBiDiModeFlags(UINT Flags) const;
    // Only the reading part: DT_RTLREADING or 0. For text drawn on a
    // canvas that is itself mirrored, where the alignment already is.
    UINT DrawTextBiDiModeFlagsReadingOnly() const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle = 0;
    TControlState ControlState() const { return FControlState; }

    virtual void Invalidate();
    // Invalidates the control's bounds in its parent even while hidden.
    void InvalidateArea();
    // Paints what is invalid now.
    virtual void Update();
    void Repaint() { Invalidate(); Update(); }
    void Refresh() { Repaint(); }
    virtual void BringToFront();

    // Runs the click behaviour: fires OnClick.
    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

protected:
    virtual void WndProc(TMessage& Message);
    // The last level of dispatch; a window-less control has nothing behind it.
    virtual void DefaultHandler(TMessage& Message);

    virtual String GetText() const { return FText; }
    // Stores the text; the window of a windowed control takes it too.
    virtual void SetTextBuf(const String& Value) { FText = Value; }

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();
    // Changes from the notifications, for controls that must react.
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void TextChanged();
    virtual void BiDiModeChanged();
    // The bounds moved; the hint rectangle and the parent's layout follow.
    virtual void BoundsChanged();
    void RequestAlign();

    void Notification(TComponent* AComponent, TOperation Operation) override;

    TControlState FControlState = 0;
    // Mouse state of window-less controls, kept by the parent's routing.
    bool FMouseInControl = false;
    String FText;

private:
    void WMButtonDown(TMessage& Message, TMouseButton Button, bool Double);
    void WMButtonUp(TMessage& Message, TMouseButton Button);
    void WMMouseMove(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMParentBiDiModeChanged(TMessage& Message);
    void FontChange(TObject* Sender);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FClickPending = false;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FFollowingParentFont = false;
    TColor FColor = clWindow;
    bool FParentColor = false;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = 0;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TAlign FAlign = alNone;
    TPopupMenu* FPopupMenu = nullptr;
    // The links hooked in front of WindowProc (see WindowHooks.h); freed with the control.
    std::shared_ptr<THookChain> FHookChain;

    friend class TWinControl;
    friend class TControlHookChain;
};

// The form that holds the control (the control itself when it is a form),
// or nullptr.
TCustomForm* GetParentForm(const TControl* Control);

// True when Char is the accelerator of Caption: the character after its
// first single "&" ("&&" is a literal ampersand), compared case-insensitively.
bool IsAccel(Word Char, const String& Caption);
