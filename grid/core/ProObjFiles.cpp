// The embedded-control list, the file-backed picture and the line reader.
#include "grid/core/ProObj.h"

#include <ocidl.h>
#include <olectl.h>

#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/StrUtils.h"

// ---- TControlList -----------------------------------------------------------

TControlItem* TControlList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FItems[Index].get();
}

TControlItem* TControlList::Add(int Column, int Row, TControl* Control)
{
    FItems.push_back(std::make_unique<TControlItem>(TControlItem{Column, Row, Control}));
    return FItems.back().get();
}

void TControlList::Delete(int Index)
{
    (void)Items(Index);
    FItems.erase(FItems.begin() + Index);
}

// ---- TFilePicture -----------------------------------------------------------

namespace {

// A picture read from a file by the system's OLE picture loader, released
// with the object. Empty when the file is missing or not a picture.
class TOlePictureFile {
public:
    explicit TOlePictureFile(const String& FileName)
    {
        if (FileName.empty())
            return;
        HANDLE file = CreateFileW(StrToWide(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER size{};
        HGLOBAL memory = nullptr;
        if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < 0x40000000)
            memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
        bool read = false;
        if (memory) {
            void* bytes = GlobalLock(memory);
            DWORD got = 0;
            read = bytes && ReadFile(file, bytes, static_cast<DWORD>(size.QuadPart), &got, nullptr) &&
                   got == static_cast<DWORD>(size.QuadPart);
            GlobalUnlock(memory);
        }
        CloseHandle(file);
        if (!read) {
            if (memory)
                GlobalFree(memory);
            return;
        }
        IStream* stream = nullptr;
        // The stream frees the memory when it is released.
        if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
            GlobalFree(memory);
            return;
        }
        if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size.QuadPart), FALSE, IID_IPicture,
                                  reinterpret_cast<void**>(&FPicture))))
            FPicture = nullptr;
        stream->Release();
        if (FPicture && (FAILED(FPicture->get_Width(&FWidth)) || FAILED(FPicture->get_Height(&FHeight)))) {
            FPicture->Release();
            FPicture = nullptr;
        }
    }
    ~TOlePictureFile()
    {
        if (FPicture)
            FPicture->Release();
    }
    TOlePictureFile(const TOlePictureFile&) = delete;
    TOlePictureFile& operator=(const TOlePictureFile&) = delete;

    bool Loaded() const { return FPicture != nullptr; }
    // The size in screen pixels (the loader measures in 0.01 mm).
    int PixelWidth() const { return HiMetricToPixels(FWidth, LOGPIXELSX); }
    int PixelHeight() const { return HiMetricToPixels(FHeight, LOGPIXELSY); }

    void Render(HDC DC, const TRect& R) const
    {
        if (FPicture)
            FPicture->Render(DC, R.left, R.top, RectWidth(R), RectHeight(R), 0, FHeight, FWidth, -FHeight, nullptr);
    }

private:
    static int HiMetricToPixels(OLE_XSIZE_HIMETRIC Value, int Axis)
    {
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, Axis) : 96;
        if (screen)
            ReleaseDC(nullptr, screen);
        return MulDiv(Value, dpi, 2540);
    }

    IPicture* FPicture = nullptr;
    OLE_XSIZE_HIMETRIC FWidth = 0;
    OLE_YSIZE_HIMETRIC FHeight = 0;
};

}  // namespace

void TFilePicture::SetFilename(const String& Value)
{
    FFilename = Value;
    TOlePictureFile picture(Value);
    FWidth = picture.Loaded() ? picture.PixelWidth() : 0;
    FHeight = picture.Loaded() ? picture.PixelHeight() : 0;
}

void TFilePicture::Assign(const TPersistent* Source)
{
    if (const auto* other = dynamic_cast<const TFilePicture*>(Source)) {
        FFilename = other->FFilename;
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        return;
    }
    TPersistent::Assign(Source);
}

void TFilePicture::Draw(TCanvas* Canvas, const TRect& R) const
{
    if (FFilename.empty() || !Canvas)
        return;
    TOlePictureFile picture(FFilename);
    if (picture.Loaded())
        picture.Render(Canvas->Handle(), R);
}

// ---- TFileStringList --------------------------------------------------------

void TFileStringList::Reset()
{
    FReadPos = 0;
    FCache.clear();
}

String TFileStringList::ReadLine()
{
    if (AtEnd())
        return String();
    FCache = Strings(FReadPos);
    ++FReadPos;
    return FCache;
}
