#include "framework/Object.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <cxxabi.h>

#include "framework/Exception.h"

String TObject::ClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    String name = status == 0 && demangled ? String(demangled.get()) : String(mangled);
    const auto colon = name.rfind("::");
    return colon == String::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent* Source)
{
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const
{
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}
