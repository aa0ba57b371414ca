#include "framework/StrUtils.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/Exception.h"

namespace {

// A lead byte of a double-byte character of code page 936; the byte after it
// belongs to the same character and may look like an ASCII letter.
bool IsLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Applies Fold to the single-byte characters of S, leaving double-byte characters whole.
template <class F>
String FoldSingleBytes(const String& S, F Fold)
{
    String r(S);
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (IsLeadByte(r[i]) && i + 1 < r.size())
            ++i;
        else
            r[i] = Fold(r[i]);
    }
    return r;
}

} // namespace

String UpperCase(const String& S) { return FoldSingleBytes(S, AsciiUpper); }

String LowerCase(const String& S) { return FoldSingleBytes(S, AsciiLower); }

int CompareText(const String& A, const String& B)
{
    const String a = UpperCase(A);
    const String b = UpperCase(B);
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

bool SameText(const String& A, const String& B)
{
    return A.size() == B.size() && CompareText(A, B) == 0;
}

String TrimLeft(const String& S)
{
    std::size_t i = 0;
    while (i < S.size() && IsBlank(S[i]))
        ++i;
    return S.substr(i);
}

String TrimRight(const String& S)
{
    std::size_t n = S.size();
    while (n > 0 && IsBlank(S[n - 1]))
        --n;
    return S.substr(0, n);
}

String Trim(const String& S) { return TrimLeft(TrimRight(S)); }

String IntToStr(Int64 Value) { return std::to_string(Value); }

String IntToHex(std::uint64_t Value, int Digits)
{
    static const char digits[] = "0123456789ABCDEF";
    String r;
    do {
        r.insert(r.begin(), digits[Value & 0xF]);
        Value >>= 4;
    } while (Value != 0);
    while (static_cast<int>(r.size()) < Digits)
        r.insert(r.begin(), '0');
    return r;
}

bool TryStrToInt(const String& S, Integer& Value)
{
    String t = Trim(S);
    if (t.empty())
        return false;
    bool negative = false;
    std::size_t i = 0;
    if (t[i] == '-' || t[i] == '+') {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size())
        return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        const char c = AsciiUpper(t[i]);
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    if (base == 10) {
        if (negative)
            v = -v;
        if (v < INT_MIN || v > INT_MAX)
            return false;
        Value = static_cast<Integer>(v);
    } else {
        // Hexadecimal text names a 32-bit pattern.
        auto bits = static_cast<std::uint32_t>(v);
        if (negative)
            bits = 0u - bits;
        Value = static_cast<Integer>(bits);
    }
    return true;
}

Integer StrToInt(const String& S)
{
    Integer v = 0;
    if (!TryStrToInt(S, v))
        throw EConvertError(QuotedExcerpt(S) + " is not a valid integer value");
    return v;
}

String QuotedExcerpt(const String& S)
{
    if (S.size() <= MaxQuoted)
        return "'" + S + "'";
    return "'" + S.substr(0, MaxQuoted) + "...'";
}

Integer StrToIntDef(const String& S, Integer Default)
{
    Integer v = 0;
    return TryStrToInt(S, v) ? v : Default;
}

String BytesToHex(const String& Bytes, const String& Separator)
{
    String r;
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        if (i > 0)
            r += Separator;
        r += IntToHex(static_cast<unsigned char>(Bytes[i]), 2);
    }
    return r;
}
