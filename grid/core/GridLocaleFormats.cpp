#include "grid/core/GridLocaleFormats.h"

#include <windows.h>

#include "framework/Codepage.h"

namespace {

WideString LocaleText(LCTYPE Type)
{
    wchar_t Buffer[96] = {};
    const int n = GetLocaleInfoW(GetThreadLocale(), Type, Buffer, 96);
    return n > 1 ? WideString(Buffer, static_cast<std::size_t>(n - 1)) : WideString();
}

// The one 8-bit character of a separator text, or Default when the text is
// empty or its first character has no single-byte form.
char SeparatorChar(const WideString& Text, char Default)
{
    if (Text.empty())
        return Default;
    const wchar_t c = Text[0];
    if (c > 0 && c < 0x80)
        return static_cast<char>(c);
    // No-break and narrow spaces group digits in several locales.
    if (c == 0x00A0 || c == 0x202F || c == 0x2009)
        return ' ';
    const String s = WideToStr(WideString(1, c));
    if (s.size() == 1 && s[0] != '?')
        return s[0];
    return Default;
}

bool IsDatePictureChar(wchar_t c)
{
    return c == L'd' || c == L'M' || c == L'y' || c == L'g' || c == L' ';
}

// The first character of a date picture that is neither a field letter, a
// blank nor inside single quotes.
wchar_t DateSeparatorOf(const WideString& Picture)
{
    bool Quoted = false;
    for (wchar_t c : Picture) {
        if (c == L'\'')
            Quoted = !Quoted;
        else if (!Quoted && !IsDatePictureChar(c))
            return c;
    }
    return 0;
}

} // namespace

namespace {
// The formats a TLocaleFormatsHeld of this thread read; null when none lives.
thread_local const TGridLocaleFormats* HeldFormats = nullptr;
} // namespace

TLocaleFormatsHeld::TLocaleFormatsHeld() : FFormats(GridLocaleFormats()), FPrevious(HeldFormats)
{
    if (!FPrevious)
        HeldFormats = &FFormats;
}

TLocaleFormatsHeld::~TLocaleFormatsHeld()
{
    if (!FPrevious)
        HeldFormats = nullptr;
}

TGridLocaleFormats GridLocaleFormats()
{
    if (HeldFormats)
        return *HeldFormats;
    TGridLocaleFormats F;
    F.DecimalSeparator = SeparatorChar(LocaleText(LOCALE_SDECIMAL), '.');
    F.ThousandSeparator = SeparatorChar(LocaleText(LOCALE_STHOUSAND), ' ');
    if (F.ThousandSeparator == F.DecimalSeparator)
        F.ThousandSeparator = F.DecimalSeparator == ',' ? ' ' : ',';
    const WideString Picture = LocaleText(LOCALE_SSHORTDATE);
    if (!Picture.empty())
        F.ShortDateFormat = WideToStr(Picture);
    const wchar_t Sep = DateSeparatorOf(Picture);
    F.DateSeparator = Sep ? SeparatorChar(WideString(1, Sep), '/')
                          : SeparatorChar(LocaleText(LOCALE_SDATE), '/');
    return F;
}
