#pragma once
// Generic OLE drag and drop objects: a reader over a dropped data object,
// the drop target and drop source with overridable notifications, and the
// data object (with its format enumerator) that a drag out of the grid
// carries. No exception leaves a COM method: a failing method answers
// E_UNEXPECTED and the exception is shown afterwards, from the message loop,
// through the application's handler.

#include <ole2.h>

#include <atomic>
#include <memory>

#include "framework/Exception.h"
#include "framework/Graphics.h"
#include "framework/Object.h"
#include "framework/StringList.h"

// The clipboard-format numbers of "Rich Text Format", "Grid Column" (a
// 4-byte column index) and "UniformResourceLocator", registered on first use.
UINT RichTextFormat();
UINT GridColumnFormat();
UINT URLFormat();

// Whether rich text is offered and accepted, for every source and target of
// the process (set by any grid's OleDropRTF setter).
bool RichTextDropEnabled();
void SetRichTextDropEnabled(bool Value);

// Copy when Ctrl is held; otherwise move when the allowed effects include
// it, else copy.
DWORD DropEffectFor(DWORD KeyState, DWORD Allowed);

// Hands an exception caught inside a COM method to the application's
// handler once the message loop runs again.
void ReportAfterDrop(std::exception_ptr E);

FRAMEWORK_EXCEPTION(EAssertionFailed, Exception);

// Reads the formats of a dropped data object. Every read of a global block
// stays inside the block's size.
class TEnumFormats : public TObject {
public:
    explicit TEnumFormats(IDataObject* DataObject);
    ~TEnumFormats() override;
    TEnumFormats(const TEnumFormats&) = delete;
    TEnumFormats& operator=(const TEnumFormats&) = delete;

    bool OffersFormat(UINT Format);
    // The data of the format found last by OffersFormat, as a global block
    // of the medium type; false when there is none. The caller releases
    // the medium (ReleaseStgMedium).
    bool ReadGlobalHandle(DWORD Tymed, STGMEDIUM& Medium);
    int ReadInteger(UINT Format);
    String ReadText(UINT Format);
    bool ReadFileList(TStrings* List);

    bool HasText() { return OffersFormat(CF_TEXT); }
    bool HasFiles() { return OffersFormat(CF_HDROP); }
    bool HasRichText() { return OffersFormat(RichTextFormat()); }
    bool HasColumn() { return OffersFormat(GridColumnFormat()); }
    bool HasURL() { return OffersFormat(URLFormat()); }
    String Text() { return ReadText(CF_TEXT); }
    String RichText() { return ReadText(RichTextFormat()); }
    int Column() { return ReadInteger(GridColumnFormat()); }
    String URL() { return ReadText(CF_TEXT); }
    TStringList* FileNames() { return &FFileNames; }

private:
    void Reset();

    IDataObject* FDataObject = nullptr;
    IEnumFORMATETC* FEnum = nullptr;
    FORMATETC FFormat{};
    bool FValid = false;
    int FCount = 0;
    TStringList FFileNames;
};

// The bits of OfferedFormats.
enum : Byte { ofText = 1, ofFiles = 2, ofColumn = 4, ofRichText = 8, ofURL = 16 };

// A COM object over a Delphi-like reference count: it starts at 0 and the
// object frees itself when the count drops back to 0.
template <class I>
class TInterfacedObject : public I {
public:
    virtual ~TInterfacedObject() = default;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefCount; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG N = --FRefCount;
        if (N == 0)
            delete this;
        return N;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Riid, void** Object) override
    {
        if (!Object)
            return E_POINTER;
        if (IsEqualIID(Riid, IID_IUnknown) || IsEqualIID(Riid, __uuidof(I))) {
            *Object = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<ULONG> FRefCount{0};
};

class TPSGDropTarget : public TInterfacedObject<IDropTarget> {
public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* DataObj, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* DataObj, DWORD KeyState, POINTL Pt, DWORD* Effect) override;

    bool DropAccepted = false;
    bool AcceptText = true;
    bool AcceptFiles = true;
    bool AcceptColumns = false;
    bool AcceptURLs = true;
    Byte OfferedFormats = 0;

protected:
    // Points are screen coordinates.
    virtual void TextDropped(TPoint, const String&) {}
    virtual void ColumnDropped(TPoint, int) {}
    virtual void RichTextDropped(TPoint, const String&) {}
    virtual void FilesDropped(TPoint, TStrings*) {}
    virtual void URLDropped(TPoint, const String&) {}
    virtual void DraggingOver(TPoint, bool&, Byte) {}
    virtual void DragEntered() {}
    virtual void DragLeft() {}
};

class TPSGDropSource : public TInterfacedObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override;

    // Run a drag of text (and rich text) or of a column and return the
    // result of the drag: DRAGDROP_S_DROP, or DRAGDROP_S_CANCEL also when
    // the last feedback allowed no drop.
    // WideText is the Unicode form of Text (made from Text when empty).
    HRESULT StartTextDrag(const String& Text, const String& RichText, DWORD& Effect, DWORD Allowed,
                          const WideString& WideText = WideString());
    HRESULT StartColumnDrag(int Column, DWORD Allowed, DWORD& Effect);

protected:
    virtual void DragReleased() {}
    virtual void EffectChanged(DWORD) {}
    virtual void DragMoved() {}

private:
    HRESULT RunDrag(IDataObject* Data, DWORD Allowed, DWORD& Effect);

    bool FNoDrop = false;
};

class TSourceDataObject : public TInterfacedObject<IDataObject> {
public:
    // CF_UNICODETEXT serves WideText, or Text converted when that is empty.
    TSourceDataObject(const String& Text, int Column, const String& RichText,
                      const WideString& WideText = WideString())
        : FText(Text), FRichText(RichText), FWideText(WideText), FColumn(Column)
    {
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** Enum) override;

private:
    String FText;
    String FRichText;
    WideString FWideText;
    int FColumn;
};

class TSourceEnumFormatEtc : public TInterfacedObject<IEnumFORMATETC> {
public:
    explicit TSourceEnumFormatEtc(bool WithColumn) : FWithColumn(WithColumn) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override;
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        FPosition = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** Enum) override;

private:
    int FormatCount() const { return FWithColumn ? 4 : 3; }

    int FPosition = 0;
    bool FWithColumn;
};
