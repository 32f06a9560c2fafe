#include "atomicfile/PathKey.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

std::string CanonicalPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

// FNV-1a: stable across runs and builds, whatever characters the path holds.
std::string PathKey(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : CanonicalPath(path)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}
