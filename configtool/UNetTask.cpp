#include "configtool/UNetTask.h"

#include "configtool/ParamBlock.h"
#include "configtool/UKx40Set.h"
#include "configtool/UStmLoad.h"
#include "device/Frames.h"
#include "device/ServerAddress.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/StrUtils.h"
#include "framework/Ticks.h"

namespace brimsel {

namespace {

String replyData;   // written and read on the main thread only
constexpr Cardinal AnswerBoundMs = 8000;

// Connects, sends one request and reads its answer; false for any failure
// after the connect. A failing connect raises to the caller.
bool Exchange(Byte Command, const String& Data, Byte Awaited, String* Answer)
{
    TTcpClient& client = *FmKX40->IdTCPClient;
    if (client.Connected())
        client.Disconnect();
    const String host = Trim(FmKX40->EtServerHost->Text());
    const String refusal = ServerAddressError(host);
    if (!refusal.empty()) {
        ShowMessage(refusal);
        return false;
    }
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
    // The window resolved the module ID on the main thread before it gave
    // the worker its job; the worker does not read the window's controls.
    return AddCheckSum(RequestHead(FmKX40->Worker()->JobAddress, Command, Data));
}

String BuildNetFrame(Byte Command, const String& Data) { return AddCheckSum(RequestHead(0xFE, Command, Data)); }

void NetSendStr(const String& Frame) { FmKX40->IdTCPClient->Write(Frame); }

bool NetReceiveAnswer(Byte Awaited)
{
    TEcpTime& parser = *FmKX40->EcpTime;
    TTcpClient& client = *FmKX40->IdTCPClient;
    // Only a frame completed by the bytes of this read counts.
    parser.CommRec.Result = 0;
    replyData.clear();
    const Cardinal start = GetTickCount32();
    for (;;) {
        const Cardinal elapsed = GetTickCount32() - start;
        if (elapsed >= AnswerBoundMs)
            break;
        const String bytes = client.ReadAvailable(AnswerBoundMs - elapsed);
        if (bytes.empty())
            break;   // nothing more within the bound, or the server closed the connection
        replyData += bytes;
        parser.FeedBytes(bytes);
        // Read on only while a frame has begun and is not complete.
        if (!parser.CommRec.InFrame)
            break;
    }
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
