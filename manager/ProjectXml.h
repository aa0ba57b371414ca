#pragma once
// The name file of a project (".pir"): XML with the declared encoding
// "UTF-16", written and read through the platform's XML document object
// (MSXML over COM).
//
//   <Project name="b.pir" complierVersion="Vantrel V1.0" buildDate="2026-12-10 19:30">
//     <IrPort><Name0>...</Name0> ... <Name99>...</Name99></IrPort>
//   </Project>

#include "framework/Exception.h"
#include "manager/ProjectCodec.h"

namespace vantrel {

FRAMEWORK_EXCEPTION(EXmlError, Exception);

// Writes the name file to Path (replacing it): the root Project with its
// attributes, IrPort, and one element "Name" + slot per non-empty name.
// Raises EXmlError when the document cannot be made or saved.
void SaveNameFile(const String& Path, const String& ProjectName, const String& BuildDate, const TSlotNames& Names);

// The names of a name file: each child element of IrPort whose name has two
// characters at positions 5 and 6 (fewer when shorter) that are all digits
// names that slot; other elements are skipped. A file without IrPort has no
// names. Names are cut to what a snapshot keeps (FitSlotName). Raises
// EXmlError when the file is missing or not well-formed.
TSlotNames LoadNameFile(const String& Path);

} // namespace vantrel
