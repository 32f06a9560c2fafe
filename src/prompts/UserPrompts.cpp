#include "prompts/UserPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

QString ApplicationTitle() {
    return QApplication::applicationName();
}

} // namespace

void QtUserPrompts::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

UserPrompts::Answer QtUserPrompts::AskYesNoCancel(QWidget* parent, const QString& caption,
                                                  const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtUserPrompts::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserPrompts::ChooseOpenFile(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString QtUserPrompts::ChooseSaveFile(QWidget* parent, const QString& filter,
                                      const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void QtUserPrompts::ShowModal(QDialog* dialog) {
    dialog->exec();
}

void QtUserPrompts::PopupMenu(QMenu* menu, const QPoint& globalPosition) {
    menu->exec(globalPosition);
}

QString UserPrompts::SuffixOfFilter(const QString& filter) {
    static const QRegularExpression pattern(R"(\(\*\.(\w+)\))");
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString UserPrompts::ChooseSaveFileWithFilters(QWidget* parent, const QString& filters) {
    return ChooseSaveFile(parent, filters, SuffixOfFilter(filters.section(";;", 0, 0)));
}

QString QtUserPrompts::ChooseSaveFileWithFilters(QWidget* parent, const QString& filters) {
    QFileDialog dialog(parent, QString(), QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(SuffixOfFilter(filters.section(";;", 0, 0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOfFilter(filter)); });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
