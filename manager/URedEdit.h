#pragma once
// Vantrel's main window: the tool bar, the eight channel tables on the
// channel pager, the transport controls, the progress panel and the status
// bar; the settings in Configure.ini; the per-run folder of the undo
// snapshots; and the device operations (read, download, send raw, send
// number, learn) over the serial port or TCP. The window is the device
// link's host (TChannelHost).
//
// The parts by subject: URedEdit.cpp (creation, settings, run folder, end),
// URedEditControls.cpp (the controls and their bindings), URedEditTables.cpp
// (the channel tables and the slot model), URedEditDevice.cpp (transport,
// parity and the device operations), URedEditProject.cpp (project files),
// UGridOpt.cpp (the slot clipboard and the undo snapshots).

#include <array>
#include <memory>

#include "device/EcComm.h"
#include "device/UEcpTime.h"
#include "device/channel/ChannelHost.h"
#include "device/channel/UStmLoad.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/FileDialogs.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/Label.h"
#include "framework/Menus.h"
#include "framework/Panel.h"
#include "framework/RadioButton.h"
#include "framework/StatusBar.h"
#include "framework/StringList.h"
#include "framework/TcpClient.h"
#include "framework/ToolBar.h"
#include "grid/core/ProGrid.h"
#include "office/ProOfficePage.h"
#include "office/ProOfficePager.h"
#include "manager/ProjectCodec.h"
#include "manager/RunFolder.h"
#include "manager/UGridOpt.h"
#include "office/FlatGauge.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qComboBox.h"

namespace vantrel {

// The status shown when no folder for the undo snapshots could be made.
extern const char* const UndoUnavailableStatus;

class TFmMain : public TForm, public TChannelHost {
public:
    explicit TFmMain(TComponent* AOwner);
    ~TFmMain() override;

    // ---- settings (Configure.ini beside the program, section "Vantrel")
    static String SettingsFileName();
    // A value too long to be a setting gives Default.
    static String ReadConfig(const String& Section, const String& Key, const String& Default);

    void ShowStatus(const String& Text) override;

    // ---- channel tables and slot model
    TProStringGrid* ChannelGrid(int Channel) const;
    void InitSlotGrid(TProStringGrid* Grid);
    // The check box and number colour of a slot's number cell: checked and
    // red when it holds a code, unchecked and black otherwise.
    void ShowSlotState(TProStringGrid* Grid, int Slot, bool Stored);
    // The slot of the top-left cell of the current table's selection.
    int CurrentSlot() const;
    const String& Code(int Channel, int Slot) const;
    void SetCode(int Channel, int Slot, const String& Record);
    // The name cell's text of a slot.
    String SlotName(int Channel, int Slot) const;
    // Writes a slot's name cell, cut to what a snapshot can keep.
    void SetSlotName(int Channel, int Slot, const String& Name);
    // A channel's records and names, and replacing them all (with the
    // slots' check boxes and number colours).
    TChannelImage ChannelImage(int Channel) const;
    void ShowChannelImage(int Channel, const TChannelImage& Image);

    // ---- project files: Name.ir (records) and Name.pir (names)
    // Both files are written beside the old ones and replace them only
    // when both are complete; true, or an exception.
    bool SaveRedMemXml(const String& FileName, int Channel);
    // Reads and checks both files, then replaces the channel and names the
    // opened file in the status bar; false for a channel above 7. A project
    // that cannot be opened raises and leaves the channel as it was.
    bool LoadRedMemXml(const String& FileName, int Channel);
    // Where the file dialogs start: the folder of the project last opened
    // or saved, else the program's folder.
    String ProjectFolder() const;

    // ---- slot clipboard (the current table's selection) and undo snapshots
    void CopySlots();
    void PasteSlots();
    void DeleteSlots();
    int ClipWidth() const { return FClipWidth; }
    int ClipHeight() const { return FClipHeight; }
    // Saves the channel as the newest state of its undo ring.
    void TakeSnapshot(int Channel);
    void UndoChannel(int Channel);
    void RedoChannel(int Channel);
    void SaveSnapshot(const String& FileName, int Channel);
    bool LoadSnapshot(const String& FileName, int Channel);
    String SnapshotPath(int Channel, int Index) const;
    const TUndoHistory& UndoHistory() const { return FUndo; }
    const TRunFolder& RunFolder() const { return FRunFolder; }

    // ---- state of device operations
    // A device operation is running: the other operations, the transport
    // and the port settings are refused until it ends.
    bool OperationRunning() const { return FOperationRunning; }

    // ---- TChannelHost
    TEcComm& SerialLink() override { return *EcComm; }
    TTcpClient& TcpClient() override { return *IdTCPClient; }
    TEcpTime& TcpParser() override { return *EcpTime; }
    String ServerHost() override;
    String ServerPort() override;
    String PortName() override;
    String BaudText() override;
    TParityState ParityState() override;
    int SendIdIndex() override;
    int ActiveChannel() override;
    String CodeRecord(int Channel, int Slot) override;
    void ShowProgress(bool Visible) override;
    void SetProgress(int Value) override;
    void ProcessMessages() override;

    TStmLoad* Worker() const { return FWorker.get(); }

    // ---- event handlers
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void BnReadClick(TObject* Sender);
    void BnDownClick(TObject* Sender);
    void BnOpenClick(TObject* Sender);
    void BnSaveClick(TObject* Sender);
    void nbSendClick(TObject* Sender);
    void tbSendNumClick(TObject* Sender);
    void tbStartRedClick(TObject* Sender);
    void nbCopyClick(TObject* Sender);
    void nbPasteClick(TObject* Sender);
    void nbDeleteClick(TObject* Sender);
    void NCutClick(TObject* Sender);
    void N1Click(TObject* Sender);
    // The code editor's Test: stores the edited record into the current slot
    // and sends it as the send-raw operation does.
    void TestEditedCode();
    void TbReDoClick(TObject* Sender);
    void TbUnDoClick(TObject* Sender);
    void TbSetClick(TObject* Sender);
    void ToolButton9Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void EcCommAfterReceiveData(TObject* Sender, void* Buffer, Word BufferLength);
    void EcCommGetFinish(TObject* Sender, Byte Command, const String& SData);
    void RedMem1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void RedMem1DblClickCell(TObject* Sender, int ARow, int ACol);
    void PopupMenu1Popup(TObject* Sender);

    // ---- components
    TImageList* ImageList1;
    TToolBar* qToolBar1;
    TToolButton* TbOpen;
    TToolButton* TbSave;
    TToolButton* TbRead;
    TToolButton* TbDown;
    TToolButton* TbPaste;
    TToolButton* TbCut;
    TToolButton* TbCopy;
    TToolButton* TbDel;
    TToolButton* TbReDo;
    TToolButton* TbUnDo;
    TToolButton* TbSet;
    TToolButton* ToolButton1;
    TToolButton* tbSendNum;
    TToolButton* tbStartRed;
    TToolButton* ToolButton9;
    TPanel* qPanel1;
    TLabel* qLabel1;
    TqComboBox* qComboBox1;
    TProOfficePager* RedMems;
    std::array<TProStringGrid*, ChannelCount> RedMem{};   // RedMem1 ... RedMem8
    TButton* BnRead;
    TButton* BnDown;
    TButton* BnSave;
    TButton* BnOpen;
    TRadioButton* RadioButton2;
    TRadioButton* RadioButton1;
    TCheckBox* CheckBox1;
    TLabel* LbCom;
    TComboBox* CbCom;
    TLabel* LbBand;
    TComboBox* CbBand;
    TLabel* LbHost;
    TEdit* EtServerHost;
    TLabel* LbPort;
    TEdit* EtServerPort;
    TPanel* PnProcess;
    TFlatGauge* GGProcess;
    TStatusBar* qStatusBar1;
    TPopupMenu* PopupMenu1;
    TMenuItem* nbCopy;
    TMenuItem* nbPaste;
    TMenuItem* nbDelete;
    TMenuItem* NCut;
    TMenuItem* N1;
    TMenuItem* nbStartRed;
    TMenuItem* nbSend;
    TMenuItem* nbSendNum;
    TTcpClient* IdTCPClient;
    TEcpTime* EcpTime;
    TEcComm* EcComm;
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;
    TqSkinManager* qSkinManager1;

private:
    void CreateControls();
    void CreateToolBar();
    void CreateTables();
    void CreateLinkControls();
    void CreatePopupMenu();
    void BindEvents();
    void ApplySettings();
    void WriteSettings();
    TToolButton* AddToolButton(const String& Hint, int ImageIndex, TNotifyEvent Handler);

    // Device operations: one at a time. Begin claims the window (false while
    // another runs), disables every operation and the link settings; End
    // gives it back and closes the window when a close waited for it.
    class TOperation;
    bool BeginOperation();
    void EndOperation();
    void UpdateOperationControls();
    bool SerialSelected() const;
    // True over the serial port; over TCP, whether the server address is
    // usable (an empty or malformed one is refused with a message before
    // anything is sent).
    bool ServerAddressChecked();
    // Opens the port and runs a serial job to its end; its result.
    bool RunSerialJob(Byte Kind, Byte Slot, const String& Frame, const char* StartedStatus);
    // Why the last operation on the chosen transport failed, when it says
    // more than its plain failure status (empty otherwise).
    String FailureText() const;
    // Shows the operation's own failure text when it has one, else Failed.
    void ShowOutcome(bool Success, const char* Succeeded, const char* Failed, const String& FailureText);
    void SendSlotRequest(Byte Command, const char* StartedStatus, const char* RangeStatus);
    void SelectTopLeftCell();
    // The run folder holds the snapshot file of a channel's ring index.
    bool SnapshotExists(int Channel, int Index) const;

    std::unique_ptr<TStmLoad> FWorker;
    // Slot clipboard: width and height of the last copy (0 before the
    // first, -1 after a copy without selection), codes and names.
    int FClipWidth = 0;
    int FClipHeight = 0;
    std::unique_ptr<TStringList> FClipCodes;
    std::unique_ptr<TStringList> FClipNames;
    // The code table: record of channel c, slot s at c * 100 + s.
    std::array<String, ChannelCount * SlotCount> FCodes;
    TRunFolder FRunFolder;
    TUndoHistory FUndo;

    String FProjectFolder;   // of the project last opened or saved; empty before the first
    POINT FLastMouse{-1, -1};   // where the mouse was last pressed in a table
    bool FOperationRunning = false;
    bool FCloseWhenIdle = false;
};

extern TFmMain* FmMain;

// Program start after the forms exist: registers the project file type
// unless it already points at this program (UAccessIco), then opens a
// project named on the command line.
void EnsureFileAssociation();
// When the first command-line argument names an existing file with the
// extension ".pir" (any case), loads it into the first channel; a project
// that cannot be opened is reported and the program runs on.
void OpenStartupProject();
// The same for a given command line (the program's own name first).
void OpenStartupProject(const WideString& CommandLine);

} // namespace vantrel
