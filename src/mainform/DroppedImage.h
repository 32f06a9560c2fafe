#pragma once

#include <QString>

class QMimeData;

// What a drop on the window offers to open: the first local file named "*.nes".
class DroppedImage {
public:
    // Empty when the drop holds no such file.
    static QString PathOf(const QMimeData* data);
};
