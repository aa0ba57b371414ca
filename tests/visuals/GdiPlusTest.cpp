// The GDI+ wrappers and the GDI+ picture against Wine's gdiplus.dll: colour
// conversion, the status convention, decoding PNG and JPEG written by another
// encoder, gradients and a rounded tab drawn into bitmaps.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>
#include <memory>

#include "framework/Bitmap.h"
#include "tests/visuals/TestImages.h"
#include "visuals/GdiPlusPicture.h"
#include "visuals/ProGDIP.h"

namespace {

// A COM stream over a copy of Bytes.
struct ByteStream {
    IStream* Stream = nullptr;
    explicit ByteStream(const std::string& Bytes)
    {
        HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE, Bytes.size());
        std::memcpy(GlobalLock(Block), Bytes.data(), Bytes.size());
        GlobalUnlock(Block);
        CreateStreamOnHGlobal(Block, TRUE, &Stream);
    }
    ~ByteStream() { Stream->Release(); }
};

TBitmap* WhiteBitmap(int W, int H)
{
    auto* B = new TBitmap(W, H, TPixelFormat::pf24bit);
    B->Canvas()->Brush()->SetColor(clWhite);
    B->Canvas()->FillRect(Rect(0, 0, W, H));
    return B;
}

COLORREF PixelOf(TBitmap* B, int X, int Y)
{
    return static_cast<COLORREF>(B->Canvas()->Pixels(X, Y));
}

void ExpectNear(COLORREF Actual, COLORREF Wanted, int Tolerance, const char* What)
{
    EXPECT_LE(std::abs(GetRValue(Actual) - GetRValue(Wanted)), Tolerance) << What << std::hex << " " << Actual;
    EXPECT_LE(std::abs(GetGValue(Actual) - GetGValue(Wanted)), Tolerance) << What << std::hex << " " << Actual;
    EXPECT_LE(std::abs(GetBValue(Actual) - GetBValue(Wanted)), Tolerance) << What << std::hex << " " << Actual;
}

} // namespace

TEST(GdiPlus, ColorToOpaqueARGB)
{
    EXPECT_EQ(ColorToOpaqueARGB(RGBToColor(0x99, 0x66, 0x33)), 0xFF996633u);
    EXPECT_EQ(ColorToOpaqueARGB(clBlack), 0xFF000000u);
    const COLORREF Face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(ColorToOpaqueARGB(clBtnFace),
              0xFF000000u | (GetRValue(Face) << 16) | (GetGValue(Face) << 8) | GetBValue(Face));
    EXPECT_EQ(MakeGPRect(1, 2, 3, 4).Height, 4.0f);
    EXPECT_EQ(MakeGPPoint(5, 6).Y, 6);
}

TEST(GdiPlus, LastStatusKeepsTheLatestFailure)
{
    std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
    ASSERT_TRUE(Path);
    EXPECT_EQ(Path->GetLastStatus(), GPOk);
    const TGPPoint None[1] = {{0, 0}};
    EXPECT_EQ(Path->AddCurve(None, 0, 0.5f), GPInvalidParameter);
    EXPECT_EQ(Path->AddLine(0, 0, 10, 10), GPOk);
    EXPECT_EQ(Path->GetLastStatus(), GPInvalidParameter);
}

TEST(GdiPlus, TooManySurroundColoursAreRefused)
{
    std::unique_ptr<TGPGraphicsPath> Path(new TGPGraphicsPath());
    Path->AddLine(0, 0, 10, 0);
    std::unique_ptr<TGPPathGradientBrush> Brush(new TGPPathGradientBrush(Path.get()));
    ASSERT_EQ(Brush->GetPointCount(), 2);
    const TGPColor Colors[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    Integer Count = 3;
    EXPECT_EQ(Brush->SetSurroundColors(Colors, Count), GPInvalidParameter);
    EXPECT_EQ(Count, 3);
    EXPECT_EQ(Brush->GetLastStatus(), GPInvalidParameter);
    Integer None = 1;
    EXPECT_EQ(Brush->SetSurroundColors(nullptr, None), GPInvalidParameter);
}

TEST(GdiPlus, ImageFormatsAndSizes)
{
    struct Case {
        const char* Name;
        std::string Bytes;
        Integer Format;
        Cardinal W, H;
    } Cases[] = {
        {"png", office_test::PngBytes(), ifPNG, 24, 16},
        {"jpeg", office_test::JpegBytes(), ifJPEG, 24, 16},
        {"garbage", std::string(64, 'x'), ifUndefined, 0, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        ByteStream S(C.Bytes);
        std::unique_ptr<TGPImage> Image(new TGPImage(S.Stream));
        ASSERT_TRUE(Image);
        EXPECT_EQ(Image->NativeHandle() != nullptr, C.Format != ifUndefined);
        EXPECT_EQ(Image->GetFormat(), C.Format);
        EXPECT_EQ(Image->GetWidth(), C.W);
        EXPECT_EQ(Image->GetHeight(), C.H);
    }
}

TEST(GdiPlus, GradientAndRoundedTab)
{
    std::unique_ptr<TBitmap> B(WhiteBitmap(60, 40));
    {
        std::unique_ptr<TGPGraphics> G(new TGPGraphics(B->Canvas()->Handle()));
        std::unique_ptr<TGPLinearGradientBrush> Brush(new TGPLinearGradientBrush(
            MakeGPRect(0, 0, 20, 40), 0xFF000000, 0xFFFFFFFF, GPLinearGradientModeVertical));
        EXPECT_EQ(G->FillRectangle(Brush.get(), 0, 0, 20, 40), GPOk);

        // A tab: rounded top corners of radius 6, square bottom.
        std::unique_ptr<TGPGraphicsPath> Tab(new TGPGraphicsPath());
        Tab->AddArc(30, 5, 12, 12, 180, 90);
        Tab->AddArc(46, 5, 12, 12, 270, 90);
        Tab->AddLine(58, 11, 58, 38);
        Tab->AddLine(58, 38, 30, 38);
        Tab->CloseFigure();
        std::unique_ptr<TGPSolidBrush> Red(new TGPSolidBrush(0xFFFF0000));
        G->SetSmoothingMode(GPSmoothingModeAntiAlias);
        EXPECT_EQ(G->FillPath(Red.get(), Tab.get()), GPOk);
        std::unique_ptr<TGPPen> Pen(new TGPPen(0xFF0000FF, 1));
        EXPECT_EQ(G->DrawPath(Pen.get(), Tab.get()), GPOk);
    }
    B->Canvas()->Refresh();
    // The gradient darkens upwards, row by row.
    const int Top = GetRValue(PixelOf(B.get(), 10, 2));
    const int Middle = GetRValue(PixelOf(B.get(), 10, 20));
    const int Bottom = GetRValue(PixelOf(B.get(), 10, 37));
    EXPECT_LT(Top, 30);
    EXPECT_NEAR(Middle, 128, 20);
    EXPECT_GT(Bottom, 225);
    // The tab's inside is red, the corner outside its arc untouched, its
    // straight edge blue.
    EXPECT_EQ(PixelOf(B.get(), 44, 25), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(B.get(), 30, 5), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(B.get(), 57, 5), RGB(255, 255, 255));
    ExpectNear(PixelOf(B.get(), 44, 38), RGB(0, 0, 255), 90, "bottom edge");
}

TEST(GdiPlusPicture, DecodesAndStretchesPngAndJpeg)
{
    for (const auto& [Name, Bytes, Tolerance] :
         {std::tuple{"png", office_test::PngBytes(), 2}, std::tuple{"jpeg", office_test::JpegBytes(), 12}}) {
        SCOPED_TRACE(Name);
        TGdiPlusPicture Picture;
        TMemoryStream Stream;
        Stream.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
        Stream.SetPosition(0);
        Picture.LoadFromStream(&Stream);
        ASSERT_FALSE(Picture.Empty());
        EXPECT_EQ(Picture.Width(), 24);
        EXPECT_EQ(Picture.Height(), 16);
        std::unique_ptr<TBitmap> B(WhiteBitmap(60, 40));
        Picture.Draw(B->Canvas(), Rect(5, 5, 53, 37));   // twice the size
        B->Canvas()->Refresh();
        ExpectNear(PixelOf(B.get(), 12, 20), RGB(255, 0, 0), Tolerance, "left half");
        ExpectNear(PixelOf(B.get(), 45, 20), RGB(48, 128, 192), Tolerance, "right half");
        EXPECT_EQ(PixelOf(B.get(), 2, 2), RGB(255, 255, 255));
        EXPECT_EQ(PixelOf(B.get(), 56, 38), RGB(255, 255, 255));
        ExpectNear(PixelOf(B.get(), 50, 34), RGB(48, 128, 192), Tolerance, "stretched corner");
    }
}

TEST(GdiPlusPicture, BitmapDrawnAtNaturalSizeWithTransparentCorner)
{
    TBitmap Source(10, 10, TPixelFormat::pf24bit);
    Source.Canvas()->Brush()->SetColor(clLime);   // the lower-left pixel's colour
    Source.Canvas()->FillRect(Rect(0, 0, 10, 10));
    Source.Canvas()->Brush()->SetColor(clRed);
    Source.Canvas()->FillRect(Rect(2, 2, 8, 8));
    TGdiPlusPicture Picture;
    Picture.Assign(&Source);
    EXPECT_EQ(Picture.Width(), 10);
    std::unique_ptr<TBitmap> B(WhiteBitmap(40, 40));
    Picture.Draw(B->Canvas(), Rect(5, 5, 35, 35));
    B->Canvas()->Refresh();
    EXPECT_EQ(PixelOf(B.get(), 10, 10), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(B.get(), 5, 5), RGB(255, 255, 255));     // lime is transparent
    EXPECT_EQ(PixelOf(B.get(), 20, 20), RGB(255, 255, 255));   // not stretched
}

TEST(GdiPlusPicture, AssignEdgeCases)
{
    TGdiPlusPicture Picture;
    std::vector<std::string> Events;
    Picture.OnChange = [&](TObject*) { Events.push_back("change"); };
    Picture.OnClear = [&](TObject*) { Events.push_back("clear"); };
    TMemoryStream Stream;
    const std::string Png = office_test::PngBytes();
    Stream.WriteBuffer(Png.data(), static_cast<Integer>(Png.size()));
    Stream.SetPosition(0);
    Picture.LoadFromStream(&Stream);
    Events.clear();

    Picture.Assign(nullptr);
    EXPECT_TRUE(Picture.Empty());
    EXPECT_EQ(Picture.DataStream()->Size(), 0);
    EXPECT_EQ(Events, (std::vector<std::string>{"change", "clear"}));

    TGdiPlusPicture Empty;
    Picture.LoadFromStream(&Stream);
    Picture.Assign(&Empty);
    EXPECT_TRUE(Picture.Empty());

    // A holder without a graphic counts as no source.
    Picture.LoadFromStream(&Stream);
    TPicture Holder;
    Picture.Assign(&Holder);
    EXPECT_TRUE(Picture.Empty());
    EXPECT_EQ(Picture.Width(), 0);

    // A holder with a graphic gives that graphic's saved form.
    auto Inner = std::make_unique<TGdiPlusPicture>();
    Stream.SetPosition(0);
    Inner->LoadFromStream(&Stream);
    Holder.SetGraphic(std::move(Inner));
    Picture.Assign(&Holder);
    EXPECT_FALSE(Picture.Empty());
    EXPECT_EQ(Picture.Width(), 24);

    Picture.SetWidth(5);
    Picture.SetHeight(5);
    EXPECT_EQ(Picture.Width(), 24);
    EXPECT_EQ(Picture.Height(), 16);
}

TEST(GdiPlusPicture, MissingFileLeavesItEmpty)
{
    TGdiPlusPicture Picture;
    EXPECT_NO_THROW(Picture.LoadFromFile("Z:\\nonexistent\\nothing.png"));
    EXPECT_TRUE(Picture.Empty());
}

TEST(GdiPlusPicture, StoredDataIsMeasuredWhenRead)
{
    TGdiPlusPicture Source;
    TMemoryStream In;
    const std::string Png = office_test::PngBytes();
    In.WriteBuffer(Png.data(), static_cast<Integer>(Png.size()));
    In.SetPosition(0);
    Source.LoadFromStream(&In);
    TMemoryStream Stored;
    Source.WriteData(&Stored);
    EXPECT_EQ(Stored.Size(), static_cast<Int64>(Png.size()));
    Stored.SetPosition(0);
    TGdiPlusPicture Read;
    Read.ReadData(&Stored);
    EXPECT_FALSE(Read.Empty());
    EXPECT_EQ(Read.Width(), 24);
    EXPECT_EQ(Read.Height(), 16);
}

TEST(GdiPlus, EightBitTextIsTheSystemsCodePage)
{
    // "读取" as the system's 936 bytes draws exactly as its UTF-16 form.
    auto Draw = [](auto Text) {
        std::unique_ptr<TBitmap> B(WhiteBitmap(80, 30));
        {
            std::unique_ptr<TGPGraphics> G(new TGPGraphics(B->Canvas()->Handle()));
            std::unique_ptr<TGPFontFamily> Family(new TGPFontFamily(L"Tahoma"));
            EXPECT_EQ(Family->GetLastStatus(), GPOk);
            std::unique_ptr<TGPFont> Font(new TGPFont(Family.get(), 12));
            std::unique_ptr<TGPSolidBrush> Black(new TGPSolidBrush(0xFF000000));
            EXPECT_EQ(G->DrawString(Text, -1, Font.get(), MakeGPRect(2, 2, 76, 26), nullptr, Black.get()), GPOk);
        }
        B->Canvas()->Refresh();
        std::string Pixels;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x)
                Pixels += static_cast<char>(GetRValue(PixelOf(B.get(), x, y)));
        return Pixels;
    };
    const String Narrow = "读取";
    ASSERT_EQ(Narrow.size(), 4u);
    const std::string FromNarrow = Draw(Narrow);
    EXPECT_EQ(FromNarrow, Draw(WideString(L"\u8BFB\u53D6")));
    EXPECT_NE(FromNarrow, Draw(WideString(L"x")));   // the text itself was drawn
}
