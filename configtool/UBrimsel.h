#pragma once
// The function-test window: sends hand-made test frames (data forwarding,
// version read, infrared send, module ID change) over the main window's
// serial link or its own TCP connection, echoes each frame it sends as
// hexadecimal text and shows every received byte the same way.

#include "device/UEcpTime.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Memo.h"
#include "framework/RadioButton.h"
#include "framework/TcpClient.h"
#include "framework/Timer.h"

namespace brimsel {

// Each byte as two upper-case hexadecimal digits followed by a blank.
String BytesToHexText(const String& Bytes);

class TFmSim : public TForm {
public:
    explicit TFmSim(TComponent* AOwner);
    ~TFmSim() override;

    void SetCmdLayout(const String& Command);
    // The data bytes of EtData, or a message saying why there are none.
    void GetData(String& Message, String& Data);
    // The frame of the current command; empty when there is nothing to send.
    String GetCmd();
    void SendStr(const String& Frame);
    // The serial link is chosen and open ("关闭" enabled).
    bool HoldsSerialLink() const;
    // Appends a line of received bytes to Memo1.
    void ShowReceived(const String& Bytes);

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void CbCMDChange(TObject* Sender);
    void BnOpenClick(TObject* Sender);
    void BnCloseClick(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void CheckBox1Click(TObject* Sender);

    TComboBox* CbID;
    TComboBox* CbCMD;
    TLabel* LbPort;
    TComboBox* CbPort;
    TLabel* LbCBData;
    TComboBox* CbData;
    TLabel* LbEtData;
    TEdit* EtData;
    TLabel* Label3;
    TComboBox* ComboBox1;
    TMemo* Memo1;
    TMemo* Memo2;
    TButton* Button1;
    TButton* BnOpen;
    TButton* BnClose;
    TGroupBox* GroupBox2;
    TComboBox* ComboBox6;
    TComboBox* ComboBox14;
    TEdit* EtServerHost;
    TEdit* EtServerPort;
    TRadioButton* RadioButton1;
    TRadioButton* RadioButton2;
    TCheckBox* CheckBox1;
    TTcpClient* IdTCPClient;
    TTimer* Timer1;

private:
    void CreateControls();
    void SetLinkControlsEnabled(bool Open);
    static void FillHex(TComboBox* Box, int First, int Last);
    // TCP bytes: gathered while a frame has begun and is not complete (a
    // device server may pass a reply on in pieces), then shown as one line;
    // bytes that begin no frame are shown at once.
    void TakeReceived(const String& Bytes);
    void FlushReceived();

    bool FTimerReading = false;   // a timer read is in progress
    TEcpTime* FReplyParser;       // finds where a TCP reply ends
    String FPending;              // TCP bytes of a reply not yet complete
    Cardinal FPendingSince = 0;   // tick of the first of them
};

extern TFmSim* FmSim;

} // namespace brimsel
