#include "grid/core/GridWorkbookAddress.h"

#include <climits>

namespace {

// A run of decimal digits as a positive number; -1 for anything else.
Integer RowNumber(const String& S)
{
    if (S.empty() || S.size() > 9)
        return -1;
    Integer N = 0;
    for (char C : S) {
        if (C < '0' || C > '9')
            return -1;
        N = N * 10 + (C - '0');
    }
    return N;
}

// Letters as a bijective base-26 number; -1 for anything else or too long.
Integer ColumnNumber(const String& S)
{
    if (S.empty() || S.size() > 6)
        return -1;
    Integer N = 0;
    for (char C : S) {
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
        if (C < 'A' || C > 'Z')
            return -1;
        N = N * 26 + (C - 'A' + 1);
    }
    return N;
}

// One end of the range: its column (0 when the part names a whole row) and row.
void ParsePart(String Part, Integer& Col, Integer& Row)
{
    if (!Part.empty() && Part[0] == '$')
        Part.erase(0, 1);
    const std::size_t Dollar = Part.find('$');
    if (Dollar == String::npos) {
        // "$3" (a whole row) or a relative "C3".
        std::size_t Digits = 0;
        while (Digits < Part.size() && !(Part[Digits] >= '0' && Part[Digits] <= '9'))
            ++Digits;
        if (Digits == 0) {
            Col = 0;
            Row = RowNumber(Part);
        } else {
            Col = ColumnNumber(Part.substr(0, Digits));
            Row = RowNumber(Part.substr(Digits));
        }
        return;
    }
    Col = ColumnNumber(Part.substr(0, Dollar));
    Row = RowNumber(Part.substr(Dollar + 1));
}

} // namespace

TWorkbookRange ParseWorkbookAddress(const String& Address)
{
    const std::size_t Colon = Address.find(':');
    const String Left = Colon == String::npos ? Address : Address.substr(0, Colon);
    const String Right = Colon == String::npos ? Address : Address.substr(Colon + 1);
    TWorkbookRange R;
    Integer C1 = 0, C2 = 0;
    ParsePart(Left, C1, R.FirstRow);
    ParsePart(Right, C2, R.LastRow);
    if (C1 == 0 && C2 == 0) {
        R.FirstCol = 1;
        R.LastCol = 256;
    } else {
        R.FirstCol = C1 == 0 ? -1 : C1;
        R.LastCol = C2 == 0 ? -1 : C2;
    }
    return R;
}

String WorkbookColumnLetters(Integer Column)
{
    String S;
    while (Column > 0) {
        const Integer D = (Column - 1) % 26;
        S.insert(S.begin(), static_cast<char>('A' + D));
        Column = (Column - 1) / 26;
    }
    return S;
}
