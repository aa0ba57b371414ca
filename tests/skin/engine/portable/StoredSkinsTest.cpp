// Stored skins: the collections of the form data, and skins read from their
// published properties when their Data is empty.
#include <gtest/gtest.h>

#include "../../support/SkinPictureBuilder.h"
#include "framework/StringList.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/qStoredSkins.h"

namespace {

void ReadStored(const TqStoredSkin* Stored, TqSkinModel& Model, const TStrings* Common = nullptr)
{
    TqSkinSource source;
    source.Stored = Stored;
    source.CommonSections = Common;
    ReadSkin(source, Model);
}

void FillBitmap(TBitmap& Bmp, int Width, int Height)
{
    const std::string bytes = skintest::MakeBmp(Width, Height);
    DecodeBmp(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), Bmp);
}

}   // namespace

TEST(StoredSkins, Collections)
{
    TqStoredSkins skins(nullptr);
    TqStoredSkin* a = skins.Add();
    a->Name = "A";
    skins.Add()->Name = "B";
    skins.Add()->Name = "A";
    EXPECT_EQ(0, skins.IndexOfName("A"));
    EXPECT_EQ(1, skins.IndexOfName("B"));
    EXPECT_EQ(-1, skins.IndexOfName("b"));
    EXPECT_EQ(1, skins.Items(1)->Index());
    EXPECT_EQ(a, a->GeneralData.Owner());
    EXPECT_EQ(clFuchsia, a->BorderColor);
    EXPECT_EQ(-1, a->Shadow1Blur);
    EXPECT_THROW(skins.Items(3), EListError);

    // The items do not copy themselves: copying a collection with items fails.
    TqSkinGenerals copy(nullptr);
    copy.Assign(&skins.Items(1)->GeneralData);   // empty: fine
    a->GeneralData.Add();
    EXPECT_THROW(copy.Assign(&a->GeneralData), EConvertError);
    skins.Delete(0);
    EXPECT_EQ(0, skins.IndexOfName("B"));
}

TEST(StoredSkins, EmptyStoredSkin)
{
    TqStoredSkins skins(nullptr);
    TqStoredSkin* skin = skins.Add();
    TqSkinModel m;
    TStringList common;
    common.SetText("[EXTRA]\nCOLOR=5\n");
    ReadStored(skin, m, &common);
    EXPECT_TRUE(m.MasterBitmap->Empty());
    EXPECT_TRUE(m.Masks.empty());
    EXPECT_TRUE(m.Patterns.empty());
    ASSERT_EQ(1u, m.Sections.size());   // what CommonSections supplies
    EXPECT_EQ("EXTRA", m.Sections[0].ClassName);

    // Without a stored skin of the name nothing is read, CommonSections neither.
    TqSkinModel none;
    ReadStored(nullptr, none, &common);
    EXPECT_TRUE(none.Sections.empty());
}

TEST(StoredSkins, ImagesAndPatterns)
{
    TqStoredSkins skins(nullptr);
    TqStoredSkin* skin = skins.Add();
    FillBitmap(skin->MasterBitmap, 50, 40);
    TqSkinImage* fromMaster = skin->Images.Add();   // no Name: the master rectangle, though Image holds one
    fromMaster->SectionName = "button";
    fromMaster->PropertyName = "bordersmask";
    FillBitmap(fromMaster->Image, 9, 9);
    fromMaster->Left = 1;
    fromMaster->Top = 2;
    fromMaster->Right = 31;
    fromMaster->Bottom = 32;
    fromMaster->ImageCount = 0;
    TqSkinImage* own = skin->Images.Add();
    own->SectionName = "BUTTON";
    own->PropertyName = "PATTERN";
    own->Name = "own";
    FillBitmap(own->Image, 12, 6);
    own->ImageCount = 1;
    own->StretchMode = 4;   // not kept: the item is no texture
    own->WL = 2;
    TqSkinImage* texture = skin->Images.Add();
    texture->SectionName = "BUTTON";
    texture->PropertyName = "HOTPATTERN";
    texture->ImgType = itisaTexture;
    texture->StretchMode = 4;
    texture->ImageCount = 1;
    texture->BorderWidth = 3;

    const std::string jpeg = skintest::MakeJpeg(10, 10);
    TqSkinPattern* first = skin->Patterns.Add();
    first->Name = "P";
    first->SectionName = "form";
    first->PropertyName = "pattern";
    first->Image.LoadFromBytes(jpeg);
    TqSkinPattern* second = skin->Patterns.Add();
    second->Name = "P";
    second->SectionName = "FORM";
    second->PropertyName = "HOTPATTERN";

    TqSkinModel m;
    ReadStored(skin, m);
    EXPECT_EQ(50, m.MasterBitmap->Width());
    EXPECT_TRUE(m.MasterBitmap->Transparent());
    ASSERT_EQ(3u, m.Masks.size());
    const TqMaskData& a = m.Masks[0];
    EXPECT_EQ("BUTTON", a.ClassName);
    EXPECT_EQ("BORDERSMASK", a.PropertyName);
    EXPECT_EQ(nullptr, a.Bmp);
    EXPECT_EQ(31, a.R.right);
    EXPECT_EQ(3, a.ImageCount);   // 0 becomes 3 with one mask row
    EXPECT_EQ(1, a.MaskType);
    EXPECT_EQ(30 / 9, a.WL);
    EXPECT_EQ(30 / 6, a.WT);
    const TqMaskData& b = m.Masks[1];
    ASSERT_NE(nullptr, b.Bmp);
    EXPECT_EQ(12, b.R.right);
    EXPECT_EQ(itisaTexture, b.ImgType);
    EXPECT_EQ(0, b.StretchMode);
    EXPECT_EQ(2, b.WL);
    EXPECT_EQ(0, b.WR);   // given widths are kept as given
    const TqMaskData& c = m.Masks[2];
    EXPECT_EQ(4, c.StretchMode);
    EXPECT_EQ(3, c.WL);

    ASSERT_EQ(2u, m.Patterns.size());
    EXPECT_EQ("FORM", m.Patterns[0].ClassName);
    EXPECT_EQ("PATTERN", m.Patterns[0].PropertyName);
    EXPECT_EQ(10, m.Patterns[1].Img->Width());   // the first item's picture
}

TEST(StoredSkins, Sections)
{
    TqStoredSkins skins(nullptr);
    TqStoredSkin* skin = skins.Add();
    skin->Version = 5.3;
    skin->Author = "Us";
    skin->Shadow1Blur = 4;
    struct Case {
        const char* FontColor;
        TColor Color;
        TColor Contours[4];
    };
    const Case cases[] = {
        {"1 2 3 4 5", 1, {2, 3, 4, 5}},
        {"1 2 3 4", 0, {-1, -1, -1, -1}},
        {"", 0, {-1, -1, -1, -1}},
        {"255  -1 -1 0 $10", 255, {-1, -1, 0, 16}},
    };
    for (const Case& c : cases) {
        TqSkinGeneral* g = skin->GeneralData.Add();
        g->SectionName = c.FontColor;
        g->FontColor = c.FontColor;
        g->HotFontColor = "9 8 7 6 5";
        g->Color = clBtnFace;
        g->Bevel = static_cast<TqControlBevel>(2);
        g->GradientData = "1;2;3;0;0";
    }
    TqSkinGeneral* bad = skin->GeneralData.Add();   // a word that is no number: the section keeps what was read
    bad->SectionName = "BAD";
    bad->FontColor = "1 2 x 4 5";
    TqSkinGeneral* after = skin->GeneralData.Add();
    after->SectionName = "AFTER";
    after->ParentClass = "BAD";

    TqSkinModel m;
    ReadStored(skin, m);
    EXPECT_DOUBLE_EQ(5.3, m.Header.Version);
    EXPECT_EQ("Us", m.Header.Author);
    EXPECT_EQ(4, m.Header.Shadow1Blur);
    EXPECT_EQ(clFuchsia, m.Header.BorderColor);
    ASSERT_EQ(std::size(cases) + 2, m.Sections.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const TqGeneralData& s = m.Sections[i];
        SCOPED_TRACE(cases[i].FontColor);
        EXPECT_EQ(cases[i].Color, s.FontColor);
        EXPECT_EQ(cases[i].Contours[0], s.TCLeft);
        EXPECT_EQ(cases[i].Contours[3], s.TCBottom);
        EXPECT_EQ(9, s.HotFontColor);
        EXPECT_EQ(5, s.HotTCBottom);
        EXPECT_EQ(clBtnFace, s.Color);   // as stored, not made RGB
        EXPECT_EQ(cbLoweredSoft, s.Bevel);
        EXPECT_EQ(1u, s.GradientArray.size());
    }
    EXPECT_EQ("BAD", m.Sections[std::size(cases)].ClassName);
    EXPECT_EQ("BAD", m.Sections.back().ParentClass);
}
