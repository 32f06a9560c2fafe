#include "ImageEx/TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), Buttons(new QButtonGroup(this)),
      ColumnCount(std::max(1, columns)) {
    Buttons->setExclusive(true);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(0);
    const int count = static_cast<int>(items.size());
    // Column by column: the first column holds the first ceil(count / columns) items.
    const int rows = (count + ColumnCount - 1) / ColumnCount;
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        Buttons->addButton(button, i);
        layout->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        Items.push_back(button);
    }
    // idClicked comes from user clicks only; setChecked from code does not raise it.
    connect(Buttons, &QButtonGroup::idClicked, this, &TRadioGroup::itemClicked);
}

int TRadioGroup::ItemIndex() const {
    return Buttons->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (QRadioButton* button = Item(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group refuses to uncheck its last checked button.
    if (QAbstractButton* checked = Buttons->checkedButton()) {
        Buttons->setExclusive(false);
        checked->setChecked(false);
        Buttons->setExclusive(true);
    }
}

QString TRadioGroup::ItemText(int index) const {
    const QRadioButton* button = Item(index);
    return button ? button->text() : QString();
}

void TRadioGroup::SetItemText(int index, const QString& text) {
    if (QRadioButton* button = Item(index))
        button->setText(text);
}

QRadioButton* TRadioGroup::Item(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return Items[static_cast<std::size_t>(index)];
}
