#include "framework/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "framework/Codepage.h"

// The canvas of a bitmap: a memory DC with the bitmap's DIB section
// selected. It holds the DIB section while selected, so the bitmap may
// replace its pixels at any time: it lets the DC go first (FreeHandle).
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* Owner) : FBitmap(Owner) {}
    ~TBitmapCanvas() override { FreeHandle(); }

protected:
    void CreateHandle() override
    {
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr)
            throw EOutOfResources("Cannot create a memory device context");
        if (FBitmap->FImage) {
            SelectObject(dc, FBitmap->FImage.get());
            FSelectedImage = FBitmap->FImage;
        }
        AttachHandle(dc, true);
    }

    void DestroyHandle(HDC DC) override
    {
        DeleteDC(DC);
        FSelectedImage.reset();
    }

private:
    TBitmap* FBitmap;
    TSharedGdiObject FSelectedImage;
};

namespace {

constexpr WORD BmpSignature = 0x4D42;   // "BM"

int RowBytesOf(int Width, int BytesPerPixel) { return (Width * BytesPerPixel + 3) & ~3; }

// Reads a little-endian value at Offset of Data.
template <class T>
T ReadAt(const Byte* Data, std::size_t Offset)
{
    T v;
    std::memcpy(&v, Data + Offset, sizeof v);
    return v;
}

// A file handle closed at the end of the scope.
class TFileHandle {
public:
    explicit TFileHandle(HANDLE H) : FHandle(H) {}
    ~TFileHandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    HANDLE Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
};

} // namespace

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height, TPixelFormat Format)
{
    NewImage(Width, Height, Format, false);
}

TBitmap::~TBitmap()
{
    // The canvas goes first: its DC holds the DIB section.
    FCanvas.reset();
}

void TBitmap::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TBitmap::ReleaseCanvasHandle()
{
    if (FCanvas)
        FCanvas->FreeHandle();
}

int TBitmap::RowBytes() const { return RowBytesOf(FWidth, BytesPerPixel()); }

void TBitmap::NewImage(int Width, int Height, TPixelFormat Format, bool KeepPixels)
{
    if (Width < 0 || Height < 0)
        throw EInvalidGraphic("Invalid bitmap size");
    const int bpp = Format == TPixelFormat::pf24bit ? 3 : 4;
    TSharedGdiObject image;
    Byte* bits = nullptr;
    if (Width > 0 && Height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = Height;   // bottom-up, as .bmp files store rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bpp * 8);
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        image = ShareGdiObject(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0), "a bitmap");
        bits = static_cast<Byte*>(p);
        if (KeepPixels && FBits != nullptr) {
            GdiFlush();
            const int oldBpp = BytesPerPixel();
            const int oldStride = RowBytes();
            const int newStride = RowBytesOf(Width, bpp);
            const int rows = std::min(Height, FHeight);
            const int cols = std::min(Width, FWidth);
            for (int r = 0; r < rows; ++r) {
                const Byte* from = FBits + static_cast<std::size_t>(FHeight - 1 - r) * oldStride;
                Byte* to = bits + static_cast<std::size_t>(Height - 1 - r) * newStride;
                for (int c = 0; c < cols; ++c)
                    std::memcpy(to + c * bpp, from + c * oldBpp, 3);
            }
        }
    }
    ReleaseCanvasHandle();
    FImage = std::move(image);
    FBits = bits;
    FWidth = FImage ? Width : 0;
    FHeight = FImage ? Height : 0;
    FFormat = Format;
}

void TBitmap::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        NewImage(0, 0, FFormat, false);
        Changed();
        return;
    }
    const auto* b = dynamic_cast<const TBitmap*>(Source);
    if (b == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (b == this)
        return;
    NewImage(b->FWidth, b->FHeight, b->FFormat, false);
    if (FBits != nullptr) {
        GdiFlush();
        std::memcpy(FBits, b->FBits, static_cast<std::size_t>(RowBytes()) * FHeight);
    }
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    Changed();
}

void TBitmap::SetSize(int Width, int Height)
{
    if (Width == FWidth && Height == FHeight)
        return;
    NewImage(Width, Height, FFormat, true);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == FFormat)
        return;
    NewImage(FWidth, FHeight, Value, true);
    Changed();
}

Byte* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= FHeight)
        throw EInvalidGraphic("Scan line index out of range");
    GdiFlush();   // drawing through the canvas may still be queued
    return FBits + static_cast<std::size_t>(FHeight - 1 - Row) * RowBytes();
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

HBITMAP TBitmap::Handle()
{
    ReleaseCanvasHandle();
    return static_cast<HBITMAP>(FImage.get());
}

void TBitmap::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FTransparentColor != clDefault || FBits == nullptr)
        return FTransparentColor == clDefault ? clNone : FTransparentColor;
    GdiFlush();
    const Byte* p = FBits;   // the bottom row comes first
    return RGBToColor(p[2], p[1], p[0]);
}

void TBitmap::SetTransparentColor(TColor Value)
{
    if (Value == FTransparentColor)
        return;
    FTransparentColor = Value;
    Changed();
}

TSharedGdiObject TBitmap::CreateMask(TColor Color)
{
    TSharedGdiObject mask = ShareGdiObject(CreateBitmap(std::max(FWidth, 1), std::max(FHeight, 1), 1, 1, nullptr),
                                           "a mask bitmap");
    if (Empty())
        return mask;
    HDC src = Canvas()->Handle();
    TMemoryDC dc(mask);
    // A colour-to-monochrome blit makes the pixels of the source's
    // background colour 1 and every other pixel 0.
    const COLORREF oldBk = SetBkColor(src, ColorToRGB(Color));
    BitBlt(dc.Handle(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    return mask;
}

// ---------------------------------------------------------------------------
// .bmp data

void TBitmap::LoadFromDib(const Byte* Dib, std::size_t Size, const Byte* Bits)
{
    if (Size < sizeof(BITMAPCOREHEADER))
        throw EInvalidGraphic("Bitmap data too short");
    const DWORD headerSize = ReadAt<DWORD>(Dib, 0);
    int width = 0;
    int height = 0;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    std::size_t colors = 0;
    std::size_t colorSize = 4;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        width = ReadAt<WORD>(Dib, 4);
        height = ReadAt<WORD>(Dib, 6);
        bitCount = ReadAt<WORD>(Dib, 10);
        colors = bitCount <= 8 ? std::size_t{1} << bitCount : 0;
        colorSize = 3;
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= Size) {
        width = ReadAt<LONG>(Dib, 4);
        height = ReadAt<LONG>(Dib, 8);
        bitCount = ReadAt<WORD>(Dib, 14);
        compression = ReadAt<DWORD>(Dib, 16);
        const DWORD used = ReadAt<DWORD>(Dib, 32);
        colors = used != 0 ? used : bitCount <= 8 ? std::size_t{1} << bitCount : 0;
        if (headerSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS)
            colors += 3;   // the three colour masks follow the header
    } else {
        throw EInvalidGraphic("Unknown bitmap header");
    }
    const int rows = height < 0 ? -height : height;
    if (width < 0 || width > 65535 || rows > 65535 || bitCount == 0 || bitCount > 32)
        throw EInvalidGraphic("Invalid bitmap header");

    // 64-bit sums: the header's counts come from the file and may be absurd.
    const std::uint64_t tableEnd = headerSize + std::uint64_t{colors} * colorSize;
    if (tableEnd > Size)
        throw EInvalidGraphic("Bitmap colour table truncated");
    if (Bits == nullptr)
        Bits = Dib + tableEnd;
    if (Bits < Dib + tableEnd || Bits > Dib + Size)
        throw EInvalidGraphic("Bitmap bits outside the data");
    const std::size_t available = static_cast<std::size_t>(Dib + Size - Bits);
    const std::size_t stride = static_cast<std::size_t>(((width * bitCount + 31) / 32) * 4);
    const bool uncompressed = compression == BI_RGB || compression == BI_BITFIELDS;
    if (uncompressed && std::uint64_t{stride} * rows > available)
        throw EInvalidGraphic("Bitmap bits truncated");

    const TPixelFormat format = bitCount == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
    NewImage(width, rows, format, false);
    if (FBits == nullptr)
        return;
    if (compression == BI_RGB && (bitCount == 24 || bitCount == 32)) {
        // Our own layout: copy the rows as they are, turning top-down data around.
        for (int r = 0; r < rows; ++r) {
            const int from = height < 0 ? rows - 1 - r : r;
            std::memcpy(FBits + static_cast<std::size_t>(r) * RowBytes(), Bits + from * stride, stride);
        }
        return;
    }
    // Palettes, 16-bit, bit fields and run-length data: GDI converts them.
    HDC screen = GetDC(nullptr);
    const int copied = SetDIBits(screen, static_cast<HBITMAP>(FImage.get()), 0, static_cast<UINT>(rows), Bits,
                                 reinterpret_cast<const BITMAPINFO*>(Dib), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (copied == 0)
        throw EInvalidGraphic("Unsupported bitmap format");
}

void TBitmap::LoadFromBytes(const String& Data)
{
    const auto* p = reinterpret_cast<const Byte*>(Data.data());
    if (Data.size() < sizeof(BITMAPFILEHEADER) || ReadAt<WORD>(p, 0) != BmpSignature)
        throw EInvalidGraphic("Not a bitmap");
    const DWORD offBits = ReadAt<DWORD>(p, 10);
    if (offBits > Data.size())
        throw EInvalidGraphic("Bitmap bits outside the data");
    const Byte* dib = p + sizeof(BITMAPFILEHEADER);
    const std::size_t size = Data.size() - sizeof(BITMAPFILEHEADER);
    LoadFromDib(dib, size, offBits != 0 ? p + offBits : nullptr);
    Changed();
}

String TBitmap::SaveToBytes()
{
    const std::size_t bitsSize = static_cast<std::size_t>(RowBytes()) * FHeight;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = BmpSignature;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + bitsSize);
    info.biSize = sizeof info;
    info.biWidth = FWidth;
    info.biHeight = FHeight;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(BytesPerPixel() * 8);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(bitsSize);
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;   // 96 dots per inch
    String data(file.bfSize, '\0');
    std::memcpy(data.data(), &file, sizeof file);
    std::memcpy(data.data() + sizeof file, &info, sizeof info);
    if (bitsSize != 0) {
        GdiFlush();
        std::memcpy(data.data() + file.bfOffBits, FBits, bitsSize);
    }
    return data;
}

void TBitmap::LoadFromFile(const String& FileName)
{
    TFileHandle file(CreateFileW(StrToWide(FileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF)
        throw EReadError("Cannot read file \"" + FileName + "\"");
    String data(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!data.empty() && (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                          read != data.size()))
        throw EReadError("Cannot read file \"" + FileName + "\"");
    LoadFromBytes(data);
}

void TBitmap::SaveToFile(const String& FileName)
{
    const String data = SaveToBytes();
    TFileHandle file(CreateFileW(StrToWide(FileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        throw EFCreateError("Cannot create file \"" + FileName + "\"");
    DWORD written = 0;
    if (!WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size())
        throw EWriteError("Cannot write file \"" + FileName + "\"");
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const String& Name)
{
    const WideString wide = StrToWide(Name);
    LPCWSTR id = wide.c_str();
    if (Name.size() > 1 && Name[0] == '#')
        id = MAKEINTRESOURCEW(std::stoi(Name.substr(1)));
    HRSRC info = FindResourceW(Instance, id, RT_BITMAP);
    HGLOBAL res = info != nullptr ? LoadResource(Instance, info) : nullptr;
    const void* data = res != nullptr ? LockResource(res) : nullptr;
    if (data == nullptr)
        throw EInvalidGraphic("Bitmap resource \"" + Name + "\" not found");
    LoadFromDib(static_cast<const Byte*>(data), SizeofResource(Instance, info), nullptr);
    Changed();
}

// ---------------------------------------------------------------------------
// Screen capture

void TBitmap::CaptureWindow(HWND Wnd)
{
    RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    GetClientRect(Wnd, &client);
    NewImage(client.right, client.bottom, FFormat, false);
    if (!Empty()) {
        HDC window = GetDC(Wnd);
        if (window == nullptr)
            throw EOutOfResources("GetDC failed");
        BitBlt(Canvas()->Handle(), 0, 0, FWidth, FHeight, window, 0, 0, SRCCOPY);
        ReleaseDC(Wnd, window);
        GdiFlush();
    }
    Changed();
}
