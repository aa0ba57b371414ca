// Vantrel starts with its own skin: the first of the two it carries, or a
// skin of that name that the user put into c:\Skins; a file there that is no
// skin, or is damaged, is reported and the program starts all the same.
#include "tests/manager/VantrelFixture.h"

#include "framework/Stream.h"
#include "skin/engine/qSkinManager.h"

namespace vantrel_test {
namespace {

const char* const SkinFolder = "c:\\Skins";

class VantrelSkinTest : public VantrelTest {
protected:
    void TearDown() override
    {
        VantrelTest::TearDown();
        RemovePath(SkinFolder);
    }

    // The stored skin's packed bytes, as the program carries them.
    std::string StoredBytes(const char* Name)
    {
        TqStoredSkins& skins = Main->qSkinManager1->InternalSkins();
        TMemoryStream& data = skins.Items(skins.IndexOfName(Name))->Data;
        return std::string(static_cast<const char*>(data.Memory()), static_cast<std::size_t>(data.Size()));
    }

    void Restart()
    {
        DestroyWindows();
        const std::string text = SettingsText();
        StartWindows(&text);
    }
};

TEST_F(VantrelSkinTest, StartsWithTheFirstStoredSkin)
{
    TqSkinManager* m = Main->qSkinManager1;
    EXPECT_EQ("Clearwater", m->SkinName());
    EXPECT_EQ(2, m->InternalSkins().Count());
    EXPECT_EQ("c:\\Skins", m->SkinDirectory());
    EXPECT_TRUE(m->SkinData().Loaded);
    EXPECT_GE(m->FindSectionIndex("FORM"), 0);
    EXPECT_TRUE(m->PackedSource());               // the stored skin's packed data,
    EXPECT_EQ("", m->SkinData().SkinPath);         // not a file or folder on disk
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(VantrelSkinTest, ASkinOfThatNameInTheSkinFolderTakesItsPlace)
{
    const std::string basalt = StoredBytes("Basalt");
    CreateDirectoryW(L"c:\\Skins", nullptr);
    WriteBytes("c:\\Skins\\Clearwater.zvk", basalt);
    Restart();
    TqSkinManager* m = Main->qSkinManager1;
    EXPECT_EQ("Clearwater", m->SkinName());
    EXPECT_EQ("c:\\Skins\\", m->SkinData().SkinPath);
    // Basalt's values under Clearwater's name.
    TqSkinManager stored(nullptr);
    TqStoredSkin* skin = stored.InternalSkins().Add();
    skin->Name = "B";
    skin->Data.WriteBuffer(basalt.data(), static_cast<Integer>(basalt.size()));
    stored.SetSkinName("B");
    EXPECT_EQ(stored.SkinData().Description, m->SkinData().Description);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(VantrelSkinTest, AFolderSkinOfThatNameTakesItsPlace)
{
    CreateDirectoryW(L"c:\\Skins", nullptr);
    CreateDirectoryW(L"c:\\Skins\\Clearwater", nullptr);
    WriteBytes("c:\\Skins\\Clearwater\\Options.dat",
               "[GLOBALINFO]\r\nVERSION=5.1\r\nDESCRIPTION=From the folder\r\n[FORM]\r\nCOLOR=255\r\n");
    Restart();
    TqSkinManager* m = Main->qSkinManager1;
    EXPECT_EQ("Clearwater", m->SkinName());
    EXPECT_EQ("From the folder", m->SkinData().Description);
    EXPECT_EQ("c:\\Skins\\Clearwater\\", m->SkinData().SkinPath);
    EXPECT_EQ(255, m->Skin().Sections[static_cast<std::size_t>(m->FindSectionIndex("FORM"))].Color);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(VantrelSkinTest, AFileThatIsNoSkinIsReportedAndTheProgramStarts)
{
    CreateDirectoryW(L"c:\\Skins", nullptr);
    WriteBytes("c:\\Skins\\Clearwater.zvk", "no packed skin here");
    Restart();
    EXPECT_EQ(std::vector<std::string>{"Loaded data is not packed ZorvikSkin file"}, TakeBoxes());
    EXPECT_TRUE(Main->qSkinManager1->SkinData().Loaded);
    EXPECT_TRUE(Main->qSkinManager1->Active());
}

TEST_F(VantrelSkinTest, ADamagedSkinIsReportedOnceAndTheStoredSkinUsed)
{
    std::string damaged = StoredBytes("Clearwater");
    damaged.resize(damaged.size() / 2);
    const std::string description = [&] {
        TqSkinManager* m = Main->qSkinManager1;
        return std::string(m->SkinData().Description);
    }();
    CreateDirectoryW(L"c:\\Skins", nullptr);
    WriteBytes("c:\\Skins\\Clearwater.zvk", damaged);
    Restart();
    EXPECT_EQ(1u, TakeBoxes().size());
    TqSkinManager* m = Main->qSkinManager1;
    EXPECT_EQ("Clearwater", m->SkinName());
    EXPECT_TRUE(m->SkinData().Loaded);
    EXPECT_EQ("", m->SkinData().SkinPath);   // the stored skin
    EXPECT_EQ(description, m->SkinData().Description);
}

}   // namespace
}   // namespace vantrel_test
