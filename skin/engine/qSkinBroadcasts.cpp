#include "skin/engine/qSkinBroadcasts.h"

#include <memory>

#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qAnimEffects.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"

std::vector<TComponent*> HookedForms;
String SharedSectionName;

namespace {

// Takes a freed form out of HookedForms even when its provider did not.
class THookedFormsWatcher : public TComponent {
public:
    THookedFormsWatcher() : TComponent(nullptr) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation != TOperation::opRemove)
            return;
        for (TComponent*& entry : HookedForms)
            if (entry == AComponent)
                entry = nullptr;
        while (!HookedForms.empty() && HookedForms.back() == nullptr)
            HookedForms.pop_back();
    }
};

// Lives as long as the process: forms freed at any time of shut-down still
// find it.
THookedFormsWatcher& Watcher()
{
    static THookedFormsWatcher* watcher = new THookedFormsWatcher;
    return *watcher;
}

bool IsMdiChild(TCustomForm* Form)
{
    return Form->HandleAllocated() && (GetWindowLongPtrW(Form->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

// The MDI client window of an MDI parent form, or nullptr.
HWND MdiClientOf(TCustomForm* Form)
{
    return Form->HandleAllocated() ? FindWindowExW(Form->Handle(), nullptr, L"MDIClient", nullptr) : nullptr;
}

// The provider of Form when Form takes part in freezing for Manager.
TqStateHolder* FrozenProvider(TComponent* Entry, TqSkinManager* Manager)
{
    auto* form = dynamic_cast<TCustomForm*>(Entry);
    if (form == nullptr || form->IsDestroying() || IsMdiChild(form) || form->Parent() != nullptr ||
        !form->Visible() || !form->HandleAllocated())
        return nullptr;
    auto* provider = reinterpret_cast<TqStateHolder*>(SendControlCommand(form, scmGetProvider, 0));
    if (provider == nullptr || provider->HolderData() == nullptr ||
        provider->HolderData()->GetSkinManager() != Manager)
        return nullptr;
    return provider;
}

void SendToForm(TCustomForm* Form, TMessage& Message)
{
    if (!Form->HandleAllocated())
        return;
    Message.Result = SendMessageW(Form->Handle(), Message.Msg, Message.WParam, Message.LParam);
    BroadcastToChildControls(Form, Message);
    if (HWND client = MdiClientOf(Form))
        SendMessageW(client, Message.Msg, Message.WParam, Message.LParam);
}

// Fetches the executable's shell icons once and destroys them at exit.
struct TProgramIcons {
    HICON Small = nullptr;
    HICON Large = nullptr;

    TProgramIcons()
    {
        wchar_t path[MAX_PATH] = {};
        if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0)
            return;
        Small = Fetch(path, SHGFI_SMALLICON);
        Large = Fetch(path, SHGFI_LARGEICON);
    }
    ~TProgramIcons()
    {
        if (Small != nullptr)
            DestroyIcon(Small);
        if (Large != nullptr)
            DestroyIcon(Large);
    }
    TProgramIcons(const TProgramIcons&) = delete;
    TProgramIcons& operator=(const TProgramIcons&) = delete;

    static HICON Fetch(const wchar_t* Path, UINT Size)
    {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(Path, 0, &info, sizeof(info), SHGFI_ICON | Size) == 0)
            return nullptr;
        return info.hIcon;
    }
};

const TProgramIcons& ProgramIcons()
{
    static const TProgramIcons icons;
    return icons;
}

}   // namespace

void AddHookedForm(TComponent* Form)
{
    if (Form == nullptr)
        return;
    HookedForms.push_back(Form);
    Watcher().FreeNotification(Form);
}

void RemoveHookedForm(TComponent* Form)
{
    if (Form == nullptr)
        return;
    for (std::size_t i = 0; i < HookedForms.size(); ++i) {
        if (HookedForms[i] == Form) {
            HookedForms[i] = HookedForms.back();
            HookedForms.back() = nullptr;
        }
    }
    if (!HookedForms.empty() && HookedForms.back() == nullptr)
        HookedForms.pop_back();
    bool still = false;
    for (const TComponent* entry : HookedForms)
        still = still || entry == Form;
    if (!still)
        Watcher().RemoveFreeNotification(Form);
}

void FreezeSkinnedForms(TqSkinManager* Manager)
{
    for (std::size_t i = 0; i < HookedForms.size(); ++i)
        if (FrozenProvider(HookedForms[i], Manager) != nullptr)
            SendMessageW(static_cast<TCustomForm*>(HookedForms[i])->Handle(), WM_SETREDRAW, 0, 0);
}

void ThawSkinnedForms(TqSkinManager* Manager, bool Animate)
{
    for (std::size_t i = 0; i < HookedForms.size(); ++i) {
        TqStateHolder* provider = FrozenProvider(HookedForms[i], Manager);
        if (provider == nullptr)
            continue;
        auto* form = static_cast<TCustomForm*>(HookedForms[i]);
        if (!Animate) {
            SendMessageW(form->Handle(), WM_SETREDRAW, 1, 0);
            continue;
        }
        const TzqSkinChanging* changing = Manager->AnimEffects()->SkinChanging();
        if (changing->Active) {
            OSVERSIONINFOW version{};
            version.dwOSVersionInfoSize = sizeof(version);
            const bool old = GetVersionExW(&version) && version.dwMajorVersion < 6;
            AnimateFormShow(form, old ? changing->Time : 0);
            // The fade may have freed the form (a receiver of its messages).
            if (i >= HookedForms.size() || HookedForms[i] != form)
                continue;
        }
        SendMessageW(form->Handle(), WM_SETREDRAW, 1, 0);
        SetWindowRgn(form->Handle(), nullptr, FALSE);
        provider->UpdateFormRegion();
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void BroadcastToAppForms(TMessage& Message)
{
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
        // A form that went away while the message was handled ends the walk.
        if (i >= Application->ComponentCount())
            return;
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form == nullptr || IsMdiChild(form) || form->IsDestroying() || form->IsLoading())
            continue;
        if (form->HandleAllocated() && WindowHandlesCommand(form->Handle(), scmIsSkinned))
            continue;   // reached through HookedForms
        SendToForm(form, Message);
    }
    BroadcastToHookedForms(Message);
}

void BroadcastToHookedForms(TMessage& Message)
{
    for (std::size_t i = 0; i < HookedForms.size(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(HookedForms[i]);
        if (form != nullptr && !form->IsDestroying())
            SendToForm(form, Message);
    }
}

HICON ProgramSmallIcon()
{
    return ProgramIcons().Small;
}

HICON ProgramLargeIcon()
{
    return ProgramIcons().Large;
}
