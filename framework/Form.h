#pragma once
// Forms: top-level windows that hold controls. A form is built in code: its
// constructor creates its components, sets their properties and binds the
// events, then calls BeginLoading/EndLoading, as loading a form resource
// does; OnCreate runs from Loaded at the end of that.
//
// ShowModal runs a message loop with the program's other windows disabled
// until ModalResult is set (by code, a button's ModalResult, Esc on the
// Cancel button or closing the form). Tab, Enter and Esc are the form's
// dialog keys; the message loop offers them to the form before the focused
// control gets them.
//
// Destruction: DestroyForm fires OnDestroy once and then destroys the window
// with the form's own events (OnActivate, OnDeactivate, OnPaint, OnResize,
// ...) switched off. ~TCustomForm calls it, but by then the members of a
// derived form are gone: a derived form whose handlers use its own members
// calls DestroyForm first thing in its destructor.

#include <functional>
#include <vector>

#include "framework/WinControl.h"

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIconFlag : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Modal results: the dialog box command identifiers of Win32.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrClose = IDCLOSE;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    // Where Show places the form (each time it is shown).
    TPosition Position = poDesigned;
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    // The form's key events run before those of the focused control.
    bool KeyPreview = false;

    void Show() override;
    void Hide() override;
    TModalResult ShowModal();
    // Ends a modal run (when not mrNone) with this result.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }

    // Asks OnCloseQuery, then OnClose decides: hide, free, minimise or
    // nothing. Closing the main form ends the program's message loop.
    void Close();
    bool CloseQuery();
    // Frees the form once the messages now waiting have been handled.
    void Release();
    // Destroys the window and creates it again; a form that was showing
    // shows again, with the focus back on its active control.
    void RecreateWnd() override;
    // The menu bar (observed; nullptr for none).
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);

    // The control that has (or gets, when the form is next active) the focus.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    bool Active() const;

    // A canvas over the client area while OnPaint runs.
    TCanvas* Canvas() const { return FCanvas.get(); }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // Called by the controls of the form. FocusChanged: Control got the
    // focus. ControlRemoving: Control leaves the form or is being freed; an
    // active control in it is forgotten, and gets OnExit first unless it is
    // being freed itself. DefocusControl: Control is being hidden or
    // disabled; an active control in it gets OnExit and the focus goes to
    // the form.
    void FocusChanged(TWinControl* Control);
    void ControlRemoving(TControl* Control);
    void DefocusControl(TWinControl* Control);

protected:
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Fires OnDestroy (once: later calls do nothing) while the whole object
    // is alive, then destroys the window without the form's events. See
    // the top of this file.
    void DestroyForm();

    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void Loaded() override;
    void VisibleChanged() override;
    void EnabledChanged() override;

    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

private:
    TMainMenu* FMenu = nullptr;
    void PlaceOnShow();
    void FocusOnShow();
    void CloseModal();
    // Forgets the active control when it is Control or inside it; OnExit
    // runs unless the control is being freed or the form is.
    void ForgetActiveControl(const TControl* Control);
    bool DialogKey(Word Key);
    std::vector<TControl*> AllControls() const;
    void WMClose(TMessage& Message);
    void WMActivate(TMessage& Message);
    void CMDialogKey(TMessage& Message);

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FDestroyStarted = false;   // DestroyForm has run
    TWinControl* FActiveControl = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// Called once each time a form has been shown by ShowModal, before its
// message loop runs; tests use it to act on the modal form and close it.
extern std::function<void(TCustomForm* Form)> ShowModalHook;

// Offers a keyboard message of the message loop to its control and form as
// a dialog key, or a character as an accelerator (CM_DIALOGCHAR); true when
// it was handled (Application's ControlMessageFilter).
bool IsDialogKeyMessage(MSG& Msg);
