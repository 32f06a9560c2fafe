#pragma once

#include "base/Outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Writes a whole file so that it is either completely replaced or left as it was. Where the
// folder allows it, the bytes go to a temporary file beside the target, are flushed to disk,
// and only then is the temporary renamed over the target. Where a rename would lose something
// (the folder is not writable, the file has other hard links, or its owner and group could not
// be carried over), the file is rewritten in place instead: it keeps its inode, links,
// permission bits and owner, and a failure puts the old bytes back.
class AtomicFileWriter {
public:
    // A failure's message names the file and the platform's reason.
    static Outcome Write(const std::string& path, const std::uint8_t* data, std::size_t size);
};
