// Bounded randomized runs over the skin formats, with fixed seeds: generated
// inputs whose expected result the generator knows, and damaged ones that
// must end in one of the formats' errors, never a crash or a leak (the host
// tree runs them under AddressSanitizer and UndefinedBehaviorSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "../support/SkinPackBuilder.h"
#include "../support/SkinPictureBuilder.h"
#include "../support/WarningRecorder.h"
#include "skin/engine/ZDecompressionStream.h"
#include "skin/engine/qGradient.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/qUtils.h"
#include "skin/engine/zqSkinPack.h"

namespace {

using TRandom = std::mt19937;

int Between(TRandom& R, int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(R); }

std::string RandomBytes(TRandom& R, std::size_t Size)
{
    std::string s(Size, '\0');
    for (char& c : s)
        c = static_cast<char>(Between(R, 0, 255));
    return s;
}

// Damages Bytes: flips, overwrites, cuts or inserts a few bytes.
std::string Mutate(TRandom& R, std::string Bytes)
{
    const int changes = Between(R, 1, 4);
    for (int i = 0; i < changes; ++i) {
        const std::size_t at = Bytes.empty() ? 0 : static_cast<std::size_t>(Between(R, 0, int(Bytes.size()) - 1));
        switch (Between(R, 0, 3)) {
        case 0:
            if (!Bytes.empty())
                Bytes[at] = static_cast<char>(Bytes[at] ^ (1 << Between(R, 0, 7)));
            break;
        case 1:
            if (!Bytes.empty())
                Bytes[at] = static_cast<char>(Between(R, 0, 255));
            break;
        case 2:
            Bytes.resize(at);
            break;
        default:
            Bytes.insert(at, RandomBytes(R, static_cast<std::size_t>(Between(R, 1, 8))));
            break;
        }
    }
    return Bytes;
}

String StreamText(TMemoryStream& S) { return String(static_cast<const char*>(S.Memory()), static_cast<std::size_t>(S.Size())); }

}   // namespace

TEST(SkinFuzz, Containers)
{
    TRandom r(1234);
    skintest::TWarningRecorder warnings;
    int damagedOk = 0;
    for (int run = 0; run < 100000; ++run) {
        std::vector<skintest::TPackEntry> entries;
        const int count = Between(r, 0, 4);
        for (int i = 0; i < count; ++i) {
            std::string name = i == 0 && Between(r, 0, 1) ? "Options.dat" : "P" + std::to_string(i) + ".BMP";
            entries.push_back({name, RandomBytes(r, static_cast<std::size_t>(Between(r, 0, 40)))});
        }
        const std::string good = skintest::PackEntries(entries);
        TMemoryStream source;
        TzqSkinConvertor reader;
        const bool damage = run % 2 == 1;
        const std::string bytes = damage ? Mutate(r, good) : good;
        source.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
        reader.SetSource(&source);
        try {
            reader.Unpack();
        } catch (const EReadError&) {
            ASSERT_TRUE(damage) << run;
            continue;
        } catch (const EZDecompressionError&) {
            ASSERT_TRUE(damage) << run;
            continue;
        }
        if (damage) {
            ++damagedOk;
            continue;
        }
        // A generated container gives exactly its entries.
        std::size_t item = 0;
        for (const auto& e : entries) {
            if (e.Name == "Options.dat") {
                ASSERT_NE(nullptr, reader.Options);
                ASSERT_EQ(e.Data, StreamText(*reader.Options));
                continue;
            }
            ASSERT_LT(item, reader.Files.size());
            ASSERT_EQ(e.Name, reader.Files[item].Name);
            ASSERT_EQ(e.Data, StreamText(*reader.Files[item].Data));
            ++item;
        }
        ASSERT_EQ(item, reader.Files.size());
    }
    EXPECT_GT(damagedOk, 0);   // some damage (in names, say) still reads
}

namespace {

// A BMP of Bits per pixel, rows in either order, with the pixels it holds
// (as 0xRRGGBB) in Expected.
std::string MakeAnyBmp(TRandom& R, int Width, int Height, int Bits, bool TopDown, std::vector<std::uint32_t>& Expected)
{
    const int paletteSize = Bits <= 8 ? (1 << Bits) : 0;
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < paletteSize; ++i)
        palette.push_back(static_cast<std::uint32_t>(Between(R, 0, 0xFFFFFF)));
    const int rowBytes = (Width * Bits + 31) / 32 * 4;
    std::string pixels(static_cast<std::size_t>(rowBytes * Height), '\0');
    Expected.assign(static_cast<std::size_t>(Width * Height), 0);
    for (int y = 0; y < Height; ++y) {
        const int fileRow = TopDown ? y : Height - 1 - y;
        char* row = pixels.data() + fileRow * rowBytes;
        for (int x = 0; x < Width; ++x) {
            std::uint32_t rgb = 0;
            if (Bits <= 8) {
                const int index = Between(R, 0, paletteSize - 1);
                const int bit = x * Bits;
                row[bit / 8] = static_cast<char>(row[bit / 8] | (index << (8 - Bits - bit % 8)));
                rgb = palette[static_cast<std::size_t>(index)];
            } else if (Bits == 16) {
                const int r5 = Between(R, 0, 31), g5 = Between(R, 0, 31), b5 = Between(R, 0, 31);
                const int v = (r5 << 10) | (g5 << 5) | b5;
                row[2 * x] = static_cast<char>(v & 0xFF);
                row[2 * x + 1] = static_cast<char>(v >> 8);
                rgb = std::uint32_t((r5 * 255 / 31) << 16 | (g5 * 255 / 31) << 8 | (b5 * 255 / 31));
            } else {
                rgb = static_cast<std::uint32_t>(Between(R, 0, 0xFFFFFF));
                const int bytes = Bits / 8;
                row[bytes * x] = static_cast<char>(rgb & 0xFF);
                row[bytes * x + 1] = static_cast<char>((rgb >> 8) & 0xFF);
                row[bytes * x + 2] = static_cast<char>(rgb >> 16);
            }
            Expected[static_cast<std::size_t>(y * Width + x)] = rgb;
        }
    }
    std::string out = "BM";
    const int offBits = 14 + 40 + 4 * paletteSize;
    skintest::PutInt32(out, offBits + static_cast<int>(pixels.size()));
    skintest::PutInt32(out, 0);
    skintest::PutInt32(out, offBits);
    skintest::PutInt32(out, 40);
    skintest::PutInt32(out, Width);
    skintest::PutInt32(out, TopDown ? -Height : Height);
    skintest::PutInt16(out, 1);
    skintest::PutInt16(out, Bits);
    for (int i = 0; i < 6; ++i)
        skintest::PutInt32(out, 0);
    for (std::uint32_t c : palette)
        skintest::PutInt32(out, c);
    return out + pixels;
}

}   // namespace

TEST(SkinFuzz, Bitmaps)
{
    TRandom r(99);
    const int depths[] = {1, 4, 8, 16, 24, 32};
    for (int run = 0; run < 100000; ++run) {
        std::vector<std::uint32_t> expected;
        const int w = Between(r, 1, 9), h = Between(r, 1, 5);
        const std::string good = MakeAnyBmp(r, w, h, depths[run % 6], Between(r, 0, 1) == 1, expected);
        const bool damage = run % 2 == 1;
        const std::string bytes = damage ? Mutate(r, good) : good;
        TBitmap bmp;
        try {
            DecodeBmp(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), bmp);
        } catch (const EInvalidGraphic&) {
            ASSERT_TRUE(damage) << run;
            continue;
        }
        if (damage)
            continue;
        ASSERT_EQ(w, bmp.Width());
        ASSERT_EQ(h, bmp.Height());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Byte* p = bmp.ScanLine(y) + 3 * x;
                ASSERT_EQ(expected[static_cast<std::size_t>(y * w + x)], std::uint32_t(p[2] << 16 | p[1] << 8 | p[0]))
                    << run << " " << x << "," << y;
            }
    }
}

TEST(SkinFuzz, BitmapSizesAreRefusedBeforeAllocating)
{
    std::vector<std::uint32_t> expected;
    TRandom r(5);
    const std::string good = MakeAnyBmp(r, 4, 4, 24, false, expected);
    struct Field {
        std::size_t Offset;
        std::int64_t Value;
    };
    const Field fields[] = {
        {18, 16385}, {22, 16385}, {18, 0x7FFFFFFF}, {22, -0x7FFFFFFF}, {18, -4},
        {26, 2},     {28, 12},    {28, 0},         {30, 1},           {10, 0x7FFFFFF0}, {14, 41},
    };
    for (const Field& f : fields) {
        std::string bytes = good;
        std::string value;
        skintest::PutInt32(value, f.Value);
        bytes.replace(f.Offset, f.Offset == 26 || f.Offset == 28 ? 2 : 4, value.substr(0, f.Offset == 26 || f.Offset == 28 ? 2 : 4));
        TBitmap bmp;
        EXPECT_THROW(DecodeBmp(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), bmp), EInvalidGraphic)
            << f.Offset << "=" << f.Value;
    }
    // 8,192 x 8,193 pixels passes the side cap but not the pixel cap; nothing is allocated for it.
    std::string huge = good;
    std::string value;
    skintest::PutInt32(value, 8192);
    skintest::PutInt32(value, 8193);
    huge.replace(18, 8, value);
    TBitmap bmp;
    EXPECT_THROW(DecodeBmp(reinterpret_cast<const Byte*>(huge.data()), huge.size(), bmp), EInvalidGraphic);
}

TEST(SkinFuzz, Jpegs)
{
    TRandom r(7);
    const std::string pictures[] = {skintest::MakeJpeg(8, 8), skintest::MakeJpeg(17, 5, 50), skintest::MakeJpeg(1, 1)};
    int decoded = 0;
    for (int run = 0; run < 100000; ++run) {
        const std::string& good = pictures[run % 3];
        const std::string bytes = run < 3 ? good : Mutate(r, good);
        TBitmap bmp;
        try {
            DecodeJpeg(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), bmp);
            ++decoded;
            ASSERT_FALSE(bmp.Empty());
        } catch (const EInvalidGraphic&) {
            ASSERT_GE(run, 3);
            ASSERT_TRUE(bmp.Empty());
        }
    }
    EXPECT_GE(decoded, 3);
}

TEST(SkinFuzz, GradientTexts)
{
    TRandom r(11);
    const char alphabet[] = "0123456789;;;-$xAF ";
    for (int run = 0; run < 100000; ++run) {
        TqGradArray bands;
        if (run % 2 == 0) {
            // Generated: the expected bands are known.
            const int count = Between(r, 0, 4);
            std::string text;
            std::vector<TqGradient> expected;
            for (int b = 0; b < count; ++b) {
                TqGradient g{Between(r, 0, 0xFFFFFF), Between(r, 0, 0xFFFFFF), Between(r, -5, 300), Between(r, 0, 3)};
                text += std::to_string(g.Color1) + ";" + std::to_string(g.Color2) + ";;" + std::to_string(g.Percent) + ";" +
                        std::to_string(g.Mode) + ";0;";
                g.Percent = std::min(g.Percent, 100);
                expected.push_back(g);
            }
            ParseGradientData(text, bands);
            ASSERT_EQ(expected.size(), bands.size()) << text;
            for (std::size_t i = 0; i < bands.size(); ++i) {
                ASSERT_EQ(expected[i].Color1, bands[i].Color1);
                ASSERT_EQ(expected[i].Percent, bands[i].Percent);
                ASSERT_EQ(expected[i].Mode, bands[i].Mode);
            }
            TBitmap bmp(Between(r, 1, 12), Between(r, 1, 12), TPixelFormat::pf24bit);
            PaintGradient(&bmp, Rect(Between(r, -3, 5), Between(r, -3, 5), Between(r, 0, 20), Between(r, 0, 20)), bands, 0);
            continue;
        }
        std::string text;
        const int length = Between(r, 0, 30);
        for (int i = 0; i < length; ++i)
            text += alphabet[Between(r, 0, int(sizeof(alphabet)) - 2)];
        try {
            ParseGradientData(text, bands);
        } catch (const EConvertError&) {
        }
    }
}

TEST(SkinFuzz, Words)
{
    TRandom r(13);
    const char alphabet[] = "ab!! ,()";
    for (int run = 0; run < 100000; ++run) {
        std::string text;
        const int length = Between(r, 0, 12);
        for (int i = 0; i < length; ++i)
            text += alphabet[Between(r, 0, int(sizeof(alphabet)) - 2)];
        const std::string delims = run % 2 ? "!" : " ,()";
        // The reference: split at delimiters, drop empty pieces.
        std::vector<std::string> words;
        std::string current;
        for (char c : text + delims[0]) {
            if (delims.find(c) != std::string::npos) {
                if (!current.empty())
                    words.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        ASSERT_EQ(static_cast<int>(words.size()), WordCount(text, delims)) << text;
        for (int n = 1; n <= static_cast<int>(words.size()) + 1; ++n) {
            const std::string expected = n <= static_cast<int>(words.size()) ? words[static_cast<std::size_t>(n - 1)] : "";
            ASSERT_EQ(expected, WordAt(n, text, delims)) << text << " " << n;
            const int start = WordStart(n, text, delims);
            if (!expected.empty())
                ASSERT_EQ(expected, text.substr(static_cast<std::size_t>(start - 1), expected.size()));
            else
                ASSERT_EQ(0, start);
        }
    }
}
