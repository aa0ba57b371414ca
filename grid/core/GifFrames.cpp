#include "grid/core/GifFrames.h"

namespace {

Word ReadWord(const Byte* P) { return static_cast<Word>(P[0] | (P[1] << 8)); }

bool IsFrameStart(const Byte* Data, std::size_t Size, std::size_t I)
{
    return I + 9 < Size && Data[I] == 0x21 && Data[I + 1] == 0xF9 && Data[I + 2] == 0x04 && Data[I + 8] == 0x2C;
}

} // namespace

bool IsGifData(const Byte* Data, std::size_t Size)
{
    return Size >= 3 && Data[0] == 'G' && Data[1] == 'I' && Data[2] == 'F';
}

int CountGifFrames(const Byte* Data, std::size_t Size)
{
    int Count = 0;
    for (std::size_t I = 0; I < Size; ++I)
        if (IsFrameStart(Data, Size, I))
            ++Count;
    return Count;
}

std::vector<Byte> SelectGifFrame(const Byte* Data, std::size_t Size, int Frame, TGifFrameInfo& Info)
{
    Info = TGifFrameInfo{};
    if (Size >= 10) {
        Info.ScreenWidth = ReadWord(Data + 6);
        Info.ScreenHeight = ReadWord(Data + 8);
    }
    std::vector<Byte> Out;
    Out.reserve(Size);
    int FrameNo = 0;
    bool Skipping = false;
    for (std::size_t I = 0; I < Size; ++I) {
        if (IsFrameStart(Data, Size, I)) {
            ++FrameNo;
            if (FrameNo == Frame) {
                Skipping = false;
                // The image descriptor: left, top, width, height after its 0x2C.
                if (I + 16 < Size) {
                    Info.Left = ReadWord(Data + I + 9);
                    Info.Top = ReadWord(Data + I + 11);
                    Info.Width = ReadWord(Data + I + 13);
                    Info.Height = ReadWord(Data + I + 15);
                }
            } else if (FrameNo == 1) {
                Skipping = true;
            }
        }
        if (!Skipping)
            Out.push_back(Data[I]);
    }
    return Out;
}
