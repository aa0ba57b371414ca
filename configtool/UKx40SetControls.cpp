// The controls of Brimsel's main window, created and placed as the window's
// form holds them, and the window's event bindings.
#include "configtool/ParamBlock.h"
#include "configtool/UKx40Set.h"
#include "framework/NewControl.h"
#include "framework/StrUtils.h"
#include "skin/engine/qStoredSkinResources.h"

namespace brimsel {

namespace {

constexpr int PortGroupWidth = 112;
constexpr int PortGroupHeight = 120;

TButton* NewButton(TComponent* Owner, TWinControl* Parent, int Left, int Top, const String& Caption,
                   const String& Hint)
{
    auto* b = NewControl<TButton>(Owner, Parent, Left, Top, 75, 25, Caption);
    b->SetHint(Hint);
    b->SetShowHint(true);
    return b;
}

TComboBox* NewBaudBox(TComponent* Owner, TWinControl* Parent, int Left, int Top, int Width)
{
    auto* box = NewControl<TComboBox>(Owner, Parent, Left, Top, Width, 21);
    box->SetStyle(csDropDownList);
    for (const char* rate : BaudRates)
        box->Items()->Add(rate);
    return box;
}

} // namespace

void TFmKX40::CreatePortGroup(int Port, int Left, int Top)
{
    static const char* const captions[7] = {"扩展接口A", "扩展接口B", "扩展接口C", "扩展接口D",
                                            "扩展接口E", "扩展接口F", "主控接口"};
    // The form's stored baud selections: 9600 for A to D and F, 1200 for E, none for the host.
    static const int storedBaud[7] = {3, 3, 3, 3, 0, 3, -1};
    auto* group = NewControl<TGroupBox>(this, GroupBox1, Left, Top, PortGroupWidth, PortGroupHeight, captions[Port]);
    PortGroups[Port] = group;
    NewControl<TLabel>(this, group, 8, 14, 96, 13, "波特率    ");
    TComboBox* baud = NewBaudBox(this, group, 8, 27, 96);
    baud->SetItemIndex(storedBaud[Port]);
    NewControl<TLabel>(this, group, 8, 50, 96, 13, "校验  ");
    auto* parity = NewControl<TCheckBox>(this, group, 8, 63, 96, 17, "无校验");
    parity->AllowGrayed = true;
    NewControl<TLabel>(this, group, 8, 81, 100, 13, Port == 6 ? "发送间隔 (ms)   " : "接收帧超时(ms)     ");
    auto* timeOut = NewControl<TComboBox>(this, group, 8, 94, 96, 21);
    TComboBox** baudFields[7] = {&ComboBox13, &ComboBox4, &ComboBox8, &ComboBox10, &ComboBox16, &ComboBox19, &ComboBox12};
    TCheckBox** parityFields[7] = {&CheckBox9, &CheckBox1, &CheckBox2, &CheckBox3, &CheckBox10, &CheckBox11, &CheckBox4};
    TComboBox** timeOutFields[7] = {&ComboBox1, &ComboBox7, &ComboBox9, &ComboBox11, &ComboBox2, &ComboBox3, &ComboBox5};
    *baudFields[Port] = baud;
    *parityFields[Port] = parity;
    *timeOutFields[Port] = timeOut;
}

void TFmKX40::CreateSwitchGroup()
{
    GroupBox3 = NewControl<TGroupBox>(this, this, 8, 266, 472, 42, "从控接口开关设置");
    NewControl<TLabel>(this, GroupBox3, 10, 19, 80, 13, "扩展接口A ~D    ");
    CheckBox5 = NewControl<TCheckBox>(this, GroupBox3, 92, 17, 66, 17, "接收关闭");
    NewControl<TLabel>(this, GroupBox3, 164, 19, 56, 13, "扩展接口E    ");
    CheckBox6 = NewControl<TCheckBox>(this, GroupBox3, 222, 17, 66, 17, "接收关闭");
    NewControl<TLabel>(this, GroupBox3, 294, 19, 56, 13, "扩展接口F    ");
    CheckBox7 = NewControl<TCheckBox>(this, GroupBox3, 352, 17, 66, 17, "接收关闭");
    Button3 = NewControl<TButton>(this, GroupBox3, 420, 14, 46, 23, "设置");
    Button3->SetHint("设置开关参数");
    Button3->SetShowHint(true);
}

void TFmKX40::CreateDownloadGroup()
{
    GroupBox4 = NewControl<TGroupBox>(this, this, 8, 310, 472, 66, "下载设置");
    RadioButton1 = NewControl<TRadioButton>(this, GroupBox4, 10, 18, 50, 17, "串口");
    RadioButton1->SetChecked(true);
    RadioButton2 = NewControl<TRadioButton>(this, GroupBox4, 10, 40, 50, 17, "网口");
    ComboBox6 = NewControl<TComboBox>(this, GroupBox4, 64, 16, 70, 21);
    for (int i = 1; i <= 8; ++i)
        ComboBox6->Items()->Add("Com" + IntToStr(i));
    ComboBox6->SetText("Com1");
    ComboBox14 = NewBaudBox(this, GroupBox4, 140, 16, 76);
    ComboBox14->SetItemIndex(0);
    CheckBox8 = NewControl<TqCheckBox>(this, GroupBox4, 222, 18, 66, 17, "无校验");
    Button11 = NewControl<TButton>(this, GroupBox4, 290, 15, 24, 23, "...");
    Button11->SetHint("检测设备波特率");
    Button11->SetShowHint(true);
    NewControl<TLabel>(this, GroupBox4, 64, 43, 24, 13, "IP:  ");
    EtServerHost = NewControl<TEdit>(this, GroupBox4, 88, 39, 120, 21);
    EtServerHost->SetText("192.168.1.100");
    NewControl<TLabel>(this, GroupBox4, 222, 43, 36, 13, "Port:  ");
    EtServerPort = NewControl<TEdit>(this, GroupBox4, 258, 39, 56, 21);
    EtServerPort->SetText("5000");
}

void TFmKX40::CreateNetworkGroup()
{
    GroupBox5 = NewControl<TGroupBox>(this, this, 488, 4, 190, 370, "网络设置");
    ComboBox15 = NewControl<TComboBox>(this, GroupBox5, 10, 20, 110, 21);
    Button10 = NewControl<TButton>(this, GroupBox5, 126, 18, 54, 25, "刷新");
    ValueListEditor1 = NewControl<TValueListEditor>(this, GroupBox5, 10, 50, 170, 112);
    ValueListEditor1->SetColWidths(0, 56);
    ValueListEditor1->SetColWidths(1, 101);
    for (const char* key : {"设备名", "IP", "掩码", "网关", "工作端口"})
        ValueListEditor1->Strings()->Add(String(key) + "=");
    Button4 = NewControl<TButton>(this, GroupBox5, 10, 172, 80, 25, "搜索设备");
    Button9 = NewControl<TButton>(this, GroupBox5, 100, 172, 80, 25, "设置");
}

void TFmKX40::CreateControls()
{
    GroupBox1 = NewControl<TGroupBox>(this, this, 8, 4, 472, 260, "接口参数设置");
    for (int port = 0; port < 4; ++port)
        CreatePortGroup(port, 8 + port * (PortGroupWidth + 3), 14);
    for (int port = 4; port < 7; ++port)
        CreatePortGroup(port, 8 + (port - 4) * (PortGroupWidth + 3), 136);
    // The fourth cell of the second row: the commands and the module ID.
    Button5 = NewButton(this, GroupBox1, 354, 140, "设置参数", "设置串口参数");
    Button6 = NewButton(this, GroupBox1, 354, 168, "获取参数", "获取所有参数");
    Button1 = NewButton(this, GroupBox1, 354, 196, "保存文件", "保存文件至本地");
    Button2 = NewButton(this, GroupBox1, 354, 224, "载入文件", "载入本地文件");
    for (TButton* b : {Button5, Button6, Button1, Button2})
        b->SetWidth(52);
    Button8 = NewButton(this, GroupBox1, 408, 140, "功能测试", "更能测试");
    Button7 = NewButton(this, GroupBox1, 408, 168, "红外管理", "红外管理软件");
    for (TButton* b : {Button8, Button7})
        b->SetWidth(56);
    NewControl<TLabel>(this, GroupBox1, 408, 200, 56, 13, "模块ID       ");
    MO_ID = NewControl<TComboBox>(this, GroupBox1, 408, 226, 56, 21);

    CreateSwitchGroup();
    CreateDownloadGroup();
    CreateNetworkGroup();

    EcpTime = new TEcpTime(this);
    EcpTime->ObjectId = 0;
    EcComm = new TEcComm(this);
    EcComm->CommName = "COM2";
    EcComm->SetBaudRate(38400);
    EcComm->SetDtrControl(TDtrControl::DtrDisable);
    EcComm->SetRtsControl(TRtsControl::RtsDisable);
    EcComm->SetReadIntervalTimeout(200);
    IdTCPClient = new TTcpClient(this);
    IdTCPClient->Host = "127.0.0.1";
    IdTCPClient->Port = 8090;
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Filter = "*.ini|*.ini";
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter = "*.ini|*.ini";
    qSkinManager1 = new TqSkinManager(this);
    // The skins the program carries, as the form data sets them: a skin of
    // the same name in the skin folder takes a stored skin's place.
    qSkinManager1->BeginLoading();
    for (const char* name : {"Basalt", "Clearwater", "Meadow", "Terracotta", "Heather"})
        AddStoredSkinResource(qSkinManager1->InternalSkins(), name, "SKIN_" + UpperCase(name));
    qSkinManager1->SetSkinDirectory("c:\\Skins");
    qSkinManager1->SetSkinName("Heather");
}

void TFmKX40::BindEvents()
{
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    for (TCustomCheckBox* box : std::initializer_list<TCustomCheckBox*>{CheckBox9, CheckBox1, CheckBox2, CheckBox3,
                                                                         CheckBox10, CheckBox11, CheckBox4, CheckBox8})
        box->OnClick = [this](TObject* s) { CheckBox9Click(s); };
    for (TCheckBox* box : {CheckBox5, CheckBox6, CheckBox7})
        box->OnClick = [this](TObject* s) { CheckBox5Click(s); };
    RadioButton1->OnClick = [this](TObject* s) { RadioButton1Click(s); };
    RadioButton2->OnClick = [this](TObject* s) { RadioButton1Click(s); };
    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    Button6->OnClick = [this](TObject* s) { Button6Click(s); };
    Button11->OnClick = [this](TObject* s) { Button11Click(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    Button8->OnClick = [this](TObject* s) { Button8Click(s); };
    Button7->OnClick = [this](TObject* s) { Button7Click(s); };
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };
    Button10->OnClick = [this](TObject* s) { Button10Click(s); };
    Button9->OnClick = [this](TObject* s) { Button9Click(s); };
    EcComm->OnReceiveData = [this](TObject* s, void* b, Word n) { EcCommReceiveData(s, b, n); };
    EcComm->OnAfterReceiveData = [this](TObject* s, void* b, Word n) { EcCommAfterReceiveData(s, b, n); };
    EcComm->OnGetFinish = [this](TObject* s, Byte c, const String& d) { EcCommGetFinish(s, c, d); };
}

} // namespace brimsel
