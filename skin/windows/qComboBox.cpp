#include "skin/windows/qComboBox.h"

#include "framework/StringList.h"

int TqCustomComboBox::IndexOf(const String& Text) const
{
    // The string lists compare without regard to case; the skinned box's
    // lookup does not, so "fe" finds nothing in a list of "FE".
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Strings(i) == Text)
            return i;
    return -1;
}
