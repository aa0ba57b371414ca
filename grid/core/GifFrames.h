#pragma once
// Frame selection in GIF data: a frame starts at a graphic control block
// (0x21 0xF9 0x04) followed, eight bytes after its start, by an image
// descriptor (0x2C). Keeping the bytes before the first frame and those from
// a chosen frame on makes that frame the first image a decoder sees. Pure
// byte work, no platform calls.

#include <cstddef>
#include <vector>

#include "framework/Types.h"

// The chosen frame's image descriptor and the logical screen size.
struct TGifFrameInfo {
    Word Left = 0;
    Word Top = 0;
    Word Width = 0;
    Word Height = 0;
    Word ScreenWidth = 0;
    Word ScreenHeight = 0;
};

// True when the data starts with "GIF".
bool IsGifData(const Byte* Data, std::size_t Size);
// The number of frame starts in the data.
int CountGifFrames(const Byte* Data, std::size_t Size);
// The data without the frames before Frame (1-based): the bytes before the
// first frame start and those from the Frame-th start to the end. A frame
// number beyond the last keeps only the bytes before the first frame.
std::vector<Byte> SelectGifFrame(const Byte* Data, std::size_t Size, int Frame, TGifFrameInfo& Info);
