#pragma once

#include <QMenu>
#include <QStringList>

// The "最近使ったファイル(&R)" submenu: one item per recent image, newest first. An image
// that is no longer there is shown greyed, but can still be chosen, so that choosing it can
// take it off the list.
class RecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr const char* Caption =
        QT_TRANSLATE_NOOP("RecentFilesMenu", "最近使ったファイル(&R)");

    explicit RecentFilesMenu(QWidget* parent);

    void SetPaths(const QStringList& paths);
    // The caption in the language installed now.
    void RetranslateUi();
    // Whether the item stands for a file that was missing when the menu last opened.
    static bool IsMissing(const QAction* item);

signals:
    void FileChosen(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    void MarkMissingFiles();
};
