// Brimsel starts with its own skin: the last of the five it carries.
#include "tests/configtool/BrimselFixture.h"

#include "skin/engine/qSkinManager.h"

namespace brimsel_test {
namespace {

TEST_F(BrimselTest, StartsWithTheLastStoredSkin)
{
    TqSkinManager* m = Main->qSkinManager1;
    EXPECT_EQ("Heather", m->SkinName());
    ASSERT_EQ(5, m->InternalSkins().Count());
    EXPECT_EQ("Heather", m->InternalSkins().Items(4)->Name);
    EXPECT_EQ("c:\\Skins", m->SkinDirectory());
    EXPECT_TRUE(m->SkinData().Loaded);
    EXPECT_GE(m->FindSectionIndex("FORM"), 0);
    EXPECT_TRUE(TakeBoxes().empty());
}

}   // namespace
}   // namespace brimsel_test
