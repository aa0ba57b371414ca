#include "skin/engine/qPropUtils.h"

#include "framework/PropertyRegistry.h"

bool HasPropByName(const TObject* Obj, const String& Name)
{
    return FindPropInfo(Obj, Name) != nullptr;
}

TObject* GetObjectPropByName(TObject* Obj, const String& Name)
{
    const TPropInfo* info = FindPropInfo(Obj, Name);
    return info != nullptr && info->Kind == TPropKind::Object ? info->GetObjectProp(Obj) : nullptr;
}

Int64 GetOrdPropByName(TObject* Obj, const String& Name)
{
    const TPropInfo* info = FindPropInfo(Obj, Name);
    return info != nullptr && (info->Kind == TPropKind::Ordinal || info->Kind == TPropKind::Set) && info->GetOrd
               ? info->GetOrd(Obj)
               : -1;
}

void SetOrdPropByName(TObject* Obj, const String& Name, Int64 Value)
{
    const TPropInfo* info = FindPropInfo(Obj, Name);
    if (info != nullptr && (info->Kind == TPropKind::Ordinal || info->Kind == TPropKind::Set) && info->SetOrd)
        info->SetOrd(Obj, Value);
}

bool SetPropHasElement(TObject* Obj, const String& SetProp, const String& Element)
{
    const TPropInfo* info = FindPropInfo(Obj, SetProp);
    if (info == nullptr || info->Kind != TPropKind::Set)
        return false;
    const Int64 value = info->GetOrd(Obj);
    for (std::size_t i = 0; i < info->ElementNames.size() && i < 64; ++i)
        if (info->ElementNames[i] == Element)
            return ((static_cast<std::uint64_t>(value) >> i) & 1u) != 0;
    return false;
}

bool ChangeSetPropElement(TObject* Obj, const String& SetProp, const String& Element, bool Include)
{
    const TPropInfo* info = FindPropInfo(Obj, SetProp);
    if (info == nullptr || info->Kind != TPropKind::Set || !info->SetOrd)
        return false;
    String text = SetToString(*info, info->GetOrd(Obj));
    if (Include) {
        if (text.find(Element) == String::npos)
            text += "," + Element;
    } else {
        for (const String& part : {"," + Element, Element + ",", Element}) {
            const std::size_t at = text.find(part);
            if (at != String::npos) {
                text.erase(at, part.size());
                break;
            }
        }
    }
    info->SetOrd(Obj, StringToSet(*info, text));
    return false;
}

bool MethodPropAssigned(TObject* Obj, const String& Name)
{
    const TPropInfo* info = FindPropInfo(Obj, Name);
    return info != nullptr && info->Kind == TPropKind::Method && info->MethodAssigned && info->MethodAssigned(Obj);
}

void SetMethodPropByName(TObject* Obj, const String& Name, const std::any& Handler)
{
    const TPropInfo* info = FindPropInfo(Obj, Name);
    if (info != nullptr && info->Kind == TPropKind::Method && info->SetMethod)
        info->SetMethod(Obj, Handler);
}
