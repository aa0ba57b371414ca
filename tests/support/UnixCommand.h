#pragma once
// Runs Linux commands from a test under Wine (Wine starts native executables
// given by their Z: path) and maps Linux paths to Windows ones.

#include <string>

// "/tmp/x" -> "Z:\tmp\x".
std::string WindowsPathOf(const std::string& LinuxPath);
// Runs `sh -c Command`, waiting at most TimeoutMs; returns its exit code, or
// -1 when it could not be started or did not end in time. Output captured
// into *Output when given (standard output and error together).
int RunUnix(const std::string& Command, unsigned TimeoutMs, std::string* Output = nullptr);
// Reads a whole file by its Linux path; empty when missing.
std::string ReadLinuxFile(const std::string& LinuxPath);
// Quotes a word for the shell.
std::string ShellQuote(const std::string& Word);
