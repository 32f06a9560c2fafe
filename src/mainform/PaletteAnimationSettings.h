#pragma once

#include "graphics/PaletteAnimationTables.h"

class IniFile;

// The palette animation's table offsets from the settings section "PaletteAnimation", written
// in hexadecimal like the level-data offsets. The section is only read: without it the
// animation stays off and the settings file gains nothing.
class PaletteAnimationSettings {
public:
    static constexpr const char* SectionName = "PaletteAnimation";

    static PaletteAnimationTables Read(const IniFile& settings);
};
