#pragma once
// Collections: an owned, ordered list of items of one class, each item
// knowing its collection. Items are made by the collection (Add) and freed
// by it (Delete, Clear, or with the collection).

#include <functional>
#include <memory>
#include <vector>

#include "framework/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection) : FCollection(Collection) {}

    TCollection* Collection() const { return FCollection; }
    // The item's position in its collection.
    int Index() const;

private:
    TCollection* FCollection;
};

class TCollection : public TPersistent {
public:
    // Makes one item of the collection's class for the collection.
    using TItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;

    explicit TCollection(TItemFactory Factory) : FFactory(std::move(Factory)) {}

    // A new item at the end.
    TCollectionItem* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    TCollectionItem* Items(int Index) const;
    int IndexOf(const TCollectionItem* Item) const;
    void Delete(int Index);
    // Frees the items, last first.
    void Clear();

    // From another collection: its items copied into new items of this one
    // (each item's Assign; classes that do not copy themselves raise
    // EConvertError). Other sources go through TPersistent.
    void Assign(const TPersistent* Source) override;

    // The object that holds the collection, or nullptr.
    virtual TPersistent* Owner() const { return nullptr; }

private:
    TItemFactory FFactory;
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
};

// A collection of items of class TItem, held by an owner (or none).
template <class TItem>
class TOwnedCollection : public TCollection {
public:
    explicit TOwnedCollection(TPersistent* AOwner)
        : TCollection([](TCollection* C) { return std::make_unique<TItem>(C); }), FOwner(AOwner) {}
    // The owner reference goes first, so that nothing reaches the owner
    // through a collection being destroyed.
    ~TOwnedCollection() override { FOwner = nullptr; }

    TItem* Add() { return static_cast<TItem*>(TCollection::Add()); }
    TItem* Items(int Index) const { return static_cast<TItem*>(TCollection::Items(Index)); }
    TPersistent* Owner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
