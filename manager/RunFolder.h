#pragma once
// The folder of one run's undo snapshots: the first number N (0 to 65535)
// for which the program's folder + N is not an existing folder, created
// when the first snapshot needs it and removed with everything in it when
// the run ends.
//
// A program in a folder it cannot write to still starts: the run folder is
// then made in the user's temporary folder; when that fails too, the run
// has no snapshots (Unavailable). Only a folder that this run created is
// removed at the end, so a folder of another run or of the user is never
// touched.

#include "framework/Object.h"

namespace vantrel {

class TRunFolder {
public:
    // Picks the run number and folder under Base (a folder with a trailing
    // backslash); creates nothing.
    void Choose(const String& Base);
    // Creates the folder unless this run made it already and it still
    // exists; true when it exists.
    bool Ensure();
    // Removes the folder with its contents when this run created it.
    void Remove();

    Word Number() const { return FNumber; }
    // The folder, with a trailing backslash.
    String Path() const { return FPath + "\\"; }
    bool Created() const { return FCreated; }
    // Neither the program's folder nor the temporary folder could take it.
    bool Unavailable() const { return FUnavailable; }

private:
    // The first free Base + N from From on; false when every number is taken.
    static bool FirstFree(const String& Base, Word& Number, unsigned From = 0);
    bool CreateUnder(const String& Base);

    String FBase;
    Word FNumber = 0;
    String FPath;
    bool FCreated = false;
    bool FUnavailable = false;
};

// Deletes a folder with all its files and subfolders; errors are ignored.
void DeleteFolderTree(const String& Folder);
bool DirectoryExists(const String& Folder);

} // namespace vantrel
