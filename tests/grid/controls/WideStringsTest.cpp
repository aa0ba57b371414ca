// Wide string lists, the wide string routines and the character stash.
#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "framework/StringList.h"
#include "grid/interaction/PsgUni.h"

namespace {

std::vector<WideString> Items(const TWideStrings& List)
{
    std::vector<WideString> items;
    for (int i = 0; i < List.Count(); ++i)
        items.push_back(List.Strings(i));
    return items;
}

} // namespace

TEST(WideStrings, TextSplitsAtEveryLineBreak)
{
    struct Case {
        const wchar_t* Text;
        std::vector<WideString> Lines;
    };
    const Case cases[] = {
        {L"a\r\nb\n\nc", {L"a", L"b", L"", L"c"}},
        {L"a\r\n", {L"a"}},
        {L"a\rb", {L"a", L"b"}},
        {L"a\vb\fc", {L"a", L"b", L"c"}},
        {L"a\x2028" L"b\x2029" L"c", {L"a", L"b", L"c"}},
        {L"\r\n\r\n", {L"", L""}},
        {L"\n\r", {L"", L""}},
        {L"", {}},
        {L"single", {L"single"}},
    };
    TComboBoxStrings list(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(WideString(c.Text)));
        list.SetTextStr(c.Text);
        EXPECT_EQ(Items(list), c.Lines);
    }
    list.SetTextStr(L"x\ny");
    EXPECT_EQ(list.GetTextStr(), L"x\r\ny\r\n") << "every item ends in CR LF";
    TWideBuffer text = list.GetText();
    EXPECT_EQ(WideString(text.get()), L"x\r\ny\r\n");
}

TEST(WideStrings, LookUpsMovesAndUpdates)
{
    TComboBoxStrings list(nullptr);
    list.Add(L"ABC");
    list.Add(L"\x4E2D\x6587");
    list.Add(L"z");
    EXPECT_EQ(list.IndexOf(L"abc"), 0) << "case-insensitive in the list's locale";
    EXPECT_EQ(list.IndexOf(L"\x4E2D\x6587"), 1);
    EXPECT_EQ(list.IndexOf(L"missing"), -1);
    TObject marker;
    list.PutObject(2, &marker);
    list.Put(2, L"y");
    EXPECT_EQ(list.Objects(2), &marker) << "Put keeps the object";
    list.Move(2, 0);
    EXPECT_EQ(Items(list), (std::vector<WideString>{L"y", L"ABC", L"\x4E2D\x6587"}));
    EXPECT_EQ(list.Objects(0), &marker);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Strings(2), L"y");
    EXPECT_EQ(list.Objects(2), &marker);
    list.BeginUpdate();
    list.BeginUpdate();
    EXPECT_EQ(list.UpdateCount(), 2);
    list.EndUpdate();
    list.EndUpdate();
    EXPECT_EQ(list.UpdateCount(), 0);

    TComboBoxStrings other(nullptr);
    other.Assign(&list);
    EXPECT_TRUE(other.Equals(&list));
    other.Put(0, L"\x4E2D\x6587X");
    EXPECT_FALSE(other.Equals(&list));
}

TEST(WideStrings, AssignmentToAndFromEightBitLists)
{
    TComboBoxStrings wide(nullptr);
    wide.Add(L"\x4E2D\x6587");   // 中文, in code page 936
    wide.Add(L"plain");
    TStringList ansi;
    wide.AssignTo(&ansi);
    ASSERT_EQ(ansi.Count(), 2);
    EXPECT_EQ(ansi.Strings(0), String("中文"));
    EXPECT_EQ(ansi.Strings(1), "plain");
    TStringList source;
    source.Add("读取");
    TComboBoxStrings back(nullptr);
    back.Assign(&source);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Strings(0), L"\x8BFB\x53D6");
    EXPECT_EQ(wide.AnsiStrings()->Count(), 2);
    EXPECT_EQ(wide.AnsiStrings()->Strings(1), "plain");
    wide.AnsiStrings()->Add("x");
    EXPECT_EQ(wide.Strings(2), L"x") << "the 8-bit view writes to the wide list";
    TBitmap notAList;
    try {
        back.Assign(&notAList);
        ADD_FAILURE() << "a bitmap assigned to a wide list";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TBitmap to a TComboBoxStrings") << "the framework's assignment error";
    }
    try {
        back.AssignTo(&notAList);
        ADD_FAILURE() << "a wide list assigned to a bitmap";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TComboBoxStrings to a TBitmap");
    }
}

TEST(WideStrings, BuffersAndComparison)
{
    TWideBuffer buffer = StrAllocW(5);
    EXPECT_EQ(StrBufSizeW(buffer.get()), (5 + 1) * sizeof(wchar_t) + 4);
    EXPECT_EQ(StrLenW(buffer.get()), 0u) << "zero-filled";
    TWideBuffer copy = StrNewW(L"abc");
    EXPECT_EQ(WideString(copy.get()), L"abc");
    EXPECT_EQ(StrNewW(nullptr), nullptr);
    wchar_t overlap[] = L"abcdef";
    StrMoveW(overlap + 1, overlap, 4);
    EXPECT_EQ(WideString(overlap), L"aabcdf");
    const LCID locale = GetUserDefaultLCID();
    EXPECT_EQ(CompareTextWideNT(L"abc", L"ABC", locale), 0);
    EXPECT_EQ(CompareTextWideNT(L"abc", L"abd", locale), -1);
    EXPECT_EQ(CompareTextWide95(L"B", L"a", locale), 1);
    EXPECT_NE(CodePageFromLocale(locale), 0u);
}

TEST(WideStrings, WideCharactersRideInTheSpareWord)
{
    struct Case {
        WPARAM Code;
        WPARAM Stashed;
        char Replacement;   // what the key press left (0: unchanged)
        WPARAM Restored;
    };
    const Case cases[] = {
        {0x4E2D, (0x4E2Du << 16) | 255, 0, 0x4E2D},
        {0x0100, (0x0100u << 16) | 255, 0, 0x0100},
        {0x00FF, 0x00FF, 0, 0x00FF},
        {'a', 'a', 0, 'a'},
        {0x4E2D, (0x4E2Du << 16) | 255, 'x', 'x'},   // a handler replaced the character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Code));
        TMessage m{WM_CHAR, c.Code, 1, 0};
        StashWideChar(m);
        EXPECT_EQ(m.WParam, c.Stashed);
        if (c.Replacement != 0)
            m.WParam = (m.WParam & ~static_cast<WPARAM>(0xFFFF)) | static_cast<unsigned char>(c.Replacement);
        RestoreWideChar(m);
        EXPECT_EQ(m.WParam, c.Restored);
    }
}
