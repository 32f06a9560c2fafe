#include "atomicfile/AtomicFileWriter.h"

#include "atomicfile/LeftoverTemporaryFiles.h"
#include "atomicfile/SaveJournal.h"

#include <algorithm>
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
    return path + AtomicFileWriter::CannotWritePhrase + "(" + std::strerror(error) + ")";
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

std::string FolderOf(const std::string& target) {
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Folders and files without any write bit are read-only even for a user who may override
// permissions: such a user still expects the file or folder to stay as it is.
bool Writable(const std::string& path, const struct stat& status) {
    return ::access(path.c_str(), W_OK) == 0 && (status.st_mode & 0222) != 0;
}

bool FolderAllowsNewFiles(const std::string& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && Writable(folder, status);
}

// Makes a rename or a new entry in folder last through a power cut.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// 0 on success, otherwise errno. written counts the bytes that reached the file.
int WriteAllAt(int fd, const std::uint8_t* data, std::size_t size, std::size_t& written) {
    written = 0;
    while (written < size) {
        const ssize_t n = ::pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

int WriteAllAt(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t written = 0;
    return WriteAllAt(fd, data, size, written);
}

int ReadAll(int fd, std::vector<std::uint8_t>& bytes) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return errno;
    if (static_cast<std::uintmax_t>(status.st_size) > SaveJournal::MaxContentSize)
        return EFBIG;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return 0;
}

// How far a rewrite got: what a put-back has to undo.
struct Rewrite {
    std::size_t Changed = 0; // bytes from the start that may differ from the old ones
    bool Cut = false;        // the file was cut to a shorter length
};

// Writes size bytes over the start of fd and cuts it to that length, flushed to disk.
int Overwrite(int fd, const std::uint8_t* data, std::size_t size, Rewrite& progress) {
    if (const int error = WriteAllAt(fd, data, size, progress.Changed))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
        return errno;
    progress.Cut = true;
    if (::fsync(fd) != 0)
        return errno;
    return 0;
}

// Puts back exactly what a failed rewrite may have changed, and the old length.
int PutBack(int fd, const std::vector<std::uint8_t>& old, const Rewrite& progress) {
    const std::size_t end = progress.Cut ? old.size() : std::min(progress.Changed, old.size());
    if (const int error = WriteAllAt(fd, old.data(), end))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(old.size())) != 0)
        return errno;
    if (::fsync(fd) != 0)
        return errno;
    return 0;
}

std::string MayBeDamaged(const std::string& path, int error, const std::string& journal) {
    std::string message = CannotWrite(path, error) + AtomicFileWriter::MayBeDamagedPhrase;
    if (!journal.empty())
        message +=
            AtomicFileWriter::JournalBeforePhrase + journal + AtomicFileWriter::JournalAfterPhrase;
    return message;
}

// How an in-place rewrite is made recoverable.
struct JournalUse {
    std::string Folder;       // where to record the new content first; empty: no journal
    std::string ExistingPath; // the journal being finished: it is there already
};

// The same inode is rewritten: links, permission bits and owner stay as they are. The new
// content is journalled first, and the old bytes are kept in memory and put back if anything
// fails. Where the put-back fails too, the journal stays so that the save can be finished.
std::string WriteInPlace(const std::string& path, const std::string& target,
                         const std::uint8_t* data, std::size_t size, const JournalUse& journal) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return CannotWrite(path, errno);
    std::vector<std::uint8_t> old;
    if (const int error = ReadAll(fd, old)) {
        ::close(fd);
        return CannotWrite(path, error);
    }
    // Reserve the space first, so a full disk is found before a byte has changed.
    if (size > old.size()) {
        const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(size));
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            ::close(fd);
            return CannotWrite(path, error);
        }
    }
    std::string journalPath = journal.ExistingPath;
    if (journalPath.empty() && !journal.Folder.empty()) {
        const Outcome recorded = SaveJournal::Record(journal.Folder, target, data, size);
        if (!recorded.Ok) {
            // The reservation may have lengthened the file.
            ::ftruncate(fd, static_cast<off_t>(old.size()));
            ::close(fd);
            return path + AtomicFileWriter::CannotWritePhrase + recorded.Message;
        }
        journalPath = SaveJournal::PathFor(journal.Folder, target);
    }
    // A journal being finished is the only copy of the new content: it stays until the file
    // holds that content, whatever happens. One this save made goes once the file is whole again.
    const bool finishing = !journal.ExistingPath.empty();

    Rewrite progress;
    const int error = Overwrite(fd, data, size, progress);
    if (error != 0) {
        const int putBackError = PutBack(fd, old, progress);
        ::close(fd);
        if (putBackError != 0)
            return MayBeDamaged(path, error, journalPath);
        if (!finishing && !journalPath.empty())
            SaveJournal::Remove(journalPath);
        return CannotWrite(path, error);
    }
    // The content is on disk: a failing close cannot take it back.
    const int closeError = ::close(fd) != 0 ? errno : 0;
    if (!journalPath.empty())
        SaveJournal::Remove(journalPath);
    return closeError == 0 ? std::string() : CannotWrite(path, closeError);
}

struct RenameResult {
    bool TryInPlace = false; // the rename would lose the owner: nothing was written
    std::string Error;
};

// flush false: the content and the rename are not waited for on disk.
RenameResult ReplaceByRename(const std::string& path, const std::string& target,
                             const std::uint8_t* data, std::size_t size,
                             const struct stat* existing, bool flush = true) {
    LeftoverTemporaryFiles::RemoveFor(target);
    const std::string folder = FolderOf(target);
    const std::string pattern =
        (std::filesystem::path(folder) /
         LeftoverTemporaryFiles::PatternFor(std::filesystem::path(target).filename().string()))
            .string();
    std::vector<char> nameBuffer(pattern.begin(), pattern.end());
    nameBuffer.push_back('\0');

    const int fd = ::mkstemp(nameBuffer.data());
    if (fd < 0) {
        const int error = errno;
        const bool denied = error == EACCES || error == EPERM || error == EROFS;
        return {existing != nullptr && denied, CannotWrite(path, error)};
    }
    const std::string temporary(nameBuffer.data());
    LeftoverTemporaryFiles::MarkInUse(fd);
    const auto fail = [&](int error, bool tryInPlace = false) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return RenameResult{tryInPlace, CannotWrite(path, error)};
    };

    if (existing != nullptr) {
        struct stat created {};
        if (::fstat(fd, &created) != 0)
            return fail(errno);
        const bool sameOwner =
            created.st_uid == existing->st_uid && created.st_gid == existing->st_gid;
        if (!sameOwner && ::fchown(fd, existing->st_uid, existing->st_gid) != 0)
            return fail(errno, true);
    }
    if (const int error = WriteAllAt(fd, data, size))
        return fail(error);
    // After the owner: a change of owner may clear the set-id bits.
    const mode_t mode = existing != nullptr ? (existing->st_mode & 07777) : NewFileMode();
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    if (flush && ::fsync(fd) != 0)
        return fail(errno);
    // Still open, so still locked: a cleanup running now leaves the temporary alone.
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return fail(errno);
    ::close(fd);
    if (flush)
        SyncFolder(folder);
    return {};
}

// An empty string on success, otherwise the message for the user.
std::string WriteOrExplain(const std::string& path, const std::uint8_t* data, std::size_t size,
                           const std::string& journalFolder) {
    const std::string target = ResolveTarget(path);

    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT)
            return CannotWrite(path, errno);
        if (!FolderAllowsNewFiles(FolderOf(target)))
            return CannotWrite(path, EACCES);
        return ReplaceByRename(path, target, data, size, nullptr).Error;
    }
    if (!S_ISREG(existing.st_mode))
        return CannotWrite(path, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    if (!Writable(target, existing))
        return CannotWrite(path, EACCES);

    // A rename would cut the other hard links off the new content.
    if (existing.st_nlink == 1 && FolderAllowsNewFiles(FolderOf(target))) {
        const RenameResult renamed = ReplaceByRename(path, target, data, size, &existing);
        if (!renamed.TryInPlace)
            return renamed.Error;
    }
    return WriteInPlace(path, target, data, size, JournalUse{journalFolder, {}});
}

} // namespace

bool AtomicFileWriter::FolderTakesNewFiles(const std::string& folder) {
    return FolderAllowsNewFiles(folder);
}

Outcome AtomicFileWriter::Write(const std::string& path, const std::uint8_t* data, std::size_t size,
                                const std::string& journalFolder) {
    const std::string error = WriteOrExplain(path, data, size, journalFolder);
    return error.empty() ? Outcome::Success() : Outcome::Failure(error);
}

Outcome AtomicFileWriter::WriteUnflushed(const std::string& path, const std::uint8_t* data,
                                         std::size_t size) {
    const std::string error =
        ReplaceByRename(path, ResolveTarget(path), data, size, nullptr, false).Error;
    return error.empty() ? Outcome::Success() : Outcome::Failure(error);
}

Outcome AtomicFileWriter::FinishFromJournal(const std::string& path,
                                            const std::vector<std::uint8_t>& content,
                                            const std::string& journalPath) {
    const std::string target = ResolveTarget(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0)
        return Outcome::Failure(CannotWrite(path, errno));
    if (!S_ISREG(existing.st_mode))
        return Outcome::Failure(CannotWrite(path, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL));
    const std::string error =
        WriteInPlace(path, target, content.data(), content.size(), JournalUse{{}, journalPath});
    return error.empty() ? Outcome::Success() : Outcome::Failure(error);
}
