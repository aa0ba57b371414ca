// Vantrel: the infrared-code manager.
#include <windows.h>

#include "framework/Application.h"
#include "manager/UAbout.h"
#include "manager/UEdit.h"
#include "manager/UEditName.h"
#include "manager/URedEdit.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const int Result = GuardCallback([] {
        Application->Title = "Vantrel";
        vantrel::TFmMain* main = nullptr;
        vantrel::TFmAbout* about = nullptr;
        vantrel::TFmEditName* editName = nullptr;
        Application->CreateForm(main);
        Application->CreateForm(about);
        Application->CreateForm(editName);
        vantrel::TForm1* codeEditor = nullptr;
        Application->CreateForm(codeEditor);
        vantrel::EnsureFileAssociation();
        vantrel::OpenStartupProject();
        main->Show();
        Application->Run();
        return 0;
    }, 1);
    // The forms go while the program still runs, also after a failed start:
    // at the end of the process the objects they use are partly gone.
    Application->DestroyComponents();
    return Result;
}
