#pragma once
// Spies for the skin-state tests: a skinned control that routes its
// messages through the common handlers and records the skin sub-commands
// it sees, a form provider stand-in that answers for a form, and a manager
// with a packed skin built from options text.

#include <memory>
#include <string>
#include <vector>

#include "../support/SkinPackBuilder.h"
#include "framework/CustomControl.h"
#include "framework/Form.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qConst.h"
#include "skin/engine/qSkinManager.h"

namespace skinstate {

// A windowed control with skin state, as a skinned control of the library is.
class TSpyControl : public TCustomControl {
public:
    TSpyControl(TComponent* AOwner, int Kind, const String& Section = String())
        : TCustomControl(AOwner), Data(std::make_unique<TqCommonData>(this, true))
    {
        Data->ControlKind = Kind;
        if (!Section.empty())
            Data->SetSkinSection(Section);
    }
    ~TSpyControl() override { Data.reset(); }

    std::unique_ptr<TqCommonData> Data;
    std::vector<int> SubCommands;   // every skin sub-command that came, in order
    std::vector<LPARAM> ChangeParams;   // lParam of each skin change (1, 2, 3, 16)

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_ZORVIKCMD) {
            const int sub = SkinSubCommand(Message.WParam);
            SubCommands.push_back(sub);
            if (sub == scmSkinLoaded || sub == scmSkinRemoved || sub == scmRefresh || sub == scmStopFade)
                ChangeParams.push_back(Message.LParam);
            if (CommonSkinMessage(Message, Data.get()))
                return;
        } else if (Data) {
            CommonControlMessage(Message, Data.get());
        }
        TCustomControl::WndProc(Message);
    }
};

// What a form provider is to the engine, for a form that it "skins".
class TSpyProvider : public TObject, public TqStateHolder {
public:
    explicit TSpyProvider(TCustomForm* AForm) : Form(AForm), Data(std::make_unique<TqCommonData>(this, true))
    {
        Data->ControlKind = 224;
    }
    TCustomForm* HolderForm() const override { return Form; }
    TqCommonData* HolderData() const override { return Data.get(); }
    void StateManagerChanged() override { ++ManagerChanges; }
    void UpdateFormRegion() override { ++RegionUpdates; }
    HRGN CreateFormRegion() override { return nullptr; }

    TCustomForm* Form;
    std::unique_ptr<TqCommonData> Data;
    int ManagerChanges = 0;
    int RegionUpdates = 0;
};

// A form that records the skin sub-commands and WM_SETREDRAW it gets; with
// a provider it answers as a skinned form (4 and 7).
class TSpyForm : public TForm {
public:
    explicit TSpyForm(TComponent* AOwner, bool Skinned) : TForm(AOwner)
    {
        if (Skinned)
            Provider = std::make_unique<TSpyProvider>(this);
        SetBounds(40, 40, 240, 160);
    }
    ~TSpyForm() override { DestroyForm(); }

    std::unique_ptr<TSpyProvider> Provider;
    std::vector<int> SubCommands;
    std::vector<WPARAM> Redraws;   // WM_SETREDRAW flags in order
    // Runs once when the form hears this sub-command (a receiver that
    // creates or frees forms).
    int ActOn = 0;
    std::function<void()> Action;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_SETREDRAW)
            Redraws.push_back(Message.WParam);
        if (Message.Msg == SM_ZORVIKCMD) {
            const int sub = SkinSubCommand(Message.WParam);
            SubCommands.push_back(sub);
            if (sub == ActOn && Action) {
                auto action = std::move(Action);
                Action = nullptr;
                action();
            }
            if (Provider && sub == scmGetProvider) {
                Message.Result = reinterpret_cast<LRESULT>(static_cast<TqStateHolder*>(Provider.get()));
                return;
            }
            if (Provider && CommonSkinMessage(Message, Provider->Data.get()))
                return;
        }
        TForm::WndProc(Message);
    }
};

inline int Count(const std::vector<int>& Subs, int Sub)
{
    int n = 0;
    for (int s : Subs)
        n += s == Sub ? 1 : 0;
    return n;
}

// A manager (owned by the test) whose skin is a packed skin of these options.
inline std::unique_ptr<TqSkinManager> ManagerWithSkin(const std::string& Options, const String& Name = "T")
{
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory("c:\\no such folder");
    TqStoredSkin* skin = manager->InternalSkins().Add();
    skin->Name = Name;
    const std::string bytes = skintest::PackEntries({{"Options.dat", Options}});
    skin->Data.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    manager->SetSkinName(Name);
    return manager;
}

}   // namespace skinstate
