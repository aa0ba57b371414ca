// Per-control skin state: section defaults, hover, the background colour
// answer, updating up the parent chain, the common handlers' answers, a
// manager that goes away, and the bound label's place.
#include <gtest/gtest.h>

#include "SkinStateSupport.h"
#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "skin/engine/qControlTree.h"
#include "skin/engine/qEditLabel.h"
#include "tests/graphics/PaintProbe.h"

using namespace skinstate;

namespace {

const std::string Options =
    "[GLOBALINFO]\nVERSION=5.2\n"
    "[HALF]\nCOLOR=16777215\nTRANSPARENCY=50\n"
    "[SOLID]\nCOLOR=255\nTRANSPARENCY=0\n"
    "[CLEAR]\nCOLOR=65280\nTRANSPARENCY=100\n"
    "[EDIT]\nCOLOR=12632256\nFONTCOLOR=128\n"
    "[PANEL]\nCOLOR=8421504\n";

}   // namespace

TEST(CommonData, SectionDefaultsByKind)
{
    const struct {
        int Kind;
        const char* Section;
    } cases[] = {{2, "EDIT"},       {8, "EDIT"},       {227, "EDIT"},      {13, "COMBOBOX"}, {19, "BAR"},
                 {20, "BARTITLE"},  {152, "CHECKBOX"}, {33, "RADIOBUTTON"}, {73, "PANEL"},    {58, "PANEL_LOW"},
                 {54, "TOOLBAR"},   {56, "DRAGBAR"},   {57, "TABSHEET"},    {226, "GROUPBOX"}, {75, "SPLITTER"},
                 {95, "SPEEDBUTTON"}, {94, "BUTTON"},  {98, "TOOLBUTTON"},  {143, "PAGECONTROL"},
                 {151, "STATUSBAR"}, {161, "GAUGE"},   {165, "TRACKBAR"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Kind);
        TqCommonData data(nullptr, false);
        data.ControlKind = c.Kind;
        data.SetDefaultSection();
        EXPECT_EQ(c.Section, data.SkinSection());
    }
    // Any other kind: the owner's class name, upper-cased.
    TPanel panel(nullptr);
    TqCommonData data(&panel, false);
    data.ControlKind = 9;
    data.SetDefaultSection();
    EXPECT_EQ("TPANEL", data.SkinSection());
    // A section already set is kept.
    data.ControlKind = 151;
    data.SetDefaultSection();
    EXPECT_EQ("TPANEL", data.SkinSection());

    data.SetSkinSection("");
    EXPECT_EQ("UNKNOWN", data.SkinSection());
    data.SetSkinSection("edit");
    EXPECT_EQ("EDIT", data.SkinSection());
}

TEST(CommonData, HoverMakesAnEditHotButNeverAPanel)
{
    for (int kind : {51, 60, 110, 141, 161})
        EXPECT_TRUE(IsHoverExcludedKind(kind)) << kind;
    for (int kind : {3, 50, 75, 140, 162, 300})
        EXPECT_FALSE(IsHoverExcludedKind(kind)) << kind;

    TForm form(nullptr);
    TSpyControl panel(&form, 51);
    TSpyControl edit(&form, 3);
    panel.SetParent(&form);
    edit.SetParent(&form);
    edit.SetLeft(50);
    for (TSpyControl* c : {&panel, &edit})
        c->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(panel.Data->MouseAbove);
    EXPECT_EQ(0, panel.Data->IsActive());
    EXPECT_TRUE(edit.Data->MouseAbove);
    EXPECT_EQ(1, edit.Data->IsActive());
    // Disabled, nothing is hot.
    edit.SetEnabled(false);
    EXPECT_EQ(0, edit.Data->IsActive());
    EXPECT_FALSE(edit.Data->MouseAbove);   // the enabled change clears hover
    edit.SetEnabled(true);
    edit.Perform(CM_MOUSEENTER);
    edit.Perform(CM_MOUSELEAVE);
    EXPECT_EQ(0, edit.Data->IsActive());
}

TEST(CommonData, BackgroundColourAnswer)
{
    auto manager = ManagerWithSkin(Options);
    ASSERT_TRUE(manager->SkinData().Loaded);
    TForm form(nullptr);
    form.SetColor(clBlack);
    form.HandleNeeded();

    const struct {
        const char* Section;
        bool Custom;
        TColor Expected;
    } cases[] = {
        {"HALF", false, 0xCDCDCD},   // (50 * (0 - 255) + 255 * 256) shr 8 = 205
        {"SOLID", false, 0x0000FF},
        {"SOLID", true, 0x123456},   // a custom colour is the control's own
        {"CLEAR", false, 0x000000},  // the parent's colour shows through
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Section);
        TSpyControl control(&form, 0, c.Section);
        control.SetParent(&form);
        control.SetColor(0x123456);
        control.Data->SetCustomColor(c.Custom);
        ASSERT_TRUE(control.Data->IsSkinned());
        QueryControlColor(&control);
        EXPECT_EQ(c.Expected, ExchangeColor);
    }
    // Over a parent that answers for itself, 50 % mixes with its answer.
    TSpyControl parent(&form, 0, "SOLID");
    parent.SetParent(&form);
    TSpyControl child(&form, 0, "HALF");
    child.SetParent(&parent);
    QueryControlColor(&child);
    EXPECT_EQ(static_cast<TColor>(0xCDCDFF), ExchangeColor);

    // Unskinned: its own Color, a system colour turned into RGB.
    TSpyControl plain(&form, 0, "NO SUCH SECTION");
    plain.SetParent(&form);
    plain.SetColor(clBtnFace);
    QueryControlColor(&plain);
    EXPECT_EQ(static_cast<TColor>(GetSysColor(COLOR_BTNFACE)), ExchangeColor);
}

TEST(CommonData, UnhandledSubCommandsLeaveTheExchangeAsSet)
{
    auto manager = ManagerWithSkin(Options);
    TForm form(nullptr);
    TSpyControl control(&form, 0, "SOLID");
    control.SetParent(&form);
    for (int sub : {18, 33, 50, 99}) {
        SCOPED_TRACE(sub);
        ExchangeColor = clFuchsia;
        ExchangeCache = TCacheInfo{};
        TMessage message{SM_ZORVIKCMD, SkinCommandWParam(sub), 0, 0};
        EXPECT_FALSE(CommonSkinMessage(message, control.Data.get()));
        EXPECT_EQ(0, SendSkinCommand(control.Handle(), sub, 0));
        EXPECT_EQ(clFuchsia, ExchangeColor);
        EXPECT_FALSE(ExchangeCache.Ready);
    }
    // The answered questions: through the window procedure in the lParam
    // field, by SendMessage in the result.
    EXPECT_TRUE(ControlHandlesCommand(&control, scmIsSkinned));
    EXPECT_EQ(1, SendSkinCommand(control.Handle(), scmIsSkinned, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(Application), SendSkinCommand(control.Handle(), scmGetApplication, 0));
    TPanel plain(&form);
    plain.SetParent(&form);
    EXPECT_FALSE(ControlHandlesCommand(&plain, scmIsSkinned));
    EXPECT_FALSE(WindowHandlesCommand(plain.Handle(), scmIsSkinned));
    // The cache answer.
    control.Data->PrepareCacheBitmap();
    SendSkinCommand(control.Handle(), scmGetCache, 0);
    EXPECT_TRUE(ExchangeCache.Ready);
    EXPECT_EQ(control.Data->CacheBmp.get(), ExchangeCache.Bmp);
    EXPECT_EQ(control.Width(), ExchangeCache.Bmp->Width());
}

TEST(CommonData, UpdatingFollowsTheParentChain)
{
    auto manager = ManagerWithSkin(Options);
    TForm form(nullptr);
    TSpyControl parent(&form, 0, "SOLID");
    parent.SetParent(&form);
    TSpyControl child(&form, 0, "SOLID");
    child.SetParent(&parent);
    // With windows, so that the parent is also asked by SendMessage.
    form.HandleNeeded();
    ASSERT_TRUE(parent.HandleAllocated());

    parent.Data->BGChanged = false;
    parent.Data->Updating = false;
    child.Data->Updating = false;
    EXPECT_FALSE(child.Data->IsUpdating());
    EXPECT_EQ(0, SendSkinCommand(parent.Handle(), scmIsBgChanging, 0));
    parent.Data->BGChanged = true;   // the parent's background is being rebuilt
    EXPECT_TRUE(child.Data->IsUpdating());
    EXPECT_EQ(1, SendSkinCommand(parent.Handle(), scmIsBgChanging, 0));
    parent.Data->BGChanged = false;
    parent.Data->Updating = true;
    EXPECT_TRUE(child.Data->IsUpdating());
    parent.Data->Updating = false;
    child.Data->Updating = true;
    EXPECT_TRUE(child.Data->IsUpdating());

    // A control without a parent counts as updating.
    TSpyControl orphan(nullptr, 0, "SOLID");
    orphan.Data->Updating = false;
    EXPECT_TRUE(orphan.Data->IsUpdating());
    // Without a loaded skin everything is updating.
    manager->SetActive(false);
    child.Data->Updating = false;
    EXPECT_TRUE(child.Data->IsUpdating());
}

TEST(CommonData, AManagerThatGoesAwayLeavesNoReference)
{
    auto first = ManagerWithSkin(Options, "A");   // the default manager
    auto second = ManagerWithSkin(Options, "B");
    ASSERT_FALSE(second->IsDefault());
    // One control the removal reaches (on an application form) and one it
    // misses (on no form at all).
    std::unique_ptr<TForm> form(new TForm(Application));
    form->HandleNeeded();
    TSpyControl told(form.get(), 0, "SOLID");
    told.SetParent(form.get());
    TSpyControl missed(nullptr, 0, "SOLID");
    for (TSpyControl* c : {&told, &missed}) {
        c->Data->SetSkinManager(second.get());
        EXPECT_EQ(second.get(), c->Data->GetSkinManager());
        EXPECT_TRUE(c->Data->HasOwnManager());
    }
    told.SubCommands.clear();
    second.reset();
    EXPECT_EQ(1, Count(told.SubCommands, scmSkinRemoved));
    for (TSpyControl* c : {&told, &missed}) {
        EXPECT_FALSE(c->Data->HasOwnManager());
        EXPECT_EQ(first.get(), c->Data->GetSkinManager());
    }
    // The default manager given as a manager is kept as none.
    missed.Data->SetSkinManager(first.get());
    EXPECT_FALSE(missed.Data->HasOwnManager());
    EXPECT_EQ(first.get(), missed.Data->GetSkinManager());
}

TEST(CommonData, SkinChangeSubCommandsOfAnotherManagerChangeNothing)
{
    auto own = ManagerWithSkin(Options, "A");
    auto other = ManagerWithSkin(Options, "B");
    TForm form(nullptr);
    TSpyControl control(&form, 0, "SOLID");
    control.SetParent(&form);
    control.HandleNeeded();
    control.Data->BGChanged = false;
    control.Data->Updating = false;
    const int index = control.Data->SkinIndex;
    ASSERT_GE(index, 0);
    for (int sub : {scmSkinLoaded, scmSkinRemoved, scmRefresh}) {
        SCOPED_TRACE(sub);
        SendSkinCommand(control.Handle(), sub, reinterpret_cast<LPARAM>(other.get()));
        EXPECT_EQ(index, control.Data->SkinIndex);
        EXPECT_FALSE(control.Data->Updating);
        EXPECT_FALSE(control.Data->BGChanged);
    }
    // Its own manager's 2 takes the skin away, 1 and 3 bring it back.
    SendSkinCommand(control.Handle(), scmSkinRemoved, reinterpret_cast<LPARAM>(own.get()));
    EXPECT_EQ(-1, control.Data->SkinIndex);
    EXPECT_TRUE(control.Data->Updating);
    EXPECT_EQ(0, control.Data->CacheBmp->Width());
    SendSkinCommand(control.Handle(), scmSkinLoaded, reinterpret_cast<LPARAM>(own.get()));
    EXPECT_EQ(index, control.Data->SkinIndex);
    SendSkinCommand(control.Handle(), scmRefresh, reinterpret_cast<LPARAM>(own.get()));
    EXPECT_FALSE(control.Data->Updating);
    EXPECT_TRUE(control.Data->BGChanged);
}

TEST(CommonData, EditsTakeTheSectionColours)
{
    auto manager = ManagerWithSkin(Options);
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    TqCommonData data(&edit, true);
    data.ControlKind = 3;
    data.Loaded();
    EXPECT_EQ("EDIT", data.SkinSection());
    EXPECT_EQ(12632256, edit.Color());
    EXPECT_EQ(128, edit.Font()->Color());
    TMessage removed{SM_ZORVIKCMD, SkinCommandWParam(scmSkinRemoved), reinterpret_cast<LPARAM>(manager.get()), 0};
    CommonSkinMessage(removed, &data);
    EXPECT_EQ(clWindow, edit.Color());
    EXPECT_EQ(clWindowText, edit.Font()->Color());
}

TEST(BoundLabel, PlacesItsLabelBesideTheControl)
{
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetName("EdHost");
    edit.SetParent(&form);
    edit.SetBounds(100, 50, 120, 21);
    TqCommonData data(&edit, false);
    TqBoundLabel bound(&edit, &data);

    // The font set while inactive is the bound label's own.
    TFont font;
    font.SetName("Courier New");
    font.SetSize(8);
    bound.SetFont(&font);
    EXPECT_EQ("Courier New", bound.Font()->Name());
    EXPECT_TRUE(bound.UseSkinColor());
    bound.SetUseSkinColor(false);
    EXPECT_TRUE(bound.UseSkinColor());   // no label yet: writes are ignored

    bound.SetActive(true);
    TqEditLabel* label = bound.Label();
    ASSERT_NE(nullptr, label);
    EXPECT_EQ("EdHostLabel", label->Name());
    EXPECT_EQ("EdHost", label->Caption());
    EXPECT_EQ(&edit, label->FocusControl);
    EXPECT_EQ(taRightJustify, label->Alignment());
    bound.SetCaption("Port:");
    const int w = label->Width();
    const int h = label->Height();
    ASSERT_GT(w, 0);
    // sclLeft: left of the control, centred on it, less 1; a label of 40 x 13
    // lands at (56, 53).
    EXPECT_EQ(100 - w - 4, label->Left());
    EXPECT_EQ(50 + (21 - h) / 2 - 1, label->Top());
    const struct {
        TqCaptionLayout Layout;
        int Indent;
        TAlignment Alignment;
        int Left;
        int Top;
    } cases[] = {
        {sclTopLeft, 2, taLeftJustify, 100, 50 - h - 2},
        {sclTopCenter, 0, taCenter, 100 + (120 - w) / 2, 50 - h},
        {sclTopRight, 0, taRightJustify, 100 + 120 - w, 50 - h},
        {sclLeft, 3, taRightJustify, 100 - w - 4 - 3, 50 + (21 - h) / 2 - 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Layout));
        bound.SetIndent(c.Indent);
        bound.SetLayout(c.Layout);
        EXPECT_EQ(c.Alignment, label->Alignment());
        EXPECT_EQ(c.Left, label->Left());
        EXPECT_EQ(c.Top, label->Top());
    }
    // A maximum width wraps the text in a label at least as high as the control.
    bound.SetMaxWidth(30);
    EXPECT_EQ(30, label->Width());
    EXPECT_TRUE(label->WordWrap());
    EXPECT_GE(label->Height(), 21);
    bound.SetActive(false);
    EXPECT_EQ(nullptr, bound.Label());
    EXPECT_EQ(nullptr, edit.FindComponent("EdHostLabel"));
}

TEST(BoundLabel, TheExampleLandsAt56And53)
{
    // A control at (100, 50), 21 high, and a label of 40 x 13 give (56, 53).
    // The label's auto-size measures its text with the font at hand, so the
    // control is moved by the measured size's difference from the example's.
    TForm form(nullptr);
    TEdit edit(&form);
    edit.SetParent(&form);
    TqCommonData data(&edit, false);
    TqBoundLabel bound(&edit, &data);
    bound.SetCaption("x");
    bound.SetActive(true);
    TqEditLabel* label = bound.Label();
    const int w = label->Width();
    const int h = label->Height();
    edit.SetBounds(100 + (w - 40), 50, 120, 21 + (h - 13));
    bound.AlignLabel();
    EXPECT_EQ(56, label->Left());
    EXPECT_EQ(53, label->Top());
}

TEST(CommonData, CacheCopiedAroundTheChildren)
{
    TForm form(nullptr);
    TSpyControl host(&form, 0, "SOLID");
    host.SetParent(&form);
    host.SetBounds(0, 0, 100, 60);
    TPanel opaque(&form);
    opaque.ControlStyle |= csOpaque;
    opaque.SetParent(&host);
    opaque.SetBounds(10, 10, 20, 20);
    TPanel seeThrough(&form);
    seeThrough.ControlStyle &= ~static_cast<unsigned>(csOpaque);
    seeThrough.SetParent(&host);
    seeThrough.SetBounds(40, 10, 20, 20);
    TLabel label(&form);
    label.SetParent(&host);
    label.SetAutoSize(false);
    label.SetBounds(70, 10, 20, 20);
    form.HandleNeeded();

    host.Data->PrepareCacheBitmap();
    host.Data->CacheBmp->Canvas()->Brush()->SetColor(clRed);
    host.Data->CacheBmp->Canvas()->FillRect(Rect(0, 0, 100, 60));
    TBitmap target(100, 60, TPixelFormat::pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(Rect(0, 0, 100, 60));
    const int gdiBefore = paint_probe::GdiObjectCount();
    CopyCacheExceptChildren(&host, host.Data.get(), Rect(0, 0, 100, 60), 0, 0, false, target.Canvas()->Handle(),
                            Rect(0, 0, 100, 60));
    HDC dc = target.Canvas()->Handle();
    EXPECT_EQ(ColorToRGB(clRed), GetPixel(dc, 5, 5));
    EXPECT_EQ(ColorToRGB(clBlue), GetPixel(dc, 15, 15));   // opaque child left out
    EXPECT_EQ(ColorToRGB(clRed), GetPixel(dc, 45, 15));    // see-through windowed child copied over
    EXPECT_EQ(ColorToRGB(clBlue), GetPixel(dc, 75, 15));   // window-less child left out
    // The clip rectangle bounds the copy, and the DC's own clip is back afterwards.
    target.Canvas()->FillRect(Rect(0, 0, 100, 60));
    CopyCacheExceptChildren(&host, host.Data.get(), Rect(0, 0, 100, 60), 0, 0, false, dc, Rect(0, 40, 50, 60));
    EXPECT_EQ(ColorToRGB(clBlue), GetPixel(dc, 5, 5));
    EXPECT_EQ(ColorToRGB(clRed), GetPixel(dc, 5, 45));
    RECT clip;
    EXPECT_EQ(SIMPLEREGION, GetClipBox(dc, &clip));
    EXPECT_EQ(100, clip.right);
    EXPECT_EQ(gdiBefore, paint_probe::GdiObjectCount());
}
