#pragma once
// Real system controls skinned by the window subclasses: a manager with one
// of the shipped skins, a borderless parent form whose skin state answers
// the skin command message with a cache of one known colour, system
// windows made inside it, and their pictures taken through WM_PRINT.

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../../graphics/PaintProbe.h"
#include "../state/SkinStateSupport.h"
#include "../windows/SubclassSupport.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/qSkinPaint.h"
#include "skin/windows/zqMainWnd.h"
#include "tests/support/GuiHarness.h"

namespace skincontrols {

using gui::Capture;
using gui::SaveScreenshot;
using gui::Settle;

// build/win/tests -> build/screenshots, as a Windows path.
inline std::string ScreenshotPath(const std::string& Name)
{
    std::string path = "Z:" + std::string(SKIN_OUTPUT_DIR) + "/../../screenshots/";
    CreateDirectoryA(path.c_str(), nullptr);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path + Name;
}

using subclasstest::ShippedManager;

// The colour of the parent's cached background.
constexpr TColor ParentCacheColor = 0x00306090;

// A borderless form that answers as a skinned parent: its cache is one
// colour, so what a child mixes with it can be computed.
class TCacheParent : public TForm {
public:
    explicit TCacheParent(TComponent* AOwner, int W = 420, int H = 300) : TForm(AOwner)
    {
        SetBorderStyle(bsNone);
        SetBounds(30, 30, W, H);
        SetColor(static_cast<TColor>(0x00C0C0C0));
        Data = std::make_unique<TqCommonData>(nullptr, true);
        Data->CacheBmp->SetSize(W, H);
        paint_probe::Clear(*Data->CacheBmp, ParentCacheColor);
    }
    ~TCacheParent() override { DestroyForm(); }

    std::unique_ptr<TqCommonData> Data;
    bool AnswerCache = true;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_ZORVIKCMD && AnswerCache && SkinSubCommand(Message.WParam) == scmGetCache) {
            ExchangeCache = MakeCacheInfo(Data->CacheBmp.get(), 0, 0);
            return;
        }
        if (Message.Msg == WM_PAINT && AnswerCache) {
            // The form shows its cache, as a skinned form does.
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(Handle(), &ps);
            BitBlt(dc, 0, 0, Width(), Height(), Data->CacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            EndPaint(Handle(), &ps);
            return;
        }
        TForm::WndProc(Message);
    }
};

// A system window of Class inside Parent.
inline HWND MakeChild(HWND Parent, const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H,
                      DWORD ExStyle = 0)
{
    HWND wnd = CreateWindowExW(ExStyle, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    return wnd;
}

// A report-view list of two 120-pixel columns and Rows rows named by Row.
inline void FillReport(HWND List, const wchar_t* Second, int Rows, const std::function<std::wstring(int)>& Row)
{
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        std::wstring name = c == 0 ? L"Channel" : Second;
        column.pszText = name.data();
        SendMessageW(List, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < Rows; ++i) {
        std::wstring text = Row(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        SendMessageW(List, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// The window's picture through WM_PRINT into a 24-bit bitmap of its size,
// first filled with Background.
inline std::unique_ptr<TBitmap> Print(HWND Wnd, TColor Background = 0x00FF00FF)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    auto bmp = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, TPixelFormat::pf24bit);
    paint_probe::Clear(*bmp, Background);
    SendMessageW(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    return bmp;
}

inline int Channel(TColor C, int Shift) { return (C >> Shift) & 0xFF; }

// Whether two colours differ by at most Slack in every channel.
inline bool Near(TColor A, TColor B, int Slack = 1)
{
    for (int s = 0; s <= 16; s += 8)
        if (std::abs(Channel(A, s) - Channel(B, s)) > Slack)
            return false;
    return true;
}

// The messages that reach the window below every subclass installed later.
struct TMessageSpy {
    explicit TMessageSpy(HWND Wnd)
    {
        Hook = HookWndProc(Wnd, [this](TMessage& M, const TCallPrevious& Previous) {
            Seen.push_back(M.Msg);
            if (Answer && Answer(M))
                return;
            Previous(M);
        });
    }
    int Count(UINT Msg) const
    {
        int n = 0;
        for (UINT m : Seen)
            n += m == Msg ? 1 : 0;
        return n;
    }
    std::vector<UINT> Seen;
    // Answers a message itself when it returns true.
    std::function<bool(TMessage&)> Answer;
    TWindowHook Hook;
};

// A test with a manager of one shipped skin (SkinName, set by the derived
// fixture before SetUp) and a cache parent shown; the subclasses made with
// Skin go before the parent.
template <class Base>
class TSkinnedParentTestOf : public Base {
protected:
    void SetUp() override
    {
        Manager = ShippedManager(SkinName);
        ASSERT_TRUE(Manager->SkinData().Loaded);
        Parent = std::make_unique<TCacheParent>(nullptr, ParentWidth, ParentHeight);
        Parent->Show();
        Settle();
    }
    void TearDown() override
    {
        Subclasses.clear();
        Parent.reset();
        Manager.reset();
        SubclassInDialog = false;
    }

    template <class T>
    T* Skin(HWND Wnd, const String& Section, bool ScrollFlag = false, TqSkinManager* With = nullptr)
    {
        T* object = TzqMainWnd::Create<T>(Wnd, ScrollFlag, Section, With ? With : Manager.get(), nullptr);
        Subclasses.emplace_back(object);
        return object;
    }
    HWND Child(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int W, int H, DWORD ExStyle = 0)
    {
        return MakeChild(Parent->Handle(), Class, Text, Style, X, Y, W, H, ExStyle);
    }
    const TqGeneralData& Section(const char* Name)
    {
        return Manager->Skin().Sections[Manager->FindSectionIndex(Name)];
    }

    String SkinName = "Basalt";
    int ParentWidth = 420;
    int ParentHeight = 300;
    std::unique_ptr<TqSkinManager> Manager;
    std::unique_ptr<TCacheParent> Parent;
    std::vector<TzqMainWndPtr<>> Subclasses;
};

using TSkinnedParentTest = TSkinnedParentTestOf<::testing::Test>;

}   // namespace skincontrols
