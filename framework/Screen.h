#pragma once
// The screen: the program's forms, its cursors and the size of the display.

#include <map>
#include <memory>
#include <vector>

#include "framework/Control.h"

// Built-in cursors. Custom cursors that a program loads get positive numbers.
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -1;
constexpr TCursor crIBeam = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crHandPoint = -4;
constexpr TCursor crHourGlass = -5;
constexpr TCursor crSizeWE = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeNESW = -9;
constexpr TCursor crSizeAll = -10;
constexpr TCursor crNo = -11;
constexpr TCursor crNoDrop = -12;
constexpr TCursor crDrag = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crAppStart = -16;
constexpr TCursor crHelp = -17;
constexpr TCursor crUpArrow = -18;

class TCustomForm;

class TScreen : public TObject {
public:
    // Forms in the order they were created.
    int CustomFormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* CustomForms(int Index) const { return FForms.at(static_cast<std::size_t>(Index)); }
    int FormCount() const { return CustomFormCount(); }
    TCustomForm* Forms(int Index) const { return CustomForms(Index); }
    // The form whose window is active, or nullptr.
    TCustomForm* ActiveForm() const;

    // A cursor for the whole program (crHourGlass during a long task);
    // crDefault lets each control show its own.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The cursor of an identifier: built-in ones from the system, custom
    // ones as set with SetCursors; the arrow for an unknown one.
    HCURSOR CursorHandle(TCursor Cursor) const;
    HCURSOR Cursors(TCursor Index) const { return CursorHandle(Index); }
    // Registers a custom cursor; the screen keeps (and never destroys) it.
    void SetCursors(TCursor Index, HCURSOR Handle);

    // The system's menu font (made on first use).
    TFont* MenuFont();

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // The work area of the primary monitor (without task bars).
    TRect WorkAreaRect() const;

private:
    std::unique_ptr<TFont> FMenuFont;
    friend class TCustomForm;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);

    std::vector<TCustomForm*> FForms;
    TCursor FCursor = crDefault;
    std::map<TCursor, HCURSOR> FCustomCursors;
};

extern TScreen* const Screen;
