#include "configtool/UNetTask.h"

#include "configtool/ParamBlock.h"
#include "configtool/UKx40Set.h"
#include "device/Frames.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/StrUtils.h"

namespace brimsel {

namespace {

String replyData;   // written and read on the main thread only

// Connects, sends one request and reads its answer; false for any failure
// after the connect. A failing connect raises to the caller.
bool Exchange(Byte Command, const String& Data, Byte Awaited, String* Answer)
{
    TTcpClient& client = *FmKX40->IdTCPClient;
    if (client.Connected())
        client.Disconnect();
    const String host = FmKX40->EtServerHost->Text();
    client.Host = host;
    client.Port = StrToInt(FmKX40->EtServerPort->Text());
    client.Connect(2000);
    try {
        if (!client.Connected()) {
            ShowMessage("连接 " + host + "失败");
            return false;
        }
        // A server that closed the connection at once has nothing to say.
        client.ReadAvailable(1);
        if (client.PeerClosed())
            return false;
        NetSendStr(BuildNetFrame(Command, Data));
        const bool ok = NetReceiveAnswer(Awaited);
        if (ok && Answer != nullptr)
            *Answer = replyData;
        client.Disconnect();
        return ok;
    } catch (const Exception&) {
        client.Disconnect();
        return false;
    }
}

} // namespace

String BuildComFrame(Byte Command, const String& Data)
{
    return AddCheckSum(RequestHead(static_cast<Byte>(FmKX40->MO_ID->ItemIndex() + 1), Command, Data));
}

String BuildNetFrame(Byte Command, const String& Data) { return AddCheckSum(RequestHead(0xFE, Command, Data)); }

void NetSendStr(const String& Frame) { FmKX40->IdTCPClient->Write(Frame); }

bool NetReceiveAnswer(Byte Awaited)
{
    TEcpTime& parser = *FmKX40->EcpTime;
    replyData = FmKX40->IdTCPClient->ReadAvailable(8000);
    // Only a frame completed by the bytes of this read counts.
    parser.CommRec.Result = 0;
    parser.FeedBytes(replyData);
    Sleep(1);
    replyData = parser.CommRec.SData;
    const bool result = parser.CommRec.Result == Awaited;
    Application->ProcessMessages();
    Sleep(2);
    return result;
}

bool NetSetParams(const String& Data) { return Exchange(CmdSet, Data, 0x90, nullptr); }

bool NetSetSwitches(const String& Data) { return Exchange(CmdSet, Data, 0x90, nullptr); }

String NetGetParams()
{
    String answer;
    if (!Exchange(CmdGetAll, String(1, static_cast<char>(GetAllData)), 0xB0, &answer))
        return String();
    return answer;
}

String NetReplyData() { return replyData; }

} // namespace brimsel
