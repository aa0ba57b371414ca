#include "framework/HostGraphics.h"

#include <array>

COLORREF ColorToRGB(TColor Color)
{
    // The classic scheme's colours, by system colour index.
    static constexpr std::array<COLORREF, 31> Classic = {
        0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
    };
    const auto value = static_cast<unsigned>(Color);
    if (IsSystemColor(Color)) {
        const unsigned index = value & 0xFFu;
        return index < Classic.size() ? Classic[index] : 0;
    }
    return value & 0x00FFFFFFu;
}
