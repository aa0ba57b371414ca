#include "framework/Component.h"

#include <algorithm>
#include <memory>

#include "framework/Exception.h"
#include "framework/StrUtils.h"

namespace {

void EraseOne(std::vector<TComponent*>& list, TComponent* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

} // namespace

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell every component that observes this one, then free what it owns.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        EraseOne(other->FFreeNotifies, this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

int TComponent::ComponentIndex() const
{
    if (FOwner == nullptr)
        return -1;
    const auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetName(const String& Value)
{
    if (Value == FName)
        return;
    if (!Value.empty() && FOwner != nullptr) {
        TComponent* other = FOwner->FindComponent(Value);
        if (other != nullptr && other != this)
            throw EComponentError("A component named " + Value + " already exists");
    }
    FName = Value;
}

TComponent* TComponent::FindComponent(const String& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName) != nullptr)
        throw EComponentError("A component named " + AComponent->FName + " already exists");
    Insert(AComponent);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    EraseOne(FComponents, AComponent);
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr)
        return;
    EraseOne(FFreeNotifies, AComponent);
    EraseOne(AComponent->FFreeNotifies, this);
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        // The owned component's destructor removes it from this list.
        std::unique_ptr<TComponent> last(FComponents.back());
        Remove(last.get());
    }
}

void TComponent::BeginLoading()
{
    FState |= csLoading;
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    for (TComponent* c : FComponents)
        c->EndLoading();
    FState &= ~static_cast<unsigned>(csLoading);
    Loaded();
}

void TComponent::SetDesigning(bool Value)
{
    if (Value)
        FState |= csDesigning;
    else
        FState &= ~static_cast<unsigned>(csDesigning);
    for (TComponent* c : FComponents)
        c->SetDesigning(Value);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == TOperation::opRemove)
        RemoveFreeNotification(AComponent);
    // Owned components may hold references to their siblings.
    for (TComponent* c : FComponents)
        if (c != AComponent)
            c->Notification(AComponent, Operation);
}

void TComponent::Loaded()
{
}

void TComponent::Destroying()
{
    FState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}
