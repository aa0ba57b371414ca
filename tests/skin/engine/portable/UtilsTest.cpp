// The skin library's word, INI, number, path and rectangle routines, and
// published-property access by name.
#include <gtest/gtest.h>

#include "framework/PropertyRegistry.h"
#include "framework/StringList.h"
#include "skin/engine/qPropUtils.h"
#include "skin/engine/qUtils.h"

TEST(SkinUtils, Words)
{
    struct Case {
        const char* Text;
        const char* Delims;
        int N;
        int Start;
        const char* Word;
    };
    const Case cases[] = {
        {"a!!b", "!", 2, 4, "b"},
        {"!a!", "!", 1, 2, "a"},
        {"!a!", "!", 2, 0, ""},
        {"one two", " ", 3, 0, ""},
        {"x ( 1,2 )( 3 )", " ()", 2, 5, "1,2"},
        {"", "!", 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(c.Start, WordStart(c.N, c.Text, c.Delims));
        EXPECT_EQ(c.Word, WordAt(c.N, c.Text, c.Delims));
    }
    EXPECT_EQ(1, WordCount("!a!", "!"));
    EXPECT_EQ(2, WordCount("a!!b", "!"));
    EXPECT_EQ(0, WordCount("!!!", "!"));
    EXPECT_EQ("abc", RemoveChar(" a b c ", ' '));
}

TEST(SkinUtils, TrailingSeparator)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"c", "c:\\"}, {"c:\\Skins/", "c:\\Skins\\"}, {"c:\\Skins\\", "c:\\Skins\\"}, {"Skins", "Skins\\"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(out, AddTrailingSeparator(in)) << in;
}

TEST(SkinUtils, Numbers)
{
    EXPECT_EQ(255, ClampByte(255));
    EXPECT_EQ(255, ClampByte(1000));
    EXPECT_EQ(0, ClampByte(-1));
    EXPECT_EQ(254, ClampByte(254));
    EXPECT_TRUE(IsBetween(3, 3, 4));
    EXPECT_FALSE(IsBetween(5, 3, 4));

    // Lenient: hexadecimal after 0x, decimal, else the default; nothing wraps.
    const std::pair<const char*, Integer> lenient[] = {
        {"0x1F", 31},       {"0X00FF00", 0x00FF00}, {"-12", -12},      {"0x", 7},
        {"abc", 7},         {"", 7},                {"12a", 7},        {"4294967296", 7},
        {"0x100000000", 7}, {"2147483647", INT32_MAX}, {"$10", 16},    {" 5", 5},
    };
    for (const auto& [text, value] : lenient)
        EXPECT_EQ(value, LenientInt(text, 7)) << text;

    // Strict: decimal only, anything else is a conversion error.
    EXPECT_EQ(210, StrictInt("0210"));
    EXPECT_EQ(INT32_MIN, StrictInt("-2147483648"));
    for (const char* bad : {"", "-", "0x10", "2147483648", "99999999999999999999", "1 ", "a"})
        EXPECT_THROW(StrictInt(bad), EConvertError) << bad;
}

TEST(SkinUtils, Rectangles)
{
    const TRect outer = Rect(0, 0, 10, 10);
    EXPECT_TRUE(RectContains(outer, Rect(2, 2, 10, 10)));   // shares the bottom-right corner
    EXPECT_TRUE(RectContains(outer, outer));
    EXPECT_FALSE(RectContains(outer, Rect(2, 2, 11, 10)));
    EXPECT_FALSE(RectContains(outer, Rect(-1, 2, 5, 5)));

    EXPECT_TRUE(RectOverlaps(outer, Rect(9, 9, 12, 12)));
    EXPECT_FALSE(RectOverlaps(outer, Rect(10, 0, 12, 5)));   // touches the right edge only
    EXPECT_FALSE(RectOverlaps(outer, Rect(2, 2, 2, 5)));     // empty
}

TEST(SkinUtils, IniSections)
{
    TStringList lines;
    lines.SetText("KEY0=0\n[A]\nKEY=1\n;comment\n[B]\n");
    TIniSections sections;
    SplitIniSections(&lines, sections);
    ASSERT_EQ(2u, sections.size());
    EXPECT_EQ("A", sections[0].Name);
    EXPECT_EQ(std::vector<String>{"KEY=1"}, sections[0].Lines);
    EXPECT_EQ("B", sections[1].Name);
    EXPECT_TRUE(sections[1].Lines.empty());

    lines.SetText("[Sec]\nHex=0x1F\nWord=abc\nText=a=b\n");
    SplitIniSections(&lines, sections);
    EXPECT_EQ(31, ReadSectionListInteger(sections, "SEC", "hex", -5));
    EXPECT_EQ(-5, ReadSectionListInteger(sections, "Sec", "Word", -5));
    EXPECT_EQ(-5, ReadSectionListInteger(sections, "Sec", "Missing", -5));
    EXPECT_EQ("a=b", ReadSectionListString(sections, "sec", "TEXT", "-"));
    EXPECT_EQ("-", ReadSectionListString(sections, "Other", "Text", "-"));
}

namespace {

// A class with published properties of each kind, registered once.
class TPropHolder : public TPersistent {
public:
    Int64 Align = 2;
    Int64 Anchors = 0;   // a set of akLeft, akTop, akRight, akBottom
    TPersistent Font;
};

void RegisterHolder()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    TPropInfo align;
    align.Name = "Align";
    align.GetOrd = [](TObject* O) { return static_cast<TPropHolder*>(O)->Align; };
    align.SetOrd = [](TObject* O, Int64 V) { static_cast<TPropHolder*>(O)->Align = V; };
    RegisterPublishedProperty<TPropHolder>(align);
    TPropInfo anchors;
    anchors.Name = "Anchors";
    anchors.Kind = TPropKind::Set;
    anchors.ElementNames = {"akLeft", "akTop", "akRight", "akBottom"};
    anchors.GetOrd = [](TObject* O) { return static_cast<TPropHolder*>(O)->Anchors; };
    anchors.SetOrd = [](TObject* O, Int64 V) { static_cast<TPropHolder*>(O)->Anchors = V; };
    RegisterPublishedProperty<TPropHolder>(anchors);
    TPropInfo font;
    font.Name = "Font";
    font.Kind = TPropKind::Object;
    font.GetObjectProp = [](TObject* O) -> TObject* { return &static_cast<TPropHolder*>(O)->Font; };
    RegisterPublishedProperty<TPropHolder>(font);
}

}   // namespace

TEST(SkinUtils, PropertiesByName)
{
    RegisterHolder();
    TPropHolder holder;
    TPersistent other;

    EXPECT_TRUE(HasPropByName(&holder, "align"));
    EXPECT_FALSE(HasPropByName(&other, "Align"));
    EXPECT_EQ(&holder.Font, GetObjectPropByName(&holder, "Font"));
    EXPECT_EQ(nullptr, GetObjectPropByName(&holder, "Align"));
    EXPECT_EQ(nullptr, GetObjectPropByName(&other, "Font"));
    EXPECT_EQ(2, GetOrdPropByName(&holder, "Align"));
    EXPECT_EQ(-1, GetOrdPropByName(&other, "Align"));
    SetOrdPropByName(&holder, "Align", 5);
    SetOrdPropByName(&other, "Align", 6);
    EXPECT_EQ(5, holder.Align);

    // The empty set gets ",akTop" as its text: the empty element is skipped.
    EXPECT_FALSE(ChangeSetPropElement(&holder, "Anchors", "akTop", true));
    EXPECT_EQ(0b0010, holder.Anchors);
    EXPECT_TRUE(SetPropHasElement(&holder, "Anchors", "akTop"));
    EXPECT_FALSE(SetPropHasElement(&holder, "Anchors", "aktop"));   // element names compare exactly
    EXPECT_FALSE(ChangeSetPropElement(&holder, "Anchors", "akBottom", true));
    EXPECT_FALSE(ChangeSetPropElement(&holder, "Anchors", "akTop", true));   // already there
    EXPECT_EQ(0b1010, holder.Anchors);
    ChangeSetPropElement(&holder, "Anchors", "akTop", false);
    EXPECT_EQ(0b1000, holder.Anchors);
    ChangeSetPropElement(&holder, "Anchors", "akBottom", false);
    EXPECT_EQ(0, holder.Anchors);
    EXPECT_FALSE(SetPropHasElement(&other, "Anchors", "akTop"));
    EXPECT_FALSE(ChangeSetPropElement(&other, "Anchors", "akTop", true));
}
