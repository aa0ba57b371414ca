// A visual-styles library for the grid's tests: a theme is always active,
// and every background it draws is a flat fill whose colour tells the state
// asked for, so that a test reads the state back from the pixels. The
// loader binds a theme library whole, hence the full set of exports; the
// functions other than the few the grid's painting calls answer E_NOTIMPL.

#include <windows.h>

#include "tests/grid/input/headertheme/HeaderThemeColours.h"

namespace {
// Any non-null value serves as the open theme.
HANDLE const TheTheme = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x7E7E));
} // namespace

extern "C" {

__declspec(dllexport) HANDLE WINAPI OpenThemeData(HWND, LPCWSTR) { return TheTheme; }
__declspec(dllexport) HRESULT WINAPI CloseThemeData(HANDLE) { return S_OK; }
__declspec(dllexport) BOOL WINAPI IsThemeActive() { return TRUE; }
__declspec(dllexport) BOOL WINAPI IsAppThemed() { return TRUE; }
__declspec(dllexport) HRESULT WINAPI EnableTheming(BOOL) { return S_OK; }

__declspec(dllexport) HRESULT WINAPI DrawThemeBackground(HANDLE, HDC DC, int, int State, const RECT* Rect,
                                                          const RECT*)
{
    if (Rect == nullptr)
        return E_POINTER;
    HBRUSH Brush = CreateSolidBrush(HeaderThemeColour(State));
    FillRect(DC, Rect, Brush);
    DeleteObject(Brush);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI GetCurrentThemeName(LPWSTR, int, LPWSTR, int, LPWSTR, int)
{
    return E_NOTIMPL;
}

#define HEADER_THEME_UNUSED(Name)                                                                  \
    __declspec(dllexport) HRESULT WINAPI Name() { return E_NOTIMPL; }
HEADER_THEME_UNUSED(DrawThemeText)
HEADER_THEME_UNUSED(GetThemeBackgroundContentRect)
HEADER_THEME_UNUSED(GetThemeBackgroundExtent)
HEADER_THEME_UNUSED(GetThemeTextExtent)
HEADER_THEME_UNUSED(GetThemeTextMetrics)
HEADER_THEME_UNUSED(GetThemeBackgroundRegion)
HEADER_THEME_UNUSED(HitTestThemeBackground)
HEADER_THEME_UNUSED(DrawThemeEdge)
HEADER_THEME_UNUSED(DrawThemeIcon)
HEADER_THEME_UNUSED(IsThemePartDefined)
HEADER_THEME_UNUSED(IsThemeBackgroundPartiallyTransparent)
HEADER_THEME_UNUSED(GetThemeColor)
HEADER_THEME_UNUSED(GetThemeMetric)
HEADER_THEME_UNUSED(GetThemeString)
HEADER_THEME_UNUSED(GetThemeBool)
HEADER_THEME_UNUSED(GetThemeInt)
HEADER_THEME_UNUSED(GetThemeEnumValue)
HEADER_THEME_UNUSED(GetThemePosition)
HEADER_THEME_UNUSED(GetThemeFont)
HEADER_THEME_UNUSED(GetThemeRect)
HEADER_THEME_UNUSED(GetThemeMargins)
HEADER_THEME_UNUSED(GetThemeIntList)
HEADER_THEME_UNUSED(SetWindowTheme)
HEADER_THEME_UNUSED(GetThemeFilename)
HEADER_THEME_UNUSED(GetThemeSysColor)
HEADER_THEME_UNUSED(GetThemeSysColorBrush)
HEADER_THEME_UNUSED(GetThemeSysBool)
HEADER_THEME_UNUSED(GetThemeSysSize)
HEADER_THEME_UNUSED(GetThemeSysFont)
HEADER_THEME_UNUSED(GetThemeSysString)
HEADER_THEME_UNUSED(GetThemeSysInt)
HEADER_THEME_UNUSED(GetWindowTheme)
HEADER_THEME_UNUSED(EnableThemeDialogTexture)
HEADER_THEME_UNUSED(IsThemeDialogTextureEnabled)
HEADER_THEME_UNUSED(GetThemeAppProperties)
HEADER_THEME_UNUSED(SetThemeAppProperties)
HEADER_THEME_UNUSED(GetThemeDocumentationProperty)
HEADER_THEME_UNUSED(DrawThemeParentBackground)
#undef HEADER_THEME_UNUSED

} // extern "C"
