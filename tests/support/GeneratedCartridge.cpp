#include "support/GeneratedCartridge.h"

#include "base/LevelFormat.h"
#include "romgen/CartridgeGenerator.h"
#include "support/TempDir.h"

const std::vector<std::uint8_t>& GeneratedImage() {
    static const std::vector<std::uint8_t> image = CartridgeGenerator::MakeImage();
    return image;
}

std::string WriteGeneratedImage(const TempDir& folder, const std::string& name) {
    const std::string path = folder.File(name);
    WriteWholeFile(path, GeneratedImage());
    return path;
}

std::string WriteGeneratedPalette(const TempDir& folder) {
    const auto palette = CartridgeGenerator::MakeMasterPalette();
    const std::string path = folder.File("fcpalette.pal");
    WriteWholeFile(path, std::vector<std::uint8_t>(palette.begin(), palette.end()));
    return path;
}

std::size_t ChipBankFile(int stage, std::size_t cpu) {
    return CartridgeGenerator::ChipBank[static_cast<std::size_t>(stage)] * LevelFormat::BankSize +
           cpu - LevelFormat::Bank8000Base;
}

std::size_t Normal16File(int stage) {
    return ChipBankFile(stage, CartridgeGenerator::Chip16x16Page[static_cast<std::size_t>(stage)] *
                                   0x100u);
}

std::size_t Chip32File(int stage) {
    return ChipBankFile(stage, CartridgeGenerator::Chip32x32Page[static_cast<std::size_t>(stage)] *
                                   0x100u);
}

std::size_t MapFile(int stage) {
    return CartridgeGenerator::MapBankOf(stage) * LevelFormat::BankSize +
           CartridgeGenerator::MapCpuAddressOf(stage) - LevelFormat::BankA000Base;
}

std::size_t ObjectBankFile(std::size_t cpu) {
    return CartridgeGenerator::ObjectBank * LevelFormat::BankSize + cpu - LevelFormat::Bank8000Base;
}
