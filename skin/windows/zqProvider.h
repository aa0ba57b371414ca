#pragma once
// The dialog provider: what the skin engine puts on a window that did not
// come with a skin of its own. For a system dialog ("#32770") it wraps the
// dialog in a TzqDialogWnd (frame, caption, background) and each child in
// the window subclass of its class; for a framework form (the framework's
// message box form among them) it only gives the form a TqSkinProvider.
//
// A few system dialogs are recognised by exact sizes of some children
// (DialogKind 1 and 3); the system then paints part of them itself.
//
// Lifetime: a dialog's provider is freed when its dialog window goes (the
// wrapper hears WM_NCDESTROY and posts the free; see ProviderList), or with
// the creation hook, whichever comes first. A form's provider is a
// component of its form.

#include <memory>
#include <vector>

#include "framework/Component.h"
#include "skin/windows/zqDialogWnd.h"

class TCustomForm;
class TqSkinProvider;

class TzqProvider : public TComponent {
public:
    explicit TzqProvider(TComponent* AOwner);
    ~TzqProvider() override;

    // Gives Form a TqSkinProvider owned by it.
    void AttachToForm(TCustomForm* Form);
    // Wraps the dialog Handle and its children; false only when a child
    // refuses to be wrapped (the dialog then stays as the system draws it).
    bool InitDialog(HWND Handle);
    // Wraps every child of Wnd (z-order, depth first) not yet skinned.
    bool WrapChildren(HWND Wnd);
    bool SubclassDialogChild(HWND Child);
    // Every wrapper lets go of its window (the system's look comes back);
    // the objects stay until the provider is freed.
    void DetachWindows();

    Byte DialogKind = 0;
    HWND DialogHandle = nullptr;
    TqSkinProvider* FormProvider = nullptr;
    TzqMainWndPtr<TzqDialogWnd> DialogWrapper;
    std::vector<TzqMainWndPtr<>> ChildWrappers;

private:
    template <class T>
    T* Wrap(HWND Child, const String& Section);
};

// Makes, keeps or frees Wrapper of the dialog by the default manager's state.
void MakeDialogWrapper(HWND Handle, TzqMainWndPtr<TzqDialogWnd>& Wrapper);

// Every provider made for a dialog or a form; entries of providers that went
// are nil, never removed one by one.
extern std::unique_ptr<std::vector<TzqProvider*>> ProviderList;
// A new provider appended to ProviderList (made when missing). A provider
// without Owner belongs to the list.
TzqProvider* NewListedProvider(TComponent* Owner);
// Sets every entry of Provider to nil.
void ForgetProvider(TzqProvider* Provider);
// Takes a dialog's provider out of ProviderList and frees it once the
// message under way is over (posted; at program end at the latest).
void ScheduleProviderFree(TzqProvider* Provider);
// Provider waits for its posted free.
bool ProviderFreePending(TzqProvider* Provider);
// Frees every listed provider and the list: a form's at once, a dialog's
// detached at once and freed after the message under way.
void FreeProviderList();

// Painted by the system in dialogs of kind 1 and 3.
extern const TRect DialogKind1Rect;
HRGN DialogKind3Region();
extern const TRect DialogKind3Rects[3];

// Wrapped "combolbox" windows of the dialog being wrapped.
extern int ComboListCount;
