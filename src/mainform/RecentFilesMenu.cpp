#include "mainform/RecentFilesMenu.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QStyleOptionMenuItem>

namespace {

const char* const MissingProperty = "k6Missing";

// "&1 /path/to/stage.nes": a digit to choose it by key, and the path with its own ampersands
// shown as they are.
QString ItemText(int index, const QString& path) {
    return "&" + QString::number(index + 1) + " " + QString(path).replace("&", "&&");
}

} // namespace

RecentFilesMenu::RecentFilesMenu(QWidget* parent) : QMenu(tr(Caption), parent) {
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::MarkMissingFiles);
}

void RecentFilesMenu::SetPaths(const QStringList& paths) {
    clear();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        QAction* item = addAction(ItemText(i, path));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { emit FileChosen(path); });
    }
    setEnabled(!paths.isEmpty());
    MarkMissingFiles();
}

void RecentFilesMenu::changeEvent(QEvent* event) {
    QMenu::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void RecentFilesMenu::RetranslateUi() {
    setTitle(tr(Caption));
}

bool RecentFilesMenu::IsMissing(const QAction* item) {
    return item->property(MissingProperty).toBool();
}

void RecentFilesMenu::MarkMissingFiles() {
    for (QAction* item : actions())
        item->setProperty(MissingProperty, !QFileInfo::exists(item->data().toString()));
}

void RecentFilesMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (!IsMissing(action))
        return;
    // Drawn as a disabled item is, while the item itself stays enabled.
    const QPalette& colours = palette();
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::ButtonText, QPalette::WindowText, QPalette::HighlightedText})
        option->palette.setColor(role, colours.color(QPalette::Disabled, role));
}
