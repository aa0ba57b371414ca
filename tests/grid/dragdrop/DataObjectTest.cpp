// The drag and drop COM objects called directly: the data object and its
// format enumerator, the reader over a dropped data object (also over
// foreign blocks that end without a terminator), and a drop target whose
// handler fails.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include <shlobj.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/DragDropSettings.h"
#include "grid/interaction/psgdd.h"
#include "tests/support/GuiHarness.h"

namespace {

FORMATETC Fmt(UINT Format, DWORD Tymed = TYMED_HGLOBAL)
{
    return FORMATETC{static_cast<CLIPFORMAT>(Format), nullptr, DVASPECT_CONTENT, -1, Tymed};
}

// The bytes of one format fetched from a data object; empty when GetData failed.
std::vector<Byte> Fetch(IDataObject* D, UINT Format, HRESULT* Result = nullptr)
{
    FORMATETC F = Fmt(Format);
    STGMEDIUM M{};
    const HRESULT Hr = D->GetData(&F, &M);
    if (Result)
        *Result = Hr;
    if (Hr != S_OK)
        return {};
    std::vector<Byte> Bytes(GlobalSize(M.hGlobal));
    std::memcpy(Bytes.data(), GlobalLock(M.hGlobal), Bytes.size());
    GlobalUnlock(M.hGlobal);
    ReleaseStgMedium(&M);
    return Bytes;
}

// A foreign data object: exactly the given blocks, as global memory of
// exactly their size, so that nothing guarantees a terminator.
class TForeignData : public TInterfacedObject<IDataObject> {
public:
    std::map<UINT, std::vector<Byte>> Blocks;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* F, STGMEDIUM* M) override
    {
        auto It = Blocks.find(F->cfFormat);
        if (It == Blocks.end() || !(F->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, It->second.size());
        std::memcpy(GlobalLock(H), It->second.data(), It->second.size());
        GlobalUnlock(H);
        *M = STGMEDIUM{};
        M->tymed = TYMED_HGLOBAL;
        M->hGlobal = H;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* F) override
    {
        return Blocks.count(F->cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** E) override
    {
        std::vector<FORMATETC> Formats;
        for (auto& [Format, Bytes] : Blocks)
            Formats.push_back(Fmt(Format));
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(Formats.size()), Formats.data(), E);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

// A data object that has no format enumerator.
class TNoEnumData : public TForeignData {
public:
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** E) override
    {
        *E = nullptr;
        return E_FAIL;
    }
};

template <class T>
struct Ref {
    T* P;
    explicit Ref(T* Object) : P(Object) { P->AddRef(); }
    ~Ref() { P->Release(); }
    T* operator->() const { return P; }
};

} // namespace

TEST(DropEffect, CtrlCopiesOtherwiseMoveWhenAllowed)
{
    struct Case {
        DWORD Keys, Allowed, Expected;
    } Cases[] = {
        {MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {MK_LBUTTON, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_COPY},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(DropEffectFor(C.Keys, C.Allowed), C.Expected) << "keys " << C.Keys << " allowed " << C.Allowed;
}

TEST(SourceDataObject, RichTextIsOfferedOnlyWhileAGridAllowsIt)
{
    auto* Grid = new TProStringGrid(nullptr);
    Ref<IDataObject> D(new TSourceDataObject("a\tb", -1, "{\\rtf1 a}"));
    FORMATETC Rtf = Fmt(RichTextFormat());
    Grid->DragDropSettings()->SetOleDropRTF(false);
    EXPECT_EQ(D->QueryGetData(&Rtf), DV_E_FORMATETC);
    Grid->DragDropSettings()->SetOleDropRTF(true);
    EXPECT_EQ(D->QueryGetData(&Rtf), S_OK);
    const std::vector<Byte> Bytes = Fetch(D.P, RichTextFormat());
    EXPECT_EQ(std::string(Bytes.begin(), Bytes.end()), std::string("{\\rtf1 a}") + '\0');
    Grid->DragDropSettings()->SetOleDropRTF(false);
    delete Grid;

    FORMATETC Stream = Fmt(CF_TEXT, TYMED_ISTREAM);
    EXPECT_EQ(D->QueryGetData(&Stream), DV_E_FORMATETC);
    FORMATETC Both = Fmt(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM);
    EXPECT_EQ(D->QueryGetData(&Both), DV_E_FORMATETC) << "only exactly TYMED_HGLOBAL is served";
}

TEST(SourceDataObject, TextBlocksAreTerminatedAndUnicodeIsConverted)
{
    const String Text = "ab\t\xC4\xE3\r\nc";   // 你 in code page 936
    Ref<IDataObject> D(new TSourceDataObject(Text, -1, ""));
    const std::vector<Byte> A = Fetch(D.P, CF_TEXT);
    ASSERT_EQ(A.size(), Text.size() + 1);
    EXPECT_EQ(std::memcmp(A.data(), Text.data(), Text.size()), 0);
    EXPECT_EQ(A.back(), 0);

    const WideString W = StrToWide(Text);
    const std::vector<Byte> U = Fetch(D.P, CF_UNICODETEXT);
    ASSERT_EQ(U.size(), 2 * W.size() + 2);
    EXPECT_EQ(std::memcmp(U.data(), W.data(), 2 * W.size()), 0);
    EXPECT_EQ(W[3], L'\x4F60');

    HRESULT Hr = S_OK;
    Fetch(D.P, GridColumnFormat(), &Hr);
    EXPECT_EQ(Hr, DV_E_FORMATETC) << "no column in a text drag";
}

TEST(SourceDataObject, WideCellsAreDraggedWholeAsUnicode)
{
    // A Thai letter, which the 8-bit code page cannot hold, in a cell of wide
    // text: the Unicode text of the drag keeps it.
    auto* Grid = new TProStringGrid(nullptr);
    Grid->SetColCount(3);
    Grid->SetRowCount(3);
    Grid->WriteWideCellText(1, 1, L"x\x0E01y");
    Grid->SetCells(2, 1, "b");
    Grid->SetSelection(TGridRect{1, 1, 2, 1});
    WideString Wide;
    const String Text = Grid->GetDragText(&Wide);
    EXPECT_EQ(Wide, WideString(L"x\x0E01y\tb"));
    EXPECT_EQ(Text.find("|\\"), String::npos) << "no packed text in the 8-bit form";
    delete Grid;

    Ref<IDataObject> D(new TSourceDataObject(Text, -1, "", Wide));
    const std::vector<Byte> U = Fetch(D.P, CF_UNICODETEXT);
    ASSERT_EQ(U.size(), 2 * Wide.size() + 2);
    EXPECT_EQ(std::memcmp(U.data(), Wide.data(), 2 * Wide.size()), 0);
    const std::vector<Byte> A = Fetch(D.P, CF_TEXT);
    EXPECT_EQ(String(A.begin(), A.end() - 1), Text);
}

TEST(SourceDataObject, ColumnDragEnumeratesFourFormatsAndCarriesTheIndex)
{
    Ref<IDataObject> D(new TSourceDataObject("", 7, ""));
    IEnumFORMATETC* E = nullptr;
    ASSERT_EQ(D->EnumFormatEtc(DATADIR_GET, &E), S_OK);
    FORMATETC Got[6]{};
    ULONG Fetched = 0;
    EXPECT_EQ(E->Next(6, Got, &Fetched), S_FALSE);
    ASSERT_EQ(Fetched, 4u);
    const UINT Order[] = {CF_TEXT, CF_UNICODETEXT, RichTextFormat(), GridColumnFormat()};
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(Got[I].cfFormat, Order[I]) << "format " << I;
        EXPECT_EQ(Got[I].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
        EXPECT_EQ(Got[I].lindex, -1);
        EXPECT_EQ(Got[I].ptd, nullptr);
    }
    EXPECT_EQ(E->Reset(), S_OK);
    EXPECT_EQ(E->Skip(3), S_OK);
    EXPECT_EQ(E->Next(1, Got, &Fetched), S_OK);
    EXPECT_EQ(Got[0].cfFormat, GridColumnFormat());
    EXPECT_EQ(E->Skip(1), S_FALSE);
    EXPECT_EQ(E->Next(1, Got, &Fetched), S_FALSE);
    EXPECT_EQ(Fetched, 0u);
    IEnumFORMATETC* Clone = nullptr;
    ASSERT_EQ(E->Clone(&Clone), S_OK);
    EXPECT_EQ(Clone->Next(6, Got, &Fetched), S_FALSE);
    EXPECT_EQ(Fetched, 3u) << "a clone starts over, without the column format";
    Clone->Release();
    E->Release();

    IEnumFORMATETC* SetEnum = reinterpret_cast<IEnumFORMATETC*>(1);
    EXPECT_EQ(D->EnumFormatEtc(DATADIR_SET, &SetEnum), E_NOTIMPL);
    EXPECT_EQ(SetEnum, nullptr);

    HRESULT Hr = S_OK;
    Fetch(D.P, CF_TEXT, &Hr);
    EXPECT_EQ(Hr, DV_E_FORMATETC) << "the text of a column drag is empty";
    const std::vector<Byte> C = Fetch(D.P, GridColumnFormat());
    ASSERT_EQ(C.size(), 4u);
    int Column = 0;
    std::memcpy(&Column, C.data(), 4);
    EXPECT_EQ(Column, 7);
}

TEST(EnumFormats, ReadsStopAtTheEndOfForeignBlocks)
{
    Ref<TForeignData> D(new TForeignData);
    // Text without a terminator, a 2-byte "column" and a file list whose
    // names run to the end of the block.
    D->Blocks[CF_TEXT] = {'a', 'b', 'c'};
    D->Blocks[GridColumnFormat()] = {5, 0};
    std::vector<Byte> Drop(sizeof(DROPFILES), 0);
    DROPFILES Header{};
    Header.pFiles = sizeof(DROPFILES);
    Header.fWide = FALSE;
    std::memcpy(Drop.data(), &Header, sizeof Header);
    for (char C : std::string("C:\\a.csv"))
        Drop.push_back(static_cast<Byte>(C));
    Drop.push_back(0);
    for (char C : std::string("C:\\unterminated"))
        Drop.push_back(static_cast<Byte>(C));
    D->Blocks[CF_HDROP] = Drop;

    TEnumFormats Reader(D.P);
    EXPECT_TRUE(Reader.HasText());
    EXPECT_EQ(Reader.Text(), "abc");
    EXPECT_EQ(Reader.Column(), -1) << "a block shorter than 4 bytes holds no column";
    TStringList Names;
    ASSERT_TRUE(Reader.ReadFileList(&Names));
    ASSERT_EQ(Names.Count(), 2);
    EXPECT_EQ(Names.Strings(0), "C:\\a.csv");
    EXPECT_EQ(Names.Strings(1), "C:\\unterminated");

    // A header pointing past the block gives no names.
    Header.pFiles = 4096;
    std::memcpy(D->Blocks[CF_HDROP].data(), &Header, sizeof Header);
    TEnumFormats Reader2(D.P);
    ASSERT_TRUE(Reader2.ReadFileList(&Names));
    EXPECT_EQ(Names.Count(), 0);
    EXPECT_FALSE(Reader2.HasURL());
    EXPECT_EQ(Reader2.ReadText(URLFormat()), "");
}

TEST(EnumFormats, WideFileListsAndAMissingEnumerator)
{
    Ref<TForeignData> D(new TForeignData);
    std::vector<Byte> Drop(sizeof(DROPFILES), 0);
    DROPFILES Header{};
    Header.pFiles = sizeof(DROPFILES);
    Header.fWide = TRUE;
    std::memcpy(Drop.data(), &Header, sizeof Header);
    for (wchar_t C : std::wstring(L"C:\\x.xls\0\0", 10)) {
        Drop.push_back(static_cast<Byte>(C & 0xFF));
        Drop.push_back(static_cast<Byte>(C >> 8));
    }
    D->Blocks[CF_HDROP] = Drop;
    TEnumFormats Reader(D.P);
    TStringList Names;
    ASSERT_TRUE(Reader.ReadFileList(&Names));
    ASSERT_EQ(Names.Count(), 1);
    EXPECT_EQ(Names.Strings(0), "C:\\x.xls");

    Ref<TNoEnumData> Bad(new TNoEnumData);
    try {
        TEnumFormats R(Bad.P);
        FAIL() << "no enumerator must raise";
    } catch (const EAssertionFailed& E) {
        EXPECT_NE(E.Message.find("Cannot get the format enumerator"), String::npos);
    }
}

namespace {

class TThrowingTarget : public TPSGDropTarget {
protected:
    void TextDropped(TPoint, const String&) override { throw Exception("drop handler failed"); }
};

} // namespace

TEST(DropTarget, AFailingHandlerReturnsAFailureAndIsReportedAfterTheDrop)
{
    std::vector<String> Reported;
    auto Saved = Application->OnException;
    Application->OnException = [&](TObject*, const Exception& E) { Reported.push_back(E.Message); };
    Ref<TThrowingTarget> T(new TThrowingTarget);
    Ref<IDataObject> D(new TSourceDataObject("x", -1, ""));
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(T->DragEnter(D.P, MK_LBUTTON, POINTL{0, 0}, &Effect), S_OK);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(T->Drop(D.P, MK_CONTROL, POINTL{0, 0}, &Effect), E_UNEXPECTED);
    EXPECT_TRUE(Reported.empty()) << "nothing is shown inside the COM call";
    gui::PumpUntil([&] { return !Reported.empty(); }, 10000);
    Application->OnException = Saved;
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0], "drop handler failed");

    // A data object without an enumerator fails DragEnter the same way.
    Ref<TNoEnumData> Bad(new TNoEnumData);
    Application->OnException = [&](TObject*, const Exception& E) { Reported.push_back(E.Message); };
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(T->DragEnter(Bad.P, 0, POINTL{0, 0}, &Effect), E_UNEXPECTED);
    gui::PumpUntil([&] { return Reported.size() == 2; }, 10000);
    Application->OnException = Saved;
    ASSERT_EQ(Reported.size(), 2u);
    EXPECT_NE(Reported[1].find("Cannot get the format enumerator"), String::npos);
}
