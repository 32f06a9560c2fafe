#pragma once

#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "base/TextMark.h"
#include "base/ZeroedBytes.h"
#include "editdata/PaletteEncoder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class AddressData;
class EditFlagManagement;
class IniFile;
class StageData;

// A palette set the last save could not write into the image.
struct PaletteSetNotWritten {
    int Stage = 0;
    int Set = 0;
    PaletteRefusal Reason = PaletteRefusal::None;
};

// The cartridge image holder: the one in-memory copy of the image, the level data decoded from
// it, and the stage being edited.
class RomImageData {
public:
    static constexpr const char* BadSizeMessage =
        K6_TEXT("DataMessages", "ファイルを開けませんでした");
    static constexpr const char* BadHeaderMessage =
        K6_TEXT("DataMessages", "ROMイメージが異常です");

    // flags tell a save which categories of which stages to write; the holder never changes
    // them.
    RomImageData(const EditFlagManagement& flags, IniFile& settings);
    ~RomImageData();
    RomImageData(const RomImageData&) = delete;
    RomImageData& operator=(const RomImageData&) = delete;

    // Reads the image, tests size, header and level-data layout (the "LevelDataAddress" keys
    // are written into the settings once the header has passed), then decodes the sixteen
    // stages. A refused file never disturbs the image already held.
    Outcome LoadFromFile(const std::string& path);
    // The same for bytes already in memory; path becomes FileName.
    Outcome LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& path);
    // Writes the flagged edits into the buffer, then the whole buffer to path. A failed save
    // leaves the file on disk as it was and FileName untouched; a save refused because the
    // objects do not fit leaves the buffer untouched too. What a successful save could not
    // write is in PaletteSetsNotWritten; the flags are the edit history's to change.
    Outcome SaveToFile(const std::string& path);
    // The image a save would write: the buffer with the flagged categories of every stage
    // written back and, when any stage's objects are flagged, all object blocks re-packed.
    // The buffer itself is not changed. Palette sets that could not be written are added to
    // notWritten when given.
    Outcome ComposeSavedImage(std::vector<std::uint8_t>& image,
                              std::vector<PaletteSetNotWritten>* notWritten = nullptr) const;
    // Whether a save writes edited stage palettes into the image (off: they stay in memory).
    bool PaletteWriteBack() const { return WritePalettes; }
    void SetPaletteWriteBack(bool on) { WritePalettes = on; }
    // The sets the last successful save left unwritten, by stage then set.
    const std::vector<PaletteSetNotWritten>& PaletteSetsNotWritten() const {
        return LastNotWritten;
    }
    void CloseImage();
    // Where a save that has to rewrite the file in place keeps its journal (SaveJournal); empty
    // (the default) keeps none.
    void SetJournalFolder(std::string folder) { Journals = std::move(folder); }
    const std::string& JournalFolder() const { return Journals; }

    bool HasValidHeader() const;
    static bool HasValidHeader(std::span<const std::uint8_t> image);
    // Whether Open would take these bytes: size, header and level-data layout, with the offsets
    // of settings (written back normalised, as Open does). A refusal carries Open's message.
    static Outcome CheckImage(std::span<const std::uint8_t> bytes, IniFile& settings);

    int CurrentStage() const { return Current; }
    void SetCurrentStage(int stage);
    const std::string& FileName() const { return OpenFileName; }
    // Counts the successful opens. Editors that keep choices per stage compare it with the
    // count of their last load: a new image, even at the same stage number, starts afresh.
    int OpenCount() const { return Opens; }

    // The buffer's address never changes for the holder's whole life.
    std::span<std::uint8_t> Buffer() { return {Image.data(), Image.size()}; }
    std::span<const std::uint8_t> Buffer() const { return {Image.data(), Image.size()}; }

    // None before the first successful open; after a close, those of the closed image.
    const AddressData* Address() const { return AddressTables.get(); }
    bool HasStages() const { return Stages[0] != nullptr; }
    StageData& Stage(int stage) { return *Stages.at(static_cast<std::size_t>(stage)); }
    const StageData& Stage(int stage) const { return *Stages.at(static_cast<std::size_t>(stage)); }
    StageData& CurrentStageData() { return *Stages.at(static_cast<std::size_t>(Current)); }
    const StageData& CurrentStageData() const {
        return *Stages.at(static_cast<std::size_t>(Current));
    }
    std::span<const std::unique_ptr<StageData>> AllStages() const { return Stages; }
    std::array<std::string, LevelFormat::AttributeTypeCount>& PropertyCaptions() {
        return Captions;
    }
    const std::array<std::string, LevelFormat::AttributeTypeCount>& PropertyCaptions() const {
        return Captions;
    }

private:
    // Open's test of bytes; on success candidate holds them padded to the cartridge size and
    // address the tables computed from them.
    static Outcome Examine(std::span<const std::uint8_t> bytes, IniFile& settings,
                           std::vector<std::uint8_t>& candidate,
                           std::unique_ptr<AddressData>& address);
    void Adopt(const std::vector<std::uint8_t>& candidate, std::unique_ptr<AddressData> address,
               const std::string& path);
    void ComposeStagePalettes(int stage, std::span<std::uint8_t> image,
                              std::vector<PaletteSetNotWritten>* notWritten) const;

    const EditFlagManagement& Flags;
    IniFile& Settings;
    ZeroedBytes Image;
    int Current = 0;
    int Opens = 0;
    std::string OpenFileName;
    std::unique_ptr<AddressData> AddressTables;
    std::array<std::unique_ptr<StageData>, LevelFormat::StageCount> Stages;
    std::array<std::string, LevelFormat::AttributeTypeCount> Captions;
    bool WritePalettes = false;
    std::vector<PaletteSetNotWritten> LastNotWritten;
    std::string Journals;
};
