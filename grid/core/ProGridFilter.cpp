// Filtering: the condition list, the test of one row against it and hiding
// the rows that fail through the hidden-row store, so that switching the
// filter off gives every row back with its data.

#include <cmath>

#include "framework/Codepage.h"
#include "grid/core/ConditionMatch.h"
#include "grid/core/GridCellText.h"
#include "grid/core/GridLocaleFormats.h"
#include "grid/core/ProGrid.h"

// ---------------------------------------------------------------------------
// The condition list

void TFilterData::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TFilterData*>(Source);
    if (!S)
        return;
    Column = S->Column;
    Condition = S->Condition;
    CaseSensitive = S->CaseSensitive;
    Data = S->Data;
    Prefix = S->Prefix;
    Suffix = S->Suffix;
    Operation = S->Operation;
}

void TFilter::Assign(const TPersistent* Source)
{
    const auto* S = dynamic_cast<const TFilter*>(Source);
    if (!S || S == this)
        return;
    FItems.clear();
    for (const auto& Item : S->FItems)
        Add()->Assign(Item.get());
}

TFilterData* TFilter::Add()
{
    FItems.push_back(std::make_unique<TFilterData>(this));
    return FItems.back().get();
}

void TFilter::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

// ---------------------------------------------------------------------------
// Matching and applying

void TProStringGrid::CalcCellValue(int ACol, int ARow, String& Text) { Text = ReadCellText(ACol, ARow); }

bool TProStringGrid::MatchFilterRow(int ARow)
{
    bool Result = true;
    for (int I = 0; I < FFilter->Count(); ++I) {
        const TFilterData* F = FFilter->Items(I);
        String Text;
        switch (F->Data) {
        case fcNormal:
            Text = GetCellTextRaw(F->Column, ARow);
            break;
        case fcStripHTML:
            Text = ReadCellPlainText(F->Column, ARow);
            break;
        case fcCalculated:
            CalcCellValue(F->Column, ARow, Text);
            break;
        default:
            Text = ReadCellText(F->Column, ARow);
            break;
        }
        if (Text.find(WideTextMarker) != String::npos)
            Text = WideToStr(UnpackWideText(Text));
        if (!F->Prefix.empty() && Text.starts_with(F->Prefix))
            Text.erase(0, F->Prefix.size());
        if (!F->Suffix.empty()) {
            const std::size_t P = Text.find(F->Suffix);
            if (P != String::npos && P + F->Suffix.size() == Text.size())
                Text.erase(P);
        }
        bool Match = false;
        try {
            Match = MatchCondition(F->Condition, Text, F->CaseSensitive);
        } catch (const std::exception&) {
            Match = false;
        }
        bool Stop = false;
        switch (F->Operation) {
        case foSHORT: {
            // A failure ends the walk, unless the next condition is joined
            // by "or" or "exclusive or", which can still let the row pass.
            Result = Match;
            const bool NextJoins = I + 1 < FFilter->Count()
                && (FFilter->Items(I + 1)->Operation == foOR || FFilter->Items(I + 1)->Operation == foXOR);
            Stop = !Match && !NextJoins;
            break;
        }
        case foNONE:
            Result = Match;
            break;
        case foAND:
            Result = Result && Match;
            break;
        case foXOR:
            Result = Result != Match;
            break;
        case foOR:
            Result = Result || Match;
            break;
        }
        if (Stop)
            break;
    }
    if (OnCustomFilter)
        OnCustomFilter(this, ARow, Result);
    return Result;
}

void TProStringGrid::ApplyFilter()
{
    const int First = TStringGrid::FixedRows();
    const int Last = RowCount() - FFixedFooters - 1;
    const int Normal = Last - First + 1;
    std::vector<int> Failed;
    // Rows are tested as shown; what is hidden is named by its real row, so
    // rows under contracted nodes keep their places.
    std::size_t H = 0;
    int Real = First;
    auto SkipHidden = [&] {
        while (H < FHiddenRows.size() && FHiddenRows[H]->Idx < Real)
            ++H;
        while (H < FHiddenRows.size() && FHiddenRows[H]->Idx == Real) {
            ++Real;
            ++H;
        }
    };
    Real = DisplayToRealRow(First);
    const TLocaleFormatsHeld Formats;
    short Percent = 0;
    for (int R = First; R <= Last; ++R) {
        SkipHidden();
        if (!MatchFilterRow(R))
            Failed.push_back(Real);
        ++Real;
        if (OnFilterProgress && Normal > 0) {
            Percent = static_cast<short>(std::lround(100.0 * (R - First + 1) / Normal));
            OnFilterProgress(this, Percent);
        }
    }
    HideRowList(Failed);
    if (OnFilterProgress && Normal > 0)
        OnFilterProgress(this, Percent);
}

void TProStringGrid::SetFilterActive(bool Value)
{
    if (Value != FFilterActive) {
        FFilterActive = Value;
        if (Value) {
            FFilterFixedRows = FixedRows();
            BeginUpdate();
            try {
                ApplyFilter();
            } catch (...) {
                EndUpdate();
                throw;
            }
            EndUpdate();
            FSelectionHidden = false;
        } else {
            UnHideRowsAll();
            // Rows of contracted nodes came back with the filtered ones; the
            // nodes say so.
            for (int R = TStringGrid::FixedRows(); R < RowCount(); ++R)
                if (TCellGraphic* G = NodeGraphic(R))
                    G->CellBoolean = false;
            if (FixedRows() != FFilterFixedRows && FFilterFixedRows < RowCount())
                SetFixedRows(FFilterFixedRows);
            if (FSelectionHidden)
                RestoreSelection();
        }
    }
    RecalcFooterColumn(-1);
}
