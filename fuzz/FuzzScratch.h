#pragma once

#include <cstdint>
#include <span>
#include <string>

// The readers under fuzz take file names: each input is written to a file in a folder of this
// process (on a memory file system where there is one), removed when the process ends.
std::string WriteScratchFile(const std::string& name, std::span<const std::uint8_t> bytes);

// Aborts when the condition does not hold: a failed check is a finding.
void Require(bool condition);
