#include "grid/core/GridTextUtils.h"

#include <cwchar>

#include "framework/StrUtils.h"

namespace {

Integer ToPos(std::size_t Index) { return Index == String::npos ? 0 : static_cast<Integer>(Index + 1); }

// A lead byte of a double-byte character of code page 936.
bool IsLeadByte(char C)
{
    const auto b = static_cast<unsigned char>(C);
    return b >= 0x81 && b <= 0xFE;
}

char UpperAsciiChar(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }

// Upper-cases the character at Index of S when there is one.
void UpperAt(String& S, std::size_t Index)
{
    if (Index < S.size())
        S[Index] = UpperAsciiChar(S[Index]);
}

} // namespace

Integer CharPosInText(char C, const String& S) { return ToPos(S.find(C)); }

Integer FindCharPos(char C, const String& S, Integer& Pos)
{
    const Integer p = CharPosInText(C, S);
    if (p > 0)
        Pos = p;
    return p;
}

Integer FindSubstrPos(const String& Sub, const String& S, Integer& Pos)
{
    Pos = Sub.empty() ? 0 : ToPos(S.find(Sub));
    return Pos;
}

Integer PosInUpperText(const String& UpperSub, const String& S)
{
    if (UpperSub.empty())
        return 0;
    return ToPos(UpperCase(S).find(UpperSub));
}

Integer PosWide(const WideString& Sub, const WideString& S)
{
    if (Sub.empty() || S.empty() || Sub.size() > S.size())
        return 0;
    const std::size_t i = S.find(Sub);
    return i == WideString::npos ? 0 : static_cast<Integer>(i + 1);
}

const wchar_t* StrPosWide(const wchar_t* Sub, const wchar_t* S)
{
    if (!Sub || !S || !*Sub || !*S)
        return nullptr;
    return std::wcsstr(S, Sub);
}

String CutToken(String& S, const String& Separator)
{
    if (Separator.empty())
        return String();
    const std::size_t i = S.find(Separator);
    if (i == String::npos)
        return String();
    String Token = S.substr(0, i);
    S.erase(0, i + 1);
    return Token;
}

Integer CountChar(char C, const String& S)
{
    Integer n = 0;
    for (char c : S)
        if (c == C)
            ++n;
    return n;
}

void FillTextWithChar(String& S, char C) { S.assign(S.size(), C); }

String RemoveCarriageReturns(const String& S)
{
    String r;
    r.reserve(S.size());
    for (char c : S)
        if (c != '\r')
            r += c;
    return r;
}

char LowerAsciiChar(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

bool IsNameBreakChar(char C) { return C == ' ' || C == '\'' || C == ',' || C == '-' || C == '.'; }

String CapitalizeName(const String& S)
{
    String r(S);
    bool WordStart = true;
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (IsLeadByte(r[i]) && i + 1 < r.size()) {
            // A double-byte character passes whole: its trail byte may look
            // like an ASCII letter.
            ++i;
            WordStart = false;
            continue;
        }
        r[i] = WordStart ? UpperAsciiChar(r[i]) : LowerAsciiChar(r[i]);
        WordStart = IsNameBreakChar(r[i]);
    }
    // Mc names: a leading "Mc" and the first " Mc" take a capital after them.
    if (r.size() > 2 && r.compare(0, 2, "Mc") == 0)
        UpperAt(r, 2);
    const std::size_t Mc = r.find(" Mc");
    if (Mc != String::npos)
        UpperAt(r, Mc + 3);
    // Roman numerals at the end: " Ii" and " Iv" become " II" and " IV",
    // then " IIi" becomes " III". Only a last word of up to three letters.
    const std::size_t TailStart = r.size() > 4 ? r.size() - 4 : 0;
    const std::size_t One = r.find(" I", TailStart);
    if (One != String::npos)
        UpperAt(r, One + 2);
    const std::size_t Two = r.find(" II", TailStart);
    if (Two != String::npos)
        UpperAt(r, Two + 3);
    return r;
}
