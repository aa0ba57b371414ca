#include "grid/interaction/SearchPanel.h"

#include <algorithm>

#include "framework/Bitmap.h"
#include "framework/Codepage.h"
#include "grid/core/GridDrawing.h"

namespace {

// A glyph from the program's bitmap resources; an empty bitmap when the
// program carries none of that name.
void LoadGlyph(TBitmap* Bitmap, const char* Name)
{
    HINSTANCE Instance = GetModuleHandleW(nullptr);
    if (FindResourceW(Instance, StrToWide(Name).c_str(), RT_BITMAP))
        Bitmap->LoadFromResourceName(Instance, Name);
}

} // namespace

// ---------------------------------------------------------------------------
// TRetEdit

void TRetEdit::CreateParams(TCreateParams& Params)
{
    TEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
}

void TRetEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_RETURN) {
        if (OnReturn)
            OnReturn(this);
        return;
    }
    if (Message.Msg == WM_CHAR && Message.WParam == 13) {
        char Key = 13;
        DoKeyPress(Key);
        Message.Result = 0;
        return;
    }
    TEdit::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TSearchPanel

TSearchPanel::TSearchPanel(TComponent* AOwner) : TPanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetBevelWidth(1);
    FEdit = new TRetEdit(this);
    FEdit->SetParent(this);
    FEdit->SetBounds(25, 6, 110, 21);
    SetControlLeft(FEdit, 25);
    FEdit->OnChange = [this](TObject* Sender) { EditChanged(Sender); };
    FEdit->OnReturn = [this](TObject* Sender) { FindNextClicked(Sender); };

    FFindNext = MakeButton(140, 5, 90, 23, "PSGARDOWN", "PSGARDOWND");
    FFindNext->OnClick = [this](TObject* Sender) { FindNextClicked(Sender); };
    FFindPrev = MakeButton(235, 5, 90, 23, "PSGARUP", "PSGARUPD");
    FFindPrev->OnClick = [this](TObject* Sender) { FindPreviousClicked(Sender); };
    FHighlight = MakeButton(330, 5, 90, 23, "PSGHI", "PSGHID");
    FHighlight->SetStyle(tasCheck);
    FHighlight->OnClick = [this](TObject* Sender) { HighlightClicked(Sender); };
    FClose = MakeButton(5, 7, 14, 14, "PSGCLOSE", nullptr);
    FClose->SetEnabled(true);
    FClose->SetShowCaption(false);
    LoadGlyph(FClose->GlyphHot(), "PSGCLOSEH");
    LoadGlyph(FClose->GlyphDown(), "PSGCLOSED");
    FClose->OnClick = [this](TObject* Sender) { CloseClicked(Sender); };

    FMatchCase = new TCheckBox(this);
    FMatchCase->SetParent(this);
    FMatchCase->SetBounds(425, 8, 100, 17);
    SetControlLeft(FMatchCase, 425);
}

void TSearchPanel::SetControlLeft(TControl* Control, int Left)
{
    auto Place = std::find_if(FLefts.begin(), FLefts.end(), [Control](const auto& P) { return P.first == Control; });
    if (Place == FLefts.end())
        FLefts.emplace_back(Control, Left);
    else
        Place->second = Left;
    PlaceControls();
}

void TSearchPanel::PlaceControls()
{
    const bool Mirrored = UseRightToLeftAlignment();
    for (const auto& [Control, Left] : FLefts)
        Control->SetLeft(Mirrored ? ClientWidth() - Left - Control->Width() : Left);
}

void TSearchPanel::Resize()
{
    TPanel::Resize();
    PlaceControls();
}

void TSearchPanel::BiDiModeChanged()
{
    TPanel::BiDiModeChanged();
    PlaceControls();
}

TProGridButton* TSearchPanel::MakeButton(int Left, int Top, int Width, int Height, const char* Glyph,
                                         const char* Disabled)
{
    auto* B = new TProGridButton(this);
    B->SetParent(this);
    B->SetBounds(Left, Top, Width, Height);
    SetControlLeft(B, Left);
    TBitmap Bitmap;
    LoadGlyph(&Bitmap, Glyph);
    if (!Bitmap.Empty())
        B->SetGlyph(&Bitmap);
    if (Disabled)
        LoadGlyph(B->GlyphDisabled(), Disabled);
    // Disabled until text is typed.
    B->SetEnabled(false);
    return B;
}

void TSearchPanel::CreateWnd()
{
    TPanel::CreateWnd();
}

void TSearchPanel::SetColorTo(TColor Value)
{
    FColorTo = Value;
    Invalidate();
}

void TSearchPanel::Paint()
{
    TPanel::Paint();
    const TRect R = ClientRect();
    if (FColorTo == clNone) {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->Pen()->SetColor(Color());
        Canvas()->Rectangle(R);
    } else
        DrawGradientRect(Canvas(), Color(), FColorTo, false, R, 32);
}

void TSearchPanel::FindNextClicked(TObject*)
{
    if (OnFindNext)
        OnFindNext(this);
}

void TSearchPanel::FindPreviousClicked(TObject*)
{
    if (OnFindPrevious)
        OnFindPrevious(this);
}

void TSearchPanel::EditChanged(TObject*)
{
    const bool HasText = !FEdit->Text().empty();
    FFindNext->SetEnabled(HasText);
    FFindPrev->SetEnabled(HasText);
    FHighlight->SetEnabled(HasText);
    if (OnEditChange)
        OnEditChange(this);
}

void TSearchPanel::CloseClicked(TObject*)
{
    if (OnClose)
        OnClose(this);
}

void TSearchPanel::HighlightClicked(TObject*)
{
    if (OnHighlight)
        OnHighlight(this);
}
