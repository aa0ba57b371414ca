#pragma once
// Brimsel's main window: the parameters of the six slave ports and the host
// port, the receive switches, the link to the device with its baud-rate
// probe, the module ID, the set and get commands, settings files, the
// function-test window, starting the infrared-code manager, and the
// network device set-up.

#include <memory>

#include "device/EcComm.h"
#include "device/UEcpTime.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/FileDialogs.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/RadioButton.h"
#include "framework/TcpClient.h"
#include "framework/ValueListEditor.h"
#include "skin/engine/qSkinManager.h"
#include "skin/toolcontrols/qCheckBox.h"

namespace brimsel {

class TStmLoad;

class TFmKX40 : public TForm {
public:
    explicit TFmKX40(TComponent* AOwner);
    ~TFmKX40() override;

    // The controls of one port, A to F (0 to 5) and the host port (6).
    struct TPortControls {
        TComboBox* Baud;
        TCheckBox* Parity;
        TComboBox* TimeOut;   // the host port: its send interval
    };
    TPortControls PortControls(int Port) const;

    // Parameter commands over the chosen link (serial or TCP).
    bool SendParams(const String& BaudText, Byte ParityCode);
    bool SendSwitches(const String& BaudText, Byte ParityCode);
    bool ReadParams(const String& BaudText, Byte ParityCode);
    String BuildParamData();
    // The module ID shown in MO_ID as the serial request address (its list
    // position + 1); false when its text names no entry of the list.
    bool ModuleAddress(Byte& Address) const;
    String BuildSwitchData();
    // Shows a 17-byte answer in the controls.
    void ShowParams(const String& Block);
    static void ShowPortByte(Byte PortByte, TComboBox* Baud, TCheckBox* Parity);
    static void ShowSwitchByte(Byte SwitchByte, TCheckBox* Switch);

    // True while a device command runs; the device commands are refused then.
    bool Busy() const { return FBusy; }
    // True while a device command runs over the serial link.
    bool SerialBusy() const { return FBusy && FCommandSerial; }
    TStmLoad* Worker() const { return FWorker.get(); }

    // Event handlers.
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    void CheckBox9Click(TObject* Sender);
    void CheckBox5Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void EcCommReceiveData(TObject* Sender, void* Buffer, Word BufferLength);
    void EcCommAfterReceiveData(TObject* Sender, void* Buffer, Word BufferLength);
    void EcCommGetFinish(TObject* Sender, Byte Command, const String& SData);
    // The network device set-up: search, read, write.
    void Button4Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button9Click(TObject* Sender);

    // Port groups A to F and host, in this order.
    TGroupBox* GroupBox1;   // "接口参数设置"
    TGroupBox* PortGroups[7];
    TComboBox *ComboBox13, *ComboBox4, *ComboBox8, *ComboBox10, *ComboBox16, *ComboBox19, *ComboBox12;
    TCheckBox *CheckBox9, *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox10, *CheckBox11, *CheckBox4;
    TComboBox *ComboBox1, *ComboBox7, *ComboBox9, *ComboBox11, *ComboBox2, *ComboBox3, *ComboBox5;
    TButton *Button5, *Button6, *Button7, *Button1, *Button2, *Button8;
    TComboBox* MO_ID;

    TGroupBox* GroupBox3;   // "从控接口开关设置"
    TCheckBox *CheckBox5, *CheckBox6, *CheckBox7;
    TButton* Button3;

    TGroupBox* GroupBox4;   // "下载设置"
    TComboBox* ComboBox6;
    TComboBox* ComboBox14;
    TqCheckBox* CheckBox8;
    TButton* Button11;
    TEdit* EtServerHost;
    TEdit* EtServerPort;
    TRadioButton *RadioButton1, *RadioButton2;

    TGroupBox* GroupBox5;   // "网络设置"
    TComboBox* ComboBox15;
    TButton* Button10;
    TValueListEditor* ValueListEditor1;
    TButton* Button4;
    TButton* Button9;

    TEcpTime* EcpTime;
    TEcComm* EcComm;
    TTcpClient* IdTCPClient;
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;
    TqSkinManager* qSkinManager1;

private:
    void CreateControls();
    void CreatePortGroup(int Port, int Left, int Top);
    void CreateSwitchGroup();
    void CreateDownloadGroup();
    void CreateNetworkGroup();
    void BindEvents();
    void BlankServerValues();

    // Runs a device command with the other device commands held off, and
    // closes the serial link at its end whatever happened.
    template <class F>
    void RunDeviceCommand(F Command);
    void SetCommandButtonsEnabled(bool Value);
    // The download controls' parity code and baud text (first entry when
    // there is no selection).
    Byte LinkParityCode() const;
    String LinkBaudText();
    // Runs one serial job on the worker and waits for it, also for a worker
    // that is still finishing, so the next job never starts under it.
    bool RunSerialJob(Byte Kind, const String& Data, int Polls);
    // ModuleAddress, with "设置参数非法！" shown when it fails.
    bool CheckModuleId();
    void ReopenLink(const String& BaudText, Byte ParityCode);
    String SettingsFileName() const;
    // The chosen name with its extension replaced by ".ini", also in the dialog.
    static String WithIniExtension(TOpenDialog* Dialog);

    std::unique_ptr<TStmLoad> FWorker;
    bool FBusy = false;
    bool FCommandSerial = false;   // the running command was started with "串口" chosen
    bool FCloseWhenIdle = false;
};

// The main window of the running program.
extern TFmKX40* FmKX40;

} // namespace brimsel
