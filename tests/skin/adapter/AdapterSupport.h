#pragma once
// A test form holding one of every standard control of the framework (and a
// few system controls the framework has no class for), skinned by a form
// provider with one of the shipped skins, and what the control adapter tests
// read back: the subclass each window carries, pictures of each control
// through WM_PRINT and from the screen.

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "../../support/GuiHarness.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Memo.h"
#include "framework/Panel.h"
#include "framework/RadioButton.h"
#include "framework/ToolBar.h"
#include "grid/core/ProGrid.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qSkinManager.h"
#include "skin/windows/qCtrlAdapter.h"
#include "skin/windows/qSkinProvider.h"
#include "skin/windows/zqMainWnd.h"

namespace adaptertest {

// The kit's output folder of this build tree, as Wine reaches it (drive Z:).
inline String SkinsFolder()
{
    String path = "Z:" + String(SKIN_OUTPUT_DIR);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + "\\";
}

inline std::unique_ptr<TqSkinManager> ShippedManager(const String& Skin)
{
    auto manager = std::make_unique<TqSkinManager>(nullptr);
    manager->SetSkinDirectory(SkinsFolder());
    manager->SetSkinName(Skin);
    return manager;
}

inline const std::vector<String>& ShippedSkins()
{
    static const std::vector<String> names{"Basalt", "Clearwater", "Terracotta"};
    return names;
}

// A Windows path of build/screenshots/Name.
inline std::string ScreenshotPath(const std::string& Name)
{
    std::string path = "Z:" + std::string(SKIN_OUTPUT_DIR) + "/../../screenshots/";
    CreateDirectoryA(path.c_str(), nullptr);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + Name;
}

// The subclass object a window carries, nullptr for none.
inline TzqMainWnd* SubclassOf(HWND Wnd)
{
    return GetSubclassObject(Wnd);
}
inline TzqMainWnd* SubclassOf(TWinControl* Control)
{
    return Control->HandleAllocated() ? GetSubclassObject(Control->Handle()) : nullptr;
}

// The exact class of a window's subclass ("none" without one).
inline std::string SubclassClass(HWND Wnd)
{
    TzqMainWnd* object = SubclassOf(Wnd);
    return object == nullptr ? std::string("none") : std::string(object->ClassName().c_str());
}

// The window's picture through WM_PRINT into a 24-bit bitmap of its size,
// first filled with magenta.
inline std::unique_ptr<TBitmap> Print(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    auto bmp = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, TPixelFormat::pf24bit);
    const HDC dc = bmp->Canvas()->Handle();
    RECT all{0, 0, bmp->Width(), bmp->Height()};
    const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    return bmp;
}

// The window as the screen shows it, frame included.
inline std::unique_ptr<TBitmap> ScreenOf(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    auto bitmap = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, TPixelFormat::pf24bit);
    const HDC screen = GetDC(nullptr);
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The number of pixels in which two pictures of one size differ; -1 when
// their sizes differ.
inline int PixelsDiffering(TBitmap* A, TBitmap* B)
{
    if (A->Width() != B->Width() || A->Height() != B->Height())
        return -1;
    int n = 0;
    for (int y = 0; y < A->Height(); ++y) {
        const auto* a = static_cast<const Byte*>(A->ScanLine(y));
        const auto* b = static_cast<const Byte*>(B->ScanLine(y));
        for (int x = 0; x < A->Width(); ++x)
            n += std::memcmp(a + 3 * x, b + 3 * x, 3) != 0 ? 1 : 0;
    }
    return n;
}

// The controls of the test form. The framework's controls are owned by the
// form; the system controls the framework has no class for are plain child
// windows of it.
struct TGalleryForm {
    explicit TGalleryForm(int X = 60, int Y = 40)
        : Form(std::make_unique<TForm>(Application))
    {
        TForm* f = Form.get();
        f->SetBorderStyle(bsSizeable);
        f->SetBounds(X, Y, 660, 470);
        f->SetCaption("Control adapter");

        Tools = new TToolBar(f);
        Tools->SetParent(f);
        for (const char* caption : {"Open", "Send", "Stop"}) {
            auto* button = new TToolButton(f);
            button->SetCaption(caption);
            button->SetParent(Tools);
        }
        Edit = Add<TEdit>(10, 40, 200, 24);
        Edit->SetText("192.168.0.10");
        Memo = Add<TMemo>(10, 70, 200, 90);
        Memo->SetScrollBars(ssVertical);
        for (int i = 1; i <= 30; ++i)
            Memo->Lines()->Add("Code " + std::to_string(i) + " learnt");
        List = Add<TListBox>(10, 166, 200, 70);
        for (int i = 1; i <= 12; ++i)
            List->Items()->Add("Extender " + std::to_string(i));
        Combo = Add<TComboBox>(10, 242, 200, 24);
        for (const char* item : {"COM1", "COM2", "TCP 127.0.0.1"})
            Combo->Items()->Add(item);
        Combo->SetItemIndex(0);
        Button = Add<TButton>(220, 40, 90, 28);
        Button->SetCaption("Send");
        Check = Add<TCheckBox>(220, 76, 140, 22);
        Check->SetCaption("Repeat codes");
        Check->SetChecked(true);
        Radio = Add<TRadioButton>(220, 102, 140, 22);
        Radio->SetCaption("Port COM1");
        Radio->SetChecked(true);
        Group = Add<TGroupBox>(220, 130, 200, 80);
        Group->SetCaption("Extender");
        GroupEdit = new TEdit(f);
        GroupEdit->SetParent(Group);
        GroupEdit->SetBounds(10, 24, 170, 24);
        GroupEdit->SetText("Living room");
        Label = new TLabel(f);
        Label->SetParent(f);
        Label->SetBounds(220, 218, 200, 18);
        Label->SetCaption("Channel 3 of 8 is ready to send.");
        Panel = Add<TPanel>(220, 240, 200, 50);
        Panel->SetCaption("");
        PanelButton = new TButton(f);
        PanelButton->SetParent(Panel);
        PanelButton->SetBounds(8, 10, 90, 28);
        PanelButton->SetCaption("Learn");
        Grid = Add<TProStringGrid>(10, 300, 410, 120);
        Grid->SetColCount(4);
        Grid->SetRowCount(20);
        for (int r = 1; r < 20; ++r)
            Grid->SetCells(0, r, "Channel " + std::to_string(r));
    }

    ~TGalleryForm()
    {
        Form.reset();
    }

    // Makes the form's windows, the system controls among them.
    void MakeWindows()
    {
        Form->HandleNeeded();
        const HWND parent = Form->Handle();
        const auto child = [&](const wchar_t* Class, DWORD Style, int X, int Y, int W, int H, DWORD ExStyle) {
            HWND wnd = CreateWindowExW(ExStyle, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, parent,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
            return wnd;
        };
        Spin = child(UPDOWN_CLASSW, 0, 318, 40, 18, 28, 0);
        ListView = child(WC_LISTVIEWW, LVS_LIST, 430, 40, 210, 110, WS_EX_CLIENTEDGE);
        for (int i = 0; i < 6; ++i) {
            std::wstring text = L"Remote " + std::to_wstring(i + 1);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text.data();
            SendMessageW(ListView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        Tree = child(WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, 430, 160, 210, 130,
                     WS_EX_CLIENTEDGE);
        TVINSERTSTRUCTW insert{};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        wchar_t root[] = L"Extenders";
        insert.item.pszText = root;
        const auto parentItem =
            reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        insert.hParent = parentItem;
        wchar_t leaf[] = L"Living room";
        insert.item.pszText = leaf;
        SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
        SendMessageW(Tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parentItem));
    }

    void Show()
    {
        MakeWindows();
        Form->Show();
        SetForegroundWindow(Form->Handle());
        gui::PumpFor(60);
    }

    // A provider for the form: the manager's refresh (sub-command 3) makes
    // it skin the form and its controls, as after a skin is loaded.
    void SkinWith(TqSkinManager* Manager)
    {
        Provider = new TqSkinProvider(Form.get());
        SendSkinCommand(Form->Handle(), scmRefresh, reinterpret_cast<LPARAM>(Manager));
        gui::PumpFor(60);
    }

    // Every window of the test form but the form's own.
    std::vector<HWND> Windows() const
    {
        std::vector<HWND> all;
        EnumChildWindows(
            Form->Handle(),
            [](HWND Wnd, LPARAM Param) {
                reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&all));
        return all;
    }

    template <class T>
    T* Add(int X, int Y, int W, int H)
    {
        auto* control = new T(Form.get());
        control->SetParent(Form.get());
        control->SetBounds(X, Y, W, H);
        return control;
    }

    std::unique_ptr<TForm> Form;
    TqSkinProvider* Provider = nullptr;   // owned by the form
    TToolBar* Tools;
    TEdit* Edit;
    TMemo* Memo;
    TListBox* List;
    TComboBox* Combo;
    TButton* Button;
    TCheckBox* Check;
    TRadioButton* Radio;
    TGroupBox* Group;
    TEdit* GroupEdit;
    TLabel* Label;
    TPanel* Panel;
    TButton* PanelButton;
    TProStringGrid* Grid;
    HWND Spin = nullptr;
    HWND ListView = nullptr;
    HWND Tree = nullptr;
};

}   // namespace adaptertest
