#pragma once

#include "base/Outcome.h"

#include <memory>
#include <string>
#include <vector>

class FcPaletteData;

// Finds the files the program ships with (the master palette, the list files) in an ordered
// list of folders: the first folder that holds the file wins. The window and the command line
// look in the same places.
class SupportFiles {
public:
    static constexpr const char* MasterPaletteName = "fcpalette.pal";

    // The path of name in the first folder that holds it as a plain file; an empty folder
    // stands for the current directory and gives the bare name. When no folder holds it: name
    // in the first folder, so that the failure names the usual place.
    static std::string Find(const std::string& name, const std::vector<std::string>& folders);

    // The installed data folder of a program whose executable lies in executableDir.
    static std::string DataFolder(const std::string& executableDir);

    // Where the settings keep the master palette file the user chose in the window.
    static constexpr const char* PaletteSection = "Palette";
    static constexpr const char* PaletteKey = "File";

    struct PaletteLookup {
        // The load of the file that was to be used; a failure's message names it.
        Outcome Loaded;
        // The chosen file was gone or bad and was passed over: its message, else empty.
        std::string ChosenProblem;
    };

    // Loads the master palette from the first place that holds it: name in the current
    // directory, as it always was, then the file the user chose (chosen, empty for none), then
    // name beside the executable, then in the installed data folder (a program started from its
    // desktop entry). A name with a folder in it is taken as it is. A chosen file that is gone
    // or bad gives way to the next place. On failure palette stays as it was.
    static PaletteLookup LoadMasterPalette(const std::string& name, const std::string& chosen,
                                           const std::string& executableDir,
                                           const std::string& dataDir,
                                           std::unique_ptr<FcPaletteData>& palette);
};
