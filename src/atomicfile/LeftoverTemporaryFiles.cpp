#include "atomicfile/LeftoverTemporaryFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr const char* Marker = ".k6save-";
// mkstemp's six characters after the marker.
constexpr std::size_t UniqueLength = 6;

std::string PrefixFor(const std::string& name) {
    return "." + name + Marker;
}

bool IsTemporaryOf(const std::string& candidate, const std::string& prefix) {
    return candidate.size() == prefix.size() + UniqueLength && candidate.starts_with(prefix) &&
           std::all_of(candidate.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                       candidate.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void RemoveIfUnlocked(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(path.c_str());
    ::close(fd);
}

} // namespace

std::string LeftoverTemporaryFiles::PatternFor(const std::string& name) {
    return PrefixFor(name) + std::string(UniqueLength, 'X');
}

void LeftoverTemporaryFiles::RemoveFor(const std::string& target) {
    std::error_code error;
    std::filesystem::path resolved = target;
    // A target that is not there (yet) may still have leftovers: a missing file is no error.
    std::error_code missing;
    if (std::filesystem::is_symlink(resolved, missing))
        resolved = std::filesystem::weakly_canonical(resolved, error);
    const std::string name = resolved.filename().string();
    if (error || name.empty())
        return;
    std::filesystem::path folder = resolved.parent_path();
    if (folder.empty())
        folder = ".";

    const std::string prefix = PrefixFor(name);
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (IsTemporaryOf(entry->path().filename().string(), prefix) &&
            entry->is_regular_file(error) && !entry->is_symlink(error))
            RemoveIfUnlocked(entry->path());
    }
}

void LeftoverTemporaryFiles::MarkInUse(int fd) {
    ::flock(fd, LOCK_EX);
}
