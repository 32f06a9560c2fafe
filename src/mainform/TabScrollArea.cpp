#include "mainform/TabScrollArea.h"

TabScrollArea::TabScrollArea(QWidget* content) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(content);
}

void TabScrollArea::SetMinimumCap(std::optional<QSize> cap) {
    if (cap == MinimumCap)
        return;
    MinimumCap = cap;
    updateGeometry();
}

QSize TabScrollArea::sizeHint() const {
    return widget()->sizeHint();
}

QSize TabScrollArea::minimumSizeHint() const {
    const QSize content = widget()->minimumSizeHint();
    return MinimumCap ? content.boundedTo(*MinimumCap) : content;
}
