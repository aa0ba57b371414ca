#pragma once
// TWinControl: a control with a window of its own, and the parent of other
// controls. The window is created when first needed (Handle, HandleNeeded,
// or when its parent's window is created) and may be destroyed and created
// again (RecreateWnd) without losing the control's state.
//
// The object is bound to its window before CreateWindowExW returns, so it
// sees the window's first messages, and unbound on WM_NCDESTROY (see
// WindowBinding.cpp). The framework's handling here reflects the
// notifications that child windows send (WM_COMMAND, WM_NOTIFY,
// WM_CTLCOLOR*, WM_DRAWITEM, ...) back to the child control as CN_
// messages, routes mouse messages to window-less children, paints them,
// and turns keys, focus and sizing into events. The parts by subject:
// WinControl.cpp (windows, children, layout, reflection), WinControlMouse.cpp,
// WinControlKeyboard.cpp (keys, focus, tab order) and WinControlPaint.cpp.

#include <vector>

#include "framework/Control.h"
#include "framework/WindowHooks.h"

// What CreateWnd passes to CreateWindowExW.
struct TCreateParams {
    WideString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;        // the parent, or a top-level window's owner
    HMENU Menu = nullptr;            // a child window's identifier
    // A system window class ("BUTTON", "EDIT", ...) whose windows are
    // subclassed; empty for a window class of the framework's own, which
    // is registered under WinClassName with ClassStyle.
    WideString SysClassName;
    WideString WinClassName;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, created first when there is none.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { (void)Handle(); }
    // Destroys the windows of the control and its children; the state kept
    // in them (text, items) stays in the objects for the next window.
    void DestroyHandle();
    // Destroys the window and creates it again, for a style that only
    // window creation sets.
    virtual void RecreateWnd();

    void SetParent(TWinControl* AParent) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetClientSize(int AWidth, int AHeight) override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<std::size_t>(Index)); }
    bool ContainsControl(const TControl* Control) const;
    // The visible child at a client point, the topmost first; window-less
    // children only unless AllowWindowed.
    TControl* ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWindowed = false) const;
    // Sends a message to every child control.
    void Broadcast(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    // The windowed descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // The next (or previous) descendant after Current that can take the focus.
    TWinControl* FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop) const;
    void SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);

    virtual bool CanFocus() const;
    virtual bool Focused() const;
    // Whether the focus is on the control's window or on a window inside it.
    bool ContainsFocus() const;
    virtual void SetFocus();

    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value);
    // The brush of the background, in Color.
    TBrush* Brush() const { return FBrush.get(); }

    // Lays out the aligned children in the client area.
    void Realign();
    void DisableAlign() { ++FAlignDisabled; }
    void EnableAlign();

    void Invalidate() override;
    void Update() override;

    // A picture of the control as it looks, drawn on DC with the window's
    // top-left at X, Y: its frame (edges, caption, scroll bars), its client
    // area and its window-less children. PaintWindowTo leaves out the child
    // windows; PaintTo draws each visible one at its place too. Works for
    // windows of system classes, whose printing (WM_PRINT) under Wine
    // leaves out edges and scroll bars, by drawing the frame itself.
    void PaintWindowTo(HDC DC, int X, int Y);
    void PaintTo(HDC DC, int X, int Y);
    void BringToFront() override;

    // Key events with the form's key preview; true when the key was
    // consumed (set to 0 by a handler).
    bool DoKeyDown(Word Key, TShiftState Shift);
    bool DoKeyUp(Word Key, TShiftState Shift);
    bool DoKeyPress(char& Key);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    // Fills in the window's styles and place; it creates no window (CreateWnd
    // sets a child's WndParent), as it also serves to size the client area.
    virtual void CreateParams(TCreateParams& Params);
    // Creates the window; an override that keeps state outside the window
    // (items, selections) pushes it into the new window after calling this.
    virtual void CreateWnd();
    // Saves what lives only in the window, then destroys it.
    virtual void DestroyWnd();

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    String GetText() const override;
    void SetTextBuf(const String& Value) override;

    // Paints the control itself on DC. The default lets a system control
    // paint itself; a window class of our own has nothing beyond the
    // erased background.
    virtual void PaintWindow(HDC DC);
    // Paints the visible window-less children on DC.
    void PaintControls(HDC DC);
    virtual void AlignControls(TRect& Rect);
    // The height given to the window; a combo box adds its drop-down list.
    virtual int WindowHeight() const { return Height(); }
    // Whether the window is of a framework window class (not a subclassed system one).
    bool OwnWindowClass() const { return FOwnClass; }

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // For a control over a system window class (edit, combo box): the
    // extended styles of right-to-left reading (WS_EX_RTLREADING) and, for a
    // mirrored layout, right alignment with the scroll bar on the left.
    void AddRightToLeftStyles(TCreateParams& Params) const;
    virtual void DoEnter();
    virtual void DoExit();
    // Whether the control keeps a key that is otherwise a dialog key (Tab,
    // Enter, Esc); answered to CM_WANTSPECIALKEY.
    virtual bool WantsSpecialKey(Word Key);

    void FontChanged() override;
    void ColorChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void BoundsChanged() override;

    // Window-less children that the control draws itself instead of the
    // generic painting and mouse routing (a tool bar's buttons).
    bool FOwnsChildPainting = false;

private:
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void MoveControlToFront(TControl* Control);
    void CreateChildHandles();
    void UpdateBoundsFromWindow();
    void UpdateWindowEnabled();
    bool ReflectTo(HWND Child, TMessage& Message);
    bool RouteMouse(TMessage& Message);
    void TrackMouseLeave();
    void SetHoverControl(TControl* Control);

    void WMCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMCtlColor(TMessage& Message);
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMScroll(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPrint(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    // Erases and paints the client area (with the window-less children) on DC at its origin.
    void PrintClient(HDC DC);
    void WMWindowPosChanged(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMMouseLeave(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNCtlColor(TMessage& Message);
    void CMWantSpecialKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);

    HWND FHandle = nullptr;
    bool FOwnClass = false;
    // A window of a system class: the link that brings its messages here;
    // DefaultHandler hands messages to what lies below it.
    TWindowHook FBinding;
    UINT FCtlId = 0;
    std::vector<TControl*> FControls;     // children, bottom of the z-order first
    std::vector<TWinControl*> FTabList;   // windowed children in tab order
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    std::unique_ptr<TBrush> FBrush;
    int FAlignDisabled = 0;
    bool FAligning = false;
    bool FSettingBounds = false;
    bool FMouseTracked = false;
    bool FKeyEventsDone = false;
    TControl* FMouseCapture = nullptr;    // window-less child holding the mouse
    TControl* FHoverControl = nullptr;    // window-less child under the mouse

    friend class TControl;
    friend struct TWindowBinding;
    friend bool IsDialogKeyMessage(MSG& Msg);
};

// The control bound to a window, or nullptr.
TWinControl* FindControl(HWND Wnd);
