#include "editdata/StageData.h"

#include "address/AddressData.h"

#include <algorithm>

namespace {

bool Inside(std::size_t bufferSize, std::int64_t offset, std::int64_t length) {
    const auto size = static_cast<std::int64_t>(bufferSize);
    return offset >= 0 && length >= 0 && offset <= size && length <= size - offset;
}

// Straight copies between a block of the cartridge and an array; a block that does not lie
// wholly inside the buffer is skipped.
template <std::size_t N>
void CopyIn(std::array<std::uint8_t, N>& array, std::span<const std::uint8_t> cartridge,
            std::int64_t offset) {
    if (!Inside(cartridge.size(), offset, N))
        return;
    const auto first = cartridge.begin() + static_cast<std::ptrdiff_t>(offset);
    std::copy(first, first + static_cast<std::ptrdiff_t>(N), array.begin());
}

template <std::size_t N>
void CopyOut(const std::array<std::uint8_t, N>& array, std::span<std::uint8_t> cartridge,
             std::int64_t offset) {
    if (!Inside(cartridge.size(), offset, N))
        return;
    std::copy(array.begin(), array.end(), cartridge.begin() + static_cast<std::ptrdiff_t>(offset));
}

constexpr int MapRows = LevelFormat::MapCellsPerRow;
constexpr int MapColumns = LevelFormat::MapCellsPerRow;
constexpr int CellsPerPage = LevelFormat::MapCellsPerPage;
constexpr int PaletteSetSize = LevelFormat::StageColorCount;
using LevelFormat::PaletteBlack;
using LevelFormat::PaletteInsertBlack;
using LevelFormat::PaletteLastByte;

} // namespace

StageData::StageData(int stage, const AddressData& address, std::span<std::uint8_t> cartridge)
    : DestroyedChip16x16Table(std::make_shared<Chip16x16Array>()),
      DestroyedChipPropertyTable(std::make_shared<PropertyArray>()), Stage(stage), Address(address),
      Cartridge(cartridge) {}

void StageData::DecodeStage() {
    DecodeChip16x16Tables();
    DecodeChip32x32Table();
    DecodeChipPropertyTables();
    DecodeMapSetTable();
    DecodePalettes();
    ClearAnimePalette();
    DecodeObjects();
}

void StageData::DecodeChip16x16Tables() {
    CopyIn(NormalChip16x16Table, Cartridge, Address.Chip16x16TableAddress(Stage));
    CopyIn(*DestroyedChip16x16Table, Cartridge, Address.DestroyedChip16x16TableAddress(Stage));
}

void StageData::DecodeChipPropertyTables() {
    CopyIn(NormalChipPropertyTable, Cartridge, Address.ChipPropertyTableAddress(Stage));
    CopyIn(*DestroyedChipPropertyTable, Cartridge,
           Address.DestroyedChipPropertyTableAddress(Stage));
}

void StageData::DecodeChip32x32Table() {
    CopyIn(Chip32x32Table, Cartridge, Address.Chip32x32TableAddress(Stage));
}

// The cartridge stores the map set by row strips: all pages' row 0, then row 1, and so on, so
// file byte row * 256 + page * 8 + column holds page * 64 + row * 8 + column.
void StageData::DecodeMapSetTable() {
    const std::int64_t start = Address.MapSetTableAddress(Stage);
    if (!Inside(Cartridge.size(), start, static_cast<std::int64_t>(MapSetTable.size())))
        return;
    auto source = Cartridge.begin() + static_cast<std::ptrdiff_t>(start);
    for (int row = 0; row < MapRows; ++row)
        for (int page = 0; page < LevelFormat::PageCount; ++page) {
            const auto entry = static_cast<std::ptrdiff_t>(page * CellsPerPage + row * MapColumns);
            std::copy(source, source + MapColumns, MapSetTable.begin() + entry);
            source += MapColumns;
        }
}

void StageData::EncodeMapSetTable(std::span<std::uint8_t> target) const {
    const std::int64_t start = Address.MapSetTableAddress(Stage);
    if (!Inside(target.size(), start, static_cast<std::int64_t>(MapSetTable.size())))
        return;
    auto destination = target.begin() + static_cast<std::ptrdiff_t>(start);
    for (int row = 0; row < MapRows; ++row)
        for (int page = 0; page < LevelFormat::PageCount; ++page) {
            const auto entry = static_cast<std::ptrdiff_t>(page * CellsPerPage + row * MapColumns);
            std::copy(MapSetTable.begin() + entry, MapSetTable.begin() + entry + MapColumns,
                      destination);
            destination += MapColumns;
        }
}

// Compressed palette data: the first byte is the entry to start at; then each byte is a colour
// number in bits 5-0, with bit 6 meaning "store 0F first" and bit 7 "last byte". Entries the
// data does not reach keep their value.
void StageData::DecodePalettes() {
    const int number = Address.PaletteNumber(Stage);
    const auto size = static_cast<std::int64_t>(Cartridge.size());
    for (int set = 0; set < 2; ++set) {
        const auto start = Address.PaletteDataOffset(Cartridge, set, number);
        if (!start || *start < 0 || *start >= size)
            continue;
        std::uint8_t* entries = StagePalette.data() + set * PaletteSetSize;
        std::int64_t at = *start;
        int entry = Cartridge[static_cast<std::size_t>(at++)];
        // Past entry 15 nothing more would be stored, so the walk can stop there.
        while (entry < PaletteSetSize && at < size) {
            const std::uint8_t value = Cartridge[static_cast<std::size_t>(at++)];
            if (value & PaletteInsertBlack)
                entries[entry++] = PaletteBlack;
            if (entry < PaletteSetSize)
                entries[entry] = value & LevelFormat::ColorNumberMask;
            ++entry;
            if (value & PaletteLastByte)
                break;
        }
    }
}

void StageData::ClearAnimePalette() {
    AnimePalette.fill(0);
}

// Object block: N entries in four columns (page, X, Y, Type), each column followed by a 0xFF
// terminator, so column c starts at Data + c * (N + 1). Entries come in page order.
void StageData::DecodeObjects() {
    for (auto& page : Pages)
        page.clear();
    const auto block = Address.ObjectBlockOf(Cartridge, Stage);
    if (!block)
        return;
    const std::int64_t stride = block->Count + 1;
    const int taken = std::min(block->Count, LevelFormat::MaxObjectsPerStage);
    if (taken == 0 ||
        !Inside(Cartridge.size(), block->Data, (ObjectColumnCount - 1) * stride + taken))
        return;
    const auto column = [&](int c, int i) {
        return Cartridge[static_cast<std::size_t>(block->Data + c * stride + i)];
    };
    int i = 0;
    for (int page = 0; page < LevelFormat::PageCount; ++page)
        for (; i < taken && column(0, i) == page; ++i)
            AddObject(page, column(1, i), column(2, i), column(3, i));
}

void StageData::EncodeChip16x16Tables(std::span<std::uint8_t> target) const {
    CopyOut(NormalChip16x16Table, target, Address.Chip16x16TableAddress(Stage));
    CopyOut(*DestroyedChip16x16Table, target, Address.DestroyedChip16x16TableAddress(Stage));
}

void StageData::EncodeChipPropertyTables(std::span<std::uint8_t> target) const {
    CopyOut(NormalChipPropertyTable, target, Address.ChipPropertyTableAddress(Stage));
    CopyOut(*DestroyedChipPropertyTable, target, Address.DestroyedChipPropertyTableAddress(Stage));
}

void StageData::EncodeChip32x32Table(std::span<std::uint8_t> target) const {
    CopyOut(Chip32x32Table, target, Address.Chip32x32TableAddress(Stage));
}

std::array<PaletteSetWrite, 2> StageData::EncodePalettes(std::span<std::uint8_t> target) const {
    return PaletteEncoder::EncodeStage(Address, Stage, StagePalette, target);
}

void StageData::LinkSharedChipSets(std::span<const std::unique_ptr<StageData>> stages) {
    for (std::size_t i = 1; i < stages.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            StageData& later = *stages[i];
            const StageData& earlier = *stages[j];
            if (earlier.Address.DestroyedChip16x16TableAddress(earlier.Stage) ==
                later.Address.DestroyedChip16x16TableAddress(later.Stage)) {
                later.DestroyedChip16x16Table = earlier.DestroyedChip16x16Table;
                later.DestroyedChipPropertyTable = earlier.DestroyedChipPropertyTable;
            }
        }
}

ObjectNode* StageData::AddObject(int page, int x, int y, int type) {
    if (page < 0 || page >= LevelFormat::PageCount)
        return nullptr;
    return &ObjectsOfPage(page).emplace_back(ObjectNode{x, y, type, NextObjectId++});
}

std::vector<ObjectRecord> StageData::PageRecords(int page) const {
    std::vector<ObjectRecord> records;
    if (page < 0 || page >= LevelFormat::PageCount)
        return records;
    for (const ObjectNode& node : ObjectsOfPage(page))
        records.push_back({node.Id, static_cast<std::uint8_t>(node.X),
                           static_cast<std::uint8_t>(node.Y),
                           static_cast<std::uint8_t>(node.Type)});
    return records;
}

void StageData::RestorePage(int page, std::span<const ObjectRecord> records) {
    if (page < 0 || page >= LevelFormat::PageCount)
        return;
    auto& list = ObjectsOfPage(page);
    std::list<ObjectNode> restored;
    for (const ObjectRecord& record : records) {
        const auto kept = std::find_if(list.begin(), list.end(), [&record](const ObjectNode& node) {
            return node.Id == record.Id;
        });
        if (kept != list.end())
            restored.splice(restored.end(), list, kept);
        else
            restored.push_back(ObjectNode{});
        restored.back() = ObjectNode{record.X, record.Y, record.Type, record.Id};
        NextObjectId = std::max(NextObjectId, record.Id + 1);
    }
    list.swap(restored);
}

void StageData::SortRecordsByX(std::vector<ObjectRecord>& records) {
    std::stable_sort(records.begin(), records.end(),
                     [](const ObjectRecord& a, const ObjectRecord& b) { return a.X < b.X; });
}

ObjectNode* StageData::FindObject(int page, std::uint32_t id) {
    if (page < 0 || page >= LevelFormat::PageCount)
        return nullptr;
    for (ObjectNode& node : ObjectsOfPage(page))
        if (node.Id == id)
            return &node;
    return nullptr;
}

void StageData::RemoveObject(const ObjectNode* node, int page) {
    if (page < 0 || page >= LevelFormat::PageCount)
        return;
    auto& list = ObjectsOfPage(page);
    const auto found =
        std::find_if(list.begin(), list.end(), [&](const ObjectNode& n) { return &n == node; });
    if (found != list.end())
        list.erase(found);
}

int StageData::ObjectTotal() const {
    int total = 0;
    for (const auto& page : Pages)
        total += static_cast<int>(page.size());
    return total;
}

int StageData::ObjectCountOfPage(int page) const {
    if (page < 0 || page >= LevelFormat::PageCount)
        return 0;
    return static_cast<int>(ObjectsOfPage(page).size());
}

int StageData::ObjectIndexOf(const ObjectNode* node, int page) const {
    if (page < 0 || page >= LevelFormat::PageCount)
        return -1;
    int position = 0;
    for (const ObjectNode& candidate : ObjectsOfPage(page)) {
        if (&candidate == node) {
            int before = 0;
            for (int p = 0; p < page; ++p)
                before += ObjectCountOfPage(p);
            return before + position;
        }
        ++position;
    }
    return -1;
}

ObjectNode* StageData::LastObjectOfPage(int page) {
    if (page < 0 || page >= LevelFormat::PageCount || ObjectsOfPage(page).empty())
        return nullptr;
    return &ObjectsOfPage(page).back();
}

// Bubble passes that move nodes (never copy values), so pointers to nodes stay with their
// objects; neighbours swap only when the left X is strictly greater, which keeps equal X in
// their order.
void StageData::SortPageByX(int page) {
    if (page < 0 || page >= LevelFormat::PageCount)
        return;
    auto& list = ObjectsOfPage(page);
    const std::size_t count = list.size();
    for (std::size_t pass = 0; pass + 1 < count; ++pass) {
        bool swapped = false;
        auto left = list.begin();
        auto right = std::next(left);
        while (right != list.end()) {
            if (left->X > right->X) {
                list.splice(left, list, right); // right now stands before left
                right = std::next(left);
                swapped = true;
            } else {
                left = right;
                ++right;
            }
        }
        if (!swapped)
            break;
    }
}

std::vector<StageData::ObjectRow> StageData::FlattenObjects() const {
    std::vector<ObjectRow> rows;
    rows.reserve(static_cast<std::size_t>(ObjectTotal()) + 1);
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xFF); };
    for (int page = 0; page < LevelFormat::PageCount; ++page)
        for (const ObjectNode& node : ObjectsOfPage(page))
            rows.push_back({byte(page), byte(node.X), byte(node.Y), byte(node.Type)});
    rows.push_back({ObjectTerminator, ObjectTerminator, ObjectTerminator, ObjectTerminator});
    return rows;
}

Outcome StageData::PackObjects(std::span<const std::unique_ptr<StageData>> stages,
                               const AddressData& address, std::span<std::uint8_t> target) {
    std::vector<std::vector<ObjectRow>> blocks;
    std::int64_t totalBytes = 0;
    for (const auto& stage : stages) {
        if (stage->ObjectTotal() > LevelFormat::MaxObjectsPerStage)
            return Outcome::Failure(TooManyObjectsMessage);
        blocks.push_back(stage->FlattenObjects());
        totalBytes += ObjectColumnCount * static_cast<std::int64_t>(blocks.back().size());
    }

    // Every pointer and count byte that will be written, and the blocks themselves, must lie in
    // the buffer; the blocks also within the bank that holds stage 0's block, whose pointer
    // stays as it is.
    const auto lastStage = static_cast<int>(stages.size()) - 1;
    const auto first = address.ObjectBlockOf(target, 0);
    if (!first || !address.ObjectBlockOf(target, lastStage))
        return Outcome::Failure(ObjectsDoNotFitMessage);
    const std::int64_t start = first->Data;
    constexpr auto header = static_cast<std::int64_t>(LevelFormat::HeaderSize);
    if (start < header)
        return Outcome::Failure(ObjectsDoNotFitMessage);
    const std::int64_t bankEnd =
        ((start - header) & ~(LevelFormat::BankSize - 1)) + header + LevelFormat::BankSize;
    const std::int64_t limit = std::min(bankEnd, static_cast<std::int64_t>(target.size()));
    const auto low = *address.TableByte(target, LevelDataKey::ObjectDataAddressLow, 0);
    const auto high = *address.TableByte(target, LevelDataKey::ObjectDataAddressHigh, 0);
    std::int64_t pointer = low + 256 * high;
    // The pointers must also stay 16-bit CPU addresses.
    if (start + totalBytes > limit || pointer + totalBytes > 0x10000)
        return Outcome::Failure(ObjectsDoNotFitMessage);

    const auto put = [&](LevelDataKey key, int index, std::int64_t value) {
        target[static_cast<std::size_t>(std::int64_t{address.KeyValue(key)} + index)] =
            static_cast<std::uint8_t>(value & 0xFF);
    };
    std::int64_t data = start;
    for (std::size_t s = 0; s < blocks.size(); ++s) {
        const auto& rows = blocks[s];
        const auto stride = static_cast<std::int64_t>(rows.size()); // objects + terminator
        const int stage = static_cast<int>(s);
        put(LevelDataKey::ObjectDataAddressLow, stage, pointer);
        put(LevelDataKey::ObjectDataAddressHigh, stage, pointer >> 8);
        put(LevelDataKey::ObjectCount, stage, stride - 1);
        for (std::int64_t r = 0; r < stride; ++r) {
            const ObjectRow& row = rows[static_cast<std::size_t>(r)];
            const std::array<std::uint8_t, ObjectColumnCount> values = {row.Page, row.X, row.Y,
                                                                        row.Type};
            for (int c = 0; c < ObjectColumnCount; ++c)
                target[static_cast<std::size_t>(data + c * stride + r)] =
                    values[static_cast<std::size_t>(c)];
        }
        // The next block starts right after; its pointer addresses this block's last byte.
        data += ObjectColumnCount * stride;
        pointer += ObjectColumnCount * stride;
    }
    return Outcome::Success();
}
