#pragma once
// What the window-subclass tests share: a manager with one of the skins the
// kit draws for this tree, and a spy link that records the messages that
// reach it in a window's chain.

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/WindowHooks.h"
#include "skin/engine/qSkinManager.h"

namespace subclasstest {

inline std::vector<String> ShippedSkins()
{
    std::ifstream list(std::string(SKIN_OUTPUT_DIR) + "/skins.txt");
    std::vector<String> names;
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
            names.push_back(line);
    return names;
}

// The kit's output folder of this build tree, as Wine reaches it (drive Z:).
inline String SkinsFolder()
{
    String path = "Z:" + String(SKIN_OUTPUT_DIR);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::unique_ptr<TqSkinManager> ShippedManager(const String& Name)
{
    auto m = std::make_unique<TqSkinManager>(nullptr);
    m->SetSkinDirectory(SkinsFolder());
    m->SetSkinName(Name);
    return m;
}

// A link that writes Name and the message into Log, then hands it on.
struct Spy {
    Spy(std::vector<std::pair<std::string, TMessage>>& Log, std::string Name) : FLog(Log), FName(std::move(Name)) {}
    void OnWindow(HWND Wnd)
    {
        Hook = HookWndProc(Wnd, [this](TMessage& M, const TCallPrevious& Previous) {
            FLog.emplace_back(FName, M);
            Previous(M);
        });
    }
    void OnControl(TControl* Control)
    {
        Hook = HookWindowProc(Control, [this](TMessage& M, const TCallPrevious& Previous) {
            FLog.emplace_back(FName, M);
            Previous(M);
        });
    }
    TWindowHook Hook;

private:
    std::vector<std::pair<std::string, TMessage>>& FLog;
    std::string FName;
};

// How many entries of Log are Msg seen by Name.
inline int Seen(const std::vector<std::pair<std::string, TMessage>>& Log, const std::string& Name, UINT Msg)
{
    int n = 0;
    for (const auto& e : Log)
        n += e.first == Name && e.second.Msg == Msg;
    return n;
}

}   // namespace subclasstest
