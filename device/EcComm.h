#pragma once
// The serial link of the main windows: a serial port that reopens in one call
// with a port name, a baud rate and a parity code, and that owns the frame
// parser for the replies arriving on it.

#include <memory>

#include "device/SerialComm.h"
#include "device/UEcpTime.h"

class TEcComm : public TComm {
public:
    explicit TEcComm(TComponent* AOwner);
    ~TEcComm() override;

    // Creates the owned parser, gives it the current OnGetFinish handler and
    // the own address 0xFE. A later change of OnGetFinish does not reach it.
    void CreateParser();
    // Closes, stores the settings, opens; parity codes 0 none, 1 odd, 2 even,
    // 3 mark, 4 space. An open failure propagates with the new settings kept
    // and the port closed.
    void ReopenPort(const String& PortName, Cardinal BaudRate, Byte ParityCode);

    TEcpTime* Parser() const { return FParser.get(); }

    TGetFinish OnGetFinish;

private:
    std::unique_ptr<TEcpTime> FParser;   // none until CreateParser
};
