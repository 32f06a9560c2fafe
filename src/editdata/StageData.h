#pragma once

#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "base/TextMark.h"
#include "editdata/PaletteEncoder.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <string>
#include <vector>

class AddressData;

// One placed object. X and Y are pixel positions within the room; Type is the object type.
// Nodes live in their room's list; their addresses stay valid until they are removed.
struct ObjectNode {
    int X = 0;
    int Y = 0;
    int Type = 0;
    // Names the object for as long as the image is open, across edits, undo and redo.
    std::uint32_t Id = 0;
};

// An object as a page's list holds it, by value: what an edit history keeps of a page.
struct ObjectRecord {
    std::uint32_t Id = 0;
    std::uint8_t X = 0, Y = 0, Type = 0;
    bool operator==(const ObjectRecord&) const = default;
};

// The decoded, editable level data of one stage. The editors change the arrays directly; the
// save writes the flagged ones back into the bytes they were decoded from.
//
// Every decoder stays inside the cartridge buffer whatever its bytes say (a block that would
// run outside is left as it is); RomImageData refuses images whose blocks do not fit before any
// stage decodes, so in practice every block is there.
class StageData {
public:
    static constexpr int ObjectColumnRows = 128;
    static constexpr int ObjectColumnCount = 4; // page, X, Y, Type
    static constexpr std::uint8_t ObjectTerminator = 0xFF;

    using Chip16x16Array =
        std::array<std::uint8_t, 4 * LevelFormat::ChipCount>; // index quarter * 256 + chip
    using PropertyArray = std::array<std::uint8_t, LevelFormat::ChipCount>;

    StageData(int stage, const AddressData& address, std::span<std::uint8_t> cartridge);
    StageData(const StageData&) = delete;
    StageData& operator=(const StageData&) = delete;

    int StageNumber() const { return Stage; }

    void DecodeStage();
    void DecodeChip16x16Tables();
    void DecodeChipPropertyTables();
    void DecodeChip32x32Table();
    void DecodeMapSetTable();
    void DecodePalettes();
    void ClearAnimePalette();
    void DecodeObjects();

    // Each writes its arrays back into the bytes its decoder read: into the holder's buffer, or
    // into target, a buffer of the same size (the save composes a copy first).
    void EncodeChip16x16Tables() const { EncodeChip16x16Tables(Cartridge); }
    void EncodeChipPropertyTables() const { EncodeChipPropertyTables(Cartridge); }
    void EncodeChip32x32Table() const { EncodeChip32x32Table(Cartridge); }
    void EncodeMapSetTable() const { EncodeMapSetTable(Cartridge); }
    void EncodeChip16x16Tables(std::span<std::uint8_t> target) const;
    void EncodeChipPropertyTables(std::span<std::uint8_t> target) const;
    void EncodeChip32x32Table(std::span<std::uint8_t> target) const;
    void EncodeMapSetTable(std::span<std::uint8_t> target) const;
    // Re-encodes both palette sets into the compressed blocks they were decoded from, where the
    // edited colours fit; per set: written, unchanged (bytes untouched) or refused with a reason
    // (nothing of that set written). Never writes outside a set's block. Sets shared with other
    // stages are written with this stage's colours.
    std::array<PaletteSetWrite, 2> EncodePalettes() const { return EncodePalettes(Cartridge); }
    std::array<PaletteSetWrite, 2> EncodePalettes(std::span<std::uint8_t> target) const;

    // The chip set in effect: the normal set, or the after-destruction set.
    Chip16x16Array& Chip16x16Table() {
        return Chip16x16SetIndex == 0 ? NormalChip16x16Table : *DestroyedChip16x16Table;
    }
    const Chip16x16Array& Chip16x16Table() const {
        return Chip16x16SetIndex == 0 ? NormalChip16x16Table : *DestroyedChip16x16Table;
    }
    PropertyArray& ChipPropertyTable() {
        return Chip16x16SetIndex == 0 ? NormalChipPropertyTable : *DestroyedChipPropertyTable;
    }
    const PropertyArray& ChipPropertyTable() const {
        return Chip16x16SetIndex == 0 ? NormalChipPropertyTable : *DestroyedChipPropertyTable;
    }
    int Chip16x16SetIndexValue() const { return Chip16x16SetIndex; }
    void ToggleChip16x16Set() { Chip16x16SetIndex = 1 - Chip16x16SetIndex; }

    // Stages of one chip bank share the after-destruction arrays of the lowest such stage.
    static void LinkSharedChipSets(std::span<const std::unique_ptr<StageData>> stages);

    Chip16x16Array NormalChip16x16Table{};
    PropertyArray NormalChipPropertyTable{};
    std::shared_ptr<Chip16x16Array> DestroyedChip16x16Table;
    std::shared_ptr<PropertyArray> DestroyedChipPropertyTable;
    std::array<std::uint8_t, 1024> Chip32x32Table{}; // index chip * 4 + quarter
    std::array<std::uint8_t, 2048> MapSetTable{};    // index page * 64 + row * 8 + column
    std::array<std::uint8_t, 2 * LevelFormat::StageColorCount> StagePalette{}; // set * 16 + entry
    std::array<std::uint8_t, 16> AnimePalette{}; // row * 4 + sub-palette

    // Objects, room by room, in list order. Pages outside 0..31 are ignored (nothing is added,
    // counts are 0).
    ObjectNode* AddObject(int page, int x, int y, int type);
    void RemoveObject(const ObjectNode* node, int page);
    int ObjectTotal() const;
    int ObjectCountOfPage(int page) const;
    int ObjectIndexOf(const ObjectNode* node, int page) const;
    ObjectNode* LastObjectOfPage(int page);
    void SortPageByX(int page);
    // The same order for a page's records: by X, objects of equal X keeping their order.
    static void SortRecordsByX(std::vector<ObjectRecord>& records);
    const std::list<ObjectNode>& ObjectsOfPage(int page) const {
        return Pages.at(static_cast<std::size_t>(page));
    }
    std::list<ObjectNode>& ObjectsOfPage(int page) {
        return Pages.at(static_cast<std::size_t>(page));
    }
    // A page's list by value, and the list put back from such records (ids kept); both do
    // nothing outside 0..31. Restoring keeps the node of every object whose id stays on the
    // page, so references to it stay valid; only the nodes of objects that leave are freed, and
    // only after the new ones are made.
    std::vector<ObjectRecord> PageRecords(int page) const;
    void RestorePage(int page, std::span<const ObjectRecord> records);
    // An id no object of this stage holds, nor any restored one has held.
    std::uint32_t NextFreeObjectId() const { return NextObjectId; }
    // Null when the page holds no object of that id.
    ObjectNode* FindObject(int page, std::uint32_t id);
    const ObjectNode* FindObject(int page, std::uint32_t id) const {
        return const_cast<StageData*>(this)->FindObject(page, id);
    }

    // Object rows (page, X, Y, Type) in page and list order, then the terminator row; the
    // columns of the cartridge format are these rows read down.
    struct ObjectRow {
        std::uint8_t Page, X, Y, Type;
        bool operator==(const ObjectRow&) const = default;
    };
    std::vector<ObjectRow> FlattenObjects() const;

    // Re-packs the object blocks of all stages one after another from where stage 0's block
    // starts, and rewrites the pointer and count tables. Writes nothing and returns the message
    // for the user when a stage holds more than MaxObjectsPerStage objects or the blocks would
    // leave the buffer or the 8 KiB bank of stage 0's block.
    static Outcome PackObjects(std::span<const std::unique_ptr<StageData>> stages,
                               const AddressData& address, std::span<std::uint8_t> target);
    static constexpr const char* TooManyObjectsMessage =
        K6_TEXT("DataMessages", "オブジェクトの数が多すぎるため、保存できませんでした");
    static constexpr const char* ObjectsDoNotFitMessage =
        K6_TEXT("DataMessages", "オブジェクトデータがバンクに収まらないため、保存できませんでした");

private:
    int Stage;
    const AddressData& Address;
    std::span<std::uint8_t> Cartridge;
    int Chip16x16SetIndex = 0;
    std::array<std::list<ObjectNode>, LevelFormat::PageCount> Pages;
    std::uint32_t NextObjectId = 1;
};
