#include "document/MapStamp.h"

#include <algorithm>
#include <array>

namespace MapStampWrites {

namespace {

constexpr int PageCells = PageSide * PageSide;

bool InPage(int cell) {
    return cell >= 0 && cell < PageCells;
}

// The non-negative remainder, so cells left of or above the clicked one wrap correctly.
int Wrap(int value, int modulus) {
    const int rest = value % modulus;
    return rest < 0 ? rest + modulus : rest;
}

} // namespace

CellWrites Place(const MapStamp& stamp, int cell) {
    CellWrites writes;
    if (!stamp.Valid() || !InPage(cell))
        return writes;
    const int left = cell % PageSide;
    const int top = cell / PageSide;
    for (int row = 0; row < stamp.Height && top + row < PageSide; ++row)
        for (int column = 0; column < stamp.Width && left + column < PageSide; ++column)
            writes.emplace_back((top + row) * PageSide + left + column, stamp.At(column, row));
    return writes;
}

CellWrites Fill(std::span<const std::uint8_t> page, const MapStamp& stamp, int cell) {
    CellWrites writes;
    if (!stamp.Valid() || !InPage(cell) || page.size() != static_cast<std::size_t>(PageCells))
        return writes;
    const std::uint8_t target = page[static_cast<std::size_t>(cell)];
    std::array<bool, PageCells> reached{};
    std::vector<int> pending{cell};
    reached[static_cast<std::size_t>(cell)] = true;
    while (!pending.empty()) {
        const int at = pending.back();
        pending.pop_back();
        const int column = at % PageSide;
        const int row = at / PageSide;
        const std::array<std::pair<int, int>, 4> neighbours = {
            {{column - 1, row}, {column + 1, row}, {column, row - 1}, {column, row + 1}}};
        for (const auto& [x, y] : neighbours) {
            if (x < 0 || y < 0 || x >= PageSide || y >= PageSide)
                continue;
            const auto next = static_cast<std::size_t>(y * PageSide + x);
            if (reached[next] || page[next] != target)
                continue;
            reached[next] = true;
            pending.push_back(static_cast<int>(next));
        }
    }
    const int clickedColumn = cell % PageSide;
    const int clickedRow = cell / PageSide;
    for (int at = 0; at < PageCells; ++at) {
        if (!reached[static_cast<std::size_t>(at)])
            continue;
        writes.emplace_back(at, stamp.At(Wrap(at % PageSide - clickedColumn, stamp.Width),
                                         Wrap(at / PageSide - clickedRow, stamp.Height)));
    }
    return writes;
}

MapStamp Pick(std::span<const std::uint8_t> page, int firstCell, int lastCell) {
    if (!InPage(firstCell) || !InPage(lastCell) ||
        page.size() != static_cast<std::size_t>(PageCells))
        return {};
    const int left = std::min(firstCell % PageSide, lastCell % PageSide);
    const int right = std::max(firstCell % PageSide, lastCell % PageSide);
    const int top = std::min(firstCell / PageSide, lastCell / PageSide);
    const int bottom = std::max(firstCell / PageSide, lastCell / PageSide);
    MapStamp stamp{right - left + 1, bottom - top + 1, {}};
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            stamp.Cells.push_back(page[static_cast<std::size_t>(row * PageSide + column)]);
    return stamp;
}

} // namespace MapStampWrites
