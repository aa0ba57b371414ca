#pragma once
// The office pager: a strip of office-style tabs along one edge and a stack
// of pages of which one, the active page, shows in the rest of the control.
// The pager lays its tabs out in a strip with a scroller for tabs that do not
// fit, and creates glow buttons for scrolling, the page list and closing.

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "framework/CustomControl.h"
#include "framework/ImageList.h"
#include "framework/WindowHooks.h"
#include "office/PageButtonSettings.h"
#include "office/PagerStylers.h"
#include "office/ProGlowButton.h"
#include "office/ShortCutHintWindow.h"
#include "visuals/ProHintInfo.h"

class TProOfficePage;
class TProOfficePager;

// A list of untyped pointers whose indexed access checks the upper bound.
class TDbgList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // "Index out of bounds in list read access" when Index >= Count.
    void* ReadItem(int Index) const;
    // "Index out of bounds in list write access" when Index >= Count.
    void WriteItem(int Index, void* Item);
    int Add(void* Item);
    int IndexOf(const void* Item) const;
    void Delete(int Index);
    void Move(int FromIndex, int ToIndex);
    void Clear() { FItems.clear(); }

private:
    std::vector<void*> FItems;
};

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TCloseOnTabPos { cpRight, cpLeft };
enum TImagePosition { ipTop, ipBottom, ipLeft, ipRight };
enum TProTabShape { tsRectangle, tsLeftRamp, tsRightRamp, tsLeftRightRamp };
using TTabRounding = int;   // 0..8

using TTabChangingEvent = std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;
using TOnClosePage = std::function<void(TObject* Sender, int PageIndex, bool& Allow)>;
using TOnClosedPage = std::function<void(TObject* Sender, int PageIndex)>;
using TTabMovedEvent = std::function<void(TObject* Sender, int FromPos, int ToPos)>;
using TTabClickEvent = std::function<void(TObject* Sender, int PageIndex)>;
using TOnPageListClick = std::function<void(TObject* Sender, int X, int Y)>;
using TDrawTabEvent = std::function<void(TObject* Sender, int TabIndex, const TRect& TabRect)>;
// Measures a tab caption (8-bit text, or the wide text when that is empty)
// as single-line text in the tab font; 0 x 0 for no text.
using TTabTextMeasurer = std::function<TSize(const String& Caption, const WideString& WideCaption)>;

// Geometry of the tabs; every setter that changes a value notifies the pager.
class TPagerTabSettings : public TPersistent {
public:
    // Every setting but Spacing.
    void Assign(const TPersistent* Source) override;

    TNotifyEvent OnChange;

    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value) { Set(FLeftMargin, Value); }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value) { Set(FRightMargin, Value); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { Set(FHeight, Value); }
    int StartMargin() const { return FStartMargin; }
    void SetStartMargin(int Value) { Set(FStartMargin, Value); }
    int EndMargin() const { return FEndMargin; }
    void SetEndMargin(int Value) { Set(FEndMargin, Value); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value) { Set(FSpacing, Value); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { Set(FWidth, Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value) { Set(FWordWrap, Value); }
    TImagePosition ImagePosition() const { return FImagePosition; }
    void SetImagePosition(TImagePosition Value) { Set(FImagePosition, Value); }
    TTabRounding Rounding() const { return FRounding; }
    void SetRounding(TTabRounding Value) { Set(FRounding, Value < 0 ? 0 : Value > 8 ? 8 : Value); }
    TProTabShape Shape() const { return FShape; }
    void SetShape(TProTabShape Value) { Set(FShape, Value); }

private:
    template <typename T> void Set(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        if (OnChange)
            OnChange(this);
    }

    int FLeftMargin = 4;
    int FRightMargin = 4;
    int FHeight = 26;
    int FStartMargin = 4;
    int FEndMargin = 0;
    int FSpacing = 4;
    int FWidth = 0;
    bool FWordWrap = false;
    TImagePosition FImagePosition = ipLeft;
    TTabRounding FRounding = 1;
    TProTabShape FShape = tsRectangle;
};

// How many visible tabs are scrolled out of view before the first one shown.
class TPagerTabScroller {
public:
    int Min() const { return FMin; }
    // Ignored when the maximum is below Value.
    void SetMin(int Value) { if (FMax >= Value) FMin = Value; }
    int Max() const { return FMax; }
    // Ignored when Value is below the minimum.
    void SetMax(int Value) { if (Value >= FMin) FMax = Value; }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { FPosition = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool CanGoBack() const { return FPosition > FMin; }
    bool CanGoForward() const { return FPosition < FMax; }

private:
    int FMin = 0;
    int FMax = 0;
    int FPosition = 0;
    bool FVisible = false;
};

class TProOfficePager : public TCustomControl {
public:
    explicit TProOfficePager(TComponent* AOwner);
    ~TProOfficePager() override;

    // The active page's list position, -1 when none. Safe to read from any
    // thread: one atomic load of a field only the GUI thread writes.
    int ActivePageIndex() const { return FActivePageIndex.load(std::memory_order_acquire); }
    void SetActivePageIndex(int Index);
    TProOfficePage* ActivePage() const;
    void SetActivePage(TProOfficePage* Page);

    int ProPageCount() const { return FPages.Count(); }
    TProOfficePage* ProPages(int Index) const;
    int IndexOfPage(const TProOfficePage* Page) const { return FPages.IndexOf(Page); }
    int VisibleTabCount() const;
    bool IsTabVisibleAt(int Index) const;

    int AddProPage(TProOfficePage* Page);
    void RemoveProPage(TProOfficePage* Page);
    void MoveProPage(int FromIndex, int ToIndex);
    void SelectNextPage(bool GoForward);
    void CloseActivePage();

    // Stylers: the external one when set, else the pager's own.
    TCustomProOfficePagerStyler* ProOfficePagerStyler() const { return FStyler; }
    void SetProOfficePagerStyler(TCustomProOfficePagerStyler* Value);
    TCustomProOfficePagerStyler* InternalStyler() const { return FInternalStyler.get(); }
    TCustomProOfficePagerStyler* CurrentStyler() const { return FCurrentStyler; }
    // Called by a styler: a change of the given kind, or its end.
    void StylerChanged(int Kind);
    void StylerFreed(TCustomProOfficePagerStyler* Styler);

    // Settings.
    TPagerTabSettings* TabSettings() const { return FTabSettings.get(); }
    void SetTabSettings(const TPagerTabSettings* Value) { FTabSettings->Assign(Value); }
    TPageButtonSettings* ButtonSettings() const { return FButtonSettings.get(); }
    void SetButtonSettings(const TPageButtonSettings* Value) { FButtonSettings->Assign(Value); }
    TProHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(const TProHintInfo* Value) { FOfficeHint->Assign(Value); }
    TPagerTabScroller* TabScroller() { return &FTabScroller; }

    TAntiAlias AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(TAntiAlias Value);
    bool CloseOnTab() const { return FCloseOnTab; }
    void SetCloseOnTab(bool Value);
    TCloseOnTabPos CloseOnTabPosition() const { return FCloseOnTabPosition; }
    void SetCloseOnTabPosition(TCloseOnTabPos Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TImageList* Value);
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    bool Glow() const { return FGlow; }
    void SetGlow(bool Value) { FGlow = Value; }
    TPopupMenu* PageListMenu() const { return FPageListMenu; }
    void SetPageListMenu(TPopupMenu* Value);
    int PageMargin() const { return FPageMargin; }
    void SetPageMargin(int Value);
    bool RotateTabLeftRight() const { return FRotateTabLeftRight; }
    void SetRotateTabLeftRight(bool Value);
    bool ShowNonSelectedTabs() const { return FShowNonSelectedTabs; }
    void SetShowNonSelectedTabs(bool Value);
    bool ShowShortCutHints() const { return FShowShortCutHints; }
    void SetShowShortCutHints(bool Value) { FShowShortCutHints = Value; }
    bool ShowTabHint() const { return FShowTabHint; }
    void SetShowTabHint(bool Value) { FShowTabHint = Value; }
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool TabReorder() const { return FTabReorder; }
    void SetTabReorder(bool Value) { FTabReorder = Value; }
    String Version() const;
    void SetVersion(const String&) {}
    bool ReadyFlag() const { return FReadyFlag; }

    // Layout (all in client coordinates).
    int TabOffset() const { return FTabOffset; }
    bool FullStripTabs() const { return FFullStripTabs; }
    bool IsPlainTab() const;
    int LeftShapeSpace() const;
    int RightShapeSpace() const;
    TRect GetTabsArea() const;
    TRect GetPageRect() const;
    TRect GetButtonsRect() const;
    TRect GetTabsRect() const;
    TRect GetTabRectEx(int FromIndex, int ToIndex, bool UseScroller);
    TRect GetTabRect(int Index) { return GetTabRectEx(0, Index, true); }
    TRect GetPageTabRect(const TProOfficePage* Page) { return GetTabRect(IndexOfPage(Page)); }
    int TabAtPos(int X, int Y);
    void InvalidateTab(int Index);
    void SetPageBounds(TProOfficePage* Page);
    void UpdatePageBounds();
    void UpdateTabScroller();
    void LayoutButtons();
    void ScrollPrev();
    void ScrollNext();
    bool CanShowCloseButton() const;
    // The close button is placed on the active tab.
    bool CloseButtonOnTab() const;

    // The glow buttons that exist, else nullptr.
    TProGlowButton* CloseButtonControl() const { return FCloseButton; }
    TProGlowButton* PageListButtonControl() const { return FPageListButton; }
    TProGlowButton* ScrollPrevButtonControl() const { return FScrollPrevButton; }
    TProGlowButton* ScrollNextButtonControl() const { return FScrollNextButton; }

    // How captions are measured; empty: with the styler's tab font on the
    // pager's canvas.
    TTabTextMeasurer TextMeasurer;

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TOnClosePage OnClosePage;
    TOnClosedPage OnClosedPage;
    TTabMovedEvent OnTabMoved;
    TTabClickEvent OnTabClick;
    TTabClickEvent OnTabRightClick;
    TTabClickEvent OnTabDblClick;
    TOnPageListClick OnPageListClick;
    TDrawTabEvent OnDrawTab;

    void SetParent(TWinControl* AParent) override;

    int HotTabIndex() const { return FHotTabIndex; }
    int DownTabIndex() const { return FDownTabIndex; }
    int HintTabIndex() const { return FHintTabIndex; }
    bool Dragging() const { return FDragging; }
    // Keyboard shortcut hints over the tabs (with ShowShortCutHints).
    void ShowShortCutHints();
    void HideShortCutHints();
    bool ShortCutHintsShown() const { return FShortCutHintShowing; }
    // The hint window of a page while the hints show, else nullptr.
    TShortCutHintWindow* PageShortCutHint(int Index) const;
    // The page-list button's click: fills PageListMenu and shows it, or
    // hands the place to OnPageListClick.
    void PageListClick();

protected:
    void WndProc(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Resize() override;
    void Paint() override;
    virtual Cardinal GetVersionNr() const { return 0x01050300; }

private:
    friend class TProOfficePage;

    void ChangeActivePage(int Index);
    void ScrollTabIntoView(int Index);
    void FollowMovedActivePage(TProOfficePage* Page);
    void TabSettingsChanged(TObject* Sender);
    void ButtonSettingsChanged(TObject* Sender);
    void RepaintActivePage();
    void InvalidateTabsArea();
    TSize MeasureCaption(const TProOfficePage* Page);
    TSize PageImageSize(const TProOfficePage* Page) const;
    // Scroll need of UpdateTabScroller: the maximum and whether a start was found.
    int ScrollNeed(bool& Found);
    TRect CloseButtonRect(bool& OnTab);
    TProGlowButton* EnsureButton(TProGlowButton*& Button, bool Wanted);
    bool Destroying() const { return IsDestroying(); }
    void StartFade(TProOfficePage* Page, int Step, Byte Mode);
    void StopFade(TProOfficePage* Page);
    void GlowTimerTick(TProOfficePage* Page);
    void MouseLeft();
    void TabDblClick(int X, int Y);
    void DoubleClickMessage(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    bool ButtonsAreaInUse() const;
    void PaintTabStrip();
    void PaintTab(int Index);
    // The image and caption of a tab over its background R.
    void PaintTabContent(int Index, TRect R);

    TDbgList FPages;
    std::atomic<int> FActivePageIndex{-1};   // written by the GUI thread only
    int FHotTabIndex = -1;
    int FDownTabIndex = -1;
    int FHintTabIndex = -1;
    bool FReadyFlag = false;
    bool FClosing = false;

    std::unique_ptr<TCustomProOfficePagerStyler> FInternalStyler;
    TCustomProOfficePagerStyler* FStyler = nullptr;          // external, observed
    TCustomProOfficePagerStyler* FCurrentStyler = nullptr;

    std::unique_ptr<TPagerTabSettings> FTabSettings;
    std::unique_ptr<TPageButtonSettings> FButtonSettings;
    std::unique_ptr<TProHintInfo> FOfficeHint;
    TPagerTabScroller FTabScroller;
    int FTabOffset = 4;
    bool FFullStripTabs = false;

    TAntiAlias FAntiAlias = aaClearType;
    bool FCloseOnTab = false;
    TCloseOnTabPos FCloseOnTabPosition = cpRight;
    TImageList* FImages = nullptr;
    TImageList* FDisabledImages = nullptr;
    bool FFreeOnClose = false;
    bool FGlow = true;
    TPopupMenu* FPageListMenu = nullptr;
    int FPageMargin = 1;
    bool FRotateTabLeftRight = true;
    bool FShowNonSelectedTabs = false;
    bool FShowShortCutHints = false;
    bool FShowTabHint = false;
    TTabPosition FTabPosition = tpTop;
    bool FTabReorder = false;
    // Drag reordering: armed by a left press on an enabled tab, started by
    // a move of more than 4 pixels, dropped on the release.
    // Shortcut hints: their windows (owned by the pager), the typed text and
    // the hook on the parent form's WindowProc while they show.
    std::vector<TShortCutHintWindow*> FShortCutHintWindows;
    bool FShortCutHintShowing = false;
    String FShortCutTyped;
    TWindowHook FFormHook;
    void FormMessage(TMessage& Message, const TCallPrevious& Previous);
    void ShortCutKey(Word Key);
    bool FDragArmed = false;
    bool FDragging = false;
    TPoint FDragStart{};

    // Glow buttons, owned by the pager as components while they exist.
    TProGlowButton* FCloseButton = nullptr;
    TProGlowButton* FPageListButton = nullptr;
    TProGlowButton* FScrollPrevButton = nullptr;
    TProGlowButton* FScrollNextButton = nullptr;
};
