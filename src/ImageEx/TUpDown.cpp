#include "ImageEx/TUpDown.h"

#include <QBoxLayout>
#include <QToolButton>

#include <algorithm>

TUpDown::TUpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), Direction(orientation), Up(new QToolButton(this)),
      Down(new QToolButton(this)) {
    const bool horizontal = orientation == Qt::Horizontal;
    Up->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    Down->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    for (QToolButton* button : {Up, Down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    auto* layout =
        new QBoxLayout(horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // Left-to-right: down (left) first; top-to-bottom: up first.
    if (horizontal) {
        layout->addWidget(Down);
        layout->addWidget(Up);
    } else {
        layout->addWidget(Up);
        layout->addWidget(Down);
    }
    connect(Up, &QToolButton::clicked, this, &TUpDown::upClicked);
    connect(Down, &QToolButton::clicked, this, &TUpDown::downClicked);
}

void TUpDown::SetRange(int minimum, int maximum) {
    Min = minimum;
    Max = std::max(minimum, maximum);
    Current = std::clamp(Current, Min, Max);
}

void TUpDown::SetPosition(int position) {
    Current = std::clamp(position, Min, Max);
}

QSize TUpDown::sizeHint() const {
    return Direction == Qt::Horizontal ? QSize(32, 17) : QSize(17, 24);
}
