#include "device.hpp"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace extsim {

namespace {

std::string fmt(const char* f, unsigned a = 0, unsigned b = 0, unsigned c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, f, a, b, c);
  return buf;
}

std::uint32_t le32(const Bytes& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

bool all_ff(const Bytes& d, std::size_t n) {
  return d.size() >= n && std::all_of(d.begin(), d.begin() + static_cast<long>(n),
                                      [](std::uint8_t b) { return b == 0xFF; });
}

Device::Outcome ignored(std::string why) {
  Device::Outcome out;
  out.note = std::move(why);
  return out;
}

Device::Outcome acked(std::string what) {
  Device::Outcome out;
  out.reply = Reply{};
  out.note = std::move(what);
  return out;
}

Device::Outcome answered(Bytes data, std::string what) {
  Device::Outcome out = acked(std::move(what));
  out.reply->type = kReplyData;
  out.reply->data = std::move(data);
  return out;
}

Device::Outcome warned(Device::Outcome out, std::string why) {
  out.warning = std::move(why);
  return out;
}

// The largest requests the programs make: memory reads of 250 bytes, writes
// and raw-code pieces of 245 bytes, forwarding of 1 to 248 bytes.
constexpr std::size_t kMaxRead = 250;
constexpr std::size_t kMaxWrite = 245;
constexpr std::size_t kMaxRawPiece = 245;
constexpr std::size_t kMaxForward = 248;

Device::Outcome wrong_length(std::uint8_t cmd, std::size_t n) {
  return ignored(fmt("wrong data length %u for command %02X", static_cast<unsigned>(n), cmd));
}

}  // namespace

std::string describe(const LinkSettings& s) {
  return std::to_string(s.baud) + " 8" + std::string(1, s.parity) + "1";
}

std::uint8_t port_byte(const LinkSettings& s) {
  unsigned index = 0xF;
  for (unsigned i = 0; i < std::size(kBaudRates); ++i)
    if (kBaudRates[i] == s.baud) index = i;
  unsigned parity = s.parity == 'O' ? 1 : s.parity == 'E' ? 2 : 0;
  return static_cast<std::uint8_t>(index << 4 | parity);
}

std::optional<LinkSettings> link_from_port_byte(std::uint8_t b) {
  unsigned index = b >> 4, parity = b & 0x0F;
  if (index >= std::size(kBaudRates) || parity > 2) return std::nullopt;
  return LinkSettings{kBaudRates[index], "NOE"[parity]};
}

// Slave ports A to F at 9600 without parity, the host port at 38400 without
// parity, receive-frame time-outs of 100 ms, a host send interval of 20 ms and
// all receive switches on.
const Device::ParamBlock Device::kDefaultParams = {0x30, 0x30, 0x30, 0x30, 0x30, 0x30,
                                                   0x50, 0x05, 0x05, 0x05, 0x05, 0x05,
                                                   0x05, 0x01, 0x00, 0x00, 0x00};

// A 24-byte record: its length word 18 00, then the bytes 01 to 16.
const Bytes Device::kDefaultLearnRecord = [] {
  Bytes r{0x18, 0x00};
  for (std::uint8_t i = 1; i <= 22; ++i) r.push_back(i);
  return r;
}();

const char Device::kVersion[] = "EXT-SIM V1.00";

Device::Device(TimePoint epoch) : epoch_(epoch) { reset(); }

void Device::reset() {
  memory.assign(kMemorySize, 0xFF);
  params = kDefaultParams;
  module_id = kDefaultId;
  set_link(LinkSettings{});
  link_locked = false;
  learn_delay_ms = kDefaultLearnDelayMs;
  learn_record = kDefaultLearnRecord;
  tx_log.clear();
  raw_open_ = false;
  raw_record_.clear();
  learns_.clear();
}

std::uint32_t Device::block_address(int channel, int slot) {
  return static_cast<std::uint32_t>(channel * kSlotsPerChannel + slot + kFirstSlotBlock) * kBlockSize;
}

bool Device::slot_stored(int channel, int slot) const {
  std::uint32_t a = block_address(channel, slot);
  return !(memory[a] == 0xFF && memory[a + 1] == 0xFF);
}

Bytes Device::slot_record(int channel, int slot) const {
  if (!slot_stored(channel, slot)) return {};
  std::uint32_t a = block_address(channel, slot);
  std::size_t len = memory[a] | memory[a + 1] << 8;
  len = std::clamp<std::size_t>(len, 2, kBlockSize);
  return Bytes(memory.begin() + a, memory.begin() + a + static_cast<long>(len));
}

void Device::store_slot(int channel, int slot, const Bytes& record) {
  clear_slot(channel, slot);
  std::uint32_t a = block_address(channel, slot);
  std::copy_n(record.begin(), std::min(record.size(), kBlockSize), memory.begin() + a);
}

void Device::clear_slot(int channel, int slot) {
  std::uint32_t a = block_address(channel, slot);
  std::fill_n(memory.begin() + a, kBlockSize, 0xFF);
}

std::vector<int> Device::stored_slots(int channel) const {
  std::vector<int> out;
  for (int s = 0; s < kSlotsPerChannel; ++s)
    if (slot_stored(channel, s)) out.push_back(s);
  return out;
}

void Device::set_link(const LinkSettings& s) {
  link = s;
  params[6] = port_byte(s);
}

void Device::log_tx(TimePoint now, const std::string& link_name, std::string text) {
  if (tx_log.size() >= kLogCapacity) tx_log.pop_front();
  tx_log.push_back({ms_between(epoch_, now), link_name, std::move(text)});
}

Device::Outcome Device::handle(const Request& req, TimePoint now, const std::string& link_name) {
  if (req.address != module_id && req.address != kBroadcastAddress)
    return ignored(fmt("addressed to %02X, module ID is %02X", req.address, module_id));
  const Bytes& d = req.data;
  if (req.type == kRequestNoData) {
    if (req.command == 0xBB) return answered(Bytes(kVersion, kVersion + sizeof kVersion - 1), "read version");
    return ignored(fmt("unknown command %02X without data", req.command));
  }
  switch (req.command) {
    case 0x26: return command_26(d);
    case 0x25: return command_25(d);
    case 0x27: return command_27(d, now, link_name);
    case 0x31: return command_31(d, now, link_name);
    case 0x32: return command_32(d, now);
    case 0x28: return command_28(d);
    case 0x29: return command_29(d);
    case 0x18: return command_18(d, now, link_name);
    case 0x33: return command_33(d);
    case 0xBB:
      if (!d.empty()) return wrong_length(req.command, d.size());
      return answered(Bytes(kVersion, kVersion + sizeof kVersion - 1), "read version");
    default:
      return ignored(fmt("unknown command %02X", req.command));
  }
}

// Directory (FF FF FF FF, channel) or memory read (address, count).
Device::Outcome Device::command_26(const Bytes& d) {
  if (d.size() != 5) return wrong_length(0x26, d.size());
  if (all_ff(d, 4)) {
    int ch = d[4];
    if (ch >= kChannels) return ignored(fmt("directory of channel %u, which does not exist", ch));
    Bytes list;
    for (int s : stored_slots(ch)) list.push_back(static_cast<std::uint8_t>(s));
    std::string note = fmt("directory of channel %u: %u slot(s)", ch, static_cast<unsigned>(list.size()));
    return answered(std::move(list), std::move(note));
  }
  std::uint32_t addr = le32(d, 0);
  std::size_t count = d[4];
  if (addr > kMemorySize || count > kMemorySize - addr)
    return ignored(fmt("read of %u byte(s) at %06X is outside memory", static_cast<unsigned>(count), addr));
  Bytes data(memory.begin() + addr, memory.begin() + addr + static_cast<long>(count));
  std::string note = fmt("read %u byte(s) at %06X", static_cast<unsigned>(count), addr);
  auto out = answered(std::move(data), std::move(note));
  if (count > kMaxRead) return warned(std::move(out), fmt("a read of more than %u bytes", kMaxRead));
  return out;
}

// Slot clear (FF FF FF FF, channel*100+slot) or memory write (address, n, bytes).
Device::Outcome Device::command_25(const Bytes& d) {
  if (all_ff(d, 4)) {
    if (d.size() != 6) return wrong_length(0x25, d.size());
    unsigned index = d[4] | d[5] << 8;
    if (index >= static_cast<unsigned>(kChannels * kSlotsPerChannel))
      return ignored(fmt("clear of slot index %u, which does not exist", index));
    clear_slot(static_cast<int>(index / kSlotsPerChannel), static_cast<int>(index % kSlotsPerChannel));
    return acked(fmt("clear channel %u slot %u", index / kSlotsPerChannel, index % kSlotsPerChannel));
  }
  if (d.size() < 5 || d.size() != 5u + d[4]) return wrong_length(0x25, d.size());
  std::uint32_t addr = le32(d, 0);
  std::size_t count = d[4];
  if (addr > kMemorySize || count > kMemorySize - addr)
    return ignored(fmt("write of %u byte(s) at %06X is outside memory", static_cast<unsigned>(count), addr));
  std::copy(d.begin() + 5, d.end(), memory.begin() + addr);
  auto out = acked(fmt("write %u byte(s) at %06X", static_cast<unsigned>(count), addr));
  std::string why;
  auto add = [&](const std::string& w) { why += (why.empty() ? "" : "; ") + w; };
  if (count > kMaxWrite) add(fmt("a write of more than %u bytes", kMaxWrite));
  if (addr < block_address(0, 0)) add(fmt("a write below slot memory (%06X)", block_address(0, 0)));
  if (count > 0 && addr % kBlockSize + count > kBlockSize) add("a write across the end of a 2048-byte block");
  if (!why.empty()) return warned(std::move(out), why);
  return out;
}

// Raw code sequence: 01 opens a record, 04 continues it, a lone 02 or 03
// transmits it.
Device::Outcome Device::command_27(const Bytes& d, TimePoint now, const std::string& link_name) {
  if (d.empty()) return wrong_length(0x27, 0);
  std::uint8_t tag = d[0];
  switch (tag) {
    case 0x01:
    case 0x04: {
      if (tag == 0x04 && !raw_open_) return ignored("raw code continuation without an opened code");
      if (tag == 0x01) raw_record_.clear();
      raw_record_.insert(raw_record_.end(), d.begin() + 1, d.end());
      raw_open_ = true;
      auto out = acked(fmt(tag == 0x01 ? "raw code opened with %u byte(s)" : "raw code continued with %u byte(s)",
                           static_cast<unsigned>(d.size() - 1)));
      if (d.size() - 1 > kMaxRawPiece)
        return warned(std::move(out), fmt("a raw-code piece of more than %u bytes", kMaxRawPiece));
      return out;
    }
    case 0x02:
    case 0x03: {
      if (d.size() != 1) return wrong_length(0x27, d.size());
      if (!raw_open_) return ignored("raw code transmit without an opened code");
      log_tx(now, link_name, fmt("raw tag=%02X ", tag) + to_hex(raw_record_));
      std::size_t n = raw_record_.size();
      raw_open_ = false;
      raw_record_.clear();
      return acked(fmt("raw code of %u byte(s) transmitted, tag %02X", static_cast<unsigned>(n), tag));
    }
    default:
      return ignored(fmt("unknown raw code tag %02X", tag));
  }
}

// Send number (channel+1, slot) from the manager, or the test window's infrared
// send (port, code, repeat); told apart by the data length.
Device::Outcome Device::command_31(const Bytes& d, TimePoint now, const std::string& link_name) {
  if (d.size() != 2 && d.size() != 3) return wrong_length(0x31, d.size());
  int ch = d[0] - 1;
  int slot = d[1];
  if (ch < 0 || ch >= kChannels || slot >= kSlotsPerChannel)
    return ignored(fmt("send of %02X %02X, which names no slot", d[0], d[1]));
  Bytes rec = slot_record(ch, slot);
  std::string record = rec.empty() ? "empty" : to_hex(rec);
  if (d.size() == 2) {
    log_tx(now, link_name, fmt("number channel=%u slot=%u record=", ch, slot) + record);
    return acked(fmt("send number channel %u slot %u", ch, slot));
  }
  log_tx(now, link_name, fmt("ir port=%u code=%u repeat=%u record=", d[0], slot, d[2]) + record);
  return acked(fmt("infrared send port %u code %u repeat %u", d[0], slot, d[2]));
}

Device::Outcome Device::command_32(const Bytes& d, TimePoint now) {
  if (d.size() != 2) return wrong_length(0x32, d.size());
  int ch = d[0] - 1;
  int slot = d[1];
  if (ch < 0 || ch >= kChannels || slot >= kSlotsPerChannel)
    return ignored(fmt("learn into %02X %02X, which names no slot", d[0], d[1]));
  learns_.push_back({now + std::chrono::milliseconds(learn_delay_ms), ch, slot});
  return acked(fmt("learn channel %u slot %u in %u ms", ch, slot, static_cast<unsigned>(learn_delay_ms)));
}

std::optional<TimePoint> Device::next_deadline() const {
  std::optional<TimePoint> t;
  for (const auto& l : learns_)
    if (!t || l.due < *t) t = l.due;
  return t;
}

void Device::tick(TimePoint now) {
  for (auto it = learns_.begin(); it != learns_.end();) {
    if (it->due <= now) {
      store_slot(it->channel, it->slot, learn_record);
      it = learns_.erase(it);
    } else {
      ++it;
    }
  }
}

Device::Outcome Device::command_28(const Bytes& d) {
  if (d.size() != 1) return wrong_length(0x28, d.size());
  if (d[0] != 0x30) return ignored(fmt("get with unknown selector %02X", d[0]));
  return answered(Bytes(params.begin(), params.end()), "get parameter block");
}

Device::Outcome Device::command_29(const Bytes& d) {
  if (d.empty()) return wrong_length(0x29, 0);
  if (d[0] == 0x01) {
    if (d.size() != 15) return wrong_length(0x29, d.size());
    std::copy(d.begin() + 1, d.end(), params.begin());
    // The host-port byte sets the master port: the device answers at the
    // old settings, then switches.
    std::uint8_t host = d[1 + 6];
    auto next = link_from_port_byte(host);
    std::string note = fmt("set port parameters; host port byte %02X", host);
    if (!next) return acked(note + " names no rate and parity: the link stays " + describe(link));
    if (*next == link) return acked(note + ": the link stays " + describe(link));
    if (link_locked) return acked(note + " (" + describe(*next) + "): the link is locked at " + describe(link));
    auto out = acked(note + ": the link changes to " + describe(*next) + " after this answer");
    out.new_link = next;
    return out;
  }
  if (d[0] == 0x02) {
    if (d.size() != 4) return wrong_length(0x29, d.size());
    std::copy(d.begin() + 1, d.end(), params.begin() + 14);
    return acked("set receive switches");
  }
  return ignored(fmt("set with unknown selector %02X", d[0]));
}

// Data forwarding to slave port 0A (A) to 0F (F).
Device::Outcome Device::command_18(const Bytes& d, TimePoint now, const std::string& link_name) {
  if (d.empty()) return wrong_length(0x18, 0);
  if (d[0] < 0x0A || d[0] > 0x0F) return ignored(fmt("forwarding to port %02X, which does not exist", d[0]));
  Bytes payload(d.begin() + 1, d.end());
  log_tx(now, link_name, fmt("forward port=%02X data=", d[0]) + to_hex(payload));
  auto out = acked(fmt("forward %u byte(s) to port %c", static_cast<unsigned>(payload.size()), 'A' + d[0] - 0x0A));
  if (payload.empty()) return warned(std::move(out), "forwarding of no data");
  if (payload.size() > kMaxForward) return warned(std::move(out), fmt("forwarding of more than %u bytes", kMaxForward));
  return out;
}

Device::Outcome Device::command_33(const Bytes& d) {
  if (d.size() != 1) return wrong_length(0x33, d.size());
  unsigned old = module_id;
  module_id = d[0];
  return acked(fmt("module ID %02X -> %02X", old, d[0]));
}

}  // namespace extsim
