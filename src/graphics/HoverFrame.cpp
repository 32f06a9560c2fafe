#include "graphics/HoverFrame.h"

#include <utility>

HoverFrame::HoverFrame(ItemPainter repaintItem, ItemPainter drawFrame)
    : RepaintItem(std::move(repaintItem)), DrawFrame(std::move(drawFrame)) {}

void HoverFrame::MoveTo(int item) {
    Items.Shift(item);
    Redraw();
}

void HoverFrame::Press(int item) {
    Items.Shift(item);
}

void HoverFrame::Refresh() {
    Items.Previous = -1;
    Redraw();
}

void HoverFrame::Leave() {
    if (Items.Current != -1)
        RepaintItem(Items.Current);
    Items.Reset();
}

void HoverFrame::Reset() {
    Items.Reset();
}

void HoverFrame::Redraw() {
    if (Items.Previous == Items.Current)
        return;
    if (Items.Previous != -1)
        RepaintItem(Items.Previous);
    if (Items.Current != -1)
        DrawFrame(Items.Current);
}
