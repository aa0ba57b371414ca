// The device model: the answer to every command, the effects on its state,
// and the requests it ignores.
#include <gtest/gtest.h>

#include "device.hpp"
#include "sim_peer.hpp"

namespace {

using extsim::Bytes;
using extsim::Device;
using simtest::chk;
using simtest::hex;
using simtest::record;

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dev.store_slot(0, 5, record(600));
    dev.store_slot(0, 7, hex("0600AABBCCDD"));
    dev.store_slot(1, 3, hex("0400EEFF"));
  }
  // The reply frame in hexadecimal, or "ignored: NOTE".
  std::string ask(std::uint8_t type, std::uint8_t addr, std::uint8_t cmd, const std::string& data) {
    extsim::Request r{type, addr, cmd, hex(data)};
    auto out = dev.handle(r, now, "test");
    last_note = out.note;
    return out.reply ? hex(extsim::encode_reply(*out.reply)) : "ignored: " + out.note;
  }
  Device dev{extsim::TimePoint{}};
  extsim::TimePoint now{};
  std::string last_note;
};

TEST_F(DeviceTest, AnswersEachCommand) {
  const std::string ack = "CA90FFA6";
  const Bytes rec = record(600);
  const std::string first250 = hex(Bytes(rec.begin(), rec.begin() + 250));
  struct Case {
    const char* name;
    std::uint8_t type, addr, cmd;
    std::string data;
    std::string expect;
  } cases[] = {
      {"directory lists stored slots ascending", 0x20, 0xFE, 0x26, "FFFFFFFF00", chk("CAB0FF020507")},
      {"directory of an empty channel", 0x20, 0xFE, 0x26, "FFFFFFFF02", "CAB0FF0086"},
      {"directory to the module ID", 0x20, 0x01, 0x26, "FFFFFFFF01", chk("CAB0FF0103")},
      {"memory read of 250 bytes", 0x20, 0xFE, 0x26, "00680000FA", chk("CAB0FFFA" + first250)},
      {"memory read of the last piece", 0x20, 0xFE, 0x26, "F4690000" "64",
       chk("CAB0FF64" + hex(Bytes(rec.begin() + 500, rec.end())))},
      {"memory read of erased memory", 0x20, 0xFE, 0x26, "0000000003", chk("CAB0FF03FFFFFF")},
      {"memory read of nothing", 0x20, 0xFE, 0x26, "0040000000", "CAB0FF0086"},
      {"memory write", 0x20, 0xFE, 0x25, "0040000003AABBCC", ack},
      {"slot clear", 0x20, 0xFE, 0x25, "FFFFFFFF0500", ack},
      {"raw code open", 0x20, 0xFE, 0x27, "01AABB", ack},
      {"send number", 0x20, 0xFE, 0x31, "0105", ack},
      {"infrared send of the test window", 0x20, 0x01, 0x31, "030F02", ack},
      {"learn", 0x20, 0xFE, 0x32, "0109", ack},
      {"get parameter block", 0x20, 0xFE, 0x28, "30", chk("CAB0FF11" "303030303030" "50" "050505050505" "01" "000000")},
      {"set parameters", 0x20, 0xFE, 0x29, "0130303030303030010101010101" "01", ack},
      {"set switches", 0x20, 0x01, 0x29, "0200FFFF", ack},
      {"data forwarding", 0x20, 0xFE, 0x18, "0C1122", ack},
      {"read version", 0x00, 0xFE, 0xBB, "", chk("CAB0FF0D" + hex(Bytes{'E', 'X', 'T', '-', 'S', 'I', 'M', ' ', 'V', '1', '.', '0', '0'}))},
      {"read version with an empty data field", 0x20, 0xFE, 0xBB, "", chk("CAB0FF0D455854" "2D53494D2056312E3030")},
      {"set ID", 0x20, 0xFE, 0x33, "05", ack},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dev = Device(extsim::TimePoint{});
    SetUp();
    EXPECT_EQ(ask(c.type, c.addr, c.cmd, c.data), c.expect);
  }
}

TEST_F(DeviceTest, IgnoresWhatItCannotAnswer) {
  struct Case {
    const char* name;
    std::uint8_t type, addr, cmd;
    const char* data;
    const char* reason;
  } cases[] = {
      {"other address", 0x20, 0x02, 0x28, "30", "addressed to 02"},
      {"address F0", 0x20, 0xF0, 0x28, "30", "addressed to F0"},
      {"unknown command", 0x20, 0xFE, 0x44, "", "unknown command 44"},
      {"no-data request other than version", 0x00, 0xFE, 0x28, "", "unknown command 28 without data"},
      {"directory of channel 8", 0x20, 0xFE, 0x26, "FFFFFFFF08", "does not exist"},
      {"read with 4 bytes", 0x20, 0xFE, 0x26, "00400000", "wrong data length 4 for command 26"},
      {"read past the end of memory", 0x20, 0xFE, 0x26, "0040190001", "outside memory"},
      {"write whose count disagrees", 0x20, 0xFE, 0x25, "0040000004AABBCC", "wrong data length 8 for command 25"},
      {"write past the end of memory", 0x20, 0xFE, 0x25, "FF3F190002AABB", "outside memory"},
      {"clear of index 800", 0x20, 0xFE, 0x25, "FFFFFFFF2003", "does not exist"},
      {"clear with a short index", 0x20, 0xFE, 0x25, "FFFFFFFF05", "wrong data length 5"},
      {"raw continuation without an opening", 0x20, 0xFE, 0x27, "04AABB", "without an opened code"},
      {"raw transmit without an opening", 0x20, 0xFE, 0x27, "03", "without an opened code"},
      {"raw unknown tag", 0x20, 0xFE, 0x27, "05", "unknown raw code tag 05"},
      {"raw empty", 0x20, 0xFE, 0x27, "", "wrong data length 0"},
      {"number of channel 0+1=0", 0x20, 0xFE, 0x31, "0005", "names no slot"},
      {"number of channel 9", 0x20, 0xFE, 0x31, "0905", "names no slot"},
      {"number of slot 100", 0x20, 0xFE, 0x31, "0164", "names no slot"},
      {"number with 4 bytes", 0x20, 0xFE, 0x31, "01050000", "wrong data length 4"},
      {"learn of channel 9", 0x20, 0xFE, 0x32, "0900", "names no slot"},
      {"get with selector 31", 0x20, 0xFE, 0x28, "31", "unknown selector 31"},
      {"get with two bytes", 0x20, 0xFE, 0x28, "3030", "wrong data length 2"},
      {"set parameters, 13 bytes", 0x20, 0xFE, 0x29, "01303030303030300101010101", "wrong data length 13"},
      {"set switches, 2 bytes", 0x20, 0xFE, 0x29, "0200FF", "wrong data length 3"},
      {"set with selector 03", 0x20, 0xFE, 0x29, "03", "unknown selector 03"},
      {"forwarding to port 09", 0x20, 0xFE, 0x18, "0911", "port 09"},
      {"forwarding to port 10", 0x20, 0xFE, 0x18, "1011", "port 10"},
      {"version with data", 0x20, 0xFE, 0xBB, "00", "wrong data length 1"},
      {"set ID with two bytes", 0x20, 0xFE, 0x33, "0505", "wrong data length 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string got = ask(c.type, c.addr, c.cmd, c.data);
    EXPECT_EQ(got.rfind("ignored: ", 0), 0u) << got;
    EXPECT_NE(got.find(c.reason), std::string::npos) << got;
  }
}

TEST_F(DeviceTest, SlotMemoryFollowsTheBlockLayout) {
  EXPECT_EQ(Device::block_address(0, 0), 0x4000u);
  EXPECT_EQ(Device::block_address(0, 5), 0x6800u);
  EXPECT_EQ(Device::block_address(7, 99), (7u * 100 + 99 + 8) * 2048);
  EXPECT_EQ(extsim::kMemorySize, (7u * 100 + 99 + 8 + 1) * 2048);
  // A slot is stored when its first word is not FFFF.
  dev.memory[0x4000] = 0xFF;
  dev.memory[0x4001] = 0x00;
  EXPECT_TRUE(dev.slot_stored(0, 0));
  dev.memory[0x4001] = 0xFF;
  dev.memory[0x4002] = 0x00;
  EXPECT_FALSE(dev.slot_stored(0, 0));
  EXPECT_EQ(dev.stored_slots(0), (std::vector<int>{5, 7}));
  EXPECT_EQ(dev.stored_slots(1), (std::vector<int>{3}));
}

TEST_F(DeviceTest, WriteAndClearChangeMemory) {
  ask(0x20, 0xFE, 0x25, "0040000003AABBCC");
  EXPECT_EQ(hex(Bytes(dev.memory.begin() + 0x4000, dev.memory.begin() + 0x4004)), "AABBCCFF");
  ask(0x20, 0xFE, 0x25, "FFFFFFFF6700");  // 103 = channel 1, slot 3
  EXPECT_FALSE(dev.slot_stored(1, 3));
  EXPECT_TRUE(std::all_of(dev.memory.begin() + Device::block_address(1, 3),
                          dev.memory.begin() + Device::block_address(1, 3) + 2048, [](auto b) { return b == 0xFF; }));
  EXPECT_TRUE(dev.slot_stored(0, 5));
}

TEST_F(DeviceTest, RawCodeIsTransmittedByItsLastFrame) {
  Bytes rec = record(300);
  std::string first = hex(Bytes(rec.begin(), rec.begin() + 245));
  std::string rest = hex(Bytes(rec.begin() + 245, rec.end()));
  EXPECT_EQ(ask(0x20, 0xFE, 0x27, "01" + first), "CA90FFA6");
  EXPECT_EQ(ask(0x20, 0xFE, 0x27, "04" + rest), "CA90FFA6");
  EXPECT_TRUE(dev.tx_log.empty());
  EXPECT_EQ(ask(0x20, 0xFE, 0x27, "03"), "CA90FFA6");
  ASSERT_EQ(dev.tx_log.size(), 1u);
  EXPECT_EQ(dev.tx_log[0].text, "raw tag=03 " + hex(rec));
  // The sequence is closed: a lone last frame has nothing to transmit.
  EXPECT_NE(ask(0x20, 0xFE, 0x27, "02").find("ignored"), std::string::npos);
  // A new opening replaces an unfinished sequence.
  ask(0x20, 0xFE, 0x27, "01AA");
  ask(0x20, 0xFE, 0x27, "01BB");
  ask(0x20, 0xFE, 0x27, "02");
  ASSERT_EQ(dev.tx_log.size(), 2u);
  EXPECT_EQ(dev.tx_log[1].text, "raw tag=02 BB");
  EXPECT_NE(ask(0x20, 0xFE, 0x27, "0300").find("wrong data length 2"), std::string::npos);
}

TEST_F(DeviceTest, TransmissionsAreLogged) {
  struct Case {
    const char* name;
    std::uint8_t cmd;
    const char* data;
    const char* logged;
  } cases[] = {
      {"number of a stored slot", 0x31, "0107", "number channel=0 slot=7 record=0600AABBCCDD"},
      {"number of an empty slot", 0x31, "0209", "number channel=1 slot=9 record=empty"},
      {"infrared send", 0x31, "020302", "ir port=2 code=3 repeat=2 record=0400EEFF"},
      {"forwarding", 0x18, "0F010203", "forward port=0F data=010203"},
      {"forwarding of nothing", 0x18, "0A", "forward port=0A data="},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dev.tx_log.clear();
    EXPECT_EQ(ask(0x20, 0xFE, c.cmd, c.data), "CA90FFA6");
    ASSERT_EQ(dev.tx_log.size(), 1u);
    EXPECT_EQ(dev.tx_log[0].text, c.logged);
  }
}

TEST_F(DeviceTest, LearnStoresTheRecordAfterTheDelay) {
  dev.learn_delay_ms = 300;
  dev.learn_record = hex("0500010203");
  EXPECT_EQ(ask(0x20, 0xFE, 0x32, "0309"), "CA90FFA6");
  ASSERT_TRUE(dev.next_deadline().has_value());
  EXPECT_EQ(*dev.next_deadline(), now + std::chrono::milliseconds(300));
  dev.tick(now + std::chrono::milliseconds(299));
  EXPECT_FALSE(dev.slot_stored(2, 9));
  dev.tick(now + std::chrono::milliseconds(300));
  EXPECT_EQ(hex(dev.slot_record(2, 9)), "0500010203");
  EXPECT_FALSE(dev.next_deadline().has_value());
}

TEST_F(DeviceTest, ParameterCommandsWriteTheirPartOfTheBlock) {
  ask(0x20, 0xFE, 0x29, "01" "32324212F2A09F" "010203040506" "07");
  EXPECT_EQ(hex(Bytes(dev.params.begin(), dev.params.end())), "32324212F2A09F0102030405060700" "0000");
  ask(0x20, 0xFE, 0x29, "02" "00FF01");
  EXPECT_EQ(hex(Bytes(dev.params.begin(), dev.params.end())), "32324212F2A09F0102030405060700FF01");
  EXPECT_EQ(ask(0x20, 0xFE, 0x28, "30"), chk("CAB0FF11" "32324212F2A09F0102030405060700FF01"));
}

TEST(PortByte, NamesTheBaudIndexAndTheParity) {
  struct Case {
    extsim::LinkSettings link;
    std::uint8_t byte;
  } cases[] = {
      {{1200, 'N'}, 0x00},   {{2400, 'O'}, 0x11},   {{9600, 'E'}, 0x32}, {{38400, 'N'}, 0x50},
      {{43000, 'O'}, 0x61},  {{56000, 'E'}, 0x72},  {{57600, 'N'}, 0x80}, {{115200, 'E'}, 0x92},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(extsim::describe(c.link));
    EXPECT_EQ(extsim::port_byte(c.link), c.byte);
    auto back = extsim::link_from_port_byte(c.byte);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, c.link);
  }
  // A rate outside the list has no index; nibbles outside the lists name nothing.
  EXPECT_EQ(extsim::port_byte({230400, 'O'}), 0xF1);
  for (std::uint8_t b : {0xA0, 0xF2, 0x33, 0x9F}) EXPECT_FALSE(extsim::link_from_port_byte(b).has_value()) << int(b);
}

TEST_F(DeviceTest, TheHostPortByteReportsTheLink) {
  EXPECT_EQ(dev.params[6], 0x50);
  dev.set_link({9600, 'E'});
  EXPECT_EQ(dev.params[6], 0x32);
  EXPECT_EQ(ask(0x20, 0xFE, 0x28, "30"), chk("CAB0FF11" "303030303030" "32" "050505050505" "01" "000000"));
  dev.reset();
  EXPECT_EQ(dev.params[6], 0x50);
  EXPECT_EQ(dev.link, extsim::LinkSettings{});
}

TEST_F(DeviceTest, SetParametersAsksForTheNewHostPortLink) {
  struct Case {
    const char* name;
    bool locked;
    std::uint8_t host;
    std::optional<extsim::LinkSettings> next;
    const char* note;
  } cases[] = {
      {"another rate", false, 0x32, extsim::LinkSettings{9600, 'E'}, "the link changes to 9600 8E1 after this answer"},
      {"another parity", false, 0x51, extsim::LinkSettings{38400, 'O'}, "changes to 38400 8O1"},
      {"the same link", false, 0x50, std::nullopt, "the link stays 38400 8N1"},
      {"no rate", false, 0xA0, std::nullopt, "names no rate and parity"},
      {"no parity", false, 0x33, std::nullopt, "names no rate and parity"},
      {"locked", true, 0x32, std::nullopt, "the link is locked at 38400 8N1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dev.reset();
    dev.link_locked = c.locked;
    Bytes data = hex("01" "30303030303030" "01010101010101");
    data[1 + 6] = c.host;
    auto out = dev.handle({0x20, 0xFE, 0x29, data}, now, "test");
    ASSERT_TRUE(out.reply.has_value());
    EXPECT_EQ(hex(extsim::encode_reply(*out.reply)), "CA90FFA6");
    EXPECT_EQ(out.new_link, c.next);
    EXPECT_NE(out.note.find(c.note), std::string::npos) << out.note;
    // The block holds what was written; the link itself changes only when the
    // simulator has sent the answer.
    EXPECT_EQ(dev.params[6], c.host);
    EXPECT_EQ(dev.link, extsim::LinkSettings{});
  }
}

TEST_F(DeviceTest, RequestsBeyondTheProgramsLimitsAreAnsweredWithAWarning) {
  auto n_bytes = [](std::size_t n) { return hex(Bytes(n, 0x5A)); };
  auto count = [](std::size_t n) { return hex(Bytes{static_cast<std::uint8_t>(n)}); };
  struct Case {
    const char* name;
    std::uint8_t cmd;
    std::string data;
    const char* warning;  // empty: none
  } cases[] = {
      {"read of 250", 0x26, "00400000" "FA", ""},
      {"read of 251", 0x26, "00400000" "FB", "a read of more than 250 bytes"},
      {"write of 245", 0x25, "00400000" + count(245) + n_bytes(245), ""},
      {"write of 246", 0x25, "00400000" + count(246) + n_bytes(246), "a write of more than 245 bytes"},
      {"write ending at the block end", 0x25, "0B470000" + count(245) + n_bytes(245), ""},
      {"write across the block end", 0x25, "FF470000" "02AABB", "a write across the end of a 2048-byte block"},
      {"write below slot memory", 0x25, "FF3F0000" "01AA", "a write below slot memory (004000)"},
      {"write of nothing below slot memory", 0x25, "00000000" "00", "a write below slot memory (004000)"},
      {"write with two reasons", 0x25, "FF3F0000" + count(246) + n_bytes(246),
       "a write of more than 245 bytes; a write below slot memory (004000); a write across the end of a 2048-byte block"},
      {"raw opening of 245", 0x27, "01" + n_bytes(245), ""},
      {"raw opening of 246", 0x27, "01" + n_bytes(246), "a raw-code piece of more than 245 bytes"},
      {"forwarding of 248", 0x18, "0C" + n_bytes(248), ""},
      {"forwarding of 249", 0x18, "0C" + n_bytes(249), "forwarding of more than 248 bytes"},
      {"forwarding of nothing", 0x18, "0C", "forwarding of no data"},
      {"directory", 0x26, "FFFFFFFF00", ""},
      {"slot clear", 0x25, "FFFFFFFF0500", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto out = dev.handle({0x20, 0xFE, c.cmd, hex(c.data)}, now, "test");
    EXPECT_TRUE(out.reply.has_value()) << out.note;
    EXPECT_EQ(out.warning, c.warning);
  }
  // A continuation is judged on its own size.
  dev.handle({0x20, 0xFE, 0x27, hex("01AA")}, now, "test");
  EXPECT_EQ(dev.handle({0x20, 0xFE, 0x27, hex("04" + n_bytes(246))}, now, "test").warning,
            "a raw-code piece of more than 245 bytes");
}

TEST_F(DeviceTest, SetIdChangesWhichRequestsAreAnswered) {
  EXPECT_EQ(ask(0x20, 0x01, 0x33, "05"), "CA90FFA6");
  EXPECT_EQ(dev.module_id, 0x05);
  EXPECT_NE(ask(0x20, 0x01, 0x28, "30").find("ignored: addressed to 01"), std::string::npos);
  EXPECT_EQ(ask(0x20, 0x05, 0x28, "30").substr(0, 8), "CAB0FF11");
  EXPECT_EQ(ask(0x20, 0xFE, 0x28, "30").substr(0, 8), "CAB0FF11");
}

TEST_F(DeviceTest, ResetRestoresThePowerOnState) {
  ask(0x20, 0xFE, 0x33, "07");
  ask(0x20, 0xFE, 0x29, "0200FFFF");
  ask(0x20, 0xFE, 0x31, "0105");
  ask(0x20, 0xFE, 0x32, "0101");
  dev.reset();
  EXPECT_EQ(dev.module_id, Device::kDefaultId);
  EXPECT_EQ(dev.params, Device::kDefaultParams);
  EXPECT_TRUE(dev.stored_slots(0).empty());
  EXPECT_TRUE(dev.tx_log.empty());
  EXPECT_FALSE(dev.next_deadline().has_value());
}

}  // namespace
