#include "grid/interaction/LocaleFormats.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/Codepage.h"
#include "grid/core/GridLocaleFormats.h"

namespace {

String LocaleText(LCTYPE Type, const String& Fallback)
{
    wchar_t buffer[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buffer, 80) <= 1)
        return Fallback;
    return WideToStr(buffer);
}

char LocaleChar(LCTYPE Type, char Fallback)
{
    const String s = LocaleText(Type, String(1, Fallback));
    return s.size() == 1 ? s[0] : Fallback;
}

bool FormatsRead = false;
TFormatSettings Settings;

bool AllDigits(const String& S)
{
    if (S.empty())
        return false;
    for (char c : S)
        if (c < '0' || c > '9')
            return false;
    return true;
}

String Padded(int Value, int Width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", Width, Value);
    return buffer;
}

bool StartsWithNoCase(const String& S, std::size_t At, const String& Word)
{
    if (Word.empty() || At + Word.size() > S.size())
        return false;
    for (std::size_t i = 0; i < Word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(S[At + i])) != std::toupper(static_cast<unsigned char>(Word[i])))
            return false;
    return true;
}

} // namespace

// The separators and the short date format are the grid's own reading of
// the locale, so that the edit controls and the grid's text functions agree;
// the time items are read here.
void ReadLocaleFormatSettings()
{
    const TGridLocaleFormats grid = GridLocaleFormats();
    TFormatSettings s;
    s.DecimalSeparator = grid.DecimalSeparator;
    s.ThousandSeparator = grid.ThousandSeparator;
    s.DateSeparator = grid.DateSeparator;
    s.ShortDateFormat = grid.ShortDateFormat;
    s.TimeSeparator = LocaleChar(LOCALE_STIME, ':');
    s.LongTimeFormat = LocaleText(LOCALE_STIMEFORMAT, s.LongTimeFormat);
    s.TimeAMString = LocaleText(LOCALE_S1159, s.TimeAMString);
    s.TimePMString = LocaleText(LOCALE_S2359, s.TimePMString);
    Settings = s;
    FormatsRead = true;
}

TFormatSettings& FormatSettings()
{
    if (!FormatsRead)
        ReadLocaleFormatSettings();
    return Settings;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    return (((Hour * 60.0 + Min) * 60.0 + Sec) * 1000.0 + MSec) / 86400000.0;
}

// The time of day of a date before day 0 is the fraction's absolute value
// (-1.25 is 29 December 1899, 06:00), as DecodeDate takes its day.
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec)
{
    const double fraction = std::fabs(Time - std::trunc(Time));
    long long ms = std::llround(fraction * 86400000.0) % 86400000;
    MSec = static_cast<int>(ms % 1000);
    ms /= 1000;
    Sec = static_cast<int>(ms % 60);
    ms /= 60;
    Min = static_cast<int>(ms % 60);
    Hour = static_cast<int>(ms / 60);
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time)
{
    const double day = std::trunc(Date);
    const double time = std::fabs(Time - std::trunc(Time));
    return day >= 0 ? day + time : day - time;
}

TDateTime IncMonth(TDateTime Date, int Months)
{
    Integer y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    const long long total = static_cast<long long>(y) * 12 + (m - 1) + Months;
    if (total < 12 || total >= 10000LL * 12)
        return Date;
    y = static_cast<Integer>(total / 12);
    m = static_cast<Integer>(total % 12 + 1);
    // The day is clipped to the target month's length.
    TDateTime result = 0;
    while (d > 28 && !TryEncodeDate(y, m, d, result))
        --d;
    if (!TryEncodeDate(y, m, d, result))
        return Date;
    return ComposeDateTime(result, Date);
}

TDateTime IncYears(TDateTime Date, int Years)
{
    return IncMonth(Date, Years * 12);
}

TDateTime NowDateTime()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    TDateTime date = 0;
    TryEncodeDate(t.wYear, t.wMonth, t.wDay, date);
    return date + EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

String DateToStr(TDateTime Date)
{
    Integer y = 0, m = 0, d = 0;
    DecodeDate(Date, y, m, d);
    const String& f = FormatSettings().ShortDateFormat;
    String out;
    for (std::size_t i = 0; i < f.size();) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(f[i])));
        std::size_t n = 1;
        while (i + n < f.size() && std::toupper(static_cast<unsigned char>(f[i + n])) == c)
            ++n;
        if (c == 'D')
            out += Padded(d, n >= 2 ? 2 : 1);
        else if (c == 'M')
            out += Padded(m, n >= 2 ? 2 : 1);
        else if (c == 'Y')
            out += n <= 2 ? Padded(y % 100, 2) : Padded(y, 4);
        else if (c == '/')
            out += String(n, FormatSettings().DateSeparator);
        else if (c == 'G')
            ; // era names are not shown
        else
            out += f.substr(i, n);
        i += n;
    }
    return out;
}

String TimeToStr(TDateTime Time)
{
    int h, m, s, ms;
    DecodeTime(Time, h, m, s, ms);
    const TFormatSettings& fs = FormatSettings();
    const String& f = fs.LongTimeFormat;
    String out;
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        std::size_t n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        if (c == 'h')
            out += Padded(h % 12 == 0 ? 12 : h % 12, n >= 2 ? 2 : 1);
        else if (c == 'H')
            out += Padded(h, n >= 2 ? 2 : 1);
        else if (c == 'm')
            out += Padded(m, n >= 2 ? 2 : 1);
        else if (c == 's')
            out += Padded(s, n >= 2 ? 2 : 1);
        else if (c == 't')
            out += h < 12 ? fs.TimeAMString : fs.TimePMString;
        else if (c == ':')
            out += String(n, fs.TimeSeparator);
        else if (c == '\'')
            ; // quotes around literal text are dropped
        else
            out += f.substr(i, n);
        i += n;
    }
    return Trim(out);
}

bool TryStrToDate(const String& Text, TDateTime& Date)
{
    const TFormatSettings& fs = FormatSettings();
    std::vector<String> parts;
    String part;
    for (char c : Trim(Text)) {
        if (c == fs.DateSeparator) {
            parts.push_back(Trim(part));
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(Trim(part));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    for (const String& p : parts)
        if (!AllDigits(p) || p.size() > 4)
            return false;
    // The order of day, month and year is that of the short date format.
    String upper;
    for (char c : fs.ShortDateFormat)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t pd = upper.find('D');
    const std::size_t pm = upper.find('M');
    const std::size_t py = upper.find('Y');
    struct Field {
        std::size_t Pos;
        char Kind;
    };
    std::vector<Field> order{{pd, 'D'}, {pm, 'M'}, {py, 'Y'}};
    std::sort(order.begin(), order.end(), [](const Field& a, const Field& b) { return a.Pos < b.Pos; });
    int y = 0, m = 0, d = 0;
    int yearDigits = 4;
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        y = now.wYear;
    }
    std::size_t index = 0;
    for (const Field& f : order) {
        if (f.Kind == 'Y' && parts.size() == 2)
            continue;
        if (index >= parts.size())
            return false;
        const String& p = parts[index++];
        const int v = std::atoi(p.c_str());
        if (f.Kind == 'D')
            d = v;
        else if (f.Kind == 'M')
            m = v;
        else {
            y = v;
            yearDigits = static_cast<int>(p.size());
        }
    }
    if (yearDigits <= 2)
        y += y < 50 ? 2000 : 1900;
    return TryEncodeDate(y, m, d, Date);
}

bool TryStrToTime(const String& Text, TDateTime& Time)
{
    const TFormatSettings& fs = FormatSettings();
    String s = Trim(Text);
    int pm = -1;   // -1: no designator, 0: AM, 1: PM
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool am = StartsWithNoCase(s, i, fs.TimeAMString);
        const bool p = !am && StartsWithNoCase(s, i, fs.TimePMString);
        if (am || p) {
            pm = p ? 1 : 0;
            s = Trim(s.substr(0, i) + s.substr(i + (p ? fs.TimePMString : fs.TimeAMString).size()));
            break;
        }
    }
    std::vector<String> parts;
    String part;
    for (char c : s) {
        if (c == fs.TimeSeparator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    if (parts.empty() || parts.size() > 3)
        return false;
    int v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!AllDigits(parts[i]) || parts[i].size() > 2)
            return false;
        v[i] = std::atoi(parts[i].c_str());
    }
    if (pm >= 0) {
        if (v[0] < 1 || v[0] > 12)
            return false;
        v[0] = v[0] % 12 + (pm == 1 ? 12 : 0);
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59)
        return false;
    Time = EncodeTime(v[0], v[1], v[2], 0);
    return true;
}

bool TryStrToFloat(const String& Text, double& Value)
{
    String s = Trim(Text);
    if (s.empty())
        return false;
    const char dec = FormatSettings().DecimalSeparator;
    for (char& c : s) {
        if (c == dec)
            c = '.';
        else if (c == '.' && dec != '.')
            return false;
    }
    for (char c : s)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == nullptr || *end != '\0' || !std::isfinite(v))
        return false;
    Value = v;
    return true;
}

namespace {

String WithDecimalSeparator(String S)
{
    for (char& c : S)
        if (c == '.')
            c = FormatSettings().DecimalSeparator;
    return S;
}

} // namespace

String FloatToStrGeneral(double Value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", Value);
    return WithDecimalSeparator(buffer);
}

String FloatToStrFixed(double Value, int Digits)
{
    char buffer[400];
    if (std::fabs(Value) >= 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.15G", Value);
        return WithDecimalSeparator(buffer);
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(Digits, 0, 18), Value);
    return WithDecimalSeparator(buffer);
}
