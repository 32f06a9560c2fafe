#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes a whole file so that it is either completely replaced or left as it was: the bytes
// go to a temporary file beside the target, are flushed to disk, and only then is the
// temporary renamed over the target.
class AtomicFileWriter {
public:
    // Returns an empty string on success, otherwise a message naming the file.
    static std::string Write(const std::string& path, const std::uint8_t* data, std::size_t size);
};
