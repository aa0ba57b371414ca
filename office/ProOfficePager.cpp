// The pager's page list, active page, page operations, styler link and life
// cycle.

#include "office/ProOfficePager.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/StrUtils.h"
#include "office/ProOfficePage.h"

namespace {

// A negative index fails the plain list's own check.
void CheckNotNegative(int Index)
{
    if (Index < 0)
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

} // namespace

void* TDbgList::ReadItem(int Index) const
{
    if (Index >= Count())
        throw Exception("Index out of bounds in list read access");
    CheckNotNegative(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TDbgList::WriteItem(int Index, void* Item)
{
    if (Index >= Count())
        throw Exception("Index out of bounds in list write access");
    CheckNotNegative(Index);
    FItems[static_cast<std::size_t>(Index)] = Item;
}

int TDbgList::Add(void* Item)
{
    FItems.push_back(Item);
    return Count() - 1;
}

int TDbgList::IndexOf(const void* Item) const
{
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TDbgList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw Exception("Index out of bounds in list write access");
    FItems.erase(FItems.begin() + Index);
}

void TDbgList::Move(int FromIndex, int ToIndex)
{
    void* Item = ReadItem(FromIndex);
    FItems.erase(FItems.begin() + FromIndex);
    FItems.insert(FItems.begin() + ToIndex, Item);
}

void TPagerTabSettings::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TPagerTabSettings*>(Source)) {
        SetLeftMargin(S->FLeftMargin);
        SetRightMargin(S->FRightMargin);
        SetHeight(S->FHeight);
        SetStartMargin(S->FStartMargin);
        SetEndMargin(S->FEndMargin);
        SetWidth(S->FWidth);
        SetWordWrap(S->FWordWrap);
        SetImagePosition(S->FImagePosition);
        SetShape(S->FShape);
        SetRounding(S->FRounding);
        return;
    }
    TPersistent::Assign(Source);
}

TProOfficePager::TProOfficePager(TComponent* AOwner)
    : TCustomControl(AOwner), FTabSettings(std::make_unique<TPagerTabSettings>()),
      FButtonSettings(std::make_unique<TPageButtonSettings>()), FOfficeHint(std::make_unique<TProHintInfo>())
{
    ControlStyle = (ControlStyle | csAcceptsControls) & ~csOpaque;
    SetDoubleBuffered(true);
    SetBounds(Left(), Top(), 400, 200);
    FInternalStyler = std::make_unique<TCustomProOfficePagerStyler>(nullptr);
    FInternalStyler->SetName("InternalStyler");
    FInternalStyler->AddPager(this);
    FCurrentStyler = FInternalStyler.get();
    {
        // The internal styler takes the look of the Office 2007 Luna preset.
        TProOfficePagerOfficeStyler Look(nullptr);
        Look.SetStyle(psOffice2007Luna);
        FInternalStyler->Assign(&Look);
    }
    FTabSettings->OnChange = [this](TObject* Sender) { TabSettingsChanged(Sender); };
    FButtonSettings->OnChange = [this](TObject* Sender) { ButtonSettingsChanged(Sender); };
}

TProOfficePager::~TProOfficePager()
{
    Destroying();
    HideShortCutHints();
    if (FStyler) {
        FStyler->RemovePager(this);
        FStyler->RemoveFreeNotification(this);
    }
    FInternalStyler->RemovePager(this);
    // The pages belong to the form and outlive the list.
    // Their glow timers tick into this pager: they stop with it.
    for (int I = 0; I < FPages.Count(); ++I) {
        auto* Page = static_cast<TProOfficePage*>(FPages.ReadItem(I));
        Page->FGlowTimer.reset();
        Page->FPager = nullptr;
    }
    FPages.Clear();
}

TProOfficePage* TProOfficePager::ProPages(int Index) const
{
    return static_cast<TProOfficePage*>(FPages.ReadItem(Index));
}

TProOfficePage* TProOfficePager::ActivePage() const
{
    const int I = ActivePageIndex();
    return I < 0 || I >= ProPageCount() ? nullptr : ProPages(I);
}

void TProOfficePager::SetActivePage(TProOfficePage* Page)
{
    const int I = IndexOfPage(Page);
    if (I >= 0)
        SetActivePageIndex(I);
}

int TProOfficePager::VisibleTabCount() const
{
    int N = 0;
    for (int I = 0; I < ProPageCount(); ++I)
        if (ProPages(I)->TabVisible())
            ++N;
    return N;
}

bool TProOfficePager::IsTabVisibleAt(int Index) const
{
    return Index >= 0 && Index < ProPageCount() && ProPages(Index)->TabVisible();
}

void TProOfficePager::ChangeActivePage(int Index)
{
    if (Index < 0 || Index >= ProPageCount())
        return;
    if (Index == ActivePageIndex() && ProPageCount() > 1)
        return;
    if (FShortCutHintShowing)
        HideShortCutHints();
    bool AllowChange = true;
    if (OnChanging && FReadyFlag && !Destroying())
        OnChanging(this, ActivePageIndex(), Index, AllowChange);
    if (!AllowChange)
        return;
    if (TProOfficePage* Old = ActivePage()) {
        Old->SetVisible(false);
        if (Old->OnHide)
            Old->OnHide(Old);
    }
    FActivePageIndex.store(Index, std::memory_order_release);
    TProOfficePage* Page = ProPages(Index);
    Page->SetVisible(true);
    Page->BringToFront();
    if (OnChange && !Destroying() && !IsLoading())
        OnChange(this);
    LayoutButtons();
}

// A tab that is not laid out (scrolled away or hidden) scrolls to the
// number of visible tabs before it, as far as the scroller goes.
void TProOfficePager::ScrollTabIntoView(int Index)
{
    const TRect R = GetTabRect(Index);
    if (R.left == -1 && Index >= 0 && Index < ProPageCount()) {
        int Before = 0;
        for (int I = 0; I < Index; ++I)
            if (ProPages(I)->TabVisible())
                ++Before;
        FTabScroller.SetPosition(std::min(Before, FTabScroller.Max()));
    }
}

void TProOfficePager::SetActivePageIndex(int Index)
{
    ScrollTabIntoView(Index);
    ChangeActivePage(Index);
    InvalidateTabsArea();
}

void TProOfficePager::SelectNextPage(bool GoForward)
{
    const int Active = ActivePageIndex();
    if (Active < 0)
        return;
    const int N = ProPageCount();
    int I = Active;
    for (int Step = 0; Step < N; ++Step) {
        I = GoForward ? (I + 1) % N : (I - 1 + N) % N;
        TProOfficePage* P = ProPages(I);
        if (I != Active && P->TabVisible() && P->TabEnabled()) {
            SetActivePageIndex(I);
            return;
        }
    }
}

int TProOfficePager::AddProPage(TProOfficePage* Page)
{
    int Index = IndexOfPage(Page);
    if (Index < 0)
        Index = FPages.Add(Page);
    if (Page->Parent() != this) {
        Page->FSettingParent = true;
        try {
            Page->TWinControl::SetParent(this);
        } catch (...) {
            Page->FSettingParent = false;
            throw;
        }
        Page->FSettingParent = false;
    }
    Page->FPager = this;
    SetPageBounds(Page);
    if (Page != ActivePage())
        Page->SetVisible(false);
    InvalidateTabsArea();
    if (TProOfficePage* A = ActivePage()) {
        A->BringToFront();
        A->Invalidate();
    }
    UpdateTabScroller();
    return Index;
}

void TProOfficePager::RemoveProPage(TProOfficePage* Page)
{
    const int Index = IndexOfPage(Page);
    if (Index < 0)
        return;
    const int Active = ActivePageIndex();
    const bool WasActive = Index == Active;
    if (WasActive)
        SelectNextPage(true);
    // The page after the removal that stays active, counted in the shortened list.
    TProOfficePage* Keep = WasActive && ActivePageIndex() != Index ? ActivePage() : nullptr;
    if (!WasActive)
        Keep = ActivePage();
    FPages.Delete(Index);
    Page->FPager = nullptr;
    Page->FGlowTimer.reset();   // it ticks into this pager
    if (FHotTabIndex >= ProPageCount())
        FHotTabIndex = -1;
    // The shift of the indexes is bookkeeping, not a change the user can
    // veto: the kept page stays active at its new position. With no other
    // selectable page the first remaining page takes over so that the index
    // always names a page that is shown.
    int NewIndex = Keep ? IndexOfPage(Keep) : -1;
    if (NewIndex < 0 && ProPageCount() > 0)
        NewIndex = std::min(Index, ProPageCount() - 1);
    FActivePageIndex.store(NewIndex, std::memory_order_release);
    if (NewIndex >= 0) {
        TProOfficePage* P = ProPages(NewIndex);
        if (!P->Visible()) {
            P->SetVisible(true);
            if (OnChange && !Destroying() && !IsLoading())
                OnChange(this);
        }
        P->BringToFront();
    }
    if (!Destroying()) {
        LayoutButtons();
        UpdateTabScroller();
        InvalidateTabsArea();
        Invalidate();
        if (TProOfficePage* A = ActivePage())
            A->Invalidate();
    }
}

void TProOfficePager::MoveProPage(int FromIndex, int ToIndex)
{
    const int N = ProPageCount();
    if (FromIndex < 0 || FromIndex >= N || ToIndex < 0 || ToIndex >= N)
        return;
    TProOfficePage* Active = ActivePage();
    FPages.Move(FromIndex, ToIndex);
    if (Active)
        FollowMovedActivePage(Active);
    UpdateTabScroller();
    InvalidateTabsArea();
    if (OnTabMoved)
        OnTabMoved(this, FromIndex, ToIndex);
}

// The active page after a move of the list stays active; when its index
// moved, that is a change of the active index like any other: OnChanging
// (from the old index to the new), then OnChange. The move itself cannot be
// taken back, so the index follows the page at once, a handler that refuses
// only keeps OnChange from firing, and the page that now sits at the old
// index, never shown, is neither hidden nor told so. An index the move left
// alone is set again the ordinary way: its tab scrolls into view, and a
// pager's only page is activated again.
void TProOfficePager::FollowMovedActivePage(TProOfficePage* Page)
{
    const int Was = ActivePageIndex();
    const int Now = IndexOfPage(Page);
    if (Now == Was) {
        SetActivePageIndex(Now);
        return;
    }
    FActivePageIndex.store(Now, std::memory_order_release);
    ScrollTabIntoView(Now);
    if (FShortCutHintShowing)
        HideShortCutHints();
    bool AllowChange = true;
    if (OnChanging && FReadyFlag && !Destroying())
        OnChanging(this, Was, Now, AllowChange);
    if (AllowChange && OnChange && !Destroying() && !IsLoading())
        OnChange(this);
    LayoutButtons();
}

void TProOfficePager::CloseActivePage()
{
    if (!ActivePage() || FClosing)
        return;
    FClosing = true;
    struct ClearMark {
        bool& Flag;
        ~ClearMark() { Flag = false; }
    } Clear{FClosing};
    bool Allow = true;
    if (OnClosePage)
        OnClosePage(this, ActivePageIndex(), Allow);
    if (!Allow)
        return;
    const int I = ActivePageIndex();
    TProOfficePage* Closed = ProPages(I);
    StopFade(Closed);
    SelectNextPage(true);
    InvalidateTabsArea();
    if (FFreeOnClose) {
        // The page's destructor removes it from the list and keeps the
        // active index on a remaining page.
        delete Closed;
    } else {
        Closed->SetTabVisible(false);
        if (ActivePage() == Closed) {
            // Nothing else could be selected: nothing is shown.
            Closed->SetVisible(false);
            FActivePageIndex.store(-1, std::memory_order_release);
        }
    }
    UpdateTabScroller();
    if (TProOfficePage* A = ActivePage())
        A->Invalidate();
    else
        Invalidate();
    if (OnClosedPage)
        OnClosedPage(this, I);
}

void TProOfficePager::SetProOfficePagerStyler(TCustomProOfficePagerStyler* Value)
{
    if (Value == FStyler && Value)
        return;
    if (FStyler && FStyler != FInternalStyler.get()) {
        FStyler->RemovePager(this);
        FStyler->RemoveFreeNotification(this);
    }
    FStyler = Value;
    if (Value) {
        FCurrentStyler = Value;
        Value->AddPager(this);
        Value->FreeNotification(this);
    } else {
        FCurrentStyler = FInternalStyler.get();
    }
    if (!Destroying() && !IsLoading())
        for (int I = 0; I < ProPageCount(); ++I)
            ProPages(I)->Invalidate();
    StylerChanged(0);
}

void TProOfficePager::StylerChanged(int Kind)
{
    Invalidate();
    RepaintActivePage();
    if (Kind == 2 || Kind == 4)
        LayoutButtons();
}

void TProOfficePager::StylerFreed(TCustomProOfficePagerStyler* Styler)
{
    if (Styler == FStyler) {
        FStyler = nullptr;
        FCurrentStyler = FInternalStyler.get();
        if (!Destroying())
            StylerChanged(0);
    }
}

void TProOfficePager::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || Destroying())
        return;
    if (AComponent == FStyler)
        StylerFreed(FStyler);
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FDisabledImages)
        SetDisabledImages(nullptr);
    if (AComponent == FPageListMenu)
        SetPageListMenu(nullptr);
}

void TProOfficePager::SetParent(TWinControl* AParent)
{
    if (dynamic_cast<TProOfficePager*>(AParent))
        throw Exception("Invalid Parent");
    TCustomControl::SetParent(AParent);
    if (AParent && !FReadyFlag && !IsLoading()) {
        FReadyFlag = true;
        LayoutButtons();
    }
}

void TProOfficePager::Loaded()
{
    TCustomControl::Loaded();
    FReadyFlag = true;
    LayoutButtons();
}

void TProOfficePager::Resize()
{
    TCustomControl::Resize();
    UpdatePageBounds();
    UpdateTabScroller();
}

String TProOfficePager::Version() const
{
    const Cardinal V = GetVersionNr();
    return std::to_string((V >> 24) & 0xFF) + "." + std::to_string((V >> 16) & 0xFF) + "." +
           std::to_string((V >> 8) & 0xFF) + "." + std::to_string(V & 0xFF);
}

void TProOfficePager::RepaintActivePage()
{
    if (TProOfficePage* A = ActivePage())
        A->Invalidate();
}

void TProOfficePager::TabSettingsChanged(TObject*)
{
    UpdatePageBounds();
    LayoutButtons();
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::ButtonSettingsChanged(TObject*)
{
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::SetAntiAlias(TAntiAlias Value)
{
    FAntiAlias = Value;
    Invalidate();
}

void TProOfficePager::SetCloseOnTab(bool Value)
{
    if (FCloseOnTab == Value)
        return;
    FCloseOnTab = Value;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::SetCloseOnTabPosition(TCloseOnTabPos Value)
{
    if (FCloseOnTabPosition == Value)
        return;
    FCloseOnTabPosition = Value;
    LayoutButtons();
    Invalidate();
}

void TProOfficePager::SetImages(TImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::SetDisabledImages(TImageList* Value)
{
    if (FDisabledImages)
        FDisabledImages->RemoveFreeNotification(this);
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::SetPageListMenu(TPopupMenu* Value)
{
    if (FPageListMenu)
        FPageListMenu->RemoveFreeNotification(this);
    FPageListMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TProOfficePager::SetPageMargin(int Value)
{
    if (FPageMargin == Value)
        return;
    FPageMargin = Value;
    UpdatePageBounds();
    UpdateTabScroller();
    Invalidate();
}

void TProOfficePager::SetRotateTabLeftRight(bool Value)
{
    if (FRotateTabLeftRight == Value)
        return;
    FRotateTabLeftRight = Value;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TProOfficePager::SetShowNonSelectedTabs(bool Value)
{
    if (FShowNonSelectedTabs == Value)
        return;
    FShowNonSelectedTabs = Value;
    InvalidateTabsArea();
}

void TProOfficePager::SetTabPosition(TTabPosition Value)
{
    if (FTabPosition == Value)
        return;
    FTabPosition = Value;
    UpdatePageBounds();
    UpdateTabScroller();
    Invalidate();
}
