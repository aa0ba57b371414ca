#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "device/UEcpTime.h"
#include "framework/Ticks.h"
#include "tests/device/ByteText.h"

namespace {

struct Event {
    unsigned command;
    std::string data;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << "{" << std::hex << e.command << ": " << ToHex(e.data) << "}";
}

// A parser as the serial wrapper makes it: owner-less, own address 0xFE,
// recording every event; time runs only when the test moves it.
class ParserTest : public ::testing::Test {
protected:
    ParserTest() : parser(Ownerless)
    {
        parser.CommRec.MyId = 0xFE;
        parser.OnGetFinish = [this](TObject* sender, Byte command, const String& data) {
            EXPECT_EQ(sender, &parser);
            events.push_back({command, data});
        };
    }

    void Feed(const std::string& hex) { parser.FeedBytes(Hex(hex)); }

    TManualTicks ticks{50000};
    TEcpTime parser;
    std::vector<Event> events;
};

TEST_F(ParserTest, ValidFramesAreReportedWithCommandAndData)
{
    struct Case {
        const char* stream;
        Event expected;
    };
    const Case cases[] = {
        {"CA 90 FF A6", {0x90, ""}},
        {"CA 80 FF B6", {0x80, ""}},
        {"CA 90 FF AC", {0x90, ""}},                         // end byte instead of the check byte
        {"CA B0 FF 03 11 22 33 1D", {0xB0, Hex("11 22 33")}},
        {"CA B0 FF 03 11 22 33 AC", {0xB0, Hex("11 22 33")}},
        {"CA B0 FF 00 86", {0xB0, ""}},                      // data frame of length 0
        {"CA 20 FE 18 00 FF", {0x18, ""}},                   // request the device may send
        {"CA 20 F0 BB 01 55 14", {0xBB, Hex("55")}},         // broadcast address 0xF0
        {"CA 00 FE 19 1E", {0x19, ""}},                      // request without data field
        {"CA B0 FF 02 CA CA F0", {0xB0, Hex("CA CA")}},      // start bytes inside data are data
        {"CA B0 FF 01 D9 AC", {0xB0, Hex("D9")}},            // a check byte that happens to be 0xAC
    };
    for (const Case& c : cases) {
        events.clear();
        Feed(c.stream);
        ASSERT_EQ(events.size(), 1u) << c.stream;
        EXPECT_EQ(events[0], c.expected) << c.stream;
        EXPECT_EQ(parser.CommRec.Result, c.expected.command) << c.stream;
        EXPECT_FALSE(parser.CommRec.InFrame) << c.stream;
    }
}

TEST_F(ParserTest, RejectedFramesRaiseNothing)
{
    struct Case {
        const char* stream;
        unsigned result;   // the result after the stream
    };
    const Case cases[] = {
        {"CA 90 FF 00", 255},                   // wrong check byte
        {"CA B0 FF 03 11 22 33 1E", 255},       // wrong check byte after data
        {"CA 20 FE 26 00 F1", 255},             // command not in the table
        {"CA 20 FE 25 00 F2", 255},
        {"CA 20 01 18 00 FC", 0},               // request to another address
        {"CA 90 FE A7", 0},                     // reply without the 0xFF marker
        {"CA 55 FF 00", 0},                     // unknown frame type
        {"CA C1 FF 00 75", 0},                  // 0xC1 is known but never completes
        {"11 22 90 FF A6", 0},                  // no start byte: all discarded
    };
    for (const Case& c : cases) {
        events.clear();
        parser.CommRec.Result = 0;
        Feed(c.stream);
        EXPECT_TRUE(events.empty()) << c.stream;
        EXPECT_EQ(parser.CommRec.Result, c.result) << c.stream;
    }
}

TEST_F(ParserTest, AFailedFrameDoesNotSpoilTheNextOne)
{
    Feed("CA 90 FF 00 CA 90 FF A6");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (Event{0x90, ""}));
    EXPECT_EQ(parser.CommRec.Result, 0x90);
}

TEST_F(ParserTest, OwnAddressDecidesWhichRequestsAreAccepted)
{
    // Accepted by a parser whose own address is 0, rejected by the wrapper's (0xFE).
    Feed("CA 20 00 18 00 FD");
    EXPECT_TRUE(events.empty());
    parser.CommRec.MyId = 0;
    Feed("CA 20 00 18 00 FD");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].command, 0x18u);
}

TEST_F(ParserTest, GarbageBeforeBetweenAndInsideFrames)
{
    // Garbage between frames is skipped; a frame broken by garbage fails its
    // check and the next intact frame is still found.
    Feed("00 11 FF CA 90 FF A6 33 44 CA B0 FF 01 7E 07 55 CA 90 FF 11 A6 CA 80 FF B6");
    const std::vector<Event> expected = {{0x90, ""}, {0xB0, Hex("7E")}, {0x80, ""}};
    EXPECT_EQ(events, expected);
}

TEST_F(ParserTest, SameResultWhateverTheBufferSplit)
{
    const std::string stream =
        Hex("CA 90 FF A6 00 CA B0 FF 03 11 22 33 1D CA 20 FE 26 00 F1 CA B0 FF 00 86 CA 20 FE 18 00 FF 77");
    std::vector<Event> whole;
    parser.FeedBytes(stream);
    whole = events;
    ASSERT_EQ(whole.size(), 4u);

    events.clear();
    for (char b : stream)
        parser.FeedBytes(&b, 1);
    EXPECT_EQ(events, whole) << "byte by byte";

    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        events.clear();
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t n = std::min<std::size_t>(stream.size() - at, random() % 6);
            parser.FeedBytes(stream.data() + at, static_cast<Word>(n));
            at += n;
        }
        ASSERT_EQ(events, whole) << "random chunks, round " << round;
    }
}

TEST_F(ParserTest, PartialFrameIsDroppedAfterMoreThan2000Ms)
{
    struct Case {
        Cardinal gap;
        bool completes;
    };
    const Case cases[] = {{0, true}, {1999, true}, {2000, true}, {2001, false}, {60000, false}};
    for (const Case& c : cases) {
        events.clear();
        Feed("CA 90");
        ticks.Advance(c.gap);
        Feed("FF A6");
        EXPECT_EQ(events.size(), c.completes ? 1u : 0u) << "gap " << c.gap;
        ticks.Advance(5000);
    }
}

TEST_F(ParserTest, ResetWorksAcrossTheTickCounterWrap)
{
    ticks.Advance(0xFFFFFFFFu - ticks.Now() - 500);   // 500 ms before the counter wraps
    Feed("CA 90");
    ticks.Advance(1000);                               // wraps to 499
    Feed("FF A6");
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ParserTest, EmptyBufferChangesNothingButTheFeedTime)
{
    Feed("CA B0 FF 02 11");
    const TCommRec before = parser.CommRec;
    parser.FeedBytes(nullptr, 0);
    EXPECT_EQ(parser.CommRec.InFrame, before.InFrame);
    EXPECT_EQ(parser.CommRec.Count, before.Count);
    EXPECT_EQ(parser.CommRec.DataLen, before.DataLen);
    EXPECT_EQ(parser.CommRec.SData, before.SData);
    // The empty feed counts as activity: 1500 + 1500 ms apart, the frame still completes.
    ticks.Advance(1500);
    parser.FeedBytes(nullptr, 0);
    ticks.Advance(1500);
    Feed("22 51");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, Hex("11 22"));
}

TEST_F(ParserTest, ResultAndDataSurviveTheFrameEnd)
{
    Feed("CA B0 FF 02 01 02 81");
    EXPECT_EQ(parser.CommRec.Result, 0xB0);
    EXPECT_EQ(parser.CommRec.SData, Hex("01 02"));
    // An acknowledge does not clear the data text of the last data frame.
    Feed("CA 90 FF A6");
    EXPECT_EQ(parser.CommRec.Result, 0x90);
    EXPECT_EQ(parser.CommRec.SData, Hex("01 02"));
    EXPECT_EQ(parser.CommRec.Data[1], 0x02);
}

TEST_F(ParserTest, LongDataLengthIsTwoBytesHighFirst)
{
    parser.LongDataLen = true;
    std::string data(600, '\x5A');
    std::string frame = Hex("CA B0 FF 02 58") + data;   // length 0x0258 = 600
    unsigned sum = 0;
    for (unsigned char b : frame)
        sum += b;
    frame.push_back(static_cast<char>(~sum & 0xFF));
    parser.FeedBytes(frame);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, data);   // beyond the 513-byte copy, the data text is whole
}

TEST_F(ParserTest, HasPerIdComparesTheOwnAddressWithTheStartByte)
{
    parser.HasPerId = true;
    Feed("CA 90 FF A6");
    EXPECT_TRUE(events.empty());
    parser.CommRec.MyId = 0xCA;
    Feed("CA 90 FF A6");
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ParserTest, HandlerThatThrowsLeavesTheParserUsable)
{
    int calls = 0;
    parser.OnGetFinish = [&](TObject*, Byte, const String&) {
        if (++calls == 1)
            throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Feed("CA 90 FF A6"), std::runtime_error);
    EXPECT_FALSE(parser.CommRec.InFrame);
    Feed("CA 90 FF A6");
    EXPECT_EQ(calls, 2);
}

TEST(ParserOnForm, ComponentConstructionStartsAtZeroAndIsOwned)
{
    TComponent form(nullptr);
    auto* parser = new TEcpTime(&form);   // owned by the form, freed with it
    EXPECT_EQ(parser->Owner(), &form);
    EXPECT_EQ(parser->CommRec.MyId, 0);
    EXPECT_EQ(parser->ObjectId, 254);
    EXPECT_FALSE(parser->HasPerId);
    EXPECT_FALSE(parser->LongDataLen);
    EXPECT_EQ(form.ComponentCount(), 1);
    // Without a bound event the caller reads the result after feeding.
    parser->CommRec.Result = 0;
    parser->FeedBytes(Hex("CA B0 FF 01 41 44"));
    EXPECT_EQ(parser->CommRec.Result, 0xB0);
    EXPECT_EQ(parser->CommRec.SData, "A");
}

} // namespace
