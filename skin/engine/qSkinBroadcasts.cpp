#include "skin/engine/qSkinBroadcasts.h"

#include <algorithm>
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

// How many walks over HookedForms are under way: while one is, a freed
// form's entry is only emptied (the walk's positions stay valid); the
// outermost walk takes the empty entries out when it ends.
int HookedWalks = 0;

void CompactHookedForms()
{
    HookedForms.erase(std::remove(HookedForms.begin(), HookedForms.end(), nullptr), HookedForms.end());
}

// Marks a walk over HookedForms for its lifetime.
class THookedWalk {
public:
    THookedWalk() { ++HookedWalks; }
    ~THookedWalk()
    {
        if (--HookedWalks == 0)
            CompactHookedForms();
    }
    THookedWalk(const THookedWalk&) = delete;
    THookedWalk& operator=(const THookedWalk&) = delete;
};

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
        if (HookedWalks == 0)
            CompactHookedForms();
    }
};

// Lives as long as the process: forms freed at any time of shut-down still
// find it.
THookedFormsWatcher& Watcher()
{
    static THookedFormsWatcher* watcher = new THookedFormsWatcher;
    return *watcher;
}

// The application's components as they are now, last first; an entry of
// one that is freed meanwhile becomes empty.
class TAppFormsSnapshot : public TComponent {
public:
    TAppFormsSnapshot() : TComponent(nullptr)
    {
        for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
            Forms.push_back(Application->Components(i));
            FreeNotification(Forms.back());
        }
    }
    std::vector<TComponent*> Forms;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove)
            std::replace(Forms.begin(), Forms.end(), AComponent, static_cast<TComponent*>(nullptr));
    }
};

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

// Each position holding Form takes what the last position holds, which is
// then emptied; the list ends one shorter when its last entry is empty.
void RemoveMovingLast(TComponent* Form)
{
    for (std::size_t i = 0; i < HookedForms.size(); ++i) {
        if (HookedForms[i] == Form) {
            HookedForms[i] = HookedForms.back();
            HookedForms.back() = nullptr;
        }
    }
    if (!HookedForms.empty() && HookedForms.back() == nullptr)
        HookedForms.pop_back();
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
    if (HookedWalks > 0) {
        // A walk is under way: moving entries could let it miss one, so one
        // entry of the form is emptied instead.
        auto it = std::find(HookedForms.rbegin(), HookedForms.rend(), Form);
        if (it != HookedForms.rend())
            *it = nullptr;
    } else {
        RemoveMovingLast(Form);
    }
    if (std::find(HookedForms.begin(), HookedForms.end(), Form) == HookedForms.end())
        Watcher().RemoveFreeNotification(Form);
}

void FreezeSkinnedForms(TqSkinManager* Manager)
{
    const THookedWalk walk;
    for (std::size_t i = 0; i < HookedForms.size(); ++i)
        if (FrozenProvider(HookedForms[i], Manager) != nullptr)
            SendMessageW(static_cast<TCustomForm*>(HookedForms[i])->Handle(), WM_SETREDRAW, 0, 0);
}

void ThawSkinnedForms(TqSkinManager* Manager, bool Animate)
{
    const THookedWalk walk;
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
    // The forms as they are now, last first. A receiver may free forms or
    // make new ones: each form is checked to be still there before it is
    // told, none is told twice, and new ones wait for the next message.
    const TAppFormsSnapshot snapshot;
    for (std::size_t i = 0; i < snapshot.Forms.size(); ++i) {
        TComponent* entry = snapshot.Forms[i];
        auto* form = dynamic_cast<TCustomForm*>(entry);
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
    const THookedWalk walk;
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
