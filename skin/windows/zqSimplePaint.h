#pragma once
// What the simple skinned controls share: the paint cycle that draws a
// window wholly from its cache bitmap (and validates the window also when
// it draws nothing), the wrapping of a look change so that the window's own
// procedure sees the message but draws nothing, and the hover tracking.

#include <functional>

#include "framework/Messages.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qMaskData.h"
#include "skin/windows/zqMainWnd.h"

// The paint cycle of one WM_PAINT: BeginPaint and EndPaint when the
// message brings no DC. One that brings a DC (a WM_PRINT turned into
// WM_PAINT, a parent's off-screen painting) leaves the window's update
// region alone, so that a window printed before its first paint is still
// drawn on the screen.
class TzqPaintCycle {
public:
    TzqPaintCycle(HWND Wnd, WPARAM GivenDC);
    ~TzqPaintCycle();
    TzqPaintCycle(const TzqPaintCycle&) = delete;
    TzqPaintCycle& operator=(const TzqPaintCycle&) = delete;

    // The DC given with the message, nullptr when none was.
    HDC Given() const { return FGiven; }
    // BeginPaint's DC (nullptr when a DC was given).
    HDC PaintDC() const { return FPaint.hdc; }

private:
    HWND FWnd;
    HDC FGiven;
    PAINTSTRUCT FPaint{};
};

// WM_PAINT (or a WM_PRINT turned into it) of a window drawn from its cache:
// BeginPaint; the window's geometry read; unless TestUpdating finds the
// skin state updating, BuildCache rebuilds the cache (BGChanged raised
// first) and the cache goes to the DC in wParam, else to a DC fetched and
// released here; EndPaint. Result 0.
void PaintWindowFromCache(TzqMainWnd& Wnd, TMessage& Message, bool TestUpdating,
                          const std::function<void()>& BuildCache);
// Copies the cache to DC at (0, 0), as large as the cache.
void CopyCacheToDC(TzqMainWnd& Wnd, HDC DC);
// WM_SETREDRAW 0, Inherited, WM_SETREDRAW 1, BGChanged, then a WM_PAINT of
// its own: the window's procedure handles the message without drawing.
void WrapLookChange(TzqMainWnd& Wnd, TMessage& Message, const std::function<void(TMessage&)>& Inherited);
// Whether the window is drawn from the skin now: it has skin state whose
// manager is active and whose section the loaded skin has.
bool SkinActive(const TzqMainWnd& Wnd);
// The manager that tracks hovering for Wnd: its own, else the default one.
TqSkinManager* HoverManager(const TzqMainWnd& Wnd);
// Whether the window is the manager's hovered window.
bool IsHoveredWindow(const TzqMainWnd& Wnd);
// After a WM_MOUSEMOVE: the window becomes the hovered one while the cursor
// is over it, and stops being it when the cursor left.
void TrackHover(TzqMainWnd& Wnd);
// Mixes the cache with the parent's cache under the window so that each
// pixel keeps 40 percent of the control (the disabled look).
void MixWithParentCache(TzqMainWnd& Wnd, const TCacheInfo& ParentCache);
// The section data of the window's skin state, nullptr when unskinned.
const TqGeneralData* SectionOf(const TzqMainWnd& Wnd);
// A mask of GLOBALINFO by name, nullptr when the skin lacks it.
const TqMaskData* GlobalMask(const TzqMainWnd& Wnd, const char* Name);
// The GLYPHMASK of a section by name, nullptr when the skin lacks it.
const TqMaskData* SectionGlyph(const TzqMainWnd& Wnd, const char* Section);
