#pragma once
// The base of the skin engine's window subclasses: an object attached to a
// window that it did not create (a standard control of a form, a child of a
// system dialog, a popup-menu window, an MDI client). The object takes over
// the window's message stream through the framework's one interception
// mechanism (WindowHooks.h), paints the window from the skin, and hands
// every message that it does not consume to what lay below it.
//
// Two ways of hooking, chosen at attach:
//   the framework way  the skin state belongs to a control (or to a form
//                      provider, whose form is then the control): a link in
//                      front of that control's WindowProc;
//   the window way     any other window: a link in front of its window
//                      procedure.
// Either way the window carries the property "ZQSBSC" naming the object
// while it is attached (GetSubclassObject).
//
// Lifetime: the creator owns the object and frees it with FreeSubclass (or
// a TzqMainWndPtr), never with a bare delete while its window can still
// call it. Freeing always takes the object's link out of its window's
// chain first; the mechanism keeps a chain whose newer links are still in
// place working as a pass-through, so no window is ever left calling a
// freed object. A link of the window way is freed with its window at
// WM_NCDESTROY; afterwards the object never touches the handle again (a
// later window may reuse it).
//
// GUI thread only.

#include <memory>

#include "framework/Graphics.h"
#include "framework/Messages.h"
#include "framework/Object.h"
#include "framework/WindowHooks.h"

class TControl;
class TqCommonData;
class TqSkinManager;

// Objects created while it is set paint as children of a skinned dialog
// (InDialog). The dialog skinning raises it while it wraps a dialog's
// children; the combo-box subclass while it wraps its drop-down list.
extern bool SubclassInDialog;
// Raised by the control adapter while it frees all its items (the form is
// going away): destroyed subclasses then leave their windows' look alone.
extern bool AdapterClearing;

// The name of the window property that names a window's subclass object.
extern const wchar_t* const SubclassPropName;

class TzqMainWnd;
// The object attached to Handle, or nullptr.
TzqMainWnd* GetSubclassObject(HWND Handle);

// SWP_FRAMECHANGED with FrameFlag (the frame is recomputed and repainted),
// else WM_NCPAINT with wParam 1.
void RedrawNonClient(HWND Handle, bool FrameFlag);

class TzqMainWnd : public TObject {
public:
    // The virtual constructor of the family: builds an object of class T
    // and attaches it to Handle. ScrollFlag is handed to the scroll attach
    // as its frame-refresh flag; Section names the skin section used when
    // SkinData has none; with SkinData nil the object makes and owns one.
    template <class T>
    static T* Create(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                     TqCommonData* ASkinData)
    {
        std::unique_ptr<T> object(new T());
        object->Setup(Handle, ScrollFlag, Section, AManager, ASkinData);
        return object.release();
    }

    ~TzqMainWnd() override;

    // Colours of the window saved at creation, applied from the skin, and
    // given back when the skin goes.
    virtual void SaveOriginalColors() {}
    virtual void RestoreOriginalColors() {}
    virtual void ApplySkinColors() { ColorsApplied = true; }
    // The object's window procedure: what it handles, it answers; the rest
    // goes on through CallPrevWndProc.
    virtual void SubclassWndProc(TMessage& Message);

    // Hands a message to what lay below the object when it attached; the
    // LParam field comes back (answers travel there) and the result is
    // returned. 0 when the object never hooked or its chain is gone.
    LRESULT CallPrevWndProc(HWND Handle, UINT Msg, WPARAM WParam, LPARAM& LParam);
    void CallPrevWndProc(TMessage& Message);

    // Whether a previous handler is kept: the object hooked a control's
    // WindowProc (SavedControlProc) or a window procedure (PrevWndProc).
    bool SavedControlProc() const { return FHookedControl != nullptr; }
    bool PrevWndProc() const { return FHooked && FHookedControl == nullptr; }
    // The link is in its window's chain (false after detach and after the
    // window's WM_NCDESTROY).
    bool HookInstalled() const { return FHook.Installed(); }

    bool InDialog = false;
    String CachedText;
    TRect WindowBounds{};
    TPoint WindowSize{};
    TPoint OffsetInParent{};
    TRect ParentBounds{};
    HWND ParentHandle = nullptr;
    HWND WndHandle = nullptr;
    TqSkinManager* Manager = nullptr;
    TqCommonData* SkinData = nullptr;
    bool Scrolling = false;
    bool ColorsApplied = false;
    TColor SavedColor = 0;
    TColor SavedFontColor = 0;
    bool Detached = false;
    bool OwnsSkinData = false;

    // Frees Object: the window is unhooked first (unless the adapter is
    // clearing its items), then the object is deleted.
    static void FreeSubclass(TzqMainWnd* Object);

protected:
    TzqMainWnd() = default;

    // The creation steps; the edit family replaces them with its own.
    virtual void Setup(HWND Handle, bool ScrollFlag, const String& Section, TqSkinManager* AManager,
                       TqCommonData* ASkinData);
    // Destruction while the object is still whole: the visual style and
    // the previous procedure come back, the property goes, the window's
    // own colours come back.
    virtual void BeforeDestruction();

    // Step 6 of the creation: the plain attach; the scroll windows attach
    // with their bars.
    virtual void AttachNow(HWND Handle, bool ScrollFlag);
    // The base's answers to the skin command message (true: answered, not
    // passed on).
    bool SkinCommand(TMessage& Message);
    // WM_MOUSEMOVE: the default manager learns which window is hovered.
    void NoteHover();
    // Manager while it exists.
    TqSkinManager* LiveManager() const;

    // The window still is the one the object attached to: its link is in
    // place, or (the framework way) the property still names this object.
    bool WindowIsOurs() const;
    // Reads the window text into CachedText.
    void ReadCachedText();

    // The steps of attach and detach that the scroll variant shares.
    friend void AttachSubclass(TzqMainWnd* Object, HWND Handle);
    friend void DetachPlainSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object);
    friend void DetachSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object);
    void InstallHook(HWND Handle);
    // Takes the link out and removes the property while it names this object.
    void GiveBackProcedure();

private:
    TWindowHook FHook;
    std::weak_ptr<const bool> FManagerLife;
    TControl* FHookedControl = nullptr;
    bool FHooked = false;
};

// Frees a subclass object through FreeSubclass.
struct TzqMainWndDeleter {
    void operator()(TzqMainWnd* Object) const { TzqMainWnd::FreeSubclass(Object); }
};
template <class T = TzqMainWnd>
using TzqMainWndPtr = std::unique_ptr<T, TzqMainWndDeleter>;

// Sets the property and hooks the window (framework way when the skin
// state has an owner control or belongs to a form provider, else the
// window way).
void AttachSubclass(TzqMainWnd* Object, HWND Handle);
// Gives the procedure back, removes the property, restores the window's
// colours and (when visible) refreshes its frame; with FreeFlag the object
// is freed and Object set to nil. Nothing for a nil Object.
void DetachPlainSubclass(HWND Handle, bool FreeFlag, bool FrameFlag, TzqMainWnd*& Object);

// WindowBounds, ParentHandle, ParentBounds, WindowSize and OffsetInParent
// of Object read from the window.
void ReadWindowGeometry(HWND Handle, TzqMainWnd* Object);
// Rebuilds the cache bitmap of a stale skin state from its section over
// the parent's cache (PlainFrame: window colour in a one-pixel frame of the
// skin's border colour, when the skin has one).
void RebuildWindowCache(TqCommonData* Data, HWND Handle, bool PlainFrame);
// Repaints the transparent outer corners of the cache's border with what
// lies behind the window (the parent's cache or its colour).
void PaintWindowCorners(TqCommonData* Data, int State, TzqMainWnd* Object);

// A WM_PAINT that a subclass skips validates the window, so that the
// system does not send it again and again.
void SkipPaint(HWND Handle);
