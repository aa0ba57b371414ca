// Helpers of the mini-HTML renderer's tags: colour names and hex colours,
// icons of the shell's system image lists, stretched bitmaps, rotated fonts.

#include "grid/core/HtmlRender.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/Codepage.h"

namespace {

struct TNamedColor {
    const char* Name;
    TColor Color;
};

const TNamedColor ColorNames[] = {
    {"clred", 0x0000FF}, {"clblack", 0x000000}, {"clblue", 0xFF0000}, {"clgreen", 0x008000},
    {"claqua", 0xFFFF00}, {"clyellow", 0x00FFFF}, {"clfuchsia", 0xFF00FF}, {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00}, {"clsilver", 0xC0C0C0}, {"clgray", 0x808080}, {"clolive", 0x008080},
    {"clnavy", 0x800000}, {"clpurple", 0x800080}, {"clteal", 0x808000}, {"clmaroon", 0x000080},
    {"clbackground", SystemColor(1)}, {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)}, {"clmenu", SystemColor(4)}, {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)}, {"clmenutext", SystemColor(7)}, {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)}, {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)}, {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)}, {"clhighlighttext", SystemColor(14)}, {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)}, {"clgraytext", SystemColor(17)}, {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)}, {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)}, {"cl3dlight", SystemColor(22)}, {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
};

} // namespace

TColor ColorFromName(const String& Name)
{
    for (const TNamedColor& N : ColorNames)
        if (Name == N.Name)
            return N.Color;
    return clBlack;
}

int HexPairToByte(char Hi, char Lo)
{
    auto Digit = [](char Ch) {
        if (Ch >= '0' && Ch <= '9')
            return Ch - '0';
        if (Ch >= 'A' && Ch <= 'F')
            return Ch - 'A' + 10;
        return 0;
    };
    return Digit(Hi) * 16 + Digit(Lo);
}

TColor HexToColor(const String& S)
{
    auto At = [&](std::size_t I) { return I < S.size() ? S[I] : '0'; };
    const int Red = HexPairToByte(At(1), At(2));
    const int Green = HexPairToByte(At(3), At(4));
    const int Blue = HexPairToByte(At(5), At(6));
    return RGBToColor(static_cast<Byte>(Red), static_cast<Byte>(Green), static_cast<Byte>(Blue));
}

bool IsDirectoryPath(const String& Name)
{
    const DWORD A = GetFileAttributesW(StrToWide(Name).c_str());
    return A != INVALID_FILE_ATTRIBUTES && (A & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TSize DrawSystemIcon(TCanvas* Canvas, const String& Name, int X, int Y, bool Large, bool Paint, double Scale)
{
    SHFILEINFOW Info{};
    const UINT Size = Large ? SHGFI_LARGEICON : SHGFI_SMALLICON;
    int Index = -1;
    HIMAGELIST List = nullptr;
    Integer N = 0;
    bool Numeric = !Name.empty();
    for (std::size_t I = 0; I < Name.size(); ++I)
        if (!(Name[I] >= '0' && Name[I] <= '9') && !(I == 0 && Name[I] == '-'))
            Numeric = false;
    if (Numeric) {
        N = StrToIntLoose(Name, -1);
        List = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"C:\\", 0, &Info, sizeof Info, SHGFI_SYSICONINDEX | Size));
        Index = N;
    } else if (!Name.empty()) {
        const WideString Path = StrToWide(Name);
        const DWORD Attr = GetFileAttributesW(Path.c_str());
        UINT Flags = SHGFI_SYSICONINDEX | Size;
        DWORD FileAttr = 0;
        if (Attr == INVALID_FILE_ATTRIBUTES) {
            // Not on disk: the icon of its name (its extension) alone.
            Flags |= SHGFI_USEFILEATTRIBUTES;
            FileAttr = IsDirectoryPath(Name) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        }
        List = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(Path.c_str(), FileAttr, &Info, sizeof Info, Flags));
        Index = Info.iIcon;
    }
    if (!List || Index < 0 || Index >= ImageList_GetImageCount(List))
        return TSize{0, 0};
    int W = 0, H = 0;
    ImageList_GetIconSize(List, &W, &H);
    if (Paint) {
        HDC DC = Canvas->Handle();
        const int SW = static_cast<int>(W * Scale), SH = static_cast<int>(H * Scale);
        if (SW == W && SH == H)
            ImageList_Draw(List, Index, DC, X, Y, ILD_TRANSPARENT);
        else if (HICON Icon = ImageList_GetIcon(List, Index, ILD_NORMAL)) {
            DrawIconEx(DC, X, Y, Icon, SW, SH, 0, nullptr, DI_NORMAL);
            DestroyIcon(Icon);
        }
        Canvas->Refresh();
    }
    return TSize{W, H};
}

void StretchBitmapToRect(TCanvas* Canvas, const TRect& R, TCanvas* Source, int SourceWidth, int SourceHeight)
{
    if (!Source || SourceWidth <= 0 || SourceHeight <= 0)
        return;
    Canvas->CopyRect(R, Source, Rect(0, 0, SourceWidth, SourceHeight));
}

int SelectRotatedFont(TCanvas* Canvas, int Angle)
{
    const int Kept = Canvas->Font()->Orientation();
    Canvas->Font()->SetOrientation(Angle * 10);
    return Kept;
}

void RestoreRotatedFont(TCanvas* Canvas, int Kept) { Canvas->Font()->SetOrientation(Kept); }
