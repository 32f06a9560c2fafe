#pragma once

#include "base/Outcome.h"
#include "base/TextMark.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The record that makes a file rewritten in place recoverable. Before the first byte of the file
// changes, the complete new content goes to a journal of our own in a folder of the program's
// (the application data folder), with the file's canonical path, the content's size and a CRC32,
// flushed to disk; once the file is rewritten and flushed, the journal is removed. A journal
// still there when the file is opened again means the rewrite was cut short (killed, power lost,
// or a failure whose put-back failed too): finishing it writes the journal's bytes in place, the
// same recoverable way. There is one journal per file, named after its canonical path.
class SaveJournal {
public:
    // Neither a journal nor the file it is for may be larger than this.
    static constexpr std::size_t MaxContentSize = 64 * 1024 * 1024;
    static constexpr std::size_t MaxPathSize = 4096;
    // The fixed phrases of its messages, each after the journal's path.
    static constexpr const char* CannotCreatePhrase =
        K6_TEXT("DataMessages", " を作成できませんでした。");
    static constexpr const char* CannotRemovePhrase =
        K6_TEXT("DataMessages", " を削除できませんでした。");

    enum class State {
        None,    // no journal for the file
        Ready,   // a complete journal, checksum and size as recorded
        Damaged, // a journal that cannot be trusted: it is never written to the file
    };

    struct Found {
        State Status = State::None;
        std::string JournalPath;
        std::vector<std::uint8_t> Content; // Ready only
    };

    // The journal of target in folder, named after target's canonical path.
    static std::string PathFor(const std::string& folder, const std::string& target);

    // Writes the journal of target (whose canonical path it records) and flushes it and its
    // folder to disk; the folder is created when missing. A journal left half-written by a
    // killed writer never takes the journal's name.
    static Outcome Record(const std::string& folder, const std::string& target,
                          const std::uint8_t* data, std::size_t size);

    // Looks for target's journal in folder and checks it. A journal recorded for another path
    // (which would need a clash of names) is none of target's.
    static Found Inspect(const std::string& folder, const std::string& target);

    // Removes a journal; a journal already gone is no failure.
    static Outcome Remove(const std::string& journalPath);

    // What the opener decides about a complete journal whose file differs from it.
    enum class Answer { Finish, Discard, Cancel };
    struct Questions {
        // Finish the save (write the journal in place), discard the journal, or cancel the open.
        std::function<Answer(const std::string& journalPath)> FinishInterruptedSave;
        // The journal is damaged: true deletes it, false leaves it where it is.
        std::function<bool(const std::string& journalPath)> DeleteDamagedJournal;
    };
    enum class Recovery {
        Nothing,         // no journal
        AlreadyComplete, // the file already held the journal's content: the journal went
        Finished,        // the journal was written in place
        Discarded,       // the user chose to drop the journal
        DamagedDeleted,  // a damaged journal the user chose to delete
        DamagedKept,     // a damaged journal the user chose to keep
        Cancelled,       // the user chose not to open the file
        FinishFailed,    // finishing failed; the journal is kept
    };
    struct RecoveryResult {
        Recovery Done = Recovery::Nothing;
        bool MayOpen = true;
        std::string Message; // for the user, when something failed
    };

    // Every way of opening a file that may have a journal comes here first. Removes the
    // journal's own leftover temporaries, then deals with what Inspect finds, asking through
    // questions. An empty folder means no journals are kept: nothing is done.
    static RecoveryResult Recover(const std::string& folder, const std::string& target,
                                  const Questions& questions);
};
