// Loading skins: each skin the kit draws, and a large generated one (a
// 2048 x 2048 master bitmap and 300 sections), through the skin manager as a
// stored skin, in milliseconds and as a ratio to inflating and decoding the
// same pictures alone (what is left is the readers' own cost).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Stream.h"
#include "skin/engine/qSkinManager.h"
#include "skin/engine/zqSkinPack.h"
#include "tests/skin/support/SkinPictureBuilder.h"

namespace {

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Milliseconds per load of the packed skin through the manager.
double LoadMs(const std::string& Packed, int Rounds)
{
    TqSkinManager manager(nullptr);
    manager.SetSkinDirectory("c:\\no such folder");
    TqStoredSkin* skin = manager.InternalSkins().Add();
    skin->Name = "S";
    skin->Data.WriteBuffer(Packed.data(), static_cast<Integer>(Packed.size()));
    const double start = Seconds();
    for (int i = 0; i < Rounds; ++i)
        manager.SetSkinName("S");
    return (Seconds() - start) * 1000 / Rounds;
}

// Milliseconds per unpacking of the container and decoding of its pictures alone.
double PicturesMs(const std::string& Packed, int Rounds)
{
    const double start = Seconds();
    for (int i = 0; i < Rounds; ++i) {
        TMemoryStream source;
        source.WriteBuffer(Packed.data(), static_cast<Integer>(Packed.size()));
        TzqSkinConvertor reader;
        reader.SetSource(&source);
        reader.Unpack();
        for (const TzqImageItem& item : reader.Files) {
            TBitmap bmp;
            const auto* bytes = static_cast<const Byte*>(item.Data->Memory());
            const auto size = static_cast<std::size_t>(item.Data->Size());
            if (item.IsBitmap)
                DecodeBmp(bytes, size, bmp);
            else
                DecodeJpeg(bytes, size, bmp);
        }
    }
    return (Seconds() - start) * 1000 / Rounds;
}

void Report(const std::string& Name, const std::string& Packed, int Rounds)
{
    const double load = LoadMs(Packed, Rounds);
    const double pictures = PicturesMs(Packed, Rounds);
    std::printf("%-12s %8zu bytes  load %8.2f ms  pictures alone %8.2f ms  ratio %5.2f\n", Name.c_str(),
                Packed.size(), load, pictures, load / pictures);
}

// A skin of 300 sections, each with a border, a glyph and a texture entry
// and a few values, over a 2048 x 2048 master bitmap.
std::string LargeSkin()
{
    std::string options = "[GLOBALINFO]\r\nVERSION=5.3\r\nMASTERBITMAP=MASTER.BMP\r\n";
    for (int i = 0; i < 300; ++i) {
        char section[1024];
        const int x = (i * 37) % 1900, y = (i * 53) % 1900;
        std::snprintf(section, sizeof(section),
                      "[SECTION%d]\r\nPARENTCLASS=SECTION%d\r\nCOLOR=%d\r\nTRANSPARENCY=%d\r\nSHOWFOCUS=TRUE\r\n"
                      "GRADIENTDATA=16777215;0;100;0;0\r\n"
                      "BORDERSMASK=^%04d^%04d^%04d^%04d^0004^0004^0004^0004^3^1^0^0\r\n"
                      "GLYPHMASK=@%04d~%04d~%04d~%04d~3~1\r\nPATTERN=~%04d~%04d~%04d~%04d~00~0\r\n",
                      i, i / 2, i * 4099, i % 100, x, y, x + 120, y + 60, x, y, x + 30, y + 20, x, y, x + 40, y + 40);
        options += section;
    }
    return skintest::PackEntries({{"Options.dat", options}, {"MASTER.BMP", skintest::MakeBmp(2048, 2048)}});
}

}   // namespace

int wmain()
{
    // The kit's output folder of this build tree, as Wine reaches it (drive Z:).
    std::string folder = "Z:" + std::string(SKIN_OUTPUT_DIR);
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    std::ifstream list(folder + "\\skins.txt");
    for (std::string name; list >> name;)
        Report(name, ReadFile(folder + "\\" + name + ".zvk"), 20);
    Report("large", LargeSkin(), 3);
    return 0;
}
