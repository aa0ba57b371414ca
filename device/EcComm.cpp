#include "device/EcComm.h"

TEcComm::TEcComm(TComponent* AOwner) : TComm(AOwner)
{
}

TEcComm::~TEcComm() = default;

void TEcComm::CreateParser()
{
    FParser = std::make_unique<TEcpTime>(Ownerless);
    FParser->OnGetFinish = OnGetFinish;
    FParser->CommRec.MyId = 0xFE;
}

void TEcComm::ReopenPort(const String& PortName, Cardinal BaudRate, Byte ParityCode)
{
    ClosePort();
    CommName = PortName;
    SetBaudRate(BaudRate);
    SetParityCheck(true);
    switch (ParityCode) {
    case 0:
        SetParityCheck(false);
        Parity = TParity::None;
        break;
    case 1: Parity = TParity::Odd; break;
    case 2: Parity = TParity::Even; break;
    case 3: Parity = TParity::Mark; break;
    case 4: Parity = TParity::Space; break;
    default: break;
    }
    SetByteSize(TByteSize::_8);
    OpenPort();
}
