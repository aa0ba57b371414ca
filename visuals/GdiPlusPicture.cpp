#include "visuals/GdiPlusPicture.h"

#include <cstring>

#include <objidl.h>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "visuals/ProGDIP.h"

namespace {

// A COM stream over a movable global block holding Bytes; the block belongs
// to the stream and is freed exactly once, when the stream is released.
struct TComStream {
    IStream* Stream = nullptr;

    TComStream(const void* Bytes, std::size_t Size)
    {
        HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Size);
        if (!Block)
            throw EGdiPlusPicture("Could not allocate memory for image");
        if (CreateStreamOnHGlobal(Block, TRUE, &Stream) != S_OK) {
            GlobalFree(Block);
            throw EGdiPlusPicture("Could not allocate memory for image");
        }
        ULONG Written = 0;
        Stream->Write(Bytes, static_cast<ULONG>(Size), &Written);
        LARGE_INTEGER Zero{};
        Stream->Seek(Zero, STREAM_SEEK_SET, nullptr);
    }
    ~TComStream()
    {
        if (Stream)
            Stream->Release();
    }
    TComStream(const TComStream&) = delete;
    TComStream& operator=(const TComStream&) = delete;
};

String StreamBytes(TStream* Stream)
{
    String Bytes;
    const Int64 Rest = Stream->Size() - Stream->Position();
    if (Rest > 0) {
        Bytes.resize(static_cast<std::size_t>(Rest));
        Bytes.resize(static_cast<std::size_t>(Stream->Read(Bytes.data(), static_cast<Integer>(Rest))));
    }
    return Bytes;
}

// A picture's stored data can name this class.
const bool GdiPlusPictureRegistered = (RegisterGraphicClass("TGdiPlusPicture", [] {
    return std::unique_ptr<TGraphic>(std::make_unique<TGdiPlusPicture>());
}), true);

} // namespace

TGdiPlusPicture::TGdiPlusPicture() : FData(std::make_unique<TMemoryStream>()) {}

TGdiPlusPicture::~TGdiPlusPicture() = default;

void TGdiPlusPicture::CopyBytes(const String& Bytes)
{
    FData->Clear();
    if (!Bytes.empty())
        FData->WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    FData->SetPosition(0);
}

void TGdiPlusPicture::CopyStream(TStream* Stream)
{
    CopyBytes(StreamBytes(Stream));
}

void TGdiPlusPicture::Assign(const TPersistent* Source)
{
    FEmpty = true;
    const auto* Holder = dynamic_cast<const TPicture*>(Source);
    if (!Source || (Holder && !Holder->Graphic())) {
        // A holder without a graphic counts as no source: the picture is emptied.
        FData->Clear();
        FWidth = FHeight = 0;
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    if (const auto* Other = dynamic_cast<const TGdiPlusPicture*>(Source)) {
        if (Other != this) {
            const auto* Bytes = static_cast<const char*>(Other->FData->Memory());
            CopyBytes(String(Bytes, static_cast<std::size_t>(Other->FData->Size())));
        }
        FEmpty = FData->Size() == 0;
        Changed();
    } else if (const auto* Bitmap = dynamic_cast<const TBitmap*>(Source)) {
        CopyBytes(const_cast<TBitmap*>(Bitmap)->SaveToBytes());
        FEmpty = false;
        Changed();
    } else if (Holder) {
        TMemoryStream Saved;
        Holder->Graphic()->SaveToStream(&Saved);
        Saved.SetPosition(0);
        CopyStream(&Saved);
        FEmpty = false;
        Changed();
    }
    if (FEmpty)
        FWidth = FHeight = 0;
    UpdateImageSize();
}

bool TGdiPlusPicture::UpdateImageSize()
{
    if (FEmpty || FData->Size() == 0)
        return false;
    TComStream Stream(FData->Memory(), static_cast<std::size_t>(FData->Size()));
    std::unique_ptr<TGPImage> Image(new TGPImage(Stream.Stream));
    if (!Image)
        return false;
    FWidth = static_cast<int>(Image->GetWidth());
    FHeight = static_cast<int>(Image->GetHeight());
    return true;
}

void TGdiPlusPicture::Draw(TCanvas* Canvas, const TRect& Rect)
{
    if (FEmpty || FData->Size() == 0 || !Canvas)
        return;
    TComStream Stream(FData->Memory(), static_cast<std::size_t>(FData->Size()));
    std::unique_ptr<TGPGraphics> Graphics(new TGPGraphics(Canvas->Handle()));
    std::unique_ptr<TGPImage> Image(new TGPImage(Stream.Stream));
    if (!Graphics || !Image || !Image->NativeHandle())
        return;
    if (Image->GetFormat() == ifBMP) {
        // GDI+ is done with the DC before GDI draws on it.
        Graphics.reset();
        TBitmap Bitmap;
        Bitmap.LoadFromBytes(String(static_cast<const char*>(FData->Memory()), static_cast<std::size_t>(FData->Size())));
        Bitmap.SetTransparent(true);
        Canvas->Draw(Rect.left, Rect.top, &Bitmap);
        return;
    }
    FWidth = static_cast<int>(Image->GetWidth());
    FHeight = static_cast<int>(Image->GetHeight());
    Graphics->DrawImage(Image.get(), Rect.left, Rect.top, RectWidth(Rect), RectHeight(Rect));
}

void TGdiPlusPicture::LoadFromFile(const String& FileName)
{
    try {
        TMemoryStream File;
        File.LoadFromFile(FileName);
        CopyStream(&File);
        FEmpty = false;
        if (OnClear)
            OnClear(this);
        UpdateImageSize();
        Changed();
    } catch (const Exception&) {
        FEmpty = true;
    }
}

void TGdiPlusPicture::LoadFromStream(TStream* Stream)
{
    if (!Stream)
        return;
    CopyStream(Stream);
    FEmpty = false;
    UpdateImageSize();
    Changed();
}

void TGdiPlusPicture::SaveToStream(TStream* Stream)
{
    if (Stream)
        FData->SaveToStream(Stream);
}

void TGdiPlusPicture::LoadFromRCData(HINSTANCE Instance, const String& Name)
{
    const WideString WideName = StrToWide(Name);
    HRSRC Info = FindResourceW(Instance, WideName.c_str(), MAKEINTRESOURCEW(10));
    if (!Info)
        return;
    HGLOBAL Loaded = LoadResource(Instance, Info);
    const void* Bytes = Loaded ? LockResource(Loaded) : nullptr;
    if (!Bytes)
        return;
    TMemoryStream Stream;
    Stream.WriteBuffer(Bytes, static_cast<Integer>(SizeofResource(Instance, Info)));
    Stream.SetPosition(0);
    LoadFromStream(&Stream);
}

void TGdiPlusPicture::ReadData(TStream* Stream)
{
    CopyStream(Stream);
    FEmpty = FData->Size() == 0;
    // Measured now, so that layouts reserve the picture's room.
    if (!FEmpty)
        UpdateImageSize();
}

void TGdiPlusPicture::WriteData(TStream* Stream)
{
    FData->SaveToStream(Stream);
}
