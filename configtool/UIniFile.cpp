#include "configtool/UIniFile.h"

#include "configtool/UBrimsel.h"
#include "configtool/UKx40Set.h"
#include "framework/IniFile.h"
#include "framework/StrUtils.h"

namespace brimsel {

namespace {

const char* const PortSections[] = {"Com1", "Com2", "Com3", "Com4", "Com5", "Com6", "ComHost"};
const String SerialChoice = "串口";
const String NetChoice = "网口";
const String NoParity = "无校验";
const String ReceiveOn = "接收开启";
const String ReceiveOff = "接收关闭";

// Selects the entry of that text (letter case ignored); a text that is not
// in the list leaves no selection and an empty box.
void SelectEntry(TCustomComboBox* Box, const String& Text)
{
    TStrings* items = Box->Items();
    int found = -1;
    for (int i = 0; i < items->Count() && found < 0; ++i)
        if (SameText(items->Strings(i), Text))
            found = i;
    Box->SetItemIndex(found);
}

// Caption first, then the state the caption names; setting the state runs
// the box's click handler, whose caption rule agrees.
void ShowParity(TCustomCheckBox* Box, const String& Value)
{
    Box->SetCaption(Value);
    if (Value == "奇校验") {
        Box->SetState(cbGrayed);
    } else if (Value == "偶校验") {
        Box->SetState(cbChecked);
    } else {
        Box->SetState(cbUnchecked);
        Box->SetCaption(NoParity);
    }
}

void ShowSwitch(TCheckBox* Box, const String& Value)
{
    Box->SetChecked(Value == ReceiveOn);
    Box->SetCaption(Box->Checked() ? ReceiveOn : ReceiveOff);
}

} // namespace

void SaveIniFile(const String& FileName)
{
    TIniFile ini(FileName);
    TFmKX40& main = *FmKX40;
    TFmSim& sim = *FmSim;
    // All keys go into the file in one write.
    ini.BeginUpdate();
    for (int port = 0; port < 7; ++port) {
        const TFmKX40::TPortControls c = main.PortControls(port);
        ini.WriteString(PortSections[port], "band", c.Baud->Text());
        ini.WriteString(PortSections[port], "FramInv", c.TimeOut->Text());
        ini.WriteString(PortSections[port], "Check", c.Parity->Caption());
    }
    ini.WriteString("Dowload", "SelPort", main.RadioButton1->Checked() ? SerialChoice : NetChoice);
    ini.WriteString("Dowload", "SerBand", main.ComboBox14->Text());
    ini.WriteString("Dowload", "Usart", main.ComboBox6->Text());
    ini.WriteString("Dowload", "NetIP", main.EtServerHost->Text());
    ini.WriteString("Dowload", "NetPort", main.EtServerPort->Text());
    ini.WriteString("OnOFF", "Com1~4", main.CheckBox5->Caption());
    ini.WriteString("OnOFF", "Com5", main.CheckBox6->Caption());
    ini.WriteString("OnOFF", "Com6", main.CheckBox7->Caption());
    ini.WriteString("SimForm", "Id", sim.CbID->Text());
    ini.WriteString("SimForm", "Cmd", sim.CbCMD->Text());
    ini.WriteString("SimForm", "SelPort", sim.RadioButton1->Checked() ? SerialChoice : NetChoice);
    ini.WriteString("SimForm", "SerBand", sim.ComboBox14->Text());
    ini.WriteString("SimForm", "Usart", sim.ComboBox6->Text());
    ini.WriteString("SimForm", "NetIP", sim.EtServerHost->Text());
    ini.WriteString("SimForm", "NetPort", sim.EtServerPort->Text());
    ini.WriteString("Dowload", "Check", main.CheckBox8->Caption());
    ini.EndUpdate();
}

void LoadIniFile(const String& FileName)
{
    const TIniFile ini(FileName);
    TFmKX40& main = *FmKX40;
    TFmSim& sim = *FmSim;
    for (int port = 0; port < 7; ++port) {
        const TFmKX40::TPortControls c = main.PortControls(port);
        SelectEntry(c.Baud, ini.ReadBoundedString(PortSections[port], "band", "9600"));
        SelectEntry(c.TimeOut, ini.ReadBoundedString(PortSections[port], "FramInv", "20"));
        ShowParity(c.Parity, ini.ReadBoundedString(PortSections[port], "Check", NoParity));
    }
    ShowParity(main.CheckBox8, ini.ReadBoundedString("Dowload", "Check", NoParity));

    const bool serial = ini.ReadBoundedString("Dowload", "SelPort", SerialChoice) == SerialChoice;
    main.RadioButton1->SetChecked(serial);
    main.RadioButton2->SetChecked(!serial);
    main.RadioButton1Click(main.RadioButton1);
    main.EtServerHost->SetText(ini.ReadBoundedString("Dowload", "NetIP", "192.168.1.100"));
    main.EtServerPort->SetText(ini.ReadBoundedString("Dowload", "NetPort", "5000"));
    SelectEntry(main.ComboBox6, ini.ReadBoundedString("Dowload", "Usart", "Com1"));
    SelectEntry(main.ComboBox14, ini.ReadBoundedString("Dowload", "SerBand", "9600"));

    ShowSwitch(main.CheckBox5, ini.ReadBoundedString("OnOFF", "Com1~4", ReceiveOff));
    ShowSwitch(main.CheckBox6, ini.ReadBoundedString("OnOFF", "Com5", ReceiveOff));
    ShowSwitch(main.CheckBox7, ini.ReadBoundedString("OnOFF", "Com6", ReceiveOff));

    SelectEntry(sim.CbID, ini.ReadBoundedString("SimForm", "Id", "FE"));
    SelectEntry(sim.CbCMD, ini.ReadBoundedString("SimForm", "Cmd", "数据转发"));
    const bool simSerial = ini.ReadBoundedString("SimForm", "SelPort", SerialChoice) == SerialChoice;
    sim.RadioButton1->SetChecked(simSerial);
    sim.RadioButton2->SetChecked(!simSerial);
    sim.EtServerHost->SetText(ini.ReadBoundedString("SimForm", "NetIP", "192.168.1.100"));
    sim.EtServerPort->SetText(ini.ReadBoundedString("SimForm", "NetPort", "5000"));
    SelectEntry(sim.ComboBox6, ini.ReadBoundedString("SimForm", "Usart", "Com1"));
    SelectEntry(sim.ComboBox14, ini.ReadBoundedString("SimForm", "SerBand", "9600"));
}

void SplitText(const String& Text, TStrings* List, char Separator)
{
    String work = Text + Separator;
    // Parts are counted in 16 bits, as the original positions were.
    for (int parts = 0; parts < 65535; ++parts) {
        const auto at = work.find(Separator);
        if (at == String::npos)
            break;
        // Blanks and control characters are trimmed from both ends.
        const String part = Trim(work.substr(0, at));
        if (!part.empty())
            List->Add(part);
        work.erase(0, at + 1);
    }
}

bool IsHexText(const String& Text)
{
    if (Text.empty())
        return false;
    for (char c : Text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace brimsel
