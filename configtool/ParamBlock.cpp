#include "configtool/ParamBlock.h"

namespace brimsel {

const char* const BaudRates[BaudRateCount] = {"1200",  "2400",  "4800",  "9600",  "19200",
                                              "38400", "43000", "56000", "57600", "115200"};

Byte ParityCode(TCheckBoxState State)
{
    switch (State) {
    case cbChecked: return 2;
    case cbGrayed: return 1;
    default: return 0;
    }
}

String ParityCaption(TCheckBoxState State)
{
    switch (State) {
    case cbChecked: return "偶校验";
    case cbGrayed: return "奇校验";
    default: return "无校验";
    }
}

bool IsNumText(const String& Text)
{
    if (Text.empty())
        return false;
    for (char c : Text)
        if (!((c >= '0' && c <= '9') || c == '.'))
            return false;
    return true;
}

int ExactItemIndex(const TCustomComboBox* Box)
{
    const String text = Box->Text();
    const TStrings* items = Box->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Strings(i) == text)
            return i;
    return -1;
}

Byte PortByte(int BaudIndex, Byte Parity)
{
    // The remainder keeps the sign of a negative index: -1 gives 0xF0 + parity.
    return static_cast<Byte>((BaudIndex % 10) * 16 + Parity);
}

} // namespace brimsel
