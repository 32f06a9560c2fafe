#include "fileio/AtomicFileWriter.h"

#include "fileio/LeftoverTemporaryFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string CannotWrite(const std::string& path, int error) {
    return path + " に書き込めませんでした。(" + std::strerror(error) + ")";
}

// A link is followed, so the file it names is replaced and the link stays.
std::string ResolveTarget(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto target = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return target.string();
    }
    return path;
}

} // namespace

std::string AtomicFileWriter::Write(const std::string& path, const std::uint8_t* data,
                                    std::size_t size) {
    const std::string target = ResolveTarget(path);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // A file without any write permission is read-only even for a user who may override it.
    if (exists && (::access(target.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0))
        return CannotWrite(path, EACCES);
    if (exists && !S_ISREG(existing.st_mode))
        return CannotWrite(path, EISDIR);

    LeftoverTemporaryFiles::RemoveFor(target);
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (folder.empty())
        folder = ".";
    std::string temporaryName =
        (folder / ("." + std::filesystem::path(target).filename().string() + ".XXXXXX")).string();
    std::vector<char> nameBuffer(temporaryName.begin(), temporaryName.end());
    nameBuffer.push_back('\0');

    const int fd = ::mkstemp(nameBuffer.data());
    if (fd < 0)
        return CannotWrite(path, errno);
    const std::string temporary(nameBuffer.data());
    LeftoverTemporaryFiles::MarkInUse(fd);

    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return CannotWrite(path, error);
    };

    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0644;
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return CannotWrite(path, error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return CannotWrite(path, error);
    }
    return {};
}
