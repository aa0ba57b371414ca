#pragma once
// Lists of 8-bit strings, each with an object reference: the abstract TStrings
// with the text forms every list shares (lines, comma text, name=value pairs,
// files and streams), and TStringList, the list that stores its items and can
// keep them sorted.

#include <functional>
#include <vector>

#include "framework/Object.h"

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual String Strings(int Index) const = 0;
    // Replaces the string at Index and keeps its object.
    virtual void Put(int Index, const String& S);
    // The base list holds no objects: nullptr, and storing one does nothing.
    virtual TObject* Objects(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);

    // Adds at the end (a sorted list: at the string's place); returns the index.
    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    virtual void Insert(int Index, const String& S) = 0;
    virtual void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    // Moves the item (string and object) at CurIndex so that it ends at NewIndex.
    virtual void Move(int CurIndex, int NewIndex);

    // Index of the first equal string or -1; see CompareStrings for the case rule.
    virtual int IndexOf(const String& S) const;
    int IndexOfObject(const TObject* AObject) const;

    // Name=value items. Names compare like strings; an item without the
    // separator has neither name nor value.
    char NameValueSeparator = '=';
    int IndexOfName(const String& Name) const;
    String Names(int Index) const;
    String Values(const String& Name) const;
    // Changes the value of Name, adds "Name=Value" when there is none, and
    // removes the item when Value is empty.
    void SetValue(const String& Name, const String& Value);
    String ValueFromIndex(int Index) const;
    // Like SetValue for the item at Index: an empty Value removes it.
    void SetValueFromIndex(int Index, const String& Value);

    // Every string followed by CR LF. Setting replaces the items with the
    // lines of Value, which may end in CR LF, LF or CR; a line break at the
    // very end does not start another line.
    String Text() const;
    void SetText(const String& Value);

    // The items separated by Delimiter; an item holding a blank or control
    // character, the delimiter or the quote character is put in QuoteChar
    // with the quote character doubled. Setting replaces the items with the
    // parsed ones: quoted items as written, unquoted ones ending at a blank
    // or delimiter.
    char Delimiter = ',';
    char QuoteChar = '"';
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);
    // The delimited text with ',' and '"', whatever Delimiter and QuoteChar say.
    String CommaText() const;
    void SetCommaText(const String& Value);

    // Adds every item of Strings with its object reference.
    void AddStrings(const TStrings* Strings);
    // Takes the items of another TStrings (objects by reference); other
    // sources go through TPersistent.
    void Assign(const TPersistent* Source) override;
    // Same count and the same strings in the same order, compared exactly.
    bool Equals(const TStrings* Strings) const;

    // Brackets a batch of changes: the change events fire once around it.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Text files and streams hold the bytes of Text exactly.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;
    // Reads from the stream's position to its end.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

protected:
    // Compares two strings for IndexOf and IndexOfName; the base ignores the
    // case of ASCII letters.
    virtual int CompareStrings(const String& S1, const String& S2) const;
    // Called when the outermost BeginUpdate starts (true) and EndUpdate ends (false).
    virtual void SetUpdateState(bool Updating);
    // Raises EListError "List index out of bounds (Index)".
    [[noreturn]] static void RaiseIndexError(int Index);

private:
    String GetDelimited(char Delim, char Quote) const;
    void SetDelimited(const String& Value, char Delim, char Quote);

    int FUpdateCount = 0;
};

class TStringList;
// Order of the items at Index1 and Index2: negative, 0 or positive.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    String Strings(int Index) const override;
    // On a sorted list only a string that keeps the list in order may be put
    // (as a new value for a name does); any other raises EListError.
    void Put(int Index, const String& S) override;
    TObject* Objects(int Index) const override;
    // An owned object that is replaced is freed.
    void PutObject(int Index, TObject* AObject) override;

    // On a sorted list the string goes to its place; an equal string already
    // there is handled by Duplicates: dupIgnore returns the index of the one
    // there (and does not take AObject), dupError raises EListError, and
    // dupAccept adds the new one after it.
    int Add(const String& S) override;
    int AddObject(const String& S, TObject* AObject) override;
    // Inserting into a sorted list raises EListError.
    void Insert(int Index, const String& S) override;
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    // Exchanging and moving items of a sorted list raise EListError.
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;

    int IndexOf(const String& S) const override;
    // Binary search of a sorted list: true when S is there, Index being its
    // first occurrence; otherwise Index is where S would be inserted.
    bool Find(const String& S, int& Index) const;

    // Sorts the items by CompareStrings; equal strings keep their order.
    void Sort();
    // Sorts an unsorted list by Compare, which is given indexes into the list
    // as it was before sorting started; a sorted list is left alone.
    void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    // Switching sorting on sorts the list.
    void SetSorted(bool Value);
    bool CaseSensitive() const { return FCaseSensitive; }
    // A sorted list is sorted again by the new rule.
    void SetCaseSensitive(bool Value);

    // What Add does on a sorted list with a string that is already there.
    TDuplicates Duplicates = dupIgnore;
    // When set, the list frees the objects of items it deletes or clears,
    // objects it replaces, and those left when it is freed. Assign copies
    // object references, so two owning lists must not share objects.
    bool OwnsObjects = false;

    // Fired before and after each change; inside BeginUpdate/EndUpdate only
    // once, at the bracket's start and end.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    int CompareStrings(const String& S1, const String& S2) const override;
    void SetUpdateState(bool Updating) override;
    virtual void Changing();
    virtual void Changed();

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };

    void CheckIndex(int Index) const;
    void CheckNotSorted() const;
    bool KeepsOrder(int Index, const String& S) const;
    void InsertItem(int Index, const String& S, TObject* AObject);
    void FreeObject(TObject* AObject) const;
    // Reorders the items by Less over their indexes before the sort.
    void SortBy(const std::function<bool(int, int)>& Less);

    std::vector<TStringItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
};
