#pragma once
// Where a skinned form stands and how large it may become: the frame-drag
// mode (ResizeMode rmBorder), screen snapping (ScreenSnap, SnapBuffer) and
// the maximum tracking size and maximised position of WM_GETMINMAXINFO.
//
// Frame-drag mode: pressing the caption or a sizing edge captures the mouse
// and draws an inverted outline (R2_NOT) on the desktop; each mouse move
// erases it by drawing it again and draws it at its new place; releasing
// the button erases it and moves or sizes the window with one MoveWindow.
// The platform's own move and size loop does not run. Escape, the loss of
// the mouse capture, the window's destruction and the provider's end cancel
// a drag: the outline is erased, the desktop's DC and the capture are given
// back and the window stays where it was.
//
// The drag state is program-wide: one drag at a time runs in the program,
// on the form that started it (the capture keeps its messages there).

#include "framework/Messages.h"

class TqSkinProvider;

// The entry points of the provider's window procedure; each does nothing
// unless the message concerns it.
class TqFrameDrag {
public:
    // Runs first for every message of a provider's form, skinned or not:
    // cancels the drag of that form when the capture goes elsewhere, when
    // the window is destroyed, or when the form is no longer skinned.
    static void Watch(TqSkinProvider& P, const TMessage& M);
    // The provider is being freed: its drag is cancelled.
    static void Forget(const TqSkinProvider* P);

    // WM_NCHITTEST, after the hit code has been settled: records a sizing
    // or caption hit when none is recorded.
    static void RecordEdge(const TMessage& M);
    // WM_NCLBUTTONDOWN with a code that is no title button: starts a drag;
    // false when the message is left to the previous procedure.
    static bool ButtonDown(TqSkinProvider& P, TMessage& M);
    // WM_SYSCOMMAND: a move or size command in frame-drag mode captures the
    // mouse and is not passed on (the platform's loop would move the window
    // itself); a command that no button press announced starts a drag at
    // the cursor. True when the command is taken.
    static bool Announce(TqSkinProvider& P, const TMessage& M);
    // WM_MOUSEMOVE, after the previous procedure.
    static void MouseMove(TqSkinProvider& P, const TMessage& M);
    // WM_LBUTTONUP and WM_NCLBUTTONUP: ends a running drag; true when it did.
    static bool ButtonUp(TqSkinProvider& P, TMessage& M);
    // WM_NCLBUTTONDBLCLK: ends a running drag before the double click.
    static void DoubleClick(TqSkinProvider& P);

    // WM_WINDOWPOSCHANGING: snaps the new position to the work area's edges.
    static void Snap(TqSkinProvider& P, TMessage& M);
    // WM_GETMINMAXINFO: the previous procedure, then the maximum tracking
    // size and the maximised position it left unset.
    static void MinMaxInfo(TqSkinProvider& P, TMessage& M);
};

// The snapping step: when Coordinate + Extent lies closer than SnapBuffer
// to Edge, Coordinate := Edge - Extent.
void SnapCoordinate(int& Coordinate, int Edge, int Extent, int SnapBuffer);
