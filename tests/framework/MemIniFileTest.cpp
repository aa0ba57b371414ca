// Settings text held in memory.
#include <gtest/gtest.h>

#include "framework/MemIniFile.h"
#include "framework/StringList.h"

TEST(MemIniFile, ReadsSectionsAndKeys)
{
    TMemIniFile ini("dropped=1\r\n[One]\r\n  Key  =  Value with blanks  \r\n;Key=comment\r\nno equals sign\r\n"
                    "Empty=\r\nHex=0x1F\r\nKey=second\r\n[Two]\rA=1\r[one]\nLater=2\n[ Three ]\n");
    EXPECT_EQ((std::vector<String>{"One", "Two", "Three"}), ini.SectionNames());
    EXPECT_EQ((std::vector<String>{"Key", "Empty", "Hex", "Key", "Later"}), ini.KeyNames("ONE"));
    EXPECT_EQ("Value with blanks", ini.ReadString("one", "KEY", "-"));   // the first of a key written twice
    EXPECT_EQ("", ini.ReadString("One", "Empty", "-"));
    EXPECT_EQ("-", ini.ReadString("One", "Missing", "-"));
    EXPECT_EQ("-", ini.ReadString("None", "Key", "-"));
    EXPECT_EQ(31, ini.ReadInteger("One", "Hex", 0));
    EXPECT_EQ(7, ini.ReadInteger("One", "Key", 7));
    EXPECT_EQ("2", ini.ReadString("One", "Later", "-"));
    EXPECT_TRUE(ini.SectionExists("three"));
    EXPECT_TRUE(ini.ValueExists("Two", "a"));
    EXPECT_FALSE(ini.ValueExists("Two", "dropped"));

    TStringList lines;
    lines.SetText("[X]\nK=V\n");
    ini.SetStrings(&lines);
    TStringList names;
    ini.ReadSections(&names);
    EXPECT_EQ("X\r\n", names.Text());
    ini.ReadSection("x", &names);
    EXPECT_EQ("K\r\n", names.Text());
}
