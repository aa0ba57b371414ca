// Lists of wide strings: the abstract list, its 8-bit view and the items of
// the Unicode combo box.
#include "grid/interaction/PsgUni.h"

#include "framework/Codepage.h"
#include "framework/ComboBox.h"
#include "framework/ControlItems.h"
#include "framework/Exception.h"
#include "framework/Stream.h"

namespace {

bool IsLineBreak(wchar_t C)
{
    return C == L'\n' || C == L'\v' || C == L'\f' || C == L'\r' || C == 0x2028 || C == 0x2029;
}

} // namespace

TWideStrings::TWideStrings()
    : FAnsiStrings(std::make_unique<TAnsiStringsForWideStrings>(this)), FLanguage(GetUserDefaultLCID())
{
}

TWideStrings::~TWideStrings() = default;

TObject* TWideStrings::GetObject(int) const { return nullptr; }
void TWideStrings::PutObject(int, TObject*) {}
void TWideStrings::SetUpdateState(bool) {}
void TWideStrings::SetLanguage(LCID Language) { FLanguage = Language; }

WideString TWideStrings::GetTextStr() const
{
    WideString text;
    for (int i = 0; i < GetCount(); ++i) {
        text += Get(i);
        text += L"\r\n";
    }
    return text;
}

// A line ends at LF, VT, FF, CR, U+2028 or U+2029 (CR LF is one end) and
// at the end of the text; a break at the very end adds no empty line.
void TWideStrings::SetTextStr(const WideString& Value)
{
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0;
        std::size_t i = 0;
        while (i < Value.size()) {
            if (!IsLineBreak(Value[i])) {
                ++i;
                continue;
            }
            Add(Value.substr(start, i - start));
            if (Value[i] == L'\r' && i + 1 < Value.size() && Value[i + 1] == L'\n')
                ++i;
            ++i;
            start = i;
        }
        if (start < Value.size())
            Add(Value.substr(start));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TWideBuffer TWideStrings::GetText() const
{
    return StrNewW(GetTextStr().c_str());
}

void TWideStrings::SetText(const wchar_t* Text)
{
    SetTextStr(Text != nullptr ? WideString(Text) : WideString());
}

int TWideStrings::Add(const WideString& S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

int TWideStrings::AddObject(const WideString& S, TObject* AObject)
{
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TWideStrings::InsertObject(int Index, const WideString& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TWideStrings::Put(int Index, const WideString& S)
{
    TObject* object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

void TWideStrings::Exchange(int Index1, int Index2)
{
    BeginUpdate();
    try {
        const WideString s1 = Get(Index1);
        TObject* o1 = GetObject(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, s1);
        PutObject(Index2, o1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    BeginUpdate();
    try {
        const WideString s = Get(CurIndex);
        TObject* o = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::AddStrings(const TStrings* Strings)
{
    BeginUpdate();
    try {
        for (int i = 0; i < Strings->Count(); ++i)
            AddObject(StrToWide(Strings->Strings(i)), Strings->Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::AddWideStrings(const TWideStrings* Strings)
{
    BeginUpdate();
    try {
        for (int i = 0; i < Strings->GetCount(); ++i)
            AddObject(Strings->Get(i), Strings->GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TWideStrings::IndexOf(const WideString& S) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareTextWideNT(Get(i), S, FLanguage) == 0)
            return i;
    return -1;
}

void TWideStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TWideStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

bool TWideStrings::Equals(const TWideStrings* Strings) const
{
    if (Strings == nullptr || Strings->GetCount() != GetCount())
        return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

void TWideStrings::Assign(const TPersistent* Source)
{
    if (Source == this)
        return;
    if (const auto* wide = dynamic_cast<const TWideStrings*>(Source)) {
        BeginUpdate();
        try {
            Clear();
            AddWideStrings(wide);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    if (const auto* ansi = dynamic_cast<const TStrings*>(Source)) {
        BeginUpdate();
        try {
            Clear();
            AddStrings(ansi);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);   // the framework's assignment error
}

void TWideStrings::AssignTo(TPersistent* Dest) const
{
    if (auto* wide = dynamic_cast<TWideStrings*>(Dest)) {
        wide->Assign(this);
        return;
    }
    if (auto* ansi = dynamic_cast<TStrings*>(Dest)) {
        ansi->BeginUpdate();
        try {
            ansi->Clear();
            for (int i = 0; i < GetCount(); ++i)
                ansi->AddObject(WideToStr(Get(i)), GetObject(i));
        } catch (...) {
            ansi->EndUpdate();
            throw;
        }
        ansi->EndUpdate();
        return;
    }
    TPersistent::AssignTo(Dest);   // the framework's assignment error
}

// ---------------------------------------------------------------------------
// Streaming

namespace {

const char WideStringsPropertyName[] = "WideStrings";

// The tags of the property's value: a list of entries up to its end mark;
// an entry is an 8-bit string with a one-byte or a four-byte length, or a
// wide string with a four-byte count of UTF-16 units.
enum : Byte {
    vaNull = 0,
    vaList = 1,
    vaString = 6,
    vaLString = 12,
    vaWString = 18,
};

Byte ReadTag(TStream* Stream)
{
    Byte Tag = 0;
    Stream->ReadBuffer(&Tag, 1);
    return Tag;
}

Integer ReadLength(TStream* Stream)
{
    Integer N = 0;
    Stream->ReadBuffer(&N, sizeof N);
    // A length beyond what is left is damage, not a reason to allocate it.
    if (N < 0 || N > Stream->Size() - Stream->Position())
        throw EReadError("Invalid string length in the \"WideStrings\" property");
    return N;
}

String ReadBytes(TStream* Stream, Integer N)
{
    String S(static_cast<std::size_t>(N), '\0');
    if (N > 0)
        Stream->ReadBuffer(S.data(), N);
    return S;
}

} // namespace

bool TWideStrings::WritesProperty(const TPersistent* Ancestor) const
{
    if (Ancestor != nullptr) {
        const auto* Wide = dynamic_cast<const TWideStrings*>(Ancestor);
        return Wide == nullptr || !Equals(Wide);
    }
    return GetCount() > 0;
}

bool TWideStrings::WriteProperty(TStream* Stream, const TPersistent* Ancestor) const
{
    if (!WritesProperty(Ancestor))
        return false;
    const Byte NameLength = sizeof WideStringsPropertyName - 1;
    Stream->WriteBuffer(&NameLength, 1);
    Stream->WriteBuffer(WideStringsPropertyName, NameLength);
    WriteData(Stream);
    return true;
}

void TWideStrings::ReadProperty(TStream* Stream)
{
    Byte NameLength = 0;
    Stream->ReadBuffer(&NameLength, 1);
    if (ReadBytes(Stream, NameLength) != WideStringsPropertyName)
        throw EReadError("The stream holds no \"WideStrings\" property");
    ReadData(Stream);
}

void TWideStrings::WriteData(TStream* Stream) const
{
    const Byte ListStart = vaList;
    Stream->WriteBuffer(&ListStart, 1);
    for (int i = 0; i < GetCount(); ++i) {
        const WideString S = Get(i);
        const Byte Tag = vaWString;
        const auto N = static_cast<Integer>(S.size());
        Stream->WriteBuffer(&Tag, 1);
        Stream->WriteBuffer(&N, sizeof N);
        if (N > 0)
            Stream->WriteBuffer(S.data(), N * static_cast<Integer>(sizeof(wchar_t)));
    }
    const Byte End = vaNull;
    Stream->WriteBuffer(&End, 1);
}

void TWideStrings::ReadData(TStream* Stream)
{
    if (ReadTag(Stream) != vaList)
        throw EReadError("The \"WideStrings\" property is not a list");
    // The whole value is read before the list changes.
    std::vector<WideString> Entries;
    for (Byte Tag = ReadTag(Stream); Tag != vaNull; Tag = ReadTag(Stream)) {
        switch (Tag) {
        case vaString: {
            Byte N = 0;
            Stream->ReadBuffer(&N, 1);
            Entries.push_back(StrToWide(ReadBytes(Stream, N)));
            break;
        }
        case vaLString:
            Entries.push_back(StrToWide(ReadBytes(Stream, ReadLength(Stream))));
            break;
        case vaWString: {
            const Integer N = ReadLength(Stream);
            if (static_cast<Int64>(N) * 2 > Stream->Size() - Stream->Position())
                throw EReadError("Invalid string length in the \"WideStrings\" property");
            WideString W(static_cast<std::size_t>(N), L'\0');
            if (N > 0)
                Stream->ReadBuffer(W.data(), N * static_cast<Integer>(sizeof(wchar_t)));
            Entries.push_back(std::move(W));
            break;
        }
        default:
            throw EReadError("Invalid entry in the \"WideStrings\" property");
        }
    }
    BeginUpdate();
    try {
        Clear();
        for (const WideString& W : Entries)
            Add(W);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TWideStrings::SetAnsiStrings(const TStrings* Value)
{
    FAnsiStrings->Assign(Value);
}

// ---------------------------------------------------------------------------
// TAnsiStringsForWideStrings

int TAnsiStringsForWideStrings::Count() const { return FWide->GetCount(); }
String TAnsiStringsForWideStrings::Strings(int Index) const { return WideToStr(FWide->Get(Index)); }
TObject* TAnsiStringsForWideStrings::Objects(int Index) const { return FWide->GetObject(Index); }
void TAnsiStringsForWideStrings::PutObject(int Index, TObject* AObject) { FWide->PutObject(Index, AObject); }
void TAnsiStringsForWideStrings::Insert(int Index, const String& S) { FWide->Insert(Index, StrToWide(S)); }
void TAnsiStringsForWideStrings::Delete(int Index) { FWide->Delete(Index); }
void TAnsiStringsForWideStrings::Clear() { FWide->Clear(); }

// ---------------------------------------------------------------------------
// TComboBoxStrings

HWND TComboBoxStrings::Window() const
{
    return FComboBox != nullptr && FComboBox->HandleAllocated() ? FComboBox->Handle() : nullptr;
}

void TComboBoxStrings::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FItems.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

WideString TComboBoxStrings::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].Text;
}

int TComboBoxStrings::GetCount() const { return static_cast<int>(FItems.size()); }

TObject* TComboBoxStrings::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)].Object;
}

void TComboBoxStrings::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    FItems[static_cast<std::size_t>(Index)].Object = AObject;
}

void TComboBoxStrings::Insert(int Index, const WideString& S)
{
    if (Index < 0 || Index > static_cast<int>(FItems.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (HWND wnd = Window()) {
        const bool atEnd = Index == static_cast<int>(FItems.size());
        const LRESULT answer = atEnd ? SendMessageW(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()))
                                     : SendMessageW(wnd, CB_INSERTSTRING, static_cast<WPARAM>(Index),
                                                    reinterpret_cast<LPARAM>(S.c_str()));
        if (answer < 0)
            throw EOutOfResources("Unable to insert a line");
    }
    FItems.insert(FItems.begin() + Index, TItem{S, nullptr});
}

void TComboBoxStrings::Delete(int Index)
{
    CheckIndex(Index);
    if (HWND wnd = Window())
        SendMessageW(wnd, CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
    FItems.erase(FItems.begin() + Index);
}

// The list empties; the combo box keeps its text.
void TComboBoxStrings::Clear()
{
    FItems.clear();
    if (HWND wnd = Window()) {
        const WideString text = GetWideText(FComboBox);
        SendMessageW(wnd, CB_RESETCONTENT, 0, 0);
        SetWindowTextW(wnd, text.c_str());
        FComboBox->Invalidate();
    }
}

int TComboBoxStrings::IndexOf(const WideString& S) const
{
    if (HWND wnd = Window()) {
        const LRESULT found = SendMessageW(wnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(S.c_str()));
        return found == CB_ERR ? -1 : static_cast<int>(found);
    }
    return TWideStrings::IndexOf(S);
}

void TComboBoxStrings::SetUpdateState(bool Updating)
{
    if (HWND wnd = Window()) {
        SendMessageW(wnd, WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
        if (!Updating)
            FComboBox->Invalidate();
    }
}

int TComboBoxStrings::Add(const WideString& S)
{
    if (FComboBox == nullptr || !FComboBox->Sorted())
        return TWideStrings::Add(S);
    const int Index = SortedListPosition(S, GetCount(), [this](int I) { return FItems[static_cast<std::size_t>(I)].Text; });
    Insert(Index, S);
    return Index;
}

void TComboBoxStrings::Sort()
{
    std::vector<TItem> Items;
    Items.swap(FItems);
    for (TItem& Item : Items) {
        const int At = SortedListPosition(Item.Text, GetCount(), [this](int I) { return FItems[static_cast<std::size_t>(I)].Text; });
        FItems.insert(FItems.begin() + At, std::move(Item));
    }
    if (HWND wnd = Window()) {
        const WideString text = GetWideText(FComboBox);
        SendMessageW(wnd, CB_RESETCONTENT, 0, 0);
        FillWindow(wnd);
        SetWindowTextW(wnd, text.c_str());
    }
}

void TComboBoxStrings::FillWindow(HWND Wnd) const
{
    for (const TItem& item : FItems)
        SendMessageW(Wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Text.c_str()));
}
