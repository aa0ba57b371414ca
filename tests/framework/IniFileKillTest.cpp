// Settings files under a writer that is killed in the middle of a save, and
// read by another process while they are rewritten: every file left behind
// is the old or the new one, whole, and no read fails.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <windows.h>

#include <random>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/IniFile.h"

namespace {

using testfs::PathStr;

// A process of the settings writer beside the test executable, killed (if
// still running) when the object goes.
class WriterProcess {
public:
    WriterProcess(const String& File, const String& Ready)
    {
        const WideString exe = StrToWide(Application->ExePath() + "ini_writer.exe");
        WideString line = L"\"" + exe + L"\" \"" + StrToWide(File) + L"\" \"" + StrToWide(Ready) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FInfo)) {
            FError = GetLastError();
            FInfo.hProcess = nullptr;
        } else {
            CloseHandle(FInfo.hThread);
        }
    }
    ~WriterProcess()
    {
        if (FInfo.hProcess == nullptr)
            return;
        Kill();
        CloseHandle(FInfo.hProcess);
    }
    WriterProcess(const WriterProcess&) = delete;
    WriterProcess& operator=(const WriterProcess&) = delete;

    bool Started() const { return FInfo.hProcess != nullptr; }
    // The system's error code of a start that failed.
    DWORD Error() const { return FError; }
    bool Running() const { return WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT; }
    // Ends it at once, wherever it is, and waits (bounded) until it is gone.
    bool Kill()
    {
        TerminateProcess(FInfo.hProcess, 9);
        return WaitForSingleObject(FInfo.hProcess, 10000) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION FInfo{};
    DWORD FError = 0;
};

bool Exists(const String& Name) { return GetFileAttributesW(StrToWide(Name).c_str()) != INVALID_FILE_ATTRIBUTES; }

// The generation a whole file holds: the file is "[Gen]", "n=<generation>",
// then the bulk exactly; -1 for anything else (a damaged file).
long GenerationOf(const std::string& Bytes, const std::string& Bulk)
{
    const std::string head = "[Gen]\r\nn=";
    if (Bytes.compare(0, head.size(), head) != 0)
        return -1;
    const auto end = Bytes.find("\r\n", head.size());
    if (end == std::string::npos || end == head.size() || end - head.size() > 9)
        return -1;
    const std::string digits = Bytes.substr(head.size(), end - head.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    if (Bytes.compare(end + 2, std::string::npos, Bulk) != 0)
        return -1;
    return std::stol(digits);
}

TEST(IniFileSave, AWriterKilledMidSaveLeavesTheOldOrTheNewFileWhole)
{
    testfs::TempDir temp("inikill");
    const String file = PathStr(temp / "Configure.ini");
    const String ready = PathStr(temp / "ready");
    const String leftover = file + ".~tmp";
    // A large file (about 4 MB in long lines), so that a save spends its
    // time writing rather than parsing.
    std::string bulk = "[Bulk]\r\n";
    for (int i = 0; i < 64; ++i)
        bulk += "key" + std::to_string(100000 + i) + "=" + std::string(64000, static_cast<char>('a' + i % 26)) + "\r\n";
    testfs::WriteBytes(temp / "Configure.ini", "[Gen]\r\nn=0\r\n" + bulk);

    constexpr int Kills = 16;
    std::mt19937 random(1904);   // a fixed seed: the same moments on every run
    std::uniform_int_distribution<int> delayMs(0, 150);
    long last = 0;
    int midSave = 0;
    int reads = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        DeleteFileW(StrToWide(ready).c_str());
        WriterProcess writer(file, ready);
        ASSERT_TRUE(writer.Started()) << "cannot start ini_writer.exe beside the test: error " << writer.Error();
        const DWORD start = GetTickCount();
        while (!Exists(ready) && writer.Running() && GetTickCount() - start < 20000)
            Sleep(5);
        ASSERT_TRUE(Exists(ready)) << "the writer did not make its first save";

        // Until the chosen moment, read the file as another program would
        // while the writer rewrites it: no read fails or sees a mixture.
        // Every other kill aims at a save: it waits until the writer's
        // temporary file is there, then a few random milliseconds more.
        const bool aimAtSave = kill % 2 == 1;
        auto read = [&] {
            TIniFile reader(file);
            const Integer seen = reader.ReadInteger("Gen", "n", -1);
            EXPECT_GE(seen, last) << "a read gave an older or no generation";
            const String bulkValue = reader.ReadString("Bulk", "key100063", "");
            EXPECT_TRUE(bulkValue == std::string(64000, static_cast<char>('a' + 63 % 26)))
                << "a read saw a damaged file: the value has " << bulkValue.size() << " bytes";
            ++reads;
        };
        if (aimAtSave) {
            read();
            const DWORD since = GetTickCount();
            while (!Exists(leftover) && GetTickCount() - since < 5000)
                Sleep(1);
            Sleep(static_cast<DWORD>(delayMs(random) / 50));
        } else {
            const DWORD moment = GetTickCount() + static_cast<DWORD>(delayMs(random));
            do
                read();
            while (static_cast<int>(GetTickCount() - moment) < 0);
        }

        ASSERT_TRUE(writer.Kill()) << "the writer did not end";
        if (Exists(leftover))
            ++midSave;
        const long generation = GenerationOf(testfs::ReadBytes(temp / "Configure.ini"), bulk);
        ASSERT_GE(generation, last) << "the file left behind is damaged or older";
        last = generation;
    }
    EXPECT_GE(last, Kills) << "every writer saved at least once";
    // Kills inside a save (its temporary file is left) are what the check
    // above is about: at least the aimed ones, most of them, land there.
    EXPECT_GE(midSave, Kills / 4) << "too few kills landed inside a save";
    std::printf("%d kills, %d inside a save, %ld saves, %d reads meanwhile\n", Kills, midSave, last, reads);
}

} // namespace
