// The network device set-up of Brimsel's main window: searching the network
// for serial-device servers and reading or writing a server's name, address,
// mask, gateway and work port, through the vendor's network library.
#include "configtool/UNetSetup.h"

#include <windows.h>

#include "ZNetAdv.h"
#include "configtool/UKx40Set.h"
#include "device/ServerAddress.h"
#include "framework/Dialogs.h"
#include "framework/StrUtils.h"

namespace brimsel {

const char* const ServerLoginCode = "30571";

namespace {

constexpr int SearchSettleMs = 500;
constexpr int SearchMissWaitMs = 100;
constexpr int SearchMisses = 10;
constexpr int ConnectAttempts = 6;
constexpr int ConnectSettleMs = 50;
constexpr std::size_t AddressBufferSize = 21;
constexpr std::size_t ValueBufferSize = 101;

const char* const RowName = "设备名";
const char* const RowIp = "IP";
const char* const RowMask = "掩码";
const char* const RowGateway = "网关";
const char* const RowPort = "工作端口";

// The text of a library buffer up to its first NUL, never past its end.
String BufferText(const char* Buffer, std::size_t Size)
{
    std::size_t n = 0;
    while (n < Size && Buffer[n] != '\0')
        ++n;
    return String(Buffer, n);
}

bool CheckDotted(const String& Text, const String& Message)
{
    if (IsDottedAddress(Text))
        return true;
    ShowMessage(Message + Trim(Text));
    return false;
}

struct TSearchResult {
    char Address[AddressBufferSize] = {};
    char Name[AddressBufferSize] = {};
    char Mask[AddressBufferSize] = {};
    unsigned char Index = 0;
    unsigned char Ports = 0;
    unsigned int Ticket = 0;

    bool Next() { return ZN_GetSearchDev(Address, Name, Mask, &Index, &Ports, &Ticket) == 1; }
};

// Finds the server at Address and logs in to it, in up to six attempts.
bool ConnectServer(const String& Address)
{
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        if (ZN_Search(Address.c_str()) != 1)
            continue;
        Sleep(ConnectSettleMs);
        TSearchResult found;
        if (!found.Next())
            continue;
        if (ZN_LoginTCP(found.Index, Address.c_str(), found.Ticket, ServerLoginCode) == 1)
            return true;
    }
    return false;
}

String ReadConfig(const char* Key)
{
    char value[ValueBufferSize] = {};
    ZN_GetDevConfigTCP(Key, value);
    return BufferText(value, ValueBufferSize);
}

} // namespace

bool CheckIp(const String& Text) { return CheckDotted(Text, "无效Ip:"); }
bool CheckMask(const String& Text) { return CheckDotted(Text, "无效掩码:"); }
bool CheckGateway(const String& Text) { return CheckDotted(Text, "无效网关:"); }

bool CheckPort(const String& Text)
{
    Integer value = 0;
    if (TryStrToInt(Text, value))
        return true;
    ShowMessage("无效端口!");
    return false;
}

bool CheckName(const String& Text)
{
    if (!Text.empty())
        return true;
    ShowMessage("无效名！");
    return false;
}

void TFmKX40::BlankServerValues()
{
    for (const char* row : {RowMask, RowIp, RowName, RowPort, RowGateway})
        ValueListEditor1->SetValues(row, "");
}

void TFmKX40::Button4Click(TObject*)
{
    ComboBox15->Items()->Clear();
    BlankServerValues();
    ZN_SearchAll();
    Sleep(SearchSettleMs);
    for (int misses = 0; misses < SearchMisses;) {
        TSearchResult found;
        if (found.Next()) {
            ComboBox15->Items()->Add(BufferText(found.Address, AddressBufferSize));
        } else {
            Sleep(SearchMissWaitMs);
            ++misses;
        }
    }
    ComboBox15->SetItemIndex(ComboBox15->Items()->Count() > 0 ? 0 : -1);
}

void TFmKX40::Button10Click(TObject*)
{
    const String address = Trim(ComboBox15->Text());
    BlankServerValues();
    if (address.empty() || !ConnectServer(address))
        return;
    ValueListEditor1->SetValues(RowMask, ReadConfig("MARK"));
    ReadConfig("C1_CLI_IP1");
    ValueListEditor1->SetValues(RowIp, address);
    ValueListEditor1->SetValues(RowName, ReadConfig("NAME"));
    ValueListEditor1->SetValues(RowPort, ReadConfig("C1_PORT"));
    ValueListEditor1->SetValues(RowGateway, ReadConfig("GATEWAY"));
    ZN_ExitTCP();
}

void TFmKX40::Button9Click(TObject*)
{
    const String address = Trim(ComboBox15->Text());
    auto value = [this](const char* row) { return ValueListEditor1->Values(row); };
    if (!CheckIp(value(RowIp)) || !CheckMask(value(RowMask)) || !CheckPort(value(RowPort)) ||
        !CheckName(value(RowName)) || !CheckGateway(value(RowGateway)))
        return;
    if (address.empty())
        return;
    if (!ConnectServer(address)) {
        ShowMessage("设置失败！");
        return;
    }
    // A change the library refuses is a failed write, not a success.
    bool ok = true;
    const std::pair<const char*, const char*> writes[] = {
        {"MARK", RowMask}, {"IP", RowIp}, {"NAME", RowName}, {"C1_PORT", RowPort}, {"GATEWAY", RowGateway}};
    for (const auto& [key, row] : writes)
        ok = ZN_ModifyDevConfigTCP(key, Trim(value(row)).c_str()) == 1 && ok;
    ok = ZN_ResetDevTCP() == 1 && ok;
    ZN_ExitTCP();
    ShowMessage(ok ? "设置成功！" : "设置失败！");
}

} // namespace brimsel
