// Projects: a channel saved as a code file (".ir") and a name file (".pir")
// of one base name, opened from the file dialog or from the command line.
#include "manager/URedEdit.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "framework/Application.h"
#include "framework/Codepage.h"
#include "framework/Stream.h"
#include "framework/StrUtils.h"
#include "manager/ProjectXml.h"

namespace vantrel {

namespace {

// Path with its extension (from the last dot of the file name) replaced.
String ChangeFileExt(const String& Path, const String& Extension)
{
    const std::size_t name = Path.find_last_of("\\/:");
    const std::size_t dot = Path.rfind('.');
    if (dot == String::npos || (name != String::npos && dot < name))
        return Path + Extension;
    return Path.substr(0, dot) + Extension;
}

String ExtractFileName(const String& Path)
{
    const std::size_t name = Path.find_last_of("\\/:");
    return name == String::npos ? Path : Path.substr(name + 1);
}

// The folder part of a path, with its trailing separator; empty for a bare name.
String ExtractFilePath(const String& Path)
{
    const std::size_t name = Path.find_last_of("\\/:");
    return name == String::npos ? String() : Path.substr(0, name + 1);
}

// The dialogs start in the project folder: a name a dialog kept from its
// last use keeps only its file name, since a folder in it would win.
void StartInProjectFolder(TOpenDialog* Dialog, const String& Folder)
{
    Dialog->InitialDir = Folder;
    Dialog->FileName = ExtractFileName(Dialog->FileName);
}

String BuildDate()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute);
    return text;
}

String ReadWholeFile(const String& Path)
{
    TFileStream file(Path, fmOpenRead | fmShareDenyWrite);
    const Int64 size = file.Size();
    if (size > 16 * 1024 * 1024)
        throw EReadError("The file \"" + Path + "\" is too large for a channel");
    String bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0)
        file.ReadBuffer(bytes.data(), static_cast<Integer>(size));
    return bytes;
}

void WriteWholeFile(const String& Path, const String& Bytes)
{
    TFileStream file(Path, fmCreate);
    if (!Bytes.empty())
        file.WriteBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
    file.FlushBuffers();
}

bool IsReadOnlyFile(const String& Path)
{
    const DWORD attributes = GetFileAttributesW(StrToWide(Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void ReplaceFile(const String& From, const String& To)
{
    if (!MoveFileExW(StrToWide(From).c_str(), StrToWide(To).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError("Cannot replace the file \"" + To + "\"");
}

// Deletes the temporaries of a save that did not complete.
class TTemporaries {
public:
    explicit TTemporaries(std::initializer_list<String> Paths) : FPaths(Paths) {}
    ~TTemporaries()
    {
        for (const String& path : FPaths)
            DeleteFileW(StrToWide(path).c_str());
    }
    TTemporaries(const TTemporaries&) = delete;
    TTemporaries& operator=(const TTemporaries&) = delete;

private:
    std::vector<String> FPaths;
};

// A code that does not begin with its own length of 2 to 2048 bytes would
// make the code file unreadable (its reader takes that length as the code's
// size): such a save is refused before any file is touched, naming the slots.
void CheckStorableCodes(const TSlotRecords& Codes, const String& NameFile)
{
    const String slots = UnstorableSlots(Codes);
    if (!slots.empty())
        throw EWriteError("The project \"" + NameFile + "\" is not saved: the code of slot " + slots +
                          " does not begin with its own length of 2 to 2048 bytes, so the project could not be "
                          "opened again. Delete or read those slots again first.");
}

} // namespace

TChannelImage TFmMain::ChannelImage(int Channel) const
{
    TChannelImage image;
    for (int slot = 0; slot < SlotCount; ++slot) {
        image.Codes[static_cast<std::size_t>(slot)] = Code(Channel, slot);
        image.Names[static_cast<std::size_t>(slot)] = SlotName(Channel, slot);
    }
    return image;
}

void TFmMain::ShowChannelImage(int Channel, const TChannelImage& Image)
{
    TProStringGrid* grid = ChannelGrid(Channel);
    grid->BeginUpdate();
    for (int slot = 0; slot < SlotCount; ++slot) {
        const String& code = Image.Codes[static_cast<std::size_t>(slot)];
        SetCode(Channel, slot, code);
        SetSlotName(Channel, slot, Image.Names[static_cast<std::size_t>(slot)]);
        ShowSlotState(grid, slot, !code.empty());
    }
    grid->EndUpdate();
}

bool TFmMain::SaveRedMemXml(const String& FileName, int Channel)
{
    const String codeFile = ChangeFileExt(FileName, ".ir");
    const String nameFile = ChangeFileExt(FileName, ".pir");
    TSlotNames names;
    for (int slot = 0; slot < SlotCount; ++slot)
        names[static_cast<std::size_t>(slot)] = Trim(SlotName(Channel, slot));
    const TSlotRecords records = ChannelImage(Channel).Codes;
    CheckStorableCodes(records, nameFile);
    const String codes = EncodeCodeFile(records);

    // Both files are written whole beside the old ones first; the old
    // project is replaced only when both are complete.
    for (const String& target : {codeFile, nameFile})
        if (IsReadOnlyFile(target))
            throw EFCreateError("Cannot replace the read-only file \"" + target + "\"");
    const String codeTemp = codeFile + ".tmp";
    const String nameTemp = nameFile + ".tmp";
    TTemporaries temporaries{codeTemp, nameTemp};
    WriteWholeFile(codeTemp, codes);
    SaveNameFile(nameTemp, ExtractFileName(nameFile), BuildDate(), names);
    // The old code file steps aside first: when the name file cannot be
    // replaced (another program holds it open, say), it comes back, so the
    // old project stays a matching pair.
    const String codeOld = codeFile + ".old";
    const bool hadCode = GetFileAttributesW(StrToWide(codeFile).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (hadCode)
        ReplaceFile(codeFile, codeOld);
    try {
        ReplaceFile(codeTemp, codeFile);
        ReplaceFile(nameTemp, nameFile);
    } catch (...) {
        if (hadCode)
            MoveFileExW(StrToWide(codeOld).c_str(), StrToWide(codeFile).c_str(), MOVEFILE_REPLACE_EXISTING);
        else
            DeleteFileW(StrToWide(codeFile).c_str());
        throw;
    }
    if (hadCode)
        DeleteFileW(StrToWide(codeOld).c_str());
    FProjectFolder = ExtractFilePath(nameFile);
    return true;
}

bool TFmMain::LoadRedMemXml(const String& FileName, int Channel)
{
    if (Channel < 0 || Channel >= ChannelCount)
        return false;
    const String codeFile = ChangeFileExt(FileName, ".ir");
    const String nameFile = ChangeFileExt(FileName, ".pir");
    // Both files are read and checked before the channel changes: a project
    // that cannot be opened leaves it as it was.
    TChannelImage image;
    String error;
    if (!DecodeCodeFile(ReadWholeFile(codeFile), image.Codes, error))
        throw EReadError("The code file \"" + codeFile + "\" is damaged: " + error);
    image.Names = LoadNameFile(nameFile);
    ShowChannelImage(Channel, image);
    FProjectFolder = ExtractFilePath(nameFile);
    ShowStatus("打开完成：" + ExtractFileName(nameFile));
    return true;
}

String TFmMain::ProjectFolder() const
{
    return FProjectFolder.empty() ? Application->ExePath() : FProjectFolder;
}

void TFmMain::BnSaveClick(TObject*)
{
    StartInProjectFolder(SaveDialog1, ProjectFolder());
    if (!SaveDialog1->Execute())
        return;
    SaveDialog1->FileName = ChangeFileExt(SaveDialog1->FileName, ".ir");
    SaveRedMemXml(SaveDialog1->FileName, RedMems->ActivePageIndex());
}

void TFmMain::BnOpenClick(TObject*)
{
    StartInProjectFolder(OpenDialog1, ProjectFolder());
    if (OpenDialog1->Execute())
        LoadRedMemXml(OpenDialog1->FileName, RedMems->ActivePageIndex());
}

void OpenStartupProject() { OpenStartupProject(GetCommandLineW()); }

void OpenStartupProject(const WideString& CommandLine)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(CommandLine.c_str(), &count);
    if (args == nullptr)
        return;
    const String path = count > 1 ? WideToStr(args[1]) : String();
    LocalFree(args);
    if (path.empty() || FmMain == nullptr)
        return;
    const DWORD attributes = GetFileAttributesW(StrToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    if (path.size() < 4 || !SameText(path.substr(path.size() - 4), ".pir"))
        return;
    // A project that cannot be opened is reported; the program still runs.
    try {
        FmMain->LoadRedMemXml(path, 0);
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
}

} // namespace vantrel
