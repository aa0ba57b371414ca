#pragma once
// The readers of a skin's options text ("Options.dat"): image entries into
// masks, JPEG pictures into patterns (large) or textures (small), and
// sections with their inherited values, each followed by what the manager's
// CommonSections text supplies. They fill a fresh TqSkinModel; the caller
// keeps it only when the whole read succeeded.
//
// Reading is lenient (missing keys take defaults, missing pictures leave
// their entries out), but strict number fields that are not numbers raise
// EConvertError, and a picture that is not a picture of its kind raises
// EInvalidGraphic; both end the load.

#include "framework/MemIniFile.h"
#include "skin/engine/qSkinModel.h"

class TStrings;
class TzqSkinConvertor;
class TqStoredSkin;
class TqSkinManager;

// What one load reads from.
struct TqSkinSource {
    // The options text; nullptr for a stored skin read from its properties.
    const TMemIniFile* Options = nullptr;
    // Pictures come from its unpacked entries when set, else from files.
    const TzqSkinConvertor* Packed = nullptr;
    // The folder of picture files, ending in a separator.
    String SkinPath;
    // Extra sections, masks and patterns (the manager's CommonSections).
    const TStrings* CommonSections = nullptr;
    // The stored skin of the current name, read when there is no options text.
    const TqStoredSkin* Stored = nullptr;
    // Recorded as the owner of every mask entry.
    TqSkinManager* Manager = nullptr;
};

// Reads masks, patterns and sections, in that order, into Model.
void ReadSkin(const TqSkinSource& Source, TqSkinModel& Model);

void ReadSkinMasks(const TqSkinSource& Source, TqSkinModel& Model);
void ReadSkinPatterns(const TqSkinSource& Source, TqSkinModel& Model);
void ReadSkinSections(const TqSkinSource& Source, TqSkinModel& Model);

// A picture file or entry's bytes: the unpacked entry whose upper-cased name
// equals Name, or the file Name (relative to SkinPath unless it holds ":").
// False when there is none.
bool FindSkinPicture(const TqSkinSource& Source, const String& Name, String& Bytes);
