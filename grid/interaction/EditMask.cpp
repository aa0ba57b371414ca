// Edit masks of masked form-control fields: parsing and the per-character
// rules that the field applies to what is typed and pasted.
#include "grid/interaction/EditMask.h"

#include <algorithm>

#include <windows.h>

#include "framework/Codepage.h"

namespace {

bool IsSlotKind(wchar_t C)
{
    switch (C) {
    case L'0':
    case L'9':
    case L'#':
    case L'L':
    case L'l':
    case L'A':
    case L'a':
    case L'C':
    case L'c': return true;
    default: return false;
    }
}

bool IsRequired(wchar_t Kind) { return Kind == L'0' || Kind == L'L' || Kind == L'A' || Kind == L'C'; }

bool IsLetter(wchar_t C) { return IsCharAlphaW(C) != FALSE; }

bool IsDigit(wchar_t C) { return C >= L'0' && C <= L'9'; }

} // namespace

TEditMask::TEditMask(const String& Mask)
{
    const WideString W = StrToWide(Mask);
    // The mask runs to the first unescaped ';'; then the save-literals flag.
    std::size_t End = W.size();
    for (std::size_t i = 0; i < W.size(); ++i) {
        if (W[i] == L'\\') {
            ++i;
        } else if (W[i] == L';') {
            End = i;
            break;
        }
    }
    if (End + 1 < W.size())
        FSaveLiterals = W[End + 1] != L'0';
    TCase Case = cNone;
    for (std::size_t i = 0; i < End; ++i) {
        const wchar_t C = W[i];
        TSlot S;
        if (C == L'\\' && i + 1 < End) {
            S.Literal = W[++i];
        } else if (C == L'<' && i + 1 < End && W[i + 1] == L'>') {
            Case = cNone;
            ++i;
            continue;
        } else if (C == L'>' || C == L'<') {
            Case = C == L'>' ? cUpper : cLower;
            continue;
        } else if (C == L'!') {
            continue;
        } else if (IsSlotKind(C)) {
            S.Kind = C;
            S.Case = Case;
        } else {
            S.Literal = C == L'_' ? L' ' : C;
        }
        FSlots.push_back(S);
    }
}

bool TEditMask::IsLiteral(int Pos) const
{
    return Pos >= 0 && Pos < Length() && FSlots[static_cast<std::size_t>(Pos)].Kind == 0;
}

bool TEditMask::Accepts(int Pos, wchar_t& Ch) const
{
    if (Pos < 0 || Pos >= Length() || IsLiteral(Pos))
        return false;
    const TSlot& S = FSlots[static_cast<std::size_t>(Pos)];
    bool Ok = false;
    switch (S.Kind) {
    case L'0':
    case L'9': Ok = IsDigit(Ch); break;
    case L'#': Ok = IsDigit(Ch) || Ch == L'+' || Ch == L'-'; break;
    case L'L':
    case L'l': Ok = IsLetter(Ch); break;
    case L'A':
    case L'a': Ok = IsLetter(Ch) || IsDigit(Ch); break;
    default: Ok = Ch >= 32; break;
    }
    if (Ok && S.Case != cNone) {
        wchar_t Buf[2] = {Ch, 0};
        if (S.Case == cUpper)
            CharUpperBuffW(Buf, 1);
        else
            CharLowerBuffW(Buf, 1);
        Ch = Buf[0];
    }
    return Ok;
}

bool TEditMask::Type(WideString& Text, int& Caret, wchar_t Ch) const
{
    WideString T = Text;
    int P = std::max(0, std::min(Caret, static_cast<int>(T.size())));
    auto PutLiteral = [&](int At) {
        const wchar_t L = FSlots[static_cast<std::size_t>(At)].Literal;
        if (At < static_cast<int>(T.size()))
            T[static_cast<std::size_t>(At)] = L;
        else
            T.push_back(L);
    };
    while (IsLiteral(P)) {
        PutLiteral(P);
        ++P;
    }
    if (!Accepts(P, Ch))
        return false;
    if (P < static_cast<int>(T.size()))
        T[static_cast<std::size_t>(P)] = Ch;
    else
        T.push_back(Ch);
    ++P;
    while (P == static_cast<int>(T.size()) && IsLiteral(P)) {
        PutLiteral(P);
        ++P;
    }
    Text = T;
    Caret = P;
    return true;
}

bool TEditMask::Complete(const WideString& Text) const
{
    for (int i = 0; i < Length(); ++i) {
        const TSlot& S = FSlots[static_cast<std::size_t>(i)];
        if (S.Kind != 0 && IsRequired(S.Kind)
            && (i >= static_cast<int>(Text.size()) || Text[static_cast<std::size_t>(i)] == L' '))
            return false;
    }
    return true;
}

WideString TEditMask::Value(const WideString& Text) const
{
    if (FSaveLiterals || Empty())
        return Text;
    WideString V;
    for (std::size_t i = 0; i < Text.size(); ++i)
        if (!IsLiteral(static_cast<int>(i)))
            V.push_back(Text[i]);
    return V;
}

WideString TEditMask::Format(const WideString& Value) const
{
    if (FSaveLiterals || Empty())
        return Value;
    WideString T;
    int Caret = 0;
    for (wchar_t Ch : Value) {
        if (!Type(T, Caret, Ch))
            break;
    }
    return T;
}
