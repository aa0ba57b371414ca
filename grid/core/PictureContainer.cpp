#include "grid/core/PictureContainer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/StrUtils.h"
#include "grid/core/GifFrames.h"

namespace {

// The picture loader needs COM on the calling thread for the formats it
// decodes through the imaging components (JPEG, GIF). Each thread joins an
// apartment once and stays in it; a thread that already chose another
// apartment model keeps it.
void EnsureComOnThread()
{
    thread_local bool Joined = false;
    if (!Joined) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        Joined = true;
    }
}

String Upper(const String& S)
{
    String R = S;
    std::transform(R.begin(), R.end(), R.begin(), [](char C) { return static_cast<char>(std::toupper(static_cast<unsigned char>(C))); });
    return R;
}

// A picture's stored data can name this class.
const bool HTMLPictureRegistered =
    (RegisterGraphicClass("THTMLPicture", [] { return std::unique_ptr<TGraphic>(std::make_unique<THTMLPicture>()); }),
     true);

} // namespace

// ---------------------------------------------------------------------------
// THTMLPicture

THTMLPicture::THTMLPicture() : FDataStream(std::make_unique<TMemoryStream>()) {}

THTMLPicture::~THTMLPicture()
{
    if (FDownload)
        FDownload->WaitFor(INFINITE);
    ReleasePicture();
}

void THTMLPicture::ReleasePicture()
{
    if (FPicture) {
        FPicture->Release();
        FPicture = nullptr;
    }
}

bool THTMLPicture::IsGIF() const
{
    return IsGifData(static_cast<const Byte*>(FDataStream->Memory()), static_cast<std::size_t>(FDataStream->Size()));
}

int THTMLPicture::FrameCount()
{
    if (!IsGIF())
        return -1;
    if (FFrameCount < 0)
        FFrameCount = CountGifFrames(static_cast<const Byte*>(FDataStream->Memory()),
                                     static_cast<std::size_t>(FDataStream->Size()));
    return FFrameCount;
}

void THTMLPicture::DecodeData()
{
    const auto DataSize = static_cast<std::size_t>(FDataStream->Size());
    HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, std::max<std::size_t>(DataSize, 1));
    if (!Mem)
        throw Exception("Could not allocate memory for image");
    FFrameXPos = FFrameYPos = 0;
    FLogWidth = FLogHeight = 0;

    const auto* Src = static_cast<const Byte*>(FDataStream->Memory());
    auto* Dst = static_cast<Byte*>(GlobalLock(Mem));
    if (!Dst) {
        GlobalFree(Mem);
        throw Exception("Could not allocate memory for image");
    }
    if (IsGIF() && FrameCount() > 0) {
        // Only the chosen frame and those after it, so that the loader's
        // first image is the chosen frame.
        TGifFrameInfo Info;
        const std::vector<Byte> Kept = SelectGifFrame(Src, DataSize, FFrame, Info);
        FLogWidth = Info.ScreenWidth;
        FLogHeight = Info.ScreenHeight;
        FFrameXPos = Info.Left;
        FFrameYPos = Info.Top;
        FFrameXSize = Info.Width;
        FFrameYSize = Info.Height;
        if (!Kept.empty())
            std::memcpy(Dst, Kept.data(), Kept.size());
    } else if (DataSize > 0) {
        std::memcpy(Dst, Src, DataSize);
    }
    GlobalUnlock(Mem);

    ReleasePicture();
    EnsureComOnThread();
    IStream* Stream = nullptr;
    // The stream owns the block from here on and frees it when released.
    if (FAILED(CreateStreamOnHGlobal(Mem, TRUE, &Stream))) {
        GlobalFree(Mem);
        throw Exception("Could not create image stream");
    }
    if (!Stream)
        throw Exception("Empty image stream created");
    IPicture* Pic = nullptr;
    const HRESULT Hr = OleLoadPicture(Stream, static_cast<LONG>(DataSize), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&Pic));
    Stream->Release();
    if (FAILED(Hr))
        throw Exception("Could not load image. Invalid format");
    if (!Pic)
        throw Exception("Could not load image");
    FPicture = Pic;
}

void THTMLPicture::LoadFromStream(TStream* Stream)
{
    ReadData(Stream);
    Changed();
}

void THTMLPicture::ReadData(TStream* Stream)
{
    FDataStream->Clear();
    FDataStream->CopyFrom(Stream, Stream->Size() - Stream->Position());
    // A new image: its frames are counted again.
    FFrameCount = -1;
    FIsEmpty = false;
    DecodeData();
}

void THTMLPicture::LoadFromFile(const String& FileName)
{
    try {
        TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(&Stream);
    } catch (const std::exception&) {
        FIsEmpty = true;
    }
}

void THTMLPicture::SaveToStream(TStream* Stream)
{
    WriteData(Stream);
}

void THTMLPicture::WriteData(TStream* Stream)
{
    if (FDataStream->Size() > 0)
        Stream->WriteBuffer(FDataStream->Memory(), static_cast<Integer>(FDataStream->Size()));
}

void THTMLPicture::LoadFromResourceName(HINSTANCE Instance, const String& ResName)
{
    const WideString Name = StrToWide(ResName);
    HRSRC Res = FindResourceW(Instance, Name.c_str(), MAKEINTRESOURCEW(10));
    HGLOBAL Handle = Res ? LoadResource(Instance, Res) : nullptr;
    const void* Bytes = Handle ? LockResource(Handle) : nullptr;
    if (!Bytes)
        throw Exception("Resource " + ResName + " not found");
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes, static_cast<Integer>(SizeofResource(Instance, Res)));
    Stream.SetPosition(0);
    LoadFromStream(&Stream);
}

void THTMLPicture::LoadFromAddress(const String& Address)
{
    const String U = Upper(Address);
    if (U.rfind("RES://", 0) == 0) {
        FAddress = Address;
        const String Name = Address.substr(6);
        HINSTANCE Module = GetModuleHandleW(nullptr);
        if (FindResourceW(Module, StrToWide(Name).c_str(), MAKEINTRESOURCEW(10)))
            LoadFromResourceName(Module, Name);
    } else if (U.rfind("FILE://", 0) == 0) {
        FAddress = Address;
        LoadFromFile(Address.substr(7));
    } else if (!FAsynch) {
        FAddress = Address;
        FID = Address;
    } else if (!FIsDownloading) {
        FID = Address;
        FIsDownloading = true;
        FDownload = TThread::New<TDownLoadThread>(this);
    }
}

void THTMLPicture::SetFrame(int Value)
{
    FFrame = Value;
    if (FDataStream->Size() > 0) {
        DecodeData();
        if (OnFrameChange)
            OnFrameChange(this);
    }
}

void THTMLPicture::HimetricSize(long& W, long& H) const
{
    W = H = 0;
    if (FPicture) {
        OLE_XSIZE_HIMETRIC X = 0;
        OLE_YSIZE_HIMETRIC Y = 0;
        FPicture->get_Width(&X);
        FPicture->get_Height(&Y);
        W = X;
        H = Y;
    }
}

int THTMLPicture::Width() const
{
    long W, H;
    HimetricSize(W, H);
    return MulDiv(W, FLogPixX, 2540);
}

int THTMLPicture::Height() const
{
    long W, H;
    HimetricSize(W, H);
    return MulDiv(H, FLogPixY, 2540);
}

int THTMLPicture::AnimWidth() const
{
    if (!FPicture)
        return 0;
    return FLogWidth != 0 ? FLogWidth : Width();
}

int THTMLPicture::AnimHeight() const
{
    if (!FPicture)
        return 0;
    return FLogHeight != 0 ? FLogHeight : Height();
}

void THTMLPicture::Draw(TCanvas* Canvas, const TRect& Rect)
{
    if (FIsEmpty || !FPicture || !Canvas)
        return;
    long HmW, HmH;
    HimetricSize(HmW, HmH);
    HDC DC = Canvas->Handle();
    int W = Rect.right - Rect.left;
    int H = Rect.bottom - Rect.top;
    if (!FStretch) {
        W = MulDiv(HmW, GetDeviceCaps(DC, LOGPIXELSX), 2540);
        H = MulDiv(HmH, GetDeviceCaps(DC, LOGPIXELSY), 2540);
    }
    // The source is given in HIMETRIC units, bottom-up.
    FPicture->Render(DC, Rect.left, Rect.top, W, H, 0, HmH, HmW, -HmH, nullptr);
}

void THTMLPicture::Assign(const TPersistent* Source)
{
    FIsEmpty = true;
    ReleasePicture();
    FFrameCount = FFrameFirst = FFrameLast = -1;
    if (!Source) {
        FFrame = 1;
        FDataStream->Clear();
        return;
    }
    const auto* Pic = dynamic_cast<const THTMLPicture*>(Source);
    if (!Pic) {
        SetFrame(1);
        TGraphic::Assign(Source);
        return;
    }
    FFrame = 1;
    FStretch = Pic->FStretch;
    FFrame = Pic->FFrame;
    FAddress = Pic->FAddress;
    FDataStream->Clear();
    if (Pic->FDataStream->Size() > 0)
        FDataStream->WriteBuffer(Pic->FDataStream->Memory(), static_cast<Integer>(Pic->FDataStream->Size()));
    if (FDataStream->Size() > 0) {
        FIsEmpty = false;
        DecodeData();
    }
    Changed();
}

// ---------------------------------------------------------------------------
// THTMLPictureCache

THTMLPictureCache::~THTMLPictureCache() = default;

THTMLPicture* THTMLPictureCache::AddPicture(std::unique_ptr<THTMLPicture> Picture)
{
    FItems.push_back(std::move(Picture));
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const String& Address) const
{
    for (const auto& P : FItems)
        if (P->Address() == Address)
            return P.get();
    return nullptr;
}

void THTMLPictureCache::ClearPictures() { FItems.clear(); }

// ---------------------------------------------------------------------------
// Container items

TPictureItem::TPictureItem(TPictureCollection* Collection)
    : FCollection(Collection), FPicture(std::make_unique<THTMLPicture>())
{
}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPersistent* Source)
{
    const auto* Item = dynamic_cast<const TPictureItem*>(Source);
    if (!Item) {
        TPersistent::Assign(Source);
        return;
    }
    FName = Item->FName;
    Tag = Item->Tag;
    FPicture->Assign(Item->FPicture.get());
}

int TPictureItem::Index() const
{
    if (!FCollection)
        return -1;
    for (int I = 0; I < FCollection->Count(); ++I)
        if (FCollection->Items(I) == this)
            return I;
    return -1;
}

TPictureCollection::~TPictureCollection() = default;

void TPictureCollection::Assign(const TPersistent* Source)
{
    const auto* Other = dynamic_cast<const TPictureCollection*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    Clear();
    for (int I = 0; I < Other->Count(); ++I)
        Add()->Assign(Other->Items(I));
}

TPictureItem* TPictureCollection::Add()
{
    FItems.push_back(std::make_unique<TPictureItem>(this));
    return FItems.back().get();
}

void TPictureCollection::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FItems.erase(FItems.begin() + Index);
}

void TPictureCollection::Clear() { FItems.clear(); }

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this))
{
}

TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const String& Name) const
{
    const String U = Upper(Name);
    for (int I = 0; I < FItems->Count(); ++I)
        if (Upper(FItems->Items(I)->Name()) == U)
            return FItems->Items(I)->Picture();
    return nullptr;
}
