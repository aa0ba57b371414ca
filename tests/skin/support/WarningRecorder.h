#pragma once
// Records the skin engine's warnings while it lives: under Wine it answers
// the message boxes, in the host tree it reads the kept warnings.

#include <vector>

#include "skin/engine/qSkinWarning.h"
#ifdef _WIN32
#include "framework/Application.h"
#endif

namespace skintest {

class TWarningRecorder {
public:
#ifdef _WIN32
    TWarningRecorder()
    {
        Application->MessageBoxHook = [this](const String& Text, const String&, UINT) {
            FTexts.push_back(Text);
            return IDOK;
        };
    }
    ~TWarningRecorder() { Application->MessageBoxHook = nullptr; }
    const std::vector<String>& Texts() const { return FTexts; }

private:
    std::vector<String> FTexts;
#else
    TWarningRecorder() { HostWarnings.clear(); }
    ~TWarningRecorder() { HostWarnings.clear(); }
    const std::vector<String>& Texts() const { return HostWarnings; }
#endif
};

}   // namespace skintest
