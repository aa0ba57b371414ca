#include <gtest/gtest.h>

#include "framework/Exception.h"
#include "framework/StrUtils.h"

namespace {

TEST(StrUtils, IntegerConversions)
{
    struct Case {
        const char* text;
        bool ok;
        Integer value;
    };
    const Case cases[] = {
        {"0", true, 0},       {"38400", true, 38400},     {" -12 ", true, -12},
        {"$FE", true, 254},   {"0x1F", true, 31},         {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"", false, 0},         {"12a", false, 0},
        {"$", false, 0},      {"-", false, 0},            {"$FFFFFFFF", true, -1},
    };
    for (const Case& c : cases) {
        Integer v = 99;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
        EXPECT_EQ(StrToIntDef(c.text, 7), c.ok ? c.value : 7) << c.text;
    }
    EXPECT_THROW(StrToInt("x"), EConvertError);
}

TEST(StrUtils, HexAndCase)
{
    EXPECT_EQ(IntToHex(0xAC, 2), "AC");
    EXPECT_EQ(IntToHex(5, 2), "05");
    EXPECT_EQ(IntToHex(0x4000, 2), "4000");
    EXPECT_EQ(BytesToHex(std::string("\xCA\x00\xFE", 3)), "CA 00 FE");
    EXPECT_EQ(BytesToHex(""), "");
    EXPECT_TRUE(SameText("Com1", "COM1"));
    EXPECT_FALSE(SameText("Com1", "Com10"));
    EXPECT_LT(CompareText("a", "B"), 0);
    // Double-byte characters are not touched by the case rules.
    const std::string wide = "\xB6\xC1\x61";
    EXPECT_EQ(UpperCase(wide), "\xB6\xC1\x41");
    // A trail byte that looks like a letter is part of its character: two
    // different characters never compare equal without case.
    EXPECT_EQ(UpperCase("\x81\x61"), "\x81\x61");
    EXPECT_FALSE(SameText("\x81\x61", "\x81\x41"));
    EXPECT_TRUE(SameText("\x81\x61z", "\x81\x61Z"));
    EXPECT_EQ(Trim("  x y \t"), "x y");
}

} // namespace
