#pragma once

#include <QGroupBox>
#include <QString>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio items laid out in columns, filled column by column. Only the
// user's clicks are reported: choosing an item from code (SetItemIndex) never emits
// itemClicked, so an editor can show the stored value without it counting as a choice.
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns = 1,
                QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(Items.size()); }
    int Columns() const { return ColumnCount; }

    // The chosen item, -1 while none is chosen.
    int ItemIndex() const;
    // Chooses an item without any signal; -1 or an index outside the items clears the choice.
    void SetItemIndex(int index);

    // Empty for an index outside the items; SetItemText ignores such an index.
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);

    // The radio button of an item, null outside the items.
    QRadioButton* Item(int index) const;

signals:
    // The user clicked item index (also when it was already chosen).
    void itemClicked(int index);

private:
    QButtonGroup* Buttons;
    std::vector<QRadioButton*> Items;
    int ColumnCount;
};
