// The options readers over small skins made by the tests: every image entry
// form, inherited section values, strict and lenient numbers, JPEG pictures,
// CommonSections, and the same skin from a folder and from a packed stream.
#include <gtest/gtest.h>

#include "../../../support/TempDir.h"
#include "../../support/SkinPictureBuilder.h"
#include "framework/StringList.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/zqSkinPack.h"

namespace {

// A skin folder in a temporary folder, read by the readers.
class TSkinFolder {
public:
    TSkinFolder() : FDir("skinoptions") {}

    void Add(const std::string& Name, const std::string& Bytes) { testfs::WriteBytes(FDir / Name, Bytes); }

    // Reads Options with pictures from the folder.
    void Read(const String& Options, TqSkinModel& Model, const TStrings* Common = nullptr)
    {
        FIni.SetText(Options);
        TqSkinSource source;
        source.Options = &FIni;
        source.SkinPath = testfs::PathStr(FDir.Path()) + Separator();
        source.CommonSections = Common;
        ReadSkin(source, Model);
    }

    String Path() const { return testfs::PathStr(FDir.Path()) + Separator(); }

    static String Separator()
    {
#ifdef _WIN32
        return "\\";
#else
        return "/";
#endif
    }

private:
    testfs::TempDir FDir;
    TMemIniFile FIni;
};

const TqMaskData* Mask(const TqSkinModel& M, const String& Section, const String& Property)
{
    const int i = M.FindMaskIndexExact(Section, Property);
    return i < 0 ? nullptr : &M.Masks[static_cast<std::size_t>(i)];
}

const TqGeneralData& Section(const TqSkinModel& M, const String& Name)
{
    const int i = M.FindSectionIndex(Name);
    if (i < 0)
        throw std::runtime_error("no section " + Name);
    return M.Sections[static_cast<std::size_t>(i)];
}

}   // namespace

TEST(SkinOptions, ImageEntries)
{
    TSkinFolder folder;
    folder.Add("MASTER.BMP", skintest::MakeBmp(300, 260));
    folder.Add("OWN.BMP", skintest::MakeBmp(90, 40));
    TqSkinModel m;
    folder.Read("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"
                "[S]\n"
                "BORDER=^0210^0072^0231^0114^0000^0000^0000^0000^1^1^1^0\n"
                "WIDTHS=^0000^0000^0030^0030^0001^0002^0003^0004^2^0^0^5\n"
                "COMMONW=^0000^0000^0030^0030^0000^0000^0000^0000^2^0^0^5\n"
                "GLYPH=@0147~0154~0195~0190~3~1\n"
                "TEX=~0000~0250~0006~0254~10~1\n"
                "TEXSHORT=~0000~0250~0006~0254~10\n"
                "words=#(10,20,70,50)(3,1)\n"
                "PATTERN=#(0,0,10,10)(0,-1,-3,5)\n"
                "FULL=MASK#(0,0,30,30)(1,0,2,4)\n"
                "OWNGLYPH=!OWN.BMP!3!1!2\n"
                "OWNW=!OWN.BMP!3!1!0!1!2!3!4\n"
                "OWNKIND=!OWN.BMP!3!1!7\n"
                "LOWER=!own.bmp!3!1!0\n"
                "MISSING=!NONE.BMP!3!1!0\n"
                "whole=own.bmp\n"
                "PLAIN=hello\n"
                "HASH=#\n"
                "EMPTY=\n",
                m);
    EXPECT_EQ(300, m.MasterBitmap->Width());
    EXPECT_TRUE(m.MasterBitmap->Transparent());
    EXPECT_EQ(clFuchsia, m.MasterBitmap->TransparentColor());

    struct Expected {
        const char* Section;
        const char* Property;
        TRect R;
        int ImageCount, MaskType, StretchMode, BorderWidth;
        TzqImgType Kind;
        int WL, WT, WR, WB;
        bool Own;
    };
    const Expected cases[] = {
        {"S", "BORDER", Rect(210, 72, 231, 114), 1, 1, 1, 0, itisaBorder, 7, 7, 7, 7, false},
        {"S", "WIDTHS", Rect(0, 0, 30, 30), 2, 0, 0, 5, itisaBorder, 1, 2, 3, 4, false},
        {"S", "COMMONW", Rect(0, 0, 30, 30), 2, 0, 0, 5, itisaBorder, 5, 5, 5, 5, false},
        {"S", "GLYPH", Rect(147, 154, 195, 190), 3, 1, 0, 0, itisaGlyph, 0, 0, 0, 0, false},
        {"S", "TEX", Rect(0, 250, 6, 254), 1, 1, 10, 0, itisaTexture, 0, 0, 0, 0, false},
        {"S", "TEXSHORT", Rect(0, 250, 6, 254), 1, 0, 10, 0, itisaTexture, 0, 0, 0, 0, false},
        {"S", "WORDS", Rect(10, 20, 70, 50), 3, 1, 1, 0, itisaBorder, 6, 5, 6, 5, false},
        {"S", "PATTERN", Rect(0, 0, 10, 10), 1, 0, 0, 0, itisaTexture, 3, 3, 3, 3, false},
        {"S", "FULL", Rect(0, 0, 30, 30), 1, 0, 4, 2, itisaBorder, 2, 2, 2, 2, false},
        {"S", "OWNGLYPH", Rect(0, 0, 90, 40), 3, 1, 0, 0, itisaGlyph, 10, 6, 10, 6, true},
        {"S", "OWNW", Rect(0, 0, 90, 40), 3, 1, 0, 0, itisaBorder, 1, 2, 3, 4, true},
        {"S", "OWNKIND", Rect(0, 0, 90, 40), 3, 1, 0, 0, itisaBorder, 10, 6, 10, 6, true},
        {"S", "WHOLE", Rect(0, 0, 90, 40), 3, 1, 0, 0, itisaBorder, 10, 6, 10, 6, true},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(e.Property);
        const TqMaskData* mask = Mask(m, e.Section, e.Property);
        ASSERT_NE(nullptr, mask);
        EXPECT_EQ(e.R.left, mask->R.left);
        EXPECT_EQ(e.R.top, mask->R.top);
        EXPECT_EQ(e.R.right, mask->R.right);
        EXPECT_EQ(e.R.bottom, mask->R.bottom);
        EXPECT_EQ(e.ImageCount, mask->ImageCount);
        EXPECT_EQ(e.MaskType, mask->MaskType);
        EXPECT_EQ(e.StretchMode, mask->StretchMode);
        EXPECT_EQ(e.BorderWidth, mask->BorderWidth);
        EXPECT_EQ(e.Kind, mask->ImgType);
        EXPECT_EQ(e.WL, mask->WL);
        EXPECT_EQ(e.WT, mask->WT);
        EXPECT_EQ(e.WR, mask->WR);
        EXPECT_EQ(e.WB, mask->WB);
        EXPECT_EQ(e.Own, mask->Bmp != nullptr);
        if (e.Own) {
            EXPECT_EQ(TPixelFormat::pf24bit, mask->Bmp->PixelFormat());
        }
    }
    EXPECT_EQ(std::size(cases), m.Masks.size());   // the ignored values made nothing
    EXPECT_EQ(nullptr, Mask(m, "S", "words"));      // "#" entries are upper-cased
    EXPECT_EQ(nullptr, Mask(m, "GLOBALINFO", "MASTERBITMAP"));
    // The picture itself: the pixel at 5, 7 of OWN.BMP.
    const TqMaskData* own = Mask(m, "S", "OWNGLYPH");
    const Byte* p = own->Bmp->ScanLine(7) + 5 * 3;
    EXPECT_EQ(skintest::TestPixel(5, 7), std::uint32_t(p[2] | (p[1] << 8) | (p[0] << 16)));
}

TEST(SkinOptions, StrictNumbers)
{
    const char* const bad[] = {
        "[S]\nB=^02x0^0072^0231^0114^0000^0000^0000^0000^1^1^1^0\n",
        "[S]\nT=~0000~0250\n",
        "[S]\nG=@0147~0154~0195~0190~x~1\n",
        "[S]\nW=#(1,2,3)(1,1)\n",
        "[S]\nW=#(1,2,3,4)(1,1,x)\n",
        "[S]\nO=!OWN.BMP!x!1!0\n",
        "[S]\nO=!OWN.BMP!3!1\n",
        "[GLOBALINFO]\nSHADOW1OFFSET=abc\n",
        "[GLOBALINFO]\nSHADOW1BLUR=1.5\n",
        "[GLOBALINFO]\nSHADOW1TRANSPARENCY=99999999999\n",
        "[S]\nGRADIENTDATA=1;2;x;0;0\n",
    };
    TSkinFolder folder;
    folder.Add("OWN.BMP", skintest::MakeBmp(9, 6));
    for (const char* options : bad) {
        TqSkinModel m;
        EXPECT_THROW(folder.Read(options, m), EConvertError) << options;
    }
    // A picture that is no bitmap raises the picture loader's error.
    folder.Add("BAD.BMP", "BMnot a bitmap at all, nothing like one, not even close to being one");
    TqSkinModel m;
    EXPECT_THROW(folder.Read("[S]\nB=BAD.BMP\n", m), EInvalidGraphic);
}

TEST(SkinOptions, SectionValues)
{
    TSkinFolder folder;
    TqSkinModel m;
    folder.Read("[GLOBALINFO]\nVERSION=5.2\nAUTHOR=Us\nSHADOW1COLOR=0x10\nSHADOW1OFFSET=-3\nBISPACE=2\n"
                "[BUTTON]\nCOLOR=0x00FF00\nTRANSPARENCY=40\nSHADOWCOLOR=255\nSHADOWENABLED=true\nBEVEL=3\n"
                "HOTGRADIENTDATA=1;2;3;1;0\nFADINGENABLED=1\n"
                "[DRAGBAR]\nPARENTCLASS=BUTTON\nTRANSPARENCY=-1\nBEVEL=9\n"
                "[GRANDCHILD]\nPARENTCLASS=dragbar\nCOLOR=green\n"
                "[PLAIN]\nPARENTCLASS=MISSING\nCOLOR=-16777201\nGRADIENTDATA=16777215;0;100;0;0\n"
                "[LOOPA]\nPARENTCLASS=LOOPB\n[LOOPB]\nPARENTCLASS=loopa\n"
                "[SELF]\nPARENTCLASS=self\n",
                m);
    EXPECT_DOUBLE_EQ(5.2, m.Header.Version);
    EXPECT_EQ("Us", m.Header.Author);
    EXPECT_EQ(0x10, m.Header.Shadow1Color);
    EXPECT_EQ(-3, m.Header.Shadow1Offset);
    EXPECT_EQ(-1, m.Header.Shadow1Blur);
    EXPECT_EQ(2, m.Header.BISpace);

    const TqGeneralData& button = Section(m, "BUTTON");
    EXPECT_EQ(0x00FF00, button.Color);
    EXPECT_EQ(255, button.ShadowColor);
    EXPECT_TRUE(button.ShadowEnabled);
    EXPECT_FALSE(button.FadingEnabled);   // "1" is not "TRUE"
    EXPECT_EQ(cbRaisedHard, button.Bevel);
    EXPECT_EQ(1u, button.HotGradientArray.size());
    EXPECT_TRUE(button.GradientArray.empty());
    EXPECT_EQ(" ", button.GradientData);

    const TqGeneralData& drag = Section(m, "DRAGBAR");
    EXPECT_EQ("BUTTON", drag.ParentClass);
    EXPECT_EQ(0x00FF00, drag.Color);       // inherited
    EXPECT_EQ(40, drag.Transparency);      // -1 is the same as missing
    EXPECT_EQ(0, drag.ShadowColor);        // never inherited
    EXPECT_TRUE(drag.ShadowEnabled);
    EXPECT_EQ(cbNone, drag.Bevel);         // 9 has no meaning
    EXPECT_EQ("1;2;3;1;0", drag.HotGradientData);

    const TqGeneralData& grand = Section(m, "GRANDCHILD");
    EXPECT_EQ(0x00FF00, grand.Color);      // not a number: inherited through two parents
    EXPECT_EQ(40, grand.Transparency);

    const TqGeneralData& plain = Section(m, "PLAIN");
    EXPECT_EQ(static_cast<TColor>(ColorToRGB(clBtnFace)), plain.Color);   // system colours resolved
    EXPECT_EQ(0xFFFFFF, plain.HotColor);
    EXPECT_EQ(6, plain.ShadowBlur);
    EXPECT_EQ(50, plain.ShadowTransparency);
    EXPECT_EQ(-1, plain.TCLeft);
    EXPECT_EQ(5, plain.FadingIterations);
    ASSERT_EQ(1u, plain.GradientArray.size());
    EXPECT_EQ(0xFFFFFF, plain.GradientArray[0].Color1);

    for (const char* name : {"LOOPA", "LOOPB", "SELF"}) {
        const TqGeneralData& s = Section(m, name);
        EXPECT_EQ(0xFFFFFF, s.Color) << name;
        EXPECT_EQ(0, s.Transparency) << name;
    }
    EXPECT_EQ(-1, m.FindMaskIndex(m.FindSectionIndex("LOOPA"), "LOOPA", "BORDERSMASK"));
}

TEST(SkinOptions, JpegPictures)
{
    TSkinFolder folder;
    folder.Add("BIG.JPG", skintest::MakeJpeg(300, 300));
    folder.Add("SMALL.JPG", skintest::MakeJpeg(299, 300));
    folder.Add("NOTJPEG.JPG", "this is no picture");
    TqSkinModel m;
    folder.Read("[FORM]\nPATTERN=big.jpg\nHOTPATTERN=SMALL.JPG\nOTHER=NONE.JPEG\n", m);
    ASSERT_EQ(1u, m.Patterns.size());
    EXPECT_EQ("FORM", m.Patterns[0].ClassName);
    EXPECT_EQ("PATTERN", m.Patterns[0].PropertyName);
    EXPECT_EQ(300, m.Patterns[0].Img->Width());
    const TqMaskData* small = Mask(m, "FORM", "HOTPATTERN");
    ASSERT_NE(nullptr, small);
    EXPECT_EQ(itisaTexture, small->ImgType);
    EXPECT_EQ(299, small->Bmp->Width());
    EXPECT_EQ(1, small->ImageCount);
    EXPECT_EQ(0, m.FindPatternIndex(m.FindSectionIndex("FORM"), "FORM", "PATTERN"));

    TqSkinModel bad;
    EXPECT_THROW(folder.Read("[FORM]\nPATTERN=NOTJPEG.JPG\n", bad), EInvalidGraphic);
}

TEST(SkinOptions, MissingMasterBitmap)
{
    TSkinFolder folder;
    TqSkinModel m;
    TStringList common;
    common.SetText("[EXTRA]\nBORDERSMASK=#(0,0,10,10)(1,0)\n");
    folder.Read("[GLOBALINFO]\nMASTERBITMAP=NONE.BMP\n[S]\nB=^0000^0000^0030^0030^0000^0000^0000^0000^1^0^0^0\n", m,
                &common);
    EXPECT_TRUE(m.MasterBitmap->Empty());
    EXPECT_EQ(TPixelFormat::pf24bit, m.MasterBitmap->PixelFormat());
    EXPECT_NE(nullptr, Mask(m, "S", "B"));             // the entry is there and paints nothing
    EXPECT_EQ(nullptr, Mask(m, "EXTRA", "BORDERSMASK"));  // "#" from CommonSections needs a master bitmap
}

TEST(SkinOptions, CommonSections)
{
    TSkinFolder folder;
    folder.Add("MASTER.BMP", skintest::MakeBmp(40, 40));
    folder.Add("EXTRA.BMP", skintest::MakeBmp(12, 6));
    folder.Add("BACK.JPG", skintest::MakeJpeg(20, 20));
    TStringList common;
    common.SetText("[BUTTON]\nCOLOR=1\nBORDERSMASK=#(0,0,9,9)(1,0)\n"
                   "[NEWBTN]\nPARENTCLASS=button\nTRANSPARENCY=30\nCOLOR=-16777201\n"
                   "[ORPHAN]\nSHOWFOCUS=TRUE\n"
                   "[GLOBALINFO]\nB=#(0,0,5,5)(1,0)\n"
                   "[FILES]\nGLYPHMASK=EXTRA.BMP\nPATTERN=back.jpg\nGONE=NONE.BMP\n");
    TqSkinModel m;
    folder.Read("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"
                "[BUTTON]\nCOLOR=255\nSHADOWENABLED=TRUE\nBORDERSMASK=^0000^0000^0030^0030^0000^0000^0000^0000^1^0^0^0\n",
                m, &common);
    ASSERT_EQ(5u, m.Sections.size());   // GLOBALINFO, BUTTON, NEWBTN, ORPHAN, FILES
    EXPECT_EQ(255, Section(m, "BUTTON").Color);   // the skin's own section stays as it is
    EXPECT_EQ("NEWBTN", m.Sections[2].ClassName);  // appended after the skin's sections
    const TqGeneralData& added = Section(m, "NEWBTN");
    EXPECT_EQ("BUTTON", added.ParentClass);
    EXPECT_EQ(-16777201, added.Color);            // stored as read
    EXPECT_EQ(30, added.Transparency);
    EXPECT_TRUE(added.ShadowEnabled);             // the parent's loaded value
    const TqGeneralData& orphan = Section(m, "ORPHAN");
    EXPECT_EQ("-1", orphan.ParentClass);
    EXPECT_TRUE(orphan.ShowFocus);
    EXPECT_EQ(6, orphan.ShadowBlur);

    // Masks: the skin's entry is found before the one CommonSections adds.
    const int border = m.FindMaskIndexExact("BUTTON", "BORDERSMASK");
    EXPECT_EQ(30, m.Masks[static_cast<std::size_t>(border)].R.right);
    EXPECT_EQ(nullptr, Mask(m, "GLOBALINFO", "B"));
    const TqMaskData* file = Mask(m, "FILES", "GLYPHMASK");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(12, file->Bmp->Width());
    EXPECT_EQ(0, file->ImageCount);
    EXPECT_EQ(nullptr, Mask(m, "FILES", "GONE"));
    // A small JPEG from CommonSections is a pattern all the same.
    ASSERT_EQ(1u, m.Patterns.size());
    EXPECT_EQ("FILES", m.Patterns[0].ClassName);
}

TEST(SkinOptions, PackedAndFolderGiveTheSameModel)
{
    const String options = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=5.1\n"
                           "[FORM]\nCOLOR=0x123456\nBORDERSMASK=^0000^0000^0030^0030^0000^0000^0000^0000^1^0^0^0\n"
                           "TITLE=!OWN.BMP!3!1!0\nBACK=BACK.JPG\nWHOLE=OWN.BMP\n";
    const std::string master = skintest::MakeBmp(40, 40);
    const std::string own = skintest::MakeBmp(30, 20);
    const std::string back = skintest::MakeJpeg(320, 300);
    TSkinFolder folder;
    folder.Add("MASTER.BMP", master);
    folder.Add("OWN.BMP", own);
    folder.Add("BACK.JPG", back);
    TqSkinModel fromFolder;
    folder.Read(options, fromFolder);

    TMemoryStream stream;
    const std::string packed = skintest::PackEntries(
        {{"Options.dat", options}, {"MASTER.BMP", master}, {"own.bmp", own}, {"Back.jpg", back}});
    stream.WriteBuffer(packed.data(), static_cast<Integer>(packed.size()));
    TzqSkinConvertor reader;
    reader.SetSource(&stream);
    reader.Unpack();
    TMemIniFile ini(String(static_cast<const char*>(reader.Options->Memory()),
                           static_cast<std::size_t>(reader.Options->Size())));
    TqSkinSource source;
    source.Options = &ini;
    source.Packed = &reader;
    TqSkinModel fromPack;
    ReadSkin(source, fromPack);

    ASSERT_EQ(fromFolder.Masks.size(), fromPack.Masks.size());
    ASSERT_EQ(3u, fromPack.Masks.size());
    for (std::size_t i = 0; i < fromPack.Masks.size(); ++i) {
        EXPECT_EQ(fromFolder.Masks[i].PropertyName, fromPack.Masks[i].PropertyName);
        EXPECT_EQ(fromFolder.Masks[i].R.right, fromPack.Masks[i].R.right);
        EXPECT_EQ(fromFolder.Masks[i].Bmp != nullptr, fromPack.Masks[i].Bmp != nullptr);
    }
    EXPECT_EQ(1u, fromPack.Patterns.size());
    EXPECT_EQ(40, fromPack.MasterBitmap->Width());
    EXPECT_EQ(0x123456, Section(fromPack, "FORM").Color);
    EXPECT_DOUBLE_EQ(5.1, fromPack.Header.Version);
}
