#include "framework/CommonControls.h"

#include <commctrl.h>

void InitCommonControlClasses(DWORD Classes)
{
    static DWORD done = 0;
    if ((done & Classes) == Classes)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, Classes};
    if (InitCommonControlsEx(&icc))
        done |= Classes;
}
