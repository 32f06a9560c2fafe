#pragma once

#include "base/Outcome.h"
#include "base/TextMark.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a whole file that the user chose, which may be anything: only a plain file is read (a
// pipe or device would block the read or never end), and one larger than a limit is refused
// before anything is read. bytes is set only on success.
class PlainFile {
public:
    static Outcome Read(const std::string& path, std::size_t maxSize,
                        const std::string& tooLargeMessage, std::vector<std::uint8_t>& bytes);
    // A file that cannot be opened or read, named with the platform's reason.
    static std::string CannotOpen(const std::string& path, const std::string& reason);

    static constexpr const char* CannotOpenPhrase =
        K6_TEXT("DataMessages", " を開けませんでした。");
};
