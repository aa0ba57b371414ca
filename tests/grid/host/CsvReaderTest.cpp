// Delimiter guessing and line splitting of CSV import, over a corpus of
// cases and over generated lines.

#include <gtest/gtest.h>

#include <random>

#include "grid/core/GridCsvReader.h"

namespace {

TEST(CsvReader, GuessesTheDelimiter)
{
    struct Case {
        const char* Line1;
        const char* Line2;
        char Expected;
    };
    const Case Cases[] = {
        {"a;b;c", "1;2;3", ';'},
        {"a,b;c", "1,2;3", ','},       // tried first, both once
        {"x|y|z", "", '|'},            // only the plain count of one line finds it
        {"a\tb\tc", "1\t2\t3", '\t'},
        {"plain", "text", 0},
        {"a;;b;c", "1;2;3", ';'},      // the doubled one is not counted: 2 and 2
        {"a,b", "a,b,c", ','},         // unequal counts: the second pass too, then the larger count
        {"a;b;c;d", "1,2", ';'},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(GuessCsvDelimiter(C.Line1, C.Line2), C.Expected) << C.Line1 << " / " << C.Line2;
}

TEST(CsvReader, SplitsFields)
{
    struct Case {
        const char* Line;
        char Delimiter;
        std::vector<String> Fields;
    };
    const Case Cases[] = {
        {"a;b;c", ';', {"a", "b", "c"}},
        {"a;b;", ';', {"a", "b"}},                       // an empty last field is not stored
        {";b", ';', {"", "b"}},
        {"\"a;b\";c", ';', {"a;b", "c"}},
        {"\"5\"\"\",x", ',', {"5\"", "x"}},              // doubled quotes inside keep one
        {"\"q\"junk,next", ',', {"q", "next"}},          // after the closing quote up to the delimiter is skipped
        {"x,\"a,b\"", ',', {"x", "a,b"}},
        {"x,\"last\"", ',', {"x", "last"}},
        {"one\x0btwo,z", ',', {"one\r\ntwo", "z"}},
        {"\"open,rest of line", ',', {"open,rest of line"}},   // no closing quote: the rest is the text
        {"a,\"open", ',', {"a", "open"}},
        {"whole line, one field", 0, {"whole line, one field"}},
        {"", ',', {}},
        {"a\"\"b,c", ',', {"a\"b", "c"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SplitCsvLine(C.Line, C.Delimiter), C.Fields) << C.Line;
}

// Generated lines of fields without quotes join back to the line; any line
// at all splits without fault.
TEST(CsvReader, GeneratedLines)
{
    std::mt19937 Rng(4242);
    const String Plain = "ab1 ;,|\t-+&#@*";
    const String Any = "ab\";,|\t\x0b\r\n-";
    for (int i = 0; i < 100000; ++i) {
        const bool Quotes = i % 2;
        const String& Alphabet = Quotes ? Any : Plain;
        String Line;
        const int Len = static_cast<int>(Rng() % 40);
        for (int k = 0; k < Len; ++k)
            Line += Alphabet[Rng() % Alphabet.size()];
        String Second;
        for (int k = 0; k < Len / 2; ++k)
            Second += Alphabet[Rng() % Alphabet.size()];
        const char D = GuessCsvDelimiter(Line, Second);
        ASSERT_TRUE(D == 0 || String(CSVDelimiterCandidates, 10).find(D) != String::npos) << Line;
        const std::vector<String> Fields = SplitCsvLine(Line, D);
        ASSERT_LE(Fields.size(), Line.size() + 1) << Line;
        if (!Quotes && D != 0) {
            String Joined;
            for (std::size_t f = 0; f < Fields.size(); ++f)
                Joined += (f ? String(1, D) : String()) + Fields[f];
            String Expected = Line;
            if (!Expected.empty() && Expected.back() == D)
                Expected.pop_back();
            ASSERT_EQ(Joined, Expected) << "line " << i;
        }
    }
}

} // namespace
