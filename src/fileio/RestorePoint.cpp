#include "fileio/RestorePoint.h"

#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/PathKey.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string CannotKeep(const std::string& path, const std::string& reason) {
    return path + RestorePoint::CannotCreatePhrase + "(" + reason + ")";
}

} // namespace

Outcome RestorePoint::KeepBeforeSave(const std::string& path) {
    if (!Enabled)
        return Outcome::Success();
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return Outcome::Success();
    const std::string canonical = std::filesystem::weakly_canonical(path, error).string();
    // One attempt per file and run: a restore point that cannot be made is reported once.
    if (!Handled.insert(error ? path : canonical).second)
        return Outcome::Success();

    const std::string backup = path + Suffix;
    if (!std::filesystem::is_regular_file(path, error))
        return Outcome::Failure(CannotKeep(backup, std::strerror(EINVAL)));
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return Outcome::Failure(CannotKeep(backup, error.message()));
    if (size > MaxFileSize)
        return Outcome::Failure(CannotKeep(backup, std::strerror(EFBIG)));
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Outcome::Failure(CannotKeep(backup, std::strerror(errno)));
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (in.bad())
        return Outcome::Failure(CannotKeep(backup, std::strerror(EIO)));
    const Outcome beside = AtomicFileWriter::Write(backup, bytes.data(), bytes.size());
    if (beside.Ok || Fallback.empty())
        return beside;
    return KeepInFallback(path, backup, beside.Message, bytes);
}

Outcome RestorePoint::KeepInFallback(const std::string& path, const std::string& backup,
                                     const std::string& besideMessage,
                                     const std::vector<std::uint8_t>& bytes) const {
    // The key keeps apart files of the same name in different folders.
    const std::string name =
        std::filesystem::path(path).filename().string() + "." + PathKey(path).substr(0, 8) + Suffix;
    const std::string kept = (std::filesystem::path(Fallback) / name).string();
    std::error_code error;
    std::filesystem::create_directories(Fallback, error);
    if (error)
        return Outcome::Failure(besideMessage + CannotKeep(kept, error.message()));
    const Outcome written = AtomicFileWriter::Write(kept, bytes.data(), bytes.size());
    if (!written.Ok)
        return Outcome::Failure(besideMessage + written.Message);
    return Outcome{true, backup + RestorePoint::FallbackBeforePhrase + kept +
                             RestorePoint::FallbackAfterPhrase};
}
