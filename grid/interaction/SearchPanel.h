#pragma once
// The grid's search bar: an edit for the search text, find-next and
// find-previous buttons, a highlight toggle, a match-case box and a close
// button, on a panel along the grid's bottom edge.

#include <utility>
#include <vector>

#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/Panel.h"
#include "grid/core/ProObj.h"

// An edit in which Return fires OnReturn instead of the normal key handling.
class TRetEdit : public TEdit {
public:
    using TEdit::TEdit;
    TNotifyEvent OnReturn;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

class TSearchPanel : public TPanel {
public:
    explicit TSearchPanel(TComponent* AOwner);

    TRetEdit* SearchEdit() const { return FEdit; }
    TProGridButton* FindNextButton() const { return FFindNext; }
    TProGridButton* FindPrevButton() const { return FFindPrev; }
    TProGridButton* HighlightButton() const { return FHighlight; }
    TProGridButton* CloseButton() const { return FClose; }
    TCheckBox* MatchCaseBox() const { return FMatchCase; }

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    // Puts one of the panel's controls at Left pixels from the left edge,
    // or, under right-to-left alignment, as far from the right edge (its
    // right side there); the place is kept through size and mode changes.
    void SetControlLeft(TControl* Control, int Left);

    // The relays of the controls' events to the grid.
    void FindNextClicked(TObject* Sender);
    void FindPreviousClicked(TObject* Sender);
    void EditChanged(TObject* Sender);
    void CloseClicked(TObject* Sender);
    void HighlightClicked(TObject* Sender);

    TNotifyEvent OnFindNext;
    TNotifyEvent OnFindPrevious;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnClose;
    TNotifyEvent OnHighlight;

protected:
    void CreateWnd() override;
    void Paint() override;
    void Resize() override;
    void BiDiModeChanged() override;

private:
    void PlaceControls();

    TProGridButton* MakeButton(int Left, int Top, int Width, int Height, const char* Glyph, const char* Disabled);

    TRetEdit* FEdit;
    TProGridButton* FFindNext;
    TProGridButton* FFindPrev;
    TProGridButton* FHighlight;
    TProGridButton* FClose;
    TCheckBox* FMatchCase;
    TColor FColorTo = clNone;
    // Each control with its distance from the left edge in a left-to-right panel.
    std::vector<std::pair<TControl*, int>> FLefts;
};
