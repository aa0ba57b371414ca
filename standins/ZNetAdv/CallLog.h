#pragma once

#include <filesystem>
#include <string>

// One line of the call log: the function, its arguments, "->", its result and
// what it handed back, separated by single blanks, e.g.
//   ZN_ModifyDevConfigTCP MARK 255.255.255.0 -> 1
//   ZN_GetDevConfigTCP NAME -> 1 "box one"
// A text that is empty or holds a blank, a quote, a backslash or a control
// character is written in double quotes, with \" \\ and \xNN inside; other
// bytes (also those of double-byte characters) are written as they are. A null
// text pointer is written as (null).
class CallLine {
public:
    explicit CallLine(const char* Function) : FFunction(Function) {}

    void Arg(const char* Text) { Add(FArgs, Text); }
    void Arg(unsigned long Number) { Add(FArgs, Number); }
    void Out(const std::string& Text) { Add(FOuts, Text.c_str()); }
    void Out(unsigned long Number) { Add(FOuts, Number); }
    void SetResult(int Result) { FResult = Result; }

    std::string Text() const;

private:
    static void Add(std::string& Fields, const char* Text);
    static void Add(std::string& Fields, unsigned long Number);

    std::string FFunction;
    std::string FArgs;
    std::string FOuts;
    int FResult = 0;
};

// Appends the line and a line break to the log file, creating it when missing.
// The file is opened for this one line only, so that a test can read, move or
// delete it between calls. A log that cannot be written is skipped: the
// library's results do not depend on it.
void AppendCallLine(const std::filesystem::path& Path, const std::string& Line);
