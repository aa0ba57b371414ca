#pragma once
// Small classes the string grid and its panels share: integer lists with a
// change event (row order, merge columns, selections, image indexes), the
// multi-column sort list, the list of controls embedded in cells, a picture
// read from a file, a line reader over a loaded text file, the arrow windows
// shown at row and column move targets, the popup button drawn over the grid
// and the graphic button of the search panel.

#include <functional>
#include <memory>
#include <vector>

#include "framework/Object.h"

class TIntList;

// Called after an event-firing change with the list and its two tags.
using TIntListChangeEvent = std::function<void(TIntList* Sender, int ColumnTag, int RowTag)>;

// A list of integers with two tags (a column and a row, given at creation).
// Only SetInteger, AddInteger and DeleteIndex (and what goes through them)
// fire OnChange; the plain list operations change the entries quietly.
// An index outside 0 .. Count() - 1 raises EListError.
class TIntList : public TObject {
public:
    TIntList(int ColumnTag, int RowTag);

    int ColumnTag() const { return FColumnTag; }
    int RowTag() const { return FRowTag; }
    int Count() const { return static_cast<int>(FItems.size()); }

    // Event-firing changes.
    void SetInteger(int Index, int Value);
    void AddInteger(int Value);
    void DeleteIndex(int Index);
    // Deletes the first entry equal to Value through DeleteIndex; nothing when absent.
    void RemoveValue(int Value);

    // Quiet changes.
    void InsertInteger(int Index, int Value);
    int Add(int Value);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2);
    // Moves the entry at CurIndex so that it ends at NewIndex.
    void Move(int CurIndex, int NewIndex);
    // Copies the entries of Source (not its tags or event).
    void Assign(const TIntList* Source);

    int GetInteger(int Index) const;
    int operator[](int Index) const { return GetInteger(Index); }
    bool HasValue(int Value) const { return IndexOf(Value) >= 0; }
    // Index of the first entry equal to Value, -1 when none.
    int IndexOf(int Value) const;
    const std::vector<int>& Items() const { return FItems; }

    // The entries as decimal numbers joined by ",".
    String GetCommaText() const;
    // Replaces the entries by the comma-separated integers of Text, each added
    // through AddInteger (one event per item). Every item is converted before
    // the list is touched, so a non-integer item raises EConvertError and
    // leaves the list as it was.
    void SetCommaText(const String& Text);

    TIntListChangeEvent OnChange;

protected:
    void CheckIndex(int Index) const;
    void Changed();

private:
    std::vector<int> FItems;
    int FColumnTag;
    int FRowTag;
};

// The columns of a multi-column sort in priority order. An entry is a column
// index; its high bit marks a descending column.
class TSortIndexList : public TIntList {
public:
    static constexpr unsigned DescendingFlag = 0x80000000u;

    TSortIndexList() : TIntList(0, 0) {}

    // Adds Col, marked descending when Ascending is false.
    void AddSortColumn(int Col, bool Ascending);
    // Index of the first entry whose column is Col, -1 when none.
    int FindSortColumn(int Col) const;
    // The column of the entry at Index, without the direction mark.
    int GetSortColumn(int Index) const;
    // True when the entry at Index sorts ascending.
    bool IsAscending(int Index) const;
    // Flips the direction of the first entry of Col (through SetInteger).
    void ToggleSortDirection(int Col);

    static int ColumnOf(int Entry) { return static_cast<int>(static_cast<unsigned>(Entry) & ~DescendingFlag); }
};
