#include "grid/core/GridCellText.h"

#include <cctype>

#include "framework/Codepage.h"
#include "framework/StrUtils.h"

namespace {

bool StartsWith(const String& S, const char* Prefix) { return S.rfind(Prefix, 0) == 0; }

bool Contains(const String& S, const char* Sub) { return S.find(Sub) != String::npos; }

} // namespace

Integer GetCellTextKind(const String& S, bool DetectHtml)
{
    // The tests look one character past the end: a blank stands there.
    const String t = S + ' ';
    const bool Wide = StartsWith(t, WideTextMarker);
    // A wide formula: first unit "=" (high byte 0, low byte "="), second
    // unit below 256 (high byte 0). The first unit's high byte is checked
    // too, so that a CJK character ending in 0x3D is no formula.
    if (t[0] == '=' || (Wide && t.size() > 4 && t[2] == '\0' && t[3] == '=' && t[4] == '\0'))
        return ctkFormula;
    if (Wide)
        return ctkWide;
    if (StartsWith(t, "{\\"))
        return ctkRtf;
    if (DetectHtml && (Contains(t, "</") || Contains(t, "<B") || Contains(t, "<I")))
        return ctkHtml;
    return ctkPlain;
}

String PackWideText(const WideString& W)
{
    String r(WideTextMarker);
    r.reserve(2 + 2 * W.size());
    for (wchar_t u : W) {
        r += static_cast<char>((static_cast<unsigned>(u) >> 8) & 0xFF);
        r += static_cast<char>(static_cast<unsigned>(u) & 0xFF);
    }
    return r;
}

WideString UnpackWideText(const String& S)
{
    if (!StartsWith(S, WideTextMarker))
        return StrToWide(S);
    WideString w;
    w.reserve((S.size() - 2) / 2);
    for (std::size_t i = 2; i + 1 < S.size(); i += 2)
        w += static_cast<wchar_t>(ByteAt(S, i) * 256 + ByteAt(S, i + 1));
    return w;
}

bool IsUrl(const String& S) { return Contains(S, "://") || Contains(S, "mailto:"); }

void StripUrlScheme(String& S)
{
    std::size_t i = S.find("://");
    if (i != String::npos) {
        S.erase(0, i + 3);
        return;
    }
    i = S.find("mailto:");
    if (i != String::npos)
        S.erase(0, i + 7);
}

bool ParseCellRef(const String& S, POINT& P)
{
    String t = UpperCase(S);
    if (t.size() <= 3 || t[0] != 'R')
        return false;
    t.erase(0, 1);
    const std::size_t c = t.find('C');
    if (c == String::npos)
        return false;
    Integer Row = 0;
    Integer Col = 0;
    if (!TryStrToInt(t.substr(0, c), Row) || !TryStrToInt(t.substr(c + 1), Col))
        return false;
    P.x = Col;
    P.y = Row;
    return true;
}

String DecodeNewlineEscapes(const String& S)
{
    String r;
    r.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\\' && i + 1 < S.size() && S[i + 1] == 'n') {
            r += '\r';
            ++i;
        } else {
            r += S[i];
        }
    }
    return r;
}

String RtfPlainText(const String& Rtf)
{
    String Out;
    int Depth = 0;
    int SkipDepth = -1;
    for (std::size_t i = 0; i < Rtf.size(); ++i) {
        const char Ch = Rtf[i];
        if (Ch == '{') {
            ++Depth;
            if (i + 2 < Rtf.size() && Rtf[i + 1] == '\\' && (Rtf[i + 2] == '*' || Rtf.compare(i + 2, 8, "fonttbl ") == 0
                                                               || Rtf.compare(i + 2, 7, "fonttbl") == 0
                                                               || Rtf.compare(i + 2, 8, "colortbl") == 0)
                && SkipDepth < 0)
                SkipDepth = Depth;
        } else if (Ch == '}') {
            if (Depth == SkipDepth)
                SkipDepth = -1;
            --Depth;
        } else if (Ch == '\\') {
            std::size_t j = i + 1;
            while (j < Rtf.size() && std::isalpha(static_cast<unsigned char>(Rtf[j])))
                ++j;
            const String Word = Rtf.substr(i + 1, j - i - 1);
            if (Word.empty() && j < Rtf.size()) {
                if (SkipDepth < 0 && (Rtf[j] == '\\' || Rtf[j] == '{' || Rtf[j] == '}'))
                    Out.push_back(Rtf[j]);
                i = j;
                continue;
            }
            while (j < Rtf.size() && (std::isdigit(static_cast<unsigned char>(Rtf[j])) || Rtf[j] == '-'))
                ++j;
            if (j < Rtf.size() && Rtf[j] == ' ')
                ++j;
            if (SkipDepth < 0 && (Word == "par" || Word == "line"))
                Out += "\r\n";
            i = j - 1;
        } else if (SkipDepth < 0 && Ch != '\r' && Ch != '\n') {
            Out.push_back(Ch);
        }
    }
    while (!Out.empty() && (Out.back() == '\n' || Out.back() == '\r'))
        Out.pop_back();
    return Out;
}
