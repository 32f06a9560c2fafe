#include "document/ChangeList.h"

#include <vector>

bool ChangeList::DropNonChanges() {
    std::erase_if(Bytes, [](const ByteChange& b) { return b.Old == b.New; });
    std::erase_if(ObjectPages,
                  [](const ObjectPageChange& page) { return page.Before == page.After; });
    return Bytes.empty() && ObjectPages.empty();
}
