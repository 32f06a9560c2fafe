// Fuzz entry point: arbitrary bytes as the settings file, read, then written back.
//
// An input is the settings file's bytes alone (nothing is written before the flush), or a
// write and the file:
//   0xFF "W"    the mark of a write
//   1 byte      bits 5-0 pick one of the section and key pairs the program writes, bit 6 writes
//               the section name in upper case instead of as the program spells it
//   1 byte      n, the length of the value written
//   n bytes     the value (line breaks in it are dropped: the program never writes them)
//   the rest    the settings file's bytes
//
// What must hold: a flush without writes gives back the file byte for byte; a flush after one
// write changes one line at most (the key's) or adds lines at one place, every other line keeps
// its bytes and its line break, and the file read again has the value under that section and key.
#include "FuzzScratch.h"

#include "address/AddressData.h"
#include "inifile/IniFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

struct KeyOfSection {
    const char* Section;
    const char* Key;
};

constexpr std::array<KeyOfSection, 8> ShellKeys = {{{"ObjectEdit", "Sort"},
                                                    {"ObjectEdit", "Popup"},
                                                    {"32x32ChipEdit", "Grid"},
                                                    {"MapSetEdit", "Grid"},
                                                    {"Timer", "Interval"},
                                                    {"PaletteAnimation", "Interval"},
                                                    {"Added", "Key"},
                                                    {"Timer", "New"}}};

KeyOfSection PickKey(std::uint8_t selector) {
    const int choice =
        static_cast<int>(selector % (ShellKeys.size() + std::size_t{AddressData::KeyCount}));
    if (choice < static_cast<int>(ShellKeys.size()))
        return ShellKeys[static_cast<std::size_t>(choice)];
    const auto key = static_cast<LevelDataKey>(choice - static_cast<int>(ShellKeys.size()));
    return {AddressData::SectionName, AddressData::KeyName(key)};
}

std::string ChangeCase(std::string text, bool upper) {
    for (char& c : text)
        c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                    : std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The file cut into lines, each with its line break ("\n"; the last line may have none).
std::vector<std::string> LinesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size() - 1) + 1;
        lines.push_back(bytes.substr(start, end - start));
        start = end;
    }
    return lines;
}

// The lines in the same places before and after, from both ends, leave at most one old line
// in between (the key's, or the last line gaining a line break) and the new lines there.
void RequireOneChangeAtMost(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = LinesOf(before);
    const std::vector<std::string> now = LinesOf(after);
    const auto head = std::mismatch(old.begin(), old.end(), now.begin(), now.end());
    const std::size_t common = static_cast<std::size_t>(head.first - old.begin());
    std::size_t tail = 0;
    while (tail < old.size() - common && tail < now.size() - common &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const std::size_t oldChanged = old.size() - common - tail;
    const std::size_t newChanged = now.size() - common - tail;
    // A value replaced: one line for one. Lines added: a key, or a section and its key, after
    // the old last line, which gains a line break when it had none.
    Require(oldChanged <= 1 && newChanged <= 3);
    if (oldChanged == 1 && newChanged != 1) {
        const std::string& last = old[common];
        Require(newChanged > 1 && tail == 0 && last.back() != '\n' &&
                now[common].compare(0, last.size(), last) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> input(data, size);
    std::optional<KeyOfSection> write;
    std::string value;
    bool upper = false;
    if (input.size() >= 4 && input[0] == 0xFF && input[1] == 'W' && input.size() >= 4u + input[3]) {
        write = PickKey(input[2] & 0x3F);
        upper = (input[2] & 0x40) != 0;
        for (const std::uint8_t c : input.subspan(4, input[3]))
            if (c != '\n' && c != '\r')
                value.push_back(static_cast<char>(c));
        input = input.subspan(4u + input[3]);
    }
    const std::string before(input.begin(), input.end());
    const std::string path = WriteScratchFile("settings.ini", input);

    IniFile settings(path);
    Require(settings.LoadResult().Ok);
    for (const KeyOfSection& key : ShellKeys)
        settings.ReadInteger(key.Section, key.Key, 0);
    if (write) {
        const std::string section = ChangeCase(write->Section, upper);
        settings.WriteString(section, write->Key, value);
    }
    Require(settings.Flush().Ok);
    const std::vector<std::uint8_t> flushed = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>());
    }();
    const std::string after(flushed.begin(), flushed.end());

    if (!write) {
        Require(after == before);
        return 0;
    }
    RequireOneChangeAtMost(before, after);
    const IniFile again(path);
    Require(again.ReadString(write->Section, write->Key, value + "?") == value);
    return 0;
}
