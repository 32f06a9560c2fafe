#include "FuzzScratch.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::filesystem::path MakeFolder() {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
        base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "k6fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        std::abort();
    return name.data();
}

// Never destroyed, so the exit handler that removes the folder can still name it.
const std::filesystem::path& Folder() {
    static const std::filesystem::path* const folder = [] {
        const auto* made = new std::filesystem::path(MakeFolder());
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(Folder(), error);
        });
        return made;
    }();
    return *folder;
}

} // namespace

std::string WriteScratchFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = (Folder() / name).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    Require(static_cast<bool>(out));
    return path;
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}
