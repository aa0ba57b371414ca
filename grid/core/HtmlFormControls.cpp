#include "grid/core/HtmlFormControls.h"

#include "visuals/ProXPVS.h"

namespace {

constexpr TColor ThemedBorder = 0xB99D7F;
constexpr TColor ClassicBorder = 0x808080;

bool IsIntegerText(const String& S, int& Value)
{
    if (S.empty())
        return false;
    std::size_t I = (S[0] == '-' || S[0] == '+') ? 1 : 0;
    if (I >= S.size())
        return false;
    long long V = 0;
    for (; I < S.size(); ++I) {
        if (S[I] < '0' || S[I] > '9')
            return false;
        if (V < 100000000)
            V = V * 10 + (S[I] - '0');
    }
    Value = static_cast<int>(S[0] == '-' ? -V : V);
    return true;
}

// Opens the theme data of Class for Window, draws Part in State into R and
// closes the data; false when no theme data could be opened.
bool DrawThemed(TCanvas* Canvas, HWND Window, const wchar_t* Class, int Part, int State, const TRect& R)
{
    const TProThemeSlots& Api = ThemeApi();
    if (!Api.OpenThemeData || !Api.DrawThemeBackground || !Api.CloseThemeData)
        return false;
    HTHEME Theme = Api.OpenThemeData(Window, Class);
    if (!Theme)
        return false;
    Api.DrawThemeBackground(Theme, Canvas->Handle(), Part, State, &R, nullptr);
    Api.CloseThemeData(Theme);
    Canvas->Refresh();
    return true;
}

void DrawFrame(TCanvas* Canvas, TRect R, UINT Type, UINT State)
{
    DrawFrameControl(Canvas->Handle(), &R, Type, State);
    Canvas->Refresh();
}

void DrawValue(TCanvas* Canvas, const String& Text, TRect R, UINT Align)
{
    if (Text.empty() || R.right <= R.left)
        return;
    Canvas->DrawTextRect(Text, R, Align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

} // namespace

THtmlControlSize HtmlControlSize(TCanvas* Canvas, const THtmlControlTag& Tag)
{
    THtmlControlSize S;
    int Width = 0;
    if (!IsIntegerText(Tag.Width, Width))
        return S;
    if (Tag.Type == "EDIT" || Tag.Type == "MASK" || Tag.Type == "PASSWORD")
        S = {true, Width, Canvas->TextHeight("gh") + 6};
    else if (Tag.Type == "COMBO")
        S = {true, Width, 25};
    else if (Tag.Type == "CHECK" || Tag.Type == "RADIO")
        S = {true, 16, 16};
    else if (Tag.Type == "BUTTON")
        S = {true, Width, 18};
    if (S.Width < 0)
        S.Width = 0;
    return S;
}

bool HtmlControlHot(const THtmlControlTag& Tag, const THtmlControlSize& Size, int X, int Bottom, int HitX, int HitY)
{
    if (Tag.Type != "COMBO" && Tag.Type != "BUTTON")
        return false;
    return HitX > X - 2 && HitX < X - 2 + Size.Width && HitY > Bottom - Size.Height - 2 && HitY < Bottom - 2;
}

void DrawHtmlControl(TCanvas* Canvas, const THtmlControlTag& Tag, const THtmlControlSize& Size, int X, int Bottom,
                     int LineHeight, bool Themed, HWND Window, bool Hot, bool Pressed)
{
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    const TColor KeepPen = Pen->Color();
    const int KeepPenWidth = Pen->Width();
    const TColor KeepBrush = Brush->Color();
    const TBrushStyle KeepStyle = Brush->Style();
    Pen->SetColor(Themed ? ThemedBorder : ClassicBorder);
    Pen->SetWidth(1);
    Brush->SetStyle(TBrushStyle::bsClear);

    const int W = Size.Width;
    const int H = LineHeight;
    const bool Checked = HtmlUpper(Tag.Value) == "TRUE";
    if (Tag.Type == "EDIT" || Tag.Type == "MASK" || Tag.Type == "PASSWORD") {
        Canvas->Rectangle(X, Bottom - H + 3, X + W, Bottom + 1);
        const String Shown = Tag.Type == "PASSWORD" ? MaskPassword(Tag.Value) : Tag.Value;
        DrawValue(Canvas, Shown, Rect(X + 2, Bottom - H + 4, X + W, Bottom), DT_LEFT);
    } else if (Tag.Type == "COMBO") {
        Canvas->Rectangle(X, Bottom - H + 3, X + W, Bottom + 1);
        DrawValue(Canvas, Tag.Value, Rect(X + 2, Bottom - H + 6, X + W - 17, Bottom), DT_LEFT);
        const TRect Button = Rect(X + W - 19, Bottom - H + 6, X + W - 3, Bottom - 2);
        if (!Themed || !DrawThemed(Canvas, Window, L"combobox", 1, Hot ? 2 : 1, Button))
            DrawFrame(Canvas, Button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    } else if (Tag.Type == "CHECK") {
        const TRect Box = Rect(X + 2, Bottom - 15, X + 15, Bottom);
        if (!Themed || !DrawThemed(Canvas, Window, L"button", 3, Checked ? 5 : 1, Box))
            DrawFrame(Canvas, Box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (Checked ? DFCS_CHECKED : 0));
    } else if (Tag.Type == "RADIO") {
        const TRect Box = Rect(X + 2, Bottom - 14, X + 14, Bottom);
        if (!Themed || !DrawThemed(Canvas, Window, L"button", 2, Checked ? 5 : 1, Box))
            DrawFrame(Canvas, Box, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | (Checked ? DFCS_CHECKED : 0));
    } else if (Tag.Type == "BUTTON") {
        const TRect Button = Rect(X + 2, Bottom - 20, X + W - 2, Bottom);
        const bool Down = Hot && Pressed;
        if (!Themed || !DrawThemed(Canvas, Window, L"button", 1, Down ? 3 : Hot ? 2 : 1, Button))
            DrawFrame(Canvas, Button, DFC_BUTTON, DFCS_BUTTONPUSH | (Down ? DFCS_PUSHED : 0));
        TRect Inner = Button;
        InflateRect(&Inner, -2, -2);
        DrawValue(Canvas, Tag.Value, Inner, DT_CENTER);
    }

    Pen->SetColor(KeepPen);
    Pen->SetWidth(KeepPenWidth);
    Brush->SetColor(KeepBrush);
    Brush->SetStyle(KeepStyle);
}
