#pragma once
// TGridTransEdit: the borderless edit the grid opens over a fixed cell to
// edit its text. Enter is consumed; leaving the edit validates and stores
// the text, or keeps the edit open on its cell when validation refuses it.

#include "framework/Edit.h"

class TProStringGrid;

class TGridTransEdit : public TCustomEdit {
public:
    explicit TGridTransEdit(TComponent* AOwner);

    // The fixed cell being edited (set by the grid when it opens the edit).
    int EditCol = -1;
    int EditRow = -1;
    // Validates and stores the text; true when stored (the edit is hidden),
    // false when refused (the edit keeps the focus on its cell).
    bool CommitFixedCell();

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyPress(char& Key) override;
    bool WantsSpecialKey(Word Key) override;
    void DoExit() override;

private:
    TProStringGrid* FGrid;
    bool FCommitting = false;
};
