#pragma once
// The form skin provider: skins one form. It hooks the form's WindowProc and
// from then on draws the form's whole non-client area from the current skin
// (title bar with icon, caption and buttons, frame, size grip) out of one
// frame cache, cuts the form's window region along the transparent corners
// of the skin's border masks, tracks its title buttons, replaces the
// platform's window menu with a skinned one (with the list of skins to
// choose from) and paints the client background from the form's section.
//
// One provider per form: a second one made for a form that already has one
// stays inert. The provider is owned by its form; its link on the form's
// WindowProc comes off when it is freed (or goes with the form), in any
// order with the other links of the form.

#include <array>
#include <functional>
#include <memory>

#include "framework/Bitmap.h"
#include "framework/Collection.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/WindowHooks.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qConst.h"
#include "skin/windows/zqScrollWnd.h"

class TqSkinProvider;
class TqSkinManager;
class TqSkinableMenus;
class TzqCtrlAdapter;

enum TqGripMode { gmNone, gmRightBottom };
enum TqResizeMode { rmStandard, rmBorder };

// Asked before the control adapter takes a control.
using TAddItemEvent = std::function<void(TComponent* Item, bool& CanBeAdded, String& SkinSection)>;

// Codes of the title buttons: the hit-test results and the provider's hot code.
enum : int {
    tbcNone = 0,
    tbcCaption = HTCAPTION,
    tbcSysMenu = HTSYSMENU,
    tbcMinimize = HTMINBUTTON,
    tbcMaximize = HTMAXBUTTON,
    tbcClose = HTCLOSE,
    tbcHelp = HTHELP,
    tbcUserFirst = 1000,
};

// The state of one title button: 0 normal, 1 hot, 2 pressed; its skin mask
// and its place in window coordinates (the frame cache's space).
struct TqButtonRecord {
    int State = 0;
    int MaskIndex = -1;
    TRect Rect{};
};

class TqTitleButton : public TCollectionItem {
public:
    explicit TqTitleButton(TCollection* Collection);

    bool Enabled = true;
    bool UseSkinData = true;
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    const String& Name() const { return FName; }
    void SetName(const String& Value);
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    TqButtonRecord Data;

private:
    std::unique_ptr<TBitmap> FGlyph;
    String FName;
};

class TqTitleButtons : public TOwnedCollection<TqTitleButton> {
public:
    explicit TqTitleButtons(TqSkinProvider* AOwner);
    TqSkinProvider* Provider() const { return FProvider; }

private:
    TqSkinProvider* FProvider;
};

class TqTitleIcon : public TPersistent {
public:
    TqTitleIcon();
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* Value);
    int Width = 0;
    int Height = 0;

private:
    std::unique_ptr<TBitmap> FGlyph;
};

// The skinned window menu of a form: Restore, Move, Size, Minimize,
// Maximize, a separator and Close, shown and enabled by the rules below,
// which the title buttons use as well.
class TqSystemMenu : public TPopupMenu {
public:
    TqSystemMenu(TqSkinProvider* AProvider, TCustomForm* AForm);

    TqSkinProvider* Provider() const { return FProvider; }
    TCustomForm* Form() const { return FForm; }

    bool CloseVisible() const;
    bool MaxVisible() const;
    bool MinVisible() const;
    bool RestoreVisible() const;
    bool SizeVisible() const;
    bool MaxEnabled() const;
    bool MinEnabled() const;
    bool RestoreEnabled() const;
    bool MoveEnabled() const;
    bool SizeEnabled() const;

    void UpdateItems();

    TMenuItem* ItemRestore;
    TMenuItem* ItemMove;
    TMenuItem* ItemSize;
    TMenuItem* ItemMinimize;
    TMenuItem* ItemMaximize;
    TMenuItem* ItemClose;

private:
    bool Iconic() const;
    bool Has(unsigned Icon) const { return (FForm->BorderIcons() & Icon) != 0; }
    bool SingleOrSizeable() const;
    void SysCommand(WPARAM Command);

    TqSkinProvider* FProvider;
    TCustomForm* FForm;
};

// The system menu's list of skins: an "Available skins" item first, its
// items the skins that can be chosen, the current one checked.
void AddSkinListSubmenu(TqSystemMenu* Menu);
// Chooses the clicked item's skin.
void SkinMenuItemClick(TObject* Item);

class TqSkinProvider : public TComponent, public TqStateHolder {
public:
    explicit TqSkinProvider(TComponent* AOwner);
    ~TqSkinProvider() override;

    // Published properties.
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    TqCommonData* SkinData() const { return FSkinData.get(); }
    TqGripMode GripMode = gmNone;
    bool MakeSkinMenu = true;
    const String& MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const String& Value) { FMenuLineSkin = Value; }
    TqResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TqTitleButtons* TitleButtons() const { return FTitleButtons.get(); }
    void SetTitleButtons(const TqTitleButtons* Value) { FTitleButtons->Assign(Value); }
    TqTitleIcon* TitleIcon() const { return FTitleIcon.get(); }
    const String& TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const String& Value);
    bool UseGlobalColor() const { return FUseGlobalColor; }
    void SetUseGlobalColor(bool Value);
    TAddItemEvent OnSkinItem;

    // The form being skinned; nullptr for an inert provider.
    TCustomForm* Form() const { return FForm; }
    TqSystemMenu* SystemMenu() const { return FSystemMenu.get(); }
    bool FormActive() const { return FFormActive; }
    int HotCode() const { return FHotCode; }
    // The record of a button code, nullptr when the code has none.
    TqButtonRecord* ButtonRecord(int Code);
    // The region's holes of the last rebuild, in window coordinates.
    const TAOR& RegionRects() const { return FRegionRects; }

    void AfterConstruction();
    void Loaded() override;

    void InitSkin();
    void ReceiveSkinCommand(TMessage& Message) { (void)Message; }
    void RefreshFrame();
    void HookFormMenus(bool Skinned);
    void UpdateMenuOwnerDraw();
    void UpdateScrollSubclass();
    // Creates the control adapter when missing and adapts every control of
    // the form (at run time, when skinned).
    void CreateAdapter();
    // Tells every adapted control that the skin is removed, then frees the
    // adapter: each control has its own look back.
    void RemoveAdapter();
    // The control adapter, nullptr while none is made.
    TzqCtrlAdapter* Adapter() const { return FAdapter.get(); }

    // Frame painting.
    void PaintFormFrame();
    void PaintFrameToDC(HDC DC);
    // The non-client painting of WM_NCPAINT and WM_PRINT: the frame, or
    // the ring of a sizing form without a border style.
    void PaintNonClient(HDC DC);
    void RepaintTitle(const TCacheInfo& CI, TRect Q);
    void SaveTitleBackground();
    void PaintTitleIcon();
    void PaintClient();
    void PaintClientBackground(HDC DC, bool RepaintControls);
    void RepaintMenuItem(TMenuItem* Item, TRect R, unsigned State);
    int MenuRowCount();

    // Region.
    void PrepareFormRegion();
    HRGN CreateFormRegion(int X, int Y);
    void UpdateFormRegion(bool Redraw);

    // Title buttons and the system menu.
    void LoadTitleButtonMasks();
    void PaintTitleButtons();
    void PaintTitleButton(int Code);
    int ButtonAt(int X);
    int HitTest(TMessage& Message);
    void SetHotButton(int Code, bool Repaint);
    void PressButton(int Code);
    void DropSysMenu(int X, int Y);

    // Frame dragging (ResizeMode rmBorder): the outline's start at a screen
    // point, its drawing (drawing it again at the same place erases it) and
    // the end that moves or sizes the window once.
    void StartBorderDrag(int X, int Y);
    void DrawDragFrame(int X, int Y);
    void EndBorderDrag();

    // Geometry of the frame (see the frame painting).
    bool Framed() const;
    int FW() const;
    int FH() const;
    int CH() const;
    int BW() const { return 0; }   // the framework's forms have no inner border
    int FrameOffset() const { return FH() + BW(); }
    int TitleHeight() const { return CH() + FH(); }
    int FormWidth() const;
    int TitleAreaHeight() const;
    int ClientOffsetX() const;
    int ClientOffsetY() const;
    int ButtonsWidth();
    int TitleIconWidth() const;
    int TitleIconHeight() const;
    TRect TitleIconRect() const;
    bool MenuVisible() const;
    int MenuItemHeight() const;
    int ButtonWidth(int MaskIndex) const;
    int ButtonHeight() const;
    int UserButtonWidth(const TqTitleButton* Button) const;

    // TqStateHolder.
    TCustomForm* HolderForm() const override { return FForm; }
    TqCommonData* HolderData() const override { return FSkinData.get(); }
    void StateManagerChanged() override;
    void UpdateFormRegion() override { UpdateFormRegion(true); }
    HRGN CreateFormRegion() override;

    // The form's own skinned scroll bars, nullptr when it has none.
    TzqScrollWnd* ScrollWnd() const { return FScrollWnd.get(); }
    // The room of the skinned bars: the vertical bar's width, the
    // horizontal bar's height (0 for a bar not shown).
    int SkinnedBarSize(bool Vertical) const;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TqProviderMessages;
    friend class TqFrameDrag;

    void ProviderWndProc(TMessage& Message);
    void CallPrevious(TMessage& Message) { FHook.CallPrevious(Message); }
    LRESULT Previous(UINT Msg, WPARAM WParam, LPARAM LParam) { return FHook.CallPrevious(Msg, WParam, LParam); }
    TqSkinManager* Manager() const;
    bool Skinned(bool CheckLoaded = true) const { return FSkinData && FSkinData->IsSkinned(CheckLoaded); }
    bool FormGoing() const;
    bool FormCreating() const;
    HWND FormWnd() const;
    bool FormVisible() const;
    bool Iconic() const;
    bool Maximized() const;
    void FrameChanged() { FSkinData->BGChanged = true; }
    void FrameStale();
    void SendNcPaint();
    void ApplyGlobalColor();
    void ClearSysMenuStyle();
    void RestoreSysMenuStyle();
    int TitleSectionIndex(String* Name = nullptr) const;
    int GlobalMask(const String& Name) const;
    int FormMask(const String& Name) const;
    int TitleBarWidth(int MaskIndex);
    void PaintCaptionText(TRect R);
    void PaintTitleParts(const TCacheInfo& CI, int Right, int Bottom, int CaptionTop);
    void PlaceButton(TqButtonRecord& Rec, int& X, int Width, int MaskIndex, bool Enabled, int Top);
    void CopyToWindow(TRect R);
    // The manager's menu painter, nullptr when it has none.
    TqSkinableMenus* MenuPainter() const;
    // The menu painter draws the menu-bar items over the providers' caches.
    static void SetMenuBarLookup();
    // WM_MEASUREITEM of an item of the main menu: the item is hooked.
    void HookMeasuredItem(const MEASUREITEMSTRUCT* Measure);
    // The menu line: its section and the main menu's items, into the cache.
    void PaintMenuLine(const TCacheInfo& CI);
    // Each top-level item of the main menu that the menu line shows, with
    // its rectangle in window coordinates.
    void WalkMenuBar(const std::function<void(TMenuItem* Item, const TRect& R)>& Visit);
    void GiveBackNativeFrame();
    // The form scrolls: the framework's forms have no AutoScroll property;
    // a form whose window has scroll bars is one that scrolls.
    bool FormScrolls() const;
    // The form window's rectangle and client rectangle; false without a window.
    bool WindowAndClient(RECT& Window, RECT& Client) const;
    void FreeScrollWnd() { FScrollWnd.reset(); }

    std::unique_ptr<TqCommonData> FSkinData;
    TCustomForm* FForm = nullptr;
    TWindowHook FHook;
    TAlignment FCaptionAlignment = taLeftJustify;
    String FMenuLineSkin;
    String FTitleSkin;
    bool FShowAppIcon = true;
    bool FUseGlobalColor = true;
    std::unique_ptr<TqTitleButtons> FTitleButtons;
    std::unique_ptr<TqTitleIcon> FTitleIcon;
    std::unique_ptr<TqSystemMenu> FSystemMenu;
    std::unique_ptr<TzqCtrlAdapter> FAdapter;
    TzqMainWndPtr<TzqScrollWnd> FScrollWnd;

    TAOR FRegionRects;
    bool FRegionChanged = true;
    bool FRegionApplying = false;
    bool FSkipRegion = false;

    std::unique_ptr<TBitmap> FTitleButtonBg;
    std::unique_ptr<TBitmap> FTitleAreaCopy;
    std::unique_ptr<TBitmap> FMenuLineBmp;

    bool FFormActive = true;
    // Minimize, maximize, close, help.
    std::array<TqButtonRecord, 4> FButtons{};
    int FHotCode = 0;
    int FUserButtonMask = -1;
    int FMenuRows = -1;

    bool FFirstInitPending = false;
    bool FMenuOwnerDrawDone = false;
    bool FShowAnimation = false;
    bool FMenuChanged = true;
    bool FFramePaintedOnce = false;
    bool FGraphicControlsStale = false;
};

// The provider of the form along Component's owner chain (asked with
// sub-command 4), nullptr when there is none.
TqSkinProvider* GetFormProvider(TComponent* Component);

// Program-wide: a title button is pressed (set by PressButton, cleared by
// SetHotButton).
extern bool TitleButtonPressed;
