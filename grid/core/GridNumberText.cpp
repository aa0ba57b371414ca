#include "grid/core/GridNumberText.h"

#include <cstring>

#include "grid/core/GridLocaleFormats.h"

namespace {

bool IsLeadCharIn(char C, const TGridLocaleFormats& F)
{
    return IsDigitChar(C) || C == 'E' || C == 'e' || C == F.ThousandSeparator || C == F.DecimalSeparator;
}

bool IsSignedLeadCharIn(char C, const TGridLocaleFormats& F)
{
    return C == '+' || C == '-' || IsLeadCharIn(C, F);
}

bool IsExponentChar(char C) { return C == 'e' || C == 'E'; }

} // namespace

bool IsDigitChar(char C) { return C >= '0' && C <= '9'; }

bool IsDigitOrMinus(char C) { return IsDigitChar(C) || C == '-'; }

bool IsNumberLeadChar(char C) { return IsLeadCharIn(C, GridLocaleFormats()); }

bool IsSignedNumberLeadChar(char C) { return C == '+' || C == '-' || IsNumberLeadChar(C); }

bool IsNumberChar(char C) { return C == '+' || C == '-' || C == '.' || IsDigitChar(C) || IsExponentChar(C); }

String ExtractNumberText(const String& S)
{
    if (S.empty())
        return String();
    const TGridLocaleFormats F = GridLocaleFormats();
    bool Negative = S.front() == '(' && S.back() == ')';
    std::size_t i = 0;
    while (S.size() - i >= 2 && !IsLeadCharIn(S[i], F)) {
        if (S[i] == '-')
            Negative = true;
        ++i;
    }
    String r;
    for (; i < S.size(); ++i) {
        const char c = S[i];
        if (c == F.ThousandSeparator)
            continue;
        if (c == F.DecimalSeparator)
            r += '.';
        else if (IsNumberChar(c))
            r += c;
        else
            break;
    }
    return Negative ? '-' + r : r;
}

Integer ClassifyNumberText(const String& S) { return S.empty() ? ntNoNumber : ClassifyNumberText(S, GridLocaleFormats()); }

Integer ClassifyNumberText(const String& S, const TGridLocaleFormats& F)
{
    if (S.empty())
        return ntNoNumber;
    bool IntegerCandidate = true;
    bool DecimalCandidate = true;
    bool ExponentCandidate = true;
    int Exponents = 0;
    int Decimals = 0;
    int Minuses = 0;
    long LastThousand = -1; // 1-based position of the previous thousand separator
    for (std::size_t Index = 0; Index < S.size(); ++Index) {
        const char c = S[Index];
        const long i = static_cast<long>(Index) + 1;
        if (c == '-') {
            ++Minuses;
            if (i > 1)
                IntegerCandidate = DecimalCandidate = false;
        }
        if (!IsDigitOrMinus(c))
            IntegerCandidate = false;
        if (c == F.ThousandSeparator) {
            if (i - LastThousand < 3)
                DecimalCandidate = false;
            LastThousand = i;
            ExponentCandidate = false;
        } else if (c == F.DecimalSeparator) {
            ++Decimals;
        } else if (!IsDigitOrMinus(c)) {
            DecimalCandidate = false;
        }
        if (!IsSignedLeadCharIn(c, F))
            ExponentCandidate = false;
        if (IsExponentChar(c)) {
            ++Exponents;
            if (i == 1 || Exponents > 1)
                ExponentCandidate = false;
        }
    }
    const char Last = S.back();
    if (Last == '+' || Last == '-' || IsExponentChar(Last))
        ExponentCandidate = false;

    Integer Result = ntNoNumber;
    int AllowedMinuses = 1;
    if (IntegerCandidate) {
        Result = ntInteger;
    } else if (DecimalCandidate && Exponents == 0) {
        Result = ntDecimal;
    } else if (ExponentCandidate && Exponents > 0) {
        Result = ntExponent;
        AllowedMinuses = 2; // one for the mantissa, one for the exponent
    }
    if (Decimals > 1 || Minuses > AllowedMinuses)
        Result = ntNoNumber;
    return Result;
}

String NormalizeNumberText(const String& S)
{
    const TGridLocaleFormats F = GridLocaleFormats();
    String r;
    r.reserve(S.size());
    for (char c : S) {
        if (c == F.DecimalSeparator)
            r += '.';
        else if (c != F.ThousandSeparator)
            r += c;
    }
    return r;
}

TFormatArgKind FormatArgKind(const String& Format)
{
    TFormatArgKind Kind = fakNone;
    int Conversions = 0;
    const std::size_t N = Format.size();
    for (std::size_t I = 0; I < N; ++I) {
        if (Format[I] != '%')
            continue;
        if (++I < N && Format[I] == '%')
            continue;
        while (I < N && Format[I] != '\0' && std::strchr("-+ #0", Format[I]))
            ++I;
        while (I < N && IsDigitChar(Format[I]))
            ++I;
        if (I < N && Format[I] == '.') {
            ++I;
            while (I < N && IsDigitChar(Format[I]))
                ++I;
        }
        if (I >= N || Format[I] == '\0')
            return fakNone;
        if (std::strchr("diuxXo", Format[I]))
            Kind = fakInteger;
        else if (std::strchr("aefgAEFG", Format[I]))
            Kind = fakFloat;
        else
            return fakNone;
        ++Conversions;
    }
    return Conversions == 1 ? Kind : fakNone;
}
