#include "showUnusedChipNumForm/TShowUnusedChipNumForm.h"

#include "graphics/EditorGraphics.h"
#include "prompts/UserPrompts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

constexpr int Margin = 8;
constexpr int MemoTop = 32;
constexpr int MemoWidth = 321;
constexpr int MemoHeight = 209;
constexpr int MemoFontPixelSize = 12;

// The lists line up in columns only in a fixed-pitch face; the editor's Japanese monospace
// face (with its fallbacks) is the one the views use for their labels too.
QFont MemoFont() {
    QFont font(EditorGraphics::ObjectMarkerFont().family());
    font.setPixelSize(MemoFontPixelSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace

TShowUnusedChipNumForm::TShowUnusedChipNumForm(QWidget* parent) : QDialog(parent) {
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);
    // Closed with the window's own close box only.
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    LblMessage = new QLabel(this);
    LblMessage->move(Margin, Margin);
    LblMessage->setFixedWidth(ClientWidth - 2 * Margin);

    MemoUnusedChipNum = new QPlainTextEdit(this);
    MemoUnusedChipNum->setGeometry(Margin, MemoTop, MemoWidth, MemoHeight);
    MemoUnusedChipNum->setFont(MemoFont());
    MemoUnusedChipNum->setReadOnly(true);
    MemoUnusedChipNum->setLineWrapMode(QPlainTextEdit::NoWrap);
    RetranslateUi();
}

// A message that is not one of the sources (already translated by its sender) shows as given.
void TShowUnusedChipNumForm::RetranslateUi() {
    setWindowTitle(tr(Caption));
    LblMessage->setText(
        QCoreApplication::translate("TShowUnusedChipNumForm", SourceMessage.toUtf8().constData()));
}

void TShowUnusedChipNumForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
}

void TShowUnusedChipNumForm::ShowReport(UserPrompts& prompts, const QString& message,
                                        const std::function<QString()>& computeList) {
    SourceMessage = message;
    RetranslateUi();
    const QString list = computeList();
    MemoUnusedChipNum->setPlainText(list);
    prompts.ShowModal(this);
}
