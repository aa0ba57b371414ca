#pragma once
// Stored skins carried as raw-data resources of the program: what a form
// resource would hold in a stored skin's "Data" (a packed skin).

#include "skin/engine/qStoredSkins.h"

// Appends a stored skin named Name whose Data is the raw-data resource
// ResourceName of the program; EResNotFound when the program has none.
TqStoredSkin* AddStoredSkinResource(TqStoredSkins& Skins, const String& Name, const String& ResourceName);

FRAMEWORK_EXCEPTION(EResNotFound, Exception);
