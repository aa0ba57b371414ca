#include "manager/UAccessIco.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/Codepage.h"

namespace vantrel {

namespace {

// One open registry key, closed with its holder.
class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey()
    {
        if (FKey != nullptr)
            RegCloseKey(FKey);
    }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;

    // RegOpenKeyExW for reading; false when the key is missing.
    bool Open(HKEY Parent, const String& Name)
    {
        return RegOpenKeyExW(Parent, StrToWide(Name).c_str(), 0, KEY_READ, &FKey) == ERROR_SUCCESS;
    }
    // RegCreateKeyExW: opens the key for writing, creating it when missing.
    bool Create(HKEY Parent, const String& Name)
    {
        return RegCreateKeyExW(Parent, StrToWide(Name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                               nullptr, &FKey, nullptr) == ERROR_SUCCESS;
    }
    // The key's default value as a string; false when it has none.
    bool ReadDefault(WideString& Value) const
    {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(FKey, nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return false;
        WideString text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegQueryValueExW(FKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS)
            return false;
        text.resize(got / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        Value = text;
        return true;
    }
    bool WriteDefault(const String& Value) const
    {
        const WideString text = StrToWide(Value);
        return RegSetValueExW(FKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    HKEY Handle() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

String ModulePath()
{
    WideString path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return WideToStr(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

String OpenCommand(const String& ExePath) { return "\"" + ExePath + "\" \"%1\""; }

bool IsFileTypeRegistered(const String& Extension, const String& ExePath, const String& TypeKey)
{
    TRegKey extension;
    if (!extension.Open(HKEY_CLASSES_ROOT, Extension))
        return false;
    TRegKey command;
    if (!command.Open(HKEY_CLASSES_ROOT, TypeKey + "\\Shell\\Open\\Command"))
        return false;
    WideString value;
    return command.ReadDefault(value) && value == StrToWide(OpenCommand(ExePath));
}

bool RegisterFileType(const String& Extension, const String& ExePath, const String& TypeKey,
                      const String& Description, const String& IconPath)
{
    const std::pair<String, String> keys[] = {
        {Extension, TypeKey},
        {TypeKey, Description},
        {TypeKey + "\\DefaultIcon", IconPath},
        {TypeKey + "\\Shell", "Open"},
        {TypeKey + "\\Shell\\Open\\Command", OpenCommand(ExePath)},
    };
    for (const auto& [name, value] : keys) {
        TRegKey key;
        if (!key.Create(HKEY_CLASSES_ROOT, name) || !key.WriteDefault(value))
            return false;
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return true;
}

void EnsureFileAssociation()
{
    const String exe = ModulePath();
    if (!IsFileTypeRegistered(".pir", exe, "Ir Project"))
        RegisterFileType(".pir", exe, "Ir Project", "Ir Project", Application->ExePath() + "Vantrel.ico");
}

} // namespace vantrel
