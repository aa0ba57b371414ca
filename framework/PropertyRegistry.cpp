#include "framework/PropertyRegistry.h"

#include "framework/StrUtils.h"

namespace {

std::vector<TPropInfo>& Registry()
{
    static std::vector<TPropInfo> registry;
    return registry;
}

}   // namespace

void RegisterPropInfo(TPropInfo Info)
{
    Registry().push_back(std::move(Info));
}

const TPropInfo* FindPropInfo(const TObject* Obj, const String& Name)
{
    if (Obj == nullptr)
        return nullptr;
    const auto& registry = Registry();
    for (auto it = registry.rbegin(); it != registry.rend(); ++it)
        if (SameText(it->Name, Name) && it->Accepts(Obj))
            return &*it;
    return nullptr;
}

String SetToString(const TPropInfo& Info, Int64 Value)
{
    String text;
    for (std::size_t i = 0; i < Info.ElementNames.size() && i < 64; ++i)
        if ((static_cast<std::uint64_t>(Value) >> i) & 1u) {
            if (!text.empty())
                text += ',';
            text += Info.ElementNames[i];
        }
    return text;
}

Int64 StringToSet(const TPropInfo& Info, const String& Text)
{
    std::uint64_t value = 0;
    std::size_t start = 0;
    while (start <= Text.size()) {
        std::size_t end = Text.find(',', start);
        if (end == String::npos)
            end = Text.size();
        const String element = Trim(Text.substr(start, end - start));
        if (!element.empty()) {
            std::size_t i = 0;
            while (i < Info.ElementNames.size() && !SameText(Info.ElementNames[i], element))
                ++i;
            if (i == Info.ElementNames.size() || i >= 64)
                throw EConvertError("Invalid property element: " + element);
            value |= std::uint64_t(1) << i;
        }
        start = end + 1;
    }
    return static_cast<Int64>(value);
}
