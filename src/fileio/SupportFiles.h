#pragma once

#include <string>
#include <vector>

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

    // Where the master palette is taken from: the current directory first, as it always was,
    // then beside the executable, then the installed data folder (a program started from its
    // desktop entry). A name with a folder in it is taken as it is.
    static std::string MasterPalettePath(const std::string& name, const std::string& executableDir,
                                         const std::string& dataDir);
};
