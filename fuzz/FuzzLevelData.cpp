// Fuzz entry point: arbitrary bytes through open, decode, a few edits, write-back, packing and
// palette re-encoding.
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
#include "editdata/PaletteBlock.h"
#include "editdata/PaletteLayout.h"
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

// Edits some colours of a stage's palette: arbitrary colours, blacks, colours copied from
// another entry, now and then a value above 3F, and sometimes set 1 made equal to set 0 (as the
// editor keeps the sets of one block).
void EditPalette(StageData& stage, Random& random) {
    auto& palette = stage.StagePalette;
    for (int n = random.Below(4); n > 0; --n) {
        const auto entry = static_cast<std::size_t>(random.Below(32));
        switch (random.Below(8)) {
        case 0:
            palette[entry] = 0x0F;
            break;
        case 1:
            palette[entry] = palette[static_cast<std::size_t>(random.Below(32))];
            break;
        case 2:
            palette[entry] = static_cast<std::uint8_t>(random.Next());
            break;
        default:
            palette[entry] = static_cast<std::uint8_t>(random.Next() & 0x3F);
            break;
        }
    }
    if (random.Below(4) == 0)
        std::copy(palette.begin(), palette.begin() + 16, palette.begin() + 16);
}

// Palette write-back of arbitrary stages into a copy of the image: no byte changes outside the
// blocks of the sets reported written, a written block keeps its place, length and start entry
// and decodes to the edited set, and an unchanged set is what its block decodes to.
void EncodePalettes(RomImageData& rom, Random& random) {
    const AddressData& address = *rom.Address();
    std::vector<std::uint8_t> target(rom.Buffer().begin(), rom.Buffer().end());
    for (int step = 0, steps = 1 + random.Below(4); step < steps; ++step) {
        StageData& stage = rom.Stage(random.Below(LevelFormat::StageCount));
        const int s = stage.StageNumber();
        const PaletteLayout layout(target, address);
        EditPalette(stage, random);

        const std::vector<std::uint8_t> before = target;
        const auto results = stage.EncodePalettes(target);
        std::vector<bool> mayChange(target.size(), false);
        for (int set = 0; set < PaletteLayout::SetCount; ++set) {
            const PaletteBlock& block = layout.BlockOf(s, set);
            const auto edited = std::span(stage.StagePalette).subspan(set * 16, 16);
            const auto& result = results[static_cast<std::size_t>(set)];
            if (result.Outcome == PaletteSetOutcome::Unchanged)
                Require(std::ranges::equal(block.Decoded(), edited));
            if (result.Outcome != PaletteSetOutcome::Written)
                continue;
            Require(!block.Empty() && !layout.Conflicts(s, set));
            const PaletteBlock written = PaletteBlock::Read(target, block.Offset);
            Require(written.Length == block.Length && written.StartEntry == block.StartEntry &&
                    written.Terminated);
            Require(std::ranges::equal(written.Decoded(), edited));
            for (int i = 0; i < block.Length; ++i)
                mayChange[static_cast<std::size_t>(block.Offset + i)] = true;
        }
        for (std::size_t i = 0; i < target.size(); ++i)
            Require(mayChange[i] || target[i] == before[i]);
    }
}

// The block walk sees what the stage decoder sees.
void CheckPaletteBlocks(RomImageData& rom) {
    const PaletteLayout layout(rom.Buffer(), *rom.Address());
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        StageData& stage = rom.Stage(s);
        const auto kept = stage.StagePalette;
        stage.StagePalette.fill(0);
        stage.DecodePalettes();
        for (int set = 0; set < PaletteLayout::SetCount; ++set)
            Require(std::ranges::equal(layout.BlockOf(s, set).Decoded(),
                                       std::span(stage.StagePalette).subspan(set * 16, 16)));
        stage.StagePalette = kept;
    }
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

    CheckPaletteBlocks(rom);
    EncodePalettes(rom, random);

    // Decoding again after a close reads a cleared buffer through the same tables.
    rom.CloseImage();
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        rom.Stage(s).DecodeStage();
    return 0;
}
