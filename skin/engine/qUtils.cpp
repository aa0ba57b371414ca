#include "skin/engine/qUtils.h"

#include <climits>

#include "framework/StrUtils.h"
#include "framework/StringList.h"

namespace {

bool IsDelim(char C, const TCharSet& Delims) { return Delims.find(C) != String::npos; }

}   // namespace

int WordStart(int N, const String& S, const TCharSet& Delims)
{
    int count = 0;
    for (std::size_t i = 0; i < S.size(); ++i)
        if (!IsDelim(S[i], Delims) && (i == 0 || IsDelim(S[i - 1], Delims)) && ++count == N)
            return static_cast<int>(i) + 1;
    return 0;
}

String WordAt(int N, const String& S, const TCharSet& Delims)
{
    const int start = WordStart(N, S, Delims);
    if (start == 0)
        return String();
    std::size_t end = static_cast<std::size_t>(start) - 1;
    while (end < S.size() && !IsDelim(S[end], Delims))
        ++end;
    return S.substr(static_cast<std::size_t>(start) - 1, end - (static_cast<std::size_t>(start) - 1));
}

int WordCount(const String& S, const TCharSet& Delims)
{
    int count = 0;
    for (std::size_t i = 0; i < S.size(); ++i)
        if (!IsDelim(S[i], Delims) && (i == 0 || IsDelim(S[i - 1], Delims)))
            ++count;
    return count;
}

String RemoveChar(const String& S, char Ch)
{
    String r;
    for (char c : S)
        if (c != Ch)
            r += c;
    return r;
}

void SplitIniSections(const TStrings* Lines, TIniSections& Sections)
{
    Sections.clear();
    for (int i = 0; i < Lines->Count(); ++i) {
        const String line = Lines->Strings(i);
        if (line.empty() || line[0] == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
            Sections.push_back(TIniSection{line.substr(1, line.size() - 2), {}});
        else if (!Sections.empty())
            Sections.back().Lines.push_back(line);
    }
}

String ReadSectionListString(const TIniSections& Sections, const String& Section, const String& Key,
                             const String& Default)
{
    for (const TIniSection& s : Sections) {
        if (!SameText(s.Name, Section))
            continue;
        for (const String& line : s.Lines) {
            const std::size_t eq = line.find('=');
            if (eq != String::npos && SameText(Trim(line.substr(0, eq)), Key))
                return line.substr(eq + 1);
        }
        return Default;
    }
    return Default;
}

Integer ReadSectionListInteger(const TIniSections& Sections, const String& Section, const String& Key,
                               Integer Default)
{
    return LenientInt(ReadSectionListString(Sections, Section, Key, String()), Default);
}

Integer LenientInt(const String& S, Integer Default)
{
    return StrToIntDef(S, Default);
}

Integer StrictInt(const String& S)
{
    std::size_t i = 0;
    const bool negative = !S.empty() && S[0] == '-';
    if (!S.empty() && (S[0] == '-' || S[0] == '+'))
        ++i;
    long long v = 0;
    bool digits = false;
    for (; i < S.size(); ++i) {
        if (S[i] < '0' || S[i] > '9') {
            digits = false;
            break;
        }
        digits = true;
        v = v * 10 + (S[i] - '0');
        if (v > 0x80000000LL) {
            digits = false;
            break;
        }
    }
    if (negative)
        v = -v;
    if (!digits || v > INT_MAX || v < INT_MIN)
        throw EConvertError("'" + S + "' is not a valid integer value");
    return static_cast<Integer>(v);
}

String AddTrailingSeparator(const String& Path)
{
    if (Path.empty() || Path.back() == '\\')
        return Path;
    if (Path.back() == '/')
        return Path.substr(0, Path.size() - 1) + "\\";
    if (Path.size() == 1)
        return Path + ":\\";
    return Path + "\\";
}

int ClampByte(int Value)
{
    return Value < 0 ? 0 : Value >= 255 ? 255 : Value;
}

bool RectOverlaps(const TRect& Bounds, const TRect& R)
{
    const bool empty = R.right <= R.left || R.bottom <= R.top;
    return !empty && R.bottom > Bounds.top && R.right > Bounds.left && R.left < Bounds.right && R.top < Bounds.bottom;
}

bool RectContains(const TRect& Outer, const TRect& Inner)
{
    const auto inside = [&Outer](int X, int Y) {
        return X >= Outer.left && X <= Outer.right && Y >= Outer.top && Y <= Outer.bottom;
    };
    return inside(Inner.left, Inner.top) && inside(Inner.right, Inner.bottom);
}
