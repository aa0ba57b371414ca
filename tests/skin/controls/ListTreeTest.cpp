// Skinned list views (with their column header) and tree views on the
// system's SysListView32, SysHeader32 and SysTreeView32 windows.
#include <commctrl.h>

#include "ControlsHarness.h"
#include "skin/windows/zqListViewWnd.h"
#include "skin/windows/zqTreeViewWnd.h"

using namespace skincontrols;

namespace {

class ListTree : public TSkinnedParentTest {
protected:
    ListTree() { SkinName = "Clearwater"; }

    // A report view of Rows rows in two columns of 120 pixels.
    HWND ReportList(int Rows, DWORD HeaderStyle = HDS_BUTTONS)
    {
        HWND list = MakeChild(Parent->Handle(), WC_LISTVIEWW, L"", LVS_REPORT, 10, 10, 300, 200, WS_EX_CLIENTEDGE);
        FillReport(list, L"Code", Rows, [](int I) { return L"Row " + std::to_wstring(I); });
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HeaderStyle);
        return list;
    }
};

TEST_F(ListTree, IconViewPassesEveryHeaderMessageOn)
{
    HWND list = ReportList(3);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    TMessageSpy spy(header);
    auto* object = Skin<TzqListViewWnd>(list, "EDIT", true);
    ASSERT_EQ(header, object->HeaderWnd);
    HDC dc = GetDC(header);
    // Report view: the skin paints the header, its erase is swallowed.
    SendMessageW(header, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(0, spy.Count(WM_ERASEBKGND));
    SendMessageW(list, LVM_SETVIEW, LV_VIEW_ICON, 0);
    ASSERT_FALSE(object->ReportView());
    for (UINT msg : {UINT(WM_ERASEBKGND), UINT(WM_PAINT), UINT(WM_NCHITTEST), UINT(WM_WINDOWPOSCHANGING)}) {
        const int before = spy.Count(msg);
        if (msg == WM_WINDOWPOSCHANGING) {
            WINDOWPOS pos{};
            pos.hwnd = header;
            pos.flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
            SendMessageW(header, msg, 0, reinterpret_cast<LPARAM>(&pos));
        } else {
            SendMessageW(header, msg, msg == WM_NCHITTEST ? 0 : reinterpret_cast<WPARAM>(dc), 0);
        }
        EXPECT_EQ(before + 1, spy.Count(msg)) << msg;
    }
    ReleaseDC(header, dc);
}

TEST_F(ListTree, HeaderClickMarksTheColumnButADividerClickDoesNot)
{
    HWND list = ReportList(3);
    auto* object = Skin<TzqListViewWnd>(list, "EDIT", true);
    HWND header = object->HeaderWnd;
    ASSERT_NE(nullptr, header);
    RECT first{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    const int y = (first.top + first.bottom) / 2;
    struct Case {
        int X;
        int Column;
    };
    const Case cases[] = {{(first.left + first.right) / 2, 0}, {first.right, -1}, {first.right + 40, 1}};
    for (const Case& c : cases) {
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.X, y));
        EXPECT_EQ(c.Column, object->DownColumn) << c.X;
        SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(c.X, y));
        EXPECT_EQ(-1, object->DownColumn);
        ReleaseCapture();
    }
    // The pressed column is drawn in the pressed state of its section.
    auto normal = Print(header);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cases[0].X, y));
    auto pressed = Print(header);
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(cases[0].X, y));
    ReleaseCapture();
    EXPECT_NE(paint_probe::PixelAt(*normal, first.left + 2, 2), paint_probe::PixelAt(*pressed, first.left + 2, 2));
}

TEST_F(ListTree, VerticalThumbScrollsByRowsHorizontalByPixels)
{
    HWND list = ReportList(100);
    Skin<TzqListViewWnd>(list, "EDIT", true);
    ScrollTracking.LastTrackPos = 0;
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
    EXPECT_EQ(7, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    // The same position again scrolls nothing.
    ScrollTracking.LastTrackPos = 7;
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
    EXPECT_EQ(7, SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    // Horizontally one position is one pixel.
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, 600);
    ScrollTracking.LastTrackPos = 0;
    SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(30, GetScrollPos(list, SB_HORZ));
    ScrollTracking.LastTrackPos = 0;
}

TEST_F(ListTree, TreeWhoseColourIsTheHotColourIsLeftAlone)
{
    const TColor hot = static_cast<TColor>(ColorToRGB(Manager->Skin().Sections[Manager->FindSectionIndex("EDIT")].HotColor));
    for (bool alreadyHot : {true, false}) {
        HWND tree = MakeChild(Parent->Handle(), WC_TREEVIEWW, L"", TVS_HASLINES, 10, 10, 150, 120, WS_EX_CLIENTEDGE);
        SendMessageW(tree, TVM_SETBKCOLOR, 0, alreadyHot ? hot : RGB(1, 2, 3));
        TMessageSpy spy(tree);
        auto* object = Skin<TzqTreeViewWnd>(tree, "EDIT", true);
        auto image = Print(tree);
        EXPECT_EQ(alreadyHot ? 0 : 1, spy.Count(TVM_SETBKCOLOR)) << alreadyHot;
        EXPECT_EQ(!alreadyHot, object->BackgroundSet());
        EXPECT_EQ(static_cast<COLORREF>(hot), static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)));
        // The background inside the frame is the hot colour.
        EXPECT_TRUE(Near(hot, paint_probe::PixelAt(*image, 75, 100), 0));
        Subclasses.clear();
        DestroyWindow(tree);
    }
}

}   // namespace
