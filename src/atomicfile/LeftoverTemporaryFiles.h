#pragma once

#include <string>

// The temporary files AtomicFileWriter leaves beside a target when the process dies in the
// middle of a write (killed, power lost): hidden files named "." + the target's name +
// ".k6save-" + six letters or digits, a name of our own, so that the temporaries of other
// programs (a transfer in progress, say) are never taken for ours. A writer locks its temporary
// until it has renamed it over the target, so one that nobody has locked is a leftover: the next
// start (the settings are read, an image is opened) or the next save of the same target removes
// it.
class LeftoverTemporaryFiles {
public:
    // The mkstemp pattern of a temporary of the file named name.
    static std::string PatternFor(const std::string& name);

    // Removes the unlocked temporaries of target (a link is followed, like the writer does).
    // Where the folder cannot be listed or a file cannot be removed, the leftover stays: this
    // never fails the command that asked.
    static void RemoveFor(const std::string& target);

    // Locks the writer's open temporary (its file descriptor) until it is closed.
    static void MarkInUse(int fd);
};
