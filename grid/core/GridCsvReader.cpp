#include "grid/core/GridCsvReader.h"

#include <algorithm>

#include "grid/core/GridTextEscapes.h"

const char CSVDelimiterCandidates[10] = {',', ';', '#', '\t', '|', '@', '*', '-', '+', '&'};

namespace {

Integer Occurrences(char C, const String& S) { return static_cast<Integer>(std::count(S.begin(), S.end(), C)); }

// Pass 1 and 2: a candidate found equally often in both lines, more often
// than the best so far, wins.
char EqualCountPass(const String& Line1, const String& Line2, Integer (*Count)(char, const String&), Integer& Best)
{
    char Delimiter = 0;
    for (char C : CSVDelimiterCandidates) {
        const Integer N1 = Count(C, Line1);
        if (N1 == Count(C, Line2) && N1 > Best) {
            Delimiter = C;
            Best = N1;
        }
    }
    return Delimiter;
}

Integer UnpairedCount(char C, const String& S) { return CountUnpairedQuotes(C, S); }

String Unquoted(const String& S)
{
    String Field = RemoveQuoteChars('"', S);
    RestoreLineBreaks(Field);
    return Field;
}

} // namespace

char GuessCsvDelimiter(const String& Line1, const String& Line2)
{
    Integer Best = 0;
    char Delimiter = EqualCountPass(Line1, Line2, UnpairedCount, Best);
    if (Best == 0)
        Delimiter = EqualCountPass(Line1, Line2, Occurrences, Best);
    if (Best == 0) {
        for (char C : CSVDelimiterCandidates) {
            const Integer N1 = Occurrences(C, Line1);
            const Integer N2 = Occurrences(C, Line2);
            if (Best < N1 || Best < N2) {
                Delimiter = C;
                Best = std::max(N1, N2);
            }
        }
    }
    return Delimiter;
}

std::vector<String> SplitCsvLine(const String& Line, char Delimiter)
{
    std::vector<String> Fields;
    std::size_t Pos = 0;   // start of the rest of the line
    bool RestIsLast = true;
    while (Delimiter != 0) {
        const std::size_t Next = Line.find(Delimiter, Pos);
        if (Next == String::npos)
            break;
        if (Line[Pos] == '"') {
            // The rest of the line is looked at in place: a quoted field
            // costs its own length, not the line's.
            const std::string_view Inner = std::string_view(Line).substr(Pos + 1);
            Integer Close = 0;
            FindUnpairedQuote('"', Inner, Close);
            if (Close == 0) {
                // No closing quote: the rest of the line is this field's text.
                Fields.push_back(Unquoted(String(Inner)));
                RestIsLast = false;
                break;
            }
            Fields.push_back(Unquoted(String(Inner.substr(0, static_cast<std::size_t>(Close - 1)))));
            // What follows the closing quote up to the next delimiter is skipped.
            const std::size_t After = Pos + 1 + static_cast<std::size_t>(Close);
            const std::size_t Skip = Line.find(Delimiter, After);
            if (Skip == String::npos) {
                RestIsLast = false;
                break;
            }
            Pos = Skip + 1;
        } else {
            Fields.push_back(Unquoted(Line.substr(Pos, Next - Pos)));
            Pos = Next + 1;
        }
    }
    if (RestIsLast && Pos < Line.size()) {
        String Last = Line.substr(Pos);
        if (!Last.empty() && Last.front() == '"')
            Last.erase(0, 1);
        if (!Last.empty() && Last.back() == '"')
            Last.pop_back();
        Fields.push_back(Unquoted(Last));
    }
    return Fields;
}
