#include "patch/BpsPatch.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<std::uint8_t, 4> Magic = {'B', 'P', 'S', '1'};
constexpr std::size_t FooterSize = 12;
// Numbers are never larger than this: sizes and offsets all fit far below it.
constexpr std::uint64_t MaxNumber = std::uint64_t{1} << 48;
// Equal bytes shorter than this stay inside a target read: a source read costs a byte or more.
constexpr std::size_t MinSourceRead = 4;

enum Action : std::uint64_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

void PutNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (;;) {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (value == 0) {
            out.push_back(low | 0x80);
            return;
        }
        out.push_back(low);
        --value;
    }
}

void PutCrc(std::vector<std::uint8_t>& out, std::uint32_t crc) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
}

// Reads the patch body up to the footer; every read is checked against its end.
class BpsReader {
public:
    explicit BpsReader(std::span<const std::uint8_t> body) : Body(body) {}

    std::optional<std::uint64_t> Number() {
        std::uint64_t value = 0;
        std::uint64_t shift = 1;
        for (;;) {
            if (At >= Body.size())
                return std::nullopt;
            const std::uint8_t byte = Body[At++];
            value += (byte & 0x7F) * shift;
            if (byte & 0x80)
                return value <= MaxNumber ? std::optional(value) : std::nullopt;
            shift <<= 7;
            value += shift;
            if (shift > MaxNumber || value > MaxNumber)
                return std::nullopt;
        }
    }

    bool Skip(std::uint64_t bytes) {
        if (bytes > Body.size() - At)
            return false;
        At += static_cast<std::size_t>(bytes);
        return true;
    }

    bool AtEnd() const { return At == Body.size(); }
    std::size_t Position() const { return At; }
    // Tells a malformed number at the end of the body from one that is merely too large.
    bool Exhausted() const { return At >= Body.size(); }

private:
    std::span<const std::uint8_t> Body;
    std::size_t At = 0;
};

std::uint32_t CrcAt(std::span<const std::uint8_t> patch, std::size_t at) {
    std::uint32_t crc = 0;
    for (int i = 3; i >= 0; --i)
        crc = crc << 8 | patch[at + static_cast<std::size_t>(i)];
    return crc;
}

struct Header {
    std::uint64_t SourceSize = 0;
    std::uint64_t TargetSize = 0;
    std::size_t MetadataAt = 0;
    std::size_t MetadataSize = 0;
};

const char* ReadHeader(BpsReader& reader, Header& header) {
    const auto missing = [&] {
        return reader.Exhausted() ? PatchMessages::Truncated : PatchMessages::BrokenRecord;
    };
    reader.Skip(Magic.size());
    const auto source = reader.Number();
    if (!source)
        return missing();
    const auto target = reader.Number();
    if (!target)
        return missing();
    const auto metadata = reader.Number();
    if (!metadata)
        return missing();
    header.SourceSize = *source;
    header.TargetSize = *target;
    header.MetadataAt = reader.Position();
    if (!reader.Skip(*metadata))
        return PatchMessages::Truncated;
    header.MetadataSize = static_cast<std::size_t>(*metadata);
    return nullptr;
}

// Applies the actions into target, which has the target size; every length and offset is
// checked before it is used.
const char* RunActions(BpsReader& reader, std::span<const std::uint8_t> source,
                       std::span<const std::uint8_t> body, std::vector<std::uint8_t>& target) {
    const std::uint64_t targetSize = target.size();
    std::uint64_t output = 0;
    std::int64_t sourceRelative = 0;
    std::int64_t targetRelative = 0;
    const auto relative = [&](std::int64_t& offset, std::uint64_t length,
                              std::uint64_t limit) -> bool {
        const auto data = reader.Number();
        if (!data)
            return false;
        const auto magnitude = static_cast<std::int64_t>(*data >> 1);
        offset += (*data & 1) ? -magnitude : magnitude;
        return offset >= 0 && static_cast<std::uint64_t>(offset) <= limit &&
               length <= limit - static_cast<std::uint64_t>(offset);
    };
    while (!reader.AtEnd()) {
        const auto data = reader.Number();
        if (!data)
            return reader.Exhausted() ? PatchMessages::Truncated : PatchMessages::BrokenRecord;
        const std::uint64_t length = (*data >> 2) + 1;
        if (length > targetSize - output)
            return PatchMessages::OutOfRange;
        auto* to = target.data() + output;
        switch (*data & 3) {
        case SourceRead:
            if (output + length > source.size())
                return PatchMessages::OutOfRange;
            std::copy_n(source.data() + output, length, to);
            break;
        case TargetRead: {
            const std::size_t at = reader.Position();
            if (!reader.Skip(length))
                return PatchMessages::Truncated;
            std::copy_n(body.data() + at, length, to);
            break;
        }
        case SourceCopy:
            if (!relative(sourceRelative, length, source.size()))
                return PatchMessages::OutOfRange;
            std::copy_n(source.data() + sourceRelative, length, to);
            sourceRelative += static_cast<std::int64_t>(length);
            break;
        case TargetCopy:
            // Each byte is read before it is written over: a copy may overlap what it makes.
            if (output == 0 || !relative(targetRelative, 0, output - 1))
                return PatchMessages::OutOfRange;
            for (std::uint64_t i = 0; i < length; ++i)
                to[i] = target[static_cast<std::size_t>(targetRelative) + i];
            targetRelative += static_cast<std::int64_t>(length);
            break;
        }
        output += length;
    }
    return output == targetSize ? nullptr : PatchMessages::OutOfRange;
}

} // namespace

std::uint32_t BpsPatch::Crc32(std::span<const std::uint8_t> bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt: feed large inputs in pieces.
    constexpr std::size_t Piece = 1u << 30;
    for (std::size_t at = 0; at < bytes.size(); at += Piece)
        crc = crc32(crc, bytes.data() + at, static_cast<uInt>(std::min(Piece, bytes.size() - at)));
    return static_cast<std::uint32_t>(crc);
}

bool BpsPatch::HasMagic(std::span<const std::uint8_t> patch) {
    return patch.size() >= Magic.size() && std::equal(Magic.begin(), Magic.end(), patch.begin());
}

std::vector<std::uint8_t> BpsPatch::Create(std::span<const std::uint8_t> original,
                                           std::span<const std::uint8_t> target,
                                           const std::string& metadata) {
    std::vector<std::uint8_t> out(Magic.begin(), Magic.end());
    PutNumber(out, original.size());
    PutNumber(out, target.size());
    PutNumber(out, metadata.size());
    out.insert(out.end(), metadata.begin(), metadata.end());

    const auto same = [&](std::size_t i) {
        return i < original.size() && original[i] == target[i];
    };
    // The length of the run of equal bytes at i.
    const auto sameRun = [&](std::size_t i) {
        std::size_t end = i;
        while (end < target.size() && same(end))
            ++end;
        return end - i;
    };
    std::size_t i = 0;
    while (i < target.size()) {
        const std::size_t run = sameRun(i);
        if (run >= MinSourceRead || (run > 0 && i + run == target.size())) {
            PutNumber(out, (std::uint64_t{run} - 1) << 2 | SourceRead);
            i += run;
            continue;
        }
        std::size_t end = i + std::max<std::size_t>(run, 1);
        while (end < target.size()) {
            const std::size_t equal = sameRun(end);
            if (equal >= MinSourceRead)
                break;
            end += std::max<std::size_t>(equal, 1);
        }
        PutNumber(out, (std::uint64_t{end - i} - 1) << 2 | TargetRead);
        out.insert(out.end(), target.begin() + static_cast<std::ptrdiff_t>(i),
                   target.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
    }
    PutCrc(out, Crc32(original));
    PutCrc(out, Crc32(target));
    PutCrc(out, Crc32(out));
    return out;
}

Outcome BpsPatch::Apply(std::span<const std::uint8_t> original, std::span<const std::uint8_t> patch,
                        std::vector<std::uint8_t>& patched) {
    if (!HasMagic(patch))
        return Outcome::Failure(PatchMessages::UnknownFormat);
    if (patch.size() < Magic.size() + 3 + FooterSize)
        return Outcome::Failure(PatchMessages::Truncated);
    const std::size_t bodySize = patch.size() - FooterSize;
    if (Crc32(patch.first(patch.size() - 4)) != CrcAt(patch, patch.size() - 4))
        return Outcome::Failure(PatchMessages::PatchChecksumMismatch);

    const auto body = patch.first(bodySize);
    BpsReader reader(body);
    Header header;
    if (const char* problem = ReadHeader(reader, header))
        return Outcome::Failure(problem);
    if (header.SourceSize != original.size())
        return Outcome::Failure(PatchMessages::SourceSizeMismatch);
    if (Crc32(original) != CrcAt(patch, bodySize))
        return Outcome::Failure(PatchMessages::SourceChecksumMismatch);
    if (header.TargetSize > MaxTargetSize)
        return Outcome::Failure(PatchMessages::TooLarge);

    std::vector<std::uint8_t> target(header.TargetSize, 0);
    if (const char* problem = RunActions(reader, original, body, target))
        return Outcome::Failure(problem);
    if (Crc32(target) != CrcAt(patch, bodySize + 4))
        return Outcome::Failure(PatchMessages::TargetChecksumMismatch);
    patched = std::move(target);
    return Outcome::Success();
}

std::string BpsPatch::Metadata(std::span<const std::uint8_t> patch) {
    if (!HasMagic(patch) || patch.size() < FooterSize)
        return {};
    BpsReader reader(patch.first(patch.size() - FooterSize));
    Header header;
    if (ReadHeader(reader, header))
        return {};
    const auto* at = patch.data() + header.MetadataAt;
    return std::string(at, at + header.MetadataSize);
}
