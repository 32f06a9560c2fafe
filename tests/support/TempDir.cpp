#include "support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

TempDir::TempDir() {
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = std::filesystem::temp_directory_path() /
                               ("k6test-" + std::to_string(device()) + std::to_string(attempt));
        if (std::filesystem::create_directory(candidate)) {
            Root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(Root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(Root, error);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
