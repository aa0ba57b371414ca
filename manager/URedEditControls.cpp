// The main window's controls with the property values of the form and
// their event bindings.
#include "manager/URedEdit.h"

#include "framework/NewControl.h"
#include "framework/StrUtils.h"
#include "grid/interaction/MouseActions.h"
#include "grid/interaction/Navigation.h"
#include "manager/ToolGlyphs.h"
#include "skin/engine/qStoredSkinResources.h"

namespace vantrel {

namespace {

const char* const PageCaptions[ChannelCount] = {"通道一", "通道二", "通道三", "通道四",
                                                "通道五", "通道六", "通道七", "通道八"};
const char* const BaudRates[] = {"1200", "2400", "4800", "9600", "14000", "19200", "38400", "56000", "57600", "115200"};

TMenuItem* AddMenuItem(TPopupMenu* Menu, const String& Caption, TNotifyEvent Handler)
{
    auto* item = new TMenuItem(Menu->Owner());   // freed with the form
    item->Caption = Caption;
    item->OnClick = std::move(Handler);
    Menu->Items()->Add(item);
    return item;
}

} // namespace

TToolButton* TFmMain::AddToolButton(const String& Hint, int ImageIndex, TNotifyEvent Handler)
{
    auto* button = new TToolButton(this);   // freed with the form
    button->SetParent(qToolBar1);
    button->SetHint(Hint);
    button->SetImageIndex(ImageIndex);
    button->OnClick = std::move(Handler);
    return button;
}

void TFmMain::CreateControls()
{
    ImageList1 = new TImageList(this);
    ImageList1->SetSize(24, 24);
    const TColor file = RGBToColor(52, 101, 164), device = RGBToColor(78, 154, 6), edit = RGBToColor(117, 80, 123),
                 history = RGBToColor(193, 125, 17), send = RGBToColor(204, 0, 0), help = RGBToColor(85, 87, 83);
    const char* const glyphs[15] = {"开", "存", "读", "下", "贴", "剪", "复", "删", "重", "撤", "设", "发", "号", "学", "?"};
    const TColor tiles[15] = {file, file, device, device, edit, edit, edit, edit, history, history, help, send, send, send, help};
    AddToolGlyphs(ImageList1, glyphs, tiles, 15);
    CreateToolBar();
    CreateTables();
    CreateLinkControls();
    CreatePopupMenu();

    PnProcess = NewControl<TPanel>(this, this, 188, 280, 400, 44);
    PnProcess->SetBevelOuter(bvRaised);
    PnProcess->SetVisible(false);
    GGProcess = NewControl<TFlatGauge>(this, PnProcess, 10, 10, 380, 24);
    GGProcess->SetMin(0);
    GGProcess->SetMax(100);

    qStatusBar1 = NewControl<TStatusBar>(this, this, 0, 614, 777, 19);
    qStatusBar1->Panels()->Add()->SetWidth(100);

    IdTCPClient = new TTcpClient(this);
    EcpTime = new TEcpTime(this);
    EcComm = new TEcComm(this);
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Filter = "*.pir|*.pir";
    // A typed name without extension is a ".pir" name, so that the
    // dialog's question before replacing a project sees the project's file.
    SaveDialog1->DefaultExt = "pir";
    SaveDialog1->Options |= ofOverwritePrompt;
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter = "*.pir|*.pir";
    qSkinManager1 = new TqSkinManager(this);
    // The skins the program carries, as the form data sets them: a skin of
    // the same name in the skin folder takes a stored skin's place.
    qSkinManager1->BeginLoading();
    AddStoredSkinResource(qSkinManager1->InternalSkins(), "Clearwater", "SKIN_CLEARWATER");
    AddStoredSkinResource(qSkinManager1->InternalSkins(), "Basalt", "SKIN_BASALT");
    qSkinManager1->SetSkinDirectory("c:\\Skins");
    qSkinManager1->SetSkinName("Clearwater");
}

void TFmMain::CreateToolBar()
{
    qToolBar1 = NewControl<TToolBar>(this, this, 0, 0, 777, 37);
    qToolBar1->SetButtonWidth(33);
    qToolBar1->SetButtonHeight(31);
    qToolBar1->SetImages(ImageList1);
    auto bind = [this](void (TFmMain::*Handler)(TObject*)) {
        return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    TbOpen = AddToolButton("打开文件", 0, bind(&TFmMain::BnOpenClick));
    TbSave = AddToolButton("保存文件", 1, bind(&TFmMain::BnSaveClick));
    TbRead = AddToolButton("读取当前通道 ", 2, bind(&TFmMain::BnReadClick));
    TbDown = AddToolButton("下载当前通道  ", 3, bind(&TFmMain::BnDownClick));
    TbPaste = AddToolButton("粘贴", 4, bind(&TFmMain::nbPasteClick));
    TbCut = AddToolButton("剪切", 5, bind(&TFmMain::NCutClick));
    TbCopy = AddToolButton("复制", 6, bind(&TFmMain::nbCopyClick));
    TbDel = AddToolButton("删除", 7, bind(&TFmMain::nbDeleteClick));
    TbReDo = AddToolButton("重做", 8, bind(&TFmMain::TbReDoClick));
    TbUnDo = AddToolButton("撤消", 9, bind(&TFmMain::TbUnDoClick));
    TbSet = AddToolButton("设置", 10, bind(&TFmMain::TbSetClick));
    TbSet->SetVisible(false);
    ToolButton1 = AddToolButton("发送原始码", 11, bind(&TFmMain::nbSendClick));
    tbSendNum = AddToolButton("发送红外号", 12, bind(&TFmMain::tbSendNumClick));
    tbStartRed = AddToolButton(" 进入学习", 13, bind(&TFmMain::tbStartRedClick));
    ToolButton9 = AddToolButton("帮助", 14, bind(&TFmMain::ToolButton9Click));

    qPanel1 = NewControl<TPanel>(this, qToolBar1, 500, 2, 180, 31);
    qPanel1->SetBevelOuter(bvNone);
    qLabel1 = NewControl<TLabel>(this, qPanel1, 4, 9, 60, 14, "发送ID:     ");
    qComboBox1 = NewControl<TqComboBox>(this, qPanel1, 68, 5, 60, 21);
    qComboBox1->SetStyle(csDropDownList);
    qComboBox1->SetDropDownCount(16);
}

void TFmMain::CreateTables()
{
    // The channel pager: one office page per channel, tabs on top, the
    // first channel active.
    RedMems = NewControl<TProOfficePager>(this, this, 0, 38, 777, 496);
    RedMems->TabSettings()->SetStartMargin(4);
    // Every page keeps a tab and page look of its own with the colours of
    // the Office 2007 Luna look, the look the pager paints them with.
    TProOfficePagerOfficeStyler luna(nullptr);
    luna.SetStyle(psOffice2007Luna);
    for (int channel = 0; channel < ChannelCount; ++channel) {
        auto* page = new TProOfficePage(this);
        page->SetCaption(PageCaptions[channel]);
        page->SetTabAppearance(luna.TabAppearance());
        page->SetPageAppearance(luna.PageAppearance());
        page->SetPager(RedMems);
        auto* grid = NewControl<TProStringGrid>(this, page, 0, 0, 769, 482);
        grid->SetAlign(alClient);
        grid->SetFixedRows(0);
        grid->SetFixedCols(0);
        grid->SetColCount(10);
        grid->SetRowCount(20);
        grid->SetDefaultColWidth(33);
        grid->SetDefaultRowHeight(22);
        const int widths[10] = {33, 120, 33, 120, 33, 120, 33, 120, 33, 119};
        for (int col = 0; col < 10; ++col)
            grid->SetColWidths(col, widths[col]);
        grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
        grid->SetScrollBars(ssBoth);
        grid->Font()->SetName("Tahoma");
        grid->Font()->SetHeight(-11);
        grid->ActiveCellFont()->SetName("MS Sans Serif");
        grid->ActiveCellFont()->SetStyle({TFontStyle::fsBold});
        grid->MouseActions()->SelectOnRightClick = true;
        grid->Navigation()->AllowClipboardAlways = true;
        grid->SetWordWrap(false);
        RedMem[static_cast<std::size_t>(channel)] = grid;
    }
    RedMems->SetActivePageIndex(0);

    BnRead = NewControl<TButton>(this, this, 8, 556, 100, 25, "读取当前通道 ");
    BnDown = NewControl<TButton>(this, this, 112, 556, 100, 25, "下载当前通道  ");
    BnSave = NewControl<TButton>(this, this, 216, 556, 100, 25, "保存文件");
    BnOpen = NewControl<TButton>(this, this, 320, 556, 100, 25, "打开文件");
}

void TFmMain::CreateLinkControls()
{
    RadioButton2 = NewControl<TRadioButton>(this, this, 436, 558, 52, 20, "串口");
    RadioButton2->SetChecked(true);
    RadioButton1 = NewControl<TRadioButton>(this, this, 436, 586, 52, 20, "网口");
    CheckBox1 = NewControl<TCheckBox>(this, this, 320, 586, 100, 20, "无校验 ");
    CheckBox1->AllowGrayed = true;

    LbCom = NewControl<TLabel>(this, this, 494, 561, 40, 14, "串口:  ");
    CbCom = NewControl<TComboBox>(this, this, 540, 557, 80, 21);
    CbCom->SetStyle(csDropDown);
    for (int i = 1; i <= 8; ++i)
        CbCom->Items()->Add("Com" + IntToStr(i));
    CbCom->SetItemIndex(0);
    LbBand = NewControl<TLabel>(this, this, 628, 561, 48, 14, "波特率:  ");
    CbBand = NewControl<TComboBox>(this, this, 682, 557, 88, 21);
    CbBand->SetStyle(csDropDownList);
    CbBand->SetDropDownCount(10);
    for (const char* rate : BaudRates)
        CbBand->Items()->Add(rate);
    CbBand->SetItemIndex(3);   // "9600"

    LbHost = NewControl<TLabel>(this, this, 494, 589, 40, 14, "IP:  ");
    EtServerHost = NewControl<TEdit>(this, this, 540, 585, 120, 21);
    EtServerHost->SetText("192.168.1.145");
    LbPort = NewControl<TLabel>(this, this, 668, 589, 40, 14, "Port:  ");
    EtServerPort = NewControl<TEdit>(this, this, 710, 585, 60, 21);
    EtServerPort->SetText("6000");
}

void TFmMain::CreatePopupMenu()
{
    PopupMenu1 = new TPopupMenu(this);
    auto bind = [this](void (TFmMain::*Handler)(TObject*)) {
        return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
    };
    nbCopy = AddMenuItem(PopupMenu1, "复制", bind(&TFmMain::nbCopyClick));
    nbPaste = AddMenuItem(PopupMenu1, "粘贴", bind(&TFmMain::nbPasteClick));
    nbDelete = AddMenuItem(PopupMenu1, "删除", bind(&TFmMain::nbDeleteClick));
    NCut = AddMenuItem(PopupMenu1, "剪切", bind(&TFmMain::NCutClick));
    N1 = AddMenuItem(PopupMenu1, "编辑", bind(&TFmMain::N1Click));
    nbStartRed = AddMenuItem(PopupMenu1, "进入学习", bind(&TFmMain::tbStartRedClick));
    nbSend = AddMenuItem(PopupMenu1, "发送原始码", bind(&TFmMain::nbSendClick));
    nbSendNum = AddMenuItem(PopupMenu1, "发送红外码", bind(&TFmMain::tbSendNumClick));
    PopupMenu1->OnPopup = [this](TObject* Sender) { PopupMenu1Popup(Sender); };
}

void TFmMain::BindEvents()
{
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    BnRead->OnClick = [this](TObject* Sender) { BnReadClick(Sender); };
    BnDown->OnClick = [this](TObject* Sender) { BnDownClick(Sender); };
    BnSave->OnClick = [this](TObject* Sender) { BnSaveClick(Sender); };
    BnOpen->OnClick = [this](TObject* Sender) { BnOpenClick(Sender); };
    RadioButton1->OnClick = [this](TObject* Sender) { RadioButton1Click(Sender); };
    RadioButton2->OnClick = [this](TObject* Sender) { RadioButton1Click(Sender); };
    CheckBox1->OnClick = [this](TObject* Sender) { CheckBox1Click(Sender); };
    EcComm->OnAfterReceiveData = [this](TObject* Sender, void* Buffer, Word Length) {
        EcCommAfterReceiveData(Sender, Buffer, Length);
    };
    EcComm->OnGetFinish = [this](TObject* Sender, Byte Command, const String& Data) {
        EcCommGetFinish(Sender, Command, Data);
    };
    for (TProStringGrid* grid : RedMem) {
        grid->SetPopupMenu(PopupMenu1);
        grid->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { RedMem1KeyDown(Sender, Key, Shift); };
        // A double click names the cell under the mouse: the place of its
        // press (outside the cells: -1, which does nothing).
        grid->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int X, int Y) { FLastMouse = {X, Y}; };
        grid->OnDblClick = [this, grid](TObject*) {
            int col = -1;
            int row = -1;
            grid->MouseToCell(FLastMouse.x, FLastMouse.y, col, row);
            RedMem1DblClickCell(grid, row, col);
        };
    }
}

} // namespace vantrel
