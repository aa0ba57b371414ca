#include "grid/interaction/psgdd.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/Application.h"
#include "framework/Codepage.h"

namespace {

bool GRichTextDropEnabled = false;

UINT Registered(const wchar_t* Name)
{
    return RegisterClipboardFormatW(Name);
}

// Exceptions caught in COM methods, waiting for the message loop.
std::vector<std::exception_ptr>& PendingErrors()
{
    static std::vector<std::exception_ptr> Errors;
    return Errors;
}

void CALLBACK ReportPending(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    std::vector<std::exception_ptr> Errors;
    Errors.swap(PendingErrors());
    for (auto& E : Errors) {
        try {
            std::rethrow_exception(E);
        } catch (...) {
            Application->HandleException(nullptr);
        }
    }
}

// Runs the body of a COM method; an exception becomes E_UNEXPECTED and is
// reported later.
template <class F>
HRESULT Guarded(F&& Body)
{
    try {
        return Body();
    } catch (...) {
        ReportAfterDrop(std::current_exception());
        return E_UNEXPECTED;
    }
}

FORMATETC MakeFormat(UINT Format)
{
    FORMATETC F{};
    F.cfFormat = static_cast<CLIPFORMAT>(Format);
    F.ptd = nullptr;
    F.dwAspect = DVASPECT_CONTENT;
    F.lindex = -1;
    F.tymed = TYMED_HGLOBAL;
    return F;
}

// The formats of a drag out of a grid, in enumeration order.
UINT SourceFormat(int Index)
{
    switch (Index) {
    case 0: return CF_TEXT;
    case 1: return CF_UNICODETEXT;
    case 2: return RichTextFormat();
    default: return GridColumnFormat();
    }
}

// A locked view of a global block that knows its size.
class TLockedBlock {
public:
    explicit TLockedBlock(HGLOBAL Block) : FBlock(Block)
    {
        if (FBlock) {
            FSize = GlobalSize(FBlock);
            FData = static_cast<const Byte*>(GlobalLock(FBlock));
        }
    }
    ~TLockedBlock()
    {
        if (FData)
            GlobalUnlock(FBlock);
    }
    TLockedBlock(const TLockedBlock&) = delete;
    TLockedBlock& operator=(const TLockedBlock&) = delete;
    const Byte* Data() const { return FData; }
    size_t Size() const { return FData ? FSize : 0; }

private:
    HGLOBAL FBlock;
    const Byte* FData = nullptr;
    size_t FSize = 0;
};

} // namespace

UINT RichTextFormat()
{
    static const UINT F = Registered(L"Rich Text Format");
    return F;
}

UINT GridColumnFormat()
{
    static const UINT F = Registered(L"Grid Column");
    return F;
}

UINT URLFormat()
{
    static const UINT F = Registered(L"UniformResourceLocator");
    return F;
}

bool RichTextDropEnabled() { return GRichTextDropEnabled; }

void SetRichTextDropEnabled(bool Value) { GRichTextDropEnabled = Value; }

DWORD DropEffectFor(DWORD KeyState, DWORD Allowed)
{
    if (KeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    return (Allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

void ReportAfterDrop(std::exception_ptr E)
{
    PendingErrors().push_back(E);
    SetTimer(nullptr, 0, 0, ReportPending);
}

// ---------------------------------------------------------------------------
// TEnumFormats

TEnumFormats::TEnumFormats(IDataObject* DataObject) : FDataObject(DataObject)
{
    if (!FDataObject)
        return;
    FDataObject->AddRef();
    if (FDataObject->EnumFormatEtc(DATADIR_GET, &FEnum) != S_OK || !FEnum) {
        FEnum = nullptr;
        throw EAssertionFailed("Cannot get the format enumerator (PsgDD, line 287)");
    }
    Reset();
}

TEnumFormats::~TEnumFormats()
{
    if (FEnum)
        FEnum->Release();
    if (FDataObject)
        FDataObject->Release();
}

void TEnumFormats::Reset()
{
    if (FEnum)
        FEnum->Reset();
    FValid = false;
}

bool TEnumFormats::OffersFormat(UINT Format)
{
    Reset();
    if (!FEnum)
        return false;
    FORMATETC F{};
    ULONG Fetched = 0;
    while (FEnum->Next(1, &F, &Fetched) == S_OK && Fetched == 1) {
        ++FCount;
        if (F.ptd)
            CoTaskMemFree(F.ptd);
        F.ptd = nullptr;
        if (F.cfFormat == Format) {
            FFormat = F;
            FValid = true;
            return true;
        }
    }
    return false;
}

bool TEnumFormats::ReadGlobalHandle(DWORD Tymed, STGMEDIUM& Medium)
{
    Medium = STGMEDIUM{};
    if (!FValid || !FDataObject || !(FFormat.tymed & Tymed))
        return false;
    FORMATETC F = FFormat;
    F.tymed = Tymed;
    if (FDataObject->GetData(&F, &Medium) != S_OK)
        return false;
    if (Medium.tymed != TYMED_HGLOBAL || !Medium.hGlobal) {
        ReleaseStgMedium(&Medium);
        return false;
    }
    return true;
}

int TEnumFormats::ReadInteger(UINT Format)
{
    STGMEDIUM Medium{};
    if (!OffersFormat(Format) || !ReadGlobalHandle(TYMED_HGLOBAL, Medium))
        return -1;
    int Value = -1;
    {
        TLockedBlock Block(Medium.hGlobal);
        if (Block.Size() >= sizeof(int))
            std::memcpy(&Value, Block.Data(), sizeof(int));
    }
    ReleaseStgMedium(&Medium);
    return Value;
}

String TEnumFormats::ReadText(UINT Format)
{
    STGMEDIUM Medium{};
    if (!OffersFormat(Format) || !ReadGlobalHandle(TYMED_HGLOBAL, Medium))
        return String();
    String Text;
    {
        TLockedBlock Block(Medium.hGlobal);
        const Byte* P = Block.Data();
        const Byte* End = P + Block.Size();
        const Byte* Zero = P ? std::find(P, End, Byte(0)) : P;
        if (P)
            Text.assign(reinterpret_cast<const char*>(P), Zero - P);
    }
    ReleaseStgMedium(&Medium);
    return Text;
}

bool TEnumFormats::ReadFileList(TStrings* List)
{
    STGMEDIUM Medium{};
    if (!OffersFormat(CF_HDROP) || !ReadGlobalHandle(TYMED_HGLOBAL, Medium))
        return false;
    List->Clear();
    {
        TLockedBlock Block(Medium.hGlobal);
        const size_t Size = Block.Size();
        const Byte* Data = Block.Data();
        if (Data && Size >= sizeof(DROPFILES)) {
            DROPFILES Header;
            std::memcpy(&Header, Data, sizeof Header);
            size_t Pos = Header.pFiles;
            if (Header.fWide) {
                while (Pos + 2 <= Size) {
                    WideString Name;
                    while (Pos + 2 <= Size) {
                        wchar_t C;
                        std::memcpy(&C, Data + Pos, 2);
                        Pos += 2;
                        if (C == 0)
                            break;
                        Name += C;
                    }
                    if (Name.empty())
                        break;
                    List->Add(WideToStr(Name));
                }
            } else {
                while (Pos < Size) {
                    const Byte* Start = Data + Pos;
                    const Byte* Zero = std::find(Start, Data + Size, Byte(0));
                    if (Zero == Start)
                        break;
                    List->Add(String(reinterpret_cast<const char*>(Start), Zero - Start));
                    Pos = (Zero - Data) + 1;
                }
            }
        }
    }
    ReleaseStgMedium(&Medium);
    return true;
}

// ---------------------------------------------------------------------------
// TPSGDropTarget

HRESULT TPSGDropTarget::DragEnter(IDataObject* DataObj, DWORD KeyState, POINTL Pt, DWORD* Effect)
{
    return Guarded([&] {
        DropAccepted = false;
        OfferedFormats = 0;
        if (DataObj) {
            TEnumFormats Formats(DataObj);
            const bool Text = Formats.HasText();
            const bool Files = Formats.HasFiles();
            const bool Rich = Formats.HasRichText();
            const bool Column = Formats.HasColumn();
            const bool URL = Formats.HasURL();
            DropAccepted = (Text && AcceptText) || (Files && AcceptFiles)
                           || (Rich && RichTextDropEnabled() && AcceptText) || (Column && AcceptColumns)
                           || (URL && AcceptURLs);
            OfferedFormats = (Text ? ofText : 0) | (Files ? ofFiles : 0) | (Column ? ofColumn : 0)
                             | (Rich ? ofRichText : 0) | (URL ? ofURL : 0);
        }
        if (Effect)
            *Effect = DropAccepted ? DropEffectFor(KeyState, *Effect) : DROPEFFECT_NONE;
        (void)Pt;
        DragEntered();
        return S_OK;
    });
}

HRESULT TPSGDropTarget::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect)
{
    return Guarded([&] {
        DWORD E = DROPEFFECT_NONE;
        if (DropAccepted && Effect)
            E = DropEffectFor(KeyState, *Effect);
        bool Allow = E != DROPEFFECT_NONE;
        DraggingOver(TPoint{Pt.x, Pt.y}, Allow, OfferedFormats);
        if (!Allow)
            E = DROPEFFECT_NONE;
        if (Effect)
            *Effect = E;
        return S_OK;
    });
}

HRESULT TPSGDropTarget::DragLeave()
{
    return Guarded([&] {
        DragLeft();
        return S_OK;
    });
}

HRESULT TPSGDropTarget::Drop(IDataObject* DataObj, DWORD KeyState, POINTL Pt, DWORD* Effect)
{
    return Guarded([&] {
        if (!DropAccepted || !DataObj) {
            if (Effect)
                *Effect = DROPEFFECT_NONE;
            return S_OK;
        }
        // The answer to the source is settled before the handlers run, so
        // that a failing handler still leaves a defined effect.
        if (Effect)
            *Effect = DropEffectFor(KeyState, *Effect);
        const TPoint P{Pt.x, Pt.y};
        TEnumFormats Formats(DataObj);
        if (Formats.HasColumn()) {
            ColumnDropped(P, Formats.Column());
            return S_OK;
        }
        if (Formats.HasRichText() && RichTextDropEnabled())
            RichTextDropped(P, Formats.RichText());
        else if (Formats.HasText())
            TextDropped(P, Formats.Text());
        if (Formats.HasFiles() && Formats.ReadFileList(Formats.FileNames()))
            FilesDropped(P, Formats.FileNames());
        if (Formats.HasURL())
            URLDropped(P, Formats.URL());
        return S_OK;
    });
}

// ---------------------------------------------------------------------------
// TPSGDropSource

HRESULT TPSGDropSource::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState)
{
    return Guarded([&] {
        HRESULT Result;
        if (EscapePressed)
            Result = DRAGDROP_S_CANCEL;
        else if (KeyState & MK_LBUTTON)
            Result = S_OK;
        else {
            DragReleased();
            Result = DRAGDROP_S_DROP;
        }
        DragMoved();
        return Result;
    });
}

HRESULT TPSGDropSource::GiveFeedback(DWORD Effect)
{
    return Guarded([&] {
        FNoDrop = Effect == DROPEFFECT_NONE;
        EffectChanged(Effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    });
}

HRESULT TPSGDropSource::RunDrag(IDataObject* Data, DWORD Allowed, DWORD& Effect)
{
    Data->AddRef();
    AddRef();
    DWORD E = DROPEFFECT_NONE;
    HRESULT Result = DoDragDrop(Data, this, Allowed, &E);
    Effect = E;
    Data->Release();
    if (FNoDrop)
        Result = DRAGDROP_S_CANCEL;
    Release();
    return Result;
}

HRESULT TPSGDropSource::StartTextDrag(const String& Text, const String& RichText, DWORD& Effect, DWORD Allowed,
                                      const WideString& WideText)
{
    return RunDrag(new TSourceDataObject(Text, -1, RichText, WideText), Allowed, Effect);
}

HRESULT TPSGDropSource::StartColumnDrag(int Column, DWORD Allowed, DWORD& Effect)
{
    return RunDrag(new TSourceDataObject(String(), Column, String()), Allowed, Effect);
}

// ---------------------------------------------------------------------------
// TSourceDataObject

HRESULT TSourceDataObject::QueryGetData(FORMATETC* Format)
{
    return Guarded([&]() -> HRESULT {
        if (!Format || Format->dwAspect != DVASPECT_CONTENT || Format->tymed != TYMED_HGLOBAL)
            return DV_E_FORMATETC;
        const UINT F = Format->cfFormat;
        if (!FText.empty()
            && (F == CF_TEXT || F == CF_UNICODETEXT || (F == RichTextFormat() && RichTextDropEnabled())))
            return S_OK;
        if (F == GridColumnFormat() && FColumn != -1)
            return S_OK;
        return DV_E_FORMATETC;
    });
}

HRESULT TSourceDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium)
{
    return Guarded([&]() -> HRESULT {
        if (!Medium)
            return E_POINTER;
        *Medium = STGMEDIUM{};
        if (QueryGetData(Format) != S_OK)
            return DV_E_FORMATETC;
        const UINT F = Format->cfFormat;
        std::vector<Byte> Bytes;
        if (F == CF_TEXT || F == RichTextFormat()) {
            const String& S = F == CF_TEXT ? FText : FRichText;
            Bytes.assign(S.begin(), S.end());
            Bytes.push_back(0);
        } else if (F == CF_UNICODETEXT) {
            const WideString W = FWideText.empty() ? StrToWide(FText) : FWideText;
            Bytes.resize((W.size() + 1) * 2, 0);
            std::memcpy(Bytes.data(), W.data(), W.size() * 2);
        } else {
            Bytes.resize(4);
            std::memcpy(Bytes.data(), &FColumn, 4);
        }
        HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, Bytes.size());
        if (!Block)
            return DV_E_FORMATETC;
        void* P = GlobalLock(Block);
        if (!P) {
            GlobalFree(Block);
            return DV_E_FORMATETC;
        }
        std::memcpy(P, Bytes.data(), Bytes.size());
        GlobalUnlock(Block);
        Medium->tymed = TYMED_HGLOBAL;
        Medium->hGlobal = Block;
        Medium->pUnkForRelease = nullptr;
        return S_OK;
    });
}

HRESULT TSourceDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out)
{
    if (Out)
        Out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum)
{
    return Guarded([&]() -> HRESULT {
        if (!Enum)
            return E_POINTER;
        *Enum = nullptr;
        if (Direction != DATADIR_GET)
            return E_NOTIMPL;
        *Enum = new TSourceEnumFormatEtc(FColumn != -1);
        (*Enum)->AddRef();
        return S_OK;
    });
}

HRESULT TSourceDataObject::EnumDAdvise(IEnumSTATDATA** Enum)
{
    if (Enum)
        *Enum = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---------------------------------------------------------------------------
// TSourceEnumFormatEtc

HRESULT TSourceEnumFormatEtc::Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched)
{
    ULONG N = 0;
    if (Formats)
        while (N < Count && FPosition < FormatCount())
            Formats[N++] = MakeFormat(SourceFormat(FPosition++));
    if (Fetched)
        *Fetched = N;
    return N == Count ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(ULONG Count)
{
    if (FPosition + static_cast<long long>(Count) > FormatCount()) {
        FPosition = FormatCount();
        return S_FALSE;
    }
    FPosition += static_cast<int>(Count);
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(IEnumFORMATETC** Enum)
{
    return Guarded([&]() -> HRESULT {
        if (!Enum)
            return E_POINTER;
        *Enum = new TSourceEnumFormatEtc(false);
        (*Enum)->AddRef();
        return S_OK;
    });
}
