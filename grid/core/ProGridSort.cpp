// Sorting the normal rows: cell comparison by sort style, row comparison
// with tie-breaks, the quick sorts over rows with a pivot copied into a
// scratch row, the sort frame around them, sorting inside nodes, putting the
// first order back and the one row swap all of them move rows through.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "grid/core/GridDateUtils.h"
#include "grid/core/GridLocaleFormats.h"
#include "grid/core/GridNumberText.h"
#include "grid/core/GridTextUtils.h"
#include "grid/core/HtmlStrip.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"

// ---------------------------------------------------------------------------
// Sort settings

TSortSettings::TSortSettings(TProStringGrid* AGrid)
    : FGrid(AGrid), FUpGlyph(std::make_unique<TBitmap>()), FDownGlyph(std::make_unique<TBitmap>()),
      FIndexUpGlyph(std::make_unique<TBitmap>()), FIndexDownGlyph(std::make_unique<TBitmap>())
{
}

TSortSettings::~TSortSettings() = default;

void TSortSettings::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TSortSettings*>(Source);
    if (!S)
        return;
    AutoSortForGrouping = S->AutoSortForGrouping;
    AutoColumnMerge = S->AutoColumnMerge;
    Column = S->Column;
    SetShow(S->Show);
    IndexShow = S->IndexShow;
    IndexColor = S->IndexColor;
    Full = S->Full;
    SingleColumn = S->SingleColumn;
    IgnoreBlanks = S->IgnoreBlanks;
    BlankPos = S->BlankPos;
    AutoFormat = S->AutoFormat;
    Direction = S->Direction;
    FUpGlyph->Assign(S->FUpGlyph.get());
    FDownGlyph->Assign(S->FDownGlyph.get());
    FIndexUpGlyph->Assign(S->FIndexUpGlyph.get());
    FIndexDownGlyph->Assign(S->FIndexDownGlyph.get());
    InitSortDirection = S->InitSortDirection;
    FixedCols = S->FixedCols;
    NormalCellsOnly = S->NormalCellsOnly;
    Row = S->Row;
    UndoSort = S->UndoSort;
    SetHeaderColor(S->HeaderColor);
    SetHeaderColorTo(S->HeaderColorTo);
    SetHeaderMirrorColor(S->HeaderMirrorColor);
    SetHeaderMirrorColorTo(S->HeaderMirrorColorTo);
}

void TSortSettings::SetShow(bool Value)
{
    if (Show == Value)
        return;
    Show = Value;
    if (FGrid)
        FGrid->Invalidate();
}

void TSortSettings::SetRow(int Value)
{
    if (FGrid && Value >= FGrid->FixedRows())
        throw Exception("Sort row should be smaller than number of fixed rows");
    Row = Value;
}

void TSortSettings::SetHeaderColorField(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (FGrid && FGrid->FixedRows() > 0)
        FGrid->RedrawRow(FGrid->FixedRows() - 1);
}

// ---------------------------------------------------------------------------
// Keys of a cell for comparisons

namespace {

int Sign(double A, double B) { return A > B ? 1 : (A == B ? 0 : -1); }

int CompareBytes(const String& A, const String& B)
{
    const int R = A.compare(B);
    return R > 0 ? 1 : (R < 0 ? -1 : 0);
}

String UpperAscii(const String& S)
{
    String R = S;
    for (char& C : R)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return R;
}

bool IsNumberKind(Integer Kind) { return Kind == ntInteger || Kind == ntDecimal || Kind == ntExponent; }

char LocaleTimeSeparator()
{
    wchar_t Buf[8] = {};
    if (GetLocaleInfoW(GetThreadLocale(), LOCALE_STIME, Buf, 8) > 0 && Buf[0] > 0 && Buf[0] < 128)
        return static_cast<char>(Buf[0]);
    return ':';
}

// Removes the first occurrence of Affix, wherever it stands.
void RemoveAffix(String& S, const String& Affix)
{
    if (Affix.empty())
        return;
    const std::size_t P = S.find(Affix);
    if (P != String::npos)
        S.erase(P, Affix.size());
}

// Reads a decimal number (leading blanks, sign, digits, fraction, exponent).
// False when the text is not one number as a whole; Value then holds what
// its leading number gave (0 when it has none).
bool ReadDecimal(const String& S, double& Value)
{
    // The number's extent is found here, so that strtod never reads
    // hexadecimal, infinities or NaN: only plain decimals count.
    std::size_t I = 0;
    const std::size_t N = S.size();
    while (I < N && (S[I] == ' ' || (S[I] >= '\t' && S[I] <= '\r')))
        ++I;
    const std::size_t Start = I;
    if (I < N && (S[I] == '+' || S[I] == '-'))
        ++I;
    std::size_t Digits = 0;
    while (I < N && IsDigitChar(S[I])) {
        ++I;
        ++Digits;
    }
    const std::size_t IntegerEnd = I;
    if (I < N && S[I] == '.') {
        ++I;
        while (I < N && IsDigitChar(S[I])) {
            ++I;
            ++Digits;
        }
    }
    if (Digits == 0) {
        Value = 0;
        return false;
    }
    if (I < N && (S[I] == 'e' || S[I] == 'E')) {
        std::size_t E = I + 1;
        if (E < N && (S[E] == '+' || S[E] == '-'))
            ++E;
        if (E < N && IsDigitChar(S[E])) {
            while (E < N && IsDigitChar(S[E]))
                ++E;
            I = E;
        }
    }
    // Up to 15 digits without fraction or exponent are exact in a double:
    // the same value strtod gives, without its cost.
    if (I == IntegerEnd && Digits <= 15) {
        long long V = 0;
        for (std::size_t D = I - Digits; D < I; ++D)
            V = V * 10 + (S[D] - '0');
        Value = S[Start] == '-' ? -static_cast<double>(V) : static_cast<double>(V);
        return I == N;
    }
    const String Number = S.substr(Start, I - Start);
    Value = std::strtod(Number.c_str(), nullptr);
    return I == N;
}

// The locale's time of day "h:mm[:ss]" with an optional AM/PM mark.
bool ReadTime(const String& S, char TimeSep, double& Time)
{
    String T = S;
    while (!T.empty() && T.back() == ' ')
        T.pop_back();
    while (!T.empty() && T.front() == ' ')
        T.erase(0, 1);
    int Half = 0;
    const String Up = UpperAscii(T);
    if (Up.size() > 2 && (Up.ends_with("AM") || Up.ends_with("PM"))) {
        Half = Up.ends_with("AM") ? 1 : 2;
        T.resize(T.size() - 2);
        while (!T.empty() && T.back() == ' ')
            T.pop_back();
    }
    int Parts[3] = {0, 0, 0};
    int N = 0;
    std::size_t I = 0;
    while (N < 3) {
        if (I >= T.size() || !IsDigitChar(T[I]))
            return false;
        int V = 0;
        int Digits = 0;
        while (I < T.size() && IsDigitChar(T[I]) && Digits < 4) {
            V = V * 10 + (T[I] - '0');
            ++I;
            ++Digits;
        }
        Parts[N++] = V;
        if (I == T.size())
            break;
        if (T[I] != TimeSep)
            return false;
        ++I;
    }
    if (I != T.size() || N < 2)
        return false;
    int H = Parts[0];
    if (Half) {
        if (H < 1 || H > 12)
            return false;
        H = H % 12 + (Half == 2 ? 12 : 0);
    }
    if (H > 23 || Parts[1] > 59 || Parts[2] > 59)
        return false;
    Time = (H * 3600.0 + Parts[1] * 60.0 + Parts[2]) / 86400.0;
    return true;
}

// The locale's date with an optional time after a blank.
bool ReadDateTime(const String& S, char TimeSep, double& Value)
{
    const std::size_t Blank = S.find(' ');
    TDateTime Date = 0;
    if (!ParseShortDate(S.substr(0, Blank), Date))
        return false;
    double Time = 0;
    if (Blank != String::npos) {
        const String Rest = S.substr(Blank + 1);
        if (Rest.find_first_not_of(' ') != String::npos && !ReadTime(Rest, TimeSep, Time))
            return false;
    }
    Value = Date + (Date < 0 ? -Time : Time);
    return true;
}

// A fixed-order short date; an impossible date counts as day 0.
double ReadFixedDate(const String& S, bool DayFirst)
{
    try {
        return DayFirst ? ParseDateDMY(S) : ParseDateMDY(S);
    } catch (const Exception&) {
        return 0.0;
    }
}

} // namespace

// What a comparison needs of one cell, read once. Outside a sort a key
// lives for one comparison; inside a sort without hooks that could change
// texts or styles, the keys of every row are kept and travel with the rows.
struct TCellKey {
    String Text;
    double Num = 0;
    double Date = 0;
    bool Loaded = false;
    bool CheckType = false;
    signed char NumberText = -1;     // ClassifyNumberText said number
    signed char AutoStyle = -1;      // ssAutomatic resolved from this cell
    signed char NumStyle = -1;       // the style Num was read for
    bool NumOk = false;
    signed char DateStyle = -1;      // the style Date was read for
};

struct TProStringGrid::TSortKeyCache {
    // A column's sort style with its prefix and suffix: the format hook's
    // answer depends on the column alone, so it is asked once per sort.
    struct TColumnFormat {
        bool Asked = false;
        TSortStyle Style = ssAlphabetic;
        String Prefix;
        String Suffix;
    };
    TGridLocaleFormats Formats;
    char TimeSep = ':';
    bool Enabled = false;
    // Per column (lazily made), per row.
    std::vector<std::vector<TCellKey>> Keys;
    std::vector<TColumnFormat> ColumnFormats;
    TColumnFormat Uncached;   // a column outside the grid: asked each time

    const TColumnFormat& FormatOf(TProStringGrid* Grid, int ACol)
    {
        if (ACol >= 0 && static_cast<int>(ColumnFormats.size()) <= ACol)
            ColumnFormats.resize(static_cast<std::size_t>(ACol) + 1);
        TColumnFormat& F = ACol >= 0 ? ColumnFormats[static_cast<std::size_t>(ACol)] : Uncached;
        if (!F.Asked || ACol < 0) {
            F.Prefix.clear();
            F.Suffix.clear();
            F.Style = Grid->FSortSettings->AutoFormat ? ssAutomatic : ssAlphabetic;
            Grid->DoGetFormat(ACol, F.Style, F.Prefix, F.Suffix);
            F.Asked = true;
        }
        return F;
    }

    TCellKey* Find(int ACol, int ARow, int Rows)
    {
        if (!Enabled || ACol < 0 || ARow < 0)
            return nullptr;
        if (static_cast<int>(Keys.size()) <= ACol)
            Keys.resize(static_cast<std::size_t>(ACol) + 1);
        auto& Col = Keys[static_cast<std::size_t>(ACol)];
        if (static_cast<int>(Col.size()) < Rows)
            Col.resize(static_cast<std::size_t>(Rows));
        if (ARow >= static_cast<int>(Col.size()))
            return nullptr;
        return &Col[static_cast<std::size_t>(ARow)];
    }
    void Swap(int R1, int R2)
    {
        for (auto& Col : Keys)
            if (R1 < static_cast<int>(Col.size()) && R2 < static_cast<int>(Col.size()))
                std::swap(Col[static_cast<std::size_t>(R1)], Col[static_cast<std::size_t>(R2)]);
    }
    // Row First + P takes the keys of row From[P].
    void Permute(int First, const std::vector<int>& From)
    {
        const auto End = static_cast<std::size_t>(First) + From.size();
        for (auto& Col : Keys) {
            if (Col.size() < End)
                continue;
            std::vector<TCellKey> Moved;
            Moved.reserve(From.size());
            for (const int R : From)
                Moved.push_back(std::move(Col[static_cast<std::size_t>(R)]));
            std::move(Moved.begin(), Moved.end(), Col.begin() + First);
        }
    }
    void Copy(int From, int To)
    {
        for (auto& Col : Keys)
            if (From < static_cast<int>(Col.size()) && To < static_cast<int>(Col.size()))
                Col[static_cast<std::size_t>(To)] = Col[static_cast<std::size_t>(From)];
    }
};

namespace {

struct TKeyContext {
    const TGridLocaleFormats& Formats;
    char TimeSep;
};

// ssAutomatic resolved from one cell's text and type.
TSortStyle AutomaticStyleOf(const String& T, bool CheckType, const TKeyContext& Ctx)
{
    TSortStyle S = ssAlphabetic;
    const auto Len = T.size();
    if (CheckType) {
        S = ssCheckBox;
    } else if (IsNumberKind(ClassifyNumberText(T, Ctx.Formats))) {
        S = ssNumeric;
    } else {
        const std::size_t DP = T.find(Ctx.Formats.DateSeparator);
        const std::size_t TP = T.find(Ctx.TimeSep);
        // Positions are 1-based in the rule: 2 <= p <= 3 and p < length.
        if (DP != String::npos && DP + 1 >= 2 && DP + 1 <= 3 && DP + 1 < Len) {
            if (IsDigitChar(T[DP - 1]) && IsDigitChar(T[DP + 1]))
                S = TP == String::npos ? ssDate : ssDateTime;
        } else if (TP != String::npos && TP + 1 >= 2 && TP + 1 <= 3 && TP + 1 < Len && IsDigitChar(T[TP - 1])
                   && IsDigitChar(T[TP + 1])) {
            S = ssTime;
        }
    }
    return S;
}

TSortStyle ResolveAutomatic(TCellKey& K, const TKeyContext& Ctx)
{
    if (K.AutoStyle < 0)
        K.AutoStyle = static_cast<signed char>(AutomaticStyleOf(K.Text, K.CheckType, Ctx));
    return static_cast<TSortStyle>(K.AutoStyle);
}

bool IsNumberText(TCellKey& K, const TKeyContext& Ctx)
{
    if (K.NumberText < 0)
        K.NumberText = IsNumberKind(ClassifyNumberText(K.Text, Ctx.Formats)) ? 1 : 0;
    return K.NumberText == 1;
}

// A cell text as a number of a numeric style: false when it does not read,
// except that an empty text reads as 0.
bool ReadNumberText(const String& Text, TSortStyle Style, const String& Prefix, const String& Suffix,
                    const TKeyContext& Ctx, double& Num)
{
    String S = Text;
    RemoveAffix(S, Suffix);
    RemoveAffix(S, Prefix);
    if (Style == ssFinancial && Ctx.Formats.ThousandSeparator != 0)
        S.erase(std::remove(S.begin(), S.end(), Ctx.Formats.ThousandSeparator), S.end());
    if (Ctx.Formats.DecimalSeparator != '.') {
        const std::size_t P = S.find(Ctx.Formats.DecimalSeparator);
        if (P != String::npos)
            S[P] = '.';
    }
    bool Ok = ReadDecimal(S, Num);
    if (!Ok && Text.empty()) {
        Ok = true;
        Num = 0;
    }
    return Ok;
}

void ReadNumberKey(TCellKey& K, TSortStyle Style, const String& Prefix, const String& Suffix,
                   const TKeyContext& Ctx)
{
    if (K.NumStyle == static_cast<signed char>(Style))
        return;
    K.NumOk = ReadNumberText(K.Text, Style, Prefix, Suffix, Ctx, K.Num);
    K.NumStyle = static_cast<signed char>(Style);
}

double DateKey(TCellKey& K, TSortStyle Style, const TKeyContext& Ctx)
{
    if (K.DateStyle == static_cast<signed char>(Style))
        return K.Date;
    double V = 0;
    switch (Style) {
    case ssDate:
    case ssDateTime:
        if (!ReadDateTime(K.Text, Ctx.TimeSep, V))
            V = 0;
        break;
    case ssTime:
        if (!ReadTime(K.Text, Ctx.TimeSep, V))
            V = 0;
        break;
    case ssShortDateEU:
        V = ReadFixedDate(K.Text, true);
        break;
    default:
        V = ReadFixedDate(K.Text, false);
        break;
    }
    K.Date = V;
    K.DateStyle = static_cast<signed char>(Style);
    return V;
}

int CompareLocaleAnsi(const String& A, const String& B, bool IgnoreCase)
{
    const int R = CompareStringA(LOCALE_USER_DEFAULT, IgnoreCase ? NORM_IGNORECASE : 0, A.data(),
                                 static_cast<int>(A.size()), B.data(), static_cast<int>(B.size()));
    return R == 0 ? 0 : R - 2;
}

} // namespace

// ---------------------------------------------------------------------------
// Comparison

void TProStringGrid::DoGetFormat(int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix)
{
    if (OnGetFormat)
        OnGetFormat(this, ACol, AStyle, APrefix, ASuffix);
}

String TProStringGrid::ReadCellPlainText(int ACol, int ARow) { return HtmlToPlainText(ReadCellText(ACol, ARow)); }

int TProStringGrid::CompareCells(int ACol, int ARow1, bool Descending, int ARow2)
{
    // Inside a sort the format hook was asked once for the column.
    TSortKeyCache::TColumnFormat OwnFormat;
    if (!FSortKeys) {
        OwnFormat.Style = FSortSettings->AutoFormat ? ssAutomatic : ssAlphabetic;
        DoGetFormat(ACol, OwnFormat.Style, OwnFormat.Prefix, OwnFormat.Suffix);
    }
    const TSortKeyCache::TColumnFormat& Format = FSortKeys ? FSortKeys->FormatOf(this, ACol) : OwnFormat;
    TSortStyle Style = Format.Style;
    const String& Prefix = Format.Prefix;
    const String& Suffix = Format.Suffix;

    // Inside a sort the formats were read once when it began.
    std::optional<TGridLocaleFormats> OwnFormats;
    if (!FSortKeys)
        OwnFormats = GridLocaleFormats();
    const TKeyContext Ctx{FSortKeys ? FSortKeys->Formats : *OwnFormats,
                          FSortKeys ? FSortKeys->TimeSep : LocaleTimeSeparator()};
    const int Rows = RowCount();
    TCellKey Local1;
    TCellKey Local2;
    TCellKey* K1 = FSortKeys ? FSortKeys->Find(ACol, ARow1, Rows) : nullptr;
    TCellKey* K2 = FSortKeys ? FSortKeys->Find(ACol, ARow2, Rows) : nullptr;
    if (!K1)
        K1 = &Local1;
    if (!K2)
        K2 = &Local2;
    for (auto [K, R] : {std::pair{K1, ARow1}, std::pair{K2, ARow2}})
        if (!K->Loaded) {
            K->Text = ReadCellText(ACol, R);
            K->CheckType = IsCheckBoxType(GetCellType(ACol, R));
            K->Loaded = true;
        }

    if (Style == ssAutomatic)
        Style = ResolveAutomatic(*K1, Ctx);
    if (Style == ssAlphaNumeric || Style == ssAlphaNumericNoCase) {
        const bool Numbers = IsNumberText(*K1, Ctx) && IsNumberText(*K2, Ctx);
        Style = Numbers ? ssNumeric : (Style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase);
    }

    const String& T1 = K1->Text;
    const String& T2 = K2->Text;
    int Res = 0;
    switch (Style) {
    case ssAlphabetic:
    case ssAlphaCase:
        Res = CompareBytes(T1, T2);
        break;
    case ssAlphaNoCase:
        Res = CompareBytes(UpperAscii(T1), UpperAscii(T2));
        if (Res == 0)
            Res = CompareBytes(T1, T2);
        break;
    case ssAnsiAlphaCase:
    case ssAnsiAlphaNoCase:
        Res = CompareLocaleAnsi(T1, T2, Style == ssAnsiAlphaNoCase);
        break;
    case ssUnicode: {
        const WideString W1 = ReadWideCellText(ACol, ARow1);
        const WideString W2 = ReadWideCellText(ACol, ARow2);
        const int R = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, W1.data(), static_cast<int>(W1.size()),
                                     W2.data(), static_cast<int>(W2.size()));
        Res = R == 0 ? 0 : R - 2;
        break;
    }
    case ssNumeric:
    case ssFinancial: {
        ReadNumberKey(*K1, Style, Prefix, Suffix, Ctx);
        ReadNumberKey(*K2, Style, Prefix, Suffix, Ctx);
        Res = (!K1->NumOk && !K2->NumOk) ? 0 : Sign(K1->Num, K2->Num);
        break;
    }
    case ssDate:
    case ssDateTime:
    case ssTime:
    case ssShortDateEU:
    case ssShortDateUS:
        Res = Sign(DateKey(*K1, Style, Ctx), DateKey(*K2, Style, Ctx));
        break;
    case ssHTML:
        Res = CompareBytes(ReadCellPlainText(ACol, ARow1), ReadCellPlainText(ACol, ARow2));
        break;
    case ssCheckBox: {
        bool S1 = false;
        bool S2 = false;
        GetCheckBoxState(ACol, ARow1, S1);
        GetCheckBoxState(ACol, ARow2, S2);
        Res = S1 == S2 ? 0 : (S1 ? 1 : -1);
        break;
    }
    case ssImages: {
        const Int64 A = GetCellImageKey(ACol, ARow1);
        const Int64 B = GetCellImageKey(ACol, ARow2);
        Res = A > B ? 1 : (A == B ? 0 : -1);
        break;
    }
    case ssCustom:
        if (OnCustomCompare) {
            const bool Virtual = FSortSettings->SortOnVirtualCells;
            const String S1 = Virtual ? ReadCellText(ACol, ARow1) : GetCellTextRaw(ACol, ARow1);
            const String S2 = Virtual ? ReadCellText(ACol, ARow2) : GetCellTextRaw(ACol, ARow2);
            OnCustomCompare(this, S1, S2, Res);
        }
        break;
    case ssRaw:
        if (OnRawCompare)
            OnRawCompare(this, ACol, ARow1, ARow2, Res);
        break;
    default:
        Res = CompareBytes(T1, T2);
        break;
    }

    if (FSortSettings->IgnoreBlanks && T1.empty() != T2.empty()) {
        const bool Last = FSortSettings->BlankPos == blLast;
        Res = T1.empty() ? (Last ? 1 : -1) : (Last ? -1 : 1);
        if (Descending)
            Res = -Res;
    }
    return Res;
}

int TProStringGrid::CompareRows(int ACol, int ARow1, int ARow2)
{
    const bool Descending = FSortSettings->Direction == sdDescending;
    for (int C = ACol;; ++C) {
        if (IsIgnoredColumn(C))
            return 0;
        const int Res = CompareCells(C, ARow1, Descending, ARow2);
        if (Res != 0 || !FSortSettings->Full || C > ColCount() - 2)
            return Res;
    }
}

int TProStringGrid::CompareRowsIndexed(int Depth, int ARow1, int ARow2)
{
    for (int D = Depth; D < FSortIndexes->Count(); ++D) {
        const int Entry = FSortIndexes->GetInteger(D);
        const int C = TSortIndexList::ColumnOf(Entry);
        const bool Descending = (static_cast<unsigned>(Entry) & TSortIndexList::DescendingFlag) != 0;
        const int Res = IsIgnoredColumn(C) ? 0 : CompareCells(C, ARow1, Descending, ARow2);
        if (Res != 0 || !FSortSettings->Full)
            return Descending ? -Res : Res;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Swapping and the quick sorts

void TProStringGrid::SwapRows(int ARow1, int ARow2)
{
    if (ARow1 == ARow2)
        return;
    if (ARow1 >= 0 && ARow2 >= 0 && ARow1 < FRowOrder->Count() && ARow2 < FRowOrder->Count())
        FRowOrder->Exchange(ARow1, ARow2);
    if (FSortPlaces && ARow1 >= 0 && ARow2 >= 0 && ARow1 < static_cast<int>(FSortPlaces->size())
        && ARow2 < static_cast<int>(FSortPlaces->size()))
        std::swap((*FSortPlaces)[static_cast<std::size_t>(ARow1)], (*FSortPlaces)[static_cast<std::size_t>(ARow2)]);
    if (FSortSettings->SingleColumn) {
        // Only the sort column's stored texts and objects change places; a
        // display hook's text never becomes data.
        const int C = FSortSettings->Column;
        const String T = Cells(C, ARow1);
        TObject* O = Objects(C, ARow1);
        SetCells(C, ARow1, Cells(C, ARow2));
        SetObjects(C, ARow1, Objects(C, ARow2));
        SetCells(C, ARow2, T);
        SetObjects(C, ARow2, O);
        if (FSortKeys && FSortKeys->Enabled)
            FSortKeys->Keys.clear();
        return;
    }
    ExchangeRowCells(ARow1, ARow2);
    if (FSortKeys)
        FSortKeys->Swap(ARow1, ARow2);
    const int H1 = RowHeights(ARow1);
    const int H2 = RowHeights(ARow2);
    if (H1 != H2) {
        SetRowHeights(ARow1, H2);
        SetRowHeights(ARow2, H1);
    }
    if (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort) {
        const int K1 = FHiddenRows.empty() ? ARow1 : DisplayToRealRow(ARow1);
        const int K2 = FHiddenRows.empty() ? ARow2 : DisplayToRealRow(ARow2);
        const int F1 = FRowSelectFlags.Get(K1);
        const int F2 = FRowSelectFlags.Get(K2);
        if (F1 != F2) {
            FRowSelectFlags.Set(K1, F2);
            FRowSelectFlags.Set(K2, F1);
        }
    }
    if (FShowModified->Enabled) {
        const int M1 = FModifiedRowFlags.Get(ARow1);
        const int M2 = FModifiedRowFlags.Get(ARow2);
        if (M1 != M2) {
            FModifiedRowFlags.Set(ARow1, M2);
            FModifiedRowFlags.Set(ARow2, M1);
        }
    }
    if (TrackedRow == ARow1)
        TrackedRow = ARow2;
    else if (TrackedRow == ARow2)
        TrackedRow = ARow1;
}

void TProStringGrid::CopyPivotRow(int FromRow, int ToRow)
{
    if (OnGetDisplText) {
        const bool Virtual = FSortSettings->SortOnVirtualCells;
        for (int C = 0; C < ColCount(); ++C) {
            SetCells(C, ToRow, Virtual ? ReadCellText(C, FromRow) : Cells(C, FromRow));
            SetObjects(C, ToRow, Objects(C, FromRow));
        }
    } else {
        CopyRowCells(FromRow, ToRow);
    }
    if (FSortKeys)
        FSortKeys->Copy(FromRow, ToRow);
}

namespace {

// The row quick sort run over a list of row numbers instead of the rows
// themselves: Perm[P] is the row that stands at position P. The pivots, the
// comparisons and the exchanges are the same as over the rows; Compare gets
// row numbers (or rows carrying their keys), and the pivot is its own row,
// which stays put. Target is what a comparison gives while a row is on the
// wrong side of the pivot; SkipEqual leaves two equal rows where they are.
template <class TEntry, class TCompare>
void QuickSortPositions(std::vector<TEntry>& Perm, int Lo, int Hi, int Target, bool SkipEqual, TCompare& Compare)
{
    while (Lo < Hi) {
        const TEntry Pivot = Perm[static_cast<std::size_t>((Lo + Hi) / 2)];
        int I = Lo;
        int J = Hi;
        do {
            while (Compare(Pivot, Perm[static_cast<std::size_t>(I)]) == Target && I < Hi)
                ++I;
            while (Compare(Perm[static_cast<std::size_t>(J)], Pivot) == Target && J > Lo)
                --J;
            if (I <= J) {
                if (I != J
                    && (!SkipEqual
                        || Compare(Perm[static_cast<std::size_t>(I)], Perm[static_cast<std::size_t>(J)]) != 0))
                    std::swap(Perm[static_cast<std::size_t>(I)], Perm[static_cast<std::size_t>(J)]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - Lo < Hi - I) {
            if (Lo < J)
                QuickSortPositions(Perm, Lo, J, Target, SkipEqual, Compare);
            Lo = I;
        } else {
            if (I < Hi)
                QuickSortPositions(Perm, I, Hi, Target, SkipEqual, Compare);
            Hi = J;
        }
    }
}

// A row that carries its key through the quick sort: the comparisons then
// read the numbers where the positions are instead of at the rows' places
// in a table of a million.
struct TKeyedRow {
    double Key;
    int Row;
};

// A keyed row with the prefix of its text in the next level's column too.
struct TTwoKeyedRow {
    double Key;
    std::uint64_t Second;
    int Row;
};

// QuickSortPositions over keyed rows, ascending, with the numbers alone
// deciding, spelled out as comparisons of two numbers: Compare(A, B) == 1
// is A > B, and equal numbers (SkipEqual) are never exchanged.
void QuickSortKeyedNumbers(std::vector<TKeyedRow>& Keyed, int Lo, int Hi)
{
    TKeyedRow* K = Keyed.data();
    while (Lo < Hi) {
        const double Pivot = K[(Lo + Hi) / 2].Key;
        int I = Lo;
        int J = Hi;
        do {
            while (Pivot > K[I].Key && I < Hi)
                ++I;
            while (K[J].Key > Pivot && J > Lo)
                --J;
            if (I <= J) {
                if (I != J && K[I].Key != K[J].Key)
                    std::swap(K[I], K[J]);
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - Lo < Hi - I) {
            if (Lo < J)
                QuickSortKeyedNumbers(Keyed, Lo, J);
            Lo = I;
        } else {
            if (I < Hi)
                QuickSortKeyedNumbers(Keyed, I, Hi);
            Hi = J;
        }
    }
}

} // namespace

// One sort column's keys read ahead for every row of a range, for the
// styles whose comparison needs nothing but the cell text: plain text and
// numbers, the style resolved per row as CompareCells resolves it (from the
// first row of a comparison). Compare gives what CompareCells gives. The
// keys are packed (one flag byte per row, numbers only when a row compares
// by number, texts in one buffer only when a row compares by text): a large
// sort spends much of its time touching fresh memory.
struct TProStringGrid::TFastSortColumn {
    enum : unsigned char { fNumeric = 1, fNumOk = 2, fEmpty = 4 };
    int Lo = 0;
    bool IgnoreBlanks = false;
    bool BlanksLast = false;
    std::vector<unsigned char> Flags;
    std::vector<double> Num;              // empty when no row compares by number
    std::vector<std::uint32_t> Start;     // N + 1 offsets into Pool; empty when no row compares by text
    String Pool;
    // The first eight bytes of each text, big-endian, zeros after its end:
    // two texts whose prefixes differ compare as their prefixes do.
    std::vector<std::uint64_t> Prefix;
    // Every row compares by a number it holds, and no blank is placed
    // apart: a comparison is the two numbers' alone.
    bool NumbersOnly = false;

    std::string_view TextOf(std::size_t I) const
    {
        return std::string_view(Pool.data() + Start[I], Start[I + 1] - Start[I]);
    }

    int Compare(int A, int B, bool Descending) const
    {
        const auto IA = static_cast<std::size_t>(A - Lo);
        const auto IB = static_cast<std::size_t>(B - Lo);
        if (NumbersOnly)
            return Sign(Num[IA], Num[IB]);
        const unsigned char FA = Flags[IA];
        const unsigned char FB = Flags[IB];
        int Res;
        if (FA & fNumeric) {
            Res = !((FA | FB) & fNumOk) ? 0 : Sign(Num[IA], Num[IB]);
        } else if (Prefix[IA] != Prefix[IB]) {
            Res = Prefix[IA] < Prefix[IB] ? -1 : 1;
        } else {
            const int R = TextOf(IA).compare(TextOf(IB));
            Res = R > 0 ? 1 : (R < 0 ? -1 : 0);
        }
        if (IgnoreBlanks && ((FA ^ FB) & fEmpty)) {
            Res = (FA & fEmpty) ? (BlanksLast ? 1 : -1) : (BlanksLast ? -1 : 1);
            if (Descending)
                Res = -Res;
        }
        return Res;
    }
};

// Reads ahead the keys of column ACol for the rows Lo..Hi when every one of
// them compares as plain text or as a number; false leaves the comparisons
// to CompareCells. Each cell is read once: its text goes into the buffer as
// it is read, and the buffer is dropped when no row compares by text.
bool TProStringGrid::PrepareFastSortColumn(int ACol, int Lo, int Hi, TFastSortColumn& Out)
{
    if (!CanSortByIndex() || ACol < 0 || ACol >= ColCount() || IsIgnoredColumn(ACol))
        return false;
    const TSortKeyCache::TColumnFormat& Format = FSortKeys->FormatOf(this, ACol);
    const TSortStyle ColumnStyle = Format.Style;
    const bool Automatic = ColumnStyle == ssAutomatic;
    const bool Numeric = ColumnStyle == ssNumeric || ColumnStyle == ssFinancial;
    if (!Automatic && !Numeric && ColumnStyle != ssAlphabetic && ColumnStyle != ssAlphaCase)
        return false;
    // A number read by the automatic style is a plain number.
    const TSortStyle NumberStyle = Numeric ? ColumnStyle : ssNumeric;
    const TKeyContext Ctx{FSortKeys->Formats, FSortKeys->TimeSep};
    const auto N = static_cast<std::size_t>(Hi - Lo + 1);
    Out.Lo = Lo;
    Out.IgnoreBlanks = FSortSettings->IgnoreBlanks;
    Out.BlanksLast = FSortSettings->BlankPos == blLast;
    Out.Flags.assign(N, 0);
    Out.Num.clear();
    Out.Start.assign(N + 1, 0);
    Out.Pool.clear();
    Out.Prefix.clear();
    Out.NumbersOnly = false;
    std::size_t TextRows = 0;
    bool AllRead = true;
    bool AnyEmpty = false;
    // Without cell properties no cell is merged or has a type, and without
    // display hooks (the kept keys are on) a cell reads as its stored text:
    // the column's texts are then read in one walk over the storage.
    bool Usable = true;
    auto Read = [&](int R, const String& T, bool CheckType) {
        const TSortStyle Style = Automatic ? AutomaticStyleOf(T, CheckType, Ctx) : Numeric ? NumberStyle : ssAlphabetic;
        const auto I = static_cast<std::size_t>(R - Lo);
        unsigned char F = T.empty() ? TFastSortColumn::fEmpty : 0;
        if (Style == NumberStyle) {
            if (Out.Num.empty())
                Out.Num.assign(N, 0.0);
            F |= TFastSortColumn::fNumeric;
            if (ReadNumberText(T, NumberStyle, Format.Prefix, Format.Suffix, Ctx, Out.Num[I]))
                F |= TFastSortColumn::fNumOk;
            else
                AllRead = false;
        } else if (Style == ssAlphabetic) {
            ++TextRows;
        } else {
            Usable = false;
        }
        Out.Flags[I] = F;
        AnyEmpty = AnyEmpty || T.empty();
    };
    const bool Stored = !PropertiesCreated && !(ACol == 0 && FMouseActions->HotmailRowSelect());
    if (Stored) {
        String T;
        VisitColumnTexts(ACol, Lo, Hi, [&](int R, std::string_view Text) {
            if (Usable) {
                T.assign(Text.data(), Text.size());
                Read(R, T, false);
            }
        });
    } else {
        for (int R = Lo; R <= Hi && Usable; ++R)
            Read(R, ReadCellText(ACol, R), IsCheckBoxType(GetCellType(ACol, R)));
    }
    if (!Usable)
        return false;
    if (TextRows == 0) {
        Out.NumbersOnly = AllRead && !(Out.IgnoreBlanks && AnyEmpty);
        Out.Start.clear();
        return true;
    }
    // Some row compares by text: the texts of all rows go into the buffer,
    // read again (a column of numbers alone never needs them). Without
    // display hooks (the kept keys are on) a second reading reads the same.
    auto Keep = [&](int R, std::string_view T) {
        Out.Start[static_cast<std::size_t>(R - Lo)] = static_cast<std::uint32_t>(Out.Pool.size());
        if (Out.Pool.size() + T.size() > 0xFFFFFFFFu)
            Usable = false;
        else
            Out.Pool += T;
    };
    if (Stored)
        VisitColumnTexts(ACol, Lo, Hi, [&](int R, std::string_view T) {
            if (Usable)
                Keep(R, T);
        });
    else
        for (int R = Lo; R <= Hi && Usable; ++R)
            Keep(R, ReadCellText(ACol, R));
    if (!Usable)
        return false;
    Out.Start[N] = static_cast<std::uint32_t>(Out.Pool.size());
    Out.Prefix.resize(N);
    for (std::size_t I = 0; I < N; ++I) {
        const std::string_view T = Out.TextOf(I);
        std::uint64_t P = 0;
        for (std::size_t B = 0; B < 8; ++B)
            P = (P << 8) | (B < T.size() ? static_cast<unsigned char>(T[B]) : 0u);
        Out.Prefix[I] = P;
    }
    // A text row compares against any row by text, and a number row
    // against any row by number: both keys are needed for every row.
    if (!Out.Num.empty())
        for (std::size_t I = 0; I < N; ++I)
            if (!(Out.Flags[I] & TFastSortColumn::fNumeric)
                && ReadNumberText(String(Out.TextOf(I)), NumberStyle, Format.Prefix, Format.Suffix, Ctx, Out.Num[I]))
                Out.Flags[I] |= TFastSortColumn::fNumOk;
    return true;
}

namespace {

// The fast keys of the columns 0 .. Count-1 a sort compares, each read
// ahead the first time a comparison needs it (Prepare); a column that
// cannot be read ahead is left to the full comparison (Slow). The slots
// never move, so a column's keys stay where Keys found them.
template <class TColumn, class TPrepare, class TSlow>
class TLazySortColumns {
public:
    TLazySortColumns(int Count, TPrepare APrepare, TSlow ASlow)
        : Prepare(APrepare), Slow(ASlow), Columns(static_cast<std::size_t>(std::max(Count, 0)))
    {
    }

    int Compare(int ACol, int A, int B, bool Descending)
    {
        const TColumn* K = Keys(ACol);
        return K ? K->Compare(A, B, Descending) : Slow(ACol, A, B, Descending);
    }

    // The column's keys, null when it cannot be read ahead.
    const TColumn* Keys(int ACol)
    {
        if (ACol < 0 || ACol >= static_cast<int>(Columns.size()))
            return nullptr;
        TSlot& S = Columns[static_cast<std::size_t>(ACol)];
        if (!S.Tried) {
            S.Tried = true;
            S.Usable = Prepare(ACol, S.Keys);
            if (!S.Usable)
                S.Keys = TColumn();
        }
        return S.Usable ? &S.Keys : nullptr;
    }

private:
    struct TSlot {
        bool Tried = false;
        bool Usable = false;
        TColumn Keys;
    };
    TPrepare Prepare;
    TSlow Slow;
    std::vector<TSlot> Columns;
};

} // namespace

// Rows can be sorted by number and moved once at the end when what a
// comparison reads of a row does not depend on where the row stands: the
// kept keys are on (no hook can change a text or a style) and no group
// count is added to a header row's text.
bool TProStringGrid::CanSortByIndex() const
{
    return FSortKeys && FSortKeys->Enabled && !FSortSettings->SingleColumn
           && !(FGrouping && FGrouping->ShowGroupCount);
}

// Moves the rows Lo..Hi so that position P holds the row that stood at
// Perm[P - Lo], through SwapRows: everything that travels with a row (texts,
// objects, heights, flags, the saved order, the kept keys, the tracked
// row) ends where the exchanges of the quick sort would have put it. Each
// cycle of the permutation takes one exchange fewer than its length.
void TProStringGrid::ApplyRowPermutation(const std::vector<int>& Perm, int Lo, int Hi)
{
    // Without per-row flags to carry, everything SwapRows moves is moved in
    // one pass instead: each row's cells, height, saved place and keys are
    // read once from where they stood. Exchanging along the cycles waits on
    // each row in turn, which over a million rows costs most of a sort.
    const bool Flags = (FMouseActions->DisjunctRowSelect() && FNavigation->MoveRowOnSort) || FShowModified->Enabled;
    if (!Flags && !FSortSettings->SingleColumn && Hi >= Lo) {
        PermuteRowCells(Lo, Perm);
        PermuteRowHeights(Lo, Perm);
        if (Hi < FRowOrder->Count())
            FRowOrder->Permute(Lo, Perm);
        if (FSortPlaces && Hi < static_cast<int>(FSortPlaces->size())) {
            std::vector<int> Moved(Perm.size());
            for (std::size_t P = 0; P < Perm.size(); ++P)
                Moved[P] = (*FSortPlaces)[static_cast<std::size_t>(Perm[P])];
            std::copy(Moved.begin(), Moved.end(), FSortPlaces->begin() + Lo);
        }
        if (FSortKeys)
            FSortKeys->Permute(Lo, Perm);
        if (TrackedRow >= Lo && TrackedRow <= Hi)
            for (std::size_t P = 0; P < Perm.size(); ++P)
                if (Perm[P] == TrackedRow) {
                    TrackedRow = Lo + static_cast<int>(P);
                    break;
                }
        return;
    }
    std::vector<char> Done(static_cast<std::size_t>(Hi - Lo + 1), 0);
    for (int P = Lo; P <= Hi; ++P) {
        if (Done[static_cast<std::size_t>(P - Lo)])
            continue;
        Done[static_cast<std::size_t>(P - Lo)] = 1;
        // P takes the row that stood at Perm[P - Lo], whose place takes
        // the row its own entry names, and so on round the cycle; after
        // each exchange the place further on holds the row that stood at P.
        int Q = P;
        for (int Next = Perm[static_cast<std::size_t>(Q - Lo)]; Next != P;
             Next = Perm[static_cast<std::size_t>(Q - Lo)]) {
            SwapRows(Q, Next);
            Done[static_cast<std::size_t>(Next - Lo)] = 1;
            Q = Next;
        }
    }
}

// The partitions of one range are independent of each other, so the larger
// one is taken by the loop and only the smaller one recursed into: the
// result is the same and the stack stays shallow on any input.
void TProStringGrid::QuickSortRows(int ACol, int Lo, int Hi)
{
    FSortSign = FSortSettings->Direction == sdAscending ? 1 : -1;
    if (Lo < Hi && CanSortByIndex()) {
        // Positions count from Lo: the pivots and exchanges are the same.
        std::vector<int> Perm(static_cast<std::size_t>(Hi - Lo) + 1);
        for (int P = Lo; P <= Hi; ++P)
            Perm[static_cast<std::size_t>(P - Lo)] = P;
        const bool Descending = FSortSettings->Direction == sdDescending;
        const bool Full = FSortSettings->Full;
        const int LastCol = ColCount() - 1;
        std::vector<char> Ignored(static_cast<std::size_t>(std::max(LastCol + 1, 0)), 0);
        for (int C = std::max(ACol, 0); C <= LastCol; ++C)
            Ignored[static_cast<std::size_t>(C)] = IsIgnoredColumn(C) ? 1 : 0;
        auto Prepare = [this, Lo, Hi](int C, TFastSortColumn& Keys) { return PrepareFastSortColumn(C, Lo, Hi, Keys); };
        auto Slow = [this](int C, int A, int B, bool Desc) { return CompareCells(C, A, Desc, B); };
        TLazySortColumns<TFastSortColumn, decltype(Prepare), decltype(Slow)> Columns(ColCount(), Prepare, Slow);
        auto IsIgnored = [this, LastCol, &Ignored](int C) {
            return C >= 0 && C <= LastCol ? Ignored[static_cast<std::size_t>(C)] != 0 : IsIgnoredColumn(C);
        };
        // The sort column's keys are looked up once, not per comparison.
        const TFastSortColumn* First = IsIgnored(ACol) ? nullptr : Columns.Keys(ACol);
        // CompareRows over the keys read ahead.
        auto Compare = [ACol, LastCol, Descending, Full, First, &IsIgnored, &Columns](int A, int B) {
            int C = ACol;
            if (First) {
                const int Res = First->Compare(A, B, Descending);
                if (Res != 0 || !Full || C > LastCol - 1)
                    return Res;
                ++C;
            }
            for (;; ++C) {
                if (IsIgnored(C))
                    return 0;
                const int Res = Columns.Compare(C, A, B, Descending);
                if (Res != 0 || !Full || C > LastCol - 1)
                    return Res;
            }
        };
        if (First && First->NumbersOnly) {
            // A column of numbers alone: the same comparison, spelled out
            // so that it costs no more than comparing two doubles.
            std::vector<TKeyedRow> Keyed(Perm.size());
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Keyed[P] = TKeyedRow{First->Num[P], Perm[P]};
            if (!Full || ACol > LastCol - 1) {
                // The numbers decide alone: descending is ascending over
                // the negated numbers (the sign of every comparison turns).
                if (FSortSign < 0)
                    for (TKeyedRow& K : Keyed)
                        K.Key = -K.Key;
                QuickSortKeyedNumbers(Keyed, 0, Hi - Lo);
            } else {
                auto CompareNumbers = [&Compare](const TKeyedRow& A, const TKeyedRow& B) {
                    const int Res = Sign(A.Key, B.Key);
                    return Res != 0 ? Res : Compare(A.Row, B.Row);
                };
                QuickSortPositions(Keyed, 0, Hi - Lo, FSortSign, true, CompareNumbers);
            }
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Perm[P] = Keyed[P].Row;
        } else {
            QuickSortPositions(Perm, 0, Hi - Lo, FSortSign, true, Compare);
        }
        ApplyRowPermutation(Perm, Lo, Hi);
        return;
    }
    const int S = RowCount() - 2;
    while (Lo < Hi) {
        CopyPivotRow((Lo + Hi) / 2, S);
        int I = Lo;
        int J = Hi;
        do {
            while (CompareRows(ACol, S, I) == FSortSign && I < Hi)
                ++I;
            while (CompareRows(ACol, J, S) == FSortSign && J > Lo)
                --J;
            if (I <= J) {
                if (I != J && CompareRows(ACol, I, J) != 0)
                    SwapRows(I, J);
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - Lo < Hi - I) {
            if (Lo < J)
                QuickSortRows(ACol, Lo, J);
            Lo = I;
        } else {
            if (I < Hi)
                QuickSortRows(ACol, I, Hi);
            Hi = J;
        }
    }
}

void TProStringGrid::QuickSortRowsIndexed(int Depth, int Lo, int Hi)
{
    if (Lo < Hi && CanSortByIndex()) {
        std::vector<int> Perm(static_cast<std::size_t>(Hi - Lo) + 1);
        for (int P = Lo; P <= Hi; ++P)
            Perm[static_cast<std::size_t>(P - Lo)] = P;
        // The list's entries, read once: nothing changes it during a sort.
        struct TLevel {
            int Col;
            bool Descending;
            bool Ignored;
        };
        std::vector<TLevel> Levels;
        for (int D = Depth; D < FSortIndexes->Count(); ++D) {
            const int Entry = FSortIndexes->GetInteger(D);
            const int C = TSortIndexList::ColumnOf(Entry);
            Levels.push_back({C, (static_cast<unsigned>(Entry) & TSortIndexList::DescendingFlag) != 0,
                              IsIgnoredColumn(C)});
        }
        const bool Full = FSortSettings->Full;
        auto Prepare = [this, Lo, Hi](int C, TFastSortColumn& Keys) { return PrepareFastSortColumn(C, Lo, Hi, Keys); };
        auto Slow = [this](int C, int A, int B, bool Desc) { return CompareCells(C, A, Desc, B); };
        TLazySortColumns<TFastSortColumn, decltype(Prepare), decltype(Slow)> Columns(ColCount(), Prepare, Slow);
        // CompareRowsIndexed over the keys read ahead, from level First on.
        auto CompareFrom = [&Levels, Full, &Columns](std::size_t First, int A, int B) {
            for (std::size_t D = First; D < Levels.size(); ++D) {
                const TLevel& L = Levels[D];
                const int Res = L.Ignored ? 0 : Columns.Compare(L.Col, A, B, L.Descending);
                if (Res != 0 || !Full)
                    return L.Descending ? -Res : Res;
            }
            return 0;
        };
        // The first level is always compared: a column of numbers alone
        // there travels with the rows (descending as the negated numbers).
        const TFastSortColumn* Lead =
            Levels.empty() || Levels[0].Ignored ? nullptr : Columns.Keys(Levels[0].Col);
        // With a second level over texts alone, the rows carry the texts'
        // prefixes as well: ties of the first level are mostly decided there.
        const TFastSortColumn* Next = Lead && Lead->NumbersOnly && Full && Levels.size() > 1 && !Levels[1].Ignored
                                          ? Columns.Keys(Levels[1].Col)
                                          : nullptr;
        if (Next && (!Next->Num.empty() || Next->Prefix.empty() || Next->IgnoreBlanks))
            Next = nullptr;
        if (Next) {
            std::vector<TTwoKeyedRow> Keyed(Perm.size());
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Keyed[P] = TTwoKeyedRow{Levels[0].Descending ? -Lead->Num[P] : Lead->Num[P], Next->Prefix[P], Perm[P]};
            const bool SecondDescending = Levels[1].Descending;
            auto CompareKeyed = [SecondDescending, &CompareFrom](const TTwoKeyedRow& A, const TTwoKeyedRow& B) {
                const int Res = Sign(A.Key, B.Key);
                if (Res != 0)
                    return Res;
                if (A.Second != B.Second) {
                    const int Second = A.Second < B.Second ? -1 : 1;
                    return SecondDescending ? -Second : Second;
                }
                return CompareFrom(1, A.Row, B.Row);
            };
            QuickSortPositions(Keyed, 0, Hi - Lo, 1, false, CompareKeyed);
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Perm[P] = Keyed[P].Row;
        } else if (Lead && Lead->NumbersOnly) {
            std::vector<TKeyedRow> Keyed(Perm.size());
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Keyed[P] = TKeyedRow{Levels[0].Descending ? -Lead->Num[P] : Lead->Num[P], Perm[P]};
            auto CompareKeyed = [Full, &CompareFrom](const TKeyedRow& A, const TKeyedRow& B) {
                const int Res = Sign(A.Key, B.Key);
                return Res != 0 || !Full ? Res : CompareFrom(1, A.Row, B.Row);
            };
            QuickSortPositions(Keyed, 0, Hi - Lo, 1, false, CompareKeyed);
            for (std::size_t P = 0; P < Keyed.size(); ++P)
                Perm[P] = Keyed[P].Row;
        } else {
            auto Compare = [&CompareFrom](int A, int B) { return CompareFrom(0, A, B); };
            QuickSortPositions(Perm, 0, Hi - Lo, 1, false, Compare);
        }
        ApplyRowPermutation(Perm, Lo, Hi);
        return;
    }
    const int S = RowCount() - 2;
    while (Lo < Hi) {
        CopyPivotRow((Lo + Hi) / 2, S);
        int I = Lo;
        int J = Hi;
        do {
            while (CompareRowsIndexed(Depth, S, I) == 1 && I < Hi)
                ++I;
            while (CompareRowsIndexed(Depth, J, S) == 1 && J > Lo)
                --J;
            if (I <= J) {
                if (I != J)
                    SwapRows(I, J);
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - Lo < Hi - I) {
            if (Lo < J)
                QuickSortRowsIndexed(Depth, Lo, J);
            Lo = I;
        } else {
            if (I < Hi)
                QuickSortRowsIndexed(Depth, I, Hi);
            Hi = J;
        }
    }
}

void TProStringGrid::QuickSortRowOrder(int Lo, int Hi)
{
    while (Lo < Hi) {
        const int V = FRowOrderCompanion->GetInteger((Lo + Hi) / 2);
        int I = Lo;
        int J = Hi;
        do {
            while (FRowOrderCompanion->GetInteger(I) < V && I < Hi)
                ++I;
            while (V < FRowOrderCompanion->GetInteger(J) && J > Lo)
                --J;
            if (I <= J) {
                if (I != J && FRowOrderCompanion->GetInteger(I) != FRowOrderCompanion->GetInteger(J)) {
                    SwapRows(I, J);
                    FRowOrderCompanion->Exchange(I, J);
                }
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - Lo < Hi - I) {
            if (Lo < J)
                QuickSortRowOrder(Lo, J);
            Lo = I;
        } else {
            if (I < Hi)
                QuickSortRowOrder(I, Hi);
            Hi = J;
        }
    }
}

// ---------------------------------------------------------------------------
// The sort frame

// Everything a sort changes around the rows it moves: the update bracket,
// column 0 set aside, three scratch rows, the key cache. The destructor puts
// it all back, also when a comparison hook raised.
struct TProStringGrid::TSortFrame {
    // The locale's formats read once for the whole sort.
    TLocaleFormatsHeld Formats;
    TProStringGrid* G;
    bool Column0Aside = false;
    std::vector<std::pair<String, TObject*>> Column0;
    int BaseRows = -1;
    int LastWidth = 0;
    TSortKeyCache Keys;
    TSortKeyCache* PrevKeys;
    int PrevNormal;
    int ParkedFrom = -1;

    explicit TSortFrame(TProStringGrid* AGrid, bool AddScratch) : G(AGrid), PrevKeys(AGrid->FSortKeys), PrevNormal(AGrid->NormalRowCount)
    {
        if (G->FSortSettings->NormalCellsOnly && G->TStringGrid::FixedCols() > 0) {
            Column0Aside = true;
            Column0.reserve(static_cast<std::size_t>(G->RowCount()));
            for (int R = 0; R < G->RowCount(); ++R)
                Column0.emplace_back(G->Cells(0, R), G->Objects(0, R));
        }
        G->BeginUpdate();
        Keys.Formats = GridLocaleFormats();
        Keys.TimeSep = LocaleTimeSeparator();
        // Kept keys are only right while nothing can change a text or a
        // style behind the sort's back.
        Keys.Enabled = !G->OnGetDisplText && !G->OnGetDisplWideText && !G->OnCustomCompare
                       && !G->OnRawCompare && !G->FSortSettings->SingleColumn && !Column0Aside;
        G->FSortKeys = &Keys;
        LastWidth = G->ColWidths(G->ColCount() - 1);
        if (AddScratch) {
            BaseRows = G->RowCount();
            G->ChangeRowCount(BaseRows + 3);
            G->NormalRowCount = BaseRows;
        }
    }

    // The current row is taken off the rows that move and waits on the first
    // scratch row, so that nothing asked during the sort sees it on a row
    // whose data changes under it. Quietly: no row change is reported and
    // the view does not scroll.
    void ParkCurrentRow()
    {
        if (BaseRows < 0 || !G->FNavigation->MoveRowOnSort || G->Row() >= BaseRows)
            return;
        ParkedFrom = G->Row();
        MoveQuietly(BaseRows);
    }

    void MoveQuietly(int ARow)
    {
        const bool KeepLock = G->InternalMoveLock;
        G->InternalMoveLock = true;
        try {
            G->MoveColRow(G->Col(), ARow, true, false);
        } catch (...) {
            G->InternalMoveLock = KeepLock;
            throw;
        }
        G->InternalMoveLock = KeepLock;
    }

    ~TSortFrame()
    {
        try {
            // Back where it was before the scratch rows go; the sort's
            // caller then moves it to where its row went, as a user's move.
            if (ParkedFrom >= 0 && G->Row() >= BaseRows)
                MoveQuietly(ParkedFrom);
        } catch (...) {
        }
        try {
            if (BaseRows >= 0) {
                // The scratch rows share object references with real rows:
                // they are emptied without freeing anything.
                const bool Keep = G->DiscardingScratchRows;
                G->DiscardingScratchRows = true;
                for (int R = BaseRows; R < BaseRows + 3; ++R)
                    G->DropRowCells(R);
                G->DiscardingScratchRows = Keep;
                G->ChangeRowCount(BaseRows);
            }
            G->SetColWidths(G->ColCount() - 1, LastWidth);
            if (Column0Aside)
                for (std::size_t R = 0; R < Column0.size(); ++R) {
                    G->SetCells(0, static_cast<int>(R), Column0[R].first);
                    G->SetObjects(0, static_cast<int>(R), Column0[R].second);
                }
        } catch (...) {
        }
        G->NormalRowCount = PrevNormal;
        // Rows moved inside this frame left an enclosing sort's keys behind.
        if (PrevKeys)
            PrevKeys->Keys.clear();
        G->FSortKeys = PrevKeys;
        G->EndUpdate();
    }
};

// The merges a sort could take apart, set aside while it runs and put back
// afterwards wherever their cells still stand together.
//
// Set aside are the merges over the rows that may move whose cells do not
// all travel as one: a merge over several rows, or one over a column that
// moves and one that stays (a single-column sort moves the sort column's
// cells only; with NormalCellsOnly column 0 stays). While the sort runs such
// a merge is split and its covered cells hold the merge's text, so that they
// compare as the user sees them. Afterwards every covered cell gets its own
// text back where its row went; a merge whose cells all moved by the same
// number of rows is merged again there, and one the sort put apart stays
// split, its cells showing their own texts.
struct TProStringGrid::TSortMerges {
    struct TMerge {
        int Col;
        int Row;
        int SpanX;
        int SpanY;
        std::vector<String> Own;   // the cells' own texts, row by row
    };
    TProStringGrid* G;
    std::vector<TMerge> Merges;
    std::vector<int> Places;   // Places[P]: the row that stood at P before the sort

    TSortMerges(TProStringGrid* AGrid, int First, int Last) : G(AGrid)
    {
        if (!G->PropertiesCreated)
            return;
        // Each merge once: at its base cell, or in the first row for one
        // that starts above.
        const int Start = std::max(First, 0);
        for (int R = Start; R <= Last && R < G->RowCount(); ++R)
            for (int C = 0; C < G->AllColCount(); ++C) {
                if (!G->IsMergedCell(C, R))
                    continue;
                const TPoint Base = G->BaseCell(C, R);
                if (Base.x == C && (Base.y == R || R == Start))
                    SetAside(Base);
            }
        if (Merges.empty())
            return;
        Places.resize(static_cast<std::size_t>(G->RowCount()));
        for (std::size_t P = 0; P < Places.size(); ++P)
            Places[P] = static_cast<int>(P);
        G->FSortPlaces = &Places;
    }

    ~TSortMerges()
    {
        if (Merges.empty())
            return;
        G->FSortPlaces = nullptr;
        try {
            std::vector<int> Now(Places.size());
            for (std::size_t P = 0; P < Places.size(); ++P)
                Now[static_cast<std::size_t>(Places[P])] = static_cast<int>(P);
            for (const TMerge& M : Merges)
                PutBack(M, Now);
        } catch (...) {
            // A merge that cannot be put back stays split.
        }
    }

    TSortMerges(const TSortMerges&) = delete;
    TSortMerges& operator=(const TSortMerges&) = delete;

    bool Moves(int ACol) const
    {
        if (G->FSortSettings->SingleColumn)
            return ACol == G->FSortSettings->Column;
        return !(ACol == 0 && G->FSortSettings->NormalCellsOnly && G->TStringGrid::FixedCols() > 0);
    }

    void SetAside(TPoint Base)
    {
        const int BC = static_cast<int>(Base.x);
        const int BR = static_cast<int>(Base.y);
        const TPoint Span = G->MergedSpan(BC, BR);
        const int SX = static_cast<int>(Span.x);
        const int SY = static_cast<int>(Span.y);
        bool AnyMoves = false;
        bool AllMove = true;
        for (int C = BC; C <= BC + SX; ++C) {
            AnyMoves = AnyMoves || Moves(C);
            AllMove = AllMove && Moves(C);
        }
        if (!AnyMoves || (SY == 0 && AllMove))
            return;
        TMerge M{BC, BR, SX, SY, {}};
        const String Shown = G->Cells(BC, BR);
        for (int R = BR; R <= BR + SY; ++R)
            for (int C = BC; C <= BC + SX; ++C)
                M.Own.push_back(G->Cells(C, R));
        G->SplitCells(BC, BR);
        for (int R = BR; R <= BR + SY; ++R)
            for (int C = BC; C <= BC + SX; ++C)
                G->SetCells(C, R, Shown);
        Merges.push_back(std::move(M));
    }

    void PutBack(const TMerge& M, const std::vector<int>& Now)
    {
        auto RowNow = [&](int C, int R) {
            return Moves(C) && R < static_cast<int>(Now.size()) ? Now[static_cast<std::size_t>(R)] : R;
        };
        const int Shift = RowNow(M.Col, M.Row) - M.Row;
        bool Whole = true;
        std::size_t I = 0;
        for (int R = M.Row; R <= M.Row + M.SpanY; ++R)
            for (int C = M.Col; C <= M.Col + M.SpanX; ++C) {
                const int To = RowNow(C, R);
                G->SetCells(C, To, M.Own[I++]);
                Whole = Whole && To - R == Shift;
            }
        if (Whole)
            G->MergeCells(M.Col, M.Row + Shift, M.SpanX + 1, M.SpanY + 1);
    }
};

void TProStringGrid::InitRowOrder()
{
    FRowOrder->Clear();
    for (int R = 0; R < RowCount(); ++R)
        FRowOrder->Add(R);
}

void TProStringGrid::SortRowsFramed(bool Indexed)
{
    if (FRowOrder->Count() != RowCount())
        InitRowOrder();
    if (Indexed) {
        if (FSortIndexes->Count() == 0)
            throw EProGridError("No indexes specified for indexed sort");
    } else {
        FSortIndexes->Clear();
    }
    const int Remembered = Row();
    TrackedRow = Remembered;
    {
        TSortMerges Merges(this, TStringGrid::FixedRows(), RowCount() - 1 - FFixedFooters);
        TSortFrame Frame(this, true);
        Frame.ParkCurrentRow();
        const int First = TStringGrid::FixedRows();
        const int Last = RowCount() - 1 - 3 - FFixedFooters;
        if (Indexed)
            QuickSortRowsIndexed(0, First, Last);
        else
            QuickSortRows(FSortSettings->Column, First, Last);
    }
    if (FNavigation->MoveRowOnSort) {
        if (TrackedRow >= 0 && TrackedRow < RowCount())
            SetRow(TrackedRow);
        FLastReportedRow = -1;
    } else if (Remembered < RowCount() && Row() != Remembered) {
        SetRow(Remembered);
    }
    if (!Indexed && OnRowUpdate && !FNavigation->MoveRowOnSort)
        OnRowUpdate(this, Remembered, Row());
}

void TProStringGrid::SortRows() { SortRowsFramed(false); }

void TProStringGrid::SortRowsIndexed() { SortRowsFramed(true); }

void TProStringGrid::SortRangeIndexed(int Lo, int Hi)
{
    TSortFrame Frame(this, true);
    QuickSortRowsIndexed(0, Lo, Hi);
}

void TProStringGrid::SortRowsInNodes(bool Indexed)
{
    if (FRowOrder->Count() != RowCount())
        InitRowOrder();
    const int Remembered = Row();
    TrackedRow = Remembered;
    {
        TSortMerges Merges(this, TStringGrid::FixedRows(), RowCount() - 1 - FFixedFooters);
        TSortFrame Frame(this, true);
        Frame.ParkCurrentRow();
        const int Last = RowCount() - 1 - 3 - FFixedFooters;
        for (int R = TStringGrid::FixedRows(); R <= Last; ++R) {
            if (!IsNodeRow(R) || IsNodeContracted(R))
                continue;
            const int Span = GetNodeSpan(R);
            if (Span < 3)
                continue;
            const int Hi = std::min(R + Span - 1, Last);
            if (Indexed) {
                if (FSortIndexes->Count() > 0)
                    SortRangeIndexed(R + 1, Hi);
            } else {
                QuickSortRows(FSortSettings->Column, R + 1, Hi);
            }
        }
    }
    if (FNavigation->MoveRowOnSort) {
        if (TrackedRow >= 0 && TrackedRow < RowCount())
            SetRow(TrackedRow);
        FLastReportedRow = -1;
    } else if (Remembered < RowCount() && Row() != Remembered) {
        SetRow(Remembered);
    }
}

void TProStringGrid::SortNodeGroups() { SortRowsInNodes(false); }

void TProStringGrid::SortNodeGroupsIndexed() { SortRowsInNodes(true); }

void TProStringGrid::RestoreRowOrder()
{
    // The saved order must name every row once; after rows were inserted,
    // removed or moved it is dropped, and there is nothing to restore.
    const int N = RowCount();
    if (FRowOrder->Count() != N)
        return;
    std::vector<char> Seen(static_cast<std::size_t>(N), 0);
    for (int V : FRowOrder->Items()) {
        if (V < 0 || V >= N || Seen[static_cast<std::size_t>(V)])
            return;
        Seen[static_cast<std::size_t>(V)] = 1;
    }
    bool InOrder = true;
    for (int R = 0; R < N && InOrder; ++R)
        InOrder = FRowOrder->GetInteger(R) == R;
    if (InOrder)
        return;
    // A merge whose rows the restored order puts apart is split; the others
    // move with their rows.
    TSortMerges Merges(this, 0, N - 1);
    FRowOrderCompanion->Assign(FRowOrder.get());
    TSortFrame Frame(this, false);
    QuickSortRowOrder(0, N - 1);
}
