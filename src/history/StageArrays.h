#pragma once

#include "history/StepPlace.h"

#include <cstdint>
#include <span>
#include <vector>

class StageData;

// The bytes of one array of a stage, for the byte-data steps: what they write through and what
// a reload is compared against.
namespace StageArrays {

std::span<std::uint8_t> Bytes(StageData& stage, EditorArray array);
std::span<const std::uint8_t> Bytes(const StageData& stage, EditorArray array);
// Appends a change for every byte of array that differs between before and after.
void AppendDifferences(int stage, EditorArray array, std::span<const std::uint8_t> before,
                       std::span<const std::uint8_t> after, std::vector<ByteChange>& changes);

} // namespace StageArrays
