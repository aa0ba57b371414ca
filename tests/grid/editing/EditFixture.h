#pragma once
// The grid editing tests' form: one grid with editing on, shown and focused,
// whose cells' editor type the test chooses.

#include <windows.h>

#include "framework/Form.h"
#include "grid/core/ProGrid.h"
#include "grid/interaction/LocaleFormats.h"
#include "tests/support/GuiHarness.h"

// A form holding one grid of class TGrid with editing on, shown and focused.
template <class TGrid>
struct EditFixtureOf {
    TForm* Form = nullptr;
    TGrid* G = nullptr;
    TEditorType Type = edNormal;

    EditFixtureOf()
    {
        FormatSettings().DecimalSeparator = '.';
        FormatSettings().ThousandSeparator = ',';
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 520, 300);
        G = new TGrid(Form);
        G->SetParent(Form);
        G->SetBounds(8, 8, 480, 240);
        G->SetColCount(5);
        G->SetRowCount(6);
        G->SetDefaultColWidth(90);
        G->SetOptions(G->Options() | goEditing);
        G->OnGetEditorType = [this](TObject*, int, int, TEditorType& E) { E = Type; };
        Form->Show();
        gui::Settle();
        G->SetFocus();
        gui::Settle();
    }
    ~EditFixtureOf() { delete Form; gui::Settle(); }

    void Key(Word K) { gui::PressKey(K); }
    // The cell holds Text and its editor is open (F2) with the caret at the end.
    bool OpenWithCaretAtEnd(int C, int R, const char* Text)
    {
        G->WriteCellText(C, R, Text);
        G->FocusCell(C, R, true);
        Key(VK_F2);
        if (!EditorFocused())
            return false;
        SendMessageW(GetFocus(), EM_SETSEL, 0x7fff, 0x7fff);
        return true;
    }
    // The focus is in one of the grid's editors.
    bool EditorFocused() const
    {
        const HWND F = GetFocus();
        return F != nullptr && F != G->Handle() && IsChild(G->Handle(), F);
    }
};

using EditFixture = EditFixtureOf<TProStringGrid>;
