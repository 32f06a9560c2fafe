#include "patch/PatchFiles.h"

#include "base/PlainFile.h"
#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

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
    return PlainFile::Read(path, MaxFileSize, PlainFile::CannotOpen(path, std::strerror(EFBIG)),
                           bytes);
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
