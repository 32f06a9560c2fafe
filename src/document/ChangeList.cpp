#include "document/ChangeList.h"

#include <algorithm>

bool ChangeList::ChangesNothing() const {
    const bool bytesChange =
        std::any_of(Bytes.begin(), Bytes.end(), [](const ByteChange& b) { return b.Old != b.New; });
    const bool objectsChange =
        std::any_of(ObjectPages.begin(), ObjectPages.end(),
                    [](const ObjectPageChange& page) { return page.Before != page.After; });
    return !bytesChange && !objectsChange;
}

void ChangeList::DropNonChanges() {
    std::erase_if(Bytes, [](const ByteChange& b) { return b.Old == b.New; });
    std::erase_if(ObjectPages,
                  [](const ObjectPageChange& page) { return page.Before == page.After; });
}
