#pragma once
// The extender's parameter block: 17 bytes holding, for the six slave ports
// A to F and the host port, the baud rate and parity (one port byte each),
// the receive-frame time-outs of the slave ports, the host port's send
// interval and the receive switches; and the pieces of it that the set
// commands carry.

#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/Types.h"

namespace brimsel {

constexpr int BaudRateCount = 10;
// Every baud-rate list of both windows holds these, in this order; the
// device sees only the position.
extern const char* const BaudRates[BaudRateCount];

constexpr std::size_t ParamBlockSize = 17;
constexpr Byte GetAllData = 0x30;
constexpr Byte SetParamsSelector = 0x01;
constexpr Byte SetSwitchesSelector = 0x02;
constexpr Byte CmdGetAll = 0x28;
constexpr Byte CmdSet = 0x29;

// Parity codes carried by a three-state box: checked even, grayed odd.
Byte ParityCode(TCheckBoxState State);
// The caption that names a box state's parity.
String ParityCaption(TCheckBoxState State);
// Text made only of digits and dots, and not empty.
bool IsNumText(const String& Text);

// The position in the box's list of the text the box shows, compared exactly
// as the list writes it; -1 when the text names no entry. A value typed into
// an editable box is the value used, whatever position was selected before.
int ExactItemIndex(const TCustomComboBox* Box);

// A port byte: baud index in the high nibble, parity code in the low one.
// A list without selection (index -1) gives 0xF0 plus the parity code.
Byte PortByte(int BaudIndex, Byte Parity);

} // namespace brimsel
