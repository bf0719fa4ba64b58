#pragma once
// Helpers the fuzz targets share: a scratch folder of their own for the readers that work on
// files, and a check that stops the run on a broken promise.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>

// Marks a function of a target's own checking code that the coverage instrumentation leaves
// alone: its loops and comparisons cost time on every input and tell the fuzzer nothing about
// the code under test. Other compilers (the replay build) need no mark.
#if defined(__clang__)
#define FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_UNTRACED
#endif

namespace fuzz {

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

inline std::string_view textOf(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process in memory (/dev/shm) or else under the system's temporary folder,
// removed when the run ends normally. Every input overwrites the same files.
class ScratchFolder {
public:
    ScratchFolder() : path_(base() / ("tessaro-fuzz-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    static std::filesystem::path base()
    {
        std::error_code ec;
        if (std::filesystem::is_directory("/dev/shm", ec))
            return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

inline ScratchFolder& scratch()
{
    static ScratchFolder folder;
    return folder;
}

inline void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(static_cast<bool>(out));
}

// Read in one piece: a loop over characters would be traced on every input.
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    check(static_cast<bool>(in));
    std::string bytes(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    check(static_cast<bool>(in));
    return bytes;
}

} // namespace fuzz
