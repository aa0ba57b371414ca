#include "grid/core/ProObj.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/StrUtils.h"

// ---- TIntList ---------------------------------------------------------------

TIntList::TIntList(int ColumnTag, int RowTag) : FColumnTag(ColumnTag), FRowTag(RowTag) {}

void TIntList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

void TIntList::Changed()
{
    if (OnChange)
        OnChange(this, FColumnTag, FRowTag);
}

void TIntList::SetInteger(int Index, int Value)
{
    CheckIndex(Index);
    FItems[Index] = Value;
    Changed();
}

void TIntList::AddInteger(int Value)
{
    FItems.push_back(Value);
    Changed();
}

void TIntList::DeleteIndex(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TIntList::RemoveValue(int Value)
{
    const int i = IndexOf(Value);
    if (i >= 0)
        DeleteIndex(i);
}

void TIntList::InsertInteger(int Index, int Value)
{
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    FItems.insert(FItems.begin() + Index, Value);
}

int TIntList::Add(int Value)
{
    FItems.push_back(Value);
    return Count() - 1;
}

void TIntList::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

void TIntList::Clear()
{
    FItems.clear();
}

void TIntList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
}

void TIntList::Permute(int First, const std::vector<int>& From)
{
    if (From.empty())
        return;
    CheckIndex(First);
    CheckIndex(First + static_cast<int>(From.size()) - 1);
    std::vector<int> Moved(From.size());
    for (std::size_t P = 0; P < From.size(); ++P) {
        CheckIndex(From[P]);
        Moved[P] = FItems[static_cast<std::size_t>(From[P])];
    }
    std::copy(Moved.begin(), Moved.end(), FItems.begin() + First);
}

void TIntList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    const int v = FItems[CurIndex];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, v);
}

void TIntList::Assign(const TIntList* Source)
{
    if (Source && Source != this)
        FItems = Source->FItems;
}

int TIntList::GetInteger(int Index) const
{
    CheckIndex(Index);
    return FItems[Index];
}

int TIntList::IndexOf(int Value) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Value);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

String TIntList::GetCommaText() const
{
    String s;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            s += ',';
        s += IntToStr(FItems[i]);
    }
    return s;
}

void TIntList::SetCommaText(const String& Text)
{
    std::vector<int> values;
    if (!Text.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = Text.find(',', start);
            values.push_back(StrToInt(Text.substr(start, comma == String::npos ? String::npos : comma - start)));
            if (comma == String::npos)
                break;
            start = comma + 1;
        }
    }
    Clear();
    for (int v : values)
        AddInteger(v);
}

// ---- TSortIndexList ---------------------------------------------------------

void TSortIndexList::AddSortColumn(int Col, bool Ascending)
{
    AddInteger(Ascending ? Col : static_cast<int>(static_cast<unsigned>(Col) | DescendingFlag));
}

int TSortIndexList::FindSortColumn(int Col) const
{
    for (int i = 0; i < Count(); ++i)
        if (ColumnOf(Items()[i]) == Col)
            return i;
    return -1;
}

int TSortIndexList::GetSortColumn(int Index) const
{
    return ColumnOf(GetInteger(Index));
}

bool TSortIndexList::IsAscending(int Index) const
{
    return (static_cast<unsigned>(GetInteger(Index)) & DescendingFlag) == 0;
}

void TSortIndexList::ToggleSortDirection(int Col)
{
    const int i = FindSortColumn(Col);
    if (i >= 0)
        SetInteger(i, static_cast<int>(static_cast<unsigned>(GetInteger(i)) ^ DescendingFlag));
}
