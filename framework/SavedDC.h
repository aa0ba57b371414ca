#pragma once
// Saving and moving a DC's state: TSavedDC does SaveDC now and RestoreDC
// on every way out, for drawing code that moves a DC's origin or clips it
// for a while.

#include <windows.h>

class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
    ~TSavedDC()
    {
        if (FSaved != 0)
            RestoreDC(FDC, FSaved);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

// Moves the DC's viewport origin by (DX, DY).
inline void HdcMoveOrigin(HDC DC, int DX, int DY)
{
    POINT origin;
    GetViewportOrgEx(DC, &origin);
    SetViewportOrgEx(DC, origin.x + DX, origin.y + DY, nullptr);
}
