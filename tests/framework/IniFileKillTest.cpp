// Settings files under a writer that is killed in the middle of a save, and
// read by another process while they are rewritten: every file left behind
// is the old or the new one, whole, and no read fails. A writer that saves
// many keys in one update leaves all of them from the same save.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

#include <windows.h>

#include <random>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Exception.h"
#include "framework/IniFile.h"
#include "framework/StringList.h"

namespace {

using testfs::PathStr;

// A process of the settings writer beside the test executable, killed (if
// still running) when the object goes.
class WriterProcess {
public:
    WriterProcess(const String& File, const String& Ready, int Keys)
    {
        const WideString exe = StrToWide(Application->ExePath() + "ini_writer.exe");
        WideString line = L"\"" + exe + L"\" \"" + StrToWide(File) + L"\" \"" + StrToWide(Ready) + L"\" " +
                          std::to_wstring(Keys);
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
// the keys k1 to kKeys with the same generation, then the bulk exactly; -1
// for anything else (a damaged file, or keys of different saves).
long GenerationOf(const std::string& Bytes, const std::string& Bulk, int Keys)
{
    const std::string head = "[Gen]\r\n";
    if (Bytes.compare(0, head.size(), head) != 0)
        return -1;
    std::size_t at = head.size();
    long generation = -1;
    for (int k = 0; k <= Keys; ++k) {
        const std::string name = k == 0 ? "n=" : "k" + std::to_string(k) + "=";
        const auto end = Bytes.find("\r\n", at);
        if (Bytes.compare(at, name.size(), name) != 0 || end == std::string::npos)
            return -1;
        const std::string digits = Bytes.substr(at + name.size(), end - at - name.size());
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            return -1;
        const long value = std::stol(digits);
        if (k > 0 && value != generation)
            return -1;
        generation = value;
        at = end + 2;
    }
    if (Bytes.compare(at, std::string::npos, Bulk) != 0)
        return -1;
    return generation;
}

// Kills writers that save Keys keys besides the generation in one update.
void KillWriters(int Keys)
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
    std::string first = "[Gen]\r\nn=0\r\n";
    for (int k = 1; k <= Keys; ++k)
        first += "k" + std::to_string(k) + "=0\r\n";
    testfs::WriteBytes(temp / "Configure.ini", first + bulk);

    constexpr int Kills = 16;
    std::mt19937 random(1904);   // a fixed seed: the same moments on every run
    std::uniform_int_distribution<int> delayMs(0, 150);
    long last = 0;
    int midSave = 0;
    int reads = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        DeleteFileW(StrToWide(ready).c_str());
        WriterProcess writer(file, ready, Keys);
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
            if (Keys > 0) {
                // One read of the whole section: its keys are of one save.
                TStringList values;
                reader.ReadSectionValues("Gen", &values);
                EXPECT_EQ(values.Count(), Keys + 1);
                for (int i = 1; i < values.Count(); ++i)
                    EXPECT_EQ(values.ValueFromIndex(i), values.ValueFromIndex(0)) << "a read saw keys of two saves";
            }
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
        const long generation = GenerationOf(testfs::ReadBytes(temp / "Configure.ini"), bulk, Keys);
        ASSERT_GE(generation, last) << "the file left behind is damaged or older";
        last = generation;
    }
    EXPECT_GE(last, Kills) << "every writer saved at least once";
    // Kills inside a save (its temporary file is left) are what the check
    // above is about: at least the aimed ones, most of them, land there.
    EXPECT_GE(midSave, Kills / 4) << "too few kills landed inside a save";
    std::printf("%d keys: %d kills, %d inside a save, %ld saves, %d reads meanwhile\n", Keys, Kills, midSave, last,
                reads);
}

TEST(IniFileSave, AWriterKilledMidSaveLeavesTheOldOrTheNewFileWhole)
{
    KillWriters(0);
}

TEST(IniFileSave, AWriterKilledMidUpdateLeavesEveryKeyOfOneSave)
{
    KillWriters(20);
}

} // namespace
