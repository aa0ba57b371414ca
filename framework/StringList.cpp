#include "framework/StringList.h"

#include <algorithm>
#include <numeric>

#include "framework/Exception.h"
#include "framework/StrUtils.h"
#include "framework/Stream.h"

namespace {

const String LineBreak = "\r\n";

// Largest block moved by one stream call.
constexpr std::size_t StreamBlock = 1u << 30;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(const String& S, char Delim, char Quote)
{
    return std::any_of(S.begin(), S.end(), [&](char c) { return IsBlank(c) || c == Delim || c == Quote; });
}

String Quoted(const String& S, char Quote)
{
    String r(1, Quote);
    for (char c : S) {
        r += c;
        if (c == Quote)
            r += Quote;
    }
    r += Quote;
    return r;
}

// Runs Change inside BeginUpdate/EndUpdate, ending the bracket on the way out
// of an exception too.
template <class F>
void Batch(TStrings& List, F Change)
{
    List.BeginUpdate();
    try {
        Change();
    } catch (...) {
        List.EndUpdate();
        throw;
    }
    List.EndUpdate();
}

} // namespace

// ---- TStrings ----

void TStrings::Put(int Index, const String& S)
{
    TObject* object = Objects(Index);
    Batch(*this, [&] {
        Delete(Index);
        InsertObject(Index, S, object);
    });
}

TObject* TStrings::Objects(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const String& S)
{
    const int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const String& S, TObject* AObject)
{
    int index = -1;
    Batch(*this, [&] {
        index = Add(S);
        PutObject(index, AObject);
    });
    return index;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject)
{
    Batch(*this, [&] {
        Insert(Index, S);
        PutObject(Index, AObject);
    });
}

void TStrings::Exchange(int Index1, int Index2)
{
    const String s1 = Strings(Index1);
    TObject* o1 = Objects(Index1);
    Batch(*this, [&] {
        Put(Index1, Strings(Index2));
        PutObject(Index1, Objects(Index2));
        Put(Index2, s1);
        PutObject(Index2, o1);
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    const String s = Strings(CurIndex);
    TObject* object = Objects(CurIndex);
    Batch(*this, [&] {
        Delete(CurIndex);
        InsertObject(NewIndex, s, object);
    });
}

int TStrings::IndexOf(const String& S) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const
{
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == AObject)
            return i;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const
{
    for (int i = 0; i < Count(); ++i) {
        const String s = Strings(i);
        const auto p = s.find(NameValueSeparator);
        if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0)
            return i;
    }
    return -1;
}

String TStrings::Names(int Index) const
{
    const String s = Strings(Index);
    const auto p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(int Index) const
{
    const String s = Strings(Index);
    const auto p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const String& Value)
{
    if (Value.empty())
        Delete(Index);
    else
        Put(Index, Names(Index) + NameValueSeparator + Value);
}

String TStrings::Values(const String& Name) const
{
    const int i = IndexOfName(Name);
    return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValue(const String& Name, const String& Value)
{
    const int i = IndexOfName(Name);
    if (i >= 0)
        SetValueFromIndex(i, Value);
    else if (!Value.empty())
        Add(Name + NameValueSeparator + Value);
}

String TStrings::Text() const
{
    String r;
    for (int i = 0; i < Count(); ++i)
        r += Strings(i) + LineBreak;
    return r;
}

void TStrings::SetText(const String& Value)
{
    Batch(*this, [&] {
        Clear();
        std::size_t start = 0;
        std::size_t i = 0;
        while (i < Value.size()) {
            const char c = Value[i];
            if (c != '\r' && c != '\n') {
                ++i;
                continue;
            }
            Add(Value.substr(start, i - start));
            if (c == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n')
                ++i;
            start = ++i;
        }
        if (start < Value.size())
            Add(Value.substr(start));
    });
}

String TStrings::GetDelimited(char Delim, char Quote) const
{
    // A lone empty item is written as a pair of quotes, or it would read back as no item.
    if (Count() == 1 && Strings(0).empty())
        return String(2, Quote);
    String r;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            r += Delim;
        const String s = Strings(i);
        r += NeedsQuotes(s, Delim, Quote) ? Quoted(s, Quote) : s;
    }
    return r;
}

void TStrings::SetDelimited(const String& Value, char Delim, char Quote)
{
    const std::size_t n = Value.size();
    std::size_t p = 0;
    auto skipBlanks = [&] {
        while (p < n && IsBlank(Value[p]) && Value[p] != Delim)
            ++p;
    };
    Batch(*this, [&] {
        Clear();
        skipBlanks();
        while (p < n) {
            String item;
            if (Value[p] == Quote) {
                // Quoted: up to the closing quote, a doubled quote standing for one.
                for (++p; p < n; ++p) {
                    if (Value[p] == Quote) {
                        if (p + 1 < n && Value[p + 1] == Quote) {
                            item += Quote;
                            ++p;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    item += Value[p];
                }
            } else {
                const std::size_t start = p;
                while (p < n && !IsBlank(Value[p]) && Value[p] != Delim)
                    ++p;
                item = Value.substr(start, p - start);
            }
            Add(item);
            skipBlanks();
            if (p < n && Value[p] == Delim) {
                ++p;
                skipBlanks();
                // A delimiter at the end separates a last, empty item.
                if (p == n)
                    Add(String());
            }
        }
    });
}

String TStrings::DelimitedText() const { return GetDelimited(Delimiter, QuoteChar); }
void TStrings::SetDelimitedText(const String& Value) { SetDelimited(Value, Delimiter, QuoteChar); }
String TStrings::CommaText() const { return GetDelimited(',', '"'); }
void TStrings::SetCommaText(const String& Value) { SetDelimited(Value, ',', '"'); }

void TStrings::AddStrings(const TStrings* Strings)
{
    const int n = Strings->Count();
    Batch(*this, [&] {
        for (int i = 0; i < n; ++i)
            AddObject(Strings->Strings(i), Strings->Objects(i));
    });
}

void TStrings::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TStrings*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    Batch(*this, [&] {
        Clear();
        AddStrings(source);
    });
}

bool TStrings::Equals(const TStrings* Strings) const
{
    if (Strings->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Strings->Strings(i) != this->Strings(i))
            return false;
    return true;
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return CompareText(S1, S2); }

void TStrings::RaiseIndexError(int Index)
{
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

void TStrings::LoadFromStream(TStream* Stream)
{
    const Int64 left = Stream->Size() - Stream->Position();
    String bytes(left > 0 ? static_cast<std::size_t>(left) : 0, '\0');
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t block = std::min(bytes.size() - done, StreamBlock);
        Stream->ReadBuffer(bytes.data() + done, static_cast<Integer>(block));
        done += block;
    }
    SetText(bytes);
}

void TStrings::SaveToStream(TStream* Stream) const
{
    const String bytes = Text();
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t block = std::min(bytes.size() - done, StreamBlock);
        Stream->WriteBuffer(bytes.data() + done, static_cast<Integer>(block));
        done += block;
    }
}

void TStrings::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TStrings::SaveToFile(const String& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---- TStringList ----

TStringList::~TStringList()
{
    // No change events here: their handlers' owners may already be half gone.
    for (const TStringItem& item : FItems)
        FreeObject(item.FObject);
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index);
}

void TStringList::CheckNotSorted() const
{
    if (FSorted)
        throw EListError("Operation not allowed on sorted list");
}

void TStringList::FreeObject(TObject* AObject) const
{
    if (OwnsObjects)
        delete AObject;
}

bool TStringList::KeepsOrder(int Index, const String& S) const
{
    return (Index == 0 || CompareStrings(FItems[Index - 1].FString, S) <= 0)
        && (Index + 1 == Count() || CompareStrings(S, FItems[Index + 1].FString) <= 0);
}

String TStringList::Strings(int Index) const
{
    CheckIndex(Index);
    return FItems[Index].FString;
}

void TStringList::Put(int Index, const String& S)
{
    CheckIndex(Index);
    if (FSorted && !KeepsOrder(Index, S))
        throw EListError("Operation not allowed on sorted list");
    Changing();
    FItems[Index].FString = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const
{
    CheckIndex(Index);
    return FItems[Index].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    TObject* old = FItems[Index].FObject;
    FItems[Index].FObject = AObject;
    if (old != AObject)
        FreeObject(old);
    Changed();
}

int TStringList::Add(const String& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const String& S, TObject* AObject)
{
    int index = Count();
    if (FSorted && Find(S, index)) {
        switch (Duplicates) {
        case dupIgnore:
            return index;
        case dupError:
            throw EListError("String list does not allow duplicates");
        case dupAccept:
            while (index < Count() && CompareStrings(FItems[index].FString, S) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const String& S, TObject* AObject)
{
    CheckNotSorted();
    if (Index < 0 || Index > Count())
        RaiseIndexError(Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject)
{
    Changing();
    FItems.insert(FItems.begin() + Index, TStringItem{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    TObject* object = FItems[Index].FObject;
    FItems.erase(FItems.begin() + Index);
    FreeObject(object);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    std::vector<TStringItem> items;
    items.swap(FItems);
    for (const TStringItem& item : items)
        FreeObject(item.FObject);
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckNotSorted();
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FItems[Index1], FItems[Index2]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex)
{
    CheckNotSorted();
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex)
        return;
    Changing();
    const auto first = FItems.begin();
    if (CurIndex < NewIndex)
        std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
    else
        std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
    Changed();
}

int TStringList::IndexOf(const String& S) const
{
    if (!FSorted)
        return TStrings::IndexOf(S);
    int index = -1;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, int& Index) const
{
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(FItems[mid].FString, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < Count() && CompareStrings(FItems[lo].FString, S) == 0;
}

void TStringList::SortBy(const std::function<bool(int, int)>& Less)
{
    if (FItems.size() < 2)
        return;
    Changing();
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), Less);
    std::vector<TStringItem> sorted;
    sorted.reserve(FItems.size());
    for (int i : order)
        sorted.push_back(FItems[i]);
    FItems.swap(sorted);
    Changed();
}

void TStringList::Sort()
{
    SortBy([this](int a, int b) { return CompareStrings(FItems[a].FString, FItems[b].FString) < 0; });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare)
{
    if (FSorted)
        return;
    SortBy([&](int a, int b) { return Compare(this, a, b) < 0; });
}

void TStringList::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == FCaseSensitive)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
    return FCaseSensitive ? S1.compare(S2) : CompareText(S1, S2);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}
