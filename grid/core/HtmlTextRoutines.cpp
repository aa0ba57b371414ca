#include "grid/core/HtmlTextRoutines.h"

#include <climits>
#include <vector>

namespace {

char UpperChar(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }
char LowerChar(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }
bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

// Every occurrence of Find replaced, left to right, without rescanning the
// replacement.
String ReplaceAll(const String& S, const String& Find, const String& Replace)
{
    if (Find.empty())
        return S;
    String R;
    std::size_t I = 0;
    while (true) {
        const std::size_t P = S.find(Find, I);
        if (P == String::npos)
            break;
        R.append(S, I, P - I);
        R += Replace;
        I = P + Find.size();
    }
    R.append(S, I, String::npos);
    return R;
}

// Every occurrence of Find (ASCII case ignored) removed.
String RemoveAllIgnoreCase(const String& S, const String& Find)
{
    if (Find.empty())
        return S;
    const String Up = HtmlUpper(S);
    const String F = HtmlUpper(Find);
    String R;
    std::size_t I = 0;
    while (true) {
        const std::size_t P = Up.find(F, I);
        if (P == String::npos)
            break;
        R.append(S, I, P - I);
        I = P + F.size();
    }
    R.append(S, I, String::npos);
    return R;
}

// The control tags of a text in order: the position of each "<CONTROL " and
// the text inside its brackets. A tag without ">" ends the list.
struct TControlSpan {
    std::size_t Start;   // the "<"
    std::size_t End;     // the ">"
};

template <typename F>
void ForEachControl(const String& S, F&& Visit)
{
    const String Up = HtmlUpper(S);
    std::size_t From = 0;
    while (true) {
        const std::size_t P = Up.find("<CONTROL ", From);
        if (P == String::npos)
            return;
        const std::size_t E = S.find('>', P);
        if (E == String::npos)
            return;
        if (!Visit(TControlSpan{P, E}, ParseHtmlControlTag(S.substr(P + 1, E - P - 1))))
            return;
        From = E + 1;
    }
}

bool IsEditableType(const String& Type) { return Type != "BUTTON" && Type != "CHECK" && Type != "RADIO"; }

} // namespace

// ---------------------------------------------------------------------------
// Renderer helpers

String HtmlUpper(const String& S)
{
    String R = S;
    for (char& C : R)
        C = UpperChar(C);
    return R;
}

String HtmlLower(const String& S)
{
    String R = S;
    for (char& C : R)
        C = LowerChar(C);
    return R;
}

String StripHashTags(const String& S)
{
    String R;
    R.reserve(S.size());
    std::size_t I = 0;
    while (I < S.size()) {
        const std::size_t P = S.find("<#", I);
        if (P == String::npos)
            break;
        R.append(S, I, P - I);
        const std::size_t E = S.find('>', P + 2);
        if (E == String::npos) {
            // No closing bracket: the marker goes, the rest stays as text.
            R.append(S, P + 2, String::npos);
            return R;
        }
        R.append(S, P + 2, E - P - 2);
        I = E + 1;
    }
    R.append(S, I, String::npos);
    return R;
}

String LineBreaksToBr(const String& S)
{
    String R;
    R.reserve(S.size());
    for (char C : S) {
        if (C == '\r')
            R += "<BR>";
        else if (C != '\n')
            R.push_back(C);
    }
    return R;
}

String ReplaceFirstIgnoreCase(const String& S, const String& Find, const String& Replace, bool* Done)
{
    const int P = PosIgnoreCase(Find, S);
    if (Done)
        *Done = P > 0;
    if (P == 0)
        return S;
    return S.substr(0, static_cast<std::size_t>(P - 1)) + Replace + S.substr(static_cast<std::size_t>(P - 1) + Find.size());
}

int PosIgnoreCase(const String& Sub, const String& S)
{
    if (Sub.empty())
        return 0;
    const std::size_t P = HtmlUpper(S).find(HtmlUpper(Sub));
    return P == String::npos ? 0 : static_cast<int>(P) + 1;
}

int StrToIntLoose(const String& S, int Default)
{
    std::size_t I = 0;
    while (I < S.size() && IsBlank(S[I]))
        ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == '-' || S[I] == '+'))
        Negative = S[I++] == '-';
    long long V = 0;
    bool Any = false;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9') {
        Any = true;
        if (V < INT_MAX)
            V = V * 10 + (S[I] - '0');
        ++I;
    }
    if (!Any)
        return Default;
    if (V > INT_MAX)
        V = INT_MAX;
    return static_cast<int>(Negative ? -V : V);
}

int HtmlFindPos(const String& Sub, const String& S, int From)
{
    if (From < 1 || Sub.empty())
        From = 1;
    if (Sub.empty() || static_cast<std::size_t>(From - 1) > S.size())
        return 0;
    const std::size_t P = S.find(Sub, static_cast<std::size_t>(From - 1));
    return P == String::npos ? 0 : static_cast<int>(P) + 1;
}

int HtmlFindUpperPos(const String& Sub, const String& S, int From) { return HtmlFindPos(Sub, HtmlUpper(S), From); }

String HtmlTagAttribute(const String& Tag, const String& Name)
{
    const String Up = HtmlUpper(Tag);
    bool InQuote = false;
    for (std::size_t I = 0; I < Up.size(); ++I) {
        if (Up[I] == '"') {
            InQuote = !InQuote;
            continue;
        }
        if (InQuote || Up.compare(I, Name.size(), Name) != 0)
            continue;
        if (I > 0 && !IsBlank(Up[I - 1]))
            continue;
        std::size_t J = I + Name.size();
        while (J < Up.size() && IsBlank(Up[J]))
            ++J;
        if (J >= Up.size() || Up[J] != '=')
            continue;
        ++J;
        while (J < Up.size() && IsBlank(Up[J]))
            ++J;
        if (J >= Up.size() || Up[J] != '"')
            return String();
        const std::size_t Close = Tag.find('"', J + 1);
        if (Close == String::npos) {
            String V = Tag.substr(J + 1);
            if (!V.empty() && V.back() == '>')
                V.pop_back();
            return V;
        }
        return Tag.substr(J + 1, Close - J - 1);
    }
    return String();
}

// ---------------------------------------------------------------------------
// Form-control tags

bool HasHtmlControl(const String& S) { return HtmlUpper(S).find("<CONTROL") != String::npos; }

THtmlControlTag ParseHtmlControlTag(const String& Inside)
{
    THtmlControlTag T;
    T.Type = HtmlUpper(HtmlTagAttribute(Inside, "TYPE"));
    T.ID = HtmlTagAttribute(Inside, "ID");
    T.MaxLen = HtmlTagAttribute(Inside, "MAXLEN");
    T.Prop = HtmlTagAttribute(Inside, "PROP");
    T.Width = HtmlTagAttribute(Inside, "WIDTH");
    T.Value = UnescapeHtml(HtmlTagAttribute(Inside, "VALUE"));
    return T;
}

String NextEditableHtmlControl(const String& S, const String& ID)
{
    String Found;
    bool Passed = ID.empty();
    ForEachControl(S, [&](const TControlSpan&, const THtmlControlTag& T) {
        if (Passed && IsEditableType(T.Type)) {
            Found = T.ID;
            return false;
        }
        if (T.ID == ID)
            Passed = true;
        return true;
    });
    return Found;
}

String GetHtmlControlProp(const String& S, const String& ID)
{
    String Prop;
    ForEachControl(S, [&](const TControlSpan&, const THtmlControlTag& T) {
        if (T.ID != ID)
            return true;
        Prop = T.Prop;
        return false;
    });
    return Prop;
}

int GetHtmlControlMaxLen(const String& S, const String& ID)
{
    int MaxLen = 0;
    ForEachControl(S, [&](const TControlSpan&, const THtmlControlTag& T) {
        if (T.ID != ID)
            return true;
        long long V = 0;
        for (char C : T.MaxLen) {
            if (C < '0' || C > '9')
                break;
            if (V < INT_MAX)
                V = V * 10 + (C - '0');
        }
        MaxLen = static_cast<int>(V > INT_MAX ? INT_MAX : V);
        return false;
    });
    return MaxLen;
}

bool SetHtmlControlValue(String& S, const String& ID, const String& NewValue)
{
    bool Done = false;
    String Result;
    ForEachControl(S, [&](const TControlSpan& Span, const THtmlControlTag& T) {
        if (T.ID != ID)
            return true;
        String Tag = "CONTROL ID=\"" + T.ID + "\" VALUE=\"" + EscapeHtml(NewValue) + "\" WIDTH=\"" + T.Width
            + "\" TYPE=\"" + T.Type + "\"";
        if (!T.Prop.empty())
            Tag += " PROP=\"" + T.Prop + "\"";
        if (!T.MaxLen.empty())
            Tag += " MAXLEN=\"" + T.MaxLen + "\"";
        Result = S.substr(0, Span.Start + 1) + Tag + S.substr(Span.End);
        Done = true;
        return false;
    });
    if (Done)
        S = Result;
    return Done;
}

// ---------------------------------------------------------------------------
// Conversions

String EscapeHtml(const String& S)
{
    String R = ReplaceAll(S, "&", "&amp;");
    R = ReplaceAll(R, "\"", "&quot;");
    R = ReplaceAll(R, "<", "&lt;");
    return ReplaceAll(R, ">", "&gt;");
}

String DecodeHtmlEntities(const String& S, bool Nbsp)
{
    // One pass from left to right, each entity decoded once: "&amp;quot;"
    // is the text "&quot;", not a double quote.
    static const struct {
        const char* Name;
        std::size_t Size;
        char Ch;
    } Entities[] = {{"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&quot;", 6, '"'}, {"&nbsp;", 6, ' '}};
    if (S.find('&') == String::npos)
        return S;
    String R;
    R.reserve(S.size());
    for (std::size_t I = 0; I < S.size();) {
        bool Done = false;
        if (S[I] == '&')
            for (const auto& E : Entities)
                if ((Nbsp || E.Ch != ' ') && S.compare(I, E.Size, E.Name) == 0) {
                    R.push_back(E.Ch);
                    I += E.Size;
                    Done = true;
                    break;
                }
        if (!Done)
            R.push_back(S[I++]);
    }
    return R;
}

String UnescapeHtml(const String& S) { return DecodeHtmlEntities(S, false); }

String MaskPassword(const String& S) { return String(S.size(), '*'); }

String StripHtmlTags(const String& S)
{
    String R;
    std::size_t I = 0;
    while (I < S.size()) {
        const std::size_t Lt = S.find('<', I);
        const std::size_t Gt = S.find('>', I);
        if (Lt == String::npos || Gt == String::npos || Gt < Lt)
            break;
        R.append(S, I, Lt - I);
        I = Gt + 1;
    }
    R.append(S, I, String::npos);
    return R;
}

// ---------------------------------------------------------------------------
// Search highlight

// True when a tag starts at I: a "<" that a later ">" closes. Callers walk
// the text forward: NextGt keeps the first ">" found after an earlier "<",
// so that a text of many "<" and no ">" is searched once, not once per "<".
static bool TagAt(const String& Html, std::size_t I, std::size_t& End, std::size_t& NextGt)
{
    if (Html[I] != '<')
        return false;
    if (NextGt <= I)
        NextGt = Html.find('>', I + 1);
    End = NextGt;
    return End != String::npos;
}

int PlainToHtmlIndex(const String& Html, int N)
{
    int Count = 0;   // plain characters passed
    int Found = 0;   // where N - 1 characters lie behind, before the tags in front of the next
    std::size_t I = 0;
    std::size_t NextGt = 0;
    while (I < Html.size()) {
        if (Found == 0 && Count >= N - 1)
            Found = static_cast<int>(I) + 1;
        std::size_t End;
        if (TagAt(Html, I, End, NextGt)) {
            I = End + 1;
        } else {
            if (Found != 0)
                return Found;   // the N-th character exists
            ++Count;
            ++I;
        }
    }
    return static_cast<int>(Html.size()) + 1;
}

int FindPlainText(const String& Plain, const String& Find, int From, bool CaseSensitive)
{
    if (CaseSensitive)
        return HtmlFindPos(Find, Plain, From);
    return HtmlFindPos(HtmlUpper(Find), HtmlUpper(Plain), From);
}

String HighlightHtmlText(const String& Html, const String& Search, const String& Tag, bool CaseSensitive)
{
    const String Plain = StripHtmlTags(Html);
    if (Search.empty() || Plain.find_first_of("<>") != String::npos)
        return Html;
    const int Len = static_cast<int>(Search.size());
    // The plain text is upper-cased once for all the matches.
    const String Hay = CaseSensitive ? Plain : HtmlUpper(Plain);
    const String Needle = CaseSensitive ? Search : HtmlUpper(Search);
    std::vector<int> Starts;
    for (std::size_t From = 0;;) {
        const std::size_t M = Hay.find(Needle, From);
        if (M == String::npos)
            break;
        Starts.push_back(static_cast<int>(M) + 1);
        From = M + Needle.size();
    }
    if (Starts.empty())
        return Html;
    // One walk over the text: a match's opening tag goes in front of the
    // tags before its first character, its closing tag right after its last
    // character, so neighbouring matches never nest.
    const String Open = "<" + Tag + ">";
    const String Close = "</" + Tag + ">";
    String R;
    int Count = 0;
    std::size_t Next = 0;
    int CloseAt = -1;
    auto Mark = [&] {
        if (CloseAt >= 0 && Count == CloseAt) {
            R += Close;
            CloseAt = -1;
        }
        if (Next < Starts.size() && Count == Starts[Next] - 1) {
            R += Open;
            CloseAt = Starts[Next] - 1 + Len;
            ++Next;
        }
    };
    std::size_t I = 0;
    std::size_t NextGt = 0;
    while (I < Html.size()) {
        Mark();
        std::size_t End;
        if (TagAt(Html, I, End, NextGt)) {
            R.append(Html, I, End + 1 - I);
            I = End + 1;
        } else {
            R.push_back(Html[I++]);
            ++Count;
        }
    }
    Mark();
    return R;
}

String UnhighlightHtmlText(const String& Html, const String& Tag)
{
    return RemoveAllIgnoreCase(RemoveAllIgnoreCase(Html, "<" + Tag + ">"), "</" + Tag + ">");
}
