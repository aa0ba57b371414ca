#pragma once
// Published properties that code reaches by name: a registry of property
// descriptors per class. A class registers its published ordinal, set and
// object properties once (usually from a static initialiser of its unit);
// a lookup by name then finds the property on any object of that class or a
// class derived from it. A derived class's registration of a name shadows a
// base class's, because later registrations are searched first.
//
// Property names match without regard to the case of ASCII letters. A set
// property names its elements (element i is bit i of the value); its text
// form is the names of the elements it holds, separated by ",".
// An event (method) property holds a handler of the type its class names;
// it is set from a std::any holding that handler, or cleared with an empty one.

#include <any>
#include <functional>
#include <vector>

#include "framework/Exception.h"
#include "framework/Object.h"

enum class TPropKind { Ordinal, Set, Object, Method };

struct TPropInfo {
    String Name;
    TPropKind Kind = TPropKind::Ordinal;
    std::vector<String> ElementNames;     // sets only
    std::function<bool(const TObject*)> Accepts;
    std::function<Int64(TObject*)> GetOrd;
    std::function<void(TObject*, Int64)> SetOrd;
    std::function<TObject*(TObject*)> GetObjectProp;
    std::function<bool(TObject*)> MethodAssigned;              // events only
    std::function<void(TObject*, const std::any&)> SetMethod;  // events only
};

// Registers a property whose Accepts is already set.
void RegisterPropInfo(TPropInfo Info);

// Registers a property of class T: Info.Accepts is set to "Obj is a T".
template <class T>
void RegisterPublishedProperty(TPropInfo Info)
{
    Info.Accepts = [](const TObject* Obj) { return dynamic_cast<const T*>(Obj) != nullptr; };
    RegisterPropInfo(std::move(Info));
}

// The property Name of Obj's class, or nullptr.
const TPropInfo* FindPropInfo(const TObject* Obj, const String& Name);

// The text form of a set value: the names of its elements, separated by ",".
String SetToString(const TPropInfo& Info, Int64 Value);
// The set value of a text form. Empty elements (",," or a leading or
// trailing ",") are skipped; an element name that the set does not have
// raises EConvertError.
Int64 StringToSet(const TPropInfo& Info, const String& Text);
