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
        // The windows go while the program is still running normally: the
        // main window ends its idle worker at once. Left to the end of the
        // process, the worker's exit would wait on the process's own shutdown.
        delete sim;
        delete main;
        return 0;
    }, 1);
}
