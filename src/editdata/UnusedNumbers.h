#pragma once

#include <cstdint>
#include <span>
#include <string>

// The text of an unused-number report: every number 00..FF that no byte of scanned holds,
// as two upper-case hex digits and a blank, one line per group of sixteen numbers (groups
// without an unused number are left out), every line ended by CR LF.
std::string UnusedNumberList(std::span<const std::uint8_t> scanned);
