// The search panel's graphic button: states, group behaviour, hot tracking,
// colour presets and painting.
#include "grid/core/ProObj.h"

#include <algorithm>
#include <cmath>

#include <vssym32.h>

#include "framework/Menus.h"
#include "grid/core/GridDrawing.h"
#include "visuals/ProXPVS.h"

namespace {

// The class library's notification that makes controls adapt to a new theme.
constexpr UINT CM_THEMEADAPT = 0xB035;

// Glyph drawn with its transparent colour (the bottom-left pixel) left out.
void DrawTransparent(TCanvas* Canvas, int X, int Y, const TBitmap* Glyph)
{
    TBitmap copy;
    copy.Assign(Glyph);
    copy.SetTransparent(true);
    Canvas->Draw(X, Y, &copy);
}

}  // namespace

void DrawButtonGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, TRect R, int Steps,
                        TColor Border)
{
    const COLORREF from = ColorToRGB(FromColor);
    const COLORREF to = ColorToRGB(ToColor);
    const int n = std::max(Steps, 1);
    const double s = (Horizontal ? RectWidth(R) : RectHeight(R)) / static_cast<double>(n);
    auto channel = [n](int a, int b, int i) {
        return static_cast<Byte>(a + static_cast<int>(std::lround(i * (b - a) / static_cast<double>(n))));
    };
    Canvas->Pen()->SetStyle(TPenStyle::psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    for (int i = 0; i < n; ++i) {
        const TColor c = RGBToColor(channel(GetRValue(from), GetRValue(to), i), channel(GetGValue(from), GetGValue(to), i),
                                    channel(GetBValue(from), GetBValue(to), i));
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        const int start = static_cast<int>(std::lround(i * s));
        const int length = static_cast<int>(std::lround(s)) + 1;
        if (Horizontal)
            Canvas->Rectangle(R.left + start, R.top, R.left + start + length, R.bottom);
        else
            Canvas->Rectangle(R.left, R.top + start, R.right, R.top + start + length);
    }
    if (Border != clNone) {
        Canvas->Pen()->SetColor(Border);
        Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        Canvas->Rectangle(R);
        Canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    }
}

TProGridButton::TProGridButton(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FGlyph(std::make_unique<TBitmap>()),
      FGlyphHot(std::make_unique<TBitmap>()),
      FGlyphDown(std::make_unique<TBitmap>()),
      FGlyphDisabled(std::make_unique<TBitmap>()),
      FShade(std::make_unique<TBitmap>())
{
    ControlStyle = csCaptureMouse | csDoubleClicks;
    SetBounds(0, 0, 22, 23);
    SetColor(clBtnFace);
    SetParentFont(true);
    FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TProGridButton::~TProGridButton()
{
    FGlyph->OnChange = nullptr;
}

void TProGridButton::GlyphChanged(TObject*)
{
    Invalidate();
}

// ---- Properties -------------------------------------------------------------

void TProGridButton::SetDown(bool Value)
{
    const bool v = (FGroupIndex != 0 || FStyle == tasCheck) ? Value : false;
    if (FStyle == tasCheck) {
        FDown = v;
        Repaint();
        return;
    }
    if (v == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = v;
    if (v) {
        if (FState == TState::Up)
            Invalidate();
        FState = TState::Exclusive;
        NotifyGroup();
    } else {
        FState = TState::Up;
        Repaint();
    }
}

void TProGridButton::SetGroupIndex(int Value)
{
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    NotifyGroup();
}

void TProGridButton::SetAllowAllUp(bool Value)
{
    if (Value == FAllowAllUp)
        return;
    FAllowAllUp = Value;
    NotifyGroup();
}

void TProGridButton::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    Invalidate();
}

void TProGridButton::SetLayout(TButtonLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TProGridButton::SetMargin(int Value)
{
    if (Value < -1)
        return;
    FMargin = Value;
    Invalidate();
}

void TProGridButton::SetSpacing(int Value)
{
    if (Value == FSpacing)
        return;
    FSpacing = Value;
    Invalidate();
}

void TProGridButton::SetShowCaption(bool Value)
{
    if (Value == FShowCaption)
        return;
    FShowCaption = Value;
    Invalidate();
}

void TProGridButton::SetGlyph(const TBitmap* Value)
{
    FGlyph->Assign(Value);
    if (FGlyphDisabled->Empty() && !FGlyph->Empty()) {
        // The disabled look: every pixel a light grey of the pixel's brightness.
        FGlyphDisabled->Assign(FGlyph.get());
        const int bpp = FGlyphDisabled->BytesPerPixel();
        for (int y = 0; y < FGlyphDisabled->Height(); ++y) {
            Byte* p = FGlyphDisabled->ScanLine(y);
            for (int x = 0; x < FGlyphDisabled->Width(); ++x, p += bpp) {
                const int v = ((p[0] + p[1] + p[2]) / 3) / 2 + 96;
                p[0] = p[1] = p[2] = static_cast<Byte>(v);
            }
        }
    }
    Invalidate();
}

void TProGridButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TProGridButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
}

void TProGridButton::SetShaded(bool Value)
{
    FShaded = Value;
    if (Value && !IsLoading())
        BuildShade();
}

void TProGridButton::SetAutoThemeAdapt(bool Value)
{
    FAutoThemeAdapt = Value;
    if (Value)
        ThemeAdapt();
}

void TProGridButton::Loaded()
{
    TGraphicControl::Loaded();
    if (FShaded)
        BuildShade();
    if (FAutoThemeAdapt)
        ThemeAdapt();
}

void TProGridButton::BuildShade()
{
    if (FGlyph->Empty())
        return;
    const int w = FGlyph->Width();
    const int h = FGlyph->Height();
    const TColor key = FGlyph->Canvas()->Pixels(0, h - 1);
    // Grey where the glyph has ink, white (the shade's own transparent
    // colour) where the glyph shows through.
    FShade->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        const Byte* src = FGlyph->ScanLine(y);
        Byte* dst = FShade->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const Byte* s = src + x * FGlyph->BytesPerPixel();
            const bool ink = RGBToColor(s[2], s[1], s[0]) != key;
            Byte* d = dst + x * FShade->BytesPerPixel();
            d[0] = d[1] = d[2] = ink ? 0x80 : 0xFF;
        }
    }
    FShade->SetTransparentColor(clWhite);
}

// ---- Themes and presets -----------------------------------------------------

int TProGridButton::CurrentSchemeKind()
{
    if (!ThemesAvailable())
        return 0;
    wchar_t file[MAX_PATH] = {};
    wchar_t scheme[MAX_PATH] = {};
    if (FAILED(ThemeApi().GetCurrentThemeName(file, MAX_PATH, scheme, MAX_PATH, nullptr, 0)))
        return 0;
    const WideString name = scheme;
    if (name == L"NormalColor")
        return 1;
    if (name == L"HomeStead")
        return 2;
    if (name == L"Metallic")
        return 3;
    return 0;
}

void TProGridButton::ThemeAdapt()
{
    static constexpr int PresetOfKind[] = {1, 2, 3, 4};
    ApplyPreset(PresetOfKind[CurrentSchemeKind()]);
}

void TProGridButton::ApplyPreset(int Preset)
{
    struct TPreset {
        TColor Color, ColorTo, Hot, HotTo, Down, DownTo, Checked, CheckedTo, Border;
    };
    static constexpr TColor Face = clBtnFace;
    static constexpr TPreset Presets[] = {
        {Face, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31},
        {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
        {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
        {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0},
    };
    if (Preset < 1 || Preset > 4)
        return;
    const TPreset& p = Presets[Preset - 1];
    SetColor(p.Color);
    FColorTo = p.ColorTo;
    FColorHot = p.Hot;
    FColorHotTo = p.HotTo;
    FColorDown = p.Down;
    FColorDownTo = p.DownTo;
    FColorChecked = p.Checked;
    FColorCheckedTo = p.CheckedTo;
    FBorderDownColor = p.Border;
    FBorderHotColor = p.Border;
    FBorderColor = clNone;
    FRounded = false;
    FFlat = true;
    Invalidate();
}

// ---- Messages and the mouse -------------------------------------------------

void TProGridButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED: ButtonPressed(Message); return;
    case CM_DIALOGCHAR: DialogChar(Message); return;
    case CM_MOUSEENTER: MouseEnter(); break;
    case CM_MOUSELEAVE: MouseLeave(); break;
    case CM_ENABLEDCHANGED:
        if (!EffectivelyEnabled())
            FHot = false;
        else
            UpdateHot();
        Repaint();
        return;
    case WM_SYSCOLORCHANGE: Invalidate(); break;
    case WM_THEMECHANGED:
    case CM_THEMEADAPT:
        if (FAutoThemeAdapt)
            ThemeAdapt();
        break;
    default: break;
    }
    TGraphicControl::WndProc(Message);
}

void TProGridButton::NotifyGroup()
{
    if (FGroupIndex != 0 && Parent())
        Parent()->Broadcast(CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this));
}

void TProGridButton::ButtonPressed(TMessage& Message)
{
    auto* sender = dynamic_cast<TProGridButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (static_cast<int>(Message.WParam) != FGroupIndex || sender == nullptr || sender == this)
        return;
    if (sender->Down() && FDown) {
        FDown = false;
        FState = TState::Up;
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

// The caption's accelerator clicks the button while it is enabled, visible
// and on a parent that is showing.
void TProGridButton::DialogChar(TMessage& Message)
{
    if (IsAccel(static_cast<Word>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() != nullptr
        && Parent()->Showing()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TProGridButton::DblClick()
{
    if (FDown)
        TGraphicControl::DblClick();
}

void TProGridButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !EffectivelyEnabled())
        return;
    if (FDropDownButton && X > ClientWidth() - 12) {
        FState = TState::Up;
        FHot = false;
        Repaint();
        if (OnDropDown)
            OnDropDown(this);
        if (FDropDownMenu) {
            const TPoint p = ClientToScreen(Point(0, ClientHeight()));
            FDropDownMenu->Popup(p.x, p.y);
        }
        return;
    }
    if (!FDown) {
        FState = TState::Down;
        Invalidate();
    }
    if (FStyle == tasCheck) {
        FState = TState::Down;
        Repaint();
    }
    FDragging = true;
}

void TProGridButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FDragging) {
        TState state = FDown ? TState::Exclusive : TState::Up;
        if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight())
            state = FDown ? TState::Exclusive : TState::Down;
        if (FStyle == tasCheck && FDown)
            state = TState::Down;
        if (state != FState) {
            FState = state;
            Invalidate();
        }
    } else if (!FHot)
        UpdateHot();
}

void TProGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    const bool inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = TState::Up;
        FHot = false;
        if (FStyle == tasCheck) {
            FDown = !FDown;
            FState = TState::Up;
        }
        if (inside && FState != TState::Down && FState != TState::Exclusive)
            Invalidate();
    } else if (inside) {
        SetDown(!FDown);
        // Put down by this click: the pressed face becomes the checked one.
        if (FDown)
            Repaint();
    } else {
        if (FDown)
            FState = TState::Exclusive;
        Repaint();
    }
    if (inside)
        Click();
    UpdateHot();
}

void TProGridButton::UpdateHot()
{
    if (!FFlat || !EffectivelyEnabled())
        return;
    TControl* under = nullptr;
    if (Parent() && Parent()->HandleAllocated()) {
        POINT p{};
        GetCursorPos(&p);
        under = Parent()->ControlAtPos(Parent()->ScreenToClient(p), false, true);
    }
    // The flag says "was hot" for the notification that follows, which sets
    // it to whether the cursor is over this button.
    FHot = under != this;
    Perform(FHot ? CM_MOUSELEAVE : CM_MOUSEENTER);
}

void TProGridButton::MouseEnter()
{
    if (FFlat && !FHot && EffectivelyEnabled() && GetCapture() == nullptr) {
        FHot = true;
        Repaint();
    }
}

void TProGridButton::MouseLeave()
{
    if (FFlat && FHot && EffectivelyEnabled() && !FDragging) {
        FHot = false;
        Invalidate();
    }
}

// ---- Painting ---------------------------------------------------------------

void TProGridButton::Paint()
{
    if (!EffectivelyEnabled()) {
        FState = TState::Disabled;
        FDragging = false;
    } else if (FState == TState::Disabled)
        FState = (FDown && FGroupIndex != 0) ? TState::Exclusive : TState::Up;
    if (FStyle == tasCheck && FDown)
        FState = TState::Down;

    TRect r = ClientRect();
    PaintFace(r);
    PaintContent(r);
}

// Steps 2 and 3 of the look: the flat face (plain or gradient, hot, down or
// checked) or the raised push button.
void TProGridButton::PaintFace(TRect& R)
{
    TCanvas* c = Canvas();
    const bool designing = IsDesigning();
    const bool pressed = FState == TState::Down || FState == TState::Exclusive;
    auto fill = [&](TColor From, TColor To, TColor Frame) {
        if (To == clNone) {
            c->Brush()->SetStyle(TBrushStyle::bsSolid);
            c->Brush()->SetColor(From);
            if (Frame != clNone) {
                c->Pen()->SetStyle(TPenStyle::psSolid);
                c->Pen()->SetWidth(1);
                c->Pen()->SetColor(Frame);
                c->Rectangle(R);
            } else
                c->FillRect(R);
        } else
            DrawButtonGradient(c, From, To, false, R, 16, Frame);
    };
    auto roundFrame = [&](TColor Frame) {
        c->Pen()->SetStyle(TPenStyle::psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(Frame);
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->RoundRect(R.left - 1, R.top - 1, R.right + 1, R.bottom + 1, 8, 8);
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
    };

    if (FFlat) {
        if (FBorderDownColor == clNone || FRounded)
            InflateRect(&R, -1, -1);
        if (!FHot || !EffectivelyEnabled() || designing) {
            if (FStyle == tasCheck && FDown) {
                fill(FColorChecked, FColorCheckedTo, FBorderDownColor);
            } else {
                fill(Color(), FColorTo, FColorTo == clNone || FRounded ? clNone : (FDown ? FBorderDownColor : FBorderColor));
                if (FBorderColor != clNone) {
                    if (FRounded)
                        roundFrame(FBorderColor);
                    else {
                        c->Brush()->SetColor(FBorderColor);
                        c->FrameRect(R);
                    }
                }
            }
        } else {
            TColor from = FColorHot, to = FColorHotTo, frame = FBorderHotColor;
            if (FState == TState::Down) {
                from = FColorDown;
                to = FColorDownTo;
                frame = FBorderDownColor;
            } else if (FStyle == tasCheck && FDown) {
                from = FColorChecked;
                to = FColorCheckedTo;
                frame = FBorderDownColor;
            }
            fill(from, to, FRounded ? clNone : frame);
            const TColor edge = FState == TState::Down ? FBorderDownColor : FBorderHotColor;
            if (FRounded)
                roundFrame(edge);
            if (FDropDownButton && edge != clNone) {
                c->Pen()->SetColor(edge);
                c->MoveTo(R.right - 12, R.top);
                c->LineTo(R.right - 12, R.bottom);
            }
        }
        InflateRect(&R, -1, -1);
        return;
    }

    HWND parentWnd = Parent() && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
    if (FAutoXPStyle && ThemesAvailable() && parentWnd) {
        const TProThemeSlots& api = ThemeApi();
        if (HTHEME theme = api.OpenThemeData(parentWnd, L"button")) {
            const int state = pressed ? PBS_PRESSED : FHot ? PBS_HOT : PBS_NORMAL;
            api.DrawThemeBackground(theme, c->Handle(), BP_PUSHBUTTON, state, &R, nullptr);
            api.CloseThemeData(theme);
            return;
        }
    }
    DrawFrameControl(c->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
}

// Steps 4 to 8: the checked fill, the drop-down arrow, then the glyph and
// the caption laid out as a speed button does.
void TProGridButton::PaintContent(TRect R)
{
    TCanvas* c = Canvas();
    const bool designing = IsDesigning();
    const bool pressed = FState == TState::Down || FState == TState::Exclusive;
    const bool enabled = EffectivelyEnabled();
    TPoint offset = Point(0, 0);
    if (pressed) {
        if (FState == TState::Exclusive && (!FFlat || !FHot)) {
            TRect g = R;
            InflateRect(&g, 1, 1);
            if (FColorCheckedTo == clNone)
                FillRectColor(c, g, FColorChecked);
            else
                DrawButtonGradient(c, FColorChecked, FColorCheckedTo, false, g, 16, FDown ? FBorderDownColor : FBorderColor);
        }
        if (!FFlat && !designing)
            offset = Point(1, 1);
    }
    const bool raised = FFlat && FHot && enabled && FShaded && !pressed && !designing;
    if (raised)
        offset = Point(-1, -1);

    if (FDropDownButton) {
        const int m = R.top + (R.bottom - R.top) / 2;
        const TColor ink = Font()->Color();
        c->Pen()->SetStyle(TPenStyle::psSolid);
        c->Pen()->SetWidth(1);
        c->Pen()->SetColor(ink);
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
        c->Brush()->SetColor(ink);
        c->Polygon({Point(R.right - 8, m - 1), Point(R.right - 4, m - 1), Point(R.right - 6, m + 1)});
        R.right -= 12;
    }

    // Layout of glyph and caption.
    const String caption = Caption();
    TRect textBounds = Rect(0, 0, RectWidth(R), 0);
    if (!caption.empty())
        c->DrawTextRect(caption, textBounds, DT_CALCRECT | DT_SINGLELINE);
    const int tw = caption.empty() ? 0 : RectWidth(textBounds);
    const int th = caption.empty() ? 0 : RectHeight(textBounds);
    const int gw = FGlyph->Width();
    const int gh = FGlyph->Height();
    const int w = RectWidth(R);
    const int h = RectHeight(R);
    // Right-to-left text puts the glyph on the other side.
    TButtonLayout layout = FLayout;
    if ((DrawTextBiDiModeFlags(0) & DT_RIGHT) != 0 && (layout == blGlyphLeft || layout == blGlyphRight))
        layout = layout == blGlyphLeft ? blGlyphRight : blGlyphLeft;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    TPoint glyphPos = Point(0, 0);
    TPoint textPos = Point(0, 0);
    if (horizontal) {
        glyphPos.y = (h - gh + 1) / 2;
        textPos.y = (h - th + 1) / 2;
    } else {
        glyphPos.x = (w - gw + 1) / 2;
        textPos.x = (w - tw + 1) / 2;
    }
    int spacing = (caption.empty() || FGlyph->Empty()) ? 0 : FSpacing;
    int margin = FMargin;
    const int avail = horizontal ? w : h;
    const int glyphLen = horizontal ? gw : gh;
    const int textLen = horizontal ? tw : th;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (avail - (glyphLen + textLen)) / 3;
            spacing = margin;
        } else
            margin = (avail - (glyphLen + spacing + textLen) + 1) / 2;
    } else if (spacing == -1)
        spacing = (avail - (margin + glyphLen) - textLen) / 2;
    switch (layout) {
    case blGlyphLeft:
        glyphPos.x = margin;
        textPos.x = glyphPos.x + gw + spacing;
        break;
    case blGlyphRight:
        glyphPos.x = w - margin - gw;
        textPos.x = glyphPos.x - spacing - tw;
        break;
    case blGlyphTop:
        glyphPos.y = margin;
        textPos.y = glyphPos.y + gh + spacing;
        break;
    case blGlyphBottom:
        glyphPos.y = h - margin - gh;
        textPos.y = glyphPos.y - spacing - th;
        break;
    }
    glyphPos = Point(R.left + glyphPos.x + offset.x, R.top + glyphPos.y + offset.y);
    textPos = Point(R.left + textPos.x + offset.x, R.top + textPos.y + offset.y);
    if (caption.empty())
        glyphPos = Point(0, 0);

    // The glyph of the state, with the shade under a hot one.
    const TBitmap* glyph = FGlyph.get();
    if (FHot && !pressed && !FGlyphHot->Empty() && !designing)
        glyph = FGlyphHot.get();
    if (pressed && !FGlyphDown->Empty())
        glyph = FGlyphDown.get();
    if (FState == TState::Disabled && !FGlyphDisabled->Empty())
        glyph = FGlyphDisabled.get();
    if (!glyph->Empty()) {
        if (FHot && FShaded && enabled && !pressed && !FShade->Empty()) {
            const TPoint s = caption.empty() ? glyphPos : Point(glyphPos.x + 2, glyphPos.y + 2);
            FShade->SetTransparent(true);
            c->Draw(s.x, s.y, FShade.get());
        }
        DrawTransparent(c, glyphPos.x, glyphPos.y, glyph);
    }

    if (FShowCaption && !caption.empty()) {
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Font()->Assign(Font());
        TRect t = Rect(textPos.x, textPos.y, textPos.x + tw, textPos.y + th);
        if (raised)
            OffsetRect(&t, 1, 1);
        const UINT format = DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (FState == TState::Disabled) {
            TRect light = t;
            OffsetRect(&light, 1, 1);
            c->Font()->SetColor(clBtnHighlight);
            c->DrawTextRect(caption, light, format);
            c->Font()->SetColor(clBtnShadow);
        }
        c->DrawTextRect(caption, t, format);
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
    }
}
