#pragma once

#include <QStringList>

// The captions the editor uses when its list files cannot be read, and the stage captions.
class BuiltInLists {
public:
    static QStringList StageCaptions();
    static QStringList ObjectCaptions();
    static QStringList ScrollCaptions();
};
