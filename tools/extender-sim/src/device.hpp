// The extender as seen from its host port: slot memory, the parameter block,
// the module ID, the raw-code sequence and the logs of what it transmitted.
// The model answers one request at a time and knows nothing of transports.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "frame.hpp"

namespace extsim {

inline constexpr std::size_t kBlockSize = 2048;
inline constexpr int kChannels = 8;
inline constexpr int kSlotsPerChannel = 100;
inline constexpr int kFirstSlotBlock = 8;
// Blocks 0 to 7 (below slot memory) and the 800 slot blocks.
inline constexpr std::size_t kMemorySize =
    (kFirstSlotBlock + kChannels * kSlotsPerChannel) * kBlockSize;
inline constexpr std::size_t kParamBlockSize = 17;
inline constexpr std::size_t kLogCapacity = 20000;

// Baud rate and parity ('N', 'O' or 'E') of a serial link, always 8 data bits.
struct LinkSettings {
  unsigned baud = 38400;
  char parity = 'N';
  bool operator==(const LinkSettings&) const = default;
};
std::string describe(const LinkSettings& s);  // "38400 8N1"

// The baud rates a port byte can name, by their index (its high nibble).
inline constexpr unsigned kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 43000, 56000, 57600, 115200};
// A port byte of the parameter block: high nibble the baud index, low nibble
// the parity code (0 none, 1 odd, 2 even). A rate outside the list gets the
// high nibble F, which names no rate.
std::uint8_t port_byte(const LinkSettings& s);
// The link a port byte names; nothing when a nibble names no rate or parity.
std::optional<LinkSettings> link_from_port_byte(std::uint8_t b);

struct TxEntry {
  double t_ms = 0;
  std::string link;
  std::string text;
};

class Device {
 public:
  using ParamBlock = std::array<std::uint8_t, kParamBlockSize>;
  static const ParamBlock kDefaultParams;
  static const Bytes kDefaultLearnRecord;
  static constexpr std::uint8_t kDefaultId = 0x01;
  static constexpr int kDefaultLearnDelayMs = 1000;
  static const char kVersion[];

  explicit Device(TimePoint epoch = Clock::now());
  // Back to the power-on state: erased memory, default parameters, ID and
  // link settings, learn settings, no pending work, empty transmit log.
  void reset();

  struct Outcome {
    std::optional<Reply> reply;  // nothing: the request is ignored
    std::string note;            // what was done, or why it was ignored
    // Answered, but beyond what the programs ever send (why), or empty.
    std::string warning;
    // The host port's new settings, to take effect once the answer is out.
    std::optional<LinkSettings> new_link;
  };
  Outcome handle(const Request& req, TimePoint now, const std::string& link);

  // Learning: a learn request stores the learn record after the delay.
  std::optional<TimePoint> next_deadline() const;
  void tick(TimePoint now);

  static std::uint32_t block_address(int channel, int slot);
  bool slot_stored(int channel, int slot) const;
  // The slot's record as its leading length says (at least the two length
  // bytes, at most the block); empty when the slot is not stored.
  Bytes slot_record(int channel, int slot) const;
  void store_slot(int channel, int slot, const Bytes& record);
  void clear_slot(int channel, int slot);
  std::vector<int> stored_slots(int channel) const;

  // The device's own link settings; also sets the host-port byte of the block.
  void set_link(const LinkSettings& s);

  Bytes memory;
  ParamBlock params;
  std::uint8_t module_id;
  LinkSettings link;         // change it with set_link()
  bool link_locked = false;  // a new host-port byte does not change the link
  int learn_delay_ms;
  Bytes learn_record;
  std::deque<TxEntry> tx_log;

 private:
  struct PendingLearn {
    TimePoint due;
    int channel;
    int slot;
  };
  Outcome command_26(const Bytes& d);
  Outcome command_25(const Bytes& d);
  Outcome command_27(const Bytes& d, TimePoint now, const std::string& link);
  Outcome command_31(const Bytes& d, TimePoint now, const std::string& link);
  Outcome command_32(const Bytes& d, TimePoint now);
  Outcome command_28(const Bytes& d);
  Outcome command_29(const Bytes& d);
  Outcome command_18(const Bytes& d, TimePoint now, const std::string& link);
  Outcome command_33(const Bytes& d);
  void log_tx(TimePoint now, const std::string& link, std::string text);

  TimePoint epoch_;
  bool raw_open_ = false;
  Bytes raw_record_;
  std::vector<PendingLearn> learns_;
};

}  // namespace extsim
