#pragma once

#include <string>
#include <utility>

// What a data-layer operation that can fail reports: success, or on failure the text the user
// must see. Whatever the operation produces goes into a target the caller passes.
struct Outcome {
    bool Ok = true;
    std::string Message;

    static Outcome Success() { return {}; }
    static Outcome Failure(std::string message) { return {false, std::move(message)}; }

    bool operator==(const Outcome&) const = default;
};
