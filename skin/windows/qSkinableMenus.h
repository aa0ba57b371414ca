#pragma once
// The skinned menus: the painter that draws the framework's menus itself
// through owner-draw. Every item of a popup menu, of a sub-menu and of a
// form's menu bar gets the painter's measure and draw handlers; a popup item
// is painted from the skin's sections over a cached picture of the whole
// popup window (its border, the optional vertical extra-line band on the
// left and the icon-line band behind the glyphs), and the popup window's
// region is cut to the skin's border corners.
//
// The cached picture (MenuBackground) belongs to one popup at a time, known
// by its first item; it is built at the first measure or draw of a popup and
// released when another popup starts, when the popup window is destroyed and
// at shutdown. GUI thread only.

#include <functional>
#include <memory>

#include "framework/Menus.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qMenuSupport.h"

class TBitmap;
class TCanvas;
class TCustomForm;
class TqSkinManager;

enum class TqMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// Called after an item has been painted, with the item's own bitmap.
using TqMenuManagerDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect& ARect,
                                                      TOwnerDrawState State, TqMenuItemType ItemType)>;

// What a form's skin provider gives the menu-bar painter: its cached frame
// picture and the menu bar's place in it. False when the form has none.
using TqMenuBarCacheLookup = std::function<bool(TCustomForm* Form, TBitmap*& Cache, TPoint& BarOffset)>;
extern TqMenuBarCacheLookup MenuBarCacheLookup;

class TqSkinableMenus : public TPersistent, public TqMenuPainterLink {
public:
    explicit TqSkinableMenus(TqSkinManager* AOwner);
    ~TqSkinableMenus() override;

    int Margin = 3;
    TAlignment Alignment = taLeftJustify;
    int BevelWidth = 0;    // stored only
    int BorderWidth = 3;   // popup border copied from the background
    int Spacing = 6;       // gap between the glyph column and the text
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(const TFont* Value) { FCaptionFont->Assign(Value); }
    // Width of the skin's popup border; -1 computes it again on next use.
    int SkinBorderWidth() const { return FSkinBorderWidth; }
    void SetSkinBorderWidth(int Value) { FSkinBorderWidth = Value; }
    int GetSkinBorderWidth();
    TqMenuManagerDrawItemEvent OnDrawItem;

    TqSkinManager* Manager() const { return FOwner; }
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    // Active while the manager has a skin loaded.
    void UpdateActive() override;
    void SkinApplied() override { FSkinBorderWidth = -1; }
    bool PopupWindowMessage(TMessage& Message) override;

    // Store Value as Active and hook or unhook the menus of every form.
    void HookAllForms(bool Value);
    void HookMenuItems(TPopupMenu* Menu, bool Value);
    void HookMainMenu(TMainMenu* Menu, bool Value);
    void HookItems(TMenuItem* Item, bool Value);
    void HookMenuItem(TMenuItem* Item, bool Value);
    // Whether the item's handlers are this painter's.
    bool IsHooked(const TMenuItem* Item) const;

    void DrawSkinMenuItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
    void MeasureSkinMenuItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height);
    void DrawMainMenuItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
    void MeasureMainMenuItem(TMenuItem* Item, TCanvas* ACanvas, int& Width, int& Height);

    // Puts the region procedure in front of the popup window and cuts its
    // region to Bitmap's rectangle less the corner list.
    void SkinPopupWindow(HWND Wnd, TBitmap* Bitmap);
    // The extra-line band's width in the popup being painted (0 when off).
    int ActiveExtraLineWidth() const;
    // The height of an item (the font of ACanvas already chosen).
    int ItemHeight(TMenuItem* Item, TCanvas* ACanvas);
    // Rectangles cut out of the popup region.
    const TAOR& Corners() const { return FCorners; }

private:
    struct TDrawHandler;
    struct TMeasureHandler;
    void SetPopupHandlers(TMenuItem* Item, bool Value, bool OnlyUnassigned);
    void SetMainHandlers(TMenuItem* Item, bool Value);
    void HookComponentTree(TComponent* Component);
    // The manager's SkinnedPopups (true once the manager is gone).
    bool PopupsHooked() const;
    void FetchExtraLineData(TMenuItem* FirstItem);
    void PrepareMenuBackground(TMenuItem* FirstItem, int W, HWND Wnd, int H);
    void PaintExtraLine(int H);
    void DrawDivider(TCanvas* ACanvas, const TRect& R, TPoint Place);
    void DrawCaptionItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& R, TPoint Place);
    void DrawNormalItem(TMenuItem* Item, TCanvas* ACanvas, const TRect& R, TOwnerDrawState State, bool FirstColumn,
                        TPoint Place);
    void ChooseMenuFont(TCanvas* ACanvas, TMenuItem* Item);

    TqSkinManager* FOwner;
    std::weak_ptr<const bool> FOwnerLife;
    bool FActive = false;
    bool FBorderBusy = false;
    int FSkinBorderWidth = 0;
    std::unique_ptr<TFont> FCaptionFont;
    TAOR FCorners;
};

// The menu painter of Manager: one per manager, made by the manager's
// constructor (this unit sets MenuPainterMaker at start-up); a manager made
// before that gets it here on first use.
TqSkinableMenus* SkinableMenusOf(TqSkinManager* Manager);

// Shared state of the popup being painted.
extern std::unique_ptr<TBitmap> MenuBackground;
// Raised when an item is measured; the popup-menu subclass paints the popup
// only while it is raised, and lowers it when a popup window is destroyed.
extern bool MenuMeasuring;

// Forgets the popup (its first item), frees MenuBackground and the
// extra-line data.
void ReleaseMenuBackground();
// Frees MenuBackground only.
void FreeMenuBackground();

// The item type by caption: "-" divider, "-text-" caption item, else normal.
TqMenuItemType MenuItemTypeOf(const TMenuItem* Item);
// The size of an item's glyph column: its Bitmap, else its menu's Images,
// else 16 x 16.
TPoint MenuItemGlyphSize(TMenuItem* Item);
// No item up to and including Item (among its siblings) starts a column.
bool MenuItemInFirstColumn(const TMenuItem* Item);
