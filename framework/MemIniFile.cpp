#include "framework/MemIniFile.h"

#include "framework/StrUtils.h"
#include "framework/StringList.h"

void TMemIniFile::Clear()
{
    FSections.clear();
    FIndex.clear();
    FCurrent = 0;
}

void TMemIniFile::SetText(const String& Text)
{
    Clear();
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find_first_of("\r\n", start);
        if (end == String::npos)
            end = Text.size();
        AddLine(Text.substr(start, end - start));
        if (end + 1 < Text.size() && Text[end] == '\r' && Text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

void TMemIniFile::SetStrings(const TStrings* Strings)
{
    Clear();
    for (int i = 0; i < Strings->Count(); ++i)
        AddLine(Strings->Strings(i));
}

void TMemIniFile::AddLine(const String& Line)
{
    const String line = Trim(Line);
    if (line.empty() || line[0] == ';')
        return;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        const String name = Trim(line.substr(1, line.size() - 2));
        const auto [at, added] = FIndex.emplace(UpperCase(name), FSections.size());
        if (added)
            FSections.push_back(TSection{name, {}, {}});
        FCurrent = at->second;
        return;
    }
    const std::size_t eq = line.find('=');
    if (eq == String::npos || FSections.empty())
        return;
    TSection& section = FSections[FCurrent];
    const String name = Trim(line.substr(0, eq));
    section.Index.emplace(UpperCase(name), section.Keys.size());
    section.Keys.push_back(TKey{name, Trim(line.substr(eq + 1))});
}

const TMemIniFile::TSection* TMemIniFile::Find(const String& Section) const
{
    const auto at = FIndex.find(UpperCase(Section));
    return at == FIndex.end() ? nullptr : &FSections[at->second];
}

const TMemIniFile::TKey* TMemIniFile::FindKey(const String& Section, const String& Ident) const
{
    const TSection* s = Find(Section);
    if (s == nullptr)
        return nullptr;
    const auto at = s->Index.find(UpperCase(Ident));
    return at == s->Index.end() ? nullptr : &s->Keys[at->second];
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const
{
    const TKey* k = FindKey(Section, Ident);
    return k != nullptr ? k->Value : Default;
}

Integer TMemIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) const
{
    const TKey* k = FindKey(Section, Ident);
    return k != nullptr ? StrToIntDef(k->Value, Default) : Default;
}

bool TMemIniFile::ValueExists(const String& Section, const String& Ident) const
{
    return FindKey(Section, Ident) != nullptr;
}

std::vector<String> TMemIniFile::SectionNames() const
{
    std::vector<String> names;
    for (const TSection& s : FSections)
        names.push_back(s.Name);
    return names;
}

std::vector<String> TMemIniFile::KeyNames(const String& Section) const
{
    std::vector<String> names;
    if (const TSection* s = Find(Section))
        for (const TKey& k : s->Keys)
            names.push_back(k.Name);
    return names;
}

void TMemIniFile::ReadSections(TStrings* Strings) const
{
    Strings->Clear();
    for (const String& name : SectionNames())
        Strings->Add(name);
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) const
{
    Strings->Clear();
    for (const String& name : KeyNames(Section))
        Strings->Add(name);
}
