// Test-only program for the crash-during-save test: opens the image named on the command line,
// then saves it over and over, each time with another large edit (variants 1 and 2 in turn),
// until it is killed; a second argument is the folder for the journals of saves in place. It
// writes one line to stdout once the image is open, so the parent can aim its kill at the saves
// rather than at the start-up.
#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "support/LargeEdit.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: save_loop_child IMAGE [JOURNAL_FOLDER]\n");
        return 2;
    }
    const std::string path = argv[1];
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    if (argc == 3)
        rom.SetJournalFolder(argv[2]);
    if (const auto opened = rom.LoadFromFile(path); !opened.Ok) {
        std::fprintf(stderr, "%s\n", opened.Message.c_str());
        return 1;
    }
    std::printf("open\n");
    std::fflush(stdout);
    for (int save = 0;; ++save) {
        ApplyLargeEdit(rom, flags, 1 + save % 2);
        if (const auto saved = rom.SaveToFile(path); !saved.Ok) {
            std::fprintf(stderr, "%s\n", saved.Message.c_str());
            return 1;
        }
    }
}
