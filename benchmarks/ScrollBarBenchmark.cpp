// Scrolling a memo (a multi-line edit of 10,000 rows) line by line and page
// by page with its bars skinned against the same memo with the system's
// bars: the time of one step as the user gets it (the scroll message, the
// bars brought up to date, the window repainted). Ratio: how many times the
// plain step's time the skinned one takes.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "skin/engine/qSkinManager.h"
#include "skin/windows/zqScrollWnd.h"

namespace {

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string FirstShippedSkin()
{
    std::ifstream list(std::string(SKIN_OUTPUT_DIR) + "/skins.txt");
    std::string name;
    std::getline(list, name);
    return name;
}

String SkinsFolder()
{
    String path = "Z:" + String(SKIN_OUTPUT_DIR);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

HWND NewMemo()
{
    std::wstring text;
    for (int i = 0; i < 10000; ++i)
        text += L"Row " + std::to_wstring(i) + L" of the memo\r\n";
    HWND memo = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 50, 50, 400, 300,
                                nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(memo);
    return memo;
}

// Milliseconds per step over Steps steps of Code from the top.
double MsPerStep(HWND Memo, TzqScrollWnd* Skinned, int Code, int Steps)
{
    SendMessageW(Memo, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(Memo);
    const double start = Seconds();
    for (int i = 0; i < Steps; ++i) {
        if (Skinned) {
            SendScrollMessage(Memo, WM_VSCROLL, Code, 0);
            TzqScrollWnd::RefreshScrollBars(Skinned, true);
        } else {
            SendMessageW(Memo, WM_VSCROLL, Code, 0);
        }
        UpdateWindow(Memo);
    }
    GdiFlush();
    return (Seconds() - start) * 1000.0 / Steps;
}

} // namespace

int wmain()
{
    TqSkinManager manager(nullptr);
    manager.SetSkinDirectory(SkinsFolder());
    manager.SetSkinName(FirstShippedSkin());
    if (!manager.SkinData().Loaded) {
        std::printf("the shipped skin did not load\n");
        return 1;
    }
    HWND memo = NewMemo();
    const double plainLine = MsPerStep(memo, nullptr, SB_LINEDOWN, 2000);
    const double plainPage = MsPerStep(memo, nullptr, SB_PAGEDOWN, 500);
    TzqMainWndPtr<TzqScrollWnd> skinned(TzqMainWnd::Create<TzqScrollWnd>(memo, true, "EDIT", &manager, nullptr));
    const double skinLine = MsPerStep(memo, skinned.get(), SB_LINEDOWN, 2000);
    const double skinPage = MsPerStep(memo, skinned.get(), SB_PAGEDOWN, 500);
    skinned.reset();
    DestroyWindow(memo);
    std::printf("memo of 10000 rows, line steps  skinned %7.3f ms  system %7.3f ms  ratio %6.2f\n", skinLine,
                plainLine, skinLine / plainLine);
    std::printf("memo of 10000 rows, page steps  skinned %7.3f ms  system %7.3f ms  ratio %6.2f\n", skinPage,
                plainPage, skinPage / plainPage);
    return 0;
}
