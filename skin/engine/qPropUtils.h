#pragma once
// Access to published properties by name, over the framework's property
// registry: the skin library reaches properties of controls it does not know.

#include <any>

#include "framework/Object.h"

bool HasPropByName(const TObject* Obj, const String& Name);
// The object held by an object property; nullptr when there is no such property.
TObject* GetObjectPropByName(TObject* Obj, const String& Name);
// The ordinal value of an ordinal (or set) property; -1 when there is none.
Int64 GetOrdPropByName(TObject* Obj, const String& Name);
// Sets an ordinal (or set) property when it exists.
void SetOrdPropByName(TObject* Obj, const String& Name, Int64 Value);
// Whether the set property holds the element named Element (exact name);
// false when there is no such property.
bool SetPropHasElement(TObject* Obj, const String& SetProp, const String& Element);
// Adds or removes Element in the set property's text form and stores the
// set from that text; nothing when there is no such property. Always false.
bool ChangeSetPropElement(TObject* Obj, const String& SetProp, const String& Element, bool Include);
// Whether the event property Name holds a handler; false when there is none.
bool MethodPropAssigned(TObject* Obj, const String& Name);
// Sets the event property Name to the handler in Handler (empty: cleared);
// nothing when there is no such property.
void SetMethodPropByName(TObject* Obj, const String& Name, const std::any& Handler);
