#pragma once

#include "dib/ImageRect.h"

// A view cut into equal cells numbered row by row from the top left. Lookups only compute: they
// never change what a view shows or remembers.
struct GridGeometry {
    // Cells as wide as they are high, the usual case.
    static constexpr GridGeometry Square(int columns, int rows, int cellSize) {
        return {columns, rows, cellSize, cellSize};
    }

    int Columns;
    int Rows;
    int CellWidth;
    int CellHeight;

    constexpr int Count() const { return Columns * Rows; }
    constexpr int Width() const { return Columns * CellWidth; }
    constexpr int Height() const { return Rows * CellHeight; }
    constexpr bool Contains(int x, int y) const {
        return x >= 0 && y >= 0 && x < Width() && y < Height();
    }

    // The cell under (x, y), -1 outside the grid (a drag that left the view reports such points).
    constexpr int ItemAt(int x, int y) const {
        return Contains(x, y) ? (y / CellHeight) * Columns + x / CellWidth : -1;
    }

    // The pixels of a cell; an item beyond the last row still gets the place it would have.
    constexpr ImageRect CellRect(int item) const {
        return ImageRect::FromSize((item % Columns) * CellWidth, (item / Columns) * CellHeight,
                                   CellWidth, CellHeight);
    }
};
