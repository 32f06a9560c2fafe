#include "patch/IpsPatch.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<std::uint8_t, 5> Magic = {'P', 'A', 'T', 'C', 'H'};
constexpr std::array<std::uint8_t, 3> Trailer = {'E', 'O', 'F'};
// A run record costs eight bytes; shorter runs stay in the surrounding data record.
constexpr std::size_t MinRunLength = 9;
// Equal bytes up to this many are carried inside a record rather than starting a new one.
constexpr std::size_t MaxBridgedGap = 5;

class IpsWriter {
public:
    explicit IpsWriter(std::span<const std::uint8_t> target) : Target(target) {
        Out.assign(Magic.begin(), Magic.end());
    }

    // Target bytes [start, end) as data and run records.
    void Emit(std::size_t start, std::size_t end) {
        std::size_t at = start;
        while (at < end) {
            const std::size_t run = RunLengthAt(at, end);
            if (run >= MinRunLength) {
                EmitRun(at, run);
                at += run;
                continue;
            }
            std::size_t dataEnd = at + run;
            while (dataEnd < end && RunLengthAt(dataEnd, end) < MinRunLength)
                dataEnd += RunLengthAt(dataEnd, end);
            EmitData(at, dataEnd);
            at = dataEnd;
        }
    }

    std::vector<std::uint8_t> Finish(std::size_t originalSize) {
        Out.insert(Out.end(), Trailer.begin(), Trailer.end());
        if (Target.size() < originalSize)
            Put(Target.size(), 3);
        return std::move(Out);
    }

private:
    std::size_t RunLengthAt(std::size_t at, std::size_t end) const {
        std::size_t length = 1;
        while (at + length < end && Target[at + length] == Target[at])
            ++length;
        return length;
    }

    void EmitData(std::size_t start, std::size_t end) {
        while (start < end) {
            const std::size_t at = start == IpsPatch::EofOffset ? start - 1 : start;
            const std::size_t length = std::min(IpsPatch::MaxRecordLength, end - at);
            Put(at, 3);
            Put(length, 2);
            Out.insert(Out.end(), Target.begin() + static_cast<std::ptrdiff_t>(at),
                       Target.begin() + static_cast<std::ptrdiff_t>(at + length));
            start = at + length;
        }
    }

    void EmitRun(std::size_t start, std::size_t length) {
        const std::size_t end = start + length;
        while (start < end) {
            if (start == IpsPatch::EofOffset) {
                // The byte before joins a two-byte data record instead.
                EmitData(start - 1, start + 1);
                ++start;
                continue;
            }
            const std::size_t piece = std::min(IpsPatch::MaxRecordLength, end - start);
            Put(start, 3);
            Put(0, 2);
            Put(piece, 2);
            Out.push_back(Target[start]);
            start += piece;
        }
    }

    void Put(std::size_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            Out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    std::span<const std::uint8_t> Target;
    std::vector<std::uint8_t> Out;
};

struct Record {
    std::size_t Offset = 0;
    std::size_t Length = 0;
    std::size_t DataAt = 0; // position of the bytes in the patch; for a run, of the value
    bool Run = false;
};

class IpsReader {
public:
    explicit IpsReader(std::span<const std::uint8_t> patch) : Patch(patch) {}

    // Reads every record; the first problem found is the message.
    const char* Read() {
        At = Magic.size();
        for (;;) {
            if (!Has(3))
                return PatchMessages::Truncated;
            if (std::equal(Trailer.begin(), Trailer.end(), Patch.begin() + Pos(At))) {
                At += 3;
                return ReadTrailer();
            }
            Record record;
            record.Offset = Take(3);
            if (!Has(2))
                return PatchMessages::Truncated;
            record.Length = Take(2);
            if (record.Length == 0) {
                if (!Has(3))
                    return PatchMessages::Truncated;
                record.Length = Take(2);
                record.Run = true;
                record.DataAt = At++;
                if (record.Length == 0)
                    return PatchMessages::BrokenRecord;
            } else {
                if (!Has(record.Length))
                    return PatchMessages::Truncated;
                record.DataAt = At;
                At += record.Length;
            }
            if (record.Offset + record.Length > IpsPatch::MaxTargetSize)
                return PatchMessages::TooLarge;
            Records.push_back(record);
        }
    }

    std::vector<Record> Records;
    std::optional<std::size_t> TruncatedSize;

private:
    const char* ReadTrailer() {
        const std::size_t rest = Patch.size() - At;
        if (rest == 0)
            return nullptr;
        if (rest != 3)
            return PatchMessages::BrokenRecord;
        TruncatedSize = Take(3);
        return nullptr;
    }

    bool Has(std::size_t bytes) const { return Patch.size() - At >= bytes; }
    static std::ptrdiff_t Pos(std::size_t at) { return static_cast<std::ptrdiff_t>(at); }
    std::size_t Take(int bytes) {
        std::size_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | Patch[At++];
        return value;
    }

    std::span<const std::uint8_t> Patch;
    std::size_t At = 0;
};

} // namespace

bool IpsPatch::HasMagic(std::span<const std::uint8_t> patch) {
    return patch.size() >= Magic.size() && std::equal(Magic.begin(), Magic.end(), patch.begin());
}

std::vector<std::uint8_t> IpsPatch::Create(std::span<const std::uint8_t> original,
                                           std::span<const std::uint8_t> target) {
    IpsWriter writer(target);
    const auto differs = [&](std::size_t i) {
        return i >= original.size() || original[i] != target[i];
    };
    std::size_t i = 0;
    while (i < target.size()) {
        if (!differs(i)) {
            ++i;
            continue;
        }
        // Extend over short stretches of equal bytes: a new record header costs five.
        std::size_t end = i + 1;
        for (;;) {
            while (end < target.size() && differs(end))
                ++end;
            std::size_t next = end;
            while (next < target.size() && next - end <= MaxBridgedGap && !differs(next))
                ++next;
            if (next < target.size() && next - end <= MaxBridgedGap && differs(next)) {
                end = next;
                continue;
            }
            break;
        }
        writer.Emit(i, end);
        i = end;
    }
    return writer.Finish(original.size());
}

Outcome IpsPatch::Apply(std::span<const std::uint8_t> original, std::span<const std::uint8_t> patch,
                        std::vector<std::uint8_t>& patched) {
    if (!HasMagic(patch))
        return Outcome::Failure(PatchMessages::UnknownFormat);
    IpsReader reader(patch);
    if (const char* problem = reader.Read())
        return Outcome::Failure(problem);
    if (original.size() > MaxTargetSize)
        return Outcome::Failure(PatchMessages::TooLarge);

    std::size_t size = original.size();
    for (const Record& record : reader.Records)
        size = std::max(size, record.Offset + record.Length);
    std::vector<std::uint8_t> bytes(original.begin(), original.end());
    bytes.resize(size, 0);
    for (const Record& record : reader.Records) {
        const auto to = bytes.begin() + static_cast<std::ptrdiff_t>(record.Offset);
        const auto from = patch.begin() + static_cast<std::ptrdiff_t>(record.DataAt);
        if (record.Run)
            std::fill_n(to, record.Length, *from);
        else
            std::copy_n(from, record.Length, to);
    }
    // A cut only shortens: growing the result would add bytes nobody wrote.
    if (reader.TruncatedSize && *reader.TruncatedSize > bytes.size())
        return Outcome::Failure(PatchMessages::BrokenRecord);
    if (reader.TruncatedSize)
        bytes.resize(*reader.TruncatedSize);
    patched = std::move(bytes);
    return Outcome::Success();
}
