#include "inifile/IniFile.h"

#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/LeftoverTemporaryFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string_view>

namespace {

std::string Trim(const std::string& text) {
    const auto isBlank = [](unsigned char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && isBlank(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "[Name]" with optional blanks around; returns the name.
std::optional<std::string> SectionNameOf(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']')
        return std::nullopt;
    return Trim(trimmed.substr(1, trimmed.size() - 2));
}

bool IsComment(const std::string& line) {
    const std::string trimmed = Trim(line);
    return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// Splits "key=value"; the key is trimmed, the value is taken as written.
std::optional<std::pair<std::string, std::string>> KeyValueOf(const std::string& line) {
    if (IsComment(line))
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
        return std::nullopt;
    return std::make_pair(Trim(line.substr(0, equals)), line.substr(equals + 1));
}

} // namespace

IniFile::IniFile(std::string path) : FilePath(std::move(path)) {
    // A flush killed half-way (at exit) left its temporary beside the file: gone at next start.
    LeftoverTemporaryFiles::RemoveFor(FilePath);
    std::error_code error;
    if (!std::filesystem::exists(FilePath, error))
        return;
    if (!std::filesystem::is_regular_file(FilePath, error)) {
        LoadOutcome = Outcome::Failure(FilePath + CannotReadPhrase + NotRegularPhrase);
        return;
    }
    const std::uintmax_t size = std::filesystem::file_size(FilePath, error);
    if (error) {
        LoadOutcome = Outcome::Failure(FilePath + CannotReadPhrase + "(" + error.message() + ")");
        return;
    }
    if (size > MaxFileSize) {
        LoadOutcome = Outcome::Failure(FilePath + TooLargePhrase);
        return;
    }
    std::ifstream in(FilePath, std::ios::binary);
    if (!in) {
        LoadOutcome =
            Outcome::Failure(FilePath + CannotReadPhrase + "(" + std::strerror(errno) + ")");
        return;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::string text = content.str();
    constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
    if (text.starts_with(Utf8Bom)) {
        ByteOrderMark = Utf8Bom;
        text.erase(0, Utf8Bom.size());
    }
    if (text.find("\r\n") != std::string::npos)
        LineEnding = "\r\n";

    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string::npos ? text.size() : newline;
        if (end > start && text[end - 1] == '\r')
            --end;
        Lines.push_back({text.substr(start, end - start), text.substr(end, next - end)});
        start = next;
    }
}

void IniFile::InsertLine(std::size_t at, std::string text) {
    // The line before an added last line needs a complete break of its own.
    if (at == Lines.size() && !Lines.empty()) {
        std::string& lastBreak = Lines.back().Break;
        if (lastBreak.empty())
            lastBreak = LineEnding;
        else if (lastBreak == "\r")
            lastBreak += '\n';
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), LineEnding});
}

std::optional<std::size_t> IniFile::FindSection(const std::string& section) const {
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const auto name = SectionNameOf(Lines[i].Text);
        if (name && EqualsIgnoringCase(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t sectionLine) const {
    std::size_t i = sectionLine + 1;
    while (i < Lines.size() && !SectionNameOf(Lines[i].Text))
        ++i;
    return i;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t sectionLine, const std::string& key) const {
    const std::size_t end = SectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto pair = KeyValueOf(Lines[i].Text);
        if (pair && EqualsIgnoringCase(pair->first, key))
            return i;
    }
    return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        return defaultValue;
    const auto keyLine = FindKey(*sectionLine, key);
    if (!keyLine)
        return defaultValue;
    return KeyValueOf(Lines[*keyLine].Text)->second;
}

std::optional<std::int32_t> IniFile::ParseInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    }
    if (i >= text.size())
        return std::nullopt;

    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    if (!negative && magnitude == limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                                  std::int32_t defaultValue) const {
    const auto sectionLine = FindSection(section);
    if (!sectionLine || !FindKey(*sectionLine, key))
        return defaultValue;
    return ParseInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    auto sectionLine = FindSection(section);
    if (!sectionLine) {
        InsertLine(Lines.size(), "[" + section + "]");
        sectionLine = Lines.size() - 1;
    }
    if (const auto keyLine = FindKey(*sectionLine, key)) {
        // Keep the key as the file spells it.
        const std::string& old = Lines[*keyLine].Text;
        Lines[*keyLine].Text = old.substr(0, old.find('=') + 1) + value;
        return;
    }
    // Append after the section's last non-blank line, so blank separator lines stay between
    // sections.
    std::size_t insertAt = SectionEnd(*sectionLine);
    while (insertAt > *sectionLine + 1 && Trim(Lines[insertAt - 1].Text).empty())
        --insertAt;
    InsertLine(insertAt, key + "=" + value);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        return;
    if (const auto keyLine = FindKey(*sectionLine, key))
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(*keyLine));
}

Outcome IniFile::Flush() const {
    if (!LoadOutcome.Ok)
        return Outcome::Failure(LoadOutcome.Message + NotWrittenPhrase);
    std::string content = ByteOrderMark;
    for (const Line& line : Lines)
        content += line.Text + line.Break;
    return AtomicFileWriter::Write(FilePath, reinterpret_cast<const std::uint8_t*>(content.data()),
                                   content.size());
}
