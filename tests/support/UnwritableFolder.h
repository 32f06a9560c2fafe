#pragma once

#include <linux/capability.h>

#include <filesystem>

// A folder that takes no new files for the object's life: its write bits are taken away. Root
// ignores the bits, so the calling thread also gives up its power to override them meanwhile
// (its other rights stay).
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::filesystem::path folder);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

    // Whether a new file really cannot be made there now (checked by trying).
    bool Refuses() const;

private:
    std::filesystem::path Folder;
    bool RestoreCapabilities = false;
    __user_cap_data_struct Capabilities[2]{};
};

// For a child process of a test running as root, between fork and exec: the program it runs
// can no longer override permission bits either.
void DropPermissionOverrideInChild();
