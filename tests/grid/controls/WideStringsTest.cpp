// Wide string lists, the wide string routines and the character stash.
#include <gtest/gtest.h>

#include "framework/Bitmap.h"
#include "framework/Stream.h"
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

// ---------------------------------------------------------------------------
// Streaming as the property "WideStrings"

namespace {

const std::vector<WideString> WideSample = {
    L"\xAC00\xD55C",          // Hangul, outside code page 936
    L"",
    L"\x4E2D\x6587",          // Chinese, inside it
    L"\xD83D\xDE00 smile",    // a character beyond the basic plane (a surrogate pair)
    L"\x0627\x0644\x0639",    // Arabic
    L"tab\there",
};

void Fill(TWideStrings& List, const std::vector<WideString>& Texts)
{
    List.Clear();
    for (const WideString& W : Texts)
        List.Add(W);
}

std::string TempFile(const char* Name)
{
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    return std::string(Dir) + Name;
}

} // namespace

// Written to a file and read back into a list that held something else,
// the texts come back unit for unit.
TEST(WideStrings, PropertyRoundTripsCharactersOutsideTheCodePage)
{
    TComboBoxStrings Source(nullptr);
    Fill(Source, WideSample);
    const std::string Path = TempFile("widestrings-roundtrip.bin");
    {
        TFileStream Out(Path, fmCreate);
        ASSERT_TRUE(Source.WriteProperty(&Out));
    }
    TComboBoxStrings Target(nullptr);
    Fill(Target, {L"stale", L"entries"});
    {
        TFileStream In(Path, fmOpenRead);
        Target.ReadProperty(&In);
        EXPECT_EQ(In.Position(), In.Size()) << "the whole property was read";
    }
    DeleteFileA(Path.c_str());
    EXPECT_EQ(Items(Target), WideSample);
}

// Whether the property is written: against an ancestor only when it differs
// (or is no wide list), without one only when the list holds something.
TEST(WideStrings, PropertyIsWrittenOnlyWhenItSaysSomething)
{
    TComboBoxStrings Empty(nullptr);
    TComboBoxStrings Full(nullptr);
    Fill(Full, WideSample);
    TComboBoxStrings Equal(nullptr);
    Fill(Equal, WideSample);
    TComboBoxStrings Other(nullptr);
    Fill(Other, {L"\xAC00"});
    TStringList Ansi;
    Ansi.Add("x");
    struct Case {
        const char* Name;
        const TWideStrings* List;
        const TPersistent* Ancestor;
        bool Written;
    };
    const Case Cases[] = {
        {"empty, no ancestor", &Empty, nullptr, false},
        {"filled, no ancestor", &Full, nullptr, true},
        {"equal to the ancestor", &Full, &Equal, false},
        {"differs from the ancestor", &Full, &Other, true},
        {"empty against a filled ancestor", &Empty, &Other, true},
        {"ancestor is no wide list", &Full, &Ansi, true},
    };
    for (const Case& C : Cases) {
        TMemoryStream S;
        EXPECT_EQ(C.List->WriteProperty(&S, C.Ancestor), C.Written) << C.Name;
        EXPECT_EQ(S.Size() > 0, C.Written) << C.Name;
    }
}

// 8-bit entries are converted from code page 936, wide ones taken as they
// stand; a damaged property raises EReadError and leaves the list alone.
TEST(WideStrings, PropertyReadsEightBitEntriesAndRefusesDamage)
{
    const auto Put = [](std::string& S, const void* P, std::size_t N) {
        S.append(static_cast<const char*>(P), N);
    };
    const auto Header = [](std::string& S) {
        S += '\x0B';
        S += "WideStrings";
        S += '\x01';   // the list
    };
    const auto Short = [](std::string& S, const std::string& Bytes) {
        S += '\x06';
        S += static_cast<char>(Bytes.size());
        S += Bytes;
    };
    const auto Long = [&Put](std::string& S, const std::string& Bytes) {
        S += '\x0C';
        const Integer N = static_cast<Integer>(Bytes.size());
        Put(S, &N, sizeof N);
        S += Bytes;
    };
    const auto Wide = [&Put](std::string& S, const WideString& W, Integer Count) {
        S += '\x12';
        Put(S, &Count, sizeof Count);
        Put(S, W.data(), W.size() * sizeof(wchar_t));
    };
    const auto Read = [](TWideStrings& List, const std::string& Bytes) {
        TMemoryStream S;
        if (!Bytes.empty())
            S.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
        S.SetPosition(0);
        List.ReadProperty(&S);
    };

    std::string Good;
    Header(Good);
    Short(Good, "abc");
    Long(Good, "\xD6\xD0\xCE\xC4");   // two Chinese characters in code page 936
    Wide(Good, L"\xAC00", 1);
    Good += '\0';
    TComboBoxStrings List(nullptr);
    Read(List, Good);
    EXPECT_EQ(Items(List), (std::vector<WideString>{L"abc", L"\x4E2D\x6587", L"\xAC00"}));

    struct Damage {
        const char* Name;
        std::string Bytes;
    };
    std::vector<Damage> Cases;
    Cases.push_back({"nothing at all", ""});
    Cases.push_back({"cut before the end mark", Good.substr(0, Good.size() - 1)});
    {
        std::string S = Good;
        S[1] = 'X';
        Cases.push_back({"another property", S});
    }
    {
        std::string S;
        Header(S);
        S += '\x07';
        S += '\0';
        Cases.push_back({"an entry of another kind", S});
    }
    {
        std::string S;
        Header(S);
        Wide(S, L"ab", 0x7FFFFFF0);
        S += '\0';
        Cases.push_back({"a length beyond the stream", S});
    }
    {
        std::string S;
        Header(S);
        Long(S, "x");
        S[S.size() - 2] = '\xFF';   // the length's high byte: negative
        S += '\0';
        Cases.push_back({"a negative length", S});
    }
    for (const Damage& D : Cases) {
        TComboBoxStrings Kept(nullptr);
        Fill(Kept, {L"kept"});
        EXPECT_THROW(Read(Kept, D.Bytes), EReadError) << D.Name;
        EXPECT_EQ(Items(Kept), std::vector<WideString>{L"kept"}) << D.Name;
    }
}
