// GIF frame selection on crafted bytes, and a bounded randomized run over
// generated and damaged GIF data checked against a reference built from the
// positions of the frame starts.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "grid/core/GifFrames.h"

namespace {

using Bytes = std::vector<Byte>;

void PutWord(Bytes& B, int V)
{
    B.push_back(static_cast<Byte>(V & 0xFF));
    B.push_back(static_cast<Byte>((V >> 8) & 0xFF));
}

// A GIF header of W x H followed by one frame per entry: a graphic control
// block, an image descriptor at (Left, Top) of W x H and Payload bytes.
struct Frame {
    int Left, Top;
    Bytes Payload;
};
Bytes MakeGif(int W, int H, const std::vector<Frame>& Frames, std::vector<std::size_t>* Starts = nullptr)
{
    Bytes B = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(B, W);
    PutWord(B, H);
    B.push_back(0);
    B.push_back(0);
    B.push_back(0);
    for (const Frame& F : Frames) {
        if (Starts)
            Starts->push_back(B.size());
        const Byte Gce[] = {0x21, 0xF9, 0x04, 0x04, 10, 0, 0, 0};
        B.insert(B.end(), std::begin(Gce), std::end(Gce));
        B.push_back(0x2C);
        PutWord(B, F.Left);
        PutWord(B, F.Top);
        PutWord(B, W);
        PutWord(B, H);
        B.push_back(0);
        B.insert(B.end(), F.Payload.begin(), F.Payload.end());
    }
    B.push_back(0x3B);
    return B;
}

// The frame starts found by searching for the pattern, written apart from
// the routine under test.
std::vector<std::size_t> ReferenceStarts(const Bytes& D)
{
    std::vector<std::size_t> Starts;
    const Byte Head[] = {0x21, 0xF9, 0x04};
    auto It = D.begin();
    while ((It = std::search(It, D.end(), std::begin(Head), std::end(Head))) != D.end()) {
        const auto I = static_cast<std::size_t>(It - D.begin());
        if (I + 9 < D.size() && D[I + 8] == 0x2C)
            Starts.push_back(I);
        ++It;
    }
    return Starts;
}

Bytes ReferenceSelect(const Bytes& D, int FrameNo)
{
    const std::vector<std::size_t> S = ReferenceStarts(D);
    if (S.empty())
        return D;
    Bytes Out(D.begin(), D.begin() + static_cast<long>(S[0]));
    if (FrameNo >= 1 && FrameNo <= static_cast<int>(S.size()))
        Out.insert(Out.end(), D.begin() + static_cast<long>(S[static_cast<std::size_t>(FrameNo - 1)]), D.end());
    return Out;
}

} // namespace

TEST(GifFrames, ChosenFrameAndTheFollowingOnesAreKept)
{
    std::vector<std::size_t> Starts;
    const Bytes Gif = MakeGif(40, 30, {{0, 0, {1, 1, 1}}, {3, 4, {2, 2}}, {5, 6, {3}}}, &Starts);
    ASSERT_EQ(Starts.size(), 3u);
    EXPECT_TRUE(IsGifData(Gif.data(), Gif.size()));
    EXPECT_EQ(CountGifFrames(Gif.data(), Gif.size()), 3);

    struct Case {
        int Frame;
        std::size_t KeepFrom;   // the start of the first kept frame, 0 for none
        int Left, Top;
    };
    const Case Cases[] = {
        {1, Starts[0], 0, 0},
        {2, Starts[1], 3, 4},
        {3, Starts[2], 5, 6},
        {4, 0, 0, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Frame);
        TGifFrameInfo Info;
        const Bytes Out = SelectGifFrame(Gif.data(), Gif.size(), C.Frame, Info);
        Bytes Want(Gif.begin(), Gif.begin() + static_cast<long>(Starts[0]));
        if (C.KeepFrom)
            Want.insert(Want.end(), Gif.begin() + static_cast<long>(C.KeepFrom), Gif.end());
        EXPECT_EQ(Out, Want);
        EXPECT_EQ(Info.Left, C.Left);
        EXPECT_EQ(Info.Top, C.Top);
        EXPECT_EQ(Info.Width, C.KeepFrom ? 40 : 0);
        EXPECT_EQ(Info.ScreenWidth, 40);
        EXPECT_EQ(Info.ScreenHeight, 30);
    }

    // A frame start too close to the end does not count.
    Bytes Short = {'G', 'I', 'F', 0x21, 0xF9, 0x04, 0, 0, 0, 0, 0, 0x2C};
    EXPECT_EQ(CountGifFrames(Short.data(), Short.size()), 0);
    Short.push_back(0);
    EXPECT_EQ(CountGifFrames(Short.data(), Short.size()), 1);
    const Bytes Bmp = {'B', 'M', 0, 0};
    EXPECT_FALSE(IsGifData(Bmp.data(), Bmp.size()));
    EXPECT_FALSE(IsGifData(Bmp.data(), 0));
}

TEST(GifFrames, RandomizedGeneratedAndDamagedData)
{
    std::mt19937 Rng(20261210);
    auto Uniform = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); };
    const int Inputs = 100000;
    for (int N = 0; N < Inputs; ++N) {
        std::vector<Frame> Frames;
        const int Count = Uniform(0, 4);
        for (int F = 0; F < Count; ++F) {
            Frame Fr{Uniform(0, 0xFFFF), Uniform(0, 0xFFFF), {}};
            Fr.Payload.resize(static_cast<std::size_t>(Uniform(0, 20)));
            for (Byte& B : Fr.Payload)
                B = static_cast<Byte>(Uniform(0, 255));
            Frames.push_back(Fr);
        }
        Bytes D = MakeGif(Uniform(0, 0xFFFF), Uniform(0, 0xFFFF), Frames);
        // Damage: flipped bytes, planted frame patterns, a cut anywhere.
        const int Flips = Uniform(0, 3);
        for (int K = 0; K < Flips && !D.empty(); ++K)
            D[static_cast<std::size_t>(Uniform(0, static_cast<int>(D.size()) - 1))] = static_cast<Byte>(Uniform(0, 255));
        if (Uniform(0, 3) == 0 && D.size() > 3) {
            const auto At = static_cast<std::size_t>(Uniform(0, static_cast<int>(D.size()) - 1));
            const Byte Plant[] = {0x21, 0xF9, 0x04};
            for (std::size_t K = 0; K < 3 && At + K < D.size(); ++K)
                D[At + K] = Plant[K];
        }
        if (Uniform(0, 2) == 0)
            D.resize(static_cast<std::size_t>(Uniform(0, static_cast<int>(D.size()))));
        // An exactly sized copy, so that a read past the end is caught.
        const std::unique_ptr<Byte[]> Exact(new Byte[D.size() + 1]);
        std::copy(D.begin(), D.end(), Exact.get());

        const int Found = CountGifFrames(Exact.get(), D.size());
        ASSERT_EQ(Found, static_cast<int>(ReferenceStarts(D).size())) << "input " << N;
        for (int FrameNo : {-1, 0, 1, 2, Found, Found + 1}) {
            TGifFrameInfo Info;
            const Bytes Out = SelectGifFrame(Exact.get(), D.size(), FrameNo, Info);
            ASSERT_EQ(Out, ReferenceSelect(D, FrameNo)) << "input " << N << ", frame " << FrameNo;
        }
    }
}
