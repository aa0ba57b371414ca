#pragma once
// Shared set-up of the edit control tests: known locale formats (so that
// the tables do not depend on the machine's locale) and a form to put the
// controls on.

#include "tests/support/GuiHarness.h"
#include "grid/interaction/LocaleFormats.h"

namespace controls_test {

// Day-first formats with "." for dates and "," as decimal separator, or
// month-first formats with "/" and ".".
inline void UseFormats(bool DayFirst)
{
    TFormatSettings& fs = FormatSettings();
    fs = TFormatSettings{};
    if (DayFirst) {
        fs.DecimalSeparator = ',';
        fs.ThousandSeparator = '.';
        fs.DateSeparator = '.';
        fs.ShortDateFormat = "dd.MM.yyyy";
    } else {
        fs.DecimalSeparator = '.';
        fs.ThousandSeparator = ',';
        fs.DateSeparator = '/';
        fs.ShortDateFormat = "M/d/yyyy";
    }
    fs.TimeSeparator = ':';
    fs.LongTimeFormat = "HH:mm:ss";
}

inline TDateTime Date(int Y, int M, int D)
{
    TDateTime d = 0;
    TryEncodeDate(Y, M, D, d);
    return d;
}

inline std::string DateText(TDateTime D)
{
    Integer y = 0, m = 0, d = 0;
    DecodeDate(D, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
    return buffer;
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseFormats(false);
        Form = new TForm(Application);
        Form->SetBounds(60, 60, 520, 420);
    }
    void TearDown() override
    {
        delete Form;
        ReadLocaleFormatSettings();
    }

    TForm* Form = nullptr;
};

} // namespace controls_test
