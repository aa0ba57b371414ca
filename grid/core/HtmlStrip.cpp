#include "grid/core/HtmlStrip.h"

namespace {

bool IsLineTag(const String& S, std::size_t I)
{
    if (I + 4 > S.size() || S[I] != '<' || S[I + 3] != '>')
        return false;
    const char A = static_cast<char>(S[I + 1] & ~0x20);
    const char B = static_cast<char>(S[I + 2] & ~0x20);
    return (A == 'B' && B == 'R') || (A == 'H' && B == 'R');
}

} // namespace

String HtmlToPlainText(const String& S)
{
    String Lines;
    Lines.reserve(S.size());
    for (std::size_t I = 0; I < S.size();) {
        if (IsLineTag(S, I)) {
            Lines += "\r\n";
            I += 4;
        } else {
            Lines.push_back(S[I++]);
        }
    }
    String R;
    R.reserve(Lines.size());
    std::size_t I = 0;
    while (I < Lines.size()) {
        const std::size_t Open = Lines.find('<', I);
        if (Open == String::npos)
            break;
        const std::size_t Close = Lines.find('>', Open + 1);
        if (Close == String::npos)
            break;
        R.append(Lines, I, Open - I);
        I = Close + 1;
    }
    R.append(Lines, I, String::npos);
    return R;
}
