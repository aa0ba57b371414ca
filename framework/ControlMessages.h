#pragma once
// The framework's own control notifications (CM_) and the notifications a
// parent reflects back to the child control that sent them (CN_).
//
// The numbers of the CM_ notifications that other libraries quote (skinning
// subclasses compare them) are fixed; the others are chosen in the range
// 0xB100 and up, which no fixed one uses.

#include "framework/Messages.h"

// Fixed numbers.
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;        // LParam: the control that got the focus, or 0
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;   // WParam: the control, LParam: 1 inserted, 0 removed
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_FLOAT = CM_BASE + 0x3A;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;          // the WM_MOUSEWHEEL parameters

// Numbers of our own choice.
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x100;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x101;
constexpr UINT CM_ENTER = CM_BASE + 0x103;
constexpr UINT CM_EXIT = CM_BASE + 0x104;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x105;     // WParam: virtual key; answer 1 to keep it
constexpr UINT CM_CHANGED = CM_BASE + 0x106;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x107;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x108;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x109;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x10A;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x10B;          // WParam: virtual key; answer 1 when handled
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x10C;         // WParam: UTF-16 character; answer 1 when handled

// Reflected notifications: the parent's message number plus CN_BASE.
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
