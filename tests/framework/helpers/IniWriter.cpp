// A program that saves one settings file over and over, for the test that
// kills a writer in the middle of a save:
//
//   ini_writer FILE READY-FILE [KEYS]
//
// Each save sets [Gen] n to one more than the file holds; with KEYS, the
// keys k1 to kKEYS of [Gen] get the same number in the same update. READY-FILE
// is created once the first save is done, so that the test knows the program
// is running; it then kills the program at a moment of its choosing.
#include <windows.h>

#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/IniFile.h"
#include "framework/StrUtils.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 && argc != 4)
        return 2;
    try {
        TIniFile ini(WideToStr(argv[1]));
        const int keys = argc == 4 ? _wtoi(argv[3]) : 0;
        bool ready = false;
        for (Integer n = ini.ReadInteger("Gen", "n", 0) + 1;; ++n) {
            ini.BeginUpdate();
            ini.WriteString("Gen", "n", IntToStr(n));
            for (int k = 1; k <= keys; ++k)
                ini.WriteString("Gen", "k" + IntToStr(k), IntToStr(n));
            ini.EndUpdate();
            if (!ready) {
                HANDLE flag = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (flag != INVALID_HANDLE_VALUE)
                    CloseHandle(flag);
                ready = true;
            }
        }
    } catch (const Exception& e) {
        // The test sees the exit status and the message.
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), e.Message.data(), static_cast<DWORD>(e.Message.size()), nullptr,
                  nullptr);
        return 1;
    }
}
