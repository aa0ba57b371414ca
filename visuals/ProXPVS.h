#pragma once
// Run-time binding of the visual-styles library (UXTHEME.DLL), so that the
// grid library runs on systems without it: the library is loaded once when
// the program starts and freed when it ends. Themed painting checks
// ThemeLibraryLoaded() (or the slot itself) before calling through a slot.
//
// The library is bound as a whole or not at all: when any of the functions
// below is missing from it, theming counts as unavailable and every slot is
// left empty, so that no caller can reach an empty slot after checking the
// loaded flag.

#include <windows.h>
#include <uxtheme.h>

#define PRO_THEME_FUNCTIONS(X)                                                                     \
    X(OpenThemeData) X(CloseThemeData) X(DrawThemeBackground) X(DrawThemeText)                     \
    X(GetThemeBackgroundContentRect) X(GetThemeBackgroundExtent) X(GetThemeTextExtent)             \
    X(GetThemeTextMetrics) X(GetThemeBackgroundRegion) X(HitTestThemeBackground) X(DrawThemeEdge)  \
    X(DrawThemeIcon) X(IsThemePartDefined) X(IsThemeBackgroundPartiallyTransparent)                \
    X(GetThemeColor) X(GetThemeMetric) X(GetThemeString) X(GetThemeBool) X(GetThemeInt)            \
    X(GetThemeEnumValue) X(GetThemePosition) X(GetThemeFont) X(GetThemeRect) X(GetThemeMargins)    \
    X(GetThemeIntList) X(SetWindowTheme) X(GetThemeFilename) X(GetThemeSysColor)                   \
    X(GetThemeSysColorBrush) X(GetThemeSysBool) X(GetThemeSysSize) X(GetThemeSysFont)              \
    X(GetThemeSysString) X(GetThemeSysInt) X(IsThemeActive) X(IsAppThemed) X(GetWindowTheme)       \
    X(EnableThemeDialogTexture) X(IsThemeDialogTextureEnabled) X(GetThemeAppProperties)            \
    X(SetThemeAppProperties) X(GetCurrentThemeName) X(GetThemeDocumentationProperty)               \
    X(DrawThemeParentBackground) X(EnableTheming)

// One slot per function, named after it with a "Pro" prefix (the plain names
// are the library's own declarations), typed with the library's signature.
struct TProThemeSlots {
#define PRO_THEME_SLOT(Name) decltype(&::Name) Name = nullptr;
    PRO_THEME_FUNCTIONS(PRO_THEME_SLOT)
#undef PRO_THEME_SLOT
};

// The bound slots; every slot is empty while ThemeLibraryLoaded() is false.
const TProThemeSlots& ThemeApi();

// True when UXTHEME.DLL was loaded and every function above was bound.
bool ThemeLibraryLoaded();

// True when visual styles can be used right now: the library is bound and the
// running session has a theme active for this application.
bool ThemesAvailable();

// Loads and binds the library; does nothing when it is already loaded. Runs
// once at program start; callable again after UnloadThemeLibrary.
void LoadThemeLibrary();

// Frees the library and empties the slots when it is loaded. Runs at program end.
void UnloadThemeLibrary();

// How many of the functions the last load could not find (0 when it bound
// all of them or could not load the library at all).
int ThemeMissingFunctionCount();

// True when the module "kernel32" is loaded and exports "GetLocaleInfoEx"
// (Windows Vista or later); false otherwise, also when the module handle
// cannot be obtained.
bool HasVistaApi();

// Test seam: load the visual-styles library from another file name (a DLL
// without some functions, say). Not for program use.
void LoadThemeLibraryFrom(const wchar_t* FileName);
