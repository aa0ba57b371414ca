#include "grid/core/GridTextEscapes.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#endif

namespace {

bool Contains(const String& S, char C) { return S.find(C) != String::npos; }

// Every From in S replaced by To.
String ReplaceAll(const String& S, const String& From, const String& To)
{
    String r;
    r.reserve(S.size());
    std::size_t Start = 0;
    for (std::size_t i = S.find(From); i != String::npos; i = S.find(From, Start)) {
        r.append(S, Start, i - Start);
        r += To;
        Start = i + From.size();
    }
    r.append(S, Start, String::npos);
    return r;
}

} // namespace

String EscapeLineBreaks(const String& S)
{
    if (!Contains(S, '\r'))
        return S;
    String r(S);
    for (char& c : r) {
        if (c == '\r')
            c = '\t';
        else if (c == '\n')
            c = '\b';
    }
    return r;
}

String UnescapeLineBreaks(const String& S, bool MultiLine)
{
    if (!Contains(S, '\b'))
        return S;
    String r(S);
    for (char& c : r) {
        if (c == '\t')
            c = '\r';
        else if (c == '\b')
            c = '\n';
    }
    if (!MultiLine) {
        String Line;
        SplitFirstLine(r, false, Line);
        return Line;
    }
    return r;
}

void SplitFirstLine(String& S, bool KeepRest, String& Line)
{
    const std::size_t Cr = S.find('\r');
    if (Cr == String::npos) {
        Line = S;
        S.clear();
        return;
    }
    Line = S.substr(0, Cr);
    std::size_t Next = Cr + 1;
    if (Next < S.size() && S[Next] == '\n')
        ++Next;
    if (KeepRest)
        S.erase(0, Next);
    else
        S.clear();
}

Integer CountTextLines(const String& S, bool MultiLine)
{
    if (!MultiLine)
        return 1;
    Integer n = 1;
    for (char c : S)
        if (c == '\r')
            ++n;
    return n;
}

void QuoteMultiLineText(String& S) { S = '"' + ReplaceAll(S, "\r\n", "\x0B") + '"'; }

void RestoreLineBreaks(String& S)
{
    if (Contains(S, '\x0B'))
        S = ReplaceAll(S, "\x0B", "\r\n");
}

String RemoveQuoteChars(char Quote, const String& Field)
{
    if (!Contains(Field, Quote))
        return Field;
    String r;
    r.reserve(Field.size());
    for (std::size_t i = 0; i < Field.size(); ++i) {
        if (Field[i] != Quote) {
            r += Field[i];
        } else if (i + 1 < Field.size() && Field[i + 1] == Quote) {
            r += Quote;
            ++i;
        }
    }
    return r;
}

void DecodeTildeLineBreaks(String& Field)
{
    Field = ReplaceAll(Field, "~", "\r\n");
    if (Field == "^")
        Field.clear();
}

Integer FindUnpairedQuote(char Quote, std::string_view S, Integer& Pos)
{
    Pos = 0;
    std::size_t Run = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == Quote) {
            ++Run;
            if (i + 1 == S.size()) {
                Pos = static_cast<Integer>(i + 1);
                break;
            }
        } else if (Run % 2 == 1) {
            Pos = static_cast<Integer>(i); // the run's last quote, 1-based
            break;
        } else {
            Run = 0;
        }
    }
    return Pos;
}

// Each search goes on after the quote the one before found: one pass over S.
Integer CountUnpairedQuotes(char Quote, const String& S)
{
    const std::string_view View(S);
    Integer n = 0;
    Integer Pos = 0;
    for (std::size_t From = 0; FindUnpairedQuote(Quote, View.substr(From), Pos) > 0;
         From += static_cast<std::size_t>(Pos))
        ++n;
    return n;
}

#ifdef _WIN32
void OemTextToAnsi(String& S)
{
    if (S.empty())
        return;
    const int n = MultiByteToWideChar(CP_OEMCP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    if (n <= 0)
        return;
    WideString w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, S.data(), static_cast<int>(S.size()), w.data(), n);
    S = WideToStr(w);
}
#endif
