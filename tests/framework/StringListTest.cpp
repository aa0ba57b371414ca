#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "framework/Exception.h"
#include "framework/Stream.h"
#include "framework/StringList.h"

#ifdef _WIN32
#include "framework/Codepage.h"
#endif

namespace {

namespace fs = std::filesystem;
using testfs::PathStr;
using Items = std::vector<String>;

Items ItemsOf(const TStrings& list)
{
    Items r;
    for (int i = 0; i < list.Count(); ++i)
        r.push_back(list.Strings(i));
    return r;
}

void Fill(TStrings& list, const Items& items)
{
    list.Clear();
    for (const String& s : items)
        list.Add(s);
}


// An object that reports its destruction, for ownership checks.
class TCounted : public TObject {
public:
    explicit TCounted(int& Freed) : FFreed(Freed) {}
    ~TCounted() override { ++FFreed; }

private:
    int& FFreed;
};

// ---- Text ----

struct TextCase {
    const char* Name;
    String Text;
    Items Lines;
};

TEST(StringListText, SettingSplitsAtEveryLineBreakKind)
{
    const TextCase cases[] = {
        {"empty", "", {}},
        {"one line without break", "a", {"a"}},
        {"CR LF", "a\r\nb", {"a", "b"}},
        {"LF with final break", "a\nb\n", {"a", "b"}},
        {"CR with final break", "a\rb\r", {"a", "b"}},
        {"empty line in the middle", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"only a break", "\r\n", {""}},
        {"LF then CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"blanks kept", "  x  \r\n\t", {"  x  ", "\t"}},
        {"Chinese text", "读取完成！\r\n中文", {"读取完成！", "中文"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.Text);
        EXPECT_EQ(ItemsOf(list), c.Lines) << c.Name;
    }
}

TEST(StringListText, GettingEndsEveryLineWithCrLfAndRoundTrips)
{
    const TextCase cases[] = {
        {"none", "", {}},
        {"two", "a\r\nb\r\n", {"a", "b"}},
        {"one empty", "\r\n", {""}},
        {"trailing empty", "a\r\n\r\n", {"a", ""}},
        {"two empty", "\r\n\r\n", {"", ""}},
        {"Chinese", "数据转发\r\n", {"数据转发"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        Fill(list, c.Lines);
        EXPECT_EQ(list.Text(), c.Text) << c.Name;
        TStringList back;
        back.SetText(list.Text());
        EXPECT_EQ(ItemsOf(back), c.Lines) << c.Name;
    }
}

// ---- Comma and delimited text ----

TEST(StringListCommaText, WritesAndReadsBackTrickyItems)
{
    const TextCase cases[] = {
        {"plain", "a,b", {"a", "b"}},
        {"none", "", {}},
        {"lone empty item", "\"\"", {""}},
        {"empty last", "a,", {"a", ""}},
        {"empty first", ",a", {"", "a"}},
        {"empty middle", "a,,b", {"a", "", "b"}},
        {"blank inside", "\"a b\",c", {"a b", "c"}},
        {"comma inside", "\"a,b\"", {"a,b"}},
        {"quotes doubled", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"leading blank", "\" x\"", {" x"}},
        {"control character", "\"t\tx\"", {"t\tx"}},
        {"Chinese unquoted", "中文,读取完成！", {"中文", "读取完成！"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        Fill(list, c.Lines);
        EXPECT_EQ(list.CommaText(), c.Text) << c.Name;
        TStringList back;
        back.SetCommaText(c.Text);
        EXPECT_EQ(ItemsOf(back), c.Lines) << c.Name;
    }
}

TEST(StringListCommaText, ParsesLooseInput)
{
    const TextCase cases[] = {
        {"blanks around items", "  a , b  ", {"a", "b"}},
        {"blank separates unquoted items", "a b", {"a", "b"}},
        {"text after a closing quote", "\"x\"y", {"x", "y"}},
        {"delimiter then blanks at the end", "a, ", {"a", ""}},
        {"unterminated quote runs to the end", "\"abc, d", {"abc, d"}},
        {"only blanks", "   ", {}},
        {"quoted empty between", "a,\"\",b", {"a", "", "b"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCommaText(c.Text);
        EXPECT_EQ(ItemsOf(list), c.Lines) << c.Name;
    }
}

TEST(StringListCommaText, DelimitedTextUsesDelimiterAndQuoteChar)
{
    TStringList list;
    list.Delimiter = ';';
    list.QuoteChar = '\'';
    Fill(list, {"a;b", "c d", "it's", "x,y", "\"q\""});
    const String expected = "'a;b';'c d';'it''s';x,y;\"q\"";
    EXPECT_EQ(list.DelimitedText(), expected);
    EXPECT_EQ(list.CommaText(), "a;b,\"c d\",it's,\"x,y\",\"\"\"q\"\"\"");

    TStringList back;
    back.Delimiter = ';';
    back.QuoteChar = '\'';
    back.SetDelimitedText(expected);
    EXPECT_EQ(ItemsOf(back), ItemsOf(list));
}

// ---- Names and values ----

TEST(StringListValues, NamesAndValuesOfNameValueLines)
{
    TStringList list;
    Fill(list, {"IP=1.2.3.4", "Port=6000", "junk", "Empty=", "K=a=b", "名称=值"});
    const struct {
        int Index;
        String Name;
        String Value;
    } byIndex[] = {{0, "IP", "1.2.3.4"}, {2, "", ""}, {3, "Empty", ""}, {4, "K", "a=b"}, {5, "名称", "值"}};
    for (const auto& c : byIndex) {
        EXPECT_EQ(list.Names(c.Index), c.Name) << c.Index;
        EXPECT_EQ(list.ValueFromIndex(c.Index), c.Value) << c.Index;
    }
    EXPECT_EQ(list.Values("ip"), "1.2.3.4");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.Values("junk"), "");
    EXPECT_EQ(list.IndexOfName("PORT"), 1);
    EXPECT_EQ(list.IndexOfName("junk"), -1);
}

TEST(StringListValues, SettingChangesAddsOrRemoves)
{
    TStringList list;
    Fill(list, {"IP=1.2.3.4", "Port=6000"});
    list.SetValue("port", "7000");
    EXPECT_EQ(ItemsOf(list), (Items{"IP=1.2.3.4", "Port=7000"}));
    list.SetValue("New", "x");
    EXPECT_EQ(ItemsOf(list), (Items{"IP=1.2.3.4", "Port=7000", "New=x"}));
    list.SetValue("IP", "");
    EXPECT_EQ(ItemsOf(list), (Items{"Port=7000", "New=x"}));
    list.SetValue("absent", "");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringListValues, SettingAValueInASortedList)
{
    TStringList list;
    list.SetSorted(true);
    Fill(list, {"b=2", "a=1", "c=3"});
    list.SetValue("B", "20");
    list.SetValue("aa", "5");
    EXPECT_EQ(ItemsOf(list), (Items{"a=1", "aa=5", "b=20", "c=3"}));
}

// ---- Searching and sorting ----

TEST(StringListSearch, IndexOfFollowsCaseSensitive)
{
    const struct {
        bool Sorted;
        bool CaseSensitive;
        String Find;
        bool Found;
    } cases[] = {
        {false, false, "ALPHA", true}, {false, true, "ALPHA", false}, {false, true, "Alpha", true},
        {true, false, "alpha", true},  {true, true, "alpha", false},  {false, false, "alph", false},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCaseSensitive(c.CaseSensitive);
        list.SetSorted(c.Sorted);
        Fill(list, {"zeta", "Alpha", "beta"});
        const int i = list.IndexOf(c.Find);
        EXPECT_EQ(i >= 0, c.Found) << c.Find << " sorted " << c.Sorted << " case " << c.CaseSensitive;
        if (c.Found) {
            EXPECT_EQ(list.Strings(i), "Alpha");
        }
    }
}

TEST(StringListSort, SortOrdersByTheCaseRule)
{
    const struct {
        bool CaseSensitive;
        Items Expected;
    } cases[] = {
        {false, {"A", "a", "b", "B", "c"}},
        {true, {"A", "B", "a", "b", "c"}},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetCaseSensitive(c.CaseSensitive);
        Fill(list, {"b", "A", "c", "a", "B"});
        list.Sort();
        EXPECT_EQ(ItemsOf(list), c.Expected) << "case sensitive " << c.CaseSensitive;
    }
}

// Strings equal but for case, in a list long enough that an unstable sort
// would reorder them.
TEST(StringListSort, EqualStringsKeepTheirOrderInLongLists)
{
    auto variant = [](String word, int pattern) {
        for (std::size_t i = 0; i < word.size(); ++i)
            if (pattern & (1 << i))
                word[i] = static_cast<char>(word[i] - 'a' + 'A');
        return word;
    };
    TStringList list;
    Items low, high;
    for (int i = 0; i < 40; ++i) {
        const String s = variant(i % 2 ? "zzzzz" : "abcde", (i * 7) % 32);
        list.Add(s);
        (i % 2 ? high : low).push_back(s);
    }
    low.insert(low.end(), high.begin(), high.end());
    list.Sort();
    EXPECT_EQ(ItemsOf(list), low);
}

TEST(StringListSort, SortedListAddsInPlaceAndFindsByBinarySearch)
{
    TStringList list;
    Fill(list, {"pear", "apple", "fig"});
    list.SetSorted(true);
    EXPECT_EQ(ItemsOf(list), (Items{"apple", "fig", "pear"}));
    EXPECT_EQ(list.Add("kiwi"), 2);
    EXPECT_EQ(list.Add("zucchini"), 4);
    EXPECT_EQ(ItemsOf(list), (Items{"apple", "fig", "kiwi", "pear", "zucchini"}));

    int index = -1;
    EXPECT_TRUE(list.Find("KIWI", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("grape", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("zz", index));
    EXPECT_EQ(index, 5);
}

TEST(StringListSort, DuplicatesDecideWhatAddDoesWithAnEqualString)
{
    const struct {
        TDuplicates Mode;
        Items Expected;
        bool Raises;
    } cases[] = {
        {dupIgnore, {"a", "B", "c"}, false},
        {dupAccept, {"a", "B", "b", "c"}, false},
        {dupError, {"a", "B", "c"}, true},
    };
    for (const auto& c : cases) {
        TStringList list;
        list.SetSorted(true);
        list.Duplicates = c.Mode;
        Fill(list, {"c", "B", "a"});
        if (c.Raises) {
            EXPECT_THROW(list.Add("b"), EListError) << c.Mode;
        } else {
            const int i = list.Add("b");
            EXPECT_EQ(list.Strings(i), c.Mode == dupIgnore ? "B" : "b") << c.Mode;
        }
        EXPECT_EQ(ItemsOf(list), c.Expected) << c.Mode;
    }
}

TEST(StringListSort, SortedListRefusesPositionalChanges)
{
    TStringList list;
    list.SetSorted(true);
    Fill(list, {"a", "c", "e"});
    EXPECT_THROW(list.Insert(0, "b"), EListError);
    EXPECT_THROW(list.Exchange(0, 2), EListError);
    EXPECT_THROW(list.Move(0, 2), EListError);
    EXPECT_THROW(list.Put(0, "z"), EListError);
    list.Put(1, "d");
    EXPECT_EQ(ItemsOf(list), (Items{"a", "d", "e"}));
}

TEST(StringListSort, ChangingCaseSensitiveResortsASortedList)
{
    TStringList list;
    list.SetSorted(true);
    list.Duplicates = dupAccept;
    Fill(list, {"b", "B", "a", "A"});
    EXPECT_EQ(ItemsOf(list), (Items{"a", "A", "b", "B"}));
    list.SetCaseSensitive(true);
    EXPECT_EQ(ItemsOf(list), (Items{"A", "B", "a", "b"}));
}

TEST(StringListSort, CustomSortComparesByIndex)
{
    int freed = 0;
    TStringList list;
    auto* tagged = new TCounted(freed);
    list.OwnsObjects = true;
    Fill(list, {"ccc", "a", "dddd", "bb"});
    list.PutObject(2, tagged);
    list.CustomSort([](TStringList* l, int i1, int i2) {
        return static_cast<int>(l->Strings(i1).size()) - static_cast<int>(l->Strings(i2).size());
    });
    EXPECT_EQ(ItemsOf(list), (Items{"a", "bb", "ccc", "dddd"}));
    EXPECT_EQ(list.Objects(3), tagged);

    list.SetSorted(true);
    list.CustomSort([](TStringList*, int i1, int i2) { return i2 - i1; });
    EXPECT_EQ(ItemsOf(list), (Items{"a", "bb", "ccc", "dddd"}));
}

// ---- Positions and objects ----

TEST(StringListItems, OutOfBoundsIndexRaisesListError)
{
    TStringList list;
    Fill(list, {"a", "b", "c"});
    const struct {
        const char* Name;
        int Index;
        std::function<void()> Call;
    } cases[] = {
        {"Strings", 5, [&] { list.Strings(5); }},
        {"Strings negative", -1, [&] { list.Strings(-1); }},
        {"Put", 3, [&] { list.Put(3, "x"); }},
        {"Objects", 3, [&] { list.Objects(3); }},
        {"PutObject", 4, [&] { list.PutObject(4, nullptr); }},
        {"Delete", 3, [&] { list.Delete(3); }},
        {"Insert", 4, [&] { list.Insert(4, "x"); }},
        {"Exchange", 3, [&] { list.Exchange(0, 3); }},
        {"Move", 7, [&] { list.Move(7, 0); }},
        {"Names", 3, [&] { list.Names(3); }},
    };
    for (const auto& c : cases) {
        try {
            c.Call();
            ADD_FAILURE() << c.Name << " did not raise";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, "List index out of bounds (" + std::to_string(c.Index) + ")") << c.Name;
        }
    }
    EXPECT_EQ(ItemsOf(list), (Items{"a", "b", "c"}));
    list.Insert(3, "d");
    EXPECT_EQ(list.Strings(3), "d");
}

TEST(StringListItems, ObjectsTravelWithTheirStrings)
{
    TObject o0, o1, o2, o3;
    TStringList list;
    list.AddObject("zero", &o0);
    list.AddObject("one", &o1);
    list.AddObject("two", &o2);
    list.InsertObject(0, "three", &o3);
    list.Exchange(0, 3);
    list.Move(0, 2);
    list.Move(3, 0);
    EXPECT_EQ(ItemsOf(list), (Items{"three", "zero", "one", "two"}));
    const TObject* expected[] = {&o3, &o0, &o1, &o2};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list.Objects(i), expected[i]) << i;
    EXPECT_EQ(list.IndexOfObject(&o1), 2);
    list.Delete(1);
    EXPECT_EQ(list.Objects(1), &o1);
}

TEST(StringListItems, OwnedObjectsAreFreedWhenTheyLeaveTheList)
{
    for (bool owns : {false, true}) {
        int freed = 0;
        std::vector<std::unique_ptr<TCounted>> keep;   // frees what an unowning list leaves
        auto make = [&] {
            keep.push_back(std::make_unique<TCounted>(freed));
            return owns ? keep.back().release() : keep.back().get();
        };
        {
            TStringList list;
            list.OwnsObjects = owns;
            for (int i = 0; i < 5; ++i)
                list.AddObject("x", make());
            list.Delete(0);
            EXPECT_EQ(freed, owns ? 1 : 0);
            list.PutObject(0, make());
            EXPECT_EQ(freed, owns ? 2 : 0);
            list.PutObject(0, list.Objects(0));
            EXPECT_EQ(freed, owns ? 2 : 0);
            list.Clear();
            EXPECT_EQ(freed, owns ? 6 : 0);
            list.AddObject("y", make());
        }
        EXPECT_EQ(freed, owns ? 7 : 0);
    }
}

// ---- Copies and comparison ----

TEST(StringListCopy, AssignAddStringsAndEquals)
{
    TObject tag;
    TStringList source;
    source.AddObject("b", &tag);
    source.Add("a");

    TStringList dest;
    dest.Add("old");
    dest.Assign(&source);
    EXPECT_EQ(ItemsOf(dest), (Items{"b", "a"}));
    EXPECT_EQ(dest.Objects(0), &tag);
    EXPECT_TRUE(dest.Equals(&source));

    dest.AddStrings(&source);
    EXPECT_EQ(ItemsOf(dest), (Items{"b", "a", "b", "a"}));
    EXPECT_FALSE(dest.Equals(&source));

    dest.Assign(&source);
    dest.Put(0, "B");
    EXPECT_FALSE(dest.Equals(&source));

    TPersistent other;
    EXPECT_THROW(dest.Assign(&other), EConvertError);
}

// ---- Change events ----

TEST(StringListEvents, ChangingAndChangeBracketEachChange)
{
    TStringList list;
    String log;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        log += "<" + std::to_string(list.Count());
    };
    list.OnChange = [&](TObject*) { log += ">" + std::to_string(list.Count()); };

    const struct {
        const char* Name;
        std::function<void()> Call;
        String Log;
    } cases[] = {
        {"Add", [&] { list.Add("a"); }, "<0>1"},
        {"Put", [&] { list.Put(0, "b"); }, "<1>1"},
        {"Delete", [&] { list.Delete(0); }, "<1>0"},
        {"Clear of an empty list", [&] { list.Clear(); }, ""},
        {"SetText", [&] { list.SetText("a\r\nb\r\nc"); }, "<0>3"},
        {"nested update", [&] {
             list.BeginUpdate();
             list.Add("d");
             list.BeginUpdate();
             list.Delete(0);
             list.EndUpdate();
             list.Add("e");
             list.EndUpdate();
         }, "<3>4"},
        {"Sort", [&] { list.Sort(); }, "<4>4"},
        {"SetCommaText", [&] { list.SetCommaText("x,y"); }, "<4>2"},
    };
    for (const auto& c : cases) {
        log.clear();
        c.Call();
        EXPECT_EQ(log, c.Log) << c.Name;
    }
}

TEST(StringListEvents, UnboundEventsAndDestructionAreQuiet)
{
    int changes = 0;
    {
        TStringList list;
        list.Add("a");
        list.OnChange = [&](TObject*) { ++changes; };
        list.BeginUpdate();
        list.EndUpdate();
        list.EndUpdate();   // unbalanced: ignored
        EXPECT_EQ(changes, 1);
    }
    EXPECT_EQ(changes, 1);
}

// ---- Files and streams ----

class StringListFile : public ::testing::Test {
protected:
    testfs::TempDir FTemp{"stringlist"};
    const fs::path FDir = FTemp.Path();
    std::string ReadBytes(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

};

TEST_F(StringListFile, SaveAndLoadKeepTheBytes)
{
    const fs::path path = FDir / "list.txt";
    TStringList list;
    Fill(list, {"第一行", "", "third \"line\""});
    list.SaveToFile(PathStr(path));
    EXPECT_EQ(ReadBytes(path), String("第一行\r\n\r\nthird \"line\"\r\n"));

    TStringList back;
    back.Add("old");
    back.LoadFromFile(PathStr(path));
    EXPECT_EQ(ItemsOf(back), ItemsOf(list));
}

TEST_F(StringListFile, LoadingAMissingFileRaises)
{
    TStringList list;
    EXPECT_THROW(list.LoadFromFile(PathStr(FDir / "missing.txt")), EFOpenError);
}

TEST(StringListStream, LoadReadsFromThePositionToTheEnd)
{
    TMemoryStream stream;
    const String bytes = "skip\nline1\nline2";
    stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(&stream);
    EXPECT_EQ(ItemsOf(list), (Items{"line1", "line2"}));
    EXPECT_EQ(stream.Position(), stream.Size());

    TMemoryStream out;
    list.SaveToStream(&out);
    EXPECT_EQ(String(static_cast<const char*>(out.Memory()), static_cast<std::size_t>(out.Size())),
              "line1\r\nline2\r\n");
}

} // namespace
