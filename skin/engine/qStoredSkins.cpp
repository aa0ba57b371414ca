#include "skin/engine/qStoredSkins.h"

TqStoredSkin::TqStoredSkin(TCollection* Collection) : TCollectionItem(Collection) {}

int TqStoredSkins::IndexOfName(const String& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Name == Name)
            return i;
    return -1;
}
