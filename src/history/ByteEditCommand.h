#pragma once

#include "history/HistoryCommand.h"
#include "history/StepPlace.h"

#include <vector>

// A change of byte data (map set cells, 32x32 quarters, 16x16 tiles and attributes, palette
// and animation entries, and the reloads of those): only the bytes that changed, old and new.
class ByteEditCommand : public HistoryCommand {
public:
    ByteEditCommand(EditHistory& history, const StepPlace& place, std::vector<ByteChange> changes,
                    const QString& caption);

    EditFlagManagement::FlagSet Touched() const override;
    const StepPlace& Place() const { return Where; }
    const std::vector<ByteChange>& Changes() const { return Bytes; }

protected:
    void Apply(bool forward) override;

private:
    StepPlace Where;
    std::vector<ByteChange> Bytes;
    EditFlagManagement::FlagSet TouchedFlags;
};
