// The host tree has no windows: the engine's warnings are kept for the tests.
#include "skin/engine/qSkinWarning.h"

std::vector<String> HostWarnings;

void ShowWarningBox(const String& Text)
{
    HostWarnings.push_back(Text);
}
