#pragma once

#include <QString>

#include <string>
#include <vector>

// The data layer's messages in the window's language. The data layer composes them in Japanese
// from marked fixed phrases around paths and the platform's reasons; each phrase found in a
// message is replaced by its translation, and what lies between stays as it is.
class DisplayText {
public:
    struct Phrase {
        const char* Context;
        const char* Source;
    };

    static QString Of(const std::string& message);

    // Every phrase the data layer composes its messages from, the longest first, so that a
    // phrase is never taken for a shorter one that begins it.
    static const std::vector<Phrase>& Phrases();
};
