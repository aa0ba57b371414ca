// WM_PRINT pictures of every member in each of its states under each
// shipped skin, against stored goldens: pictures without text by a hash of
// their pixels, text by the count of pixels that the text changed against
// the same picture without it (text drawing may differ by a pixel between
// machines). A sheet of all
// pictures is written to build/screenshots for a look; goldens are written
// again only on purpose: SKIN_GOLDENS=update in the environment.
#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "ControlsHarness.h"
#include "skin/windows/zqBtnWnd.h"
#include "skin/windows/zqCheckBoxWnd.h"
#include "skin/windows/zqComboBoxWnd.h"
#include "skin/windows/zqEditWnd.h"
#include "skin/windows/zqGroupBoxWnd.h"
#include "skin/windows/zqListViewWnd.h"
#include "skin/windows/zqSizerWnd.h"
#include "skin/windows/zqSpinWnd.h"
#include "skin/windows/zqStaticWnd.h"
#include "skin/windows/zqToolBarWnd.h"
#include "skin/windows/zqTreeViewWnd.h"

using namespace skincontrols;

namespace {

std::uint64_t PixelHash(TBitmap& B)
{
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < B.Height(); ++y) {
        const Byte* row = B.ScanLine(y);
        for (int i = 0; i < B.Width() * B.BytesPerPixel(); ++i) {
            h ^= row[i];
            h *= 1099511628211ull;
        }
    }
    return h;
}

// One picture: a member in one state.
struct TShot {
    std::string Name;
    std::unique_ptr<TBitmap> Image;
    const TShot* Base = nullptr;   // the same picture without text; none: hash the pixels
};

std::string GoldenPath(const String& Skin) { return std::string(SKIN_GOLDEN_DIR) + "/" + Skin + ".txt"; }

std::map<std::string, std::string> ReadGoldens(const String& Skin)
{
    std::map<std::string, std::string> goldens;
    std::ifstream in(GoldenPath(Skin));
    for (std::string name, value; in >> name >> value;)
        goldens[name] = value;
    return goldens;
}

class PrintGolden : public TSkinnedParentTestOf<::testing::TestWithParam<String>> {
protected:
    void SetUp() override
    {
        SkinName = GetParam();
        ParentWidth = 500;
        ParentHeight = 400;
        TSkinnedParentTestOf::SetUp();
    }

    HWND Make(const wchar_t* Class, const wchar_t* Text, DWORD Style, int W, int H, DWORD ExStyle = 0)
    {
        return MakeChild(Parent->Handle(), Class, Text, Style, 10, 10, W, H, ExStyle);
    }
    const TShot* Shoot(const std::string& Name, HWND Wnd, const TShot* Base = nullptr)
    {
        Shots.push_back(std::make_unique<TShot>(TShot{Name, Print(Wnd), Base}));
        return Shots.back().get();
    }
    // Every member in its states; each window goes when its pictures are taken.
    void ShootAll()
    {
        HWND w = Make(L"BUTTON", L"", BS_PUSHBUTTON, 80, 26);
        Skin<TzqBtnWnd>(w, "BUTTON");
        const TShot* plainButton = Shoot("button-normal", w);
        SendMessageW(w, BM_SETSTATE, TRUE, 0);
        Shoot("button-pushed", w);
        SendMessageW(w, BM_SETSTATE, FALSE, 0);
        EnableWindow(w, FALSE);
        Shoot("button-disabled", w);
        Done(w);
        w = Make(L"BUTTON", L"", BS_DEFPUSHBUTTON, 80, 26);
        Skin<TzqBtnWnd>(w, "BUTTON");
        Shoot("button-default", w);
        Done(w);
        w = Make(L"BUTTON", L"Send", BS_PUSHBUTTON, 80, 26);
        Skin<TzqBtnWnd>(w, "BUTTON");
        Shoot("button-text", w, plainButton);
        Done(w);
        struct CheckCase {
            const char* Name;
            DWORD Style;
            WPARAM State;
        };
        for (const CheckCase& c : {CheckCase{"check-clear", BS_AUTO3STATE, BST_UNCHECKED},
                                   CheckCase{"check-checked", BS_AUTO3STATE, BST_CHECKED},
                                   CheckCase{"check-grey", BS_AUTO3STATE, BST_INDETERMINATE},
                                   CheckCase{"radio-clear", BS_AUTORADIOBUTTON, BST_UNCHECKED},
                                   CheckCase{"radio-checked", BS_AUTORADIOBUTTON, BST_CHECKED}}) {
            w = Make(L"BUTTON", L"", c.Style, 100, 22);
            SendMessageW(w, BM_SETCHECK, c.State, 0);
            Skin<TzqCheckBoxWnd>(w, "CHECKBOX");
            Shoot(c.Name, w);
            EnableWindow(w, FALSE);
            Shoot(std::string(c.Name) + "-disabled", w);
            Done(w);
        }
        w = Make(L"STATIC", L"", SS_LEFT, 120, 20);
        Skin<TzqStaticWnd>(w, "CHECKBOX");
        const TShot* plainStatic = Shoot("static-empty", w);
        SetWindowTextW(w, L"Channel 3 ready");
        Shoot("static-text", w, plainStatic);
        Done(w);
        w = Make(L"BUTTON", L"", BS_GROUPBOX, 150, 80);
        Skin<TzqGroupBoxWnd>(w, "GROUPBOX");
        Shoot("group", w);
        Done(w);
        w = Make(UPDOWN_CLASSW, L"", 0, 17, 25);
        Skin<TzqSpinWnd>(w, "BUTTON");
        Shoot("updown", w);
        Done(w);
        w = Make(L"SCROLLBAR", L"", SBS_SIZEGRIP, 18, 18);
        Skin<TzqSizerWnd>(w, "PANEL");
        Shoot("grip", w);
        Done(w);
        w = Make(L"EDIT", L"", ES_AUTOHSCROLL, 120, 24, WS_EX_CLIENTEDGE);
        Skin<TzqEditWnd>(w, "EDIT", true);
        Shoot("edit", w);
        EnableWindow(w, FALSE);
        Shoot("edit-disabled", w);
        Done(w);
        w = Make(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL, 120, 80, WS_EX_CLIENTEDGE);
        Skin<TzqEditWnd>(w, "EDIT", true);
        Shoot("list-empty", w);
        Done(w);
        w = Make(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 120, 100);
        Skin<TzqComboBoxWnd>(w, "COMBOBOX", true);
        Shoot("combo", w);
        Done(w);
        w = Make(WC_LISTVIEWW, L"", LVS_REPORT | LVS_NOCOLUMNHEADER, 120, 80, WS_EX_CLIENTEDGE);
        Skin<TzqListViewWnd>(w, "EDIT", true);
        Shoot("listview", w);
        Done(w);
        w = Make(WC_TREEVIEWW, L"", 0, 120, 80, WS_EX_CLIENTEDGE);
        Skin<TzqTreeViewWnd>(w, "EDIT", true);
        Shoot("treeview", w);
        Done(w);
    }
    void Done(HWND Wnd)
    {
        Subclasses.clear();
        DestroyWindow(Wnd);
    }
    // All pictures side by side, written for a look.
    void SaveSheet()
    {
        int width = 0, height = 0;
        for (const auto& s : Shots) {
            width += s->Image->Width() + 4;
            height = std::max(height, s->Image->Height());
        }
        TBitmap sheet(width, height, TPixelFormat::pf24bit);
        paint_probe::Clear(sheet, 0x00808080);
        int x = 0;
        for (const auto& s : Shots) {
            BitBlt(sheet.Canvas()->Handle(), x, 0, s->Image->Width(), s->Image->Height(), s->Image->Canvas()->Handle(),
                   0, 0, SRCCOPY);
            x += s->Image->Width() + 4;
        }
        sheet.SaveToFile(ScreenshotPath("print-" + GetParam() + ".bmp"));
    }

    std::vector<std::unique_ptr<TShot>> Shots;
};

// The golden value of a picture: its pixel hash, or for text its ink count.
std::string ValueOf(const TShot& Shot)
{
    if (Shot.Base == nullptr) {
        std::ostringstream out;
        out << std::hex << PixelHash(*Shot.Image);
        return out.str();
    }
    int ink = 0;
    for (int y = 0; y < Shot.Image->Height(); ++y)
        for (int x = 0; x < Shot.Image->Width(); ++x)
            ink += paint_probe::PixelAt(*Shot.Image, x, y) != paint_probe::PixelAt(*Shot.Base->Image, x, y);
    return "ink:" + std::to_string(ink);
}

TEST_P(PrintGolden, EveryMemberInEachStateMatchesItsGolden)
{
    ShootAll();
    SaveSheet();
    const bool update = std::getenv("SKIN_GOLDENS") != nullptr && std::string(std::getenv("SKIN_GOLDENS")) == "update";
    if (update) {
        std::ofstream out(GoldenPath(GetParam()));
        for (const auto& s : Shots)
            out << s->Name << ' ' << ValueOf(*s) << '\n';
        GTEST_SKIP() << "goldens written";
    }
    const auto goldens = ReadGoldens(GetParam());
    ASSERT_EQ(Shots.size(), goldens.size()) << GoldenPath(GetParam());
    for (const auto& s : Shots) {
        const auto found = goldens.find(s->Name);
        ASSERT_NE(goldens.end(), found) << s->Name;
        const std::string value = ValueOf(*s);
        if (s->Base == nullptr) {
            EXPECT_EQ(found->second, value) << s->Name << " (picture in build/screenshots)";
        } else {
            const int golden = std::stoi(found->second.substr(4));
            const int actual = std::stoi(value.substr(4));
            EXPECT_GT(golden, 30) << s->Name;
            EXPECT_NEAR(golden, actual, golden / 5 + 2) << s->Name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Skins, PrintGolden, ::testing::Values("Basalt", "Clearwater", "Terracotta"));

}   // namespace
