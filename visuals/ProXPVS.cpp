#include "visuals/ProXPVS.h"

namespace {

struct TThemeLibrary {
    HMODULE Handle = nullptr;
    bool Loaded = false;
    int Missing = 0;
    TProThemeSlots Slots;
};

TThemeLibrary& Library()
{
    static TThemeLibrary Instance;
    return Instance;
}

// Binds every slot by name; returns how many names the library lacks.
int BindAll(HMODULE Handle, TProThemeSlots& Slots)
{
    int Missing = 0;
#define PRO_THEME_BIND(Name)                                                                       \
    Slots.Name = reinterpret_cast<decltype(Slots.Name)>(                                           \
        reinterpret_cast<void*>(GetProcAddress(Handle, #Name)));                                   \
    if (!Slots.Name)                                                                               \
        ++Missing;
    PRO_THEME_FUNCTIONS(PRO_THEME_BIND)
#undef PRO_THEME_BIND
    return Missing;
}

// Loads the library at program start and frees it at program end.
struct TThemeUnitLifetime {
    TThemeUnitLifetime() { LoadThemeLibrary(); }
    ~TThemeUnitLifetime() { UnloadThemeLibrary(); }
} ThemeUnitLifetime;

} // namespace

const TProThemeSlots& ThemeApi() { return Library().Slots; }

bool ThemeLibraryLoaded() { return Library().Loaded; }

bool ThemesAvailable()
{
    const TThemeLibrary& Lib = Library();
    return Lib.Loaded && Lib.Slots.IsThemeActive() && Lib.Slots.IsAppThemed();
}

int ThemeMissingFunctionCount() { return Library().Missing; }

void LoadThemeLibraryFrom(const wchar_t* FileName)
{
    TThemeLibrary& Lib = Library();
    if (Lib.Loaded)
        return;
    // The count tells about this load only, also when the file is missing.
    Lib.Missing = 0;
    HMODULE Handle = LoadLibraryW(FileName);
    if (reinterpret_cast<UINT_PTR>(Handle) < 32)
        return;
    TProThemeSlots Slots;
    Lib.Missing = BindAll(Handle, Slots);
    if (Lib.Missing > 0) {
        // A partial library: theming is unavailable, no slot is usable.
        FreeLibrary(Handle);
        return;
    }
    Lib.Handle = Handle;
    Lib.Slots = Slots;
    Lib.Loaded = true;
}

void LoadThemeLibrary() { LoadThemeLibraryFrom(L"UXTHEME.DLL"); }

void UnloadThemeLibrary()
{
    TThemeLibrary& Lib = Library();
    if (!Lib.Loaded)
        return;
    FreeLibrary(Lib.Handle);
    Lib.Handle = nullptr;
    Lib.Slots = TProThemeSlots{};
    Lib.Loaded = false;
}

bool HasVistaApi()
{
    HMODULE Kernel = GetModuleHandleW(L"kernel32");
    return Kernel && GetProcAddress(Kernel, "GetLocaleInfoEx") != nullptr;
}
