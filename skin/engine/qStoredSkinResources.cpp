#include "skin/engine/qStoredSkinResources.h"

#include <windows.h>

#include "framework/Codepage.h"

TqStoredSkin* AddStoredSkinResource(TqStoredSkins& Skins, const String& Name, const String& ResourceName)
{
    const WideString resource = StrToWide(ResourceName);
    HRSRC info = FindResourceW(nullptr, resource.c_str(), MAKEINTRESOURCEW(10));   // RT_RCDATA
    HGLOBAL loaded = info != nullptr ? LoadResource(nullptr, info) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        throw EResNotFound("Resource " + ResourceName + " not found");
    TqStoredSkin* skin = Skins.Add();
    skin->Name = Name;
    skin->Data.WriteBuffer(bytes, static_cast<Integer>(SizeofResource(nullptr, info)));
    skin->Data.SetPosition(0);
    return skin;
}
