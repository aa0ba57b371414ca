#include "grid/core/HtmlStrip.h"

#include <cstring>

String StripHtmlTags(const String& S)
{
    static const struct {
        const char* Name;
        char Ch;
    } Entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&nbsp;", ' '}};
    String R;
    R.reserve(S.size());
    std::size_t I = 0;
    while (I < S.size()) {
        const char C = S[I];
        if (C == '<') {
            const std::size_t Close = S.find('>', I + 1);
            if (Close != String::npos) {
                I = Close + 1;
                continue;
            }
        } else if (C == '&') {
            bool Done = false;
            for (const auto& E : Entities) {
                const std::size_t N = std::strlen(E.Name);
                if (S.compare(I, N, E.Name) == 0) {
                    R.push_back(E.Ch);
                    I += N;
                    Done = true;
                    break;
                }
            }
            if (Done)
                continue;
        }
        R.push_back(C);
        ++I;
    }
    return R;
}
