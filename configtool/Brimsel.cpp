// Brimsel: the extender configuration tool.
#include <windows.h>

#include "configtool/UBrimsel.h"
#include "configtool/UKx40Set.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return GuardCallback([] {
        brimsel::TFmKX40* main = nullptr;
        brimsel::TFmSim* sim = nullptr;
        Application->CreateForm(main);
        Application->CreateForm(sim);
        main->Show();
        Application->Run();
        return 0;
    }, 1);
}
