// Skinned grids: colours reached by published property name on a small
// control that publishes what other libraries' grids have, and the string
// grid of Vantrel's channel pages scrolled by its skinned bar.
#include "ControlsHarness.h"
#include "framework/CustomControl.h"
#include "framework/PropertyRegistry.h"
#include "grid/core/ProGrid.h"
#include "skin/engine/qPropUtils.h"
#include "skin/windows/zqGridWnd.h"

using namespace skincontrols;

namespace {

// A grid-like control of another library: it publishes the colours a grid
// of such libraries has, and a data source, and records the vertical
// position it sees with each WM_VSCROLL.
class TPublishingGrid : public TCustomControl {
public:
    explicit TPublishingGrid(TComponent* AOwner) : TCustomControl(AOwner) {}

    TColor FixedColor = clBtnFace;
    TColor FooterColor = clWindow;
    TColor FooterCellColor = clWindow;
    TColor TitleColor = clBtnFace;
    TColor IndicatorIconColor = clWindowText;
    TFont TitleFont;
    Int64 DataSource = 1;
    std::vector<int> PositionsSeen;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.Style |= WS_VSCROLL;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_VSCROLL)
            PositionsSeen.push_back(GetScrollPos(Handle(), SB_VERT));
        TCustomControl::WndProc(Message);
    }
};

template <class Get, class Set>
void Publish(const char* Name, Get G, Set S)
{
    TPropInfo info;
    info.Name = Name;
    info.Kind = TPropKind::Ordinal;
    info.GetOrd = [G](TObject* Obj) { return static_cast<Int64>(G(static_cast<TPublishingGrid*>(Obj))); };
    info.SetOrd = [S](TObject* Obj, Int64 V) { S(static_cast<TPublishingGrid*>(Obj), V); };
    RegisterPublishedProperty<TPublishingGrid>(std::move(info));
}

const bool Published = [] {
    Publish("FixedColor", [](TPublishingGrid* G) { return G->FixedColor; },
            [](TPublishingGrid* G, Int64 V) { G->FixedColor = static_cast<TColor>(V); });
    Publish("FooterColor", [](TPublishingGrid* G) { return G->FooterColor; },
            [](TPublishingGrid* G, Int64 V) { G->FooterColor = static_cast<TColor>(V); });
    Publish("FooterCellColor", [](TPublishingGrid* G) { return G->FooterCellColor; },
            [](TPublishingGrid* G, Int64 V) { G->FooterCellColor = static_cast<TColor>(V); });
    Publish("TitleColor", [](TPublishingGrid* G) { return G->TitleColor; },
            [](TPublishingGrid* G, Int64 V) { G->TitleColor = static_cast<TColor>(V); });
    Publish("IndicatorIconColor", [](TPublishingGrid* G) { return G->IndicatorIconColor; },
            [](TPublishingGrid* G, Int64 V) { G->IndicatorIconColor = static_cast<TColor>(V); });
    Publish("DataSource", [](TPublishingGrid* G) { return G->DataSource; },
            [](TPublishingGrid* G, Int64 V) { G->DataSource = V; });
    TPropInfo font;
    font.Name = "TitleFont";
    font.Kind = TPropKind::Object;
    font.GetObjectProp = [](TObject* Obj) -> TObject* { return &static_cast<TPublishingGrid*>(Obj)->TitleFont; };
    RegisterPublishedProperty<TPublishingGrid>(std::move(font));
    return true;
}();

class GridSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager = ShippedManager("Terracotta");
        ASSERT_TRUE(Manager->SkinData().Loaded);
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 420, 320);
        Form->Show();
        Settle();
    }
    void TearDown() override
    {
        Subclass.reset();
        Data.reset();
        Form.reset();
        Manager.reset();
    }

    std::unique_ptr<TqSkinManager> Manager;
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TqCommonData> Data;
    TzqMainWndPtr<TzqGridWnd> Subclass;
};

TEST_F(GridSkin, ColoursOfPublishedPropertiesFollowTheSkinAndComeBack)
{
    auto* grid = new TPublishingGrid(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 200, 150);
    grid->TitleFont.SetColor(clMaroon);
    Data = std::make_unique<TqCommonData>(grid, true);
    Data->SetSkinSection("EDIT");
    Subclass.reset(TzqMainWnd::Create<TzqGridWnd>(grid->Handle(), true, "EDIT", Manager.get(), Data.get()));
    EXPECT_EQ(clBtnFace, Subclass->SavedFixedColor);
    EXPECT_EQ(clMaroon, Subclass->SavedTitleFontColor);
    Subclass->ApplySkinColors();
    const TqGeneralData& info = Manager->Skin().Sections[Manager->Skin().Common.GlobalInfo];
    const TqGeneralData& edit = Manager->Skin().Sections[Manager->FindSectionIndex("EDIT")];
    EXPECT_EQ(Manager->GetGlobalColor(), grid->FixedColor);
    EXPECT_EQ(Manager->GetGlobalFontColor(), grid->TitleFont.Color());
    EXPECT_EQ(info.Color, grid->FooterColor);
    EXPECT_EQ(info.Color, grid->FooterCellColor);
    EXPECT_EQ(info.Color, grid->TitleColor);
    EXPECT_EQ(edit.FontColor, grid->IndicatorIconColor);
    Subclass->RestoreOriginalColors();
    EXPECT_EQ(clBtnFace, grid->FixedColor);
    EXPECT_EQ(clMaroon, grid->TitleFont.Color());
    EXPECT_EQ(clWindow, grid->FooterColor);
    EXPECT_EQ(clWindowText, grid->IndicatorIconColor);
}

TEST_F(GridSkin, DataAwareGridSeesTheThumbPositionItWasDraggedTo)
{
    auto* grid = new TPublishingGrid(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 200, 150);
    SCROLLINFO range{sizeof range, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 20, 0};
    SetScrollInfo(grid->Handle(), SB_VERT, &range, FALSE);
    Data = std::make_unique<TqCommonData>(grid, true);
    Data->SetSkinSection("EDIT");
    Subclass.reset(TzqMainWnd::Create<TzqGridWnd>(grid->Handle(), true, "EDIT", Manager.get(), Data.get()));
    // Outside a drag the track position is the position: a thumb drop
    // there is one row further, a track step is the position itself.
    SendMessageW(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 20), 0);
    SendMessageW(grid->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 20), 0);
    ASSERT_EQ(2u, grid->PositionsSeen.size());
    EXPECT_EQ(20, grid->PositionsSeen[0]);
    EXPECT_EQ(21, grid->PositionsSeen[1]);
}

TEST_F(GridSkin, FrameworkGridPublishesItsFixedColour)
{
    TStringGrid plain(nullptr);
    EXPECT_TRUE(HasPropByName(&plain, "FixedColor"));
    EXPECT_FALSE(HasPropByName(&plain, "FooterColor"));
    SetOrdPropByName(&plain, "FixedColor", clRed);
    EXPECT_EQ(clRed, plain.FixedColor());
}

TEST_F(GridSkin, ChannelGridScrollsToTheRowItsSkinnedBarAsksFor)
{
    auto* grid = new TProStringGrid(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(10, 10, 300, 200);
    grid->SetColCount(4);
    grid->SetRowCount(120);
    Settle();
    Data = std::make_unique<TqCommonData>(grid, true);
    Data->SetSkinSection("EDIT");
    Subclass.reset(TzqMainWnd::Create<TzqGridWnd>(grid->Handle(), true, "EDIT", Manager.get(), Data.get()));
    Settle();
    ASSERT_TRUE(Subclass->VertBar->Shown);
    TRect bar;
    TzqScrollWnd::GetVScrollRect(Subclass.get(), grid->Handle(), bar);
    const int arrow = ScrollBarPartSize(Subclass->VertBar.get(), 0, false);
    const auto click = [&](int Y) {
        const int x = (bar.left + bar.right) / 2;
        SendMessageW(grid->Handle(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, Y));
        POINT p{x, Y};
        ScreenToClient(grid->Handle(), &p);
        SendMessageW(grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    };
    const int top = grid->TopRow();
    click(bar.bottom - arrow / 2);
    EXPECT_EQ(top + 1, grid->TopRow());
    click(bar.top + arrow / 2);
    EXPECT_EQ(top, grid->TopRow());
    // The track below the thumb: a page, as far as the grid shows rows.
    const int visible = grid->VisibleRowCount();
    click(bar.bottom - arrow - 2);
    EXPECT_EQ(top + visible, grid->TopRow());
    EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), Subclass->VertBar->Info.nPos);
}

}   // namespace
