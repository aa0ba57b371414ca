#pragma once
// The colour-preset interface shared by the string grid, the office pager's
// styler and the glow button: a form gives all its styled controls one office
// colour scheme by calling SetComponentStyle on each.

#include <windows.h>
#include <unknwn.h>

#include "framework/Types.h"

// 0..9 follow the office pager's styles in order; 10 is the Vista look, which
// only the grid applies.
enum TComponentStylePreset : Byte {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
    tsWindowsVista,
};

// {11AC2DDC-C087-4298-AB6E-EA1B5017511B}
inline constexpr GUID IID_IComponentStyle = {
    0x11AC2DDC, 0xC087, 0x4298, {0xAB, 0x6E, 0xEA, 0x1B, 0x50, 0x17, 0x51, 0x1B}};

// A COM-shaped interface: the three IUnknown operations, then SetComponentStyle.
// Implementers are components that own their lifetime: AddRef and Release do
// not count and never free the component, and QueryInterface answers
// IID_IUnknown and IID_IComponentStyle with the component's own interface.
struct IComponentStyle : public IUnknown {
    virtual void STDMETHODCALLTYPE SetComponentStyle(TComponentStylePreset AStyle) = 0;
};

// The non-counting IUnknown part that every implementer shares.
template <class Base = IComponentStyle>
class TComponentStyleUnknown : public Base {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IComponentStyle)) {
            *ppv = static_cast<IComponentStyle*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(-1); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(-1); }
};
