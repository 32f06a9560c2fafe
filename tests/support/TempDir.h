#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return Root; }
    std::string File(const std::string& name) const { return (Root / name).string(); }

private:
    std::filesystem::path Root;
};

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
