#pragma once
// Reply-frame parser: finds frames in a byte stream one byte at a time, checks
// them and reports each valid one. Accepts replies (0x80, 0x90, 0xB0; 0xC1 is
// known but never completes) and requests of a few commands that the device
// itself may send.

#include <array>
#include <functional>

#include "framework/Component.h"

using TGetFinish = std::function<void(TObject* Sender, Byte Command, const String& SData)>;
using TGetByte = std::function<void(TObject* Sender, Byte Id)>;

// Frame state of the parser; callers read Result and SData after feeding.
struct TCommRec {
    Byte MyId = 0;                 // own address; requests addressed to it are accepted
    bool InFrame = false;
    Word Count = 0;                // bytes of the current frame after the start byte
    Word DataLen = 0;              // data bytes still to come
    Byte FrameType = 0;            // the byte after the start byte
    Byte Result = 0;               // 0 after a frame start, the command after a valid frame, 255 after a failure
    Byte Command = 0;              // command of a request, reply type of a reply
    Byte Sum = 0;                  // 8-bit sum of the frame so far, start byte included
    std::array<Byte, 513> Data{};  // copy of the data text's first 513 bytes
    String SData;                  // data of the current, then of the last data frame
    Word DataIndex = 0;            // data bytes stored so far
    bool IsAnswer = false;         // the frame type is a reply type
    bool LongLenPending = false;   // a two-byte length still has its low byte to come
    Word LastByte = 0;             // byte being fed; 0xFF00 after a reset
};

// Unused record of a byte and a string, part of the parser's interface.
struct TGeData {
    Byte Id = 0;
    String Data;
};

// Tag for the owner-less construction used by the serial wrapper.
struct TOwnerless {};
inline constexpr TOwnerless Ownerless{};

class TProtel : public TComponent {
public:
    explicit TProtel(TComponent* AOwner) : TComponent(AOwner) {}
};

class TEcProtel : public TProtel {
public:
    // Placed on a form: an ordinary component; all state starts at zero.
    explicit TEcProtel(TComponent* AOwner);
    // Owner-less: belongs to no owner and is freed by whoever created it.
    explicit TEcProtel(TOwnerless);

    void ParseByte(Byte B);
    void BeginFrame();
    void ResetFrame();

    // Published properties.
    Byte ObjectId = 254;           // stored by the forms; the parser does not read it
    bool HasPerId = false;         // a frame starts only after an ID byte equal to the own address
    bool LongDataLen = false;      // data frames carry a two-byte length, high byte first

    // Raised for every valid frame, on the thread that feeds the parser.
    TGetFinish OnGetFinish;
    // Declared for completeness of the interface; the parser raises none of them.
    TGetByte OnGetPerId, OnGetCa, OnGetCom, OnGetID, OnGetCommand, OnGetLen, OnGetCk, OnGetStop;

    TCommRec CommRec;
    TGeData GeData;

protected:
    Cardinal LastFeedTime = 0;     // tick of the previous feed

private:
    void ParseFrameType(Byte B);
    void ParseAddressOrMarker(Byte B);
    void ParseCommand(Byte B);
    void ParseLengthOrCheck(Byte B);
    void ParseDataOrCheck(Byte B);
    void CheckAndFinish(Byte B, const String& Data);

    std::array<std::uint64_t, 4> FCommands{};   // command table copied at each frame start
};
