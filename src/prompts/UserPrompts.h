#pragma once

#include <QPoint>
#include <QString>

class QDialog;
class QMenu;
class QWidget;

// Every modal interaction of the editor goes through this interface: message boxes, questions,
// file dialogs, modal windows and pop-up menus. The window uses QtUserPrompts; tests put in a
// recorder that answers as each case needs, so nothing blocks.
class UserPrompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserPrompts() = default;

    // A plain message box with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Yes / No / Cancel, no icon, with a caption.
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // Empty when the user cancels. filter is in "description (*.ext);;..." form.
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter) = 0;
    // Appends defaultSuffix when the name has none; confirms before overwriting.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter,
                                   const QString& defaultSuffix) = 0;
    // A save dialog offering several filters ("description (*.ext);;..."): the default
    // extension follows the filter the user chooses. By default ChooseSaveFile with the first
    // filter's extension.
    virtual QString ChooseSaveFileWithFilters(QWidget* parent, const QString& filters);
    // Shows a window modally and returns when the user has closed it.
    virtual void ShowModal(QDialog* dialog) = 0;

    // The extension of a filter such as "IPSパッチ (*.ips)": "ips".
    static QString SuffixOfFilter(const QString& filter);
    // Opens a pop-up menu at a global screen position and returns when it has closed.
    virtual void PopupMenu(QMenu* menu, const QPoint& globalPosition) = 0;
};

class QtUserPrompts : public UserPrompts {
public:
    void ShowMessage(QWidget* parent, const QString& text) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override;
    QString ChooseSaveFile(QWidget* parent, const QString& filter,
                           const QString& defaultSuffix) override;
    void ShowModal(QDialog* dialog) override;
    void PopupMenu(QMenu* menu, const QPoint& globalPosition) override;
    QString ChooseSaveFileWithFilters(QWidget* parent, const QString& filters) override;
};
