// Integer lists and the sort-index list, without any window.
#include <gtest/gtest.h>

#include "framework/Exception.h"
#include "grid/core/ProObj.h"

namespace {

struct ChangeLog {
    int Calls = 0;
    TIntList* LastSender = nullptr;
    int LastCol = -1;
    int LastRow = -1;
    void Bind(TIntList& List)
    {
        List.OnChange = [this](TIntList* Sender, int Col, int Row) {
            ++Calls;
            LastSender = Sender;
            LastCol = Col;
            LastRow = Row;
        };
    }
};

TEST(IntList, CommaTextRoundTripFiresPerItem)
{
    TIntList list(4, 7);
    list.AddInteger(99);
    ChangeLog log;
    log.Bind(list);
    list.SetCommaText("3,1,2");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetInteger(0), 3);
    EXPECT_EQ(list.GetInteger(1), 1);
    EXPECT_EQ(list.GetInteger(2), 2);
    EXPECT_EQ(log.Calls, 3);
    EXPECT_EQ(log.LastSender, &list);
    EXPECT_EQ(log.LastCol, 4);
    EXPECT_EQ(log.LastRow, 7);
    EXPECT_EQ(list.GetCommaText(), "3,1,2");
}

TEST(IntList, CommaTextEdgeCases)
{
    struct Case {
        const char* Text;
        const char* Back;
    } cases[] = {
        {"", ""},
        {"-5", "-5"},
        {" 10 , 20", "10,20"},
        {"2147483647,-2147483648", "2147483647,-2147483648"},
    };
    for (const Case& c : cases) {
        TIntList list(0, 0);
        list.SetCommaText(c.Text);
        EXPECT_EQ(list.GetCommaText(), c.Back) << "text \"" << c.Text << "\"";
    }
}

TEST(IntList, NonIntegerItemRaisesAndKeepsEntries)
{
    for (const char* text : {"1,x,3", "1,,3", ",", "4,"}) {
        TIntList list(0, 0);
        list.SetCommaText("8,9");
        ChangeLog log;
        log.Bind(list);
        EXPECT_THROW(list.SetCommaText(text), EConvertError) << text;
        EXPECT_EQ(list.GetCommaText(), "8,9") << text;
        EXPECT_EQ(log.Calls, 0) << text;
    }
}

TEST(IntList, EventOnlyFromTheEventingOperations)
{
    TIntList list(1, 2);
    ChangeLog log;
    log.Bind(list);
    list.InsertInteger(0, 5);
    list.Add(6);
    list.Exchange(0, 1);
    list.Move(0, 1);
    list.Delete(0);
    list.Clear();
    EXPECT_EQ(log.Calls, 0);

    list.AddInteger(10);
    list.AddInteger(20);
    list.AddInteger(10);
    list.SetInteger(1, 21);
    EXPECT_EQ(log.Calls, 4);
    list.RemoveValue(10);  // the first 10 only
    EXPECT_EQ(log.Calls, 5);
    EXPECT_EQ(list.GetCommaText(), "21,10");
    list.RemoveValue(77);  // absent: nothing
    EXPECT_EQ(log.Calls, 5);
    EXPECT_TRUE(list.HasValue(21));
    EXPECT_FALSE(list.HasValue(77));
    list.DeleteIndex(0);
    EXPECT_EQ(log.Calls, 6);
    EXPECT_EQ(list.GetCommaText(), "10");
}

TEST(IntList, MoveAndAssign)
{
    TIntList list(0, 0);
    list.SetCommaText("0,1,2,3");
    list.Move(0, 3);
    EXPECT_EQ(list.GetCommaText(), "1,2,3,0");
    list.Move(3, 1);
    EXPECT_EQ(list.GetCommaText(), "1,0,2,3");
    TIntList copy(5, 5);
    copy.Assign(&list);
    EXPECT_EQ(copy.GetCommaText(), "1,0,2,3");
    EXPECT_EQ(copy.ColumnTag(), 5);
}

TEST(IntList, IndexOutOfBoundsRaisesListError)
{
    TIntList list(0, 0);
    list.Add(1);
    EXPECT_THROW(list.GetInteger(1), EListError);
    EXPECT_THROW(list.GetInteger(-1), EListError);
    EXPECT_THROW(list.SetInteger(1, 0), EListError);
    EXPECT_THROW(list.DeleteIndex(1), EListError);
    EXPECT_THROW(list.InsertInteger(2, 0), EListError);
    list.InsertInteger(1, 2);  // at the end is allowed
    EXPECT_EQ(list.GetCommaText(), "1,2");
}

TEST(SortIndexList, DescendingMarkFindAndToggle)
{
    TSortIndexList list;
    ChangeLog log;
    log.Bind(list);
    list.AddSortColumn(3, true);
    list.AddSortColumn(5, false);
    EXPECT_EQ(static_cast<unsigned>(list.GetInteger(1)), 0x80000005u);
    EXPECT_EQ(list.GetInteger(0), 3);
    EXPECT_EQ(list.FindSortColumn(5), 1);
    EXPECT_EQ(list.FindSortColumn(3), 0);
    EXPECT_EQ(list.FindSortColumn(4), -1);
    EXPECT_EQ(list.GetSortColumn(1), 5);
    EXPECT_FALSE(list.IsAscending(1));
    EXPECT_TRUE(list.IsAscending(0));

    const int before = log.Calls;
    list.ToggleSortDirection(5);
    EXPECT_EQ(list.GetInteger(1), 5);
    EXPECT_EQ(log.Calls, before + 1);
    list.ToggleSortDirection(3);
    EXPECT_EQ(static_cast<unsigned>(list.GetInteger(0)), 0x80000003u);
    list.ToggleSortDirection(9);  // absent: nothing
    EXPECT_EQ(log.Calls, before + 2);
}

}  // namespace
