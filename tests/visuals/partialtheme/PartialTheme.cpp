// A visual-styles library that has only a few of the theme functions, for
// the loader's tests: the loader must treat theming as unavailable and leave
// every slot empty. Each export counts its calls, so a test can see that
// nothing was called through the loader.

#include <windows.h>

namespace {
LONG Calls = 0;
}

extern "C" {

__declspec(dllexport) void* WINAPI OpenThemeData(HWND, LPCWSTR)
{
    InterlockedIncrement(&Calls);
    return nullptr;
}

__declspec(dllexport) HRESULT WINAPI CloseThemeData(void*)
{
    InterlockedIncrement(&Calls);
    return S_OK;
}

__declspec(dllexport) BOOL WINAPI IsThemeActive()
{
    InterlockedIncrement(&Calls);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI IsAppThemed()
{
    InterlockedIncrement(&Calls);
    return TRUE;
}

__declspec(dllexport) LONG WINAPI PartialThemeCallCount() { return Calls; }

} // extern "C"
