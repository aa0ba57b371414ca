#pragma once
// The Unicode layer of the grid library's edit controls, and lists of wide
// strings.
//
// The framework's windows are Unicode windows already, and its key-press
// events see 8-bit characters. The controls of this layer keep two things
// on top of that: a character above U+00FF reaches the key-press handling
// as the placeholder 255 (the real code rides in the message's spare word
// and goes on to the window unless a handler replaced the character), and a
// finished input-method composition is turned into one WM_CHAR per
// character. While a control has no window its wide text is kept in a
// small companion component, the caption holder.

#include <memory>
#include <vector>

#include <windows.h>

#include "framework/Component.h"
#include "framework/StringList.h"

class TStream;
#include "framework/WinControl.h"

// ---------------------------------------------------------------------------
// Characters and text of Unicode controls

// WM_CHAR with a code above 255: the code moves to the spare high word of
// WParam and the code becomes 255.
void StashWideChar(TMessage& Message);
// Puts a stashed code back when the code is still 255; clears the spare word.
void RestoreWideChar(TMessage& Message);
// A finished composition (GCS_RESULTSTR) becomes WM_CHAR messages sent to
// the window; true when the message was such a composition and is handled.
bool HandleImeComposition(HWND Wnd, const TMessage& Message);
// The character path of a Unicode control's window: the key press sees the
// code (255 for a code above 255), then the character goes on to Forward
// unless a handler dropped it.
void UnicodeCharMessage(TWinControl* Control, TMessage& Message, const std::function<void(TMessage&)>& Forward);

class TWideCaptionHolder : public TComponent {
public:
    using TComponent::TComponent;
    WideString Caption;
};

// The control's caption holder, created with Initial when it has none.
TWideCaptionHolder* FindCaptionHolder(TControl* Control, const WideString& Initial);
WideString GetWideText(TWinControl* Control);
void SetWideText(TWinControl* Control, const WideString& Text);
// Around window re-creation: the window's text goes into the holder before
// the window is destroyed and back into the new window.
void SaveWideCaption(TWinControl* Control);
void RestoreWideCaption(TWinControl* Control);

// ---------------------------------------------------------------------------
// Wide string routines. Buffers of StrAllocW carry their byte size in the
// 4 bytes before the text.

struct TWideBufferDeleter {
    void operator()(wchar_t* Buffer) const;
};
using TWideBuffer = std::unique_ptr<wchar_t, TWideBufferDeleter>;

std::size_t StrLenW(const wchar_t* Str);
// Copies Count characters; the ranges may overlap.
wchar_t* StrMoveW(wchar_t* Dest, const wchar_t* Source, std::size_t Count);
// A zero-filled buffer for Size characters and the terminator.
TWideBuffer StrAllocW(std::size_t Size);
// A copy of Str; nothing for nothing.
TWideBuffer StrNewW(const wchar_t* Str);
// The byte size stored before a StrAllocW buffer.
std::uint32_t StrBufSizeW(const wchar_t* Buffer);

// Case-insensitive comparison in a locale: -1, 0 or 1. The NT form uses
// the wide comparison; the other one the locale's ANSI code page.
int CompareTextWideNT(const WideString& S1, const WideString& S2, LCID Locale);
int CompareTextWide95(const WideString& S1, const WideString& S2, LCID Locale);
// The locale's default ANSI code page, else the system's.
UINT CodePageFromLocale(LCID Locale);

// ---------------------------------------------------------------------------
// TWideStrings: a list of wide strings with objects.

class TAnsiStringsForWideStrings;

class TWideStrings : public TPersistent {
public:
    TWideStrings();
    ~TWideStrings() override;

    virtual WideString Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual WideString GetTextStr() const;
    virtual void Put(int Index, const WideString& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual void SetTextStr(const WideString& Value);
    virtual void SetUpdateState(bool Updating);
    virtual void SetLanguage(LCID Language);
    virtual int Add(const WideString& S);
    virtual int AddObject(const WideString& S, TObject* AObject);
    virtual void AddStrings(const TStrings* Strings);
    virtual void AddWideStrings(const TWideStrings* Strings);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Exchange(int Index1, int Index2);
    // GetTextStr as a new zero-terminated buffer.
    virtual TWideBuffer GetText() const;
    virtual int IndexOf(const WideString& S) const;
    virtual void Insert(int Index, const WideString& S) = 0;
    virtual void Move(int CurIndex, int NewIndex);
    virtual void SetText(const wchar_t* Text);

    int Count() const { return GetCount(); }
    WideString Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void InsertObject(int Index, const WideString& S, TObject* AObject);
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Same count and every pair of texts equal (exactly).
    bool Equals(const TWideStrings* Strings) const;
    LCID Language() const { return FLanguage; }

    // From a wide or an 8-bit list; anything else raises EConvertError.
    void Assign(const TPersistent* Source) override;
    // Into an 8-bit list (converted) or a wide list.
    void AssignTo(TPersistent* Dest) const;

    // Streaming as the property "WideStrings": the property's name, then
    // its value, a list of wide strings. WritesProperty says whether the list
    // is written at all: against an ancestor that is not an equal wide list
    // (or no wide list at all), or, without one, when the list is not empty.
    bool WritesProperty(const TPersistent* Ancestor) const;
    // Writes name and value when WritesProperty holds; returns whether it wrote.
    bool WriteProperty(TStream* Stream, const TPersistent* Ancestor = nullptr) const;
    // Reads a property written by WriteProperty: the list is cleared and each
    // entry added, an 8-bit entry converted from code page 936, a wide one as
    // it stands. Another property's name or a damaged value raises EReadError
    // and leaves the list as it was.
    void ReadProperty(TStream* Stream);
    // The property's value alone.
    void WriteData(TStream* Stream) const;
    void ReadData(TStream* Stream);

    // The 8-bit view of the list; writing assigns an 8-bit list to it.
    TAnsiStringsForWideStrings* AnsiStrings() const { return FAnsiStrings.get(); }
    void SetAnsiStrings(const TStrings* Value);

private:
    std::unique_ptr<TAnsiStringsForWideStrings> FAnsiStrings;
    int FUpdateCount = 0;
    LCID FLanguage;
};

// The 8-bit view of a wide list: reads and writes go to the wide list,
// converted through code page 936.
class TAnsiStringsForWideStrings : public TStrings {
public:
    explicit TAnsiStringsForWideStrings(TWideStrings* Wide) : FWide(Wide) {}

    int Count() const override;
    String Strings(int Index) const override;
    TObject* Objects(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const String& S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TWideStrings* FWide;
};

class TCustomComboBox;

// The items of the Unicode combo box: kept in the list and mirrored into
// the combo box's window with the wide list messages.
class TComboBoxStrings : public TWideStrings {
public:
    explicit TComboBoxStrings(TCustomComboBox* ComboBox) : FComboBox(ComboBox) {}

    WideString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const WideString& S) override;
    int IndexOf(const WideString& S) const override;
    // In a sorted combo box an added item goes to its place in order.
    int Add(const WideString& S) override;
    // Puts the items in order; a window is filled again, keeping its text.
    void Sort();

    // Fills a newly created window with the items.
    void FillWindow(HWND Wnd) const;

protected:
    void SetUpdateState(bool Updating) override;

private:
    struct TItem {
        WideString Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int Index) const;
    HWND Window() const;

    TCustomComboBox* FComboBox;
    std::vector<TItem> FItems;
};
