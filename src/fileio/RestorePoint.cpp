#include "fileio/RestorePoint.h"

#include "atomicfile/AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string CannotKeep(const std::string& path, const std::string& reason) {
    return path + " を作成できませんでした。(" + reason + ")";
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
    return AtomicFileWriter::Write(backup, bytes.data(), bytes.size());
}
