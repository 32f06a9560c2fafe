#include "base/PlainFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

std::string PlainFile::CannotOpen(const std::string& path, const std::string& reason) {
    return path + CannotOpenPhrase + "(" + reason + ")";
}

Outcome PlainFile::Read(const std::string& path, std::size_t maxSize,
                        const std::string& tooLargeMessage, std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return Outcome::Failure(CannotOpen(path, std::strerror(EISDIR)));
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error))
        return Outcome::Failure(CannotOpen(path, std::strerror(EINVAL)));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Outcome::Failure(CannotOpen(path, std::strerror(errno)));
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return Outcome::Failure(CannotOpen(path, error.message()));
    if (size > maxSize)
        return Outcome::Failure(tooLargeMessage);
    std::vector<std::uint8_t> candidate(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(candidate.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size))
        return Outcome::Failure(CannotOpen(path, "read error"));
    bytes = std::move(candidate);
    return Outcome::Success();
}
