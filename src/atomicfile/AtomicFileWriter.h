#pragma once

#include "base/Outcome.h"
#include "base/TextMark.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes a whole file so that it is either completely replaced or left as it was. Where the
// folder allows it, the bytes go to a temporary file beside the target (see
// LeftoverTemporaryFiles for its name), are flushed to disk, and only then is the temporary
// renamed over the target. Where a rename would lose something (the folder is not writable, the
// file has other hard links, or its owner and group could not be carried over), the file is
// rewritten in place instead: it keeps its inode, links, permission bits and owner. Given a
// journal folder, the in-place rewrite first records the new content there (SaveJournal), so
// that a rewrite cut short by a kill or a power cut can be finished when the file is opened
// again; a failure puts the old bytes back.
class AtomicFileWriter {
public:
    // A failure's message names the file and the platform's reason; where the put-back of an
    // in-place rewrite failed too, it says the file may be damaged and names the journal.
    static Outcome Write(const std::string& path, const std::uint8_t* data, std::size_t size,
                         const std::string& journalFolder = {});

    // Whether Write may add a new file to folder: the platform allows it and the folder has a
    // write bit (a folder without any is left alone even by a user who could override that).
    static bool FolderTakesNewFiles(const std::string& folder);

    // A file of the editor's own that nobody needs after a power cut (the play-test image):
    // replaced whole by a rename as Write does, so a reader sees the old or the new content,
    // but not waited for on disk.
    static Outcome WriteUnflushed(const std::string& path, const std::uint8_t* data,
                                  std::size_t size);

    // Writes a journal's content over path in place. The journal at journalPath is removed
    // once the file holds the content, and kept whenever the rewrite fails.
    static Outcome FinishFromJournal(const std::string& path,
                                     const std::vector<std::uint8_t>& content,
                                     const std::string& journalPath);

    // The fixed phrases of its messages, each after or before a path.
    static constexpr const char* CannotWritePhrase =
        K6_TEXT("DataMessages", " に書き込めませんでした。");
    static constexpr const char* MayBeDamagedPhrase = K6_TEXT(
        "DataMessages", "元に戻すこともできなかったため、ファイルが壊れている可能性があります。");
    static constexpr const char* JournalBeforePhrase = K6_TEXT("DataMessages", "次に開くときに ");
    static constexpr const char* JournalAfterPhrase =
        K6_TEXT("DataMessages", " から保存を完了できます。");
};
