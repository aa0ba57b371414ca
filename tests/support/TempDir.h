#pragma once
// Files for tests: a folder of its own under the system's temporary folder,
// removed with the object, and whole-file reads and writes. Header only, so
// that the host tree's tests use it too.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include "framework/Types.h"
#ifdef _WIN32
#include "framework/Codepage.h"
#endif

namespace testfs {

namespace fs = std::filesystem;

// A path as the framework's 936 text.
inline String PathStr(const fs::path& p)
{
#ifdef _WIN32
    return WideToStr(p.wstring());
#else
    return p.string();
#endif
}

inline std::string ReadBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

class TempDir {
public:
    explicit TempDir(const std::string& Prefix)
    {
        std::random_device random;
        FPath = fs::temp_directory_path() / (Prefix + "-" + std::to_string(random()));
        fs::create_directories(FPath);
    }
    ~TempDir()
    {
        std::error_code ignored;
        // A file a test made read-only must not keep its folder alive.
        for (const auto& entry : fs::recursive_directory_iterator(FPath, ignored))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(FPath, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return FPath; }
    fs::path operator/(const std::string& Name) const { return FPath / Name; }

private:
    fs::path FPath;
};

} // namespace testfs
