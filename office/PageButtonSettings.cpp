#include "office/PageButtonSettings.h"

#include <cstring>

namespace {

constexpr int GlyphSize = 9;
constexpr int RowBytes = 12;   // 9 bytes padded to a multiple of 4
constexpr int PaletteBytes = 256 * 4;
constexpr int HeaderBytes = 14 + 40;

// Rows top to bottom: '.' background, 'o' outline, 'w' white fill.
const char* const Figures[6][GlyphSize] = {
    // Next: a chevron pointing right.
    {".........", ".oo......", ".owo.....", "..owo....", "...owo...", "..owo....", ".owo.....", ".oo......", "........."},
    // Prev: a chevron pointing left.
    {".........", "......oo.", ".....owo.", "....owo..", "...owo...", "....owo..", ".....owo.", "......oo.", "........."},
    // List: a chevron pointing down in the lower seven rows.
    {".........", ".........", ".........", "ooo...ooo", "owwo.owwo", ".owwowwo.", "..owwwo..", "...owo...", "....o...."},
    // Close: a cross.
    {".........", ".oo...oo.", ".owo.owo.", "..owowo..", "...owo...", "..owowo..", ".owo.owo.", ".oo...oo.", "........."},
    // Down: a chevron pointing down in rows 1 to 7.
    {".........", ".........", "ooo...ooo", "owwo.owwo", ".owwowwo.", "..owwwo..", "...owo...", "....o....", "........."},
    // Up: a chevron pointing up in rows 1 to 7.
    {".........", "....o....", "...owo...", "..owwwo..", ".owwowwo.", "owwo.owwo", "ooo...ooo", ".........", "........."},
};

void PutLE(String& S, std::size_t At, std::uint32_t V, int Bytes)
{
    for (int I = 0; I < Bytes; ++I)
        S[At + static_cast<std::size_t>(I)] = static_cast<char>((V >> (8 * I)) & 0xFF);
}

void LoadGlyph(TGdiPlusPicture* Picture, TPageButtonGlyph Glyph)
{
    TMemoryStream Stream;
    const String Bytes = PageButtonGlyphBitmap(Glyph);
    Stream.Write(Bytes.data(), static_cast<Integer>(Bytes.size()));
    Stream.SetPosition(0);
    Picture->LoadFromStream(&Stream);
}

} // namespace

String PageButtonGlyphBitmap(TPageButtonGlyph Glyph)
{
    const std::size_t Size = HeaderBytes + PaletteBytes + RowBytes * GlyphSize;
    String S(Size, '\0');
    S[0] = 'B';
    S[1] = 'M';
    PutLE(S, 2, static_cast<std::uint32_t>(Size), 4);
    PutLE(S, 10, HeaderBytes + PaletteBytes, 4);
    PutLE(S, 14, 40, 4);
    PutLE(S, 18, GlyphSize, 4);
    PutLE(S, 22, GlyphSize, 4);
    PutLE(S, 26, 1, 2);
    PutLE(S, 28, 8, 2);
    PutLE(S, 34, RowBytes * GlyphSize, 4);
    PutLE(S, 46, 256, 4);
    // Palette entries are blue, green, red, 0: 0 background, 1 outline, 2 white.
    const std::uint32_t Palette[3] = {0x00EFEFDE, 0x00847B42, 0x00FFFFFF};
    for (int I = 0; I < 3; ++I)
        PutLE(S, HeaderBytes + static_cast<std::size_t>(I) * 4, Palette[I], 4);
    const auto& Rows = Figures[static_cast<int>(Glyph)];
    for (int Y = 0; Y < GlyphSize; ++Y) {
        // Bitmap rows run bottom-up.
        const std::size_t Row = HeaderBytes + PaletteBytes + static_cast<std::size_t>(GlyphSize - 1 - Y) * RowBytes;
        for (int X = 0; X < GlyphSize; ++X) {
            const char C = Rows[Y][X];
            S[Row + static_cast<std::size_t>(X)] = static_cast<char>(C == 'o' ? 1 : C == 'w' ? 2 : 0);
        }
    }
    return S;
}

TPageButtonSettings::TPageButtonSettings()
    : FNext(std::make_unique<TGdiPlusPicture>()), FPrev(std::make_unique<TGdiPlusPicture>()),
      FList(std::make_unique<TGdiPlusPicture>()), FClose(std::make_unique<TGdiPlusPicture>()),
      FDown(std::make_unique<TGdiPlusPicture>()), FUp(std::make_unique<TGdiPlusPicture>())
{
    LoadGlyph(FNext.get(), TPageButtonGlyph::Next);
    LoadGlyph(FPrev.get(), TPageButtonGlyph::Prev);
    LoadGlyph(FList.get(), TPageButtonGlyph::List);
    LoadGlyph(FClose.get(), TPageButtonGlyph::Close);
    LoadGlyph(FDown.get(), TPageButtonGlyph::Down);
    LoadGlyph(FUp.get(), TPageButtonGlyph::Up);
    // Attached after the defaults are loaded, so they set no flag.
    for (TGdiPlusPicture* P : {FNext.get(), FPrev.get(), FList.get(), FClose.get()})
        P->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
}

TPageButtonSettings::~TPageButtonSettings() = default;

void TPageButtonSettings::Assign(const TPersistent* Source)
{
    if (auto* S = dynamic_cast<const TPageButtonSettings*>(Source)) {
        SetPageListButton(S->FPageListButton);
        SetCloseButton(S->FCloseButton);
        SetScrollButtonNextPicture(S->FNext.get());
        SetScrollButtonPrevPicture(S->FPrev.get());
        SetPageListButtonPicture(S->FList.get());
        SetCloseButtonPicture(S->FClose.get());
        SetScrollButtonsAlways(S->FScrollButtonsAlways);
        return;
    }
    TPersistent::Assign(Source);
}

void TPageButtonSettings::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPageButtonSettings::PictureChanged(TObject* Sender)
{
    if (Sender == FNext.get())
        NextPictureChanged = true;
    if (Sender == FPrev.get())
        PrevPictureChanged = true;
    Changed();
}

void TPageButtonSettings::SetPageListButton(bool Value)
{
    if (FPageListButton == Value)
        return;
    FPageListButton = Value;
    Changed();
}

void TPageButtonSettings::SetCloseButton(bool Value)
{
    if (FCloseButton == Value)
        return;
    FCloseButton = Value;
    Changed();
}

void TPageButtonSettings::SetScrollButtonsAlways(bool Value)
{
    if (FScrollButtonsAlways == Value)
        return;
    FScrollButtonsAlways = Value;
    Changed();
}

void TPageButtonSettings::SetPicture(TGdiPlusPicture* Target, const TGdiPlusPicture* Value)
{
    // The picture's own change notification records the flag; the settings
    // tell their owner once more after the copy.
    Target->Assign(Value);
    Changed();
}

void TPageButtonSettings::SetScrollButtonNextPicture(const TGdiPlusPicture* Value) { SetPicture(FNext.get(), Value); }
void TPageButtonSettings::SetScrollButtonPrevPicture(const TGdiPlusPicture* Value) { SetPicture(FPrev.get(), Value); }
void TPageButtonSettings::SetPageListButtonPicture(const TGdiPlusPicture* Value) { SetPicture(FList.get(), Value); }
void TPageButtonSettings::SetCloseButtonPicture(const TGdiPlusPicture* Value) { SetPicture(FClose.get(), Value); }
