#include "fileio/RomImageData.h"

#include "address/AddressData.h"
#include "address/LevelDataLayout.h"
#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/LeftoverTemporaryFiles.h"
#include "base/PlainFile.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/PaletteBlock.h"
#include "editdata/PaletteLayout.h"
#include "editdata/StageData.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::array<std::uint8_t, 4> HeaderMagic = {0x4E, 0x45, 0x53, 0x1A};

} // namespace

RomImageData::RomImageData(const EditFlagManagement& flags, IniFile& settings)
    : Flags(flags), Settings(settings), Image(LevelFormat::CartridgeSize),
      Captions(ChipTypeCaptions::Defaults()) {}

RomImageData::~RomImageData() = default;

bool RomImageData::HasValidHeader(std::span<const std::uint8_t> image) {
    return image.size() >= HeaderMagic.size() &&
           std::equal(HeaderMagic.begin(), HeaderMagic.end(), image.begin());
}

bool RomImageData::HasValidHeader() const {
    return HasValidHeader(Buffer());
}

void RomImageData::SetCurrentStage(int stage) {
    Current = std::clamp(stage, 0, LevelFormat::StageCount - 1);
}

Outcome RomImageData::LoadFromFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const Outcome read = PlainFile::Read(path, LevelFormat::CartridgeSize, BadSizeMessage, bytes);
    if (!read.Ok)
        return read;
    // What a save killed half-way left beside the image goes when the image is opened again.
    LeftoverTemporaryFiles::RemoveFor(path);
    return LoadFromBytes(bytes, path);
}

Outcome RomImageData::CheckImage(std::span<const std::uint8_t> bytes, IniFile& settings) {
    std::vector<std::uint8_t> candidate;
    std::unique_ptr<AddressData> address;
    return Examine(bytes, settings, candidate, address);
}

Outcome RomImageData::Examine(std::span<const std::uint8_t> bytes, IniFile& settings,
                              std::vector<std::uint8_t>& candidate,
                              std::unique_ptr<AddressData>& address) {
    if (bytes.size() < LevelFormat::HeaderSize || bytes.size() > LevelFormat::CartridgeSize)
        return Outcome::Failure(BadSizeMessage);
    candidate.assign(LevelFormat::CartridgeSize, 0);
    std::copy(bytes.begin(), bytes.end(), candidate.begin());
    if (!HasValidHeader(candidate))
        return Outcome::Failure(BadHeaderMessage);
    // The keys are read and written back normalised even when the layout is then refused.
    address = std::make_unique<AddressData>(candidate, settings);
    if (LevelDataLayout::FindMisplacedBlock(candidate, *address))
        return Outcome::Failure(LevelDataLayout::BadLayoutMessage);
    return Outcome::Success();
}

Outcome RomImageData::LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& path) {
    std::vector<std::uint8_t> candidate;
    std::unique_ptr<AddressData> address;
    const Outcome checked = Examine(bytes, Settings, candidate, address);
    if (!checked.Ok)
        return checked;
    Adopt(candidate, std::move(address), path);
    return Outcome::Success();
}

void RomImageData::Adopt(const std::vector<std::uint8_t>& candidate,
                         std::unique_ptr<AddressData> address, const std::string& path) {
    std::copy(candidate.begin(), candidate.end(), Image.begin());
    OpenFileName = path;
    std::array<std::unique_ptr<StageData>, LevelFormat::StageCount> stages;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        auto& stage = stages[static_cast<std::size_t>(s)];
        stage = std::make_unique<StageData>(s, *address, Buffer());
        stage->DecodeStage();
    }
    StageData::LinkSharedChipSets(stages);
    // The old stages refer to the old address tables: free them first.
    Stages = std::move(stages);
    AddressTables = std::move(address);
    ++Opens;
}

Outcome RomImageData::ComposeSavedImage(std::vector<std::uint8_t>& image,
                                        std::vector<PaletteSetNotWritten>* notWritten) const {
    image.assign(Image.begin(), Image.end());
    if (!HasStages())
        return Outcome::Success();
    bool objectsChanged = false;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const StageData& stage = *Stages[static_cast<std::size_t>(s)];
        if (Flags.IsChip16x16Modified(s)) {
            // A shared after-destruction set goes out once per flagged stage of its bank:
            // always the same bytes.
            stage.EncodeChip16x16Tables(image);
            stage.EncodeChipPropertyTables(image);
        }
        if (Flags.IsChip32x32Modified(s))
            stage.EncodeChip32x32Table(image);
        if (Flags.IsMapSetModified(s))
            stage.EncodeMapSetTable(image);
        if (WritePalettes && Flags.IsPaletteModified(s))
            ComposeStagePalettes(s, image, notWritten);
        objectsChanged = objectsChanged || Flags.IsObjectModified(s);
    }
    if (objectsChanged) {
        return StageData::PackObjects(Stages, *AddressTables, image);
    }
    return Outcome::Success();
}

// A block read by several stages is written only when all of them hold the same colours for it:
// which stage's colours would be the right ones is the user's call, not the save's.
void RomImageData::ComposeStagePalettes(int stage, std::span<std::uint8_t> image,
                                        std::vector<PaletteSetNotWritten>* notWritten) const {
    const PaletteLayout layout(Buffer(), *AddressTables);
    auto palette = Stages[static_cast<std::size_t>(stage)]->StagePalette;
    const auto setColors = [](const StageData& data, int set) {
        return std::span<const std::uint8_t>(data.StagePalette)
            .subspan(static_cast<std::size_t>(set) * PaletteBlock::SetSize, PaletteBlock::SetSize);
    };
    std::array<bool, PaletteLayout::SetCount> disagree{};
    for (int set = 0; set < PaletteLayout::SetCount; ++set) {
        const auto mine = setColors(*Stages[static_cast<std::size_t>(stage)], set);
        for (const PaletteLayout::SetRef& sharer : layout.SharersOf(stage, set)) {
            const auto theirs =
                setColors(*Stages[static_cast<std::size_t>(sharer.Stage)], sharer.Set);
            if (!std::equal(mine.begin(), mine.end(), theirs.begin(), theirs.end()))
                disagree[static_cast<std::size_t>(set)] = true;
        }
        // The set goes out as the file has it: nothing of it is written.
        if (disagree[static_cast<std::size_t>(set)]) {
            const auto original =
                PaletteBlock::Of(Buffer(), *AddressTables, set, AddressTables->PaletteNumber(stage))
                    .Decoded();
            std::copy(original.begin(), original.end(),
                      palette.begin() + static_cast<std::ptrdiff_t>(set) * PaletteBlock::SetSize);
        }
    }
    const auto results = PaletteEncoder::EncodeStage(*AddressTables, stage, palette, image);
    for (int set = 0; set < PaletteLayout::SetCount; ++set) {
        const PaletteSetWrite& result = results[static_cast<std::size_t>(set)];
        if (notWritten == nullptr)
            continue;
        if (disagree[static_cast<std::size_t>(set)])
            notWritten->push_back({stage, set, PaletteRefusal::SharersDisagree});
        else if (result.Outcome == PaletteSetOutcome::Refused)
            notWritten->push_back({stage, set, result.Reason});
    }
}

Outcome RomImageData::SaveToFile(const std::string& path) {
    std::vector<std::uint8_t> composed;
    std::vector<PaletteSetNotWritten> notWritten;
    const Outcome prepared = ComposeSavedImage(composed, &notWritten);
    if (!prepared.Ok)
        return prepared;
    std::copy(composed.begin(), composed.end(), Image.begin());
    const Outcome written = AtomicFileWriter::Write(path, Image.data(), Image.size(), Journals);
    if (!written.Ok)
        return written;
    LastNotWritten = std::move(notWritten);
    OpenFileName = path;
    return Outcome::Success();
}

void RomImageData::CloseImage() {
    std::fill(Image.begin(), Image.end(), std::uint8_t{0});
    Current = 0;
}
