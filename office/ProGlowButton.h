#pragma once
// The glow button: a push button in the office look (two stacked gradients,
// a rounded frame, a picture or image-list glyph beside its caption) whose
// colours fade over a few timer ticks when the mouse enters, leaves, presses
// or releases it. It acts as a plain button, a check button, a member of an
// exclusive group, a split or whole drop-down button and an auto-repeating
// button. Painting is in ProGlowButtonPaint.cpp.

#include <memory>

#include "framework/CustomControl.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/StringList.h"
#include "framework/Timer.h"
#include "office/GlowButtonAppearance.h"
#include "visuals/ComponentStyle.h"
#include "visuals/GdiPlusPicture.h"
#include "visuals/ProGDIP.h"
#include "visuals/ProHintInfo.h"

class TShortCutHintWindow;

enum TProButtonStyle { bsButton, bsCheck };
enum TButtonLayout {
    blGlyphLeft, blGlyphTop, blGlyphRight, blGlyphBottom,
    blGlyphLeftAdjusted, blGlyphRightAdjusted, blGlyphTopAdjusted, blGlyphBottomAdjusted,
};
enum TDropDownPosition { dpRight, dpBottom };
enum TDropDownDirection { ddDown, ddRight };
enum TFocusType { ftBorder, ftHot, ftHotBorder, ftNone };
enum TButtonPosition { bpStandalone, bpLeft, bpMiddle, bpRight };
// Scoped: the grid has a state named gsNormal too, and both headers meet in
// the forms that hold a grid on a pager page.
enum class TGlowButtonState { gsNormal, gsHot, gsDown };
enum TButtonSizeState { bsGlyph, bsLabel, bsLarge };
enum TShortCutHintPos {
    shpLeft, shpTop, shpRight, shpBottom, shpCenter, shpAuto, shpTopLeft, shpTopRight, shpAboveTop,
    shpAboveTopLeft, shpAboveTopRight, shpBottomLeft, shpBottomRight, shpBelowBottom, shpBelowBottomLeft,
    shpBelowBottomRight,
};

using TGlowButtonDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, const TRect& Rect, TGlowButtonState State)>;

// The control message with which group members tell each other that one
// went down (WParam: the group, LParam: the button).
constexpr UINT CM_GLOWBUTTONPRESSED = 0xB018;

// What DrawGlowButtonFace draws. Colours are framework colours.
struct TGlowFaceParams {
    TGlowColorSet Colors{};
    String Caption;
    TFont* Font = nullptr;
    TImageList* Images = nullptr;
    int ImageIndex = -1;
    bool DrawImageEnabled = true;
    TGdiPlusPicture* Picture = nullptr;
    int ForcedGlyphWidth = 0, ForcedGlyphHeight = 0;
    TButtonLayout Layout = blGlyphLeft;
    bool DropDownButton = false;
    TDropDownPosition DropDownPosition = dpRight;
    bool DropDownSplit = true;
    TDropDownDirection DropDownDirection = ddDown;
    int DropDownHover = 0;         // 0 none, 1 over the button, 2 over the strip
    bool HotColors = false;        // hot or down colours in use
    bool Enabled = true;
    bool FocusFrame = false;
    bool TransparentLook = false;  // skip background and frame
    bool Border = true;
    TButtonPosition Position = bpStandalone;
    bool MouseInside = false;
    bool Down = false;
    bool Rounded = true;
    TAntiAlias AntiAlias = aaClearType;
    int Spacing = 2;
    StringTrimming Trimming = StringTrimmingNone;
    bool WordWrap = true;
    TStrings* Notes = nullptr;
    TFont* NotesFont = nullptr;
    bool MeasureOnly = false;
};

// Draws a glow button's face on Canvas into R (the client rectangle) and
// answers the content size that auto-size uses.
TSize DrawGlowButtonFace(TCanvas* Canvas, const TRect& R, const TGlowFaceParams& P);

// A caption's "\n" pairs (any case) as line breaks, or as blanks when the
// glyph size is forced.
String GlowCaptionLines(const String& Caption, bool ForcedGlyph);

class TProCustomGlowButton : public TCustomControl, public TComponentStyleUnknown<IComponentStyle> {
public:
    explicit TProCustomGlowButton(TComponent* AOwner);
    ~TProCustomGlowButton() override;

    // From another glow button: its properties, pictures, fonts, notes and
    // office hint by value, image lists by reference. Other sources: nothing.
    void Assign(const TPersistent* Source) override;
    void Click() override;
    void Loaded() override;

    // The style interface: a colour preset into Appearance.
    void STDMETHODCALLTYPE SetComponentStyle(TComponentStylePreset AStyle) override;

    // Hides the button at once and frees it once the messages being handled
    // (its own click among them) are done: for a button that its own click
    // makes unnecessary.
    void FreeLater();

    TGlowButtonAppearance* Appearance() const { return FAppearance.get(); }
    void SetAppearance(const TGlowButtonAppearance* Value) { FAppearance->Assign(Value); }

    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TImageList* Value);
    TImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TImageList* Value);
    TGdiPlusPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TGdiPlusPicture* Value) { FPicture->Assign(Value); }
    TGdiPlusPicture* DisabledPicture() const { return FDisabledPicture.get(); }
    void SetDisabledPicture(const TGdiPlusPicture* Value) { FDisabledPicture->Assign(Value); }
    TGdiPlusPicture* HotPicture() const { return FHotPicture.get(); }
    void SetHotPicture(const TGdiPlusPicture* Value) { FHotPicture->Assign(Value); }
    TFocusType FocusType() const { return FFocusType; }
    void SetFocusType(TFocusType Value) { FFocusType = Value; }
    int MarginVert() const { return FMarginVert; }
    void SetMarginVert(int Value);
    int MarginHorz() const { return FMarginHorz; }
    void SetMarginHorz(int Value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    TStringList* Notes() const { return FNotes.get(); }
    void SetNotes(const TStrings* Value);
    TFont* NotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(const TFont* Value);
    TProHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(const TProHintInfo* Value) { FOfficeHint->Assign(Value); }
    TButtonPosition Position() const { return FPosition; }
    void SetPosition(TButtonPosition Value);
    int InitRepeatPause() const { return FInitRepeatPause; }
    void SetInitRepeatPause(int Value) { FInitRepeatPause = Value; }
    int RepeatPause() const { return FRepeatPause; }
    void SetRepeatPause(int Value) { FRepeatPause = Value; }
    bool RepeatClick() const { return FRepeatClick; }
    void SetRepeatClick(bool Value) { FRepeatClick = Value; }
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value);
    const String& ShortCutHint() const { return FShortCutHint; }
    void SetShortCutHint(const String& Value) { FShortCutHint = Value; }
    TShortCutHintPos ShortCutHintPos() const { return FShortCutHintPos; }
    void SetShortCutHintPos(TShortCutHintPos Value) { FShortCutHintPos = Value; }
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool ShowDisabled() const { return FShowDisabled; }
    void SetShowDisabled(bool Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }
    StringTrimming Trimming() const { return FTrimming; }
    void SetTrimming(StringTrimming Value);
    String Version() const;
    void SetVersion(const String&) {}
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    TProButtonStyle Style() const { return FStyle; }
    void SetStyle(TProButtonStyle Value) { FStyle = Value; }
    TButtonSizeState MaxButtonSizeState() const { return FMaxButtonSizeState; }
    void SetMaxButtonSizeState(TButtonSizeState Value);
    TButtonSizeState MinButtonSizeState() const { return FMinButtonSizeState; }
    void SetMinButtonSizeState(TButtonSizeState Value);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool Value);
    TDropDownPosition DropDownPosition() const { return FDropDownPosition; }
    void SetDropDownPosition(TDropDownPosition Value);
    TDropDownDirection DropDownDirection() const { return FDropDownDirection; }
    void SetDropDownDirection(TDropDownDirection Value);
    bool DropDownSplit() const { return FDropDownSplit; }
    void SetDropDownSplit(bool Value) { FDropDownSplit = Value; }
    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* Value);

    // A shortcut hint window to recolour with the appearance; the button owns it.
    TShortCutHintWindow* ShortCutHintWindow() const { return FShortCutHintWindow; }
    void SetShortCutHintWindow(TShortCutHintWindow* Value);

    // Run-time state, read by painting and by tests.
    bool Hot() const { return FHot; }
    bool MouseInside() const { return FMouseInside; }
    bool HotLook() const { return FHotLook; }
    bool DropDownHot() const { return FDropDownHot; }
    bool Pressed() const { return FPressed; }
    int DrawState() const { return FDrawState; }
    int HotStep() const { return FHotStep; }
    int DownStep() const { return FDownStep; }
    bool Fading() const { return FFading; }
    TButtonSizeState SizeState() const { return FSizeState; }
    void SetButtonSizeState(TButtonSizeState Value);

    // Opens the drop-down menu (F4, the accelerator).
    void DoDropDown();
    // Enter or Escape through the dialog keys.
    void KeyClick();

    TGlowButtonDrawEvent OnDrawButton;
    TNotifyEvent OnDropDown;

protected:
    void CreateWnd() override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void TextChanged() override;

    virtual void RepeatTimerTick(TObject* Sender);
    virtual void AfterDraw(TCanvas*, const TRect&) {}
    virtual void PrepareOverlay(TBitmap*) {}
    virtual Cardinal GetVersionNr() const { return 0x01080109; }
    virtual bool DropDownAlways() const { return false; }
    virtual bool HasBorder() const { return FBorderStyle == bsSingle; }
    virtual bool HasFocusBorder();

private:
    friend class TGlowButtonPainter;

    void UpdateExclusive();
    void UpdateTracking();
    void UpdateSize();
    void AppearanceChanged(TObject* Sender);
    void StartFade();
    void FadeTimerTick(TObject* Sender);
    void MenuPress();
    void PopupMenuAt(int X, int Y);
    void PaintNow();
    bool InDropDownStrip(int X, int Y, int Strip) const;

    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CMFocusChanged(TMessage& Message);
    void CMButtonPressed(TMessage& Message);
    void CNCommand(TMessage& Message);

    std::unique_ptr<TGlowButtonAppearance> FAppearance;
    TAntiAlias FAntiAlias = aaClearType;
    bool FAutoSize = false;
    TFormBorderStyle FBorderStyle = bsSingle;
    bool FCancel = false;
    bool FDefault = false;
    int FImageIndex = -1;
    TImageList* FImages = nullptr;
    TImageList* FDisabledImages = nullptr;
    TImageList* FHotImages = nullptr;
    std::unique_ptr<TGdiPlusPicture> FPicture;
    std::unique_ptr<TGdiPlusPicture> FDisabledPicture;
    std::unique_ptr<TGdiPlusPicture> FHotPicture;
    TFocusType FFocusType = ftBorder;
    int FMarginVert = 1;
    int FMarginHorz = 1;
    int FModalResult = 0;
    std::unique_ptr<TStringList> FNotes;
    std::unique_ptr<TFont> FNotesFont;
    std::unique_ptr<TProHintInfo> FOfficeHint;
    TButtonPosition FPosition = bpStandalone;
    int FInitRepeatPause = 400;
    int FRepeatPause = 100;
    bool FRepeatClick = false;
    bool FRounded = true;
    String FShortCutHint;
    TShortCutHintPos FShortCutHintPos = shpTop;
    bool FShowCaption = true;
    bool FShowDisabled = true;
    int FSpacing = 2;
    bool FTransparent = false;
    StringTrimming FTrimming = StringTrimmingNone;
    bool FWordWrap = true;

    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    TButtonLayout FLayout = blGlyphLeft;
    TProButtonStyle FStyle = bsButton;
    TButtonSizeState FMaxButtonSizeState = bsLarge;
    TButtonSizeState FMinButtonSizeState = bsGlyph;
    bool FDropDownButton = false;
    TDropDownPosition FDropDownPosition = dpRight;
    TDropDownDirection FDropDownDirection = ddDown;
    bool FDropDownSplit = true;
    TPopupMenu* FDropDownMenu = nullptr;

    // Run-time state.
    bool FHot = false;
    bool FMouseInside = false;
    bool FHotLook = false;
    bool FDropDownHot = false;
    bool FPressed = false;
    bool FHeld = false;
    bool FReleasePending = false;
    bool FPressStarted = false;
    bool FClickSeen = false;
    int FDrawState = 0;            // 0 normal, 1 disabled, 2 down, 4 checked
    // The fade timer; FFading stands for its existence (it is stopped, not
    // freed, when a fade ends, because a fade ends inside its own tick).
    std::unique_ptr<TTimer> FFadeTimer;
    bool FFading = false;
    int FHotStep = 0;
    int FDownStep = 0;
    int FStepDelta = 0;
    int FFadeKind = 0;             // 0 hot fade, 1 down fade, 2 none
    std::unique_ptr<TTimer> FRepeatTimer;
    bool FActiveDefault = false;
    bool FLoadedDown = false;
    TButtonSizeState FSizeState = bsLarge;
    TButtonLayout FSavedLayout = blGlyphLeft;
    TDropDownPosition FSavedDropDownPosition = dpRight;
    bool FMeasuring = false;
    bool FSizePending = true;
    bool FMenuShowing = false;
    TShortCutHintWindow* FShortCutHintWindow = nullptr;
    int FClickDepth = 0;           // Click calls in progress
    bool FMenuPressed = false;     // the current press opened the drop-down menu
    bool FFreeLaterPending = false;   // FreeLater queued this button
};

// The concrete control.
class TProGlowButton : public TProCustomGlowButton {
public:
    using TProCustomGlowButton::TProCustomGlowButton;
};
