#include "framework/Screen.h"

#include <algorithm>

#include "framework/Form.h"

namespace {

// Never freed: forms that the application frees during static destruction
// still take themselves off the list.
TScreen* const instance = new TScreen;

LPCWSTR SystemCursorId(TCursor Cursor)
{
    switch (Cursor) {
    case crIBeam: return IDC_IBEAM;
    case crCross: return IDC_CROSS;
    case crHandPoint: return IDC_HAND;
    case crHourGlass: return IDC_WAIT;
    case crSizeWE: return IDC_SIZEWE;
    case crSizeNS: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeAll: return IDC_SIZEALL;
    case crNo:
    case crNoDrop: return IDC_NO;
    case crHSplit: return IDC_SIZEWE;
    case crVSplit: return IDC_SIZENS;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crUpArrow: return IDC_UPARROW;
    default: return IDC_ARROW;
    }
}

} // namespace

TScreen* const Screen = instance;

TCustomForm* TScreen::ActiveForm() const
{
    HWND active = GetActiveWindow();
    for (TCustomForm* f : FForms)
        if (f->HandleAllocated() && f->Handle() == active)
            return f;
    return nullptr;
}

void TScreen::SetCursor(TCursor Value)
{
    if (Value == FCursor)
        return;
    FCursor = Value;
    POINT p;
    GetCursorPos(&p);
    ::SetCursor(CursorHandle(Value == crDefault ? crArrow : Value));
    // Let the window under the mouse choose its cursor again.
    SetCursorPos(p.x, p.y);
}

HCURSOR TScreen::CursorHandle(TCursor Cursor) const
{
    if (Cursor > 0) {
        auto it = FCustomCursors.find(Cursor);
        if (it != FCustomCursors.end())
            return it->second;
    }
    return LoadCursorW(nullptr, SystemCursorId(Cursor));
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle)
{
    FCustomCursors[Index] = Handle;
}

TRect TScreen::WorkAreaRect() const
{
    RECT r;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
        r = Rect(0, 0, Width(), Height());
    return r;
}

void TScreen::AddForm(TCustomForm* Form)
{
    FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
}

TFont* TScreen::MenuFont()
{
    if (!FMenuFont) {
        FMenuFont = std::make_unique<TFont>();
        // The whole structure: Wine writes 500 bytes whatever cbSize says.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
            HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
            if (font != nullptr) {
                FMenuFont->SetHandle(font);
                DeleteObject(font);
            }
        }
    }
    return FMenuFont.get();
}
