// The skin command message through the application's forms: the order of a
// skin switch and a removal, another manager's changes, the skinned-form
// list, freezing and thawing, and receivers that create or free forms.
#include <gtest/gtest.h>

#include <algorithm>

#include "SkinStateSupport.h"
#include "framework/Application.h"
#include "framework/Panel.h"
#include "skin/engine/qAnimEffects.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinBroadcasts.h"

using namespace skinstate;

namespace {

const std::string OptionsA = "[GLOBALINFO]\nVERSION=5.2\n[SOLID]\nCOLOR=255\n";
const std::string OptionsB = "[GLOBALINFO]\nVERSION=5.2\n[OTHER]\nCOLOR=255\n[SOLID]\nCOLOR=65280\n";

// The skin-change sub-commands (1, 2, 3, 16) in the order they came.
std::vector<int> Changes(const std::vector<int>& Subs)
{
    std::vector<int> changes;
    for (int s : Subs)
        if (s == scmSkinLoaded || s == scmSkinRemoved || s == scmRefresh || s == scmStopFade)
            changes.push_back(s);
    return changes;
}

// An application form with a skinned control on it and another one inside
// a plain panel, which passes the messages down.
struct TFormWithSpies {
    TFormWithSpies()
        : Form(new TSpyForm(Application, false)), Direct(Form.get(), 0, "SOLID"), Container(Form.get()),
          Nested(Form.get(), 0, "SOLID")
    {
        Direct.SetParent(Form.get());
        Container.SetParent(Form.get());
        Nested.SetParent(&Container);
        Form->HandleNeeded();
    }
    void Clear()
    {
        Form->SubCommands.clear();
        Direct.SubCommands.clear();
        Nested.SubCommands.clear();
        Nested.ChangeParams.clear();
    }
    std::unique_ptr<TSpyForm> Form;
    TSpyControl Direct;
    TPanel Container;
    TSpyControl Nested;
};

}   // namespace

TEST(Broadcast, ASwitchSendsOneSixteenThreeAndARemovalTwo)
{
    auto manager = ManagerWithSkin(OptionsA, "A");
    TqStoredSkin* second = manager->InternalSkins().Add();
    second->Name = "B";
    const std::string bytes = skintest::PackEntries({{"Options.dat", OptionsB}});
    second->Data.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    TFormWithSpies spies;
    const int before = spies.Nested.Data->SkinIndex;

    spies.Clear();
    manager->SetSkinName("B");
    for (const auto* subs : {&spies.Form->SubCommands, &spies.Direct.SubCommands, &spies.Nested.SubCommands})
        EXPECT_EQ((std::vector<int>{scmSkinLoaded, scmStopFade, scmRefresh}), Changes(*subs));
    EXPECT_EQ(manager.get(), reinterpret_cast<TqSkinManager*>(spies.Nested.ChangeParams.front()));
    // The nested control read its indexes in the new skin and ended its update.
    EXPECT_NE(before, spies.Nested.Data->SkinIndex);
    EXPECT_TRUE(spies.Nested.Data->IsSkinned());
    EXPECT_FALSE(spies.Nested.Data->Updating);

    spies.Clear();
    manager->SetActive(false);
    for (const auto* subs : {&spies.Form->SubCommands, &spies.Direct.SubCommands, &spies.Nested.SubCommands})
        EXPECT_EQ(std::vector<int>{scmSkinRemoved}, Changes(*subs));
    EXPECT_EQ(-1, spies.Nested.Data->SkinIndex);
}

TEST(Broadcast, AnotherManagersChangesPassThroughButChangeNothing)
{
    auto own = ManagerWithSkin(OptionsA, "A");
    TFormWithSpies spies;
    spies.Clear();
    spies.Nested.Data->BGChanged = false;
    const int index = spies.Nested.Data->SkinIndex;
    ASSERT_GE(index, 0);

    auto other = ManagerWithSkin(OptionsB, "B");   // loads and applies: 1, 16, 3
    other->SetActive(false);                       // 2
    // The panel passed all four down to the nested control ...
    EXPECT_EQ((std::vector<int>{scmSkinLoaded, scmStopFade, scmRefresh, scmSkinRemoved}),
              Changes(spies.Nested.SubCommands));
    for (LPARAM p : spies.Nested.ChangeParams)
        EXPECT_EQ(other.get(), reinterpret_cast<TqSkinManager*>(p));
    // ... which kept its own skin state.
    EXPECT_EQ(index, spies.Nested.Data->SkinIndex);
    EXPECT_FALSE(spies.Nested.Data->BGChanged);
    EXPECT_FALSE(spies.Nested.Data->Updating);
    EXPECT_EQ(own.get(), spies.Nested.Data->GetSkinManager());
}

TEST(Broadcast, PlainFormsDirectlySkinnedFormsOnceThroughTheList)
{
    auto manager = ManagerWithSkin(OptionsA, "A");
    std::unique_ptr<TSpyForm> plain(new TSpyForm(Application, false));
    std::unique_ptr<TSpyForm> skinned(new TSpyForm(Application, true));
    std::unique_ptr<TSpyForm> hidden(new TSpyForm(Application, true));
    for (TSpyForm* f : {plain.get(), skinned.get(), hidden.get()})
        f->HandleNeeded();
    skinned->Show();
    AddHookedForm(skinned.get());
    AddHookedForm(hidden.get());

    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(scmRefresh), reinterpret_cast<LPARAM>(manager.get()), 0};
    BroadcastToAppForms(message);
    EXPECT_EQ(1, Count(plain->SubCommands, scmRefresh));
    EXPECT_EQ(1, Count(skinned->SubCommands, scmRefresh));
    EXPECT_EQ(1, Count(hidden->SubCommands, scmRefresh));   // invisible, still told

    // Only the visible skinned form of this manager is frozen and thawed.
    FreezeSkinnedForms(manager.get());
    ThawSkinnedForms(manager.get(), false);
    EXPECT_EQ((std::vector<WPARAM>{0, 1}), skinned->Redraws);
    EXPECT_TRUE(hidden->Redraws.empty());
    EXPECT_TRUE(plain->Redraws.empty());
    EXPECT_TRUE(IsWindowVisible(skinned->Handle()));
    // Another manager's freeze leaves it alone.
    auto other = ManagerWithSkin(OptionsB, "B");
    skinned->Redraws.clear();
    FreezeSkinnedForms(other.get());
    EXPECT_TRUE(skinned->Redraws.empty());

    // Thawing with the skin-change animation off still rebuilds the region.
    manager->AnimEffects()->SkinChanging()->Active = false;
    FreezeSkinnedForms(manager.get());
    ThawSkinnedForms(manager.get(), true);
    EXPECT_EQ((std::vector<WPARAM>{0, 1}), skinned->Redraws);
    EXPECT_EQ(1, skinned->Provider->RegionUpdates);
    RemoveHookedForm(skinned.get());
    RemoveHookedForm(hidden.get());
}

TEST(Broadcast, HookedFormsAddedTwiceRemovedOnce)
{
    const std::size_t start = HookedForms.size();
    std::unique_ptr<TForm> a(new TForm(Application));
    std::unique_ptr<TForm> b(new TForm(Application));
    AddHookedForm(a.get());
    AddHookedForm(b.get());
    AddHookedForm(a.get());
    RemoveHookedForm(a.get());
    EXPECT_EQ(start + 2, HookedForms.size());
    EXPECT_EQ(1, std::count(HookedForms.begin(), HookedForms.end(), a.get()));
    RemoveHookedForm(nullptr);
    std::unique_ptr<TForm> stranger(new TForm(Application));
    RemoveHookedForm(stranger.get());   // not in the list: nothing changes
    EXPECT_EQ(start + 2, HookedForms.size());
    // A form freed without being taken out leaves the list at once.
    const TComponent* gone = a.get();
    a.reset();
    EXPECT_EQ(0, std::count(HookedForms.begin(), HookedForms.end(), gone));
    EXPECT_EQ(start + 1, HookedForms.size());
    EXPECT_EQ(1, std::count(HookedForms.begin(), HookedForms.end(), b.get()));
    RemoveHookedForm(b.get());
    EXPECT_EQ(start, HookedForms.size());
}

TEST(Broadcast, SurvivesReceiversThatFreeOrCreateForms)
{
    auto manager = ManagerWithSkin(OptionsA, "A");
    std::unique_ptr<TSpyForm> first(new TSpyForm(Application, false));
    std::unique_ptr<TSpyForm> victim(new TSpyForm(Application, true));
    std::unique_ptr<TSpyForm> hookedVictim(new TSpyForm(Application, true));
    std::unique_ptr<TSpyForm> last(new TSpyForm(Application, false));
    std::unique_ptr<TSpyForm> created;
    for (TSpyForm* f : {first.get(), victim.get(), hookedVictim.get(), last.get()})
        f->HandleNeeded();
    AddHookedForm(victim.get());
    AddHookedForm(hookedVictim.get());
    // The last form (reached first) frees two forms and makes a new one.
    last->ActOn = scmRefresh;
    last->Action = [&] {
        victim.reset();
        hookedVictim.reset();
        created.reset(new TSpyForm(Application, false));
        created->HandleNeeded();
    };
    TMessage message{SM_ZORVIKCMD, SkinCommandWParam(scmRefresh), reinterpret_cast<LPARAM>(manager.get()), 0};
    BroadcastToAppForms(message);
    EXPECT_EQ(1, Count(last->SubCommands, scmRefresh));
    EXPECT_EQ(0, std::count(HookedForms.begin(), HookedForms.end(), nullptr));
    for (const TComponent* f : HookedForms)
        EXPECT_NE(nullptr, dynamic_cast<const TCustomForm*>(f));
    // A second broadcast reaches every form that is left.
    BroadcastToAppForms(message);
    EXPECT_GE(Count(first->SubCommands, scmRefresh), 1);
    EXPECT_EQ(1, Count(created->SubCommands, scmRefresh));
}
