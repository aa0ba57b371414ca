// The grid's look: the settings objects it owns for painting, the Look
// setter, the office colour presets, the XP colour schemes, and the saving
// and loading of column widths.

#include <string>

#include "framework/Codepage.h"
#include "framework/IniFile.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/SearchFooter.h"
#include "visuals/ProXPVS.h"

namespace {

TColor Rgb(TColor C) { return static_cast<TColor>(ColorToRGB(C)); }

// One office colour preset.
struct TPresetColors {
    bool Changes;               // false: the preset changes only the selection text colour
    TColor ActiveFrom, ActiveTo;
    TColor FixedFrom, FixedTo;
    bool ToControlLook;         // the fixed pair is also written to ControlLook
    TColor FooterFrom, FooterTo;
    TColor Line, FixedLine;
    TColor Selection;           // clNone: unchanged
};

const TPresetColors& Preset(TComponentStylePreset P)
{
    static const TPresetColors Table[] = {
        {true, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D, true, 0xFCE1CB, 0xE0A57D, 0xC0C0C0, 0x808080, clNone},
        {true, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698, true, 0xECE2E1, 0xB39698, 0xC0C0C0, 0x808080, clNone},
        {true, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1, true, 0xCFF0EA, 0x8CC0B1, 0xC0C0C0, 0x808080, clNone},
        {true, 0xD8D5D4, 0xD8D5D4, 0xFFFFFF, 0xCCD4D8, false, 0xFFFFFF, 0xD8D5D4, 0xC0C0C0, 0x808080, clNone},
        {true, 0x9DD8F9, 0x5EC1F1, 0xFBF9F6, 0xE8DBD2, true, 0xFFEFE3, 0xFFD2AF, 0xE5D7D0, 0x808080, 0x5EC1F1},
        {true, 0x9DD8F9, 0x5EC1F1, 0xF7F7F7, 0xDEDEDE, true, 0xF2F1F0, 0xC9C2BD, 0xE5D7D0, 0x808080, 0x5EC1F1},
        {true, clBtnFace, clBtnFace, clBtnFace, clBtnFace, false, clBtnFace, clBtnFace, 0xC0C0C0, 0x808080, clHighlight},
        {true, 0x94E6FB, 0x1595EE, 0xFFFFFF, clBtnFace, false, 0xEBEEEF, 0x7E9898, 0xC0C0C0, 0x808080, clHighlight},
        {false, 0, 0, 0, 0, false, 0, 0, 0, 0, clNone},
        {true, 0x99CCFF, 0x699CFF, 0xF3F3F1, 0xCAC9C8, true, 0xEEEEEE, 0xC1C1C1, 0xE5D7D0, 0x808080, 0x95C7F5},
        {true, clBtnFace, clBtnFace, 0xFFFFFF, 0xFFFFFF, false, clBtnFace, clBtnFace, 0xC0C0C0, 0xD4D2D1, 0xEACAB6},
    };
    const int I = static_cast<int>(P);
    return Table[I >= 0 && I <= 10 ? I : 8];
}

} // namespace

void TProStringGrid::CreatePaintObjects()
{
    FControlLook = std::make_unique<TControlLook>();
    FControlLook->OnChange = [this](TObject*) { Invalidate(); };
    FControlLook->OnGradientChange = [this](TFixedGradientSlot Slot, TColor V) {
        switch (Slot) {
        case TFixedGradientSlot::From: FixedGradientFrom = Rgb(V); break;
        case TFixedGradientSlot::To: FixedGradientTo = Rgb(V); break;
        case TFixedGradientSlot::MirrorFrom: FixedGradientMirrorFrom = Rgb(V); break;
        case TFixedGradientSlot::MirrorTo: FixedGradientMirrorTo = Rgb(V); break;
        case TFixedGradientSlot::HoverFrom: FFixedGradient.HoverFrom = V; break;
        case TFixedGradientSlot::HoverTo: FFixedGradient.HoverTo = V; break;
        case TFixedGradientSlot::HoverMirrorFrom: FFixedGradient.HoverMirrorFrom = V; break;
        case TFixedGradientSlot::HoverMirrorTo: FFixedGradient.HoverMirrorTo = V; break;
        case TFixedGradientSlot::HoverBorder: FFixedGradient.HoverBorder = V; break;
        case TFixedGradientSlot::DownFrom: FFixedGradient.DownFrom = V; break;
        case TFixedGradientSlot::DownTo: FFixedGradient.DownTo = V; break;
        case TFixedGradientSlot::DownMirrorFrom: FFixedGradient.DownMirrorFrom = V; break;
        case TFixedGradientSlot::DownMirrorTo: FFixedGradient.DownMirrorTo = V; break;
        case TFixedGradientSlot::DownBorder: FFixedGradient.DownBorder = V; break;
        }
    };
    // The hover and pressed colours of the working copy read 0 until set.
    FFixedGradient.HoverFrom = FFixedGradient.HoverTo = FFixedGradient.HoverMirrorFrom = 0;
    FFixedGradient.HoverMirrorTo = FFixedGradient.HoverBorder = 0;
    FFixedGradient.DownFrom = FFixedGradient.DownTo = FFixedGradient.DownMirrorFrom = 0;
    FFixedGradient.DownMirrorTo = FFixedGradient.DownBorder = 0;
    FBands = std::make_unique<TBands>();
    FBands->OnChange = [this](TObject*) { Invalidate(); };
    FBackGround = std::make_unique<TBackGround>();
    FBackGround->OnChange = [this](TObject*) { Invalidate(); };
    FProgressAppearance = std::make_unique<TGridProgressAppearance>();
    FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FColumnSize = std::make_unique<TColumnSize>();
    FSortSettings = std::make_unique<TSortSettings>(this);
    FSortSettings->OnChange = [this](TObject*) { Invalidate(); };
    FRowIndicator = std::make_unique<TBitmap>();
}

TFixedGradient TProStringGrid::FixedGradient() const
{
    TFixedGradient G = FFixedGradient;
    G.From = FixedGradientFrom;
    G.To = FixedGradientTo;
    G.MirrorFrom = FixedGradientMirrorFrom;
    G.MirrorTo = FixedGradientMirrorTo;
    return G;
}

void TProStringGrid::SetRowIndicator(const TBitmap* Value)
{
    FRowIndicator->Assign(Value);
    RepaintCell(0, Row());
}

void TProStringGrid::SetLook(TGridLook Value)
{
    if (Value == Look)
        return;
    Look = Value;
    if (Value == glVista) {
        SetComponentStyle(tsWindowsVista);
    } else {
        FixedGradientFrom = clWhite;
        FixedGradientTo = Rgb(clBtnFace);
        FixedGradientMirrorFrom = clNone;
        FixedGradientMirrorTo = clNone;
        SetGridFixedLineColor(clGray);
        FControlLook->SetFixedGradientFrom(clWhite);
        FControlLook->SetFixedGradientTo(clBtnFace);
        FControlLook->SetGradientColor(TFixedGradientSlot::MirrorFrom, clNone);
        FControlLook->SetGradientColor(TFixedGradientSlot::MirrorTo, clNone);
        FixedGradientTo = Rgb(clBtnFace);
    }
    Invalidate();
    if (!IsLoading())
        RepaintFloatingFooter();
}

void STDMETHODCALLTYPE TProStringGrid::SetComponentStyle(TComponentStylePreset AStyle)
{
    FComponentStyle = AStyle;
    ApplyComponentPreset(AStyle);
    Invalidate();
}

void TProStringGrid::ApplyComponentPreset(TComponentStylePreset AStyle)
{
    SelectionTextColor = clBlack;
    const TPresetColors& P = Preset(AStyle);
    if (!P.Changes)
        return;
    ActiveCellColor = P.ActiveFrom;
    ActiveCellColorTo = P.ActiveTo;
    const bool KeepMirrors = AStyle == tsOffice2007Silver;
    FixedGradientFrom = Rgb(P.FixedFrom);
    FixedGradientTo = Rgb(P.FixedTo);
    if (!KeepMirrors) {
        FixedGradientMirrorFrom = clNone;
        FixedGradientMirrorTo = clNone;
    }
    FSearchFooter->SetColor(P.FooterFrom);
    FSearchFooter->SetColorTo(P.FooterTo);
    SetGridLineColor(P.Line);
    SetGridFixedLineColor(P.FixedLine);
    if (P.Selection != clNone)
        SelectionColor = P.Selection;
    if (AStyle == tsWindowsVista) {
        SelectionTextColor = clWhite;
        FixedGradientMirrorFrom = 0xFAF8F7;
        FixedGradientMirrorTo = 0xF4F2F1;
        const struct {
            TFixedGradientSlot Slot;
            TColor Value;
        } Vista[] = {
            {TFixedGradientSlot::MirrorFrom, 0xFAF8F7}, {TFixedGradientSlot::MirrorTo, 0xF4F2F1},
            {TFixedGradientSlot::HoverFrom, 0xFFF7E3}, {TFixedGradientSlot::HoverTo, 0xFFF7E3},
            {TFixedGradientSlot::HoverMirrorFrom, 0xFFEDBD}, {TFixedGradientSlot::HoverMirrorTo, 0xFBE7B7},
            {TFixedGradientSlot::HoverBorder, 0xE3C993}, {TFixedGradientSlot::DownFrom, 0xF9E4BC},
            {TFixedGradientSlot::DownTo, 0xF9E4BC}, {TFixedGradientSlot::DownMirrorFrom, 0xF7D68D},
            {TFixedGradientSlot::DownMirrorTo, 0xF5D18A}, {TFixedGradientSlot::DownBorder, 0xAE904F},
        };
        for (const auto& V : Vista)
            FControlLook->SetGradientColor(V.Slot, V.Value);
        FSortSettings->HeaderColor = 0xFCF9F2;
        FSortSettings->HeaderColorTo = 0xFCF9F2;
        FSortSettings->HeaderMirrorColor = 0xF9F1E1;
        FSortSettings->HeaderMirrorColorTo = 0xF6ECD8;
        // The working copy keeps white; the published pair reads clNone.
        FixedGradientFrom = clWhite;
        FixedGradientTo = clWhite;
    }
    if (P.ToControlLook) {
        FControlLook->SetFixedGradientFrom(P.FixedFrom);
        FControlLook->SetFixedGradientTo(P.FixedTo);
    } else {
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
    }
}

// ---------------------------------------------------------------------------
// XP colour schemes

int TProStringGrid::GetThemeColorScheme()
{
    if (HasVistaApi())
        return 4;
    if (!ThemeLibraryLoaded() || !ThemesAvailable())
        return 0;
    wchar_t Name[255] = {}, ColorName[255] = {}, SizeName[255] = {};
    if (FAILED(ThemeApi().GetCurrentThemeName(Name, 255, ColorName, 255, SizeName, 255)))
        return 0;
    const WideString C = ColorName;
    if (C == L"NormalColor")
        return 1;
    if (C == L"HomeStead")
        return 2;
    if (C == L"Metallic")
        return 3;
    return 0;
}

void TProStringGrid::ApplyThemeColorScheme(int Scheme)
{
    struct TScheme {
        TColor From, To, MirrorFrom, MirrorTo, ActiveFrom, ActiveTo, FooterFrom, FooterTo;
    };
    static const TScheme Table[] = {
        {clWhite, clBtnFace, clNone, clNone, clWhite, 0xFFD9B3, clWhite, 0xFFD9B3},
        {0xFCE1CB, 0xE0A57D, clNone, clNone, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D},
        {0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1},
        {0xECE2E1, 0xB39698, clNone, clNone, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698},
        {clWhite, clWhite, 0xFAF8F7, 0xF4F2F1, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698},
    };
    if (Scheme < 0 || Scheme > 4)
        Scheme = 0;
    const TScheme& S = Table[Scheme];
    FixedGradientFrom = Rgb(S.From);
    FixedGradientTo = Rgb(S.To);
    FixedGradientMirrorFrom = S.MirrorFrom;
    FixedGradientMirrorTo = S.MirrorTo;
    ActiveCellColor = S.ActiveFrom;
    ActiveCellColorTo = S.ActiveTo;
    FSearchFooter->SetColor(S.FooterFrom);
    FSearchFooter->SetColorTo(S.FooterTo);
    if (Scheme == 0) {
        FControlLook->SetFixedGradientFrom(clNone);
        FControlLook->SetFixedGradientTo(clNone);
    } else {
        FControlLook->SetFixedGradientFrom(S.From);
        FControlLook->SetFixedGradientTo(S.To);
    }
}

void TProStringGrid::ApplyThemeColors() { ApplyThemeColorScheme(GetThemeColorScheme()); }

void TProStringGrid::SetAutoThemeAdapt(bool Value)
{
    AutoThemeAdapt = Value;
    if (Value) {
        ApplyThemeColors();
        Invalidate();
    }
}

// ---------------------------------------------------------------------------
// Column widths in an INI file or the registry

namespace {

// The registry form: HKEY_CURRENT_USER\<Key>\<Section>, one DWORD per column.
HKEY OpenColumnKey(const String& Key, const String& Section, bool Create)
{
    const WideString Path = StrToWide(Key + "\\" + Section);
    HKEY K = nullptr;
    const LONG R = Create ? RegCreateKeyExW(HKEY_CURRENT_USER, Path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &K, nullptr)
                          : RegOpenKeyExW(HKEY_CURRENT_USER, Path.c_str(), 0, KEY_READ, &K);
    return R == ERROR_SUCCESS ? K : nullptr;
}

} // namespace

void TProStringGrid::SaveColumnSizes()
{
    const TColumnSize* CS = FColumnSize.get();
    if (CS->Key.empty() || CS->Section.empty() || IsDesigning())
        return;
    if (CS->Location == clIniFile) {
        TIniFile Ini(CS->Key);
        for (int i = 0; i < ColCount(); ++i)
            Ini.WriteInteger(CS->Section, "Col" + std::to_string(i), ColWidths(i));
        return;
    }
    HKEY K = OpenColumnKey(CS->Key, CS->Section, true);
    if (!K)
        return;
    for (int i = 0; i < ColCount(); ++i) {
        const WideString Name = StrToWide("Col" + std::to_string(i));
        const DWORD V = static_cast<DWORD>(ColWidths(i));
        RegSetValueExW(K, Name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&V), sizeof V);
    }
    RegCloseKey(K);
}

void TProStringGrid::LoadColumnSizes()
{
    const TColumnSize* CS = FColumnSize.get();
    if (CS->Key.empty() || CS->Section.empty() || IsDesigning())
        return;
    if (CS->Location == clIniFile) {
        TIniFile Ini(CS->Key);
        for (int i = 0; i < ColCount(); ++i) {
            const int W = Ini.ReadInteger(CS->Section, "Col" + std::to_string(i), ColWidths(i));
            if (W != ColWidths(i))
                SetColWidths(i, W);
        }
        return;
    }
    HKEY K = OpenColumnKey(CS->Key, CS->Section, false);
    if (!K)
        return;
    for (int i = 0; i < ColCount(); ++i) {
        const WideString Name = StrToWide("Col" + std::to_string(i));
        DWORD V = 0, Size = sizeof V, Type = 0;
        if (RegQueryValueExW(K, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&V), &Size) == ERROR_SUCCESS
            && Type == REG_DWORD && static_cast<int>(V) != ColWidths(i))
            SetColWidths(i, static_cast<int>(V));
    }
    RegCloseKey(K);
}

// ---------------------------------------------------------------------------
// Painting values that repaint when set

namespace {

// Stores Value in Field; true when it changed.
template <class T>
bool StoreChanged(T& Field, T Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

} // namespace

void TProStringGrid::SetSelectionColor(TColor Value)
{
    if (StoreChanged(SelectionColor, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionColorTo(TColor Value)
{
    if (StoreChanged(SelectionColorTo, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionMirrorColor(TColor Value)
{
    if (StoreChanged(SelectionMirrorColor, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionMirrorColorTo(TColor Value)
{
    if (StoreChanged(SelectionMirrorColorTo, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionTextColor(TColor Value)
{
    if (StoreChanged(SelectionTextColor, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionRectangle(bool Value)
{
    if (StoreChanged(SelectionRectangle, Value))
        Invalidate();
}

void TProStringGrid::SetSelectionResizer(bool Value)
{
    if (StoreChanged(SelectionResizer, Value))
        Invalidate();
}

void TProStringGrid::SetShowSelection(bool Value)
{
    if (StoreChanged(ShowSelection, Value))
        Invalidate();
}

void TProStringGrid::SetActiveCellShow(bool Value)
{
    ActiveCellShow = Value;
    Invalidate();
}

void TProStringGrid::SetActiveCellColor(TColor Value)
{
    ActiveCellColor = Value;
    Invalidate();
}

void TProStringGrid::SetActiveCellColorTo(TColor Value)
{
    ActiveCellColorTo = Value;
    Invalidate();
}

void TProStringGrid::SetActiveCellFont(const TFont* Value)
{
    FActiveCellFont->Assign(Value);
    Invalidate();
}

void TProStringGrid::SetBackGround(const TBackGround* Value)
{
    FBackGround->Assign(Value);
    Invalidate();
}

void TProStringGrid::SetFlat(bool Value)
{
    Flat = Value;
    if (!IsLoading())
        Invalidate();
}

// The painter turns the value into the vertical text flags of each cell.
void TProStringGrid::SetVAlignment(TVAlignment Value)
{
    VAlignment = Value;
    if (!UpdateHeld())
        Invalidate();
}

void TProStringGrid::SetScrollColor(TColor Value)
{
    ScrollColor = Value;
    UpdateFlatScrollBars();
}

void TProStringGrid::SetScrollWidth(int Value)
{
    ScrollWidth = Value;
    UpdateFlatScrollBars();
}

void TProStringGrid::SetURLColor(TColor Value)
{
    URLColor = Value;
    if (URLShow)
        Invalidate();
}

void TProStringGrid::SetURLShow(bool Value)
{
    URLShow = Value;
    Invalidate();
}

void TProStringGrid::SetURLFull(bool Value)
{
    URLFull = Value;
    if (URLShow)
        Invalidate();
}
