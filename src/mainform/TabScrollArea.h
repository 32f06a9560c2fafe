#pragma once

#include <QScrollArea>
#include <QSize>

#include <optional>

// Holds one tab's controls: as large as they want to be while the window has room, scrolling
// where it has not. Unlike a plain scroll area it asks for the whole of its content, so that the
// window grows with enlarged views.
class TabScrollArea : public QScrollArea {
public:
    explicit TabScrollArea(QWidget* content);

    // The most this area insists on: the window may be made smaller than the content, which
    // then scrolls. None: the content's own minimum, as if the area were not there.
    void SetMinimumCap(std::optional<QSize> cap);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    std::optional<QSize> MinimumCap;
};
