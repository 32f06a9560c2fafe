#pragma once

#include <string>

// The temporary files AtomicFileWriter leaves beside a target when the process dies in the
// middle of a write (killed, power lost): hidden files named "." + the target's name + "." + six
// letters or digits. A writer locks its temporary for as long as it has it open, so one that
// nobody has locked is a leftover: the next start (the settings are read, an image is opened) or
// the next save of the same target removes it.
class LeftoverTemporaryFiles {
public:
    // Removes the unlocked temporaries of target (a link is followed, like the writer does).
    // Where the folder cannot be listed or a file cannot be removed, the leftover stays: this
    // never fails the command that asked.
    static void RemoveFor(const std::string& target);

    // Locks the writer's open temporary (its file descriptor) until it is closed.
    static void MarkInUse(int fd);
};
