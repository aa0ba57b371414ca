#pragma once
// The fill colour of the test theme library for a drawn state: normal (1),
// hot (2) and pressed (3) differ, and none of them is a system colour.

#include <windows.h>

inline COLORREF HeaderThemeColour(int State)
{
    switch (State) {
    case 1: return RGB(0x21, 0x63, 0x84);
    case 2: return RGB(0xE7, 0x9C, 0x10);
    case 3: return RGB(0x94, 0x10, 0x52);
    default: return RGB(0x5A, 0x5A, 0x5A);
    }
}
