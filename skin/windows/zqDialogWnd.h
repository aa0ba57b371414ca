#pragma once
// The skinned frame of a system dialog ("#32770", or the framework's message
// box form): TzqDialogWnd draws the whole non-client area from the skin
// (frame, caption, icon, title buttons, size grip, window region) and the
// client background, answers hit tests and clicks of its own title buttons,
// and replaces the dialog's system menu by a skinned popup menu,
// TzqSystemMenu. WS_SYSMENU is taken out of the window's style (so that the
// system draws no caption buttons of its own); the style as it was before
// stays in SavedStyle and every decision reads that.

#include <memory>

#include "framework/Menus.h"
#include "skin/engine/qConst.h"
#include "skin/windows/zqScrollWnd.h"

class TzqDialogWnd;
class TzqProvider;

// Frame kinds.
enum : Byte { fkDialog = 0, fkNone = 2, fkSizing = 3 };

class TzqSystemMenu : public TPopupMenu {
public:
    explicit TzqSystemMenu(TComponent* AOwner);

    // Shows, hides, enables and disables the items by the dialog's state.
    void UpdateItems();

    TzqDialogWnd* DialogWnd = nullptr;
    TMenuItem* miRestore = nullptr;
    TMenuItem* miMove = nullptr;
    TMenuItem* miSize = nullptr;
    TMenuItem* miMinimize = nullptr;
    TMenuItem* miMaximize = nullptr;
    TMenuItem* miClose = nullptr;

private:
    void SysCommand(WPARAM Command);
};

// One title button.
struct TzqDialogButton {
    int State = 0;        // 0 normal, 1 hot, 2 pressed
    int ImageIndex = -1;  // mask index
    TRect Rect{};         // window coordinates
};

class TzqDialogWnd : public TzqScrollWnd {
public:
    TzqDialogWnd();
    ~TzqDialogWnd() override;

    void SubclassWndProc(TMessage& Message) override;

    // Settles the frame kind from the style, makes the icon picture and the
    // caption font, and takes WS_SYSMENU out of the window's style.
    void InitFrame();
    // The title-button masks of the current skin.
    void LoadTitleButtonIndexes();

    Byte FrameKind = fkSizing;
    DWORD SavedStyle = 0;
    DWORD SavedExStyle = 0;
    bool Active = true;
    bool RegionDirty = true;
    bool ChildrenRewrapped = false;
    TRect WindowRect{};
    int W = 0;
    int H = 0;
    TzqDialogButton Minimize, Maximize, Close, Help;
    int HotButton = 0;
    TAOR CornerRects;
    HICON WindowIcon = nullptr;
    std::unique_ptr<TBitmap> IconBitmap;
    std::unique_ptr<TBitmap> ButtonStrip;
    HFONT CaptionFont = nullptr;
    String CaptionText;
    std::unique_ptr<TzqSystemMenu> SystemMenu;
    TzqProvider* Provider = nullptr;

    // Metrics.
    int BorderWidth() const;
    int BorderHeight() const;
    int CaptionHeight() const;
    int TitleHeight() const;
    int ClientLeftOffset() const;
    int ClientTopOffset() const;
    int ButtonWidth(const TzqDialogButton& B) const;
    int ButtonHeight(const TzqDialogButton& B) const;
    int ButtonsWidth() const;

    // Button availability.
    bool CloseEnabled() const;
    bool MaxEnabled() const;
    bool MinEnabled() const;
    bool RestoreEnabled() const;

    // The cache bitmap built again from the skin (only while BG-changed).
    void PrepareCache();
    // WM_NCPAINT and WM_PAINT.
    void PaintFrame();
    void PaintClient();
    // WM_NCHITTEST answer for a screen point; Default is the answer already
    // in the message.
    LRESULT HitTest(int X, int Y, LRESULT Default);
    void SetHotButton(int Code, bool Repaint);
    void PressButton(int Code);
    void RepaintButton(int Code);
    TzqDialogButton* ButtonOf(int Code);
    void DropSystemMenu(int X, int Y);

    // The window gets its system-menu style and its full rectangle back.
    void GiveBackFrame();

protected:
    // GiveBackFrame, the base's steps, and the system's frame repainted.
    void BeforeDestruction() override;

private:
    // One brush for WM_CTLCOLORDLG per colour, freed with the wrapper.
    HBRUSH DialogBrush(TColor Color);
    HBRUSH FBrush = nullptr;
    TColor FBrushColor = 0;

    bool Iconic() const { return IsIconic(WndHandle) != 0; }
    bool Zoomed() const { return IsZoomed(WndHandle) != 0; }
    bool Has(DWORD Style) const { return (SavedStyle & Style) != 0; }
    int SectionIndex() const;
    int GlobalMask(const String& Name) const;
    int OwnMask(const String& Name) const;
    void RefreshGeometry();
    void PaintTitleButtons();
    void PlaceButton(TzqDialogButton& B, int& X, int Glyph, bool Enabled);
    void MakeIconBitmap();
    void MakeCaptionFont();
    void ApplyRegion();

    // Handlers of the window procedure.
    void Inherited(TMessage& Message);
    void Saved(TMessage& Message) { CallPrevWndProc(Message); }
    bool SkinCommandOfDialog(TMessage& Message);
    void ActivationMessage(TMessage& Message, bool Activate);
    void FrameMessage(TMessage& Message);
    void Paint(TMessage& Message);
    void EraseBackground(TMessage& Message);
    void NcLButtonDown(TMessage& Message);
    void ButtonUp(TMessage& Message);
    void NcLButtonDblClk(TMessage& Message);
    void NcRButtonUp(TMessage& Message);
    void AfterDefault(const TMessage& Message);
    void SysCommand(WPARAM Command) { SendMessageW(WndHandle, WM_SYSCOMMAND, Command, 0); }
};

// The window text (GetWindowTextW).
WideString GetWindowCaption(HWND Wnd);

// Set while a title button is pressed.
extern bool DialogButtonPressed;
// Set while a window region is being applied.
extern bool DialogRegionBusy;
