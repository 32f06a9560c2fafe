#include "mainform/PaletteAnimationSettings.h"

#include "inifile/IniFile.h"

namespace {

std::optional<std::uint32_t> ReadOffset(const IniFile& settings, const char* key) {
    const std::string text = settings.ReadString(PaletteAnimationSettings::SectionName, key, "");
    const auto value = IniFile::ParseInteger("$" + text);
    if (!value || *value < 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

} // namespace

PaletteAnimationTables PaletteAnimationSettings::Read(const IniFile& settings) {
    PaletteAnimationTables tables;
    tables.AnimeLowTable = ReadOffset(settings, "AnimeLowTable");
    tables.AnimeHighTable = ReadOffset(settings, "AnimeHighTable");
    tables.AnimeColorTable = ReadOffset(settings, "AnimeColorTable");
    tables.AnimeBase = ReadOffset(settings, "AnimeBase");
    return tables;
}
