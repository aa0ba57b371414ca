#pragma once
// Registration of the window classes of the common controls library
// (tool tips, tool bars, status bars), once per class group and run.

#include <windows.h>

// Classes: ICC_ flags of InitCommonControlsEx.
void InitCommonControlClasses(DWORD Classes);
