// The form skin provider: construction and destruction, its properties, and
// the preparation for a skin (InitSkin).
#include "skin/windows/qSkinProvider.h"

#include <commctrl.h>

#include "framework/Application.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinBroadcasts.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/qCtrlAdapter.h"
#include "skin/windows/qSkinProviderDrag.h"

namespace {

// The control kind of a form provider's skin state.
constexpr int FormControlKind = 224;

// Whether Form owns a provider other than Provider.
bool FormHasOtherProvider(TCustomForm* Form, const TqSkinProvider* Provider)
{
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TqSkinProvider*>(Form->Components(i));
        if (other != nullptr && other != Provider)
            return true;
    }
    return false;
}

}   // namespace

TqSkinProvider::TqSkinProvider(TComponent* AOwner) : TComponent(AOwner)
{
    FForm = GetOwnerForm(this);
    FShowAnimation = false;
    FSkipRegion = false;
    FSkinData = std::make_unique<TqCommonData>(this, true);
    FSkinData->SetSkinSection("FORM");
    FSkinData->ControlKind = FormControlKind;
    FTitleIcon = std::make_unique<TqTitleIcon>();
    FTitleButtons = std::make_unique<TqTitleButtons>(this);
    if (FForm != nullptr && FormHasOtherProvider(FForm, this))
        FForm = nullptr;   // the form is skinned by its first provider only
    if (FForm != nullptr && !IsDesigning()) {
        FTitleButtonBg = std::make_unique<TBitmap>(0, 0, TPixelFormat::pf24bit);
        FMenuLineBmp = std::make_unique<TBitmap>(0, 0, TPixelFormat::pf24bit);
        FFirstInitPending = true;
        FRegionRects.clear();
        FMenuRows = -1;
        FHook = HookWindowProc(FForm, [this](TMessage& Message, const TCallPrevious&) { ProviderWndProc(Message); });
        AddHookedForm(FForm);
        FFormActive = true;
        SetMenuBarLookup();
    }
    AfterConstruction();
}

TqSkinProvider::~TqSkinProvider()
{
    TqFrameDrag::Forget(this);
    if (FForm != nullptr && !IsDesigning()) {
        RemoveHookedForm(FForm);
        // A form being destroyed is past its controls' part (the provider is
        // freed as one of its components): its link went with it.
        const bool formAlive = !FForm->IsDestroying();
        FHook.Remove();
        if (formAlive)
            GiveBackNativeFrame();
        FSystemMenu.reset();
        FTitleButtonBg.reset();
        FMenuLineBmp.reset();
        FTitleAreaCopy.reset();
        // The controls of a form that stays get their own look back.
        if (FAdapter && formAlive)
            FAdapter->RestoreLook = true;
    }
    FAdapter.reset();
    FreeScrollWnd();
    FTitleButtons.reset();
    FTitleIcon.reset();
    FSkinData.reset();
}

void TqSkinProvider::GiveBackNativeFrame()
{
    // The form stays: it gets the platform's caption buttons and frame back
    // and loses the skin's region, as when the skin is removed.
    if (!FForm->HandleAllocated())
        return;
    RestoreSysMenuStyle();
    SetWindowRgn(FForm->Handle(), nullptr, TRUE);
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TqSkinProvider::AfterConstruction()
{
    TqSkinManager* manager = Manager();
    if (manager != nullptr && manager->Active() && !IsDesigning())
        InitSkin();
}

void TqSkinProvider::Loaded()
{
    TComponent::Loaded();
    if (Manager() == nullptr || IsDesigning() || !Skinned())
        return;
    CreateAdapter();
    InitSkin();
    if (FSystemMenu)
        FSystemMenu->UpdateItems();
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TqTitleButton* button = FTitleButtons->Items(i);
        if (!button->UseSkinData) {
            button->Data.MaskIndex = -1;
            continue;
        }
        button->Data.MaskIndex = GlobalMask("TITLEBUTTON");
        if (button->Data.MaskIndex < 0)
            button->Data.MaskIndex = FormMask("TITLEBUTTON");
    }
}

void TqSkinProvider::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (FSkinData == nullptr)
        return;
    if (auto* manager = dynamic_cast<TqSkinManager*>(AComponent)) {
        if (Operation == TOperation::opInsert && !FSkinData->HasOwnManager())
            FSkinData->SetSkinManager(manager);
        else if (Operation == TOperation::opRemove && FSkinData->HasOwnManager() &&
                 FSkinData->GetSkinManager() == manager)
            FSkinData->ForgetManager();
    }
    if (!FAdapter)
        return;
    if (Operation == TOperation::opRemove) {
        FAdapter->ControlRemoved(AComponent);
    } else if (auto* control = dynamic_cast<TWinControl*>(AComponent);
               control != nullptr && FAdapter->IsControlAccepted(control)) {
        FAdapter->AddItemDefault(control);
    }
}

TqSkinManager* TqSkinProvider::Manager() const
{
    return FSkinData ? FSkinData->GetSkinManager() : nullptr;
}

bool TqSkinProvider::FormGoing() const
{
    return FForm == nullptr || FForm->IsDestroying() || IsDestroying();
}

bool TqSkinProvider::FormCreating() const
{
    return (FForm->ControlState() & csCreating) != 0;
}

HWND TqSkinProvider::FormWnd() const
{
    return FForm != nullptr && FForm->HandleAllocated() ? FForm->Handle() : nullptr;
}

bool TqSkinProvider::FormVisible() const
{
    const HWND wnd = FormWnd();
    return wnd != nullptr && IsWindowVisible(wnd);
}

bool TqSkinProvider::Iconic() const
{
    const HWND wnd = FormWnd();
    return wnd != nullptr && IsIconic(wnd);
}

bool TqSkinProvider::Maximized() const
{
    const HWND wnd = FormWnd();
    return wnd != nullptr && IsZoomed(wnd);
}

void TqSkinProvider::FrameStale()
{
    FrameChanged();
    FMenuRows = -1;
}

void TqSkinProvider::SendNcPaint()
{
    if (const HWND wnd = FormWnd())
        SendMessageW(wnd, WM_NCPAINT, 1, 0);
}

void TqSkinProvider::SetCaptionAlignment(TAlignment Value)
{
    if (Value == FCaptionAlignment)
        return;
    FCaptionAlignment = Value;
    if (FSkinData) {
        FrameChanged();
        if (FormVisible())
            SendNcPaint();
    }
}

void TqSkinProvider::SetShowAppIcon(bool Value)
{
    if (Value == FShowAppIcon)
        return;
    FShowAppIcon = Value;
    FrameChanged();
    if (FormVisible())
        SendNcPaint();
}

void TqSkinProvider::SetTitleSkin(const String& Value)
{
    if (Value == FTitleSkin)
        return;
    FTitleSkin = Value;
    FrameChanged();
    if (FormVisible())
        SendNcPaint();
}

void TqSkinProvider::SetUseGlobalColor(bool Value)
{
    FUseGlobalColor = Value;
    if (FForm == nullptr)
        return;
    TqSkinManager* manager = Manager();
    if (Skinned() && Value && !FSkinData->CustomColor() && manager != nullptr)
        FForm->SetColor(manager->GetGlobalColor());
    else
        FForm->SetColor(clBtnFace);
}

void TqSkinProvider::ApplyGlobalColor()
{
    if (FForm == nullptr || FormCreating() || FForm->IsLoading() || IsLoading())
        return;
    TqSkinManager* manager = Manager();
    if (manager == nullptr || !FUseGlobalColor || FSkinData->CustomColor())
        return;
    FForm->SetColor(manager->GetGlobalColor());
}

void TqSkinProvider::ClearSysMenuStyle()
{
    // Without WS_SYSMENU the platform draws no caption buttons of its own.
    if (const HWND wnd = FormWnd()) {
        const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
        if (style & WS_SYSMENU)
            SetWindowLongPtrW(wnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_SYSMENU));
    }
}

void TqSkinProvider::RestoreSysMenuStyle()
{
    const HWND wnd = FormWnd();
    if (wnd == nullptr || FForm->BorderIcons() == 0 || FForm->BorderStyle() == bsNone)
        return;
    const LONG_PTR style = GetWindowLongPtrW(wnd, GWL_STYLE);
    if ((style & WS_SYSMENU) == 0 && (FForm->BorderIcons() & biSystemMenu) != 0)
        SetWindowLongPtrW(wnd, GWL_STYLE, style | WS_SYSMENU);
}

void TqSkinProvider::InitSkin()
{
    TqSkinManager* manager = Manager();
    if (manager == nullptr || FForm == nullptr)
        return;
    FSkinData->Loaded();
    if (!FSystemMenu) {
        FSystemMenu = std::make_unique<TqSystemMenu>(this, FForm);
        FSystemMenu->UpdateItems();
    }
    if (manager->SkinData().Loaded)
        ClearSysMenuStyle();
    if (FFirstInitPending && manager->SkinData().Loaded)
        FFirstInitPending = false;
    FSkinData->UpdateIndexes();
    LoadTitleButtonMasks();
    ApplyGlobalColor();
}

void TqSkinProvider::StateManagerChanged()
{
    // A new manager for the provider's state: prepare for its skin.
    if (FForm != nullptr && !FormGoing())
        InitSkin();
}

void TqSkinProvider::RefreshFrame()
{
    FrameStale();
    FMenuChanged = true;
    SendNcPaint();
}

bool TqSkinProvider::FormScrolls() const
{
    const HWND wnd = FormWnd();
    if (wnd == nullptr)
        return false;
    if (FScrollWnd && FScrollWnd->KeptBarStyle != 0)
        return true;   // the skinned bars keep the bits out of the style
    return (GetWindowLongPtrW(wnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

int TqSkinProvider::SkinnedBarSize(bool Vertical) const
{
    if (!FScrollWnd)
        return 0;
    TzqScrollBar* bar = Vertical ? FScrollWnd->VertBar.get() : FScrollWnd->HorzBar.get();
    return bar != nullptr && bar->Shown ? ScrollBarPartSize(bar, 1, false) : 0;
}

void TqSkinProvider::UpdateScrollSubclass()
{
    if (IsDestroying() || FForm == nullptr || !FForm->HandleAllocated() || !FormScrolls())
        return;
    if (Skinned()) {
        UninitializeFlatSB(FForm->Handle());
        if (FScrollWnd && FScrollWnd->Detached)
            FreeScrollWnd();
        if (!FScrollWnd)
            FScrollWnd.reset(TzqMainWnd::Create<TzqScrollWnd>(FForm->Handle(), true, String(), Manager(),
                                                              FSkinData.get()));
    } else {
        FreeScrollWnd();
        InitializeFlatSB(FForm->Handle());
    }
}

void TqSkinProvider::CreateAdapter()
{
    if (IsDesigning() || FForm == nullptr || FormGoing() || !Skinned())
        return;
    if (!FAdapter)
        FAdapter = std::make_unique<TzqCtrlAdapter>(this);
    FAdapter->AdaptAll(nullptr);
}

void TqSkinProvider::RemoveAdapter()
{
    if (IsDesigning() || !FAdapter)
        return;
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(scmSkinRemoved), reinterpret_cast<LPARAM>(Manager()), 0};
    FAdapter->SendToItems(message);
    // Taken from the provider first: the controls' repainting while their
    // subclasses go may reach the provider again.
    std::unique_ptr<TzqCtrlAdapter> adapter = std::move(FAdapter);
    adapter->RestoreLook = true;
    adapter.reset();
}

TqSkinProvider* GetFormProvider(TComponent* Component)
{
    TCustomForm* form = GetOwnerForm(Component);
    if (form == nullptr || !form->HandleAllocated())
        return nullptr;
    const LRESULT answer = SendSkinCommand(form->Handle(), scmGetProvider, 0);
    if (answer == 0)
        return nullptr;
    return dynamic_cast<TqSkinProvider*>(reinterpret_cast<TqStateHolder*>(answer));
}
