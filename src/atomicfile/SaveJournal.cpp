#include "atomicfile/SaveJournal.h"

#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/LeftoverTemporaryFiles.h"
#include "atomicfile/PathKey.h"
#include "base/PlainFile.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>

namespace {

// magic, path length (4), content size (8), CRC32 of path and content (4), then the path and
// the content; numbers little-endian.
constexpr char Magic[8] = {'K', '6', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr std::size_t HeaderSize = sizeof Magic + 4 + 8 + 4;

std::uint32_t Crc(const std::string& path, const std::uint8_t* data, std::size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(path.data()), static_cast<uInt>(path.size()));
    constexpr std::size_t Piece = 1u << 30;
    for (std::size_t at = 0; at < size; at += Piece)
        crc = crc32(crc, data + at, static_cast<uInt>(std::min(Piece, size - at)));
    return static_cast<std::uint32_t>(crc);
}

void PutNumber(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetNumber(const std::vector<std::uint8_t>& in, std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(in[at + static_cast<std::size_t>(i)]) << (8 * i);
    return value;
}

SaveJournal::Found Damaged(const std::string& journal) {
    SaveJournal::Found found;
    found.Status = SaveJournal::State::Damaged;
    found.JournalPath = journal;
    return found;
}

bool FileHolds(const std::string& path, const std::vector<std::uint8_t>& content) {
    std::vector<std::uint8_t> bytes;
    return PlainFile::Read(path, SaveJournal::MaxContentSize, "", bytes).Ok && bytes == content;
}

} // namespace

std::string SaveJournal::PathFor(const std::string& folder, const std::string& target) {
    return (std::filesystem::path(folder) / ("k6save-" + PathKey(target) + ".journal")).string();
}

Outcome SaveJournal::Record(const std::string& folder, const std::string& target,
                            const std::uint8_t* data, std::size_t size) {
    const std::string journal = PathFor(folder, target);
    const std::string path = CanonicalPath(target);
    if (path.size() > MaxPathSize || size > MaxContentSize)
        return Outcome::Failure(journal + CannotCreatePhrase + "(File too large)");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return Outcome::Failure(journal + CannotCreatePhrase + "(" + error.message() + ")");

    std::vector<std::uint8_t> bytes(Magic, Magic + sizeof Magic);
    bytes.reserve(HeaderSize + path.size() + size);
    PutNumber(bytes, path.size(), 4);
    PutNumber(bytes, size, 8);
    PutNumber(bytes, Crc(path, data, size), 4);
    bytes.insert(bytes.end(), path.begin(), path.end());
    bytes.insert(bytes.end(), data, data + size);
    // Replaced by a rename and its folder flushed: the journal is complete on disk before the
    // file it is for is touched, or it is not there at all.
    return AtomicFileWriter::Write(journal, bytes.data(), bytes.size());
}

SaveJournal::Found SaveJournal::Inspect(const std::string& folder, const std::string& target) {
    Found found;
    found.JournalPath = PathFor(folder, target);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(found.JournalPath, error)))
        return found;

    std::vector<std::uint8_t> bytes;
    if (!PlainFile::Read(found.JournalPath, HeaderSize + MaxPathSize + MaxContentSize, "", bytes)
             .Ok)
        return Damaged(found.JournalPath);
    if (bytes.size() < HeaderSize || !std::equal(Magic, Magic + sizeof Magic, bytes.begin()))
        return Damaged(found.JournalPath);
    const std::uint64_t pathSize = GetNumber(bytes, sizeof Magic, 4);
    const std::uint64_t contentSize = GetNumber(bytes, sizeof Magic + 4, 8);
    const auto crc = static_cast<std::uint32_t>(GetNumber(bytes, sizeof Magic + 12, 4));
    if (pathSize > MaxPathSize || contentSize > MaxContentSize ||
        bytes.size() != HeaderSize + pathSize + contentSize)
        return Damaged(found.JournalPath);
    const std::string path(bytes.begin() + HeaderSize,
                           bytes.begin() + static_cast<std::ptrdiff_t>(HeaderSize + pathSize));
    const std::uint8_t* content = bytes.data() + HeaderSize + pathSize;
    if (Crc(path, content, static_cast<std::size_t>(contentSize)) != crc)
        return Damaged(found.JournalPath);
    if (path != CanonicalPath(target))
        return found;
    found.Status = State::Ready;
    found.Content.assign(content, content + contentSize);
    return found;
}

Outcome SaveJournal::Remove(const std::string& journalPath) {
    std::error_code error;
    std::filesystem::remove(journalPath, error);
    if (error)
        return Outcome::Failure(journalPath + CannotRemovePhrase + "(" + error.message() + ")");
    return Outcome::Success();
}

SaveJournal::RecoveryResult SaveJournal::Recover(const std::string& folder,
                                                 const std::string& target,
                                                 const Questions& questions) {
    RecoveryResult result;
    std::error_code error;
    // Without the file there is nothing to finish: its journal waits for it.
    if (folder.empty() || !std::filesystem::is_regular_file(target, error))
        return result;
    LeftoverTemporaryFiles::RemoveFor(PathFor(folder, target));
    Found found = Inspect(folder, target);
    switch (found.Status) {
    case State::None:
        return result;
    case State::Damaged: {
        if (!questions.DeleteDamagedJournal(found.JournalPath)) {
            result.Done = Recovery::DamagedKept;
            return result;
        }
        result.Done = Recovery::DamagedDeleted;
        result.Message = Remove(found.JournalPath).Message;
        return result;
    }
    case State::Ready:
        break;
    }
    // Killed after the file was flushed, before the journal went: nothing was interrupted.
    if (FileHolds(target, found.Content)) {
        result.Done = Recovery::AlreadyComplete;
        Remove(found.JournalPath);
        return result;
    }
    switch (questions.FinishInterruptedSave(found.JournalPath)) {
    case Answer::Finish: {
        const Outcome finished =
            AtomicFileWriter::FinishFromJournal(target, found.Content, found.JournalPath);
        result.Done = finished.Ok ? Recovery::Finished : Recovery::FinishFailed;
        result.MayOpen = finished.Ok;
        result.Message = finished.Message;
        return result;
    }
    case Answer::Discard:
        result.Done = Recovery::Discarded;
        result.Message = Remove(found.JournalPath).Message;
        return result;
    case Answer::Cancel:
        break;
    }
    result.Done = Recovery::Cancelled;
    result.MayOpen = false;
    return result;
}
