#pragma once
// The undo history of the eight channels: per channel a ring of ten
// snapshot files in the run folder ("CCII.bak": channel and ring index in
// hexadecimal), the index of the state shown, and how many steps back and
// forward hold states that are still valid. Undo stops at the oldest state
// still in the ring, and a new change drops the states an undo stepped back
// from, so neither ever brings back a state that a newer one replaced.
//
// The clipboard, delete and snapshot operations themselves are members of
// the main window (UGridOpt.cpp).

#include <array>

namespace vantrel {

constexpr int UndoRingSize = 10;

class TUndoHistory {
public:
    // The ring index the next snapshot of Channel goes to.
    int NextSnapshotIndex(int Channel) const;
    // A snapshot was written at NextSnapshotIndex: it is the newest state.
    void SnapshotTaken(int Channel);

    // The index one step back or forward, -1 when no valid state lies there.
    int UndoIndex(int Channel) const;
    int RedoIndex(int Channel) const;
    // The state at UndoIndex or RedoIndex was loaded.
    void SteppedBack(int Channel);
    void SteppedForward(int Channel);

    int CurrentIndex(int Channel) const { return At(Channel).Current; }

private:
    struct TChannelRing {
        int Current = 0;   // index of the state shown
        int Back = 0;      // valid states before it
        int Forward = 0;   // valid states after it (undone changes)
        bool Started = false;
    };
    const TChannelRing& At(int Channel) const;
    TChannelRing& At(int Channel);

    std::array<TChannelRing, 8> FRings{};
};

} // namespace vantrel
