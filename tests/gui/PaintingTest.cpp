// Painting: Chinese captions come out as glyphs, a paint handler that
// raises leaks nothing, labels follow the enabled state of their parent, and
// a screenshot of a form with Chinese captions (read back from the PNG file).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/graphics/PaintProbe.h"
#include "tests/support/GuiHarness.h"
#include "framework/Codepage.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"

namespace {

// A PNG as gui::SaveScreenshot writes it: 8-bit RGB rows without filters, in
// stored (uncompressed) deflate blocks. Anything else is an error here.
struct StoredPng {
    int Width = 0;
    int Height = 0;
    std::vector<COLORREF> Pixels;   // row by row
    std::string Error;
};

std::uint32_t BigEndian(const std::string& S, std::size_t At)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(S[At + i]);
    return v;
}

StoredPng ReadStoredPng(const std::string& Path)
{
    StoredPng png;
    std::ifstream file(Path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) {
        png.Error = "no PNG signature";
        return png;
    }
    std::string zlib;
    for (std::size_t at = 8; at + 12 <= data.size();) {
        const std::uint32_t length = BigEndian(data, at);
        const std::string type = data.substr(at + 4, 4);
        if (at + 12 + length > data.size()) {
            png.Error = "chunk " + type + " runs past the end";
            return png;
        }
        const std::string body = data.substr(at + 8, length);
        if (type == "IHDR") {
            png.Width = static_cast<int>(BigEndian(body, 0));
            png.Height = static_cast<int>(BigEndian(body, 4));
            if (body.substr(8, 5) != std::string("\x08\x02\x00\x00\x00", 5))
                png.Error = "not 8-bit RGB";
        } else if (type == "IDAT") {
            zlib += body;
        }
        at += 12 + length;
    }
    // The zlib header, then blocks of: final flag and type 0, LEN, ~LEN, bytes.
    std::string raw;
    std::size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size() || (zlib[at] & 0x06) != 0) {
            png.Error = "not a stored deflate stream";
            return png;
        }
        last = (zlib[at] & 1) != 0;
        const std::size_t n = static_cast<unsigned char>(zlib[at + 1]) | (static_cast<unsigned char>(zlib[at + 2]) << 8);
        raw.append(zlib, at + 5, n);
        at += 5 + n;
    }
    const std::size_t row = 1 + 3 * static_cast<std::size_t>(png.Width);
    if (raw.size() != row * static_cast<std::size_t>(png.Height)) {
        png.Error = "pixel data does not fit the size";
        return png;
    }
    for (int y = 0; y < png.Height; ++y) {
        const char* p = raw.data() + static_cast<std::size_t>(y) * row;
        if (p[0] != 0) {
            png.Error = "a row with a filter";
            return png;
        }
        for (int x = 0; x < png.Width; ++x) {
            const auto* rgb = reinterpret_cast<const unsigned char*>(p + 1 + 3 * x);
            png.Pixels.push_back(RGB(rgb[0], rgb[1], rgb[2]));
        }
    }
    return png;
}

class Painting : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(Application);
        Form->SetCaption("功能测试");
        Form->SetBorderStyle(bsDialog);
        Form->SetBounds(50, 50, 360, 240);
        Label = new TLabel(Form);
        Label->SetParent(Form);
        Label->SetBounds(20, 20, 10, 10);
    }
    void TearDown() override { delete Form; }

    TForm* Form = nullptr;
    TLabel* Label = nullptr;
};

} // namespace

TEST_F(Painting, ChineseCaptionsAreDrawnAsGlyphs)
{
    Form->Show();
    const COLORREF face = ColorToRGB(clBtnFace);
    Label->SetCaption("");
    auto empty = gui::CaptureControl(Label);
    EXPECT_EQ(gui::CountPixelsNot(empty.get(), face), 0) << "an empty label shows only the background";
    Label->SetCaption("接收关闭");
    EXPECT_GT(Label->Width(), 30) << "AutoSize fits the label to four characters";
    Label->SetAutoSize(false);   // one size for every caption below

    // Each control draws each character of its caption as a glyph of its
    // own: the check of the graphics tests, with the control's caption as
    // the drawing.
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetBounds(80, 20, 60, 28);
    auto* check = new TCheckBox(Form);
    check->SetParent(Form);
    check->SetBounds(160, 20, 60, 24);
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    group->SetBounds(20, 80, 80, 50);
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetBounds(160, 80, 60, 40);
    Label->SetBounds(20, 20, 40, 24);
    struct Case {
        const char* Name;
        TControl* Control;
    };
    for (const Case& c : {Case{"label", Label}, Case{"button", button}, Case{"check box", check},
                          Case{"group box", group}, Case{"panel", panel}}) {
        SCOPED_TRACE(c.Name);
        const paint_probe::TTextRender caption = [&](const WideString& Text) {
            c.Control->SetCaption(WideToStr(Text));
            gui::Settle();
            return gui::CaptureControl(c.Control);
        };
        EXPECT_TRUE(paint_probe::DrawnAsGlyphs(caption, L"接收关闭"));
    }
}

// A paint handler that raises: the error is reported, and the off-screen
// bitmap and its DC of a double-buffered window are freed all the same.
TEST_F(Painting, APaintHandlerThatRaisesLeaksNoGdiObjects)
{
    int reported = 0;
    Application->OnException = [&](TObject*, const Exception&) { ++reported; };
    Form->SetDoubleBuffered(true);
    Form->OnPaint = [](TObject*) { throw Exception("paint failed"); };
    Form->Show();
    gui::Settle();
    const int before = paint_probe::GdiObjectCount();
    ASSERT_GT(before, 0);
    reported = 0;
    for (int i = 0; i < 20; ++i) {
        InvalidateRect(Form->Handle(), nullptr, TRUE);
        UpdateWindow(Form->Handle());
    }
    EXPECT_EQ(reported, 20);
    EXPECT_LE(paint_probe::GdiObjectCount() - before, 2) << "20 failed paints";
    Form->OnPaint = nullptr;
    Application->OnException = nullptr;
}

TEST_F(Painting, LabelsAreGreyedWithTheirParent)
{
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    group->SetBounds(10, 60, 200, 80);
    Label->SetParent(group);
    Label->SetCaption("波特率");
    Form->Show();
    // Dark pixels (darker than the button shadow colour) are those of normal
    // text; greyed text has ink, but none that dark.
    struct Ink {
        int Dark = 0;
        int Any = 0;
    };
    auto ink = [&] {
        auto bitmap = gui::CaptureControl(Label);
        const COLORREF face = ColorToRGB(clBtnFace);
        Ink result;
        for (int y = 0; y < bitmap->Height(); ++y)
            for (int x = 0; x < bitmap->Width(); ++x) {
                const COLORREF c = gui::PixelAt(bitmap.get(), x, y);
                result.Any += c != face ? 1 : 0;
                result.Dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 400 ? 1 : 0;
            }
        return result;
    };
    EXPECT_GT(ink().Dark, 20);
    group->SetEnabled(false);
    gui::Settle();
    EXPECT_EQ(ink().Dark, 0) << "no text in the normal colour";
    EXPECT_GT(ink().Any, 20) << "greyed text";
    group->SetEnabled(true);
    gui::Settle();
    EXPECT_GT(ink().Dark, 20);
}

TEST_F(Painting, ScreenshotOfAFormWithChineseCaptions)
{
    Label->SetCaption("循环码次数:");
    auto* group = new TGroupBox(Form);
    group->SetParent(Form);
    group->SetCaption("下载设置");
    group->SetBounds(10, 50, 200, 110);
    auto* check = new TCheckBox(Form);
    check->SetParent(group);
    check->SetCaption("无校验");
    check->SetBounds(10, 20, 100, 20);
    check->AllowGrayed = true;
    check->SetState(cbGrayed);
    auto* combo = new TComboBox(Form);
    combo->SetParent(group);
    combo->SetBounds(10, 50, 120, 21);
    combo->Items()->Add("数据转发");
    combo->SetItemIndex(0);
    auto* button = new TButton(Form);
    button->SetParent(Form);
    button->SetCaption("发送");
    button->SetBounds(230, 60, 90, 28);
    auto* panel = new TPanel(Form);
    panel->SetParent(Form);
    panel->SetCaption("面板");
    panel->SetBounds(230, 100, 90, 50);
    auto* status = new TStatusBar(Form);
    status->SetParent(Form);
    status->Panels()->Add()->SetWidth(100);
    status->Panels()->Items(0)->SetText("设置成功！");
    Form->Show();
    gui::Settle();
    const std::string path = Application->ExePath() + "screenshot-form.png";
    gui::SaveScreenshot(Form, path);
    const StoredPng png = ReadStoredPng(path);
    ASSERT_EQ(png.Error, "");
    RECT window;
    GetWindowRect(Form->Handle(), &window);
    EXPECT_EQ(png.Width, RectWidth(window));
    EXPECT_EQ(png.Height, RectHeight(window));
    // The form's face fills much of it, and the frame, the captions and the
    // controls add other colours: not a blank or black picture.
    const COLORREF face = ColorToRGB(clBtnFace);
    const auto faceCount = std::count(png.Pixels.begin(), png.Pixels.end(), face);
    EXPECT_GT(faceCount, static_cast<std::ptrdiff_t>(png.Pixels.size() / 4));
    const std::set<COLORREF> colours(png.Pixels.begin(), png.Pixels.end());
    EXPECT_GE(colours.size(), 4u);
}
