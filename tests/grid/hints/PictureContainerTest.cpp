// HTML pictures decoded through the platform's OLE picture loader, the GIF
// frame selection on crafted bytes, the picture cache and the container.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "framework/Bitmap.h"
#include "framework/Exception.h"
#include "framework/Stream.h"
#include "grid/core/PictureContainer.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A BMP file of W x H pixels of one colour, written by the framework's bitmap.
Bytes MakeBmp(int W, int H, TColor Color)
{
    TBitmap Bmp(W, H, TPixelFormat::pf24bit);
    Bmp.Canvas()->Brush()->SetColor(Color);
    Bmp.Canvas()->FillRect(TRect{0, 0, W, H});
    const String S = Bmp.SaveToBytes();
    return Bytes(S.begin(), S.end());
}

// A JPEG file of W x H pixels of one RGB colour.
Bytes MakeJpeg(int W, int H, unsigned char R, unsigned char G, unsigned char B)
{
    std::vector<unsigned char> Rgb(static_cast<std::size_t>(W * H * 3));
    for (std::size_t I = 0; I < Rgb.size(); I += 3) {
        Rgb[I] = R;
        Rgb[I + 1] = G;
        Rgb[I + 2] = B;
    }
    jpeg_compress_struct C{};
    jpeg_error_mgr Err{};
    C.err = jpeg_std_error(&Err);
    jpeg_create_compress(&C);
    unsigned char* Out = nullptr;
    unsigned long OutSize = 0;
    jpeg_mem_dest(&C, &Out, &OutSize);
    C.image_width = static_cast<JDIMENSION>(W);
    C.image_height = static_cast<JDIMENSION>(H);
    C.input_components = 3;
    C.in_color_space = JCS_RGB;
    jpeg_set_defaults(&C);
    jpeg_set_quality(&C, 95, TRUE);
    jpeg_start_compress(&C, TRUE);
    while (C.next_scanline < C.image_height) {
        JSAMPROW Row = &Rgb[C.next_scanline * static_cast<unsigned>(W) * 3];
        jpeg_write_scanlines(&C, &Row, 1);
    }
    jpeg_finish_compress(&C);
    jpeg_destroy_compress(&C);
    Bytes Jpeg(Out, Out + OutSize);
    std::free(Out);
    return Jpeg;
}

void PutWord(Bytes& B, int V)
{
    B.push_back(static_cast<unsigned char>(V & 0xFF));
    B.push_back(static_cast<unsigned char>((V >> 8) & 0xFF));
}

// LZW codes of 3 bits for a 4-colour image: a clear code before every two
// pixels keeps the code table (and so the code width) from growing.
Bytes LzwPixels(int Count, int Index)
{
    Bytes Out;
    unsigned Acc = 0;
    int Bits = 0;
    auto Emit = [&](unsigned Code) {
        Acc |= Code << Bits;
        Bits += 3;
        while (Bits >= 8) {
            Out.push_back(static_cast<unsigned char>(Acc & 0xFF));
            Acc >>= 8;
            Bits -= 8;
        }
    };
    for (int I = 0; I < Count; ++I) {
        if (I % 2 == 0)
            Emit(4);
        Emit(static_cast<unsigned>(Index));
    }
    Emit(5);
    if (Bits > 0)
        Out.push_back(static_cast<unsigned char>(Acc & 0xFF));
    return Out;
}

// A GIF of W x H with one frame per palette index in Frames (palette: 0
// black, 1 red, 2 green, 3 blue), each a graphic control block followed by
// a full-size image descriptor.
Bytes MakeGif(int W, int H, const std::vector<int>& Frames)
{
    Bytes B = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(B, W);
    PutWord(B, H);
    B.push_back(0x81);   // global colour table of 4 entries
    B.push_back(0);
    B.push_back(0);
    const unsigned char Palette[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    B.insert(B.end(), std::begin(Palette), std::end(Palette));
    for (int Index : Frames) {
        const unsigned char Gce[] = {0x21, 0xF9, 0x04, 0x04, 10, 0, 0, 0};
        B.insert(B.end(), std::begin(Gce), std::end(Gce));
        B.push_back(0x2C);
        PutWord(B, 0);
        PutWord(B, 0);
        PutWord(B, W);
        PutWord(B, H);
        B.push_back(0);
        B.push_back(2);   // LZW minimum code size
        const Bytes Data = LzwPixels(W * H, Index);
        for (std::size_t I = 0; I < Data.size(); I += 255) {
            const std::size_t N = std::min<std::size_t>(255, Data.size() - I);
            B.push_back(static_cast<unsigned char>(N));
            B.insert(B.end(), Data.begin() + static_cast<long>(I), Data.begin() + static_cast<long>(I + N));
        }
        B.push_back(0);
    }
    B.push_back(0x3B);
    return B;
}

void LoadBytes(THTMLPicture& P, const Bytes& B)
{
    TMemoryStream S;
    S.WriteBuffer(B.data(), static_cast<Integer>(B.size()));
    S.SetPosition(0);
    P.LoadFromStream(&S);
}

// The colour at (X, Y) after the picture was drawn at natural size on white.
COLORREF DrawnPixel(THTMLPicture& P, int X, int Y)
{
    TBitmap Bmp(40, 40, TPixelFormat::pf24bit);
    Bmp.Canvas()->Brush()->SetColor(clWhite);
    Bmp.Canvas()->FillRect(TRect{0, 0, 40, 40});
    P.Draw(Bmp.Canvas(), TRect{0, 0, 40, 40});
    const Byte* Row = Bmp.ScanLine(Y);
    return RGB(Row[X * 3 + 2], Row[X * 3 + 1], Row[X * 3]);
}

std::string Hex(COLORREF C)
{
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%06lX", static_cast<unsigned long>(C));
    return Buf;
}

bool Near(COLORREF C, int R, int G, int B)
{
    return std::abs(GetRValue(C) - R) < 24 && std::abs(GetGValue(C) - G) < 24 && std::abs(GetBValue(C) - B) < 24;
}

std::string TempPath(const char* Name)
{
    wchar_t Dir[MAX_PATH];
    GetTempPathW(MAX_PATH, Dir);
    std::wstring W = Dir;
    return std::string(W.begin(), W.end()) + Name;
}

} // namespace

TEST(HTMLPicture, DecodesBmpJpegAndGifThroughTheOleLoader)
{
    struct Case {
        const char* Name;
        Bytes Data;
        int W, H, R, G, B;
    };
    const Case Cases[] = {
        {"bmp", MakeBmp(12, 7, 0x00FF00), 12, 7, 0, 255, 0},
        {"jpeg", MakeJpeg(16, 9, 200, 30, 40), 16, 9, 200, 30, 40},
        {"gif", MakeGif(10, 6, {3}), 10, 6, 0, 0, 255},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        THTMLPicture P;
        int Changes = 0;
        P.OnChange = [&](TObject*) { ++Changes; };
        LoadBytes(P, C.Data);
        EXPECT_FALSE(P.Empty());
        EXPECT_TRUE(P.Decoded());
        EXPECT_EQ(Changes, 1);
        EXPECT_EQ(P.Width(), C.W);
        EXPECT_EQ(P.Height(), C.H);
        const COLORREF In = DrawnPixel(P, 2, 2);
        EXPECT_TRUE(Near(In, C.R, C.G, C.B)) << Hex(In);
        // Natural size: nothing drawn beyond the picture.
        EXPECT_EQ(DrawnPixel(P, C.W + 2, C.H + 2), RGB(255, 255, 255));
    }
}

TEST(HTMLPicture, ChosenGifFrameIsTheOneDecoded)
{
    THTMLPicture P;
    LoadBytes(P, MakeGif(8, 8, {1, 2, 3}));
    EXPECT_TRUE(P.IsGIF());
    EXPECT_EQ(P.FrameCount(), 3);
    EXPECT_EQ(P.AnimWidth(), 8);
    EXPECT_EQ(P.AnimHeight(), 8);
    EXPECT_TRUE(Near(DrawnPixel(P, 3, 3), 255, 0, 0)) << Hex(DrawnPixel(P, 3, 3));

    int FrameChanges = 0;
    P.OnFrameChange = [&](TObject*) { ++FrameChanges; };
    const struct {
        int Frame;
        int R, G, B;
    } Frames[] = {{2, 0, 255, 0}, {3, 0, 0, 255}, {1, 255, 0, 0}};
    for (const auto& F : Frames) {
        SCOPED_TRACE(F.Frame);
        P.SetFrame(F.Frame);
        EXPECT_EQ(P.Frame(), F.Frame);
        const COLORREF C = DrawnPixel(P, 3, 3);
        EXPECT_TRUE(Near(C, F.R, F.G, F.B)) << Hex(C);
    }
    EXPECT_EQ(FrameChanges, 3);

    // Data that is not GIF has no frames.
    THTMLPicture Bmp;
    LoadBytes(Bmp, MakeBmp(4, 4, clRed));
    EXPECT_FALSE(Bmp.IsGIF());
    EXPECT_EQ(Bmp.FrameCount(), -1);
}

TEST(HTMLPicture, UndecodableBytesRaiseOnLoadAndDrawNothing)
{
    THTMLPicture P;
    const Bytes Junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_THROW(LoadBytes(P, Junk), Exception);
    EXPECT_FALSE(P.Decoded());
    EXPECT_EQ(P.Width(), 0);
    EXPECT_EQ(DrawnPixel(P, 1, 1), RGB(255, 255, 255));
}

TEST(HTMLPicture, AddressesLoadFilesOnlyAndNeverFetch)
{
    const std::string File = TempPath("htmlpicture-test.gif");
    const Bytes Gif = MakeGif(5, 4, {2});
    FILE* F = std::fopen(File.c_str(), "wb");
    ASSERT_NE(F, nullptr);
    std::fwrite(Gif.data(), 1, Gif.size(), F);
    std::fclose(F);

    THTMLPicture FromFile;
    FromFile.LoadFromAddress("file://" + File);
    EXPECT_FALSE(FromFile.Empty());
    EXPECT_EQ(FromFile.Width(), 5);
    EXPECT_EQ(FromFile.Address(), "file://" + File);
    std::remove(File.c_str());

    THTMLPicture Missing;
    Missing.LoadFromAddress("FILE://" + TempPath("no-such-picture.gif"));
    EXPECT_TRUE(Missing.Empty());
    EXPECT_EQ(DrawnPixel(Missing, 1, 1), RGB(255, 255, 255));

    // A resource that the program does not have leaves the picture as it was.
    THTMLPicture Res;
    Res.LoadFromAddress("res://NOSUCHPICTURE");
    EXPECT_TRUE(Res.Empty());

    // Other addresses: nothing is fetched, the picture stays empty; without
    // the asynchronous flag both address texts are set.
    THTMLPicture Net;
    Net.SetAsynch(false);
    Net.LoadFromAddress("http://127.0.0.1:1/x.gif");
    EXPECT_TRUE(Net.Empty());
    EXPECT_EQ(Net.Address(), "http://127.0.0.1:1/x.gif");
    EXPECT_EQ(Net.ID(), "http://127.0.0.1:1/x.gif");

    THTMLPicture Async;
    Async.LoadFromAddress("http://127.0.0.1:1/y.gif");
    EXPECT_TRUE(Async.Empty());
    EXPECT_TRUE(Async.IsDownloading());
    EXPECT_EQ(Async.Address(), "");
    EXPECT_EQ(Async.ID(), "http://127.0.0.1:1/y.gif");
}

TEST(HTMLPicture, AssignCopiesDataFrameAndStretch)
{
    THTMLPicture Src;
    LoadBytes(Src, MakeGif(6, 6, {1, 3}));
    Src.SetFrame(2);
    Src.SetStretch(true);
    Src.SetAddress("pic");

    THTMLPicture Dst;
    Dst.Assign(&Src);
    EXPECT_TRUE(Dst.Stretch());
    EXPECT_EQ(Dst.Frame(), 2);
    EXPECT_EQ(Dst.Address(), "pic");
    EXPECT_FALSE(Dst.Empty());
    // Stretched into the whole rectangle, in frame 2's colour.
    const COLORREF C = DrawnPixel(Dst, 35, 35);
    EXPECT_TRUE(Near(C, 0, 0, 255)) << Hex(C);

    Dst.Assign(nullptr);
    EXPECT_TRUE(Dst.Empty());
    EXPECT_EQ(Dst.Data()->Size(), 0);
}

TEST(PictureContainer, FindsByNameIgnoringCaseAndCacheByExactAddress)
{
    TPictureContainer Container(nullptr);
    EXPECT_EQ(Container.Version(), "1.0.0.0");
    Container.SetVersion("2.0");
    EXPECT_EQ(Container.Version(), "1.0.0.0");

    TPictureItem* First = Container.Items()->Add();
    First->SetName("Logo");
    LoadBytes(*First->Picture(), MakeBmp(3, 3, clRed));
    TPictureItem* Second = Container.Items()->Add();
    Second->SetName("logo");
    Second->Tag = 7;
    EXPECT_EQ(Container.FindPicture("LOGO"), First->Picture());
    EXPECT_EQ(Container.FindPicture("logo"), First->Picture());
    EXPECT_EQ(Container.FindPicture("other"), nullptr);

    // An item assigned from another copies its name, tag and picture.
    TPictureItem* Third = Container.Items()->Add();
    Third->Assign(First);
    EXPECT_EQ(Third->Name(), "Logo");
    EXPECT_EQ(Third->Picture()->Width(), 3);
    Container.Items()->Delete(0);
    EXPECT_EQ(Container.FindPicture("LOGO"), Second->Picture());
    EXPECT_THROW(Container.Items()->Delete(5), EListError);

    THTMLPictureCache Cache;
    auto P = std::make_unique<THTMLPicture>();
    P->SetAddress("file://C:/a.gif");
    THTMLPicture* Kept = Cache.AddPicture(std::move(P));
    EXPECT_EQ(Cache.FindPicture("file://C:/a.gif"), Kept);
    EXPECT_EQ(Cache.FindPicture("FILE://C:/a.gif"), nullptr);
    Cache.ClearPictures();
    EXPECT_EQ(Cache.FindPicture("file://C:/a.gif"), nullptr);
}
