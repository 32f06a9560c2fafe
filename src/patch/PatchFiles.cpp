#include "patch/PatchFiles.h"

#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string CannotOpen(const std::string& path, const std::string& reason) {
    return path + " を開けませんでした。(" + reason + ")";
}

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

std::optional<PatchFiles::Format> PatchFiles::FormatOfName(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".ips")
        return Format::Ips;
    if (extension == ".bps")
        return Format::Bps;
    return std::nullopt;
}

Outcome PatchFiles::ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return Outcome::Failure(CannotOpen(path, std::strerror(EISDIR)));
    // A pipe or device would block the read or never end: only plain files are read.
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error))
        return Outcome::Failure(CannotOpen(path, std::strerror(EINVAL)));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Outcome::Failure(CannotOpen(path, std::strerror(errno)));
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return Outcome::Failure(CannotOpen(path, error.message()));
    if (size > MaxFileSize)
        return Outcome::Failure(CannotOpen(path, std::strerror(EFBIG)));
    std::vector<std::uint8_t> candidate(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(candidate.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size))
        return Outcome::Failure(CannotOpen(path, "read error"));
    bytes = std::move(candidate);
    return Outcome::Success();
}

Outcome PatchFiles::Apply(std::span<const std::uint8_t> original,
                          std::span<const std::uint8_t> patch, std::vector<std::uint8_t>& patched) {
    if (IpsPatch::HasMagic(patch))
        return IpsPatch::Apply(original, patch, patched);
    if (BpsPatch::HasMagic(patch))
        return BpsPatch::Apply(original, patch, patched);
    return Outcome::Failure(PatchMessages::UnknownFormat);
}

std::vector<std::uint8_t> PatchFiles::Create(Format format, std::span<const std::uint8_t> original,
                                             std::span<const std::uint8_t> target) {
    return format == Format::Bps ? BpsPatch::Create(original, target)
                                 : IpsPatch::Create(original, target);
}
