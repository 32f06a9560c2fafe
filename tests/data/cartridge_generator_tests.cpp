// The generated cartridge is every other test's fixture: these check the promises its header
// makes to them.
#include "address/AddressData.h"
#include "address/LevelDataLayout.h"
#include "base/LevelFormat.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using G = CartridgeGenerator;

TEST(CartridgeGenerator, ImageIsDeterministicWithHeaderAndValidLayout) {
    const auto image = G::MakeImage();
    ASSERT_EQ(image.size(), G::ImageSize);
    EXPECT_EQ(image, G::MakeImage());
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.begin() + 4),
              (std::vector<std::uint8_t>{0x4E, 0x45, 0x53, 0x1A}));
    IniFile settings("");
    const AddressData address(image, settings);
    EXPECT_EQ(LevelDataLayout::FindMisplacedBlock(image, address), std::nullopt);
}

TEST(CartridgeGenerator, StagesHaveTheirOwnChipTablesAndShareBanksAsDocumented) {
    const auto image = G::MakeImage();
    IniFile settings("");
    const AddressData address(image, settings);
    std::set<std::int32_t> normalTables;
    std::set<std::int32_t> sharedSets;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        normalTables.insert(address.Chip16x16TableAddress(s));
        normalTables.insert(address.Chip32x32TableAddress(s));
        sharedSets.insert(address.DestroyedChip16x16TableAddress(s));
        EXPECT_EQ(image[0x7DF65 + static_cast<std::size_t>(s)],
                  G::ChipBank[static_cast<std::size_t>(s)]);
    }
    EXPECT_EQ(normalTables.size(), 32u);
    EXPECT_EQ(sharedSets.size(), 10u);
    for (const auto& group :
         std::vector<std::vector<int>>{{1, 2}, {3, 11}, {5, 6, 13}, {7, 8}, {14, 15}})
        for (const int s : group)
            EXPECT_EQ(address.DestroyedChip16x16TableAddress(s),
                      address.DestroyedChip16x16TableAddress(group[0]));
}

TEST(CartridgeGenerator, PatternEntriesAndChipTypeRowsStayInRange) {
    for (int n = 0; n < G::PatternEntryCount; ++n) {
        const auto entry = G::PatternEntry(n);
        const int count = entry[0] == 0 ? 256 : entry[0];
        EXPECT_LE(entry[1] + count, 256) << "entry " << n;
        EXPECT_LE(entry[2] + count, 256) << "entry " << n;
        EXPECT_LE(entry[3] & 0x7F, G::FirstOverlayBlock + 1) << "entry " << n;
    }
    EXPECT_EQ(G::PatternEntry(7), (std::array<std::uint8_t, 4>{0, 0, 0, 7}));
    for (int row = 0; row < G::ChipTypeRowCount; ++row)
        for (const std::uint8_t code : G::ChipTypeRow(row))
            EXPECT_LE(code, 0x1F);
}

TEST(CartridgeGenerator, ObjectsIncludeAScrollObjectAndTheBankHoldsTheEditorsLimits) {
    int total = 0;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const auto objects = G::ObjectsOfStage(s);
        total += static_cast<int>(objects.size());
        EXPECT_EQ(objects.front().Type, 0x80);
        std::set<int> rooms;
        for (const auto& object : objects)
            rooms.insert(object.Page);
        EXPECT_GE(rooms.size(), 3u) << "stage " << s;
    }
    EXPECT_LT(total, LevelFormat::MaxObjectsAllStages);
    EXPECT_GE(G::ObjectCapacity, LevelFormat::MaxObjectsAllStages);
    EXPECT_LE(G::ObjectBlockStart + 4u * LevelFormat::MaxObjectsAllStages +
                  4u * LevelFormat::StageCount,
              G::ObjectBankEnd);
}

TEST(CartridgeGenerator, AnimationRecordsAreWellFormed) {
    const auto image = G::MakeImage();
    for (int n = 0; n < G::AnimeCount; ++n) {
        const int pointer = image[G::AnimeLowTable + static_cast<std::size_t>(n)] +
                            256 * image[G::AnimeHighTable + static_cast<std::size_t>(n)];
        const std::size_t record = G::AnimeBase + static_cast<std::size_t>(pointer) - 0xBB43;
        ASSERT_LT(record + 2 + image[record], image.size());
        for (int step = 0; step <= image[record]; ++step) {
            const std::size_t set = image[record + 2 + static_cast<std::size_t>(step)];
            for (std::size_t j = 0; j < 3; ++j)
                EXPECT_LE(image[G::AnimeColorTable + set * 3 + j], 0x3F);
        }
    }
}

TEST(CartridgeGenerator, MasterPaletteLooksLikeTheConsolesColours) {
    const auto palette = G::MakeMasterPalette();
    const auto rgb = [&](int n) {
        const auto at = static_cast<std::size_t>(n) * 3;
        return std::array<int, 3>{palette[at], palette[at + 1], palette[at + 2]};
    };
    EXPECT_EQ(rgb(0x0F), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(rgb(0x1D), (std::array<int, 3>{0, 0, 0}));
    for (const int grey : {0x00, 0x10, 0x20, 0x2D}) {
        EXPECT_EQ(rgb(grey)[0], rgb(grey)[1]) << std::hex << grey;
        EXPECT_EQ(rgb(grey)[1], rgb(grey)[2]) << std::hex << grey;
    }
    EXPECT_GT(rgb(0x30)[0], 240);
    // Dominant component of a few hues: blue, red, green.
    const auto dominant = [&](int n) {
        const auto c = rgb(n);
        return static_cast<int>(std::max_element(c.begin(), c.end()) - c.begin());
    };
    EXPECT_EQ(dominant(0x12), 2);
    EXPECT_EQ(dominant(0x16), 0);
    EXPECT_EQ(dominant(0x1A), 1);
}

} // namespace
