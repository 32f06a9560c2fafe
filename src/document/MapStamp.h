#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

// A rectangle of map cells to place, 1x1 to 8x8, row by row from the top left.
struct MapStamp {
    static constexpr int MaxSide = 8;

    int Width = 1;
    int Height = 1;
    std::vector<std::uint8_t> Cells{0};

    static MapStamp Single(std::uint8_t chip) { return {1, 1, {chip}}; }
    bool Valid() const {
        return Width >= 1 && Width <= MaxSide && Height >= 1 && Height <= MaxSide &&
               Cells.size() == static_cast<std::size_t>(Width * Height);
    }
    std::uint8_t At(int column, int row) const {
        return Cells[static_cast<std::size_t>(row * Width + column)];
    }
    bool operator==(const MapStamp&) const = default;
};

// One page of the map set as cells of an 8x8 square; what a stamp or a fill writes into it, as
// (cell, chip) pairs in cell order.
namespace MapStampWrites {

constexpr int PageSide = 8;
using CellWrites = std::vector<std::pair<int, std::uint8_t>>;

// The stamp with its top-left at cell; what falls outside the page is dropped.
CellWrites Place(const MapStamp& stamp, int cell);
// The cells 4-connected to cell through cells holding its chip, each given the stamp's chip at
// its offset from cell, wrapped around the stamp's width and height.
CellWrites Fill(std::span<const std::uint8_t> page, const MapStamp& stamp, int cell);
// The rectangle of the page between two cells, both included, as a stamp.
MapStamp Pick(std::span<const std::uint8_t> page, int firstCell, int lastCell);

} // namespace MapStampWrites
