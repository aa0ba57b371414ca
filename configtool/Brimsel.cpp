// Brimsel: the extender configuration tool.
#include <windows.h>

#include "configtool/UBrimsel.h"
#include "configtool/UKx40Set.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const int Result = GuardCallback([] {
        brimsel::TFmKX40* main = nullptr;
        brimsel::TFmSim* sim = nullptr;
        Application->CreateForm(main);
        Application->CreateForm(sim);
        main->Show();
        Application->Run();
        return 0;
    }, 1);
    // The forms go while the program still runs, also after a failed start:
    // the main window ends its idle worker at once, while at the end of the
    // process the worker's exit would wait on the process's own shutdown.
    Application->DestroyComponents();
    return Result;
}
