#pragma once
// The system's open and save dialogs (GetOpenFileNameW, GetSaveFileNameW).
// Filter is "description|pattern|description|pattern..."; Execute returns
// whether the user chose a file, which is then in FileName (936 text).

#include <functional>

#include "framework/Component.h"

// Options: a set of TOpenOptionFlag bits.
enum TOpenOptionFlag : unsigned {
    ofOverwritePrompt = 1u << 0,
    ofHideReadOnly = 1u << 1,
    ofPathMustExist = 1u << 2,
    ofFileMustExist = 1u << 3,
    ofNoChangeDir = 1u << 4,
};
using TOpenOptions = unsigned;

class TOpenDialog;

// Answers a file dialog instead of showing it (tests): gets the dialog with
// its properties set, may change FileName, and returns what Execute returns.
using TFileDialogHook = std::function<bool(TOpenDialog* Dialog, bool Save)>;
extern TFileDialogHook FileDialogHook;

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

    String FileName;
    String Filter;
    // The filter shown first, counted from 1.
    int FilterIndex = 1;
    // Added to a typed name that has no extension (without the dot).
    String DefaultExt;
    String InitialDir;
    String Title;
    TOpenOptions Options = ofHideReadOnly;

    virtual bool Execute();

protected:
    bool Run(bool Save);
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override { return Run(true); }
};
