#pragma once

#include <QWidget>

class QToolButton;

// A pair of arrow buttons. A click only reports its direction: the position never moves by
// itself, so the owner decides what an arrow does (and may refuse the change). Horizontal:
// the right arrow is up, the left arrow down. Holding an arrow repeats its signal.
class TUpDown : public QWidget {
    Q_OBJECT

public:
    explicit TUpDown(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    Qt::Orientation Orientation() const { return Direction; }

    // The position and its range, for the owner's bookkeeping; SetPosition clamps into the
    // range, and SetRange pulls the position inside it.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return Min; }
    int Maximum() const { return Max; }
    void SetPosition(int position);
    int Position() const { return Current; }

    QToolButton* UpButton() const { return Up; }
    QToolButton* DownButton() const { return Down; }

    QSize sizeHint() const override;

signals:
    void upClicked();
    void downClicked();

private:
    Qt::Orientation Direction;
    QToolButton* Up;
    QToolButton* Down;
    int Min = 0;
    int Max = 100;
    int Current = 0;
};
