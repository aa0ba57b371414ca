#include "grid/core/ConditionMatch.h"

#include <charconv>
#include <cstdint>
#include <unordered_map>

#include "framework/StrUtils.h"
#include "grid/core/GridDateUtils.h"
#include "grid/core/GridNumberText.h"

namespace {

// Operands and compared texts are cut to this many bytes.
constexpr std::size_t MaxOperandLength = 255;

bool Contains(const String& S, char C) { return S.find(C) != String::npos; }

// A number in "." decimal form as the whole of S (sign, digits, point,
// exponent); blanks around it are allowed, nothing else.
bool TryReadNumber(const String& S, double& Value)
{
    const String t = Trim(S);
    if (t.empty())
        return false;
    for (char c : t)
        if (!IsNumberChar(c))
            return false;
    std::size_t Start = 0;
    if (t[0] == '+' && t.size() > 1 && t[1] != '-' && t[1] != '+')
        Start = 1;
    const char* First = t.data() + Start;
    const char* Last = t.data() + t.size();
    const auto [End, Error] = std::from_chars(First, Last, Value);
    return Error == std::errc() && End == Last;
}

// The operand of a comparison whose operator ends just before Index: from
// the first non-blank character up to a blank, "&" or "|" outside double
// quotes (counted from the operand's start), or the end of the term. An
// opening and a closing double quote are not part of it.
String ReadOperand(const String& Term, std::size_t Index)
{
    while (Index < Term.size() && Term[Index] == ' ')
        ++Index;
    const std::size_t Start = Index;
    bool Quoted = false;
    for (; Index < Term.size(); ++Index) {
        const char c = Term[Index];
        if (c == '"')
            Quoted = !Quoted;
        else if (!Quoted && (c == ' ' || c == '&' || c == '|'))
            break;
    }
    String Operand = Term.substr(Start, Index - Start);
    if (!Operand.empty() && Operand.front() == '"')
        Operand.erase(0, 1);
    if (!Operand.empty() && Operand.back() == '"')
        Operand.pop_back();
    if (Operand.size() > MaxOperandLength)
        Operand.resize(MaxOperandLength);
    return Operand;
}

// Text against the operand after the first Op of Term: Sign is +1 for
// greater, -1 for less; a "=" right after Op allows equality. Numbers when
// both read as numbers (a date is no number), else dates when both read as
// dates, else the first 255 bytes as texts.
bool CompareWithOperand(const String& Term, char Op, int Sign, const String& Text)
{
    std::size_t Index = Term.find(Op) + 1;
    const bool OrEqual = Index < Term.size() && Term[Index] == '=';
    if (OrEqual)
        ++Index;
    const String Operand = ReadOperand(Term, Index);

    double TextNumber = 0, OperandNumber = 0;
    bool TextIsNumber = TryReadNumber(NormalizeNumberText(Text), TextNumber);
    bool OperandIsNumber = TryReadNumber(NormalizeNumberText(Operand), OperandNumber);
    TDateTime TextDate = 0, OperandDate = 0;
    const bool TextIsDate = ParseShortDate(Text, TextDate);
    const bool OperandIsDate = ParseShortDate(Operand, OperandDate);
    if (TextIsDate)
        TextIsNumber = false;
    if (OperandIsDate)
        OperandIsNumber = false;

    int Order = 0;
    if (TextIsNumber && OperandIsNumber)
        Order = TextNumber < OperandNumber ? -1 : (TextNumber > OperandNumber ? 1 : 0);
    else if (TextIsDate && OperandIsDate)
        Order = TextDate < OperandDate ? -1 : (TextDate > OperandDate ? 1 : 0);
    else
        Order = Text.substr(0, MaxOperandLength).compare(Operand);
    Order = Order < 0 ? -1 : (Order > 0 ? 1 : 0);
    return Order == Sign || (OrEqual && Order == 0);
}

// The wildcard match of a pattern against a text. A "*" tries the rest of
// the pattern against each tail of the text, from the empty tail back to the
// whole; results are remembered per pattern and text position, so that many
// stars cost polynomial, not exponential, time.
class TWildcardMatch {
public:
    TWildcardMatch(const String& Pattern, const String& Text) : P(Pattern), S(Text) {}

    bool Run() { return MatchFrom(0, 0); }

private:
    bool MatchFrom(std::size_t p, std::size_t s)
    {
        const std::size_t m = P.size();
        const std::size_t n = S.size();
        bool Result = true;
        bool Negate = false;
        while (Result && !(p == m && s == n)) {
            const char c = p < m ? P[p] : '\0';
            if (p < m && c == '!') {
                Negate = true;
                ++p;
            } else if (p < m && c == '"') {
                ++p;
            } else if (p < m && c == '?') {
                Result = s < n;
                if (Result) {
                    ++p;
                    ++s;
                }
            } else if (p < m && c == '\\') {
                ++p;
                if (p == m) {
                    // A backslash that ends the pattern quotes nothing: it
                    // matches only at the end of the text.
                    Result = s == n;
                } else {
                    Result = s < n && P[p] == S[s];
                    if (Result) {
                        ++p;
                        ++s;
                    }
                }
            } else if (p < m && c == '*') {
                while (p < m && P[p] == '*')
                    ++p;
                Result = MatchSomeTail(p, s);
                if (Result) {
                    p = m;
                    s = n;
                }
            } else {
                Result = p < m && s < n && c == S[s];
                if (Result) {
                    ++p;
                    ++s;
                }
            }
        }
        return Negate ? !Result : Result;
    }

    // The pattern from p against a tail of the text from s, shortest first.
    bool MatchSomeTail(std::size_t p, std::size_t s)
    {
        for (std::size_t Tail = S.size();; --Tail) {
            if (Remembered(p, Tail))
                return true;
            if (Tail == s)
                return false;
        }
    }

    bool Remembered(std::size_t p, std::size_t s)
    {
        const std::uint64_t Key = (static_cast<std::uint64_t>(p) << 32) | s;
        const auto Found = Memo.find(Key);
        if (Found != Memo.end())
            return Found->second;
        const bool Result = MatchFrom(p, s);
        Memo.emplace(Key, Result);
        return Result;
    }

    const String& P;
    const String& S;
    std::unordered_map<std::uint64_t, bool> Memo;
};

// The value of one term or group combined into Result by the pending operator.
void Combine(bool& Result, char Pending, bool Value)
{
    switch (Pending) {
    case '\0': Result = Value; break;
    case '&': Result = Result && Value; break;
    case ';':
    case '^':
    case '|': Result = Result || Value; break;
    default: break; // after a group: the empty term before the next operator
    }
}

} // namespace

String RemoveBlanksOutsideQuotes(const String& S)
{
    String r;
    r.reserve(S.size());
    bool Quoted = false;
    for (char c : S) {
        if (c == '"')
            Quoted = !Quoted;
        if (c != ' ' || Quoted)
            r += c;
    }
    return r;
}

char FindOperatorOutsideQuotes(const String& Chars, const String& S, Integer& Pos)
{
    bool Quoted = false;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '"')
            Quoted = !Quoted;
        else if (!Quoted && Chars.find(S[i]) != String::npos) {
            Pos = static_cast<Integer>(i + 1);
            return S[i];
        }
    }
    Pos = -1;
    return '\0';
}

Integer ClosingParenPos(const String& S)
{
    int Open = 0;
    int Close = 0;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '(') {
            ++Open;
        } else if (S[i] == ')') {
            ++Close;
            if (Close == Open)
                return static_cast<Integer>(i + 1);
        }
    }
    return 0;
}

bool MatchPattern(const String& Term, const String& Text)
{
    const bool HasGreater = Contains(Term, '>');
    const bool HasLess = Contains(Term, '<');
    bool Greater = true;
    bool Less = true;
    if (HasGreater)
        Greater = CompareWithOperand(Term, '>', 1, Text);
    if (HasLess)
        Less = CompareWithOperand(Term, '<', -1, Text);
    // A negation makes both parts count, with their results still true.
    const bool Negation = Contains(Term, '!');
    const bool GreaterPresent = HasGreater || Negation;
    const bool LessPresent = HasLess || Negation;

    if (Contains(Term, '^') && (GreaterPresent || LessPresent))
        return Greater || Less;
    if (Contains(Term, '&') && GreaterPresent && LessPresent)
        return Greater && Less;
    if (HasGreater && Greater)
        return true;
    if (HasLess && Less)
        return true;
    return TWildcardMatch(Term, Text).Run();
}

bool MatchTerm(const String& Term, const String& Text, bool CaseSensitive)
{
    if (CaseSensitive)
        return MatchPattern(Term, Text);
    return MatchPattern(UpperCase(Term), UpperCase(Text));
}

bool MatchCondition(const String& Condition, const String& Text, bool CaseSensitive)
{
    String c = RemoveBlanksOutsideQuotes(Trim(Condition));
    if (!c.empty() && c[0] == '=')
        c.erase(0, 1);

    bool Result = true;
    char Pending = '\0';
    Integer Pos = 0;
    for (char Found = FindOperatorOutsideQuotes("&(;^|", c, Pos); Found != '\0';
         Found = FindOperatorOutsideQuotes("&(;^|", c, Pos)) {
        bool Value = false;
        if (c[0] == '(') {
            // A group without its ")" takes the rest of the condition.
            const Integer Close = ClosingParenPos(c);
            const std::size_t End = Close > 0 ? static_cast<std::size_t>(Close) - 1 : c.size();
            Value = MatchCondition(c.substr(1, End - 1), Text, CaseSensitive);
            c.erase(0, End + 1);
        } else {
            Value = MatchTerm(c.substr(0, static_cast<std::size_t>(Pos) - 1), Text, CaseSensitive);
            c.erase(0, static_cast<std::size_t>(Pos));
        }
        Combine(Result, Pending, Value);
        Pending = Found;
    }
    Combine(Result, Pending, MatchTerm(c, Text, CaseSensitive));
    return Result;
}
