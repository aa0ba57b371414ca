// The shipped skins painted off-screen: every section in states 0, 1 and 2
// over a checkerboard parent at TRANSPARENCY 0, 50 and 100, one contact
// sheet per skin and transparency, compared byte for byte with the stored
// goldens (text-free); text checked by colour counts; the sheets and a
// recoloured skin written to build/screenshots as the gallery. Hue and
// saturation of a loaded skin on the same skins.
//
// Goldens are written again only on purpose: SKIN_GOLDENS=update in the
// environment. A sheet that differs is written beside its golden's name in
// build/screenshots (suffix -actual) for a look at the difference.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../../support/TempDir.h"
#include "../support/PngFile.h"
#include "framework/Application.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"

namespace {

namespace fs = std::filesystem;
using skintest::LoadPngRows;
using skintest::RawRows;
using skintest::SavePng;

constexpr int CellW = 96;
constexpr int CellH = 40;
constexpr int Gap = 4;

std::vector<std::string> ShippedSkins()
{
    std::ifstream list(std::string(SKIN_OUTPUT_DIR) + "/skins.txt");
    std::vector<std::string> names;
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

String WinPath(const std::string& UnixPath)
{
    String path = "Z:" + UnixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// build/win/tests -> build/screenshots (as the Unix path Wine reaches at Z:).
std::string ScreenshotFolder()
{
    const std::string out = std::string(SKIN_OUTPUT_DIR) + "/../../screenshots";
    fs::create_directories(out);
    return out;
}

// ---- painting ----

std::unique_ptr<TBitmap> Checkerboard(int W, int H)
{
    auto b = NewBitmap24(W, H);
    for (int y = 0; y < H; ++y) {
        Byte* p = b->ScanLine(y);
        for (int x = 0; x < W; ++x, p += 3)
            p[0] = p[1] = p[2] = ((x / 6) + (y / 6)) % 2 ? 0x30 : 0xE0;
    }
    return b;
}

std::unique_ptr<TqSkinManager> LoadShipped(const std::string& Name, const std::string& Folder = SKIN_OUTPUT_DIR)
{
    auto m = std::make_unique<TqSkinManager>(nullptr);
    m->SetSkinDirectory(WinPath(Folder));
    m->SetSkinName(Name);
    return m;
}

// Every section of the manager's skin in states 0, 1, 2 (columns) over the
// checkerboard, each section's transparency replaced by Transparency (-1
// keeps the skin's).
std::unique_ptr<TBitmap> Sheet(TqSkinManager& M, int Transparency)
{
    // The sheet shows what the painter makes of the skin at each
    // transparency; the skin's own values are put back afterwards.
    auto& sections = const_cast<TqSkinModel&>(M.Skin()).Sections;
    const int count = static_cast<int>(sections.size());
    const int w = Gap + 3 * (CellW + Gap);
    const int h = Gap + count * (CellH + Gap);
    auto sheet = Checkerboard(w, h);
    auto parent = Checkerboard(w, h);
    for (int i = 0; i < count; ++i) {
        TqGeneralData& s = sections[i];
        const int saved[2] = {s.Transparency, s.HotTransparency};
        if (Transparency >= 0)
            s.Transparency = s.HotTransparency = Transparency;
        for (int state = 0; state < 3; ++state) {
            const int x = Gap + state * (CellW + Gap);
            const int y = Gap + i * (CellH + Gap);
            auto cell = NewBitmap24(CellW, CellH);
            PaintSectionWithBorder(i, s.ClassName, MakeCacheInfo(parent.get(), x, y), -1, -1, &M, cell.get(),
                                   Point(0, 0), Rect(0, 0, CellW, CellH), state, true);
            CopyBitmapTransparent(sheet.get(), cell.get(), x, static_cast<TColor>(0xFF000000u), y);
        }
        s.Transparency = saved[0];
        s.HotTransparency = saved[1];
    }
    return sheet;
}

TEST(ShippedSkinPaint, SheetsMatchTheGoldens)
{
    const bool update = std::getenv("SKIN_GOLDENS") && std::string(std::getenv("SKIN_GOLDENS")) == "update";
    const auto skins = ShippedSkins();
    ASSERT_FALSE(skins.empty());
    for (const std::string& name : skins) {
        auto m = LoadShipped(name);
        ASSERT_GT(m->Skin().Sections.size(), 5u) << name;
        for (int t : {0, 50, 100}) {
            auto sheet = Sheet(*m, t);
            const std::string file = name + "-t" + std::to_string(t) + ".png";
            SavePng(*sheet, ScreenshotFolder() + "/skinpaint-" + file);
            const std::string golden = std::string(SKIN_GOLDEN_DIR) + "/" + file;
            if (update) {
                fs::create_directories(SKIN_GOLDEN_DIR);
                SavePng(*sheet, golden);
                continue;
            }
            int gw = 0;
            int gh = 0;
            const std::string want = LoadPngRows(golden, gw, gh);
            ASSERT_FALSE(want.empty()) << "no golden " << golden;
            const std::string got = RawRows(*sheet);
            std::size_t differ = 0;
            if (gw == sheet->Width() && gh == sheet->Height())
                for (std::size_t i = 0; i < got.size(); ++i)
                    differ += got[i] != want[i];
            if (gw != sheet->Width() || gh != sheet->Height() || differ != 0)
                SavePng(*sheet, ScreenshotFolder() + "/skinpaint-" + name + "-t" + std::to_string(t) + "-actual.png");
            EXPECT_EQ(gw, sheet->Width()) << file;
            EXPECT_EQ(gh, sheet->Height()) << file;
            EXPECT_EQ(0u, differ) << file << ": bytes that differ from the golden";
        }
    }
}

TEST(ShippedSkinPaint, TransparentSectionsShowTheCheckerboard)
{
    // At 100 every pixel of the cells that no border mask covers is the
    // parent's; at 0 the cells hide the checkerboard.
    auto m = LoadShipped(ShippedSkins().front());
    auto clear = Sheet(*m, 100);
    auto opaque = Sheet(*m, 0);
    auto board = Checkerboard(clear->Width(), clear->Height());
    int sameClear = 0;
    int sameOpaque = 0;
    int total = 0;
    const int centreX = Gap + CellW / 2;
    for (int y = 0; y < clear->Height(); ++y) {
        const std::size_t at = static_cast<std::size_t>(centreX) * 3;
        sameClear += std::memcmp(clear->ScanLine(y) + at, board->ScanLine(y) + at, 3) == 0;
        sameOpaque += std::memcmp(opaque->ScanLine(y) + at, board->ScanLine(y) + at, 3) == 0;
        ++total;
    }
    EXPECT_GT(sameClear, total * 6 / 10);
    EXPECT_LT(sameOpaque, total * 4 / 10);
}

TEST(ShippedSkinPaint, SectionTextInItsColours)
{
    for (const std::string& name : ShippedSkins()) {
        auto m = LoadShipped(name);
        const int button = m->FindSectionIndex("BUTTON");
        ASSERT_GE(button, 0) << name;
        const TqGeneralData& s = m->Skin().Sections[button];
        auto cell = NewBitmap24(120, 30);
        PaintSectionWithBorder(button, "BUTTON", EmptyCacheInfo, -1, -1, m.get(), cell.get(), Point(0, 0),
                               Rect(0, 0, 120, 30), 0, true);
        DrawSectionText(cell->Canvas(), "Skinned text", true, m.get(), false, button,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE, Rect(0, 0, 120, 30));
        const TColor font = static_cast<TColor>(ColorToRGB(s.FontColor));
        int ink = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x) {
                const Byte* p = cell->ScanLine(y) + 3 * x;
                ink += RGBToColor(p[2], p[1], p[0]) == font;
            }
        EXPECT_GT(ink, 40) << name;
        // Disabled: once, in a mix of the font and the section colour.
        auto grey = NewBitmap24(120, 30);
        DrawSectionText(grey->Canvas(), "Skinned text", false, m.get(), false, button,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE, Rect(0, 0, 120, 30));
        const TColor mixed = MixColors(font, static_cast<TColor>(ColorToRGB(s.Color)), 0.4) & 0xFFFFFF;
        int mixedInk = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x) {
                const Byte* p = grey->ScanLine(y) + 3 * x;
                mixedInk += RGBToColor(p[2], p[1], p[0]) == mixed;
            }
        EXPECT_GT(mixedInk, 40) << name;
        SavePng(*cell, ScreenshotFolder() + "/skinpaint-" + name + "-text.png");
    }
}

// ---- hue and saturation ----

bool IsGreyOrClear(const Byte* P) { return (P[0] == P[1] && P[1] == P[2]) || (P[0] == 0xFF && P[1] == 0 && P[2] == 0xFF); }

TEST(SkinRecolour, HueAndSaturationOfShippedSkins)
{
    for (const std::string& name : ShippedSkins()) {
        auto fresh = LoadShipped(name);
        auto m = LoadShipped(name);
        m->SetHueOffset(120);
        TBitmap& before = *fresh->Skin().MasterBitmap;
        TBitmap& after = *m->Skin().MasterBitmap;
        ASSERT_EQ(before.Width(), after.Width());
        int changed = 0;
        for (int y = 0; y < before.Height(); ++y)
            for (int x = 0; x < before.Width(); ++x) {
                const Byte* b = before.ScanLine(y) + 3 * x;
                const Byte* a = after.ScanLine(y) + 3 * x;
                const TColor want =
                    IsGreyOrClear(b) ? RGBToColor(b[2], b[1], b[0]) : ShiftHue(120, RGBToColor(b[2], b[1], b[0]));
                ASSERT_EQ(want, RGBToColor(a[2], a[1], a[0])) << name << " " << x << "," << y;
                changed += !IsGreyOrClear(b);
            }
        EXPECT_GT(changed, 0) << name;
        const auto& s0 = fresh->Skin().Sections;
        const auto& s1 = m->Skin().Sections;
        ASSERT_EQ(s0.size(), s1.size());
        int none = 0;
        for (std::size_t i = 0; i < s0.size(); ++i) {
            EXPECT_EQ(ShiftHue(120, s0[i].Color), s1[i].Color) << name << " " << s0[i].ClassName;
            if (s0[i].TCLeft == -1) {
                EXPECT_EQ(-1, s1[i].TCLeft);
                ++none;
            }
            for (std::size_t b = 0; b < s0[i].GradientArray.size(); ++b)
                EXPECT_EQ(ShiftHue(120, s0[i].GradientArray[b].Color1), s1[i].GradientArray[b].Color1);
        }
        EXPECT_GT(none, 0) << name;
        // JPEG patterns keep their colours.
        ASSERT_EQ(fresh->Skin().Patterns.size(), m->Skin().Patterns.size());
        for (std::size_t i = 0; i < fresh->Skin().Patterns.size(); ++i) {
            TBitmap& p0 = fresh->Skin().Patterns[i].Img->Bitmap();
            TBitmap& p1 = m->Skin().Patterns[i].Img->Bitmap();
            for (int y = 0; y < p0.Height(); ++y)
                ASSERT_EQ(0, std::memcmp(p0.ScanLine(y), p1.ScanLine(y), static_cast<std::size_t>(p0.Width()) * 3));
        }
        // The gallery: the recoloured skin at its own transparency.
        SavePng(*Sheet(*m, -1), ScreenshotFolder() + "/skinpaint-" + name + "-hue120.png");

        // Back to 0: exactly the skin as its source holds it.
        m->SetHueOffset(0);
        for (int y = 0; y < before.Height(); ++y)
            ASSERT_EQ(0, std::memcmp(before.ScanLine(y), m->Skin().MasterBitmap->ScanLine(y),
                                     static_cast<std::size_t>(before.Width()) * 3))
                << name << " row " << y;
        for (std::size_t i = 0; i < s0.size(); ++i)
            EXPECT_EQ(s0[i].Color, m->Skin().Sections[i].Color);

        // Saturation -100 is the amount 100 (toward grey); 100 is -100.
        for (int value : {-100, 100, 150}) {
            m->SetSaturation(value);
            const int amount = value == -100 ? 100 : value == 100 ? -100 : -49;
            for (std::size_t i = 0; i < s0.size(); ++i) {
                EXPECT_EQ(ChangeSaturation(s0[i].Color, amount), m->Skin().Sections[i].Color) << value;
                EXPECT_EQ(ChangeSaturation(s0[i].HotColor, amount), m->Skin().Sections[i].HotColor) << value;
            }
        }
    }
}

TEST(SkinRecolour, TheSameValueReadsTheSkinOnce)
{
    // The skin is read from a copy; swapping the copy for another skin's
    // shows when a setter read it again.
    const auto skins = ShippedSkins();
    ASSERT_GE(skins.size(), 2u);
    testfs::TempDir dir("skinrecolour");
    const fs::path pack = dir / "X.zvk";
    fs::copy_file(fs::path(SKIN_OUTPUT_DIR) / (skins[0] + ".zvk"), pack);
    auto m = std::make_unique<TqSkinManager>(nullptr);
    m->SetSkinDirectory(testfs::PathStr(dir.Path()));
    m->SetSkinName("X");
    auto first = LoadShipped(skins[0]);
    auto second = LoadShipped(skins[1]);
    const TColor firstColor = first->Skin().Sections[0].Color;
    m->SetHueOffset(120);
    EXPECT_EQ(ShiftHue(120, firstColor), m->Skin().Sections[0].Color);
    fs::copy_file(fs::path(SKIN_OUTPUT_DIR) / (skins[1] + ".zvk"), pack, fs::copy_options::overwrite_existing);
    m->SetHueOffset(120);   // unchanged: not read again
    EXPECT_EQ(ShiftHue(120, firstColor), m->Skin().Sections[0].Color);
    EXPECT_EQ(first->Skin().Sections.size(), m->Skin().Sections.size());
    m->SetHueOffset(0);     // read again: now the other skin
    EXPECT_EQ(second->Skin().Sections.size(), m->Skin().Sections.size());
    EXPECT_EQ(second->Skin().Sections[0].Color, m->Skin().Sections[0].Color);
}

} // namespace

#include "framework/Panel.h"
#include "skin/engine/qControlPaint.h"

namespace {

TEST(ControlPaint, ControlSectionAndText)
{
    auto m = LoadShipped(ShippedSkins().front());
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 80, 30);
    TqCommonData data(&panel, true);
    data.SetSkinManager(m.get());
    data.SetSkinSection("BUTTON");
    ASSERT_TRUE(data.IsSkinned(false));
    data.PrepareCacheBitmap();
    TBitmap* cache = data.CacheBmp.get();
    ASSERT_EQ(80, cache->Width());
    for (int state = 0; state < 3; ++state) {
        PaintControlSection(&data, EmptyCacheInfo, true, true, cache, Point(0, 0), Rect(0, 0, 80, 30), state);
        EXPECT_EQ(clSkinTransparent, ExchangeColor);
        EXPECT_EQ(clSkinTransparent, ExchangeParentColor);
        // Without a parent and without corner images: the section with its border.
        auto plain = NewBitmap24(80, 30);
        PaintSectionWithBorder(data.SkinIndex, "BUTTON", EmptyCacheInfo, data.Texture, data.HotTexture, m.get(),
                               plain.get(), Point(0, 0), Rect(0, 0, 80, 30), state, true);
        for (int y = 0; y < 30; ++y)
            ASSERT_EQ(0, std::memcmp(plain->ScanLine(y), cache->ScanLine(y), 80 * 3)) << state << " row " << y;
    }
    // Text in the section's font colour, unless disabled.
    const TColor font = static_cast<TColor>(ColorToRGB(m->Skin().Sections[data.SkinIndex].FontColor));
    DrawControlText(cache->Canvas(), "Skinned", true, false, &data, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                    Rect(0, 0, 80, 30));
    int ink = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const Byte* p = cache->ScanLine(y) + 3 * x;
            ink += RGBToColor(p[2], p[1], p[0]) == font;
        }
    EXPECT_GT(ink, 20);
    // A control without a parent repaints its corners over no parent: the
    // frame's corner pixels come back after the cache was cleared.
    TintRect(cache, Rect(0, 0, 79, 29), 0, clFuchsia);
    PaintAllCorners(&data, 0);
    EXPECT_EQ(clSkinTransparent, ExchangeColor);
    int corner = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const Byte* p = cache->ScanLine(y) + 3 * x;
            corner += RGBToColor(p[2], p[1], p[0]) != clFuchsia;
        }
    EXPECT_GT(corner, 0);
    EXPECT_EQ(clFuchsia, RGBToColor(cache->ScanLine(15)[3 * 40 + 2], cache->ScanLine(15)[3 * 40 + 1],
                                    cache->ScanLine(15)[3 * 40]));   // the middle is not a corner
}

} // namespace
