// TStringGrid: a text and an object reference per cell, kept row by row, and
// the string list that shows one row.
#include "framework/Grids.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

// Row FRow of the grid as a list of ColCount items.
class TStringGridRow : public TStrings {
public:
    TStringGridRow(TStringGrid* Grid, int Row) : FGrid(Grid), FRow(Row) {}

    int Count() const override { return FGrid->ColCount(); }
    String Strings(int Index) const override
    {
        Check(Index);
        return FGrid->Cells(Index, FRow);
    }
    void Put(int Index, const String& S) override
    {
        Check(Index);
        FGrid->SetCells(Index, FRow, S);
    }
    TObject* Objects(int Index) const override
    {
        Check(Index);
        return FGrid->Objects(Index, FRow);
    }
    void PutObject(int Index, TObject* AObject) override
    {
        Check(Index);
        FGrid->SetObjects(Index, FRow, AObject);
    }
    int Add(const String& S) override { return AddObject(S, nullptr); }
    int AddObject(const String& S, TObject* AObject) override
    {
        if (FAddPos < 0)
            FAddPos = AfterLastUsed();
        if (FAddPos >= Count())
            return -1;
        const int index = FAddPos++;
        FGrid->SetCells(index, FRow, S);
        FGrid->SetObjects(index, FRow, AObject);
        return index;
    }
    void Insert(int Index, const String& S) override { InsertObject(Index, S, nullptr); }
    void InsertObject(int Index, const String& S, TObject* AObject) override
    {
        if (Index != Count())
            throw EListError("A grid row has a fixed number of items");
        AddObject(S, AObject);
    }
    void Delete(int) override { throw EListError("A grid row has a fixed number of items"); }
    void Clear() override
    {
        for (int c = 0; c < Count(); ++c) {
            FGrid->SetCells(c, FRow, String());
            FGrid->SetObjects(c, FRow, nullptr);
        }
        FAddPos = 0;
    }
    // Rotates the items between the two places; the row keeps its length.
    void Move(int CurIndex, int NewIndex) override
    {
        Check(CurIndex);
        Check(NewIndex);
        const int step = CurIndex < NewIndex ? 1 : -1;
        for (int i = CurIndex; i != NewIndex; i += step)
            Exchange(i, i + step);
    }

private:
    void Check(int Index) const
    {
        if (Index < 0 || Index >= Count())
            RaiseIndexError(Index);
    }
    int AfterLastUsed() const
    {
        for (int c = Count() - 1; c >= 0; --c)
            if (!FGrid->Cells(c, FRow).empty() || FGrid->Objects(c, FRow) != nullptr)
                return c + 1;
        return 0;
    }

    TStringGrid* FGrid;
    int FRow;
    int FAddPos = -1;
};

TStringGrid::TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

// From here on a focus change writes nothing back into the storage.
TStringGrid::~TStringGrid()
{
    Destroying();
}

TStringGrid::TCell::TCell(TCell&& Other) noexcept : Col(Other.Col), FLength(Other.FLength), Object(Other.Object)
{
    static_assert(sizeof(TCell) == 32, "a stored cell takes 32 bytes");
    std::memcpy(FInline, Other.FInline, InlineBytes);
    Other.FLength = 0;
}

TStringGrid::TCell& TStringGrid::TCell::operator=(TCell&& Other) noexcept
{
    if (this != &Other) {
        FreeText();
        Col = Other.Col;
        Object = Other.Object;
        FLength = Other.FLength;
        std::memcpy(FInline, Other.FInline, InlineBytes);
        Other.FLength = 0;
    }
    return *this;
}

void TStringGrid::TCell::FreeText()
{
    if (FLength > InlineBytes)
        delete[] FHeap;
    FLength = 0;
}

void TStringGrid::TCell::SetText(std::string_view Value)
{
    if (Value.size() > UINT32_MAX)
        throw std::length_error("A cell text of 4 GB or more cannot be stored");
    // The new text is copied before the old one goes: Value may be part of it.
    char* Heap = nullptr;
    if (Value.size() > InlineBytes) {
        Heap = new char[Value.size()];
        std::memcpy(Heap, Value.data(), Value.size());
    }
    char Inline[InlineBytes];
    if (!Heap && !Value.empty())
        std::memcpy(Inline, Value.data(), Value.size());
    FreeText();
    FLength = static_cast<std::uint32_t>(Value.size());
    if (Heap)
        FHeap = Heap;
    else if (FLength > 0)
        std::memcpy(FInline, Inline, FLength);
}

namespace {

// The first stored cell of a row at or after column ACol. Rows written left
// to right without gaps hold column c at index c: that case needs no search.
template <class TRowCells>
auto LowerCell(TRowCells& Cells, int ACol)
{
    const auto Index = static_cast<std::size_t>(ACol);
    if (Index < Cells.size() && Cells[Index].Col == ACol)
        return Cells.begin() + static_cast<std::ptrdiff_t>(Index);
    return std::lower_bound(Cells.begin(), Cells.end(), ACol,
                            [](const auto& Cell, int Col) { return Cell.Col < Col; });
}

} // namespace

void TStringGrid::FreeRow(TCells& Cells)
{
    Cells.clear();
    Cells.shrink_to_fit();
}

void TStringGrid::StoreRowsUpTo(std::size_t Count)
{
    while (FRows.size() < Count)
        FRows.emplace_back(&FCellPool);
}

// Rows at the end that hold nothing are no longer stored; with no row left
// the pool gives its memory back.
void TStringGrid::DropEmptyLastRows()
{
    while (!FRows.empty() && FRows.back().empty())
        FRows.pop_back();
    if (FRows.empty())
        FCellPool.release();
}

const TStringGrid::TCell* TStringGrid::FindCell(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || static_cast<std::size_t>(ARow) >= FRows.size())
        return nullptr;
    const TCells& cells = FRows[static_cast<std::size_t>(ARow)];
    const auto it = LowerCell(cells, ACol);
    return it != cells.end() && it->Col == ACol ? &*it : nullptr;
}

void TStringGrid::ExpectRowCells(int ARow, int ACount)
{
    FExpectedRow = ACount > 0 ? ARow : -1;
    FExpectedCells = ACount;
}

TStringGrid::TCell& TStringGrid::CellForWrite(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        throw EInvalidGridOperation("Grid index out of range");
    const auto row = static_cast<std::size_t>(ARow);
    if (row >= FRows.size())
        StoreRowsUpTo(row + 1);
    auto& cells = FRows[row];
    // A loader said how many cells this row is about to take: the array
    // grows once, at the first write that needs room. A row that already
    // holds more still at least doubles, so that loads coming back to the
    // row a cell at a time stay linear.
    if (ARow == FExpectedRow && cells.size() == cells.capacity()) {
        cells.reserve(std::max(cells.size() + static_cast<std::size_t>(FExpectedCells), 2 * cells.capacity()));
        FExpectedRow = -1;
    }
    if (cells.empty() || cells.back().Col < ACol)
        return cells.emplace_back(ACol);
    const auto it = LowerCell(cells, ACol);
    if (it != cells.end() && it->Col == ACol)
        return *it;
    return *cells.emplace(it, ACol);
}

// Only a row's last cell is dropped (at no cost): erasing from the middle
// would make clearing a wide row left to right quadratic.
void TStringGrid::DropIfEmpty(int ACol, int ARow)
{
    auto& cells = FRows[static_cast<std::size_t>(ARow)];
    const TCell& back = cells.back();
    if (back.Col != ACol || !back.Text().empty() || back.Object != nullptr)
        return;
    cells.pop_back();
    if (cells.empty())
        FreeRow(cells);
    DropEmptyLastRows();
}

int TStringGrid::StoredColCount(int ARow) const
{
    if (ARow < 0 || static_cast<std::size_t>(ARow) >= FRows.size() || FRows[static_cast<std::size_t>(ARow)].empty())
        return 0;
    return FRows[static_cast<std::size_t>(ARow)].back().Col + 1;
}

String TStringGrid::Cells(int ACol, int ARow) const
{
    const TCell* cell = FindCell(ACol, ARow);
    return cell != nullptr ? String(cell->Text()) : String();
}

void TStringGrid::SetCells(int ACol, int ARow, const String& Value)
{
    if (Value.empty() && FindCell(ACol, ARow) == nullptr) {
        if (ACol < 0 || ARow < 0)
            throw EInvalidGridOperation("Grid index out of range");
        return;
    }
    CellForWrite(ACol, ARow).SetText(Value);
    if (Value.empty())
        DropIfEmpty(ACol, ARow);
    InvalidateCell(ACol, ARow);
    EditedCellWritten(ACol, ARow);
}

TObject* TStringGrid::Objects(int ACol, int ARow) const
{
    const TCell* cell = FindCell(ACol, ARow);
    return cell != nullptr ? cell->Object : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value)
{
    if (Value == nullptr && FindCell(ACol, ARow) == nullptr) {
        if (ACol < 0 || ARow < 0)
            throw EInvalidGridOperation("Grid index out of range");
        return;
    }
    CellForWrite(ACol, ARow).Object = Value;
    if (Value == nullptr)
        DropIfEmpty(ACol, ARow);
}

TStrings* TStringGrid::Rows(int ARow)
{
    if (ARow < 0)
        throw EInvalidGridOperation("Grid index out of range");
    auto& list = FRowLists[ARow];
    if (!list)
        list = std::make_unique<TStringGridRow>(this, ARow);
    return list.get();
}

void TStringGrid::ExchangeRowCells(int ARow1, int ARow2)
{
    if (ARow1 < 0 || ARow2 < 0)
        throw EInvalidGridOperation("Grid index out of range");
    const auto needed = static_cast<std::size_t>(std::max(ARow1, ARow2)) + 1;
    if (FRows.size() < needed)
        StoreRowsUpTo(needed);
    std::swap(FRows[static_cast<std::size_t>(ARow1)], FRows[static_cast<std::size_t>(ARow2)]);
}

namespace {

// Whether From lists First .. First + From.size() - 1, each once.
bool IsPermutationOf(int First, const std::vector<int>& From)
{
    std::vector<char> seen(From.size(), 0);
    for (const int row : From) {
        const Int64 at = static_cast<Int64>(row) - First;
        if (at < 0 || at >= static_cast<Int64>(From.size()) || seen[static_cast<std::size_t>(at)])
            return false;
        seen[static_cast<std::size_t>(at)] = 1;
    }
    return true;
}

} // namespace

void TStringGrid::PermuteRowCells(int First, const std::vector<int>& From)
{
    if (First < 0 || !IsPermutationOf(First, From))
        throw EInvalidGridOperation("Grid index out of range");
    const std::size_t end = static_cast<std::size_t>(First) + From.size();
    if (FRows.size() < end)
        StoreRowsUpTo(end);
    // Gathered first, then written back in order: every row is read once
    // and the reads do not wait for one another. Every row's array comes
    // from the grid's one pool, so the moves hand buffers over without
    // copying a cell.
    std::vector<TCells> moved;
    moved.reserve(From.size());
    for (std::size_t p = 0; p < From.size(); ++p)
        moved.push_back(std::move(FRows[static_cast<std::size_t>(From[p])]));
    for (std::size_t p = 0; p < From.size(); ++p)
        FRows[static_cast<std::size_t>(First) + p] = std::move(moved[p]);
}

void TStringGrid::VisitColumnTexts(int ACol, int First, int Last,
                                   const std::function<void(int Row, std::string_view Text)>& Visit) const
{
    auto cellsOf = [this](int Row) -> const TCells* {
        return Row >= 0 && static_cast<std::size_t>(Row) < FRows.size() ? &FRows[static_cast<std::size_t>(Row)]
                                                                         : nullptr;
    };
    // A row's cells are two steps away (the row's list, then its buffer):
    // the list is fetched sixteen rows ahead, its buffer eight rows ahead,
    // when the list has arrived.
    constexpr int listAhead = 16;
    constexpr int bufferAhead = 8;
    for (int row = First; row <= Last; ++row) {
        if (const TCells* ahead = row + listAhead <= Last ? cellsOf(row + listAhead) : nullptr)
            __builtin_prefetch(ahead);
        if (const TCells* ahead = row + bufferAhead <= Last ? cellsOf(row + bufferAhead) : nullptr)
            __builtin_prefetch(ahead->data());
        std::string_view text;
        if (const TCells* cells = cellsOf(row)) {
            const auto it = LowerCell(*cells, ACol);
            if (it != cells->end() && it->Col == ACol)
                text = it->Text();
        }
        Visit(row, text);
    }
}

void TStringGrid::ReleaseRowCells(int ARow)
{
    if (ARow < 0)
        throw EInvalidGridOperation("Grid index out of range");
    if (static_cast<std::size_t>(ARow) < FRows.size())
        FreeRow(FRows[static_cast<std::size_t>(ARow)]);
}

// A growth of a count empties what it covers again; a shrink keeps it all.
void TStringGrid::StorageCountsChanged(int OldColCount, int OldRowCount)
{
    const auto rows = static_cast<std::size_t>(RowCount());
    if (RowCount() > OldRowCount)
        for (auto r = static_cast<std::size_t>(OldRowCount); r < std::min(rows, FRows.size()); ++r)
            FreeRow(FRows[r]);
    if (ColCount() > OldColCount) {
        for (auto& cells : FRows) {
            const auto from = LowerCell(cells, OldColCount);
            const auto to = LowerCell(cells, ColCount());
            cells.erase(from, to);
            if (cells.empty())
                FreeRow(cells);
        }
    }
    DropEmptyLastRows();
}

void TStringGrid::DeleteRow(int ARow)
{
    if (ARow < 0 || ARow >= RowCount())
        throw EInvalidGridOperation("Grid index out of range");
    const auto row = static_cast<std::size_t>(ARow);
    if (row < FRows.size()) {
        if (RowCount() == 1)
            FreeRow(FRows[row]);
        else
            FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(row));
        DropEmptyLastRows();
    }
    TDrawGrid::DeleteRow(ARow);
}

void TStringGrid::DeleteRows(int ARow, int ACount)
{
    if (ARow < 0 || ARow >= RowCount() || ACount < 0)
        throw EInvalidGridOperation("Grid index out of range");
    ACount = std::min(ACount, RowCount() - ARow);
    if (ACount >= RowCount() - 1) {
        for (int i = 0; i < ACount; ++i)
            DeleteRow(ARow);
        return;
    }
    const auto first = std::min(static_cast<std::size_t>(ARow), FRows.size());
    const auto last = std::min(first + static_cast<std::size_t>(ACount), FRows.size());
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(first), FRows.begin() + static_cast<std::ptrdiff_t>(last));
    DropEmptyLastRows();
    TDrawGrid::DeleteRows(ARow, ACount);
}

void TStringGrid::DeleteColumn(int ACol)
{
    if (ACol < 0 || ACol >= ColCount())
        throw EInvalidGridOperation("Grid index out of range");
    const bool last = ColCount() == 1;
    for (auto& cells : FRows) {
        auto it = LowerCell(cells, ACol);
        if (it != cells.end() && it->Col == ACol)
            it = cells.erase(it);
        // The last column is only emptied; otherwise those after it move left.
        if (!last)
            for (; it != cells.end(); ++it)
                --it->Col;
        if (cells.empty())
            FreeRow(cells);
    }
    TDrawGrid::DeleteColumn(ACol);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex)
{
    const int low = std::min(FromIndex, ToIndex);
    const int high = std::max(FromIndex, ToIndex);
    for (auto& cells : FRows) {
        const auto first = LowerCell(cells, low);
        const auto last = LowerCell(cells, high + 1);
        for (auto it = first; it != last; ++it) {
            if (it->Col == FromIndex)
                it->Col = ToIndex;
            else
                it->Col += FromIndex < ToIndex ? -1 : 1;
        }
        std::sort(first, last, [](const TCell& A, const TCell& B) { return A.Col < B.Col; });
    }
    Invalidate();
    TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex)
{
    const auto from = static_cast<std::size_t>(FromIndex);
    const auto to = static_cast<std::size_t>(ToIndex);
    if (FRows.size() <= std::max(from, to))
        StoreRowsUpTo(std::max(from, to) + 1);
    auto row = std::move(FRows[from]);
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(from));
    FRows.insert(FRows.begin() + static_cast<std::ptrdiff_t>(to), std::move(row));
    Invalidate();
    TDrawGrid::RowMoved(FromIndex, ToIndex);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (DefaultDrawing())
        Canvas()->TextRect(ARect, ARect.left + 2, ARect.top + 2, Cells(ACol, ARow));
    TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}

String TStringGrid::GetEditText(int ACol, int ARow)
{
    String value = Cells(ACol, ARow);
    if (OnGetEditText)
        OnGetEditText(this, ACol, ARow, value);
    return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const String& Value)
{
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}
