// Randomized run of the parser with a fixed seed: generated streams of valid
// frames and garbage must give exactly the frames, in any buffer split; mutated
// streams must never crash and only ever report well-formed events.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "device/UEcpTime.h"
#include "framework/Ticks.h"

namespace {

constexpr int GeneratedStreams = 60000;
constexpr int MutatedStreams = 60000;

struct Frame {
    std::string bytes;
    unsigned command;
    std::string data;
};

class StreamMaker {
public:
    explicit StreamMaker(unsigned seed) : random(seed) {}

    unsigned Below(unsigned n) { return static_cast<unsigned>(random() % n); }

    Frame ValidFrame()
    {
        static const unsigned requestCommands[] = {0x18, 0x19, 0xBB, 0xC1, 0xCB, 0xCC, 0xCD};
        static const unsigned addresses[] = {0xFE, 0xF0};
        Frame f;
        std::string head;
        const unsigned kind = Below(5);
        if (kind == 0 || kind == 1) {        // acknowledge or empty answer
            f.command = kind == 0 ? 0x90 : 0x80;
            head = {char(0xCA), char(f.command), char(0xFF)};
        } else if (kind == 2) {              // data answer
            f.command = 0xB0;
            f.data = RandomBytes(Below(256));
            head = {char(0xCA), char(0xB0), char(0xFF), char(f.data.size())};
            head += f.data;
        } else if (kind == 3) {              // request with data
            f.command = requestCommands[Below(7)];
            f.data = RandomBytes(Below(40));
            head = {char(0xCA), char(0x20), char(addresses[Below(2)]), char(f.command), char(f.data.size())};
            head += f.data;
        } else {                             // request without data
            f.command = requestCommands[Below(7)];
            head = {char(0xCA), char(0x00), char(addresses[Below(2)]), char(f.command)};
        }
        f.bytes = head + Trailer(head);
        return f;
    }

    std::string Garbage()
    {
        std::string g;
        for (unsigned n = Below(6); n > 0; --n) {
            char b = static_cast<char>(Below(256));
            if (static_cast<unsigned char>(b) == 0xCA)
                b = 0x00;
            g.push_back(b);
        }
        return g;
    }

    std::string RandomBytes(unsigned n)
    {
        std::string s;
        for (unsigned i = 0; i < n; ++i)
            s.push_back(static_cast<char>(Below(256)));
        return s;
    }

    void Mutate(std::string& s)
    {
        for (unsigned n = 1 + Below(4); n > 0 && !s.empty(); --n) {
            const std::size_t at = Below(static_cast<unsigned>(s.size()));
            switch (Below(4)) {
            case 0: s[at] = static_cast<char>(s[at] ^ (1 << Below(8))); break;
            case 1: s.erase(at, 1); break;
            case 2: s.insert(at, 1, static_cast<char>(Below(256))); break;
            default: s.insert(at, 1, static_cast<char>(0xCA)); break;
            }
        }
    }

    // Feeds s in random chunks (0 to 40 bytes).
    void FeedInChunks(TEcpTime& parser, const std::string& s)
    {
        std::size_t at = 0;
        while (at < s.size()) {
            const std::size_t n = std::min<std::size_t>(s.size() - at, Below(41));
            parser.FeedBytes(s.data() + at, static_cast<Word>(n));
            at += n;
        }
    }

private:
    std::string Trailer(const std::string& head)
    {
        if (Below(4) == 0)
            return std::string(1, char(0xAC));
        unsigned sum = 0;
        for (unsigned char b : head)
            sum += b;
        return std::string(1, static_cast<char>(~sum & 0xFF));
    }

    std::mt19937 random;
};

struct Recorded {
    unsigned command;
    std::string data;
    bool operator==(const Recorded&) const = default;
};

TEST(ParserFuzz, GeneratedStreamsGiveExactlyTheirFrames)
{
    TManualTicks ticks;
    StreamMaker maker(20261210);
    TEcpTime parser(Ownerless);
    parser.CommRec.MyId = 0xFE;
    std::vector<Recorded> got;
    parser.OnGetFinish = [&](TObject*, Byte command, const String& data) { got.push_back({command, data}); };

    for (int i = 0; i < GeneratedStreams; ++i) {
        std::string stream;
        std::vector<Recorded> expected;
        for (unsigned n = 1 + maker.Below(4); n > 0; --n) {
            const Frame f = maker.ValidFrame();
            stream += maker.Garbage() + f.bytes;
            expected.push_back({f.command, f.data});
        }
        stream += maker.Garbage();
        got.clear();
        maker.FeedInChunks(parser, stream);
        ASSERT_EQ(got, expected) << "stream " << i;
        ASSERT_FALSE(parser.CommRec.InFrame) << "stream " << i;
    }
}

TEST(ParserFuzz, MutatedStreamsNeverCrashAndReportOnlyWellFormedEvents)
{
    TManualTicks ticks;
    StreamMaker maker(77);
    const std::set<unsigned> possible = {0x80, 0x90, 0xB0, 0x18, 0x19, 0xBB, 0xC1, 0xCB, 0xCC, 0xCD};
    for (bool longLength : {false, true}) {
        TEcpTime parser(Ownerless);
        parser.CommRec.MyId = static_cast<Byte>(maker.Below(256));
        parser.LongDataLen = longLength;
        unsigned events = 0;
        parser.OnGetFinish = [&](TObject*, Byte command, const String& data) {
            ++events;
            ASSERT_TRUE(possible.count(command)) << "command " << unsigned(command);
            if (command == 0x80 || command == 0x90) {
                ASSERT_TRUE(data.empty());
            }
            if (!longLength) {
                ASSERT_LE(data.size(), 255u);
            }
        };
        for (int i = 0; i < MutatedStreams / 2; ++i) {
            std::string stream = maker.Garbage();
            for (unsigned n = 1 + maker.Below(3); n > 0; --n)
                stream += maker.ValidFrame().bytes + maker.Garbage();
            maker.Mutate(stream);
            if (maker.Below(10) == 0)
                stream = maker.RandomBytes(maker.Below(700));
            maker.FeedInChunks(parser, stream);
            if (maker.Below(50) == 0)
                ticks.Advance(2001);   // now and then the partial-frame reset
        }
        EXPECT_GT(events, 0u) << "long length " << longLength;
    }
}

} // namespace
