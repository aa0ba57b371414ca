#include "skin/engine/qSkinPictures.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

[[noreturn]] void NotABitmap()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

std::uint32_t U32(const Byte* P) { return P[0] | (P[1] << 8) | (P[2] << 16) | (std::uint32_t(P[3]) << 24); }
std::uint16_t U16(const Byte* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }

void CheckPictureSize(Int64 Width, Int64 Height)
{
    if (Width < 1 || Height < 1 || Width > MaxPictureSide || Height > MaxPictureSide ||
        Width * Height > MaxPicturePixels)
        throw EInvalidGraphic("Picture size " + std::to_string(Width) + "x" + std::to_string(Height) +
                              " is not supported");
}

// One channel of a bit-field pixel, scaled to 8 bits.
class TChannel {
public:
    explicit TChannel(std::uint32_t Mask)
    {
        if (Mask == 0)
            return;
        while (((Mask >> FShift) & 1u) == 0)
            ++FShift;
        const std::uint32_t bits = Mask >> FShift;
        if ((bits & (bits + 1)) != 0)   // not one run of ones
            NotABitmap();
        FMax = bits;
    }
    Byte Get(std::uint32_t Pixel) const
    {
        if (FMax == 0)
            return 0;
        return static_cast<Byte>(((Pixel >> FShift) & FMax) * 255u / FMax);
    }

private:
    unsigned FShift = 0;
    std::uint32_t FMax = 0;
};

}   // namespace

void DecodeBmp(const Byte* Data, std::size_t Size, TBitmap& Bmp)
{
    if (Size < 14 + 40 || Data[0] != 'B' || Data[1] != 'M')
        NotABitmap();
    const std::uint32_t offBits = U32(Data + 10);
    const std::uint32_t infoSize = U32(Data + 14);
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        NotABitmap();
    if (14 + Int64(infoSize) > Int64(Size))
        NotABitmap();
    const Byte* info = Data + 14;
    const Int64 width = static_cast<std::int32_t>(U32(info + 4));
    const Int64 rawHeight = static_cast<std::int32_t>(U32(info + 8));
    const int planes = U16(info + 12);
    const int bits = U16(info + 14);
    const std::uint32_t compression = U32(info + 16);
    const std::uint32_t colorsUsed = U32(info + 32);
    const bool topDown = rawHeight < 0;
    const Int64 height = topDown ? -rawHeight : rawHeight;
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        NotABitmap();
    const bool bitFields = compression == 3;
    if (compression != 0 && !(bitFields && (bits == 16 || bits == 32)))
        NotABitmap();
    if (width < 0)
        NotABitmap();
    if (width == 0 || height == 0) {   // a well-formed picture without pixels
        Bmp.Assign(nullptr);
        Bmp.SetPixelFormat(TPixelFormat::pf24bit);
        return;
    }
    CheckPictureSize(width, height);

    // Colour masks: in the header from 52 bytes on, else just after it.
    Int64 tableStart = 14 + Int64(infoSize);
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (bitFields) {
        const Byte* at = info + 40;
        if (infoSize == 40) {
            if (tableStart + 12 > Int64(Size))
                NotABitmap();
            at = Data + tableStart;
            tableStart += 12;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = U32(at + 4 * i);
    }
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

    std::uint32_t paletteSize = 0;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        paletteSize = colorsUsed == 0 ? most : colorsUsed;
        if (paletteSize > most)
            NotABitmap();
    }
    if (tableStart + Int64(paletteSize) * 4 > Int64(offBits))
        NotABitmap();
    const Int64 rowBytes = (width * bits + 31) / 32 * 4;
    if (Int64(offBits) > Int64(Size) || rowBytes * height > Int64(Size) - Int64(offBits))
        NotABitmap();

    const Byte* palette = Data + tableStart;
    Bmp.Assign(nullptr);
    Bmp.SetPixelFormat(TPixelFormat::pf24bit);
    Bmp.SetSize(static_cast<int>(width), static_cast<int>(height));
    for (Int64 y = 0; y < height; ++y) {
        const Byte* src = Data + offBits + rowBytes * (topDown ? y : height - 1 - y);
        Byte* dst = Bmp.ScanLine(static_cast<int>(y));
        for (Int64 x = 0; x < width; ++x, dst += 3) {
            if (bits <= 8) {
                const Int64 bit = x * bits;
                const unsigned index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index < paletteSize)
                    std::memcpy(dst, palette + 4 * index, 3);
                else
                    dst[0] = dst[1] = dst[2] = 0;
            } else if (bits == 24) {
                std::memcpy(dst, src + 3 * x, 3);
            } else {
                const std::uint32_t pixel = bits == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
                dst[0] = blue.Get(pixel);
                dst[1] = green.Get(pixel);
                dst[2] = red.Get(pixel);
            }
        }
    }
}

namespace {

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Text[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr Info)
{
    auto* error = reinterpret_cast<TJpegError*>(Info->err);
    Info->err->format_message(Info, error->Text);
    std::longjmp(error->Jump, 1);
}

void JpegOutputMessage(j_common_ptr) {}

// Decodes into Bmp; false with Error's text set when libjpeg gave up. No
// object with a destructor lives in this frame, so the jump back is safe.
bool DecodeJpegInto(const Byte* Data, std::size_t Size, TBitmap& Bmp, TJpegError& Error, bool& TooLarge)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof(info));
    info.err = jpeg_std_error(&Error.Manager);
    Error.Manager.error_exit = JpegErrorExit;
    Error.Manager.output_message = JpegOutputMessage;
    if (setjmp(Error.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(Data), static_cast<unsigned long>(Size));
    jpeg_read_header(&info, TRUE);
    const Int64 w = info.image_width;
    const Int64 h = info.image_height;
    if (w < 1 || h < 1 || w > MaxPictureSide || h > MaxPictureSide || w * h > MaxPicturePixels) {
        TooLarge = true;
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    Bmp.SetSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = Bmp.ScanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}   // namespace

void DecodeJpeg(const Byte* Data, std::size_t Size, TBitmap& Bmp)
{
    if (Size < 4 || Data[0] != 0xFF || Data[1] != 0xD8)
        throw EInvalidGraphic("JPEG error #53: not a JPEG file");
    Bmp.Assign(nullptr);
    Bmp.SetPixelFormat(TPixelFormat::pf24bit);
    TJpegError error{};
    bool tooLarge = false;
    if (!DecodeJpegInto(Data, Size, Bmp, error, tooLarge)) {
        Bmp.Assign(nullptr);
        if (tooLarge)
            throw EInvalidGraphic("JPEG picture is too large");
        throw EInvalidGraphic(String("JPEG error: ") + error.Text);
    }
}

void TJPEGImage::Assign(const TPersistent* Source)
{
    if (const auto* other = dynamic_cast<const TJPEGImage*>(Source)) {
        FBitmap.Assign(&other->FBitmap);
        return;
    }
    TPersistent::Assign(Source);
}

void TJPEGImage::LoadFromBytes(const String& Data)
{
    DecodeJpeg(reinterpret_cast<const Byte*>(Data.data()), Data.size(), FBitmap);
}
