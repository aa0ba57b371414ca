// Renderer paths that draw through the platform: rotated text, icons of the
// shell's system image lists, image-list pictures scaled for printing, and
// the current frame of an animated GIF drawn inside its box.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/Stream.h"
#include "grid/core/HtmlRender.h"
#include "grid/core/PictureContainer.h"
#include "tests/graphics/PaintProbe.h"

namespace {

using paint_probe::Clear;
using paint_probe::PixelAt;

constexpr TColor Back = clWhite;

// The smallest rectangle holding every pixel that is not Back (empty when none).
TRect InkBox(TBitmap& B)
{
    TRect Box{B.Width(), B.Height(), 0, 0};
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            if (PixelAt(B, X, Y) != Back) {
                Box.left = std::min<int>(Box.left, X);
                Box.top = std::min<int>(Box.top, Y);
                Box.right = std::max<int>(Box.right, X + 1);
                Box.bottom = std::max<int>(Box.bottom, Y + 1);
            }
    return Box;
}

int CountColor(TBitmap& B, const TRect& R, TColor Color)
{
    int N = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X)
            N += PixelAt(B, X, Y) == Color;
    return N;
}

struct Surface {
    TBitmap B;
    explicit Surface(int W = 300, int H = 300) : B(W, H, TPixelFormat::pf24bit)
    {
        Clear(B, Back);
        C()->Font()->SetName("Arial");
        C()->Font()->SetSize(14);
        C()->Font()->SetQuality(TFontQuality::fqNonAntialiased);
        C()->Font()->SetColor(clBlack);
        C()->Brush()->SetColor(Back);
    }
    TCanvas* C() { return B.Canvas(); }
    THtmlDrawResult Draw(const String& Html, const TRect& R, THtmlDrawParams P = {})
    {
        THtmlDrawResult Out;
        DrawHtmlText(C(), Html, R, P, Out);
        GdiFlush();
        return Out;
    }
};

TEST(HtmlRenderPaths, RotatedTextRunsUpAndTheClosingTagTurnsItBack)
{
    struct Case {
        const char* Html;
        bool Upright;   // true: the ink is taller than wide
    };
    const Case Cases[] = {
        {"WWWWWW", false},
        {"<R A=\"90\">WWWWWW</R>", true},
        {"<r a=\"90\">WWWWWW", true},
        {"<R A=\"90\"></R>WWWWWW", false},
    };
    for (const Case& K : Cases) {
        Surface S;
        S.Draw(K.Html, Rect(0, 150, 300, 300));
        const TRect Box = InkBox(S.B);
        ASSERT_GT(Box.right, Box.left) << K.Html << ": nothing drawn";
        const int W = Box.right - Box.left, H = Box.bottom - Box.top;
        if (K.Upright)
            EXPECT_GT(H, 2 * W) << K.Html << " ink " << W << "x" << H;
        else
            EXPECT_GT(W, 2 * H) << K.Html << " ink " << W << "x" << H;
        EXPECT_EQ(S.C()->Font()->Orientation(), 0) << K.Html << ": the canvas font comes back unturned";
    }
}

TEST(HtmlRenderPaths, SystemIconsTakeTheShellIconSizesAndAreDrawn)
{
    const int Small = GetSystemMetrics(SM_CXSMICON), Large = GetSystemMetrics(SM_CXICON);
    wchar_t WinDir[MAX_PATH];
    GetWindowsDirectoryW(WinDir, MAX_PATH);
    std::string Dir;
    for (const wchar_t* P = WinDir; *P; ++P)
        Dir += static_cast<char>(*P);
    struct Case {
        String Source;
        double Scale;   // 0: not scaled
        int Size;
    };
    const Case Cases[] = {
        {"SSYS:0", 0, Small},
        {"LSYS:0", 0, Large},
        {"LSYS:0", 0.5, Large / 2},
        {"SSYS:0", 2, Small * 2},
        {"SSYS:" + Dir, 0, Small},         // an existing directory
        {"LSYS:no such file.txt", 0, Large},   // a name alone
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Source);
        Surface S(200, 100);
        THtmlDrawParams P;
        P.ScaledImages = K.Scale > 0;
        P.ImageScale = K.Scale > 0 ? K.Scale : 1.0;
        const String Html = "<IMG SRC=\"" + K.Source + "\">";
        THtmlDrawParams M = P;
        M.MeasureOnly = true;
        const THtmlDrawResult Measured = S.Draw(Html, Rect(0, 0, 200, 100), M);
        EXPECT_EQ(Measured.TextWidth, K.Size);
        EXPECT_EQ(Measured.TextHeight, std::max(K.Size, S.C()->TextHeight("gh")));
        S.Draw(Html, Rect(0, 0, 200, 100), P);
        const TRect Box = InkBox(S.B);
        ASSERT_GT(Box.right, Box.left) << "no icon drawn";
        EXPECT_GE(Box.left, 1);
        EXPECT_LE(Box.right, 1 + K.Size);
        EXPECT_LE(Box.bottom, K.Size);
        // An icon fills most of its box.
        EXPECT_GT(Box.right - Box.left, K.Size / 2);
    }
}

TEST(HtmlRenderPaths, ScaledImageListPicturesAreStretchedByTheImageScale)
{
    TImageList Images(nullptr);
    Images.SetSize(16, 16);
    TBitmap Green(16, 16, TPixelFormat::pf24bit);
    Clear(Green, clLime);
    Images.Add(&Green, nullptr);
    const struct {
        bool Scaled;
        double Scale;
        int Size;
    } Cases[] = {{false, 2.0, 16}, {true, 2.0, 32}, {true, 0.5, 8}};
    for (const auto& K : Cases) {
        SCOPED_TRACE(K.Scale * (K.Scaled ? 1 : -1));
        Surface S(200, 100);
        THtmlDrawParams P;
        P.ImageList = &Images;
        P.ScaledImages = K.Scaled;
        P.ImageScale = K.Scale;
        const THtmlDrawResult Out = S.Draw("<IMG SRC=\"IDX:0\">x", Rect(0, 0, 200, 100), P);
        EXPECT_EQ(Out.TextWidth, K.Size + S.C()->TextWidth("x"));
        EXPECT_EQ(CountColor(S.B, Rect(1, 0, 1 + K.Size, K.Size), clLime), K.Size * K.Size);
        EXPECT_EQ(CountColor(S.B, Rect(0, 0, 200, 100), clLime), K.Size * K.Size);
    }
}

void PutWord(std::vector<Byte>& B, int V)
{
    B.push_back(static_cast<Byte>(V & 0xFF));
    B.push_back(static_cast<Byte>((V >> 8) & 0xFF));
}

struct TFrame {
    int Left, Top, W, H, Index;
};

// A GIF with a logical screen of W x H and the given frames (palette: 0
// black, 1 red, 2 green, 3 blue), each frame of one colour behind a graphic
// control block. Pixels are 3-bit LZW codes with a clear code before every
// two, so the code width never grows.
std::vector<Byte> MakeGif(int W, int H, const std::vector<TFrame>& Frames)
{
    std::vector<Byte> B = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(B, W);
    PutWord(B, H);
    B.insert(B.end(), {0x81, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    for (const TFrame& F : Frames) {
        B.insert(B.end(), {0x21, 0xF9, 0x04, 0x04, 10, 0, 0, 0, 0x2C});
        PutWord(B, F.Left);
        PutWord(B, F.Top);
        PutWord(B, F.W);
        PutWord(B, F.H);
        B.push_back(0);
        B.push_back(2);
        std::vector<Byte> Data;
        unsigned Acc = 0;
        int Bits = 0;
        auto Emit = [&](unsigned Code) {
            Acc |= Code << Bits;
            for (Bits += 3; Bits >= 8; Bits -= 8, Acc >>= 8)
                Data.push_back(static_cast<Byte>(Acc & 0xFF));
        };
        for (int I = 0; I < F.W * F.H; ++I) {
            if (I % 2 == 0)
                Emit(4);
            Emit(static_cast<unsigned>(F.Index));
        }
        Emit(5);
        if (Bits > 0)
            Data.push_back(static_cast<Byte>(Acc & 0xFF));
        for (std::size_t I = 0; I < Data.size(); I += 255) {
            const std::size_t N = std::min<std::size_t>(255, Data.size() - I);
            B.push_back(static_cast<Byte>(N));
            B.insert(B.end(), Data.begin() + static_cast<long>(I), Data.begin() + static_cast<long>(I + N));
        }
        B.push_back(0);
    }
    B.push_back(0x3B);
    return B;
}

TEST(HtmlRenderPaths, AnimatedPictureDrawsItsCurrentFrameInsideItsBox)
{
    TPictureContainer Container(nullptr);
    TPictureItem* Item = Container.Items()->Add();
    Item->SetName("anim");
    const std::vector<Byte> Gif = MakeGif(12, 12, {{0, 0, 12, 12, 1}, {6, 6, 4, 4, 2}, {0, 0, 12, 12, 3}});
    TMemoryStream Stream;
    Stream.WriteBuffer(Gif.data(), static_cast<Integer>(Gif.size()));
    Stream.SetPosition(0);
    THTMLPicture* Pic = Item->Picture();
    Pic->LoadFromStream(&Stream);
    ASSERT_EQ(Pic->FrameCount(), 3);

    // Frame, then (x, y) inside the 12 x 12 box at (1, 0) with the colour it must show.
    const struct {
        int Frame;
        int X, Y;
        TColor Color;
    } Cases[] = {
        {1, 3, 3, clRed},
        {2, 7, 7, clLime},    // the small frame at its offset
        {2, 2, 2, clYellow},  // the rest of the box in the canvas brush colour
        {2, 11, 3, clYellow},
        {3, 11, 11, clBlue},
    };
    for (const auto& K : Cases) {
        SCOPED_TRACE(testing::Message() << "frame " << K.Frame << " at " << K.X << "," << K.Y);
        Pic->SetFrame(K.Frame);
        Surface S(100, 50);
        S.C()->Brush()->SetColor(clYellow);
        THtmlDrawParams P;
        P.PictureContainer = &Container;
        const THtmlDrawResult Out = S.Draw("<IMG SRC=\"anim\">", Rect(0, 0, 100, 50), P);
        EXPECT_EQ(Out.TextWidth, 12);
        EXPECT_EQ(PixelAt(S.B, 1 + K.X, K.Y), K.Color);
        // Nothing beyond the box.
        const TRect Box = InkBox(S.B);
        EXPECT_GE(Box.left, 1);
        EXPECT_LE(Box.right, 13);
        EXPECT_LE(Box.bottom, 12);
    }
}

} // namespace
