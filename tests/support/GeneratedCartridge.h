#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDir;

// The generated cartridge image (built once per process and copied on request) and the files a
// test folder needs to open it.
const std::vector<std::uint8_t>& GeneratedImage();

// Writes the generated image as name into the folder and returns its path.
std::string WriteGeneratedImage(const TempDir& folder, const std::string& name = "stage.nes");

// Writes the computed master palette as "fcpalette.pal" into the folder and returns its path.
std::string WriteGeneratedPalette(const TempDir& folder);
