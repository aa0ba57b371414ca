// The main window's creation and end: settings in Configure.ini, the run
// folder of the undo snapshots, the worker, the status bar, and the small
// handlers that start other things.
#include "manager/URedEdit.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/IniFile.h"
#include "framework/StrUtils.h"
#include "manager/UAbout.h"

namespace vantrel {

TFmMain* FmMain = nullptr;

const char* const UndoUnavailableStatus = "无法创建撤消文件夹，撤消不可用！";

namespace {

const char* const Section = "Vantrel";

// The item of a list equal to Text without regard to case; -1 when none is.
int IndexOfText(TStrings* Items, const String& Text)
{
    for (int i = 0; i < Items->Count(); ++i)
        if (SameText(Items->Strings(i), Text))
            return i;
    return -1;
}

} // namespace

TFmMain::TFmMain(TComponent* AOwner) : TForm(AOwner)
{
    FmMain = this;
    SetCaption("Vantrel");
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientSize(777, 633);
    Position = poScreenCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    SetShowHint(true);
    CreateControls();
    BindEvents();
    BeginLoading();
    EndLoading();
}

TFmMain::~TFmMain()
{
    // OnDestroy (FormDestroy) runs while the whole window is still alive.
    DestroyForm();
    if (FmMain == this)
        FmMain = nullptr;
}

// ---- settings -----------------------------------------------------------------

String TFmMain::SettingsFileName() { return Application->ExePath() + "Configure.ini"; }

String TFmMain::ReadConfig(const String& SectionName, const String& Key, const String& Default)
{
    const TIniFile ini(SettingsFileName());
    return ini.ReadBoundedString(SectionName, Key, Default);
}

void TFmMain::ApplySettings()
{
    // A temporary file that a save killed at the last end left behind goes.
    TIniFile(SettingsFileName()).RemoveStaleTemporary();
    EtServerHost->SetText(ReadConfig(Section, "IP", "192.168.1.145"));
    EtServerPort->SetText(ReadConfig(Section, "Port", "6000"));
    CbCom->SetItemIndex(IndexOfText(CbCom->Items(), ReadConfig(Section, "Com", "Com1")));
    CbBand->SetItemIndex(IndexOfText(CbBand->Items(), ReadConfig(Section, "Band", "38400")));

    const bool network = ReadConfig(Section, "ComSel", "True") == "True";
    RadioButton1->SetChecked(network);
    RadioButton2->SetChecked(!network);
    RadioButton1Click(this);

    qComboBox1->Clear();
    for (unsigned id = 0; id <= 0xFF; ++id)
        qComboBox1->Items()->Add(IntToHex(id, 2));
    qComboBox1->SetItemIndex(0);
    qComboBox1->SetItemIndex(qComboBox1->IndexOf(ReadConfig(Section, "ID", "FE")));
}

void TFmMain::WriteSettings()
{
    // All keys go into the file in one write.
    TIniFile ini(SettingsFileName());
    ini.BeginUpdate();
    ini.WriteString(Section, "IP", EtServerHost->Text());
    ini.WriteString(Section, "Port", EtServerPort->Text());
    ini.WriteString(Section, "ID", qComboBox1->Text());
    ini.WriteString(Section, "Com", CbCom->Text());
    ini.WriteString(Section, "Band", CbBand->Text());
    ini.WriteString(Section, "ComSel", RadioButton1->Checked() ? "True" : "False");
    ini.EndUpdate();
}

// ---- creation and end ---------------------------------------------------------

void TFmMain::FormCreate(TObject*)
{
    ApplySettings();
    for (TProStringGrid* grid : RedMem)
        InitSlotGrid(grid);
    FClipCodes = std::make_unique<TStringList>();
    FClipNames = std::make_unique<TStringList>();
    FRunFolder.Choose(Application->ExePath());
    for (int channel = 0; channel < ChannelCount; ++channel)
        TakeSnapshot(channel);
    if (FRunFolder.Unavailable())
        ShowStatus(UndoUnavailableStatus);
    EcComm->CreateParser();
    SetChannelHost(this);
    FWorker = TThread::New<TStmLoad>();
}

void TFmMain::FormCloseQuery(TObject*, bool& CanClose)
{
    // A device operation ends first (its waits are bounded); the window
    // then closes by itself.
    if (FOperationRunning) {
        FCloseWhenIdle = true;
        CanClose = false;
    }
}

void TFmMain::FormDestroy(TObject*)
{
    FClipCodes.reset();
    FClipNames.reset();
    FRunFolder.Remove();
    // Settings that cannot be written (a read-only folder, a locked file)
    // are reported and never keep the program from ending.
    try {
        WriteSettings();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    // The worker ends with the window: a job still running is cancelled
    // and the port closed.
    if (FWorker)
        FWorker->Stop();
    FWorker.reset();
    EcComm->ClosePort();
    SetChannelHost(nullptr);
}

void TFmMain::ShowStatus(const String& Text) { qStatusBar1->Panels()->Items(0)->SetText(Text); }

void TFmMain::TbSetClick(TObject*)
{
    const WideString program = StrToWide(Application->ExePath() + "Brimsel.exe");
    ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TFmMain::ToolButton9Click(TObject*)
{
    if (FmAbout != nullptr)
        FmAbout->ShowModal();
}

} // namespace vantrel
