// Lookups of the skin data model: sections, inherited masks, textures and
// patterns along PARENTCLASS chains, frame and border sizes, the common
// index cache and the global colours.
#include <gtest/gtest.h>

#include "skin/engine/qSkinModel.h"

namespace {

void AddSection(TqSkinModel& Model, const String& Name, const String& Parent = String())
{
    TqGeneralData s;
    s.ClassName = Name;
    s.ParentClass = Parent;
    Model.Sections.push_back(std::move(s));
}

int AddMask(TqSkinModel& Model, const String& Section, const String& Property, TzqImgType Kind = itisaBorder)
{
    TqMaskData m;
    m.ClassName = Section;
    m.PropertyName = Property;
    m.ImgType = Kind;
    m.R = Rect(0, 0, 30, 20);
    m.ImageCount = 1;
    Model.Masks.push_back(std::move(m));
    return static_cast<int>(Model.Masks.size()) - 1;
}

}   // namespace

TEST(SkinModel, InheritedLookups)
{
    TqSkinModel m;
    AddSection(m, "TABTOP");
    AddSection(m, "TABBOTTOM", "TABTOP");
    AddSection(m, "A", "A");        // names itself
    AddSection(m, "B", "X");        // a parent that is not a section
    AddSection(m, "C", "c");        // itself in another case
    AddSection(m, "LOOP1", "LOOP2");
    AddSection(m, "LOOP2", "LOOP3");
    AddSection(m, "LOOP3", "loop1");   // back to the first, through others
    AddSection(m, "CHILD", "tabbottom");   // the parent found without regard to case
    const int top = AddMask(m, "TABTOP", "BORDERSMASK");
    const int texture = AddMask(m, "TABTOP", "PATTERN", itisaTexture);
    AddMask(m, "TABBOTTOM", "PATTERN", itisaBorder);
    TqPatternData p;
    p.ClassName = "TABTOP";
    p.PropertyName = "PATTERN";
    m.Patterns.push_back(std::move(p));

    const int bottom = m.FindSectionIndex("TABBOTTOM");
    EXPECT_EQ(1, bottom);
    EXPECT_EQ(-1, m.FindSectionIndex("tabbottom"));   // names compare exactly
    EXPECT_EQ(top, m.FindMaskIndex(bottom, "TABBOTTOM", "BORDERSMASK"));
    EXPECT_EQ(top, m.FindMaskIndex(m.FindSectionIndex("CHILD"), "CHILD", "BORDERSMASK"));
    // Only textures count for the texture lookup: TABBOTTOM's own PATTERN is a border.
    EXPECT_EQ(texture, m.FindTextureIndex(bottom, "TABBOTTOM", "PATTERN"));
    EXPECT_EQ(0, m.FindPatternIndex(bottom, "TABBOTTOM", "PATTERN"));

    struct Miss {
        const char* Section;
        const char* Property;
    };
    for (const Miss& c : {Miss{"A", "BORDERSMASK"}, Miss{"B", "BORDERSMASK"}, Miss{"C", "BORDERSMASK"},
                          Miss{"LOOP1", "BORDERSMASK"}, Miss{"LOOP3", "PATTERN"}}) {
        SCOPED_TRACE(c.Section);
        const int index = m.FindSectionIndex(c.Section);
        EXPECT_EQ(-1, m.FindMaskIndex(index, c.Section, c.Property));
        EXPECT_EQ(-1, m.FindTextureIndex(index, c.Section, c.Property));
        EXPECT_EQ(-1, m.FindPatternIndex(index, c.Section, c.Property));
    }
    EXPECT_EQ(-1, m.FindMaskIndex(-1, "TABTOP", "BORDERSMASK"));
    EXPECT_EQ(-1, m.FindMaskIndex(0, "", "BORDERSMASK"));
    EXPECT_EQ(-1, m.FindMaskIndexExact("tabtop", "BORDERSMASK"));
    EXPECT_EQ(-1, m.FindMaskIndexExact("TABBOTTOM", "BORDERSMASK"));
    EXPECT_EQ(top, m.FindMaskIndexExact("TABTOP", "BORDERSMASK"));

    m.CacheCommonIndexes();
    EXPECT_EQ(0, m.Common.Tab[0]);
    EXPECT_EQ(bottom, m.Common.Tab[1]);
    EXPECT_EQ(top, m.Common.TabBorder[1]);   // TABBOTTOM has TABTOP's border
    EXPECT_EQ(-1, m.Common.Tab[2]);
    EXPECT_EQ(-1, m.Common.TabBorder[2]);
}

TEST(SkinModel, WithoutGlobalInfo)
{
    TqSkinModel m;
    AddSection(m, "BUTTON");
    AddMask(m, "GLOBALINFO", "BOXCHECKED", itisaGlyph);   // no section of that name
    m.CacheCommonIndexes();
    EXPECT_EQ(-1, m.Common.GlobalInfo);
    for (int glyph : m.Common.CheckGlyphs)
        EXPECT_EQ(-1, glyph);
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clBtnFace)), m.GetGlobalColor());
    EXPECT_EQ(clFuchsia, m.GetGlobalFontColor());
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clWindow)), m.GetGlobalHotColor());

    AddSection(m, "GLOBALINFO");
    m.Sections.back().Color = 0x102030;
    m.Sections.back().FontColor = clBtnText;
    m.Sections.back().HotColor = clBtnText;
    m.CacheCommonIndexes();
    EXPECT_EQ(1, m.Common.GlobalInfo);
    EXPECT_EQ(0, m.Common.CheckGlyphs[0]);
    EXPECT_EQ(0x102030, m.GetGlobalColor());
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clBtnText)), m.GetGlobalFontColor());
    EXPECT_EQ(clBtnText, m.GetGlobalHotColor());   // not made RGB
}

TEST(SkinModel, CommonIndexes)
{
    TqSkinModel m;
    AddSection(m, "COMBOBTN", "BUTTON");
    AddSection(m, "BUTTON");
    AddSection(m, "COMBOBOX");
    AddSection(m, "SCROLLBTNBOTTOM");
    AddSection(m, "SCROLLBTNLEFT", "SCROLLBTNBOTTOM");
    AddSection(m, "SCROLLSLIDERH");
    AddSection(m, "SCROLLBAR2V");
    const int buttonBorder = AddMask(m, "BUTTON", "BORDERSMASK");
    const int buttonPattern = AddMask(m, "BUTTON", "PATTERN", itisaTexture);
    const int comboGlyph = AddMask(m, "COMBOBOX", "GLYPHMASK", itisaGlyph);
    const int glyph = AddMask(m, "SCROLLBTNBOTTOM", "GLYPHMASK", itisaGlyph);
    const int slider = AddMask(m, "SCROLLSLIDERH", "HOTPATTERN", itisaTexture);
    const int bar = AddMask(m, "SCROLLBAR2V", "BORDERSMASK");
    m.CacheCommonIndexes();
    const TqCommonIndexes& c = m.Common;
    EXPECT_EQ(0, c.ComboBtn);
    EXPECT_EQ(-1, c.ComboBtnBorder);   // an exact lookup: BUTTON's border is not taken
    EXPECT_EQ(buttonPattern, c.ComboBtnPattern);   // a texture lookup along the chain
    EXPECT_EQ(-1, c.ComboBtnHotPattern);
    EXPECT_EQ(comboGlyph, c.ComboBoxGlyph);
    EXPECT_EQ(glyph, c.ScrollBtnGlyph[1]);
    EXPECT_EQ(glyph, c.ScrollBtnGlyph[2]);   // SCROLLBTNLEFT inherits it
    EXPECT_EQ(-1, c.ScrollBtnGlyph[0]);      // SCROLLBTNTOP is missing
    EXPECT_EQ(slider, c.SliderHotPattern[1]);
    EXPECT_EQ(bar, c.ScrollBarBorder[3]);
    EXPECT_EQ(-1, c.ScrollBar[0]);
    (void)buttonBorder;
}

TEST(SkinModel, FrameAndBorderSizes)
{
    TqSkinModel m;
    // An own bitmap of 90 x 40: frames of 30 x 20, whatever the counts say.
    TqMaskData own;
    own.Bmp = std::make_unique<TBitmap>(90, 40, TPixelFormat::pf24bit);
    own.R = Rect(0, 0, 90, 40);
    own.ImageCount = 7;
    own.MaskType = 3;
    m.Masks.push_back(std::move(own));
    // A master rectangle of 60 x 42 without counts or widths.
    TqMaskData rect;
    rect.R = Rect(10, 10, 70, 52);
    rect.ImageCount = 0;
    rect.MaskType = -2;
    m.Masks.push_back(std::move(rect));
    // Own widths and a common width.
    TqMaskData widths;
    widths.R = Rect(0, 0, 60, 60);
    widths.ImageCount = 2;
    widths.MaskType = 1;
    widths.WL = 4;
    widths.BorderWidth = 5;
    m.Masks.push_back(std::move(widths));

    int w = 0, h = 0;
    m.GetMaskFrameSize(0, w, h);
    EXPECT_EQ(30, w);
    EXPECT_EQ(20, h);
    m.GetMaskFrameSize(1, w, h);
    EXPECT_EQ(60, w);
    EXPECT_EQ(42, h);
    EXPECT_EQ(20, m.MaskBorderLeft(1));    // ImageCount 0 counts as 1: 60 div 3
    EXPECT_EQ(20, m.MaskBorderRight(1));
    EXPECT_EQ(14, m.MaskBorderBottom(1));  // MaskType below 0 counts as 0: 42 div 3
    EXPECT_EQ(0, m.Masks[1].ImageCount);   // the query leaves the entry as it was
    EXPECT_EQ(4, m.MaskBorderLeft(2));
    EXPECT_EQ(5, m.MaskBorderRight(2));
    EXPECT_EQ(5, m.MaskBorderBottom(2));

    EXPECT_TRUE(m.IsValidMaskIndex(2));
    EXPECT_FALSE(m.IsValidMaskIndex(3));
    EXPECT_FALSE(m.IsValidMaskIndex(-1));
    EXPECT_FALSE(m.IsValidSkinIndex(0));
}
