// Linked into the start benchmark's builds of the programs in place of the
// skin engine's resource reader: their main windows then store no skin, so
// that each skin manager finds no skin at all and goes inactive by its own
// rule. Everything else is the program as shipped.
#include "skin/engine/qStoredSkinResources.h"

TqStoredSkin* AddStoredSkinResource(TqStoredSkins&, const String&, const String&)
{
    return nullptr;
}
