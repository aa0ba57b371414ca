// The skins the programs carry, as the skin kit draws them for the build:
// each reads into the same model from its packed file, from its folder and
// as a stored skin, and has every section and picture entry the programs'
// windows ask for.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/MemIniFile.h"
#include "framework/Stream.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinOptions.h"
#include "skin/engine/zqSkinPack.h"

namespace {

// The kit's output folder of this build tree, as Wine reaches it (drive Z:).
String SkinsFolder()
{
    String path = "Z:" + String(SKIN_OUTPUT_DIR);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + "\\";
}

std::vector<String> ShippedSkins()
{
    std::ifstream list(std::string(SKIN_OUTPUT_DIR) + "/skins.txt");
    std::vector<String> names;
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

std::unique_ptr<TqSkinModel> ReadFolder(const String& Name)
{
    TMemoryStream bytes;
    bytes.LoadFromFile(SkinsFolder() + Name + "\\Options.dat");
    TMemIniFile options(String(static_cast<const char*>(bytes.Memory()), static_cast<std::size_t>(bytes.Size())));
    TqSkinSource source;
    source.Options = &options;
    source.SkinPath = SkinsFolder() + Name + "\\";
    auto model = std::make_unique<TqSkinModel>();
    ReadSkin(source, *model);
    return model;
}

// The model as text: what each section, entry and pattern holds.
String Describe(const TqSkinModel& M)
{
    String text = "master " + std::to_string(M.MasterBitmap->Width()) + "x" + std::to_string(M.MasterBitmap->Height()) + "\n";
    for (const TqGeneralData& s : M.Sections)
        text += s.ClassName + " parent=" + s.ParentClass + " color=" + std::to_string(s.Color) + " font=" +
                std::to_string(s.FontColor) + " hot=" + std::to_string(s.HotColor) + " transparency=" +
                std::to_string(s.Transparency) + " bands=" + std::to_string(s.GradientArray.size()) + " focus=" +
                std::to_string(s.ShowFocus) + " fading=" + std::to_string(s.FadingEnabled) + "\n";
    for (const TqMaskData& m : M.Masks)
        text += m.ClassName + "." + m.PropertyName + " R=" + std::to_string(m.R.left) + "," + std::to_string(m.R.top) +
                "," + std::to_string(m.R.right) + "," + std::to_string(m.R.bottom) + " n=" +
                std::to_string(m.ImageCount) + " rows=" + std::to_string(m.MaskType) + " kind=" +
                std::to_string(m.ImgType) + " own=" + (m.Bmp ? std::to_string(m.Bmp->Width()) : String("-")) +
                " w=" + std::to_string(m.WL) + "," + std::to_string(m.WT) + "," + std::to_string(m.WR) + "," +
                std::to_string(m.WB) + "\n";
    for (const TqPatternData& p : M.Patterns)
        text += p.ClassName + "." + p.PropertyName + " " + std::to_string(p.Img->Width()) + "\n";
    return text;
}

}   // namespace

TEST(ShippedSkins, PackedFolderAndStoredGiveTheSameModel)
{
    const std::vector<String> names = ShippedSkins();
    ASSERT_EQ(5u, names.size());
    for (const String& name : names) {
        SCOPED_TRACE(name);
        const String folder = Describe(*ReadFolder(name));

        TqSkinManager packed(nullptr);
        packed.SetSkinDirectory(SkinsFolder());
        packed.SetSkinName(name);
        ASSERT_TRUE(packed.PackedSource());
        EXPECT_EQ(folder, Describe(packed.Skin()));

        TqSkinManager stored(nullptr);
        stored.SetSkinDirectory("c:\\no such folder");
        TqStoredSkin* skin = stored.InternalSkins().Add();
        skin->Name = name;
        skin->Data.LoadFromFile(SkinsFolder() + name + ".zvk");
        stored.SetSkinName(name);
        EXPECT_EQ(name, stored.SkinName());
        EXPECT_EQ(folder, Describe(stored.Skin()));
        EXPECT_TRUE(stored.SkinData().Loaded);
        EXPECT_GE(stored.SkinData().Version, 5.0);
    }
}

TEST(ShippedSkins, EverySectionAndEntryTheWindowsAskFor)
{
    const char* const sections[] = {
        "GLOBALINFO", "FORM", "FORMTITLE", "DIALOG", "MAINMENU", "MENUITEM", "DIVIDERV", "ICOLINE", "EXTRALINE",
        "EDIT", "BUTTON", "CHECKBOX", "RADIOBUTTON", "GROUPBOX", "COMBOBOX", "COMBOBTN", "PANEL", "PANEL_LOW",
        "STATUSBAR", "DIVIDER", "TOOLBAR", "TOOLBUTTON", "SCROLLBAR1H", "SCROLLBAR2H", "SCROLLBAR1V", "SCROLLBAR2V",
        "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLSLIDERH", "SCROLLSLIDERV",
        "COLHEADER", "SPEEDBUTTON_SMALL", "BAR"};
    const std::pair<const char*, const char*> entries[] = {
        {"FORM", "BORDERSMASK"},      {"FORM", "TITLEBAR"},           {"MAINMENU", "BORDERSMASK"},
        {"COMBOBOX", "GLYPHMASK"},    {"STATUSBAR", "STATUSPANELMASK"}, {"SCROLLBTNTOP", "GLYPHMASK"},
        {"SCROLLBTNBOTTOM", "GLYPHMASK"}, {"SCROLLBTNLEFT", "GLYPHMASK"}, {"SCROLLBTNRIGHT", "GLYPHMASK"},
        {"SCROLLSLIDERH", "GLYPHMASK"}, {"SCROLLSLIDERV", "GLYPHMASK"}, {"SCROLLBAR1H", "BORDERSMASK"},
        {"SCROLLBAR2V", "BORDERSMASK"}, {"BUTTON", "BORDERSMASK"},    {"EDIT", "BORDERSMASK"},
    };
    const char* const globalMasks[] = {"BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED",
                                       "RADIOGRAYED", "GRIPIMAGE", "BICONCLOSE", "BICONMAX", "BICONMIN", "SICONCLOSE"};
    for (const String& name : ShippedSkins()) {
        SCOPED_TRACE(name);
        TqSkinManager m(nullptr);
        m.SetSkinDirectory(SkinsFolder());
        m.SetSkinName(name);
        for (const char* section : sections)
            EXPECT_GE(m.FindSectionIndex(section), 0) << section;
        for (const auto& [section, key] : entries)
            EXPECT_GE(m.FindMaskIndex(m.FindSectionIndex(section), section, key), 0) << section << "." << key;
        const int global = m.FindSectionIndex("GLOBALINFO");
        for (const char* key : globalMasks) {
            const int index = m.FindMaskIndex(global, "GLOBALINFO", key);
            ASSERT_GE(index, 0) << key;
            const TqMaskData& mask = m.Skin().Masks[static_cast<std::size_t>(index)];
            const int frames = mask.Bmp ? 3 : mask.ImageCount;
            const int rows = mask.Bmp ? 1 : mask.MaskType;
            EXPECT_EQ(3, frames) << key;
            EXPECT_EQ(1, rows) << key;
        }
        for (int glyph : m.Skin().Common.CheckGlyphs)
            EXPECT_GE(glyph, 0);
    }
}
