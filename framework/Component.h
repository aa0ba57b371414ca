#pragma once
// Components: objects with an owner that frees them, a name, and the
// notifications that keep references between components valid.

#include <vector>

#include "framework/Object.h"

enum class TOperation { opInsert, opRemove };

// Component state flags (a small set).
enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csDesigning = 1u << 2,
    csDestroying = 1u << 3,
};

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(static_cast<std::size_t>(Index)); }
    int ComponentIndex() const;

    const String& Name() const { return FName; }
    void SetName(const String& Value);

    Int64 Tag = 0;

    unsigned ComponentState() const { return FState; }
    bool IsLoading() const { return (FState & csLoading) != 0; }
    bool IsDesigning() const { return (FState & csDesigning) != 0; }
    bool IsDestroying() const { return (FState & csDestroying) != 0; }

    // Owned component with this name (case-insensitive), or nullptr.
    TComponent* FindComponent(const String& AName) const;

    // Ownership transfer: InsertComponent takes AComponent over (removing it
    // from its previous owner); RemoveComponent hands it back unowned.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    // Ask AComponent to call Notification(this, opRemove) when it is freed
    // even though it is not owned by this component.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Frees every owned component, last first.
    void DestroyComponents();

    // Marks this component and its owned components as being loaded; Loaded
    // then runs on each once its properties are set, as loading a form does.
    void BeginLoading();
    void EndLoading();

    // Sets or clears csDesigning on this component and its owned ones.
    void SetDesigning(bool Value);

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded();
    // Called once, first thing in the destructor chain of the most derived
    // class that calls it, or by ~TComponent.
    void Destroying();

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    String FName;
    unsigned FState = 0;
    std::vector<TComponent*> FComponents;      // owned; freed with this component
    std::vector<TComponent*> FFreeNotifies;    // observed both ways, not owned
};
