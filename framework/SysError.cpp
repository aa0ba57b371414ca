#include "framework/SysError.h"

#include "framework/StrUtils.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Codepage.h"
#else
#include <cstring>
#endif

String SysErrorMessage(unsigned long Code)
{
#ifdef _WIN32
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(Code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const WideString text = n != 0 && buffer != nullptr ? WideString(buffer, n) : WideString();
    if (buffer != nullptr)
        LocalFree(buffer);
    String s = TrimRight(WideToStr(text));
#else
    String s = std::strerror(static_cast<int>(Code));
#endif
    if (s.empty())
        s = "System error " + IntToStr(static_cast<Int64>(Code));
    return s;
}
