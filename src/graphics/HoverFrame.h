#pragma once

#include "graphics/HoverPair.h"

#include <functional>

// The frame that follows the pointer over the cells of one view. It remembers the item under the
// pointer before and after the last move and draws only through its two callbacks: one puts an
// item's own pixels back, the other frames an item. -1 means no item.
class HoverFrame {
public:
    using ItemPainter = std::function<void(int item)>;

    HoverFrame(ItemPainter repaintItem, ItemPainter drawFrame);

    // The pointer moved over item: the item framed before is repainted, the new one framed.
    void MoveTo(int item);
    // The pointer pressed on item; the press redraws the view itself, so nothing is drawn here.
    void Press(int item);
    // The view was repainted under the pointer: frame the current item again.
    void Refresh();
    // The pointer left the view: the framed item gets its own pixels back.
    void Leave();
    // Forget the items without drawing (a new stage draws the views afresh).
    void Reset();

    int Current() const { return Items.Current; }
    const HoverPair& Pair() const { return Items; }

private:
    void Redraw();

    ItemPainter RepaintItem;
    ItemPainter DrawFrame;
    HoverPair Items;
};
