#pragma once

#include "base/Outcome.h"
#include "base/TextMark.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The settings file held in memory. Lines the program never writes (other sections, other
// keys, comments, blank lines) are kept byte for byte with their own line breaks and in their
// order, so a flush rewrites the whole file without losing anything a user or another tool put
// there: a flush without writes gives back the file as read. Lines the program adds end with
// "\r\n" when the file has any, "\n" otherwise; a last line without a line break gains one only
// when a line is added after it.
class IniFile {
public:
    // Files larger than this are not settings files; they are refused rather than read whole.
    static constexpr std::uintmax_t MaxFileSize = 4 * 1024 * 1024;
    // The fixed phrases of its messages; the first two follow the file's path.
    static constexpr const char* CannotReadPhrase =
        K6_TEXT("DataMessages", " を読み込めませんでした。");
    static constexpr const char* TooLargePhrase =
        K6_TEXT("DataMessages", " は設定ファイルとして大きすぎるため読み込みませんでした。");
    static constexpr const char* NotRegularPhrase =
        K6_TEXT("DataMessages", "(通常のファイルではありません)");
    static constexpr const char* NotWrittenPhrase =
        K6_TEXT("DataMessages", "\n設定ファイルを書き込みませんでした。");

    // A missing file is an empty file. A file that exists but cannot be read (or is far too
    // large) leaves the object empty and remembers the error: a flush then refuses to replace
    // a file whose content was never seen.
    explicit IniFile(std::string path);

    const std::string& Path() const { return FilePath; }
    const Outcome& LoadResult() const { return LoadOutcome; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Removes the key from the section; nothing happens when it is not there.
    void DeleteKey(const std::string& section, const std::string& key);

    // Rewrites the whole file at once (AtomicFileWriter). A failure's message names the file.
    Outcome Flush() const;

    // The integer format of the settings: optional leading blanks, an optional sign, then
    // hexadecimal digits after "$", "x", "X", "0x" or "0X", or decimal digits; anything else,
    // or a value outside the 32-bit signed range, does not convert.
    static std::optional<std::int32_t> ParseInteger(const std::string& text);

private:
    struct Line {
        std::string Text;  // the line as in the file, without its line break
        std::string Break; // "\r\n", "\n", or for the last line also "\r" or nothing
    };

    void InsertLine(std::size_t at, std::string text);

    std::optional<std::size_t> FindSection(const std::string& section) const;
    // The line index of key inside the section that starts at sectionLine.
    std::optional<std::size_t> FindKey(std::size_t sectionLine, const std::string& key) const;
    std::size_t SectionEnd(std::size_t sectionLine) const;

    std::string FilePath;
    Outcome LoadOutcome;
    std::vector<Line> Lines;
    std::string LineEnding = "\n";
    // A UTF-8 byte-order mark the file started with: not part of the first line, written back.
    std::string ByteOrderMark;
};
