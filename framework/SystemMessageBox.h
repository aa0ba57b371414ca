#pragma once
// The system's message box (MessageBoxW), made wide enough for its caption.
//
// The platform sizes a message box from its text and buttons; a short text
// under a longer caption gives a box too narrow to show the caption (Wine
// draws a box about 100 pixels wide for a four-character text). Windows
// widens such a box for its caption, and so does this: while the box runs,
// a thread-local WH_CALLWNDPROCRET hook sees the box's WM_INITDIALOG handled
// (the box laid out, not yet shown) and, when the caption needs more room
// than the box has, widens it around its centre and moves its contents
// along, so that they stay centred.

#include <windows.h>

#include "framework/Types.h"

int SystemMessageBox(HWND Owner, const WideString& Text, const WideString& Caption, UINT Flags);

// The outer width a window's caption needs for Caption with the system's
// caption font and metrics: the frame, room for the caption's icon, the
// text with a caption button's width of space on each side, and the close
// button.
int CaptionWidthNeeded(HWND Wnd, const WideString& Caption);
