#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "framework/Component.h"
#include "framework/Exception.h"

namespace {

// Names of live probes by address: a notification may arrive while the
// removed component is half destroyed, so it is identified by address only.
std::map<const TComponent*, std::string> names;

// Records the notifications it receives and when it is freed.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>& log, std::string name)
        : TComponent(owner), log(log), tag(std::move(name)) { names[this] = tag; }
    ~Probe() override { log.push_back("free " + tag); }

    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove)
            log.push_back(tag + " sees removal of " + names[c]);
    }
    void Loaded() override
    {
        TComponent::Loaded();
        log.push_back("loaded " + tag + (IsLoading() ? " (still loading)" : ""));
    }

    std::vector<std::string>& log;
    std::string tag;
};

TEST(Component, OwnerFreesOwnedComponentsLastFirst)
{
    std::vector<std::string> log;
    {
        auto owner = std::make_unique<Probe>(nullptr, log, "form");
        new Probe(owner.get(), log, "a");
        auto* b = new Probe(owner.get(), log, "b");
        new Probe(b, log, "b1");
        EXPECT_EQ(owner->ComponentCount(), 2);
        EXPECT_EQ(b->ComponentIndex(), 1);
    }
    const std::vector<std::string> expected = {"free form", "free b", "free b1", "free a"};
    EXPECT_EQ(log, expected);
}

TEST(Component, FreeingAnOwnedComponentRemovesItAndNotifiesTheOwner)
{
    std::vector<std::string> log;
    Probe owner(nullptr, log, "form");
    auto* a = new Probe(&owner, log, "a");
    new Probe(&owner, log, "b");
    delete a;   // the ownership code's own test: freeing an owned component early
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "form sees removal of a"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "b sees removal of a"), log.end());
}

TEST(Component, FreeNotificationReachesAnObserverThatDoesNotOwn)
{
    std::vector<std::string> log;
    Probe observer(nullptr, log, "observer");
    {
        Probe observed(nullptr, log, "observed");
        observed.FreeNotification(&observer);
    }
    EXPECT_NE(std::find(log.begin(), log.end(), "observer sees removal of observed"), log.end());
}

TEST(Component, NamesAreUniqueAmongSiblingsAndFoundCaseInsensitively)
{
    std::vector<std::string> log;
    Probe owner(nullptr, log, "form");
    auto* a = new Probe(&owner, log, "a");
    a->SetName("EcComm");
    auto* b = new Probe(&owner, log, "b");
    EXPECT_THROW(b->SetName("eccomm"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    EXPECT_EQ(owner.FindComponent("ECCOMM"), a);
    EXPECT_EQ(owner.FindComponent("Other"), nullptr);
}

TEST(Component, LoadedRunsAfterLoadingEndsOwnedFirst)
{
    std::vector<std::string> log;
    Probe owner(nullptr, log, "form");
    new Probe(&owner, log, "a");
    owner.BeginLoading();
    EXPECT_TRUE(owner.Components(0)->IsLoading());
    owner.EndLoading();
    const std::vector<std::string> expected = {"loaded a", "loaded form"};
    EXPECT_EQ(log, expected);
}

TEST(Component, InsertComponentMovesOwnership)
{
    std::vector<std::string> log;
    Probe first(nullptr, log, "first");
    Probe second(nullptr, log, "second");
    auto* a = new Probe(&first, log, "a");
    second.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
}

TEST(Component, ClassNameIsTheMostDerivedName)
{
    std::vector<std::string> log;
    Probe p(nullptr, log, "p");
    EXPECT_EQ(p.ClassName(), "Probe");
    EXPECT_TRUE(p.InheritsFrom<TComponent>());
    EXPECT_THROW(p.Assign(nullptr), EConvertError);
}

} // namespace
