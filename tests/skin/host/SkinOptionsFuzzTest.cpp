// Randomized whole loads with fixed seeds: generated options texts with
// small pictures in a packed container, whose expected data model the
// generator knows, and the same damaged before and after compression.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "../support/SkinPictureBuilder.h"
#include "../support/WarningRecorder.h"
#include "framework/StringList.h"
#include "skin/engine/ZDecompressionStream.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/qStoredSkins.h"
#include "skin/engine/zqSkinPack.h"

namespace {

using TRandom = std::mt19937;

int Between(TRandom& R, int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(R); }

std::string Digits(int Value, int Width)
{
    std::string s = std::to_string(Value);
    return std::string(static_cast<std::size_t>(Width) - s.size(), '0') + s;
}

struct TExpectedSection {
    std::string Name;
    std::string Parent;
    std::map<std::string, int> Ints;   // COLOR, TRANSPARENCY, BEVEL as written
    int Flag = -1;                      // SHADOWENABLED: -1 missing, 0 false, 1 true
};

struct TExpectedMask {
    std::string Section, Property;
    TRect R;
    int ImageCount = 0, MaskType = 0, WL = 0, WT = 0, WR = 0, WB = 0;
    bool Own = false;
};

// A generated skin: its options text and what the readers must make of it.
struct TGenerated {
    std::string Options;
    std::vector<TExpectedSection> Sections;
    std::vector<TExpectedMask> Masks;
};

TGenerated Generate(TRandom& R)
{
    TGenerated g;
    g.Options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nSHADOW1OFFSET=" + std::to_string(Between(R, -9, 9)) + "\n";
    const int count = Between(R, 1, 5);
    for (int i = 0; i < count; ++i) {
        TExpectedSection s;
        s.Name = "S" + std::to_string(i);
        std::string text = "[" + s.Name + "]\n";
        if (Between(R, 0, 2) == 0) {
            s.Parent = "s" + std::to_string(Between(R, 0, count));   // any case, maybe a loop, maybe missing
            text += "PARENTCLASS=" + s.Parent + "\n";
        }
        for (const char* key : {"COLOR", "TRANSPARENCY", "BEVEL"})
            if (Between(R, 0, 1)) {
                const int v = std::string(key) == "BEVEL" ? Between(R, 0, 4) : Between(R, 0, 0xFFFFFF);
                s.Ints[key] = v;
                text += std::string(key) + "=" + (Between(R, 0, 1) ? std::to_string(v) : "0x" + [&] {
                    char buf[16];
                    std::snprintf(buf, sizeof(buf), "%X", v);
                    return std::string(buf);
                }()) + "\n";
            }
        if (Between(R, 0, 1)) {
            s.Flag = Between(R, 0, 1);
            text += std::string("SHADOWENABLED=") + (s.Flag ? "true" : "False") + "\n";
        }
        const int masks = Between(R, 0, 3);
        for (int m = 0; m < masks; ++m) {
            TExpectedMask e;
            e.Section = s.Name;
            e.Property = "M" + std::to_string(m);
            if (Between(R, 0, 1)) {
                e.R = Rect(Between(R, 0, 9999), Between(R, 0, 9999), Between(R, 0, 9999), Between(R, 0, 9999));
                e.ImageCount = Between(R, 0, 9);
                e.MaskType = Between(R, 0, 9);
                e.WL = Between(R, 0, 9999);
                e.WT = Between(R, 0, 9999);
                e.WR = Between(R, 0, 9999);
                e.WB = Between(R, 0, 9999);
                text += e.Property + "=^" + Digits(e.R.left, 4) + "^" + Digits(e.R.top, 4) + "^" + Digits(e.R.right, 4) +
                        "^" + Digits(e.R.bottom, 4) + "^" + Digits(e.WL, 4) + "^" + Digits(e.WT, 4) + "^" +
                        Digits(e.WR, 4) + "^" + Digits(e.WB, 4) + "^" + std::to_string(e.ImageCount) + "^" +
                        std::to_string(e.MaskType) + "^0^0\n";
                if (e.WL + e.WT + e.WR + e.WB == 0) {
                    e.WL = e.WR = RectWidth(e.R) / (std::max(e.ImageCount, 1) * 3);
                    e.WT = e.WB = RectHeight(e.R) / ((e.MaskType + 1) * 3);
                }
            } else {
                e.Own = true;
                e.ImageCount = Between(R, 1, 3);
                e.MaskType = Between(R, 0, 1);
                e.R = Rect(0, 0, 6, 4);
                e.WL = e.WR = 6 / (e.ImageCount * 3);
                e.WT = e.WB = 4 / ((e.MaskType + 1) * 3);
                text += e.Property + "=!P.BMP!" + std::to_string(e.ImageCount) + "!" + std::to_string(e.MaskType) + "!0\n";
            }
            g.Masks.push_back(e);
        }
        g.Options += text;
        g.Sections.push_back(s);
    }
    return g;
}

// The value of Key in section Index along its parent chain, as the format defines it.
int Inherited(const TGenerated& G, std::size_t Index, const std::string& Key, int Default)
{
    std::vector<bool> visited(G.Sections.size(), false);
    for (;;) {
        const TExpectedSection& s = G.Sections[Index];
        const auto it = s.Ints.find(Key);
        if (it != s.Ints.end())
            return it->second;
        visited[Index] = true;
        if (s.Parent.empty())
            return Default;
        const std::size_t next = static_cast<std::size_t>(std::stoi(s.Parent.substr(1)));
        if (next >= G.Sections.size() || visited[next])
            return Default;
        Index = next;
    }
}

int InheritedFlag(const TGenerated& G, std::size_t Index)
{
    std::vector<bool> visited(G.Sections.size(), false);
    for (;;) {
        const TExpectedSection& s = G.Sections[Index];
        if (s.Flag >= 0)
            return s.Flag;
        visited[Index] = true;
        if (s.Parent.empty())
            return 0;
        const std::size_t next = static_cast<std::size_t>(std::stoi(s.Parent.substr(1)));
        if (next >= G.Sections.size() || visited[next])
            return 0;
        Index = next;
    }
}

// Reads an unpacked skin; the errors of the formats propagate.
void Read(const TzqSkinConvertor& reader, TqSkinModel& Model, const TStrings* Common = nullptr)
{
    TMemIniFile ini;
    if (reader.Options)
        ini.SetText(String(static_cast<const char*>(reader.Options->Memory()), static_cast<std::size_t>(reader.Options->Size())));
    TqSkinSource s;
    s.Options = &ini;
    s.Packed = &reader;
    s.CommonSections = Common;
    ReadSkin(s, Model);
}

// Unpacks Container and reads it.
void Load(const std::string& Container, TqSkinModel& Model)
{
    TMemoryStream source;
    source.WriteBuffer(Container.data(), static_cast<Integer>(Container.size()));
    TzqSkinConvertor reader;
    reader.SetSource(&source);
    reader.Unpack();
    Read(reader, Model);
}

std::string Mutate(TRandom& R, std::string Bytes)
{
    const int changes = Between(R, 1, 3);
    for (int i = 0; i < changes && !Bytes.empty(); ++i) {
        const std::size_t at = static_cast<std::size_t>(Between(R, 0, int(Bytes.size()) - 1));
        switch (Between(R, 0, 2)) {
        case 0:
            Bytes[at] = static_cast<char>(Between(R, 0, 255));
            break;
        case 1:
            Bytes.erase(at, static_cast<std::size_t>(Between(R, 1, 4)));
            break;
        default:
            Bytes.insert(at, 1, "^~@!#;=[]0x.BMP"[Between(R, 0, 14)]);
            break;
        }
    }
    return Bytes;
}

bool IsFormatError(const Exception& E)
{
    return dynamic_cast<const EConvertError*>(&E) || dynamic_cast<const EInvalidGraphic*>(&E) ||
           dynamic_cast<const EReadError*>(&E) || dynamic_cast<const EZDecompressionError*>(&E);
}

}   // namespace

TEST(SkinOptionsFuzz, GeneratedAndDamagedLoads)
{
    TRandom r(2024);
    skintest::TWarningRecorder warnings;
    // The pictures' entries are packed once; each run packs its options in front of them.
    const std::string pictures =
        skintest::PackEntries({{"MASTER.BMP", skintest::MakeBmp(8, 8)}, {"P.BMP", skintest::MakeBmp(6, 4)}}).substr(8);
    int damagedLoaded = 0;
    for (int run = 0; run < 100000; ++run) {
        const TGenerated g = Generate(r);
        const int kind = run % 3;   // 0 as generated, 1 text damaged, 2 container damaged
        const std::string options = kind == 1 ? Mutate(r, g.Options) : g.Options;
        std::string container = "ZVpk";
        skintest::PutInt32(container, 3);
        container += skintest::PackEntries({{"Options.dat", options}}).substr(8) + pictures;
        if (kind == 2)
            container = Mutate(r, container);
        TqSkinModel m;
        try {
            Load(container, m);
        } catch (const Exception& e) {
            ASSERT_TRUE(kind != 0 && IsFormatError(e)) << run << ": " << e.ClassName() << " " << e.Message;
            continue;
        }
        if (kind != 0) {
            ++damagedLoaded;
            continue;
        }
        ASSERT_EQ(g.Sections.size() + 1, m.Sections.size()) << run;
        for (std::size_t i = 0; i < g.Sections.size(); ++i) {
            const TqGeneralData& s = m.Sections[i + 1];
            ASSERT_EQ(g.Sections[i].Name, s.ClassName);
            ASSERT_EQ(Inherited(g, i, "COLOR", 0xFFFFFF), s.Color) << run << " " << s.ClassName;
            ASSERT_EQ(Inherited(g, i, "TRANSPARENCY", 0), s.Transparency) << run;
            ASSERT_EQ(Inherited(g, i, "BEVEL", 0), s.Bevel) << run;
            ASSERT_EQ(InheritedFlag(g, i) == 1, s.ShadowEnabled) << run;
        }
        ASSERT_EQ(g.Masks.size(), m.Masks.size()) << run;
        for (std::size_t i = 0; i < g.Masks.size(); ++i) {
            const TExpectedMask& e = g.Masks[i];
            const TqMaskData& a = m.Masks[i];
            ASSERT_EQ(e.Section, a.ClassName);
            ASSERT_EQ(e.Property, a.PropertyName);
            ASSERT_EQ(e.R.left, a.R.left);
            ASSERT_EQ(e.R.bottom, a.R.bottom);
            ASSERT_EQ(e.ImageCount, a.ImageCount);
            ASSERT_EQ(e.MaskType, a.MaskType);
            ASSERT_EQ(e.WL, a.WL) << run;
            ASSERT_EQ(e.WT, a.WT) << run;
            ASSERT_EQ(e.WB, a.WB) << run;
            ASSERT_EQ(e.Own, a.Bmp != nullptr);
        }
        ASSERT_EQ(8, m.MasterBitmap->Width());
    }
    EXPECT_GT(damagedLoaded, 0);
}

TEST(SkinOptionsFuzz, CommonSectionsTexts)
{
    TRandom r(77);
    const char* const lines[] = {"[A]", "[B]", "[GLOBALINFO]", "PARENTCLASS=a", "PARENTCLASS=B", "COLOR=12",
                                 "COLOR=x", "SHOWFOCUS=TRUE", "GRADIENTDATA=1;2;3;0;0", "BORDERSMASK=#(0,0,4,4)(1,0)",
                                 "X=#", "GLYPH=NONE.BMP", "P=NONE.JPG", ";c", "", "[", "=", "TRANSPARENCY=-1"};
    const std::string container = skintest::PackEntries(
        {{"Options.dat", "[GLOBALINFO]\nMASTERBITMAP=M.BMP\n[A]\nCOLOR=5\n"}, {"M.BMP", skintest::MakeBmp(8, 8)}});
    TMemoryStream source;
    source.WriteBuffer(container.data(), static_cast<Integer>(container.size()));
    TzqSkinConvertor reader;
    reader.SetSource(&source);
    reader.Unpack();
    for (int run = 0; run < 100000; ++run) {
        TStringList common;
        const int count = Between(r, 0, 8);
        for (int i = 0; i < count; ++i)
            common.Add(lines[Between(r, 0, int(std::size(lines)) - 1)]);
        TqSkinModel m;
        try {
            Read(reader, m, &common);
        } catch (const EConvertError&) {   // a "#" entry with bad numbers
            continue;
        }
        ASSERT_GE(m.Sections.size(), 2u);
        ASSERT_EQ(5, m.Sections[1].Color);   // the skin's own section is never changed
    }
}

TEST(SkinOptionsFuzz, StoredSkinValues)
{
    TRandom r(31);
    TqStoredSkins skins(nullptr);
    TqStoredSkin* skin = skins.Add();
    for (int run = 0; run < 100000; ++run) {
        skin->GeneralData.Clear();
        skin->Images.Clear();
        TqSkinGeneral* g = skin->GeneralData.Add();
        g->SectionName = "S";
        const int words = Between(r, 0, 6);
        std::vector<int> values;
        bool valid = words == 5;
        for (int i = 0; i < words; ++i) {
            if (Between(r, 0, 9) == 0) {
                g->FontColor += " x";
                valid = false;
                values.push_back(0);
            } else {
                values.push_back(Between(r, -5, 0xFFFFFF));
                g->FontColor += " " + std::to_string(values.back());
            }
        }
        g->GradientData = Between(r, 0, 1) ? "1;2;3;0;0" : "1;x;3;0;0";
        TqSkinImage* image = skin->Images.Add();
        image->SectionName = "S";
        image->PropertyName = Between(r, 0, 1) ? "PATTERN" : "GLYPH";
        image->Left = Between(r, -100000, 100000);
        image->Right = Between(r, -100000, 100000);
        image->Bottom = Between(r, -100000, 100000);
        image->ImageCount = Between(r, -70000, 70000);
        image->MaskType = Between(r, -70000, 70000);
        image->BorderWidth = Between(r, -3, 3);
        TqSkinSource source;
        source.Stored = skin;
        TqSkinModel m;
        ReadSkin(source, m);
        ASSERT_EQ(1u, m.Sections.size());
        ASSERT_EQ(1u, m.Masks.size());
        const TqGeneralData& s = m.Sections[0];
        ASSERT_EQ(valid ? values[0] : 0, s.FontColor) << g->FontColor;
        ASSERT_EQ(valid ? values[4] : -1, s.TCBottom) << g->FontColor;
        if (m.IsValidMaskIndex(0)) {
            int w = 0, h = 0;
            m.GetMaskFrameSize(0, w, h);
            m.MaskBorderLeft(0);
            m.MaskBorderBottom(0);
        }
    }
}
