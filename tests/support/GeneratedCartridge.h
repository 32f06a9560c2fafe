#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TempDir;

// The generated cartridge image (built once per process and copied on request) and the files a
// test folder needs to open it.
const std::vector<std::uint8_t>& GeneratedImage();

// Writes the generated image as name into the folder and returns its path.
std::string WriteGeneratedImage(const TempDir& folder, const std::string& name = "stage.nes");

// File offsets of the generated layout, worked out from the generator's bank numbers rather
// than through the code under test: a CPU address in stage's chip bank (mapped at 0x8000), the
// stage's normal 16x16 chip table (its attribute table follows 0x400 bytes on), its 32x32 chip
// table and its map set; a CPU address in the object bank (mapped at 0x8000).
std::size_t ChipBankFile(int stage, std::size_t cpu);
std::size_t ObjectBankFile(std::size_t cpu);
std::size_t Normal16File(int stage);
std::size_t Chip32File(int stage);
std::size_t MapFile(int stage);

// Writes the computed master palette as "fcpalette.pal" into the folder and returns its path.
std::string WriteGeneratedPalette(const TempDir& folder);
