#include "office/PagerStylers.h"

#include <algorithm>

#include "office/ProOfficePager.h"

namespace {

// Preset tables: one column per style 0..7 and 9 (psCustom has none).

struct TabColorRow {
    void (TCustomTabAppearance::*Set)(TColor);
    Cardinal V[9];
};
struct TabFieldRow {
    TColor TCustomTabAppearance::*Field;
    Cardinal V[9];
};
struct TabGradientRow {
    void (TCustomTabAppearance::*Set)(TGdiPlusGradient);
    TGdiPlusGradient V[9];
};
struct PageColorRow {
    void (TVistaBackground::*Set)(TColor);
    Cardinal V[9];
};

const TabColorRow TabColors[] = {
    {&TCustomTabAppearance::SetBorderColorSelected, {0x000000, 0x927476, 0x000000, 0x000000, 0xE3B28D, 0xE3B28D, 0x000000, 0x000000, 0xC1BFBD}},
    {&TCustomTabAppearance::SetBorderColorSelectedHot, {0x60CCF9, 0x60CCF9, 0x60CCF9, 0x60CCF9, 0x60CCF9, 0x60CCF9, 0xFF00000D, 0x60CCF9, 0x5FCAFA}},
    {&TCustomTabAppearance::SetTextColor, {0x000000, 0x000000, 0x000000, 0x000000, 0x8B4215, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x5C534C}},
    {&TCustomTabAppearance::SetTextColorHot, {0x000000, 0x000000, 0x000000, 0x000000, 0x8B4215, 0xFFFFFF, 0x000000, 0x000000, 0x5C534C}},
    {&TCustomTabAppearance::SetTextColorSelected, {0x000000, 0x000000, 0x000000, 0x000000, 0x8B4215, 0x000000, 0x000000, 0x000000, 0x5C534C}},
    {&TCustomTabAppearance::SetColorSelected, {0xFCDCC4, 0x927476, 0x8CC0B1, 0xC9D1D5, 0xFEF6F0, 0xEFEEED, 0xEFD3C6, 0xADC4C4, 0xF8F8F4}},
    {&TCustomTabAppearance::SetColorSelectedTo, {0xFAF1E9, 0xF7F3F3, 0xCFF0EA, 0xFFFFFF, 0xFAF1E9, 0xEFEEED, 0xFF00000F, 0xFFFFFF, 0xEFE7E2}},
    {&TCustomTabAppearance::SetColorMirrorSelected, {0xFAF1E9, 0xE6D8D8, 0xCFF0EA, 0xFFFFFF, 0xFAF1E9, 0xD2D2CE, 0xFF00000F, 0xFFFFFF, 0xEFE7E2}},
    {&TCustomTabAppearance::SetColorMirrorSelectedTo, {0xF6EAE0, 0xF7F3F3, 0xCFF0EA, 0xFFFFFF, 0xF6EAE0, 0xD2D2CE, 0xFF00000F, 0xFFFFFF, 0xEFE7E2}},
    {&TCustomTabAppearance::SetColorDisabledTo, {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xFF00000F, 0xC0C0C0, 0xC0C0C0}},
    {&TCustomTabAppearance::SetColorMirrorDisabledTo, {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xFF00000F, 0xC0C0C0, 0xC0C0C0}},
    {&TCustomTabAppearance::SetColorHot, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xDDE5E4, 0x5B7078, 0xEFD3C6, 0xCCF4FF, 0xCEE1E9}},
    {&TCustomTabAppearance::SetColorHotTo, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xFFDEC5, 0x959697, 0xEFD3C6, 0xCCF4FF, 0xDFD7D4}},
    {&TCustomTabAppearance::SetColorMirrorHot, {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xCCF4FF, 0xD5DFDD, 0x43575F, 0xEFD3C6, 0xCCF4FF, 0xC5D8DF}},
    {&TCustomTabAppearance::SetColorMirrorHotTo, {0x91D0FF, 0x91D0FF, 0x91D0FF, 0x91D0FF, 0xA3D3E1, 0x18AEED, 0xEFD3C6, 0x91D0FF, 0x8ECEE9}},
};
const TabFieldRow TabFields[] = {
    {&TCustomTabAppearance::BorderColorHot, {0xFF00000D, 0x927476, 0x000000, 0xE3B28D, 0xEABC99, 0x969C9E, 0xFF00000D, 0xE3B28D, 0xC1BEBD}},
    {&TCustomTabAppearance::ShadowColor, {0xA3673F, 0xBCADA7, 0x648C82, 0xA1A7AA, 0xE8C7AE, 0x000000, 0xBFA99E, 0x648C82, 0xD6CDC9}},
    {&TCustomTabAppearance::HighLightColor, {0xFFFABF, 0xF0EAEA, 0xFFFABF, 0xFFFABF, 0xFFFABF, 0x959899, 0xFFFABF, 0xFFFABF, 0xFFFABF}},
    {&TCustomTabAppearance::HighLightColorHot, {0xFDF4ED, 0xF7F4F3, 0xFDF4ED, 0xF7F4F3, 0xFDF4ED, 0x959899, 0xFDF4ED, 0xFDF4ED, 0xF7F4F3}},
};
const TabGradientRow TabGradients[] = {
    {&TCustomTabAppearance::SetGradientHot, {ggVertical, ggVertical, ggVertical, ggVertical, ggRadial, ggRadial, ggVertical, ggVertical, ggRadial}},
    {&TCustomTabAppearance::SetGradientMirrorHot, {ggVertical, ggVertical, ggVertical, ggVertical, ggVertical, ggRadial, ggVertical, ggVertical, ggVertical}},
};
const PageColorRow PageColors[] = {
    {&TVistaBackground::SetBorderColor, {0xE3B28D, 0x927476, 0x8CC0B1, 0x000000, 0xE3B28D, 0xB4B0AE, 0x000000, 0x000000, 0xBEBEBE}},
    {&TVistaBackground::SetColor, {0xFDEADA, 0xF7F3F3, 0xCFF0EA, 0xFFFFFF, 0xFAF1E9, 0xCFC6C1, 0xFF00000F, 0xFFFFFF, 0xF9F5F3}},
    {&TVistaBackground::SetColorTo, {0xFADAC4, 0xE6D8D8, 0xCFF0EA, 0xC9D1D5, 0xEDD8C7, 0xC5BBB4, 0xFF00000F, 0xD9E9EC, 0xE7DCD5}},
    {&TVistaBackground::SetColorMirror, {0xFADAC4, 0xE6D8D8, 0xCFF0EA, 0xC9D1D5, 0xEDD8C7, 0xC5BBB4, 0xFF00000F, 0xD9E9EC, 0xE7DCD5}},
    {&TVistaBackground::SetColorMirrorTo, {0xFADAC4, 0xE6D8D8, 0xCFF0EA, 0xFFFFFF, 0xFFF2E7, 0xECECE5, 0xFF00000F, 0xFFFFFF, 0xFBFAF0}},
};
constexpr Cardinal BackGroundColor[] = {0xE4AE88, 0xE6D8D8, 0x8CC0B1, 0xC9D1D5, 0xFFDBBF, 0x535353, 0xFF00000F, 0x859D9D, 0xDDD4D0};
constexpr Cardinal BackGroundColorTo[] = {0xFADAC4, 0xE6D8D8, 0xCFF0EA, 0xFFFFFF, 0x1FFFFFFF, 0x3A3A3A, 0xFF00000F, 0xADC4C4, 0x1FFFFFFF};
// The glow-button look of each preset (the hot, down and checked sets of
// the Office 2003 silver and olive looks differ from the glow button's own
// presets). Skip: the preset leaves the value as it is.
constexpr Cardinal Skip = 0xFFFFFFFF;
struct GlowRow {
    TGlowButtonAppearance::TValue Value;
    Cardinal V[9];
};
using A = TGlowButtonAppearance;
const GlowRow GlowColors[] = {
    {A::avColor, {0xEEDBC8, 0xEDD4C0, 0xCFF0EA, 0xFFFFFF, 0xEEDBC8, 0xDFDED6, 0xFFFFFF, 0xFFFFFF, 0xF3F3F1}},
    {A::avColorTo, {0xF6DDC9, 0xE6D8D8, 0xCFF0EA, 0xC9D1D5, 0xF6DDC9, 0xE4E2DB, 0xB9D8DC, 0xDFEDF0, 0xF5F5F3}},
    {A::avColorMirror, {0xEDD4C0, 0xEDD4C0, 0xCFF0EA, 0xFFFFFF, 0xEDD4C0, 0xD7D5CE, 0xB9D8DC, 0xDFEDF0, 0xEEEAE7}},
    {A::avColorMirrorTo, {0xF7E1D0, 0xC8B2B3, 0x8CC0B1, 0xC9D1D5, 0xF7E1D0, 0xE7E5E0, 0xB9D8DC, 0xDFEDF0, 0xF8F7F6}},
    {A::avBorderColor, {0xE0B99B, 0x927476, 0x8CC0B1, 0x000000, 0xE0B99B, 0xC0BCB2, 0xB9D8DC, 0x99A8AC, 0xCCCAC9}},
    {A::avColorHot, {0xEBFDFF, 0xCCF4FF, 0xCCF4FF, 0xEBFDFF, 0xEBFDFF, 0xEBFDFF, 0xEFD3C6, 0xEBFDFF, 0xEBFDFF}},
    {A::avColorHotTo, {0xACECFF, 0xCCF4FF, 0xCCF4FF, 0xACECFF, 0xACECFF, 0xACECFF, 0xEFD3C6, 0xACECFF, 0xACECFF}},
    {A::avColorMirrorHot, {0x59DAFF, 0xCCF4FF, 0xCCF4FF, 0x59DAFF, 0x59DAFF, 0x59DAFF, 0xEFD3C6, 0x59DAFF, 0x59DAFF}},
    {A::avColorMirrorHotTo, {0xA4E9FF, 0x91D0FF, 0x91D0FF, 0xA4E9FF, 0xA4E9FF, 0xA4E9FF, 0xEFD3C6, 0xA4E9FF, 0xA4E9FF}},
    {A::avBorderColorHot, {0x99CEDB, 0x99CEDB, 0x99CEDB, 0x99CEDB, 0x99CEDB, 0x99CEDB, 0xFF00000D, 0x99CEDB, 0x99CEDB}},
    {A::avColorDown, {0x76AFF1, 0x4E91FE, 0x4E91FE, 0x76AFF1, 0x76AFF1, 0x76AFF1, 0xB59284, 0x76AFF1, 0x76AFF1}},
    {A::avColorDownTo, {0x4190F3, 0x4E91FE, 0x4E91FE, 0x4190F3, 0x4190F3, 0x4190F3, 0xB59284, 0x4190F3, 0x4190F3}},
    {A::avColorMirrorDown, {0x0E72F1, 0x4E91FE, 0x4E91FE, 0x0E72F1, 0x0E72F1, 0x0E72F1, 0xB59284, 0x0E72F1, 0x0E72F1}},
    {A::avColorMirrorDownTo, {0x4C9FFD, 0x91D3FF, 0x91D3FF, 0x4C9FFD, 0x4C9FFD, 0x4C9FFD, 0xB59284, 0x4C9FFD, 0x4C9FFD}},
    {A::avBorderColorDown, {0x45667B, 0x45667B, 0x45667B, 0x45667B, 0x45667B, 0x45667B, 0xFF00000D, 0x45667B, 0x45667B}},
    {A::avColorChecked, {0xB5DBFB, 0x4E91FE, 0x4E91FE, 0xB5DBFB, 0xB5DBFB, 0xB5DBFB, 0xB9D8DC, 0xB5DBFB, 0xB5DBFB}},
    {A::avColorCheckedTo, {0x78C7FE, 0x4E91FE, 0x4E91FE, 0x78C7FE, 0x78C7FE, 0x78C7FE, 0xB9D8DC, 0x78C7FE, 0x78C7FE}},
    {A::avColorMirrorChecked, {0x9FEBFD, 0x4E91FE, 0x4E91FE, 0x9FEBFD, 0x9FEBFD, 0x9FEBFD, 0xB9D8DC, 0x9FEBFD, 0x9FEBFD}},
    {A::avColorMirrorCheckedTo, {0x56B4FE, 0x91D3FF, 0x91D3FF, 0x56B4FE, 0x56B4FE, 0x56B4FE, 0xB9D8DC, 0x56B4FE, 0x56B4FE}},
    {A::avBorderColorChecked, {Skip, Skip, Skip, Skip, 0x45667B, 0x45667B, 0x000000, Skip, 0x45667B}},
};
int PresetColumn(int Style)
{
    if (Style >= 0 && Style <= 7)
        return Style;
    return Style == 9 ? 8 : -1;
}

TColor C(Cardinal V) { return static_cast<TColor>(V); }

} // namespace

TCustomProOfficePagerStyler::TCustomProOfficePagerStyler(TComponent* AOwner)
    : TComponent(AOwner), FTabAppearance(std::make_unique<TTabAppearance>()),
      FPageAppearance(std::make_unique<TVistaBackground>()),
      FGlowButtonAppearance(std::make_unique<TGlowButtonAppearance>())
{
    FTabAppearance->OnChange = [this](TObject*) { Change(1); };
    FPageAppearance->OnChange = [this](TObject*) { Change(2); };
    FGlowButtonAppearance->OnChange = [this](TObject*) { Change(4); };
}

TCustomProOfficePagerStyler::~TCustomProOfficePagerStyler()
{
    Destroying();
    // Pagers that still use this styler fall back to their own.
    const std::vector<TProOfficePager*> Pagers = FPagers;
    FPagers.clear();
    for (TProOfficePager* P : Pagers)
        P->StylerFreed(this);
}

void TCustomProOfficePagerStyler::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TCustomProOfficePagerStyler*>(Source)) {
        FTabAppearance->Assign(S->FTabAppearance.get());
        FPageAppearance->Assign(S->FPageAppearance.get());
        SetRoundedCorners(S->FRoundedCorners);
        return;
    }
    TComponent::Assign(Source);
}

void TCustomProOfficePagerStyler::SetRoundedCorners(bool Value)
{
    FRoundedCorners = Value;
    Change(3);
}

void TCustomProOfficePagerStyler::AddPager(TProOfficePager* Pager)
{
    if (Pager && std::find(FPagers.begin(), FPagers.end(), Pager) == FPagers.end())
        FPagers.push_back(Pager);
}

void TCustomProOfficePagerStyler::RemovePager(TProOfficePager* Pager)
{
    FPagers.erase(std::remove(FPagers.begin(), FPagers.end(), Pager), FPagers.end());
}

void TCustomProOfficePagerStyler::Change(int Kind)
{
    if (IsDestroying())
        return;
    const std::vector<TProOfficePager*> Pagers = FPagers;
    for (TProOfficePager* P : Pagers)
        P->StylerChanged(Kind);
}

TNotifierWindow::TNotifierWindow(TComponent* AOwner) : TWinControl(AOwner)
{
    SetVisible(false);
}

void TNotifierWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_THEMECHANGED && OnThemeChange)
        OnThemeChange(this);
    TWinControl::WndProc(Message);
}

int CurrentColorScheme()
{
    OSVERSIONINFOW Info{};
    Info.dwOSVersionInfoSize = sizeof(Info);
    if (!GetVersionExW(&Info) || Info.dwMajorVersion < 5 || (Info.dwMajorVersion == 5 && Info.dwMinorVersion == 0))
        return 0;
    HMODULE Lib = LoadLibraryW(L"uxtheme.dll");
    if (!Lib)
        return 0;
    int Scheme = 0;
    using IsThemeActiveFn = BOOL(WINAPI*)();
    using GetCurrentThemeNameFn = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    auto IsActive = reinterpret_cast<IsThemeActiveFn>(reinterpret_cast<void*>(GetProcAddress(Lib, "IsThemeActive")));
    auto GetName =
        reinterpret_cast<GetCurrentThemeNameFn>(reinterpret_cast<void*>(GetProcAddress(Lib, "GetCurrentThemeName")));
    if (IsActive && IsActive() && GetName) {
        wchar_t File[256] = {}, Color[256] = {}, Size[256] = {};
        if (SUCCEEDED(GetName(File, 255, Color, 255, Size, 255))) {
            const std::wstring Name = Color;
            Scheme = Name == L"NormalColor" ? 1 : Name == L"HomeStead" ? 2 : Name == L"Metallic" ? 3 : 0;
        }
    }
    FreeLibrary(Lib);
    return Scheme;
}

TProOfficePagerOfficeStyler::TProOfficePagerOfficeStyler(TComponent* AOwner) : TCustomProOfficePagerStyler(AOwner)
{
    // The theme notices come to a hidden window under the first windowed
    // owner.
    FNotifier = new TNotifierWindow(this);
    for (TComponent* O = AOwner; O; O = O->Owner())
        if (auto* W = dynamic_cast<TWinControl*>(O)) {
            FNotifier->SetParent(W);
            break;
        }
    FNotifier->OnThemeChange = [this](TObject* Sender) { ThemeChanged(Sender); };
    // Through another style, so that the Blue preset is written in full
    // although it is the initial value.
    SetStyle(psWindowsXP);
    SetStyle(psOffice2003Blue);
}

void TProOfficePagerOfficeStyler::Loaded()
{
    TCustomProOfficePagerStyler::Loaded();
    if (!IsDesigning())
        ThemeChanged();
}

void TProOfficePagerOfficeStyler::ThemeChanged(TObject*)
{
    if (!FAutoThemeAdapt)
        return;
    switch (CurrentColorScheme()) {
    case 1: SetStyle(psOffice2003Blue); break;
    case 2: SetStyle(psOffice2003Olive); break;
    case 3: SetStyle(psOffice2003Silver); break;
    default: SetStyle(psWindowsXP); break;
    }
}

void TProOfficePagerOfficeStyler::SetStyle(TOfficePagerStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    SetBorderBlend(50);
    const int Column = PresetColumn(Value);
    if (Column >= 0)
        ApplyPreset(Column);
    Change(2);
}

void TProOfficePagerOfficeStyler::ApplyPreset(int Column)
{
    if (FStyle == psOffice2003Classic)
        SetBorderBlend(80);
    SetRoundedCorners(FStyle != psWindowsXP);

    TTabAppearance* Tab = TabAppearance();
    Tab->BackGround()->SetColor(C(BackGroundColor[Column]));
    Tab->BackGround()->SetColorTo(C(BackGroundColorTo[Column]));
    if (FStyle == psOffice2007Obsidian)
        Tab->BackGround()->SetDirection(gdVertical);

    // The same in every preset.
    Tab->SetBorderColor(clNoneColor);
    Tab->SetBorderColorDisabled(clNoneColor);
    Tab->SetTextColorDisabled(0x808080);
    Tab->SetColorDisabled(0xFFFFFF);
    Tab->SetColorMirrorDisabled(0xFFFFFF);
    Tab->SetGradient(ggVertical);
    Tab->SetGradientDisabled(ggVertical);
    Tab->SetGradientMirrorDisabled(ggVertical);
    Tab->SetGradientMirrorSelected(ggVertical);
    Tab->SetGradientSelected(ggVertical);
    Tab->HighLightColorSelected = 0x63CCF8;
    Tab->HighLightColorSelectedHot = 0xBDFFFF;
    Tab->HighLightColorDown = 0xFFFBD0;
    for (const TabColorRow& R : TabColors)
        (Tab->*R.Set)(C(R.V[Column]));
    for (const TabFieldRow& R : TabFields)
        Tab->*R.Field = C(R.V[Column]);
    for (const TabGradientRow& R : TabGradients)
        (Tab->*R.Set)(R.V[Column]);

    TVistaBackground* Page = PageAppearance();
    Page->SetGradient(ggVertical);
    Page->SetGradientMirror(ggVertical);
    for (const PageColorRow& R : PageColors)
        (Page->*R.Set)(C(R.V[Column]));

    TGlowButtonAppearance* Glow = GlowButtonAppearance();
    for (const GlowRow& R : GlowColors)
        if (R.V[Column] != Skip)
            Glow->SetValue(R.Value, static_cast<Integer>(R.V[Column]));
    for (A::TValue G : {A::avGradient, A::avGradientMirror, A::avGradientHot, A::avGradientMirrorHot,
                        A::avGradientDown, A::avGradientMirrorDown, A::avGradientChecked, A::avGradientMirrorChecked})
        Glow->SetValue(G, ggVertical);
}
