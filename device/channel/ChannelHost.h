#pragma once
// What Vantrel's device link needs of the main window, and the state the two
// share. The link sits below the window, so it reaches the window through an
// interface that the window implements and installs with SetChannelHost.
//
// Every member of TChannelHost is called on the main thread only: the TCP
// transfers run there, and the serial job worker takes what it needs when its
// job starts (on the main thread) and hands what it shows back to the main
// thread by posting.

#include <array>

#include "device/EcComm.h"
#include "device/UEcpTime.h"
#include "framework/TcpClient.h"

namespace vantrel {

constexpr int ChannelCount = 8;
constexpr int SlotCount = 100;

// The three states of the parity check box; its caption names the parity
// (unchecked "无校验", checked "偶校验", grayed "奇校验").
enum class TParityState { Unchecked, Checked, Grayed };

class TChannelHost {
public:
    virtual ~TChannelHost() = default;

    // The main window's components: the serial link (EcComm, its parser
    // created), the TCP client (IdTCPClient) and the TCP reply parser
    // (EcpTime, no event bound).
    virtual TEcComm& SerialLink() = 0;
    virtual TTcpClient& TcpClient() = 0;
    virtual TEcpTime& TcpParser() = 0;

    // Texts of the host and port edits (EtServerHost, EtServerPort), read
    // before every TCP connection.
    virtual String ServerHost() = 0;
    virtual String ServerPort() = 0;
    // Texts of the serial port and baud-rate combo boxes (CbCom, CbBand) and
    // the state of the parity check box (CheckBox1), read when a serial
    // operation opens the port.
    virtual String PortName() = 0;
    virtual String BaudText() = 0;
    virtual TParityState ParityState() = 0;
    // Index of the entry selected in the send-ID combo box ("00" to "FF"),
    // -1 when none: the device address of every request.
    virtual int SendIdIndex() = 0;
    // The channel pager's active page index: the current channel.
    virtual int ActiveChannel() = 0;
    // The code table's record of a channel and slot (empty: the slot is empty).
    virtual String CodeRecord(int Channel, int Slot) = 0;

    // The progress panel (PnProcess) and its gauge (GGProcess, 0 to 100,
    // clamping), shown during channel transfers.
    virtual void ShowProgress(bool Visible) = 0;
    virtual void SetProgress(int Value) = 0;
    // Panel 0 of the status bar.
    virtual void ShowStatus(const String& Text) = 0;
    // Lets the window handle its pending messages once (after each TCP read).
    virtual void ProcessMessages() = 0;
};

// The installed host (the main window), none before SetChannelHost. Also
// makes the frame builders take their address from the host's send-ID
// selection. Install it on the main thread before any device operation;
// pass nullptr when the window goes.
void SetChannelHost(TChannelHost* Host);
// The installed host; raises when none is installed.
TChannelHost& Host();

// The read buffer: one record per slot of the channel being read. A channel
// read clears all 100 and fills them; the window then moves them into its
// code table. Written by the operation that runs (on the worker thread during
// a serial read, which the window waits for), read by the window afterwards.
extern std::array<String, SlotCount> ReadBuffer;

// The send-raw toggle table: bit c of byte s picks the last tag of the next
// raw send of channel c, slot s (clear: 03, set: 02) and flips with each
// send. All zero at start; shared by both transports.
extern std::array<Byte, SlotCount> RawSendToggles;

// One device operation at a time, whatever its transport: a serial job holds
// the link from its start until the worker has ended it, a TCP operation for
// its call. TryBeginDeviceOperation claims it (false while another runs);
// EndDeviceOperation gives it back.
bool TryBeginDeviceOperation();
void EndDeviceOperation();
bool DeviceOperationRunning();

// The parity code the serial link takes for a parity state: 0 none,
// 2 even (checked), 1 odd (grayed).
Byte ParityCode(TParityState State);

} // namespace vantrel
