// TqBoundLabel: the caption label beside a skinned control.
#include <algorithm>

#include "framework/WinControl.h"
#include "skin/engine/qCommonData.h"
#include "skin/engine/qEditLabel.h"

TqBoundLabel::TqBoundLabel(TControl* AOwner, TqCommonData* AData)
    : FControl(AOwner), FCommonData(AData), FFont(std::make_unique<TFont>())
{
}

TqBoundLabel::~TqBoundLabel()
{
    SetActive(false);
}

void TqBoundLabel::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (!Value) {
        // Owned by the control as a component, freed here.
        std::unique_ptr<TqEditLabel> label(FLabel);
        FLabel = nullptr;
        return;
    }
    auto label = std::make_unique<TqEditLabel>(FControl, this);
    label->SetVisible(false);
    label->SetParent(FControl->Parent());
    label->FocusControl = dynamic_cast<TWinControl*>(FControl);
    label->SetFont(FFont.get());
    FLabel = label.release();
    UpdateAlignment();
    FLabel->SetName(FControl->Name().empty() ? String() : FControl->Name() + "Label");
    if (FCaption.empty())
        FCaption = FControl->Name();
    FLabel->SetCaption(FCaption);
    FLabel->SetVisible(FControl->Visible() || FLabel->IsDesigning());
    FLabel->SetEnabled(FControl->Enabled());
    AlignLabel();
}

void TqBoundLabel::SetCaption(const String& Value)
{
    FCaption = Value;
    if (FLabel != nullptr)
        FLabel->SetCaption(Value);
    if (FActive)
        AlignLabel();
}

void TqBoundLabel::SetIndent(int Value)
{
    FIndent = Value;
    if (FActive)
        AlignLabel();
}

void TqBoundLabel::SetMaxWidth(int Value)
{
    FMaxWidth = Value;
    if (FActive)
        AlignLabel();
}

void TqBoundLabel::SetLayout(TqCaptionLayout Value)
{
    FLayout = Value;
    UpdateAlignment();
    if (FActive)
        AlignLabel();
}

TFont* TqBoundLabel::Font() const
{
    return FLabel != nullptr ? FLabel->Font() : FFont.get();
}

void TqBoundLabel::SetFont(const TFont* Value)
{
    if (FLabel != nullptr) {
        FLabel->SetParentFont(false);
        FLabel->SetFont(Value);
    } else {
        FFont->Assign(Value);
    }
    AlignLabel();
}

bool TqBoundLabel::UseSkinColor() const
{
    return FLabel == nullptr || FLabel->UseSkinColor;
}

void TqBoundLabel::SetUseSkinColor(bool Value)
{
    if (FLabel != nullptr)
        FLabel->UseSkinColor = Value;
}

void TqBoundLabel::AlignLabel()
{
    if (FLabel == nullptr || !FLabel->Visible())
        return;
    FLabel->SetAutoSize(true);
    const int w = FLabel->Width();
    const int h = FLabel->Height();
    TControl* c = FControl;
    int left = c->Left();
    int top = c->Top() - h - FIndent;
    switch (FLayout) {
    case sclLeft:
        left = c->Left() - w - 4 - FIndent;
        top = c->Top() + (c->Height() - h) / 2 - 1;
        break;
    case sclTopLeft: left = c->Left(); break;
    case sclTopCenter: left = c->Left() + (c->Width() - w) / 2; break;
    case sclTopRight: left = c->Left() + c->Width() - w; break;
    }
    FLabel->SetBounds(left, top, w, h);
    if (FMaxWidth != 0) {
        FLabel->SetAutoSize(false);
        FLabel->SetWidth(FMaxWidth);
        FLabel->SetWordWrap(true);
        FLabel->SetHeight(std::max(FLabel->Height(), c->Height()));
    }
}

void TqBoundLabel::UpdateAlignment()
{
    if (FLabel == nullptr)
        return;
    switch (FLayout) {
    case sclTopLeft: FLabel->SetAlignment(taLeftJustify); break;
    case sclTopCenter: FLabel->SetAlignment(taCenter); break;
    case sclLeft:
    case sclTopRight: FLabel->SetAlignment(taRightJustify); break;
    }
}
