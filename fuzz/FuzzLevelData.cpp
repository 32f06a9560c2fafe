// Fuzz entry point: arbitrary bytes through open, decode, a few edits, write-back and packing.
//
// An input is either
//   - a cartridge file as it would be opened (any bytes; everything past the image size is read as
//     text lines that override the "LevelDataAddress" keys in table order), or
//   - "K6P" followed by records applied to the generated cartridge: a byte below 0x80 starts a
//     patch (it and two more bytes give the offset, then a length byte, the bytes), a byte from
//     0x80 on a key override
//     (key number in bits 4-0, a length byte, the text). Small inputs that still reach the
//     whole level-data layout.
// The edits that follow the open are chosen by a generator seeded with a hash of the input.
#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/PatternLoadEntry.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr std::size_t ImageSize = LevelFormat::CartridgeSize;

// Checks that must hold for any input; a failure is a finding.
void Require(bool condition) {
    if (!condition)
        std::abort();
}

class Random {
public:
    explicit Random(std::uint64_t seed) : State(seed | 1) {}
    std::uint32_t Next() {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return static_cast<std::uint32_t>(State >> 11);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint64_t State;
};

// Seeds the edits from the input's size and its first and last bytes: cheap on whole images,
// and mutations there change the edits.
std::uint64_t Hash(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t Sample = 64;
    std::uint64_t hash = 1469598103934665603ull ^ bytes.size();
    const auto mix = [&](std::span<const std::uint8_t> part) {
        for (const std::uint8_t b : part)
            hash = (hash ^ b) * 1099511628211ull;
    };
    mix(bytes.first(std::min(bytes.size(), Sample)));
    mix(bytes.last(std::min(bytes.size(), Sample)));
    return hash;
}

void OverrideKey(IniFile& settings, int key, const std::string& text) {
    settings.WriteString(
        AddressData::SectionName,
        AddressData::KeyName(static_cast<LevelDataKey>(key % AddressData::KeyCount)), text);
}

// Builds the image bytes and the settings from one input.
std::vector<std::uint8_t> Prepare(std::span<const std::uint8_t> input, IniFile& settings) {
    static const std::vector<std::uint8_t> generated = CartridgeGenerator::MakeImage();
    if (input.size() >= 3 && input[0] == 'K' && input[1] == '6' && input[2] == 'P') {
        std::vector<std::uint8_t> image = generated;
        std::size_t at = 3;
        while (at + 1 < input.size()) {
            const std::uint8_t op = input[at++];
            if (op & 0x80) {
                const std::size_t declared = input[at++];
                const std::size_t length = std::min(declared, input.size() - at);
                OverrideKey(settings, op & 0x1F,
                            std::string(input.begin() + static_cast<std::ptrdiff_t>(at),
                                        input.begin() + static_cast<std::ptrdiff_t>(at + length)));
                at += length;
                continue;
            }
            if (at + 3 > input.size())
                break;
            const std::size_t offset =
                (std::size_t{op} << 16 | std::size_t{input[at]} << 8 | input[at + 1]) % ImageSize;
            const std::size_t length =
                std::min<std::size_t>(input[at + 2], input.size() - (at + 3));
            at += 3;
            for (std::size_t i = 0; i < length && offset + i < ImageSize; ++i)
                image[offset + i] = input[at + i];
            at += length;
        }
        return image;
    }

    const std::size_t imageBytes = std::min(input.size(), ImageSize);
    std::vector<std::uint8_t> image(input.begin(),
                                    input.begin() + static_cast<std::ptrdiff_t>(imageBytes));
    std::string tail(input.begin() + static_cast<std::ptrdiff_t>(imageBytes), input.end());
    int key = 0;
    for (std::size_t start = 0; start < tail.size() && key < AddressData::KeyCount; ++key) {
        const std::size_t end = std::min(tail.find('\n', start), tail.size());
        OverrideKey(settings, key, tail.substr(start, end - start));
        start = end + 1;
    }
    return image;
}

void Edit(RomImageData& rom, EditFlagManagement& flags, Random& random) {
    for (int step = 0, steps = 1 + random.Below(8); step < steps; ++step) {
        const int s = random.Below(LevelFormat::StageCount);
        StageData& stage = rom.Stage(s);
        const auto index = static_cast<std::size_t>(random.Next());
        const auto value = static_cast<std::uint8_t>(random.Next());
        switch (random.Below(10)) {
        case 0:
            for (int t = 0; t < LevelFormat::StageCount; ++t)
                rom.Stage(t).ToggleChip16x16Set();
            break;
        case 1:
            stage.Chip16x16Table()[index % 1024] = value;
            stage.ChipPropertyTable()[index % 256] = value;
            flags.SetChip16x16Modified(s, true);
            break;
        case 2:
            stage.Chip32x32Table[index % 1024] = value;
            flags.SetChip32x32Modified(s, true);
            break;
        case 3:
            stage.MapSetTable[index % 2048] = value;
            flags.SetMapSetModified(s, true);
            break;
        case 4: {
            int total = 0;
            for (int t = 0; t < LevelFormat::StageCount; ++t)
                total += rom.Stage(t).ObjectTotal();
            const int page = random.Below(LevelFormat::PageCount);
            for (int n = random.Below(40);
                 n > 0 && stage.ObjectTotal() < LevelFormat::MaxObjectsPerStage &&
                 total < LevelFormat::MaxObjectsAllStages;
                 --n, ++total)
                Require(stage.AddObject(page, random.Below(256), random.Below(256),
                                        random.Below(256)) != nullptr);
            flags.SetObjectModified(s, true);
            break;
        }
        case 5: {
            const int page = random.Below(LevelFormat::PageCount);
            const int before = stage.ObjectTotal();
            if (ObjectNode* last = stage.LastObjectOfPage(page)) {
                Require(stage.ObjectIndexOf(last, page) == [&] {
                    int n = 0;
                    for (int p = 0; p <= page; ++p)
                        n += stage.ObjectCountOfPage(p);
                    return n - 1;
                }());
                stage.RemoveObject(last, page);
                Require(stage.ObjectTotal() == before - 1);
                flags.SetObjectModified(s, true);
            }
            break;
        }
        case 6: {
            const int page = random.Below(LevelFormat::PageCount);
            stage.SortPageByX(page);
            const auto& list = stage.ObjectsOfPage(page);
            Require(
                std::is_sorted(list.begin(), list.end(),
                               [](const ObjectNode& a, const ObjectNode& b) { return a.X < b.X; }));
            flags.SetObjectModified(s, true);
            break;
        }
        case 7:
            stage.StagePalette[index % 32] = value & LevelFormat::ColorNumberMask;
            flags.SetPaletteModified(s, true);
            break;
        case 8:
            // An editor's reload decodes one category again.
            stage.DecodeObjects();
            stage.DecodePalettes();
            stage.DecodeChip16x16Tables();
            break;
        default:
            flags.SetObjectModified(s, true);
            break;
        }
    }
}

// The 16x16 chip tab's decoders, over whatever offsets the settings and the bytes give: every
// stage's chip type row and own pattern load entry, one more entry, and one at any offset.
void DecodeChipSetSources(std::span<const std::uint8_t> cartridge, const AddressData& address,
                          Random& random) {
    std::array<std::uint8_t, PatternLoadEntry::TablesBytes> tables{};
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const auto codes = ChipTypeCaptions::CodesOfStage(cartridge, address, s);
        Require(!ChipTypeCaptions::Of(codes[0]).empty());
        const int own =
            address.TableByte(cartridge, LevelDataKey::PatternTableDataNo, s).value_or(0);
        PatternLoadEntry::Apply(cartridge, address.PatternEntryOffset(own), tables);
    }
    PatternLoadEntry::Apply(
        cartridge, address.PatternEntryOffset(random.Below(AddressData::PatternEntryCount)),
        tables);
    PatternLoadEntry::Apply(cartridge, static_cast<std::int32_t>(random.Next() << 1), tables);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    const std::vector<std::uint8_t> bytes = Prepare(input, settings);
    {
        // Before any layout check: these decoders must hold up on their own.
        const AddressData address(bytes, settings);
        Random random(~Hash(input));
        DecodeChipSetSources(bytes, address, random);
    }
    if (!rom.LoadFromBytes(bytes, "fuzz.nes").Ok)
        return 0;

    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const StageData& stage = rom.Stage(s);
        Require(stage.ObjectTotal() <= LevelFormat::MaxObjectsPerStage);
        for (const std::uint8_t colour : stage.StagePalette)
            Require(colour <= LevelFormat::HighestColorNumber);
    }

    // Without edits the save writes back exactly what was read.
    std::vector<std::uint8_t> saved;
    Require(rom.ComposeSavedImage(saved).Ok);
    Require(saved.size() == rom.Buffer().size() &&
            std::memcmp(saved.data(), rom.Buffer().data(), saved.size()) == 0);

    Random random(Hash(input));
    Edit(rom, flags, random);
    const auto outcome = rom.ComposeSavedImage(saved);
    Require(saved.size() == ImageSize);
    Require(outcome.Ok || !outcome.Message.empty());

    // Decoding again after a close reads a cleared buffer through the same tables.
    rom.CloseImage();
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        rom.Stage(s).DecodeStage();
    return 0;
}
