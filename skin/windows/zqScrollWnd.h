#pragma once
// Skinned non-client scroll bars. TzqScrollWnd is the window subclass that
// takes a window's scroll bars over: at WM_NCCALCSIZE it lets the system
// compute the client area as if the window had no bars and reserves their
// room itself; it paints both bars and the corner box from the skin, does
// its own hit testing, pressing, auto-repeat, hover highlighting and thumb
// dragging, and turns them into the WM_HSCROLL / WM_VSCROLL messages the
// window already understands. The bars read the window's scroll
// information (GetScrollInfo) before they paint.
//
// While the window is skinned its WS_HSCROLL / WS_VSCROLL bits are kept out
// of its style (the subclass remembers them): the system's scroll calls
// draw the native bar at once over a skinned one whenever the window has
// those bits. The bits come back when the skin is removed and when the
// subclass lets go of the window. A scroll call that makes a bar needed
// again puts the bit into the style, which the next WM_NCCALCSIZE takes
// out again.
//
// The tracking state (the bar pressed, dragged or hovered) is one for the
// whole program: only one bar at a time. A window's timers run only while
// it owns that state, and the state is released when its window is
// destroyed, hidden or disabled.

#include <memory>

#include "skin/windows/zqMainWnd.h"

class TzqScrollWnd;

// Parts of a bar (also the scroll codes sent for them).
enum : int { sbpNone = -1, sbpArrowUp = 0, sbpArrowDown = 1, sbpPageUp = 2, sbpPageDown = 3, sbpThumb = 5 };

// The smallest thumb length of every new bar.
constexpr int DefaultMinThumbSize = 10;

class TzqScrollBar : public TObject {
public:
    Word StateFlags = 0;   // 8 when the window has this bar
    bool Shown = false;    // the bar takes room in the non-client area
    SCROLLINFO Info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
    int ButtonLength = -1; // negative: that many times the default arrow length
    int BarThickness = -1; // negative: that many times the system's size
    Word Kind = 0;         // 0 horizontal, 1 vertical
    int MinThumb = DefaultMinThumbSize;
    TzqScrollWnd* OwnerWnd = nullptr;
};

class TzqScrollWnd : public TzqMainWnd {
public:
    ~TzqScrollWnd() override;

    void SubclassWndProc(TMessage& Message) override;

    std::unique_ptr<TzqScrollBar> HorzBar;
    std::unique_ptr<TzqScrollBar> VertBar;
    bool ThumbDragging = false;
    bool BarsOnLeft = false;
    int FrameLeft = 0;
    int FrameRight = 0;
    int FrameTop = 0;
    int FrameBottom = 0;
    bool StyleChangeMuted = false;
    // The scroll-bar bits kept out of the window's style while skinned.
    DWORD KeptBarStyle = 0;
    // Where the window's cache lies relative to the window (the MDI client
    // of a form paints from its form's cache).
    TPoint CacheOffset{};

    // Screen rectangles of the bars.
    static void GetHScrollRect(TzqScrollWnd* Object, HWND Handle, TRect& R);
    static void GetVScrollRect(TzqScrollWnd* Object, HWND Handle, TRect& R);
    // Reads both bars' Info again, and with Repaint paints them.
    static void RefreshScrollBars(TzqScrollWnd* Object, bool Repaint);
    // Both bars and the corner box into DC (the window's DC when none),
    // the thumb at ThumbOverride when it is not -1.
    void PaintScrollBars(HWND Handle, HRGN Region, HDC DC, int ThumbOverride);

    // Handlers of the window procedure.
    void NcCalcSize(TMessage& Message);
    void NcHitTest(TMessage& Message);
    void NcMouseMove(TMessage& Message);
    void NcLButtonDown(TMessage& Message);
    void MouseMove(TMessage& Message);
    void LButtonUp(TMessage& Message);
    void Timer(TMessage& Message);
    void PassNotify(TMessage& Message) { CallPrevWndProc(Message); }

    // Whether the capture belongs to someone else when the bar is let go
    // (the drop-down list of a combo box keeps it).
    virtual bool KeepsCaptureOnRelease() const { return false; }

    // The skin and the manager are in place and active.
    bool BarsSkinned() const;
    // Puts the kept scroll-bar bits back into the window's style.
    void GiveBackBarStyle();

protected:
    void AttachNow(HWND Handle, bool ScrollFlag) override;
    void BeforeDestruction() override;
    friend void AttachScrollSubclass(TzqMainWnd* Object, HWND Handle, bool FrameFlag);
    friend void DetachSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object);

private:
    // Takes the window's scroll-bar bits out of its style into KeptBarStyle.
    void MuteBarStyle(DWORD Style);
    // The bar drawn at R (relative to the window) into DC.
    int DrawBar(TzqScrollBar* Bar, HDC DC, TRect R, int ThumbOverride, int PressedPart);
    void RedrawBar(int Kind, int PressedPart);
    void ThumbTrack(int Coordinate);
    // A bar that the native rules would hide now (range without room to
    // scroll, not disabled instead) leaves the frame.
    void FollowNativeHiding();

    bool FGivingBack = false;   // the kept bits are going back into the style
};

// The scroll variant of attach: bars made, scroll information read, the
// window hooked, the frame recomputed at once with FrameFlag.
void AttachScrollSubclass(TzqMainWnd* Object, HWND Handle, bool FrameFlag);
// The scroll variant of detach: bars freed, the style bits given back.
void DetachSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object);

// Arrow length (Which 0) or thickness (Which 1) of Bar; SkinSizes lets a
// skin's larger arrow images count (drawing only).
int ScrollBarPartSize(TzqScrollBar* Bar, int Which, bool SkinSizes);
// The bar object of a window (0 horizontal, 1 vertical), nullptr else.
TzqScrollBar* GetScrollBarObject(HWND Handle, int Bar);
// Changes the smallest thumb of a window's bars (Bar 0, 1, or 3 for both).
void SetMinThumbSize(HWND Handle, int Bar, int Size);
// Whether the system reports the bar available (GetScrollBarInfo).
bool IsScrollBarActive(TzqScrollBar* Bar);
// Thumb length and start (screen or window coordinates of R) of Bar.
void CalcThumbSize(TzqScrollBar* Bar, TRect R, int& Length, int& Start);
// The part of Bar (rectangle R) under P: -1 none, 0 to 3, 5.
int HorzPortionAt(TzqScrollBar* Bar, TRect R, TPoint P);
int VertPortionAt(TzqScrollBar* Bar, TRect R, TPoint P);
// Whether the corner box Box (screen) shows a size grip.
bool HasSizeGripCorner(TzqScrollWnd* Object, TRect Box);
// 51, the scroll message, the position for thumb codes, 52.
void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Position);

// The program-wide tracking state (GUI thread only).
struct TzqScrollTracking {
    HWND TrackWindow = nullptr;
    int PressedBar = -1;
    int PressedPart = -1;
    int PressedDrawPart = -1;
    UINT ScrollMsg = 0;
    UINT_PTR RepeatTimerId = 0;
    int HoverBar = -1;
    int HoverPart = -1;
    int LastHoverPart = -1;
    UINT_PTR HoverTimerId = 0;
    TRect HoverBarRect{};
    int ThumbSize = 0;
    int ThumbPos = 0;
    TRect ThumbBounds{};
    int ThumbMouseOffset = 0;
    int LastTrackPos = 0;
    int LastMovePart = -1;   // the part under the cursor at the previous move of this press
};
extern TzqScrollTracking ScrollTracking;

constexpr UINT_PTR HoverTimer = 0xFFF2;
constexpr UINT_PTR FirstDelayTimer = 0xFFFD;
constexpr UINT_PTR RepeatTimer = 0xFFFE;
