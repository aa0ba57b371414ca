#include "framework/Collection.h"

#include "framework/Exception.h"
#include "framework/StrUtils.h"

int TCollectionItem::Index() const
{
    return FCollection != nullptr ? FCollection->IndexOf(this) : -1;
}

TCollectionItem* TCollection::Add()
{
    FItems.push_back(FFactory(this));
    return FItems.back().get();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[static_cast<std::size_t>(Index)].get();
}

int TCollection::IndexOf(const TCollectionItem* Item) const
{
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Item)
            return static_cast<int>(i);
    return -1;
}

void TCollection::Delete(int Index)
{
    Items(Index);
    FItems.erase(FItems.begin() + Index);
}

void TCollection::Clear()
{
    while (!FItems.empty())
        FItems.pop_back();
}

void TCollection::Assign(const TPersistent* Source)
{
    const auto* other = dynamic_cast<const TCollection*>(Source);
    if (other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    Clear();
    for (int i = 0; i < other->Count(); ++i)
        Add()->Assign(other->Items(i));
}
