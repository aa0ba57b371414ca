#pragma once
// Creating a control the way a form resource does: owned by the form, placed
// in its parent at its bounds. Forms built in code use it for every control.

#include "framework/WinControl.h"

template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width, int Height)
{
    auto* control = new T(Owner);   // owned by Owner, freed with it
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

template <class T>
T* NewControl(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width, int Height, const String& Caption)
{
    T* control = NewControl<T>(Owner, Parent, Left, Top, Width, Height);
    control->SetCaption(Caption);
    return control;
}
